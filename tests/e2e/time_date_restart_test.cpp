// The panel clock set through "Set Time / Date - 18" and a restart: set to 23:59 on 31
// December, the clock record the display sends each second carries the new time at once and
// the offset is kept on the disk; the program restarted on that disk at the panel time it
// ended with (the start time names the panel's own time, so the kept offset must not move it
// again) sends the old year until midnight and the new year after it, in the clock record and
// in the long-term log. Built corvex-display with its simulator, in virtual time.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;
// The answer lines of each command, in order ("ok" lines dropped).
std::vector<std::vector<std::string>> run(const std::string& disk, const std::string& start,
                                          const std::vector<std::string>& commands) {
  std::string script;
  for (const std::string& c : commands) script += c + "\n";
  const auto r = run_process({kDisplay, "--headless", "--simulate", "--virtual-time",
                              "--start-time", start, "--disk", disk, "--script", "-"},
                             script + "quit\n", 120'000);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::vector<std::string>> answers(1);
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);) {
    if (line == "ok" || line.rfind("error", 0) == 0) {
      EXPECT_EQ(line, "ok") << r.out;
      answers.emplace_back();
    } else {
      answers.back().push_back(line);
    }
  }
  answers.pop_back();  // the lines after the last answer (none)
  answers.pop_back();  // quit's
  EXPECT_EQ(answers.size(), commands.size()) << r.out;
  answers.resize(commands.size());
  return answers;
}

// Slot `offset` in a `desired` answer ("53=3b 54=17 ..."); the answer leaves out zeros.
int state_byte(const std::vector<std::string>& answer, int offset) {
  const std::string key = std::to_string(offset) + "=";
  for (const std::string& line : answer) {
    std::istringstream words(line);
    for (std::string w; words >> w;)
      if (w.rfind(key, 0) == 0) return int(std::stoul(w.substr(key.size()), nullptr, 16));
  }
  return 0;
}

// The clock record's five bytes, which the command builder copies from these slots into every
// record it sends: minute, hour, day, month, year mod 100.
std::vector<int> clock_record(const std::vector<std::string>& answer) {
  std::vector<int> v;
  for (int offset = 53; offset < 58; ++offset) v.push_back(state_byte(answer, offset));
  return v;
}

std::vector<std::string> csv_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] >= '0' && line[0] <= '9') lines.push_back(line);
  }
  return lines;
}

// The kept offset, as the registry store holds it: eight bytes, least significant first.
int64_t kept_offset(const std::string& disk) {
  std::ifstream in(
      disk + "/Registry/HKEY_CURRENT_USER/Software/Tolvane/CorvexDryer/PANEL_CLOCK_OFFSET",
      std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() != 8) return -1;
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | uint8_t(bytes[size_t(i)]);
  return int64_t(v);
}

TEST(TimeDateRestart, SetToNewYearsEveTheClockRecordAndLogCrossIntoTheNewYear) {
  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  // 22:58:40 on 30 December: hour UP, minute UP, date UP give 23:59 on 31 December, with the
  // seconds read when the dialog opened (about 22:58:42).
  const auto first = run(disk, "2025-12-30 22:58:40",
                         {"wait 1000", "click SETUP", "wait 300", "click EXTENDED_SETUP_BUTTON",
                          "wait 300", "click SET_DATE_TIME_BUTTON", "wait 300", "click 1210",
                          "click 1046", "click 1058", "click 1", "wait 1500", "desired"});
  EXPECT_EQ(clock_record(first[12]), (std::vector<int>{59, 23, 31, 12, 25})) << "sent at once";
  const int64_t offset = kept_offset(disk);
  EXPECT_GE(offset, 25 * 3600 + 59) << "one day, one hour and a minute ahead";
  EXPECT_LE(offset, 25 * 3600 + 61);

  // The restart, at the panel time the first run ended with.
  const auto second =
      run(disk, "2025-12-31 23:59:30",
          {"sim set 289 1", "sim run", "wait 1500", "desired", "wait 40000", "desired"});
  EXPECT_EQ(clock_record(second[3]), (std::vector<int>{59, 23, 31, 12, 25}))
      << "the kept offset is not added to the start time a second time";
  EXPECT_EQ(clock_record(second[5]), (std::vector<int>{0, 0, 1, 1, 26})) << "the new year";
  EXPECT_EQ(kept_offset(disk), offset) << "a start time does not change the kept offset";

  // The log's lines around midnight: the last of the old year, then the new year's.
  const std::vector<std::string> lines = csv_lines(disk + "/DataLog/LongTermDataLog.csv");
  size_t first_new = 0;
  while (first_new < lines.size() && lines[first_new].rfind("2026-", 0) != 0) ++first_new;
  ASSERT_GT(first_new, 0u);
  ASSERT_LT(first_new, lines.size()) << "no line of the new year";
  const std::string& last_old = lines[first_new - 1];
  EXPECT_EQ(last_old.rfind("2025-12-31,11:59:", 0), 0u) << last_old;
  EXPECT_EQ(last_old.find("PM,", 17), 19u) << last_old;
  EXPECT_EQ(lines[first_new].rfind("2026-01-01,12:00:", 0), 0u) << lines[first_new];
  EXPECT_EQ(lines[first_new].find("AM,", 17), 19u) << lines[first_new];
  EXPECT_EQ(lines.back().rfind("2026-01-01,", 0), 0u) << "no line goes back: " << lines.back();
}

}  // namespace
