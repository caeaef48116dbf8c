#include "link/readouts.h"

#include <cstdio>

#include "link/dryer_state.h"

namespace corvex::link {
namespace {

constexpr int kPairsPerLine = 12;

class LineWriter {
 public:
  void add(const char* pair) {
    if (count_ % kPairsPerLine == 0) {
      lines_.emplace_back();
    } else {
      lines_.back() += ' ';
    }
    lines_.back() += pair;
    ++count_;
  }
  std::vector<std::string> take() { return std::move(lines_); }

 private:
  std::vector<std::string> lines_;
  int count_ = 0;
};

std::vector<std::string> bytes_readout(const std::array<DryerState::Byte, kStatusBytes>& bytes) {
  LineWriter out;
  char pair[16];
  for (size_t k = 0; k < kStatusBytes; ++k) {
    const unsigned v = bytes[k].load(std::memory_order_relaxed);
    if (v == 0) continue;
    std::snprintf(pair, sizeof pair, "%zu=%x", k, v);
    out.add(pair);
  }
  return out.take();
}

}  // namespace

std::vector<std::string> mirror_readout() { return bytes_readout(dryer_state().mirror); }

std::vector<std::string> desired_readout() { return bytes_readout(dryer_state().desired); }

std::vector<std::string> pending_readout() {
  LineWriter out;
  char pair[32];
  DryerState& s = dryer_state();
  for (size_t i = 0; i < kPendingWriteCount; ++i) {
    const auto w = PendingWrite(i);
    const unsigned v = s.flag(w).load(std::memory_order_acquire);
    if (v == 0) continue;
    const PendingWriteName name = pending_write_name(w);
    if (name.word) {
      std::snprintf(pair, sizeof pair, "%u-%s=%x", unsigned(name.offset), name.word, v);
    } else {
      std::snprintf(pair, sizeof pair, "%u=%x", unsigned(name.offset), v);
    }
    out.add(pair);
  }
  return out.take();
}

}  // namespace corvex::link
