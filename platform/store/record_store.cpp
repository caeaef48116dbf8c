#include "platform/store/record_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

#include "platform/io/clock.h"
#include "platform/io/paths.h"

namespace platform::store {

struct Connection {
  sqlite3* db = nullptr;
  bool mounted = false;
  ~Connection() {
    if (db) sqlite3_close_v2(db);
  }
};

struct DatabaseState {
  std::shared_ptr<Connection> connection;
  int64_t id = 0;
  uint32_t type = 0;
  std::string table;
  std::vector<SortKey> order;
  std::vector<std::pair<uint16_t, PropertyType>> columns;  // typed properties, ascending id
  sqlite3_stmt* cursor = nullptr;
  StoreError error = StoreError::None;
  ~DatabaseState() { sqlite3_finalize(cursor); }
};

namespace {

// "CVXD" in the SQLite header marks a volume file as one of ours.
constexpr int32_t kApplicationId = 0x43565844;
constexpr const char* kVolumeCompanions[] = {"-journal", "-wal", "-shm"};

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) {
    rc_ = sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt_, nullptr);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return rc_ == SQLITE_OK && stmt_; }
  int rc() const { return rc_; }
  sqlite3_stmt* get() { return stmt_; }
  int step() { return rc_ = sqlite3_step(stmt_); }
  Statement& bind(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  Statement& bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return *this;
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int rc_ = SQLITE_OK;
};

StoreError from_sqlite(int rc) {
  switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return StoreError::None;
    case SQLITE_NOMEM:
      return StoreError::NotEnoughMemory;
    case SQLITE_FULL:
      return StoreError::DiskFull;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return StoreError::Corrupt;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return StoreError::SharingViolation;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return StoreError::AccessDenied;
    case SQLITE_CANTOPEN:
      return StoreError::FileNotFound;
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH:
    case SQLITE_RANGE:
    case SQLITE_TOOBIG:
      return StoreError::InvalidParameter;
    default:
      return StoreError::DeviceFailure;
  }
}

int exec(sqlite3* db, const std::string& sql) {
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

bool is_damage(int rc) { return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB; }

std::string column_name(uint16_t property_id) {
  char name[8];
  std::snprintf(name, sizeof name, "p%u", unsigned(property_id));
  return name;
}

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Renames without replacing; false (errno set) when the target exists or the rename fails.
bool rename_no_replace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (exists(to)) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// Moves a damaged volume, and the journal that belongs to it, to a time-stamped name, so that a
// new volume can take the name and a stale journal never rolls into it.
bool move_aside(const std::string& host, std::string* moved_to) {
  LocalTime now = clock::local_now();
  std::string base =
      host + ".damaged-" + format_date(now, "yyyyMMdd") + "-" + format_time(now, "HHmmss");
  std::string target = base;
  for (int n = 1; !rename_no_replace(host, target); ++n) {
    if (errno != EEXIST || n > 1000) return false;
    target = base + "-" + std::to_string(n);
  }
  for (const char* companion : kVolumeCompanions) {
    std::string from = host + companion;
    if (exists(from) && !rename_no_replace(from, target + companion)) return false;
  }
  *moved_to = target;
  return true;
}

void configure(sqlite3* db) {
  sqlite3_busy_timeout(db, 2000);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
}

enum class Health { Good, Damaged, Failed };

// Opens an existing volume and tells whether it is sound and ours. A volume that merely cannot
// be read right now (locked, disk error) is Failed, never Damaged: only proof of damage moves it.
Health check_volume(const std::string& host, sqlite3** out, StoreError* error) {
  int rc = sqlite3_open_v2(host.c_str(), out, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    *error = from_sqlite(rc);
    return is_damage(rc) ? Health::Damaged : Health::Failed;
  }
  configure(*out);
  // The full check: the quick one does not compare the indexes with the records, and a sort
  // order missing records (or holding records that are gone) would read as a sound volume.
  Statement check(*out, "PRAGMA integrity_check");
  if (!check.ok() || check.step() != SQLITE_ROW) {
    *error = from_sqlite(check.rc());
    return is_damage(check.rc()) ? Health::Damaged : Health::Failed;
  }
  const unsigned char* verdict = sqlite3_column_text(check.get(), 0);
  if (!verdict || std::string_view(reinterpret_cast<const char*>(verdict)) != "ok")
    return Health::Damaged;
  Statement id(*out, "PRAGMA application_id");
  if (!id.ok() || id.step() != SQLITE_ROW) {
    *error = from_sqlite(id.rc());
    return is_damage(id.rc()) ? Health::Damaged : Health::Failed;
  }
  int32_t application = sqlite3_column_int(id.get(), 0);
  if (application == kApplicationId) return Health::Good;
  if (application != 0) return Health::Damaged;
  // An empty SQLite file (or a zero-length one) is a fresh volume; anything else is not ours.
  Statement tables(*out, "SELECT count(*) FROM sqlite_schema");
  if (!tables.ok() || tables.step() != SQLITE_ROW) {
    *error = from_sqlite(tables.rc());
    return Health::Failed;
  }
  return sqlite3_column_int(tables.get(), 0) == 0 ? Health::Good : Health::Damaged;
}

// Sets the journal and sync modes and lays out the catalog of a new volume.
StoreError prepare_volume(sqlite3* db) {
  int rc = exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
  if (rc != SQLITE_OK) return from_sqlite(rc);
  Statement id(db, "PRAGMA application_id");
  if (!id.ok() || id.step() != SQLITE_ROW) return from_sqlite(id.rc());
  if (sqlite3_column_int(id.get(), 0) == kApplicationId) return StoreError::None;
  rc = exec(db,
            "BEGIN IMMEDIATE;"
            "CREATE TABLE IF NOT EXISTS store_databases(id INTEGER PRIMARY KEY,"
            " name TEXT NOT NULL UNIQUE COLLATE NOCASE, type INTEGER NOT NULL);"
            "CREATE TABLE IF NOT EXISTS store_sort_keys(database_id INTEGER NOT NULL,"
            " sort_order INTEGER NOT NULL, position INTEGER NOT NULL, property_id INTEGER NOT NULL,"
            " descending INTEGER NOT NULL, PRIMARY KEY(database_id, sort_order, position));"
            "CREATE TABLE IF NOT EXISTS store_properties(database_id INTEGER NOT NULL,"
            " property_id INTEGER NOT NULL, type INTEGER, PRIMARY KEY(database_id, property_id));"
            "PRAGMA application_id=" +
                std::to_string(kApplicationId) +
                ";"
                "COMMIT;");
  if (rc != SQLITE_OK) exec(db, "ROLLBACK");
  return from_sqlite(rc);
}

bool valid_name(std::string_view name) {
  return !name.empty() && name.size() <= 255 && name.find('\0') == std::string_view::npos;
}

bool valid_orders(std::span<const SortOrder> orders) {
  if (orders.size() > kMaxSortOrders) return false;
  for (const SortOrder& order : orders) {
    if (order.keys.empty() || order.keys.size() > kMaxSortKeys) return false;
    for (const SortKey& key : order.keys) {
      if (key.property_id == 0) return false;
    }
  }
  return true;
}

bool in_range(const Property& p) {
  switch (p.type) {
    case PropertyType::Int16:
      return p.integer >= INT16_MIN && p.integer <= INT16_MAX;
    case PropertyType::UInt16:
      return p.integer >= 0 && p.integer <= UINT16_MAX;
    case PropertyType::Int32:
      return p.integer >= INT32_MIN && p.integer <= INT32_MAX;
    case PropertyType::UInt32:
      return p.integer >= 0 && p.integer <= int64_t(UINT32_MAX);
    case PropertyType::String:
    case PropertyType::Blob:
    case PropertyType::FileTime:
      return true;
  }
  return false;  // a type value outside the enumeration
}

bool valid_properties(std::span<const Property> properties) {
  for (size_t i = 0; i < properties.size(); ++i) {
    if (properties[i].id == 0 || !in_range(properties[i])) return false;
    for (size_t k = 0; k < i; ++k) {
      if (properties[k].id == properties[i].id) return false;
    }
  }
  return true;
}

void bind_property(sqlite3_stmt* stmt, int index, const Property& p) {
  switch (p.type) {
    case PropertyType::String:
      sqlite3_bind_text16(stmt, index, p.text.data(), int(p.text.size() * 2), SQLITE_TRANSIENT);
      break;
    case PropertyType::Blob:
      if (p.blob.empty())
        sqlite3_bind_zeroblob(stmt, index, 0);
      else
        sqlite3_bind_blob(stmt, index, p.blob.data(), int(p.blob.size()), SQLITE_TRANSIENT);
      break;
    default:
      sqlite3_bind_int64(stmt, index, p.integer);
      break;
  }
}

Property column_property(sqlite3_stmt* stmt, int index, uint16_t id, PropertyType type) {
  Property p;
  p.id = id;
  p.type = type;
  if (type == PropertyType::String) {
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, index));
    int bytes = sqlite3_column_bytes16(stmt, index);
    if (text) p.text.assign(text, size_t(bytes) / 2);
  } else if (type == PropertyType::Blob) {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt, index));
    int bytes = sqlite3_column_bytes(stmt, index);
    if (data) p.blob.assign(data, data + bytes);
  } else {
    p.integer = sqlite3_column_int64(stmt, index);
  }
  return p;
}

StoreError load_columns(DatabaseState& s) {
  Statement q(s.connection->db,
              "SELECT property_id, type FROM store_properties WHERE database_id = ?"
              " AND type IS NOT NULL ORDER BY property_id");
  if (!q.ok()) return from_sqlite(q.rc());
  q.bind(1, s.id);
  s.columns.clear();
  while (q.step() == SQLITE_ROW) {
    int type = sqlite3_column_int(q.get(), 1);
    if (type < 0 || type > int(PropertyType::FileTime)) continue;
    s.columns.emplace_back(uint16_t(sqlite3_column_int(q.get(), 0)), PropertyType(type));
  }
  return q.rc() == SQLITE_DONE ? StoreError::None : from_sqlite(q.rc());
}

// Makes sure the database has a column for the property with this type; inside a transaction.
StoreError ensure_column(DatabaseState& s, const Property& p) {
  sqlite3* db = s.connection->db;
  Statement q(db, "SELECT type FROM store_properties WHERE database_id = ? AND property_id = ?");
  if (!q.ok()) return from_sqlite(q.rc());
  q.bind(1, s.id).bind(2, p.id);
  int rc = q.step();
  if (rc == SQLITE_ROW && sqlite3_column_type(q.get(), 0) != SQLITE_NULL) {
    return sqlite3_column_int(q.get(), 0) == int(p.type) ? StoreError::None
                                                         : StoreError::InvalidParameter;
  }
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return from_sqlite(rc);
  bool column_exists = rc == SQLITE_ROW;
  Statement put(
      db,
      "INSERT OR REPLACE INTO store_properties(database_id, property_id, type) VALUES(?, ?, ?)");
  if (!put.ok()) return from_sqlite(put.rc());
  put.bind(1, s.id).bind(2, p.id).bind(3, int64_t(p.type));
  if (put.step() != SQLITE_DONE) return from_sqlite(put.rc());
  if (column_exists) return StoreError::None;
  return from_sqlite(exec(db, "ALTER TABLE " + s.table + " ADD COLUMN " + column_name(p.id)));
}

// Inserts (oid 0) or updates the record; inside a transaction. Returns the oid or 0.
uint32_t put_record(DatabaseState& s, uint32_t oid, std::span<const Property> properties,
                    StoreError* error) {
  std::string sql;
  if (oid == 0 && properties.empty()) {
    sql = "INSERT INTO " + s.table + " DEFAULT VALUES";
  } else if (oid == 0) {
    std::string names, marks;
    for (const Property& p : properties) {
      names += (names.empty() ? "" : ", ") + column_name(p.id);
      marks += marks.empty() ? "?" : ", ?";
    }
    sql = "INSERT INTO " + s.table + "(" + names + ") VALUES(" + marks + ")";
  } else {
    std::string sets = "oid = oid";
    for (const Property& p : properties) sets += ", " + column_name(p.id) + " = ?";
    sql = "UPDATE " + s.table + " SET " + sets + " WHERE oid = ?";
  }
  Statement st(s.connection->db, sql);
  if (!st.ok()) {
    *error = from_sqlite(st.rc());
    return 0;
  }
  int index = 1;
  for (const Property& p : properties) bind_property(st.get(), index++, p);
  if (oid != 0) st.bind(index, oid);
  if (st.step() != SQLITE_DONE) {
    *error = from_sqlite(st.rc());
    return 0;
  }
  sqlite3_int64 row = oid != 0 ? oid : sqlite3_last_insert_rowid(s.connection->db);
  if (sqlite3_changes(s.connection->db) == 0 || row <= 0 ||
      row > std::numeric_limits<uint32_t>::max()) {
    *error = StoreError::InvalidParameter;
    return 0;
  }
  return uint32_t(row);
}

}  // namespace

Property Property::int16(uint16_t id, int16_t value) {
  return {id, PropertyType::Int16, value, {}, {}};
}
Property Property::uint16(uint16_t id, uint16_t value) {
  return {id, PropertyType::UInt16, value, {}, {}};
}
Property Property::int32(uint16_t id, int32_t value) {
  return {id, PropertyType::Int32, value, {}, {}};
}
Property Property::uint32(uint16_t id, uint32_t value) {
  return {id, PropertyType::UInt32, value, {}, {}};
}
Property Property::string(uint16_t id, std::u16string value) {
  return {id, PropertyType::String, 0, std::move(value), {}};
}
Property Property::bytes(uint16_t id, std::vector<uint8_t> value) {
  return {id, PropertyType::Blob, 0, {}, std::move(value)};
}
Property Property::file_time(uint16_t id, int64_t value) {
  return {id, PropertyType::FileTime, value, {}, {}};
}

const Property* Record::find(uint16_t id) const {
  for (const Property& p : properties) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

// ---- Database ----

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

bool Database::is_open() const {
  return state_ && state_->connection && state_->connection->mounted;
}

void Database::close() { state_.reset(); }

uint32_t Database::type() const { return state_ ? state_->type : 0; }

StoreError Database::last_error() const {
  return state_ ? state_->error : StoreError::InvalidHandle;
}

uint32_t Database::record_count() {
  if (!is_open()) return 0;
  Statement q(state_->connection->db, "SELECT count(*) FROM " + state_->table);
  if (!q.ok() || q.step() != SQLITE_ROW) {
    state_->error = from_sqlite(q.rc());
    return 0;
  }
  state_->error = StoreError::None;
  return uint32_t(sqlite3_column_int64(q.get(), 0));
}

bool Database::seek_first() {
  if (!is_open()) return false;
  DatabaseState& s = *state_;
  sqlite3_finalize(s.cursor);
  s.cursor = nullptr;
  if ((s.error = load_columns(s)) != StoreError::None) return false;
  std::string sql = "SELECT oid";
  for (const auto& column : s.columns) sql += ", " + column_name(column.first);
  sql += " FROM " + s.table + " ORDER BY ";
  for (const SortKey& key : s.order) {
    // A key on a property no record holds (a damaged catalog can name one) orders nothing,
    // since every record lacks it; naming its missing column would fail the whole read.
    const bool held = std::any_of(s.columns.begin(), s.columns.end(), [&](const auto& column) {
      return column.first == key.property_id;
    });
    if (!held) continue;
    sql += column_name(key.property_id) +
           (key.direction == Direction::Descending ? " DESC, " : " ASC, ");
  }
  sql += "oid";
  int rc = sqlite3_prepare_v2(s.connection->db, sql.c_str(), int(sql.size()), &s.cursor, nullptr);
  s.error = from_sqlite(rc);
  return rc == SQLITE_OK;
}

std::optional<Record> Database::read_next() {
  if (!is_open()) return std::nullopt;
  DatabaseState& s = *state_;
  if (!s.cursor && !seek_first()) return std::nullopt;
  int rc = sqlite3_step(s.cursor);
  if (rc != SQLITE_ROW) {
    s.error = rc == SQLITE_DONE ? StoreError::NoMoreItems : from_sqlite(rc);
    return std::nullopt;
  }
  Record record;
  record.oid = uint32_t(sqlite3_column_int64(s.cursor, 0));
  for (size_t i = 0; i < s.columns.size(); ++i) {
    int index = int(i) + 1;
    if (sqlite3_column_type(s.cursor, index) == SQLITE_NULL) continue;
    record.properties.push_back(
        column_property(s.cursor, index, s.columns[i].first, s.columns[i].second));
  }
  s.error = StoreError::None;
  return record;
}

std::optional<uint32_t> Database::write_record(uint32_t oid, std::span<const Property> properties) {
  if (!is_open()) return std::nullopt;
  DatabaseState& s = *state_;
  if (!valid_properties(properties)) {
    s.error = StoreError::InvalidParameter;
    return std::nullopt;
  }
  // A write ends a read in progress: the next read starts at the first record again.
  sqlite3_finalize(s.cursor);
  s.cursor = nullptr;
  sqlite3* db = s.connection->db;
  int rc = exec(db, "BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) {
    s.error = from_sqlite(rc);
    return std::nullopt;
  }
  StoreError error = StoreError::None;
  for (const Property& p : properties) {
    if ((error = ensure_column(s, p)) != StoreError::None) break;
  }
  uint32_t written = error == StoreError::None ? put_record(s, oid, properties, &error) : 0;
  if (written != 0 && (rc = exec(db, "COMMIT")) != SQLITE_OK) error = from_sqlite(rc);
  if (error != StoreError::None || written == 0) {
    exec(db, "ROLLBACK");
    s.error = error == StoreError::None ? StoreError::InvalidParameter : error;
    return std::nullopt;
  }
  s.error = StoreError::None;
  return written;
}

bool Database::delete_record(uint32_t oid) {
  if (!is_open()) return false;
  sqlite3_finalize(state_->cursor);
  state_->cursor = nullptr;
  Statement st(state_->connection->db, "DELETE FROM " + state_->table + " WHERE oid = ?");
  if (!st.ok() || st.bind(1, oid).step() != SQLITE_DONE) {
    state_->error = from_sqlite(st.rc());
    return false;
  }
  bool deleted = sqlite3_changes(state_->connection->db) > 0;
  state_->error = deleted ? StoreError::None : StoreError::InvalidParameter;
  return deleted;
}

bool Database::delete_all_records() {
  if (!is_open()) return false;
  sqlite3_finalize(state_->cursor);
  state_->cursor = nullptr;
  state_->error = from_sqlite(exec(state_->connection->db, "DELETE FROM " + state_->table));
  return state_->error == StoreError::None;
}

// ---- Volume ----

Volume::Volume() = default;
Volume::~Volume() { unmount(); }

bool Volume::is_mounted() const { return connection_ && connection_->mounted; }

void Volume::unmount() {
  if (!connection_) return;
  connection_->mounted = false;
  connection_.reset();
}

StoreError Volume::mount(std::string_view panel_path) {
  unmount();
  moved_aside_.clear();
  std::string host = translate_path(panel_path);
  if (host.empty()) return StoreError::InvalidParameter;
  struct stat st;
  bool existed = ::stat(host.c_str(), &st) == 0;
  if (existed && !S_ISREG(st.st_mode)) return StoreError::AccessDenied;
  auto connection = std::make_shared<Connection>();
  if (existed) {
    StoreError error = StoreError::None;
    Health health = check_volume(host, &connection->db, &error);
    if (health == Health::Failed)
      return error == StoreError::None ? StoreError::DeviceFailure : error;
    if (health == Health::Damaged) {
      sqlite3_close_v2(connection->db);
      connection->db = nullptr;
      if (!move_aside(host, &moved_aside_)) return StoreError::DeviceFailure;
    }
  }
  if (!connection->db) {
    int rc = sqlite3_open_v2(host.c_str(), &connection->db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) return from_sqlite(rc);
    configure(connection->db);
  }
  StoreError error = prepare_volume(connection->db);
  if (error != StoreError::None) return error;
  connection->mounted = true;
  connection_ = std::move(connection);
  return StoreError::None;
}

StoreError Volume::create_database(std::string_view name, uint32_t type,
                                   std::span<const SortOrder> orders) {
  if (!is_mounted()) return StoreError::InvalidHandle;
  if (!valid_name(name) || !valid_orders(orders)) return StoreError::InvalidParameter;
  sqlite3* db = connection_->db;
  int rc = exec(db, "BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) return from_sqlite(rc);
  Statement add(db, "INSERT INTO store_databases(name, type) VALUES(?, ?)");
  if (!add.ok() || add.bind(1, name).bind(2, type).step() != SQLITE_DONE) {
    int failed = add.rc();
    exec(db, "ROLLBACK");
    return (failed & 0xff) == SQLITE_CONSTRAINT ? StoreError::AlreadyExists : from_sqlite(failed);
  }
  std::string id = std::to_string(sqlite3_last_insert_rowid(db));
  std::string table = "records_" + id;
  std::string columns, script;
  std::vector<uint16_t> seen;
  for (size_t k = 0; k < orders.size(); ++k) {
    std::string keys;
    for (size_t i = 0; i < orders[k].keys.size(); ++i) {
      const SortKey& key = orders[k].keys[i];
      bool descending = key.direction == Direction::Descending;
      keys += (i ? ", " : "") + column_name(key.property_id) + (descending ? " DESC" : " ASC");
      script += "INSERT INTO store_sort_keys VALUES(" + id + ", " + std::to_string(k) + ", " +
                std::to_string(i) + ", " + std::to_string(key.property_id) + ", " +
                (descending ? "1" : "0") + ");";
      if (std::find(seen.begin(), seen.end(), key.property_id) != seen.end()) continue;
      seen.push_back(key.property_id);
      columns += ", " + column_name(key.property_id);
      script += "INSERT INTO store_properties VALUES(" + id + ", " +
                std::to_string(key.property_id) + ", NULL);";
    }
    script += "CREATE INDEX " + table + "_order_" + std::to_string(k) + " ON " + table + "(" +
              keys + ");";
  }
  script =
      "CREATE TABLE " + table + "(oid INTEGER PRIMARY KEY AUTOINCREMENT" + columns + ");" + script;
  rc = exec(db, script);
  if (rc == SQLITE_OK) rc = exec(db, "COMMIT");
  if (rc != SQLITE_OK) exec(db, "ROLLBACK");
  return from_sqlite(rc);
}

StoreError Volume::open_database(std::string_view name, size_t sort_order, Database* out) {
  if (!out) return StoreError::InvalidParameter;
  out->close();
  if (!is_mounted()) return StoreError::InvalidHandle;
  if (!valid_name(name)) return StoreError::InvalidParameter;
  auto state = std::make_unique<DatabaseState>();
  state->connection = connection_;
  Statement find(connection_->db, "SELECT id, type FROM store_databases WHERE name = ?");
  if (!find.ok()) return from_sqlite(find.rc());
  int rc = find.bind(1, name).step();
  if (rc == SQLITE_DONE) return StoreError::FileNotFound;
  if (rc != SQLITE_ROW) return from_sqlite(rc);
  state->id = sqlite3_column_int64(find.get(), 0);
  state->type = uint32_t(sqlite3_column_int64(find.get(), 1));
  state->table = "records_" + std::to_string(state->id);
  Statement keys(connection_->db,
                 "SELECT sort_order, property_id, descending FROM store_sort_keys"
                 " WHERE database_id = ? ORDER BY sort_order, position");
  if (!keys.ok()) return from_sqlite(keys.rc());
  keys.bind(1, state->id);
  size_t orders = 0;
  while (keys.step() == SQLITE_ROW) {
    size_t order = size_t(sqlite3_column_int64(keys.get(), 0));
    orders = std::max(orders, order + 1);
    if (order != sort_order) continue;
    Direction direction =
        sqlite3_column_int(keys.get(), 2) ? Direction::Descending : Direction::Ascending;
    state->order.push_back({uint16_t(sqlite3_column_int(keys.get(), 1)), direction});
  }
  if (keys.rc() != SQLITE_DONE) return from_sqlite(keys.rc());
  if (sort_order >= std::max<size_t>(orders, 1)) return StoreError::InvalidParameter;
  Statement table(connection_->db,
                  "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ?");
  if (!table.ok() || table.bind(1, state->table).step() != SQLITE_ROW)
    return from_sqlite(table.rc());
  if (sqlite3_column_int(table.get(), 0) != 1) return StoreError::Corrupt;
  if (StoreError error = load_columns(*state); error != StoreError::None) return error;
  out->state_ = std::move(state);
  return StoreError::None;
}

StoreError Volume::delete_database(std::string_view name) {
  if (!is_mounted()) return StoreError::InvalidHandle;
  if (!valid_name(name)) return StoreError::InvalidParameter;
  sqlite3* db = connection_->db;
  int rc = exec(db, "BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) return from_sqlite(rc);
  std::string id;
  {
    // Finished before the drop: a table cannot be dropped while a statement is still pending.
    Statement find(db, "SELECT id FROM store_databases WHERE name = ?");
    rc = find.ok() ? find.bind(1, name).step() : find.rc();
    if (rc == SQLITE_ROW) id = std::to_string(sqlite3_column_int64(find.get(), 0));
  }
  if (rc != SQLITE_ROW) {
    exec(db, "ROLLBACK");
    return rc == SQLITE_DONE ? StoreError::FileNotFound : from_sqlite(rc);
  }
  rc = exec(db, "DROP TABLE IF EXISTS records_" + id + ";" +
                    "DELETE FROM store_sort_keys WHERE database_id = " + id + ";" +
                    "DELETE FROM store_properties WHERE database_id = " + id + ";" +
                    "DELETE FROM store_databases WHERE id = " + id + ";");
  if (rc == SQLITE_OK) rc = exec(db, "COMMIT");
  if (rc != SQLITE_OK) exec(db, "ROLLBACK");
  return from_sqlite(rc);
}

StoreError delete_volume(std::string_view panel_path) {
  std::string host = translate_path(panel_path);
  if (host.empty()) return StoreError::InvalidParameter;
  for (const char* companion : kVolumeCompanions) ::unlink((host + companion).c_str());
  if (::unlink(host.c_str()) == 0) return StoreError::None;
  if (errno == ENOENT) return StoreError::FileNotFound;
  return errno == EACCES || errno == EPERM || errno == EISDIR ? StoreError::AccessDenied
                                                              : StoreError::DeviceFailure;
}

}  // namespace platform::store
