#include "resources/warning_bitmaps.h"

#include <array>

#include "platform/gfx/canvas.h"

namespace corvex::resources {

namespace {

using platform::Bitmap;
using platform::Canvas;
using platform::Point;
using platform::Rect;
using platform::rgb;

constexpr platform::Color kWindowGrey = rgb(100, 100, 100);
// The cable of the lost-link picture: a green core between two dark edge lines.
constexpr platform::Color kCableCore = rgb(0, 125, 0);
constexpr platform::Color kCableEdge = rgb(20, 50, 20);
constexpr platform::Color kSteel = rgb(168, 172, 176);
constexpr platform::Color kSteelDark = rgb(92, 96, 100);
constexpr platform::Color kSteelLight = rgb(214, 218, 222);

// A cable stub from x0 to x1 whose edge lines lie at `top` and `top` + 10, as the window draws
// the cable itself.
void draw_cable_stub(Canvas& c, int x0, int x1, int top) {
  c.fill_rect({x0, top + 1, x1, top + 10}, kCableCore);
  c.draw_line({x0, top}, {x1 - 1, top}, kCableEdge);
  c.draw_line({x0, top + 10}, {x1 - 1, top + 10}, kCableEdge);
}

void draw_connector(Canvas& c, const Rect& r) {
  c.draw_rectangle(r, rgb(40, 40, 40), rgb(150, 150, 150));
  c.fill_rect({r.left + 2, r.top + 3, r.right - 2, r.top + 5}, rgb(220, 200, 90));
  c.fill_rect({r.left + 2, r.bottom - 5, r.right - 2, r.bottom - 3}, rgb(220, 200, 90));
}

// 259: the display panel, its screen showing a broken link, the cable leaving on the right at
// the height where the window's cable (y 65..75) passes the bitmap's place (30, 40).
Bitmap draw_lost_link_panel() {
  Bitmap b(100, 75, kWindowGrey);
  Canvas c(b);
  draw_cable_stub(c, 80, 100, 25);
  draw_connector(c, {72, 21, 82, 40});
  c.draw_rectangle({2, 4, 74, 70}, rgb(20, 20, 24), rgb(58, 60, 66), 2);
  c.fill_rect({9, 10, 67, 56}, rgb(24, 44, 86));
  c.frame_rect({8, 9, 68, 57}, rgb(10, 10, 10));
  // Two chain links pulled apart, with a red break between them.
  c.draw_ellipse({13, 24, 33, 38}, rgb(230, 230, 230), 3);
  c.draw_ellipse({43, 24, 63, 38}, rgb(230, 230, 230), 3);
  c.draw_line({35, 22}, {41, 40}, rgb(235, 30, 30), 3);
  c.draw_line({41, 22}, {35, 40}, rgb(235, 30, 30), 3);
  // Bezel keys under the screen.
  for (int i = 0; i < 4; ++i) {
    c.fill_rect({12 + 14 * i, 60, 22 + 14 * i, 66}, rgb(120, 124, 130));
  }
  return b;
}

// 260: the controller cabinet with its door, lamps and vents, the cable coming in on the left
// at the height of the window's cable (y 65..75 against the bitmap's place (250, 20)).
Bitmap draw_controller_cabinet() {
  Bitmap b(100, 124, kWindowGrey);
  Canvas c(b);
  draw_cable_stub(c, 0, 18, 45);
  draw_connector(c, {14, 41, 24, 60});
  c.draw_rectangle({22, 2, 98, 122}, rgb(40, 42, 44), kSteel, 2);
  c.draw_rectangle({27, 7, 93, 117}, kSteelDark, kSteelLight);
  // Lamp panel: power green, link amber, fault red.
  c.fill_rect({33, 13, 87, 33}, rgb(36, 38, 40));
  c.fill_ellipse({37, 17, 49, 29}, rgb(40, 200, 60));
  c.fill_ellipse({54, 17, 66, 29}, rgb(240, 170, 20));
  c.fill_ellipse({71, 17, 83, 29}, rgb(230, 30, 30));
  // Vent slots and the door handle.
  for (int i = 0; i < 6; ++i) {
    c.fill_rect({35, 44 + 8 * i, 85, 47 + 8 * i}, kSteelDark);
  }
  c.fill_rect({84, 70, 89, 96}, rgb(50, 52, 54));
  c.fill_rect({33, 98, 71, 110}, rgb(250, 250, 245));
  c.frame_rect({33, 98, 71, 110}, rgb(60, 60, 60));
  c.draw_line({36, 102}, {67, 102}, rgb(60, 60, 60));
  c.draw_line({36, 106}, {60, 106}, rgb(60, 60, 60));
  return b;
}

// 517: the yellow warning triangle with its exclamation mark.
Bitmap draw_warning_sign() {
  Bitmap b(100, 92, kWindowGrey);
  Canvas c(b);
  const std::array<Point, 3> outer = {Point{50, 2}, Point{98, 88}, Point{2, 88}};
  const std::array<Point, 3> inner = {Point{50, 14}, Point{88, 82}, Point{12, 82}};
  c.fill_polygon(outer, rgb(10, 10, 10));
  c.fill_polygon(inner, rgb(255, 204, 0));
  c.fill_polygon(std::array<Point, 4>{Point{45, 34}, Point{55, 34}, Point{53, 64}, Point{47, 64}},
                 rgb(10, 10, 10));
  c.fill_ellipse({45, 68, 56, 79}, rgb(10, 10, 10));
  return b;
}

}  // namespace

const Bitmap* warning_resource_bitmap(int resource_id) {
  static const Bitmap lost_link_panel = draw_lost_link_panel();
  static const Bitmap controller_cabinet = draw_controller_cabinet();
  static const Bitmap warning_sign = draw_warning_sign();
  switch (resource_id) {
    case kLostLinkPanelBitmap:
      return &lost_link_panel;
    case kControllerCabinetBitmap:
      return &controller_cabinet;
    case kWarningSignBitmap:
      return &warning_sign;
    default:
      return nullptr;
  }
}

}  // namespace corvex::resources
