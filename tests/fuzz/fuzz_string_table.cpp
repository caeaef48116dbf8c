// Fuzzes the language-file parser with arbitrary bytes: the string table (1000 entries), the
// conversion of every stored entry to UTF-8 under the lookup limits, and the two-line split of
// what came out. Nothing may read or write out of bounds, and every result stays terminated.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "texts/text_table.h"
#include "texts/texts.h"
#include "texts/utf16.h"

namespace {
std::array<corvex::texts::TextEntry, 1000> g_entries;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvex::texts;
  const size_t stored = parse_text_lines(std::span<const uint8_t>(data, size), g_entries);
  if (stored > g_entries.size()) std::abort();
  StringBuffer text;
  WarningBuffer warning;
  std::array<char, 301> first;
  std::array<char, 301> second;
  for (size_t i = 0; i < stored; ++i) {
    const std::u16string_view entry = g_entries[i].view();
    if (entry.size() > size_t(kEntryCharacters)) std::abort();
    const size_t n = utf16_to_utf8(entry, kStringLookupLimit, text);
    if (n >= text.size() || text[n] != '\0' || std::strlen(text.data()) != n) std::abort();
    utf16_to_utf8(entry, kWarningLookupLimit, warning);
    two_line_split(std::string_view(warning.data()), first, second, 99);
    if (std::memchr(first.data(), 0, first.size()) == nullptr) std::abort();
    if (std::memchr(second.data(), 0, second.size()) == nullptr) std::abort();
  }
  return 0;
}
