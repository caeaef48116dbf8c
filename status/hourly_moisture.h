#pragma once
// The hourly moisture average: the mean of the moisture out over the last 3600 one-second
// samples (an hour of sampling), shown at the bottom of the status picture once 300 samples have
// been taken.
#include <array>
#include <cstddef>
#include <cstdint>

namespace corvex::status {

class HourlyMoisture {
 public:
  static constexpr int kRingSize = 3600;
  static constexpr int kWarmUpSamples = 300;

  // Empty ring, warm-up countdown back at 300.
  void reset();
  // One sample of the moisture out, tenths of a percent.
  void sample(uint16_t moisture_tenths);

  bool warming_up() const { return countdown_ > 0; }
  int countdown() const { return countdown_; }
  int count() const { return count_; }
  // sum / count of the samples held, tenths of a percent (0 before the first sample).
  float average() const { return average_; }

 private:
  std::array<float, kRingSize> ring_{};
  int index_ = 0;
  int count_ = 0;
  // Held in double precision: the samples are whole tenths, so the running sum stays exact
  // (a float sum would drift once it passes 2^24, which a wet hour of readings can reach).
  double sum_ = 0.0;
  float average_ = 0.0f;
  int countdown_ = kWarmUpSamples;
};

}  // namespace corvex::status
