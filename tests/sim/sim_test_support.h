#pragma once
// Frames as the display sends them, written out byte by byte for the simulator's tests.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "link/crc.h"
#include "sim/status_bytes.h"

namespace corvex::sim::testing {

inline const std::vector<uint8_t> kPoll = {0x07, 0x00, 0x00, 0x00, 0x00, 0x91, 0xC0};
inline const std::vector<uint8_t> kResync = {0x06, 0x00, 0x02, 0x10};

struct Rec {
  uint8_t node;
  uint8_t id;
  std::vector<uint8_t> values;
};

// A command frame: length, record count, the records, the CRC.
inline std::vector<uint8_t> command_frame(std::initializer_list<Rec> records) {
  std::vector<uint8_t> f = {0, uint8_t(records.size())};
  for (const Rec& r : records) {
    f.push_back(r.node);
    f.push_back(r.id);
    f.push_back(uint8_t(r.values.size()));
    f.insert(f.end(), r.values.begin(), r.values.end());
  }
  f[0] = uint8_t(f.size() + 2);
  f.resize(f.size() + 2);
  link::crc16_append(f.data(), f.size() - 2);
  return f;
}

// Any frame's bytes with its CRC appended.
inline std::vector<uint8_t> with_crc(std::vector<uint8_t> body) {
  body.resize(body.size() + 2);
  link::crc16_append(body.data(), body.size() - 2);
  return body;
}

inline std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// True when `answer` is exactly one status frame with a correct CRC.
inline bool is_status_frame(const std::vector<uint8_t>& answer) {
  return answer.size() == link::kStatusFrameBytes && link::crc16_check(answer.data(), link::kStatusBytes);
}

inline StatusBytes status_of(const std::vector<uint8_t>& answer) {
  StatusBytes s{};
  for (size_t k = 0; k < link::kStatusBytes && k < answer.size(); ++k) s[k] = answer[k];
  return s;
}

}  // namespace corvex::sim::testing
