#include "shell/options.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace corvex::shell {
namespace {

std::string default_disk() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    return std::string(data) + "/corvex-display/disk";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.local/share/corvex-display/disk";
  return "corvex-display-disk";
}

bool parse_int(std::string_view text, long long min, long long max, long long* out) {
  if (text.empty()) return false;
  std::string s(text);
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || end == s.c_str() || *end != '\0' || v < min || v > max) return false;
  *out = v;
  return true;
}

// The number of the `count` digits at text[at], or -1 when any of them is no digit.
int digits_at(std::string_view text, size_t at, size_t count) {
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::optional<platform::LocalTime> parse_start_time(std::string_view text) {
  // Positions of the separators in "YYYY-MM-DD HH:MM:SS".
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
      text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  platform::LocalTime t;
  t.year = digits_at(text, 0, 4);
  t.month = digits_at(text, 5, 2);
  t.day = digits_at(text, 8, 2);
  t.hour = digits_at(text, 11, 2);
  t.minute = digits_at(text, 14, 2);
  t.second = digits_at(text, 17, 2);
  if (!platform::clock::valid_local_time(t)) return std::nullopt;
  return t;
}

ParseResult parse_options(const std::vector<std::string>& args) {
  Options o;
  o.disk = default_disk();
  auto fail = [](std::string message) { return ParseResult{std::nullopt, std::move(message)}; };

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // Options with a value take it from the next argument or after '='.
    std::string name = a;
    std::optional<std::string> inline_value;
    if (a.rfind("--", 0) == 0) {
      if (auto eq = a.find('='); eq != std::string::npos) {
        name = a.substr(0, eq);
        inline_value = a.substr(eq + 1);
      }
    }
    auto value = [&](std::string* out) -> bool {
      if (inline_value) {
        *out = *inline_value;
      } else {
        if (i + 1 >= args.size()) return false;
        *out = args[++i];
      }
      return true;
    };
    auto flag = [&](bool* out) -> bool {
      if (inline_value) return false;
      *out = true;
      return true;
    };

    std::string v;
    if (name == "--disk" || name == "--usb" || name == "--port" || name == "--script" ||
        name == "--snapshot") {
      if (!value(&v) || v.empty()) return fail("option " + name + " needs a value");
      if (name == "--disk") o.disk = v;
      else if (name == "--usb") o.usb = v;
      else if (name == "--port") o.port = v;
      else if (name == "--script") o.script = v;
      else o.snapshot = v;
    } else if (name == "--start-time") {
      if (!value(&v)) return fail("option --start-time needs a value");
      o.start_time = parse_start_time(v);
      if (!o.start_time) {
        return fail("bad value for --start-time: '" + v +
                    "' (a time that exists, as \"YYYY-MM-DD HH:MM:SS\")");
      }
    } else if (name == "--scale") {
      long long n = 0;
      if (!value(&v)) return fail("option --scale needs a value");
      if (!parse_int(v, 1, 8, &n)) return fail("bad value for --scale: '" + v + "' (1 to 8)");
      o.scale = int(n);
    } else if (name == "--seed") {
      long long n = 0;
      if (!value(&v)) return fail("option --seed needs a value");
      if (!parse_int(v, 0, (1LL << 62), &n)) return fail("bad value for --seed: '" + v + "'");
      o.seed = static_cast<unsigned long long>(n);
    } else if (name == "--simulate") {
      if (!flag(&o.simulate)) return fail("option --simulate takes no value");
    } else if (name == "--headless") {
      if (!flag(&o.headless)) return fail("option --headless takes no value");
    } else if (name == "--virtual-time") {
      if (!flag(&o.virtual_time)) return fail("option --virtual-time takes no value");
    } else if (name == "--fullscreen") {
      if (!flag(&o.fullscreen)) return fail("option --fullscreen takes no value");
    } else if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--version") {
      o.version = true;
    } else {
      return fail("unknown option '" + a + "' (see --help)");
    }
  }
  if (o.virtual_time && !(o.headless && o.simulate))
    return fail("option --virtual-time needs --headless and --simulate");
  if (o.start_time && !o.virtual_time) return fail("option --start-time needs --virtual-time");
  if (!o.snapshot.empty() && !o.headless) return fail("option --snapshot needs --headless");
  return {o, {}};
}

std::string usage_text() {
  return "usage: corvex-display [options]\n"
         "The operator display of the grain dryer: a 640 x 480 touch-panel program that talks\n"
         "to the dryer controller over a serial port.\n"
         "\n"
         "  --disk DIR        folder standing for the panel's disk (default\n"
         "                    $XDG_DATA_HOME/corvex-display/disk); seeded with the language\n"
         "                    data when it has no Languages folder\n"
         "  --usb DIR         folder standing for the USB flash drive (default: the first\n"
         "                    drive mounted under /media/$USER or /run/media/$USER)\n"
         "  --port DEV        serial device of the controller (default /dev/ttyS0)\n"
         "  --simulate        run the controller simulator in-process instead of a port\n"
         "  --seed N          seed of the in-process simulator (default 1)\n"
         "  --headless        no window; the screen exists only in memory\n"
         "  --snapshot FILE   with --headless: write the screen as PNG once a second\n"
         "  --virtual-time    with --headless --simulate: time moves only on 'wait'\n"
         "  --start-time \"YYYY-MM-DD HH:MM:SS\"\n"
         "                    with --virtual-time: the panel's local time at start\n"
         "                    (default: the host's local time now)\n"
         "  --script FILE     run automation commands from FILE ('-' = standard input)\n"
         "  --scale N         window size as a multiple of 640 x 480 (1 to 8)\n"
         "  --fullscreen      full screen (kiosk)\n"
         "  --help            this text\n"
         "  --version         the software version\n";
}

}  // namespace corvex::shell
