// The shutdown history: its store (records, sort orders, the clear, a damaged volume), the
// decoder's 100 s suppression as it reaches the store, and the text export's bytes.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/status_decoder.h"
#include "logging/shutdown_history.h"
#include "platform/io/paths.h"
#include "logging/tick_duties.h"
#include "tests/logging/log_test_support.h"

namespace corvex::logging {
namespace {

namespace fs = std::filesystem;

class ShutdownHistoryTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    usb = disk.string() + "-usb";
    fs::remove_all(usb);
    fs::create_directories(usb);
    platform::set_usb_root(usb.string());
    ASSERT_TRUE(prepare_shutdown_history());
  }
  void TearDown() override {
    platform::set_usb_root("");
    fs::remove_all(usb);
    link::reset_link_hooks();
    LogDiskTest::TearDown();
  }
  static int64_t at(int year, int month, int day, int hour, int minute) {
    platform::LocalTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    return local_to_file_time(t);
  }
  static std::vector<std::string> texts_in(HistoryOrder order) {
    std::vector<HistoryRecord> records;
    EXPECT_TRUE(read_history(order, records));
    std::vector<std::string> out;
    for (const HistoryRecord& r : records) out.push_back(r.shutdown_text + "|" + r.node_name);
    return out;
  }
  fs::path usb;
};

TEST_F(ShutdownHistoryTest, NodeNamesByCodeAndEmptyOutsideOneToFifteen) {
  EXPECT_EQ(node_name(1), "DISPLAY I/O");
  EXPECT_EQ(node_name(2), "FAN/HEATER #1");
  EXPECT_EQ(node_name(7), "FAN/HEATER #6");
  EXPECT_EQ(node_name(8), "FAN/HEATER INT #1");
  EXPECT_EQ(node_name(13), "FAN/HEATER INT #6");
  EXPECT_EQ(node_name(14), "MAIN I/O");
  EXPECT_EQ(node_name(15), "MOISTURE CONT");
  for (int code : {0, 16, 255, -1}) EXPECT_EQ(node_name(code), "") << code;

  add_shutdown_record(16, 3);
  std::vector<HistoryRecord> records;
  ASSERT_TRUE(read_history(HistoryOrder::Time, records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].node_name, "");
}

TEST_F(ShutdownHistoryTest, FileTimeKeepsTheLocalFieldsAndFormatsAsTheListShowsThem) {
  const int64_t t = at(2026, 3, 14, 13, 5);
  // 2026-03-14 13:05 local, in 100 ns units since 1601: 134774 days to 1970, 20454 more to
  // 2026 and 72 into the year.
  EXPECT_EQ(t, (int64_t(134774 + 20454 + 72) * 86400 + 13 * 3600 + 5 * 60) * 10000000);
  EXPECT_EQ(history_date_text(t), "Mar 14, 2026");
  EXPECT_EQ(history_time_text(t), "1:05 PM");
  EXPECT_EQ(history_time_text(at(2026, 1, 1, 0, 7)), "12:07 AM");
  const platform::LocalTime back = file_time_to_local(at(2024, 2, 29, 23, 59));
  EXPECT_EQ(back.year, 2024);
  EXPECT_EQ(back.month, 2);
  EXPECT_EQ(back.day, 29);
  EXPECT_EQ(back.hour, 23);
  EXPECT_EQ(back.minute, 59);
}

TEST_F(ShutdownHistoryTest, ThreeSortOrdersAndACountThatFollowsTheRecords) {
  ASSERT_TRUE(add_history_record("0302 B", "MAIN I/O", at(2026, 3, 1, 10, 0)));
  ASSERT_TRUE(add_history_record("0101 A", "FAN/HEATER #2", at(2026, 3, 3, 10, 0)));
  ASSERT_TRUE(add_history_record("0E05 C", "DISPLAY I/O", at(2026, 3, 2, 10, 0)));
  EXPECT_EQ(history_record_count(), 3u);
  EXPECT_EQ(
      texts_in(HistoryOrder::Warning),
      (std::vector<std::string>{"0101 A|FAN/HEATER #2", "0302 B|MAIN I/O", "0E05 C|DISPLAY I/O"}));
  EXPECT_EQ(
      texts_in(HistoryOrder::Node),
      (std::vector<std::string>{"0E05 C|DISPLAY I/O", "0101 A|FAN/HEATER #2", "0302 B|MAIN I/O"}));
  EXPECT_EQ(
      texts_in(HistoryOrder::Time),
      (std::vector<std::string>{"0302 B|MAIN I/O", "0E05 C|DISPLAY I/O", "0101 A|FAN/HEATER #2"}));

  ASSERT_TRUE(clear_shutdown_history());
  EXPECT_EQ(history_record_count(), 0u);
  ASSERT_TRUE(add_history_record("0101 A", "X", at(2026, 3, 3, 10, 0)));
  EXPECT_EQ(history_record_count(), 1u);
}

TEST_F(ShutdownHistoryTest, RecordsSurviveAndADamagedVolumeIsMovedAsideNotDeleted) {
  ASSERT_TRUE(add_history_record("0101 A", "X", at(2026, 3, 3, 10, 0)));
  EXPECT_EQ(history_record_count(), 1u);  // read back through a fresh mount
  const fs::path volume = disk / "ShutdownHistoryDB";
  log_testing::write_file(volume, std::string(4096, 'x'));
  EXPECT_TRUE(add_history_record("0202 B", "Y", at(2026, 3, 4, 10, 0)));
  EXPECT_EQ(history_record_count(), 1u);
  int moved = 0;
  for (const std::string& name : log_testing::names_in(disk)) {
    if (name.rfind("ShutdownHistoryDB", 0) == 0 && name != "ShutdownHistoryDB") {
      ++moved;
      EXPECT_EQ(log_testing::read_file(disk / name), std::string(4096, 'x'));
    }
  }
  EXPECT_EQ(moved, 1);
}

// The decoder records through its hook; the one-second tick counts the suppression down.
TEST_F(ShutdownHistoryTest, SamePairWithin100SecondsIsRecordedOnceAfterwardsAgain) {
  install_shutdown_history_hooks();
  link::DryerState& s = link::dryer_state();
  auto report = [&](uint8_t number, uint8_t node) {
    std::array<uint8_t, link::kStatusFrameBytes> frame{};
    for (size_t i = 0; i < link::kStatusBytes; ++i) frame[i] = s.mirror[i].load();
    frame[185] = number;
    frame[186] = node;
    link::decode_status_frame(frame.data());
  };
  auto seconds = [&](int n) {
    for (int i = 0; i < n; ++i) {
      if (s.shutdown_suppression.load() > 0)
        s.shutdown_suppression.store(s.shutdown_suppression.load() - 1);
    }
  };
  report(12, 3);
  report(0, 0);  // warning 0: never recorded
  seconds(30);
  report(12, 3);
  EXPECT_EQ(history_record_count(), 1u);
  report(0, 0);
  seconds(70);
  report(12, 3);
  EXPECT_EQ(history_record_count(), 2u);
  report(5, 14);  // a different pair at once
  EXPECT_EQ(history_record_count(), 3u);
}

TEST_F(ShutdownHistoryTest, AutoStartEntryThroughTheTickHook) {
  install_shutdown_history_hooks();
  add_auto_start_record();
  std::vector<HistoryRecord> records;
  ASSERT_TRUE(read_history(HistoryOrder::Time, records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].shutdown_text, "User Accepted Auto-Start MC Setup");
  EXPECT_EQ(records[0].node_name, "Global");
}

TEST_F(ShutdownHistoryTest, ExportBytesOldestFirstInUtf8) {
  ASSERT_TRUE(add_history_record("0E05 REAR DISCHARGE", "MAIN I/O", at(2026, 3, 14, 13, 5)));
  // A Bulgarian text stays whole: written as UTF-8, not squeezed into 8-bit question marks.
  ASSERT_TRUE(add_history_record("0301 \xd0\x9f\xd0\xbb\xd0\xb0\xd0\xbc\xd1\x8a\xd0\xba",
                                 "FAN/HEATER #2", at(2026, 3, 2, 9, 41)));
  const ExportResult result = export_shutdown_history();
  EXPECT_TRUE(result.written);
  EXPECT_EQ(result.message, "");
  EXPECT_EQ(
      log_testing::read_file(usb / "DryerShutdownHistory.txt"),
      "0301 \xd0\x9f\xd0\xbb\xd0\xb0\xd0\xbc\xd1\x8a\xd0\xba;FAN/HEATER #2;Mar 02, 2026;9:41 AM;\n"
      "0E05 REAR DISCHARGE;MAIN I/O;Mar 14, 2026;1:05 PM;\n");
}

TEST_F(ShutdownHistoryTest, ExportOfAnEmptyHistoryLeavesTheFileAsItWas) {
  log_testing::write_file(usb / "DryerShutdownHistory.txt", "old contents\n");
  export_shutdown_history();
  EXPECT_EQ(log_testing::read_file(usb / "DryerShutdownHistory.txt"), "old contents\n");
}

TEST_F(ShutdownHistoryTest, ExportAfterAClearHoldsOnlyTheHistoryLeftNoOldTail) {
  ASSERT_TRUE(add_history_record("0E05 REAR DISCHARGE", "MAIN I/O", at(2026, 3, 14, 13, 5)));
  ASSERT_TRUE(add_history_record("0301 PLENUM HIGH LIMIT", "FAN/HEATER #2", at(2026, 3, 2, 9, 41)));
  ASSERT_TRUE(export_shutdown_history().written);
  ASSERT_TRUE(clear_shutdown_history());
  ASSERT_TRUE(add_history_record("0102 LOW", "G", at(2026, 4, 1, 0, 7)));
  ASSERT_TRUE(export_shutdown_history().written);
  EXPECT_EQ(log_testing::read_file(usb / "DryerShutdownHistory.txt"),
            "0102 LOW;G;Apr 01, 2026;12:07 AM;\n");
}

TEST_F(ShutdownHistoryTest, ExportPiecesAreCutAt500BytesOnACharacterBoundary) {
  std::vector<HistoryRecord> records(1);
  records[0].shutdown_text = "A" + std::string(300, '\xd0');
  for (size_t i = 1; i < records[0].shutdown_text.size(); i += 2)
    records[0].shutdown_text[i] = '\x9f';
  records[0].shutdown_text.resize(301);  // "A" then 150 two-byte letters
  records[0].shutdown_text += std::string(400, 'z');
  const std::string text = history_export_text(records);
  const std::string first = text.substr(0, text.find(';'));
  EXPECT_EQ(first.size(), 500u);
  records[0].shutdown_text = std::string(499, 'a') + "\xd0\x9f";
  const std::string cut = history_export_text(records);
  EXPECT_EQ(cut.find(';'), 499u);  // the letter that would not fit is left out whole
}

TEST_F(ShutdownHistoryTest, HelpCodeFromTheFirstFourCharacters) {
  EXPECT_EQ(help_code_of("0E05 REAR DISCHARGE").node, 14);
  EXPECT_EQ(help_code_of("0E05 REAR DISCHARGE").warning, 5);
  EXPECT_EQ(help_code_of("0301").node, 3);
  EXPECT_EQ(help_code_of("0301").warning, 1);
  // Lower-case and other characters count as 0; a short text reads as far as it goes.
  EXPECT_EQ(help_code_of("0e0g").node, 0);
  EXPECT_EQ(help_code_of("0e0g").warning, 0);
  EXPECT_EQ(help_code_of("1").node, 16);
  EXPECT_EQ(help_code_of("User Accepted").node, 0);
}

}  // namespace
}  // namespace corvex::logging
