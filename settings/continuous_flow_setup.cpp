// "CONTINUOUS FLOW SETUP": the control scheme with its meter-roll choices, auto centering, the
// upper moisture sensor and the maximum-grain-temperature safety limit; a key opens the data
// logger set-up.
#include <algorithm>
#include <cstdio>

#include "link/status_bytes.h"
#include "logging/data_logger_dialog.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/drying_dialogs.h"
#include "settings/bracket_setup_dialog.h"
#include "settings/drying_mode_dialogs.h"
#include "settings/setup_dialogs.h"
#include "settings/temperature_screen.h"
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

constexpr uint8_t kSchemeMask = link::kMoistureControlKindMask;
constexpr uint8_t kUpperSensorDisabled = 0x01;
constexpr uint8_t kAutoCentering = 1u << link::kMoistureOptionsAutoCentringBit;
// Byte 266: bit 5 enables the safety parameters, bit 4 the maximum-time limit.
constexpr uint8_t kSafetyEnabled = 0x20;
constexpr uint8_t kMaxTimeActive = 0x10;
// The drying criteria help may be longer than the others.
constexpr int kCriteriaHelpLimit = 2998;
// The key to the data logger set-up carries that dialog's own title.
constexpr int kDataLoggerLabel = 376;

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
// A state text in the language, or the English word without a string table.
std::string state_text(bool on) {
  std::string text = texts::localized_text(on ? 83 : 84);
  return text.empty() ? (on ? "ENABLED" : "DISABLED") : text;
}

// Brings every control in line with the desired values.
void refresh(gui::Window& dialog) {
  settle_control_scheme();
  const uint8_t scheme = shown_control_scheme(desired_byte(link::kMoistureControlType));
  const bool temperature = scheme == kSchemeTemperature2Speed || scheme == kSchemeTemperature5Speed;
  const bool five_speed = scheme == kSchemeTemperature5Speed || scheme == kSchemeMoisture5Speed;
  set_check(dialog, res::kFlowTemperature, temperature);
  set_check(dialog, res::kFlowMoisture, !temperature);
  set_check(dialog, res::kFlowTwoSpeed, scheme == kSchemeTemperature2Speed);
  set_check(dialog, res::kFlowTempFiveSpeed, scheme == kSchemeTemperature5Speed);
  set_check(dialog, res::kFlowVariable, scheme == kSchemeMoistureVariable);
  set_check(dialog, res::kFlowMoistFiveSpeed, scheme == kSchemeMoisture5Speed);
  enable(dialog, res::kFlowTwoSpeed, temperature);
  enable(dialog, res::kFlowTempFiveSpeed, temperature);
  enable(dialog, res::kFlowVariable, !temperature);
  enable(dialog, res::kFlowMoistFiveSpeed, !temperature);
  enable(dialog, res::kFlowSensorSelect, !temperature);
  enable(dialog, res::kFlowFiveSpeedSetup, five_speed);
  enable(dialog, res::kFlowAutoCentering, five_speed);

  const uint8_t options = desired_byte(link::kMoistureOptions);
  set_check(dialog, res::kFlowAutoCentering, (options & kAutoCentering) != 0);
  set_text(dialog, res::kFlowSensorState, state_text((options & kUpperSensorDisabled) == 0));

  const bool safety = flow_safety_enabled();
  set_text(dialog, res::kFlowSafetyState, state_text(safety));
  set_text(dialog, res::kFlowMaxTempValue, max_grain_temp_text());
  enable(dialog, res::kFlowMaxTemp, safety);
  enable(dialog, res::kFlowMaxTempValue, safety);
  gui::invalidate(&dialog);
}

void init(gui::Window& dialog) {
  begin_continuous_flow_setup();
  texts::set_localized_caption(&dialog, 70);
  static constexpr struct {
    int id;
    int string;
  } kLabels[] = {
      {res::kFlowSchemeGroup, 71},   {res::kFlowTemperature, 72},   {res::kFlowMoisture, 73},
      {res::kFlowTwoSpeed, 74},      {res::kFlowTempFiveSpeed, 75}, {res::kFlowMoistFiveSpeed, 77},
      {res::kFlowAutoCentering, 78}, {res::kFlowVariable, 79},      {res::kFlowSafetyGroup, 80},
      {res::kFlowSensorGroup, 36},
  };
  for (const auto& l : kLabels) localize_item_text(dialog, l.id, l.string);
  // Centred over the owner by the template, then 20 pixels higher.
  const int up = std::min(20, dialog.screen_rect().top);
  gui::move_window(&dialog, dialog.rect().translated(0, -up));
  refresh(dialog);
}

int key_label(int id) {
  switch (id) {
    case res::kFlowFiveSpeedSetup:
      return 76;
    case res::kFlowMaxTemp:
      return 81;
    case res::kFlowSafetyToggle:
      return 82;
    case res::kFlowSensorSelect:
      return 20;
    case res::kFlowHelp:
      return 3;
    case res::kFlowAccept:
      return 4;
    case res::kFlowDataLogger:
      return kDataLoggerLabel;
    default:
      return 0;
  }
}

void show_help(gui::Window& dialog) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8("SelectDryingCriteriaHelp.txt", kCriteriaHelpLimit, text);
  gui::message_box(&dialog, text, texts::localized_text(359), gui::kMbOkCancel);
}

// The scheme each scheme button chooses.
uint8_t scheme_of_button(int id) {
  switch (id) {
    case res::kFlowTemperature:
      return kSchemeTemperature5Speed;
    case res::kFlowMoisture:
      return kSchemeMoisture5Speed;
    case res::kFlowTwoSpeed:
      return kSchemeTemperature2Speed;
    case res::kFlowTempFiveSpeed:
      return kSchemeTemperature5Speed;
    case res::kFlowVariable:
      return kSchemeMoistureVariable;
    case res::kFlowMoistFiveSpeed:
      return kSchemeMoisture5Speed;
    default:
      return 0;
  }
}

intptr_t command(gui::Window& dialog, int id) {
  if (const uint8_t scheme = scheme_of_button(id)) {
    choose_control_scheme(scheme);
  } else if (id == res::kFlowAutoCentering) {
    toggle_auto_centering();
  } else if (id == res::kFlowSensorSelect) {
    toggle_upper_sensor();
  } else if (id == res::kFlowSafetyToggle) {
    toggle_flow_safety_limits();
  } else if (id == res::kFlowMaxTemp) {
    prepare_max_grain_temp_edit();
    open_temperature_editor(&dialog);
  } else if (id == res::kFlowFiveSpeedSetup) {
    open_bracket_setup(&dialog);
  } else if (id == res::kFlowHelp) {
    show_help(dialog);
  } else if (id == res::kFlowDataLogger) {
    logging::open_data_logger_dialog(&dialog);
  } else if (id == res::kFlowAccept) {
    accept_continuous_flow();
    close_drying_mode_selection();
    gui::end_dialog(&dialog, id);
    return 1;
  } else {
    return 0;
  }
  refresh(dialog);
  return 1;
}

intptr_t continuous_flow_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      init(dialog);
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

intptr_t open_continuous_flow_setup(gui::Window* owner) {
  res::register_drying_dialog_templates();
  return gui::dialog_box(res::kContinuousFlowDialog, owner, &continuous_flow_procedure);
}

void begin_continuous_flow_setup() {
  desire_current(link::kMoistureControlType, 1, PendingWrite::k187);
  desire_current(link::kMoistureOptions, 1, PendingWrite::k224);
  desire_current(link::kMaxGrainTemp, 2, PendingWrite::k277);
  desire_units_byte();
}

uint8_t shown_control_scheme(uint8_t byte187) {
  switch (byte187 & kSchemeMask) {
    case kSchemeTemperature2Speed:
    case kSchemeMoistureVariable:
    case kSchemeMoisture5Speed:
    case kSchemeTemperature5Speed:
      return uint8_t(byte187 & kSchemeMask);
    default:
      return kSchemeTemperature5Speed;
  }
}

void settle_control_scheme() {
  const uint8_t value = desired_byte(link::kMoistureControlType);
  if ((value & kSchemeMask) != shown_control_scheme(value))
    link::raise_write(PendingWrite::k187, {{link::kMoistureControlType, kSchemeTemperature5Speed}});
}

void choose_control_scheme(uint8_t scheme) {
  const uint8_t value = desired_byte(link::kMoistureControlType);
  link::raise_write(
      PendingWrite::k187,
      {{link::kMoistureControlType, uint8_t((value & ~kSchemeMask) | (scheme & kSchemeMask))}});
}

void toggle_auto_centering() {
  set_desired_byte(link::kMoistureOptions,
                   uint8_t(desired_byte(link::kMoistureOptions) ^ kAutoCentering));
}

void toggle_upper_sensor() {
  set_desired_byte(link::kMoistureOptions,
                   uint8_t(desired_byte(link::kMoistureOptions) ^ kUpperSensorDisabled));
}

bool flow_safety_enabled() { return (desired_byte(link::kUnitsAndOptions) & kSafetyEnabled) != 0; }

void toggle_flow_safety_limits() {
  const uint8_t value = desired_byte(link::kUnitsAndOptions);
  const uint8_t bits = kSafetyEnabled | kMaxTimeActive;
  set_desired_byte(link::kUnitsAndOptions,
                   flow_safety_enabled() ? uint8_t(value & ~bits) : uint8_t(value | bits));
}

void prepare_max_grain_temp_edit() {
  TemperatureEditRequest& r = temperature_edit_request;
  r.working_value = link::desired_lo_hi(link::kMaxGrainTemp);
  r.maximum = 200;
  r.default_value = 150;
  r.minimum = 100;
  r.entry_state = 0;
  r.first_key = 0;
  r.last_key = 0;
  r.low_slot = link::kMaxGrainTemp;
  r.high_slot = link::kMaxGrainTemp + 1;
  r.pending_write = &link::dryer_state().flag(PendingWrite::k277);
}

void accept_continuous_flow() {
  link::raise_write_if_changed(PendingWrite::k187, link::kMoistureControlType);
  link::raise_write_if_changed(PendingWrite::k224, link::kMoistureOptions);
  link::raise_write_if_changed(PendingWrite::k266, link::kUnitsAndOptions);
  link::raise_write_if_changed(PendingWrite::k277, link::kMaxGrainTemp, 2);
}

std::string max_grain_temp_text() {
  char text[16];
  std::snprintf(text, sizeof text, "%d F", int(link::desired_lo_hi(link::kMaxGrainTemp)));
  return text;
}

std::string max_time_text() {
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", int(desired_byte(link::kMaxBatchTime)),
                int(desired_byte(uint16_t(link::kMaxBatchTime + 1))));
  return text;
}

}  // namespace corvex::settings
