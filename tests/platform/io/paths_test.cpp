#include "platform/io/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/io/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::translate_path;

class PathsTest : public testing::Test {
 protected:
  void SetUp() override {
    disk = tmp / "disk";
    usb = tmp / "usb";
    fs::create_directories(disk + "/Manuals/Operator Guides");
    test_support::write_text(disk + "/Manuals/Operator Guides/Guide.PDF", "x");
    fs::create_directories(usb);
    platform::set_disk_root(disk);
    platform::set_usb_root(usb);
  }
  void TearDown() override {
    platform::set_disk_root("");
    platform::set_usb_root("");
  }

  test_support::TempDir tmp;
  std::string disk, usb;
};

TEST_F(PathsTest, EveryComponentIsMatchedWithoutRegardToCase) {
  EXPECT_EQ(translate_path("\\hard disk\\manuals"), disk + "/Manuals");
  EXPECT_EQ(translate_path("\\HARD DISK\\MANUALS\\operator guides\\guide.pdf"),
            disk + "/Manuals/Operator Guides/Guide.PDF");
  EXPECT_EQ(translate_path("\\Hard Disk\\Manuals\\Operator Guides\\Guide.PDF"),
            disk + "/Manuals/Operator Guides/Guide.PDF");
  // Forward slashes and doubled separators are the same path.
  EXPECT_EQ(translate_path("\\Hard Disk/manuals\\\\OPERATOR GUIDES"), disk + "/Manuals/Operator Guides");
}

TEST_F(PathsTest, WhatDoesNotExistIsKeptAsWrittenFromTheFirstMissingComponentOn) {
  EXPECT_EQ(translate_path("\\Hard Disk\\DataLog\\LongTermDataLog.csv"), disk + "/DataLog/LongTermDataLog.csv");
  EXPECT_EQ(translate_path("\\hard disk\\MANUALS\\New\\Guide.PDF"), disk + "/Manuals/New/Guide.PDF");
}

TEST_F(PathsTest, TheExactNameWinsOverOtherCaseVariants) {
  fs::create_directories(disk + "/data");
  fs::create_directories(disk + "/Data");
  EXPECT_EQ(translate_path("\\Hard Disk\\data"), disk + "/data");
  EXPECT_EQ(translate_path("\\Hard Disk\\Data"), disk + "/Data");
  EXPECT_EQ(translate_path("\\Hard Disk\\DATA"), disk + "/Data");  // first in byte order
}

TEST_F(PathsTest, HardDisk2IsTheUsbDriveAndNotASubfolderOfHardDisk) {
  EXPECT_EQ(translate_path("\\Hard Disk2"), usb);
  EXPECT_EQ(translate_path("\\hard disk2\\DryerShutdownHistory.txt"), usb + "/DryerShutdownHistory.txt");
  EXPECT_EQ(translate_path("\\Hard Disk"), disk);
  EXPECT_EQ(translate_path("\\Hard Disk\\"), disk);
  EXPECT_EQ(translate_path("\\Hard Disk\\2"), disk + "/2");
  // Neither prefix: a longer name is an ordinary absolute path.
  EXPECT_EQ(translate_path("\\Hard Disk22\\x"), "/Hard Disk22/x");
  EXPECT_EQ(translate_path("\\Hard Diskette"), "/Hard Diskette");
}

TEST_F(PathsTest, AnAbsentDriveGivesNoPathAndIsNotPresent) {
  EXPECT_TRUE(platform::usb_present());
  fs::remove_all(usb);
  EXPECT_FALSE(platform::usb_present());
  EXPECT_EQ(translate_path("\\Hard Disk2\\x.csv"), "");
  platform::set_disk_root("");
  EXPECT_EQ(translate_path("\\Hard Disk\\x.csv"), "");
}

TEST_F(PathsTest, RelativePathsAreTakenFromTheWorkingDirectory) {
  fs::create_directories(tmp / "ShortTermDataLog");
  std::string before = fs::current_path();
  ASSERT_EQ(chdir(tmp.path().c_str()), 0);
  EXPECT_EQ(translate_path("shorttermdatalog\\DATA_LOG_24HR.DAT"), "ShortTermDataLog/DATA_LOG_24HR.DAT");
  EXPECT_EQ(translate_path("Languages\\EN\\EnglishStrings.txt"), "Languages/EN/EnglishStrings.txt");
  ASSERT_EQ(chdir(before.c_str()), 0);
}

TEST_F(PathsTest, TheDiskRootRuleLooksForTheDiskAtEachCall) {
  EXPECT_TRUE(platform::disk_present());
  EXPECT_EQ(platform::disk_rooted("CorvexLangConfig.txt"), "\\Hard Disk\\CorvexLangConfig.txt");
  fs::remove_all(disk);
  EXPECT_FALSE(platform::disk_present());
  EXPECT_EQ(platform::disk_rooted("CorvexLangConfig.txt"), "CorvexLangConfig.txt");
  platform::set_disk_root("");
  EXPECT_EQ(platform::disk_rooted("Languages\\EN\\EnglishStrings.txt"), "Languages\\EN\\EnglishStrings.txt");
}

TEST(UsbMountTest, TheFirstFileSystemMountedDirectlyUnderTheUsersMediaFolder) {
  const std::string table =
      "/dev/vda1 / ext4 rw,relatime 0 0\n"
      "/dev/sdc1 /media/other/STICK vfat rw 0 0\n"
      "/dev/sdd1 /media/op vfat rw 0 0\n"
      "/dev/sde1 /media/op/a/b vfat rw 0 0\n"
      "/dev/sdb1 /media/op/USB\\040DISK vfat rw,nosuid 0 0\n"
      "/dev/sdf1 /run/media/op/SECOND vfat rw 0 0\n";
  EXPECT_EQ(platform::find_usb_mount(table, "op"), "/media/op/USB DISK");
  EXPECT_EQ(platform::find_usb_mount("/dev/sdf1 /run/media/op/SECOND vfat rw 0 0", "op"), "/run/media/op/SECOND");
  EXPECT_EQ(platform::find_usb_mount(table, "nobody"), "");
  EXPECT_EQ(platform::find_usb_mount(table, ""), "");
  EXPECT_EQ(platform::find_usb_mount("garbage\n\n \n", "op"), "");
}

}  // namespace
