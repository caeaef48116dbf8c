#include "shell/link_start.h"

#include <cstdio>

#include "link/exchange.h"

namespace corvex::shell {
namespace {
SimulatorHooks g_hooks;
bool g_simulator_running = false;
}  // namespace

void set_simulator_hooks(const SimulatorHooks& hooks) { g_hooks = hooks; }

void start_dryer_link(const Options& o) {
  std::string device = o.port;
  std::string error;
  if (o.simulate) {
    if (!g_hooks.start) {
      std::fprintf(stderr, "corvex-display: this build has no simulator; running without a link\n");
      return;
    }
    if (!g_hooks.start(o.seed, &device, &error)) {
      std::fprintf(stderr, "corvex-display: cannot start the simulator: %s\n", error.c_str());
      return;
    }
    g_simulator_running = true;
  }
  if (!link::open_dryer_link(device, &error))
    std::fprintf(stderr, "corvex-display: cannot open the dryer port %s: %s\n", device.c_str(),
                 error.c_str());
}

void stop_dryer_link() {
  link::close_dryer_link();
  if (g_simulator_running && g_hooks.stop) g_hooks.stop();
  g_simulator_running = false;
}

bool simulator_command(std::string_view line, std::string* answer) {
  if (!g_simulator_running || !g_hooks.command) {
    *answer = "no simulator runs in this display (start it with --simulate)";
    return false;
  }
  *answer = g_hooks.command(line);
  return true;
}

}  // namespace corvex::shell
