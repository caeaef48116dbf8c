#pragma once
// The panel's memory figures, from /proc/meminfo.
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

struct MemoryStatus {
  uint64_t total_bytes = 0;      // physical memory
  uint64_t available_bytes = 0;  // what programs can still get without swapping
  uint32_t load_percent = 0;     // share of physical memory in use, 0..100
};

// Returns the memory figures of the machine now, or nothing when /proc/meminfo is unreadable.
std::optional<MemoryStatus> memory_status();
// Returns the figures of a text in the form of /proc/meminfo ("MemTotal:  16318412 kB" lines):
// MemAvailable, or MemFree + Buffers + Cached where the kernel gives no MemAvailable, capped at
// the total. Lines it does not understand are skipped; nothing when MemTotal is missing or 0.
std::optional<MemoryStatus> parse_meminfo(std::string_view text);

}  // namespace platform
