#pragma once
// The controller's side of the status frame: the status bytes it reports and small readers over
// its own copy of them. The names of the offsets and the frame size are the link's
// (link/status_bytes.h), shared with the display.
#include <array>
#include <cstddef>
#include <cstdint>

#include "link/status_bytes.h"

namespace corvex::sim {

using StatusBytes = std::array<uint8_t, link::kStatusBytes>;

inline int read_lo_hi(const StatusBytes& s, size_t offset) {
  return s[offset] | (s[offset + 1] << 8);
}
inline int read_hi_lo(const StatusBytes& s, size_t offset) {
  return (s[offset] << 8) | s[offset + 1];
}
// A timer: minutes byte, then seconds byte; returns seconds.
inline int read_timer(const StatusBytes& s, size_t offset) {
  return s[offset] * 60 + s[offset + 1];
}

// Fills `frame` (link::kStatusFrameBytes bytes) with the status bytes and their CRC.
void build_status_frame(const StatusBytes& bytes, uint8_t* frame);

}  // namespace corvex::sim
