#include "settings/line_wrap.h"

#include <algorithm>
#include <array>

#include "platform/gfx/utf8.h"

namespace corvex::settings {

namespace {

// The byte offset just past `count` code points from `pos`, or the end of the text.
size_t advance_code_points(std::string_view text, size_t pos, size_t count) {
  for (size_t n = 0; n < count && pos < text.size(); ++n) platform::next_code_point(text, pos);
  return pos;
}

size_t skip_spaces(std::string_view text, size_t pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  return pos;
}

}  // namespace

size_t wrap_lines(std::string_view text, std::span<std::string_view> out, size_t columns) {
  if (columns == 0) columns = 1;
  size_t lines = 0;
  size_t start = skip_spaces(text, 0);
  while (start < text.size()) {
    // `limit` ends the longest line that may be taken; a space right at it still allows a
    // break there, so a full 40-character word run followed by a space stays whole.
    const size_t limit = advance_code_points(text, start, columns);
    size_t end = limit;
    size_t next = limit;
    if (limit < text.size() && text[limit] != ' ') {
      const size_t space = text.substr(start, limit - start).rfind(' ');
      if (space != std::string_view::npos) {
        end = start + space;
        next = end;
      }
    }
    while (end > start && text[end - 1] == ' ') --end;
    if (lines < out.size()) out[lines] = text.substr(start, end - start);
    ++lines;
    start = skip_spaces(text, next);
  }
  return lines;
}

int draw_wrapped(platform::Canvas& canvas, std::string_view text, platform::Point at,
                 int line_height, const platform::FontSpec& font, platform::Color color,
                 size_t max_lines) {
  // Explanatory texts are at most a few hundred characters: eight lines cover three strings.
  std::array<std::string_view, 8> lines;
  const size_t count = std::min({wrap_lines(text, lines), lines.size(), max_lines});
  const unsigned format = platform::text_format::kLeft | platform::text_format::kSingleLine |
                          platform::text_format::kNoClip;
  for (size_t i = 0; i < count; ++i) {
    const platform::Rect r{at.x, at.y, at.x + 600, at.y + line_height};
    canvas.draw_text(lines[i], r, font, color, format);
    at.y += line_height;
  }
  return at.y;
}

}  // namespace corvex::settings
