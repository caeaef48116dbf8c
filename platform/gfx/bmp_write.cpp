// BMP encoding: 24 bits per pixel, bottom-up, the 40-byte info header.
#include "platform/gfx/bmp.h"
#include "platform/gfx/file_write.h"

namespace platform {

namespace {

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = uint8_t(v);
  out[at + 1] = uint8_t(v >> 8);
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  put16(out, at, v & 0xFFFF);
  put16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> encode_bmp24(const Bitmap& bitmap) {
  if (bitmap.empty()) return {};
  const size_t stride = (size_t(bitmap.width()) * 3 + 3) & ~size_t(3);
  const size_t pixels = stride * size_t(bitmap.height());
  constexpr size_t kHeaders = 14 + 40;
  std::vector<uint8_t> out(kHeaders + pixels, 0);
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, uint32_t(out.size()));
  put32(out, 10, kHeaders);
  put32(out, 14, 40);
  put32(out, 18, uint32_t(bitmap.width()));
  put32(out, 22, uint32_t(bitmap.height()));
  put16(out, 26, 1);
  put16(out, 28, 24);
  put32(out, 34, uint32_t(pixels));
  put32(out, 38, 2835);  // 72 dots per inch
  put32(out, 42, 2835);
  for (int y = 0; y < bitmap.height(); ++y) {
    uint8_t* dst = out.data() + kHeaders + stride * size_t(bitmap.height() - 1 - y);
    const uint32_t* src = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x) {
      dst[3 * x] = blue_of(src[x]);
      dst[3 * x + 1] = green_of(src[x]);
      dst[3 * x + 2] = red_of(src[x]);
    }
  }
  return out;
}

bool write_bmp_file(const std::string& path, const Bitmap& bitmap, std::string* error) {
  if (bitmap.empty()) {
    if (error) *error = "cannot write an empty bitmap to " + path;
    return false;
  }
  return gfx_detail::write_file_replacing(path, encode_bmp24(bitmap), error);
}

}  // namespace platform
