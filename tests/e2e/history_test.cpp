// The shutdown history and the Data Logger Setup end to end, through the built corvex-display
// with its simulator in virtual time: shutdowns the controller reports become rows of the
// history in each of the three orders and a byte-exact export on the USB drive; the data log's
// copy to the drive says what happened in each of its message boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;

std::string file_bytes(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Runs the display on `disk` (and `usb`, when given) with one command per entry and returns
// one answer per command: its lines, the last being "ok" or "error: ...".
std::vector<std::vector<std::string>> run_commands(const std::string& disk, const std::string& usb,
                                                   const std::vector<std::string>& commands) {
  std::vector<std::string> args = {kDisplay,       "--headless",
                                   "--simulate",   "--virtual-time",
                                   "--start-time", "2026-03-14 13:05:00",
                                   "--disk",       disk,
                                   "--script",     "-"};
  if (!usb.empty()) {
    args.push_back("--usb");
    args.push_back(usb);
  }
  std::string script;
  for (const std::string& c : commands) script += c + "\n";
  const auto r = run_process(args, script + "quit\n", 120'000);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::vector<std::string>> answers(1);
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);) {
    answers.back().push_back(line);
    if (line == "ok" || line.rfind("error", 0) == 0) answers.emplace_back();
  }
  answers.pop_back();  // the lines after the last answer (none)
  answers.pop_back();  // quit's
  EXPECT_EQ(answers.size(), commands.size()) << r.out;
  for (size_t i = 0; i < answers.size() && i < commands.size(); ++i)
    EXPECT_EQ(answers[i].back(), "ok") << commands[i];
  answers.resize(commands.size());
  return answers;
}

// The quoted texts of a `windows` line, unescaped.
std::vector<std::string> quoted(const std::string& line) {
  std::vector<std::string> out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '"') continue;
    std::string text;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      text += line[i];
    }
    out.push_back(text);
  }
  return out;
}

// The rows of the list view in a `windows` answer, columns joined by "|".
std::vector<std::string> rows(const std::vector<std::string>& answer) {
  std::vector<std::string> out;
  for (const std::string& line : answer) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos || line.compare(start, 4, "row ") != 0) continue;
    const std::vector<std::string> cells = quoted(line);
    std::string joined;
    for (size_t i = 0; i < cells.size(); ++i) joined += (i == 0 ? "" : "|") + cells[i];
    out.push_back(joined);
  }
  return out;
}

// True when some line of the answer shows `text` as a window's whole text.
bool shows(const std::vector<std::string>& answer, const std::string& text) {
  for (const std::string& line : answer) {
    for (const std::string& q : quoted(line))
      if (q == text) return true;
  }
  return false;
}

// Three shutdowns, two minutes apart, each reported for two seconds: the main I/O's load
// motor overload, the display I/O's stop switch, and a fan/heater #1 warning its text file has
// no line for (an empty shutdown text).
const std::vector<std::string> kThreeShutdowns = {
    "sim warning 3 14", "wait 2000", "sim warning 0 0", "wait 118000",
    "sim warning 1 1",  "wait 2000", "sim warning 0 0", "wait 118000",
    "sim warning 40 2", "wait 2000", "sim warning 0 0", "wait 2000",
};

const char kMainIo[] = "0E03 LOAD MOTOR OVERLOAD|MAIN I/O|Mar 14, 2026|1:05 PM";
const char kDisplayIo[] = "0101 CONTROL PANEL STOP SWITCH PRESSED|DISPLAY I/O|Mar 14, 2026|1:07 PM";
const char kFanHeater[] = "|FAN/HEATER #1|Mar 14, 2026|1:09 PM";

TEST(History, ShutdownsListInTheThreeOrdersAndExportByteExact) {
  TempDir dir;
  const std::string usb = dir.path() + "/usb";
  fs::create_directories(usb);
  std::vector<std::string> commands = kThreeShutdowns;
  const size_t first = commands.size();
  for (const char* c :
       {"click VIEW", "click \"HISTORY BUTTON\"", "wait 300", "windows", "click 1109", "windows",
        "click 1112", "windows", "click 1111", "windows", "click 1110", "wait 300", "windows",
        "click 1001", "wait 300", "click 1107", "wait 300", "windows"})
    commands.push_back(c);
  const auto a = run_commands(dir.path() + "/disk", usb, commands);

  using Rows = std::vector<std::string>;
  EXPECT_EQ(rows(a[first + 3]), (Rows{kMainIo, kDisplayIo, kFanHeater})) << "time order at opening";
  EXPECT_EQ(rows(a[first + 5]), (Rows{kFanHeater, kDisplayIo, kMainIo})) << "warning order";
  EXPECT_EQ(rows(a[first + 7]), (Rows{kDisplayIo, kFanHeater, kMainIo})) << "node order";
  EXPECT_EQ(rows(a[first + 9]), (Rows{kMainIo, kDisplayIo, kFanHeater})) << "time order again";
  EXPECT_TRUE(shows(a[first + 12], "YES")) << "the copy question is open";
  EXPECT_FALSE(shows(a[first + 17], "SORT BY WARNING")) << "EXIT closed the history";

  // Oldest first, each piece followed by ";", a bare line feed after each record.
  EXPECT_EQ(file_bytes(usb + "/DryerShutdownHistory.txt"),
            "0E03 LOAD MOTOR OVERLOAD;MAIN I/O;Mar 14, 2026;1:05 PM;\n"
            "0101 CONTROL PANEL STOP SWITCH PRESSED;DISPLAY I/O;Mar 14, 2026;1:07 PM;\n"
            ";FAN/HEATER #1;Mar 14, 2026;1:09 PM;\n");
}

TEST(History, RepeatWithinHundredSecondsIsOneRecordAndPersistsAcrossARestart) {
  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  // Reported, cleared and reported again 30 s later: one record; again 120 s later: a second.
  run_commands(disk, "",
               {"sim warning 3 14", "wait 2000", "sim warning 0 0", "wait 30000",
                "sim warning 3 14", "wait 2000", "sim warning 0 0", "wait 120000",
                "sim warning 3 14", "wait 2000", "sim warning 0 0", "wait 1000"});
  const auto a = run_commands(
      disk, "",
      {"wait 1000", "click VIEW", "click \"HISTORY BUTTON\"", "wait 300", "windows", "click 1107"});
  EXPECT_EQ(rows(a[4]),
            (std::vector<std::string>{"0E03 LOAD MOTOR OVERLOAD|MAIN I/O|Mar 14, 2026|1:05 PM",
                                      "0E03 LOAD MOTOR OVERLOAD|MAIN I/O|Mar 14, 2026|1:07 PM"}));
}

// ---- Data Logger Setup ----

const std::vector<std::string> kOpenDataLogger = {
    "sim set 289 0",  // logging off: the log file stays as the test wrote it
    "wait 1000",     "click SETUP",
    "wait 300",      "click EXTENDED_SETUP_BUTTON",
    "wait 300",      "click DATA_LOGGER_BUTTON",
    "wait 300"};

const char kLog[] = "\r\nDate,Time\r\n2026-03-14,01:00:00PM,1,2.0,3.0,4.0,5.0,6,7\r\n";

TEST(DataLogger, WithoutADriveTheNoticeOffersRetryUntilCancelled) {
  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  fs::create_directories(disk + "/DataLog");
  std::ofstream(disk + "/DataLog/LongTermDataLog.csv", std::ios::binary) << kLog;
  std::vector<std::string> commands = kOpenDataLogger;
  const size_t first = commands.size();
  for (const char* c : {"click 5", "windows", "click Retry", "windows", "click Cancel", "windows"})
    commands.push_back(c);
  const auto a = run_commands(disk, dir.path() + "/no-such-drive", commands);
  EXPECT_TRUE(shows(a[first + 1], "USB FLASH CARD NOT PRESENT"));
  EXPECT_TRUE(shows(a[first + 1], "Please instert flash card into USB port."));
  EXPECT_TRUE(shows(a[first + 3], "Please instert flash card into USB port.")) << "asked again";
  EXPECT_FALSE(shows(a[first + 5], "USB FLASH CARD NOT PRESENT"));
  EXPECT_TRUE(shows(a[first + 5], "EXIT")) << "the setup window stays open";
  EXPECT_EQ(file_bytes(disk + "/DataLog/LongTermDataLog.csv"), kLog);
}

TEST(DataLogger, CopyDoneThenSameSecondFailsThenDeleteAsked) {
  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  const std::string usb = dir.path() + "/usb";
  fs::create_directories(usb);
  fs::create_directories(disk + "/DataLog");
  std::ofstream(disk + "/DataLog/LongTermDataLog.csv", std::ios::binary) << kLog;
  std::vector<std::string> commands = kOpenDataLogger;
  const size_t first = commands.size();
  // Virtual time stands still between commands: both copies fall in the same second.
  for (const char* c : {"click 5", "windows", "click Yes", "windows", "click OK", "windows",
                        "click No", "click 5", "click Yes", "windows", "click OK", "click 4",
                        "windows", "click No", "click 4", "click Yes", "windows"})
    commands.push_back(c);
  const auto a = run_commands(disk, usb, commands);
  EXPECT_TRUE(shows(a[first + 1], "DATA LOG FILE TO USB FLASH CARD"));
  EXPECT_TRUE(
      shows(a[first + 1], "Copy dryer data log file to usb flash drive as DryerDataLog.csv"));
  // The copy is named after the panel's date and time at the copy.
  ASSERT_EQ(std::distance(fs::directory_iterator(usb), fs::directory_iterator()), 1);
  const std::string name = fs::directory_iterator(usb)->path().filename().string();
  EXPECT_EQ(name.rfind("LongTermDataLog26_03_14_13_05_", 0), 0u) << name;
  EXPECT_EQ(name.substr(name.size() - 4), ".CSV");
  EXPECT_EQ(file_bytes(usb + "/" + name), kLog);
  EXPECT_TRUE(shows(a[first + 3], "Successfully copied following file to USB Flash Drive."));
  EXPECT_TRUE(shows(a[first + 3], name));
  EXPECT_TRUE(shows(a[first + 5], "DELETE?"));
  EXPECT_TRUE(shows(a[first + 5], "Copy successful.  Delete old data log file?"));
  EXPECT_TRUE(shows(a[first + 9], "FAILED TO COPY"));
  EXPECT_TRUE(shows(a[first + 9], "Could not copy file to flashdrive."));
  EXPECT_TRUE(shows(a[first + 12], "Delete data log file?"));
  EXPECT_TRUE(shows(a[first + 16], "EXIT"));
  EXPECT_FALSE(shows(a[first + 16], "DELETE?"));
  EXPECT_FALSE(fs::exists(disk + "/DataLog/LongTermDataLog.csv")) << "Yes deleted the log";
  EXPECT_EQ(file_bytes(usb + "/" + name), kLog) << "the failed copy left the first alone";
}

}  // namespace
