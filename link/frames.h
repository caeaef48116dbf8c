#pragma once
// The four frames of the serial link. The controller sends a StatusFrame of 331 bytes once per
// exchange cycle; the display answers with a CommandFrame of parameter records, a PollFrame
// (nothing to write) or a ResyncFrame (once after the link was found lost). Every frame ends
// with the CRC-16/MODBUS of what precedes it, low byte first.
#include <array>
#include <cstddef>
#include <cstdint>

#include "link/crc.h"
#include "link/dryer_state.h"

namespace corvex::link {

// StatusFrame: status bytes 0..328, then the CRC over them (low, high).
struct StatusFrame {
  static constexpr size_t kSize = kStatusFrameBytes;  // 331
  static constexpr size_t kDataBytes = kStatusBytes;  // 329
  static constexpr size_t kCrcLow = kStatusBytes;
  static constexpr size_t kCrcHigh = kStatusBytes + 1;
};

// CommandFrame: length (CRC included), record count, the records, the CRC.
struct CommandFrame {
  static constexpr size_t kLengthByte = 0;
  static constexpr size_t kCountByte = 1;
  static constexpr size_t kFirstRecord = 2;
  // Records are appended while the write position is below this (three records are exempt).
  static constexpr size_t kPositionLimit = 100;
};

// ParameterRecord: node (0 or 1), parameter id, n, then n value bytes in increasing status
// offset. Node 0 id k is status byte k, node 1 id k is status byte 256 + k.
struct ParameterRecord {
  static constexpr size_t kNode = 0;
  static constexpr size_t kId = 1;
  static constexpr size_t kLength = 2;
  static constexpr size_t kValue = 3;
  static constexpr size_t kHeaderBytes = 3;
  static constexpr uint16_t status_offset(uint8_t node, uint8_t id) {
    return uint16_t(node * 256 + id);
  }
};

// A CommandFrame of length 7 with no records and three zero filler bytes.
inline constexpr std::array<uint8_t, 7> kPollFrame = {0x07, 0x00, 0x00, 0x00, 0x00, 0x91, 0xC0};
// Its first byte, 6, can never be the length of a CommandFrame (one record makes 8 bytes).
inline constexpr std::array<uint8_t, 4> kResyncFrame = {0x06, 0x00, 0x02, 0x10};

// True when one read returned exactly a whole StatusFrame and its CRC holds. A frame that
// fails is ignored as a whole: nothing of it is decoded and the watchdog is not reloaded.
inline bool accept_status_frame(const uint8_t* frame, size_t bytes_read) {
  return bytes_read == StatusFrame::kSize && crc16_check(frame, StatusFrame::kDataBytes);
}

}  // namespace corvex::link
