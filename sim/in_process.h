#pragma once
// The simulator inside the display (corvex-display --simulate): a pseudo-terminal pair whose
// master end the simulator serves, so that the display opens the slave end with its real serial
// code and nothing of the link is bypassed.
#include <cstdint>
#include <memory>
#include <string>

#include "link/virtual_peer.h"
#include "sim/simulator.h"

namespace corvex::sim {

struct InProcessSimulator {
  // Declared first so that it outlives the simulator that reports to it. Present only in
  // virtual time; the display installs it with link::set_virtual_peer before its first cycle.
  std::unique_ptr<link::VirtualPeer> peer;
  std::unique_ptr<Simulator> simulator;
  // The slave device for the display to open as its port (SerialPort::open).
  std::string slave_path;
};

// Opens a pseudo-terminal pair and starts a simulator with the seed serving its master end.
// False, with the reason in *error, when the pair cannot be opened or served.
bool start_in_process(uint64_t seed, InProcessSimulator* out, std::string* error = nullptr);

}  // namespace corvex::sim
