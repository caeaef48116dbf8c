// The graph data log: file names and record bytes, rotation between two files, which file is
// the newer whatever the disk says, torn records, and the windows the graph view loads.
#include "logging/graph_log.h"

#include <chrono>
#include <thread>

#include "tests/logging/log_test_support.h"

namespace corvex::logging {
namespace {

using namespace log_testing;

constexpr char kDay13[] = "GRAPH_DATA_LOG_24HR26_03_13_08_00_00.DAT";
constexpr char kDay14[] = "GRAPH_DATA_LOG_24HR26_03_14_13_05_09.DAT";

DryerSampleRecord to_record(const std::string& bytes) {
  DryerSampleRecord r{};
  std::copy(bytes.begin(), bytes.end(), r.begin());
  return r;
}

class GraphLogTest : public LogDiskTest {
 protected:
  fs::path folder() const { return disk / "GraphDataLog"; }
  void put(const char* name, const std::string& bytes) { write_file(folder() / name, bytes); }
  std::string contents(const std::string& name) const { return read_file(folder() / name); }
  // The values of one trace at the given points.
  static std::vector<int> values(GraphTrace trace, std::initializer_list<size_t> points) {
    std::vector<int> out;
    for (size_t p : points) out.push_back(graph_window().points[trace][p].y);
    return out;
  }
};

TEST_F(GraphLogTest, FirstRecordCreatesTheFolderAndAFileNamedAfterTheMoment) {
  const std::string bytes = sample_bytes(104, 655, 182, 871, 151, 37, 13, 5, 9, 3, 14);
  ASSERT_TRUE(append_graph_record(to_record(bytes)));
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{kDay14});
  EXPECT_EQ(contents(kDay14), std::string("\x00\x68\x02\x8f\x00\xb6\x03\x67\x00\x97\x00\x25"
                                          "\x00\x0d\x05\x09\x03\x0e",
                                          18));
}

TEST_F(GraphLogTest, AFileIsFullAtExactlyTwentyFourHoursAndTheOlderOfTwoFullOnesGoes) {
  const std::string rec = sample_bytes(1, 2, 3, 4, 5, 6);
  put(kDay13, repeated(rec, 8'639));
  ASSERT_TRUE(append_graph_record(to_record(rec)));  // the last record that fits
  EXPECT_EQ(fs::file_size(folder() / kDay13), 155'520u);
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{kDay13});

  ASSERT_TRUE(append_graph_record(to_record(rec)));
  EXPECT_EQ(names_in(folder()), (std::vector<std::string>{kDay13, kDay14}));
  EXPECT_EQ(fs::file_size(folder() / kDay14), 18u);

  // Only the older full: records keep going to the newer.
  set_time(2026, 3, 15, 0, 0, 0);
  ASSERT_TRUE(append_graph_record(to_record(rec)));
  EXPECT_EQ(fs::file_size(folder() / kDay14), 36u);

  // Both full: the older is deleted and a third name is started.
  put(kDay14, repeated(rec, 8'640));
  ASSERT_TRUE(append_graph_record(to_record(rec)));
  EXPECT_EQ(names_in(folder()),
            (std::vector<std::string>{kDay14, "GRAPH_DATA_LOG_24HR26_03_15_00_00_00.DAT"}));
  EXPECT_EQ(fs::file_size(folder() / kDay14), 155'520u);
}

// tmpfs and other disks may keep no creation time, and then report the last write in its
// place; the files here are made in the opposite order of their names, so that what the disk
// reports contradicts the moments the names carry.
TEST_F(GraphLogTest, TheNewerFileIsTheOneStartedLaterWhateverTheDiskReports) {
  const std::string rec = sample_bytes(9, 9, 9, 9, 9, 9);
  put(kDay14, rec);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a disk time apart
  put(kDay13, rec);
  ASSERT_TRUE(append_graph_record(to_record(rec)));
  EXPECT_EQ(fs::file_size(folder() / kDay14), 36u);
  EXPECT_EQ(fs::file_size(folder() / kDay13), 18u);

  put(kDay14, repeated(rec, 8'640));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  put(kDay13, repeated(rec, 8'640));
  set_time(2026, 3, 16, 6, 0, 0);
  ASSERT_TRUE(append_graph_record(to_record(rec)));
  EXPECT_EQ(names_in(folder()),
            (std::vector<std::string>{kDay14, "GRAPH_DATA_LOG_24HR26_03_16_06_00_00.DAT"}));
  EXPECT_EQ(fs::file_size(folder() / kDay14), 155'520u);

  // A clock set back between two files: the file being filled carries the earlier moment, yet
  // it is the newer one (a file is started only when the other is full).
  fs::remove_all(folder());
  put(kDay14, repeated(sample_bytes(1, 0, 0, 0, 0, 0), 8'640));
  put(kDay13, sample_bytes(2, 0, 0, 0, 0, 0));
  ASSERT_TRUE(append_graph_record(to_record(sample_bytes(2, 0, 0, 0, 0, 0))));
  EXPECT_EQ(fs::file_size(folder() / kDay13), 36u);
  EXPECT_EQ(fs::file_size(folder() / kDay14), 155'520u);
  ASSERT_EQ(load_graph_window(graph_window(), 0, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0, 357, 358, 359}), (std::vector<int>{1, 1, 2, 2}));
}

TEST_F(GraphLogTest, FilesBeyondTheTwoNewestAreLeftAlone) {
  const std::string rec = sample_bytes(5, 0, 0, 0, 0, 0);
  const char* stray = "GRAPH_DATA_LOG_24HR25_12_31_23_59_59.DAT";
  put(stray, repeated(rec, 10));
  put(kDay13, repeated(rec, 8'640));
  put(kDay14, repeated(rec, 100));
  ASSERT_TRUE(append_graph_record(to_record(rec)));
  EXPECT_EQ(fs::file_size(folder() / kDay14), 101 * 18u);
  EXPECT_EQ(fs::file_size(folder() / stray), 180u);
  EXPECT_EQ(graph_available_hours(), 24);  // the two newest: 8,741 records

  put(kDay14, repeated(rec, 8'640));
  set_time(2026, 3, 15, 0, 0, 0);
  ASSERT_TRUE(append_graph_record(to_record(rec)));
  EXPECT_EQ(names_in(folder()),
            (std::vector<std::string>{stray, kDay14, "GRAPH_DATA_LOG_24HR26_03_15_00_00_00.DAT"}));
}

TEST_F(GraphLogTest, ATornLastRecordIsWrittenOverAndNeverLoaded) {
  const std::string rec = sample_bytes(30, 0, 0, 0, 0, 0);
  put(kDay14, repeated(rec, 3) + std::string("\x00\x99\x01", 3));
  ASSERT_EQ(load_graph_window(graph_window(), 0, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {356, 357, 358, 359}), (std::vector<int>{0, 30, 30, 30}));

  const std::string next = sample_bytes(31, 0, 0, 0, 0, 0);
  ASSERT_TRUE(append_graph_record(to_record(next)));
  EXPECT_EQ(contents(kDay14), repeated(rec, 3) + next);
}

TEST_F(GraphLogTest, HalfAnHourOnTheOneHourScaleFillsTheRightHalf) {
  put(kDay14, repeated(sample_bytes(104, 655, 182, 871, 151, 37), 180));
  ASSERT_EQ(load_graph_window(graph_window(), 0, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0, 179, 180, 359}), (std::vector<int>{0, 0, 104, 104}));
  EXPECT_EQ(values(kTraceGrainTempIn, {179, 180}), (std::vector<int>{0, 65}));
  EXPECT_EQ(values(kTraceMoistureIn, {179, 180}), (std::vector<int>{0, 182}));
  EXPECT_EQ(values(kTraceGrainTempOut, {179, 180}), (std::vector<int>{0, 87}));
  EXPECT_EQ(values(kTraceMoistureOut, {179, 180}), (std::vector<int>{0, 151}));
  EXPECT_EQ(values(kTraceRollSpeed, {179, 180}), (std::vector<int>{0, 37}));
  EXPECT_EQ(graph_window().points[kTraceMoistureIn][200].x, 200);
  EXPECT_EQ(graph_available_hours(), 0);
  EXPECT_EQ(graph_scroll_limit(1), 0);
}

TEST_F(GraphLogTest, LongerScalesAverageConsecutiveRecords) {
  // Two hours of records alternating between two readings.
  const std::string pair =
      sample_bytes(60, 615, 150, 700, 140, 10) + sample_bytes(63, 620, 151, 705, 141, 13);
  put(kDay14, repeated(pair, 360));
  ASSERT_EQ(load_graph_window(graph_window(), 0, 1), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceGrainTempIn, {0, 359}), (std::vector<int>{61, 61}));  // 1235 / 10 / 2
  EXPECT_EQ(values(kTraceGrainTempOut, {0}), (std::vector<int>{70}));          // 1405 / 10 / 2
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0}), (std::vector<int>{61}));
  EXPECT_EQ(values(kTraceMoistureIn, {0}), (std::vector<int>{150}));
  EXPECT_EQ(values(kTraceRollSpeed, {0}), (std::vector<int>{11}));

  // Eight hours wanted, two there: the last quarter holds them, each point over eight records.
  ASSERT_EQ(load_graph_window(graph_window(), 0, 3), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {269, 270, 359}), (std::vector<int>{0, 61, 61}));
  // An unknown scale setting is the one-hour scale.
  ASSERT_EQ(load_graph_window(graph_window(), 0, 9), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0, 1}), (std::vector<int>{60, 63}));
}

TEST_F(GraphLogTest, AWindowAcrossTheFileBoundaryReadsOlderThenNewer) {
  // The older file: its first record stands out, the rest read 1; the newer: 90 minutes of 2.
  put(kDay13, sample_bytes(7, 0, 0, 0, 0, 0) + repeated(sample_bytes(1, 0, 0, 0, 0, 0), 8'639));
  put(kDay14, repeated(sample_bytes(2, 0, 0, 0, 0, 0), 540));
  EXPECT_EQ(graph_available_hours(), 24);
  EXPECT_EQ(graph_scroll_limit(1), 24);  // 165,240 bytes: 25 whole hours
  EXPECT_EQ(graph_scroll_limit(8), 17);

  ASSERT_EQ(load_graph_window(graph_window(), 0, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0, 179, 180, 359}), (std::vector<int>{2, 2, 2, 2}));
  ASSERT_EQ(load_graph_window(graph_window(), 1, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0, 179, 180, 359}), (std::vector<int>{1, 1, 2, 2}));
  ASSERT_EQ(load_graph_window(graph_window(), 2, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0, 359}), (std::vector<int>{1, 1}));
  // Scrolled past the oldest record: the window stops at it.
  ASSERT_EQ(load_graph_window(graph_window(), 100, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceDryerGrainTemp, {0, 1, 359}), (std::vector<int>{7, 1, 1}));
}

TEST_F(GraphLogTest, AFolderThatCannotBeMadeLosesTheRecordAndLoggingResumesLater) {
  write_file(folder(), "a file where the folder should be");
  const DryerSampleRecord r = to_record(sample_bytes(1, 2, 3, 4, 5, 6));
  EXPECT_FALSE(append_graph_record(r));
  EXPECT_EQ(load_graph_window(graph_window(), 0, 0), GraphLoad::Loaded);
  EXPECT_EQ(graph_available_hours(), 0);
  fs::remove(folder());
  EXPECT_TRUE(append_graph_record(r));
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{kDay14});
}

TEST_F(GraphLogTest, NothingOnDiskLoadsZeros) {
  graph_window().points[kTraceMoistureIn][359] = {359, 99};
  ASSERT_EQ(load_graph_window(graph_window(), 0, 0), GraphLoad::Loaded);
  EXPECT_EQ(values(kTraceMoistureIn, {359}), (std::vector<int>{0}));
  EXPECT_EQ(graph_available_hours(), 0);
}

// A kill loses nothing however the records are synced (the crash loop checks that); these are
// the records that still reach the disk at once, for a power cut.
TEST(GraphLogSync, AFilesFirstAndLastRecordsTheRunsFirstAndAnyAfterTheSpacingAreSynced) {
  using std::chrono::milliseconds;
  const auto just_before = kGraphSyncSpacing - milliseconds(1);
  EXPECT_TRUE(graph_record_synced(0, milliseconds(0)));      // the record that starts a file
  EXPECT_TRUE(graph_record_synced(8'639, milliseconds(0)));  // the one that fills it
  EXPECT_FALSE(graph_record_synced(8'638, just_before));
  EXPECT_FALSE(graph_record_synced(1, milliseconds(0)));
  EXPECT_TRUE(graph_record_synced(1, std::nullopt));  // nothing synced yet in this run
  EXPECT_TRUE(graph_record_synced(1, kGraphSyncSpacing));
  // Records every 10 seconds of real time, as on a panel: each one is synced.
  EXPECT_TRUE(graph_record_synced(4'000, std::chrono::seconds(10)));
}

}  // namespace
}  // namespace corvex::logging
