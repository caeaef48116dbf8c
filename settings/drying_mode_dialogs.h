#pragma once
// Drying mode selection and the two moisture-control set-ups it leads to (continuous flow,
// staged batch). Each dialog starts its desired values from the controller's when it opens,
// edits them, and raises the writes of what changed on ACCEPT; the scheme and criteria buttons
// raise the control-scheme write (byte 187) at once, so the controller takes a new scheme even
// when the dialog is left without ACCEPT. The rules each button applies are functions of their
// own, which the dialogs call. GUI thread only.
#include <cstdint>
#include <string>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/window.h"

namespace corvex::settings {

// "Drying Mode Selection - 07".
intptr_t open_drying_mode_dialog(platform::gui::Window* owner);
// The set-up of the drying mode: "CONTINUOUS FLOW SETUP" while it is continuous flow (0),
// "STAGED BATCH SETUP - 09" otherwise. A drying mode still on its way to the controller counts.
intptr_t open_drying_setup_dialog(platform::gui::Window* owner);
intptr_t open_continuous_flow_setup(platform::gui::Window* owner);
intptr_t open_staged_batch_setup(platform::gui::Window* owner);

// Starts `count` desired slots from the controller's values, except while their write is still
// raised: the slots then hold a value the operator chose a moment ago that the controller has
// not taken yet, and copying the old value over it would send the old value instead.
void desire_current(uint16_t offset, uint16_t count, link::PendingWrite write);
// Starts the desired byte 266 (safety and unit flags) from the controller's without its
// one-shot command bits 0-1 (save and restore the user settings, never to be repeated by
// another screen's write), with bit 7 as the unit the display uses now; kept while raised.
void desire_units_byte();
// The value a dialog works from: the desired byte while its write is raised, else the current.
uint8_t effective_byte(uint16_t offset, link::PendingWrite write);

// ---- Drying mode selection ----

// Opening: desired mode, criteria (257) and options (224) from the controller's; the
// numeric-model family (dryer-type bit 5) is forced to continuous flow.
void begin_drying_mode_selection();
// Whether STAGED BATCH may be chosen (not on the numeric-model family).
bool staged_batch_allowed();
// CONTINUOUS FLOW (0) or STAGED BATCH (1): the mode, the dual-plenum and loading-option bits of
// the criteria, and byte 187 := mode + 5; the writes of 187 and 257 are raised at once.
void choose_drying_mode(uint8_t mode);
// ACCEPT and MOISTURE CONTROL SETUP: raises the writes of mode, criteria and options that
// differ from the controller's.
void raise_changed_drying_mode();
// An accepted set-up closes the drying mode selection it was opened from (if any).
void close_drying_mode_selection();

// ---- Continuous flow set-up ----

// The four schemes of the radios (low 3 bits of byte 187).
inline constexpr uint8_t kSchemeTemperature2Speed = 1;
inline constexpr uint8_t kSchemeMoistureVariable = 3;
inline constexpr uint8_t kSchemeMoisture5Speed = 4;
inline constexpr uint8_t kSchemeTemperature5Speed = 5;
inline constexpr uint8_t kSchemeBatchMoisture = 6;

void begin_continuous_flow_setup();
// The scheme the radios show for a value of byte 187: one of the four, anything else as 5.
uint8_t shown_control_scheme(uint8_t byte187);
// A desired byte 187 outside the four is set to 5 and written (run before each paint).
void settle_control_scheme();
// A scheme button: the low 3 bits of the desired byte 187 become `scheme` (the other bits
// stay) and its write is raised at once.
void choose_control_scheme(uint8_t scheme);
void toggle_auto_centering();
void toggle_upper_sensor();
// Safety DISABLE/ENABLE: on clears bits 4 and 5 of byte 266, off sets both.
void toggle_flow_safety_limits();
bool flow_safety_enabled();
// Fills the temperature editor's request for the maximum grain temperature (200, 150, 100 F).
void prepare_max_grain_temp_edit();
void accept_continuous_flow();

// ---- Staged batch set-up ----

// Drying-criteria bits of byte 257.
inline constexpr uint8_t kCriteriaDualPlenum = 1u << link::kDryingCriteriaDualPlenumBit;
inline constexpr uint8_t kCriteriaLoadingOption = 1u << link::kDryingCriteriaLoadingOptionBit;
inline constexpr uint8_t kCriteriaTime = 1u << link::kDryingCriteriaTimeBit;
inline constexpr uint8_t kCriteriaTemperature = 1u << link::kDryingCriteriaTemperatureBit;
inline constexpr uint8_t kCriteriaMoisture = 1u << link::kDryingCriteriaMoistureBit;
// Heat split of byte 224, bits 4-6.
inline constexpr uint8_t kHeatSplitMask = 0x70;
inline constexpr uint8_t kFullHeat = 0x10;
inline constexpr uint8_t kTwoThirdsHeat = 0x20;
inline constexpr uint8_t kHalfHeat = 0x40;

void begin_staged_batch_setup();
void toggle_time_criterion();
void toggle_temperature_criterion();
void choose_moisture_criterion();
// SINGLE (false) or DUAL (true). DUAL is refused unless the dryer has one fan/heater: returns
// false and the dual-plenum bit is cleared.
bool choose_dual_plenum(bool dual);
// FULL, 1/3 - 2/3, 1/2 - 1/2: the heat split is set and written at once.
void choose_heat_split(uint8_t split);
void toggle_loading_option();
// The loading option only after the first half of the drying cycle clears dual plenum while
// the drying mode has bit 0 set (run before each paint).
void settle_staged_batch();
void toggle_batch_safety_limits();
bool batch_safety_enabled();
// Fills the timer editor's request for the maximum batch drying time (255:00, 255:00, 00:00).
void prepare_max_time_edit();
// ACCEPT: false (nothing raised) when no criterion is chosen; otherwise raises the writes of
// criteria, options, byte 266, maximum time and maximum grain temperature that changed.
bool accept_staged_batch();

// Texts of the values the set-ups show.
std::string max_grain_temp_text();  // "%d F" of the desired raw value
std::string max_time_text();        // "%d:%02d" of the desired minutes and seconds

}  // namespace corvex::settings
