#pragma once
// What the simulated controller reports about the display I/O board and the air switches: the
// output-activated bits of the light outputs (status bytes 239 and 240) follow the fans,
// burners, load, unload and the run; bit 3 of fan/heater #1's state (status byte 148) is set
// while its fan runs, the condition under which the display turns air-switch testing back on.
// The short-circuit bits (177, 178) and the switch inputs (179..183) stay as set from outside
// (the `set` command), since the model has no wiring faults or switches of its own.
#include <cstdint>

namespace corvex::sim {

struct BoardOutputs {
  bool fan[6] = {};  // fan/heater 1..6
  bool burner[6] = {};
  bool load = false;
  bool unload = false;
  bool start = false;  // the dryer runs
};

struct ActivatedBits {
  uint8_t
      j1;  // status byte 239: SPARE, BURNER 6, FAN 6, BURNER 5, FAN 5, BURNER 4, FAN 4, BURNER 3
  uint8_t j2;  // status byte 240: START, UNLOAD, LOAD, FAN 1, BURNER 1, FAN 2, BURNER 2, FAN 3
};

// The two output-activated bytes for the outputs that are on (bits 0..7 in the order above).
ActivatedBits activated_bits(const BoardOutputs& outputs);

}  // namespace corvex::sim
