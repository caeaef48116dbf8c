// The short-term data log: files of 144 records and their rotation, reading the newest records
// across the two files, clearing, and files put into the folder from outside.
#include "logging/short_term_log.h"

#include "tests/logging/log_test_support.h"

namespace corvex::logging {
namespace {

using namespace log_testing;

constexpr char kFirst[] = "DATA_LOG_24HR26_03_14_13_05_09.DAT";
constexpr char kSecond[] = "DATA_LOG_24HR26_03_15_13_05_09.DAT";
constexpr char kThird[] = "DATA_LOG_24HR26_03_16_13_05_09.DAT";

// Record n of a test run carries n in its dryer grain temperature.
std::string numbered(unsigned n) { return sample_bytes(n, 0, 0, 0, 0, 0); }
std::string numbered_run(unsigned first, unsigned count) {
  std::string s;
  for (unsigned n = first; n < first + count; ++n) s += numbered(n);
  return s;
}

class ShortTermLogTest : public LogDiskTest {
 protected:
  fs::path folder() const { return disk / "ShortTermDataLog"; }
  void put(const char* name, const std::string& bytes) { write_file(folder() / name, bytes); }

  // Reads `count` records with `skip` and returns the numbers they carry.
  static std::vector<unsigned> read_numbers(size_t count, int skip) {
    std::vector<DryerSampleRecord> out(count);
    const int n = read_recent_short_term_records(out, skip);
    std::vector<unsigned> numbers;
    for (int i = 0; i < n; ++i) numbers.push_back(unsigned(out[size_t(i)][0] << 8 | out[size_t(i)][1]));
    return numbers;
  }
};

TEST_F(ShortTermLogTest, TheHundredFortyFifthRecordStartsASecondFileAndTheTwoHundredEightyNinthAThird) {
  for (unsigned n = 1; n <= 289; ++n) {
    DryerSampleRecord r{};
    r[1] = uint8_t(n);
    ASSERT_TRUE(append_short_term_record(r)) << n;
    if (n == 144) {
      EXPECT_EQ(names_in(folder()), std::vector<std::string>{kFirst});
    }
    if (n == 145) {
      EXPECT_EQ(names_in(folder()), (std::vector<std::string>{kFirst, kSecond}));
    }
    platform::clock::advance_ms(600'000);  // a sample time of 10 minutes
  }
  EXPECT_EQ(names_in(folder()), (std::vector<std::string>{kSecond, kThird}));
  EXPECT_EQ(fs::file_size(folder() / kSecond), 2'592u);
  EXPECT_EQ(fs::file_size(folder() / kThird), 18u);
  EXPECT_EQ(short_term_records_available(), 144);
}

TEST_F(ShortTermLogTest, FewerRecordsThanAskedFillTheFirstSlots) {
  put(kFirst, numbered_run(1, 3));
  EXPECT_EQ(read_numbers(8, 0), (std::vector<unsigned>{1, 2, 3}));
  EXPECT_EQ(short_term_records_available(), 3);
}

TEST_F(ShortTermLogTest, RecentRecordsRunOnAcrossTheFileBoundaryOldestFirst) {
  put(kFirst, numbered_run(0, 144));
  put(kSecond, numbered_run(144, 5));
  EXPECT_EQ(read_numbers(8, 0), (std::vector<unsigned>{141, 142, 143, 144, 145, 146, 147, 148}));
  EXPECT_EQ(read_numbers(8, 3), (std::vector<unsigned>{138, 139, 140, 141, 142, 143, 144, 145}));
  EXPECT_EQ(read_numbers(8, 10), (std::vector<unsigned>{131, 132, 133, 134, 135, 136, 137, 138}));
  // Past the oldest record the window stops at it.
  EXPECT_EQ(read_numbers(8, 145), (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(read_numbers(2, 0), (std::vector<unsigned>{147, 148}));
}

TEST_F(ShortTermLogTest, ATornRecordIsNeitherReadNorKeptBeforeTheNextRecord) {
  put(kFirst, numbered_run(0, 144));
  put(kSecond, numbered_run(144, 2) + std::string("\x00\x07", 2));
  EXPECT_EQ(read_numbers(3, 0), (std::vector<unsigned>{143, 144, 145}));
  const std::string next = numbered(146);
  DryerSampleRecord r{};
  std::copy(next.begin(), next.end(), r.begin());
  ASSERT_TRUE(append_short_term_record(r));
  EXPECT_EQ(read_file(folder() / kSecond), numbered_run(144, 3));
}

TEST_F(ShortTermLogTest, StrayFilesAreLeftAloneByAppendReadAndClear) {
  const char* stray = "DATA_LOG_24HR20_01_01_00_00_00.DAT";
  put(stray, numbered_run(900, 4));
  put(kFirst, numbered_run(0, 144));
  put(kSecond, numbered_run(144, 1));
  DryerSampleRecord r{};
  r[1] = 145;
  ASSERT_TRUE(append_short_term_record(r));
  EXPECT_EQ(read_numbers(3, 0), (std::vector<unsigned>{143, 144, 145}));
  EXPECT_EQ(names_in(folder()), (std::vector<std::string>{stray, kFirst, kSecond}));

  clear_short_term_log();
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{stray});
  EXPECT_EQ(read_file(folder() / stray), numbered_run(900, 4));
}

TEST_F(ShortTermLogTest, ClearingEmptiesTheLogAndTheNextRecordStartsAFreshFile) {
  put(kFirst, numbered_run(0, 144));
  put(kSecond, numbered_run(144, 1));
  clear_short_term_log();
  EXPECT_TRUE(names_in(folder()).empty());
  EXPECT_EQ(read_numbers(8, 0), std::vector<unsigned>{});
  EXPECT_EQ(short_term_records_available(), 0);

  fs::remove_all(folder());  // the folder is made again with the next file
  set_time(2026, 3, 16, 13, 5, 9);
  ASSERT_TRUE(append_short_term_record(DryerSampleRecord{}));
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{kThird});
}

}  // namespace
}  // namespace corvex::logging
