#pragma once
// The colours and small drawing steps shared by the status picture's drawings: flat fills with
// a dark outline, sheet-steel panels, perforated drying sections.
#include <array>
#include <cmath>

#include "platform/gfx/canvas.h"

namespace corvex::resources::art {

using platform::Canvas;
using platform::Color;
using platform::Point;
using platform::Rect;
using platform::rgb;

inline constexpr Color kOutline = rgb(22, 24, 28);
inline constexpr Color kSky = rgb(30, 40, 54);  // background of every picture
inline constexpr Color kSkyLow = rgb(36, 48, 64);
inline constexpr Color kGround = rgb(52, 46, 40);
inline constexpr Color kSteel = rgb(178, 184, 190);
inline constexpr Color kSteelLight = rgb(210, 214, 218);
inline constexpr Color kSteelDark = rgb(118, 124, 132);
inline constexpr Color kGrain = rgb(214, 168, 74);  // grain behind perforated sheet
inline constexpr Color kGrainDark = rgb(160, 118, 44);
inline constexpr Color kCooling = rgb(112, 150, 196);  // cooling sections
inline constexpr Color kCoolingDark = rgb(70, 104, 150);
inline constexpr Color kPlenum = rgb(58, 40, 34);       // the hot air chamber
inline constexpr Color kGreenPaint = rgb(70, 132, 84);  // variant trim
inline constexpr Color kFlightYellow = rgb(236, 196, 60);
inline constexpr Color kMotor = rgb(40, 92, 160);

// A flat rectangle with a one-pixel dark outline.
inline void box(Canvas& c, const Rect& r, Color fill) { c.draw_rectangle(r, kOutline, fill); }

// A drying section: grain colour behind a sheet perforated in staggered rows.
inline void perforated(Canvas& c, const Rect& r, Color grain = kGrain, Color dots = kGrainDark) {
  box(c, r, grain);
  int row = 0;
  for (int y = r.top + 3; y < r.bottom - 2; y += 4, ++row) {
    for (int x = r.left + 3 + (row % 2) * 2; x < r.right - 2; x += 4) {
      c.fill_rect({x, y, x + 1, y + 1}, dots);
    }
  }
}

// Horizontal seams between the modules of a section.
inline void seams(Canvas& c, const Rect& r, int modules) {
  for (int i = 1; i < modules; ++i) {
    const int y = r.top + r.height() * i / modules;
    c.draw_line({r.left, y}, {r.right - 1, y}, kOutline);
  }
}

// A polygon filled and outlined.
template <size_t N>
inline void shape(Canvas& c, const std::array<Point, N>& points, Color fill) {
  c.fill_polygon(points, fill);
  std::array<Point, N + 1> closed;
  for (size_t i = 0; i < N; ++i) closed[i] = points[i];
  closed[N] = points[0];
  c.draw_polyline(closed, kOutline);
}

// The point at `radius` and `degrees` (clockwise from the right, screen y down) around `centre`.
inline Point polar(double cx, double cy, double radius, double degrees) {
  const double a = degrees * 3.14159265358979323846 / 180.0;
  return {int(std::lround(cx + radius * std::cos(a))), int(std::lround(cy + radius * std::sin(a)))};
}

}  // namespace corvex::resources::art
