#pragma once
// Starting what shows the 640 x 480 framebuffer from the program's options: a window on a
// desktop or a kiosk screen (SDL2), or nothing but memory (headless), installed into the window
// system (platform/gui/backend_port.h).
#include <string>

#include "platform/gfx/geometry.h"
#include "platform/gui/backend_port.h"

namespace platform::backend {

struct Options {
  bool headless = false;
  int scale = 1;                // window of 640 x 480 times this on a desktop
  bool fullscreen = false;      // kiosk: the picture scaled to the screen and centred
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

}  // namespace platform::backend
