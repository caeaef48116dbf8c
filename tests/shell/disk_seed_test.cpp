// Seeding a panel disk folder with the language data: the whole tree arrives, nothing present
// is touched, and a failure reports its real cause and leaves no half-copied folder behind.
#include "shell/disk_seed.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/io/file_hazards.h"
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
    if (had_old_) ::setenv("CORVEX_DATA_DIR", old_.c_str(), 1);
    else ::unsetenv("CORVEX_DATA_DIR");
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

}  // namespace
}  // namespace corvex::shell
