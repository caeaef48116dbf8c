#include "settings/setup_dialogs.h"

#include <algorithm>

#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/setup_dialogs.h"
#include "shell/navigation.h"
#include "shell/window_classes.h"
#include "texts/language_dialog.h"
#include "texts/labelled_key.h"
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
// Bit 7 of byte 266 is the unit of measure; bits 0 and 1 are one-shot commands to the
// controller (restore and save the user settings).
constexpr uint8_t kSiUnitsBit = 0x80;
constexpr uint8_t kOneShotBits = 0x03;
constexpr uint8_t kReverseOptionBit = 0x10;  // bit 4 of byte 49

uint8_t mirror(int offset) {
  return link::dryer_state().mirror[offset].load(std::memory_order_relaxed);
}
uint8_t desired(int offset) {
  return link::dryer_state().desired[offset].load(std::memory_order_relaxed);
}

// What a new write of byte 266 starts from: a record still waiting to go out keeps its bits
// (a units change made a moment ago is not undone by SAVE), otherwise the current value without
// the one-shot command bits, so that an earlier save or restore is never sent again.
uint8_t byte_266_base() {
  if (link::write_raised(PendingWrite::k266)) return desired(266);
  return uint8_t(mirror(266) & ~kOneShotBits);
}

struct Question {
  int caption_string;
  int question_string;
};

intptr_t question_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog: {
      const auto* q = reinterpret_cast<const Question*>(m.lparam);
      localize_caption(dialog, q->caption_string);
      localize_item_text(dialog, res::kQuestionText, q->question_string);
      return 1;
    }
    case gui::MessageKind::DrawItem: {
      const auto& item = *reinterpret_cast<const gui::DrawItemContext*>(m.lparam);
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
      localize_caption(dialog, 215);
      localize_item_text(dialog, res::kUserSettingsLine1, 216);
      localize_item_text(dialog, res::kUserSettingsLine2, 217);
      // Centred over the menu by the template, then 20 pixels higher.
      const platform::Rect r = dialog.rect();
      const int up = std::min(20, dialog.screen_rect().top);
      gui::move_window(&dialog, r.translated(0, -up));
      return 1;
    }
    case gui::MessageKind::DrawItem: {
      const auto& item = *reinterpret_cast<const gui::DrawItemContext*>(m.lparam);
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

// The radio buttons show the interface the desired byte 287 now holds for each sensor.
void show_sensor_choices(gui::Window& dialog) {
  const uint8_t value = desired(287);
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
  link::dryer_state().desired[287].store(with_sensor_interface(desired(287), sensor, interface),
                                         std::memory_order_relaxed);
  show_sensor_choices(dialog);
}

intptr_t sensor_selection_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::dryer_state().desired[287].store(mirror(287), std::memory_order_relaxed);
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
          if (desired(287) != mirror(287)) link::raise_write(PendingWrite::k287);
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
  const bool active = (mirror(49) & kReverseOptionBit) != 0;
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
    shell::reload_screen_texts();
    repaint_screens();
  }
  return result;
}

void switch_units() {
  link::DryerState& s = link::dryer_state();
  const uint8_t si = s.unit_flag.load(std::memory_order_relaxed) ? 0 : 1;
  s.unit_flag.store(si, std::memory_order_relaxed);
  const uint8_t value = uint8_t((byte_266_base() & ~kSiUnitsBit) | (si ? kSiUnitsBit : 0));
  link::raise_write(PendingWrite::k266, {{266, value}});
  repaint_screens();
}

void toggle_metering_roll_reverse() {
  link::raise_write(PendingWrite::k49, {{49, uint8_t(mirror(49) ^ kReverseOptionBit)}});
}

void send_user_settings_command(UserSettingsCommand command) {
  link::raise_write(PendingWrite::k266, {{266, uint8_t(byte_266_base() | uint8_t(command))}});
}

void clear_batch_counter() { link::raise_write(PendingWrite::k221, {{221, 0}, {222, 0}}); }

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
      shell::VIEW_SELECTION_WINDOW,
      shell::WARNING_WINDOW,
      shell::AVERAGE_VALUES_WINDOW,
      shell::BOOT_LOADER_WINDOW,
      shell::CUSTOM_VIEW_WINDOW,
      shell::UNLOAD_STATUS_WINDOW,
      shell::DRYER_RIGHT_STATUS_BAR_WINDOW,
      shell::TIMER_SELECT_WINDOW,
      shell::TEMP_SELECT_WINDOW,
      shell::SETUP_SELECTION_WINDOW,
      shell::EXTENDED_SETUP_SELECTION_WINDOW_NEW,
      shell::GRAPH_WINDOW,
      shell::DRAW_GRAPH_WINDOW,
      shell::DRYER_PIC_WINDOW,
      shell::BATCH_DRYING_WINDOW,
      shell::AUTO_START_CONFIG_WINDOW,
      shell::LOAD_DELAY_CHILD_WINDOW,
      shell::OUT_OF_GRAIN_CHILD_WINDOW,
      shell::FAN_DELAY_CHILD_WINDOW,
      shell::UNLOAD_DELAY_CHILD_WINDOW,
      shell::PLENUM_SETPOINT_CHILD_WINDOW,
      shell::GRAIN_TEMP_SETPOINT_CHILD_WINDOW,
  };
  for (const char* screen : kScreens) gui::invalidate_class(screen);
}

void localize_caption(gui::Window& dialog, int number) {
  texts::StringBuffer text;
  text[0] = '\0';
  texts::localized_string(number, text);
  if (text[0] != '\0' && dialog.text() != text.data()) gui::set_window_text(&dialog, text.data());
}

void localize_item_text(gui::Window& dialog, int id, int number) {
  gui::Window* item = gui::dialog_item(&dialog, id);
  if (item != nullptr) localize_caption(*item, number);
}

void draw_labelled_key(const gui::DrawItemContext& item, int label_string) {
  texts::draw_labelled_key(item, label_string, kKeyFont, -3, platform::text_format::kWordBreak);
}

}  // namespace corvex::settings
