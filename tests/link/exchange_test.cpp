// The exchange end to end over a pseudo-terminal: the display's real serial code on one end, a
// small test controller on the other, checking the display's bytes on the wire. Time is virtual
// and the ticks are driven here, so hours would run in seconds.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "link/frames.h"
#include "link/link_ticks.h"
#include "link_test_support.h"
#include "platform/io/clock.h"
#include "platform/io/serial_port.h"

namespace corvex::link::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct SeenFrame {
  int64_t at_ms;  // virtual time when it arrived
  Bytes bytes;
};

enum class Answer { Good, Silent, Short, Corrupt, Long };

// Answers each frame of the display with a status frame, echoing the parameter records it
// takes into its status bytes, and keeps step with the exchange through a VirtualPeer.
class TestController {
 public:
  explicit TestController(int master_fd) : fd_(master_fd) {
    set_virtual_peer(&peer_);
    thread_ = std::thread([this] { run(); });
  }
  ~TestController() {
    stop_ = true;
    thread_.join();
    set_virtual_peer(nullptr);
    ::close(fd_);
  }
  void set_answer(Answer a) { answer_.store(a); }
  void answer_every(int k) { every_.store(k); }
  void refuse(uint16_t offset) {
    std::lock_guard lock(mutex_);
    refused_.insert(offset);
  }
  void accept_all() {
    std::lock_guard lock(mutex_);
    refused_.clear();
  }
  void set_status(size_t k, uint8_t v) {
    std::lock_guard lock(mutex_);
    status_[k] = v;
  }
  std::vector<SeenFrame> take_frames() {
    std::lock_guard lock(mutex_);
    std::vector<SeenFrame> out;
    out.swap(frames_);
    return out;
  }

 private:
  bool read_exact(uint8_t* p, size_t n) {
    size_t got = 0;
    while (got < n) {
      if (stop_) return false;
      pollfd pfd{fd_, POLLIN, 0};
      if (::poll(&pfd, 1, 20) <= 0) continue;
      const ssize_t r = ::read(fd_, p + got, n - got);
      if (r <= 0) return false;
      got += size_t(r);
    }
    return true;
  }
  // Frames by their first byte: 6 the resync frame, otherwise the length byte.
  bool read_frame(Bytes* frame) {
    uint8_t first = 0;
    if (!read_exact(&first, 1)) return false;
    const size_t length = first == 0x06 ? 4 : first;
    frame->assign(length < 4 ? 4 : length, 0);
    (*frame)[0] = first;
    return read_exact(frame->data() + 1, frame->size() - 1);
  }
  void echo_records(const Bytes& f) {
    if (f[0] < 8 || f.size() != f[0]) return;
    size_t p = 2;
    for (int r = 0; r < f[1] && p + 3 <= f.size() - 2; ++r) {
      const uint16_t offset = uint16_t(f[p] * 256 + f[p + 1]);
      const uint8_t n = f[p + 2];
      if (!refused_.count(offset)) {
        for (uint8_t k = 0; k < n && offset + k < kStatusBytes; ++k)
          status_[offset + k] = f[p + 3 + k];
      }
      p += 3 + n;
    }
  }
  uint32_t answer_frame() {
    uint8_t out[kStatusFrameBytes + 1] = {};
    size_t n = kStatusFrameBytes;
    {
      std::lock_guard lock(mutex_);
      std::copy(status_.begin(), status_.end(), out);
    }
    crc16_append(out, kStatusBytes);
    switch (answer_.load()) {
      case Answer::Silent: return 0;
      case Answer::Short: n = 330; break;
      case Answer::Corrupt: out[100] ^= 0x01; break;
      case Answer::Long: n = kStatusFrameBytes + 1; break;
      case Answer::Good: break;
    }
    return uint32_t(::write(fd_, out, n));
  }
  void run() {
    Bytes frame;
    while (read_frame(&frame)) {
      {
        std::lock_guard lock(mutex_);
        frames_.push_back({platform::clock::now_ms(), frame});
        echo_records(frame);
      }
      const bool answer = (++count_ % every_.load()) == 0;
      peer_.frame_handled(answer ? answer_frame() : 0);
    }
  }

  int fd_;
  VirtualPeer peer_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<Answer> answer_{Answer::Good};
  std::atomic<int> every_{1};
  int count_ = 0;
  std::mutex mutex_;
  std::array<uint8_t, kStatusBytes> status_{};
  std::set<uint16_t> refused_;
  std::vector<SeenFrame> frames_;
};

// The three timers of the shell, in virtual time.
class TickDriver {
 public:
  void run_for(int64_t ms) {
    const int64_t end = now_ + ms;
    for (;;) {
      const int64_t next = std::min({fast_, pace_, second_});
      if (next > end) break;
      platform::clock::advance_ms(next - now_);
      now_ = next;
      if (next == fast_) {
        fast_tick_warning_visibility();
        if (on_fast) on_fast();
        fast_ += 100;
      }
      if (next == pace_) {
        link_pacing_tick();
        pace_ += 175;
      }
      if (next == second_) {
        one_second_link_duties();
        second_ += 1000;
      }
    }
    platform::clock::advance_ms(end - now_);
    now_ = end;
  }
  std::function<void()> on_fast;

 private:
  int64_t now_ = 0, fast_ = 100, pace_ = 175, second_ = 1000;
};

bool is_poll(const Bytes& f) { return f == Bytes(kPollFrame.begin(), kPollFrame.end()); }
bool is_resync(const Bytes& f) { return f == Bytes(kResyncFrame.begin(), kResyncFrame.end()); }
// A command frame whose only record is the clock.
bool is_clock_only(const Bytes& f) { return f.size() == 12 && f[1] == 1 && f[3] == 53; }
bool carries(const Bytes& f, uint8_t node, uint8_t id) {
  if (f.size() < 8 || f[0] != f.size()) return false;
  for (size_t p = 2, r = 0; r < f[1] && p + 3 <= f.size(); ++r, p += 3 + f[p + 2])
    if (f[p] == node && f[p + 1] == id) return true;
  return false;
}

class Exchange : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    platform::LocalTime t;
    t.year = 2026;
    t.month = 3;
    t.day = 14;
    t.hour = 9;
    t.minute = 26;
    t.second = 0;
    platform::clock::use_virtual(platform::clock::from_local(t));
    platform::PtyPair pty;
    std::string error;
    ASSERT_TRUE(platform::open_pty_pair(&pty, &error)) << error;
    controller_ = std::make_unique<TestController>(pty.master_fd);
    ASSERT_TRUE(open_dryer_link(pty.slave_path, &error)) << error;
  }
  void TearDown() override {
    close_dryer_link();
    controller_.reset();
    platform::clock::use_real();
    LinkTest::TearDown();
  }
  // Lets the watchdog run out with a silent controller.
  void lose_the_link() {
    controller_->set_answer(Answer::Silent);
    driver_.run_for(10'500);
    ASSERT_EQ(dryer_state().link_watchdog.load(), 0u);
  }
  std::unique_ptr<TestController> controller_;
  TickDriver driver_;
};

TEST_F(Exchange, PollEvery350msWithTheClockAboutEveryThirdFrame) {
  driver_.run_for(7'000);
  const auto frames = controller_->take_frames();
  ASSERT_EQ(frames.size(), 20u);
  int clocks = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].at_ms, int64_t(350 * (i + 1)));
    const Bytes& f = frames[i].bytes;
    ASSERT_TRUE(is_poll(f) || is_clock_only(f)) << "frame " << i;
    if (!is_clock_only(f)) continue;
    ++clocks;
    // minute, hour, day, month, year mod 100 of the panel's local time
    EXPECT_EQ(Bytes(f.begin() + 2, f.begin() + 10),
              (Bytes{0x00, 0x35, 0x05, 26, 9, 14, 3, 26}));
  }
  EXPECT_EQ(clocks, 6);  // raised at 1 s .. 6 s, each sent by the next cycle (1050 ms ...)
  EXPECT_GE(dryer_state().link_watchdog.load(), 9u);
}

TEST_F(Exchange, AnsweringEveryOtherCycleKeepsTheLinkUp) {
  controller_->answer_every(2);
  for (int s = 0; s < 30; ++s) {
    driver_.run_for(1'000);
    ASSERT_GT(dryer_state().link_watchdog.load(), 0u) << "second " << s;
  }
}

TEST_F(Exchange, TenSecondsOfSilenceLoseTheLinkThenOneResyncAndEightPolls) {
  driver_.run_for(1'000);
  controller_->take_frames();
  // Pending writes do not go out during the hold-off.
  raise_write(PendingWrite::k69, {{69, 0xB4}, {70, 0x00}});
  controller_->refuse(69);
  controller_->set_answer(Answer::Silent);
  // Nothing paints here: the ticks alone must ask for the resync once the link is lost.
  int64_t lost_at = -1;
  driver_.on_fast = [&] {
    if (lost_at < 0 && dryer_state().link_watchdog.load() == 0)
      lost_at = platform::clock::now_ms();
  };
  driver_.run_for(15'000);
  ASSERT_GE(lost_at, 0) << "the watchdog never ran out";
  const auto frames = controller_->take_frames();
  size_t first = 0;
  while (first < frames.size() && !is_resync(frames[first].bytes)) {
    EXPECT_TRUE(carries(frames[first].bytes, 0, 69)) << "before the resync: frame " << first;
    ++first;
  }
  ASSERT_LT(first + 9, frames.size()) << "no resync, or too few frames after it";
  EXPECT_LE(frames[first].at_ms - lost_at, 1'000) << "the resync comes soon after the loss";
  for (size_t i = first + 1; i <= first + 8; ++i)
    EXPECT_TRUE(is_poll(frames[i].bytes)) << "frame " << i - first << " after the resync";
  EXPECT_TRUE(carries(frames[first + 9].bytes, 0, 69));
  EXPECT_EQ(dryer_state().link_watchdog.load(), 0u);  // still lost: nobody answers
}

TEST_F(Exchange, WhileLostAResyncGoesOutEveryTenCyclesAndStopsOnceRestored) {
  lose_the_link();
  controller_->take_frames();
  driver_.run_for(350 * 31);
  auto frames = controller_->take_frames();
  std::vector<size_t> resyncs;
  for (size_t i = 0; i < frames.size(); ++i)
    if (is_resync(frames[i].bytes)) resyncs.push_back(i);
  ASSERT_GE(resyncs.size(), 3u);
  EXPECT_EQ(resyncs[1] - resyncs[0], 10u);  // 3.5 s apart: the hold-off runs down between
  EXPECT_EQ(resyncs[2] - resyncs[1], 10u);

  // Once a good frame is back the request is no longer raised: no resync after the hold-off.
  controller_->set_answer(Answer::Good);
  driver_.run_for(350 * 12);
  controller_->take_frames();
  driver_.run_for(350 * 12);
  frames = controller_->take_frames();
  ASSERT_FALSE(frames.empty());
  for (const auto& f : frames) EXPECT_FALSE(is_resync(f.bytes));
  EXPECT_GE(dryer_state().link_watchdog.load(), 9u);
}

TEST_F(Exchange, BadFramesNeverReloadTheWatchdog) {
  for (Answer bad : {Answer::Short, Answer::Corrupt}) {
    controller_->set_answer(Answer::Good);
    driver_.run_for(1'000);
    ASSERT_GE(dryer_state().link_watchdog.load(), 9u);
    controller_->set_status(69, 0x77);
    controller_->set_answer(bad);
    driver_.run_for(10'500);
    EXPECT_EQ(dryer_state().link_watchdog.load(), 0u) << int(bad);
    EXPECT_EQ(mirror(69), 0) << "nothing of a bad frame is decoded";
    controller_->set_status(69, 0);
  }
  // The first good frame restores the link and is decoded at once.
  controller_->set_status(69, 0x42);
  controller_->set_answer(Answer::Good);
  driver_.run_for(700);
  EXPECT_GE(dryer_state().link_watchdog.load(), 9u);
  EXPECT_EQ(mirror(69), 0x42);
}

// A stray byte after a good frame stays in the port and goes with the purge before the write,
// so every frame is still read from its first byte and decoded.
TEST_F(Exchange, AGoodFrameFollowedByAStrayByteIsDecoded) {
  controller_->set_answer(Answer::Long);
  controller_->set_status(69, 0x42);
  driver_.run_for(700);
  EXPECT_EQ(mirror(69), 0x42);
  for (uint8_t v = 1; v <= 3; ++v) {
    controller_->set_status(69, v);
    driver_.run_for(3'500);
    EXPECT_EQ(mirror(69), v) << "the frame after a stray byte";
  }
  EXPECT_GE(dryer_state().link_watchdog.load(), 9u);
}

TEST_F(Exchange, RaisedWriteRepeatsUntilTheControllerEchoesIt) {
  controller_->refuse(69);
  driver_.run_for(700);
  controller_->take_frames();
  raise_write(PendingWrite::k69, {{69, 0xB4}, {70, 0x00}});
  driver_.run_for(350 * 6);
  auto frames = controller_->take_frames();
  ASSERT_EQ(frames.size(), 6u);
  for (const auto& f : frames) EXPECT_TRUE(carries(f.bytes, 0, 69));
  EXPECT_TRUE(write_raised(PendingWrite::k69));

  controller_->accept_all();
  driver_.run_for(350 * 4);
  EXPECT_FALSE(write_raised(PendingWrite::k69));
  EXPECT_EQ(mirror(69), 0xB4);
  frames = controller_->take_frames();
  // It went out once more, was echoed, and the next frames no longer carry it.
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_TRUE(carries(frames[0].bytes, 0, 69));
  for (size_t i = 2; i < frames.size(); ++i) EXPECT_FALSE(carries(frames[i].bytes, 0, 69));
}

// Real time: the same exchange with the thread's plain non-blocking read and no peer.
TEST(ExchangeRealTime, FramesFlowAndTheWatchdogIsReloaded) {
  reset_dryer_state();
  set_redraw_sink(&RedrawRecorder::sink);
  platform::PtyPair pty;
  ASSERT_TRUE(platform::open_pty_pair(&pty));
  {
    TestController controller(pty.master_fd);
    set_virtual_peer(nullptr);  // real time keeps no step
    ASSERT_TRUE(open_dryer_link(pty.slave_path));
    controller.set_status(3, 4);
    dryer_state().link_watchdog.store(3);
    const uint64_t start = exchange_cycles_completed();
    for (int i = 0; i < 12; ++i) {
      exchange_tick();
      std::this_thread::sleep_for(std::chrono::milliseconds(175));
    }
    ASSERT_TRUE(wait_for_exchange_cycles(start + 6, 2000));
    close_dryer_link();
    EXPECT_GE(controller.take_frames().size(), 5u);
    EXPECT_EQ(dryer_state().link_watchdog.load(), 10u);
    EXPECT_EQ(mirror(3), 4);
  }
  set_redraw_sink(nullptr);
}

}  // namespace
}  // namespace corvex::link::test
