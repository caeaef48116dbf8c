// The drying set-ups end to end: the built corvex-display, driven through its automation, talks
// to the built corvex-sim over two pseudo-terminals joined by a cable that records every frame
// the display sends. The operator opens the continuous-flow set-up, picks MOISTURE and changes
// the outer limit in the bracketed five-speed set-up; the scheme byte and the outer limit go out
// as their own records, byte for byte, until the controller reports them, and no longer.
//
// The frames are read from their layout (length, count, node, id, length, value; CRC-16/MODBUS
// low byte first), not with the display's decoder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;
const std::string kSim = CORVEX_SIM_BINARY;

uint16_t modbus_crc(const uint8_t* data, size_t n) {
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
  }
  return crc;
}

// A frame the display sent: its bytes, whether its CRC holds, and its records as bytes
// (node, id, length, value...) when it is a command frame whose records fill it exactly.
struct SentFrame {
  Bytes bytes;
  bool crc_ok = false;
  std::vector<Bytes> records;
};

SentFrame parse_frame(Bytes b) {
  SentFrame f;
  const size_t n = b.size();
  if (n >= 4) {
    const uint16_t crc = modbus_crc(b.data(), n - 2);
    f.crc_ok = b[n - 2] == (crc & 0xFF) && b[n - 1] == (crc >> 8);
  }
  if (n >= 8 && b[0] == n) {
    size_t p = 2;
    std::vector<Bytes> records;
    for (int i = 0; i < b[1] && p + 3 <= n - 2 && p + 3 + b[p + 2] <= n - 2; ++i) {
      records.emplace_back(b.begin() + long(p), b.begin() + long(p + 3 + b[p + 2]));
      p += 3 + b[p + 2];
    }
    if (records.size() == b[1] && p == n - 2) f.records = std::move(records);
  }
  f.bytes = std::move(b);
  return f;
}

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

// The cable between the display's port (a) and the simulator's (b), cutting what the display
// sends into frames by their length byte (4 bytes for a resync).
class RecordingCable {
 public:
  RecordingCable(int display, int sim) : thread_([this, display, sim] { run(display, sim); }) {}
  ~RecordingCable() {
    stop_ = true;
    thread_.join();
  }
  std::vector<SentFrame> frames() {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  size_t count() {
    std::lock_guard lock(mutex_);
    return frames_.size();
  }
  bool wait_frames(size_t more, int timeout_ms) {
    const size_t target = count() + more;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Clock::now() < deadline) {
      if (count() >= target) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

 private:
  void take(const uint8_t* data, size_t n) {
    pending_.insert(pending_.end(), data, data + n);
    while (!pending_.empty()) {
      const size_t len = pending_[0] == 0x06 ? 4 : pending_[0];
      if (len < 4) {
        pending_.erase(pending_.begin());
        continue;
      }
      if (pending_.size() < len) return;
      SentFrame f = parse_frame(Bytes(pending_.begin(), pending_.begin() + long(len)));
      pending_.erase(pending_.begin(), pending_.begin() + long(len));
      std::lock_guard lock(mutex_);
      frames_.push_back(std::move(f));
    }
  }
  void run(int display, int sim) {
    pollfd fds[2] = {{display, POLLIN, 0}, {sim, POLLIN, 0}};
    uint8_t buf[4096];
    while (!stop_) {
      if (poll(fds, 2, 50) <= 0) continue;
      if (fds[0].revents & POLLIN) {
        const ssize_t n = read(display, buf, sizeof buf);
        if (n > 0) {
          take(buf, size_t(n));
          (void)!write(sim, buf, size_t(n));
        }
      }
      if (fds[1].revents & POLLIN) {
        const ssize_t n = read(sim, buf, sizeof buf);
        if (n > 0) (void)!write(display, buf, size_t(n));
      }
    }
  }
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  Bytes pending_;
  std::vector<SentFrame> frames_;
  std::thread thread_;
};

// A child program with its standard input on a pipe of ours and its output read line by line.
class Child {
 public:
  explicit Child(std::vector<std::string> argv) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      const int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0) dup2(devnull, 2);
      std::vector<char*> args;
      for (std::string& a : argv) args.push_back(a.data());
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_ = in[1];
    from_ = out[0];
    signal(SIGPIPE, SIG_IGN);
    reader_ = std::thread([this] { read_lines(); });
  }
  ~Child() {
    if (to_ >= 0) close(to_);
    int status = 0;
    for (int i = 0; i < 100 && pid_ > 0; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      if (i == 40) kill(pid_, SIGTERM);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
    if (reader_.joinable()) reader_.join();
    if (from_ >= 0) close(from_);
  }

  // Sends a line and returns the answer lines up to and including "ok" or "error: ...".
  std::vector<std::string> command(const std::string& line, int timeout_ms = 30000) {
    const std::string text = line + "\n";
    if (write(to_, text.data(), text.size()) != ssize_t(text.size())) return {""};
    std::vector<std::string> answer;
    std::unique_lock lock(mutex_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
      while (!lines_.empty()) {
        answer.push_back(lines_.front());
        lines_.erase(lines_.begin());
        if (answer.back() == "ok" || answer.back().rfind("error", 0) == 0) return answer;
      }
      if (cv_.wait_until(lock, deadline) == std::cv_status::timeout && lines_.empty()) {
        answer.push_back("");
        return answer;
      }
    }
  }
  bool ok(const std::string& line) { return command(line).back() == "ok"; }
  std::map<std::string, std::string> readout(const std::string& which) {
    std::map<std::string, std::string> values;
    for (const std::string& l : command(which)) {
      std::istringstream words(l);
      for (std::string w; words >> w;) {
        const size_t eq = w.find('=');
        if (eq != std::string::npos) values[w.substr(0, eq)] = w.substr(eq + 1);
      }
    }
    return values;
  }

 private:
  void read_lines() {
    std::string partial;
    char buf[4096];
    while (true) {
      const ssize_t n = read(from_, buf, sizeof buf);
      if (n <= 0) break;
      partial.append(buf, size_t(n));
      for (size_t nl; (nl = partial.find('\n')) != std::string::npos;) {
        std::lock_guard lock(mutex_);
        lines_.push_back(partial.substr(0, nl));
        partial.erase(0, nl + 1);
        cv_.notify_all();
      }
    }
  }
  pid_t pid_ = -1;
  int to_ = -1;
  int from_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::string> lines_;
};

bool carries(const SentFrame& f, const Bytes& record) {
  for (const Bytes& r : f.records)
    if (r == record) return true;
  return false;
}
// Whether the frame has any record of node 0 with this parameter id.
bool has_id(const SentFrame& f, uint8_t id) {
  for (const Bytes& r : f.records)
    if (r[0] == 0 && r[1] == id) return true;
  return false;
}

TEST(DryingSetupEndToEnd, SchemeAndBracketLimitGoOutUntilTheSimulatorReportsThem) {
  Pty sim_port, display_port;
  ASSERT_FALSE(sim_port.name.empty());
  ASSERT_FALSE(display_port.name.empty());
  RecordingCable cable(display_port.master, sim_port.master);
  Child sim({kSim, "--port", sim_port.name});
  // Continuous flow with temperature and 2-speed meter rolls; a moisture setpoint; the
  // bracketed values of the controller: outer 0.6 %, inner 0.3 %, offsets 6 and 3.
  for (const char* set : {"set 8 0", "set 187 1", "set 226 6 3 6 3", "set 199 0 155"})
    ASSERT_TRUE(sim.ok(set)) << set;

  TempDir dir;
  Child display({kDisplay, "--headless", "--disk", dir.path() + "/disk", "--port",
                 display_port.name, "--script", "-"});
  bool linked = false;
  for (int i = 0; i < 100 && !linked; ++i) {
    const auto mirror = display.readout("mirror");
    linked = mirror.count("187") && mirror.at("187") == "1" && mirror.count("226") &&
             mirror.at("226") == "6";
    if (!linked) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(linked) << "the simulator's status frames were not decoded";

  // A second after MOISTURE the scheme has gone out on its own, before the limit is raised.
  for (const char* step : {"click SETUP", "wait 300", "click MC_SETUP_BUTTON", "wait 300",
                           "click MOISTURE", "wait 1000", "click 5 SPEED SETUP", "wait 300",
                           "click LIMIT INC", "click ACCEPT / EXIT", "wait 300", "click ACCEPT"}) {
    ASSERT_TRUE(display.ok(step)) << step;
  }
  const Bytes scheme{0x00, 187, 0x01, 0x04};  // moisture with 5 speeds, the other bits kept
  const Bytes outer_limit{0x00, 226, 0x01, 0x07};

  bool reported = false;
  for (int i = 0; i < 50 && !reported; ++i) {
    const auto mirror = display.readout("mirror");
    reported = mirror.count("187") && mirror.at("187") == "4" && mirror.count("226") &&
               mirror.at("226") == "7";
    if (!reported) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(reported) << "the simulator took neither value";
  auto pending = display.readout("pending");
  for (int i = 0; i < 20 && (pending.count("187") || pending.count("226")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pending = display.readout("pending");
  }
  EXPECT_EQ(pending.count("187"), 0u) << "lowered once the controller reports the value";
  EXPECT_EQ(pending.count("226"), 0u);
  const size_t read_back = cable.count();
  ASSERT_TRUE(cable.wait_frames(6, 10000));

  size_t with_scheme = 0, with_limit = 0;
  const std::vector<SentFrame> frames = cable.frames();
  for (size_t i = 0; i < frames.size(); ++i) {
    const SentFrame& f = frames[i];
    EXPECT_TRUE(f.crc_ok) << "frame " << i;
    with_scheme += carries(f, scheme);
    with_limit += carries(f, outer_limit);
    // Nothing else of the set-ups changed, so nothing else of theirs goes out.
    for (const uint8_t id : {uint8_t(224), uint8_t(227), uint8_t(228), uint8_t(229), uint8_t(8)})
      EXPECT_FALSE(has_id(f, id)) << "frame " << i << " carries parameter " << int(id);
    if (i > read_back) {
      EXPECT_FALSE(has_id(f, 187)) << "frame " << i << " after the read-back";
      EXPECT_FALSE(has_id(f, 226)) << "frame " << i << " after the read-back";
    }
  }
  EXPECT_GE(with_scheme, 1u);
  EXPECT_GE(with_limit, 1u);
  // A frame that holds the scheme record alone, or after the clock record that goes out about
  // once a second: byte for byte up to the CRC, which the frame check above verified.
  bool literal = false;
  for (const SentFrame& f : frames) {
    const Bytes& b = f.bytes;
    if (!f.crc_ok) continue;
    if (b.size() == 8 && b[0] == 0x08 && b[1] == 0x01 &&
        Bytes(b.begin() + 2, b.begin() + 6) == scheme)
      literal = true;
    if (b.size() == 16 && b[0] == 0x10 && b[1] == 0x02 && b[2] == 0x00 && b[3] == 0x35 &&
        b[4] == 0x05 && Bytes(b.begin() + 10, b.begin() + 14) == scheme)
      literal = true;
  }
  EXPECT_TRUE(literal)
      << "no frame 08 01 00 BB 01 04 CRC nor 10 02 00 35 05 (clock) 00 BB 01 04 CRC";
  display.ok("quit");
}

}  // namespace
