#pragma once
// The short-term data log: DryerSampleRecords taken every sample time (1, 5, 10 or 15 minutes)
// or, with the cycled moisture sampler, one per sampler event, in files of 144 records
// (2,592 bytes) in the data folder's "ShortTermDataLog", named
// DATA_LOG_24HRyy_MM_dd_HH_mm_ss.DAT after the moment each was started. The two newest files
// are the log; the status chart reads the newest records back, eight at a time.
#include <cstdint>
#include <span>

#include "logging/sample_files.h"

namespace corvex::logging {

inline constexpr char kShortTermLogFolder[] = "ShortTermDataLog";
inline constexpr char kShortTermLogStem[] = "DATA_LOG_24HR";
inline constexpr uint64_t kShortTermFileCapacity = 2'592;
inline constexpr int kShortTermMaxRecords = 144;

// The folder is "\Hard Disk\ShortTermDataLog" while "\Hard Disk" exists, else
// "ShortTermDataLog" in the working directory; decided anew on every call.
SampleLogPlace short_term_log_place();

// Appends a record to the file being filled: a new file is started (with its folder) when
// there is none or the newest is full, and when the two newest are both full the older of them
// is deleted first. Returns true when all 18 bytes were written.
bool append_short_term_record(const DryerSampleRecord& record);

SampleFileTable scan_short_term_files();

// Changes with every append and clear of this program: while it and the disk root stand still,
// the log holds what it held. (Nothing else writes the log's folder.)
uint64_t short_term_log_generation();

// Whole records in the two newest files, at most 144: the status chart's scroll range.
int short_term_records_available();
// The same of a scan already made.
int short_term_records_available(const SampleFileTable& table);

// Copies up to out.size() records that end `skip` records before the newest into `out`, oldest
// first from its first slot, across the two newest files as one sequence. A window that would
// reach past the oldest record is moved forward to start at it. Returns the number copied; 0
// when there are no records or a file cannot be read.
int read_recent_short_term_records(std::span<DryerSampleRecord> out, int skip);
// The same from the files of a scan already made.
int read_recent_short_term_records(const SampleFileTable& table, std::span<DryerSampleRecord> out,
                                   int skip);

// Deletes the two newest files (the log); files put beside them from outside stay. The
// clear-table confirmation calls this and then redraws the status chart.
void clear_short_term_log();

}  // namespace corvex::logging
