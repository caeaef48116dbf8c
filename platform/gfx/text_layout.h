#pragma once
// Line breaking and pen advances of drawn text (internal to platform/gfx). Works in place on
// the caller's UTF-8 text, so laying out a line allocates nothing.
#include <cstddef>
#include <string_view>

#include "platform/gfx/glyph_cache.h"

namespace platform::gfx_detail {

struct TextLine {
  size_t begin = 0;  // byte range of the line's characters, without its line break
  size_t end = 0;
  int width = 0;     // sum of the advances
};

class TextLayout {
 public:
  TextLayout(SizedFont& font, unsigned format);

  // Pen movement of cp drawn at `x` pixels from the start of its line: tabs go to the next
  // multiple of eight space widths with kExpandTabs (one space width without), control
  // characters move nothing.
  int advance(char32_t cp, int x);
  // Finds the line that starts at `pos` and moves `pos` to the start of the next one. Line
  // breaks ("\r\n", "\n", "\r") end a line unless kSingleLine; with wrap_width > 0 a line is
  // also ended at the last space before the word that would pass wrap_width (the spaces at
  // the break belong to no line; a single word wider than wrap_width stays whole). Returns
  // false when no text is left. A line break at the very end starts no further line.
  bool next_line(std::string_view text, size_t& pos, int wrap_width, TextLine& line);
  // Width of `text` taken as one line.
  int line_width(std::string_view text);

  SizedFont& font() { return font_; }

 private:
  SizedFont& font_;
  unsigned format_;
  int space_ = 0;
};

}  // namespace platform::gfx_detail
