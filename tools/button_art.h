#pragma once
// The artwork of the localized button images, shared by their generator and the data check:
// the face every picture button carries and the fitting of its label. Header-only because
// every tools/*.cpp becomes its own program.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/canvas.h"

namespace corvex::tools {

inline constexpr int kLabelMargin = 5;       // pixels kept free inside the frame on each side
inline constexpr int kLargestLabelFont = 18;
inline constexpr int kSmallestLabelFont = 10;
inline constexpr int kLabelWeight = 700;

// A label with its '|' line breaks turned into line feeds.
inline std::string label_lines(std::string_view label) {
  std::string text(label);
  for (char& ch : text) {
    if (ch == '|') ch = '\n';
  }
  return text;
}

// True when the label, drawn in `pixel_height`, fits inside the face of a button of `size`.
inline bool label_fits(std::string_view label, platform::Size size, int pixel_height) {
  platform::Bitmap scratch(1, 1);
  platform::Canvas canvas(scratch);
  const std::string text = label_lines(label);
  const platform::Size m = canvas.measure_text(text, 0, {pixel_height, kLabelWeight},
                                               platform::text_format::kCenter);
  return m.width <= size.width - 2 * kLabelMargin && m.height <= size.height - 2 * kLabelMargin + 2;
}

// The largest label font (in pixels) at which the label fits, or 0 when it fits at none.
inline int label_font_for(std::string_view label, platform::Size size) {
  const int start = std::min(kLargestLabelFont, size.height * 2 / 5 + 2);
  for (int px = start; px >= kSmallestLabelFont; --px) {
    if (label_fits(label, size, px)) return px;
  }
  return 0;
}

// The clean steel face of a picture button: a dark outline, a bevel and a brushed gradient.
inline void draw_button_face(platform::Canvas& c, platform::Size size) {
  using platform::rgb;
  const int w = size.width;
  const int h = size.height;
  for (int y = 0; y < h; ++y) {
    const int t = h > 1 ? y * 255 / (h - 1) : 0;
    const auto mix = [t](int top, int bottom) { return uint8_t(top + (bottom - top) * t / 255); };
    c.fill_rect({0, y, w, y + 1}, rgb(mix(226, 168), mix(229, 173), mix(232, 180)));
  }
  c.frame_rect({0, 0, w, h}, rgb(38, 42, 48));
  c.fill_rect({1, 1, w - 1, 3}, rgb(248, 249, 250));
  c.fill_rect({1, 1, 3, h - 1}, rgb(248, 249, 250));
  c.fill_rect({1, h - 3, w - 1, h - 1}, rgb(104, 110, 118));
  c.fill_rect({w - 3, 1, w - 1, h - 1}, rgb(104, 110, 118));
}

// A whole button image: the face and the label centred on it in the largest font that fits
// (the smallest one when none does).
inline platform::Bitmap draw_button(std::string_view label, platform::Size size) {
  platform::Bitmap b(size.width, size.height);
  platform::Canvas c(b);
  draw_button_face(c, size);
  int px = label_font_for(label, size);
  if (px == 0) px = kSmallestLabelFont;
  c.draw_text(label_lines(label), {kLabelMargin, kLabelMargin - 1, size.width - kLabelMargin,
                                   size.height - kLabelMargin + 1},
              {px, kLabelWeight}, platform::rgb(16, 20, 26),
              platform::text_format::kCenter | platform::text_format::kVCenter);
  return b;
}

}  // namespace corvex::tools
