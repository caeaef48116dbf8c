// BMP reading against files written by ImageMagick and against hand-built bytes, refusal of
// malformed files, and 24-bit writing checked byte by byte.
#include "platform/gfx/bmp.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/gfx/gfx_test_support.h"
#include "platform/io/file_hazards.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using namespace platform;
namespace fs = std::filesystem;

const std::string kData = std::string(CORVEX_SOURCE_DIR) + "/tests/platform/gfx/data/";

std::vector<uint8_t> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads a plain-text (P3) PPM image, the sources of the fixtures.
Bitmap read_ppm(const std::string& path) {
  std::ifstream in(path);
  std::string magic;
  int w = 0, h = 0, max = 0;
  in >> magic >> w >> h >> max;
  Bitmap bm(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int r, g, b;
      in >> r >> g >> b;
      bm.set_pixel(x, y, rgb(uint8_t(r), uint8_t(g), uint8_t(b)));
    }
  }
  return bm;
}

struct Fixture {
  const char* bmp;
  const char* source;
};

class BmpFixture : public testing::TestWithParam<Fixture> {};

TEST_P(BmpFixture, DecodesToThePixelsOfItsSource) {
  const std::string path = kData + GetParam().bmp;
  std::string error;
  const std::optional<Bitmap> bm = read_bmp_file(path, &error);
  ASSERT_TRUE(bm) << error;
  const Bitmap expected = read_ppm(kData + GetParam().source);
  ASSERT_EQ(bm->size(), expected.size());
  for (int y = 0; y < expected.height(); ++y)
    for (int x = 0; x < expected.width(); ++x)
      EXPECT_EQ(bm->pixel(x, y), expected.pixel(x, y)) << x << "," << y;
}

TEST_P(BmpFixture, EveryTruncationIsDecodedOrRefusedWithAReason) {
  const std::vector<uint8_t> bytes = file_bytes(kData + GetParam().bmp);
  ASSERT_FALSE(bytes.empty());
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::string error;
    const auto bm = decode_bmp(std::span(bytes.data(), n), &error);
    if (!bm) {
      EXPECT_FALSE(error.empty()) << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ImageMagick, BmpFixture,
                         testing::Values(Fixture{"bmp3_1bit.bmp", "bilevel.ppm"},
                                         Fixture{"bmp3_4bit.bmp", "colors16.ppm"},
                                         Fixture{"bmp2_4bit.bmp", "colors16.ppm"},
                                         Fixture{"bmp3_8bit.bmp", "colors20.ppm"},
                                         Fixture{"bmp3_8bit_rle.bmp", "colors20.ppm"},
                                         Fixture{"bmp3_24bit.bmp", "colors16.ppm"},
                                         Fixture{"bmp5_24bit.bmp", "colors16.ppm"},
                                         Fixture{"bmp5_32bit.bmp", "colors16.ppm"},
                                         Fixture{"bmp5_16bit_565.bmp", "primaries.ppm"},
                                         Fixture{"bmp5_16bit_555.bmp", "primaries.ppm"}),
                         [](const auto& info) {
                           std::string name = info.param.bmp;
                           return name.substr(0, name.find('.'));
                         });

// Builds BMP files byte by byte for the cases no other tool writes.
struct BmpBuilder {
  int32_t width = 2;
  int32_t height = 2;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t info_size = 40;
  int64_t colours_used = -1;  // -1: the size of the palette
  std::vector<Color> palette;
  std::vector<uint32_t> masks;  // red, green, blue
  std::vector<uint8_t> pixels;
  int64_t pixel_offset = -1;  // -1: right after the palette

  std::vector<uint8_t> bytes() const {
    std::vector<uint8_t> out;
    const auto u16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    const auto u32 = [&](uint32_t v) {
      u16(v & 0xFFFF);
      u16(v >> 16);
    };
    const bool masks_after = info_size == 40 && !masks.empty();
    const uint32_t offset = uint32_t(14 + info_size + (masks_after ? 12 : 0) + 4 * palette.size());
    out.insert(out.end(), {'B', 'M'});
    u32(uint32_t(offset + pixels.size()));
    u32(0);
    u32(pixel_offset >= 0 ? uint32_t(pixel_offset) : offset);
    u32(info_size);
    u32(uint32_t(width));
    u32(uint32_t(height));
    u16(1);
    u16(bits);
    u32(compression);
    u32(uint32_t(pixels.size()));
    u32(2835);
    u32(2835);
    u32(colours_used >= 0 ? uint32_t(colours_used) : uint32_t(palette.size()));
    u32(0);
    for (size_t i = 0; i < 3 && (info_size > 40 || masks_after); ++i) {
      u32(i < masks.size() ? masks[i] : 0);
    }
    out.resize(14 + info_size + (masks_after ? 12 : 0), 0);
    for (Color c : palette) out.insert(out.end(), {blue_of(c), green_of(c), red_of(c), 0});
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

std::optional<Bitmap> decode(const BmpBuilder& b, std::string* error = nullptr) {
  const std::vector<uint8_t> bytes = b.bytes();
  return decode_bmp(bytes, error);
}

constexpr Color kRed = colors::kRed, kGreen = colors::kGreen, kBlue = colors::kBlue,
                kWhite = colors::kWhite, kBlack = colors::kBlack;

TEST(BmpRead, TopDownAndBottomUpRowsLandTheRightWayUp) {
  BmpBuilder b;
  b.pixels = {0,   0, 255, 0,   255, 0,   0, 0,   // red, green, padding
              255, 0, 0,   255, 255, 255, 0, 0};  // blue, white, padding
  std::optional<Bitmap> up = decode(b);
  ASSERT_TRUE(up);
  EXPECT_EQ(up->pixel(0, 1), kRed);
  EXPECT_EQ(up->pixel(1, 1), kGreen);
  EXPECT_EQ(up->pixel(0, 0), kBlue);
  EXPECT_EQ(up->pixel(1, 0), kWhite);
  b.height = -2;
  std::optional<Bitmap> down = decode(b);
  ASSERT_TRUE(down);
  EXPECT_EQ(down->pixel(0, 0), kRed);
  EXPECT_EQ(down->pixel(1, 1), kWhite);
}

TEST(BmpRead, SixteenAndThirtyTwoBitsWithAndWithoutBitFields) {
  BmpBuilder rgb555;
  rgb555.width = 3;
  rgb555.height = -1;
  rgb555.bits = 16;
  rgb555.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x10, 0x42, 0, 0};  // red, green, (16, 16, 16)
  std::optional<Bitmap> a = decode(rgb555);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->pixel(0, 0), kRed);
  EXPECT_EQ(a->pixel(1, 0), kGreen);
  EXPECT_EQ(a->pixel(2, 0), rgb(132, 132, 132));

  BmpBuilder rgbx = rgb555;
  rgbx.width = 2;
  rgbx.bits = 32;
  rgbx.pixels = {0x10, 0x20, 0x30, 0xFF, 0xFF, 0x00, 0x80, 0x00};
  std::optional<Bitmap> b = decode(rgbx);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->pixel(0, 0), rgb(0x30, 0x20, 0x10));
  EXPECT_EQ(b->pixel(1, 0), rgb(0x80, 0x00, 0xFF));

  BmpBuilder v4 = rgb555;  // the 108-byte header with 565 masks
  v4.info_size = 108;
  v4.compression = 3;
  v4.masks = {0xF800, 0x07E0, 0x001F};
  v4.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0};
  std::optional<Bitmap> c = decode(v4);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pixel(0, 0), kRed);
  EXPECT_EQ(c->pixel(1, 0), kGreen);
  EXPECT_EQ(c->pixel(2, 0), kBlue);

  BmpBuilder masks_after = v4;  // a 40-byte header followed by the masks
  masks_after.info_size = 40;
  EXPECT_EQ(decode(masks_after), c);
}

TEST(BmpRead, TwoBitPalettePixelsArePackedHighBitsFirst) {
  BmpBuilder b;
  b.width = 5;
  b.height = 1;
  b.bits = 2;
  b.palette = {kBlack, kRed, kGreen, kBlue};
  b.pixels = {0b00011011, 0b01000000, 0, 0};
  std::optional<Bitmap> bm = decode(b);
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->pixel(0, 0), kBlack);
  EXPECT_EQ(bm->pixel(1, 0), kRed);
  EXPECT_EQ(bm->pixel(2, 0), kGreen);
  EXPECT_EQ(bm->pixel(3, 0), kBlue);
  EXPECT_EQ(bm->pixel(4, 0), kRed);
}

TEST(BmpRead, Rle8RunsAbsoluteRunsLineEndsAndDeltas) {
  BmpBuilder b;
  b.width = 6;
  b.height = 3;
  b.bits = 8;
  b.compression = 1;
  b.palette = {kBlack, kRed, kGreen, kBlue};
  b.pixels = {3, 1,              // three red
              0, 3, 2, 3, 1, 0,  // absolute: green, blue, red, then the word padding
              0, 0,              // end of line
              2, 2,              // two green
              0, 2, 2, 1,        // delta: right 2, up 1, to x 4 of the top row
              2, 3,              // two blue
              0, 1};             // end of bitmap
  std::string error;
  std::optional<Bitmap> bm = decode(b, &error);
  ASSERT_TRUE(bm) << error;
  const Color bottom[] = {kRed, kRed, kRed, kGreen, kBlue, kRed};
  const Color middle[] = {kGreen, kGreen, kBlack, kBlack, kBlack, kBlack};
  const Color top[] = {kBlack, kBlack, kBlack, kBlack, kBlue, kBlue};
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(bm->pixel(x, 2), bottom[x]) << x;
    EXPECT_EQ(bm->pixel(x, 1), middle[x]) << x;
    EXPECT_EQ(bm->pixel(x, 0), top[x]) << x;
  }
}

TEST(BmpRead, Rle4AlternatesNibblesAndPadsAbsoluteRunsToWords) {
  BmpBuilder b;
  b.width = 5;
  b.height = 3;
  b.bits = 4;
  b.compression = 2;
  b.palette = {kBlack, kRed, kGreen, kBlue, kWhite, rgb(9, 9, 9), rgb(6, 6, 6)};
  b.pixels = {5, 0x12, 0,    0,                       // red green red green red
              0, 3,    0x34, 0x50, 2,    0x66, 0, 0,  // absolute blue white (9), then two (6)
              0, 5,    0x12, 0x34, 0x50, 0x00,        // absolute of 5 in 3 bytes plus padding
              0, 1};
  std::string error;
  std::optional<Bitmap> bm = decode(b, &error);
  ASSERT_TRUE(bm) << error;
  const Color rows[3][5] = {{kRed, kGreen, kBlue, kWhite, rgb(9, 9, 9)},
                            {kBlue, kWhite, rgb(9, 9, 9), rgb(6, 6, 6), rgb(6, 6, 6)},
                            {kRed, kGreen, kRed, kGreen, kRed}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(bm->pixel(x, y), rows[y][x]) << x << "," << y;
}

BmpBuilder small_palette() {
  BmpBuilder b;
  b.width = 3;
  b.height = 2;
  b.bits = 4;
  b.colours_used = 2;
  b.palette = {kBlack, kWhite};
  b.pixels = {0x01, 0x00, 0, 0, 0x10, 0x10, 0, 0};
  return b;
}

BmpBuilder small_rle8() {
  BmpBuilder b = small_palette();
  b.bits = 8;
  b.compression = 1;
  b.pixels = {3, 1, 0, 0, 3, 0, 0, 1};
  return b;
}

struct Malformed {
  const char* name;
  const char* reason;  // a part of the expected message
  std::function<std::vector<uint8_t>()> bytes;
};

std::vector<uint8_t> built(const std::function<void(BmpBuilder&)>& change,
                           BmpBuilder (*base)() = small_palette) {
  BmpBuilder b = base();
  change(b);
  return b.bytes();
}

std::vector<uint8_t> patched(std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with) {
  std::copy(with.begin(), with.end(), bytes.begin() + at);
  return bytes;
}

class BmpMalformed : public testing::TestWithParam<Malformed> {};

TEST_P(BmpMalformed, IsRefusedForItsFault) {
  const std::vector<uint8_t> bytes = GetParam().bytes();
  std::string error;
  EXPECT_FALSE(decode_bmp(bytes, &error));
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

const Malformed kMalformed[] = {
    {"empty", "too short", [] { return std::vector<uint8_t>{}; }},
    {"wrong_magic", "not a BMP",
     [] {
       return patched(small_palette().bytes(), 0, {'M', 'B'});
     }},
    {"file_header_only", "too short",
     [] {
       auto b = small_palette().bytes();
       b.resize(14);
       return b;
     }},
    {"info_header_cut", "info header truncated",
     [] {
       auto b = small_palette().bytes();
       b.resize(40);
       return b;
     }},
    {"unknown_info_size", "info header size",
     [] {
       return patched(small_palette().bytes(), 14, {64, 0, 0, 0});
     }},
    {"zero_width", "not positive", [] { return built([](BmpBuilder& b) { b.width = 0; }); }},
    {"negative_width", "not positive", [] { return built([](BmpBuilder& b) { b.width = -3; }); }},
    {"zero_height", "height is zero", [] { return built([](BmpBuilder& b) { b.height = 0; }); }},
    {"too_wide", "too large", [] { return built([](BmpBuilder& b) { b.width = 16385; }); }},
    {"too_tall_top_down", "too large",
     [] { return built([](BmpBuilder& b) { b.height = -16385; }); }},
    {"most_negative_height", "too large",
     [] { return built([](BmpBuilder& b) { b.height = INT32_MIN; }); }},
    {"too_many_pixels", "too large",
     [] { return built([](BmpBuilder& b) { b.width = b.height = 16384; }); }},
    {"wider_than_the_panel", "641 x 2 is too large",
     [] { return built([](BmpBuilder& b) { b.width = 641; }); }},
    {"taller_than_the_panel_top_down", "3 x 481 is too large",
     [] { return built([](BmpBuilder& b) { b.height = -481; }); }},
    {"bit_depth_7", "bit depth 7", [] { return built([](BmpBuilder& b) { b.bits = 7; }); }},
    {"bit_depth_0", "bit depth 0", [] { return built([](BmpBuilder& b) { b.bits = 0; }); }},
    {"jpeg_compression", "compression 4",
     [] { return built([](BmpBuilder& b) { b.compression = 4; }); }},
    {"rle8_with_4_bits", "RLE8 with 4",
     [] { return built([](BmpBuilder& b) { b.compression = 1; }); }},
    {"bitfields_with_8_bits", "bit fields with 8",
     [] {
       return built([](BmpBuilder& b) {
         b.bits = 8;
         b.compression = 3;
       });
     }},
    {"bitfields_split_mask", "masks",
     [] {
       return built([](BmpBuilder& b) {
         b.bits = 16;
         b.compression = 3;
         b.palette.clear();
         b.colours_used = 0;
         b.masks = {0xF00F, 0x0FF0, 0};
       });
     }},
    {"bitfields_mask_past_pixel", "masks",
     [] {
       return built([](BmpBuilder& b) {
         b.bits = 16;
         b.compression = 3;
         b.palette.clear();
         b.colours_used = 0;
         b.masks = {0xFF0000, 0xFF00, 0xFF};
       });
     }},
    {"palette_index_past_colours", "palette index 2 past the 2",
     [] { return built([](BmpBuilder& b) { b.pixels[0] = 0x21; }); }},
    {"palette_larger_than_depth", "larger than 2^4",
     [] { return built([](BmpBuilder& b) { b.colours_used = 17; }); }},
    {"palette_past_file_end", "palette runs past",
     [] {
       return built([](BmpBuilder& b) {
         b.colours_used = 16;
         b.pixels.clear();
       });
     }},
    {"pixel_offset_past_end", "offset 4000 is past the end",
     [] { return built([](BmpBuilder& b) { b.pixel_offset = 4000; }); }},
    {"pixel_offset_in_headers", "inside the headers",
     [] { return built([](BmpBuilder& b) { b.pixel_offset = 20; }); }},
    {"pixel_data_truncated", "pixel data truncated",
     [] { return built([](BmpBuilder& b) { b.pixels.resize(5); }); }},
    {"claims_more_rows_than_held", "pixel data truncated",
     [] { return built([](BmpBuilder& b) { b.height = 400; }); }},
    {"rle_top_down", "top-down",
     [] { return built([](BmpBuilder& b) { b.height = -2; }, small_rle8); }},
    {"rle_run_past_row_padding", "past the end of row",
     [] {
       return built([](BmpBuilder& b) { b.pixels = {5, 1, 0, 1}; }, small_rle8);
     }},
    {"rle_absolute_past_row_padding", "past the end of row",
     [] {
       return built([](BmpBuilder& b) { b.pixels = {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}; }, small_rle8);
     }},
    {"rle_delta_past_row", "delta moves past",
     [] { return built([](BmpBuilder& b) { b.pixels = {0, 2, 4, 0, 0, 1}; }, small_rle8); }},
    {"rle_delta_past_image", "delta moves past",
     [] { return built([](BmpBuilder& b) { b.pixels = {0, 2, 0, 3, 0, 1}; }, small_rle8); }},
    {"rle_run_past_last_row", "past the last row",
     [] { return built([](BmpBuilder& b) { b.pixels = {0, 0, 0, 0, 1, 1, 0, 1}; }, small_rle8); }},
    {"rle_index_past_colours", "palette index 7",
     [] {
       return built([](BmpBuilder& b) { b.pixels = {2, 7, 0, 1}; }, small_rle8);
     }},
    {"rle_absolute_cut_off", "absolute run cut off",
     [] {
       return built([](BmpBuilder& b) { b.pixels = {0, 3, 1, 1}; }, small_rle8);
     }},
    {"rle_delta_cut_off", "delta cut off",
     [] {
       return built([](BmpBuilder& b) { b.pixels = {0, 2, 1}; }, small_rle8);
     }},
    {"rle_ends_early", "ends before",
     [] {
       return built([](BmpBuilder& b) { b.pixels = {3, 1, 0, 0}; }, small_rle8);
     }},
};

INSTANTIATE_TEST_SUITE_P(Bmp, BmpMalformed, testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpRead, TheBaseOfTheMalformedCasesIsItselfValid) {
  std::string error;
  const std::optional<Bitmap> a = decode(small_palette(), &error);
  ASSERT_TRUE(a) << error;
  EXPECT_EQ(a->pixel(1, 1), kWhite);
  EXPECT_EQ(a->pixel(0, 0), kWhite);
  EXPECT_EQ(a->pixel(2, 1), kBlack);
  const std::optional<Bitmap> b = decode(small_rle8(), &error);
  ASSERT_TRUE(b) << error;
  EXPECT_EQ(b->pixel(2, 1), kWhite);
  EXPECT_EQ(b->pixel(2, 0), kBlack);
  // An RLE file whose last line end closes the last row needs no end-of-bitmap mark.
  BmpBuilder closed = small_rle8();
  closed.pixels = {3, 1, 0, 0, 3, 0, 0, 0};
  EXPECT_EQ(decode(closed), b);
}

TEST(BmpRead, APictureAsLargeAsThePanelIsTheLargestTaken) {
  BmpBuilder whole_screen;
  whole_screen.width = 640;
  whole_screen.height = -480;
  whole_screen.pixels.assign(640 * 3 * 480, 0x40);
  std::string error;
  const std::optional<Bitmap> bm = decode(whole_screen, &error);
  ASSERT_TRUE(bm) << error;
  EXPECT_EQ(bm->pixel(639, 479), rgb(0x40, 0x40, 0x40));
}

// Tiny files that claim huge pictures.
std::vector<std::pair<std::string, BmpBuilder>> bombs() {
  BmpBuilder rle8;  // 88 bytes that claim 16384 x 2048
  rle8.width = 16384;
  rle8.height = 2048;
  rle8.bits = 8;
  rle8.compression = 1;
  rle8.palette = {kBlack, kWhite};
  for (int i = 0; i < 12; ++i) rle8.pixels.insert(rle8.pixels.end(), {255, 1});
  rle8.pixels.insert(rle8.pixels.end(), {0, 1});
  BmpBuilder rgb32 = rle8;  // 12 KB of 32-bit pixels for the same size
  rgb32.bits = 32;
  rgb32.compression = 0;
  rgb32.palette.clear();
  rgb32.pixels.assign(12 * 1024, 0x7F);
  BmpBuilder short_screen = rgb32;  // a size the panel takes, but most pixels missing
  short_screen.width = 640;
  short_screen.height = 480;
  BmpBuilder bad_runs = rle8;  // runs that cover rows, then a delta out of the picture
  bad_runs.width = 640;
  bad_runs.height = 480;
  bad_runs.pixels.clear();
  for (int row = 0; row < 8; ++row) {
    for (int i = 0; i < 5; ++i) bad_runs.pixels.insert(bad_runs.pixels.end(), {128, 1});
    bad_runs.pixels.insert(bad_runs.pixels.end(), {0, 0});
  }
  bad_runs.pixels.insert(bad_runs.pixels.end(), {0, 2, 0, 255, 0, 2, 0, 255, 0, 1});
  return {{"rle8", rle8}, {"rgb32", rgb32}, {"short_screen", short_screen}, {"bad_runs", bad_runs}};
}

TEST(BmpRead, BombsAreRefusedBeforeAnyMemoryIsTakenForTheirPixels) {
  for (const auto& [name, bomb] : bombs()) {
    const std::vector<uint8_t> bytes = bomb.bytes();
    std::string error;
    gfx_test::g_allocated_bytes = 0;
    gfx_test::g_counting = true;
    const bool decoded = decode_bmp(bytes, &error).has_value();
    gfx_test::g_counting = false;
    EXPECT_FALSE(decoded) << name;
    EXPECT_FALSE(error.empty()) << name;
    // The smallest of them would take 1.2 MB of pixels; the refusal takes a few strings.
    EXPECT_LT(gfx_test::g_allocated_bytes.load(), 16 * 1024) << name << ": " << error;
  }
  EXPECT_EQ(bombs()[0].second.bytes().size(), 88u);
}

TEST(BmpWrite, Encodes24BitsBottomUpWithPaddedRows) {
  Bitmap bm(3, 2);
  bm.set_pixel(0, 0, rgb(1, 2, 3));
  bm.set_pixel(2, 0, rgb(4, 5, 6));
  bm.set_pixel(1, 1, rgb(7, 8, 9));
  const std::vector<uint8_t> expected = {
      'B', 'M', 78, 0, 0,    0,    0, 0, 0,    0,    54, 0, 0, 0,                     // file header
      40,  0,   0,  0, 3,    0,    0, 0, 2,    0,    0,  0, 1, 0, 24, 0, 0, 0, 0, 0,  // size, w, h,
                                                                                      // planes,
                                                                                      // bits
      24,  0,   0,  0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0,
      0,   0,   9,  8, 7,    0,    0, 0, 0,    0,    0,  // bottom row first, padded to 12 bytes
      3,   2,   1,  0, 0,    0,    6, 5, 4,    0,    0,  0};
  EXPECT_EQ(encode_bmp24(bm), expected);
  EXPECT_TRUE(encode_bmp24(Bitmap()).empty());
}

class BmpFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("corvex-bmp-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(BmpFiles, WrittenFilesReadBackAndReplaceTheOldOneWhole) {
  Bitmap bm(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) bm.set_pixel(x, y, rgb(uint8_t(x * 30), uint8_t(y * 50), 77));
  const std::string path = (dir_ / "GRAPHIC_001_MAIN_TIMERS_BUTTON.BMP").string();
  std::string error;
  ASSERT_TRUE(write_bmp_file(path, Bitmap(2, 2, kRed), &error)) << error;
  ASSERT_TRUE(write_bmp_file(path, bm, &error)) << error;
  const std::optional<Bitmap> back = read_bmp_file(path, &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(*back, bm);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

TEST_F(BmpFiles, FailuresAreReportedNotHidden) {
  std::string error;
  EXPECT_FALSE(write_bmp_file((dir_ / "missing" / "a.bmp").string(), Bitmap(1, 1), &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(write_bmp_file((dir_ / "empty.bmp").string(), Bitmap(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(dir_ / "empty.bmp"));
  error.clear();
  EXPECT_FALSE(read_bmp_file((dir_ / "none.bmp").string(), &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(read_bmp_file(dir_.string(), &error));
  EXPECT_FALSE(error.empty());
  std::ofstream((dir_ / "text.bmp").string()) << "hello";
  error.clear();
  EXPECT_FALSE(read_bmp_file((dir_ / "text.bmp").string(), &error));
  EXPECT_NE(error.find("text.bmp"), std::string::npos) << error;
}

TEST_F(BmpFiles, AFifoIsRefusedWithoutWaitingForAWriter) {
  std::string error;
  std::optional<Bitmap> bm;
  const std::string path = (dir_ / "NID_14_WARNING_ID_05.bmp").string();
  EXPECT_TRUE(test_support::returns_promptly(path, [&] { bm = read_bmp_file(path, &error); }))
      << "blocked in open";
  EXPECT_FALSE(bm);
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

TEST_F(BmpFiles, TheHeaderIsReadFirstAndAFileFarLargerThanItIsRefusedUnread) {
  BmpBuilder warning;
  warning.width = 500;
  warning.height = 400;
  warning.pixels.assign(500 * 3 * 400, 0x20);
  const std::vector<uint8_t> bytes = warning.bytes();
  const auto write = [&](const std::string& name, uint64_t size, const std::vector<uint8_t>& b) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                std::streamsize(b.size()));
    fs::resize_file(path, size);  // the tail is a hole: no disk space, read back as zeros
    return path;
  };
  const auto read_counted = [](const std::string& path, std::string* error) {
    gfx_test::g_allocated_bytes = 0;
    gfx_test::g_counting = true;
    const bool read = read_bmp_file(path, error).has_value();
    gfx_test::g_counting = false;
    return read;
  };
  std::string error;
  const std::string gigabyte = write("huge.bmp", uint64_t(1) << 30, bytes);
  EXPECT_FALSE(read_counted(gigabyte, &error));
  EXPECT_NE(error.find("much larger"), std::string::npos) << error;
  EXPECT_LT(gfx_test::g_allocated_bytes.load(), 64 * 1024);

  // A far-off pixel offset would make any size look plausible.
  std::vector<uint8_t> far = bytes;
  far[12] = 0x20;  // offset 2 MiB
  EXPECT_FALSE(read_counted(write("far.bmp", 3 << 20, far), &error));
  EXPECT_NE(error.find("implausibly far"), std::string::npos) << error;
  EXPECT_LT(gfx_test::g_allocated_bytes.load(), 64 * 1024);

  // Trailing bytes a writer may leave are no reason to refuse the picture.
  EXPECT_TRUE(read_counted(write("padded.bmp", bytes.size() + 4096, bytes), &error)) << error;
  EXPECT_TRUE(read_counted(write("exact.bmp", bytes.size(), bytes), &error)) << error;
  EXPECT_FALSE(read_counted(write("cut.bmp", 40, bytes), &error));
  EXPECT_NE(error.find("info header truncated"), std::string::npos) << error;
}

}  // namespace
