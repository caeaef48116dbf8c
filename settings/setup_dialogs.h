#pragma once
// The small dialogs the setup menus open directly: units of measure, metering-roll reverse,
// user settings, clear batch counter, the cycled sampler question of the hardware set-up,
// moisture sensor selection and the language. Each one is modal with its menu (or the hardware
// set-up) as owner and centres itself over it. The rules each answer applies are kept in
// functions of their own, which the dialogs call.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/gui/window.h"

namespace corvex::settings {

// "Switch to SI units of Measure" (Yes / No / CANCEL). Returns the answer's id.
intptr_t open_units_dialog(platform::gui::Window* owner);
// "METERING ROLL REVERSE OPTION" (Yes / No / CANCEL).
intptr_t open_metering_roll_reverse_dialog(platform::gui::Window* owner);
// "USER SETTINGS - 20" (SAVE SETTINGS / RESTORE SETTINGS / CANCEL), 20 px above centre.
intptr_t open_user_settings_dialog(platform::gui::Window* owner);
// "Clear Batch Counter" (Yes / No / CANCEL).
intptr_t open_clear_batch_counter_dialog(platform::gui::Window* owner);
// The cycled sampler question of the hardware set-up (Yes / No / CANCEL); only asks.
intptr_t ask_cycled_sampler(platform::gui::Window* owner);
// "Moisture Sensor Selection" (Accept / Cancel).
intptr_t open_sensor_selection_dialog(platform::gui::Window* owner);
// "Select Language to Use", then the screens take the new language's texts.
intptr_t open_language_selection(platform::gui::Window* owner);

// ---- What the answers do ----

// Units Yes: toggles the unit flag at once and sets (SI) or clears (English) bit 7 of the
// desired byte 266, raising its one-shot record; then every screen is repainted in the new unit.
void switch_units();
// Metering-roll reverse Yes: the desired byte 49 is the current one with bit 4 toggled.
void toggle_metering_roll_reverse();
// User settings: SAVE sends bit 1, RESTORE bit 0 of byte 266 once.
enum class UserSettingsCommand : uint8_t { Restore = 0x01, Save = 0x02 };
void send_user_settings_command(UserSettingsCommand command);
// Clear batch counter Yes: desired bytes 221 and 222 become 0, PendingWrite 221 is raised.
void clear_batch_counter();

// The two sensors of status byte 287: bits 0-1 the wet (incoming) sensor, bits 2-3 the dry
// (exiting) one. A field of 0 is an analog sensor; anything else is shown as a network sensor.
// Choosing Analog clears the sensor's two bits; choosing Network sets them to 1 (so byte 287
// holds 1 for a network wet sensor and 4 for a network dry one). The other bits stay.
enum class MoistureSensor : uint8_t { Wet = 0, Dry = 2 };
enum class SensorInterface : uint8_t { Analog, Network };
uint8_t with_sensor_interface(uint8_t byte287, MoistureSensor sensor, SensorInterface interface);
SensorInterface sensor_interface(uint8_t byte287, MoistureSensor sensor);

// Repaints every screen window, so that a new unit of measure or language shows at once.
void repaint_screens();

// ---- Helpers the setup dialogs share ----

// Sets a control's text to localized string `number`; without a loaded text it stays as it is.
void localize_item_text(platform::gui::Window& dialog, int id, int number);
// Draws an owner-drawn key: a raised face with localized string `label_string` centred (the
// window text when the string is empty or not loaded).
void draw_labelled_key(const platform::gui::DrawItemContext& item, int label_string);

}  // namespace corvex::settings
