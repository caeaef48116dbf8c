// Where the texts subsystem finds its files: localized bitmaps, warning pictures and texts
// (fan/heaters share node 2), the rear-discharge animation from the English folder, the
// disk-root rule, and the help-text reader with its English fallback.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gfx/bmp.h"
#include "tests/texts/text_test_support.h"
#include "texts/help_text.h"
#include "texts/help_viewer.h"
#include "texts/localized_bitmaps.h"

namespace corvex::texts {
namespace {

using testing::TempDisk;
using testing::utf16le;

void select(const TempDisk& disk, const char* language) {
  disk.write_text("CorvexLangConfig.txt", language);
  ensure_texts_loaded();
}

TEST(LocalizedBitmaps, EveryNameCarriesItsIndexAndAControlName) {
  // Every name reads GRAPHIC_nnn_NAME.BMP with nnn its index and NAME in upper case.
  for (int i = 1; i < kLocalizedBitmapCount; ++i) {
    const std::string name(localized_bitmap_name(i));
    ASSERT_GT(name.size(), 16u) << name;
    EXPECT_EQ(name.substr(0, 8), "GRAPHIC_") << name;
    EXPECT_EQ(std::stoi(name.substr(8, 3)), i) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".BMP") << name;
    const std::string control = name.substr(12, name.size() - 16);
    EXPECT_EQ(control.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"), std::string::npos);
    EXPECT_EQ(localized_bitmap_control_name(i), control);
    EXPECT_GT(localized_bitmap_size(i).width, 0) << name;
  }
  EXPECT_EQ(localized_bitmap_name(0), "PLACE HOLDER");
  EXPECT_EQ(localized_bitmap_name(78), "");
  EXPECT_EQ(localized_bitmap_control_name(17), "PLENUM_1_SP_BUTTON");
  EXPECT_EQ(localized_bitmap_size(72), (platform::Size{200, 50}));
  EXPECT_EQ(localized_bitmap_size(1), (platform::Size{105, 40}));
}

TEST(LocalizedBitmaps, PathFollowsTheLanguageAndTheDiskRoot) {
  TempDisk disk;
  select(disk, "German");
  EXPECT_EQ(localized_bitmap_path(17),
            "\\Hard Disk\\Languages\\DE\\Bitmaps\\GRAPHIC_017_PLENUM_1_SP_BUTTON.BMP");
  // Without a "\Hard Disk" the path stays relative.
  platform::set_disk_root(disk.root() + "/not-there");
  EXPECT_EQ(localized_bitmap_path(1), "Languages\\DE\\Bitmaps\\GRAPHIC_001_MAIN_TIMERS_BUTTON.BMP");
  platform::set_disk_root(disk.root());
}

TEST(LocalizedBitmaps, LoadsWhatIsThereAndNothingOtherwise) {
  TempDisk disk;
  select(disk, "English");
  EXPECT_FALSE(load_localized_bitmap(5).has_value());
  EXPECT_FALSE(load_localized_bitmap(0).has_value());
  EXPECT_FALSE(load_localized_bitmap(99).has_value());
  std::filesystem::create_directories(disk.path("languages/en/bitmaps"));
  platform::Bitmap picture(105, 40, platform::rgb(1, 2, 3));
  ASSERT_TRUE(platform::write_bmp_file(
      disk.path("languages/en/bitmaps/GRAPHIC_005_MAIN_MC_BUTTON.BMP").string(), picture));
  const auto loaded = load_localized_bitmap(5);
  ASSERT_TRUE(loaded.has_value()) << "folder names match without regard to case";
  EXPECT_EQ(loaded->pixel(50, 20), platform::rgb(1, 2, 3));
  disk.write_text("languages/en/bitmaps/GRAPHIC_006_MAIN_AUTO_START_BUTTON.BMP", "BMgarbage");
  EXPECT_FALSE(load_localized_bitmap(6).has_value());
}

TEST(WarningFiles, FanHeatersUseTheFilesOfNode2) {
  TempDisk disk;
  select(disk, "English");
  // Fan/heater 4 is node id 5: its warning 3 uses the files of node 02, warning 03.
  EXPECT_EQ(help_picture_path(5, 3, 0),
            "\\Hard Disk\\Languages\\EN\\WarningBitmaps\\NID_02_WARNING_ID_03.bmp");
  EXPECT_EQ(warning_text_path(help_file_node(5), 3),
            "\\Hard Disk\\Languages\\EN\\WarningBitmaps\\NID_02_WARNING_ID_03.txt");
  EXPECT_EQ(help_picture_path(14, 12, 0),
            "\\Hard Disk\\Languages\\EN\\WarningBitmaps\\NID_14_WARNING_ID_12.bmp");
  EXPECT_EQ(help_file_node(1), 1);
  EXPECT_EQ(help_file_node(7), 2);
  EXPECT_EQ(help_file_node(8), 8);
  reset_texts();
  disk.write_text("CorvexLangConfig.txt", "Spanish");
  ensure_texts_loaded();
  EXPECT_EQ(warning_bitmap_path(15, 7),
            "\\Hard Disk\\Languages\\ES\\WarningBitmaps\\NID_15_WARNING_ID_07.bmp");
}

TEST(WarningFiles, RearDischargeAnimatesFromTheEnglishFolderWhateverTheLanguage) {
  TempDisk disk;
  select(disk, "Polish");
  auto& mirror = link::dryer_state().mirror;
  mirror[186] = 14;
  mirror[185] = 5;
  const std::string folder = "\\Hard Disk\\Languages\\EN\\Bitmaps\\";
  EXPECT_EQ(help_picture_path(14, 5, 0), folder + "GRAPHIC_074_REAR_DISCHARGE_IMAGE_1.BMP");
  EXPECT_EQ(help_picture_path(14, 5, 1), folder + "GRAPHIC_075_REAR_DISCHARGE_IMAGE_2.BMP");
  EXPECT_EQ(help_picture_path(14, 5, 2), folder + "GRAPHIC_076_REAR_DISCHARGE_IMAGE_3.BMP");
  for (int step = 3; step <= 6; ++step) {
    EXPECT_EQ(help_picture_path(14, 5, step), folder + "GRAPHIC_077_REAR_DISCHARGE_IMAGE_4.BMP");
  }
  // The tick walks the seven steps round; images 1, 2, 3 for one tick each, image 4 for four.
  const int start = help_viewer_state().animation_step;
  for (int i = 1; i <= 7; ++i) {
    help_viewer_animation_tick();
    EXPECT_EQ(help_viewer_state().animation_step, (start + i) % 7);
  }
  mirror[185] = 4;
  help_viewer_animation_tick();
  EXPECT_EQ(help_viewer_state().animation_step, start) << "no rear discharge: no step";
  EXPECT_EQ(help_picture_path(14, 5, 0),
            "\\Hard Disk\\Languages\\PL\\WarningBitmaps\\NID_14_WARNING_ID_05.bmp");
}

TEST(HelpText, ReadsTheLanguageFileThenTheEnglishOne) {
  TempDisk disk;
  select(disk, "Czech");
  disk.write("Languages/CS/PlenumDiffHelp.txt", utf16le(u"Diference\r\n"));
  disk.write("Languages/EN/BphCalibHelp.txt", utf16le(u"Bushels\r\n"));
  std::array<char16_t, 64> buffer;
  ASSERT_EQ(read_help_text("PlenumDiffHelp.txt", buffer), HelpTextResult::Loaded);
  EXPECT_EQ(std::u16string(buffer.data()), u"\uFEFFDiference\r\n") << "keeps the mark";
  ASSERT_EQ(read_help_text("BphCalibHelp.txt", buffer), HelpTextResult::Loaded);
  EXPECT_EQ(std::u16string(buffer.data()), u"\uFEFFBushels\r\n");

  buffer.fill(u'q');
  EXPECT_EQ(read_help_text("NoSuchHelp.txt", buffer), HelpTextResult::Missing);
  EXPECT_EQ(buffer[0], u'q') << "a failure leaves the buffer untouched";

  std::string text;
  ASSERT_TRUE(read_help_text_utf8("PlenumDiffHelp.txt", 1999, text));
  EXPECT_EQ(text, "Diference\r\n");
  EXPECT_FALSE(read_help_text_utf8("NoSuchHelp.txt", 1999, text));
}

TEST(HelpText, CapacityIsInCharactersAndTheTextIsAlwaysTerminated) {
  TempDisk disk;
  select(disk, "English");
  disk.write("Languages/EN/Long.txt", utf16le(std::u16string(100, u'k')));
  std::array<char16_t, 11> small;
  ASSERT_EQ(read_help_text("Long.txt", small), HelpTextResult::Loaded);
  EXPECT_EQ(std::u16string(small.data()), u"\uFEFF" + std::u16string(9, u'k'));
  // An odd last byte is no character.
  auto odd = utf16le(u"ab");
  odd.push_back('c');
  disk.write("Languages/EN/Odd.txt", odd);
  std::array<char16_t, 16> buffer;
  ASSERT_EQ(read_help_text("Odd.txt", buffer), HelpTextResult::Loaded);
  EXPECT_EQ(std::u16string(buffer.data()), u"\uFEFFab");
}

}  // namespace
}  // namespace corvex::texts
