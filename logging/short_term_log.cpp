// The short-term data log: appends with rotation, reading the newest records, clearing.
#include "logging/short_term_log.h"

#include <algorithm>
#include <atomic>

#include "platform/io/paths.h"

namespace corvex::logging {

namespace {
// Counts the appends and clears: while it stands still, the log holds what it held.
std::atomic<uint64_t> g_changes{0};
}  // namespace

uint64_t short_term_log_generation() { return g_changes.load(std::memory_order_relaxed); }

SampleLogPlace short_term_log_place() {
  std::string folder = platform::disk_rooted(kShortTermLogFolder);
  return {std::move(folder), kShortTermLogStem, kShortTermFileCapacity};
}

SampleFileTable scan_short_term_files() { return scan_sample_files(short_term_log_place()); }

bool append_short_term_record(const DryerSampleRecord& record) {
  g_changes.fetch_add(1, std::memory_order_relaxed);
  const SampleLogPlace place = short_term_log_place();
  const SampleFileTable table = scan_sample_files(place);
  std::string name;
  if (const SampleFile* newest = table.newest(); newest && newest->size < place.capacity) {
    name = newest->name;
  } else {
    // A full newest means the file before it is full too (the scan puts a file that is not
    // full last): it goes, and a new file follows the full newest.
    if (const SampleFile* previous = table.previous()) {
      platform::delete_file(sample_file_path(place, previous->name));
    }
    platform::create_folder(place.folder);
    name = start_sample_file(place);
    if (name.empty()) return false;
  }
  return append_sample_record(sample_file_path(place, name), record, platform::WriteThrough::Off);
}

int short_term_records_available() { return short_term_records_available(scan_short_term_files()); }

int short_term_records_available(const SampleFileTable& table) {
  uint64_t records = 0;
  if (const SampleFile* f = table.previous()) records += whole_records(f->size);
  if (const SampleFile* f = table.newest()) records += whole_records(f->size);
  return int(std::min<uint64_t>(records, kShortTermMaxRecords));
}

int read_recent_short_term_records(std::span<DryerSampleRecord> out, int skip) {
  return read_recent_short_term_records(scan_short_term_files(), out, skip);
}

int read_recent_short_term_records(const SampleFileTable& table, std::span<DryerSampleRecord> out,
                                   int skip) {
  const SampleLogPlace place = short_term_log_place();
  const SampleFile* older = table.previous();
  const SampleFile* newer = table.newest();
  if (!newer || out.empty()) return 0;
  const uint64_t older_records = older ? whole_records(older->size) : 0;
  const uint64_t total = older_records + whole_records(newer->size);
  const uint64_t wanted = out.size();
  // Records [start, end) of the sequence older-then-newer.
  uint64_t end = total;
  uint64_t start = 0;
  if (total > wanted) {
    end = total - std::min<uint64_t>(uint64_t(std::max(skip, 0)), total);
    if (end < wanted) end = wanted;
    start = end - wanted;
  }
  uint8_t* dest = out.data()->data();
  if (start < older_records) {
    const uint64_t stop = std::min(end, older_records);
    if (read_sample_records(place, *older, start, stop - start, dest) != ReadResult::Ok) return 0;
  }
  if (end > older_records) {
    const uint64_t from = std::max(start, older_records);
    if (read_sample_records(place, *newer, from - older_records, end - from,
                            dest + (from - start) * kSampleRecordBytes) != ReadResult::Ok) {
      return 0;
    }
  }
  return int(end - start);
}

void clear_short_term_log() {
  g_changes.fetch_add(1, std::memory_order_relaxed);
  const SampleLogPlace place = short_term_log_place();
  const SampleFileTable table = scan_sample_files(place);
  if (const SampleFile* f = table.newest()) platform::delete_file(sample_file_path(place, f->name));
  if (const SampleFile* f = table.previous()) {
    platform::delete_file(sample_file_path(place, f->name));
  }
}

}  // namespace corvex::logging
