// The calibration screens end to end: the built corvex-display drives the built corvex-sim
// through a relay that records every frame the display sends. Each write of the moisture sensor
// calibration and the unload bushels set-up must go out as its record, byte for byte, until the
// simulator reports the value, and the bushel counter's zero command must go out with bit 3 set
// until the count is 0 and once more with the bit clear.
//
// The records are read from the frame layout itself (length, count, then node, id, length and
// value bytes), not with the display's encoder.
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

// One pseudo-terminal pair in raw mode; the slave end stays open so the line stays up.
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

// The records of a command frame: node, id, length, value bytes, each as one byte string.
std::vector<Bytes> records_of(const Bytes& frame) {
  std::vector<Bytes> out;
  if (frame.size() < 8 || frame[0] != frame.size()) return out;
  size_t p = 2;
  for (int i = 0; i < frame[1] && p + 3 <= frame.size() - 2; ++i) {
    const size_t end = p + 3 + frame[p + 2];
    if (end > frame.size() - 2) break;
    out.emplace_back(frame.begin() + long(p), frame.begin() + long(end));
    p = end;
  }
  return out;
}

// Passes bytes both ways between the display's line and the simulator's, and cuts what the
// display sends into frames by their first byte (a resync frame is 4 bytes long).
class Relay {
 public:
  Relay() {
    if (!display_.name.empty() && !sim_.name.empty()) thread_ = std::thread([this] { run(); });
  }
  ~Relay() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  const std::string& display_port() const { return display_.name; }
  const std::string& sim_port() const { return sim_.name; }
  std::vector<Bytes> frames() {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  size_t frame_count() {
    std::lock_guard lock(mutex_);
    return frames_.size();
  }

 private:
  static void write_all(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
      const ssize_t w = write(fd, p, n);
      if (w <= 0) return;
      p += w;
      n -= size_t(w);
    }
  }
  void cut_frames() {
    while (!pending_.empty()) {
      const size_t len = pending_[0] == 0x06 ? 4 : pending_[0];
      if (len < 4) {
        pending_.erase(pending_.begin());
        continue;
      }
      if (pending_.size() < len) return;
      std::lock_guard lock(mutex_);
      frames_.emplace_back(pending_.begin(), pending_.begin() + long(len));
      pending_.erase(pending_.begin(), pending_.begin() + long(len));
    }
  }
  void run() {
    uint8_t buf[1024];
    while (!stop_) {
      pollfd p[2] = {{display_.master, POLLIN, 0}, {sim_.master, POLLIN, 0}};
      if (poll(p, 2, 50) <= 0) continue;
      if (p[0].revents & POLLIN) {
        const ssize_t n = read(display_.master, buf, sizeof buf);
        if (n > 0) {
          write_all(sim_.master, buf, size_t(n));
          pending_.insert(pending_.end(), buf, buf + n);
          cut_frames();
        }
      }
      if (p[1].revents & POLLIN) {
        const ssize_t n = read(sim_.master, buf, sizeof buf);
        if (n > 0) write_all(display_.master, buf, size_t(n));
      }
      if ((p[0].revents | p[1].revents) & (POLLERR | POLLNVAL)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
  }

  Pty display_;
  Pty sim_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  Bytes pending_;
  std::mutex mutex_;
  std::vector<Bytes> frames_;
};

// A child process with its standard input on a pipe and, when asked, its output read in lines.
class Child {
 public:
  Child(const std::vector<std::string>& argv, bool read_output) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      const int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0) dup2(devnull, 2);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_ = in[1];
    from_ = out[0];
    signal(SIGPIPE, SIG_IGN);
    if (read_output) reader_ = std::thread([this] { read_lines(); });
  }
  ~Child() {
    if (to_ >= 0) {
      const std::string quit = "quit\n";
      (void)!write(to_, quit.data(), quit.size());
      close(to_);
    }
    int status = 0;
    for (int i = 0; i < 40 && pid_ > 0; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, &status, 0);
    }
    if (from_ >= 0) close(from_);
    if (reader_.joinable()) reader_.join();
  }
  void send(const std::string& line) {
    const std::string text = line + "\n";
    (void)!write(to_, text.data(), text.size());
  }
  // Sends an automation command and returns its answer lines up to "ok" or "error: ...".
  std::vector<std::string> command(const std::string& line, int timeout_ms = 30000) {
    send(line);
    std::vector<std::string> answer;
    std::unique_lock lock(mutex_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
      while (!lines_.empty()) {
        answer.push_back(lines_.front());
        lines_.erase(lines_.begin());
        if (answer.back() == "ok" || answer.back().rfind("error: ", 0) == 0) return answer;
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
  // Polls a readout until offset shows value (hex, as the readout prints it; "" for absent).
  bool wait_for(const std::string& which, const std::string& offset, const std::string& value) {
    for (int i = 0; i < 100; ++i) {
      const auto r = readout(which);
      const auto it = r.find(offset);
      if ((it == r.end() ? std::string() : it->second) == value) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
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

// Every record the display sent with this node and id, in order, as literal byte strings.
std::vector<Bytes> sent_records(const std::vector<Bytes>& frames, uint8_t node, uint8_t id) {
  std::vector<Bytes> out;
  for (const Bytes& f : frames)
    for (const Bytes& r : records_of(f))
      if (r[0] == node && r[1] == id) out.push_back(r);
  return out;
}

// Runs of equal records collapsed: {A, A, B, B, B} -> {A, B}.
std::vector<Bytes> distinct_runs(const std::vector<Bytes>& records) {
  std::vector<Bytes> out;
  for (const Bytes& r : records)
    if (out.empty() || out.back() != r) out.push_back(r);
  return out;
}

TEST(CalibrationEndToEnd, EachWriteGoesOutAsItsRecordUntilTheSimulatorReportsIt) {
  TempDir dir;
  Relay relay;
  ASSERT_FALSE(relay.display_port().empty());
  Child sim({kSim, "--port", relay.sim_port()}, false);
  sim.send("stop");
  sim.send("set 232 0 199");          // dry moisture offset +19.9
  sim.send("set 163 100");            // bushels-per-hour multiplier
  sim.send("set 164 0x1F 0x1C 0 0");  // count 7199: 1 total bushel
  Child display({kDisplay, "--headless", "--disk", dir.path() + "/disk", "--port",
                 relay.display_port(), "--script", "-"},
                true);
  ASSERT_TRUE(display.wait_for("mirror", "233", "c7")) << "no status frame was decoded";
  ASSERT_TRUE(display.wait_for("mirror", "163", "64"));

  // Moisture sensor calibration: dry moisture offset +19.9 -> +20.0.
  ASSERT_TRUE(display.ok("click SETUP"));
  ASSERT_TRUE(display.ok("click CALIB_MOIST_SENSOR_BUTTON"));
  ASSERT_TRUE(display.ok("click 1045"));
  ASSERT_TRUE(display.ok("click ACCEPT"));
  EXPECT_TRUE(display.wait_for("mirror", "233", "c8")) << "the simulator never took the offset";
  EXPECT_TRUE(display.wait_for("pending", "232", ""));

  // Unload bushels: the multiplier 100 -> 101, then the counter is zeroed.
  ASSERT_TRUE(display.ok("click EXTENDED_SETUP_BUTTON"));
  ASSERT_TRUE(display.ok("click BPH_CALIB_BUTTON"));
  bool one_bushel = false;
  for (const std::string& l : display.command("windows"))
    one_bushel = one_bushel ||
                 (l.find(" 1147 ") != std::string::npos && l.find("\" 1\"") != std::string::npos);
  EXPECT_TRUE(one_bushel) << "a count of 7199 shows 1 total bushel";
  ASSERT_TRUE(display.ok("click INCREASE"));
  ASSERT_TRUE(display.ok("click ACCEPT"));
  EXPECT_TRUE(display.wait_for("mirror", "163", "65"));
  EXPECT_TRUE(display.wait_for("pending", "163", ""));
  ASSERT_TRUE(display.ok("click BPH_CALIB_BUTTON"));
  ASSERT_TRUE(display.ok("click CLEAR"));
  ASSERT_TRUE(display.ok("click Yes"));
  EXPECT_TRUE(display.wait_for("mirror", "164", ""));
  EXPECT_TRUE(display.wait_for("desired", "238", ""));
  EXPECT_TRUE(display.wait_for("pending", "238", ""));
  ASSERT_TRUE(display.ok("click ACCEPT"));
  const size_t seen = relay.frame_count();
  for (int i = 0; i < 50 && relay.frame_count() < seen + 4; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

  const std::vector<Bytes> frames = relay.frames();
  EXPECT_EQ(distinct_runs(sent_records(frames, 0, 232)),
            (std::vector<Bytes>{{0x00, 0xE8, 0x02, 0x00, 0xC8}}));
  EXPECT_EQ(distinct_runs(sent_records(frames, 0, 163)),
            (std::vector<Bytes>{{0x00, 0xA3, 0x01, 0x65}}));
  // Bit 3 until the count is 0, then the byte once more with the bit clear.
  const std::vector<Bytes> zero = sent_records(frames, 0, 238);
  EXPECT_EQ(distinct_runs(zero),
            (std::vector<Bytes>{{0x00, 0xEE, 0x01, 0x08}, {0x00, 0xEE, 0x01, 0x00}}));
  if (!zero.empty()) {
    EXPECT_EQ(zero.back(), (Bytes{0x00, 0xEE, 0x01, 0x00}));
  }
  // Nothing else of the dialogs went out.
  for (uint8_t id : {234, 241, 243}) EXPECT_TRUE(sent_records(frames, 0, id).empty()) << int(id);
  // The last frames carry none of them any more.
  ASSERT_GE(frames.size(), 3u);
  for (size_t i = frames.size() - 2; i < frames.size(); ++i)
    for (const Bytes& r : records_of(frames[i]))
      EXPECT_TRUE(r[1] != 232 && r[1] != 163 && r[1] != 238) << "record " << int(r[1]);
}

}  // namespace
