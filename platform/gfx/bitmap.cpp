// Memory bitmaps: a plain vector of XRGB pixels with guarded single-pixel access.
#include "platform/gfx/bitmap.h"

namespace platform {

Bitmap::Bitmap(int width, int height, Color fill) {
  if (width <= 0 || height <= 0) return;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
}

// The colour at (x, y), black outside the bitmap.
Color Bitmap::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return colors::kBlack;
  return row(y)[x];
}

// Sets one pixel; writes outside the bitmap are dropped.
void Bitmap::set_pixel(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  row(y)[x] = c;
}

// Paints every pixel in c.
void Bitmap::fill(Color c) { std::fill(pixels_.begin(), pixels_.end(), c); }

}  // namespace platform
