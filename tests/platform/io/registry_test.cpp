#include "platform/io/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/io/file_hazards.h"
#include "platform/io/paths.h"
#include "platform/io/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace registry = platform::registry;

constexpr const char* kKey = "Software\\Tolvane\\CorvexDryer";

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    disk = tmp / "disk";
    fs::create_directories(disk);
    platform::set_disk_root(disk);
  }
  void TearDown() override { platform::set_disk_root(""); }

  std::vector<uint8_t> bytes(size_t n, uint8_t fill) { return std::vector<uint8_t>(n, fill); }

  test_support::TempDir tmp;
  std::string disk;
};

TEST_F(RegistryTest, AValueIsAFileAtItsKeyPathHoldingExactlyItsBytes) {
  ASSERT_TRUE(registry::create_key(kKey));
  ASSERT_TRUE(registry::write_value(kKey, "GRAPH_HORIZONTAL_SCALE", bytes(1, 7)));
  EXPECT_EQ(test_support::read_bytes(disk + "/Registry/HKEY_CURRENT_USER/Software/Tolvane/CorvexDryer/"
                                            "GRAPH_HORIZONTAL_SCALE"),
            bytes(1, 7));
  EXPECT_EQ(registry::read_value(kKey, "GRAPH_HORIZONTAL_SCALE"), bytes(1, 7));
  // Key and value names ignore case, as the panel's registry does.
  EXPECT_EQ(registry::read_value("software\\TOLVANE\\corvexdryer\\", "graph_horizontal_scale"), bytes(1, 7));
  ASSERT_TRUE(registry::write_value("SOFTWARE\\tolvane\\CorvexDryer", "Graph_Horizontal_Scale", bytes(1, 2)));
  EXPECT_EQ(test_support::list_names(disk + "/Registry/HKEY_CURRENT_USER/Software/Tolvane/CorvexDryer"),
            std::vector<std::string>{"GRAPH_HORIZONTAL_SCALE"});
  EXPECT_EQ(registry::read_value(kKey, "GRAPH_HORIZONTAL_SCALE"), bytes(1, 2));
}

TEST_F(RegistryTest, MissingKeysAndValuesReadAsNothingAndAreNotCreatedByWrites) {
  EXPECT_FALSE(registry::key_exists(kKey));
  EXPECT_EQ(registry::read_value(kKey, "SCREEN_VIEW_SELECTION"), std::nullopt);
  EXPECT_FALSE(registry::write_value(kKey, "SCREEN_VIEW_SELECTION", bytes(1, 1)));
  EXPECT_FALSE(fs::exists(disk + "/Registry"));
  ASSERT_TRUE(registry::create_key(kKey));
  EXPECT_TRUE(registry::key_exists(kKey));
  EXPECT_EQ(registry::read_value(kKey, "SCREEN_VIEW_SELECTION"), std::nullopt);
  // A value of another size is handed over as it is; the caller decides.
  ASSERT_TRUE(registry::write_value(kKey, "TEMP_DATA_LOG_SAMPLE_TIME", bytes(4, 10)));
  EXPECT_EQ(registry::read_value(kKey, "TEMP_DATA_LOG_SAMPLE_TIME")->size(), 4u);
  ASSERT_TRUE(registry::write_value(kKey, "EMPTY", {}));
  EXPECT_EQ(registry::read_value(kKey, "EMPTY"), std::vector<uint8_t>{});
  EXPECT_TRUE(registry::delete_value(kKey, "EMPTY"));
  EXPECT_EQ(registry::read_value(kKey, "EMPTY"), std::nullopt);
  EXPECT_TRUE(registry::delete_value(kKey, "EMPTY"));
}

TEST_F(RegistryTest, AnOversizedOrNonFileValueReadsAsNothing) {
  ASSERT_TRUE(registry::create_key(kKey));
  std::string folder = registry::key_folder(kKey);
  test_support::write_bytes(folder + "/HUGE", bytes(registry::kMaxValueBytes + 1, 0));
  fs::create_directories(folder + "/SUBKEY");
  EXPECT_EQ(registry::read_value(kKey, "HUGE"), std::nullopt);
  EXPECT_EQ(registry::read_value(kKey, "SUBKEY"), std::nullopt);
  EXPECT_FALSE(registry::write_value(kKey, "SUBKEY", bytes(1, 1)));
}

TEST_F(RegistryTest, AFifoInPlaceOfAValueIsRefusedWithoutWaiting) {
  ASSERT_TRUE(registry::create_key(kKey));
  std::optional<std::vector<uint8_t>> value = bytes(1, 1);
  EXPECT_TRUE(test_support::returns_promptly(registry::key_folder(kKey) + "/TEMP_SCALE", [&] {
    value = registry::read_value(kKey, "TEMP_SCALE");
  })) << "blocked in open";
  EXPECT_EQ(value, std::nullopt);
  // Writing the value puts a regular file in the FIFO's place.
  ASSERT_TRUE(registry::write_value(kKey, "TEMP_SCALE", bytes(1, 7)));
  EXPECT_EQ(registry::read_value(kKey, "TEMP_SCALE"), bytes(1, 7));
}

TEST_F(RegistryTest, NamesThatWouldLeaveTheStoreAreRefused) {
  ASSERT_TRUE(registry::create_key(kKey));
  const std::string bad_keys[] = {"..\\..\\outside", "Software\\..\\..\\..\\outside", "Software/../../outside",
                                  "Software\\\\Tolvane", "", "\\", ".", std::string("Soft\0ware", 9),
                                  std::string(256, 'k')};
  for (const std::string& key : bad_keys) {
    EXPECT_FALSE(registry::create_key(key)) << key;
    EXPECT_FALSE(registry::write_value(key, "V", bytes(1, 1))) << key;
    EXPECT_EQ(registry::read_value(key, "V"), std::nullopt) << key;
  }
  const std::string bad_names[] = {"..", ".", "a/b", "a\\b", "", ".hidden", std::string("x\0y", 3),
                                   "../../../outside", std::string(256, 'n')};
  for (const std::string& name : bad_names) {
    EXPECT_FALSE(registry::write_value(kKey, name, bytes(1, 1))) << name;
    EXPECT_EQ(registry::read_value(kKey, name), std::nullopt) << name;
    EXPECT_FALSE(registry::delete_value(kKey, name)) << name;
  }
  EXPECT_EQ(test_support::list_names(tmp.path()), std::vector<std::string>{"disk"});
  EXPECT_EQ(test_support::list_names(disk), std::vector<std::string>{"Registry"});
  EXPECT_TRUE(test_support::list_names(registry::key_folder(kKey)).empty());
  platform::set_disk_root("");
  EXPECT_FALSE(registry::create_key(kKey));
}

TEST_F(RegistryTest, AReaderNeverSeesATornValueWhileItIsRewritten) {
  ASSERT_TRUE(registry::create_key(kKey));
  ASSERT_TRUE(registry::write_value(kKey, "V", bytes(8192, 'A')));
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 150; ++i) registry::write_value(kKey, "V", bytes(8192, i % 2 ? 'B' : 'A'));
    done = true;
  });
  int reads = 0, torn = 0;
  while (!done) {
    auto value = registry::read_value(kKey, "V");
    ++reads;
    if (!value || value->size() != 8192 || std::count(value->begin(), value->end(), (*value)[0]) != 8192) ++torn;
  }
  writer.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(torn, 0);
}

TEST_F(RegistryTest, AWriterKilledHalfWayLeavesTheOldOrTheNewValueWhole) {
  ASSERT_TRUE(registry::create_key(kKey));
  ASSERT_TRUE(registry::write_value(kKey, "V", bytes(65536, 'A')));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (int i = 0;; ++i) registry::write_value(kKey, "V", bytes(65536, i % 2 ? 'B' : 'C'));
  }
  usleep(80'000);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  auto value = registry::read_value(kKey, "V");
  ASSERT_TRUE(value.has_value());
  ASSERT_EQ(value->size(), 65536u);
  EXPECT_EQ(std::count(value->begin(), value->end(), (*value)[0]), 65536);
  // Whatever temporary file the killed writer left is not a value, and the next write works.
  ASSERT_TRUE(registry::write_value(kKey, "V", bytes(3, 'D')));
  EXPECT_EQ(registry::read_value(kKey, "V"), bytes(3, 'D'));
}

}  // namespace
