#pragma once
// An arbitrary shutdown-history volume file (a mutated store volume) opened, read and written by
// the history code. Nothing may crash or hang; every read order gives the same records; after a
// record is added the history holds it; and what was there is never destroyed: a volume the
// store cannot use stays on disk byte for byte (moved aside, or left where it is), and the
// records of a volume it can use are all still there after the write.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "logging/shutdown_history.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"

namespace corvex::fuzzing {

inline bool same_record(const logging::HistoryRecord& a, const logging::HistoryRecord& b) {
  return a.shutdown_text == b.shutdown_text && a.node_name == b.node_name &&
         a.file_time == b.file_time;
}

// True when some file of the folder holds exactly these bytes.
inline bool bytes_kept(const std::string& folder, const uint8_t* data, size_t size) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (!e.is_regular_file(ec) || e.file_size(ec) != size) continue;
    const std::vector<uint8_t> bytes = read_file(e.path().string());
    if (bytes.size() == size && std::equal(bytes.begin(), bytes.end(), data)) return true;
  }
  return false;
}

inline const char* fuzz_shutdown_store_input(const uint8_t* data, size_t size) {
  using namespace corvex::logging;
  const std::string disk = scratch_dir("store");
  empty_dir(disk);
  platform::set_disk_root(disk);
  if (!platform::clock::is_virtual()) platform::clock::use_virtual(1'700'000'000'000);
  write_file(disk + "/ShutdownHistoryDB", data, size);

  std::vector<HistoryRecord> before;
  const bool before_ok = read_history(HistoryOrder::Time, before);
  for (HistoryOrder order : {HistoryOrder::Warning, HistoryOrder::Node}) {
    std::vector<HistoryRecord> other;
    if (read_history(order, other) && before_ok && other.size() != before.size()) {
      return "two read orders give different numbers of records";
    }
  }
  if (before_ok && history_record_count() != before.size()) {
    return "the count differs from the records read";
  }

  const int64_t when = 133'000'000'000'000'000;
  const bool added = add_history_record("FUZZ 0102 Plenum high limit", "MAIN I/O", when);
  std::vector<HistoryRecord> after;
  const bool after_ok = read_history(HistoryOrder::Time, after);
  if (added) {
    if (!after_ok) return "the history cannot be read after a record was added";
    const HistoryRecord mine{"FUZZ 0102 Plenum high limit", "MAIN I/O", when};
    if (std::none_of(after.begin(), after.end(),
                     [&](const HistoryRecord& r) { return same_record(r, mine); })) {
      return "an added record is not in the history";
    }
  }

  if (size == 0 || bytes_kept(disk, data, size)) return nullptr;
  if (!before_ok) return "a volume that could not be read was not kept";
  for (const HistoryRecord& r : before) {
    if (std::none_of(after.begin(), after.end(),
                     [&](const HistoryRecord& a) { return same_record(a, r); })) {
      return "a record was lost by a write";
    }
  }
  return nullptr;
}

}  // namespace corvex::fuzzing
