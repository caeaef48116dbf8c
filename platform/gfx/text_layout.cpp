#include "platform/gfx/text_layout.h"

#include "platform/gfx/canvas.h"
#include "platform/gfx/utf8.h"

namespace platform::gfx_detail {

TextLayout::TextLayout(SizedFont& font, unsigned format)
    : font_(font), format_(format), space_(font.glyph(U' ').advance) {}

int TextLayout::advance(char32_t cp, int x) {
  if (cp == U'\t') {
    if (!(format_ & text_format::kExpandTabs)) return space_;
    const int stop = 8 * space_;
    if (stop <= 0) return 0;
    return (x / stop + 1) * stop - x;
  }
  if (cp < 0x20 || cp == 0x7F) return 0;
  return font_.glyph(cp).advance;
}

bool TextLayout::next_line(std::string_view text, size_t& pos, int wrap_width, TextLine& line) {
  if (pos >= text.size()) return false;
  const bool breaks = !(format_ & text_format::kSingleLine);
  const size_t begin = pos;
  size_t wrap_at = std::string_view::npos;  // start of the last space run after a word
  int wrap_width_at = 0;
  bool in_word = false;
  int x = 0;
  size_t i = pos;
  while (i < text.size()) {
    const size_t at = i;
    const char32_t cp = next_code_point(text, i);
    if (breaks && (cp == U'\r' || cp == U'\n')) {
      if (cp == U'\r' && i < text.size() && text[i] == '\n') ++i;
      line = {begin, at, x};
      pos = i;
      return true;
    }
    const int step = advance(cp, x);
    if (wrap_width > 0 && cp == U' ') {
      if (in_word) {
        wrap_at = at;
        wrap_width_at = x;
      }
      in_word = false;
    } else if (wrap_width > 0) {
      if (x + step > wrap_width && wrap_at != std::string_view::npos) {
        line = {begin, wrap_at, wrap_width_at};
        pos = wrap_at;
        while (pos < text.size() && text[pos] == ' ') ++pos;
        return true;
      }
      in_word = true;
    }
    x += step;
  }
  line = {begin, text.size(), x};
  pos = text.size();
  return true;
}

int TextLayout::line_width(std::string_view text) {
  int x = 0;
  for (size_t i = 0; i < text.size();) x += advance(next_code_point(text, i), x);
  return x;
}

}  // namespace platform::gfx_detail
