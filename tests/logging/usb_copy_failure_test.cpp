// A USB stick pulled out or full while the data log or the shutdown history is being copied to
// it: the operator is told the copy failed, no cut-off file is left on the stick to pass for a
// whole one, and the panel's own log and history are as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "logging/data_logger_dialog.h"
#include "logging/shutdown_history.h"
#include "logging/shutdown_history_window.h"
#include "logging/tick_duties.h"
#include "platform/gui/automation.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "platform/io/files.h"
#include "resources/history_dialogs.h"
#include "tests/logging/log_test_support.h"
#include "tests/platform/io/file_hazards.h"

namespace corvex::logging {
namespace {

namespace fs = std::filesystem;
namespace gui = platform::gui;
namespace res = resources;

constexpr char kOwnerClass[] = "USB_COPY_TEST_OWNER";
constexpr char kLogName[] = "LongTermDataLog26_03_14_13_05_09.CSV";

// The stick's folder, and after how many written blocks the hook pulls it out (0: never).
fs::path g_stick;
int g_pull_after = 0;
int g_blocks = 0;

// Counts only the blocks written to a file on the stick: the panel's own files do not count.
void pull_stick_midway(int fd) {
  std::error_code error;
  const fs::path target = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
  if (error || target.string().rfind(g_stick.string() + "/", 0) != 0) return;
  if (++g_blocks == g_pull_after) fs::remove_all(g_stick);
}

// A data log of many copy blocks, each line different, so that any cut or mix-up shows.
std::string big_log() {
  std::string text = "\r\nDate,Time\r\n";
  for (int i = 0; text.size() < 1'200'000; ++i) {
    text += "2026-03-14,01:00:00PM," + std::to_string(i) + ",2.0,3.0,4.0,5.0,6,7\r\n";
  }
  return text;
}

class UsbCopyFailureTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    stick = disk.string() + "-stick";
    fs::remove_all(stick);
    fs::create_directories(stick);
    use_stick(stick);
    gui::init();
    gui::reset();
    gui::register_controls();
    res::register_history_dialog_templates();
    reset_tick_duties();
    gui::register_class(
        {kOwnerClass, gui::default_window_procedure, platform::colors::kBlack, true});
    owner = gui::create_window({kOwnerClass, "", gui::style::kVisible, {0, 0, 640, 480}});
    ASSERT_NE(owner, nullptr);
    ASSERT_TRUE(prepare_shutdown_history());
    log_testing::write_file(disk / "DataLog" / "LongTermDataLog.csv", log);
  }
  void TearDown() override {
    platform::set_write_block_hook(nullptr);
    g_pull_after = 0;
    gui::set_automation_output({});
    gui::set_quit_handler(nullptr);
    gui::reset();
    set_shutdown_history_window(nullptr);
    platform::set_usb_root("");
    fs::remove_all(stick);
    LogDiskTest::TearDown();
  }

  static void use_stick(const fs::path& dir) {
    g_stick = dir;
    platform::set_usb_root(dir.string());
  }
  // The stick is pulled out once `blocks` blocks have gone to the disk from now on.
  static void pull_after(int blocks) {
    g_blocks = 0;
    g_pull_after = blocks;
    platform::set_write_block_hook(&pull_stick_midway);
  }

  // Opens the window with `open` from a timer (as a button press would) and runs `script` in
  // whichever loop is open; returns the answer lines of each command, "wait 200" first.
  using Answers = std::vector<std::vector<std::string>>;
  Answers run(void (*open)(gui::Window*), const std::string& script) {
    static void (*opener)(gui::Window*) = nullptr;
    opener = open;
    gui::set_timer(owner, 77, 100, [](gui::Window* w, int id) {
      gui::kill_timer(w, id);
      opener(w);
    });
    std::vector<std::string> output;
    gui::set_automation_output([&](std::string_view line) { output.emplace_back(line); });
    gui::set_quit_handler([] { gui::post_quit(0); });
    gui::start_automation_script("wait 200\n" + script + "\nquit\n");
    gui::run_message_loop();
    gui::set_automation_output({});
    Answers answers(1);
    for (const std::string& line : output) {
      EXPECT_EQ(line.rfind("error:", 0), std::string::npos) << line;
      if (line == "ok") {
        answers.emplace_back();
      } else {
        answers.back().push_back(line);
      }
    }
    EXPECT_EQ(gui::active_modal(), nullptr) << "a window was left open";
    return answers;
  }
  // True when a window of the listing has `text` as its whole text.
  static bool shows(const std::vector<std::string>& listing, const std::string& text) {
    for (const std::string& line : listing) {
      if (line.find("\"" + text + "\"") != std::string::npos) return true;
    }
    return false;
  }
  static std::string joined(const std::vector<std::string>& listing) {
    std::string s;
    for (const std::string& line : listing) s += line + "\n";
    return s;
  }

  // SEND, Yes to the copy question, then what is shown (answer 3); OK, and what is shown then
  // (answer 5); EXIT.
  Answers send_log_and_answer_yes() {
    return run([](gui::Window* w) { open_data_logger_dialog(w); },
               "click 5\nclick Yes\nwindows\nclick OK\nwindows\nclick 1219");
  }

  fs::path stick;
  gui::Window* owner = nullptr;
  const std::string log = big_log();
};

// ---- The data log ----

TEST_F(UsbCopyFailureTest, DataLogCopyCutOffByAPulledStickFailsAndLeavesNothing) {
  pull_after(4);
  const Answers out = send_log_and_answer_yes();
  ASSERT_GE(g_blocks, 4) << "the stick was pulled while the copy was under way";
  ASSERT_GE(out.size(), 6u);
  EXPECT_TRUE(shows(out[3], "FAILED TO COPY")) << joined(out[3]);
  EXPECT_TRUE(shows(out[3], "Could not copy file to flashdrive."));
  EXPECT_FALSE(shows(out[5], "DELETE?")) << "no offer to delete after a failed copy";
  EXPECT_TRUE(shows(out[5], "EXIT")) << "back in the data logger set-up";
  EXPECT_EQ(log_testing::read_file(disk / "DataLog" / "LongTermDataLog.csv"), log);

  // Put back in: nothing of the cut-off copy is on it, and a new copy is whole.
  fs::create_directories(stick);
  EXPECT_EQ(log_testing::names_in(stick), std::vector<std::string>{});
  platform::set_write_block_hook(nullptr);
  const Answers again = send_log_and_answer_yes();
  ASSERT_GE(again.size(), 6u);
  EXPECT_TRUE(shows(again[3], kLogName)) << joined(again[3]);
  EXPECT_TRUE(shows(again[5], "Copy successful.  Delete old data log file?"));
  EXPECT_EQ(log_testing::read_file(stick / kLogName), log);
}

TEST_F(UsbCopyFailureTest, DataLogCopyToAFullStickFailsAndLeavesNoPartialFile) {
  test_support::SmallDisk small(256);
  Answers out;
  if (small.mounted()) {
    use_stick(small.path());
    small.fill();
    out = send_log_and_answer_yes();
  } else {
    // Without the rights to mount a small disk: the disk refuses to grow a file past 256 KiB.
    test_support::FileSizeLimit limit(256 * 1024);
    out = send_log_and_answer_yes();
  }
  ASSERT_GE(out.size(), 6u);
  EXPECT_TRUE(shows(out[3], "FAILED TO COPY")) << joined(out[3]);
  EXPECT_TRUE(shows(out[3], "Could not copy file to flashdrive."));
  EXPECT_FALSE(shows(out[5], "DELETE?"));
  EXPECT_EQ(log_testing::names_in(g_stick),
            small.mounted() ? std::vector<std::string>{"filler"} : std::vector<std::string>{});
  EXPECT_EQ(log_testing::read_file(disk / "DataLog" / "LongTermDataLog.csv"), log);
}

// ---- The shutdown history ----

// Some history, a few kilobytes of it as the export writes it.
void add_history(int records) {
  for (int i = 0; i < records; ++i) {
    ASSERT_TRUE(add_history_record("0E03 LOAD MOTOR OVERLOAD " + std::to_string(i), "MAIN I/O",
                                   133'000'000'000'000'000 + int64_t(i) * 600'000'000));
  }
}

TEST_F(UsbCopyFailureTest, HistoryExportCutOffByAPulledStickIsReportedAndTheHistoryStays) {
  add_history(40);
  log_testing::write_file(stick / "DryerShutdownHistory.txt", "an older export\n");
  pull_after(1);
  // COPY, the question's first key (export), then what is shown; OK; EXIT.
  const Answers out = run([](gui::Window* w) { open_shutdown_history(w); },
                          "click 1110\nclick 1001\nwindows\nclick OK\nclick 1107");
  ASSERT_GE(g_blocks, 1);
  ASSERT_GE(out.size(), 4u);
  EXPECT_TRUE(shows(out[3], "FAILED TO COPY")) << joined(out[3]);
  EXPECT_TRUE(shows(out[3], "Could not copy file to flashdrive."));
  EXPECT_EQ(history_record_count(), 40u);
  EXPECT_FALSE(fs::exists(stick));
}

TEST_F(UsbCopyFailureTest, HistoryExportToAFullStickRemovesWhatItCutOff) {
  add_history(200);  // about 14 KB of text
  std::vector<HistoryRecord> before;
  ASSERT_TRUE(read_history(HistoryOrder::Time, before));
  test_support::SmallDisk small(8);
  ExportResult result;
  if (small.mounted()) {
    use_stick(small.path());
    // An older, shorter export fills what is left: the new one overwrites its head, then the
    // stick is full.
    log_testing::write_file(g_stick / "DryerShutdownHistory.txt", "an older export\n");
    small.fill();
    result = export_shutdown_history();
  } else {
    log_testing::write_file(g_stick / "DryerShutdownHistory.txt", "an older export\n");
    test_support::FileSizeLimit limit(4096);
    result = export_shutdown_history();
  }
  EXPECT_FALSE(result.written);
  EXPECT_TRUE(result.write_failed);
  EXPECT_TRUE(result.message.empty());
  EXPECT_FALSE(fs::exists(g_stick / "DryerShutdownHistory.txt"))
      << "the head of a new export over an old one is no history";
  std::vector<HistoryRecord> after;
  ASSERT_TRUE(read_history(HistoryOrder::Time, after));
  EXPECT_EQ(after.size(), before.size());

  // With room again the export is whole and reported as written.
  use_stick(stick);
  result = export_shutdown_history();
  EXPECT_TRUE(result.written);
  EXPECT_FALSE(result.write_failed);
  EXPECT_EQ(log_testing::read_file(stick / "DryerShutdownHistory.txt"), history_export_text(after));
}

}  // namespace
}  // namespace corvex::logging
