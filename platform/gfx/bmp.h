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

// The largest picture accepted is the panel's whole 640 x 480 screen (1.2 MB decoded); the
// largest the panel draws, a 500 x 400 warning picture, fits with room to spare. Anything
// bigger could never be shown and is refused before memory is taken for it.
constexpr int kMaxBmpWidth = 640;
constexpr int kMaxBmpHeight = 480;

// Decodes a BMP file held in memory: 1, 2, 4, 8, 16 (555, or bit fields such as 565), 24 and
// 32 bits per pixel, bottom-up or top-down, RLE8 and RLE4, with the 12-byte core header, the
// 40-byte info header and its V2 to V5 extensions. Returns the bitmap, or nullopt with the
// reason in *error for a file that is malformed, truncated, too large or of a kind not read.
// Pixels that an RLE file skips with a delta or an early line end stay black. The pixel data
// is checked (an RLE file's commands run through once) before the bitmap is allocated.
std::optional<Bitmap> decode_bmp(std::span<const uint8_t> data, std::string* error = nullptr);
// Reads and decodes a BMP file; nullopt with the reason when it cannot be read or decoded.
// Anything but a regular file is refused without waiting (a FIFO never blocks the caller),
// and the header is read first: a file much larger than its header describes is refused
// without reading the rest.
std::optional<Bitmap> read_bmp_file(const std::string& path, std::string* error = nullptr);
// Encodes a 24-bit bottom-up BMP with rows padded to 4 bytes; empty for an empty bitmap.
std::vector<uint8_t> encode_bmp24(const Bitmap& bitmap);
// Writes encode_bmp24(bitmap) to path through a temporary file in the same folder that is then
// renamed, so a reader never sees half a file. Returns false with the reason on failure.
bool write_bmp_file(const std::string& path, const Bitmap& bitmap, std::string* error = nullptr);

}  // namespace platform
