// The command builder, with the expected frames written out as bytes.
#include <gtest/gtest.h>

#include <vector>

#include "link/command_builder.h"
#include "link/crc.h"
#include "link_test_support.h"

namespace corvex::link::test {
namespace {

using PW = PendingWrite;
using Bytes = std::vector<uint8_t>;

class CommandBuilder : public LinkTest {
 protected:
  // Builds a frame and returns its bytes up to the CRC (length byte - 2 bytes).
  Bytes build(bool* any = nullptr) {
    uint8_t tx[kTransmitBufferBytes] = {};
    const bool result = build_command_frame(tx);
    if (any) *any = result;
    return Bytes(tx, tx + tx[0] - 2);
  }
  // Every slot holds the low byte of its own offset, so each record shows where it came from.
  static void number_the_slots() {
    for (size_t k = 0; k < kStatusBytes; ++k) set_desired(k, uint8_t(k));
  }
};

TEST_F(CommandBuilder, NothingRaisedGivesNoRecord) {
  bool any = true;
  EXPECT_EQ(build(&any), (Bytes{0x04, 0x00}));
  EXPECT_FALSE(any);
}

TEST_F(CommandBuilder, ClockRecordAloneIsTwelveBytesAndIsAOneShot) {
  raise_write(PW::k53, {{53, 7}, {54, 13}, {55, 24}, {56, 12}, {57, 25}});
  uint8_t tx[kTransmitBufferBytes] = {};
  ASSERT_TRUE(build_command_frame(tx));
  crc16_append(tx, size_t(tx[0]) - 2);
  EXPECT_EQ(Bytes(tx, tx + tx[0]), (Bytes{0x0C, 0x01, 0x00, 0x35, 0x05, 0x07, 0x0D, 0x18, 0x0C,
                                         0x19, 0x2B, 0x5F}));
  EXPECT_FALSE(write_raised(PW::k53));
  EXPECT_EQ(build(), (Bytes{0x04, 0x00}));
}

TEST_F(CommandBuilder, OneByteRecordStartsWithItsAddress) {
  raise_write(PW::k49, {{49, 0x20}});
  EXPECT_EQ(build(), (Bytes{0x08, 0x01, 0x00, 0x31, 0x01, 0x20}));
  // The flag stays raised: the record goes out again until the controller reports it.
  EXPECT_EQ(build(), (Bytes{0x08, 0x01, 0x00, 0x31, 0x01, 0x20}));
}

TEST_F(CommandBuilder, RecordAtPosition99IsTheLastTestedOne) {
  number_the_slots();
  // 3 one-byte records and 17 two-byte records bring the write position to 99.
  for (PW f : {PW::k4, PW::k5, PW::k6}) raise_write(f);
  for (PW f : {PW::k11, PW::k9, PW::k254, PW::k252, PW::k16, PW::k14, PW::k21, PW::k19, PW::k26,
               PW::k31, PW::k41, PW::k46, PW::k59, PW::k61, PW::k63, PW::k65, PW::k67})
    raise_write(f);
  raise_write(PW::k164);  // 7 bytes at position 99
  raise_write(PW::k187);  // tested: no room any more
  raise_write(PW::k285);  // exempt from the limit
  const Bytes frame = build();
  const Bytes expected = {
      0x70, 0x16,                                              // length 112, 22 records
      0x00, 0x04, 0x01, 0x04, 0x00, 0x05, 0x01, 0x05, 0x00, 0x06, 0x01, 0x06,
      0x00, 0x0B, 0x02, 0x0B, 0x0C, 0x00, 0x09, 0x02, 0x09, 0x0A,
      0x00, 0xFE, 0x02, 0xFE, 0xFF, 0x00, 0xFC, 0x02, 0xFC, 0xFD,
      0x00, 0x10, 0x02, 0x10, 0x11, 0x00, 0x0E, 0x02, 0x0E, 0x0F,
      0x00, 0x15, 0x02, 0x15, 0x16, 0x00, 0x13, 0x02, 0x13, 0x14,
      0x00, 0x1A, 0x02, 0x1A, 0x1B, 0x00, 0x1F, 0x02, 0x1F, 0x20,
      0x00, 0x29, 0x02, 0x29, 0x2A, 0x00, 0x2E, 0x02, 0x2E, 0x2F,
      0x00, 0x3B, 0x02, 0x3B, 0x3C, 0x00, 0x3D, 0x02, 0x3D, 0x3E,
      0x00, 0x3F, 0x02, 0x3F, 0x40, 0x00, 0x41, 0x02, 0x41, 0x42,
      0x00, 0x43, 0x02, 0x43, 0x44,                            // position 99 after this
      0x00, 0xA4, 0x04, 0xA4, 0xA5, 0xA6, 0xA7,                // 164..167 -> 106
      0x01, 0x1D, 0x01, 0x1D,                                  // grain type, exempt
  };
  EXPECT_EQ(frame, expected);
  EXPECT_TRUE(write_raised(PW::k187));  // waits for a later cycle
}

TEST_F(CommandBuilder, AllFlagsRaisedStopAtTheLimitExceptTheExemptEntries) {
  number_the_slots();
  for (size_t i = 0; i < kPendingWriteCount; ++i) raise_write(PendingWrite(i));
  const Bytes frame = build();
  ASSERT_EQ(frame.size(), 106u);
  EXPECT_EQ(frame[0], 108);  // entries 1-21 and 85
  EXPECT_EQ(frame[1], 22);
  EXPECT_EQ((Bytes{frame[2], frame[3], frame[4], frame[5]}), (Bytes{0x00, 0x03, 0x01, 0x03}));
  // Entries 1-20 end at 94; the clock record follows past the limit, then the grain type.
  EXPECT_EQ(Bytes(frame.begin() + 94, frame.end()),
            (Bytes{0x00, 0x35, 0x05, 0x35, 0x36, 0x37, 0x38, 0x39, 0x01, 0x1D, 0x01, 0x1D}));
  EXPECT_FALSE(write_raised(PW::k53));
  // What did not fit stays raised; the one-shots of entries 60 and 78 were not emitted.
  EXPECT_TRUE(write_raised(PW::k69));
  EXPECT_TRUE(write_raised(PW::k218Trigger));
  EXPECT_TRUE(write_raised(PW::k266));
  EXPECT_EQ(desired(266), 266 & 0xFF);
}

TEST_F(CommandBuilder, UnitsRecordSendsItsOneShotBitsOnce) {
  raise_write(PW::k266, {{266, 0x83}});
  EXPECT_EQ(build(), (Bytes{0x08, 0x01, 0x01, 0x0A, 0x01, 0x83}));
  EXPECT_FALSE(write_raised(PW::k266));
  EXPECT_EQ(desired(266), 0x80);
  EXPECT_EQ(build(), (Bytes{0x04, 0x00}));
}

TEST_F(CommandBuilder, TriggerOfTheMoistureControlRecordIsAOneShot) {
  raise_write(PW::k218Trigger, {{218, 0x0C}, {219, 0x98}});
  raise_write(PW::k219Bits);
  EXPECT_EQ(build(), (Bytes{0x09, 0x01, 0x00, 0xDA, 0x02, 0x0C, 0x98}));
  EXPECT_FALSE(write_raised(PW::k218Trigger));
  EXPECT_TRUE(write_raised(PW::k219Bits));
}

TEST_F(CommandBuilder, CopyRecordsCarryTheControllersOwnBytes) {
  for (uint8_t k = 0; k < 4; ++k) set_mirror(155 + k, uint8_t(0x21 + k));
  set_mirror(230, 0x44);
  set_desired(159, 0x99);  // not what these records carry
  raise_write(PW::k159Copy);
  raise_write(PW::k161);
  raise_write(PW::k160Copy);
  EXPECT_EQ(build(), (Bytes{0x15, 0x03,
                            0x00, 0x9F, 0x04, 0x21, 0x22, 0x23, 0x24,
                            0x00, 0xA1, 0x01, 0x44,
                            0x00, 0xA0, 0x03, 0x22, 0x23, 0x24}));
}

TEST_F(CommandBuilder, NodeOneRecordsAddressStatusBytesFrom256) {
  raise_write(PW::k277, {{277, 0xC8}, {278, 0x00}});
  raise_write(PW::k293, {{293, 0x80}});
  EXPECT_EQ(build(), (Bytes{0x0D, 0x02, 0x01, 0x15, 0x02, 0xC8, 0x00, 0x01, 0x25, 0x01, 0x80}));
}

}  // namespace
}  // namespace corvex::link::test
