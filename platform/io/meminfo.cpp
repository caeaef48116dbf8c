#include "platform/io/meminfo.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace platform {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// "16318412 kB" in bytes; nothing for a number that is missing, malformed or too large.
std::optional<uint64_t> parse_amount(std::string_view text) {
  text = trim(text);
  uint64_t value = 0;
  size_t i = 0;
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    uint64_t digit = uint64_t(text[i] - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (i == 0) return std::nullopt;
  std::string_view unit = trim(text.substr(i));
  if (unit.empty()) return value;
  if (unit != "kB") return std::nullopt;
  if (value > kMax / 1024) return std::nullopt;
  return value * 1024;
}

}  // namespace

std::optional<MemoryStatus> parse_meminfo(std::string_view text) {
  std::optional<uint64_t> total, available, free, buffers, cached;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view key = trim(line.substr(0, colon));
    std::optional<uint64_t> amount = parse_amount(line.substr(colon + 1));
    if (!amount) continue;
    if (key == "MemTotal") total = amount;
    else if (key == "MemAvailable") available = amount;
    else if (key == "MemFree") free = amount;
    else if (key == "Buffers") buffers = amount;
    else if (key == "Cached") cached = amount;
  }
  if (!total || *total == 0) return std::nullopt;
  MemoryStatus status;
  status.total_bytes = *total;
  if (available) {
    status.available_bytes = *available;
  } else {
    // Each part is at most the total, so the sum cannot overflow.
    auto part = [&](const std::optional<uint64_t>& v) { return v ? std::min(*v, *total) : 0; };
    status.available_bytes = part(free) + part(buffers) + part(cached);
  }
  if (status.available_bytes > status.total_bytes) status.available_bytes = status.total_bytes;
  uint64_t used = status.total_bytes - status.available_bytes;
  status.load_percent = uint32_t(static_cast<long double>(used) * 100 / status.total_bytes);
  return status;
}

std::optional<MemoryStatus> memory_status() {
  std::ifstream in("/proc/meminfo");
  if (!in) return std::nullopt;
  std::stringstream text;
  text << in.rdbuf();
  return parse_meminfo(text.str());
}

}  // namespace platform
