// Text drawing checked by where the ink lands, and the font files, cache and UTF-8 decoding
// behind it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/gfx/canvas.h"
#include "platform/gfx/gfx_test_support.h"
#include "platform/gfx/utf8.h"

namespace {

using namespace platform;
using namespace platform::text_format;
using gfx_test::count_colour;
using gfx_test::ink_box;

constexpr Color kPaper = colors::kWhite;
constexpr Color kInk = colors::kBlack;

class Text : public testing::Test {
 protected:
  void SetUp() override {
    if (font_file_in_use(false).empty()) GTEST_SKIP() << "no font file found on this machine";
  }
  static bool tahoma() { return font_file_in_use(false).find("tahoma") != std::string::npos; }

  // Draws into a fresh white bitmap and returns where the ink landed.
  Rect ink_of(std::string_view s, Rect r, unsigned format, FontSpec f = font(16),
              Size size = {120, 80}) {
    bm_ = Bitmap(size.width, size.height, kPaper);
    Canvas c(bm_);
    drawn_height_ = c.draw_text(s, r, f, kInk, format);
    return ink_box(bm_, kPaper);
  }
  Bitmap drawn(std::string_view s, FontSpec f = font(16), unsigned format = kLeft) {
    ink_of(s, {0, 0, 120, 80}, format, f);
    return bm_;
  }
  int width_of(std::string_view s, unsigned format = kLeft, FontSpec f = font(16)) {
    return Canvas(bm_).measure_text(s, 0, f, format).width;
  }

  Bitmap bm_;
  int drawn_height_ = 0;
};

TEST_F(Text, TopLeftTextSitsOnTheBaselineInsideTheRectangle) {
  const int lh = font_line_height(font(16));
  const Rect ink = ink_of("H", {10, 5, 110, 75}, kLeft);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.left, 13);
  EXPECT_GT(ink.top, 5);
  EXPECT_LT(ink.bottom, 5 + lh);
  EXPECT_EQ(drawn_height_, lh);
  if (tahoma()) {
    // Tahoma at a 16-pixel em: a 19-pixel line with the baseline 16 pixels down.
    EXPECT_EQ(lh, 19);
    EXPECT_EQ(ink.bottom, 5 + 16);
  }
}

TEST_F(Text, AlignmentPlacesTheInkAtTheSidesAndCentres) {
  const Rect box{0, 0, 100, 60};
  const Rect right = ink_of("Hg", box, kRight | kBottom);
  EXPECT_LE(right.right, 100);
  EXPECT_GE(right.right, 97);
  EXPECT_LE(right.bottom, 60);
  EXPECT_GE(right.bottom, 60 - 2);  // the descender of g reaches the bottom of the line

  const Rect centre = ink_of("HHHH", box, kCenter | kVCenter);
  EXPECT_NEAR((centre.left + centre.right) / 2.0, 50, 2);
  EXPECT_NEAR((centre.top + centre.bottom) / 2.0, 30, 3);

  // Centring is by the text's advance, so a wider text moves its left edge accordingly.
  const Rect wide = ink_of("HHHHHHHH", box, kCenter);
  EXPECT_NEAR(centre.left - wide.left, width_of("HHHH") / 2.0, 1);
}

TEST_F(Text, EveryLineBreakFormStartsANewLine) {
  const int lh = font_line_height(font(16));
  for (const char* s : {"A\nB", "A\r\nB", "A\rB"}) {
    ink_of(s, {0, 0, 120, 80}, kLeft);
    EXPECT_EQ(drawn_height_, 2 * lh) << s;
    EXPECT_GT(count_colour(bm_, kInk, {0, lh, 120, 2 * lh}), 0) << s;
    EXPECT_EQ(count_colour(bm_, kInk, {0, 2 * lh, 120, 80}), 0) << s;
  }
  ink_of("A\n", {0, 0, 120, 80}, kLeft);
  EXPECT_EQ(drawn_height_, lh);
  ink_of("A\n\nB", {0, 0, 120, 80}, kLeft);
  EXPECT_EQ(drawn_height_, 3 * lh);
  EXPECT_EQ(count_colour(bm_, kInk, {0, lh, 120, 2 * lh}), 0);

  const Rect single = ink_of("A\r\nB", {0, 0, 120, 80}, kSingleLine);
  EXPECT_EQ(drawn_height_, lh);
  EXPECT_LT(single.bottom, lh);
  EXPECT_EQ(width_of("A\r\nB", kSingleLine), width_of("AB"));
  EXPECT_EQ(Canvas(bm_).measure_text("A\nBB", 0, font(16), kLeft), (Size{width_of("BB"), 2 * lh}));
}

TEST_F(Text, WordBreakWrapsAtSpacesToTheRectangleWidth) {
  const int lh = font_line_height(font(16));
  const int width = width_of("aaa bbb") + 2;
  Canvas c(bm_);
  EXPECT_EQ(c.measure_text("aaa bbb ccc", width, font(16), kWordBreak),
            (Size{width_of("aaa bbb"), 2 * lh}));
  EXPECT_EQ(c.measure_text("aaa bbb ccc", width, font(16), kLeft).height, lh);

  const Rect ink = ink_of("aaa bbb ccc", {0, 0, width, 80}, kWordBreak | kRight);
  EXPECT_EQ(drawn_height_, 2 * lh);
  // The second line is right-aligned on its own: "ccc" without the space before it.
  const Rect second = ink_box(bm_, kPaper, {0, lh, width, 2 * lh});
  EXPECT_NEAR(second.right, width, 2);
  EXPECT_NEAR(second.left, width - width_of("ccc"), 2);
  EXPECT_LE(ink.right, width);

  // A word wider than the rectangle stays whole (and is clipped).
  EXPECT_EQ(c.measure_text("abcdefghij", 20, font(16), kWordBreak).height, lh);
  EXPECT_EQ(c.measure_text("abcdefghij k", 20, font(16), kWordBreak).height, 2 * lh);
  EXPECT_EQ(c.measure_text("ab\ncd ef", 1000, font(16), kWordBreak).height, 2 * lh);
}

TEST_F(Text, TabsExpandToMultiplesOfEightSpaces) {
  const int space = width_of(" ");
  ASSERT_GT(space, 0);
  EXPECT_EQ(width_of("\tX", kExpandTabs), 8 * space + width_of("X"));
  EXPECT_EQ(width_of("ab\tX", kExpandTabs), 8 * space + width_of("X"));
  EXPECT_EQ(width_of("\t\tX", kExpandTabs), 16 * space + width_of("X"));
  EXPECT_EQ(width_of("\tX"), width_of(" X"));
  const Rect ink = ink_of("\tX", {0, 0, 120, 80}, kExpandTabs);
  EXPECT_GE(ink.left, 8 * space);
}

TEST_F(Text, OpaqueBackgroundFillsTheRectangleWithinTheClip) {
  Bitmap bm(60, 30, colors::kBlue);
  Canvas c(bm);
  c.clip({0, 0, 40, 30});
  c.draw_text("Hi", {10, 5, 50, 25}, font(12), kInk, kLeft, TextBackground::Opaque, kPaper);
  // Everything that changed lies in the rectangle cut by the clip, and all of it changed.
  EXPECT_EQ(ink_box(bm, colors::kBlue), (Rect{10, 5, 40, 25}));
  EXPECT_EQ(count_colour(bm, colors::kBlue, {10, 5, 40, 25}), 0);
  EXPECT_EQ(bm.pixel(10, 24), kPaper);
  EXPECT_EQ(bm.pixel(39, 5), kPaper);

  Bitmap clear(60, 30, colors::kBlue);
  Canvas(clear).draw_text("Hi", {10, 5, 50, 25}, font(12), kInk);
  EXPECT_EQ(clear.pixel(10, 24), colors::kBlue);
}

TEST_F(Text, TextIsClippedToItsRectangleUnlessNoClip) {
  const Rect clipped = ink_of("WWWWWWWW", {10, 10, 30, 20}, kLeft);
  EXPECT_TRUE((Rect{10, 10, 30, 20}).contains(clipped));
  const Rect spilled = ink_of("WWWWWWWW", {10, 10, 30, 20}, kNoClip);
  EXPECT_GT(spilled.right, 30);
  EXPECT_GT(spilled.bottom, 20);

  Bitmap bm(120, 80, kPaper);
  Canvas c(bm);
  c.clip({0, 0, 25, 80});
  c.draw_text("WWWWWWWW", {10, 10, 30, 20}, font(16), kInk, kNoClip);
  EXPECT_LE(ink_box(bm, kPaper).right, 25);
}

TEST_F(Text, GlyphsAreBlendedInTheTextColour) {
  const Color ink = rgb(0, 0, 150);
  Bitmap bm(60, 30, kPaper);
  Canvas(bm).draw_text("lost", {0, 0, 60, 30}, font(24, 700), ink);
  int solid = 0, blended = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      const Color p = bm.pixel(x, y);
      if (p == ink) ++solid;
      if (p != ink && p != kPaper) {
        ++blended;
        // A blend of white and (0, 0, 150) keeps red equal to green and blue between them.
        EXPECT_EQ(red_of(p), green_of(p));
        EXPECT_GE(blue_of(p), 150);
      }
    }
  }
  EXPECT_GT(solid, 20);
  EXPECT_GT(blended, 5);
}

TEST_F(Text, WeightsChooseBetweenTheRegularAndTheBoldFace) {
  EXPECT_EQ(drawn("Bold", font(16, 100)), drawn("Bold", font(16, 500)));
  EXPECT_EQ(drawn("Bold", font(16, 600)), drawn("Bold", font(16, 900)));
  EXPECT_NE(drawn("Bold", font(16, 500)), drawn("Bold", font(16, 600)));
  EXPECT_GT(measure_text_line("Bold", font(16, 700)).width,
            measure_text_line("Bold", font(16)).width);
  EXPECT_FALSE(font_file_in_use(true).empty());
  // Bold strokes carry more ink, not only wider spacing.
  const Bitmap regular = drawn("llll", font(24));
  const Bitmap bold = drawn("llll", font(24, 700));
  EXPECT_GT(count_colour(bold, kInk), count_colour(regular, kInk) * 3 / 2);
}

TEST_F(Text, CharactersTheFaceLacksComeFromTheFallback) {
  // U+2713 (check mark) is in DejaVu Sans but not in Tahoma; U+4E2D is in neither and gets
  // the missing-glyph box.
  const Bitmap check = drawn("\u2713");
  const Bitmap missing = drawn("\u4E2D");
  EXPECT_GT(count_colour(check, kInk) + count_colour(check, kPaper), 0);
  EXPECT_NE(ink_box(check, kPaper), Rect{});
  EXPECT_NE(ink_box(missing, kPaper), Rect{});
  EXPECT_NE(check, missing);
  EXPECT_EQ(drawn("\u00B0F"), drawn("\xC2\xB0"
                                    "F"));
}

TEST_F(Text, MalformedUtf8DrawsReplacementCharacters) {
  EXPECT_EQ(drawn("A\xFF"
                  "B"),
            drawn("A\uFFFD"
                  "B"));
  EXPECT_EQ(drawn("A\xE2\x82"), drawn("A\uFFFD"));                // cut off at the end
  EXPECT_EQ(drawn("\xC0\xAF"), drawn("\uFFFD\uFFFD"));            // overlong '/'
  EXPECT_EQ(drawn("\xED\xA0\x80"), drawn("\uFFFD\uFFFD\uFFFD"));  // a surrogate
  const std::string with_nul("A\0B", 3);
  EXPECT_EQ(drawn(with_nul), drawn("AB"));  // control characters take no room
}

TEST(Utf8, DecodesEveryLengthAndRejectsMalformedSequences) {
  struct Case {
    std::string bytes;
    std::u32string expected;
  };
  const Case cases[] = {
      {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", U"a\u00E9\u20AC\U0001F600"},
      {"\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong
      {"\x80\xBF", U"\uFFFD\uFFFD"},                      // stray continuations
      {"\xE2\x82"
       "A",
       U"\uFFFDA"},                 // cut short by a plain byte
      {"\xF0\x9F\x98", U"\uFFFD"},  // cut short by the end
      {"\xC2", U"\uFFFD"},
      {"\xFE\xFF", U"\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    std::u32string got;
    for (size_t pos = 0; pos < c.bytes.size();) got += next_code_point(c.bytes, pos);
    EXPECT_EQ(got, c.expected) << testing::PrintToString(c.bytes);
  }
}

TEST_F(Text, OddSizesAndHugeRectanglesDrawSafely) {
  Bitmap bm(40, 40, kPaper);
  Canvas c(bm);
  EXPECT_EQ(c.draw_text("A", {0, 0, 40, 40}, font(0), kInk), 0);
  EXPECT_EQ(c.draw_text("A", {0, 0, 40, 40}, font(-12), kInk), 0);
  EXPECT_EQ(count_colour(bm, kInk), 0);
  EXPECT_EQ(measure_text_line("A", font(0)), (Size{}));
  c.draw_text("Wg", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, font(16), kInk, kCenter | kVCenter);
  c.draw_text("Wg", {INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX}, font(16), kInk, kNoClip);
  c.draw_text("W", {-30, -30, 70, 70}, font(5000), kInk, kCenter | kVCenter);
  EXPECT_GT(count_colour(bm, kInk), 0);
  c.translate(INT_MAX, INT_MAX);
  c.draw_text("W", {0, 0, 10, 10}, font(16), kInk, kWordBreak);
}

TEST_F(Text, WarmTextAllocatesNothing) {
  Bitmap bm(640, 40, kPaper);
  Canvas c(bm);
  const char* line = "TEMPS 105\u00B0F  PLENUM #1 SETPOINT: 180  GRAIN";
  const unsigned format = kCenter | kVCenter | kWordBreak | kExpandTabs;
  c.draw_text(line, bm.rect(), font(16, 700), kInk, format);
  gfx_test::g_allocations = 0;
  gfx_test::g_counting = true;
  c.draw_text(line, bm.rect(), font(16, 700), kInk, format);
  const Size size = c.measure_text(line, 640, font(16, 700), format);
  gfx_test::g_counting = false;
  EXPECT_EQ(gfx_test::g_allocations.load(), 0);
  EXPECT_GT(size.width, 0);
}

TEST_F(Text, TwoThreadsDrawTheSameAsOne) {
  const auto draw = [](Bitmap& bm, int size) {
    Canvas c(bm);
    for (int i = 0; i < 20; ++i) {
      c.draw_text("Drying \u00C4\u00D6\u00DC \u0416 \u2713 " + std::to_string(size + i), bm.rect(),
                  font(size + i, i % 2 ? 700 : 400), kInk, kWordBreak);
    }
  };
  Bitmap alone_a(200, 200, kPaper), alone_b(200, 200, kPaper);
  set_font_directories({});  // start with a cold cache, so both threads render glyphs
  Bitmap a(200, 200, kPaper), b(200, 200, kPaper);
  std::thread first([&] { draw(a, 10); });
  std::thread second([&] { draw(b, 11); });
  first.join();
  second.join();
  draw(alone_a, 10);
  draw(alone_b, 11);
  EXPECT_EQ(a, alone_a);
  EXPECT_EQ(b, alone_b);
}

TEST(Fonts, MissingFontFilesDrawNothingAndFontDirIsSearchedFirst) {
  set_font_directories({"/nonexistent/corvex-fonts"});
  EXPECT_EQ(font_file_in_use(false), "");
  EXPECT_EQ(font_file_in_use(true), "");
  Bitmap bm(40, 20, kPaper);
  Canvas c(bm);
  EXPECT_EQ(
      c.draw_text("Text", bm.rect(), font(16), kInk, kLeft, TextBackground::Opaque, colors::kBlue),
      0);
  EXPECT_EQ(count_colour(bm, colors::kBlue), 40 * 20);  // the background is still filled
  EXPECT_EQ(c.measure_text("Text", 40, font(16), kLeft), (Size{}));
  EXPECT_EQ(font_line_height(font(16)), 0);
  set_font_directories({});
  if (std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf")) {
    EXPECT_FALSE(font_file_in_use(false).empty());  // the standard places are searched again
  }

  // CORVEX_FONT_DIR comes first, and file names match in any letter case.
  const std::string dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!std::filesystem::exists(dejavu)) GTEST_SKIP() << "no DejaVu Sans to test with";
  const auto dir =
      std::filesystem::temp_directory_path() / ("corvex-fonts-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(dejavu, dir / "TAHOMA.TTF",
                             std::filesystem::copy_options::overwrite_existing);
  setenv("CORVEX_FONT_DIR", dir.c_str(), 1);
  set_font_directories({});
  EXPECT_EQ(font_file_in_use(false), (dir / "TAHOMA.TTF").string());
  EXPECT_GT(font_line_height(font(16)), 0);
  unsetenv("CORVEX_FONT_DIR");
  set_font_directories({});
  std::filesystem::remove_all(dir);
  EXPECT_NE(font_file_in_use(false), (dir / "TAHOMA.TTF").string());
}

}  // namespace
