#include "logging/shutdown_history.h"

#include <array>
#include <cstdio>
#include <mutex>

#include "link/link_hooks.h"
#include "logging/tick_duties.h"
#include "platform/io/files.h"
#include "platform/store/record_store.h"
#include "texts/texts.h"
#include "texts/utf16.h"

namespace corvex::logging {

namespace {

namespace store = platform::store;
using texts::to_utf16;
using texts::to_utf8;

// Records come from the exchange thread, the window reads on the GUI thread.
std::mutex g_history_lock;

constexpr size_t kExportPieceLimit = 500;
// Days between 1601-01-01 and 1970-01-01, and file-time units in a millisecond.
constexpr int64_t kFileTimeEpochDays = 134774;
constexpr int64_t kUnitsPerMs = 10000;
constexpr int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
int64_t days_from_civil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
void civil_from_days(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int(doy - (153 * mp + 2) / 5 + 1);
  m = int(mp < 10 ? mp + 3 : mp - 9);
  y = int(yoe + era * 400 + (m <= 2));
}

std::vector<store::SortOrder> sort_orders() {
  auto order = [](uint16_t a, uint16_t b, uint16_t c) {
    return store::SortOrder{{{a, store::Direction::Ascending},
                             {b, store::Direction::Ascending},
                             {c, store::Direction::Ascending}}};
  };
  return {order(kShutdownTextProperty, kNodeNameProperty, kShutdownTimeProperty),
          order(kNodeNameProperty, kShutdownTextProperty, kShutdownTimeProperty),
          order(kShutdownTimeProperty, kShutdownTextProperty, kNodeNameProperty)};
}

// At most `limit` bytes of a UTF-8 text, never ending inside a character.
std::string_view cut_utf8(std::string_view s, size_t limit) {
  if (s.size() <= limit) return s;
  size_t end = limit;
  while (end > 0 && (uint8_t(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end);
}

// Creates the database when the mounted volume has none.
bool ensure_database(store::Volume& volume) {
  store::Database db;
  if (volume.open_database(kHistoryDatabaseName, size_t(HistoryOrder::Warning), &db) ==
      store::StoreError::None) {
    return true;
  }
  const auto orders = sort_orders();
  return volume.create_database(kHistoryDatabaseName, 0, orders) == store::StoreError::None;
}

bool prepare_locked() {
  store::Volume volume;
  if (volume.mount(kHistoryVolumePath) != store::StoreError::None) return false;
  const bool ok = ensure_database(volume);
  volume.unmount();
  return ok;
}

HistoryRecord record_of(const store::Record& r) {
  HistoryRecord out;
  if (const store::Property* p = r.find(kShutdownTextProperty))
    out.shutdown_text = to_utf8(p->text);
  if (const store::Property* p = r.find(kNodeNameProperty)) out.node_name = to_utf8(p->text);
  if (const store::Property* p = r.find(kShutdownTimeProperty)) out.file_time = p->integer;
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

void add_auto_start_entry(std::string_view) { add_auto_start_record(); }

}  // namespace

std::string node_name(int node_code) {
  if (node_code == 1) return "DISPLAY I/O";
  if (node_code >= 2 && node_code <= 7) return "FAN/HEATER #" + std::to_string(node_code - 1);
  if (node_code >= 8 && node_code <= 13) return "FAN/HEATER INT #" + std::to_string(node_code - 7);
  if (node_code == 14) return "MAIN I/O";
  if (node_code == 15) return "MOISTURE CONT";
  return {};
}

int64_t local_to_file_time(const platform::LocalTime& t) {
  const int64_t days = days_from_civil(t.year, t.month, t.day) + kFileTimeEpochDays;
  const int64_t ms =
      days * kMsPerDay + ((int64_t(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
  return ms * kUnitsPerMs;
}

platform::LocalTime file_time_to_local(int64_t file_time) {
  int64_t ms = file_time / kUnitsPerMs;
  int64_t days = ms / kMsPerDay;
  int64_t in_day = ms % kMsPerDay;
  if (in_day < 0) {
    in_day += kMsPerDay;
    --days;
  }
  platform::LocalTime t;
  civil_from_days(days - kFileTimeEpochDays, t.year, t.month, t.day);
  t.hour = int(in_day / 3600000);
  t.minute = int(in_day / 60000 % 60);
  t.second = int(in_day / 1000 % 60);
  t.millisecond = int(in_day % 1000);
  return t;
}

std::string history_date_text(int64_t file_time) {
  return platform::format_date(file_time_to_local(file_time), "MMM dd',' yyy");
}
std::string history_time_text(int64_t file_time) {
  return platform::format_time(file_time_to_local(file_time), "h':'mm tt");
}

bool prepare_shutdown_history() {
  std::lock_guard lock(g_history_lock);
  return prepare_locked();
}

void add_shutdown_record(uint8_t node_code, uint8_t warning_number) {
  const int64_t now = local_to_file_time(platform::clock::local_now());
  const std::string text =
      node_code == 0 ? std::string() : texts::warning_text(node_code, warning_number);
  add_history_record(text, node_name(node_code), now);
}

void add_auto_start_record() {
  add_history_record(kAutoStartHistoryText, kAutoStartHistoryNode,
                     local_to_file_time(platform::clock::local_now()));
}

bool add_history_record(std::string_view shutdown_text, std::string_view node, int64_t file_time) {
  std::lock_guard lock(g_history_lock);
  store::Volume volume;
  if (volume.mount(kHistoryVolumePath) != store::StoreError::None) return false;
  bool ok = false;
  store::Database db;
  // A volume that was moved aside on this mount comes back empty: make its database again.
  if (ensure_database(volume) &&
      volume.open_database(kHistoryDatabaseName, size_t(HistoryOrder::Warning), &db) ==
          store::StoreError::None) {
    const std::array<store::Property, 3> properties = {
        store::Property::string(kShutdownTextProperty, to_utf16(shutdown_text)),
        store::Property::string(kNodeNameProperty, to_utf16(node)),
        store::Property::file_time(kShutdownTimeProperty, file_time)};
    ok = db.write_record(0, properties).has_value();
    db.close();
  }
  volume.unmount();
  return ok;
}

uint32_t history_record_count() {
  std::lock_guard lock(g_history_lock);
  store::Volume volume;
  if (volume.mount(kHistoryVolumePath) != store::StoreError::None) return 0;
  uint32_t count = 0;
  store::Database db;
  if (volume.open_database(kHistoryDatabaseName, 0, &db) == store::StoreError::None) {
    count = db.record_count();
    db.close();
  }
  volume.unmount();
  return count;
}

bool read_history(HistoryOrder order, std::vector<HistoryRecord>& out) {
  std::lock_guard lock(g_history_lock);
  store::Volume volume;
  if (volume.mount(kHistoryVolumePath) != store::StoreError::None) return false;
  out.clear();
  store::Database db;
  bool whole = true;
  if (volume.open_database(kHistoryDatabaseName, size_t(order), &db) == store::StoreError::None) {
    // A read that stops on an error is not the history: the caller keeps what it showed.
    whole = db.seek_first();
    if (whole) {
      while (std::optional<store::Record> r = db.read_next()) out.push_back(record_of(*r));
      whole = db.last_error() == store::StoreError::NoMoreItems;
    }
    db.close();
  }
  volume.unmount();
  if (!whole) out.clear();
  return whole;
}

bool clear_shutdown_history() {
  std::lock_guard lock(g_history_lock);
  store::delete_volume(kHistoryVolumePath);
  return prepare_locked();
}

std::string history_export_text(const std::vector<HistoryRecord>& records) {
  std::string out;
  for (const HistoryRecord& r : records) {
    const std::string pieces[4] = {r.shutdown_text, r.node_name, history_date_text(r.file_time),
                                   history_time_text(r.file_time)};
    for (const std::string& piece : pieces) {
      out += cut_utf8(piece, kExportPieceLimit);
      out += ';';
    }
    out += '\n';
  }
  return out;
}

ExportResult export_shutdown_history() {
  ExportResult result;
  platform::File file;
  if (file.open(kHistoryExportPath, platform::OpenMode::OpenAlways, platform::Access::ReadWrite,
                platform::Sharing::Exclusive,
                platform::WriteThrough::On) != platform::FileStatus::Ok) {
    return result;
  }
  std::vector<HistoryRecord> records;
  {
    std::lock_guard lock(g_history_lock);
    store::Volume volume;
    const store::StoreError mounted = volume.mount(kHistoryVolumePath);
    if (mounted != store::StoreError::None) {
      char text[64];
      std::snprintf(text, sizeof text, "ERROR: CeMountDBVol failed (%ld)", long(mounted));
      result.message = text;
      return result;
    }
    store::Database db;
    const store::StoreError opened =
        volume.open_database(kHistoryDatabaseName, size_t(HistoryOrder::Time), &db);
    switch (opened) {
      case store::StoreError::None:
        break;
      case store::StoreError::NotEnoughMemory:
        result.message = "NOT ENOUGHT MEMORY!";
        break;
      case store::StoreError::InvalidParameter:
        result.message = "INVALID PARAMETER!";
        break;
      case store::StoreError::FileNotFound:
        result.message = "FILE NOT FOUND!";
        break;
      default: {
        char text[64];
        std::snprintf(text, sizeof text, "ERROR: Handler (%ld)", long(opened));
        result.message = text;
        break;
      }
    }
    if (opened != store::StoreError::None) {
      volume.unmount();
      return result;
    }
    if (db.seek_first()) {
      while (std::optional<store::Record> r = db.read_next()) records.push_back(record_of(*r));
    }
    db.close();
    volume.unmount();
  }
  const std::string text = history_export_text(records);
  file.seek(0, platform::SeekFrom::Begin);
  result.written = file.write(text.data(), text.size()) == text.size();
  // The file holds the whole history and nothing else: the tail of a longer export made before
  // a clear would otherwise read as shutdowns that are no longer in the history. An empty
  // history writes nothing and leaves the file as it was.
  if (result.written && !text.empty()) result.written = file.truncate_here();
  file.close();
  // Each write went through to the drive; the folder entry of a file made now goes too, so a
  // stick pulled right after keeps the export.
  if (result.written) platform::sync_folder_of(kHistoryExportPath);
  // A stick pulled out during the write can leave the writes landing in a file that is no
  // longer on any drive: the export counts only when its file is still there.
  if (result.written && !platform::file_exists(kHistoryExportPath)) result.written = false;
  if (!result.written) {
    result.write_failed = true;
    // What is left is the head of this export over the rest of an older one, or a part of this
    // one: neither is a history to hand on. A drive that is gone has nothing left to remove.
    platform::delete_file(kHistoryExportPath);
  }
  return result;
}

HelpCode help_code_of(std::string_view shutdown_text) {
  char first[5] = {};
  for (size_t i = 0; i < 5 && i < shutdown_text.size(); ++i) first[i] = shutdown_text[i];
  return {hex_digit(first[0]) * 16 + hex_digit(first[1]),
          hex_digit(first[2]) * 16 + hex_digit(first[3])};
}

void install_shutdown_history_hooks() {
  link::link_hooks().add_shutdown_record.store(&add_shutdown_record);
  set_history_entry_hook(&add_auto_start_entry);
}

}  // namespace corvex::logging
