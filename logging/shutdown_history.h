#pragma once
// The shutdown history: every shutdown the controller reports (its warning text, the node that
// raised it, the panel's local date and time) and the operator's acceptance of an auto-start
// set-up, kept in the keyed record store "\Hard Disk\ShutdownHistoryDB". Each operation mounts
// the volume and unmounts it again, so no handle is held between operations and a record is on
// the disk when add_shutdown_record returns. Records are added on the exchange thread and read
// on the GUI thread; one lock keeps the operations apart.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io/clock.h"

namespace corvex::logging {

inline constexpr char kHistoryVolumePath[] = "\\Hard Disk\\ShutdownHistoryDB";
inline constexpr char kHistoryDatabaseName[] = "ShutdownHistoryDB";
inline constexpr char kHistoryExportPath[] = "\\Hard Disk2\\DryerShutdownHistory.txt";
inline constexpr char kAutoStartHistoryText[] = "User Accepted Auto-Start MC Setup";
inline constexpr char kAutoStartHistoryNode[] = "Global";

// Property ids of a record: the shutdown text, the node name, the local file time.
inline constexpr uint16_t kShutdownTextProperty = 1;
inline constexpr uint16_t kNodeNameProperty = 2;
inline constexpr uint16_t kShutdownTimeProperty = 3;

// The three sort orders the database is created with, by their index.
enum class HistoryOrder : uint8_t { Warning = 0, Node = 1, Time = 2 };

struct HistoryRecord {
  std::string shutdown_text;  // UTF-8
  std::string node_name;
  int64_t file_time = 0;  // 100 ns units since 1601-01-01, panel local time
};

// The node name of a node code: "DISPLAY I/O", "FAN/HEATER #1".."#6", "FAN/HEATER INT #1".."#6",
// "MAIN I/O", "MOISTURE CONT"; an empty text for any other code.
std::string node_name(int node_code);

// A panel local time as a file time and back (the fields only; no time zone is involved).
int64_t local_to_file_time(const platform::LocalTime& t);
platform::LocalTime file_time_to_local(int64_t file_time);
// The list's and the export's date ("MMM dd',' yyy") and time ("h':'mm tt") of a file time.
std::string history_date_text(int64_t file_time);
std::string history_time_text(int64_t file_time);

// Opens the volume (a damaged one is moved aside by the store) and creates the database with
// its three sort orders when it is missing. Returns true when the database is there.
bool prepare_shutdown_history();
// Adds a record for a reported shutdown: the warning text of the current language (empty for
// node code 0), the node name and the local time now. Nothing happens when the volume cannot
// be mounted. Safe from the exchange thread.
void add_shutdown_record(uint8_t node_code, uint8_t warning_number);
// Adds the operator's acceptance of an auto-start set-up ("Global" as its node).
void add_auto_start_record();
// Adds one record with the given texts and time (the two above end here).
bool add_history_record(std::string_view shutdown_text, std::string_view node, int64_t file_time);
// Returns the number of records, 0 when the store cannot be read.
uint32_t history_record_count();
// Reads every record in the order, or nothing (and false) when the volume cannot be mounted or
// its records cannot be read to the end.
bool read_history(HistoryOrder order, std::vector<HistoryRecord>& out);
// Deletes the volume and prepares an empty history: the only way records are removed.
bool clear_shutdown_history();

// The export's text of the records: per record the shutdown text, the node name, the date and
// the time, each cut to 500 bytes of UTF-8 and followed by ";", the line ended by a line feed.
std::string history_export_text(const std::vector<HistoryRecord>& records);

// The outcome of the export: written, a file that could not be opened (said nowhere), a
// message for the operator (a store that could not be mounted or opened), or a write that did
// not reach the drive whole (a stick pulled out or full).
struct ExportResult {
  bool written = false;
  std::string message;  // shown in a message box without caption when not empty
  bool write_failed = false;
};
// Writes the whole history, oldest first, to "\Hard Disk2\DryerShutdownHistory.txt" from the
// start of the file. An empty history writes nothing. A write that fails part way removes the
// file it left behind, so that no cut-off history is taken for a whole one; the history itself
// is only read.
ExportResult export_shutdown_history();

// The two code bytes at the start of a shutdown text: characters 1-2 and 3-4 of its first
// five, each read as two hexadecimal digits ('0'-'9', 'A'-'F'; anything else counts as 0).
struct HelpCode {
  int node = 0;
  int warning = 0;
};
HelpCode help_code_of(std::string_view shutdown_text);

// Fills the link's hook and the tick's auto-start entry with the operations above.
void install_shutdown_history_hooks();

}  // namespace corvex::logging
