#pragma once
// The display's command line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io/clock.h"

namespace corvex::shell {

struct Options {
  std::string disk;          // folder standing for "\Hard Disk"
  std::string usb;           // folder standing for "\Hard Disk2"; empty: look for a mounted drive
  std::string port = "/dev/ttyS0";  // serial device standing for "COM1:"
  bool simulate = false;     // run the controller simulator in-process
  bool headless = false;
  bool virtual_time = false;
  std::optional<platform::LocalTime> start_time;  // with virtual_time: panel local time at start
  std::string script;        // automation commands; "-" is standard input
  int scale = 1;
  bool fullscreen = false;
  std::string snapshot;      // headless: write the screen here as PNG once a second
  unsigned long long seed = 1;  // seed of the in-process simulator
  bool help = false;
  bool version = false;
};

struct ParseResult {
  std::optional<Options> options;
  std::string error;  // one line naming the bad option or value when options is empty
};

// Parses argv; on a bad option or value the result carries the message and no options.
ParseResult parse_options(const std::vector<std::string>& args);

// Reads "YYYY-MM-DD HH:MM:SS" into a time that exists; nothing for any other text.
std::optional<platform::LocalTime> parse_start_time(std::string_view text);

// The usage text printed by --help.
std::string usage_text();

// The software version the system information window also shows.
inline constexpr const char* kSoftwareVersion = "2.12";

}  // namespace corvex::shell
