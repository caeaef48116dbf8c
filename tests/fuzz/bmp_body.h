#pragma once
// Arbitrary bytes as a BMP file, decoded from memory and read from disk: each must decode or
// refuse with a reason, never read out of bounds or take unbounded memory. A decoded picture
// stays within the panel's screen, and one read from disk is the one decoded from the same
// bytes in memory. What the panel does next with a loaded picture, copying it onto a canvas
// clipped and stretched, runs too.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "platform/gfx/bmp.h"
#include "platform/gfx/canvas.h"

namespace corvex::fuzzing {

inline const char* fuzz_bmp_input(const uint8_t* data, size_t size) {
  std::string error;
  const std::optional<platform::Bitmap> bitmap =
      platform::decode_bmp(std::span(data, size), &error);
  if (!bitmap) {
    if (error.empty()) return "a refused picture gives no reason";
  } else {
    if (bitmap->empty() || bitmap->width() > platform::kMaxBmpWidth ||
        bitmap->height() > platform::kMaxBmpHeight) {
      return "a decoded picture is empty or larger than the screen";
    }
    platform::Bitmap screen(64, 48);
    platform::Canvas canvas(screen);
    canvas.blit(*bitmap, {-3, -3});
    canvas.stretch_blit(*bitmap, bitmap->rect(), screen.rect());
  }

  const std::string path = scratch_dir("bmp") + "/picture.bmp";
  if (!write_file(path, data, size)) return nullptr;
  std::string file_error;
  const std::optional<platform::Bitmap> from_file = platform::read_bmp_file(path, &file_error);
  if (!from_file) {
    if (file_error.empty()) return "a refused file gives no reason";
    return nullptr;
  }
  if (!bitmap) return "a file was read that the decoder refuses in memory";
  if (!(*from_file == *bitmap)) return "the file read differs from the bytes decoded";
  return nullptr;
}

}  // namespace corvex::fuzzing
