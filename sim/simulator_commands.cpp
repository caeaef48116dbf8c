// The simulator's commands, one per line, as corvex-sim reads them on standard input and the
// display's `sim` automation command passes them on.
#include <charconv>
#include <cstdio>

#include "platform/io/clock.h"
#include "sim/simulator.h"

namespace corvex::sim {
namespace {

constexpr int64_t kMaxSilenceMs = 7ll * 24 * 3600 * 1000;
constexpr int64_t kMaxFrameCount = 1000000000;
constexpr size_t kPairsPerLine = 12;

std::vector<std::string_view> split_words(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

// Reads a decimal or 0x hexadecimal number within lo..hi; false for anything else.
bool parse_number(std::string_view text, int64_t lo, int64_t hi, int64_t* out) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  if (value < lo || value > hi) return false;
  *out = value;
  return true;
}

std::string quoted(std::string_view word) { return "'" + std::string(word) + "'"; }

std::string bad_offset(std::string_view word) {
  return "error: bad offset " + quoted(word) + ": give 0..328, decimal or 0x hex\n";
}

std::string bad_count(std::string_view word, int64_t lo, int64_t hi) {
  return "error: bad number " + quoted(word) + ": give " + std::to_string(lo) + ".." +
         std::to_string(hi) + "\n";
}

void append_pair(std::string* text, size_t* on_line, size_t at, uint8_t value) {
  char pair[32];
  std::snprintf(pair, sizeof pair, "%zu=%02x", at, value);
  if (*on_line > 0) *text += ' ';
  *text += pair;
  if (++*on_line == kPairsPerLine) {
    *text += '\n';
    *on_line = 0;
  }
}

}  // namespace

const Simulator::CommandEntry Simulator::kCommands[] = {
    {"set", &Simulator::cmd_set, "set OFFSET VALUE...: set status bytes from OFFSET on"},
    {"warning", &Simulator::cmd_warning,
     "warning NUMBER NODE: report warning NUMBER of node NODE, a shutdown (warning 0 0 clears)"},
    {"silence", &Simulator::cmd_silence, "silence MS: answer nothing for MS milliseconds"},
    {"corrupt", &Simulator::cmd_corrupt,
     "corrupt N: send the next N status frames with a wrong CRC"},
    {"short", &Simulator::cmd_short, "short N: send the next N status frames cut short"},
    {"every", &Simulator::cmd_every, "every K: answer only every K-th frame (every 1: all)"},
    {"refuse", &Simulator::cmd_refuse,
     "refuse OFFSET: never take writes that touch status byte OFFSET"},
    {"accept", &Simulator::cmd_accept,
     "accept OFFSET|all: take writes of OFFSET (or of every byte) again"},
    {"run", &Simulator::cmd_run, "run: start the drying process"},
    {"stop", &Simulator::cmd_stop, "stop: stop the drying process"},
    {"state", &Simulator::cmd_state,
     "state [OFFSET [COUNT]]: the nonzero status bytes (or COUNT bytes from OFFSET) as "
     "offset=hex"},
    {"help", &Simulator::cmd_help, "help: this list; numbers are decimal or 0x hex"},
};

std::string Simulator::command(std::string_view line) {
  const std::vector<std::string_view> words = split_words(line);
  if (words.empty()) return "error: no command\n";
  for (const CommandEntry& entry : kCommands) {
    if (words[0] == entry.name) return (this->*entry.run)(words);
  }
  return "error: unknown command " + quoted(words[0]) + " (help lists the commands)\n";
}

std::string Simulator::cmd_set(const std::vector<std::string_view>& args) {
  if (args.size() < 3) return "error: usage: set OFFSET VALUE...\n";
  int64_t at = 0;
  if (!parse_number(args[1], 0, link::kStatusBytes - 1, &at)) return bad_offset(args[1]);
  const size_t count = args.size() - 2;
  if (size_t(at) + count > link::kStatusBytes) {
    return "error: " + std::to_string(count) + " values from offset " + std::to_string(at) +
           " go past status byte 328\n";
  }
  StatusBytes values{};
  for (size_t i = 0; i < count; ++i) {
    int64_t v = 0;
    if (!parse_number(args[2 + i], 0, 255, &v)) {
      return "error: bad value " + quoted(args[2 + i]) + ": give 0..255, decimal or 0x hex\n";
    }
    values[i] = uint8_t(v);
  }
  std::lock_guard lock(mutex_);
  advance_to_now();
  model_.set_bytes(size_t(at), values.data(), count);
  return "ok\n";
}

std::string Simulator::cmd_warning(const std::vector<std::string_view>& args) {
  if (args.size() != 3) return "error: usage: warning NUMBER NODE\n";
  int64_t number = 0;
  int64_t node = 0;
  if (!parse_number(args[1], 0, 255, &number)) return bad_count(args[1], 0, 255);
  if (!parse_number(args[2], 0, 255, &node)) return bad_count(args[2], 0, 255);
  std::lock_guard lock(mutex_);
  advance_to_now();
  model_.report_warning(uint8_t(number), uint8_t(node));
  return "ok\n";
}

std::string Simulator::cmd_silence(const std::vector<std::string_view>& args) {
  if (args.size() != 2) return "error: usage: silence MS\n";
  int64_t ms = 0;
  if (!parse_number(args[1], 0, kMaxSilenceMs, &ms)) return bad_count(args[1], 0, kMaxSilenceMs);
  std::lock_guard lock(mutex_);
  advance_to_now();
  silence_until_ms_ = last_now_ms_ + ms;
  silenced_ = ms > 0;
  return "ok\n";
}

std::string Simulator::cmd_corrupt(const std::vector<std::string_view>& args) {
  int64_t n = 0;
  if (args.size() != 2) return "error: usage: corrupt N\n";
  if (!parse_number(args[1], 0, kMaxFrameCount, &n)) return bad_count(args[1], 0, kMaxFrameCount);
  std::lock_guard lock(mutex_);
  corrupt_left_ = uint32_t(n);
  return "ok\n";
}

std::string Simulator::cmd_short(const std::vector<std::string_view>& args) {
  int64_t n = 0;
  if (args.size() != 2) return "error: usage: short N\n";
  if (!parse_number(args[1], 0, kMaxFrameCount, &n)) return bad_count(args[1], 0, kMaxFrameCount);
  std::lock_guard lock(mutex_);
  short_left_ = uint32_t(n);
  return "ok\n";
}

std::string Simulator::cmd_every(const std::vector<std::string_view>& args) {
  int64_t k = 0;
  if (args.size() != 2) return "error: usage: every K\n";
  if (!parse_number(args[1], 1, kMaxFrameCount, &k)) return bad_count(args[1], 1, kMaxFrameCount);
  std::lock_guard lock(mutex_);
  every_ = uint32_t(k);
  every_count_ = 0;
  return "ok\n";
}

std::string Simulator::cmd_refuse(const std::vector<std::string_view>& args) {
  int64_t at = 0;
  if (args.size() != 2) return "error: usage: refuse OFFSET\n";
  if (!parse_number(args[1], 0, link::kStatusBytes - 1, &at)) return bad_offset(args[1]);
  std::lock_guard lock(mutex_);
  refused_.set(size_t(at));
  return "ok\n";
}

std::string Simulator::cmd_accept(const std::vector<std::string_view>& args) {
  if (args.size() != 2) return "error: usage: accept OFFSET|all\n";
  if (args[1] == "all") {
    std::lock_guard lock(mutex_);
    refused_.reset();
    return "ok\n";
  }
  int64_t at = 0;
  if (!parse_number(args[1], 0, link::kStatusBytes - 1, &at)) return bad_offset(args[1]);
  std::lock_guard lock(mutex_);
  refused_.reset(size_t(at));
  return "ok\n";
}

std::string Simulator::cmd_run(const std::vector<std::string_view>& args) {
  if (args.size() != 1) return "error: usage: run\n";
  std::lock_guard lock(mutex_);
  advance_to_now();
  if (const char* reason = model_.run()) return std::string("error: cannot run: ") + reason + "\n";
  return "ok\n";
}

std::string Simulator::cmd_stop(const std::vector<std::string_view>& args) {
  if (args.size() != 1) return "error: usage: stop\n";
  std::lock_guard lock(mutex_);
  advance_to_now();
  model_.stop();
  return "ok\n";
}

std::string Simulator::cmd_state(const std::vector<std::string_view>& args) {
  if (args.size() > 3) return "error: usage: state [OFFSET [COUNT]]\n";
  int64_t at = 0;
  int64_t count = 0;
  const bool range = args.size() >= 2;
  if (range && !parse_number(args[1], 0, link::kStatusBytes - 1, &at)) return bad_offset(args[1]);
  if (range) count = 1;
  if (args.size() == 3 && !parse_number(args[2], 1, int64_t(link::kStatusBytes) - at, &count))
    return bad_count(args[2], 1, int64_t(link::kStatusBytes) - at);
  StatusBytes bytes;
  {
    std::lock_guard lock(mutex_);
    advance_to_now();
    bytes = model_.bytes();
  }
  std::string text;
  size_t on_line = 0;
  const size_t first = range ? size_t(at) : 0;
  const size_t end = range ? size_t(at + count) : link::kStatusBytes;
  for (size_t k = first; k < end; ++k) {
    if (range || bytes[k] != 0) append_pair(&text, &on_line, k, bytes[k]);
  }
  if (on_line > 0) text += '\n';
  return text + "ok\n";
}

std::string Simulator::cmd_help(const std::vector<std::string_view>&) {
  std::string text;
  for (const CommandEntry& entry : kCommands) text += std::string(entry.usage) + "\n";
  return text + "ok\n";
}

}  // namespace corvex::sim
