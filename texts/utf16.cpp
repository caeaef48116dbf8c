#include "texts/utf16.h"

#include <algorithm>

#include "platform/gfx/utf8.h"

namespace corvex::texts {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_high_surrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low_surrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

int utf8_length(char32_t cp) {
  if (cp < 0x80) return 1;
  if (cp < 0x800) return 2;
  if (cp < 0x10000) return 3;
  return 4;
}

void put_utf8(char32_t cp, char* p) {
  const int n = utf8_length(cp);
  if (n == 1) {
    p[0] = char(cp);
  } else if (n == 2) {
    p[0] = char(0xC0 | (cp >> 6));
    p[1] = char(0x80 | (cp & 0x3F));
  } else if (n == 3) {
    p[0] = char(0xE0 | (cp >> 12));
    p[1] = char(0x80 | ((cp >> 6) & 0x3F));
    p[2] = char(0x80 | (cp & 0x3F));
  } else {
    p[0] = char(0xF0 | (cp >> 18));
    p[1] = char(0x80 | ((cp >> 12) & 0x3F));
    p[2] = char(0x80 | ((cp >> 6) & 0x3F));
    p[3] = char(0x80 | (cp & 0x3F));
  }
}

}  // namespace

size_t utf16_to_utf8(std::u16string_view text, size_t max_units, std::span<char> out) {
  if (out.empty()) return 0;
  const size_t units = std::min(text.size(), max_units);
  const size_t room = out.size() - 1;
  size_t written = 0;
  for (size_t i = 0; i < units && text[i] != 0;) {
    char32_t cp = text[i];
    size_t used = 1;
    if (is_high_surrogate(text[i])) {
      if (i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
        if (i + 1 >= units) break;  // the limit falls inside the pair
        cp = 0x10000 + ((char32_t(text[i]) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
        used = 2;
      } else {
        cp = kReplacement;
      }
    } else if (is_low_surrogate(text[i])) {
      cp = kReplacement;
    }
    const int n = utf8_length(cp);
    if (written + n > room) break;
    put_utf8(cp, out.data() + written);
    written += n;
    i += used;
  }
  out[written] = '\0';
  return written;
}

size_t utf8_to_utf16(std::string_view text, std::span<char16_t> out) {
  if (out.empty()) return 0;
  const size_t room = out.size() - 1;
  size_t written = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const char32_t cp = platform::next_code_point(text, pos);
    if (cp == 0) break;
    const size_t n = cp >= 0x10000 ? 2 : 1;
    if (written + n > room) break;
    if (n == 2) {
      out[written++] = char16_t(0xD800 + ((cp - 0x10000) >> 10));
      out[written++] = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out[written++] = char16_t(cp);
    }
  }
  out[written] = 0;
  return written;
}

std::string to_utf8(std::u16string_view text) {
  std::string result(utf8_capacity_for(text.size()), '\0');
  result.resize(utf16_to_utf8(text, text.size(), result));
  return result;
}

std::u16string to_utf16(std::string_view text) {
  std::u16string result(text.size() + 1, u'\0');
  result.resize(utf8_to_utf16(text, result));
  return result;
}

size_t terminated_length(std::span<const char16_t> buffer) {
  size_t n = 0;
  while (n < buffer.size() && buffer[n] != 0) ++n;
  return n;
}

}  // namespace corvex::texts
