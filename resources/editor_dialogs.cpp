#include "resources/editor_dialogs.h"

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

// A pad of 1-9 in three rows, then 0 and DELETE on the fourth row. The keys are 80 x 44 with
// 6 px between them, so a pad is 252 x 194.
void add_timer_pad(gui::DialogTemplate& t, int left, int top, const char* prefix, int digit0,
                   int delete_id) {
  constexpr int kKeyWidth = 80, kKeyHeight = 44, kGap = 6;
  for (int digit = 1; digit <= 9; ++digit) {
    const int column = (digit - 1) % 3;
    const int row = (digit - 1) / 3;
    add_key(t, std::string(prefix) + " " + std::to_string(digit), digit0 + digit,
            Rect::from_xywh(left + column * (kKeyWidth + kGap), top + row * (kKeyHeight + kGap),
                            kKeyWidth, kKeyHeight));
  }
  const int last_row = top + 3 * (kKeyHeight + kGap);
  add_key(t, std::string(prefix) + " 0", digit0,
          Rect::from_xywh(left, last_row, kKeyWidth, kKeyHeight));
  add_key(t, std::string(prefix) + " DELETE", delete_id,
          Rect::from_xywh(left + kKeyWidth + kGap, last_row, 2 * kKeyWidth + kGap, kKeyHeight));
}

gui::DialogTemplate timer_editor_template() {
  gui::DialogTemplate t;
  t.resource_id = kTimerEditorDialog;
  t.caption = "MODIFYING TIMER SETPOINT - 21";
  // 620 x 460 outside: a client of 614 x 434 under the caption.
  t.rect = Rect::from_xywh(10, 10, 620, 460);
  t.style = gui::dialog_style::kDialog;
  add_timer_pad(t, 20, 148, "MIN", kTimerMinutesDigit0, kTimerMinutesDelete);
  add_timer_pad(t, 342, 148, "SEC", kTimerSecondsDigit0, kTimerSecondsDelete);
  add_key(t, "DEFAULT", kTimerDefault, Rect::from_xywh(20, 372, 180, 50));
  add_key(t, "ACCEPT", kTimerAccept, Rect::from_xywh(217, 372, 180, 50));
  add_key(t, "CANCEL", kTimerCancel, Rect::from_xywh(414, 372, 180, 50));
  return t;
}

gui::DialogTemplate temperature_editor_template() {
  gui::DialogTemplate t;
  t.resource_id = kTemperatureEditorDialog;
  t.caption = "Modifying Temperature Setpoint - 22";
  // 420 x 440 outside: a client of 414 x 414.
  t.rect = Rect::from_xywh(110, 20, 420, 440);
  t.style = gui::dialog_style::kDialog;
  constexpr int kKeyWidth = 100, kKeyHeight = 48, kGap = 8, kLeft = 49, kTop = 78;
  auto key_rect = [&](int column, int row) {
    return Rect::from_xywh(kLeft + column * (kKeyWidth + kGap), kTop + row * (kKeyHeight + kGap),
                           kKeyWidth, kKeyHeight);
  };
  for (int digit = 1; digit <= 9; ++digit) {
    add_key(t, std::to_string(digit), kTemperatureDigit0 + digit,
            key_rect((digit - 1) % 3, (digit - 1) / 3));
  }
  add_key(t, "DELETE", kTemperatureDelete, key_rect(0, 3));
  add_key(t, "0", kTemperatureDigit0, key_rect(1, 3));
  add_key(t, "CLEAR", kTemperatureClear, key_rect(2, 3));
  // The command row, under the pad: 78 + 4 x 56 = 302.
  constexpr int kRowTop = 310;
  add_key(t, "DEFAULT", kTemperatureDefault, Rect::from_xywh(12, kRowTop, 124, 56));
  add_key(t, "ACCEPT", kTemperatureAccept, Rect::from_xywh(145, kRowTop, 124, 56));
  add_key(t, "CANCEL", kTemperatureCancel, Rect::from_xywh(278, kRowTop, 124, 56));
  return t;
}

}  // namespace

void register_editor_dialog_templates() {
  gui::register_controls();
  if (gui::find_dialog_template(kTimerEditorDialog) == nullptr) {
    gui::register_dialog_template(timer_editor_template());
  }
  if (gui::find_dialog_template(kTemperatureEditorDialog) == nullptr) {
    gui::register_dialog_template(temperature_editor_template());
  }
}

}  // namespace corvex::resources
