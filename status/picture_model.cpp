#include "status/picture_model.h"

#include <iterator>

namespace corvex::status {

using resources::DryerPicture;
using resources::FanHeaterIconSet;

void snapshot_status(StatusBytes& out) {
  const auto& mirror = link::dryer_state().mirror;
  for (size_t i = 0; i < out.size(); ++i) out[i] = mirror[i].load(std::memory_order_relaxed);
}

PictureSelection select_picture(uint8_t kind, uint8_t configuration) {
  const bool bit40 = (configuration & 0x40) != 0;
  const bool bit20 = (configuration & 0x20) != 0;
  switch (kind) {
    case 0:
      if (bit40) return {DryerPicture::A2, 0};
      if (bit20) return {DryerPicture::A3, 3};
      return {DryerPicture::A1, 0};
    case 1: return {bit40 ? DryerPicture::B2 : DryerPicture::B1, 1};
    case 2: return {bit40 ? DryerPicture::C2 : DryerPicture::C1, 2};
    default: return {};
  }
}

FanHeaterIconSet fan_heater_icon_set(uint8_t burner_a, uint8_t burner_b) {
  if (burner_b & 0x02) {
    return (burner_a & 0x04) ? FanHeaterIconSet::SecondStage : FanHeaterIconSet::Burner;
  }
  if (burner_b & 0x01) return FanHeaterIconSet::Fan;
  return FanHeaterIconSet::Idle;
}

int fan_heater_count(uint8_t layout_code) {
  static constexpr int kCounts[] = {1, 2, 3, 4, 6};
  return layout_code < std::size(kCounts) ? kCounts[layout_code] : 0;
}

bool small_metering_rolls(uint8_t b183, uint8_t b225) {
  return (b183 & 0x02) != 0 && (b225 & 0x40) == 0;
}

namespace {
uint8_t up(uint8_t v) { return v >= 2 ? 0 : uint8_t(v + 1); }
uint8_t down(uint8_t v) { return v == 0 || v > 2 ? 2 : uint8_t(v - 1); }
}  // namespace

void step_animation(AnimationCounters& c, const StatusBytes& b) {
  // A fan/heater's blades turn while its fan runs (bit 0 of burner byte A), whatever icon set
  // the burner byte B calls for.
  for (int n = 1; n <= 6; ++n) {
    if (b[size_t(131 - n)] & 0x01) c.fan_heater[size_t(n - 1)] = up(c.fan_heater[size_t(n - 1)]);
  }
  if ((b[171] & 0x80) == 0) c.equipment1 = down(c.equipment1);
  if ((b[172] & 0x01) || (b[171] & 0x40)) {
    c.equipment2 = up(c.equipment2);
    if (++c.equipment2_steps >= 5) {
      c.equipment2_steps = 0;
      c.equipment2_slow = up(c.equipment2_slow);
    }
  }
  if (++c.roll_tick >= 3) {
    c.roll_tick = 0;
    if (b[58] & 0x08) {
      if (b[58] & 0x04) {
        c.reverse_roll = up(c.reverse_roll);
        c.forward_roll = down(c.forward_roll);
      } else {
        c.forward_roll = up(c.forward_roll);
        c.reverse_roll = down(c.reverse_roll);
      }
    }
  }
}

}  // namespace corvex::status
