#pragma once
// Conversions between the UTF-16 texts of the language files and the UTF-8 texts the platform
// draws. The language tables stay UTF-16 exactly as they were loaded; a text is converted only
// when a screen asks for it, into the caller's buffer. Limits are counted in UTF-16 units, as
// the panel's own buffers count characters. Nothing here allocates except the std:: helpers
// meant for tools and tests.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace corvex::texts {

// Bytes a UTF-8 buffer needs to hold any text of `units` UTF-16 units plus the terminator.
constexpr size_t utf8_capacity_for(size_t units) { return units * 3 + 1; }

// Converts at most `max_units` UTF-16 units of `text` (stopping at a terminator) into `out` as
// UTF-8 and terminates it. A lone surrogate becomes U+FFFD; a pair that the unit limit would
// cut in half is left out whole, and so is a character that no longer fits in `out`. Returns
// the number of bytes written before the terminator; an empty `out` gets nothing and gives 0.
size_t utf16_to_utf8(std::u16string_view text, size_t max_units, std::span<char> out);

// Converts UTF-8 into `out` as UTF-16 and terminates it; malformed bytes become U+FFFD.
// Returns the number of units written before the terminator (cut at a character boundary
// when `out` is too small).
size_t utf8_to_utf16(std::string_view text, std::span<char16_t> out);

// Unlimited forms, for the generators and the tests.
std::string to_utf8(std::u16string_view text);
std::u16string to_utf16(std::string_view text);

// Length of a terminated UTF-16 text held in a fixed buffer (at most the buffer's size).
size_t terminated_length(std::span<const char16_t> buffer);

}  // namespace corvex::texts
