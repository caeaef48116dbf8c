#pragma once
// Reading and writing Windows bitmap files: the panel's button images, warning pictures and
// generated artwork.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"

namespace platform {

// Largest width or height accepted, and the largest pixel count (128 MiB of pixels): anything
// bigger is refused before memory is taken for it.
constexpr int kMaxBmpSide = 16384;
constexpr int64_t kMaxBmpPixels = int64_t(1) << 25;

// Decodes a BMP file held in memory: 1, 2, 4, 8, 16 (555, or bit fields such as 565), 24 and
// 32 bits per pixel, bottom-up or top-down, RLE8 and RLE4, with the 12-byte core header, the
// 40-byte info header and its V2 to V5 extensions. Returns the bitmap, or nullopt with the
// reason in *error for a file that is malformed, truncated, too large or of a kind not read.
// Pixels that an RLE file skips with a delta or an early line end stay black.
std::optional<Bitmap> decode_bmp(std::span<const uint8_t> data, std::string* error = nullptr);
// Reads and decodes a BMP file; nullopt with the reason when it cannot be read or decoded.
std::optional<Bitmap> read_bmp_file(const std::string& path, std::string* error = nullptr);
// Encodes a 24-bit bottom-up BMP with rows padded to 4 bytes; empty for an empty bitmap.
std::vector<uint8_t> encode_bmp24(const Bitmap& bitmap);
// Writes encode_bmp24(bitmap) to path through a temporary file in the same folder that is then
// renamed, so a reader never sees half a file. Returns false with the reason on failure.
bool write_bmp_file(const std::string& path, const Bitmap& bitmap, std::string* error = nullptr);

}  // namespace platform
