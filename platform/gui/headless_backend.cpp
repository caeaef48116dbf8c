// The headless backend: the screen exists only in memory; waits sleep on an event file
// descriptor that wakes, the automation and the signal handlers write to.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "platform/gui/backend_port.h"
#include "platform/gui/window.h"

namespace platform::gui {

namespace {

std::atomic<int> g_signal_fd{-1};
std::atomic<bool> g_signalled{false};

// Only async-signal-safe work here: note the signal and wake the loop, which then asks the
// program to end.
void on_signal(int) {
  g_signalled.store(true);
  const int fd = g_signal_fd.load();
  if (fd >= 0) {
    const uint64_t one = 1;
    ssize_t ignored = ::write(fd, &one, sizeof one);
    (void)ignored;
  }
}

class HeadlessBackend final : public Backend {
 public:
  explicit HeadlessBackend(bool catch_signals) : catch_signals_(catch_signals) {
    fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (catch_signals_ && fd_ >= 0) {
      g_signal_fd.store(fd_);
      struct sigaction sa {};
      sa.sa_handler = &on_signal;
      sigemptyset(&sa.sa_mask);
      sigaction(SIGINT, &sa, &old_int_);
      sigaction(SIGTERM, &sa, &old_term_);
    }
  }

  ~HeadlessBackend() override {
    if (catch_signals_ && fd_ >= 0) {
      sigaction(SIGINT, &old_int_, nullptr);
      sigaction(SIGTERM, &old_term_, nullptr);
      g_signal_fd.store(-1);
    }
    if (fd_ >= 0) ::close(fd_);
  }

  void present(const Bitmap&, const Rect&) override {}

  void wait_events(int timeout_ms) override {
    if (fd_ >= 0) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, timeout_ms) > 0) {
        uint64_t count = 0;
        ssize_t ignored = ::read(fd_, &count, sizeof count);
        (void)ignored;
        // Whatever was queued before a wake is seen by the loop once this returns.
        wake_pending_.store(false, std::memory_order_release);
      }
    } else {
      // Without an event descriptor wakes cannot reach us: wait in short steps instead.
      ::poll(nullptr, 0, timeout_ms < 0 || timeout_ms > 50 ? 50 : timeout_ms);
    }
    if (catch_signals_ && g_signalled.exchange(false)) request_quit();
  }

  // A wake that finds one still pending adds nothing: the loop has not waited since, and the
  // pending one ends its next wait. The exchange thread wakes the loop for every window it asks
  // to repaint, so this saves a system call on most of them.
  void wake() override {
    if (fd_ < 0 || wake_pending_.exchange(true, std::memory_order_acq_rel)) return;
    const uint64_t one = 1;
    ssize_t ignored = ::write(fd_, &one, sizeof one);
    (void)ignored;
  }

 private:
  bool catch_signals_;
  int fd_ = -1;
  std::atomic<bool> wake_pending_{false};
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
};

}  // namespace

std::unique_ptr<Backend> make_headless_backend(bool catch_signals) {
  return std::make_unique<HeadlessBackend>(catch_signals);
}

}  // namespace platform::gui
