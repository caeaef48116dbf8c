// The corvex-sim program: its command line, its exit codes, and serving a pseudo-terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "platform/io/serial_port.h"
#include "sim/sim_test_support.h"
#include "support/process.h"

namespace corvex::sim {
namespace {

using testing_support::run_process;

class CorvexSimProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(CORVEX_SIM_BINARY, X_OK) != 0) GTEST_SKIP() << "corvex-sim is not built";
  }
};

TEST_F(CorvexSimProgram, HelpAndVersion) {
  auto r = run_process({CORVEX_SIM_BINARY, "--help"}, "", 5000);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.out.find("--port DEV"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("SIGTERM"), std::string::npos) << r.out;
  r = run_process({CORVEX_SIM_BINARY, "--version"}, "", 5000);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "corvex-sim 2.12\n");
}

TEST_F(CorvexSimProgram, BadOptionsExitWithCode2AndOneLineNamingThem) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"}, {"--port"}, {"--seed", "x", "--port", "/dev/null"}, {"--seed=12z"}, {},
      {"--help=1"},
  };
  const char* names[] = {"--bogus", "--port", "'x'", "'12z'", "--port", "--help"};
  for (size_t i = 0; i < cases.size(); ++i) {
    std::vector<std::string> argv = {CORVEX_SIM_BINARY};
    argv.insert(argv.end(), cases[i].begin(), cases[i].end());
    const auto r = run_process(argv, "", 5000);
    EXPECT_EQ(r.exit_code, 2) << names[i];
    EXPECT_NE(r.err.find(names[i]), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

TEST_F(CorvexSimProgram, PortThatCannotBeOpenedExitsWithCode1) {
  auto r = run_process({CORVEX_SIM_BINARY, "--port", "/nonexistent/ttyS9"}, "", 5000);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("/nonexistent/ttyS9"), std::string::npos) << r.err;
  // Not a terminal at all.
  r = run_process({CORVEX_SIM_BINARY, "--port", "/dev/null"}, "", 5000);
  EXPECT_EQ(r.exit_code, 1) << r.err;
}

TEST_F(CorvexSimProgram, ServesAPortAndAnswersCommandsAfterItsInputEnds) {
  platform::PtyPair pair;
  std::string error;
  ASSERT_TRUE(platform::open_pty_pair(&pair, &error)) << error;
  platform::SerialPort display;
  ASSERT_TRUE(display.adopt(pair.master_fd, &error)) << error;

  testing_support::ProcessResult result;
  std::thread program([&] {
    result = run_process({CORVEX_SIM_BINARY, "--port", pair.slave_path, "--seed", "5"},
                         "set 300 0x5a\nstate 300\nbogus\n", 2500);
  });
  // The program keeps serving after its input has ended: a poll sent a second later is still
  // answered, with the byte that the commands set.
  std::vector<uint8_t> answer;
  for (int attempt = 0; attempt < 20 && answer.size() < link::kStatusFrameBytes; ++attempt) {
    usleep(100 * 1000);
    display.purge();
    display.write(testing::kPoll.data(), testing::kPoll.size());
    answer.clear();
    uint8_t buffer[512];
    while (answer.size() < link::kStatusFrameBytes && display.wait_readable(200)) {
      const size_t n = display.read_available(buffer, sizeof buffer);
      answer.insert(answer.end(), buffer, buffer + n);
    }
    if (answer.size() == link::kStatusFrameBytes && answer[300] != 0x5a) answer.clear();
  }
  program.join();
  EXPECT_TRUE(testing::is_status_frame(answer)) << answer.size() << " bytes";
  EXPECT_TRUE(result.timed_out) << "it ends only on a signal";
  EXPECT_EQ(result.out, "ok\n300=5a\nok\nerror: unknown command 'bogus' (help lists the commands)\n");
}

}  // namespace
}  // namespace corvex::sim
