// CRC and frame acceptance, against values worked out independently of our code.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "link/crc.h"
#include "link/frames.h"
#include "link_test_support.h"

namespace corvex::link::test {
namespace {

TEST(Crc, StandardCheckValues) {
  const char* check = "123456789";
  EXPECT_EQ(crc16(reinterpret_cast<const uint8_t*>(check), 9), 0x4B37);

  uint8_t abc[5] = {'a', 'b', 'c', 0, 0};
  crc16_append(abc, 3);
  EXPECT_EQ(abc[3], 0x49);  // low byte first
  EXPECT_EQ(abc[4], 0x57);
  EXPECT_TRUE(crc16_check(abc, 3));
  abc[4] ^= 0x01;
  EXPECT_FALSE(crc16_check(abc, 3));
}

TEST(Crc, FixedFramesCarryTheirChecksum) {
  EXPECT_EQ(std::vector<uint8_t>(kPollFrame.begin(), kPollFrame.end()),
            (std::vector<uint8_t>{0x07, 0x00, 0x00, 0x00, 0x00, 0x91, 0xC0}));
  EXPECT_EQ(std::vector<uint8_t>(kResyncFrame.begin(), kResyncFrame.end()),
            (std::vector<uint8_t>{0x06, 0x00, 0x02, 0x10}));
  uint8_t poll[7] = {0x07, 0, 0, 0, 0, 0, 0};
  crc16_append(poll, 5);
  EXPECT_EQ(0, std::memcmp(poll, kPollFrame.data(), 7));
  uint8_t resync[4] = {0x06, 0, 0, 0};
  crc16_append(resync, 2);
  EXPECT_EQ(0, std::memcmp(resync, kResyncFrame.data(), 4));
}

TEST(Acceptance, OnlyAWholeFrameWithAGoodCrc) {
  StatusBytes f;
  for (size_t k = 0; k < kStatusBytes; ++k) f[k] = uint8_t(k * 7);
  const uint8_t* frame = f.sealed();
  EXPECT_TRUE(accept_status_frame(frame, 331));
  // A read that returned fewer bytes is discarded even when they are a correct frame start.
  EXPECT_FALSE(accept_status_frame(frame, 330));
  EXPECT_FALSE(accept_status_frame(frame, 0));
  EXPECT_FALSE(accept_status_frame(frame, 332));
  f[200] ^= 0x40;  // one bit flipped after the CRC was made
  EXPECT_FALSE(accept_status_frame(f.bytes.data(), 331));
}

}  // namespace
}  // namespace corvex::link::test
