// The start function that picks a backend from the program's options, and the screen snapshot.
#include "platform/backend/backend.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "platform/gfx/png.h"
#include "platform/gui/window.h"

namespace platform::backend {

std::unique_ptr<gui::Backend> make_sdl(const Options& options, std::string* error);

namespace {

constexpr int kSnapshotTimerId = 0x7FFF0001;
std::string g_snapshot_path;
uint64_t g_snapshot_presents = ~uint64_t(0);

// Writes the screen (write_png_file renames a finished temporary file into place, so a reader
// never sees half a picture); a screen that did not change since the last one is not written.
void write_snapshot(gui::Window*, int) {
  if (g_snapshot_path.empty()) return;
  gui::paint_pending();
  const uint64_t presents = gui::present_count();
  if (presents == g_snapshot_presents) return;
  std::string error;
  if (!write_png_file(g_snapshot_path, gui::framebuffer(), &error)) {
    std::fprintf(stderr, "%s: cannot write the screen snapshot %s: %s\n",
                 program_invocation_short_name, g_snapshot_path.c_str(), error.c_str());
    g_snapshot_path.clear();
    return;
  }
  g_snapshot_presents = presents;
}

}  // namespace

Rect picture_rect(Size output) {
  const int ow = std::max(1, output.width);
  const int oh = std::max(1, output.height);
  const double scale = std::min(double(ow) / gui::kScreenWidth, double(oh) / gui::kScreenHeight);
  const int w = std::max(1, int(gui::kScreenWidth * scale + 0.5));
  const int h = std::max(1, int(gui::kScreenHeight * scale + 0.5));
  return Rect::from_xywh((ow - w) / 2, (oh - h) / 2, w, h);
}

bool output_to_panel(Size output, double x, double y, Point* panel) {
  const Rect r = picture_rect(output);
  const double px = (x - r.left) * gui::kScreenWidth / r.width();
  const double py = (y - r.top) * gui::kScreenHeight / r.height();
  const int ix = int(std::floor(px));
  const int iy = int(std::floor(py));
  panel->x = std::clamp(ix, 0, gui::kScreenWidth - 1);
  panel->y = std::clamp(iy, 0, gui::kScreenHeight - 1);
  return ix >= 0 && ix < gui::kScreenWidth && iy >= 0 && iy < gui::kScreenHeight;
}

// Returns true with the backend installed; false, after one line on standard error, when the
// display cannot be opened.
bool start(const Options& options) {
  gui::init();
  if (options.headless) {
    gui::install_backend(gui::make_headless_backend(true));
  } else {
    std::string error;
    std::unique_ptr<gui::Backend> sdl = make_sdl(options, &error);
    if (!sdl) {
      std::fprintf(stderr, "%s: cannot open a display: %s\n", program_invocation_short_name,
                   error.c_str());
      return false;
    }
    gui::install_backend(std::move(sdl));
  }
  g_snapshot_path = options.snapshot_path;
  g_snapshot_presents = ~uint64_t(0);
  if (!g_snapshot_path.empty())
    gui::set_timer(&gui::desktop(), kSnapshotTimerId, 1000, &write_snapshot);
  return true;
}

}  // namespace platform::backend
