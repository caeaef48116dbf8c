#pragma once
// The graph data log: one DryerSampleRecord every 10 seconds of logging, in files of 24 hours
// (155,520 bytes, 8,640 records) in "\Hard Disk\GraphDataLog", named
// GRAPH_DATA_LOG_24HRyy_MM_dd_HH_mm_ss.DAT after the moment each was started. At most two
// files are the log: the one being filled and the one before it. The graph view loads a window
// of up to eight hours from them, averaged to 360 points per trace.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

#include "logging/sample_files.h"
#include "platform/gfx/geometry.h"

namespace corvex::logging {

inline constexpr char kGraphLogFolder[] = "\\Hard Disk\\GraphDataLog";
inline constexpr char kGraphLogStem[] = "GRAPH_DATA_LOG_24HR";
inline constexpr uint64_t kGraphFileCapacity = 155'520;
// One hour of records (360 records, one every 10 seconds); the graph windows are multiples.
inline constexpr uint64_t kGraphHourBytes = 6'480;
inline constexpr int kGraphMaxHours = 24;
inline constexpr size_t kGraphPoints = 360;
// A whole file of records and 16 spare bytes.
inline constexpr size_t kGraphBufferBytes = 155'536;

// The six traces, in the order of the point arrays.
enum GraphTrace : uint8_t {
  kTraceDryerGrainTemp,  // whole degrees
  kTraceGrainTempIn,     // whole degrees (the record holds tenths)
  kTraceMoistureIn,      // tenths of a percent
  kTraceGrainTempOut,    // whole degrees (the record holds tenths)
  kTraceMoistureOut,     // tenths of a percent
  kTraceRollSpeed,
  kGraphTraceCount
};

SampleLogPlace graph_log_place();

// Appends a record to the file being filled: a new file is started when there is none or the
// newest is full, and when the two newest are both full the older of them is deleted first.
// Returns true when all 18 bytes were written (and, for a record that is synced, reached the
// disk); false when no file could be created or opened.
bool append_graph_record(const DryerSampleRecord& record);

// Every record is written to its file at once, so a program that is killed loses none; a power
// cut loses what the disk has not synced. Syncing each record costs a disk flush, which in
// virtual time, where a day passes in seconds, would be most of the day's time. A record is
// synced when the log was last synced this long ago in real time or longer, so that a panel
// running in real time (a record every 10 seconds) still syncs every record.
inline constexpr std::chrono::seconds kGraphSyncSpacing{5};
// Whether a record is synced: a file's first record (`records_before` 0) and the one that
// fills it always are, and so is the first of the run (`since_last_sync` empty); any other when
// the log's last sync is at least kGraphSyncSpacing ago.
bool graph_record_synced(uint64_t records_before,
                         std::optional<std::chrono::steady_clock::duration> since_last_sync);

// The log's files, oldest first.
SampleFileTable scan_graph_files();

// Whole hours of records in the two newest files, at most 24.
int graph_available_hours();

// The hours a graph window spans for the horizontal-scale setting: 0..3 give 1, 2, 4 and 8;
// any other setting counts as 1 hour.
int graph_scale_hours(uint32_t scale_index);

// The largest scroll position, in hours back from the newest record, for a window of
// `scale_hours`: whole hours on disk less the window, never below 0.
int graph_scroll_limit(int scale_hours);

// A loaded window: the records read (the newest last, at the end of the window's bytes, with
// zeros before them when there are fewer records than the window holds) and 360 points per
// trace. Each point's x is its index and y its value, which the graph view turns into a
// position and height.
struct GraphWindow {
  std::array<uint8_t, kGraphBufferBytes> buffer{};
  std::array<std::array<platform::Point, kGraphPoints>, kGraphTraceCount> points{};
};
// The window the graph view draws.
GraphWindow& graph_window();

enum class GraphLoad {
  Loaded,      // the points hold the window
  CannotOpen,  // a file could not be opened: the points hold zeros
  ShortRead,   // a file held less than its size said: the points are unchanged
};

// Loads the window that ends `scroll_hours` hours before the newest record (kept within the
// records on disk) for the horizontal-scale setting `scale_index`; each point is the average
// of `scale_hours` consecutive records.
GraphLoad load_graph_window(GraphWindow& window, int scroll_hours, uint32_t scale_index);

}  // namespace corvex::logging
