#include "resources/history_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
constexpr uint32_t kMark = cs::kCheckBox | cs::kManualCheck;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_button(gui::DialogTemplate& t, std::string text, int id, Rect r, uint32_t style = 0) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kMultiLine | style, r);
}

// The whole screen: the list over the three sort marks, the three sort keys, then copy, help and
// EXIT along the bottom.
gui::DialogTemplate shutdown_history_template() {
  gui::DialogTemplate t;
  t.resource_id = kShutdownHistoryDialog;
  t.caption = "Shutdown History -29";
  t.rect = Rect::from_xywh(0, 0, 640, 480);
  t.style = kCentered;
  add(t, gui::kListViewClass, "", kHistoryList, 0, Rect::from_xywh(5, 4, 624, 244));
  // The marks wrap onto a second line where a language's text is long.
  constexpr uint32_t kSortMark = kMark | gui::style::kMultiLine;
  add(t, gui::kButtonClass, "Sorted by warning.", kHistorySortedWarning, kSortMark,
      Rect::from_xywh(8, 252, 200, 38));
  add(t, gui::kButtonClass, "Sorted by date/time.", kHistorySortedTime, kSortMark,
      Rect::from_xywh(218, 252, 200, 38));
  add(t, gui::kButtonClass, "Sorted by node id.", kHistorySortedNode, kSortMark,
      Rect::from_xywh(428, 252, 200, 38));
  add_button(t, "SORT BY WARNING", kHistorySortWarning, Rect::from_xywh(8, 294, 200, 48));
  add_button(t, "SORT BY DATE/TIME", kHistorySortTime, Rect::from_xywh(218, 294, 200, 48));
  add_button(t, "SORT BY    NODE ID", kHistorySortNode, Rect::from_xywh(428, 294, 200, 48));
  add_button(t, "COPY TO USB FLASH CARD AS \"DryerShutdownHistory.txt\"", kHistoryCopy,
             Rect::from_xywh(8, 354, 260, 88));
  add_button(t, "Show Help File", kHistoryShowHelp, Rect::from_xywh(280, 354, 170, 88));
  add_button(t, "EXIT", kHistoryExit, Rect::from_xywh(462, 354, 166, 88));
  add_button(t, "CLEAR HISTORY", kHistoryClear, Rect::from_xywh(462, 300, 10, 10),
             gui::dialog_style::kHidden);
  return t;
}

// 440 x 230 outside: the message above three keys.
gui::DialogTemplate question_template(int resource_id, const char* caption, const char* text) {
  gui::DialogTemplate t;
  t.resource_id = resource_id;
  t.caption = caption;
  t.rect = Rect::from_xywh(100, 125, 440, 230);
  t.style = kCentered;
  add(t, gui::kStaticClass, text, kQuestionText, gui::style::kMultiLine | cs::kAlignCenter,
      Rect::from_xywh(16, 14, 402, 100));
  add_button(t, "YES", kQuestionFirst, Rect::from_xywh(16, 130, 128, 56));
  add_button(t, "NO", kQuestionSecond, Rect::from_xywh(153, 130, 128, 56));
  add_button(t, "CANCEL", kQuestionThird, Rect::from_xywh(290, 130, 128, 56));
  return t;
}

// 500 x 400: the on/off group above the file group, EXIT at the bottom.
gui::DialogTemplate data_logger_template() {
  gui::DialogTemplate t;
  t.resource_id = kDataLoggerDialog;
  t.caption = "DAY DATA LOGGER SETUP - 19";
  t.rect = Rect::from_xywh(70, 40, 500, 400);
  t.style = kCentered;
  add(t, gui::kButtonClass, "", 1001, cs::kGroupBox, Rect::from_xywh(8, 4, 478, 110));
  add_button(t, "ON", kDataLoggerOn, Rect::from_xywh(24, 24, 120, 48));
  add_button(t, "OFF", kDataLoggerOff, Rect::from_xywh(250, 24, 120, 48));
  add(t, gui::kButtonClass, "ON", kDataLoggerOnMark, kMark, Rect::from_xywh(150, 34, 90, 28));
  add(t, gui::kButtonClass, "OFF", kDataLoggerOffMark, kMark, Rect::from_xywh(376, 34, 90, 28));
  add(t, gui::kStaticClass, "Used Space:", kDataLoggerUsedLabel, 0,
      Rect::from_xywh(24, 80, 150, 24));
  add(t, gui::kStaticClass, "0 %", kDataLoggerUsedText, 0, Rect::from_xywh(180, 80, 120, 24));
  add(t, gui::kButtonClass, "", 1002, cs::kGroupBox, Rect::from_xywh(8, 120, 478, 170));
  add_button(t, "DELETE DATA LOG FILE", kDataLoggerDelete, Rect::from_xywh(24, 138, 446, 60));
  add_button(t, "SEND DATA LOG FILES TO USB FLASH CARD", kDataLoggerSend,
             Rect::from_xywh(24, 210, 446, 60));
  add_button(t, "EXIT", kDataLoggerExit, Rect::from_xywh(170, 302, 154, 60));
  return t;
}

// 460 x 320: six lines above EXIT.
gui::DialogTemplate system_info_template() {
  gui::DialogTemplate t;
  t.resource_id = kSystemInfoDialog;
  t.caption = " SYSTEM INFORMATION / SOFTWARE VERSION - 32";
  t.rect = Rect::from_xywh(90, 60, 460, 320);
  t.style = gui::dialog_style::kDialog;
  const int ids[] = {kSystemInfoVersion, kSystemInfoTime,      kSystemInfoDate,
                     kSystemInfoTotal,   kSystemInfoAvailable, kSystemInfoNotice};
  const char* texts[] = {"", "", "", "total ram", "ram available", ""};
  for (int i = 0; i < 6; ++i) {
    add(t, gui::kStaticClass, texts[i], ids[i], 0, Rect::from_xywh(16, 10 + 36 * i, 422, 30));
  }
  add_button(t, "EXIT", kSystemInfoExit, Rect::from_xywh(150, 228, 154, 56));
  return t;
}

void register_if_absent(gui::DialogTemplate t) {
  if (gui::find_dialog_template(t.resource_id) == nullptr)
    gui::register_dialog_template(std::move(t));
}

}  // namespace

void register_history_dialog_templates() {
  gui::register_controls();
  register_if_absent(shutdown_history_template());
  register_if_absent(question_template(kHistoryClearQuestion, "CLEAR HISTORY",
                                       "Delete every record of the shutdown history?"));
  register_if_absent(question_template(kHistoryCopyQuestion, "COPY TO USB",
                                       "Copy the shutdown history to the USB flash drive?"));
  register_if_absent(question_template(kHistoryDriveMissing, "USB FLASH CARD NOT PRESENT",
                                       "Insert a USB flash drive, then press YES to try again."));
  register_if_absent(data_logger_template());
  register_if_absent(system_info_template());
}

}  // namespace corvex::resources
