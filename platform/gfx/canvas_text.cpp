// Text on the canvas: layout through TextLayout, glyphs from the cache blended in the text
// colour by their coverage.
#include <algorithm>

#include "platform/gfx/canvas.h"
#include "platform/gfx/text_layout.h"
#include "platform/gfx/utf8.h"

namespace platform {

namespace {

using gfx_detail::Glyph;
using gfx_detail::TextLayout;
using gfx_detail::TextLine;

constexpr int64_t kFar = int64_t(1) << 29;

uint32_t blend(uint32_t dst, Color fg, unsigned a) {
  const auto mix = [a](unsigned d, unsigned f) {
    const unsigned v = d * (255 - a) + f * a + 128;
    return (v + (v >> 8)) >> 8;
  };
  return (mix(red_of(dst), red_of(fg)) << 16) | (mix(green_of(dst), green_of(fg)) << 8) |
         mix(blue_of(dst), blue_of(fg));
}

// Blends the glyph with its pen position at (x, baseline), clipped.
void blend_glyph(Bitmap& bm, const Rect& clip, const Glyph& g, int64_t x, int64_t baseline,
                 Color fg) {
  const int64_t left = x + g.left, top = baseline - g.top;
  const int64_t x0 = std::max<int64_t>(left, clip.left);
  const int64_t x1 = std::min<int64_t>(left + g.width, clip.right);
  const int64_t y0 = std::max<int64_t>(top, clip.top);
  const int64_t y1 = std::min<int64_t>(top + g.height, clip.bottom);
  const Color solid = fg & 0xFFFFFFu;
  for (int64_t y = y0; y < y1; ++y) {
    const uint8_t* cover = g.coverage.data() + (y - top) * g.width - left;
    uint32_t* row = bm.row(static_cast<int>(y));
    for (int64_t px = x0; px < x1; ++px) {
      const unsigned a = cover[px];
      if (a == 255) {
        row[px] = solid;
      } else if (a != 0) {
        row[px] = blend(row[px], solid, a);
      }
    }
  }
}

int wrap_width_of(unsigned format, int width) {
  return (format & text_format::kWordBreak) && width > 0 ? width : 0;
}

int count_lines(TextLayout& layout, std::string_view text, int wrap_width) {
  int lines = 0;
  TextLine line;
  for (size_t pos = 0; layout.next_line(text, pos, wrap_width, line);) ++lines;
  return lines;
}

void draw_line_of_text(Bitmap& bm, const Rect& clip, TextLayout& layout, std::string_view text,
                       const TextLine& line, int64_t x, int64_t baseline, Color fg) {
  int pen = 0;
  for (size_t i = line.begin; i < line.end;) {
    const char32_t cp = next_code_point(text, i);
    const int step = layout.advance(cp, pen);
    if (cp > 0x20 && cp != 0x7F)
      blend_glyph(bm, clip, layout.font().glyph(cp), x + pen, baseline, fg);
    pen += step;
    if (x + pen >= clip.right + int64_t(layout.font().line_height())) break;
  }
}

}  // namespace

// Lays the text out in r and draws it; returns the height of the text block.
int Canvas::draw_text(std::string_view utf8, const Rect& r, const FontSpec& font, Color fg,
                      unsigned format, TextBackground bg, Color background) {
  if (bg == TextBackground::Opaque) fill_rect(r, background);
  gfx_detail::FontAccess access;
  gfx_detail::SizedFont* sized = access.find(font);
  if (!sized) return 0;
  TextLayout layout(*sized, format);
  const Rect box{int(std::clamp(int64_t(r.left) + origin_.x, -kFar, kFar)),
                 int(std::clamp(int64_t(r.top) + origin_.y, -kFar, kFar)),
                 int(std::clamp(int64_t(r.right) + origin_.x, -kFar, kFar)),
                 int(std::clamp(int64_t(r.bottom) + origin_.y, -kFar, kFar))};
  const Rect clip = (format & text_format::kNoClip) ? clip_ : clip_.intersected(box);
  const int wrap = wrap_width_of(format, box.width());
  const int line_height = sized->line_height();
  const bool aligned_down = format & (text_format::kVCenter | text_format::kBottom);
  const int64_t total = aligned_down ? int64_t(count_lines(layout, utf8, wrap)) * line_height : 0;
  int64_t y = box.top;
  if (format & text_format::kBottom) {
    y = box.bottom - total;
  } else if (format & text_format::kVCenter) {
    y = box.top + (int64_t(box.height()) - total) / 2;
  }
  int lines = 0;
  TextLine line;
  for (size_t pos = 0; layout.next_line(utf8, pos, wrap, line); ++lines, y += line_height) {
    if (clip.empty() || y >= clip.bottom || y + line_height <= clip.top) continue;
    int64_t x = box.left;
    if (format & text_format::kRight) {
      x = box.right - int64_t(line.width);
    } else if (format & text_format::kCenter) {
      x = box.left + (int64_t(box.width()) - line.width) / 2;
    }
    draw_line_of_text(target_, clip, layout, utf8, line, x, y + sized->ascent(), fg);
    const Rect run{int(std::clamp(x, -kFar, kFar)), int(y),
                   int(std::clamp(x + line.width, -kFar, kFar)), int(y + line_height)};
    if (!run.intersected(clip).empty()) {
      record_line(utf8.substr(line.begin, line.end - line.begin), run);
    }
  }
  return static_cast<int>(std::min<int64_t>(int64_t(lines) * line_height, INT32_MAX));
}

// The width of the widest line and the height of all lines that draw_text would lay out.
Size Canvas::measure_text(std::string_view utf8, int width, const FontSpec& font,
                          unsigned format) const {
  return platform::measure_text(utf8, width, font, format);
}

Size measure_text(std::string_view utf8, int width, const FontSpec& font, unsigned format) {
  gfx_detail::FontAccess access;
  gfx_detail::SizedFont* sized = access.find(font);
  if (!sized) return {};
  TextLayout layout(*sized, format);
  const int wrap = wrap_width_of(format, width);
  Size size;
  TextLine line;
  for (size_t pos = 0; layout.next_line(utf8, pos, wrap, line);) {
    size.width = std::max(size.width, line.width);
    size.height += sized->line_height();
  }
  return size;
}

}  // namespace platform
