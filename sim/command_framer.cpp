#include "sim/command_framer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/crc.h"
#include "sim/status_bytes.h"

namespace corvex::sim {
namespace {

constexpr uint8_t kResyncFrame[4] = {0x06, 0x00, 0x02, 0x10};
constexpr size_t kPollLength = 7;

}  // namespace

size_t CommandFramer::push(const uint8_t* data, size_t n) {
  const size_t taken = std::min(n, kCapacity - size_);
  std::memcpy(buffer_.data() + size_, data, taken);
  size_ += taken;
  return taken;
}

void CommandFramer::clear_dropped() {
  dropped_ = 0;
  drop_reason_[0] = '\0';
}

void CommandFramer::drop(size_t n, const char* reason) {
  n = std::min(n, size_);
  if (dropped_ == 0) std::snprintf(drop_reason_, sizeof drop_reason_, "%s", reason);
  dropped_ += n;
  std::memmove(buffer_.data(), buffer_.data() + n, size_ - n);
  size_ -= n;
}

// True when a whole frame with a correct CRC starts at `start` and lies inside the buffer.
bool CommandFramer::complete_frame_at(size_t start) const {
  const uint8_t* p = buffer_.data() + start;
  const size_t have = size_ - start;
  if (p[0] == kResyncFrame[0]) {
    return have >= 4 && std::memcmp(p, kResyncFrame, 4) == 0;
  }
  const size_t length = p[0];
  if (length < kPollLength || length > kMaxCommandFrameLength || have < length) return false;
  return link::crc16_check(p, length - 2);
}

CommandFramer::Result CommandFramer::next(Frame* frame, bool line_idle) {
  char reason[160];
  while (size_ > 0) {
    const size_t lead = buffer_[0];
    const bool resync = lead == kResyncFrame[0];
    const size_t length = resync ? 4 : lead;
    if (resync && std::memcmp(buffer_.data(), kResyncFrame, std::min<size_t>(size_, 4)) != 0) {
      drop(1, "a length byte of 6 that does not begin the resync frame 06 00 02 10");
      continue;
    }
    if (!resync && (lead < kPollLength || lead > kMaxCommandFrameLength)) {
      std::snprintf(reason, sizeof reason, "an impossible length byte %zu (7..%zu)", lead,
                    kMaxCommandFrameLength);
      drop(1, reason);
      continue;
    }
    if (size_ < length) {
      // An incomplete frame waits for its bytes unless the line has gone quiet or a whole
      // frame already follows it, in which case it never was a frame.
      size_t later = 1;
      while (later < size_ && !complete_frame_at(later)) ++later;
      if (!line_idle && later == size_) return Result::NeedMore;
      std::snprintf(reason, sizeof reason, "an incomplete %zu-byte frame (%zu bytes came)",
                    length, size_);
      drop(line_idle ? 1 : later, reason);
      continue;
    }
    if (!link::crc16_check(buffer_.data(), length - 2)) {
      std::snprintf(reason, sizeof reason, "a %zu-byte frame with a bad CRC", length);
      drop(1, reason);
      continue;
    }
    std::memcpy(frame_bytes_.data(), buffer_.data(), length);
    frame->length = length;
    frame->record_count = 0;
    if (resync) {
      frame->kind = FrameKind::Resync;
    } else if (!parse_records(frame_bytes_.data(), length, frame)) {
      // The CRC holds, so the frame's end is known: it goes as a whole.
      drop(length, frame_error_);
      continue;
    }
    std::memmove(buffer_.data(), buffer_.data() + length, size_ - length);
    size_ -= length;
    return Result::Frame;
  }
  return Result::NeedMore;
}

// Checks the record structure of a frame whose CRC holds and fills frame's records; false (with
// the reason in frame_error_) when the records do not fill the frame exactly or name something
// that cannot exist.
bool CommandFramer::parse_records(const uint8_t* bytes, size_t length, Frame* frame) {
  const size_t count = bytes[1];
  const size_t end = length - 2;
  if (length == kPollLength) {
    frame->kind = FrameKind::Poll;
    if (count == 0) return true;
    std::snprintf(frame_error_, sizeof frame_error_, "a 7-byte frame announcing %zu records",
                  count);
    return false;
  }
  frame->kind = FrameKind::Command;
  if (count == 0 || count > kMaxRecords) {
    std::snprintf(frame_error_, sizeof frame_error_, "a %zu-byte frame announcing %zu records",
                  length, count);
    return false;
  }
  size_t p = 2;
  for (size_t r = 0; r < count; ++r) {
    ParameterRecord record;
    if (p + 3 <= end) {
      record.node = bytes[p];
      record.id = bytes[p + 1];
      record.count = bytes[p + 2];
      record.values = bytes + p + 3;
    }
    const char* fault = nullptr;
    if (p + 3 > end || p + 3 + record.count > end) {
      fault = "runs past the end of the frame";
    } else if (record.node > 1) {
      fault = "names a node other than 0 or 1";
    } else if (record.id == 0 || record.id == 255) {
      fault = "has a parameter id outside 1..254";
    } else if (record.count == 0 || record.count > 5) {
      fault = "has a value length outside 1..5";
    } else if (record.address() + record.count > link::kStatusBytes) {
      fault = "writes past status byte 328";
    }
    if (fault) {
      std::snprintf(frame_error_, sizeof frame_error_,
                    "a %zu-byte frame whose record %zu of %zu (at byte %zu) %s", length, r + 1,
                    count, p, fault);
      return false;
    }
    frame->records[r] = record;
    p += 3 + record.count;
  }
  if (p != end) {
    std::snprintf(frame_error_, sizeof frame_error_,
                  "a %zu-byte frame with %zu stray bytes after its %zu records", length, end - p,
                  count);
    return false;
  }
  frame->record_count = count;
  return true;
}

}  // namespace corvex::sim
