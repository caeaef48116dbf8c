// The panel files when they are hostile: pictures that claim to be huge, FIFOs where the
// language files belong, and a configuration write that fails half-way.
#include <gtest/gtest.h>

#include <fstream>
#include <array>

#include "platform/gfx/bmp.h"
#include "platform/io/file_hazards.h"
#include "tests/texts/text_test_support.h"
#include "texts/help_text.h"
#include "texts/languages.h"
#include "texts/localized_bitmaps.h"
#include "texts/texts.h"

namespace corvex::texts {
namespace {

using testing::TempDisk;

// A BMP header with an info header of 40 bytes and a two-colour palette for depths up to 8,
// followed by `pixels`.
std::vector<uint8_t> bmp_bytes(int width, int height, int bits, int compression,
                               const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> out;
  const auto u16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  const auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  const uint32_t palette = bits <= 8 ? 8 : 0;
  out.insert(out.end(), {'B', 'M'});
  u32(uint32_t(54 + palette + pixels.size()));
  u32(0);
  u32(54 + palette);
  u32(40);
  u32(uint32_t(width));
  u32(uint32_t(height));
  u16(1);
  u16(uint16_t(bits));
  u32(uint32_t(compression));
  u32(uint32_t(pixels.size()));
  u32(2835);
  u32(2835);
  u32(palette / 4);
  u32(0);
  if (palette) out.insert(out.end(), {0, 0, 0, 0, 255, 255, 255, 0});
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// 88 bytes of RLE8 that claim 16384 x 2048 (128 MiB decoded), and 12 KB of 32-bit pixels that
// claim the same.
std::vector<uint8_t> rle_bomb() {
  std::vector<uint8_t> runs;
  for (int i = 0; i < 12; ++i) runs.insert(runs.end(), {255, 1});
  runs.insert(runs.end(), {0, 1});
  return bmp_bytes(16384, 2048, 8, 1, runs);
}

std::vector<uint8_t> rgb_bomb() {
  return bmp_bytes(16384, 2048, 32, 0, std::vector<uint8_t>(12288, 9));
}

// The peak resident memory of the process since reset_peak(), over what it held then.
class PeakMemory {
 public:
  PeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the high-water mark
    base_ = field("VmRSS:");
  }
  uint64_t growth() const {
    const uint64_t peak = field("VmHWM:");
    return peak > base_ ? peak - base_ : 0;
  }

 private:
  static uint64_t field(const std::string& name) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
      if (line.rfind(name, 0) == 0) return std::stoull(line.substr(name.size())) * 1024;
    }
    return 0;
  }
  uint64_t base_ = 0;
};

TEST(PanelFiles, AFolderOfBombBitmapsKeepsTheDisplayUnder100MB) {
  TempDisk disk;
  disk.write_text("CorvexLangConfig.txt", "English");
  for (int i = 1; i < kLocalizedBitmapCount; ++i) {
    disk.write("Languages/EN/Bitmaps/" + std::string(localized_bitmap_name(i)),
               i % 2 ? rle_bomb() : rgb_bomb());
  }
  const std::string pictures[] = {warning_bitmap_path(2, 1), warning_bitmap_path(14, 5)};
  disk.write("Languages/EN/WarningBitmaps/NID_02_WARNING_ID_01.bmp", rle_bomb());
  disk.write("Languages/EN/WarningBitmaps/NID_14_WARNING_ID_05.bmp", rgb_bomb());
  ASSERT_EQ(rle_bomb().size(), 88u);

  constexpr uint64_t kBudget = 100u << 20;
  std::vector<platform::Bitmap> held;  // the display keeps what it loads
  PeakMemory peak;
  int refused = 0;
  for (int i = 1; i < kLocalizedBitmapCount && peak.growth() < kBudget; ++i) {
    if (auto bitmap = load_localized_bitmap(i)) held.push_back(std::move(*bitmap));
    else ++refused;
  }
  for (const std::string& path : pictures) {
    if (auto bitmap = platform::read_bmp_file(platform::translate_path(path))) {
      held.push_back(std::move(*bitmap));
    } else {
      ++refused;
    }
  }
  EXPECT_LT(peak.growth(), kBudget);
  EXPECT_EQ(refused, kLocalizedBitmapCount - 1 + 2);

  // The same loader still takes a genuine button picture.
  const platform::Bitmap button(175, 50, platform::rgb(4, 5, 6));
  ASSERT_TRUE(platform::write_bmp_file(
      disk.path("Languages/EN/Bitmaps/GRAPHIC_001_MAIN_TIMERS_BUTTON.BMP").string(), button));
  const auto loaded = load_localized_bitmap(1);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*loaded, button);
}

TEST(PanelFiles, AFifoInPlaceOfEachKindOfPanelFileIsRefusedAtOnce) {
  TempDisk disk;
  int index = -1;
  EXPECT_TRUE(test_support::returns_promptly(disk.path("CorvexLangConfig.txt"),
                                             [&] { index = load_language_selection(); }))
      << "language configuration";
  EXPECT_EQ(index, kEnglish);
  // Treated as missing: a regular file holding "English" takes the FIFO's place.
  EXPECT_TRUE(std::filesystem::is_regular_file(disk.path("CorvexLangConfig.txt")));
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "English");

  disk.write_lines("Languages/EN/EnglishStrings.txt", {u"One"});
  set_language_index(6);
  std::filesystem::create_directories(disk.path("Languages/DE"));
  bool loaded = false;
  EXPECT_TRUE(test_support::returns_promptly(disk.path("Languages/DE/GermanStrings.txt"),
                                             [&] { loaded = load_string_table(); }))
      << "string table";
  EXPECT_TRUE(loaded);
  EXPECT_EQ(string_entry(1), u"One") << "the English table stands in";

  set_language_index(kEnglish);
  disk.write_lines("Languages/EN/WarningsDIO.txt", {u"header", u"first"});
  int tables = -1;
  EXPECT_TRUE(test_support::returns_promptly(disk.path("Languages/EN/WarningsMIO.txt"),
                                             [&] { tables = load_warning_texts(); }))
      << "warnings file";
  EXPECT_EQ(tables, 1);

  std::filesystem::create_directories(disk.path("Languages/EN/Bitmaps"));
  bool picture = true;
  EXPECT_TRUE(test_support::returns_promptly(
      disk.path("Languages/EN/Bitmaps/GRAPHIC_001_MAIN_TIMERS_BUTTON.BMP"),
      [&] { picture = load_localized_bitmap(1).has_value(); }))
      << "bitmap";
  EXPECT_FALSE(picture);

  std::array<char16_t, 64> help{};
  HelpTextResult result = HelpTextResult::Loaded;
  EXPECT_TRUE(test_support::returns_promptly(disk.path("Languages/EN/PlenumDiffHelp.txt"), [&] {
    result = read_help_text("PlenumDiffHelp.txt", help);
  })) << "help text";
  EXPECT_EQ(result, HelpTextResult::Missing);
}

TEST(PanelFiles, TheLanguageChoiceIsReplacedWholeOrNotAtAll) {
  TempDisk disk;
  disk.write_text("CorvexLangConfig.txt", "German");
  {
    // The disk cuts the write off after three bytes.
    test_support::FileSizeLimit cut_off(3);
    EXPECT_FALSE(save_language_name("Portuguese"));
  }
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "German");
  EXPECT_EQ(load_language_selection(), 6);
  ASSERT_TRUE(save_language_name("Portuguese"));
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "Portuguese");
  EXPECT_EQ(load_language_selection(), 9);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(disk.root())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"CorvexLangConfig.txt"}) << "no temporary file left";

  // An empty file, left by a write that never finished, is written afresh like a missing one.
  disk.write_text("CorvexLangConfig.txt", "");
  EXPECT_EQ(load_language_selection(), kEnglish);
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "English");
}

}  // namespace
}  // namespace corvex::texts
