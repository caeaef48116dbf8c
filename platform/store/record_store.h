#pragma once
// The keyed record store of the panel: a volume file holds named databases; a database holds
// records, each a set of typed properties keyed by a 16-bit property id, and keeps up to four
// sort orders of up to three properties each, in which its records can be read. Underneath, a
// volume is one SQLite file (synchronous=FULL), a database one table and its sort orders indexes.
//
// A volume that cannot be read as one of ours (not SQLite, failing the integrity check, or
// another program's database) is renamed with a time stamp and a new, empty volume takes its
// place; nothing is ever deleted except by delete_volume, delete_database and the record deletes.
// Not thread-safe: one thread uses a volume and its databases.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::store {

// Failure codes, numbered as the panel's platform numbers its errors so that messages showing
// the number read the same ("FILE NOT FOUND!" for 2, "NOT ENOUGHT MEMORY!" for 8, 87 ...).
enum class StoreError : uint32_t {
  None = 0,
  FileNotFound = 2,       // no database of that name
  AccessDenied = 5,       // the volume path is a folder or cannot be written
  InvalidHandle = 6,      // the volume is not mounted or the database not open
  NotEnoughMemory = 8,
  DeviceFailure = 31,     // the disk failed
  SharingViolation = 32,  // another program holds the volume
  InvalidParameter = 87,  // a bad name, sort order, property, value or record id
  DiskFull = 112,
  AlreadyExists = 183,    // a database of that name exists already
  NoMoreItems = 259,      // reading ran past the last record
  Corrupt = 1392,         // the volume was damaged while mounted
};

inline constexpr size_t kMaxSortOrders = 4;
inline constexpr size_t kMaxSortKeys = 3;

enum class PropertyType : uint8_t { Int16, UInt16, Int32, UInt32, String, Blob, FileTime };

struct Property {
  uint16_t id = 0;  // 1..65535
  PropertyType type = PropertyType::Int32;
  int64_t integer = 0;        // the integer types and FileTime
  std::u16string text;        // String
  std::vector<uint8_t> blob;  // Blob

  static Property int16(uint16_t id, int16_t value);
  static Property uint16(uint16_t id, uint16_t value);
  static Property int32(uint16_t id, int32_t value);
  static Property uint32(uint16_t id, uint32_t value);
  static Property string(uint16_t id, std::u16string value);
  static Property bytes(uint16_t id, std::vector<uint8_t> value);
  static Property file_time(uint16_t id, int64_t value);
};

struct Record {
  uint32_t oid = 0;                  // the record's id in its database, never reused
  std::vector<Property> properties;  // the properties the record has, by ascending id
  // Returns the property of that id, or nullptr when the record has none.
  const Property* find(uint16_t id) const;
};

enum class Direction { Ascending, Descending };
struct SortKey {
  uint16_t property_id = 0;
  Direction direction = Direction::Ascending;
};
struct SortOrder {
  std::vector<SortKey> keys;  // 1..kMaxSortKeys; records equal in every key keep write order
};

struct Connection;
struct DatabaseState;

// An open database, read in the sort order chosen when it was opened.
class Database {
 public:
  Database();
  ~Database();
  Database(Database&&) noexcept;
  Database& operator=(Database&&) noexcept;

  // Returns true while the database is open and its volume mounted.
  bool is_open() const;
  void close();
  // Returns the type number the database was created with.
  uint32_t type() const;
  // The code of the last failure of this database (None after a success).
  StoreError last_error() const;

  // Returns the number of records, 0 when that cannot be read (see last_error).
  uint32_t record_count();
  // Moves before the first record of the sort order; false when the database cannot be read.
  bool seek_first();
  // Returns the next record in the sort order and moves past it; nothing at the end
  // (NoMoreItems) or on a failure.
  std::optional<Record> read_next();
  // Writes a new record (oid 0) or replaces the given properties of an existing one; returns the
  // record's oid. A property id keeps the type it was first written with; a different type, a
  // value outside its type, a repeated id or an unknown oid is refused and nothing is written.
  std::optional<uint32_t> write_record(uint32_t oid, std::span<const Property> properties);
  // Return true when the record (or every record) was deleted; an unknown oid gives false.
  bool delete_record(uint32_t oid);
  bool delete_all_records();

 private:
  friend class Volume;
  std::unique_ptr<DatabaseState> state_;
};

class Volume {
 public:
  Volume();
  ~Volume();
  Volume(const Volume&) = delete;
  Volume& operator=(const Volume&) = delete;

  // Mounts the volume file of the panel path, creating it when missing; None or the failure.
  StoreError mount(std::string_view panel_path);
  // Ends the mount; databases still open fail from then on with InvalidHandle.
  void unmount();
  // Returns true between a successful mount and the unmount.
  bool is_mounted() const;
  // The host path a damaged volume was moved to by the last mount, or an empty text.
  const std::string& moved_aside_path() const { return moved_aside_; }

  // Creates an empty database with its sort orders (at most kMaxSortOrders).
  StoreError create_database(std::string_view name, uint32_t type, std::span<const SortOrder> orders);
  // Opens a database in one of its sort orders (index into the orders it was created with; 0
  // for a database without sort orders, which reads in write order).
  StoreError open_database(std::string_view name, size_t sort_order, Database* out);
  // Removes a database and all its records.
  StoreError delete_database(std::string_view name);

 private:
  std::shared_ptr<Connection> connection_;
  std::string moved_aside_;
};

// Deletes a volume file with the journal beside it; None, or FileNotFound when there was none.
StoreError delete_volume(std::string_view panel_path);

}  // namespace platform::store
