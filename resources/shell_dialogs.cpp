#include "resources/shell_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
using platform::Rect;

gui::DialogTemplate defaults_notice_template() {
  gui::DialogTemplate t;
  t.resource_id = kDefaultsNoticeDialog;
  t.caption = "Please turn off DEFAULTS dipswitch! - 33";
  // 420 x 210 outside: the text above a finger-sized EXIT button.
  t.rect = Rect::from_xywh(110, 135, 420, 210);
  t.style = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
  t.controls.push_back(
      {std::string(gui::kStaticClass),
       "The DEFAULTS dipswitch of the dryer controller is on. While it stays on, the controller "
       "loads its factory settings when it starts. Turn the dipswitch off, then press EXIT.",
       kDefaultsNoticeText, gui::control_style::kAlignCenter, Rect::from_xywh(14, 12, 386, 100)});
  t.controls.push_back({std::string(gui::kButtonClass), "EXIT", kDefaultsNoticeExit, 0,
                        Rect::from_xywh(130, 120, 150, 50)});
  return t;
}

}  // namespace

void register_shell_dialog_templates() {
  gui::register_controls();
  if (gui::find_dialog_template(kDefaultsNoticeDialog) == nullptr) {
    gui::register_dialog_template(defaults_notice_template());
  }
}

}  // namespace corvex::resources
