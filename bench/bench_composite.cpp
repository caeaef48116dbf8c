// The real main screen composed in full: the main window with its eighteen screen windows and
// the six bar buttons, created by the shell on a panel disk seeded with the built language
// data, with a busy continuous-flow dryer (six fan/heaters burning, values everywhere). One
// iteration repaints the whole tree and composes the 640 x 480 framebuffer; a second figure is
// the cost of one 100 ms tick of the running screen (status picture animation and its repaint).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/allocations.h"
#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "platform/gfx/png.h"
#include "platform/gui/controls.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"
#include "shell/disk_seed.h"
#include "shell/startup.h"
#include "texts/help_viewer.h"
#include "texts/language_dialog.h"
#include "texts/texts.h"
#include "texts/warning_window.h"

namespace {

namespace fs = std::filesystem;
namespace gui = platform::gui;
using platform::Rect;

void set_bytes(int offset, std::initializer_list<uint8_t> values) {
  auto& mirror = corvex::link::dryer_state().mirror;
  for (const uint8_t v : values) mirror[size_t(offset++)].store(v);
}

// Six fan/heaters firing at 180 F under setpoints of 190 F, the dryer running and unloading, the
// moistures and grain temperatures of a wet day.
void busy_dryer() {
  corvex::link::reset_dryer_state();
  corvex::link::preset_start_mirror();
  corvex::link::DryerState& s = corvex::link::dryer_state();
  set_bytes(3, {4});
  set_bytes(24, {12, 30, 1, 15});
  for (int n = 0; n < 6; ++n) {
    set_bytes(59 + 2 * n, {190, 0});
    set_bytes(71 + 2 * n, {uint8_t(176 + n), 0});
    set_bytes(125 + n, {0x05});
    set_bytes(131 + n, {0x03});
  }
  set_bytes(89, {95, 0, 96, 0, 97, 0});
  set_bytes(149, {105, 0});
  set_bytes(171, {0xA8});
  set_bytes(172, {0x01});
  set_bytes(173, {0x03, 0x20});
  set_bytes(188, {0x01});
  set_bytes(189, {0, 155, 0, 221, 0x03, 0x9A, 0x02, 0xEE});
  set_bytes(197, {0x01, 0xF4, 0, 155});
  s.blink_flags.store(corvex::link::kBlinkStartupDone | corvex::link::kBlinkPhaseOn);
}

struct MainScreen {
  fs::path disk;
  gui::Window* main = nullptr;

  MainScreen() {
    char pattern[] = "/tmp/corvex_bench_main_XXXXXX";
    disk = ::mkdtemp(pattern);
    std::string error;
    corvex::shell::seed_disk(disk.string(), &error);
    platform::set_disk_root(disk.string());
    corvex::texts::reset_texts();
    busy_dryer();
    platform::clock::use_virtual(1'700'000'000'000);
    gui::init();
    gui::reset();
    corvex::link::reset_link_hooks();
    gui::register_controls();
    corvex::texts::register_warning_window_class();
    corvex::texts::register_text_dialogs();
    corvex::shell::register_main_window_class("CORVEX_BENCH_MAIN");
    main = gui::create_window({"CORVEX_BENCH_MAIN",
                               "main",
                               gui::style::kVisible | gui::style::kTopmost,
                               {0, 0, gui::kScreenWidth, gui::kScreenHeight},
                               nullptr,
                               0});
    corvex::shell::shell_state().main_window = main;
    corvex::shell::create_child_windows(main);
    gui::paint_pending();
  }
  ~MainScreen() {
    gui::reset();
    corvex::shell::shell_state().main_window = nullptr;
    std::error_code ec;
    fs::remove_all(disk, ec);
    platform::set_disk_root("");
  }
};

void invalidate_tree(gui::Window* w) {
  gui::invalidate(w, gui::Erase::Yes);
  for (const auto& child : w->children()) invalidate_tree(child.get());
}

void BM_main_screen_composite(benchmark::State& state) {
  MainScreen screen;
  const uint64_t allocations_before = corvex::bench::allocation_count();
  for (auto _ : state) {
    invalidate_tree(screen.main);
    gui::paint_pending();
  }
  state.counters["allocs_per_iter"] =
      benchmark::Counter(double(corvex::bench::allocation_count() - allocations_before),
                         benchmark::Counter::kAvgIterations);
  benchmark::DoNotOptimize(gui::framebuffer().data());
  // CORVEX_BENCH_SHOT=FILE keeps the composed screen, to see what was measured.
  if (const char* shot = std::getenv("CORVEX_BENCH_SHOT"))
    platform::write_png_file(shot, gui::framebuffer());
}
BENCHMARK(BM_main_screen_composite)->Unit(benchmark::kMicrosecond);

void BM_main_screen_fast_tick(benchmark::State& state) {
  MainScreen screen;
  const uint64_t allocations_before = corvex::bench::allocation_count();
  for (auto _ : state) {
    corvex::shell::fast_ui_tick(screen.main, corvex::shell::kFastUiTimerId);
    gui::paint_pending();
  }
  state.counters["allocs_per_iter"] =
      benchmark::Counter(double(corvex::bench::allocation_count() - allocations_before),
                         benchmark::Counter::kAvgIterations);
  benchmark::DoNotOptimize(gui::framebuffer().data());
}
BENCHMARK(BM_main_screen_fast_tick)->Unit(benchmark::kMicrosecond);

}  // namespace
