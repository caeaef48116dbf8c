#include "status/hourly_moisture.h"

#include <cstddef>

namespace corvex::status {

void HourlyMoisture::reset() { *this = HourlyMoisture(); }

void HourlyMoisture::sample(uint16_t moisture_tenths) {
  const float v = float(moisture_tenths);
  if (count_ < kRingSize) {
    ring_[size_t(index_)] = v;
    ++index_;
    ++count_;
    sum_ += v;
  } else {
    // The ring is full: the slot after the last one written holds the oldest sample. The index
    // stands one past the end right after the ring filled, so it wraps on anything from 3600 on.
    if (++index_ >= kRingSize) index_ = 0;
    sum_ -= ring_[size_t(index_)];
    ring_[size_t(index_)] = v;
    sum_ += v;
  }
  average_ = float(sum_ / count_);
  if (countdown_ > 0) --countdown_;
}

}  // namespace corvex::status
