#pragma once
// CRC-16/MODBUS of the serial frames (reflected polynomial 0xA001, initial value 0xFFFF, no
// final XOR), computed with the two classic 256-entry lookup tables. The CRC goes out low byte
// first, as in Modbus RTU: "abc" gives 0x5749, sent as 49 57.
#include <cstddef>
#include <cstdint>

namespace corvex::link {

// The CRC over bytes 0..n-1 of the buffer, as a 16-bit value (low byte sent first).
uint16_t crc16(const uint8_t* buffer, size_t n);
// Stores the CRC over bytes 0..n-1 at buffer[n] (low) and buffer[n+1] (high).
void crc16_append(uint8_t* buffer, size_t n);
// True when buffer[n] (low) and buffer[n+1] (high) hold the CRC over bytes 0..n-1.
bool crc16_check(const uint8_t* buffer, size_t n);

}  // namespace corvex::link
