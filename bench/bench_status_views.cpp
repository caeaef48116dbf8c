// One paint of the status bar (as every 175 ms tick makes it, with the message unchanged and
// with a flashing message that changes every time) and of the plenum view with six
// plenums, through the window system: invalidate, then paint the dirty window. The language is
// a string table of 600 texts of the panel's usual length on a temporary disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/allocations.h"
#include "link/dryer_state.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"
#include "resources/window_classes.h"
#include "status/plenum_view.h"
#include "status/status_bar.h"
#include "texts/texts.h"

namespace {

namespace fs = std::filesystem;
namespace gui = platform::gui;
using platform::Rect;

// Strings of 20 capitals, UTF-16 with the byte-order mark, as the panel's language files.
void write_strings(const fs::path& file) {
  std::vector<char> bytes = {char(0xFF), char(0xFE)};
  for (int i = 0; i < 600; ++i) {
    for (int k = 0; k < 20; ++k) bytes.insert(bytes.end(), {char('A' + (i + k) % 26), 0});
    bytes.insert(bytes.end(), {'\r', 0, '\n', 0});
  }
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

struct BenchScreen {
  fs::path root;
  gui::Window* window = nullptr;

  BenchScreen(const char* class_name, Rect rect, uint32_t caption) {
    char pattern[] = "/tmp/corvex_bench_status_XXXXXX";
    root = ::mkdtemp(pattern);
    std::ofstream(root / "CorvexLangConfig.txt") << "English";
    write_strings(root / "Languages" / "EN" / "EnglishStrings.txt");
    platform::set_disk_root(root.string());
    corvex::texts::reset_texts();
    corvex::link::reset_dryer_state();
    corvex::link::preset_start_mirror();
    platform::clock::use_virtual(1'700'000'000'000);
    gui::init();
    gui::reset();
    corvex::status::register_status_bar_class();
    corvex::status::register_plenum_view_class();
    window = gui::create_window({class_name, "bench",
                                 gui::style::kVisible | gui::style::kBorder | caption, rect,
                                 nullptr, 0});
    gui::paint_pending();
    gui::paint_pending();  // the caption the first paint sets
  }
  ~BenchScreen() {
    gui::reset();
    std::error_code ec;
    fs::remove_all(root, ec);
    platform::set_disk_root("");
    corvex::texts::reset_texts();
  }
  void set(int offset, uint8_t value) { corvex::link::dryer_state().mirror[offset].store(value); }
};

// The dryer timer running with its remaining time, the most common message while drying.
void BM_status_bar_paint(benchmark::State& state) {
  BenchScreen screen(corvex::resources::DRYER_RIGHT_STATUS_BAR_WINDOW,
                     Rect::from_xywh(240, 0, 400, 40), 0);
  screen.set(171, 0x00);
  screen.set(24, 10);
  screen.set(26, 30);
  screen.set(28, 0x01);
  const uint64_t allocations_before = corvex::bench::allocation_count();
  for (auto _ : state) {
    gui::invalidate(screen.window, gui::Erase::No);
    gui::paint_pending();
  }
  state.counters["allocs_per_iter"] =
      benchmark::Counter(double(corvex::bench::allocation_count() - allocations_before),
                         benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_status_bar_paint)->Unit(benchmark::kMicrosecond);

// The flashing alarm, changing its message on every paint: the bar is drawn each time.
void BM_status_bar_paint_flashing(benchmark::State& state) {
  BenchScreen screen(corvex::resources::DRYER_RIGHT_STATUS_BAR_WINDOW,
                     Rect::from_xywh(240, 0, 400, 40), 0);
  screen.set(118, 0x20);
  std::atomic<uint32_t>& blink = corvex::link::dryer_state().blink_flags;
  for (auto _ : state) {
    blink.fetch_xor(corvex::link::kBlinkPhaseOn);
    gui::invalidate(screen.window, gui::Erase::No);
    gui::paint_pending();
  }
}
BENCHMARK(BM_status_bar_paint_flashing)->Unit(benchmark::kMicrosecond);

void BM_plenum_view_paint_six(benchmark::State& state) {
  BenchScreen screen(corvex::resources::CUSTOM_VIEW_WINDOW, Rect::from_xywh(240, 245, 400, 175),
                     gui::style::kCaption);
  screen.set(3, 4);
  for (int n = 1; n <= 6; ++n) {
    screen.set(83 - 2 * n, uint8_t(170 + n));
    screen.set(71 - 2 * n, 180);
    screen.set(131 - n, 0x02);
  }
  const uint64_t allocations_before = corvex::bench::allocation_count();
  for (auto _ : state) {
    gui::invalidate(screen.window, gui::Erase::Yes);
    gui::paint_pending();
  }
  state.counters["allocs_per_iter"] =
      benchmark::Counter(double(corvex::bench::allocation_count() - allocations_before),
                         benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_plenum_view_paint_six)->Unit(benchmark::kMicrosecond);

}  // namespace
