#pragma once
// Starting the dryer link: the configured serial port, or the in-process simulator.
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/options.h"

namespace corvex::shell {

// The in-process simulator, supplied by the program's main (the simulator library sits above
// the display's subsystems). start returns the serial device to open, or false with a reason;
// stop ends its serving thread.
struct SimulatorHooks {
  bool (*start)(uint64_t seed, std::string* device, std::string* error) = nullptr;
  std::string (*command)(std::string_view line) = nullptr;
  void (*stop)() = nullptr;
};
void set_simulator_hooks(const SimulatorHooks& hooks);

// Opens the link the options ask for. A port that cannot be opened is said once on standard
// error and the display runs on without a link (the lost-link warning follows after 10 s).
void start_dryer_link(const Options& options);
// At the end of the program: stops the exchange thread, then the in-process simulator it
// talks to, so that neither runs on while the process is torn down.
void stop_dryer_link();

// Runs a simulator command for the `sim` automation command; false with the reason when the
// display runs without the in-process simulator.
bool simulator_command(std::string_view line, std::string* answer);

}  // namespace corvex::shell
