// The simulator serving a pseudo-terminal the way the display uses it: frames written to the
// slave end, status frames read back, the virtual peer kept in step.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/virtual_peer.h"
#include "platform/io/clock.h"
#include "platform/io/serial_port.h"
#include "sim/in_process.h"
#include "sim/sim_test_support.h"
#include "sim/simulator.h"

namespace corvex::sim {
namespace {

using testing::command_frame;
using testing::concat;
using testing::is_status_frame;
using testing::kPoll;
using testing::kResync;

struct Answer {
  bool handled = false;         // the simulator reported the frame handled
  uint32_t answer_bytes = 0;    // what it said it wrote
  std::vector<uint8_t> bytes;   // what could be read
};

// Writes bytes as the display does and collects what the simulator does about them.
Answer write_and_read(platform::SerialPort& display, link::VirtualPeer& peer,
                      const std::vector<uint8_t>& bytes) {
  Answer a;
  uint64_t before = 0;
  {
    std::lock_guard lock(peer.mutex);
    before = peer.frames_handled;
  }
  display.write(bytes.data(), bytes.size());
  {
    std::unique_lock lock(peer.mutex);
    a.handled = peer.changed.wait_for(lock, std::chrono::seconds(3),
                                      [&] { return peer.frames_handled > before; });
    a.answer_bytes = peer.last_answer_bytes;
  }
  uint8_t buffer[512];
  while (a.bytes.size() < a.answer_bytes && display.wait_readable(1000)) {
    const size_t n = display.read_available(buffer, sizeof buffer);
    a.bytes.insert(a.bytes.end(), buffer, buffer + n);
  }
  // A frame left unanswered must really get nothing.
  if (a.answer_bytes == 0 && display.wait_readable(20)) {
    const size_t n = display.read_available(buffer, sizeof buffer);
    a.bytes.insert(a.bytes.end(), buffer, buffer + n);
  }
  return a;
}

class SimulatorServing : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clock::use_virtual(1'700'000'000'000);
    std::string error;
    ASSERT_TRUE(start_in_process(11, &started, &error)) << error;
    ASSERT_NE(started.peer, nullptr) << "virtual time gives a peer";
    started.simulator->set_log_sink([this](std::string_view line) {
      std::lock_guard lock(log_mutex);
      log.emplace_back(line);
    });
    ASSERT_TRUE(display.open(started.slave_path, &error)) << error;
  }
  void TearDown() override {
    started.simulator->stop_serving();
    platform::clock::use_real();
  }

  Answer send(const std::vector<uint8_t>& bytes) {
    return write_and_read(display, *started.peer, bytes);
  }
  std::string joined_log() {
    std::lock_guard lock(log_mutex);
    std::string all;
    for (const auto& l : log) all += l + "\n";
    return all;
  }

  InProcessSimulator started;
  platform::SerialPort display;
  std::mutex log_mutex;
  std::vector<std::string> log;
};

TEST_F(SimulatorServing, PollAndResyncAreAnsweredWithAStatusFrame) {
  for (const auto& frame : {kPoll, kResync}) {
    const Answer a = send(frame);
    ASSERT_TRUE(a.handled);
    EXPECT_EQ(a.answer_bytes, link::kStatusFrameBytes);
    ASSERT_TRUE(is_status_frame(a.bytes)) << a.bytes.size() << " bytes";
    EXPECT_EQ(a.bytes[3], 3);
    EXPECT_EQ(a.bytes[171], 0xA0);
  }
}

TEST_F(SimulatorServing, CommandFrameIsEchoedInItsAnswer) {
  const Answer a = send(command_frame({{0, 69, {0xB4, 0x00}}, {1, 37, {0x80}}}));
  ASSERT_TRUE(is_status_frame(a.bytes));
  EXPECT_EQ(a.bytes[69], 0xB4);
  EXPECT_EQ(a.bytes[293], 0x80);
}

TEST_F(SimulatorServing, GarbageBeforeAFrameIsSkippedAndSaid) {
  const std::vector<uint8_t> garbage = {0xFF, 0x00, 0x31, 0x06, 0x07, 0x00};
  const Answer a = send(concat({garbage, kPoll}));
  ASSERT_TRUE(a.handled);
  EXPECT_TRUE(is_status_frame(a.bytes)) << a.bytes.size() << " bytes";
  EXPECT_EQ(started.simulator->counters().rejected_bytes, garbage.size());
  EXPECT_NE(joined_log().find("rejected 6 bytes"), std::string::npos) << joined_log();
}

TEST_F(SimulatorServing, BadFramesGoUnansweredAndTheNextGoodFrameIsAnswered) {
  auto bad_crc = command_frame({{0, 69, {0x96, 0x00}}});
  bad_crc[bad_crc.size() - 2] ^= 0xFF;
  Answer a = send(bad_crc);
  EXPECT_TRUE(a.handled) << "the peer hears of rejected bytes too";
  EXPECT_EQ(a.answer_bytes, 0u);
  EXPECT_TRUE(a.bytes.empty());
  EXPECT_NE(joined_log().find("bad CRC"), std::string::npos) << joined_log();

  // A length byte no frame can have, followed by bytes that do not make a frame.
  a = send({0xF0, 0x01, 0x00, 0x45, 0x02, 0x01, 0x02});
  EXPECT_TRUE(a.handled);
  EXPECT_TRUE(a.bytes.empty());
  EXPECT_NE(joined_log().find("impossible length byte 240"), std::string::npos) << joined_log();

  // CRC right, records wrong: rejected whole, nothing taken.
  a = send(testing::with_crc({0x08, 0x01, 0x05, 0x45, 0x01, 0x96}));
  EXPECT_TRUE(a.bytes.empty());
  EXPECT_NE(joined_log().find("node other than 0 or 1"), std::string::npos) << joined_log();

  a = send(command_frame({{0, 67, {0x97, 0x00}}}));
  ASSERT_TRUE(is_status_frame(a.bytes));
  EXPECT_EQ(a.bytes[67], 0x97);
  EXPECT_EQ(a.bytes[69], 200) << "nothing of the bad frames was taken";
}

TEST_F(SimulatorServing, PeerIsToldOfFramesLeftUnanswered) {
  ASSERT_EQ(started.simulator->command("every 2"), "ok\n");
  Answer a = send(kPoll);
  EXPECT_TRUE(a.handled);
  EXPECT_EQ(a.answer_bytes, 0u);
  EXPECT_TRUE(a.bytes.empty());
  a = send(kPoll);
  EXPECT_EQ(a.answer_bytes, link::kStatusFrameBytes);
  EXPECT_TRUE(is_status_frame(a.bytes));

  ASSERT_EQ(started.simulator->command("every 1"), "ok\n");
  ASSERT_EQ(started.simulator->command("short 1"), "ok\n");
  a = send(kPoll);
  EXPECT_EQ(a.answer_bytes, Simulator::kShortFrameLength);
  EXPECT_EQ(a.bytes.size(), Simulator::kShortFrameLength);
}

TEST_F(SimulatorServing, ModelMovesWithTheVirtualClockBetweenFrames) {
  ASSERT_EQ(started.simulator->command("run"), "ok\n");
  // Ten minutes of 350 ms exchange cycles.
  Answer a;
  for (int cycle = 0; cycle < 1715; ++cycle) {
    platform::clock::advance_ms(350);
    a = send(kPoll);
    ASSERT_TRUE(is_status_frame(a.bytes)) << "cycle " << cycle;
  }
  EXPECT_EQ(a.bytes[188] & 0x40, 0x40);
  EXPECT_EQ(a.bytes[172] & 0x01, 0x01);
  EXPECT_GT(a.bytes[164] | a.bytes[165] | a.bytes[166] | a.bytes[167], 0);
}

TEST(SimulatorLog, RejectionLinesAreRateLimited) {
  platform::clock::use_virtual(1'700'000'000'000);
  Simulator sim;
  std::vector<std::string> lines;
  sim.set_log_sink([&](std::string_view line) { lines.emplace_back(line); });
  const std::vector<uint8_t> garbage = {0x01, 0x02, 0x03};
  for (int i = 0; i < 100; ++i) sim.exchange(garbage.data(), garbage.size());
  EXPECT_EQ(lines.size(), 5u);
  platform::clock::advance_ms(2000);
  sim.exchange(garbage.data(), garbage.size());
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_NE(lines.back().find("(95 earlier lines not shown)"), std::string::npos) << lines.back();
  EXPECT_EQ(sim.counters().rejected_bytes, 303u);
  platform::clock::use_real();
}

}  // namespace
}  // namespace corvex::sim
