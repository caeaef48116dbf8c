#include "sim/in_process.h"

#include "platform/io/clock.h"
#include "platform/io/serial_port.h"

namespace corvex::sim {

bool start_in_process(uint64_t seed, InProcessSimulator* out, std::string* error) {
  platform::PtyPair pair;
  if (!platform::open_pty_pair(&pair, error)) return false;
  auto simulator = std::make_unique<Simulator>(seed);
  std::unique_ptr<link::VirtualPeer> peer;
  if (platform::clock::is_virtual()) {
    peer = std::make_unique<link::VirtualPeer>();
    simulator->set_virtual_peer(peer.get());
  }
  // The simulator owns the master descriptor from here on, also when serving fails.
  if (!simulator->serve(pair.master_fd, error)) return false;
  out->peer = std::move(peer);
  out->simulator = std::move(simulator);
  out->slave_path = pair.slave_path;
  return true;
}

}  // namespace corvex::sim
