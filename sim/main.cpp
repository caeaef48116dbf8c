// corvex-sim: the dryer controller simulator as a program of its own, serving a serial device
// (a cable to a panel, or one end of a pseudo-terminal) and taking simulator commands on
// standard input.
#include <pthread.h>
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include "sim/simulator.h"

namespace {

constexpr const char* kVersion = "2.12";

constexpr const char* kUsage =
    "usage: corvex-sim --port DEV [--seed N]\n"
    "       corvex-sim --help | --version\n"
    "\n"
    "Simulates the dryer controller on the serial device DEV: answers every frame of the\n"
    "display with a status frame and runs a model of a working dryer (stopped at first).\n"
    "\n"
    "  --port DEV   the serial device or pseudo-terminal to serve\n"
    "  --seed N     seed of the process model (default 1); the same seed gives the same dryer\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Commands are read from standard input, one per line, and answered on standard output\n"
    "with \"ok\" or \"error: REASON\" (type help for the list). The simulator goes on serving\n"
    "after the end of its input, until it gets SIGINT (Ctrl-C) or SIGTERM.\n";

struct Options {
  std::string port;
  uint64_t seed = 1;
  bool help = false;
  bool version = false;
};

bool parse_seed(std::string_view text, uint64_t* seed) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *seed, base);
  return ec == std::errc() && end == text.data() + text.size();
}

// Reads the command line; returns an empty text, or the one-line message naming what is wrong.
std::string parse_options(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    const size_t eq = arg.find('=');
    const bool inline_value = arg.substr(0, 2) == "--" && eq != std::string_view::npos;
    if (inline_value) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    }
    const bool takes_value = arg == "--port" || arg == "--seed";
    if (takes_value && !inline_value) {
      if (i + 1 >= argc) return "option " + std::string(arg) + " needs a value";
      value = argv[++i];
    } else if (!takes_value && inline_value) {
      return "option " + std::string(arg) + " takes no value";
    }
    if (arg == "--port") {
      if (value.empty()) return "option --port needs a device";
      options->port = value;
    } else if (arg == "--seed") {
      if (!parse_seed(value, &options->seed))
        return "bad value for --seed: '" + std::string(value) + "'";
    } else if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--version") {
      options->version = true;
    } else {
      return "unknown option '" + std::string(arg) + "' (--help shows the usage)";
    }
  }
  if (!options->help && !options->version && options->port.empty())
    return "--port DEV is required (--help shows the usage)";
  return {};
}

void read_commands(corvex::sim::Simulator* simulator) {
  std::string line;
  while (std::getline(std::cin, line)) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    const std::string answer = simulator->command(line);
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::string problem = parse_options(argc, argv, &options);
  if (!problem.empty()) {
    std::fprintf(stderr, "corvex-sim: %s\n", problem.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("corvex-sim %s\n", kVersion);
    return 0;
  }

  // The signals that end the program are taken by sigwait below, never by a thread.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  corvex::sim::Simulator simulator(options.seed);
  std::string error;
  if (!simulator.serve(options.port, &error)) {
    std::fprintf(stderr, "corvex-sim: cannot serve %s: %s\n", options.port.c_str(),
                 error.c_str());
    return 1;
  }
  std::fprintf(stderr, "corvex-sim: serving %s (seed %llu); stop with Ctrl-C\n",
               options.port.c_str(), static_cast<unsigned long long>(options.seed));

  std::thread(read_commands, &simulator).detach();
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  simulator.stop_serving();
  std::fprintf(stderr, "corvex-sim: stopped by %s\n", signal_number == SIGINT ? "SIGINT" : "SIGTERM");
  // The command reader may still be waiting for input; ending the process ends it.
  std::fflush(stdout);
  std::_Exit(0);
}
