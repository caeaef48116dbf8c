#include "link/exchange.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "link/command_builder.h"
#include "link/dryer_state.h"
#include "link/frames.h"
#include "link/status_decoder.h"
#include "link/virtual_peer.h"
#include "platform/io/clock.h"
#include "platform/io/event.h"
#include "platform/io/serial_port.h"

namespace corvex::link {
namespace {

using SteadyClock = std::chrono::steady_clock;
// Real-time bounds of the waits that keep step with an in-process controller in virtual time.
constexpr auto kPeerHandleLimit = std::chrono::milliseconds(2000);
constexpr auto kAnswerArrivalLimit = std::chrono::milliseconds(1500);
// Real-time bound of a virtual-time tick waiting for its cycle, and how long the tick watches
// for the cycle's end before it sleeps.
constexpr int kTickCycleLimitMs = 10000;
constexpr auto kCycleWatch = std::chrono::microseconds(100);
// The ResyncFrame holds command frames back for this many cycles.
constexpr uint32_t kResyncHoldoff = 10;

std::atomic<VirtualPeer*> g_peer{nullptr};

class Link {
 public:
  bool start(const std::function<bool(platform::SerialPort&)>& open);
  void stop();
  bool running() const { return running_.load(std::memory_order_acquire); }
  void signal() { event_.set(); }

  uint64_t completed() {
    std::lock_guard lock(done_mutex_);
    return cycles_done_;
  }
  bool wait_completed(uint64_t count, int timeout_ms) {
    // A cycle with the in-process controller takes some tens of microseconds; watching for it
    // that long costs less than sleeping and being woken, which on a virtual machine means
    // halting the processor and an interrupt to start it again.
    const auto watch_end = SteadyClock::now() + kCycleWatch;
    while (cycles_seen_.load(std::memory_order_acquire) < count && SteadyClock::now() < watch_end) {
    }
    std::unique_lock lock(done_mutex_);
    return done_cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                             [&] { return cycles_done_ >= count; });
  }

 private:
  void thread_main();
  void cycle();
  size_t read_status(uint8_t* rx);
  void send(const uint8_t* frame, size_t n);

  platform::SerialPort port_;
  platform::AutoResetEvent event_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::mutex done_mutex_;
  std::condition_variable done_cv_;
  uint64_t cycles_done_ = 0;
  std::atomic<uint64_t> cycles_seen_{0};  // cycles_done_, readable without the lock
};

// The link lives for the life of the process and is never torn down by an exit handler: the
// exchange thread may still be running when the process ends.
Link& g_link = *new Link;

bool Link::start(const std::function<bool(platform::SerialPort&)>& open) {
  stop();
  if (!open(port_)) return false;
  stop_.store(false);
  thread_ = std::thread([this] { thread_main(); });
  running_.store(true, std::memory_order_release);
  return true;
}

void Link::stop() {
  if (!thread_.joinable()) return;
  running_.store(false, std::memory_order_release);
  stop_.store(true);
  event_.set();
  thread_.join();
  port_.close();
}

void Link::thread_main() {
  for (;;) {
    event_.wait();
    if (stop_.load()) return;
    cycle();
    {
      std::lock_guard lock(done_mutex_);
      ++cycles_done_;
      cycles_seen_.store(cycles_done_, std::memory_order_release);
    }
    done_cv_.notify_all();
  }
}

// One cycle: read, accept and decode, then answer with a resync, command or poll frame.
void Link::cycle() {
  DryerState& s = dryer_state();
  uint8_t* rx = s.receive_buffer.data();
  uint8_t* tx = s.transmit_buffer.data();
  if (accept_status_frame(rx, read_status(rx))) {
    s.link_watchdog.store(kWatchdogReload, std::memory_order_release);
    decode_status_frame(rx);
  }
  uint32_t holdoff = s.resync_holdoff.load(std::memory_order_relaxed);
  if (holdoff > 0) s.resync_holdoff.store(--holdoff, std::memory_order_relaxed);
  if (holdoff == 0 && s.resync_request.load(std::memory_order_acquire)) {
    s.resync_request.store(0, std::memory_order_release);
    s.resync_holdoff.store(kResyncHoldoff, std::memory_order_relaxed);
    std::copy(kResyncFrame.begin(), kResyncFrame.end(), tx);
    send(tx, kResyncFrame.size());
    return;
  }
  // The builder runs even while the hold-off holds frames back, so its one-shot records are
  // consumed unsent rather than piling up.
  if (build_command_frame(tx) && holdoff < 2) {
    crc16_append(tx, size_t(tx[CommandFrame::kLengthByte]) - 2);
    send(tx, tx[CommandFrame::kLengthByte]);
    return;
  }
  std::copy(kPollFrame.begin(), kPollFrame.end(), tx);
  send(tx, kPollFrame.size());
}

// Reads what the controller sent since the last cycle, up to one StatusFrame, and returns the
// number of bytes read; the read never waits. Bytes beyond the frame stay in the port for the
// purge before the next write: a good frame followed by a stray byte is still a good frame,
// and the CRC, not the count, tells whether what was read is one. With an in-process
// controller in virtual time the read first waits (bounded, real time) until the bytes
// answered to the last frame have arrived; a controller that answered nothing costs no wait.
size_t Link::read_status(uint8_t* rx) {
  constexpr size_t kMax = StatusFrame::kSize;
  size_t expected = 0;
  VirtualPeer* peer =
      platform::clock::is_virtual() ? g_peer.load(std::memory_order_acquire) : nullptr;
  if (peer) {
    std::lock_guard lock(peer->mutex);
    expected = std::min<size_t>(peer->last_answer_bytes, kMax);
  }
  size_t got = port_.read_available(rx, kMax);
  const auto deadline = SteadyClock::now() + kAnswerArrivalLimit;
  while (got < expected) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    if (left.count() <= 0 || !port_.wait_readable(int(left.count()))) break;
    got += port_.read_available(rx + got, kMax - got);
  }
  return got;
}

// Purging both queues right before the write throws away late or partial status bytes, so
// each read sees only the answer to the last frame. Write failures are ignored: the next cycle
// builds the frame again from the still raised flags.
void Link::send(const uint8_t* frame, size_t n) {
  VirtualPeer* peer =
      platform::clock::is_virtual() ? g_peer.load(std::memory_order_acquire) : nullptr;
  uint64_t handled_before = 0;
  if (peer) {
    std::lock_guard lock(peer->mutex);
    handled_before = peer->frames_handled;
  }
  port_.purge();
  port_.write(frame, n);
  if (!peer) return;
  std::unique_lock lock(peer->mutex);
  peer->changed.wait_for(lock, kPeerHandleLimit,
                         [&] { return peer->frames_handled > handled_before; });
}

}  // namespace

void set_virtual_peer(VirtualPeer* peer) { g_peer.store(peer, std::memory_order_release); }
VirtualPeer* virtual_peer() { return g_peer.load(std::memory_order_acquire); }

bool open_dryer_link(const std::string& device, std::string* error) {
  return g_link.start([&](platform::SerialPort& port) { return port.open(device, error); });
}

bool open_dryer_link_fd(int fd, std::string* error) {
  return g_link.start([&](platform::SerialPort& port) { return port.adopt(fd, error); });
}

bool dryer_link_open() { return g_link.running(); }

void close_dryer_link() { g_link.stop(); }

void exchange_tick() {
  DryerState& s = dryer_state();
  const uint32_t count = s.exchange_tick_counter.fetch_add(1, std::memory_order_relaxed) + 1;
  if (count % 2 != 0 || !g_link.running()) return;
  const uint64_t target = g_link.completed() + 1;
  g_link.signal();
  if (platform::clock::is_virtual()) g_link.wait_completed(target, kTickCycleLimitMs);
}

uint64_t exchange_cycles_completed() { return g_link.completed(); }

bool wait_for_exchange_cycles(uint64_t count, int timeout_ms) {
  return g_link.wait_completed(count, timeout_ms);
}

}  // namespace corvex::link
