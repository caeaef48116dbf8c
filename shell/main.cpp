// corvex-display: the operator display of the grain dryer.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "link/virtual_peer.h"
#include "platform/gui/window.h"
#include "shell/link_start.h"
#include "shell/options.h"
#include "shell/startup.h"
#include "sim/in_process.h"

namespace {

// The in-process simulator is never destroyed: its serving thread is stopped at the end of
// the program, and a `sim` command may still look it up until then.
corvex::sim::InProcessSimulator* g_simulator = nullptr;

bool start_simulator(uint64_t seed, std::string* device, std::string* error) {
  auto* sim = new corvex::sim::InProcessSimulator;
  if (!corvex::sim::start_in_process(seed, sim, error)) {
    delete sim;
    return false;
  }
  if (sim->peer) corvex::link::set_virtual_peer(sim->peer.get());
  g_simulator = sim;
  *device = sim->slave_path;
  return true;
}

std::string simulator_command(std::string_view line) {
  return g_simulator ? g_simulator->simulator->command(line) : "error: no simulator\n";
}

void stop_simulator() {
  if (g_simulator) g_simulator->simulator->stop_serving();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const corvex::shell::ParseResult parsed = corvex::shell::parse_options(args);
  if (!parsed.options) {
    std::fprintf(stderr, "corvex-display: %s\n", parsed.error.c_str());
    return 2;
  }
  const corvex::shell::Options& o = *parsed.options;
  if (o.help) {
    std::fputs(corvex::shell::usage_text().c_str(), stdout);
    return 0;
  }
  if (o.version) {
    std::printf("corvex-display %s\n", corvex::shell::kSoftwareVersion);
    return 0;
  }
  if (!o.script.empty() && o.script != "-" && !std::ifstream(o.script).good()) {
    std::fprintf(stderr, "corvex-display: cannot read the file of --script: %s\n",
                 o.script.c_str());
    return 2;
  }
  corvex::shell::set_simulator_hooks({start_simulator, simulator_command, stop_simulator});
  const int code = corvex::shell::entry_routine(o);
  // The end, in order: first the threads that call into the window system (the exchange thread
  // with its decoder, then the simulator it keeps step with), then the backend. Only threads
  // that cannot be stopped remain, and the window system drops what they send.
  corvex::shell::stop_dryer_link();
  platform::gui::shut_down();
  return code;
}
