#include "resources/display_settings_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
// A mark only shows the choice; each starts its own group, since the dialogs set all four.
constexpr uint32_t kMark = cs::kRadioButton | cs::kManualCheck | cs::kGroup;
constexpr int kMarkSize = 44;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}
// A mark and its key on one row; the mark sits centred on the key's height at its left.
void add_choice(gui::DialogTemplate& t, std::string text, int mark_id, int key_id, int x, int y,
                int key_width, int key_height) {
  add(t, gui::kButtonClass, "", mark_id, kMark,
      Rect::from_xywh(x, y + (key_height - kMarkSize) / 2, kMarkSize, kMarkSize));
  add_key(t, std::move(text), key_id, Rect::from_xywh(x + kMarkSize + 8, y, key_width, key_height));
}

// 360 x 340 outside, a client of 354 x 314: four scale rows above ACCEPT/EXIT.
gui::DialogTemplate graph_setup_template() {
  gui::DialogTemplate t;
  t.resource_id = kGraphSetupDialog;
  t.caption = "GRAPH SETUP - 25";
  t.rect = Rect::from_xywh(140, 70, 360, 340);
  t.style = kCentered;
  const char* labels[kGraphScaleChoices] = {"1 HOUR", "2 HOURS", "4 HOURS", "8 HOURS"};
  for (int i = 0; i < kGraphScaleChoices; ++i) {
    add_choice(t, labels[i], kGraphScaleMarkFirst + i, kGraphScaleKeyFirst + i, 24, 12 + 58 * i,
               260, 48);
  }
  add_key(t, "ACCEPT/EXIT", kGraphAcceptExit, Rect::from_xywh(76, 250, 260, 52));
  return t;
}

// 500 x 440 outside, a client of 494 x 414: the explanation, the four sample times, the note
// on batch cycle sampling, then ACCEPT and CLEAR TABLE.
gui::DialogTemplate sample_time_template() {
  gui::DialogTemplate t;
  t.resource_id = kSampleTimeDialog;
  t.caption = "Select Data Log Sample Time - 35";
  t.rect = Rect::from_xywh(70, 20, 500, 440);
  t.style = kCentered;
  add(t, gui::kStaticClass, "How often a sample is added to the status chart:",
      kSampleTimeExplanation, gui::style::kMultiLine, Rect::from_xywh(16, 8, 462, 44));
  struct Choice {
    const char* text;
    int mark;
    int key;
  };
  const Choice choices[] = {{"1 MINUTE", kSampleOneMinuteMark, kSampleOneMinuteKey},
                            {"5 MINUTES", kSampleFiveMinutesMark, kSampleFiveMinutesKey},
                            {"10 MINUTES", kSampleTenMinutesMark, kSampleTenMinutesKey},
                            {"15 MINUTES", kSampleFifteenMinutesMark, kSampleFifteenMinutesKey}};
  for (int i = 0; i < 4; ++i) {
    add_choice(t, choices[i].text, choices[i].mark, choices[i].key, 100, 58 + 56 * i, 240, 48);
  }
  add(t, gui::kStaticClass, "Batch cycle sampling takes one sample per batch.",
      kSampleTimeBatchNote, gui::style::kMultiLine, Rect::from_xywh(16, 284, 462, 48));
  add_key(t, "ACCEPT", kSampleTimeAccept, Rect::from_xywh(16, 342, 222, 56));
  add_key(t, "CLEAR TABLE", kSampleTimeClearTable, Rect::from_xywh(256, 342, 222, 56));
  return t;
}

// 440 x 230 outside, a client of 434 x 204: the question above Yes and No.
gui::DialogTemplate clear_table_template() {
  gui::DialogTemplate t;
  t.resource_id = kClearTableDialog;
  t.caption = "CLEAR TABLE";
  t.rect = Rect::from_xywh(100, 125, 440, 230);
  t.style = kCentered;
  add(t, gui::kStaticClass,
      "Delete every sample of the status chart? The short-term data log files are removed.",
      kClearTableText, gui::style::kMultiLine | cs::kAlignCenter, Rect::from_xywh(16, 14, 402, 100));
  add_key(t, "Yes", kClearTableYes, Rect::from_xywh(40, 130, 160, 56));
  add_key(t, "No", kClearTableNo, Rect::from_xywh(234, 130, 160, 56));
  return t;
}

}  // namespace

void register_display_settings_dialog_templates() {
  gui::register_controls();
  if (gui::find_dialog_template(kGraphSetupDialog) == nullptr) {
    gui::register_dialog_template(graph_setup_template());
  }
  if (gui::find_dialog_template(kSampleTimeDialog) == nullptr) {
    gui::register_dialog_template(sample_time_template());
  }
  if (gui::find_dialog_template(kClearTableDialog) == nullptr) {
    gui::register_dialog_template(clear_table_template());
  }
}

}  // namespace corvex::resources
