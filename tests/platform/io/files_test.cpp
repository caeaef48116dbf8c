#include "platform/io/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/io/file_hazards.h"
#include "platform/io/paths.h"
#include "platform/io/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;
using test_support::read_bytes;
using test_support::write_text;

class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    disk = tmp / "disk";
    fs::create_directories(disk);
    set_disk_root(disk);
  }
  void TearDown() override {
    set_disk_root("");
    set_usb_root("");
  }
  std::vector<std::string> names(const std::vector<FindEntry>& entries) {
    std::vector<std::string> out;
    for (const FindEntry& e : entries) out.push_back(e.name);
    return out;
  }

  test_support::TempDir tmp;
  std::string disk;
};

TEST_F(FilesTest, FindMatchesWildcardsWithoutRegardToCase) {
  fs::create_directories(disk + "/graphdatalog/GRAPH_DATA_LOG_24HR26_01_01_00_00_00.DAT");
  write_text(disk + "/graphdatalog/GRAPH_DATA_LOG_24HR26_03_14_13_05_09.DAT", std::string(36, 'r'));
  write_text(disk + "/graphdatalog/graph_data_log_24hr26_03_15_00_00_00.dat", "");
  write_text(disk + "/graphdatalog/GRAPH_DATA_LOG_24HR26_03_14_13_05_9.DAT", "");
  write_text(disk + "/graphdatalog/GRAPH_DATA_LOG_24HR26_03_14_13_05_09.DAT.bak", "");
  auto found = find_files("\\Hard Disk\\GraphDataLog\\GRAPH_DATA_LOG_24HR??_??_??_??_??_??.DAT");
  ASSERT_EQ(found.size(), 3u);
  std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.name < b.name; });
  EXPECT_EQ(found[0].name, "GRAPH_DATA_LOG_24HR26_01_01_00_00_00.DAT");
  EXPECT_TRUE(found[0].is_folder);
  EXPECT_EQ(found[1].name, "GRAPH_DATA_LOG_24HR26_03_14_13_05_09.DAT");
  EXPECT_FALSE(found[1].is_folder);
  EXPECT_EQ(found[1].size, 36u);
  EXPECT_EQ(found[2].name, "graph_data_log_24hr26_03_15_00_00_00.dat");

  write_text(disk + "/noext", "");
  write_text(disk + "/aXbYc", "");
  write_text(disk + "/aXbY", "");
  EXPECT_EQ(names(find_files("\\Hard Disk\\a*b*c")), std::vector<std::string>{"aXbYc"});
  EXPECT_EQ(names(find_files("\\Hard Disk\\?oext")), std::vector<std::string>{"noext"});
  EXPECT_TRUE(find_files("\\Hard Disk\\??oext").empty());
  EXPECT_EQ(find_files("\\Hard Disk\\*.*").size(), 4u);  // "*.*" takes names without a dot too
  EXPECT_TRUE(find_files("\\Hard Disk\\Missing\\*").empty());
}

TEST_F(FilesTest, FindGivesOldestCreationFirst) {
  for (const char* name : {"z.csv", "m.csv", "a.csv"}) {
    write_text(disk + "/" + name, name);
    // File times tick coarsely; keep the three creations apart.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  auto found = find_files("\\Hard Disk\\*.CSV");
  EXPECT_EQ(names(found), (std::vector<std::string>{"z.csv", "m.csv", "a.csv"}));
  ASSERT_EQ(found.size(), 3u);
  EXPECT_LT(found[0].creation_ms, found[2].creation_ms);
  int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_NEAR(double(found[2].last_write_ms), double(now), 60'000.0);
}

TEST_F(FilesTest, FindWithoutWildcardsFindsTheOneObjectEvenADiskRoot) {
  set_usb_root(tmp / "usb");
  EXPECT_TRUE(find_files("\\Hard Disk2").empty());
  fs::create_directories(tmp / "usb");
  auto found = find_files("\\Hard Disk2");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].is_folder);
  EXPECT_TRUE(file_exists("\\hard disk2"));
}

TEST_F(FilesTest, AnExclusiveHolderShutsOutEveryOtherOpenAndNeverLosesItsData) {
  const char* path = "\\Hard Disk\\DataLog.csv";
  File holder;
  ASSERT_EQ(holder.open(path, OpenMode::OpenAlways, Access::ReadWrite, Sharing::Exclusive), FileStatus::Ok);
  ASSERT_EQ(holder.write("kept", 4), 4u);
  File other;
  EXPECT_EQ(other.open(path, OpenMode::OpenAlways, Access::ReadWrite, Sharing::Exclusive),
            FileStatus::SharingViolation);
  EXPECT_EQ(other.open(path, OpenMode::OpenExisting, Access::Read), FileStatus::SharingViolation);
  // A refused create-always must not have emptied the holder's file on its way.
  EXPECT_EQ(other.open(path, OpenMode::CreateAlways, Access::Write), FileStatus::SharingViolation);
  EXPECT_EQ(holder.size(), 4u);
  EXPECT_FALSE(other.is_open());
  holder.close();
  EXPECT_EQ(other.open(path, OpenMode::OpenExisting, Access::Read, Sharing::Exclusive), FileStatus::Ok);
}

TEST_F(FilesTest, SharedHoldersCoexistButKeepAnExclusiveOpenerOut) {
  write_text(disk + "/Strings.txt", "abc");
  File a, b, c;
  ASSERT_EQ(a.open("\\Hard Disk\\strings.txt", OpenMode::OpenExisting, Access::Read), FileStatus::Ok);
  ASSERT_EQ(b.open("\\Hard Disk\\STRINGS.TXT", OpenMode::OpenExisting, Access::Read), FileStatus::Ok);
  EXPECT_EQ(c.open("\\Hard Disk\\Strings.txt", OpenMode::OpenExisting, Access::ReadWrite, Sharing::Exclusive),
            FileStatus::SharingViolation);
}

TEST_F(FilesTest, OpenModesReadWriteSeekAndSize) {
  const char* path = "\\Hard Disk\\f.bin";
  File f;
  EXPECT_EQ(f.open(path, OpenMode::OpenExisting, Access::Read), FileStatus::NotFound);
  ASSERT_EQ(f.open(path, OpenMode::OpenAlways, Access::ReadWrite, Sharing::Exclusive, WriteThrough::On),
            FileStatus::Ok);
  EXPECT_EQ(f.size(), 0u);
  EXPECT_EQ(f.write("0123456789", 10), 10u);
  EXPECT_EQ(f.seek(-3, SeekFrom::End), 7u);
  char tail[8] = {};
  EXPECT_EQ(f.read(tail, sizeof tail), 3u);
  EXPECT_STREQ(tail, "789");
  EXPECT_EQ(f.seek(0, SeekFrom::End), 10u);
  EXPECT_EQ(f.write("AB", 2), 2u);
  EXPECT_FALSE(f.seek(-100, SeekFrom::Begin).has_value());
  f.close();
  EXPECT_FALSE(f.size().has_value());
  EXPECT_EQ(read_bytes(disk + "/f.bin").size(), 12u);

  EXPECT_EQ(f.open(path, OpenMode::CreateNew, Access::Write), FileStatus::AlreadyExists);
  ASSERT_EQ(f.open(path, OpenMode::CreateAlways, Access::Write), FileStatus::Ok);
  EXPECT_EQ(f.size(), 0u);
  ASSERT_EQ(f.open(path, OpenMode::OpenExisting, Access::Read), FileStatus::Ok);
  EXPECT_EQ(f.write("x", 1), 0u);  // read access only
  EXPECT_EQ(f.open("\\Hard Disk", OpenMode::OpenExisting, Access::Read), FileStatus::AccessDenied);
  EXPECT_EQ(f.open("\\Hard Disk\\No Folder\\f.bin", OpenMode::OpenAlways, Access::Write), FileStatus::NotFound);
  set_disk_root("");
  EXPECT_EQ(f.open(path, OpenMode::OpenAlways, Access::Write), FileStatus::InvalidArgument);
}

TEST_F(FilesTest, CopyRefusesAnExistingTargetAndLeavesNoPartialFile) {
  fs::create_directories(tmp / "usb");
  set_usb_root(tmp / "usb");
  std::string payload;
  for (int i = 0; i < 200'000; ++i) payload += char('A' + i % 26);
  fs::create_directories(disk + "/DataLog");
  write_text(disk + "/DataLog/LongTermDataLog.csv", payload);
  fs::last_write_time(disk + "/DataLog/LongTermDataLog.csv", fs::file_time_type::clock::now() - std::chrono::hours(5));
  const char* source = "\\Hard Disk\\DataLog\\LongTermDataLog.csv";

  ASSERT_EQ(copy_file(source, "\\Hard Disk2\\LongTermDataLog26_03_14_13_05_09.CSV"), FileStatus::Ok);
  std::string copy = tmp / "usb/LongTermDataLog26_03_14_13_05_09.CSV";
  auto bytes = read_bytes(copy);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), payload);
  EXPECT_EQ(fs::last_write_time(copy), fs::last_write_time(disk + "/DataLog/LongTermDataLog.csv"));

  // Same name again, in any case: refused, and the first copy stays as it is.
  write_text(copy, "first");
  EXPECT_EQ(copy_file(source, "\\Hard Disk2\\LongTermDataLog26_03_14_13_05_09.CSV"), FileStatus::AlreadyExists);
  EXPECT_EQ(copy_file(source, "\\Hard Disk2\\longtermdatalog26_03_14_13_05_09.csv"), FileStatus::AlreadyExists);
  EXPECT_EQ(read_bytes(copy).size(), 5u);

  EXPECT_EQ(copy_file("\\Hard Disk\\DataLog\\Missing.csv", "\\Hard Disk2\\x.csv"), FileStatus::NotFound);
  File holder;
  ASSERT_EQ(holder.open(source, OpenMode::OpenAlways, Access::ReadWrite, Sharing::Exclusive), FileStatus::Ok);
  EXPECT_EQ(copy_file(source, "\\Hard Disk2\\y.csv"), FileStatus::SharingViolation);
  EXPECT_EQ(test_support::list_names(tmp / "usb"), std::vector<std::string>{"LongTermDataLog26_03_14_13_05_09.CSV"});
}

TEST_F(FilesTest, DeleteAndCreateFolder) {
  EXPECT_EQ(create_folder("\\Hard Disk\\DataLog"), FileStatus::Ok);
  EXPECT_EQ(create_folder("\\hard disk\\datalog"), FileStatus::AlreadyExists);
  EXPECT_EQ(create_folder("\\Hard Disk\\A\\B"), FileStatus::NotFound);
  write_text(disk + "/DataLog/LongTermDataLog.csv", "x");
  EXPECT_TRUE(file_exists("\\Hard Disk\\DATALOG\\longtermdatalog.CSV"));
  EXPECT_EQ(delete_file("\\Hard Disk\\DataLog"), FileStatus::AccessDenied);
  EXPECT_EQ(delete_file("\\Hard Disk\\DataLog\\LONGTERMDATALOG.csv"), FileStatus::Ok);
  EXPECT_FALSE(file_exists("\\Hard Disk\\DataLog\\LongTermDataLog.csv"));
  EXPECT_EQ(delete_file("\\Hard Disk\\DataLog\\LongTermDataLog.csv"), FileStatus::NotFound);
  EXPECT_TRUE(fs::is_directory(disk + "/DataLog"));
}

TEST_F(FilesTest, OnlyARegularFileOpensAndAFifoIsRefusedWithoutWaiting) {
  struct Case {
    OpenMode mode;
    Access access;
  };
  const Case cases[] = {{OpenMode::OpenExisting, Access::Read},
                        {OpenMode::OpenExisting, Access::Write},
                        {OpenMode::OpenAlways, Access::ReadWrite},
                        {OpenMode::CreateAlways, Access::Write}};
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "pipe" + std::to_string(n++);
    FileStatus status = FileStatus::Ok;
    EXPECT_TRUE(test_support::returns_promptly(disk + "/" + name, [&] {
      File f;
      status = f.open("\\Hard Disk\\" + name, c.mode, c.access);
    })) << name << " blocked in open";
    EXPECT_EQ(status, FileStatus::AccessDenied) << name;
  }
  File f;
  EXPECT_EQ(f.open("/dev/null", OpenMode::OpenExisting, Access::Read), FileStatus::AccessDenied);
  // A regular file opened this way reads and writes as usual, without the non-blocking flag.
  write_text(disk + "/plain.txt", "abc");
  ASSERT_EQ(f.open("\\Hard Disk\\plain.txt", OpenMode::OpenExisting, Access::Read), FileStatus::Ok);
  EXPECT_EQ(::fcntl(f.fd(), F_GETFL) & O_NONBLOCK, 0);
}

TEST_F(FilesTest, ReplaceFileSwapsTheWholeContentsOrLeavesTheOldFile) {
  const char* path = "\\Hard Disk\\Config.txt";
  const std::vector<uint8_t> first = {'G', 'e', 'r', 'm', 'a', 'n'};
  const std::vector<uint8_t> second = {'P', 'o', 'r', 't', 'u', 'g', 'u', 'e', 's', 'e'};
  ASSERT_EQ(replace_file(path, first), FileStatus::Ok);
  EXPECT_EQ(read_bytes(disk + "/Config.txt"), first);
  {
    // The disk cuts the write off: the old contents stay, and so does nothing else.
    test_support::FileSizeLimit cut_off(4);
    EXPECT_NE(replace_file(path, second), FileStatus::Ok);
  }
  EXPECT_EQ(read_bytes(disk + "/Config.txt"), first);
  EXPECT_EQ(test_support::list_names(disk), std::vector<std::string>{"Config.txt"});
  ASSERT_EQ(replace_file("\\hard disk\\CONFIG.TXT", second), FileStatus::Ok);
  EXPECT_EQ(read_bytes(disk + "/Config.txt"), second);
  EXPECT_EQ(test_support::list_names(disk), std::vector<std::string>{"Config.txt"});
  fs::create_directories(disk + "/Folder");
  EXPECT_EQ(replace_file("\\Hard Disk\\Folder", first), FileStatus::AccessDenied);
  EXPECT_EQ(replace_file("\\Hard Disk\\No Folder\\x.txt", first), FileStatus::NotFound);
}

TEST_F(FilesTest, AFullDiskIsReportedAsFullAndKeepsTheOldFile) {
  test_support::SmallDisk small(64);
  if (!small.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
  set_disk_root(small.path());
  const std::vector<uint8_t> old_bytes = {'o', 'l', 'd'};
  ASSERT_EQ(replace_file("\\Hard Disk\\Config.txt", old_bytes), FileStatus::Ok);
  small.fill();
  EXPECT_EQ(replace_file("\\Hard Disk\\Config.txt", std::vector<uint8_t>(100, 'n')),
            FileStatus::DiskFull);
  EXPECT_EQ(read_bytes(small.path() + "/Config.txt"), old_bytes);
  File f;
  ASSERT_EQ(f.open("\\Hard Disk\\Other.txt", OpenMode::CreateAlways, Access::Write),
            FileStatus::Ok);
  EXPECT_EQ(f.write("x", 1), 0u);
  f.close();
  const std::string copy = small.path() + "/Copy.txt";
  write_text(disk + "/source.txt", std::string(100, 's'));
  EXPECT_EQ(copy_file(disk + "/source.txt", copy), FileStatus::DiskFull);
  EXPECT_FALSE(fs::exists(copy));
}

}  // namespace
