#include "settings/diagnostics_dialog.h"

#include <string>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/diagnostics_dialogs.h"
#include "resources/window_classes.h"
#include "settings/calibration_dialogs.h"
#include "settings/io_test_dialogs.h"
#include "settings/output_voltage_dialog.h"
#include "settings/screen_hooks.h"
#include "settings/setup_dialogs.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

constexpr uint8_t kAirSwitchTestingOffBit = 0x04;  // bit 2 of a fan/heater's control byte
constexpr uint8_t kSensorShutdownOffBit = 0x20;    // bit 5 of the option bits
// Bit 3 of fan/heater #1's state byte: one of the two conditions under which testing goes back
// on by itself (the other: no highest-priority alarm).
constexpr unsigned kAirSwitchResetBit = 3;

constexpr int kYesString = 134;
constexpr int kNoString = 135;
constexpr int kCancelString = 10;
constexpr int kTestingOnLabel = 207;   // "Disable Air Switch Testing"
constexpr int kTestingOffLabel = 208;  // "Enable Air Switch Testing"

// The record of a fan/heater's control byte, by fan/heater number 1..6.
constexpr PendingWrite kControlWrites[6] = {PendingWrite::k106, PendingWrite::k105,
                                            PendingWrite::k104, PendingWrite::k103,
                                            PendingWrite::k102, PendingWrite::k101};

bool air_switch_blocked() { return link::mirror_bit(link::fan_state(1), kAirSwitchResetBit); }

// ---- The three confirmations ----

enum class Question : uint8_t { MrSpeedViaScreen, MrSensorShutdown, AirSwitch };

struct ConfirmationState {
  Question question = Question::AirSwitch;
  bool second_yes = false;  // the air-switch question's first Yes has been given
};
ConfirmationState g_confirmation;

struct ConfirmationTexts {
  int caption;
  int line1;
  int line2;  // 0: one line only
};

ConfirmationTexts confirmation_texts() {
  switch (g_confirmation.question) {
    case Question::MrSpeedViaScreen:
      if (link::dryer_state().mr_speed_via_screen.load() != 0) return {410, 409, 0};
      return {408, 406, 407};
    case Question::MrSensorShutdown:
      if (link::mirror_byte(link::kOptionBits) & kSensorShutdownOffBit) return {412, 414, 0};
      return {411, 413, 415};
    case Question::AirSwitch:
      break;
  }
  if (air_switch_blocked()) return {417, 416, 0};
  if (air_switch_testing_disabled_reported()) return {417, 418, 0};
  return {417, g_confirmation.second_yes ? 420 : 419, 0};
}

void show_confirmation_texts(gui::Window& dialog) {
  const ConfirmationTexts t = confirmation_texts();
  texts::set_localized_caption(&dialog, t.caption);
  std::string text = texts::localized_text(t.line1);
  if (t.line2 != 0) text += "\n" + texts::localized_text(t.line2);
  if (!text.empty() && text != "\n") gui::set_dialog_item_text(&dialog, res::kConfirmText, text);
}

intptr_t confirmation_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      show_confirmation_texts(dialog);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, item.id == res::kConfirmYes  ? kYesString
                              : item.id == res::kConfirmNo ? kNoString
                                                           : kCancelString);
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (id == res::kConfirmYes && g_confirmation.question == Question::AirSwitch &&
          !answer_air_switch_yes(g_confirmation.second_yes)) {
        g_confirmation.second_yes = true;
        show_confirmation_texts(dialog);
        gui::invalidate(&dialog);
        return 1;
      }
      if (id == res::kConfirmYes || id == res::kConfirmNo || id == res::kConfirmCancel) {
        gui::end_dialog(&dialog, id);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

intptr_t ask(gui::Window& owner, int resource, Question question) {
  g_confirmation = ConfirmationState{question, false};
  return gui::dialog_box(resource, &owner, &confirmation_procedure);
}

// ---- The diagnostics screen ----

void localize_diagnostics(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, 202);
  localize_item_text(dialog, res::kDiagIoGroup, 203);
  localize_item_text(dialog, res::kDiagAirSwitchGroup, 206);
  localize_item_text(dialog, res::kDiagAirSwitchCheck, 209);
  localize_item_text(dialog, res::kDiagMeteringGroup, 210);
}

// The air-switch check box and the label of its button.
void show_air_switch(gui::Window& dialog) {
  const bool disabled = apply_air_switch_rule();
  if (gui::Window* box = gui::dialog_item(&dialog, res::kDiagAirSwitchCheck)) {
    if (gui::button_checked(box) != disabled) gui::button_set_check(box, disabled);
  }
  const char* label = disabled ? "Enable Air Switch Testing" : "Disable Air Switch Testing";
  gui::Window* button = gui::dialog_item(&dialog, res::kDiagAirSwitchButton);
  if (button != nullptr && button->text() != label)
    gui::set_dialog_item_text(&dialog, res::kDiagAirSwitchButton, label);
}

int diagnostics_key_label(const gui::DrawItemContext& item) {
  switch (item.id) {
    case res::kDiagLightOutputs:
      return 204;
    case res::kDiagSwitchWiring:
      return 205;
    case res::kDiagAirSwitchButton:
      return item.control->text() == "Enable Air Switch Testing" ? kTestingOffLabel
                                                                 : kTestingOnLabel;
    case res::kDiagSetupMeteringRolls:
      return 211;
    case res::kDiagMrSpeedViaScreen:
      return 212;
    case res::kDiagMrSensorShutdown:
      return 213;
    case res::kDiagCalibrateSensors:
      return 214;
    case res::kDiagHelp:
      return 3;
    default:
      return 145;
  }
}

void close_diagnostics(gui::Window& dialog, intptr_t result) {
  link::register_redraw_window(link::RedrawTarget::Diagnostics, nullptr);
  gui::end_dialog(&dialog, result);
}

// Opens what a button of the screen leads to; false for an id that is not one of them.
bool open_from_diagnostics(gui::Window& dialog, int id) {
  switch (id) {
    case res::kDiagLightOutputs:
      open_light_output_test(&dialog);
      break;
    case res::kDiagSwitchWiring:
      open_switch_test(&dialog);
      break;
    case res::kDiagAirSwitchButton:
      ask(dialog, res::kAirSwitchQuestion, Question::AirSwitch);
      break;
    case res::kDiagSetupMeteringRolls:
      open_output_voltage_dialog(&dialog);
      break;
    case res::kDiagMrSpeedViaScreen:
      if (ask(dialog, res::kMrSpeedViaScreenQuestion, Question::MrSpeedViaScreen) ==
          res::kConfirmYes)
        toggle_mr_speed_via_screen();
      break;
    case res::kDiagMrSensorShutdown:
      if (ask(dialog, res::kMrSensorShutdownQuestion, Question::MrSensorShutdown) ==
          res::kConfirmYes)
        toggle_mr_sensor_shutdown();
      break;
    case res::kDiagCalibrateSensors:
      open_moisture_calibration_dialog(&dialog);
      break;
    case res::kDiagHelp:
      show_help_file(&dialog, "DiagnosticScreenHelp.txt", 390);
      break;
    default:
      return false;
  }
  return true;
}

intptr_t diagnostics_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::register_redraw_window(link::RedrawTarget::Diagnostics, &dialog);
      // Option changes start from what the controller reports now.
      link::desire_reported(link::kOptionBits);
      link::desire_reported(link::fan_control(6), 6);
      localize_diagnostics(dialog);
      return 1;
    case gui::MessageKind::Paint:
      show_air_switch(dialog);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, diagnostics_key_label(item));
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (id == res::kDiagExit) {
        close_diagnostics(dialog, id);
      } else if (open_from_diagnostics(dialog, id)) {
        gui::invalidate(&dialog);
      }
      return 1;  // a tap on the check box changes nothing
    }
    case gui::MessageKind::Close:
      close_diagnostics(dialog, gui::kDialogCancelled);
      return 1;
    default:
      return 0;
  }
}

// ---- BOOT_LOADER_WINDOW ----

constexpr int kExitBootLoaderId = 34896;
constexpr platform::Color kGridColor = platform::rgb(200, 200, 200);
constexpr platform::FontSpec kBootFont{14, 400};

void paint_boot_loader(gui::Window& w, platform::Canvas& canvas) {
  const platform::Rect client = w.client_rect();
  for (int y = 25; y <= 375; y += 25)
    canvas.draw_line({client.left, y}, {client.right - 1, y}, kGridColor);
  canvas.frame_rect(client, platform::colors::kBlack);
  canvas.draw_text("DISPLAY I/O:                 |||||||||||||||||||||||",
                   {client.left + 10, 4, client.right - 10, 22}, kBootFont,
                   platform::colors::kBlack);
}

// The exit key, drawn up or pressed.
void draw_exit_boot_loader(const gui::DrawItemContext& item) {
  item.canvas->fill_rect(item.rect, platform::colors::kFace);
  item.canvas->frame_rect(item.rect, platform::colors::kBlack);
  gui::draw_edge(*item.canvas, item.rect.inflated(-1, -1),
                 item.pressed ? gui::Edge::Sunken : gui::Edge::Raised);
  const platform::Rect text = item.pressed ? item.rect.translated(1, 1) : item.rect;
  item.canvas->draw_text("EXIT", text, {16, 700}, platform::colors::kBlack,
                         platform::text_format::kCenter | platform::text_format::kVCenter |
                             platform::text_format::kSingleLine);
}

intptr_t boot_loader_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create: {
      const platform::Rect client = w.client_rect();
      gui::CreateParams p;
      p.class_name = std::string(gui::kButtonClass);
      p.text = "EXIT_BOOTLOADER_BUTTON";
      p.style = gui::style::kChild | gui::style::kVisible | gui::style::kOwnerDraw |
                gui::control_style::kOwnerDrawsPressed;
      p.rect = platform::Rect::from_xywh((client.width() - 160) / 2, 392, 160, 50);
      p.parent = &w;
      p.id = kExitBootLoaderId;
      gui::create_window(p);
      return 0;
    }
    case gui::MessageKind::Paint:
      paint_boot_loader(w, *gui::paint_context(m).canvas);
      return 0;
    case gui::MessageKind::DrawItem:
      draw_exit_boot_loader(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kExitBootLoaderId) {
        gui::show_window(&w, false);
        call_return_to_main_screen();
        return 0;
      }
      break;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

}  // namespace

intptr_t open_diagnostics_dialog(gui::Window* owner) {
  res::register_diagnostics_dialog_templates();
  return gui::dialog_box(res::kDiagnosticsDialog, owner, &diagnostics_procedure);
}

void register_boot_loader_class() {
  gui::register_controls();
  gui::register_class(
      {resources::BOOT_LOADER_WINDOW, &boot_loader_procedure, platform::colors::kWhite, true});
}

int fan_heaters_present(uint8_t count_code) {
  static constexpr int kCounts[] = {1, 2, 3, 4, 6};
  return count_code < 5 ? kCounts[count_code] : 1;
}

bool air_switch_testing_disabled_reported() {
  for (int n = 1; n <= 6; ++n)
    if (link::mirror_byte(link::fan_control(n)) & kAirSwitchTestingOffBit) return true;
  return false;
}

void set_air_switch_testing_disabled(bool disabled) {
  const int present = fan_heaters_present(link::mirror_byte(link::kFanHeaterCode));
  for (int n = 1; n <= present; ++n) {
    const uint16_t slot = link::fan_control(n);
    const uint8_t old = link::desired_byte(slot);
    const uint8_t value =
        disabled ? uint8_t(old | kAirSwitchTestingOffBit) : uint8_t(old & ~kAirSwitchTestingOffBit);
    link::raise_write(kControlWrites[n - 1], {{slot, value}});
  }
}

bool apply_air_switch_rule() {
  if (!air_switch_testing_disabled_reported()) return false;
  if (air_switch_blocked() && !link::mirror_bit(link::kHighestAlarm, link::kHighestAlarmBit)) {
    set_air_switch_testing_disabled(false);
    return false;
  }
  return true;
}

bool answer_air_switch_yes(bool second_yes) {
  if (air_switch_blocked()) return true;
  if (air_switch_testing_disabled_reported()) {
    set_air_switch_testing_disabled(false);
    return true;
  }
  if (!second_yes) return false;
  set_air_switch_testing_disabled(true);
  return true;
}

void toggle_mr_sensor_shutdown() {
  const bool off_now = (link::mirror_byte(link::kOptionBits) & kSensorShutdownOffBit) != 0;
  const uint8_t slot = link::desired_byte(link::kOptionBits);
  const uint8_t value =
      off_now ? uint8_t(slot & ~kSensorShutdownOffBit) : uint8_t(slot | kSensorShutdownOffBit);
  link::raise_write(PendingWrite::k49, {{link::kOptionBits, value}});
}

void toggle_mr_speed_via_screen() {
  link::DryerState& s = link::dryer_state();
  s.mr_speed_via_screen.store(s.mr_speed_via_screen.load() ? 0 : 1);
}

}  // namespace corvex::settings
