#pragma once
// Fonts: the Tahoma-compatible faces through FreeType, with a per-glyph fallback to DejaVu Sans
// (DejaVu Sans Bold for bold text) for characters the face lacks. Rendered glyphs are cached
// per (face style, pixel height, code point).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/geometry.h"

namespace platform {

// Weights 100..500 select the regular face, 600 and above the bold face.
struct FontSpec {
  int pixel_height = 16;
  int weight = 400;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

constexpr FontSpec font(int pixel_height, int weight = 400) { return {pixel_height, weight}; }

// Width and height in pixels of one line of UTF-8 text (no line breaks interpreted).
Size measure_text_line(std::string_view utf8, const FontSpec& font_spec);
// Line height (ascent + descent) of the font in pixels.
int font_line_height(const FontSpec& font_spec);
// Where the fonts were found; empty when a face is missing (text then draws nothing).
std::string font_file_in_use(bool bold);

// The face a character is drawn from: its file, and whether its strokes are thickened (a bold
// file with the regular face's thin stems, or a regular face standing in for bold). The file
// is empty when no face has the character and the missing-glyph box is drawn.
struct GlyphSource {
  std::string file;
  bool thickened = false;
};
GlyphSource glyph_source(char32_t cp, const FontSpec& font_spec);
// Replaces the folders searched for the font files (empty: CORVEX_FONT_DIR, then the standard
// places) and drops every loaded face and cached glyph, so the next text looks the files up
// again. For tests and generator tools; not to be called while another thread draws text.
void set_font_directories(const std::vector<std::string>& dirs);

}  // namespace platform
