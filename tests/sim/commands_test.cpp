// The simulator's commands: their answers, their errors, and the faults they put on the wire.
#include <gtest/gtest.h>

#include <string>

#include "platform/io/clock.h"
#include "sim/sim_test_support.h"
#include "sim/simulator.h"

namespace corvex::sim {
namespace {

using testing::is_status_frame;
using testing::kPoll;

class SimulatorCommands : public ::testing::Test {
 protected:
  void SetUp() override { platform::clock::use_virtual(1'700'000'000'000); }
  void TearDown() override { platform::clock::use_real(); }

  std::vector<uint8_t> poll() { return sim.exchange(kPoll.data(), kPoll.size()); }

  Simulator sim{3};
};

TEST_F(SimulatorCommands, SetAndStateRoundTrip) {
  EXPECT_EQ(sim.command("set 300 1 0x2a 255  # three bytes"), "ok\n");
  EXPECT_EQ(sim.command("state 299 5"), "299=00 300=01 301=2a 302=ff 303=00\nok\n");
  EXPECT_EQ(sim.command("state 0x12d"), "301=2a\nok\n");
  const std::string all = sim.command("state");
  EXPECT_NE(all.find("171=a0"), std::string::npos) << all;
  EXPECT_NE(all.find("302=ff"), std::string::npos) << all;
  EXPECT_EQ(all.find("299="), std::string::npos) << "zero bytes are left out";
  EXPECT_EQ(all.substr(all.size() - 3), "ok\n");
  // The frame carries what state says.
  const auto answer = poll();
  ASSERT_TRUE(is_status_frame(answer));
  EXPECT_EQ(answer[301], 0x2a);
  EXPECT_EQ(answer[302], 0xff);
}

TEST_F(SimulatorCommands, BadCommandsAnswerWithAReasonAndChangeNothing) {
  const StatusBytes before = sim.status_bytes();
  const char* bad[] = {
      "",           "   # only a comment", "frobnicate 1", "set",       "set 10",
      "set 329 1",  "set -1 1",            "set 10 256",   "set 10 0x", "set 327 1 2 3",
      "set x 1",    "warning 12",          "warning 256 1", "silence",  "silence -5",
      "corrupt x",  "short 1 2",           "every 0",      "every",     "refuse 400",
      "accept 329", "run now",             "state 400",    "state 320 10",
      "SET 10 1",
  };
  for (const char* line : bad) {
    const std::string answer = sim.command(line);
    EXPECT_EQ(answer.rfind("error: ", 0), 0u) << "'" << line << "' gave " << answer;
    EXPECT_EQ(answer.find('\n'), answer.size() - 1) << "one line for '" << line << "'";
  }
  EXPECT_EQ(sim.status_bytes(), before);
  EXPECT_NE(sim.command("set 10 256").find("'256'"), std::string::npos);
  EXPECT_NE(sim.command("nope").find("'nope'"), std::string::npos);
}

TEST_F(SimulatorCommands, HelpListsEveryCommand) {
  const std::string help = "\n" + sim.command("help");
  for (const char* name : {"set ", "warning ", "silence ", "corrupt ", "short ", "every ",
                           "refuse ", "accept ", "run:", "stop:", "state ", "help:"}) {
    EXPECT_NE(help.find(std::string("\n") + name), std::string::npos) << name;
  }
}

TEST_F(SimulatorCommands, CorruptAndShortSpoilTheNextFrames) {
  ASSERT_EQ(sim.command("corrupt 2"), "ok\n");
  for (int i = 0; i < 2; ++i) {
    const auto answer = poll();
    ASSERT_EQ(answer.size(), link::kStatusFrameBytes);
    EXPECT_FALSE(link::crc16_check(answer.data(), link::kStatusBytes)) << "frame " << i;
  }
  EXPECT_TRUE(is_status_frame(poll()));

  ASSERT_EQ(sim.command("short 1"), "ok\n");
  const auto cut = poll();
  EXPECT_EQ(cut.size(), Simulator::kShortFrameLength);
  EXPECT_TRUE(is_status_frame(poll()));
}

TEST_F(SimulatorCommands, EveryAnswersOnlyEveryKthFrame) {
  ASSERT_EQ(sim.command("every 3"), "ok\n");
  std::string pattern;
  for (int i = 0; i < 7; ++i) pattern += poll().empty() ? '-' : 'A';
  EXPECT_EQ(pattern, "--A--A-");
  ASSERT_EQ(sim.command("every 1"), "ok\n");
  EXPECT_TRUE(is_status_frame(poll()));
}

TEST_F(SimulatorCommands, SilenceLastsItsTimeOnTheClock) {
  ASSERT_EQ(sim.command("silence 10000"), "ok\n");
  EXPECT_TRUE(poll().empty());
  platform::clock::advance_ms(9900);
  EXPECT_TRUE(poll().empty());
  platform::clock::advance_ms(100);
  EXPECT_TRUE(is_status_frame(poll()));
  EXPECT_EQ(sim.counters().silent, 2u);
}

TEST_F(SimulatorCommands, RecordsOfUnansweredFramesAreStillTaken) {
  ASSERT_EQ(sim.command("silence 1000"), "ok\n");
  const auto frame = testing::command_frame({{0, 69, {0x96, 0x00}}});
  EXPECT_TRUE(sim.exchange(frame.data(), frame.size()).empty());
  EXPECT_EQ(sim.status_bytes()[69], 0x96);
}

TEST_F(SimulatorCommands, WarningIsReportedAndBlocksRunUntilCleared) {
  ASSERT_EQ(sim.command("run"), "ok\n");
  platform::clock::advance_ms(1000);
  ASSERT_EQ(sim.status_bytes()[188] & 0x40, 0x40);
  ASSERT_EQ(sim.command("warning 12 3"), "ok\n");
  StatusBytes s = sim.status_bytes();
  EXPECT_EQ(s[185], 12);
  EXPECT_EQ(s[186], 3);
  EXPECT_EQ(s[188] & 0x40, 0) << "a warning is a shutdown";
  const std::string refused = sim.command("run");
  EXPECT_EQ(refused.rfind("error: cannot run: warning 12 of node 3", 0), 0u) << refused;
  ASSERT_EQ(sim.command("warning 0 0"), "ok\n");
  EXPECT_EQ(sim.status_bytes()[185], 0);
  EXPECT_EQ(sim.command("run"), "ok\n");
  EXPECT_EQ(sim.command("stop"), "ok\n");
  EXPECT_EQ(sim.status_bytes()[188] & 0x40, 0);
}

}  // namespace
}  // namespace corvex::sim
