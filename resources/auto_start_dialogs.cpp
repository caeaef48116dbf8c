#include "resources/auto_start_dialogs.h"

#include <string>

#include "platform/gui/controls.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}

// 620 x 440 outside: eleven lines of text above the OK button.
gui::DialogTemplate make_switch_template() {
  gui::DialogTemplate t;
  t.resource_id = kAutoStartSwitchDialog;
  t.caption = "Auto-Start Control Panel Switch Requirements";
  t.rect = Rect::from_xywh(10, 20, 620, 440);
  t.style = kCentered;
  for (int i = 0; i < kSwitchLineCount; ++i) {
    add(t, gui::kStaticClass, "", kSwitchFirstLine + i, cs::kVCenter,
        Rect::from_xywh(14, 8 + 30 * i, 586, 28));
  }
  add_key(t, "OK", kSwitchOk, Rect::from_xywh(230, 348, 150, 50));
  return t;
}

// 460 x 230 outside: the question above three buttons.
gui::DialogTemplate make_question_template() {
  gui::DialogTemplate t;
  t.resource_id = kAutoStartQuestionDialog;
  t.caption = "Auto-Start";
  t.rect = Rect::from_xywh(90, 125, 460, 230);
  t.style = kCentered;
  add(t, gui::kStaticClass, "", kAutoStartQuestionText, gui::style::kMultiLine | cs::kAlignCenter,
      Rect::from_xywh(16, 14, 422, 100));
  add_key(t, "Yes", kAutoStartYes, Rect::from_xywh(16, 130, 130, 56));
  add_key(t, "No", kAutoStartNo, Rect::from_xywh(162, 130, 130, 56));
  add_key(t, "CANCEL", kAutoStartCancel, Rect::from_xywh(308, 130, 130, 56));
  return t;
}

// The whole panel: the heading band and the progress picture are painted by the dialog, the
// two buttons sit under the time axis.
gui::DialogTemplate make_status_template() {
  gui::DialogTemplate t;
  t.resource_id = kAutoStartStatusDialog;
  t.caption = "Auto-Start Status";
  t.rect = Rect::from_xywh(0, 0, 640, 480);
  t.style = gui::dialog_style::kDialog;
  add_key(t, "Cancel Auto-Start", kStatusCancelAutoStart, Rect::from_xywh(70, 370, 220, 56));
  add_key(t, "Minimize", kStatusMinimize, Rect::from_xywh(350, 370, 220, 56));
  return t;
}

}  // namespace

const gui::DialogTemplate& auto_start_switch_template() {
  static const gui::DialogTemplate t = make_switch_template();
  return t;
}

const gui::DialogTemplate& auto_start_question_template() {
  static const gui::DialogTemplate t = make_question_template();
  return t;
}

const gui::DialogTemplate& auto_start_status_template() {
  static const gui::DialogTemplate t = make_status_template();
  return t;
}

}  // namespace corvex::resources
