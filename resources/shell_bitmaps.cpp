#include "resources/shell_bitmaps.h"

#include <optional>

#include "platform/gfx/canvas.h"
#include "platform/gui/controls.h"

namespace corvex::resources {

namespace {

using platform::Bitmap;
using platform::Canvas;
using platform::Color;
using platform::Rect;
using platform::rgb;

// A raised face of one colour with a lighter band along the top, as the panel's picture buttons
// are drawn.
Bitmap draw_face(Color face, Color band) {
  Bitmap b(159, 41, face);
  Canvas c(b);
  c.fill_rect({2, 2, 157, 14}, band);
  platform::gui::draw_edge(c, b.rect(), platform::gui::Edge::Raised);
  c.frame_rect(b.rect(), rgb(0, 0, 0));
  return b;
}

// 595: a dryer tower with a fan/heater at its foot, and a clock face whose hand stands at a
// quarter past, telling the operator an automatic run is in progress.
Bitmap draw_auto_start_status() {
  Bitmap b(44, 40, platform::colors::kFace);
  Canvas c(b);
  c.draw_rectangle({6, 4, 20, 34}, rgb(40, 40, 40), rgb(230, 190, 60));
  for (int y = 9; y < 32; y += 5) c.draw_line({7, y}, {18, y}, rgb(170, 120, 30));
  c.fill_rect({4, 34, 24, 37}, rgb(60, 60, 60));
  c.fill_ellipse({22, 6, 42, 26}, rgb(255, 255, 255));
  c.draw_ellipse({22, 6, 42, 26}, rgb(0, 0, 150), 2);
  c.draw_line({32, 16}, {32, 9}, rgb(0, 0, 0), 2);
  c.draw_line({32, 16}, {38, 16}, rgb(200, 0, 0), 2);
  c.fill_rect({24, 29, 41, 36}, rgb(0, 160, 0));
  c.frame_rect(b.rect(), rgb(0, 0, 0));
  return b;
}

}  // namespace

const Bitmap* shell_resource_bitmap(int resource_id) {
  // Built on the GUI thread on first use; every caller is a window procedure.
  static std::optional<Bitmap> green, red, auto_start;
  switch (resource_id) {
    case kGreenFaceBitmap:
      if (!green) green = draw_face(rgb(0, 150, 0), rgb(90, 200, 90));
      return &*green;
    case kRedFaceBitmap:
      if (!red) red = draw_face(rgb(170, 0, 0), rgb(220, 90, 90));
      return &*red;
    case kAutoStartStatusBitmap:
      if (!auto_start) auto_start = draw_auto_start_status();
      return &*auto_start;
    default:
      return nullptr;
  }
}

}  // namespace corvex::resources
