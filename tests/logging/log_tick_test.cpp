// The data logs' share of the one-second tick, run tick by tick on a virtual clock: what goes
// into each log and when, the logging condition, the two short-term sampling modes, and the
// close-to-full question.
#include "logging/log_tick.h"

#include "logging/graph_log.h"
#include "resources/history_dialogs.h"
#include "logging/short_term_log.h"
#include "logging/display_settings.h"
#include "tests/logging/log_test_support.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::logging {
namespace {

using namespace log_testing;

class LogTickTest : public LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    saved_sample_time = logging::display_settings().sample_time_minutes;
    // A dryer in the logging condition with readings in every logged byte.
    set_mirror(172, 0x01);
    set_mirror(184, 1);
    set_mirror(91, 0x2C);  // grain-column sensor B, low byte first: 300
    set_mirror(92, 0x01);
    set_mirror(195, 0x02);  // grain temperature in 65.5
    set_mirror(196, 0x8F);
    set_mirror(191, 0x00);  // moisture in 18.2
    set_mirror(192, 0xB6);
    set_mirror(193, 0x03);  // grain temperature out 87.1
    set_mirror(194, 0x67);
    set_mirror(189, 0x00);  // moisture out 15.1
    set_mirror(190, 0x97);
    set_mirror(245, 37);
    set_mirror(173, 0x04);  // 1234 bushels per hour
    set_mirror(174, 0xD2);
  }
  void TearDown() override {
    logging::display_settings().sample_time_minutes = saved_sample_time;
    LogDiskTest::TearDown();
  }
  // Runs `n` ticks, one second apart (the first at the current time).
  static void ticks(int n) {
    for (int i = 0; i < n; ++i) {
      data_log_tick(nullptr);
      platform::clock::advance_ms(1000);
    }
  }
  std::string csv() const { return read_file(disk / "DataLog" / "LongTermDataLog.csv"); }
  // The seconds byte of every record in the log's newest file.
  static std::vector<int> record_seconds(const SampleFileTable& table, const fs::path& folder) {
    std::vector<int> seconds;
    if (!table.newest()) return seconds;
    const std::string bytes = read_file(folder / table.newest()->name);
    for (size_t at = 0; at + 18 <= bytes.size(); at += 18) seconds.push_back(bytes[at + 15]);
    return seconds;
  }
  std::vector<int> graph_seconds() const {
    return record_seconds(scan_graph_files(), disk / "GraphDataLog");
  }
  std::vector<int> short_term_seconds() const {
    return record_seconds(scan_short_term_files(), disk / "ShortTermDataLog");
  }

  uint32_t saved_sample_time = 10;
};

TEST_F(LogTickTest, LongTermSnapshotOnTheFirstTickThenEveryTwelfth) {
  set_mirror(289, 1);
  // A snapshot sees the logging-active flag as the tick before left it: at start-up it is
  // clear, so the first snapshot writes nothing.
  ticks(1);
  EXPECT_EQ(csv(), "");
  EXPECT_TRUE(logging_active());

  // Logging already active, as a tick before the first snapshot would leave it.
  fs::remove_all(disk / "DataLog");
  reset_log_tick();
  set_time(2026, 3, 14, 13, 5, 9);
  set_logging_active(true);
  ticks(25);
  EXPECT_EQ(csv(),
            "\r\nDate,Time,Grain Column Temp,Moist In,Grain Temp In,Moist Out,Grain Temp Out,"
            "MR Speed,BPH\r\n"
            "2026-03-14,01:05:09PM,300,18.2,65.5,15.1,87.1,37,1234\r\n"
            "2026-03-14,01:05:21PM,300,18.2,65.5,15.1,87.1,37,1234\r\n"
            "2026-03-14,01:05:33PM,300,18.2,65.5,15.1,87.1,37,1234\r\n");
  EXPECT_EQ(log_tick_state().log_used_percentage, 0);
}

TEST_F(LogTickTest, DataLoggingOffKeepsThePercentageCurrentWithoutWriting) {
  write_file(disk / "DataLog" / "LongTermDataLog.csv", std::string(2'621'440, 'x'));
  ticks(1);
  EXPECT_EQ(log_tick_state().log_used_percentage, 50);
  EXPECT_EQ(csv().size(), 2'621'440u);
}

TEST_F(LogTickTest, TheSelectorPicksTheGrainSensorAndAnUnknownOneKeepsTheLastReading) {
  set_mirror(89, 0x10);  // sensor C
  set_mirror(90, 0x00);
  set_mirror(93, 0x20);  // sensor A
  set_mirror(94, 0x00);
  struct Case {
    uint8_t selector;
    uint32_t high, low;
  };
  for (const Case c : {Case{0, 0x00, 0x20}, Case{2, 0x00, 0x10}, Case{1, 0x01, 0x2C},
                       Case{3, 0x01, 0x2C}, Case{255, 0x01, 0x2C}}) {
    set_mirror(184, c.selector);
    ticks(12);
    EXPECT_EQ(log_tick_state().long_term.grain_temp_high, c.high) << int(c.selector);
    EXPECT_EQ(log_tick_state().long_term.grain_temp_low, c.low) << int(c.selector);
    EXPECT_EQ(log_tick_state().sample[0], c.high) << int(c.selector);
    EXPECT_EQ(log_tick_state().sample[1], c.low) << int(c.selector);
  }
}

TEST_F(LogTickTest, GraphRecordsFollowEveryTenSecondsOfLoggingFromTheEleventh) {
  ticks(10);
  EXPECT_TRUE(scan_graph_files().files.empty());
  ticks(1);  // 13:05:19
  const SampleFileTable table = scan_graph_files();
  ASSERT_EQ(table.count(), 1u);
  EXPECT_EQ(table.newest()->name, "GRAPH_DATA_LOG_24HR26_03_14_13_05_19.DAT");
  EXPECT_EQ(read_file(disk / "GraphDataLog" / table.newest()->name),
            std::string("\x01\x2C\x02\x8F\x00\xB6\x03\x67\x00\x97\x00\x25\x00"
                        "\x0D\x05\x13\x03\x0E",
                        18));
  ticks(10);  // the next at 13:05:29
  // Five seconds out of the logging condition do not count.
  set_mirror(172, 0);
  ticks(5);
  EXPECT_FALSE(logging_active());
  set_mirror(171, 0x40);  // the other half of the condition
  ticks(10);
  EXPECT_TRUE(logging_active());
  EXPECT_EQ(graph_seconds(), (std::vector<int>{19, 29, 44}));
}

TEST_F(LogTickTest, PeriodicShortTermSamplesStartOnTheFirstLoggingTick) {
  logging::display_settings().sample_time_minutes = 1;
  ticks(121);  // 13:05:09 to 13:07:09
  EXPECT_EQ(short_term_seconds(), (std::vector<int>{9, 9, 9}));
  const std::string bytes =
      read_file(disk / "ShortTermDataLog" / scan_short_term_files().newest()->name);
  EXPECT_EQ(bytes.substr(36, 18), std::string("\x01\x2C\x02\x8F\x00\xB6\x03\x67\x00\x97\x00\x25"
                                              "\x00\x0D\x07\x09\x03\x0E",
                                              18));

  // A new sample time takes effect at the next reload; choosing one samples at once.
  logging::display_settings().sample_time_minutes = 5;
  ticks(60);  // the record at 13:08:09, then five minutes to the next
  ticks(299);
  EXPECT_EQ(short_term_records_available(), 4);
  ticks(1);
  EXPECT_EQ(short_term_records_available(), 5);
  ticks(3);
  restart_short_term_sampling();
  ticks(1);
  EXPECT_EQ(short_term_records_available(), 6);
}

TEST_F(LogTickTest, ASampleTimeOfZeroSamplesOnceAMinute) {
  logging::display_settings().sample_time_minutes = 0;
  ticks(60);
  EXPECT_EQ(short_term_records_available(), 1);
}

TEST_F(LogTickTest, CycledSamplerWritesOneRecordPerEventUntilItRearms) {
  set_mirror(293, 0x80);
  set_mirror(292, 0x02);
  set_mirror(190, 0);  // no moisture reading yet
  ticks(3);
  EXPECT_EQ(short_term_records_available(), 0);
  set_mirror(190, 0x97);
  ticks(20);
  EXPECT_EQ(short_term_records_available(), 1);
  set_mirror(292, 0x00);
  ticks(2);
  set_mirror(292, 0x02);
  ticks(2);
  EXPECT_EQ(short_term_records_available(), 1);  // not re-armed yet
  set_mirror(292, 0x01);
  ticks(1);
  set_mirror(292, 0x02);
  ticks(5);
  EXPECT_EQ(short_term_records_available(), 2);
}

TEST_F(LogTickTest, NothingIsSampledOutsideTheLoggingCondition) {
  set_mirror(172, 0);
  set_mirror(171, 0xBF);  // every bit but the one that counts
  ticks(30);
  EXPECT_FALSE(logging_active());
  EXPECT_TRUE(scan_graph_files().files.empty());
  EXPECT_TRUE(scan_short_term_files().files.empty());
}

// The close-to-full question needs a message loop: the tick runs from a timer, and the
// automation answers the question.
class LogFullQuestionTest : public setup_testing::SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    disk = fs::temp_directory_path() / ("corvex-logs-question-" + std::to_string(getpid()));
    fs::remove_all(disk);
    fs::create_directories(disk);
    platform::set_disk_root(disk.string());
    reset_log_tick();
    setup_testing::set_mirror(289, 1);
    setup_testing::set_mirror(172, 1);
  }
  void TearDown() override {
    SetupTest::TearDown();
    fs::remove_all(disk);
    reset_log_tick();
  }
  void log_of(uint64_t bytes) {
    write_file(disk / "DataLog" / "LongTermDataLog.csv", std::string(bytes, 'x') + "\r\n");
  }
  // Runs `count` ticks from a timer, then the script.
  std::vector<std::string> tick_then(int count, const std::string& script) {
    static int tick_count;
    tick_count = count;
    const int caption = add_probe([] { return "caption " + setup_testing::modal_caption(); });
    std::string s = script;
    for (size_t at; (at = s.find("CAPTION")) != std::string::npos;) {
      s.replace(at, 7, "probe " + std::to_string(caption));
    }
    return answers(run(
        [](platform::gui::Window* w) {
          for (int i = 0; i < tick_count; ++i) data_log_tick(w);
        },
        s));
  }

  fs::path disk;
};

TEST_F(LogFullQuestionTest, SeventyPercentAsksNothing) {
  log_of(3'670'014);  // 3,670,016 bytes: 70 %
  EXPECT_EQ(tick_then(1, "CAPTION"), std::vector<std::string>{"caption "});
  EXPECT_EQ(log_tick_state().log_used_percentage, 70);
  EXPECT_TRUE(log_tick_state().size_warning_armed);
}

TEST_F(LogFullQuestionTest, SeventyOnePercentAsksOnceAndYesOpensTheDataLoggerSetup) {
  log_of(3'722'443);  // 71 %
  const std::string exit_logger = "\nclick " + std::to_string(resources::kDataLoggerExit) + "\n";
  EXPECT_EQ(tick_then(1, "CAPTION\nclick Yes\nCAPTION" + exit_logger + "CAPTION"),
            (std::vector<std::string>{"caption DATA LOG FILE SIZE WARNING",
                                      "caption DAY DATA LOGGER SETUP - 19", "caption "}));
  EXPECT_FALSE(log_tick_state().size_warning_armed);

  // The next snapshots of the run ask no more.
  EXPECT_EQ(tick_then(25, "CAPTION"), std::vector<std::string>{"caption "});
}

TEST_F(LogFullQuestionTest, NoLeavesTheSetupClosed) {
  log_of(4'000'000);
  EXPECT_EQ(tick_then(1, "click No\nCAPTION"), std::vector<std::string>{"caption "});
}

}  // namespace
}  // namespace corvex::logging
