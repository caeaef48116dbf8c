#pragma once
// Pixel inspection helpers shared by the drawing tests.
#include <atomic>
#include <string>

#include "platform/gfx/bitmap.h"

namespace gfx_test {

// While g_counting is set, every operator new of the test program adds to g_allocations and
// its size to g_allocated_bytes (alloc_counter.cpp), so that tests can show that warm drawing
// allocates nothing and that a refused picture took no memory for its pixels.
extern std::atomic<bool> g_counting;
extern std::atomic<long> g_allocations;
extern std::atomic<long> g_allocated_bytes;

using platform::Bitmap;
using platform::Color;
using platform::Rect;

inline int count_colour(const Bitmap& bm, Color c, Rect r) {
  r = r.intersected(bm.rect());
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += bm.pixel(x, y) == c;
  return n;
}

inline int count_colour(const Bitmap& bm, Color c) { return count_colour(bm, c, bm.rect()); }

// The bounding box of every pixel that is not `background`; empty when there is none.
inline Rect ink_box(const Bitmap& bm, Color background, Rect within) {
  within = within.intersected(bm.rect());
  Rect box;
  for (int y = within.top; y < within.bottom; ++y)
    for (int x = within.left; x < within.right; ++x)
      if (bm.pixel(x, y) != background) box = box.united({x, y, x + 1, y + 1});
  return box;
}

inline Rect ink_box(const Bitmap& bm, Color background) {
  return ink_box(bm, background, bm.rect());
}

// A picture of the bitmap as text, one character per pixel, for readable failure messages.
inline std::string picture(const Bitmap& bm, Color ink) {
  std::string s = "\n";
  for (int y = 0; y < bm.height(); ++y) {
    for (int x = 0; x < bm.width(); ++x) s += bm.pixel(x, y) == ink ? '#' : '.';
    s += '\n';
  }
  return s;
}

}  // namespace gfx_test
