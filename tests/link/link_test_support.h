#pragma once
// Shared helpers of the link tests: a status frame under construction, a recorder of redraw
// requests, and a fixture that puts the link back to its start state around every test.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "link/crc.h"
#include "link/dryer_state.h"
#include "link/exchange.h"
#include "link/link_hooks.h"
#include "link/redraw.h"
#include "link/virtual_peer.h"

namespace corvex::link::test {

// A status frame: 329 status bytes and the CRC.
struct StatusBytes {
  std::array<uint8_t, kStatusFrameBytes> bytes{};
  uint8_t& operator[](size_t k) { return bytes[k]; }
  const uint8_t* sealed() {
    crc16_append(bytes.data(), kStatusBytes);
    return bytes.data();
  }
};

struct RecordedRedraw {
  RedrawTarget target;
  bool has_rect;
  platform::Rect rect;
  Erase erase;
};

// Collects the redraw requests of the link instead of handing them to the window system.
class RedrawRecorder {
 public:
  static void sink(RedrawTarget t, const platform::Rect* r, Erase e) {
    std::lock_guard lock(mutex());
    log().push_back({t, r != nullptr, r ? *r : platform::Rect{}, e});
  }
  static std::vector<RecordedRedraw> take() {
    std::lock_guard lock(mutex());
    std::vector<RecordedRedraw> out;
    out.swap(log());
    return out;
  }
  static int count(const std::vector<RecordedRedraw>& v, RedrawTarget t) {
    return int(std::count_if(v.begin(), v.end(), [&](const auto& r) { return r.target == t; }));
  }

 private:
  static std::mutex& mutex() {
    static std::mutex m;
    return m;
  }
  static std::vector<RecordedRedraw>& log() {
    static std::vector<RecordedRedraw> v;
    return v;
  }
};

inline uint8_t mirror(size_t k) { return dryer_state().mirror[k].load(); }
inline uint8_t desired(size_t k) { return dryer_state().desired[k].load(); }
inline void set_mirror(size_t k, uint8_t v) { dryer_state().mirror[k].store(v); }
inline void set_desired(size_t k, uint8_t v) { dryer_state().desired[k].store(v); }

// Every link test starts from the state the program starts in, with redraws recorded.
class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { restart(); }
  void TearDown() override {
    close_dryer_link();
    set_virtual_peer(nullptr);
    set_redraw_sink(nullptr);
    reset_link_hooks();
  }
  static void restart() {
    close_dryer_link();
    set_virtual_peer(nullptr);
    reset_dryer_state();
    reset_link_hooks();
    set_redraw_sink(&RedrawRecorder::sink);
    RedrawRecorder::take();
  }
};

}  // namespace corvex::link::test
