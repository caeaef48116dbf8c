#include "sim/diagnostics_echo.h"

#include "sim/dryer_model.h"

namespace corvex::sim {
namespace {

constexpr uint16_t kActivatedJ1 = 239;
constexpr uint16_t kActivatedJ2 = 240;
constexpr uint8_t kAirSwitchResetBit = 0x08;  // bit 3 of fan/heater #1's state byte

uint8_t bit_if(bool on, unsigned bit) { return on ? uint8_t(1u << bit) : uint8_t(0); }

}  // namespace

ActivatedBits activated_bits(const BoardOutputs& o) {
  // J1-02 .. J1-08: burner 6, fan 6, burner 5, fan 5, burner 4, fan 4, burner 3 (bits 1..7).
  const uint8_t j1 = uint8_t(bit_if(o.burner[5], 1) | bit_if(o.fan[5], 2) | bit_if(o.burner[4], 3) |
                             bit_if(o.fan[4], 4) | bit_if(o.burner[3], 5) | bit_if(o.fan[3], 6) |
                             bit_if(o.burner[2], 7));
  // J2-01 .. J2-08 run from bit 7 down: fan 3, burner 2, fan 2, burner 1, fan 1, load, unload,
  // start.
  const uint8_t j2 = uint8_t(bit_if(o.fan[2], 7) | bit_if(o.burner[1], 6) | bit_if(o.fan[1], 5) |
                             bit_if(o.burner[0], 4) | bit_if(o.fan[0], 3) | bit_if(o.load, 2) |
                             bit_if(o.unload, 1) | bit_if(o.start, 0));
  return {j1, j2};
}

void DryerModel::publish_diagnostics() {
  BoardOutputs outputs;
  for (int i = 0; i < kMaxFans; ++i) {
    outputs.fan[i] = fans_[size_t(i)].fan;
    outputs.burner[i] = fans_[size_t(i)].flame;
  }
  outputs.load = loading_;
  outputs.unload = unloading_;
  outputs.start = running_;
  const ActivatedBits bits = activated_bits(outputs);
  put(kActivatedJ1, bits.j1);
  put(kActivatedJ2, bits.j2);
  // Written only when the fan starts or stops, so that the other bits of the byte, and a bit
  // set from outside, stay until then.
  if (fans_[0].fan != air_switch_fan_) {
    air_switch_fan_ = fans_[0].fan;
    const size_t state = link::fan_state(1);
    force(state, uint8_t((bytes_[state] & ~kAirSwitchResetBit) |
                         (air_switch_fan_ ? kAirSwitchResetBit : 0)));
  }
}

}  // namespace corvex::sim
