#include "resources/moisture_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr uint32_t kKeyStyle = gui::style::kOwnerDraw;

void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  t.controls.push_back({std::string(gui::kButtonClass), std::move(text), id, kKeyStyle, r});
}

gui::DialogTemplate setpoint_template() {
  gui::DialogTemplate t;
  t.resource_id = kMoistureSetpointDialog;
  t.caption = " MOISTURE SETPOINT - 26";
  // 280 x 230 outside: a client of 274 x 204, left of the keypad.
  t.rect = Rect::from_xywh(20, 110, 280, 230);
  t.style = gui::dialog_style::kDialog;
  t.controls.push_back({std::string(gui::kStaticClass), "", kMoistureValueDisplay,
                        gui::control_style::kAlignCenter | gui::control_style::kVCenter |
                            gui::control_style::kFrame,
                        Rect::from_xywh(12, 12, 250, 56)});
  add_key(t, "MODIFY SETPOINT", kMoistureModifyButton, Rect::from_xywh(12, 82, 250, 50));
  add_key(t, "EXIT", kMoistureExitButton, Rect::from_xywh(12, 142, 250, 50));
  return t;
}

// The 3 x 4 grid: 7 8 9 / 4 5 6 / 1 2 3 / DELETE 0 ACCEPT, and EXIT across the bottom.
gui::DialogTemplate keypad_template() {
  gui::DialogTemplate t;
  t.resource_id = kMoistureKeypadDialog;
  t.caption = "MODIFY M/C SETPOINT";
  // 312 x 318 outside: a client of 306 x 292.
  t.rect = Rect::from_xywh(312, 94, 312, 318);
  t.style = gui::dialog_style::kDialog;
  constexpr int kKeyWidth = 90, kKeyHeight = 48, kGap = 8, kMargin = 10;
  auto key_rect = [&](int column, int row) {
    return Rect::from_xywh(kMargin + column * (kKeyWidth + kGap),
                           kMargin + row * (kKeyHeight + kGap), kKeyWidth, kKeyHeight);
  };
  for (int digit = 1; digit <= 9; ++digit) {
    const int row = 2 - (digit - 1) / 3;
    add_key(t, std::to_string(digit), keypad_digit_id(digit), key_rect((digit - 1) % 3, row));
  }
  add_key(t, "DELETE", kKeypadDelete, key_rect(0, 3));
  add_key(t, "0", kKeypadZero, key_rect(1, 3));
  add_key(t, "ACCEPT", kKeypadAccept, key_rect(2, 3));
  const Rect exit_row = key_rect(0, 4);
  add_key(t, "EXIT", kKeypadExit,
          Rect::from_xywh(exit_row.left, exit_row.top, 3 * kKeyWidth + 2 * kGap, kKeyHeight));
  return t;
}

}  // namespace

int keypad_digit_id(int digit) {
  if (digit == 0) return kKeypadZero;
  if (digit < 1 || digit > 9) return -1;
  // Row by row from the top: 7 8 9 are 1157..1159, 4 5 6 are 1160..1162, 1 2 3 are 1163..1165.
  const int row_from_top = 2 - (digit - 1) / 3;
  return 1157 + row_from_top * 3 + (digit - 1) % 3;
}

int keypad_digit_of(int id) {
  for (int digit = 0; digit <= 9; ++digit) {
    if (keypad_digit_id(digit) == id) return digit;
  }
  return -1;
}

void register_moisture_dialog_templates() {
  gui::register_controls();
  if (gui::find_dialog_template(kMoistureSetpointDialog) == nullptr) {
    gui::register_dialog_template(setpoint_template());
  }
  if (gui::find_dialog_template(kMoistureKeypadDialog) == nullptr) {
    gui::register_dialog_template(keypad_template());
  }
}

}  // namespace corvex::resources
