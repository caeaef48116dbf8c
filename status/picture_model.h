#pragma once
// The rules of the status picture that do not draw: which picture and overlay layout the dryer's
// kind and configuration select, which icon set a fan/heater's burner bytes call for, how many
// fan/heaters the layout code shows, and the animation counters with their 100 ms step.
#include <array>
#include <cstdint>
#include <optional>

#include "link/dryer_state.h"
#include "resources/status_artwork.h"

namespace corvex::status {

// A copy of the StatusMirror taken at the start of a paint, so that one paint sees one set of
// values while the exchange thread goes on writing the mirror.
using StatusBytes = std::array<uint8_t, link::kStatusBytes>;
void snapshot_status(StatusBytes& out);

inline uint16_t word_hi_lo(const StatusBytes& b, int hi, int lo) {
  return uint16_t((b[size_t(hi)] << 8) | b[size_t(lo)]);
}

// Overlay layouts: 0 and 3 for the tower pictures, 1 for the column and 2 for the mixed-flow.
struct PictureSelection {
  std::optional<resources::DryerPicture> picture;  // none: the window stays black
  int layout = -1;
};
// kind = status byte 4, configuration = status byte 225. Bit 0x40 wins over bit 0x20.
PictureSelection select_picture(uint8_t kind, uint8_t configuration);

// A = burner byte A (status byte 131 - n), B = burner byte B (status byte 137 - n).
resources::FanHeaterIconSet fan_heater_icon_set(uint8_t burner_a, uint8_t burner_b);

// Fan/heaters drawn for the layout code of status byte 3 (0..4 give 1, 2, 3, 4, 6); a code the
// controller does not define draws none.
int fan_heater_count(uint8_t layout_code);

// The 4-inch rolls: status byte 183 bit 0x02 with byte 225 bit 0x40 clear.
bool small_metering_rolls(uint8_t b183, uint8_t b225);

struct AnimationCounters {
  std::array<uint8_t, 6> fan_heater{};  // fan/heater n at index n - 1; 0, 1, 2
  uint8_t equipment1 = 0;               // counts 2, 1, 0, 2 ...
  uint8_t equipment2 = 0;               // 0, 1, 2, 0 ...
  uint8_t equipment2_slow = 0;          // one step for every fifth step of equipment2
  uint8_t equipment2_steps = 0;         // steps of equipment2 since the slow one moved
  uint8_t forward_roll = 0;
  uint8_t reverse_roll = 0;
  uint8_t roll_tick = 0;  // 100 ms steps since the rolls last moved (0..2)
};

// One 100 ms step of every counter from the mirror bytes.
void step_animation(AnimationCounters& c, const StatusBytes& b);

}  // namespace corvex::status
