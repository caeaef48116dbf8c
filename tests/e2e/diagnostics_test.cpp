// The diagnostics screen end to end: the built corvex-display talks to the simulated controller
// over a pseudo-terminal and is driven through the automation protocol. Every option and every
// output-voltage press must put its record on the wire; the records are read from the frames
// as the controller sees them (length, count, node, id, length, values, CRC-16/MODBUS low byte
// first), not with the display's encoder. The simulator answers each frame and takes the
// records, so that the display's writes are acknowledged as on a real dryer.
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
#include <cstdint>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/diagnostics_echo.h"
#include "sim/dryer_model.h"
#include "sim/simulator.h"
#include "support/process.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;

uint16_t modbus_crc(const uint8_t* data, size_t n) {
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
  }
  return crc;
}

// A command frame as the controller saw it: the bytes, and its records when its length, count,
// records and CRC all agree.
struct SentFrame {
  Bytes bytes;
  bool well_formed = false;
  std::vector<Bytes> records;  // each: node, id, n, values
};

SentFrame parse_frame(Bytes bytes) {
  SentFrame f;
  f.bytes = std::move(bytes);
  const Bytes& b = f.bytes;
  const size_t n = b.size();
  if (n < 8 || b[0] != n) return f;
  const uint16_t crc = modbus_crc(b.data(), n - 2);
  if (b[n - 2] != (crc & 0xFF) || b[n - 1] != (crc >> 8)) return f;
  size_t p = 2;
  for (int i = 0; i < b[1] && p + 3 <= n - 2; ++i) {
    const size_t len = b[p + 2];
    if (p + 3 + len > n - 2) break;
    f.records.emplace_back(b.begin() + long(p), b.begin() + long(p + 3 + len));
    p += 3 + len;
  }
  f.well_formed = f.records.size() == b[1] && p == n - 2;
  return f;
}

// The simulated controller on the master side of a pseudo-terminal, recording every frame.
class SimulatedController {
 public:
  SimulatedController() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) return;
    slave_name_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY);
    termios tio{};
    if (slave_ >= 0 && tcgetattr(slave_, &tio) == 0) {
      cfmakeraw(&tio);
      tcsetattr(slave_, TCSANOW, &tio);
    }
    thread_ = std::thread([this] { serve(); });
  }
  ~SimulatedController() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }

  const std::string& port() const { return slave_name_; }
  std::string command(const std::string& line) {
    std::lock_guard lock(mutex_);
    return sim_.command(line);
  }
  size_t frame_count() {
    std::lock_guard lock(mutex_);
    return frames_.size();
  }
  // Waits until a frame from index `from` on carries `record` (node, id, n, values) and returns
  // that frame, or an empty one after the time-out.
  SentFrame wait_record(size_t from, const Bytes& record, int timeout_ms = 8000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Clock::now() < deadline) {
      {
        std::lock_guard lock(mutex_);
        for (size_t i = from; i < frames_.size(); ++i) {
          for (const Bytes& r : frames_[i].records)
            if (r == record) return frames_[i];
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return {};
  }
  // Every record from frame `from` on for parameter `id` of node 0.
  std::vector<Bytes> records_of(size_t from, uint8_t id) {
    std::lock_guard lock(mutex_);
    std::vector<Bytes> out;
    for (size_t i = from; i < frames_.size(); ++i)
      for (const Bytes& r : frames_[i].records)
        if (r[0] == 0 && r[1] == id) out.push_back(r);
    return out;
  }
  bool all_well_formed() {
    std::lock_guard lock(mutex_);
    for (const SentFrame& f : frames_)
      if (f.bytes.size() >= 8 && !f.well_formed) return false;
    return true;
  }

 private:
  static size_t frame_length(const Bytes& b) {
    if (b.empty()) return 0;
    if (b[0] == 0x06) return 4;  // resync
    return b[0];
  }

  void serve() {
    Bytes pending;
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      uint8_t buf[512];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      pending.insert(pending.end(), buf, buf + n);
      for (size_t len = frame_length(pending); len > 0 && pending.size() >= len;
           len = frame_length(pending)) {
        if (len < 4) {
          pending.erase(pending.begin());
          continue;
        }
        Bytes frame(pending.begin(), pending.begin() + long(len));
        pending.erase(pending.begin(), pending.begin() + long(len));
        Bytes answer;
        {
          std::lock_guard lock(mutex_);
          answer = sim_.exchange(frame.data(), frame.size());
          frames_.push_back(parse_frame(std::move(frame)));
        }
        for (size_t done = 0; done < answer.size();) {
          const ssize_t w = write(master_, answer.data() + done, answer.size() - done);
          if (w <= 0) break;
          done += size_t(w);
        }
      }
    }
  }

  int master_ = -1;
  int slave_ = -1;
  std::string slave_name_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  corvex::sim::Simulator sim_{7};
  std::vector<SentFrame> frames_;
};

// The display as a child process with its automation on a pipe.
class Display {
 public:
  Display(const std::string& disk, const std::string& port) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      const int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0) dup2(devnull, 2);
      execl(kDisplay.c_str(), kDisplay.c_str(), "--headless", "--disk", disk.c_str(), "--port",
            port.c_str(), "--script", "-", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_ = in[1];
    from_ = out[0];
    signal(SIGPIPE, SIG_IGN);
    reader_ = std::thread([this] { read_lines(); });
  }
  ~Display() {
    if (to_ >= 0) {
      const std::string quit = "quit\n";
      (void)!write(to_, quit.data(), quit.size());
      close(to_);
    }
    int status = 0;
    for (int i = 0; i < 100 && pid_ > 0; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
    if (reader_.joinable()) reader_.join();
    if (from_ >= 0) close(from_);
  }

  std::vector<std::string> command(const std::string& line, int timeout_ms = 30000) {
    const std::string text = line + "\n";
    if (write(to_, text.data(), text.size()) != ssize_t(text.size())) return {};
    std::vector<std::string> answer;
    std::unique_lock lock(mutex_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
      while (!lines_.empty()) {
        answer.push_back(lines_.front());
        lines_.erase(lines_.begin());
        const std::string& last = answer.back();
        if (last == "ok" || last.rfind("error: ", 0) == 0) return answer;
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
  // Waits until the readout shows `value` at `key` ("" for absent).
  bool wait_for(const std::string& which, const std::string& key, const std::string& value,
                int timeout_ms = 8000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Clock::now() < deadline) {
      const auto values = readout(which);
      const auto it = values.find(key);
      if ((it == values.end() ? std::string() : it->second) == value) return true;
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

// Control ids of the screens on the way (ours): the extended setup button of the setup menu,
// the diagnostics button of the extended setup menu, and the diagnostics screen's buttons.
constexpr int kExtendedSetup = 1308;
constexpr int kDiagnostics = 1321;
constexpr int kAirSwitch = 1504;
constexpr int kSetupMeteringRolls = 1507;
constexpr int kSensorShutdown = 1509;
constexpr int kExitDiagnostics = 1512;
// The output voltage set-up's own item numbers.
constexpr int kMaxUp = 1045;
constexpr int kMaxDown = 1046;
constexpr int kMinDown = 1216;
constexpr int kCancel = 1219;

std::string click(int id) { return "click " + std::to_string(id); }

class DiagnosticsEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(controller.port().empty());
    display = std::make_unique<Display>(dir.path() + "/disk", controller.port());
    // The simulator starts with four fan/heaters (count code 3) and the output at 230 / 20.
    ASSERT_TRUE(display->wait_for("mirror", "236", "e6", 15000)) << "no status frame was decoded";
    ASSERT_TRUE(display->ok("click SETUP"));
    ASSERT_TRUE(display->ok(click(kExtendedSetup)));
    ASSERT_TRUE(display->ok(click(kDiagnostics)));
  }

  // Runs the commands, then waits for the record on the wire; returns the frame carrying it.
  SentFrame expect_record(const std::vector<std::string>& commands, const Bytes& record) {
    const size_t from = controller.frame_count();
    for (const std::string& c : commands) EXPECT_TRUE(display->ok(c)) << c;
    return controller.wait_record(from, record);
  }

  TempDir dir;
  SimulatedController controller;
  std::unique_ptr<Display> display;
};

TEST_F(DiagnosticsEndToEnd, OptionsGoOutAsTheirRecordsAndTheControllerKeepsThem) {
  // Disabling the metering-roll sensor failure shutdown: bit 5 of parameter 49.
  SentFrame f = expect_record({click(kSensorShutdown), "click Yes"}, {0x00, 0x31, 0x01, 0x20});
  ASSERT_FALSE(f.bytes.empty()) << "no frame carried 00 31 01 20";
  EXPECT_TRUE(f.well_formed);
  EXPECT_TRUE(display->wait_for("mirror", "49", "20")) << "the controller took it";
  EXPECT_TRUE(display->wait_for("pending", "49", ""));

  // Air-switch testing off: two Yes answers, then bit 2 of the four fitted fan/heaters' bytes
  // (106 down to 103); fan/heaters 5 and 6 (102, 101) are not fitted and get nothing.
  const size_t before_off = controller.frame_count();
  ASSERT_TRUE(display->ok(click(kAirSwitch)));
  ASSERT_TRUE(display->ok("click Yes"));
  ASSERT_TRUE(display->ok("wait 800"));
  EXPECT_TRUE(controller.records_of(before_off, 0x6A).empty()) << "the first Yes only asks again";
  ASSERT_TRUE(display->ok("click Yes"));
  for (uint8_t id : {0x6A, 0x69, 0x68, 0x67}) {
    EXPECT_FALSE(controller.wait_record(before_off, {0x00, id, 0x01, 0x04}).bytes.empty())
        << "no record 00 " << int(id) << " 01 04";
  }
  EXPECT_TRUE(display->wait_for("mirror", "103", "4"));
  EXPECT_TRUE(controller.records_of(before_off, 0x66).empty());
  EXPECT_TRUE(controller.records_of(before_off, 0x65).empty());

  // With bit 3 of fan/heater #1's state reported and no highest alarm, opening the screen
  // switches testing back on without a question.
  ASSERT_EQ(controller.command("set 148 8"), "ok\n");
  ASSERT_TRUE(display->wait_for("mirror", "148", "8"));
  const size_t before_on = controller.frame_count();
  ASSERT_TRUE(display->ok(click(kExitDiagnostics)));
  ASSERT_TRUE(display->ok(click(kDiagnostics)));
  for (uint8_t id : {0x6A, 0x69, 0x68, 0x67}) {
    EXPECT_FALSE(controller.wait_record(before_on, {0x00, id, 0x01, 0x00}).bytes.empty())
        << "no record 00 " << int(id) << " 01 00";
  }
  EXPECT_TRUE(display->wait_for("mirror", "106", ""));
  EXPECT_TRUE(controller.all_well_formed());
}

TEST_F(DiagnosticsEndToEnd, EveryOutputVoltagePressGoesOutWithItsCommandByte) {
  ASSERT_TRUE(display->ok(click(kSetupMeteringRolls)));
  // Maximum 230 -> 231 (E7), with command byte 1.
  SentFrame f = expect_record({click(kMaxUp)}, {0x00, 0xEC, 0x01, 0xE7});
  ASSERT_FALSE(f.bytes.empty()) << "no frame carried 00 EC 01 E7";
  EXPECT_FALSE(controller.wait_record(0, {0x00, 0xEE, 0x01, 0x01}).bytes.empty());
  EXPECT_TRUE(display->wait_for("mirror", "238", "1"));
  // Minimum 20 -> 19 (13), with command byte 2.
  f = expect_record({click(kMinDown)}, {0x00, 0xED, 0x01, 0x13});
  ASSERT_FALSE(f.bytes.empty()) << "no frame carried 00 ED 01 13";
  EXPECT_FALSE(controller.wait_record(0, {0x00, 0xEE, 0x01, 0x02}).bytes.empty());
  EXPECT_TRUE(display->wait_for("mirror", "238", "2"));
  // CANCEL: only the command byte returns to 0; the controller keeps 231 and 19.
  f = expect_record({click(kCancel)}, {0x00, 0xEE, 0x01, 0x00});
  ASSERT_FALSE(f.bytes.empty()) << "no frame carried 00 EE 01 00";
  EXPECT_TRUE(display->wait_for("mirror", "238", ""));
  EXPECT_EQ(display->readout("mirror")["236"], "e7");
  EXPECT_EQ(display->readout("mirror")["237"], "13");

  // At the lowest maximum, DOWN still sends: the value stays 165 and command byte 1 goes out.
  ASSERT_EQ(controller.command("set 236 165"), "ok\n");
  ASSERT_TRUE(display->wait_for("mirror", "236", "a5"));
  ASSERT_TRUE(display->ok(click(kSetupMeteringRolls)));
  const size_t before = controller.frame_count();
  f = expect_record({click(kMaxDown)}, {0x00, 0xEE, 0x01, 0x01});
  ASSERT_FALSE(f.bytes.empty()) << "no frame carried 00 EE 01 01";
  EXPECT_EQ(display->readout("desired")["236"], "a5");
  for (const Bytes& r : controller.records_of(before, 0xEC))
    EXPECT_EQ(r, (Bytes{0x00, 0xEC, 0x01, 0xA5})) << "never below 165";
  ASSERT_TRUE(display->ok(click(kCancel)));
  EXPECT_TRUE(display->wait_for("mirror", "238", ""));
  EXPECT_TRUE(controller.all_well_formed());
}

// The simulated controller's side of the test screens: the output-activated bits follow the
// fans, burners, load and run, and bit 3 of fan/heater #1's state follows its fan.
TEST(DiagnosticsSimulator, ActivatedBitsFollowTheOutputsInTheTestScreensOrder) {
  corvex::sim::BoardOutputs o;
  EXPECT_EQ(corvex::sim::activated_bits(o).j1, 0);
  EXPECT_EQ(corvex::sim::activated_bits(o).j2, 0);
  o.fan[0] = true;     // J2-05: 240 bit 3
  o.burner[2] = true;  // J1-08: 239 bit 7
  o.fan[5] = true;     // J1-03: 239 bit 2
  o.start = true;      // J2-08: 240 bit 0
  o.unload = true;     // J2-07: 240 bit 1
  EXPECT_EQ(corvex::sim::activated_bits(o).j1, 0x84);
  EXPECT_EQ(corvex::sim::activated_bits(o).j2, 0x0B);

  corvex::sim::DryerModel model(3);
  model.advance(1000);
  EXPECT_EQ(model.bytes()[240], 0);
  EXPECT_EQ(model.bytes()[148] & 0x08, 0);
  ASSERT_EQ(model.run(), nullptr);
  model.advance(45000);  // the first fan starts one fan delay (30 s) after the run
  EXPECT_EQ(model.bytes()[240] & 0x09, 0x09) << "START and FAN 1";
  EXPECT_EQ(model.bytes()[148] & 0x08, 0x08);
  const uint8_t before = model.bytes()[148];
  model.stop();
  model.advance(1000);
  EXPECT_EQ(model.bytes()[240], 0);
  EXPECT_EQ(model.bytes()[148], before & ~0x08) << "the other bits of the state byte stay";
}

}  // namespace
