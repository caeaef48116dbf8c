// The simulator's framing of what the display sends: the three frame kinds, resynchronisation
// on garbage, and whole-frame rejection of frames whose records cannot be right.
#include "sim/command_framer.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/sim_test_support.h"

namespace corvex::sim {
namespace {

using testing::command_frame;
using testing::concat;
using testing::kPoll;
using testing::kResync;
using testing::with_crc;

struct Taken {
  std::vector<FrameKind> kinds;
  std::vector<size_t> lengths;
  size_t dropped = 0;
  std::string first_reason;
};

// Pushes the bytes, then takes frames until none is left, the line idle at the end as given.
Taken feed(CommandFramer& framer, const std::vector<uint8_t>& bytes, bool idle_at_end) {
  Taken t;
  Frame frame;
  framer.push(bytes.data(), bytes.size());
  for (bool idle : {false, idle_at_end}) {
    while (framer.next(&frame, idle) == CommandFramer::Result::Frame) {
      t.kinds.push_back(frame.kind);
      t.lengths.push_back(frame.length);
    }
  }
  t.dropped = framer.dropped();
  t.first_reason = framer.drop_reason();
  return t;
}

TEST(CommandFramer, TakesPollResyncAndCommandFramesBackToBack) {
  const auto command = command_frame({{0, 69, {0xC8, 0x00}}, {1, 10, {0x80}}});
  CommandFramer framer;
  const Taken t = feed(framer, concat({kPoll, kResync, command}), false);
  ASSERT_EQ(t.kinds.size(), 3u);
  EXPECT_EQ(t.kinds[0], FrameKind::Poll);
  EXPECT_EQ(t.kinds[1], FrameKind::Resync);
  EXPECT_EQ(t.kinds[2], FrameKind::Command);
  EXPECT_EQ(t.lengths[2], 2u + 5 + 4 + 2);
  EXPECT_EQ(t.dropped, 0u);
}

TEST(CommandFramer, CommandFrameRecordsPointAtTheirValues) {
  // 0C 01 00 35 05 mm hh dd MM yy CRC: the clock record alone.
  const auto bytes = with_crc({0x0C, 0x01, 0x00, 0x35, 0x05, 30, 14, 9, 6, 24});
  CommandFramer framer;
  framer.push(bytes.data(), bytes.size());
  Frame frame;
  ASSERT_EQ(framer.next(&frame, false), CommandFramer::Result::Frame);
  ASSERT_EQ(frame.record_count, 1u);
  EXPECT_EQ(frame.records[0].address(), 53u);
  EXPECT_EQ(frame.records[0].count, 5);
  EXPECT_EQ(frame.records[0].values[0], 30);
  EXPECT_EQ(frame.records[0].values[4], 24);

  const auto node1 = command_frame({{1, 23, {0x01}}});
  framer.push(node1.data(), node1.size());
  ASSERT_EQ(framer.next(&frame, false), CommandFramer::Result::Frame);
  EXPECT_EQ(frame.records[0].address(), 279u);
}

TEST(CommandFramer, SkipsGarbageInFrontOfAFrame) {
  // Bytes that look like lengths (0x60 would wait for 96 bytes), a broken resync, noise.
  const std::vector<uint8_t> garbage = {0x60, 0x06, 0x00, 0x03, 0xFF, 0x00, 0x13, 0x42};
  CommandFramer framer;
  const Taken t = feed(framer, concat({garbage, kPoll}), false);
  ASSERT_EQ(t.kinds.size(), 1u);
  EXPECT_EQ(t.kinds[0], FrameKind::Poll);
  EXPECT_EQ(t.dropped, garbage.size());
  EXPECT_EQ(framer.buffered(), 0u);
}

TEST(CommandFramer, BadCrcAndImpossibleLengthsAreDroppedAndTheNextFrameTaken) {
  auto bad_crc = command_frame({{0, 69, {0xC8, 0x00}}});
  bad_crc.back() ^= 0x01;
  CommandFramer framer;
  Taken t = feed(framer, concat({bad_crc, kPoll}), false);
  ASSERT_EQ(t.kinds.size(), 1u);
  EXPECT_EQ(t.kinds[0], FrameKind::Poll);
  EXPECT_EQ(t.dropped, bad_crc.size());
  EXPECT_NE(t.first_reason.find("bad CRC"), std::string::npos) << t.first_reason;

  // Lengths 0..5 and above 112 can never start a frame; 6 only the resync frame.
  framer.clear_dropped();
  t = feed(framer, concat({{0x05, 0xC8, 0x71}, kResync}), false);
  ASSERT_EQ(t.kinds.size(), 1u);
  EXPECT_EQ(t.kinds[0], FrameKind::Resync);
  EXPECT_EQ(t.dropped, 3u);
  EXPECT_NE(t.first_reason.find("impossible length byte 5"), std::string::npos) << t.first_reason;
}

TEST(CommandFramer, IncompleteFrameWaitsForItsBytesUntilTheLineGoesQuiet) {
  const auto frame = command_frame({{0, 46, {0, 45}}});
  CommandFramer framer;
  Taken t = feed(framer, {frame.begin(), frame.begin() + 5}, false);
  EXPECT_TRUE(t.kinds.empty());
  EXPECT_EQ(t.dropped, 0u);
  t = feed(framer, {frame.begin() + 5, frame.end()}, false);
  ASSERT_EQ(t.kinds.size(), 1u);
  EXPECT_EQ(t.kinds[0], FrameKind::Command);

  // Cut off and followed by silence: thrown away, nothing left to wait for.
  t = feed(framer, {frame.begin(), frame.begin() + 5}, true);
  EXPECT_TRUE(t.kinds.empty());
  EXPECT_EQ(t.dropped, 5u);
  EXPECT_EQ(framer.buffered(), 0u);
}

TEST(CommandFramer, APartialFrameFollowedByAWholeOneDoesNotHoldItUp) {
  // The first frame lost its tail on the line; the next one must be taken at once, without
  // waiting for bytes that will never come.
  const auto first = command_frame({{0, 69, {0xC8, 0x00}}, {0, 67, {0xBE, 0x00}}});
  CommandFramer framer;
  const Taken t = feed(framer, concat({{first.begin(), first.begin() + 8}, kPoll}), false);
  ASSERT_EQ(t.kinds.size(), 1u);
  EXPECT_EQ(t.kinds[0], FrameKind::Poll);
  EXPECT_EQ(t.dropped, 8u);
}

TEST(CommandFramer, FramesWithImpossibleRecordsAreRejectedWhole) {
  struct Case {
    std::vector<uint8_t> body;
    const char* says;
  };
  const Case cases[] = {
      {{0x08, 0x01, 0x02, 0x03, 0x01, 0x00}, "node other than 0 or 1"},
      {{0x08, 0x01, 0x00, 0x00, 0x01, 0x00}, "parameter id outside"},
      {{0x08, 0x01, 0x00, 0xFF, 0x01, 0x00}, "parameter id outside"},
      {{0x08, 0x01, 0x00, 0x03, 0x00, 0x00}, "value length outside"},
      {{0x0A, 0x01, 0x00, 0x03, 0x05, 1, 2, 3}, "runs past the end"},
      {{0x09, 0x01, 0x01, 0x48, 0x02, 0x00, 0x00}, "writes past status byte 328"},
      {{0x0C, 0x03, 0x00, 0x03, 0x01, 0x00, 0x00, 0x04, 0x01, 0x00}, "runs past the end"},
      {{0x0A, 0x01, 0x00, 0x03, 0x01, 0x00, 0xAA, 0xBB}, "stray bytes"},
      {{0x07, 0x01, 0x00, 0x00, 0x00}, "7-byte frame announcing 1 records"},
      {{0x08, 0x00, 0x00, 0x03, 0x01, 0x00}, "announcing 0 records"},
  };
  for (const Case& c : cases) {
    const auto bad = with_crc(c.body);
    CommandFramer framer;
    const Taken t = feed(framer, concat({bad, kPoll}), false);
    ASSERT_EQ(t.kinds.size(), 1u) << c.says;
    EXPECT_EQ(t.kinds[0], FrameKind::Poll) << c.says;
    EXPECT_EQ(t.dropped, bad.size()) << c.says;
    EXPECT_NE(t.first_reason.find(c.says), std::string::npos) << t.first_reason;
  }
}

TEST(CommandFramer, LongestFrameTheDisplayCanBuildIsTakenAndOneMoreIsNot) {
  // 112 bytes: the header, 27 one-byte records, the CRC.
  std::vector<uint8_t> body = {112, 27};
  for (int r = 0; r < 27; ++r) body.insert(body.end(), {0, uint8_t(95 + r % 12), 1, 5});
  ASSERT_EQ(body.size(), 110u);
  CommandFramer framer;
  Taken t = feed(framer, with_crc(body), false);
  ASSERT_EQ(t.kinds.size(), 1u);
  EXPECT_EQ(t.lengths[0], 112u);
  EXPECT_EQ(t.dropped, 0u);

  body[0] = 113;
  body.push_back(0);
  body[body.size() - 3] = 2;  // the last record now carries two bytes
  t = feed(framer, with_crc(body), true);
  EXPECT_TRUE(t.kinds.empty());
  EXPECT_NE(t.first_reason.find("impossible length byte 113"), std::string::npos)
      << t.first_reason;
}

}  // namespace
}  // namespace corvex::sim
