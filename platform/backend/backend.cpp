// The installed backend and the start function that picks one from the program's options.
#include "platform/backend/backend.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <shared_mutex>

#include "platform/gfx/png.h"
#include "platform/gui/gui_internal.h"

namespace platform::backend {

std::unique_ptr<Backend> make_sdl(const Options& options, std::string* error);

namespace {

// Other threads wake the backend under a shared lock, so that installing another one (which
// destroys the old) never pulls it from under a wake. The lock is never destroyed: a thread
// that outlives main() may still take it on its way to finding the backend shut down.
std::shared_mutex& g_install_mutex = *new std::shared_mutex;
std::unique_ptr<Backend> g_owned;
std::atomic<Backend*> g_current{nullptr};
std::atomic<bool> g_shut_down{false};
std::atomic<uint64_t> g_presents{0};

constexpr int kSnapshotTimerId = 0x7FFF0001;
std::string g_snapshot_path;
uint64_t g_snapshot_presents = ~uint64_t(0);

// Writes the screen (write_png_file renames a finished temporary file into place, so a reader
// never sees half a picture); a screen that did not change since the last one is not written.
void write_snapshot(gui::Window*, int) {
  if (g_snapshot_path.empty()) return;
  gui::paint_pending();
  const uint64_t presents = g_presents.load();
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

Backend& current() {
  if (Backend* b = g_current.load(std::memory_order_acquire)) return *b;
  std::unique_lock lock(g_install_mutex);
  if (!g_owned) {
    g_owned = make_headless(false);
    g_current.store(g_owned.get(), std::memory_order_release);
  }
  return *g_owned;
}

void install(std::unique_ptr<Backend> backend) {
  std::unique_lock lock(g_install_mutex);
  g_current.store(backend.get(), std::memory_order_release);
  g_shut_down.store(false, std::memory_order_release);
  std::swap(g_owned, backend);
}

void wake_current() {
  if (g_shut_down.load(std::memory_order_acquire)) return;
  {
    std::shared_lock lock(g_install_mutex);
    if (g_shut_down.load(std::memory_order_acquire)) return;
    if (Backend* b = g_current.load(std::memory_order_acquire)) {
      b->wake();
      return;
    }
  }
  current().wake();
}

// Under the exclusive lock no wake is running, and every later one sees the flag first.
void shut_down() {
  std::unique_ptr<Backend> old;
  {
    std::unique_lock lock(g_install_mutex);
    g_shut_down.store(true, std::memory_order_release);
    g_current.store(nullptr, std::memory_order_release);
    old = std::move(g_owned);
  }
}

uint64_t present_count() { return g_presents.load(); }

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
    install(make_headless(true));
  } else {
    std::string error;
    std::unique_ptr<Backend> sdl = make_sdl(options, &error);
    if (!sdl) {
      std::fprintf(stderr, "%s: cannot open a display: %s\n", program_invocation_short_name,
                   error.c_str());
      return false;
    }
    install(std::move(sdl));
  }
  g_snapshot_path = options.snapshot_path;
  g_snapshot_presents = ~uint64_t(0);
  if (!g_snapshot_path.empty()) gui::set_timer(&gui::desktop(), kSnapshotTimerId, 1000, &write_snapshot);
  // Everything is painted afresh on the new screen.
  gui::detail::add_screen_damage({0, 0, gui::kScreenWidth, gui::kScreenHeight});
  return true;
}

}  // namespace platform::backend

namespace platform::gui::detail {

void present_frame(const Bitmap& frame, const Rect& dirty) {
  backend::g_presents.fetch_add(1);
  backend::current().present(frame, dirty);
}

}  // namespace platform::gui::detail
