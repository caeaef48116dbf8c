#pragma once
// The shared line-wrap routine of the settings screens: long explanatory texts are broken into
// lines of at most 40 characters, at spaces where there is one, before they are drawn.
#include <cstddef>
#include <span>
#include <string_view>

#include "platform/gfx/canvas.h"

namespace corvex::settings {

inline constexpr size_t kWrapColumns = 40;

// Breaks `text` into lines of at most `columns` characters (UTF-8 code points, so translated
// texts wrap the same as English ones). A line ends at the last space that keeps it within the
// limit; a word longer than the limit is cut. The spaces at a break belong to no line. Stores
// the first out.size() lines as views into `text` and returns how many lines the whole text
// makes (0 for a text of spaces only).
size_t wrap_lines(std::string_view text, std::span<std::string_view> out,
                  size_t columns = kWrapColumns);

// Draws `text` wrapped at 40 characters, one line every `line_height` pixels from `at` down,
// left-aligned; at most `max_lines` lines. Returns the y below the last line drawn.
int draw_wrapped(platform::Canvas& canvas, std::string_view text, platform::Point at,
                 int line_height, const platform::FontSpec& font, platform::Color color,
                 size_t max_lines = 8);

}  // namespace corvex::settings
