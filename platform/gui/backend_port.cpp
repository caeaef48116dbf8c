// The installed backend: made headless on first use, replaced by install_backend, woken from
// any thread, and handed each frame the window system paints.
#include "platform/gui/backend_port.h"

#include <atomic>
#include <mutex>
#include <shared_mutex>

#include "platform/gui/gui_internal.h"

namespace platform::gui {

namespace {

// Other threads wake the backend under a shared lock, so that installing another one (which
// destroys the old) never pulls it from under a wake. The lock is never destroyed: a thread
// that outlives main() may still take it on its way to finding the backend shut down.
std::shared_mutex& g_install_mutex = *new std::shared_mutex;
std::unique_ptr<Backend> g_owned;
std::atomic<Backend*> g_current{nullptr};
std::atomic<bool> g_shut_down{false};
std::atomic<uint64_t> g_presents{0};

}  // namespace

Backend& current_backend() {
  if (Backend* b = g_current.load(std::memory_order_acquire)) return *b;
  std::unique_lock lock(g_install_mutex);
  if (!g_owned) {
    g_owned = make_headless_backend(false);
    g_current.store(g_owned.get(), std::memory_order_release);
  }
  return *g_owned;
}

void install_backend(std::unique_ptr<Backend> backend) {
  {
    std::unique_lock lock(g_install_mutex);
    g_current.store(backend.get(), std::memory_order_release);
    g_shut_down.store(false, std::memory_order_release);
    std::swap(g_owned, backend);
  }
  // Everything is painted afresh on the new screen.
  detail::add_screen_damage({0, 0, kScreenWidth, kScreenHeight});
}

void wake_backend() {
  if (g_shut_down.load(std::memory_order_acquire)) return;
  {
    std::shared_lock lock(g_install_mutex);
    if (g_shut_down.load(std::memory_order_acquire)) return;
    if (Backend* b = g_current.load(std::memory_order_acquire)) {
      b->wake();
      return;
    }
  }
  current_backend().wake();
}

// Under the exclusive lock no wake is running, and every later one sees the flag first.
void shut_down_backend() {
  std::unique_ptr<Backend> old;
  {
    std::unique_lock lock(g_install_mutex);
    g_shut_down.store(true, std::memory_order_release);
    g_current.store(nullptr, std::memory_order_release);
    old = std::move(g_owned);
  }
}

uint64_t present_count() { return g_presents.load(); }

namespace detail {

void present_frame(const Bitmap& frame, const Rect& dirty) {
  g_presents.fetch_add(1);
  current_backend().present(frame, dirty);
}

}  // namespace detail

}  // namespace platform::gui
