#include "platform/gfx/utf8.h"

#include <cstdint>

namespace platform {

namespace {

bool in(uint8_t b, uint8_t lo, uint8_t hi) { return b >= lo && b <= hi; }

}  // namespace

char32_t next_code_point(std::string_view s, size_t& pos) {
  const uint8_t lead = static_cast<uint8_t>(s[pos++]);
  if (lead < 0x80) return lead;
  int extra;
  uint8_t lo = 0x80, hi = 0xBF;  // the allowed range of the second byte
  char32_t cp;
  if (in(lead, 0xC2, 0xDF)) {
    extra = 1;
    cp = lead & 0x1F;
  } else if (in(lead, 0xE0, 0xEF)) {
    extra = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;  // overlong below U+0800
    if (lead == 0xED) hi = 0x9F;  // UTF-16 surrogates
  } else if (in(lead, 0xF0, 0xF4)) {
    extra = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;  // overlong below U+10000
    if (lead == 0xF4) hi = 0x8F;  // past U+10FFFF
  } else {
    return kReplacementCharacter;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= s.size()) return kReplacementCharacter;
    const uint8_t b = static_cast<uint8_t>(s[pos]);
    if (!in(b, i == 0 ? lo : 0x80, i == 0 ? hi : 0xBF)) return kReplacementCharacter;
    cp = (cp << 6) | (b & 0x3F);
    ++pos;
  }
  return cp;
}

}  // namespace platform
