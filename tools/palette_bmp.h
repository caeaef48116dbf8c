#pragma once
// 8-bit palette BMP files for the panel data: a picture of at most 256 colours is stored
// exactly with its own colour table, its pixels run-length encoded (RLE8) when that is smaller
// than the plain rows, as it is for drawings with large flat areas. A picture with more colours
// (a button label smoothed over a shaded face) stays a 24-bit file: nothing is approximated.
//
// Header-only because every tools/*.cpp becomes its own program.
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/bmp.h"

namespace corvex::tools {

struct PaletteImage {
  int width = 0;
  int height = 0;
  std::vector<platform::Color> palette;  // at most 256 entries, in order of first use
  std::vector<uint8_t> indices;          // width * height, rows top to bottom
};

// The picture's colours as a palette and the index of every pixel; nothing when it has more
// than 256 colours. The palette lists colours by first use, so the same picture always gives
// the same bytes.
inline std::optional<PaletteImage> to_palette(const platform::Bitmap& bitmap) {
  PaletteImage out;
  out.width = bitmap.width();
  out.height = bitmap.height();
  const size_t n = size_t(out.width) * size_t(out.height);
  std::unordered_map<platform::Color, uint8_t> index;
  out.indices.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const platform::Color c = bitmap.data()[i] & 0xFFFFFF;
    auto found = index.find(c);
    if (found == index.end()) {
      if (out.palette.size() == 256) return std::nullopt;
      found = index.emplace(c, uint8_t(out.palette.size())).first;
      out.palette.push_back(c);
    }
    out.indices[i] = found->second;
  }
  return out;
}

namespace palette_detail {

inline void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = uint8_t(v);
  out[at + 1] = uint8_t(v >> 8);
}

inline void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  put16(out, at, v & 0xFFFF);
  put16(out, at + 2, v >> 16);
}

// One row in RLE8 commands: runs of two or more equal indices as (count, index); stretches of
// three or more that do not repeat as an absolute run (0, count, indices..., padded to a
// 16-bit word); a lone index left over as a run of one.
inline void encode_rle8_row(const uint8_t* row, int width, std::vector<uint8_t>& out) {
  int x = 0;
  while (x < width) {
    int run = 1;
    while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
    if (run >= 2) {
      out.push_back(uint8_t(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    // Gather indices up to the next pair of equal ones.
    int len = 1;
    while (x + len < width && len < 255 &&
           !(x + len + 1 < width && row[x + len] == row[x + len + 1])) {
      ++len;
    }
    if (len < 3) {
      for (int k = 0; k < len; ++k) {
        out.push_back(1);
        out.push_back(row[x + k]);
      }
    } else {
      out.push_back(0);
      out.push_back(uint8_t(len));
      out.insert(out.end(), row + x, row + x + len);
      if (len & 1) out.push_back(0);
    }
    x += len;
  }
}

}  // namespace palette_detail

// Encodes the image as an 8-bit BMP, bottom-up, with the 40-byte info header and a colour table
// of the palette's size; run-length encoded when `rle`. Empty for an empty image.
inline std::vector<uint8_t> encode_bmp8(const PaletteImage& image, bool rle) {
  using palette_detail::put16;
  using palette_detail::put32;
  if (image.width <= 0 || image.height <= 0) return {};
  const size_t colours = image.palette.size();
  const size_t headers = 14 + 40 + 4 * colours;
  std::vector<uint8_t> out(headers, 0);
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 10, uint32_t(headers));
  put32(out, 14, 40);
  put32(out, 18, uint32_t(image.width));
  put32(out, 22, uint32_t(image.height));
  put16(out, 26, 1);
  put16(out, 28, 8);
  put32(out, 30, rle ? 1 : 0);
  put32(out, 38, 2835);  // 72 dots per inch
  put32(out, 42, 2835);
  put32(out, 46, uint32_t(colours));
  put32(out, 50, uint32_t(colours));
  for (size_t i = 0; i < colours; ++i) {
    out[54 + 4 * i] = platform::blue_of(image.palette[i]);
    out[54 + 4 * i + 1] = platform::green_of(image.palette[i]);
    out[54 + 4 * i + 2] = platform::red_of(image.palette[i]);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    const uint8_t* row = image.indices.data() + size_t(y) * size_t(image.width);
    if (rle) {
      palette_detail::encode_rle8_row(row, image.width, out);
      out.push_back(0);
      out.push_back(y == 0 ? 1 : 0);  // end of bitmap after the top row, else end of line
    } else {
      out.insert(out.end(), row, row + image.width);
      out.resize((out.size() - headers + 3) / 4 * 4 + headers, 0);
    }
  }
  put32(out, 2, uint32_t(out.size()));
  put32(out, 34, uint32_t(out.size() - headers));
  return out;
}

// The picture as the panel data stores it: the smaller of the plain and the run-length
// encoded 8-bit file when its colours fit a palette, else a 24-bit file, so that every picture
// reads back exactly as it was drawn. *palette tells which it became.
inline std::vector<uint8_t> encode_panel_picture(const platform::Bitmap& bitmap,
                                                 bool* palette = nullptr) {
  const std::optional<PaletteImage> image = to_palette(bitmap);
  if (palette) *palette = image.has_value();
  if (!image) return platform::encode_bmp24(bitmap);
  std::vector<uint8_t> plain = encode_bmp8(*image, false);
  std::vector<uint8_t> packed = encode_bmp8(*image, true);
  return packed.size() < plain.size() ? packed : plain;
}

}  // namespace corvex::tools
