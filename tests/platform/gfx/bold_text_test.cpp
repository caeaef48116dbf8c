// Bold text: every letter of every language's texts is drawn from a face that has it, a bold
// letter from a bold face, and thickening a thin bold face never loses a stroke.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/gfx/canvas.h"
#include "platform/gfx/glyph_cache.h"
#include "platform/gfx/utf8.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

const fs::path kLanguageSources = fs::path(CORVEX_SOURCE_DIR) / "data" / "lang";

// Every character of every text source of every language (string tables, button labels,
// warnings, warning help and help texts), with the characters the fixed English texts add.
std::set<char32_t> characters_of_all_languages() {
  std::set<char32_t> found;
  for (const auto& entry : fs::recursive_directory_iterator(kLanguageSources)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (size_t i = 0; i < text.size();) {
      const char32_t cp = next_code_point(text, i);
      if (cp > 0x20 && cp != 0x7F) found.insert(cp);
    }
  }
  found.insert(U'\u00B0');  // the degree sign of the grain temperature line
  return found;
}

std::string utf8_of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += char(cp);
  } else if (cp < 0x800) {
    s += char(0xC0 | (cp >> 6));
    s += char(0x80 | (cp & 0x3F));
  } else {
    s += char(0xE0 | (cp >> 12));
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  }
  return s;
}

class BoldText : public testing::Test {
 protected:
  void SetUp() override {
    if (font_file_in_use(false).empty()) GTEST_SKIP() << "no font file found on this machine";
    if (!fs::exists(kLanguageSources)) GTEST_SKIP() << "no language sources";
  }
};

TEST_F(BoldText, EveryLetterOfEveryLanguageComesFromAFaceThatHasIt) {
  const std::set<char32_t> letters = characters_of_all_languages();
  ASSERT_GT(letters.size(), 150u);  // Latin with its accents, Cyrillic, signs
  const bool bold_file = font_file_in_use(true) != font_file_in_use(false);
  for (const char32_t cp : letters) {
    for (const int height : {14, 16, 40}) {
      const GlyphSource regular = glyph_source(cp, font(height));
      const GlyphSource bold = glyph_source(cp, font(height, 700));
      EXPECT_FALSE(regular.file.empty()) << "U+" << std::hex << unsigned(cp) << " " << utf8_of(cp);
      EXPECT_FALSE(bold.file.empty()) << "U+" << std::hex << unsigned(cp) << " " << utf8_of(cp);
      // A regular face stands in only where no bold face has the letter.
      if (bold_file) {
        EXPECT_NE(bold.file, regular.file) << "U+" << std::hex << unsigned(cp) << " "
                                           << utf8_of(cp) << " drawn bold from " << bold.file;
      }
    }
  }
}

// The letters whose contours the fonts draw in both directions, and those of the language
// texts: at every size the warning window and the screens use, the thickened glyph covers
// every pixel its own outline inks.
TEST_F(BoldText, ThickeningKeepsEveryStrokeOfTheOutline) {
  std::set<char32_t> letters = characters_of_all_languages();
  for (const char32_t cp : std::u32string(U"ЫЪ№ŐŰőűIDŐZÍTŐK")) letters.insert(cp);
  int thickened = 0;
  for (const int height : {10, 14, 16, 24, 30, 40}) {
    gfx_detail::FontAccess access;
    gfx_detail::SizedFont* sized = access.find(font(height, 900));
    ASSERT_NE(sized, nullptr);
    for (const char32_t cp : letters) {
      if (!sized->source_of(cp).thickened) continue;
      ++thickened;
      gfx_detail::Glyph plain, bold;
      ASSERT_TRUE(sized->render_into(cp, plain, gfx_detail::SizedFont::Thicken::Never));
      ASSERT_TRUE(sized->render_into(cp, bold, gfx_detail::SizedFont::Thicken::AsTheFaceNeeds));
      EXPECT_EQ(plain.advance, bold.advance);
      int lost = 0;
      for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
          if (plain.coverage[size_t(y) * plain.width + x] < 128) continue;
          const int bx = plain.left + x - bold.left;
          const int by = bold.top - (plain.top - y);
          const bool inside = bx >= 0 && by >= 0 && bx < bold.width && by < bold.height;
          lost += !inside || bold.coverage[size_t(by) * bold.width + bx] < 128;
        }
      }
      EXPECT_EQ(lost, 0) << utf8_of(cp) << " at " << height << " px loses " << lost << " pixels";
    }
  }
  if (thickened == 0) GTEST_SKIP() << "the bold faces here need no thickening";
}

// The order of the faces: a missing Tahoma-compatible bold gives DejaVu Sans Bold as it is,
// and with no bold file at all the regular face is thickened.
TEST(BoldFaces, RealBoldFilesComeBeforeAThickenedRegularFace) {
  const fs::path tahoma = "/usr/share/wine/fonts/tahoma.ttf";
  const fs::path dejavu_bold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  if (!fs::exists(tahoma) || !fs::exists(dejavu_bold)) GTEST_SKIP() << "fonts not installed";
  const fs::path dir = fs::temp_directory_path() / ("corvex-bold-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::copy_file(tahoma, dir / "tahoma.ttf", fs::copy_options::overwrite_existing);

  set_font_directories({dir.string()});
  EXPECT_EQ(font_file_in_use(true), (dir / "tahoma.ttf").string());
  EXPECT_TRUE(glyph_source(U'Ы', font(16, 700)).thickened);
  EXPECT_FALSE(glyph_source(U'Ы', font(16)).thickened);
  EXPECT_EQ(glyph_source(U'\u4E2D', font(16, 700)).file, "");  // in no face: the box

  fs::copy_file(dejavu_bold, dir / "DejaVuSans-Bold.ttf", fs::copy_options::overwrite_existing);
  set_font_directories({dir.string()});
  const GlyphSource bold = glyph_source(U'Ы', font(16, 700));
  EXPECT_EQ(bold.file, (dir / "DejaVuSans-Bold.ttf").string());
  EXPECT_FALSE(bold.thickened);
  EXPECT_EQ(glyph_source(U'Ы', font(16)).file, (dir / "tahoma.ttf").string());

  set_font_directories({});
  fs::remove_all(dir);
}

}  // namespace
