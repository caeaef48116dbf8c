// The graph view's drawing window, loaded and painted for each time scale from two full graph
// log files (48 hours on disk), with all six traces on: what every graph record (one each
// 10 s), trace toggle and scroll costs. And one paint of the status chart with 144 samples on
// disk, as every short-term sample costs.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/allocations.h"
#include "link/dryer_state.h"
#include "logging/graph_view.h"
#include "logging/status_chart.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"
#include "resources/window_classes.h"
#include "logging/display_settings.h"
#include "texts/texts.h"

namespace {

namespace fs = std::filesystem;
namespace gui = platform::gui;
using platform::Rect;

void write_strings(const fs::path& file) {
  std::vector<char> bytes = {char(0xFF), char(0xFE)};
  for (int i = 0; i < 600; ++i) {
    for (int k = 0; k < 12; ++k) bytes.insert(bytes.end(), {char('A' + (i + k) % 26), 0});
    bytes.insert(bytes.end(), {'\r', 0, '\n', 0});
  }
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// `count` records of slowly changing values, one every 10 seconds from midnight.
void write_records(const fs::path& file, int count, int first) {
  std::string bytes;
  bytes.reserve(size_t(count) * 18);
  for (int i = first; i < first + count; ++i) {
    const unsigned v[6] = {unsigned(100 + i % 90),  unsigned(600 + i % 300), unsigned(180 + i % 70),
                           unsigned(800 + i % 200), unsigned(150 + i % 20),  unsigned(i % 100)};
    for (unsigned x : v) bytes += {char(x >> 8), char(x & 0xFF)};
    const int seconds = (i * 10) % 86400;
    bytes += {0, char(seconds / 3600), char(seconds / 60 % 60), char(seconds % 60), 3, 14};
  }
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

struct BenchDisk {
  fs::path root;
  BenchDisk() {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "corvex_bench_graph_XXXXXX").string();
    root = ::mkdtemp(pattern.data());
    std::ofstream(root / "CorvexLangConfig.txt") << "English";
    write_strings(root / "Languages" / "EN" / "EnglishStrings.txt");
    platform::set_disk_root(root.string());
    corvex::texts::reset_texts();
    corvex::link::reset_dryer_state();
    platform::clock::use_virtual(1'700'000'000'000);
    gui::init();
    gui::reset();
  }
  ~BenchDisk() {
    gui::reset();
    std::error_code ec;
    fs::remove_all(root, ec);
    platform::set_disk_root("");
    corvex::texts::reset_texts();
  }
};

void BM_graph_load_and_paint(benchmark::State& state) {
  BenchDisk disk;
  write_records(disk.root / "GraphDataLog" / "GRAPH_DATA_LOG_24HR26_03_13_00_00_00.DAT", 8640, 0);
  write_records(disk.root / "GraphDataLog" / "GRAPH_DATA_LOG_24HR26_03_14_00_00_00.DAT", 8640,
                8640);
  auto& settings = corvex::logging::display_settings();
  const auto saved = settings;
  settings.trace_on = {1, 1, 1, 1, 1, 1};
  settings.graph_scale_index = uint32_t(state.range(0));
  corvex::logging::reset_graph_view();
  corvex::logging::register_graph_view_classes();
  gui::create_window({corvex::resources::GRAPH_WINDOW, "bench",
                      gui::style::kVisible | gui::style::kBorder,
                      Rect::from_xywh(240, 40, 400, 380), nullptr, 0});
  gui::paint_pending();
  gui::Window* drawing = gui::find_window_by_class(corvex::resources::DRAW_GRAPH_WINDOW);
  for (auto _ : state) {
    gui::invalidate(drawing, gui::Erase::No);
    gui::paint_pending();
  }
  settings = saved;
}
BENCHMARK(BM_graph_load_and_paint)
    ->DenseRange(0, 3)
    ->ArgName("scale")
    ->Unit(benchmark::kMicrosecond);

void BM_status_chart_paint(benchmark::State& state) {
  BenchDisk disk;
  write_records(disk.root / "ShortTermDataLog" / "DATA_LOG_24HR26_03_14_00_00_00.DAT", 144, 0);
  corvex::logging::reset_status_chart();
  corvex::logging::register_status_chart_class();
  gui::Window* chart =
      gui::create_window({corvex::resources::AVERAGE_VALUES_WINDOW, "bench",
                          gui::style::kVisible | gui::style::kBorder | gui::style::kCaption,
                          Rect::from_xywh(240, 40, 400, 205), nullptr, 0});
  gui::paint_pending();
  gui::paint_pending();
  const uint64_t allocations_before = corvex::bench::allocation_count();
  for (auto _ : state) {
    gui::invalidate(chart, gui::Erase::No);
    gui::paint_pending();
  }
  state.counters["allocs_per_iter"] =
      benchmark::Counter(double(corvex::bench::allocation_count() - allocations_before),
                         benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_status_chart_paint)->Unit(benchmark::kMicrosecond);

}  // namespace
