// The 100 ms tick's work on the status picture in a busy state: one animation step and the
// repaint it asks for, through the window system (invalidate with erase, then the paint of the
// dirty window). Six fan/heaters burn (every second one in the second stage), the rolls and both
// conveyors turn, staged-batch values, the extra status line and the moisture block are all
// drawn. One run per picture family: 0 tower, 1 column, 2 mixed-flow.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "bench/allocations.h"
#include "link/dryer_state.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"
#include "resources/window_classes.h"
#include "status/status_picture.h"
#include "texts/texts.h"

namespace {

namespace fs = std::filesystem;
namespace gui = platform::gui;

// A string table of 500 texts of ten capitals (the length of the picture's labels), UTF-16 with
// the byte-order mark, as the panel's language files.
void write_strings(const fs::path& file) {
  std::vector<char> bytes = {char(0xFF), char(0xFE)};
  for (int i = 0; i < 500; ++i) {
    for (int k = 0; k < 10; ++k) bytes.insert(bytes.end(), {char('A' + (i + k) % 26), 0});
    bytes.insert(bytes.end(), {'\r', 0, '\n', 0});
  }
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

void set(int offset, uint8_t value) { corvex::link::dryer_state().mirror[offset].store(value); }

void busy_dryer(uint8_t kind) {
  set(3, 4);
  set(4, kind);
  set(8, 1);  // staged batch: the two batch values at the top
  set(58, 0x08);
  set(171, 0x48);
  set(172, 0x01);
  for (int n = 1; n <= 6; ++n) {
    set(131 - n, n % 2 == 0 ? 0x05 : 0x01);
    set(137 - n, 0x03);
  }
  const std::pair<int, uint8_t> values[] = {
      {191, 0},    {192, 183},  {189, 0},    {190, 152},  {93, 120},   {193, 0x04},
      {194, 0xB0}, {173, 0x04}, {174, 0xB0}, {164, 0x80}, {165, 0xEE}, {166, 0x36},
      {187, 0x81}, {257, 0x32}, {149, 180},  {151, 170},  {153, 160},  {247, 175},
      {249, 152},  {221, 3},    {245, 4},    {293, 0x80}, {292, 1}};
  for (const auto& [offset, value] : values) set(offset, value);
}

void BM_status_picture_tick_busy(benchmark::State& state) {
  char pattern[] = "/tmp/corvex_bench_picture_XXXXXX";
  const fs::path root = ::mkdtemp(pattern);
  std::ofstream(root / "CorvexLangConfig.txt") << "English";
  write_strings(root / "Languages" / "EN" / "EnglishStrings.txt");
  platform::set_disk_root(root.string());
  corvex::texts::reset_texts();
  corvex::link::reset_dryer_state();
  corvex::status::reset_status_picture_state();
  platform::clock::use_virtual(1'700'000'000'000);
  gui::init();
  gui::reset();
  corvex::status::register_status_picture_class();
  gui::create_window({corvex::resources::DRYER_PIC_WINDOW,
                      " SYSTEM STATUS",
                      gui::style::kVisible | gui::style::kBorder,
                      {0, 0, 240, 420},
                      nullptr,
                      0});
  busy_dryer(uint8_t(state.range(0)));
  corvex::status::animate_status_picture();
  gui::paint_pending();  // the artwork is drawn and the glyphs cached on the first paint
  const uint64_t allocations_before = corvex::bench::allocation_count();
  for (auto _ : state) {
    corvex::status::animate_status_picture();
    gui::paint_pending();
  }
  state.counters["allocs_per_iter"] =
      benchmark::Counter(double(corvex::bench::allocation_count() - allocations_before),
                         benchmark::Counter::kAvgIterations);
  gui::reset();
  std::error_code ec;
  fs::remove_all(root, ec);
  platform::set_disk_root("");
  corvex::texts::reset_texts();
  corvex::status::reset_status_picture_state();
}
BENCHMARK(BM_status_picture_tick_busy)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
