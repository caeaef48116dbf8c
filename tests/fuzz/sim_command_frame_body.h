#pragma once
// Arbitrary bytes into the simulator's framer and record handling. The first byte chooses how
// the rest is used: as raw line bytes, or as the body of a frame whose length byte and CRC are
// made right so that the record checks and the controller's handling of each record are
// reached. Nothing may crash, and every answer must be a whole status frame.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/crc.h"
#include "platform/io/clock.h"
#include "sim/simulator.h"

namespace corvex::fuzzing {

inline corvex::sim::Simulator& fuzz_simulator() {
  static corvex::sim::Simulator* sim = [] {
    platform::clock::use_virtual(1'700'000'000'000);
    auto* s = new corvex::sim::Simulator(1);
    s->set_log_sink([](std::string_view) {});
    return s;
  }();
  return *sim;
}

inline const char* fuzz_sim_command_frame_input(const uint8_t* data, size_t size) {
  if (size == 0) return nullptr;
  corvex::sim::Simulator& sim = fuzz_simulator();
  if (!platform::clock::is_virtual()) platform::clock::use_virtual(1'700'000'000'000);
  std::vector<uint8_t> line;
  if (data[0] & 1) {
    // A frame with a good CRC: length byte fixed up, records as the fuzzer wrote them.
    const size_t body = std::min<size_t>(size - 1, 108);
    line.assign(data + 1, data + 1 + body);
    if (line.size() < 5) line.resize(5, 0);
    line[0] = uint8_t(line.size() + 2);
    line.resize(line.size() + 2);
    corvex::link::crc16_append(line.data(), line.size() - 2);
  } else {
    line.assign(data + 1, data + size);
  }
  // Let some model time pass, sometimes with the dryer running, so that records land in a
  // moving dryer.
  if ((data[0] & 0x06) == 0x06) sim.command("run");
  platform::clock::advance_ms(data[0] >> 1);
  const std::vector<uint8_t> answer = sim.exchange(line.data(), line.size());
  if (answer.size() % corvex::link::kStatusFrameBytes != 0) {
    return "an answer is not made of whole status frames";
  }
  return nullptr;
}

}  // namespace corvex::fuzzing
