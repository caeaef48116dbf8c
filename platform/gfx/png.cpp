// PNG encoding through libpng into memory.
#include "platform/gfx/png.h"

#include <png.h>

#include "platform/gfx/file_write.h"

namespace platform {

namespace {

void append_bytes(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void no_flush(png_structp) {}

// libpng reports errors by longjmp, so this function holds no object with a destructor:
// the row buffer and the output belong to the caller.
bool encode_into(const Bitmap& bitmap, uint8_t* row, std::vector<uint8_t>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, append_bytes, no_flush);
  png_set_IHDR(png, info, png_uint_32(bitmap.width()), png_uint_32(bitmap.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint32_t* src = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x) {
      row[3 * x] = red_of(src[x]);
      row[3 * x + 1] = green_of(src[x]);
      row[3 * x + 2] = blue_of(src[x]);
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<uint8_t> encode_png(const Bitmap& bitmap) {
  std::vector<uint8_t> out;
  if (bitmap.empty()) return out;
  std::vector<uint8_t> row(size_t(bitmap.width()) * 3);
  out.reserve(size_t(bitmap.width()) * bitmap.height() / 4 + 1024);
  if (!encode_into(bitmap, row.data(), &out)) out.clear();
  return out;
}

bool write_png_file(const std::string& path, const Bitmap& bitmap, std::string* error) {
  const std::vector<uint8_t> bytes = encode_png(bitmap);
  if (bytes.empty()) {
    if (error) *error = bitmap.empty() ? "cannot write an empty bitmap to " + path
                                       : "PNG encoding failed for " + path;
    return false;
  }
  return gfx_detail::write_file_replacing(path, bytes, error);
}

}  // namespace platform
