// Screenshots: PNG files written by us and read back by libpng.
#include "platform/gfx/png.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace platform;
namespace fs = std::filesystem;

Bitmap screen_pattern() {
  Bitmap bm(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) bm.set_pixel(x, y, rgb(uint8_t(x), uint8_t(y), uint8_t(x ^ y)));
  return bm;
}

TEST(Png, ScreenshotReadsBackThroughLibpng) {
  const fs::path path =
      fs::temp_directory_path() / ("corvex-shot-" + std::to_string(getpid()) + ".png");
  const Bitmap bm = screen_pattern();
  std::string error;
  ASSERT_TRUE(write_png_file(path.string(), bm, &error)) << error;

  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), bytes.begin()));

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
  EXPECT_EQ(image.width, 640u);
  EXPECT_EQ(image.height, 480u);
  EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb_bytes(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb_bytes.data(), 0, nullptr));
  int wrong = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint8_t* p = &rgb_bytes[(size_t(y) * 640 + x) * 3];
      wrong += rgb(p[0], p[1], p[2]) != bm.pixel(x, y);
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(encode_png(bm), bytes);
  fs::remove(path);
}

TEST(Png, EmptyBitmapsAndUnwritablePlacesAreRefused) {
  EXPECT_TRUE(encode_png(Bitmap()).empty());
  std::string error;
  EXPECT_FALSE(write_png_file("/nonexistent-dir/shot.png", Bitmap(4, 4), &error));
  EXPECT_NE(error.find("/nonexistent-dir/shot.png"), std::string::npos) << error;
  error.clear();
  const fs::path path =
      fs::temp_directory_path() / ("corvex-empty-" + std::to_string(getpid()) + ".png");
  EXPECT_FALSE(write_png_file(path.string(), Bitmap(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
