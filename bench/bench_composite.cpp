// A full 640 x 480 composite of a window tree shaped like the main screen: the main window with
// eighteen framed screen windows, each filling its client area and drawing a few lines of text,
// and a bar of owner-drawn-sized buttons. Measures one complete repaint of the screen.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "platform/gui/window.h"
#include "platform/io/clock.h"

namespace {

namespace gui = platform::gui;
using platform::Rect;

intptr_t screen_procedure(gui::Window& w, const gui::Message& m) {
  if (m.kind == gui::MessageKind::Paint) {
    auto* pc = reinterpret_cast<gui::PaintContext*>(m.lparam);
    const Rect c = w.client_rect();
    pc->canvas->fill_rect(c, platform::rgb(192, 192, 192));
    char line[64];
    for (int i = 0; i < 4; ++i) {
      std::snprintf(line, sizeof line, "PLENUM #%d  %d F  SETPOINT %d F", i + 1, 180 + i, 190);
      pc->canvas->draw_text(line, {c.left + 4, c.top + 4 + 18 * i, c.right - 4, c.top + 22 + 18 * i},
                            platform::font(14, 700), platform::colors::kBlack);
    }
    return 0;
  }
  return gui::default_window_procedure(w, m);
}

void BM_composite_640x480(benchmark::State& state) {
  platform::clock::use_virtual(1'700'000'000'000);
  gui::init();
  gui::reset();
  gui::register_class({"BENCH_MAIN", gui::default_window_procedure, platform::colors::kBlack, true});
  gui::register_class({"BENCH_SCREEN", screen_procedure, platform::colors::kBlack, true});
  gui::Window* main =
      gui::create_window({"BENCH_MAIN", "main", gui::style::kVisible, {0, 0, 640, 480}, nullptr, 0});
  const Rect rects[] = {{0, 0, 240, 420},   {240, 0, 640, 40},   {240, 40, 640, 245},
                        {240, 245, 640, 420}, {0, 420, 640, 475}};
  for (const Rect& r : rects)
    gui::create_window({"BENCH_SCREEN", "screen",
                        gui::style::kVisible | gui::style::kChild | gui::style::kBorder, r, main, 0});
  for (int i = 0; i < 13; ++i)  // the hidden screens of the main window
    gui::create_window({"BENCH_SCREEN", "hidden", gui::style::kChild | gui::style::kCaption,
                        {0, 0, 640, 475}, main, 0});
  for (int i = 0; i < 5; ++i)
    gui::create_window({"BENCH_SCREEN", "bar", gui::style::kVisible | gui::style::kChild,
                        Rect::from_xywh(5 + 115 * i, 427, 105, 40), main, 34817 + i});
  gui::paint_pending();
  for (auto _ : state) {
    gui::invalidate(main, gui::Erase::Yes);
    for (const auto& child : main->children()) gui::invalidate(child.get(), gui::Erase::Yes);
    gui::paint_pending();
  }
  gui::reset();
}
BENCHMARK(BM_composite_640x480)->Unit(benchmark::kMicrosecond);

}  // namespace
