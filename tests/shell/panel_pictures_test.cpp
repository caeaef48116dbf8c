// The panel data's pictures as 8-bit palette files: what the display's BMP reader makes of them
// is the picture that was drawn, pixel for pixel; run-length encoding is used where it is
// smaller and survives every kind of row; a picture of more colours is not approximated.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/gfx/bmp.h"
#include "platform/gfx/canvas.h"
#include "tools/palette_bmp.h"

namespace corvex::tools {
namespace {

using platform::Bitmap;
using platform::rgb;

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

Bitmap decoded(const std::vector<uint8_t>& file) {
  std::string error;
  auto bitmap = platform::decode_bmp(file, &error);
  EXPECT_TRUE(bitmap.has_value()) << error;
  return bitmap ? *bitmap : Bitmap();
}

// Rows that exercise every way the encoder splits a row: runs longer than 255, lone pixels,
// pairs, stretches without repeats of odd and even length and longer than 255, at the row's
// start and end, in a width that is not a multiple of four.
Bitmap awkward_picture(int width, int height) {
  Bitmap b(width, height, rgb(236, 238, 240));
  std::mt19937 random(7);
  for (int y = 0; y < height; ++y) {
    uint32_t* row = b.row(y);
    switch (y % 6) {
      case 0:
        break;  // one colour across
      case 1:
        for (int x = 0; x < width; ++x) row[x] = rgb(uint8_t(x % 200), 0, 0);
        break;
      case 2:
        for (int x = 0; x < width; x += 2) row[x] = rgb(0, 0, 250);
        break;
      case 3:
        for (int x = 0; x < width; ++x) row[x] = rgb(0, uint8_t(random() % 3), 0);
        break;
      case 4:
        for (int x = 0; x < width; ++x) row[x] = rgb(0, uint8_t((x / 2) % 7), 9);
        break;
      default:
        row[0] = rgb(1, 2, 3);
        row[width - 1] = rgb(3, 2, 1);
        break;
    }
  }
  return b;
}

TEST(PalettePictures, DecodeToTheDrawnPixelsInBothEncodings) {
  for (const int width : {1, 2, 3, 7, 255, 256, 257, 513, 640}) {
    const Bitmap picture = awkward_picture(width, 13);
    const std::optional<PaletteImage> found = to_palette(picture);
    ASSERT_TRUE(found.has_value()) << width;
    const PaletteImage& image = *found;
    for (const bool rle : {false, true}) {
      const std::vector<uint8_t> file = encode_bmp8(image, rle);
      EXPECT_EQ(u32_at(file, 2), file.size());
      EXPECT_EQ(u32_at(file, 30), rle ? 1u : 0u);
      EXPECT_EQ(decoded(file), picture) << "width " << width << (rle ? " RLE8" : " plain");
    }
  }
}

TEST(PalettePictures, TheSmallerEncodingIsChosen) {
  // A drawing with flat areas packs into a fraction of its plain rows.
  Bitmap drawing(500, 400, rgb(236, 238, 240));
  platform::Canvas c(drawing);
  c.fill_rect({0, 0, 500, 48}, rgb(150, 20, 20));
  c.fill_ellipse({60, 80, 180, 200}, rgb(90, 96, 104));
  c.draw_text("FAN MOTOR OVERLOAD", {8, 2, 492, 46}, {15, 700}, platform::colors::kWhite, 0);
  bool palette = false;
  const std::vector<uint8_t> packed = encode_panel_picture(drawing, &palette);
  EXPECT_TRUE(palette);
  EXPECT_EQ(u32_at(packed, 30), 1u);
  EXPECT_EQ(packed[28], 8);
  EXPECT_LT(packed.size(), 500u * 400 / 10);
  EXPECT_EQ(decoded(packed), drawing);
  // Noise of a few colours would grow under RLE8: it is stored plainly.
  Bitmap noise(64, 64);
  std::mt19937 random(3);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) noise.set_pixel(x, y, rgb(uint8_t(random() % 5), 0, 0));
  const std::vector<uint8_t> plain = encode_panel_picture(noise);
  EXPECT_EQ(u32_at(plain, 30), 0u);
  EXPECT_EQ(decoded(plain), noise);
}

TEST(PalettePictures, MoreThan256ColoursStayFullColourAndExact) {
  Bitmap b(300, 2, rgb(10, 10, 10));
  for (int x = 0; x < 255; ++x) b.set_pixel(x, 0, rgb(uint8_t(x), 0, 200));
  // The background and 255 shades: exactly 256, still a palette.
  EXPECT_TRUE(to_palette(b).has_value());
  bool palette = false;
  std::vector<uint8_t> file = encode_panel_picture(b, &palette);
  EXPECT_TRUE(palette);
  EXPECT_EQ(file[28], 8);
  EXPECT_EQ(decoded(file), b);
  // One colour more and the picture keeps its 24 bits rather than lose a shade.
  b.set_pixel(299, 1, rgb(255, 255, 255));
  EXPECT_FALSE(to_palette(b).has_value());
  file = encode_panel_picture(b, &palette);
  EXPECT_FALSE(palette);
  EXPECT_EQ(file[28], 24);
  EXPECT_EQ(decoded(file), b);
}

// The generated panel data (whose pictures the panel data tests read, every one): the warning
// pictures are palette files, and language folders that show the same picture share one file.
TEST(PalettePictures, GeneratedPicturesAreSharedPaletteFiles) {
  namespace fs = std::filesystem;
  const fs::path languages = fs::path(CORVEX_BUILD_DIR) / "data" / "Languages";
  ASSERT_TRUE(fs::is_directory(languages));
  int pictures = 0;
  for (const auto& entry : fs::recursive_directory_iterator(languages)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".bmp" && ext != ".BMP") continue;
    std::FILE* f = std::fopen(entry.path().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    uint8_t head[30] = {};
    EXPECT_EQ(std::fread(head, 1, sizeof head, f), sizeof head);
    std::fclose(f);
    // Every warning picture fits a palette; a button image may keep 24 bits.
    if (entry.path().parent_path().filename() == "WarningBitmaps") {
      EXPECT_EQ(head[28], 8) << entry.path();
    } else {
      EXPECT_TRUE(head[28] == 8 || head[28] == 24) << entry.path();
    }
    ++pictures;
  }
  EXPECT_GT(pictures, 13 * 120);
  const fs::path rear = "Bitmaps/GRAPHIC_074_REAR_DISCHARGE_IMAGE_1.BMP";
  ASSERT_TRUE(fs::exists(languages / "EN" / rear));
  EXPECT_TRUE(fs::equivalent(languages / "EN" / rear, languages / "DE" / rear));
}

}  // namespace
}  // namespace corvex::tools
