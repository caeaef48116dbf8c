// What the simulated controller does with the records the display sends: echo at the record's
// address, and the bytes and bits it keeps to itself.
#include <gtest/gtest.h>

#include <string>

#include "platform/io/clock.h"
#include "sim/sim_test_support.h"
#include "sim/simulator.h"

namespace corvex::sim {
namespace {

using testing::command_frame;
using testing::is_status_frame;
using testing::kPoll;
using testing::status_of;

class SimulatorRecords : public ::testing::Test {
 protected:
  void SetUp() override { platform::clock::use_virtual(1'700'000'000'000); }
  void TearDown() override { platform::clock::use_real(); }

  // Sends one frame and returns the status bytes of the answer.
  StatusBytes send(const std::vector<uint8_t>& frame) {
    const std::vector<uint8_t> answer = sim.exchange(frame.data(), frame.size());
    EXPECT_TRUE(is_status_frame(answer)) << "answer of " << answer.size() << " bytes";
    return status_of(answer);
  }

  Simulator sim{7};
  std::vector<std::string> log;
};

TEST_F(SimulatorRecords, RecordsAreEchoedAtTheirAddressesInTheAnswerToTheirFrame) {
  const StatusBytes s = send(command_frame({
      {0, 69, {0xC8, 0x00}},   // plenum #1 setpoint 200
      {0, 46, {1, 15}},        // fan delay 1:15
      {1, 4, {0x9B, 0x00}},    // plenum #1 second temperature, status bytes 260-261
      {0, 206, {0, 75}},       // maximum unload rate
      {1, 37, {0x80}},         // status byte 293
  }));
  EXPECT_EQ(s[69], 0xC8);
  EXPECT_EQ(s[70], 0x00);
  EXPECT_EQ(s[46], 1);
  EXPECT_EQ(s[47], 15);
  EXPECT_EQ(s[260], 0x9B);
  EXPECT_EQ(s[207], 75);
  EXPECT_EQ(s[293], 0x80);
  EXPECT_EQ(sim.counters().records_taken, 5u);
}

TEST_F(SimulatorRecords, OneShotBitsOf266AreCarriedOutAndNotKept) {
  StatusBytes s = send(command_frame({{1, 10, {0x83}}}));
  EXPECT_EQ(s[266], 0x80) << "bit 7 (SI units) kept, bits 0-1 dropped";

  // 2 saves the user settings, 1 restores them.
  send(command_frame({{1, 10, {0x02}}}));
  s = send(command_frame({{0, 69, {0x96, 0x00}}}));
  ASSERT_EQ(s[69], 0x96);
  s = send(command_frame({{1, 10, {0x01}}}));
  EXPECT_EQ(s[266], 0x00);
  EXPECT_EQ(s[69], 200) << "the saved setpoint is back";
}

TEST_F(SimulatorRecords, Bits4To6Of279AreNeverEchoed) {
  StatusBytes s = send(command_frame({{1, 23, {0xF0}}}));
  EXPECT_EQ(s[279], 0x80);
  // Bit 0 starts auto-start on a standing continuous-flow dryer.
  s = send(command_frame({{1, 23, {0x71}}}));
  EXPECT_EQ(s[279], 0x01);
  EXPECT_EQ(s[280] & 0x02, 0x02) << "auto-start in progress";
  EXPECT_EQ(s[188] & 0x40, 0x40) << "the dryer runs";
}

TEST_F(SimulatorRecords, AutoStartIsNotTakenWhileTheDryerRuns) {
  ASSERT_EQ(sim.command("run"), "ok\n");
  StatusBytes s = send(command_frame({{1, 23, {0x01}}}));
  EXPECT_EQ(s[279], 0x00) << "the write stays pending on the display";
  EXPECT_EQ(s[280] & 0x02, 0);
}

TEST_F(SimulatorRecords, CompanionRecordsWriteTheCompanionBytes) {
  ASSERT_EQ(sim.command("set 8 1"), "ok\n");  // staged batch: companions count down
  ASSERT_EQ(sim.command("run"), "ok\n");
  platform::clock::advance_ms(5000);
  StatusBytes s = send(command_frame({{0, 9, {45, 30}}, {0, 14, {12, 0}}, {0, 252, {3, 4}}}));
  EXPECT_EQ(s[9], 45);
  EXPECT_EQ(s[10], 30);
  EXPECT_EQ(s[14], 12);
  EXPECT_EQ(s[252], 3);
  EXPECT_EQ(s[253], 4);
  // The written time is reported as written for a second, so that the display sees it back.
  platform::clock::advance_ms(700);
  s = send(kPoll);
  EXPECT_EQ(s[9], 45);
  EXPECT_EQ(s[10], 30);
  platform::clock::advance_ms(3000);
  s = send(kPoll);
  EXPECT_EQ(s[9] * 60 + s[10], 45 * 60 + 30 - 2) << "then the DRY time counts down";
}

TEST_F(SimulatorRecords, MeteringRollCopyAndBlockRecordsFillTheirBytes) {
  ASSERT_EQ(sim.command("set 159 0x81 0 0 0"), "ok\n");  // knob toggled once
  // The 1-byte mode record: bits 0-5 taken, the knob bit stays the controller's.
  StatusBytes s = send(command_frame({{0, 159, {0x02}}}));
  EXPECT_EQ(s[159], 0x82);
  // The copy record (155..158 into 159..162) and the block record share id 159, 4 bytes.
  s = send(command_frame({{0, 159, {0x00, 70, 50, 35}}}));
  EXPECT_EQ(s[159], 0x80);
  EXPECT_EQ(s[160], 70);
  EXPECT_EQ(s[161], 50);
  EXPECT_EQ(s[162], 35);
  // 160 copy: 156..158 into 160..162; 161 from 230.
  s = send(command_frame({{0, 160, {s[156], s[157], s[158]}}, {0, 161, {s[230]}}}));
  EXPECT_EQ(s[160], 60);
  EXPECT_EQ(s[161], 45);
  EXPECT_EQ(s[162], 30);
  // The speed settings themselves.
  s = send(command_frame({{0, 156, {80}}, {0, 157, {55}}, {0, 158, {20}}}));
  EXPECT_EQ(s[156], 80);
  EXPECT_EQ(s[157], 55);
  EXPECT_EQ(s[158], 20);
}

TEST_F(SimulatorRecords, ClockRecordSetsTheControllerClockAndIsNotEchoed) {
  StatusBytes s = send(command_frame({{0, 53, {30, 14, 9, 6, 24}}}));
  for (size_t k = 53; k <= 57; ++k) EXPECT_EQ(s[k], 0) << k;
  ControllerClock c = sim.controller_clock();
  EXPECT_TRUE(c.set);
  EXPECT_EQ(c.minute, 30);
  EXPECT_EQ(c.hour, 14);
  EXPECT_EQ(c.day, 9);
  EXPECT_EQ(c.month, 6);
  EXPECT_EQ(c.year, 24);

  // An impossible time is not taken, and said; the frame is still answered.
  sim.set_log_sink([this](std::string_view line) { log.emplace_back(line); });
  send(command_frame({{0, 53, {61, 25, 0, 13, 24}}}));
  c = sim.controller_clock();
  EXPECT_EQ(c.minute, 30);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("impossible time"), std::string::npos) << log[0];
}

TEST_F(SimulatorRecords, ZeroThroughputCommandZeroesTheTotalInTheVeryAnswer) {
  ASSERT_EQ(sim.command("set 164 0x40 0x42 0x0F 0x00"), "ok\n");  // 1 000 000
  StatusBytes s = send(command_frame({{0, 238, {0x08}}}));
  EXPECT_EQ(s[238], 0x08);
  EXPECT_EQ(s[164] | s[165] | s[166] | s[167], 0);
  // The display then clears bit 3; the count stays where it is.
  s = send(command_frame({{0, 238, {0x00}}}));
  EXPECT_EQ(s[238], 0x00);
  EXPECT_EQ(s[164] | s[165] | s[166] | s[167], 0);
}

TEST_F(SimulatorRecords, RefusedParametersAreNeverTaken) {
  ASSERT_EQ(sim.command("refuse 70"), "ok\n");  // the high byte of plenum #1's setpoint
  StatusBytes s = send(command_frame({{0, 69, {0x96, 0x00}}, {0, 67, {0x97, 0x00}}}));
  EXPECT_EQ(s[69], 200) << "a record touching a refused byte is not taken";
  EXPECT_EQ(s[67], 0x97);
  EXPECT_EQ(sim.counters().records_refused, 1u);
  ASSERT_EQ(sim.command("accept 70"), "ok\n");
  s = send(command_frame({{0, 69, {0x96, 0x00}}}));
  EXPECT_EQ(s[69], 0x96);
}

}  // namespace
}  // namespace corvex::sim
