#include "settings/setup_dialogs.h"

#include <algorithm>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/setup_dialogs.h"
#include "resources/window_classes.h"
#include "settings/screen_hooks.h"
#include "texts/labelled_key.h"
#include "texts/language_dialog.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

constexpr int kYesString = 134;
constexpr int kNoString = 135;
constexpr int kCancelString = 10;
constexpr platform::FontSpec kKeyFont{16, 700};
using link::desired_byte;
using link::kUnitsAndOptions;
using link::mirror_byte;

// The top bit of the units-and-options byte is the unit of measure; bits 0 and 1 are one-shot
// commands to the controller (restore and save the user settings).
constexpr uint8_t kSiUnitsBit = 1u << link::kUnitsAndOptionsSiBit;
constexpr uint8_t kOneShotBits = 0x03;
constexpr uint8_t kReverseOptionBit = 0x10;  // bit 4 of the option bits

// What a new write of the units-and-options byte starts from: a record still waiting to go out keeps its bits
// (a units change made a moment ago is not undone by SAVE), otherwise the current value without
// the one-shot command bits, so that an earlier save or restore is never sent again.
uint8_t byte_266_base() {
  if (link::write_raised(PendingWrite::k266)) return desired_byte(kUnitsAndOptions);
  return uint8_t(mirror_byte(kUnitsAndOptions) & ~kOneShotBits);
}

struct Question {
  int caption_string;
  int question_string;
};

intptr_t question_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog: {
      const auto* q = reinterpret_cast<const Question*>(m.lparam);
      texts::set_localized_caption(&dialog, q->caption_string);
      localize_item_text(dialog, res::kQuestionText, q->question_string);
      return 1;
    }
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, item.id == res::kQuestionYes  ? kYesString
                              : item.id == res::kQuestionNo ? kNoString
                                                            : kCancelString);
      return 1;
    }
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kQuestionYes:
        case res::kQuestionNo:
        case res::kQuestionCancel:
          gui::end_dialog(&dialog, gui::command_id(m));
          return 1;
        default:
          return 0;
      }
    default:
      return 0;
  }
}

intptr_t ask(int resource, gui::Window* owner, Question question) {
  res::register_setup_dialog_templates();
  return gui::dialog_box(resource, owner, &question_procedure,
                         reinterpret_cast<intptr_t>(&question));
}

intptr_t user_settings_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog: {
      texts::set_localized_caption(&dialog, 215);
      localize_item_text(dialog, res::kUserSettingsLine1, 216);
      localize_item_text(dialog, res::kUserSettingsLine2, 217);
      // Centred over the menu by the template, then 20 pixels higher.
      const platform::Rect r = dialog.rect();
      const int up = std::min(20, dialog.screen_rect().top);
      gui::move_window(&dialog, r.translated(0, -up));
      return 1;
    }
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, item.id == res::kUserSettingsSave      ? 218
                              : item.id == res::kUserSettingsRestore ? 219
                                                                     : kCancelString);
      return 1;
    }
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kUserSettingsSave:
          send_user_settings_command(UserSettingsCommand::Save);
          break;
        case res::kUserSettingsRestore:
          send_user_settings_command(UserSettingsCommand::Restore);
          break;
        case res::kUserSettingsCancel:
          break;
        default:
          return 0;
      }
      gui::end_dialog(&dialog, gui::command_id(m));
      return 1;
    default:
      return 0;
  }
}

// The radio buttons show the interface the desired sensor-interface byte now holds for each
// sensor.
void show_sensor_choices(gui::Window& dialog) {
  const uint8_t value = desired_byte(link::kSensorInterfaces);
  const auto show = [&](MoistureSensor sensor, int analog_id, int network_id) {
    const bool network = sensor_interface(value, sensor) == SensorInterface::Network;
    if (gui::Window* b = gui::dialog_item(&dialog, network ? network_id : analog_id)) {
      if (!gui::button_checked(b)) gui::button_check_radio(b);
    }
  };
  show(MoistureSensor::Wet, res::kSensorWetAnalog, res::kSensorWetNetwork);
  show(MoistureSensor::Dry, res::kSensorDryAnalog, res::kSensorDryNetwork);
}

void choose_sensor_interface(gui::Window& dialog, MoistureSensor sensor,
                             SensorInterface interface) {
  link::set_desired_byte(link::kSensorInterfaces,
                         with_sensor_interface(desired_byte(link::kSensorInterfaces), sensor, interface));
  show_sensor_choices(dialog);
}

intptr_t sensor_selection_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::desire_reported(link::kSensorInterfaces);
      localize_item_text(dialog, res::kSensorWetGroup, 36);
      localize_item_text(dialog, res::kSensorDryGroup, 37);
      show_sensor_choices(dialog);
      return 1;
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kSensorWetAnalog:
          choose_sensor_interface(dialog, MoistureSensor::Wet, SensorInterface::Analog);
          return 1;
        case res::kSensorWetNetwork:
          choose_sensor_interface(dialog, MoistureSensor::Wet, SensorInterface::Network);
          return 1;
        case res::kSensorDryAnalog:
          choose_sensor_interface(dialog, MoistureSensor::Dry, SensorInterface::Analog);
          return 1;
        case res::kSensorDryNetwork:
          choose_sensor_interface(dialog, MoistureSensor::Dry, SensorInterface::Network);
          return 1;
        case res::kSensorAccept:
          link::raise_write_if_changed(PendingWrite::k287, link::kSensorInterfaces);
          gui::end_dialog(&dialog, res::kSensorAccept);
          return 1;
        case res::kSensorCancel:
          gui::end_dialog(&dialog, res::kSensorCancel);
          return 1;
        default:
          return 0;
      }
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_units_dialog(gui::Window* owner) {
  const bool si = link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0;
  const intptr_t answer =
      ask(res::kUnitsDialog, owner, si ? Question{136, 137} : Question{132, 133});
  if (answer == res::kQuestionYes) switch_units();
  return answer;
}

intptr_t open_metering_roll_reverse_dialog(gui::Window* owner) {
  const bool active = (mirror_byte(link::kOptionBits) & kReverseOptionBit) != 0;
  const intptr_t answer =
      ask(res::kMeteringRollReverseDialog, owner, Question{138, active ? 140 : 139});
  if (answer == res::kQuestionYes) toggle_metering_roll_reverse();
  return answer;
}

intptr_t open_user_settings_dialog(gui::Window* owner) {
  res::register_setup_dialog_templates();
  return gui::dialog_box(res::kUserSettingsDialog, owner, &user_settings_procedure);
}

intptr_t open_clear_batch_counter_dialog(gui::Window* owner) {
  const intptr_t answer = ask(res::kClearBatchCounterDialog, owner, Question{221, 220});
  if (answer == res::kQuestionYes) clear_batch_counter();
  return answer;
}

intptr_t ask_cycled_sampler(gui::Window* owner) {
  return ask(res::kCycledSamplerDialog, owner, Question{388, 389});
}

intptr_t open_sensor_selection_dialog(gui::Window* owner) {
  res::register_setup_dialog_templates();
  return gui::dialog_box(res::kSensorSelectionDialog, owner, &sensor_selection_procedure);
}

intptr_t open_language_selection(gui::Window* owner) {
  const intptr_t result = texts::open_language_dialog(owner);
  if (result > 0 && result != gui::kDialogCancelled) {
    call_reload_screen_texts();
    repaint_screens();
  }
  return result;
}

void switch_units() {
  link::DryerState& s = link::dryer_state();
  const uint8_t si = s.unit_flag.load(std::memory_order_relaxed) ? 0 : 1;
  s.unit_flag.store(si, std::memory_order_relaxed);
  const uint8_t value = uint8_t((byte_266_base() & ~kSiUnitsBit) | (si ? kSiUnitsBit : 0));
  link::raise_write(PendingWrite::k266, {{kUnitsAndOptions, value}});
  repaint_screens();
}

void toggle_metering_roll_reverse() {
  link::raise_write(PendingWrite::k49,
                    {{link::kOptionBits, uint8_t(mirror_byte(link::kOptionBits) ^ kReverseOptionBit)}});
}

void send_user_settings_command(UserSettingsCommand command) {
  link::raise_write(PendingWrite::k266,
                    {{kUnitsAndOptions, uint8_t(byte_266_base() | uint8_t(command))}});
}

void clear_batch_counter() { link::raise_write_hi_lo(PendingWrite::k221, link::kBatchCounter, 0); }

uint8_t with_sensor_interface(uint8_t byte287, MoistureSensor sensor, SensorInterface interface) {
  const int shift = int(sensor);
  uint8_t value = uint8_t(byte287 & ~(0x03 << shift));
  if (interface == SensorInterface::Network) value = uint8_t(value | (0x01 << shift));
  return value;
}

SensorInterface sensor_interface(uint8_t byte287, MoistureSensor sensor) {
  return ((byte287 >> int(sensor)) & 0x03) == 0 ? SensorInterface::Analog
                                                : SensorInterface::Network;
}

void repaint_screens() {
  static constexpr const char* kScreens[] = {
      resources::VIEW_SELECTION_WINDOW,
      resources::WARNING_WINDOW,
      resources::AVERAGE_VALUES_WINDOW,
      resources::BOOT_LOADER_WINDOW,
      resources::CUSTOM_VIEW_WINDOW,
      resources::UNLOAD_STATUS_WINDOW,
      resources::DRYER_RIGHT_STATUS_BAR_WINDOW,
      resources::TIMER_SELECT_WINDOW,
      resources::TEMP_SELECT_WINDOW,
      resources::SETUP_SELECTION_WINDOW,
      resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW,
      resources::GRAPH_WINDOW,
      resources::DRAW_GRAPH_WINDOW,
      resources::DRYER_PIC_WINDOW,
      resources::BATCH_DRYING_WINDOW,
      resources::AUTO_START_CONFIG_WINDOW,
      resources::LOAD_DELAY_CHILD_WINDOW,
      resources::OUT_OF_GRAIN_CHILD_WINDOW,
      resources::FAN_DELAY_CHILD_WINDOW,
      resources::UNLOAD_DELAY_CHILD_WINDOW,
      resources::PLENUM_SETPOINT_CHILD_WINDOW,
      resources::GRAIN_TEMP_SETPOINT_CHILD_WINDOW,
  };
  for (const char* screen : kScreens) gui::invalidate_class(screen);
}

void localize_item_text(gui::Window& dialog, int id, int number) {
  texts::set_localized_caption(gui::dialog_item(&dialog, id), number);
}

void draw_labelled_key(const gui::DrawItemContext& item, int label_string) {
  texts::draw_labelled_key(item, label_string, kKeyFont, -3, platform::text_format::kWordBreak);
}

}  // namespace corvex::settings
