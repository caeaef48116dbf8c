// The unload parameters and the plenum temperature manager end to end: the built corvex-display
// talks to the built corvex-sim through a cable the test taps, so that every frame in both
// directions is seen as bytes. After ACCEPT the changed parameters go out as their own records,
// byte for byte (the rates 16-bit, high byte first), in every command frame until the
// controller reports them in a status frame, and never after; unchanged ones never go out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"

namespace {

using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;
using Bytes = std::vector<uint8_t>;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;
const std::string kSim = CORVEX_SIM_BINARY;
constexpr size_t kStatusFrameSize = 331;

// A pseudo-terminal pair whose far end a program opens by name; the test holds both ends.
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

// One frame on the cable: from the display (a command, poll or resync frame) or from the
// controller (a status frame).
struct Frame {
  bool from_display;
  Bytes bytes;
};

struct Record {
  uint8_t node;
  uint8_t id;
  Bytes value;
  bool operator==(const Record&) const = default;
};

// The records of a command frame (length byte, count byte, records, two CRC bytes).
std::vector<Record> records_of(const Bytes& b) {
  std::vector<Record> out;
  if (b.size() < 8 || b[0] != b.size()) return out;
  size_t p = 2;
  for (int i = 0; i < b[1] && p + 3 <= b.size() - 2; ++i) {
    const size_t len = b[p + 2];
    if (p + 3 + len > b.size() - 2) break;
    out.push_back({b[p], b[p + 1], Bytes(b.begin() + long(p + 3), b.begin() + long(p + 3 + len))});
    p += 3 + len;
  }
  return out;
}

// Carries bytes both ways between the simulator's port and the display's, cutting each
// direction into frames as it goes: status frames are 331 bytes, the display's frames carry
// their length in the first byte (a resync frame 06 00 02 10 is four).
class TappedCable {
 public:
  TappedCable(int sim, int display) : thread_([this, sim, display] { run(sim, display); }) {}
  ~TappedCable() {
    stop_ = true;
    thread_.join();
  }
  std::vector<Frame> frames() {
    std::lock_guard lock(mutex_);
    return frames_;
  }

 private:
  void take(bool from_display, Bytes& pending) {
    while (!pending.empty()) {
      size_t len = kStatusFrameSize;
      if (from_display) len = pending[0] == 0x06 ? 4 : pending[0];
      if (len < 4) {  // not a frame start
        pending.erase(pending.begin());
        continue;
      }
      if (pending.size() < len) return;
      std::lock_guard lock(mutex_);
      frames_.push_back({from_display, Bytes(pending.begin(), pending.begin() + long(len))});
      pending.erase(pending.begin(), pending.begin() + long(len));
    }
  }
  void run(int sim, int display) {
    pollfd fds[2] = {{sim, POLLIN, 0}, {display, POLLIN, 0}};
    Bytes pending[2];
    uint8_t buf[4096];
    while (!stop_) {
      if (poll(fds, 2, 50) <= 0) continue;
      for (int i = 0; i < 2; ++i) {
        if (!(fds[i].revents & POLLIN)) continue;
        const ssize_t n = read(fds[i].fd, buf, sizeof buf);
        if (n <= 0) continue;
        (void)!write(fds[1 - i].fd, buf, size_t(n));
        pending[i].insert(pending[i].end(), buf, buf + n);
        take(i == 1, pending[i]);
      }
    }
  }
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Frame> frames_;
  std::thread thread_;
};

// The simulator as its own process on a port, stopped when the test ends.
class SimProcess {
 public:
  explicit SimProcess(const std::string& port) {
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      execl(kSim.c_str(), kSim.c_str(), "--port", port.c_str(), nullptr);
      _exit(127);
    }
  }
  ~SimProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }

 private:
  pid_t pid_ = -1;
};

// What the cable saw for one record: how many command frames carried it before the first
// status frame that reports `reported` at `offset`, how many frames between its first carrier
// and that status frame did not, and how many carried it after.
struct Carriage {
  int before_echo = 0;
  int gaps = 0;
  int after_echo = 0;
  bool echoed = false;
};

Carriage carriage(const std::vector<Frame>& frames, const Record& record, size_t offset,
                  const Bytes& reported) {
  Carriage c;
  bool carrying = false;
  for (const Frame& f : frames) {
    if (!f.from_display) {
      if (carrying && f.bytes.size() == kStatusFrameSize &&
          std::equal(reported.begin(), reported.end(), f.bytes.begin() + long(offset)))
        c.echoed = true;
      continue;
    }
    bool has = false;
    for (const Record& r : records_of(f.bytes)) has = has || r == record;
    if (c.echoed) {
      c.after_echo += has;
    } else if (has) {
      carrying = true;
      ++c.before_echo;
    } else if (carrying && f.bytes.size() >= 8) {
      ++c.gaps;  // a command frame without the record while it was still pending
    }
  }
  return c;
}

// Every record of the display's frames with the given node and id.
int records_with_id(const std::vector<Frame>& frames, uint8_t id) {
  int n = 0;
  for (const Frame& f : frames) {
    if (!f.from_display) continue;
    for (const Record& r : records_of(f.bytes)) n += r.node == 0 && r.id == id;
  }
  return n;
}

struct Wire {
  Pty sim_port, display_port;
  std::vector<Frame> frames;
  std::string out;
  // Runs the display against the simulator with the script and keeps what the cable saw.
  bool run(const std::string& script) {
    if (sim_port.name.empty() || display_port.name.empty()) return false;
    TempDir disk;
    TappedCable cable(sim_port.master, display_port.master);
    SimProcess sim(sim_port.name);
    const auto r = run_process({kDisplay, "--headless", "--port", display_port.name, "--disk",
                                disk.path(), "--script", "-"},
                               script + "quit\n", 120'000);
    out = r.out;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    frames = cable.frames();
    return r.exit_code == 0;
  }
};

TEST(UnloadSetup, RatesGoOutHighByteFirstUntilTheControllerReportsThem) {
  Wire wire;
  // The simulator starts at 80 % and 5 %: maximum down two, minimum up three.
  ASSERT_TRUE(
      wire.run("wait 2500\nclick SETUP\nwait 300\nclick UNLOAD_PARAMS_BUTTON\nwait 300\n"
               "click MAXIMUM DECREASE\nclick MAXIMUM DECREASE\nclick MINIMUM INCREASE\n"
               "click MINIMUM INCREASE\nclick MINIMUM INCREASE\nclick ACCEPT\nwait 3000\n"
               "pending\nmirror\n"))
      << wire.out;
  const Carriage maximum = carriage(wire.frames, {0, 206, {0x00, 78}}, 206, {0x00, 78});
  const Carriage minimum = carriage(wire.frames, {0, 208, {0x00, 8}}, 208, {0x00, 8});
  for (const Carriage& c : {maximum, minimum}) {
    EXPECT_GE(c.before_echo, 1) << "the record never went out as 00 4E / 00 08";
    EXPECT_TRUE(c.echoed) << "the controller never reported the new rate";
    EXPECT_EQ(c.gaps, 0) << "a frame while pending went without the record";
    EXPECT_EQ(c.after_echo, 0) << "still sent after the controller reported it";
  }
  EXPECT_EQ(records_with_id(wire.frames, 206), maximum.before_echo) << "no other maximum went out";
  EXPECT_EQ(records_with_id(wire.frames, 208), minimum.before_echo);
  EXPECT_EQ(records_with_id(wire.frames, 50), 0);
  EXPECT_NE(wire.out.find("207=4e"), std::string::npos) << wire.out;
  EXPECT_NE(wire.out.find("209=8"), std::string::npos) << wire.out;
  EXPECT_EQ(wire.out.find("206=1"), std::string::npos) << "the write was lowered: " << wire.out;
}

TEST(UnloadSetup, ManagerByteGoesOutOnceChangedAndNothingWhenUnchanged) {
  Wire wire;
  // First the rates dialog accepted unchanged and the manager cancelled: nothing goes out.
  // Then the manager turned on with both indexes stepped down from 0 (wrapping to 7).
  ASSERT_TRUE(
      wire.run("wait 2500\nclick SETUP\nwait 300\nclick UNLOAD_PARAMS_BUTTON\nwait 300\n"
               "click ACCEPT\nwait 300\nclick TEMP_MANAGER_BUTTON\nwait 300\n"
               "click TIME INCREASE\nclick CANCEL\nwait 1500\n"
               "click TEMP_MANAGER_BUTTON\nwait 300\nclick SELECT ON / OFF\n"
               "click TIME DECREASE\nclick STEP DECREASE\nclick ACCEPT\nwait 3000\n"
               "pending\n"))
      << wire.out;
  EXPECT_EQ(records_with_id(wire.frames, 206), 0);
  EXPECT_EQ(records_with_id(wire.frames, 208), 0);
  const Carriage manager = carriage(wire.frames, {0, 50, {0xBF}}, 50, {0xBF});
  EXPECT_GE(manager.before_echo, 1) << "the record never went out as BF";
  EXPECT_TRUE(manager.echoed);
  EXPECT_EQ(manager.gaps, 0);
  EXPECT_EQ(manager.after_echo, 0);
  EXPECT_EQ(records_with_id(wire.frames, 50), manager.before_echo) << "no other value went out";
}

}  // namespace
