#pragma once
// An auto-reset event: set() lets exactly one wait() through; a set() while nobody waits stays
// pending until the next wait().
#include <condition_variable>
#include <mutex>

namespace platform {

class AutoResetEvent {
 public:
  void set();
  // Blocks until the event is set, then resets it.
  void wait();
  // As wait(), giving up after timeout_ms; true when the event was set.
  bool wait_for(int timeout_ms);

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool signalled_ = false;
};

}  // namespace platform
