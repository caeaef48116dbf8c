// The Shutdown History window's EXIT gesture and help look-up, the Data Logger Setup's ON/OFF
// marks and used space, the dated USB copy and the system information's memory lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "link/dryer_state.h"
#include "logging/data_logger_dialog.h"
#include "logging/shutdown_history_window.h"
#include "logging/system_info_dialog.h"
#include "logging/usb_export.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "resources/history_dialogs.h"
#include "logging/tick_duties.h"
#include "tests/logging/log_test_support.h"

namespace corvex::logging {
namespace {

namespace fs = std::filesystem;
namespace gui = platform::gui;
namespace res = resources;

class HistoryDialogsTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    usb = disk.string() + "-usb";
    fs::remove_all(usb);
    fs::create_directories(usb);
    platform::set_usb_root(usb.string());
    gui::init();
    res::register_history_dialog_templates();
    logging::reset_tick_duties();
    ASSERT_TRUE(prepare_shutdown_history());
    g_modal_text.clear();
    g_modal_seen = false;
  }
  void TearDown() override {
    gui::reset();
    logging::set_shutdown_history_window(nullptr);
    platform::set_usb_root("");
    fs::remove_all(usb);
    LogDiskTest::TearDown();
  }
  static bool checked(gui::Window* dialog, int id) {
    return gui::button_checked(gui::dialog_item(dialog, id));
  }
  // Closes whatever modal window is open 300 ms from now, noting its caption.
  static void close_modal_later(gui::Window* owner) {
    gui::set_timer(owner, 8, 300, [](gui::Window* w, int t) {
      gui::kill_timer(w, t);
      if (gui::Window* box = gui::active_modal()) {
        g_modal_seen = true;
        g_modal_text = box->text();
        gui::send_message(box, {gui::MessageKind::Close, 0, 0});
      }
    });
  }
  static inline std::string g_modal_text;
  static inline bool g_modal_seen = false;
  fs::path usb;
};

TEST_F(HistoryDialogsTest, ExitPressedBrieflyCloses) {
  gui::Window* history =
      gui::create_dialog(res::kShutdownHistoryDialog, nullptr, &shutdown_history_procedure);
  ASSERT_NE(history, nullptr);
  EXPECT_TRUE(checked(history, res::kHistorySortedTime));
  EXPECT_FALSE(checked(history, res::kHistorySortedWarning));
  gui::send_message(history, {gui::MessageKind::Command, res::kHistoryExit, 0});
  EXPECT_FALSE(gui::is_window(history));
}

TEST_F(HistoryDialogsTest, ExitHeldFiveTicksOpensTheClearQuestionInsteadOfClosing) {
  ASSERT_TRUE(add_history_record("0301 A", "FAN/HEATER #2", 0));
  gui::Window* history =
      gui::create_dialog(res::kShutdownHistoryDialog, nullptr, &shutdown_history_procedure);
  ASSERT_NE(history, nullptr);
  ASSERT_EQ(gui::list_view_row_count(gui::dialog_item(history, res::kHistoryList)), 1);
  const platform::Rect exit = gui::dialog_item(history, res::kHistoryExit)->screen_rect();
  gui::inject_pointer_down({exit.left + exit.width() / 2, exit.top + exit.height() / 2});
  for (int i = 0; i < 4; ++i) logging::step_shutdown_history_hold();
  EXPECT_EQ(logging::shutdown_history_hold_countdown(), 1u);
  logging::step_shutdown_history_hold();
  EXPECT_EQ(logging::shutdown_history_hold_countdown(), 0u);
  close_modal_later(history);
  gui::set_timer(history, 7, 100, [](gui::Window* w, int t) {
    gui::kill_timer(w, t);
    gui::inject_pointer_up();
  });
  gui::advance_virtual(1000);
  EXPECT_TRUE(g_modal_seen);
  EXPECT_EQ(g_modal_text, "CLEAR HISTORY");
  EXPECT_TRUE(gui::is_window(history));  // not closed; and the question's Close cleared nothing
  EXPECT_EQ(history_record_count(), 1u);
}

TEST_F(HistoryDialogsTest, ShowHelpWithoutASelectionOpensNoViewer) {
  ASSERT_TRUE(add_history_record("0301 A", "FAN/HEATER #2", 0));
  gui::Window* history =
      gui::create_dialog(res::kShutdownHistoryDialog, nullptr, &shutdown_history_procedure);
  ASSERT_NE(history, nullptr);
  close_modal_later(history);
  gui::set_timer(history, 7, 100, [](gui::Window* w, int t) {
    gui::kill_timer(w, t);
    gui::send_message(w, {gui::MessageKind::Command, res::kHistoryShowHelp, 0});
  });
  gui::advance_virtual(1000);
  EXPECT_TRUE(g_modal_seen);
  EXPECT_NE(g_modal_text, "Shutdown Help File - 34");
  EXPECT_EQ(link::dryer_state().warning_help_from_history.load(), 0);
}

// The marks follow the controller at each tick's redraw; a paint draws them as they are.
TEST_F(HistoryDialogsTest, OnWhileTheControllerStillReportsOffShowsOffAgainAtTheNextRedraw) {
  set_mirror(289, 0);
  gui::Window* logger = gui::create_dialog(res::kDataLoggerDialog, nullptr, &data_logger_procedure);
  ASSERT_NE(logger, nullptr);
  EXPECT_TRUE(checked(logger, res::kDataLoggerOffMark));
  gui::send_message(logger, {gui::MessageKind::Command, res::kDataLoggerOn, 0});
  EXPECT_TRUE(checked(logger, res::kDataLoggerOnMark));
  EXPECT_FALSE(checked(logger, res::kDataLoggerOffMark));
  EXPECT_TRUE(link::write_raised(link::PendingWrite::k289));
  EXPECT_EQ(link::dryer_state().desired[289].load(), 1);
  EXPECT_EQ(data_logger_display_copy(), 1);
  gui::invalidate(logger);
  gui::paint_pending();
  EXPECT_TRUE(checked(logger, res::kDataLoggerOnMark)) << "a paint checks nothing";
  refresh_data_logger_dialog();
  EXPECT_FALSE(checked(logger, res::kDataLoggerOnMark));
  EXPECT_TRUE(checked(logger, res::kDataLoggerOffMark));
  set_mirror(289, 1);
  log_tick_state().log_used_percentage = 100;
  refresh_data_logger_dialog();
  EXPECT_TRUE(checked(logger, res::kDataLoggerOnMark));
  EXPECT_FALSE(checked(logger, res::kDataLoggerOffMark));
  EXPECT_EQ(gui::dialog_item(logger, res::kDataLoggerUsedText)->text(), "100 %");
}

// The one-second tick brings the open dialog up to date itself, painted or not (a message box
// may cover it), and does nothing once it has closed.
TEST_F(HistoryDialogsTest, TheTickRefreshesTheOpenDataLoggerWithoutAPaint) {
  set_mirror(289, 0);
  log_tick_state().log_used_percentage = 3;
  gui::Window* logger = gui::create_dialog(res::kDataLoggerDialog, nullptr, &data_logger_procedure);
  ASSERT_NE(logger, nullptr);
  EXPECT_EQ(gui::dialog_item(logger, res::kDataLoggerUsedText)->text(), "3 %");
  set_mirror(289, 1);
  log_tick_state().log_used_percentage = 42;
  refresh_data_logger_dialog();
  EXPECT_TRUE(checked(logger, res::kDataLoggerOnMark));
  EXPECT_FALSE(checked(logger, res::kDataLoggerOffMark));
  EXPECT_EQ(gui::dialog_item(logger, res::kDataLoggerUsedText)->text(), "42 %");
  gui::destroy_window(logger);
  refresh_data_logger_dialog();  // closed: nothing to reach
}

TEST_F(HistoryDialogsTest, TwoCopiesInOneSecondTheSecondFailsAndTheLogStays) {
  log_testing::write_file(disk / "DataLog" / "LongTermDataLog.csv", "a,b\n1,2\n");
  const platform::LocalTime now = platform::clock::local_now();
  const UsbCopyResult first = copy_data_log_to_usb(now);
  EXPECT_EQ(first.status, platform::FileStatus::Ok);
  EXPECT_EQ(first.short_name, "LongTermDataLog26_03_14_13_05_09.CSV");
  EXPECT_EQ(log_testing::read_file(usb / first.short_name), "a,b\n1,2\n");
  log_testing::write_file(disk / "DataLog" / "LongTermDataLog.csv", "a,b\n1,2\n3,4\n");
  const UsbCopyResult second = copy_data_log_to_usb(now);
  EXPECT_EQ(second.status, platform::FileStatus::AlreadyExists);
  EXPECT_EQ(log_testing::read_file(usb / first.short_name), "a,b\n1,2\n");
  EXPECT_EQ(log_testing::read_file(disk / "DataLog" / "LongTermDataLog.csv"), "a,b\n1,2\n3,4\n");
  EXPECT_EQ(log_testing::names_in(usb), std::vector<std::string>{first.short_name});
}

TEST_F(HistoryDialogsTest, MemoryLinesPrintTheWholeNumberPast2GiB) {
  EXPECT_EQ(memory_line("Total RAM", 17179869184ull), "Total RAM: 17179869184 Bytes");
  EXPECT_EQ(memory_line("RAM Available", 2147483648ull), "RAM Available: 2147483648 Bytes");
}

}  // namespace
}  // namespace corvex::logging
