#pragma once
// A memory bitmap: width x height pixels of XRGB colour, rows top to bottom.
#include <cstdint>
#include <vector>

#include "platform/gfx/geometry.h"

namespace platform {

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height, Color fill = colors::kBlack);

  int width() const { return width_; }
  int height() const { return height_; }
  Size size() const { return {width_, height_}; }
  Rect rect() const { return {0, 0, width_, height_}; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }

  uint32_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  uint32_t* data() { return pixels_.data(); }
  const uint32_t* data() const { return pixels_.data(); }

  // Out-of-range reads give black; out-of-range writes are ignored.
  Color pixel(int x, int y) const;
  void set_pixel(int x, int y, Color c);
  void fill(Color c);

  friend bool operator==(const Bitmap&, const Bitmap&) = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace platform
