#pragma once
// What shows the 640 x 480 framebuffer and brings in the operator's touches: a window on a
// desktop or a kiosk screen (SDL2), or nothing but memory (headless). The window system talks
// to whichever is installed; a screen never knows which one presents it.
#include <memory>
#include <string>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/geometry.h"

namespace platform::backend {

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
// first use. Installing replaces (and destroys) the previous one.
Backend& current();
void install(std::unique_ptr<Backend> backend);
// Wakes the current backend; safe from any thread, also while another one is being installed
// or after shut_down (then it does nothing).
void wake_current();
// Destroys the current backend for good at the end of the program, on the GUI thread, while
// everything it uses still exists. Threads that outlive the window system (a script reader
// blocked on its input) may still call wake_current afterwards; it no longer reaches a
// backend. install() opens the window system again.
void shut_down();

// Memory only: presents nothing, waits on an event file descriptor. With catch_signals,
// SIGINT and SIGTERM end the program through request_quit.
std::unique_ptr<Backend> make_headless(bool catch_signals);

struct Options {
  bool headless = false;
  int scale = 1;             // window of 640 x 480 times this on a desktop
  bool fullscreen = false;   // kiosk: the picture scaled to the screen and centred
  std::string snapshot_path{};  // when set, the screen is written there as PNG once a second
  std::string title = "Grain dryer display";
};

// Starts the backend the options ask for and installs it. Returns false when no display can
// be opened, after saying why in one line on standard error; nothing is installed then and the
// caller may start again headless.
bool start(const Options& options);

// Where the 640 x 480 picture lies in an output of the given size (pixels): as large as fits
// with its aspect kept, centred, black bars around it.
Rect picture_rect(Size output);
// A point of that output in panel coordinates, clamped to the panel; false when the point lies
// on the bars rather than on the picture.
bool output_to_panel(Size output, double x, double y, Point* panel);

// Presents made since start (for tests of "presents only when something changed").
uint64_t present_count();

}  // namespace platform::backend
