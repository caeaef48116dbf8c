#pragma once
// Keeping step with an in-process controller in virtual time.
//
// In virtual time the clock only moves when a test says so, so the exchange thread and the
// simulator must not race the clock: after the exchange thread has written its frame for a
// cycle, it waits until the simulator has handled that frame (answered it, or chosen not to),
// and before the next read it waits until the answered bytes can be read from the port. In real
// time nothing here is used.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace corvex::link {

struct VirtualPeer {
  std::mutex mutex;
  std::condition_variable changed;
  // Frames the peer has taken from the line and handled (good or bad), counted by the peer.
  uint64_t frames_handled = 0;
  // Bytes the peer wrote in answer to the last handled frame (0: it stayed silent).
  uint32_t last_answer_bytes = 0;

  // Called by the peer once it has handled one frame and written its answer.
  void frame_handled(uint32_t answer_bytes) {
    {
      std::lock_guard lock(mutex);
      ++frames_handled;
      last_answer_bytes = answer_bytes;
    }
    changed.notify_all();
  }
};

// The peer the exchange thread keeps step with; nullptr (the default) in real time or with an
// external controller.
void set_virtual_peer(VirtualPeer* peer);
VirtualPeer* virtual_peer();

}  // namespace corvex::link
