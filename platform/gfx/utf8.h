#pragma once
// UTF-8 decoding for text drawing: never fails, never reads past the end of the text.
#include <cstddef>
#include <string_view>

namespace platform {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Returns the code point that starts at `pos` and moves `pos` past it. A malformed sequence
// (stray continuation byte, overlong form, surrogate, value past U+10FFFF, cut-off sequence)
// gives U+FFFD and moves past its longest valid-looking prefix, at least one byte.
// `pos` must be below s.size().
char32_t next_code_point(std::string_view s, size_t& pos);

}  // namespace platform
