#pragma once
// What the graph data log and the short-term data log share: the 18-byte DryerSampleRecord,
// files named after the moment they were started, the scan that finds them again and orders
// them, and record-aligned appends and reads.
//
// A file holds records only, oldest first, 18 bytes each. A power cut can leave a torn last
// record; appends write over it at the last whole-record boundary, and reads see only whole
// records, so no reader is ever shown a record that was never written.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io/clock.h"
#include "platform/io/files.h"

namespace corvex::logging {

// DryerSampleRecord: 18 bytes, multi-byte values high byte first.
//   0-1 dryer grain temperature (whole degrees), 2-3 grain temperature in (tenths),
//   4-5 moisture in (tenths), 6-7 grain temperature out (tenths), 8-9 moisture out (tenths),
//   10-11 metering-roll speed (byte 10 always 0), 12 reserved (0),
//   13 hour, 14 minute, 15 second, 16 month, 17 day of the month (panel local time).
inline constexpr size_t kSampleRecordBytes = 18;
using DryerSampleRecord = std::array<uint8_t, kSampleRecordBytes>;

// One log's files: the folder (a panel path without the trailing backslash), the file-name stem
// and the capacity in bytes from which a file counts as full.
struct SampleLogPlace {
  std::string folder;
  std::string_view stem;
  uint64_t capacity;
};

struct SampleFile {
  std::string name;  // without the folder
  uint64_t size = 0;
  int64_t creation_ms = 0;
};

// The log's files, oldest first. Only the two newest are the log; files beyond them (put into
// the folder from outside) are left alone by every operation.
struct SampleFileTable {
  std::vector<SampleFile> files;
  size_t count() const { return files.size(); }
  // The newest file and the one before it (nullptr when there are not that many).
  const SampleFile* newest() const { return files.empty() ? nullptr : &files.back(); }
  const SampleFile* previous() const {
    return files.size() < 2 ? nullptr : &files[files.size() - 2];
  }
};

// Returns the file name for a file started at `t`: the stem, "yy_MM_dd_HH_mm_ss" and ".DAT".
std::string sample_file_name(std::string_view stem, const platform::LocalTime& t);
// Returns the panel path of a file of the log.
std::string sample_file_path(const SampleLogPlace& place, std::string_view name);

// Finds the log's files (directories skipped) and orders them from oldest to newest by the
// moment in their names: the disk's creation time is not kept by every file system (the last
// write stands in for it there), while the name always says when the file was started. Files
// whose names carry no moment, or the same one, are ordered by creation time, then by the
// order in which the disk listed them. Of the two newest, a file that is not full beside a full
// one counts as the newer: a file is started only when the other is full.
SampleFileTable scan_sample_files(const SampleLogPlace& place);

// The number of whole records in `size` bytes.
inline uint64_t whole_records(uint64_t size) { return size / kSampleRecordBytes; }

// Opens `path` (read-write, exclusive, created when missing) and writes the record at the end of
// its last whole record, so that a torn record left by a power cut is written over. Returns true
// when all 18 bytes were written.
bool append_sample_record(const std::string& path, const DryerSampleRecord& record,
                          platform::WriteThrough write_through);

// Creates an empty file named after the panel's local time now; returns its name, or an empty
// text when it could not be created.
std::string start_sample_file(const SampleLogPlace& place);

// Reads `count` records starting at record `first` of the file into `out`: Ok, CannotOpen, or
// Short when the file holds fewer records than asked.
enum class ReadResult { Ok, CannotOpen, Short };
ReadResult read_sample_records(const SampleLogPlace& place, const SampleFile& file,
                               uint64_t first, uint64_t count, uint8_t* out);

// A DryerSampleRecord's 16-bit value at `offset`.
inline uint16_t record_value(const uint8_t* record, size_t offset) {
  return uint16_t(record[offset] << 8 | record[offset + 1]);
}

}  // namespace corvex::logging
