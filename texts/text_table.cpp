#include "texts/text_table.h"

#include <algorithm>

namespace corvex::texts {

std::u16string_view TextEntry::view() const {
  size_t n = 0;
  while (n < text.size() && text[n] != 0) ++n;
  return {text.data(), n};
}

size_t parse_text_lines(std::span<const uint8_t> bytes, std::span<TextEntry> entries) {
  char16_t line[kEntryCharacters];
  size_t line_length = 0;
  bool text_ended = false;  // a carriage return came: the rest up to the line feed is dropped
  size_t stored = 0;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = char16_t(bytes[i] | (bytes[i + 1] << 8));
    if (unit == u'\r') {
      text_ended = true;
    } else if (unit == u'\n') {
      if (stored < entries.size()) {
        TextEntry& entry = entries[stored++];
        std::copy(line, line + line_length, entry.text.begin());
        entry.text[line_length] = 0;
        if (stored == entries.size()) break;  // nothing further could be stored
      }
      line_length = 0;
      text_ended = false;
    } else if (!text_ended && line_length < kEntryCharacters) {
      line[line_length++] = unit;
    }
  }
  return stored;
}

}  // namespace corvex::texts
