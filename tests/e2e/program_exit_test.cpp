// The end of the program: a script that does nothing but quit must end the built display with
// exit code 0 every time, whether the script comes from standard input or a file, with or
// without a dryer link. The reader of the script outlives the message loop, so a wake it sends
// after the loop has ended must find nothing torn down under it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

using corvex::testing_support::ProcessResult;
using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;

// Runs the display `runs` times with the arguments; every run must answer the quit and exit 0.
void expect_clean_exits(const std::vector<std::string>& args, const std::string& input,
                        int runs) {
  for (int i = 0; i < runs; ++i) {
    std::vector<std::string> argv{kDisplay};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult r = run_process(argv, input, 60000);
    ASSERT_FALSE(r.timed_out) << "run " << i;
    ASSERT_EQ(r.exit_code, 0) << "run " << i << " did not end cleanly\n" << r.err;
    EXPECT_EQ(r.out, "ok\n") << "run " << i;
  }
}

TEST(ProgramExit, QuitOnlyScriptsEndWithExitCodeZero) {
  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  const std::string script = dir.path() + "/quit.txt";
  std::ofstream(script) << "quit\n";
  const std::string no_port = dir.path() + "/no-such-port";
  // Without a port: only the script reader and the single-instance listener run beside the
  // message loop.
  expect_clean_exits({"--headless", "--disk", disk, "--port", no_port, "--script", "-"}, "quit\n",
                     6);
  expect_clean_exits({"--headless", "--disk", disk, "--port", no_port, "--script", script}, "", 6);
  // With the in-process simulator the exchange thread and the simulator run as well.
  expect_clean_exits({"--headless", "--simulate", "--disk", disk, "--script", "-"}, "quit\n", 3);
  expect_clean_exits(
      {"--headless", "--simulate", "--virtual-time", "--disk", disk, "--script", script}, "", 3);
}

}  // namespace
