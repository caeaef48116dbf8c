#include "platform/store/record_store.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>

#include "platform/io/paths.h"
#include "platform/io/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace platform::store;

constexpr const char* kVolume = "\\Hard Disk\\ShutdownHistoryDB";
constexpr const char* kDatabase = "ShutdownHistoryDB";
enum : size_t { kWarningOrder, kNodeOrder, kTimeOrder };

// The three orders the shutdown history keeps: by warning, by node and by time.
std::vector<SortOrder> history_orders() {
  return {{{{1}, {2}, {3}}}, {{{2}, {1}, {3}}}, {{{3}, {1}, {2}}}};
}

class RecordStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    disk = tmp / "disk";
    fs::create_directories(disk);
    platform::set_disk_root(disk);
  }
  void TearDown() override { platform::set_disk_root(""); }

  void create_history() {
    ASSERT_EQ(volume.mount(kVolume), StoreError::None);
    auto orders = history_orders();
    ASSERT_EQ(volume.create_database(kDatabase, 0, orders), StoreError::None);
  }
  uint32_t add(Database& db, const std::u16string& text, const std::u16string& node, int64_t time) {
    Property props[] = {Property::string(1, text), Property::string(2, node),
                        Property::file_time(3, time)};
    auto oid = db.write_record(0, props);
    EXPECT_TRUE(oid.has_value());
    return oid.value_or(0);
  }
  std::vector<uint32_t> read_order(size_t order) {
    Database db;
    EXPECT_EQ(volume.open_database(kDatabase, order, &db), StoreError::None);
    std::vector<uint32_t> oids;
    EXPECT_TRUE(db.seek_first());
    while (auto record = db.read_next()) oids.push_back(record->oid);
    EXPECT_EQ(db.last_error(), StoreError::NoMoreItems);
    return oids;
  }

  test_support::TempDir tmp;
  std::string disk;
  Volume volume;
};

TEST_F(RecordStoreTest, RecordsComeBackInEachSortOrder) {
  create_history();
  Database db;
  ASSERT_EQ(volume.open_database(kDatabase, kWarningOrder, &db), StoreError::None);
  uint32_t a = add(db, u"0E03 LOW PLENUM", u"FAN/HEATER #2", 300);
  uint32_t b = add(db, u"0101 HIGH LIMIT", u"MAIN I/O", 100);
  uint32_t c = add(db, u"0E03 LOW PLENUM", u"FAN/HEATER #1", 200);
  uint32_t d = add(db, u"0101 HIGH LIMIT", u"FAN/HEATER #1", 400);
  EXPECT_EQ(db.record_count(), 4u);
  EXPECT_EQ(read_order(kWarningOrder), (std::vector<uint32_t>{d, b, c, a}));
  EXPECT_EQ(read_order(kNodeOrder), (std::vector<uint32_t>{d, c, a, b}));
  EXPECT_EQ(read_order(kTimeOrder), (std::vector<uint32_t>{b, c, a, d}));

  ASSERT_TRUE(db.seek_first());
  auto first = db.read_next();
  ASSERT_TRUE(first.has_value());
  ASSERT_EQ(first->properties.size(), 3u);
  EXPECT_EQ(first->find(1)->text, u"0101 HIGH LIMIT");
  EXPECT_EQ(first->find(2)->text, u"FAN/HEATER #1");
  EXPECT_EQ(first->find(3)->integer, 400);
  EXPECT_EQ(first->find(4), nullptr);
  EXPECT_EQ(volume.open_database(kDatabase, 3, &db), StoreError::InvalidParameter);
}

TEST_F(RecordStoreTest, DescendingKeysAndEqualKeysInWriteOrder) {
  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  std::vector<SortOrder> orders = {{{{5, Direction::Descending}}}};
  ASSERT_EQ(volume.create_database("Counts", 7, orders), StoreError::None);
  Database db;
  ASSERT_EQ(volume.open_database("counts", 0, &db), StoreError::None);
  EXPECT_EQ(db.type(), 7u);
  std::vector<uint32_t> oids;
  for (int value : {3, -2, 3, 9}) {
    Property p[] = {Property::int32(5, value)};
    oids.push_back(db.write_record(0, p).value_or(0));
  }
  std::vector<uint32_t> got;
  ASSERT_TRUE(db.seek_first());
  while (auto r = db.read_next()) got.push_back(r->oid);
  EXPECT_EQ(got, (std::vector<uint32_t>{oids[3], oids[0], oids[2], oids[1]}));
}

TEST_F(RecordStoreTest, EveryPropertyTypeRoundTripsAtItsLimits) {
  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  ASSERT_EQ(volume.create_database("Types", 0, {}), StoreError::None);
  Database db;
  ASSERT_EQ(volume.open_database("Types", 0, &db), StoreError::None);
  const std::u16string text = u"Trocknung \u00FC\u0416 \U0001F33E end";
  const std::vector<uint8_t> blob = {0, 1, 0, 255, 0};
  std::vector<Property> props = {
      Property::int16(1, -32768),        Property::uint16(2, 65535), Property::int32(3, INT32_MIN),
      Property::uint32(4, 4294967295u),  Property::string(5, text),  Property::bytes(6, blob),
      Property::file_time(7, INT64_MAX), Property::string(8, u""),   Property::bytes(9, {})};
  auto oid = db.write_record(0, props);
  ASSERT_TRUE(oid.has_value());
  ASSERT_TRUE(db.seek_first());
  auto record = db.read_next();
  ASSERT_TRUE(record.has_value());
  ASSERT_EQ(record->properties.size(), props.size());
  for (const Property& want : props) {
    const Property* got = record->find(want.id);
    ASSERT_NE(got, nullptr) << want.id;
    EXPECT_EQ(got->type, want.type) << want.id;
    EXPECT_EQ(got->integer, want.integer) << want.id;
    EXPECT_EQ(got->text, want.text) << want.id;
    EXPECT_EQ(got->blob, want.blob) << want.id;
  }
}

TEST_F(RecordStoreTest, BadWritesAreRefusedWholeAndChangeNothing) {
  create_history();
  Database db;
  ASSERT_EQ(volume.open_database(kDatabase, kTimeOrder, &db), StoreError::None);
  uint32_t oid = add(db, u"A", u"B", 1);
  Property wrong_type[] = {Property::string(1, u"new"), Property::int32(3, 5)};
  EXPECT_FALSE(db.write_record(0, wrong_type).has_value());
  EXPECT_EQ(db.last_error(), StoreError::InvalidParameter);
  Property out_of_range[] = {Property::string(1, u"x"), Property::int16(9, 0)};
  out_of_range[1].integer = 40000;
  EXPECT_FALSE(db.write_record(0, out_of_range).has_value());
  Property repeated[] = {Property::string(1, u"x"), Property::string(1, u"y")};
  EXPECT_FALSE(db.write_record(0, repeated).has_value());
  Property no_id[] = {Property::string(0, u"x")};
  EXPECT_FALSE(db.write_record(0, no_id).has_value());
  Property update[] = {Property::string(2, u"MAIN I/O")};
  EXPECT_FALSE(db.write_record(oid + 100, update).has_value());
  EXPECT_EQ(db.record_count(), 1u);

  // An update replaces only the properties it names.
  EXPECT_EQ(db.write_record(oid, update), oid);
  ASSERT_TRUE(db.seek_first());
  auto record = db.read_next();
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->find(1)->text, u"A");
  EXPECT_EQ(record->find(2)->text, u"MAIN I/O");
  EXPECT_EQ(record->find(9), nullptr);
}

TEST_F(RecordStoreTest, RecordsSurviveUnmountAndDeletesNeverReuseIds) {
  create_history();
  {
    Database db;
    ASSERT_EQ(volume.open_database(kDatabase, kWarningOrder, &db), StoreError::None);
    add(db, u"B", u"n", 2);
    add(db, u"A", u"n", 1);
  }
  volume.unmount();
  EXPECT_FALSE(volume.is_mounted());
  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  EXPECT_TRUE(volume.moved_aside_path().empty());
  auto orders = history_orders();
  EXPECT_EQ(volume.create_database(kDatabase, 0, orders), StoreError::AlreadyExists);
  EXPECT_EQ(read_order(kWarningOrder), (std::vector<uint32_t>{2, 1}));
  EXPECT_EQ(read_order(kTimeOrder), (std::vector<uint32_t>{2, 1}));

  Database db;
  ASSERT_EQ(volume.open_database(kDatabase, kTimeOrder, &db), StoreError::None);
  EXPECT_TRUE(db.delete_record(2));
  EXPECT_FALSE(db.delete_record(2));
  EXPECT_EQ(db.record_count(), 1u);
  EXPECT_TRUE(db.delete_all_records());
  EXPECT_EQ(db.record_count(), 0u);
  EXPECT_EQ(add(db, u"C", u"n", 3), 3u);

  // A database used after the volume is gone fails instead of touching it.
  volume.unmount();
  EXPECT_FALSE(db.is_open());
  EXPECT_EQ(db.record_count(), 0u);
  Property p[] = {Property::string(1, u"late")};
  EXPECT_FALSE(db.write_record(0, p).has_value());
  EXPECT_EQ(volume.open_database(kDatabase, 0, &db), StoreError::InvalidHandle);
}

TEST_F(RecordStoreTest, MissingDatabasesAndBadRequestsGiveTheirCodes) {
  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  Database db;
  EXPECT_EQ(volume.open_database(kDatabase, 0, &db), StoreError::FileNotFound);
  EXPECT_EQ(uint32_t(StoreError::FileNotFound), 2u);
  EXPECT_EQ(uint32_t(StoreError::InvalidParameter), 87u);
  EXPECT_EQ(uint32_t(StoreError::NotEnoughMemory), 8u);
  std::vector<SortOrder> too_many(5, SortOrder{{{1}}});
  EXPECT_EQ(volume.create_database("X", 0, too_many), StoreError::InvalidParameter);
  std::vector<SortOrder> too_long = {{{{1}, {2}, {3}, {4}}}};
  EXPECT_EQ(volume.create_database("X", 0, too_long), StoreError::InvalidParameter);
  EXPECT_EQ(volume.create_database("", 0, {}), StoreError::InvalidParameter);
  EXPECT_EQ(volume.open_database("X", 0, nullptr), StoreError::InvalidParameter);
  ASSERT_EQ(volume.create_database("X", 0, {}), StoreError::None);
  EXPECT_EQ(volume.open_database("X", 1, &db), StoreError::InvalidParameter);
  EXPECT_EQ(volume.delete_database("x"), StoreError::None);
  EXPECT_EQ(volume.delete_database("x"), StoreError::FileNotFound);
  fs::create_directories(disk + "/Folder");
  Volume other;
  EXPECT_EQ(other.mount("\\Hard Disk\\Folder"), StoreError::AccessDenied);
  EXPECT_EQ(other.mount("\\Hard Disk\\No Such Folder\\DB"), StoreError::FileNotFound);
  EXPECT_FALSE(other.is_mounted());
}

TEST_F(RecordStoreTest, AVolumeThatIsNotADatabaseIsMovedAsideAndANewOneMade) {
  std::vector<uint8_t> garbage(5000);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 7 + 3);
  test_support::write_bytes(disk + "/ShutdownHistoryDB", garbage);
  // A stale journal beside it must not roll into the new volume.
  test_support::write_bytes(disk + "/ShutdownHistoryDB-journal", std::vector<uint8_t>(600, 0xD9));
  create_history();
  const std::string moved = volume.moved_aside_path();
  ASSERT_FALSE(moved.empty());
  EXPECT_EQ(test_support::read_bytes(moved), garbage);
  EXPECT_EQ(fs::path(moved).parent_path(), fs::path(disk));
  EXPECT_EQ(read_order(kTimeOrder).size(), 0u);
  {
    Database db;
    ASSERT_EQ(volume.open_database(kDatabase, 0, &db), StoreError::None);
    add(db, u"A", u"B", 1);
  }
  volume.unmount();
  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  EXPECT_TRUE(volume.moved_aside_path().empty());
  EXPECT_EQ(read_order(kTimeOrder).size(), 1u);
  EXPECT_FALSE(fs::exists(disk + "/ShutdownHistoryDB-journal"));
}

TEST_F(RecordStoreTest, ADamagedOrForeignDatabaseIsMovedAsideNotDeleted) {
  create_history();
  {
    Database db;
    ASSERT_EQ(volume.open_database(kDatabase, 0, &db), StoreError::None);
    for (int i = 0; i < 100; ++i) add(db, std::u16string(300, char16_t('a' + i % 26)), u"node", i);
  }
  volume.unmount();
  std::string path = disk + "/ShutdownHistoryDB";
  auto bytes = test_support::read_bytes(path);
  ASSERT_GT(bytes.size(), 8192u);
  // Scribble over the page headers of every page after the first (the schema page).
  for (size_t page = 4096; page < bytes.size(); page += 4096) {
    for (size_t k = 0; k < 12; ++k) bytes[page + k] = 0xEE;
  }
  test_support::write_bytes(path, bytes);
  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  ASSERT_FALSE(volume.moved_aside_path().empty());
  EXPECT_EQ(test_support::read_bytes(volume.moved_aside_path()), bytes);
  Database db;
  EXPECT_EQ(volume.open_database(kDatabase, 0, &db), StoreError::FileNotFound);

  // A sound database of some other program is not ours to write into either.
  volume.unmount();
  std::string first_moved = volume.moved_aside_path();
  ASSERT_EQ(delete_volume(kVolume), StoreError::None);
  {
    Volume foreign_source;
    ASSERT_EQ(foreign_source.mount("\\Hard Disk\\other.db"), StoreError::None);
    ASSERT_EQ(foreign_source.create_database("Theirs", 0, {}), StoreError::None);
  }
  auto foreign = test_support::read_bytes(disk + "/other.db");
  // Clear the mark that makes it ours; what is left is a valid database with tables.
  foreign[68] = foreign[69] = foreign[70] = foreign[71] = 0;
  test_support::write_bytes(path, foreign);
  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  ASSERT_FALSE(volume.moved_aside_path().empty());
  EXPECT_NE(volume.moved_aside_path(), first_moved);
  EXPECT_EQ(test_support::read_bytes(volume.moved_aside_path()), foreign);
  EXPECT_TRUE(fs::exists(first_moved));
}

// A catalog whose sort order names a property that no record holds (seen in a damaged volume)
// still reads every record in every order; the missing key orders nothing.
TEST_F(RecordStoreTest, ASortKeyOnAPropertyNoRecordHoldsOrdersNothing) {
  create_history();
  uint32_t a, b, c;
  {
    Database db;
    ASSERT_EQ(volume.open_database(kDatabase, kWarningOrder, &db), StoreError::None);
    a = add(db, u"0E03 LOW PLENUM", u"FAN/HEATER #2", 300);
    b = add(db, u"0101 HIGH LIMIT", u"MAIN I/O", 100);
    c = add(db, u"0101 HIGH LIMIT", u"FAN/HEATER #1", 200);
  }
  volume.unmount();
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open((disk + "/ShutdownHistoryDB").c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "UPDATE store_sort_keys SET property_id = 64"
                         " WHERE sort_order = 0 AND position = 0",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);

  ASSERT_EQ(volume.mount(kVolume), StoreError::None);
  EXPECT_TRUE(volume.moved_aside_path().empty());
  // The warning order is now node, then time.
  EXPECT_EQ(read_order(kWarningOrder), (std::vector<uint32_t>{c, a, b}));
  EXPECT_EQ(read_order(kTimeOrder), (std::vector<uint32_t>{b, c, a}));
}

TEST_F(RecordStoreTest, DeletingTheVolumeStartsAnEmptyHistory) {
  create_history();
  {
    Database db;
    ASSERT_EQ(volume.open_database(kDatabase, 0, &db), StoreError::None);
    add(db, u"A", u"B", 1);
  }
  volume.unmount();
  EXPECT_EQ(delete_volume(kVolume), StoreError::None);
  EXPECT_EQ(delete_volume(kVolume), StoreError::FileNotFound);
  EXPECT_TRUE(test_support::list_names(disk).empty());
  create_history();
  EXPECT_TRUE(volume.moved_aside_path().empty());
  EXPECT_EQ(read_order(kTimeOrder).size(), 0u);
}

}  // namespace
