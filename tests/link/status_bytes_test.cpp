// The shared accessors of the status bytes: byte orders of 16-bit values, the slots of a write
// and the order in which a write is raised after them.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "link/command_builder.h"
#include "link/frames.h"
#include "link/status_bytes.h"
#include "link_test_support.h"

namespace corvex::link::test {
namespace {

using StatusBytesTest = LinkTest;

// The value bytes of the record for (node, id) in the command frame built now, if it is there.
std::optional<std::vector<uint8_t>> record_in_next_frame(uint8_t node, uint8_t id) {
  std::array<uint8_t, kTransmitBufferBytes> frame{};
  if (!build_command_frame(frame.data())) return std::nullopt;
  size_t at = CommandFrame::kFirstRecord;
  for (int r = 0; r < frame[CommandFrame::kCountByte]; ++r) {
    const uint8_t n = frame[at + ParameterRecord::kLength];
    if (frame[at + ParameterRecord::kNode] == node && frame[at + ParameterRecord::kId] == id) {
      const uint8_t* v = &frame[at + ParameterRecord::kValue];
      return std::vector<uint8_t>(v, v + n);
    }
    at += ParameterRecord::kHeaderBytes + n;
  }
  return std::nullopt;
}

TEST_F(StatusBytesTest, WordsAreReadAndStoredInTheirOwnByteOrder) {
  // Moisture setpoint: high byte first. 0x012C = 300 tenths.
  set_mirror(kMoistureSetpoint, 0x01);
  set_mirror(kMoistureSetpoint + 1, 0x2C);
  EXPECT_EQ(mirror_hi_lo(kMoistureSetpoint), 300);
  EXPECT_EQ(mirror_lo_hi(kMoistureSetpoint), 0x2C01);

  // Plenum setpoint #1: low byte first.
  set_mirror(plenum_setpoint(1), 0xB4);
  set_mirror(plenum_setpoint(1) + 1, 0x00);
  EXPECT_EQ(mirror_lo_hi(plenum_setpoint(1)), 180);

  set_desired_hi_lo(kMoistureSetpoint, 0x0102);
  EXPECT_EQ(desired(kMoistureSetpoint), 0x01);
  EXPECT_EQ(desired(kMoistureSetpoint + 1), 0x02);
  EXPECT_EQ(desired_hi_lo(kMoistureSetpoint), 0x0102);
  set_desired_lo_hi(plenum_setpoint(1), 0x0102);
  EXPECT_EQ(desired(plenum_setpoint(1)), 0x02);
  EXPECT_EQ(desired(plenum_setpoint(1) + 1), 0x01);
  EXPECT_EQ(desired_lo_hi(plenum_setpoint(1)), 0x0102);

  // The slots never touch what the controller reported.
  EXPECT_EQ(mirror_hi_lo(kMoistureSetpoint), 300);
  EXPECT_EQ(mirror_lo_hi(plenum_setpoint(1)), 180);
  EXPECT_FALSE(write_raised(PendingWrite::k199));

  set_mirror(kRunningTimer, 2);
  set_mirror(kRunningTimer + 1, 5);
  EXPECT_EQ(mirror_timer_seconds(kRunningTimer), 125);
}

TEST_F(StatusBytesTest, ARaisedWordGoesOutInItsByteOrder) {
  raise_write_hi_lo(PendingWrite::k199, kMoistureSetpoint, 0x00FA);
  raise_write_lo_hi(PendingWrite::k69, plenum_setpoint(1), 0x0104);
  EXPECT_TRUE(write_raised(PendingWrite::k199));
  EXPECT_EQ(record_in_next_frame(0, kMoistureSetpoint), (std::vector<uint8_t>{0x00, 0xFA}));
  EXPECT_EQ(record_in_next_frame(0, uint8_t(plenum_setpoint(1))),
            (std::vector<uint8_t>{0x04, 0x01}));
  // The batch counter is cleared through its hi/lo pair as one record.
  set_mirror(kBatchCounter, 3);
  raise_write_hi_lo(PendingWrite::k221, kBatchCounter, 0);
  EXPECT_EQ(desired_hi_lo(kBatchCounter), 0);
  EXPECT_TRUE(write_raised(PendingWrite::k221));
}

TEST_F(StatusBytesTest, AnEditorLeftUnchangedSendsNothing) {
  set_mirror(kMoistureSetpoint, 0x00);
  set_mirror(kMoistureSetpoint + 1, 0xC8);
  desire_reported(kMoistureSetpoint, 2);
  EXPECT_EQ(desired_hi_lo(kMoistureSetpoint), 200);
  EXPECT_FALSE(raise_write_if_changed(PendingWrite::k199, kMoistureSetpoint, 2));
  EXPECT_FALSE(write_raised(PendingWrite::k199));
  EXPECT_FALSE(record_in_next_frame(0, kMoistureSetpoint).has_value());

  // A change in the second byte alone is a change too.
  set_desired_byte(kMoistureSetpoint + 1, 0xC9);
  EXPECT_TRUE(desired_differs(kMoistureSetpoint, 2));
  EXPECT_FALSE(desired_differs(kMoistureSetpoint, 1));
  EXPECT_TRUE(raise_write_if_changed(PendingWrite::k199, kMoistureSetpoint, 2));
  EXPECT_EQ(record_in_next_frame(0, kMoistureSetpoint), (std::vector<uint8_t>{0x00, 0xC9}));

  // Several single-byte settings copied at once, as the hardware set-up opens.
  for (uint16_t k = kFanHeaterCode; k <= kLengthIndex; ++k) set_mirror(k, uint8_t(k + 10));
  desire_reported(kFanHeaterCode, kLengthIndex - kFanHeaterCode + 1);
  for (uint16_t k = kFanHeaterCode; k <= kLengthIndex; ++k) EXPECT_EQ(desired(k), k + 10) << k;
  EXPECT_EQ(desired(kLengthIndex + 1), 0) << "nothing past the last byte is copied";
}

}  // namespace
}  // namespace corvex::link::test
