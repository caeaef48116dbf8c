#pragma once
// Points, rectangles and colours shared by the whole platform layer.
//
// Rectangles follow the panel's convention: left and top are inside, right and bottom are
// one past the last pixel, so the rectangle (105, 65)-(260, 75) is 155 x 10 pixels.
#include <algorithm>
#include <cstdint>

namespace platform {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static constexpr Rect from_xywh(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool empty() const { return right <= left || bottom <= top; }
  constexpr bool contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool contains(const Rect& r) const {
    return r.empty() || (r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom);
  }
  constexpr Rect intersected(const Rect& r) const {
    Rect o{std::max(left, r.left), std::max(top, r.top), std::min(right, r.right),
           std::min(bottom, r.bottom)};
    return o.empty() ? Rect{} : o;
  }
  // The smallest rectangle holding both; an empty rectangle adds nothing.
  constexpr Rect united(const Rect& r) const {
    if (empty()) return r;
    if (r.empty()) return *this;
    return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right),
            std::max(bottom, r.bottom)};
  }
  constexpr Rect translated(int dx, int dy) const {
    return {left + dx, top + dy, right + dx, bottom + dy};
  }
  constexpr Rect inflated(int dx, int dy) const {
    return {left - dx, top - dy, right + dx, bottom + dy};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// 0x00RRGGBB, the layout of the XRGB framebuffer.
using Color = uint32_t;

constexpr Color rgb(uint8_t r, uint8_t g, uint8_t b) {
  return (Color(r) << 16) | (Color(g) << 8) | Color(b);
}
constexpr uint8_t red_of(Color c) { return uint8_t(c >> 16); }
constexpr uint8_t green_of(Color c) { return uint8_t(c >> 8); }
constexpr uint8_t blue_of(Color c) { return uint8_t(c); }

namespace colors {
constexpr Color kBlack = rgb(0, 0, 0);
constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kGreen = rgb(0, 255, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kYellow = rgb(255, 255, 0);
constexpr Color kGray = rgb(128, 128, 128);
constexpr Color kLightGray = rgb(192, 192, 192);
constexpr Color kFace = rgb(212, 208, 200);  // face colour of buttons and dialogs
}  // namespace colors

}  // namespace platform
