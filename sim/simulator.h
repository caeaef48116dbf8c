#pragma once
// The dryer controller simulator: a DryerModel behind the controller's side of the serial link.
//
// It serves one port (a serial device, or one end of a pseudo-terminal) on a thread of its own:
// it frames what the display sends, takes the parameter records of every good frame and answers
// each good frame with one 331-byte status frame. Garbage is skipped and said on standard error
// (rate-limited). Operator commands (set, warning, silence, corrupt, short, every, refuse, run,
// stop, state and more, see command()) come from corvex-sim's standard input or the display's
// `sim` automation command, from any thread.
//
// The model moves with platform::clock::now_ms(): in virtual time only when the display's test
// moves the clock. Given a VirtualPeer, the simulator reports every frame it has handled, after
// its answer is written, so that the display's exchange thread can keep step.
#include <atomic>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/io/serial_port.h"
#include "sim/command_framer.h"
#include "sim/dryer_model.h"

namespace corvex::link {
struct VirtualPeer;
}

namespace corvex::sim {

struct SimulatorCounters {
  uint64_t frames = 0;            // good frames handled
  uint64_t answered = 0;          // status frames written
  uint64_t silent = 0;            // good frames left unanswered (silence, every)
  uint64_t rejected_bytes = 0;    // bytes thrown away as garbage
  uint64_t records_taken = 0;
  uint64_t records_refused = 0;   // by the refuse command or as impossible
};

class Simulator {
 public:
  // A status frame cut short by the short command: everything but the last CRC byte.
  static constexpr size_t kShortFrameLength = link::kStatusFrameBytes - 1;
  // A line quiet for this long ends whatever frame it was carrying.
  static constexpr int kLineIdleMs = 50;

  explicit Simulator(uint64_t seed = 1);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Starts serving an open descriptor (one end of a pseudo-terminal pair), which the simulator
  // then owns. False, with the reason in *error, when it cannot be configured or a port is
  // already served.
  bool serve(int fd, std::string* error = nullptr);
  // Starts serving a serial device; false with the reason when it cannot be opened.
  bool serve(const std::string& device, std::string* error = nullptr);
  // Stops the serving thread and closes the port (also done by the destructor).
  void stop_serving();

  // The peer to tell about each handled frame (virtual time); nullptr for none. The peer must
  // outlive the serving.
  void set_virtual_peer(link::VirtualPeer* peer);
  // Where rejected frames are reported, one line each without a line end; by default standard
  // error with a "corvex-sim: " prefix.
  void set_log_sink(std::function<void(std::string_view)> sink);

  // Runs one command line and returns its answer lines, each ending in '\n', the last one
  // "ok" or "error: REASON". Text from '#' on is a comment.
  std::string command(std::string_view line);

  // Feeds bytes as if they had arrived on the line in one burst followed by silence, and
  // returns what the simulator would write back (status frames, back to back). No port needed.
  std::vector<uint8_t> exchange(const uint8_t* data, size_t n);

  // Snapshots, with the model moved on to the present.
  StatusBytes status_bytes();
  ControllerClock controller_clock();
  SimulatorCounters counters();

 private:
  struct Line;
  using Command = std::string (Simulator::*)(const std::vector<std::string_view>&);
  struct CommandEntry {
    const char* name;
    Command run;
    const char* usage;
  };
  static const CommandEntry kCommands[];

  bool start_thread(std::string* error);
  void serve_loop();
  void drain(Line& line, bool line_idle);
  size_t handle_frame(const Frame& frame, uint8_t* answer);
  void take_records(const Frame& frame);
  void report_garbage(size_t bytes, const char* reason);
  void log(const char* text);
  void advance_to_now();

  std::string cmd_set(const std::vector<std::string_view>& args);
  std::string cmd_warning(const std::vector<std::string_view>& args);
  std::string cmd_silence(const std::vector<std::string_view>& args);
  std::string cmd_corrupt(const std::vector<std::string_view>& args);
  std::string cmd_short(const std::vector<std::string_view>& args);
  std::string cmd_every(const std::vector<std::string_view>& args);
  std::string cmd_refuse(const std::vector<std::string_view>& args);
  std::string cmd_accept(const std::vector<std::string_view>& args);
  std::string cmd_run(const std::vector<std::string_view>& args);
  std::string cmd_stop(const std::vector<std::string_view>& args);
  std::string cmd_state(const std::vector<std::string_view>& args);
  std::string cmd_help(const std::vector<std::string_view>& args);

  std::mutex mutex_;  // guards everything below up to the serving members
  DryerModel model_;
  int64_t last_now_ms_ = 0;
  int64_t silence_until_ms_ = 0;
  bool silenced_ = false;
  uint32_t corrupt_left_ = 0;
  uint32_t short_left_ = 0;
  uint32_t every_ = 1;
  uint64_t every_count_ = 0;
  std::bitset<link::kStatusBytes> refused_;
  SimulatorCounters counters_;
  std::function<void(std::string_view)> sink_;
  double log_tokens_ = 5;
  int64_t log_refilled_ms_ = 0;
  uint64_t log_suppressed_ = 0;

  std::atomic<link::VirtualPeer*> peer_{nullptr};
  std::mutex direct_mutex_;  // exchange()'s own line
  platform::SerialPort port_;
  std::thread thread_;
  std::atomic<bool> stop_requested_{false};
};

}  // namespace corvex::sim
