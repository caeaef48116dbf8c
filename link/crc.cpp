#include "link/crc.h"

#include <array>

namespace corvex::link {
namespace {

// Table 1 gives the new high byte and table 2 the new low byte for an index
// i = byte XOR current high byte. Both are the bytes of the reflected 0xA001 CRC of i,
// split the way the classic Modbus tables split them (table 1 begins 00 C1 81 40,
// table 2 begins 00 C0 C1 01).
constexpr std::array<std::array<uint8_t, 256>, 2> make_tables() {
  std::array<std::array<uint8_t, 256>, 2> t{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned crc = i;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
    // crc is the 16-bit remainder of byte i; its low byte is XORed into the next high byte
    // and its high byte becomes the next low byte.
    t[0][i] = uint8_t(crc & 0xFF);
    t[1][i] = uint8_t(crc >> 8);
  }
  return t;
}

constexpr auto kTables = make_tables();
constexpr const std::array<uint8_t, 256>& kTableHi = kTables[0];
constexpr const std::array<uint8_t, 256>& kTableLo = kTables[1];
static_assert(kTableHi[1] == 0xC1 && kTableHi[2] == 0x81 && kTableHi[3] == 0x40);
static_assert(kTableLo[1] == 0xC0 && kTableLo[2] == 0xC1 && kTableLo[3] == 0x01);

}  // namespace

uint16_t crc16(const uint8_t* buffer, size_t n) {
  uint8_t hi = 0xFF;
  uint8_t lo = 0xFF;
  for (size_t k = 0; k < n; ++k) {
    const uint8_t i = buffer[k] ^ hi;
    hi = kTableHi[i] ^ lo;
    lo = kTableLo[i];
  }
  // hi is sent first, so it is the low byte of the conventional CRC value.
  return uint16_t(hi | (lo << 8));
}

void crc16_append(uint8_t* buffer, size_t n) {
  const uint16_t crc = crc16(buffer, n);
  buffer[n] = uint8_t(crc & 0xFF);
  buffer[n + 1] = uint8_t(crc >> 8);
}

bool crc16_check(const uint8_t* buffer, size_t n) {
  const uint16_t crc = crc16(buffer, n);
  return buffer[n] == uint8_t(crc & 0xFF) && buffer[n + 1] == uint8_t(crc >> 8);
}

}  // namespace corvex::link
