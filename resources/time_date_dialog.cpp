#include "resources/time_date_dialog.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}
void add_label(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kStaticClass, std::move(text), id, cs::kAlignCenter, r);
}

// One column: the label, UP, the value and DOWN, from `top`.
void add_column(gui::DialogTemplate& t, const char* name, int label_id, int up_id, int field_id,
                int down_id, int x, int top, int width) {
  add_label(t, name, label_id, Rect::from_xywh(x, top, width, 22));
  add_key(t, std::string(name) + " UP", up_id, Rect::from_xywh(x, top + 24, width, 50));
  add_label(t, "", field_id, Rect::from_xywh(x, top + 82, width, 28));
  add_key(t, std::string(name) + " DOWN", down_id, Rect::from_xywh(x, top + 116, width, 50));
}

gui::DialogTemplate time_date_template() {
  gui::DialogTemplate t;
  t.resource_id = kTimeDateDialog;
  t.caption = "Set Time / Date - 18";
  t.rect = Rect::from_xywh(0, 0, 640, 480);  // client 634 x 454
  t.style = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
  add_column(t, "MINUTE", kTimeMinuteLabel, kTimeMinuteUp, kTimeMinuteField, kTimeMinuteDown, 10,
             6, 150);
  add_column(t, "HOUR", kTimeHourLabel, kTimeHourUp, kTimeHourField, kTimeHourDown, 170, 6, 150);
  add_label(t, "AM/PM", kTimeAmPmLabel, Rect::from_xywh(340, 6, 284, 22));
  add_key(t, "AM", kTimeAm, Rect::from_xywh(340, 30, 284, 50));
  add_label(t, "", kTimeAmPmField, Rect::from_xywh(340, 88, 284, 28));
  add_key(t, "PM", kTimePm, Rect::from_xywh(340, 122, 284, 50));
  add_column(t, "MONTH", kTimeMonthLabel, kTimeMonthUp, kTimeMonthField, kTimeMonthDown, 10, 184,
             180);
  add_column(t, "DATE", kTimeDateLabel, kTimeDateUp, kTimeDateField, kTimeDateDown, 200, 184, 120);
  add_column(t, "YEAR", kTimeYearLabel, kTimeYearUp, kTimeYearField, kTimeYearDown, 330, 184, 120);
  add_column(t, "DAY", kTimeDayLabel, kTimeDayUp, kTimeDayField, kTimeDayDown, 460, 184, 164);
  add_label(t, "", kTimeNote, Rect::from_xywh(10, 356, 614, 24));
  add_key(t, "CANCEL", kTimeCancel, Rect::from_xywh(10, 386, 300, 60));
  add_key(t, "ACCEPT", kTimeAccept, Rect::from_xywh(324, 386, 300, 60));
  return t;
}

}  // namespace

void register_time_date_dialog_template() { gui::register_dialog_template(time_date_template()); }

}  // namespace corvex::resources
