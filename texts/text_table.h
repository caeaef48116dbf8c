#pragma once
// The fixed tables the language files are parsed into, and the parser itself. A language file
// is UTF-16 little-endian; its first two bytes (the byte-order mark) are skipped unexamined and
// every following pair of bytes is one code unit. A carriage return ends the text of a line,
// a line feed ends the line and stores it as the next entry, and a last line without a line
// feed is not stored. Entries that the file does not reach keep the texts they had.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace corvex::texts {

// Characters an entry keeps of its line, not counting the terminator.
inline constexpr int kEntryCharacters = 150;

struct TextEntry {
  std::array<char16_t, kEntryCharacters + 1> text{};

  std::u16string_view view() const;
  void clear() { text[0] = 0; }
};

// Parses `bytes` into entries[0], entries[1], ... and returns how many lines were stored (at
// most entries.size()). Lines past the last entry are read over and dropped. An odd last byte
// and a file shorter than its byte-order mark give nothing more. Allocates nothing.
size_t parse_text_lines(std::span<const uint8_t> bytes, std::span<TextEntry> entries);

}  // namespace corvex::texts
