// Feeds arbitrary bytes to the BMP decoder: it must decode or refuse, never crash, read out of
// bounds or take unbounded memory; a decoded bitmap must have the size its header gave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/gfx/bmp.h"
#include "platform/gfx/canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  const std::optional<platform::Bitmap> bitmap =
      platform::decode_bmp(std::span(data, size), &error);
  if (!bitmap) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (bitmap->empty() || bitmap->width() > platform::kMaxBmpWidth ||
      bitmap->height() > platform::kMaxBmpHeight) {
    std::abort();
  }
  // What the panel does next with a loaded picture: copy it onto a screen-sized canvas.
  platform::Bitmap screen(64, 48);
  platform::Canvas canvas(screen);
  canvas.blit(*bitmap, {-3, -3});
  canvas.stretch_blit(*bitmap, bitmap->rect(), screen.rect());
  return 0;
}
