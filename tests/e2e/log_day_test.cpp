// A logging day in virtual time: the built corvex-display with its simulator starts two minutes
// before midnight, the dryer runs, and a day and a few minutes later the three logs hold what a
// day of logging gives: a CSV line every 12 seconds, a graph record every 10 seconds (one file
// filled and the next started), a short-term record every 10 minutes (one file of 144 filled and
// the next started), each file named after the moment of its first record.
//
// The test's day is an hour long unless CORVEX_LOG_DAY_HOURS says otherwise; scripts/soak
// runs the whole 24 hours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/soak_support.h"
#include "support/process.h"

namespace {

using corvex::testing_support::TempDir;
using namespace corvex::soak;

// Seconds since an arbitrary epoch of a local date and time (no time zone: days_from_civil).
int64_t seconds_of(int year, int month, int day, int hour, int minute, int second) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t days = era * 146097 + doe - 719468;
  return ((days * 24 + hour) * 60 + minute) * 60 + second;
}

// The moment of a CSV record line: its date and its 12-hour time.
int64_t csv_moment(const std::string& line) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char half = 0;
  std::sscanf(line.c_str(), "%d-%d-%d,%d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &half);
  const int hour24 = (h % 12) + (half == 'P' ? 12 : 0);
  return seconds_of(y, mo, d, hour24, mi, s);
}

// The moment of a sample record (month, day, hour, minute, second; the year from the run).
int64_t record_moment(const std::string& bytes, size_t index, int year) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data()) + index * 18;
  return seconds_of(year, b[16], b[17], b[13], b[14], b[15]);
}

// The name a file started at the moment of record `index` carries.
std::string name_at(const std::string& stem, const std::string& bytes, size_t index) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data()) + index * 18;
  char name[64];
  std::snprintf(name, sizeof name, "%s26_%02d_%02d_%02d_%02d_%02d.DAT", stem.c_str(), b[16], b[17],
                b[13], b[14], b[15]);
  return name;
}

// Every step between consecutive moments is exactly `period`; returns the first that is not.
std::string check_steps(const std::vector<int64_t>& moments, int64_t period) {
  for (size_t i = 1; i < moments.size(); ++i) {
    if (moments[i] - moments[i - 1] != period)
      return "record " + std::to_string(i) + " follows the one before it after " +
             std::to_string(moments[i] - moments[i - 1]) + " s";
  }
  return {};
}

// Sample records of an earlier day, 10 s apart from midnight of 12 March, for a file that the
// run is to find nearly full.
std::string earlier_records(size_t count) {
  std::string bytes(count * 18, '\0');
  for (size_t i = 0; i < count; ++i) {
    const size_t s = i * 10;
    uint8_t* b = reinterpret_cast<uint8_t*>(bytes.data()) + i * 18;
    b[1] = 60;
    b[13] = uint8_t(s / 3600 % 24);
    b[14] = uint8_t(s / 60 % 60);
    b[15] = uint8_t(s % 60);
    b[16] = 3;
    b[17] = uint8_t(12 + s / 86400);
  }
  return bytes;
}

// A day of logging: by default an hour, with the graph and short-term files of the day before
// found nearly full so that each rotates within the hour; CORVEX_LOG_DAY_HOURS=24 runs the
// whole day on a fresh disk.
TEST(LogDay, ADayOfLoggingAcrossMidnightFillsAndRotatesTheLogs) {
  const long hours = env_number("CORVEX_LOG_DAY_HOURS", 1);
  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  // Ten minutes short of full (the graph) and two records short (the short-term log).
  const size_t graph_seeded = hours < 24 ? 8640 - 60 : 0;
  const size_t short_seeded = hours < 24 ? 142 : 0;
  if (hours < 24) {
    std::filesystem::create_directories(disk + "/GraphDataLog");
    std::filesystem::create_directories(disk + "/ShortTermDataLog");
    std::ofstream(disk + "/GraphDataLog/GRAPH_DATA_LOG_24HR26_03_12_00_00_00.DAT", std::ios::binary)
        << earlier_records(graph_seeded);
    std::ofstream(disk + "/ShortTermDataLog/DATA_LOG_24HR26_03_12_00_00_00.DAT", std::ios::binary)
        << earlier_records(short_seeded);
  }
  const auto started = std::chrono::steady_clock::now();
  {
    SoakDisplay display(disk, "2026-03-13 23:58:00", dir.path() + "/err.txt");
    ASSERT_TRUE(display.ok("wait 1000")) << file_bytes(dir.path() + "/err.txt");
    ASSERT_TRUE(display.ok("sim run"));
    // A day and six minutes: the graph's first file fills (8,640 records) and the next starts.
    const long total_ms = hours * 3'600'000 + 6 * 60'000;
    ASSERT_TRUE(display.advance(total_ms)) << file_bytes(dir.path() + "/err.txt");
    EXPECT_EQ(display.quit(), 0);
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("[ log day  ] %ld virtual hours in %.1f s\n", hours, wall);
  const int64_t run_seconds = hours * 3600 + 6 * 60;

  // The CSV: one header (one run), lines 12 s apart, from just before midnight into the next
  // day; midnight and noon print as 12 AM and 12 PM.
  const CsvParse csv = parse_csv_strictly(file_bytes(disk + "/DataLog/LongTermDataLog.csv"));
  ASSERT_EQ(csv.error, "");
  EXPECT_EQ(csv.headers, 1);
  ASSERT_GT(csv.records.size(), 100u);
  std::vector<int64_t> csv_moments;
  for (const std::string& l : csv.records) csv_moments.push_back(csv_moment(l));
  EXPECT_EQ(check_steps(csv_moments, 12), "");
  // Logging starts once the dryer runs; from then on to the end, every 12 seconds.
  EXPECT_NEAR(double(csv.records.size()), double(run_seconds) / 12.0, 2.0);
  bool midnight = false;
  for (const std::string& l : csv.records)
    midnight = midnight || l.compare(0, 16, "2026-03-14,12:00") == 0;
  EXPECT_TRUE(midnight) << "no line in the minute after midnight reads 12:00 AM";
  if (hours >= 24) {
    bool noon = false;
    for (const std::string& l : csv.records)
      noon = noon || (l.compare(0, 16, "2026-03-14,12:00") == 0 && l.compare(19, 2, "PM") == 0);
    EXPECT_TRUE(noon) << "no line in the minute after noon reads 12:00 PM";
  }

  // The graph log: records 10 s apart across the file boundary; the first file is full at
  // 155,520 bytes, the second holds the rest; each is named after its first record.
  const std::string graph_folder = disk + "/GraphDataLog";
  const std::vector<std::string> graph = files_named(graph_folder, "GRAPH_DATA_LOG_24HR");
  std::string graph_bytes;
  std::vector<size_t> graph_starts;
  for (const std::string& name : graph) {
    const std::string bytes = file_bytes(graph_folder + "/" + name);
    EXPECT_EQ(check_sample_file(bytes), "") << name;
    graph_starts.push_back(graph_bytes.size() / 18);
    graph_bytes += bytes;
  }
  ASSERT_GE(graph_bytes.size() / 18, graph_seeded);
  EXPECT_EQ(graph_bytes.compare(0, graph_seeded * 18, earlier_records(graph_seeded)), 0);
  const size_t graph_records = graph_bytes.size() / 18 - graph_seeded;
  EXPECT_NEAR(double(graph_records), double(run_seconds) / 10.0, 2.0);
  std::vector<int64_t> graph_moments;
  for (size_t i = 0; i < graph_records; ++i)
    graph_moments.push_back(record_moment(graph_bytes, graph_seeded + i, 2026));
  EXPECT_EQ(check_steps(graph_moments, 10), "");
  for (size_t f = graph_seeded ? 1 : 0; f < graph.size(); ++f)
    EXPECT_EQ(graph[f], name_at("GRAPH_DATA_LOG_24HR", graph_bytes, graph_starts[f]));
  ASSERT_EQ(graph.size(), 2u) << "one rotation";
  EXPECT_EQ(std::filesystem::file_size(graph_folder + "/" + graph[0]), 155'520u);

  // The short-term log: a record every 10 minutes (the default sample time), the first on the
  // first logging tick; 144 to a file.
  const std::string short_folder = disk + "/ShortTermDataLog";
  const std::vector<std::string> shorts = files_named(short_folder, "DATA_LOG_24HR");
  std::string short_bytes;
  std::vector<size_t> short_starts;
  for (const std::string& name : shorts) {
    const std::string bytes = file_bytes(short_folder + "/" + name);
    EXPECT_EQ(check_sample_file(bytes), "") << name;
    short_starts.push_back(short_bytes.size() / 18);
    short_bytes += bytes;
  }
  ASSERT_GE(short_bytes.size() / 18, short_seeded);
  const size_t short_records = short_bytes.size() / 18 - short_seeded;
  EXPECT_NEAR(double(short_records), double(run_seconds) / 600.0, 1.0);
  std::vector<int64_t> short_moments;
  for (size_t i = 0; i < short_records; ++i)
    short_moments.push_back(record_moment(short_bytes, short_seeded + i, 2026));
  EXPECT_EQ(check_steps(short_moments, 600), "");
  for (size_t f = short_seeded ? 1 : 0; f < shorts.size(); ++f)
    EXPECT_EQ(shorts[f], name_at("DATA_LOG_24HR", short_bytes, short_starts[f]));
  ASSERT_EQ(shorts.size(), 2u) << "one rotation";
  EXPECT_EQ(std::filesystem::file_size(short_folder + "/" + shorts[0]), 2'592u);
  // The log's moments agree with each other: the graph's first record is within the first
  // ten seconds of logging, as the CSV's first lines show.
  ASSERT_FALSE(graph_moments.empty());
  ASSERT_FALSE(short_moments.empty());
  EXPECT_LE(short_moments.front(), graph_moments.front());
  EXPECT_LE(graph_moments.front() - short_moments.front(), 11);
}

}  // namespace
