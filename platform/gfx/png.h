#pragma once
// PNG encoding of bitmaps, for screenshots.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"

namespace platform {

// Encodes the bitmap as an 8-bit RGB PNG; empty for an empty bitmap or when encoding fails.
std::vector<uint8_t> encode_png(const Bitmap& bitmap);
// Writes encode_png(bitmap) to path through a temporary file in the same folder that is then
// renamed. Returns false with the reason on failure.
bool write_png_file(const std::string& path, const Bitmap& bitmap, std::string* error = nullptr);

}  // namespace platform
