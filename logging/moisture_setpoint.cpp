#include "logging/moisture_setpoint.h"

#include <cstdio>
#include <string_view>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/moisture_dialogs.h"
#include "texts/labelled_key.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

constexpr int kDialogCaptionString = 143;
constexpr int kModifyString = 144;  // also the keypad's caption
constexpr int kExitString = 145;
constexpr int kDeleteString = 141;
constexpr int kAcceptString = 4;
constexpr platform::FontSpec kKeyFont{18, 700};

int g_entry_code = 0;
MoistureKeypadEntry g_entry;

// Entry code 4 (from auto-start) edits the incoming average moisture, controller parameter
// 281: two bytes, low byte first. Every other code edits the moisture setpoint.
constexpr int kIncomingMoistureCode = 4;
bool editing_incoming() { return g_entry_code == kIncomingMoistureCode; }
uint16_t reported_entry_value() {
  return editing_incoming() ? link::mirror_lo_hi(link::kIncomingAverage)
                            : reported_moisture_setpoint();
}

// A key: raised face, its label centred; the platform inverts it while held.
void draw_key(const gui::DrawItemContext& item, int label_string) {
  texts::draw_labelled_key(item, label_string, kKeyFont, -3);
}

void show_on_setpoint_display(gui::Window* setpoint_dialog, uint32_t number) {
  char text[24];
  format_keypad_number(number, text);
  gui::set_dialog_item_text(setpoint_dialog, res::kMoistureValueDisplay, text);
}

void on_keypad_accept(gui::Window& keypad) {
  uint16_t value = 0;
  if (moisture_keypad_accept(&value) == MoistureKeypadAccept::OutOfRange) {
    gui::message_box(&keypad, "The value entered is out of range.", "WARNING!",
                     gui::kMbOk | gui::kMbIconWarning);
    gui::end_dialog(&keypad, res::kKeypadExit);
    return;
  }
  // Stored only; the setpoint dialog raises the write once the keypad has closed.
  if (editing_incoming()) {
    link::set_desired_lo_hi(link::kIncomingAverage, value);
  } else {
    link::set_desired_hi_lo(link::kMoistureSetpoint, value);
  }
  gui::end_dialog(&keypad, res::kKeypadAccept);
}

void on_keypad_command(gui::Window& keypad, int id) {
  if (id == res::kKeypadAccept) {
    on_keypad_accept(keypad);
    return;
  }
  if (id == res::kKeypadExit) {
    gui::end_dialog(&keypad, res::kKeypadExit);
    return;
  }
  if (id == res::kKeypadDelete) {
    moisture_keypad_delete();
  } else if (const int digit = res::keypad_digit_of(id); digit >= 0) {
    moisture_keypad_digit(digit);
  } else {
    return;
  }
  show_on_setpoint_display(gui::dialog_owner(&keypad), g_entry.number);
}

intptr_t keypad_procedure(gui::Window& keypad, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      begin_moisture_keypad_entry();
      texts::set_localized_caption(&keypad, kModifyString);
      return 1;
    case gui::MessageKind::Paint:
      texts::set_localized_caption(&keypad, kModifyString);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_key(item, item.id == res::kKeypadDelete   ? kDeleteString
                     : item.id == res::kKeypadAccept ? kAcceptString
                     : item.id == res::kKeypadExit   ? kExitString
                                                     : 0);
      return 1;
    }
    case gui::MessageKind::Command:
      on_keypad_command(keypad, gui::command_id(m));
      return 1;
    default:
      return 0;
  }
}

void paint_setpoint_dialog(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, kDialogCaptionString);
  char text[24];
  format_reported_setpoint(text);
  gui::set_dialog_item_text(&dialog, res::kMoistureValueDisplay, text);
}

void on_modify_setpoint(gui::Window& dialog) {
  const intptr_t closed_with =
      gui::dialog_box(res::kMoistureKeypadDialog, &dialog, &keypad_procedure);
  if (closed_with != res::kKeypadAccept) {
    // Nothing changes, so the display drops the abandoned entry and shows the setpoint again.
    paint_setpoint_dialog(dialog);
    return;
  }
  if (editing_incoming()) {
    link::raise_write_if_changed(PendingWrite::k281, link::kIncomingAverage, 2);
  } else {
    link::raise_write_if_changed(PendingWrite::k199, link::kMoistureSetpoint, 2);
  }
}

intptr_t setpoint_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::register_redraw_window(link::RedrawTarget::MoistureSetpointDialog, &dialog);
      paint_setpoint_dialog(dialog);
      return 1;
    case gui::MessageKind::Paint:
      paint_setpoint_dialog(dialog);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_key(item, item.id == res::kMoistureModifyButton ? kModifyString
                     : item.id == res::kMoistureExitButton ? kExitString
                                                           : 0);
      return 1;
    }
    case gui::MessageKind::Command:
      if (gui::command_id(m) == res::kMoistureModifyButton) {
        on_modify_setpoint(dialog);
        return 1;
      }
      if (gui::command_id(m) == res::kMoistureExitButton) {
        gui::end_dialog(&dialog, res::kMoistureExitButton);
        return 1;
      }
      return 0;
    case gui::MessageKind::Destroy:
      if (link::redraw_window(link::RedrawTarget::MoistureSetpointDialog) == &dialog) {
        link::register_redraw_window(link::RedrawTarget::MoistureSetpointDialog, nullptr);
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_moisture_setpoint_dialog(gui::Window* owner, int entry_code) {
  g_entry_code = entry_code;
  res::register_moisture_dialog_templates();
  return gui::dialog_box(res::kMoistureSetpointDialog, owner, &setpoint_procedure);
}

int moisture_setpoint_entry_code() { return g_entry_code; }

MoistureKeypadEntry& moisture_keypad_entry() { return g_entry; }

void begin_moisture_keypad_entry() { g_entry.started = false; }

void moisture_keypad_digit(int digit) {
  if (digit < 0 || digit > 9) return;
  if (!g_entry.started) {
    g_entry.started = true;
    g_entry.number = 0;
  }
  const uint32_t next = g_entry.number * 10 + uint32_t(digit);
  if (next <= 0xFFFF) g_entry.number = next;
}

void moisture_keypad_delete() {
  if (!g_entry.started) {
    g_entry.started = true;
    g_entry.number = 0;
  }
  g_entry.number /= 10;
}

uint16_t moisture_keypad_accept_value() {
  if (!g_entry.started) {
    g_entry.started = true;
    g_entry.number = reported_entry_value();
  }
  return uint16_t(g_entry.number & 0xFFFF);
}

MoistureKeypadAccept moisture_keypad_accept(uint16_t* value) {
  const bool typed = g_entry.started;
  const uint16_t number = moisture_keypad_accept_value();
  if (typed && (number < kMoistureSetpointMinimum || number > kMoistureSetpointMaximum)) {
    return MoistureKeypadAccept::OutOfRange;
  }
  if (value != nullptr) *value = number;
  return MoistureKeypadAccept::Store;
}

void format_keypad_number(uint32_t number, std::span<char> out) {
  if (out.empty()) return;
  std::snprintf(out.data(), out.size(), "%02u.%01u %%", unsigned(number / 10),
                unsigned(number % 10));
}

void format_reported_setpoint(std::span<char> out) {
  if (out.empty()) return;
  const unsigned value = reported_entry_value();
  std::snprintf(out.data(), out.size(), "%u.%01u %%", value / 10, value % 10);
}

uint16_t reported_moisture_setpoint() { return link::mirror_hi_lo(link::kMoistureSetpoint); }

}  // namespace corvex::logging
