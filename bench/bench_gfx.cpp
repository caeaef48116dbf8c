// Drawing costs on the panel's hot paths: a full-screen fill, the status picture's blit and a
// line of text from the warm glyph cache.
#include <benchmark/benchmark.h>

#include "platform/gfx/canvas.h"

namespace {

using namespace platform;

void BM_canvas_fill_640x480(benchmark::State& state) {
  Bitmap screen(640, 480);
  Canvas canvas(screen);
  Color c = 0;
  for (auto _ : state) {
    canvas.fill_rect(screen.rect(), c++);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_canvas_fill_640x480);

void BM_blit_240x420(benchmark::State& state) {
  Bitmap screen(640, 480);
  Bitmap picture(240, 420, rgb(40, 80, 120));
  Canvas canvas(screen);
  for (auto _ : state) {
    canvas.blit(picture, {0, 25});
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetItemsProcessed(state.iterations() * 240 * 420);
}
BENCHMARK(BM_blit_240x420);

void BM_text_line_40_chars_16px(benchmark::State& state) {
  Bitmap screen(640, 40, colors::kBlack);
  Canvas canvas(screen);
  const char* line = "PLENUM #1 180\u00B0F   GRAIN 105\u00B0F   MC 15.5%";
  const Rect box{0, 0, 640, 40};
  canvas.draw_text(line, box, font(16, 500), colors::kGreen, text_format::kCenter);
  for (auto _ : state) {
    canvas.draw_text(line, box, font(16, 500), colors::kGreen, text_format::kCenter);
    benchmark::DoNotOptimize(screen.data());
  }
}
BENCHMARK(BM_text_line_40_chars_16px);

}  // namespace
