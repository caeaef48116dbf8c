#pragma once
// The simulator's own random numbers: splitmix64, so that a seed gives the same dryer on every
// machine and every run (no std::random_device, no distribution whose output the standard
// library may change).
#include <cstdint>

namespace corvex::sim {

class Prng {
 public:
  explicit Prng(uint64_t seed) : state_(seed) {}

  // Returns the next 64 random bits.
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Returns a number in [lo, hi), from the top 53 bits.
  double uniform(double lo, double hi) {
    const double unit = double(next() >> 11) * (1.0 / 9007199254740992.0);
    return lo + (hi - lo) * unit;
  }

 private:
  uint64_t state_;
};

}  // namespace corvex::sim
