// The road of one operator change, end to end: the built corvex-display talks to a test
// controller on a pseudo-terminal and is driven through the automation protocol. The operator
// opens TEMPS, the setup button of plenum #1, types a new setpoint and accepts; from then on
// every command frame carries the plenum #1 record until the controller reports the new value
// in its status frame, and the screen shows the old value until then.
//
// The controller side is written from the frame layout itself (length, count, records, CRC-16/
// MODBUS low byte first; a 331-byte status frame with its CRC), not with the display's encoder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <iterator>
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

// CRC-16/MODBUS bit by bit: reflected polynomial 0xA001, start 0xFFFF, no final XOR.
uint16_t modbus_crc(const uint8_t* data, size_t n) {
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
  }
  return crc;
}

struct Record {
  uint8_t node;
  uint8_t id;
  Bytes value;
};

// A frame the display sent, as the controller saw it.
struct SentFrame {
  Clock::time_point at;
  Bytes bytes;
  bool crc_ok = false;
  bool is_command = false;
  std::vector<Record> records;
  bool records_ok = false;  // the records fill the frame exactly as its length and count say
};

SentFrame parse_frame(Bytes bytes) {
  SentFrame f;
  f.at = Clock::now();
  f.bytes = std::move(bytes);
  const Bytes& b = f.bytes;
  const size_t n = b.size();
  if (n >= 4) {
    const uint16_t crc = modbus_crc(b.data(), n - 2);
    f.crc_ok = b[n - 2] == (crc & 0xFF) && b[n - 1] == (crc >> 8);
  }
  f.is_command = n >= 8 && b[0] == n;
  if (f.is_command) {
    size_t p = 2;
    for (int i = 0; i < b[1] && p + 3 <= n - 2; ++i) {
      Record r{b[p], b[p + 1], {}};
      const size_t len = b[p + 2];
      if (p + 3 + len > n - 2) break;
      r.value.assign(b.begin() + long(p + 3), b.begin() + long(p + 3 + len));
      f.records.push_back(r);
      p += 3 + len;
    }
    f.records_ok = f.records.size() == b[1] && p == n - 2;
  }
  return f;
}

bool carries(const SentFrame& f, const Record& wanted) {
  for (const Record& r : f.records) {
    if (r.node == wanted.node && r.id == wanted.id && r.value == wanted.value) return true;
  }
  return false;
}

// The controller: answers every frame of the display with a status frame of its current
// status bytes. It takes no parameter itself; the test decides when it reports a new value.
class TestController {
 public:
  TestController() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) return;
    slave_name_ = name;
    // Held open so that the line stays up whatever the display does with its end.
    slave_ = open(name, O_RDWR | O_NOCTTY);
    termios tio{};
    if (slave_ >= 0 && tcgetattr(slave_, &tio) == 0) {
      cfmakeraw(&tio);
      tcsetattr(slave_, TCSANOW, &tio);
    }
    thread_ = std::thread([this] { serve(); });
  }
  ~TestController() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }

  const std::string& port() const { return slave_name_; }

  // A silent controller takes the display's frames and answers none.
  void set_silent(bool silent) { silent_.store(silent); }

  void set(int offset, uint8_t value) {
    std::lock_guard lock(mutex_);
    status_[size_t(offset)] = value;
  }
  // When the last status frame holding `value` at `offset` went out (epoch when none did).
  Clock::time_point first_sent_with(int offset, uint8_t value) {
    std::lock_guard lock(mutex_);
    const auto it = first_with_.find({offset, value});
    return it == first_with_.end() ? Clock::time_point{} : it->second;
  }
  std::vector<SentFrame> frames() {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  size_t frame_count() {
    std::lock_guard lock(mutex_);
    return frames_.size();
  }
  // Waits until `count` more frames than now have arrived.
  bool wait_frames(size_t count, int timeout_ms) {
    const size_t target = frame_count() + count;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Clock::now() < deadline) {
      if (frame_count() >= target) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

 private:
  // The length of the frame that starts the buffer, or 0 while unknown.
  static size_t frame_length(const Bytes& b) {
    if (b.empty()) return 0;
    if (b[0] == 0x06) return 4;  // resync
    return b[0];
  }

  void answer() {
    std::array<uint8_t, 331> frame{};
    {
      std::lock_guard lock(mutex_);
      std::copy(status_.begin(), status_.end(), frame.begin());
    }
    const uint16_t crc = modbus_crc(frame.data(), 329);
    frame[329] = uint8_t(crc & 0xFF);
    frame[330] = uint8_t(crc >> 8);
    const auto now = Clock::now();
    {
      std::lock_guard lock(mutex_);
      for (const int offset : {69, 70, 97, 106})
        first_with_.try_emplace({offset, frame[size_t(offset)]}, now);
    }
    size_t done = 0;
    while (done < frame.size()) {
      const ssize_t n = write(master_, frame.data() + done, frame.size() - done);
      if (n <= 0) return;
      done += size_t(n);
    }
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
        if (len < 4) {  // not a frame start: drop a byte and look again
          pending.erase(pending.begin());
          continue;
        }
        SentFrame f = parse_frame(Bytes(pending.begin(), pending.begin() + long(len)));
        pending.erase(pending.begin(), pending.begin() + long(len));
        {
          std::lock_guard lock(mutex_);
          frames_.push_back(std::move(f));
        }
        if (!silent_) answer();
      }
    }
  }

  int master_ = -1;
  int slave_ = -1;
  std::string slave_name_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> silent_{false};
  std::mutex mutex_;
  std::array<uint8_t, 329> status_{};
  std::vector<SentFrame> frames_;
  std::map<std::pair<int, int>, Clock::time_point> first_with_;
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

  // Sends one command and returns its answer lines; the last is "ok" or "error: ...", or empty
  // when the display did not answer in time.
  // The limit is generous: a loaded machine (a parallel build, the sanitizers) can take seconds
  // to answer, and an answer that comes late would be read as the next command's.
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

  // offset=hex pairs of a readout command (mirror, desired, pending).
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

std::string file_bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TEST(OperatorChange, ModbusCrcOfTheTestControllerIsTheStandardOne) {
  const uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(modbus_crc(abc, 3), 0x5749);
  const uint8_t poll_frame[] = {0x07, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(modbus_crc(poll_frame, 5), 0xC091);
}

TEST(OperatorChange, PlenumSetpointGoesOutUntilTheControllerReportsIt) {
  TempDir dir;
  TestController controller;
  ASSERT_FALSE(controller.port().empty());
  controller.set(69, 180);  // plenum #1 setpoint, low byte first
  controller.set(70, 0);
  Display display(dir.path() + "/disk", controller.port());

  // The link comes up: the controller's plenum setpoint reaches the mirror.
  bool linked = false;
  for (int i = 0; i < 50 && !linked; ++i) {
    linked = display.readout("mirror")["69"] == "b4";
    if (!linked) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(linked) << "no status frame was decoded";

  ASSERT_TRUE(display.ok("click TEMPS")) << "the button bar of the main window has no TEMPS";
  ASSERT_TRUE(display.ok("wait 300"));
  const std::string before = dir.path() + "/before.png";
  ASSERT_TRUE(display.ok("screenshot " + before));
  ASSERT_TRUE(display.ok("click PLENUM_1_SP_BUTTON"));
  for (const char* key : {"\"2\"", "\"1\"", "\"0\""})
    ASSERT_TRUE(display.ok(std::string("click ") + key));
  EXPECT_EQ(display.readout("desired")["69"], "b4") << "the current value before ACCEPT";
  EXPECT_TRUE(display.readout("pending").count("69") == 0);
  ASSERT_TRUE(display.ok("click ACCEPT"));
  const auto accepted = Clock::now();

  // 210 = 0xD2: node 0, parameter 69, two bytes, low first.
  const Record plenum1{0x00, 69, {0xD2, 0x00}};
  EXPECT_EQ(display.readout("desired")["69"], "d2");
  EXPECT_EQ(display.readout("pending")["69"], "1");
  ASSERT_TRUE(controller.wait_frames(6, 5000));
  EXPECT_EQ(display.readout("mirror")["69"], "b4")
      << "nothing changes before the controller says so";
  ASSERT_TRUE(display.ok("wait 300"));
  const std::string pending_shot = dir.path() + "/pending.png";
  ASSERT_TRUE(display.ok("screenshot " + pending_shot));

  // The controller takes the value.
  controller.set(69, 0xD2);
  ASSERT_TRUE(controller.wait_frames(6, 5000));
  bool echoed = false;
  for (int i = 0; i < 20 && !echoed; ++i) {
    echoed = display.readout("mirror")["69"] == "d2";
    if (!echoed) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(echoed);
  EXPECT_EQ(display.readout("pending").count("69"), 0u) << "the write is lowered once echoed";
  ASSERT_TRUE(display.ok("wait 300"));
  const std::string after = dir.path() + "/after.png";
  ASSERT_TRUE(display.ok("screenshot " + after));

  // Every frame the display sent: well formed, and carrying the record exactly from ACCEPT
  // until the first status frame with the new value went out.
  const Clock::time_point echo_sent = controller.first_sent_with(69, 0xD2);
  ASSERT_NE(echo_sent, Clock::time_point{});
  const std::vector<SentFrame> frames = controller.frames();
  size_t while_pending = 0, carried = 0, after_echo = 0;
  Clock::time_point first_carrier{};
  for (const SentFrame& f : frames) {
    EXPECT_TRUE(f.crc_ok) << "frame of " << f.bytes.size() << " bytes";
    if (f.is_command) {
      EXPECT_TRUE(f.records_ok);
    }
    const bool has = carries(f, plenum1);
    if (f.at < accepted) {
      EXPECT_FALSE(has) << "a record before ACCEPT";
    } else if (f.at < echo_sent) {
      if (has && first_carrier == Clock::time_point{}) first_carrier = f.at;
      if (first_carrier != Clock::time_point{}) {
        ++while_pending;
        carried += has;
      }
    } else {
      ++after_echo;
      EXPECT_FALSE(has) << "the record is still sent after the controller reported the value";
    }
  }
  ASSERT_NE(first_carrier, Clock::time_point{}) << "the record never went out";
  EXPECT_LT(first_carrier - accepted, std::chrono::milliseconds(1000));
  EXPECT_GE(while_pending, 6u);
  EXPECT_EQ(carried, while_pending) << "every frame while pending carries the record";
  EXPECT_GE(after_echo, 3u);

  // The screen showed the old value while the write was pending and the new one after.
  const std::string a = file_bytes(before), p = file_bytes(pending_shot), c = file_bytes(after);
  ASSERT_FALSE(a.empty());
  // Compared as booleans: a failure need not print two PNG files.
  EXPECT_TRUE(p == a) << "the temperature screen changed before the controller took the value";
  EXPECT_TRUE(c != a) << "the temperature screen did not show the new value";
}

// A full-screen screen covers the warning window, so nothing paints it; the link must still be
// resynchronised, and the window must show the lost link once it is uncovered.
TEST(OperatorChange, SilentControllerWithTempsOpenIsAskedToResynchronise) {
  TempDir dir;
  TestController controller;
  ASSERT_FALSE(controller.port().empty());
  controller.set(69, 180);
  Display display(dir.path() + "/disk", controller.port());
  bool linked = false;
  for (int i = 0; i < 50 && !linked; ++i) {
    linked = display.readout("mirror")["69"] == "b4";
    if (!linked) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(linked) << "no status frame was decoded";
  ASSERT_TRUE(display.ok("click TEMPS"));
  controller.set_silent(true);

  // The lost-link warning: the 100 ms tick shows the (covered) warning window.
  auto warning_shown = [&] {
    for (const std::string& l : display.command("windows"))
      if (l.find("WARNING_WINDOW") != std::string::npos) return true;
    return false;
  };
  Clock::time_point warned{};
  for (int i = 0; i < 300 && warned == Clock::time_point{}; ++i) {
    if (warning_shown())
      warned = Clock::now();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_NE(warned, Clock::time_point{}) << "the link was never reported lost";
  ASSERT_TRUE(controller.wait_frames(14, 10000));

  const std::vector<SentFrame> frames = controller.frames();
  const Bytes resync{0x06, 0x00, 0x02, 0x10};
  const Bytes poll{0x07, 0x00, 0x00, 0x00, 0x00, 0x91, 0xC0};
  size_t first = 0;
  while (first < frames.size() && frames[first].bytes != resync) ++first;
  ASSERT_LT(first + 8, frames.size()) << "no ResyncFrame, or too few frames after it";
  EXPECT_LT(frames[first].at - warned, std::chrono::milliseconds(1000));
  for (size_t i = first + 1; i <= first + 8; ++i)
    EXPECT_EQ(frames[i].bytes, poll) << "frame " << i - first << " after the resync";

  // Back on the main screen (the temperature screen's return button leads through the setup
  // screen) the window is uncovered and says the link is lost.
  ASSERT_TRUE(display.ok("click 37123"));
  ASSERT_TRUE(display.ok("click SCREEN_EXIT_BUTTON"));
  ASSERT_TRUE(display.ok("wait 300"));
  bool caption = false;
  for (const std::string& l : display.command("windows"))
    if (l.find("WARNING_WINDOW") != std::string::npos)
      caption = l.find("\" CONNECTION TO DRYER LOST!\"") != std::string::npos;
  EXPECT_TRUE(caption) << "the uncovered warning window keeps an old caption";
}

}  // namespace

// Setup dialogs end to end: plenum #4's burner differential and fan/heater #1's burner mode
// go out as their own records, byte for byte, until the controller reports them; nothing else
// of the dialogs goes out.
TEST(OperatorChange, BurnerSettingsGoOutUntilTheControllerReportsThem) {
  TempDir dir;
  TestController controller;
  ASSERT_FALSE(controller.port().empty());
  for (int n = 1; n <= 6; ++n) {
    controller.set(101 - n, 4);     // differentials
    controller.set(107 - n, 0x83);  // control bytes: third burner choice
  }
  controller.set(106, 0x86);  // fan/heater #1: code 2, no choice checked
  Display display(dir.path() + "/disk", controller.port());
  bool linked = false;
  for (int i = 0; i < 50 && !linked; ++i) {
    linked = display.readout("mirror")["106"] == "86";
    if (!linked) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(linked) << "no status frame was decoded";

  for (const char* step :
       {"click SETUP", "wait 300", "click EXTENDED_SETUP_BUTTON", "wait 300",
        "click BURNER_DIFF_BUTTON", "wait 300", "click \"PLENUM #4\"", "click \"+/- 2\"",
        "click ACCEPT", "wait 300", "click SCREEN_EXIT_BUTTON", "wait 300",
        "click BURNER_MODE_BUTTON", "wait 300", "click \"SELECT #1\"", "click ALL AUTO",
        "click \"SELECT #1\"", "click ACCEPT"}) {
    ASSERT_TRUE(display.ok(step)) << step;
  }
  const Record differential{0x00, 97, {0x02}};
  const Record control{0x00, 106, {0x84}};  // 0x86 with the first choice
  auto pending = display.readout("pending");
  EXPECT_EQ(pending["97"], "1");
  EXPECT_EQ(pending["106"], "1");
  EXPECT_EQ(pending.size(), 2u) << "only the changed plenum and fan/heater";
  ASSERT_TRUE(controller.wait_frames(4, 5000));

  controller.set(97, 0x02);
  controller.set(106, 0x84);
  bool echoed = false;
  for (int i = 0; i < 30 && !echoed; ++i) {
    pending = display.readout("pending");
    echoed = pending.count("97") == 0 && pending.count("106") == 0;
    if (!echoed) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(echoed) << "the writes are lowered once the controller reports the values";
  ASSERT_TRUE(controller.wait_frames(3, 5000));

  const Clock::time_point echo_sent = controller.first_sent_with(106, 0x84);
  ASSERT_NE(echo_sent, Clock::time_point{});
  size_t with_differential = 0, with_control = 0, after_echo = 0;
  for (const SentFrame& f : controller.frames()) {
    EXPECT_TRUE(f.crc_ok);
    for (const Record& r : f.records) {
      if (r.id >= 95 && r.id <= 106) {
        EXPECT_TRUE(r.node == 0 && (r.id == 97 || r.id == 106))
            << "record " << int(r.id) << " of an unchanged plenum or fan/heater";
      }
    }
    const bool has_differential = carries(f, differential);
    const bool has_control = carries(f, control);
    if (f.at < echo_sent) {
      with_differential += has_differential;
      with_control += has_control;
    } else {
      ++after_echo;
      EXPECT_FALSE(has_control) << "still sent after the controller reported it";
    }
  }
  EXPECT_GE(with_differential, 1u);
  EXPECT_GE(with_control, 1u);
  EXPECT_GE(after_echo, 2u);
}
