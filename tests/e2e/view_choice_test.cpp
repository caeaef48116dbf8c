// The operator's choice of view, end to end through the built corvex-display: VIEW, GRAPH VIEW
// shows the graph; in batch drying both views are refused with their messages; and the choice
// kept by a controller (the built corvex-sim, which keeps its parameters) brings the graph back
// after the display restarts on a fresh disk that remembers nothing itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"

namespace {

using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;
const std::string kSim = CORVEX_SIM_BINARY;

// The `windows` lines of a visible window class (at any depth).
bool lists_window(const std::string& out, const std::string& cls) {
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    const size_t start = line.find_first_not_of(' ');
    if (start != std::string::npos && line.compare(start, cls.size() + 1, cls + " ") == 0) return true;
  }
  return false;
}

std::vector<std::string> display_args(const std::string& disk) {
  return {kDisplay, "--headless", "--simulate", "--virtual-time", "--disk", disk, "--script", "-"};
}

TEST(ViewChoice, GraphViewShowsTheGraphInPlaceOfTheChart) {
  TempDir disk;
  const auto r = run_process(display_args(disk.path()),
                             "wait 2000\n"
                             "windows\n"
                             "click VIEW\n"
                             "click \"GRAPH VIEW BUTTON\"\n"
                             "wait 1000\n"
                             "windows\n"
                             "texts DRAW_GRAPH_WINDOW\n"
                             "quit\n",
                             60'000);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // The answers in order: wait, windows (chart), click, click, wait, windows (graph), texts.
  std::vector<std::string> answers;
  {
    std::istringstream in(r.out);
    std::string line, block;
    while (std::getline(in, line)) {
      if (line == "ok" || line.rfind("error", 0) == 0) {
        answers.push_back(block + line);
        block.clear();
      } else {
        block += line + "\n";
      }
    }
  }
  ASSERT_EQ(answers.size(), 8u) << r.out;
  EXPECT_TRUE(lists_window(answers[1], "AVERAGE_VALUES_WINDOW")) << answers[1];
  EXPECT_FALSE(lists_window(answers[1], "GRAPH_WINDOW")) << answers[1];
  EXPECT_EQ(answers[2], "ok");
  EXPECT_EQ(answers[3], "ok");
  EXPECT_TRUE(lists_window(answers[5], "GRAPH_WINDOW")) << answers[5];
  EXPECT_TRUE(lists_window(answers[5], "DRAW_GRAPH_WINDOW")) << answers[5];
  EXPECT_FALSE(lists_window(answers[5], "AVERAGE_VALUES_WINDOW")) << answers[5];
  EXPECT_FALSE(lists_window(answers[5], "VIEW_SELECTION_WINDOW")) << answers[5];
  // Less than an hour of graph data: the scroll label says so.
  EXPECT_NE(answers[6].find("\"[END]\""), std::string::npos) << answers[6];
}

TEST(ViewChoice, BatchDryingRefusesBothViews) {
  TempDir disk;
  const auto r = run_process(display_args(disk.path()),
                             "sim set 8 1\n"
                             "wait 2000\n"
                             "click VIEW\n"
                             "click \"GRAPH VIEW BUTTON\"\n"
                             "texts\n"
                             "click OK\n"
                             "click \"CHART VIEW BUTTON\"\n"
                             "texts\n"
                             "click OK\n"
                             "windows\n"
                             "quit\n",
                             60'000);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("Graph is not available in Batch Drying."), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Status Chart is not available in Batch Drying."), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("error"), std::string::npos) << r.out;
  EXPECT_FALSE(lists_window(r.out, "GRAPH_WINDOW")) << r.out;
  EXPECT_FALSE(lists_window(r.out, "AVERAGE_VALUES_WINDOW")) << r.out;
  EXPECT_TRUE(lists_window(r.out, "BATCH_DRYING_WINDOW")) << r.out;
}

// A pseudo-terminal pair whose far end a program opens by name; the test holds the near end
// (and the far end too, so the line stays up while the program restarts).
struct Pty {
  int master = -1;
  int slave = -1;
  std::string name;
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
    char buf[128];
    if (ptsname_r(master, buf, sizeof buf) != 0) return;
    name = buf;
    slave = open(buf, O_RDWR | O_NOCTTY);
    termios tio{};
    if (slave >= 0 && tcgetattr(slave, &tio) == 0) {
      cfmakeraw(&tio);
      tcsetattr(slave, TCSANOW, &tio);
    }
  }
  ~Pty() {
    if (slave >= 0) close(slave);
    if (master >= 0) close(master);
  }
};

// Carries bytes both ways between the near ends of two pseudo-terminals: a cable between the
// simulator's port and the display's.
class Cable {
 public:
  Cable(int a, int b) : thread_([this, a, b] { run(a, b); }) {}
  ~Cable() {
    stop_ = true;
    thread_.join();
  }

 private:
  void run(int a, int b) {
    pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    char buf[4096];
    while (!stop_) {
      if (poll(fds, 2, 50) <= 0) continue;
      for (int i = 0; i < 2; ++i) {
        if (!(fds[i].revents & POLLIN)) continue;
        const ssize_t n = read(fds[i].fd, buf, sizeof buf);
        if (n > 0) (void)!write(fds[1 - i].fd, buf, size_t(n));
      }
    }
  }
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(ViewChoice, ControllerKeepsTheChoiceAcrossARestartOfTheDisplay) {
  Pty sim_port, display_port;
  ASSERT_FALSE(sim_port.name.empty());
  ASSERT_FALSE(display_port.name.empty());
  Cable cable(sim_port.master, display_port.master);
  const pid_t sim = fork();
  ASSERT_GE(sim, 0);
  if (sim == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    execl(kSim.c_str(), kSim.c_str(), "--port", sim_port.name.c_str(), nullptr);
    _exit(127);
  }
  TempDir first_disk, second_disk;
  const auto display = [&](const std::string& disk, const std::string& script) {
    return run_process({kDisplay, "--headless", "--port", display_port.name, "--disk", disk,
                        "--script", "-"},
                       script, 60'000);
  };
  const auto first = display(first_disk.path(),
                             "wait 2000\nclick VIEW\nclick \"GRAPH VIEW BUTTON\"\nwait 2000\n"
                             "mirror\nquit\n");
  // The second start remembers nothing of its own: the graph can only come from the controller.
  const auto second = display(second_disk.path(), "wait 3000\nwindows\nquit\n");
  kill(sim, SIGTERM);
  int status = 0;
  waitpid(sim, &status, 0);

  ASSERT_EQ(first.exit_code, 0) << first.err;
  const size_t at = first.out.find("266=");
  ASSERT_NE(at, std::string::npos) << first.out;
  EXPECT_TRUE(std::stoul(first.out.substr(at + 4, 2), nullptr, 16) & 0x40)
      << "the controller reports bit 6 of 266 back: " << first.out;
  ASSERT_EQ(second.exit_code, 0) << second.err;
  EXPECT_TRUE(lists_window(second.out, "GRAPH_WINDOW")) << second.out;
  EXPECT_FALSE(lists_window(second.out, "AVERAGE_VALUES_WINDOW")) << second.out;
}

}  // namespace
