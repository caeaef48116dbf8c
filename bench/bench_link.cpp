// Cost of the link per exchange cycle: CRC, acceptance and decode, the command builder, and the
// heap allocations of a whole cycle over a pseudo-terminal (which must be none).
#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include "link/command_builder.h"
#include "link/crc.h"
#include "link/dryer_state.h"
#include "link/exchange.h"
#include "link/frames.h"
#include "link/redraw.h"
#include "link/status_decoder.h"
#include "bench/allocations.h"
#include "link/virtual_peer.h"
#include "platform/io/clock.h"
#include "platform/io/serial_port.h"

// Every allocation of the program is counted, so a benchmark can tell how many a piece of work
// made. The replacements pair malloc with free; GCC sees only the new and the free once the
// operators are inlined into their callers, and would warn of a mismatch that is not one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<uint64_t> g_allocations{0};
}

uint64_t corvex::bench::allocation_count() { return g_allocations.load(std::memory_order_relaxed); }

void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return ::operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace corvex::link;

void ignore_redraw(RedrawTarget, const platform::Rect*, Erase) {}

// Two sealed frames that differ in most of their fields.
struct Frames {
  uint8_t a[kStatusFrameBytes] = {};
  uint8_t b[kStatusFrameBytes] = {};
  Frames() {
    for (size_t k = 0; k < kStatusBytes; ++k) {
      a[k] = uint8_t(k * 31 + 7);
      b[k] = uint8_t(k * 17 + 3);
    }
    crc16_append(a, kStatusBytes);
    crc16_append(b, kStatusBytes);
  }
};

void BM_crc_329(benchmark::State& state) {
  Frames f;
  for (auto _ : state) benchmark::DoNotOptimize(crc16(f.a, kStatusBytes));
}
BENCHMARK(BM_crc_329);

void decode_bench(benchmark::State& state, bool changing) {
  reset_dryer_state();
  set_redraw_sink(&ignore_redraw);
  Frames f;
  bool flip = false;
  for (auto _ : state) {
    const uint8_t* frame = changing && flip ? f.b : f.a;
    flip = !flip;
    if (accept_status_frame(frame, kStatusFrameBytes)) decode_status_frame(frame);
    benchmark::ClobberMemory();
  }
  set_redraw_sink(nullptr);
  reset_dryer_state();
}
void BM_decode_changed(benchmark::State& state) { decode_bench(state, true); }
void BM_decode_unchanged(benchmark::State& state) { decode_bench(state, false); }
BENCHMARK(BM_decode_changed);
BENCHMARK(BM_decode_unchanged);

enum class Raised { None, ClockOnly, All };

void build_bench(benchmark::State& state, Raised raised) {
  reset_dryer_state();
  uint8_t tx[kTransmitBufferBytes];
  for (auto _ : state) {
    // The one-shots lower themselves, so every frame starts from the same flags.
    if (raised == Raised::ClockOnly) raise_write(PendingWrite::k53);
    if (raised == Raised::All)
      for (size_t i = 0; i < kPendingWriteCount; ++i) raise_write(PendingWrite(i));
    benchmark::DoNotOptimize(build_command_frame(tx));
  }
  reset_dryer_state();
}
void BM_build_0(benchmark::State& state) { build_bench(state, Raised::None); }
void BM_build_1(benchmark::State& state) { build_bench(state, Raised::ClockOnly); }
void BM_build_88(benchmark::State& state) { build_bench(state, Raised::All); }
BENCHMARK(BM_build_0);
BENCHMARK(BM_build_1);
BENCHMARK(BM_build_88);

// A controller on the master end of a pseudo-terminal: it answers every frame with one of two
// alternating status frames, in fixed buffers, and keeps step through the virtual peer.
class Responder {
 public:
  Responder(int fd, VirtualPeer* peer) : fd_(fd), peer_(peer), thread_([this] { run(); }) {}
  ~Responder() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }

 private:
  void run() {
    uint8_t in[256];
    bool flip = false;
    while (!stop_) {
      pollfd pfd{fd_, POLLIN, 0};
      if (::poll(&pfd, 1, 20) <= 0) continue;
      if (::read(fd_, in, sizeof in) <= 0) return;
      // One read holds one frame of the display: it writes whole frames after a purge.
      const uint8_t* answer = flip ? frames_.b : frames_.a;
      flip = !flip;
      const ssize_t n = ::write(fd_, answer, kStatusFrameBytes);
      peer_->frame_handled(n > 0 ? uint32_t(n) : 0);
    }
  }
  int fd_;
  VirtualPeer* peer_;
  Frames frames_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Whole exchange cycles (read, accept, decode a changing frame, build, write) in virtual time,
// so each tick returns when its cycle is done. Reports the allocations per cycle.
void BM_exchange_cycle(benchmark::State& state) {
  reset_dryer_state();
  set_redraw_sink(&ignore_redraw);
  platform::clock::use_virtual(1'700'000'000'000);
  platform::PtyPair pty;
  if (!platform::open_pty_pair(&pty) || !open_dryer_link(pty.slave_path)) {
    platform::clock::use_real();
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  VirtualPeer peer;
  set_virtual_peer(&peer);
  uint64_t cycles = 0;
  uint64_t allocations = 0;
  {
    Responder responder(pty.master_fd, &peer);
    for (int i = 0; i < 4; ++i) exchange_tick();  // warm up
    raise_write(PendingWrite::k69, {{69, 180}, {70, 0}});
    for (auto _ : state) {
      const uint64_t before = g_allocations.load();
      exchange_tick();
      exchange_tick();
      allocations += g_allocations.load() - before;
      ++cycles;
    }
    close_dryer_link();
  }
  set_virtual_peer(nullptr);
  set_redraw_sink(nullptr);
  platform::clock::use_real();
  reset_dryer_state();
  state.counters["allocs_per_cycle"] =
      benchmark::Counter(cycles ? double(allocations) / double(cycles) : 0.0);
}
BENCHMARK(BM_exchange_cycle)->Unit(benchmark::kMicrosecond);

}  // namespace
