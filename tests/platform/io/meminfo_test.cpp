#include "platform/io/meminfo.h"

#include <gtest/gtest.h>

namespace {

TEST(MemInfoTest, TotalAvailableAndLoadFromTheKernelsFigures) {
  auto status = platform::parse_meminfo(
      "MemTotal:        1000000 kB\n"
      "MemFree:          100000 kB\n"
      "MemAvailable:     250000 kB\n"
      "Buffers:           10000 kB\n");
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->total_bytes, 1000000ull * 1024);
  EXPECT_EQ(status->available_bytes, 250000ull * 1024);
  EXPECT_EQ(status->load_percent, 75u);
}

TEST(MemInfoTest, OlderKernelsWithoutMemAvailable) {
  auto status = platform::parse_meminfo("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 150 kB\n");
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->available_bytes, 300u * 1024);
  EXPECT_EQ(status->load_percent, 70u);
}

TEST(MemInfoTest, AnOddFileNeverGivesNonsense) {
  EXPECT_FALSE(platform::parse_meminfo("").has_value());
  EXPECT_FALSE(platform::parse_meminfo("MemFree: 100 kB\n").has_value());
  EXPECT_FALSE(platform::parse_meminfo("MemTotal: 0 kB\n").has_value());
  EXPECT_FALSE(platform::parse_meminfo("MemTotal: 99999999999999999999999 kB\n").has_value());
  EXPECT_FALSE(platform::parse_meminfo("MemTotal: 18446744073709551615 kB\n").has_value());
  auto odd = platform::parse_meminfo(
      "garbage without colon\n:\nMemTotal:\t2048 kB\r\nMemAvailable: lots\nCached: 99 MB\n"
      "MemFree: 4096 kB\n");
  ASSERT_TRUE(odd.has_value());
  EXPECT_EQ(odd->total_bytes, 2048u * 1024);
  EXPECT_EQ(odd->available_bytes, odd->total_bytes);  // capped at the total
  EXPECT_EQ(odd->load_percent, 0u);
  auto bytes = platform::parse_meminfo("MemTotal: 400\nMemAvailable: 100\n");
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->total_bytes, 400u);
  EXPECT_EQ(bytes->load_percent, 75u);
}

TEST(MemInfoTest, ThisMachinesFigures) {
  auto status = platform::memory_status();
  ASSERT_TRUE(status.has_value());
  EXPECT_GT(status->total_bytes, 16u << 20);
  EXPECT_LE(status->available_bytes, status->total_bytes);
  EXPECT_LE(status->load_percent, 100u);
}

}  // namespace
