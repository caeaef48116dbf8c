// Seeding a panel disk folder with the language data: the whole tree arrives, nothing present
// is touched, and a failure reports its real cause and leaves no half-copied folder behind.
#include "shell/disk_seed.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/io/file_hazards.h"
#include "platform/io/files.h"
#include "platform/io/temp_dir.h"

namespace corvex::shell {
namespace {

namespace fs = std::filesystem;

// Points CORVEX_DATA_DIR at a folder of made-up panel data for the life of the test.
class DiskSeed : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("CORVEX_DATA_DIR");
    had_old_ = old != nullptr;
    if (old) old_ = old;
    source = tmp / "data";
    write(source + "/Languages/EN/EnglishStrings.txt", std::string(300, 'e'));
    write(source + "/Languages/EN/Bitmaps/GRAPHIC_001_MAIN_TIMERS_BUTTON.BMP", "BM");
    write(source + "/Languages/DE/GermanStrings.txt", std::string(200 * 1024, 'g'));
    ::setenv("CORVEX_DATA_DIR", source.c_str(), 1);
  }
  void TearDown() override {
    if (had_old_)
      ::setenv("CORVEX_DATA_DIR", old_.c_str(), 1);
    else
      ::unsetenv("CORVEX_DATA_DIR");
  }
  static void write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  static uintmax_t size(const std::string& path) {
    std::error_code ec;
    return fs::file_size(path, ec);
  }

  test_support::TempDir tmp;
  std::string source;

 private:
  bool had_old_ = false;
  std::string old_;
};

TEST_F(DiskSeed, CopiesTheWholeTreeOnceAndNeverOverwrites) {
  const std::string disk = tmp / "disk";
  std::string error;
  ASSERT_TRUE(seed_disk(disk, &error)) << error;
  EXPECT_EQ(size(disk + "/Languages/EN/EnglishStrings.txt"), 300u);
  EXPECT_EQ(size(disk + "/Languages/EN/Bitmaps/GRAPHIC_001_MAIN_TIMERS_BUTTON.BMP"), 2u);
  EXPECT_EQ(size(disk + "/Languages/DE/GermanStrings.txt"), 200u * 1024);
  EXPECT_EQ(test_support::list_names(disk), std::vector<std::string>{"Languages"});

  // A disk that has its language folder, in any case, is left as it is.
  write(disk + "/Languages/EN/EnglishStrings.txt", "edited");
  fs::rename(disk + "/Languages", disk + "/languages");
  ASSERT_TRUE(seed_disk(disk, &error)) << error;
  EXPECT_EQ(size(disk + "/languages/EN/EnglishStrings.txt"), 6u);
  EXPECT_EQ(test_support::list_names(disk), std::vector<std::string>{"languages"});
}

TEST_F(DiskSeed, AFullDiskIsReportedAsFullAndLeavesNoHalfFolder) {
  test_support::SmallDisk small(64);  // too small for the 200 KB string table
  if (!small.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
  std::string error;
  EXPECT_FALSE(seed_disk(small.path(), &error));
  EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  EXPECT_TRUE(test_support::list_names(small.path()).empty());
  // Room made, the next start seeds the disk.
  fs::remove(source + "/Languages/DE/GermanStrings.txt");
  ASSERT_TRUE(seed_disk(small.path(), &error)) << error;
  EXPECT_EQ(size(small.path() + "/Languages/EN/EnglishStrings.txt"), 300u);
}

// The generators link identical pictures of different languages to one file; a seeded disk
// keeps them one file, while files that merely look alike stay apart.
class DiskSeedShared : public DiskSeed {
 protected:
  void SetUp() override {
    DiskSeed::SetUp();
    picture = source + "/Languages/EN/WarningBitmaps/NID_01_WARNING_ID_01.bmp";
    en_de = source + "/Languages/DE/WarningBitmaps/NID_01_WARNING_ID_01.bmp";
    other_de = source + "/Languages/DE/WarningBitmaps/NID_01_WARNING_ID_02.bmp";
    apart = source + "/Languages/DE/WarningBitmaps/NID_01_WARNING_ID_03.bmp";
    write(picture, std::string(5000, 'p'));
    for (const std::string& other : {en_de, other_de}) {
      fs::create_directories(fs::path(other).parent_path());
      fs::create_hard_link(picture, other);
    }
    write(apart, std::string(5000, 'p'));
  }

  // The seeded name of a file of the data.
  static std::string on(const std::string& disk, const std::string& data_file, size_t data_root) {
    return disk + data_file.substr(data_root);
  }

  // A picture of the data under three names, and one with the same bytes stored apart.
  std::string picture, en_de, other_de, apart;
};

// On the data's own file system the disk's files are new names of the data's files: sharing
// comes for free, symbolic links in the data are read through, and the program's way of
// rewriting a file on the disk leaves the data as it was.
TEST_F(DiskSeedShared, OnTheDataFileSystemTheDiskNamesTheDataFiles) {
  fs::create_symlink("../EN/EnglishStrings.txt", source + "/Languages/DE/EnglishLink.txt");
  const std::string disk = tmp / "disk";
  std::string error;
  ASSERT_TRUE(seed_disk(disk, &error)) << error;
  const size_t root = source.size();
  for (const std::string& file : {picture, en_de, other_de}) {
    EXPECT_TRUE(fs::equivalent(on(disk, file, root), picture)) << file;
  }
  EXPECT_EQ(fs::hard_link_count(picture), 6u);
  EXPECT_TRUE(fs::equivalent(on(disk, apart, root), apart));
  EXPECT_FALSE(fs::equivalent(on(disk, apart, root), picture));
  const std::string link = disk + "/Languages/DE/EnglishLink.txt";
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_TRUE(fs::equivalent(link, source + "/Languages/EN/EnglishStrings.txt"));

  const std::string strings = disk + "/Languages/EN/EnglishStrings.txt";
  const uint8_t edited[] = {'e', 'd'};
  ASSERT_EQ(platform::replace_file(strings, edited), platform::FileStatus::Ok);
  EXPECT_EQ(size(strings), 2u);
  EXPECT_EQ(size(source + "/Languages/EN/EnglishStrings.txt"), 300u);
  // Taking the seeded folder away leaves the data whole.
  fs::remove_all(disk);
  EXPECT_EQ(size(picture), 5000u);
  EXPECT_EQ(fs::hard_link_count(picture), 3u);
}

// On another file system (a tmpfs here) the disk gets copies of its own, and the shared
// pictures are still stored once there.
TEST_F(DiskSeedShared, OnAnotherFileSystemTheDiskCopiesAndKeepsSharedPicturesOneFile) {
  test_support::SmallDisk other(2048);
  if (!other.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  std::string error;
  ASSERT_TRUE(seed_disk(other.path(), &error)) << error;
  const size_t root = source.size();
  const std::string seeded = on(other.path(), picture, root);
  EXPECT_EQ(fs::hard_link_count(seeded), 3u);
  EXPECT_TRUE(fs::equivalent(seeded, on(other.path(), en_de, root)));
  EXPECT_TRUE(fs::equivalent(seeded, on(other.path(), other_de, root)));
  EXPECT_EQ(size(on(other.path(), other_de, root)), 5000u);
  EXPECT_EQ(fs::hard_link_count(on(other.path(), apart, root)), 1u);
  EXPECT_EQ(size(other.path() + "/Languages/DE/GermanStrings.txt"), 200u * 1024);
  EXPECT_EQ(fs::hard_link_count(picture), 3u);
  EXPECT_EQ(test_support::list_names(other.path()), std::vector<std::string>{"Languages"});
}

// The data of a real build: every language, and the disk it seeds stays small because the
// pictures are palette files and shared ones are stored once.
TEST(DiskSeedBuiltData, SeedsTheBuiltLanguagesWithSharedPicturesInFewMegabytes) {
  if (std::getenv("CORVEX_DATA_DIR") != nullptr) GTEST_SKIP() << "CORVEX_DATA_DIR is set";
  const std::string data = panel_data_dir();
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(fs::path(data), fs::path(CORVEX_BUILD_DIR) / "data");
  test_support::TempDir tmp;
  const std::string disk = tmp / "disk";
  std::string error;
  ASSERT_TRUE(seed_disk(disk, &error)) << error;
  std::set<std::pair<dev_t, ino_t>> seen;
  uintmax_t bytes = 0, files = 0, shared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(disk)) {
    struct stat st {};
    ASSERT_EQ(::lstat(entry.path().c_str(), &st), 0);
    if (!S_ISREG(st.st_mode)) continue;
    ++files;
    if (st.st_nlink > 1) ++shared;
    if (seen.emplace(st.st_dev, st.st_ino).second) bytes += uintmax_t(st.st_size);
  }
  EXPECT_GT(files, 13u * 150);
  EXPECT_GT(shared, 13u * 4) << "the rear-discharge pictures are the same in every language";
  EXPECT_LT(bytes, 40u * 1000 * 1000);
}

}  // namespace
}  // namespace corvex::shell
