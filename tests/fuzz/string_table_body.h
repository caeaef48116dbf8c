#pragma once
// Arbitrary bytes as a language file for the parser: the string table (1000 entries), the
// conversion of every stored entry to UTF-8 under the lookup limits, and the two-line split of
// what came out. Nothing may read or write out of bounds, and every result stays terminated.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "texts/text_table.h"
#include "texts/texts.h"
#include "texts/utf16.h"

namespace corvex::fuzzing {

inline const char* fuzz_string_table_input(const uint8_t* data, size_t size) {
  using namespace corvex::texts;
  static std::array<TextEntry, 1000> entries;
  const size_t stored = parse_text_lines(std::span<const uint8_t>(data, size), entries);
  if (stored > entries.size()) return "more lines stored than there are entries";
  StringBuffer text;
  WarningBuffer warning;
  std::array<char, 301> first;
  std::array<char, 301> second;
  for (size_t i = 0; i < stored; ++i) {
    const std::u16string_view entry = entries[i].view();
    if (entry.size() > size_t(kEntryCharacters)) return "an entry is longer than it may be";
    const size_t n = utf16_to_utf8(entry, kStringLookupLimit, text);
    if (n >= text.size() || text[n] != '\0' || std::strlen(text.data()) != n) {
      return "a converted string is not terminated where its length says";
    }
    utf16_to_utf8(entry, kWarningLookupLimit, warning);
    two_line_split(std::string_view(warning.data()), first, second, 99);
    if (std::memchr(first.data(), 0, first.size()) == nullptr ||
        std::memchr(second.data(), 0, second.size()) == nullptr) {
      return "a split line is not terminated";
    }
  }
  return nullptr;
}

}  // namespace corvex::fuzzing
