#pragma once
// A panel disk of its own for every log test, on tmpfs where the machine has one (/dev/shm), and
// a virtual clock set to the panel time a test needs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "link/dryer_state.h"
#include "logging/log_tick.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"

namespace corvex::log_testing {

namespace fs = std::filesystem;

inline std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
inline void write_file(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}
// The names in a folder, sorted.
inline std::vector<std::string> names_in(const fs::path& dir) {
  std::vector<std::string> names;
  if (!fs::exists(dir)) return names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// One DryerSampleRecord as the bytes on disk, big-endian, written out here independently of
// the log's own code.
inline std::string sample_bytes(unsigned grain, unsigned temp_in, unsigned moist_in,
                                unsigned temp_out, unsigned moist_out, unsigned speed,
                                unsigned hour = 0, unsigned minute = 0, unsigned second = 0,
                                unsigned month = 1, unsigned day = 1) {
  const unsigned v[] = {grain, temp_in, moist_in, temp_out, moist_out, speed};
  std::string s;
  for (unsigned x : v) {
    s += char(x >> 8);
    s += char(x & 0xFF);
  }
  for (unsigned x : {0u, hour, minute, second, month, day}) s += char(x);
  return s;
}
// `count` copies of a record.
inline std::string repeated(const std::string& record, size_t count) {
  std::string s;
  s.reserve(record.size() * count);
  for (size_t i = 0; i < count; ++i) s += record;
  return s;
}

class LogDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    disk = base / ("corvex-logs-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(disk);
    fs::create_directories(disk);
    platform::set_disk_root(disk.string());
    platform::clock::set_local_offset_seconds(0);
    set_time(2026, 3, 14, 13, 5, 9);
    link::reset_dryer_state();
    logging::reset_log_tick();
  }
  void TearDown() override {
    platform::set_disk_root("");
    fs::remove_all(disk);
    platform::clock::use_real();
    link::reset_dryer_state();
    logging::reset_log_tick();
  }
  static void set_time(int year, int month, int day, int hour, int minute, int second) {
    platform::LocalTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    platform::clock::use_virtual(platform::clock::from_local(t));
  }
  static void set_mirror(int offset, uint8_t value) {
    link::dryer_state().mirror[size_t(offset)].store(value);
  }

  fs::path disk;
};

}  // namespace corvex::log_testing
