#pragma once
// The window system's side of what shows the 640 x 480 framebuffer and brings in the operator's
// touches: a backend presents frames and waits for input, which it delivers through
// inject_pointer_* and request_quit. The window system talks to whichever backend is
// installed; a screen never knows which one presents it. The window on a desktop or a kiosk
// screen lives in platform/backend; the in-memory one lives here, since every test uses it.
#include <cstdint>
#include <memory>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/geometry.h"

namespace platform::gui {

class Backend {
 public:
  virtual ~Backend() = default;
  // Shows the frame; `dirty` is the union of what changed since the last call, never empty.
  virtual void present(const Bitmap& frame, const Rect& dirty) = 0;
  // Waits until input arrives, wake() is called or timeout_ms pass (negative: no limit), and
  // delivers what came in through the window system's inject_pointer_* and request_quit.
  virtual void wait_events(int timeout_ms) = 0;
  // Ends a wait_events now or, when none is running, the next one at once. Thread-safe.
  virtual void wake() = 0;
};

// The backend the window system uses; when none was installed, a headless one is made on
// first use. Installing replaces (and destroys) the previous one, and the whole screen is
// painted afresh on the new one.
Backend& current_backend();
void install_backend(std::unique_ptr<Backend> backend);
// Wakes the current backend; safe from any thread, also while another one is being installed
// or after shut_down_backend (then it does nothing).
void wake_backend();
// Destroys the current backend for good at the end of the program, on the GUI thread, while
// everything it uses still exists. Threads that outlive the window system (a script reader
// blocked on its input) may still call wake_backend afterwards; it no longer reaches a
// backend. install_backend() opens the window system again.
void shut_down_backend();

// Memory only: presents nothing, waits on an event file descriptor. With catch_signals,
// SIGINT and SIGTERM end the program through request_quit.
std::unique_ptr<Backend> make_headless_backend(bool catch_signals);

// Presents made since start (for tests of "presents only when something changed").
uint64_t present_count();

}  // namespace platform::gui
