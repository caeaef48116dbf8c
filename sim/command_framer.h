#pragma once
// Cuts the byte stream that arrives from the display into frames. The display sends three kinds:
// the 7-byte poll 07 00 00 00 00 91 C0, the 4-byte resync 06 00 02 10 and command frames whose
// first byte is their length (CRC included) and whose second byte counts the parameter records
// that follow. A frame is taken only when its CRC holds and its records fill it exactly; anything
// else is garbage, thrown away one byte at a time so that a good frame behind it is still found.
#include <array>
#include <cstddef>
#include <cstdint>

namespace corvex::sim {

enum class FrameKind : uint8_t { Poll, Resync, Command };

// One parameter record: node 0 id k names status byte k, node 1 id k status byte 256 + k.
struct ParameterRecord {
  uint8_t node = 0;
  uint8_t id = 0;
  uint8_t count = 0;  // 1..5 value bytes
  const uint8_t* values = nullptr;

  size_t address() const { return node == 0 ? id : 256u + id; }
};

// The longest command frame the display can build: records go in while the write position is
// below 100 (the last one may end at 107), and two exempt records may follow (up to 110), plus
// the two CRC bytes.
inline constexpr size_t kMaxCommandFrameLength = 112;
inline constexpr size_t kMaxRecords = (kMaxCommandFrameLength - 4) / 4;

struct Frame {
  FrameKind kind = FrameKind::Poll;
  size_t length = 0;
  size_t record_count = 0;
  std::array<ParameterRecord, kMaxRecords> records{};
};

class CommandFramer {
 public:
  static constexpr size_t kCapacity = 1024;

  // Appends up to n bytes; returns how many were taken (the rest must be offered again after
  // next() has made room).
  size_t push(const uint8_t* data, size_t n);

  enum class Result { NeedMore, Frame };
  // Takes the next frame off the front of the buffer into *frame (its records point into
  // `frame_bytes`, valid until the next call). Garbage in front of it is dropped and counted in
  // dropped(). `line_idle` says no byte has arrived for a while: a frame that is still incomplete
  // then will never be completed, and its first byte is dropped as garbage.
  Result next(Frame* frame, bool line_idle);

  // Bytes dropped as garbage since the last clear_dropped(), and why the first of them was.
  size_t dropped() const { return dropped_; }
  const char* drop_reason() const { return drop_reason_; }
  void clear_dropped();

  size_t buffered() const { return size_; }
  const uint8_t* frame_bytes() const { return frame_bytes_.data(); }

 private:
  bool complete_frame_at(size_t start) const;
  void drop(size_t n, const char* reason);
  bool parse_records(const uint8_t* bytes, size_t length, Frame* frame);

  std::array<uint8_t, kCapacity> buffer_{};
  size_t size_ = 0;
  std::array<uint8_t, kMaxCommandFrameLength> frame_bytes_{};
  size_t dropped_ = 0;
  char drop_reason_[160] = {};
  char frame_error_[160] = {};
};

}  // namespace corvex::sim
