// The long-term CSV log: the exact bytes of the header and the lines, the capacity and its
// percentage, the result codes, and a log left behind by a power cut or a missing folder.
#include "logging/long_term_log.h"

#include "tests/logging/log_test_support.h"

namespace corvex::logging {
namespace {

using namespace log_testing;

class LongTermLogTest : public LogDiskTest {
 protected:
  fs::path csv() const { return disk / "DataLog" / "LongTermDataLog.csv"; }

  // A record with every 16-bit value split into high and low bytes here.
  static LongTermLogRecord record(unsigned grain, unsigned moist_in, unsigned temp_in,
                                  unsigned moist_out, unsigned temp_out, unsigned speed,
                                  unsigned bph, int hour, int minute, int second) {
    LongTermLogRecord r;
    r.grain_temp_high = grain >> 8;
    r.grain_temp_low = grain & 0xFF;
    r.moisture_in_high = moist_in >> 8;
    r.moisture_in_low = moist_in & 0xFF;
    r.grain_temp_in_high = temp_in >> 8;
    r.grain_temp_in_low = temp_in & 0xFF;
    r.moisture_out_high = moist_out >> 8;
    r.moisture_out_low = moist_out & 0xFF;
    r.grain_temp_out_high = temp_out >> 8;
    r.grain_temp_out_low = temp_out & 0xFF;
    r.roll_speed_low = speed;
    r.bushels_per_hour_high = bph >> 8;
    r.bushels_per_hour_low = bph & 0xFF;
    set_record_time(r, 2026, 3, 14, hour, minute, second);
    return r;
  }
  static LongTermLogRecord plain_record() { return record(1, 2, 3, 4, 5, 6, 7, 9, 0, 0); }
};

TEST_F(LongTermLogTest, FirstWriteOfARunPutsTheHeaderAfterAnEmptyLineThenLines) {
  set_logging_active(true);
  int percentage = -1;
  EXPECT_EQ(write_long_term_record(record(105, 5, 0, 1000, 655, 42, 1234, 0, 0, 0), &percentage),
            LongTermResult::Written);
  EXPECT_EQ(percentage, 0);  // measured before the write, on the new empty file
  EXPECT_EQ(write_long_term_record(record(65535, 159, 987, 10, 9, 255, 0, 12, 0, 0), &percentage),
            LongTermResult::Written);
  EXPECT_EQ(write_long_term_record(record(0, 0, 0, 0, 0, 0, 0, 13, 5, 9), &percentage),
            LongTermResult::Written);
  EXPECT_EQ(write_long_term_record(record(0, 0, 0, 0, 0, 0, 0, 23, 59, 59), &percentage),
            LongTermResult::Written);
  EXPECT_EQ(read_file(csv()),
            "\r\nDate,Time,Grain Column Temp,Moist In,Grain Temp In,Moist Out,Grain Temp Out,"
            "MR Speed,BPH\r\n"
            "2026-03-14,12:00:00AM,105,0.5,0.0,100.0,65.5,42,1234\r\n"
            "2026-03-14,12:00:00PM,65535,15.9,98.7,1.0,0.9,255,0\r\n"
            "2026-03-14,01:05:09PM,0,0.0,0.0,0.0,0.0,0,0\r\n"
            "2026-03-14,11:59:59PM,0,0.0,0.0,0.0,0.0,0,0\r\n");
  EXPECT_GT(percentage, -1);

  // The next run writes the header again, after the lines already there.
  reset_long_term_header();
  const std::string before = read_file(csv());
  EXPECT_EQ(write_long_term_record(record(1, 1, 1, 1, 1, 1, 1, 1, 2, 3), &percentage),
            LongTermResult::Written);
  EXPECT_EQ(read_file(csv()).substr(before.size()),
            "\r\nDate,Time,Grain Column Temp,Moist In,Grain Temp In,Moist Out,Grain Temp Out,"
            "MR Speed,BPH\r\n2026-03-14,01:02:03AM,1,0.1,0.1,0.1,0.1,1,1\r\n");
}

TEST_F(LongTermLogTest, TimeFieldsUseTheTwelveHourClock) {
  struct Case {
    int hour;
    uint32_t shown;
    char half;
  };
  for (const Case c : {Case{0, 12, 'A'}, Case{1, 1, 'A'}, Case{11, 11, 'A'}, Case{12, 12, 'P'},
                       Case{13, 1, 'P'}, Case{23, 11, 'P'}}) {
    LongTermLogRecord r;
    set_record_time(r, 2026, 1, 2, c.hour, 3, 4);
    EXPECT_EQ(r.hour, c.shown) << c.hour;
    EXPECT_EQ(r.half_of_day, c.half) << c.hour;
  }
}

TEST_F(LongTermLogTest, PercentageTruncatesAndTheCapacityStopsWriting) {
  EXPECT_EQ(log_used_percentage(0), 0);
  EXPECT_EQ(log_used_percentage(3'670'016), 70);
  EXPECT_EQ(log_used_percentage(3'722'445), 71);
  EXPECT_EQ(log_used_percentage(5'242'879), 99);
  EXPECT_EQ(log_used_percentage(5'242'880), 100);
  EXPECT_EQ(log_used_percentage(9'000'000), 100);

  set_logging_active(true);
  write_file(csv(), std::string(5'242'877, 'x') + "\r\n");  // one byte short of full
  int percentage = -1;
  EXPECT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::Written);
  EXPECT_EQ(percentage, 99);
  const uint64_t grown = fs::file_size(csv());
  EXPECT_GT(grown, 5'242'880u);
  EXPECT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::Full);
  EXPECT_EQ(percentage, 100);
  EXPECT_EQ(fs::file_size(csv()), grown);
}

TEST_F(LongTermLogTest, InactiveLoggingCreatesTheFileButWritesNothing) {
  int percentage = -1;
  EXPECT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::NotActive);
  EXPECT_EQ(percentage, 0);
  ASSERT_TRUE(fs::exists(csv()));
  EXPECT_EQ(fs::file_size(csv()), 0u);

  write_file(csv(), std::string(3'722'445, 'x'));
  EXPECT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::NotActive);
  EXPECT_EQ(percentage, 71);
  EXPECT_EQ(fs::file_size(csv()), 3'722'445u);
  // The header is still pending for the first line that is written.
  set_logging_active(true);
  EXPECT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::Written);
  EXPECT_EQ(read_file(csv()).substr(3'722'445, 4), "\r\n\r\n");
}

TEST_F(LongTermLogTest, ALineCutShortByAPowerCutIsEndedBeforeTheNextOne) {
  set_logging_active(true);
  int percentage = 0;
  ASSERT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::Written);
  const std::string whole = read_file(csv());
  write_file(csv(), whole + "2026-03-14,09:0");
  ASSERT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::Written);
  EXPECT_EQ(read_file(csv()),
            whole + "2026-03-14,09:0\r\n2026-03-14,09:00:00AM,1,0.2,0.3,0.4,0.5,6,7\r\n");

  // Cut between the carriage return and the line feed: only the line feed is missing.
  write_file(csv(), whole + "2026-03-14,09:00:00AM,1,0.2,0.3,0.4,0.5,6,7\r");
  ASSERT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::Written);
  EXPECT_EQ(read_file(csv()), whole + "2026-03-14,09:00:00AM,1,0.2,0.3,0.4,0.5,6,7\r\n" +
                                  "2026-03-14,09:00:00AM,1,0.2,0.3,0.4,0.5,6,7\r\n");
}

TEST_F(LongTermLogTest, AFolderThatCannotBeMadeLosesTheRecordAndLoggingResumesLater) {
  set_logging_active(true);
  write_file(disk / "DataLog", "a file where the folder should be");
  int percentage = 55;
  EXPECT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::CannotOpen);
  EXPECT_EQ(percentage, 55);  // not set
  EXPECT_FALSE(long_term_log_percentage(&percentage));

  fs::remove(disk / "DataLog");
  EXPECT_EQ(write_long_term_record(plain_record(), &percentage), LongTermResult::Written);
  EXPECT_EQ(percentage, 0);
  EXPECT_EQ(read_file(csv()).substr(0, 6), "\r\nDate");
}

}  // namespace
}  // namespace corvex::logging
