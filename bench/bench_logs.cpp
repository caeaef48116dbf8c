// Cost of the data logs: one record appended to each log (open, append, close, as the
// one-second tick does it), and the graph window loaded from two full files for each scale.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "logging/graph_log.h"
#include "logging/long_term_log.h"
#include "logging/short_term_log.h"
#include "platform/io/paths.h"

namespace {

namespace fs = std::filesystem;
using namespace corvex::logging;

// A panel disk of its own on the host's temporary folder, removed afterwards.
class BenchDisk {
 public:
  explicit BenchDisk(const char* name)
      : dir_(fs::temp_directory_path() /
             (std::string("corvex-bench-") + name + "-" + std::to_string(getpid()))) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    platform::set_disk_root(dir_.string());
  }
  ~BenchDisk() {
    platform::set_disk_root("");
    fs::remove_all(dir_);
  }
  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
};

DryerSampleRecord sample(unsigned n) {
  DryerSampleRecord r{};
  for (size_t i = 0; i < 12; i += 2) r[i + 1] = uint8_t(n + i);
  r[13] = 12;
  r[16] = 3;
  r[17] = 14;
  return r;
}

void BM_logs_append_long_term(benchmark::State& state) {
  BenchDisk disk("long-term");
  set_logging_active(true);
  LongTermLogRecord record;
  record.grain_temp_low = 104;
  record.moisture_in_low = 182;
  record.bushels_per_hour_high = 4;
  set_record_time(record, 2026, 3, 14, 13, 5, 9);
  int percentage = 0;
  int64_t written = 0;
  for (auto _ : state) {
    if (write_long_term_record(record, &percentage) != LongTermResult::Written) {
      state.PauseTiming();  // full: start a fresh file, as the operator's delete would
      fs::remove(disk.dir() / "DataLog" / kLongTermLogName);
      state.ResumeTiming();
    }
    ++written;
  }
  set_logging_active(false);
  state.SetItemsProcessed(written);
}
BENCHMARK(BM_logs_append_long_term)->Unit(benchmark::kMicrosecond);

void BM_logs_append_graph(benchmark::State& state) {
  BenchDisk disk("graph");
  unsigned n = 0;
  for (auto _ : state) benchmark::DoNotOptimize(append_graph_record(sample(n++)));
  state.SetItemsProcessed(int64_t(n));
}
BENCHMARK(BM_logs_append_graph)->Unit(benchmark::kMicrosecond);

void BM_logs_append_short_term(benchmark::State& state) {
  BenchDisk disk("short-term");
  unsigned n = 0;
  for (auto _ : state) benchmark::DoNotOptimize(append_short_term_record(sample(n++)));
  state.SetItemsProcessed(int64_t(n));
}
BENCHMARK(BM_logs_append_short_term)->Unit(benchmark::kMicrosecond);

// Argument: the horizontal-scale setting, 0..3 for 1, 2, 4 and 8 hours.
void BM_logs_load_graph_window(benchmark::State& state) {
  BenchDisk disk("graph-load");
  fs::create_directories(disk.dir() / "GraphDataLog");
  for (const char* name : {"GRAPH_DATA_LOG_24HR26_03_13_13_05_09.DAT",
                           "GRAPH_DATA_LOG_24HR26_03_14_13_05_09.DAT"}) {
    std::ofstream out(disk.dir() / "GraphDataLog" / name, std::ios::binary);
    for (unsigned i = 0; i < kGraphFileCapacity / kSampleRecordBytes; ++i) {
      const DryerSampleRecord r = sample(i);
      out.write(reinterpret_cast<const char*>(r.data()), std::streamsize(r.size()));
    }
  }
  const uint32_t scale = uint32_t(state.range(0));
  for (auto _ : state) {
    // Scrolled back far enough that the window spans the two files.
    if (load_graph_window(graph_window(), 23, scale) != GraphLoad::Loaded) {
      state.SkipWithError("the window did not load");
      break;
    }
    benchmark::DoNotOptimize(graph_window().points[0][0]);
  }
}
BENCHMARK(BM_logs_load_graph_window)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace
