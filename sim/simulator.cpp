#include "sim/simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <system_error>

#include "link/virtual_peer.h"
#include "platform/io/clock.h"

namespace corvex::sim {
namespace {

// Rejection lines: a burst of this many, then one a second.
constexpr double kLogBurst = 5;

void log_to_stderr(std::string_view line) {
  std::fprintf(stderr, "corvex-sim: %.*s\n", int(line.size()), line.data());
}

}  // namespace

// One line being served: its framer and the answer buffer, fixed in size so that an exchange
// cycle allocates nothing.
struct Simulator::Line {
  CommandFramer framer;
  Frame frame;
  std::array<uint8_t, link::kStatusFrameBytes> answer{};
  // Garbage came and nothing has been said to the virtual peer about it yet.
  bool unreported_garbage = false;
  platform::SerialPort* port = nullptr;  // answers go to the port, or
  std::vector<uint8_t>* out = nullptr;   // are collected
};

Simulator::Simulator(uint64_t seed) : model_(seed), sink_(log_to_stderr) {
  last_now_ms_ = platform::clock::now_ms();
  log_refilled_ms_ = last_now_ms_;
}

Simulator::~Simulator() { stop_serving(); }

bool Simulator::serve(int fd, std::string* error) {
  if (thread_.joinable()) {
    if (error) *error = "the simulator already serves a port";
    return false;
  }
  if (!port_.adopt(fd, error)) return false;
  return start_thread(error);
}

bool Simulator::serve(const std::string& device, std::string* error) {
  if (thread_.joinable()) {
    if (error) *error = "the simulator already serves a port";
    return false;
  }
  if (!port_.open(device, error)) return false;
  return start_thread(error);
}

bool Simulator::start_thread(std::string* error) {
  stop_requested_ = false;
  try {
    thread_ = std::thread(&Simulator::serve_loop, this);
  } catch (const std::system_error& e) {
    if (error) *error = std::string("cannot start the serving thread: ") + e.what();
    port_.close();
    return false;
  }
  return true;
}

void Simulator::stop_serving() {
  stop_requested_ = true;
  if (thread_.joinable()) thread_.join();
  port_.close();
}

void Simulator::set_virtual_peer(link::VirtualPeer* peer) { peer_ = peer; }

void Simulator::set_log_sink(std::function<void(std::string_view)> sink) {
  std::lock_guard lock(mutex_);
  sink_ = sink ? std::move(sink) : log_to_stderr;
}

void Simulator::serve_loop() {
  Line line;
  line.port = &port_;
  uint8_t chunk[256];
  while (!stop_requested_) {
    const auto started = std::chrono::steady_clock::now();
    if (!port_.wait_readable(kLineIdleMs)) {
      if (line.framer.buffered() > 0 || line.unreported_garbage) drain(line, true);
      // A port that reports nothing without waiting (a hung-up pseudo-terminal) must not spin.
      if (std::chrono::steady_clock::now() - started < std::chrono::milliseconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    const size_t n = port_.read_available(chunk, sizeof chunk);
    if (n == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    for (size_t used = 0; used < n;) {
      used += line.framer.push(chunk + used, n - used);
      drain(line, false);
    }
  }
}

// Handles every frame the line's buffer holds, writes their answers, and keeps the virtual peer
// informed: once per handled frame, and once for garbage that no frame followed.
void Simulator::drain(Line& line, bool line_idle) {
  link::VirtualPeer* peer = line.port ? peer_.load() : nullptr;
  for (;;) {
    const CommandFramer::Result result = line.framer.next(&line.frame, line_idle);
    if (line.framer.dropped() > 0) {
      report_garbage(line.framer.dropped(), line.framer.drop_reason());
      line.framer.clear_dropped();
      line.unreported_garbage = true;
    }
    if (result == CommandFramer::Result::NeedMore) {
      if (line.unreported_garbage && line.framer.buffered() == 0) {
        line.unreported_garbage = false;
        if (peer) peer->frame_handled(0);
      }
      return;
    }
    line.unreported_garbage = false;
    const size_t n = handle_frame(line.frame, line.answer.data());
    size_t written = n;
    if (line.port && n > 0) written = line.port->write(line.answer.data(), n);
    if (line.out) line.out->insert(line.out->end(), line.answer.data(), line.answer.data() + n);
    if (peer) peer->frame_handled(uint32_t(written));
  }
}

// Takes the frame's records and fills `answer` with the status frame to send; returns its
// length, 0 when the frame is to go unanswered.
size_t Simulator::handle_frame(const Frame& frame, uint8_t* answer) {
  std::lock_guard lock(mutex_);
  advance_to_now();
  ++counters_.frames;
  if (frame.kind == FrameKind::Command) take_records(frame);
  if (silenced_ && last_now_ms_ < silence_until_ms_) {
    ++counters_.silent;
    return 0;
  }
  silenced_ = false;
  if (every_ > 1 && ++every_count_ % every_ != 0) {
    ++counters_.silent;
    return 0;
  }
  build_status_frame(model_.bytes(), answer);
  size_t length = link::kStatusFrameBytes;
  if (corrupt_left_ > 0) {
    --corrupt_left_;
    answer[link::kStatusBytes] ^= 0xA5;
  }
  if (short_left_ > 0) {
    --short_left_;
    length = kShortFrameLength;
  }
  ++counters_.answered;
  return length;
}

void Simulator::take_records(const Frame& frame) {
  for (size_t r = 0; r < frame.record_count; ++r) {
    const ParameterRecord& record = frame.records[r];
    bool refused = false;
    for (size_t k = 0; k < record.count; ++k) refused = refused || refused_[record.address() + k];
    const char* reason = nullptr;
    if (refused) {
      ++counters_.records_refused;
    } else if (!model_.take_record(record, &reason)) {
      ++counters_.records_refused;
      char text[200];
      std::snprintf(text, sizeof text, "did not take %s", reason);
      log(text);
    } else {
      ++counters_.records_taken;
    }
  }
}

void Simulator::report_garbage(size_t bytes, const char* reason) {
  std::lock_guard lock(mutex_);
  counters_.rejected_bytes += bytes;
  char text[256];
  if (bytes == 1) {
    std::snprintf(text, sizeof text, "rejected 1 byte from the line: %s", reason);
  } else {
    std::snprintf(text, sizeof text, "rejected %zu bytes from the line (the first: %s)", bytes,
                  reason);
  }
  log(text);
}

// Says one line, unless garbage has already filled the burst allowance; what is held back is
// counted on the next line said. Lock held.
void Simulator::log(const char* text) {
  const int64_t now = platform::clock::now_ms();
  if (now > log_refilled_ms_) {
    log_tokens_ = std::min(kLogBurst, log_tokens_ + double(now - log_refilled_ms_) / 1000.0);
  }
  log_refilled_ms_ = now;
  if (log_tokens_ < 1) {
    ++log_suppressed_;
    return;
  }
  log_tokens_ -= 1;
  std::string line = text;
  if (log_suppressed_ > 0) {
    line += " (" + std::to_string(log_suppressed_) + " earlier lines not shown)";
    log_suppressed_ = 0;
  }
  sink_(line);
}

// Moves the model on by the time the clock has moved since the last call. Lock held.
void Simulator::advance_to_now() {
  const int64_t now = platform::clock::now_ms();
  if (now > last_now_ms_) model_.advance(now - last_now_ms_);
  last_now_ms_ = now;
}

std::vector<uint8_t> Simulator::exchange(const uint8_t* data, size_t n) {
  std::lock_guard direct(direct_mutex_);
  auto line = std::make_unique<Line>();
  std::vector<uint8_t> out;
  line->out = &out;
  for (size_t used = 0; used < n;) {
    used += line->framer.push(data + used, n - used);
    drain(*line, false);
  }
  drain(*line, true);
  return out;
}

StatusBytes Simulator::status_bytes() {
  std::lock_guard lock(mutex_);
  advance_to_now();
  return model_.bytes();
}

ControllerClock Simulator::controller_clock() {
  std::lock_guard lock(mutex_);
  return model_.clock();
}

SimulatorCounters Simulator::counters() {
  std::lock_guard lock(mutex_);
  return counters_;
}

}  // namespace corvex::sim
