// "STAGED BATCH SETUP - 09": the drying criteria (time, grain temperature, moisture), single or
// dual plenum temperatures, the heat split of batch moisture drying, the loading option and the
// safety limits (maximum time and maximum grain temperature); a key opens the data logger set-up.
#include "link/status_bytes.h"
#include "logging/data_logger_dialog.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/drying_dialogs.h"
#include "settings/drying_mode_dialogs.h"
#include "settings/setup_dialogs.h"
#include "settings/temperature_screen.h"
#include "settings/timer_screen.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::desired_byte;
using link::PendingWrite;
using link::set_desired_byte;

// Byte 266: bit 5 enables the safety parameters, bit 4 makes the maximum time and bit 3 the
// maximum grain temperature active.
constexpr uint8_t kSafetyEnabled = 0x20;
constexpr uint8_t kMaxTimeActive = 0x10;
constexpr uint8_t kMaxTempActive = 0x08;
// Byte 187 in staged batch: bit 7 marks grain-temperature drying; bits 1-2 (with bit 7) the
// batch moisture control.
constexpr uint8_t kTemperatureDrying = 0x80;
constexpr uint8_t kBatchMoistureBits = 0x06;
constexpr int kHelpTextLimit = 1999;
// The caption of the help boxes of this dialog.
constexpr int kHelpCaption = 2;
// The key to the data logger set-up carries that dialog's own title.
constexpr int kDataLoggerLabel = 376;

constexpr char kDualRefusal[] =
    "Dual-Plenum Temperature Mode is only available on single fan/heater models.";
constexpr char kDualRefusalCaption[] = "INVALID SELECTION";

uint8_t criteria() { return desired_byte(link::kDryingCriteria); }
void set_criteria(uint8_t v) { set_desired_byte(link::kDryingCriteria, v); }
uint8_t units_byte() { return desired_byte(link::kUnitsAndOptions); }
void set_units_bit(uint8_t bit, bool on) {
  set_desired_byte(link::kUnitsAndOptions,
                   on ? uint8_t(units_byte() | bit) : uint8_t(units_byte() & ~bit));
}
bool safety_on() { return (units_byte() & kSafetyEnabled) != 0; }

// What TIME and TEMPERATURE both end with: moisture drying is off and byte 187 goes out at once.
void leave_moisture_drying(uint8_t byte187) {
  set_criteria(uint8_t(criteria() & ~kCriteriaMoisture));
  link::raise_write(PendingWrite::k187,
                    {{link::kMoistureControlType, uint8_t(byte187 & ~kBatchMoistureBits)}});
}

void set_check(gui::Window& dialog, int id, bool checked) {
  gui::Window* w = gui::dialog_item(&dialog, id);
  if (w != nullptr && gui::button_checked(w) != checked) gui::button_set_check(w, checked);
}
void enable(gui::Window& dialog, int id, bool on) {
  gui::Window* w = gui::dialog_item(&dialog, id);
  if (w != nullptr && w->is_enabled() != on) gui::enable_window(w, on);
}
void set_text(gui::Window& dialog, int id, const std::string& text) {
  gui::Window* w = gui::dialog_item(&dialog, id);
  if (w != nullptr && w->text() != text) gui::set_window_text(w, text);
}

void refresh(gui::Window& dialog) {
  settle_staged_batch();
  const uint8_t c = criteria();
  set_check(dialog, res::kBatchTime, (c & kCriteriaTime) != 0);
  set_check(dialog, res::kBatchTemperature, (c & kCriteriaTemperature) != 0);
  set_check(dialog, res::kBatchMoisture, (c & kCriteriaMoisture) != 0);
  set_check(dialog, res::kBatchSingle, (c & kCriteriaDualPlenum) == 0);
  set_check(dialog, res::kBatchDual, (c & kCriteriaDualPlenum) != 0);
  set_check(dialog, res::kBatchLoadAnytime, (c & kCriteriaLoadingOption) == 0);
  set_check(dialog, res::kBatchLoadFirstHalf, (c & kCriteriaLoadingOption) != 0);
  const uint8_t split = desired_byte(link::kMoistureOptions) & kHeatSplitMask;
  set_check(dialog, res::kBatchFullHeat, split == kFullHeat);
  set_check(dialog, res::kBatchTwoThirdsHeat, split == kTwoThirdsHeat);
  set_check(dialog, res::kBatchHalfHeat, split == kHalfHeat);

  const bool safety = batch_safety_enabled();
  std::string state = texts::localized_text(safety ? 83 : 84);
  if (state.empty()) state = safety ? "ENABLED" : "DISABLED";
  set_text(dialog, res::kBatchSafetyState, state);
  set_text(dialog, res::kBatchMaxTimeValue, max_time_text());
  set_text(dialog, res::kBatchMaxTempValue, max_grain_temp_text());
  for (const int id :
       {res::kBatchMaxTime, res::kBatchMaxTimeValue, res::kBatchMaxTemp, res::kBatchMaxTempValue})
    enable(dialog, id, safety);
  gui::invalidate(&dialog);
}

void show_help(gui::Window& dialog, const char* file) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8(file, kHelpTextLimit, text);
  gui::message_box(&dialog, text, texts::localized_text(kHelpCaption), gui::kMbOkCancel);
}

int key_label(int id) {
  switch (id) {
    case res::kBatchLoadSelect:
      return 20;
    case res::kBatchSafetyToggle:
      return 82;
    case res::kBatchMaxTemp:
      return 81;
    case res::kBatchHelp:
      return 3;
    case res::kBatchAccept:
      return 4;
    case res::kBatchDataLogger:
      return kDataLoggerLabel;
    default:
      return 0;  // MAX TIME has no string of its own
  }
}

// The handlers of the buttons that only change desired values; false for any other id.
bool change_value(gui::Window& dialog, int id) {
  switch (id) {
    case res::kBatchTime:
      toggle_time_criterion();
      return true;
    case res::kBatchTemperature:
      toggle_temperature_criterion();
      return true;
    case res::kBatchMoisture:
      choose_moisture_criterion();
      return true;
    case res::kBatchSingle:
      choose_dual_plenum(false);
      return true;
    case res::kBatchDual:
      if (!choose_dual_plenum(true)) {
        refresh(dialog);
        gui::message_box(&dialog, kDualRefusal, kDualRefusalCaption,
                         gui::kMbOk | gui::kMbIconWarning);
      }
      return true;
    case res::kBatchFullHeat:
      choose_heat_split(kFullHeat);
      return true;
    case res::kBatchTwoThirdsHeat:
      choose_heat_split(kTwoThirdsHeat);
      return true;
    case res::kBatchHalfHeat:
      choose_heat_split(kHalfHeat);
      return true;
    case res::kBatchLoadSelect:
      toggle_loading_option();
      return true;
    case res::kBatchSafetyToggle:
      toggle_batch_safety_limits();
      return true;
    default:
      return false;
  }
}

intptr_t command(gui::Window& dialog, int id) {
  if (change_value(dialog, id)) {
    refresh(dialog);
    return 1;
  }
  switch (id) {
    case res::kBatchMaxTime:
      prepare_max_time_edit();
      open_timer_editor(&dialog);
      break;
    case res::kBatchMaxTemp:
      prepare_max_grain_temp_edit();
      open_temperature_editor(&dialog);
      break;
    case res::kBatchHelp:
      show_help(dialog, "AvailableDryingModesHelp.txt");
      break;
    case res::kBatchDataLogger:
      logging::open_data_logger_dialog(&dialog);
      break;
    case res::kBatchAccept:
      if (!accept_staged_batch()) {
        show_help(dialog, "NoDryingCriteriaSelectedHelp.txt");
        break;
      }
      close_drying_mode_selection();
      gui::end_dialog(&dialog, id);
      return 1;
    case res::kBatchLoadAnytime:
    case res::kBatchLoadFirstHalf:
      break;  // the marks only show the option; SELECT changes it
    default:
      return 0;
  }
  refresh(dialog);
  return 1;
}

intptr_t staged_batch_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      begin_staged_batch_setup();
      localize_item_text(dialog, 1424, 80);  // SAFETY LIMITS
      refresh(dialog);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command:
      return command(dialog, gui::command_id(m));
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_staged_batch_setup(gui::Window* owner) {
  res::register_drying_dialog_templates();
  return gui::dialog_box(res::kStagedBatchDialog, owner, &staged_batch_procedure);
}

void begin_staged_batch_setup() {
  desire_current(link::kDryingCriteria, 1, PendingWrite::k257);
  desire_current(link::kMoistureOptions, 1, PendingWrite::k224);
  desire_units_byte();
  desire_current(link::kMaxBatchTime, 2, PendingWrite::k274);
  desire_current(link::kMaxGrainTemp, 2, PendingWrite::k277);
  // The criteria buttons change bits of byte 187 and send it at once: they start from the
  // controller's value, not from whatever an earlier screen left in its slot.
  desire_current(link::kMoistureControlType, 1, PendingWrite::k187);
}

void toggle_time_criterion() {
  const uint8_t c = uint8_t(criteria() ^ kCriteriaTime);
  set_criteria(c);
  if ((c & kCriteriaTime) != 0) {
    if (safety_on()) set_units_bit(kMaxTimeActive, true);
  } else {
    set_units_bit(kMaxTimeActive, false);
  }
  leave_moisture_drying(uint8_t(desired_byte(link::kMoistureControlType) & ~kTemperatureDrying));
}

void toggle_temperature_criterion() {
  if ((criteria() & kCriteriaMoisture) != 0) set_units_bit(kMaxTimeActive, false);
  const uint8_t c = uint8_t(criteria() ^ kCriteriaTemperature);
  set_criteria(c);
  if ((c & kCriteriaTemperature) != 0) {
    if (safety_on()) set_units_bit(kMaxTempActive, true);
  } else {
    set_units_bit(kMaxTempActive, false);
  }
  leave_moisture_drying(uint8_t(desired_byte(link::kMoistureControlType) | kTemperatureDrying));
}

void choose_moisture_criterion() {
  set_criteria(
      uint8_t((criteria() & ~(kCriteriaDualPlenum | kCriteriaTime | kCriteriaTemperature)) |
              kCriteriaMoisture));
  set_units_bit(kMaxTempActive, true);
  set_units_bit(kMaxTimeActive, safety_on());
  link::raise_write(PendingWrite::k187, {{link::kMoistureControlType,
                                          uint8_t(desired_byte(link::kMoistureControlType) |
                                                  kTemperatureDrying | kBatchMoistureBits)}});
  choose_heat_split(kFullHeat);
}

bool choose_dual_plenum(bool dual) {
  const bool one_fan_heater = link::mirror_byte(link::kFanHeaterCode) == 0;
  const bool set = dual && one_fan_heater;
  set_criteria(set ? uint8_t(criteria() | kCriteriaDualPlenum)
                   : uint8_t(criteria() & ~kCriteriaDualPlenum));
  return set == dual;
}

void choose_heat_split(uint8_t split) {
  const uint8_t options = desired_byte(link::kMoistureOptions);
  link::raise_write(
      PendingWrite::k224,
      {{link::kMoistureOptions, uint8_t((options & ~kHeatSplitMask) | (split & kHeatSplitMask))}});
}

void toggle_loading_option() { set_criteria(uint8_t(criteria() ^ kCriteriaLoadingOption)); }

void settle_staged_batch() {
  const bool mode_bit0 = (effective_byte(link::kDryingMode, PendingWrite::k8) & 0x01) != 0;
  if ((criteria() & kCriteriaLoadingOption) != 0 && mode_bit0)
    set_criteria(uint8_t(criteria() & ~kCriteriaDualPlenum));
}

bool batch_safety_enabled() { return safety_on(); }

void toggle_batch_safety_limits() {
  if (safety_on()) {
    set_units_bit(kSafetyEnabled, false);
    return;
  }
  const uint8_t c = criteria();
  set_units_bit(kSafetyEnabled, true);
  set_units_bit(kMaxTimeActive, (c & (kCriteriaTime | kCriteriaMoisture)) != 0);
  set_units_bit(kMaxTempActive, (c & kCriteriaTemperature) != 0);
}

void prepare_max_time_edit() {
  TimerEditRequest& r = timer_edit_request;
  r.minutes = desired_byte(link::kMaxBatchTime);
  r.seconds = desired_byte(uint16_t(link::kMaxBatchTime + 1));
  r.maximum_minutes = 255;
  r.maximum_seconds = 0;
  r.default_minutes = 255;
  r.default_seconds = 0;
  r.minimum_minutes = 0;
  r.minimum_seconds = 0;
  r.minutes_entry_state = 0;
  r.seconds_entry_state = 0;
  r.first_key = 0;
  r.last_key = 0;
  r.minutes_slot = link::kMaxBatchTime;
  r.seconds_slot = link::kMaxBatchTime + 1;
  r.pending_write = &link::dryer_state().flag(PendingWrite::k274);
}

bool accept_staged_batch() {
  if ((criteria() & (kCriteriaTime | kCriteriaTemperature | kCriteriaMoisture)) == 0) return false;
  link::raise_write_if_changed(PendingWrite::k257, link::kDryingCriteria);
  link::raise_write_if_changed(PendingWrite::k224, link::kMoistureOptions);
  link::raise_write_if_changed(PendingWrite::k266, link::kUnitsAndOptions);
  link::raise_write_if_changed(PendingWrite::k274, link::kMaxBatchTime, 2);
  link::raise_write_if_changed(PendingWrite::k277, link::kMaxGrainTemp, 2);
  return true;
}

}  // namespace corvex::settings
