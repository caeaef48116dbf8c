#include "resources/burner_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

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

// Six groups in two rows of three, the ALL buttons under them, CANCEL and ACCEPT at the bottom.
gui::DialogTemplate burner_mode_template() {
  gui::DialogTemplate t;
  t.resource_id = kBurnerModeDialog;
  t.caption = "Select Burner Mode - 10";
  t.rect = Rect::from_xywh(0, 0, 640, 480);  // client 634 x 454
  t.style = kCentered;
  static constexpr const char* kMarks[] = {"ON/OFF", "HIGH/LOW", "AUTO"};
  for (int n = 1; n <= 6; ++n) {
    const int col = (n - 1) % 3;
    const int row = (n - 1) / 3;
    const Rect box = Rect::from_xywh(6 + col * 209, 4 + row * 152, 203, 148);
    add(t, gui::kButtonClass, "FAN/HEATER #" + std::to_string(n), kBurnerFirstCaption + n - 1,
        cs::kGroupBox, box);
    for (int k = 0; k < 3; ++k) {
      add(t, gui::kButtonClass, kMarks[k], kBurnerFirstMark + 3 * (n - 1) + k,
          cs::kRadioButton | cs::kManualCheck | (k == 0 ? cs::kGroup : 0u),
          Rect::from_xywh(box.left + 8, box.top + 20 + 24 * k, box.width() - 16, 24));
    }
    add_key(t, "SELECT #" + std::to_string(n), kBurnerFirstSelect + n - 1,
            Rect::from_xywh(box.left + 8, box.bottom - 50, box.width() - 16, 44));
  }
  static constexpr const char* kAll[] = {"ALL ON/OFF", "ALL HIGH/LOW", "ALL AUTO"};
  for (int k = 0; k < 3; ++k)
    add_key(t, kAll[k], kBurnerAllFirst + k, Rect::from_xywh(6 + k * 209, 312, 203, 56));
  add_key(t, "CANCEL", kBurnerCancel, Rect::from_xywh(6, 380, 300, 64));
  add_key(t, "ACCEPT", kBurnerAccept, Rect::from_xywh(328, 380, 300, 64));
  return t;
}

// The six values are painted by the dialog in two columns (x 15 and 197, rows at y 20, 112
// and 205, plenums 6, 5, 4 on the right); each plenum's button sits under its value. The
// differential choices are a column on the right.
gui::DialogTemplate burner_differential_template() {
  gui::DialogTemplate t;
  t.resource_id = kBurnerDifferentialDialog;
  t.caption = "MODIFYING BURNER DIFFERENTIAL SETTINGS - 15";
  t.rect = Rect::from_xywh(0, 30, 640, 420);  // client 634 x 394
  t.style = kCentered;
  struct Plenum {
    int id;
    int x;
    int y;
  };
  static constexpr Plenum kPlenums[] = {
      {kDiffPlenum1, 15, 205}, {kDiffPlenum2, 15, 112}, {kDiffPlenum3, 15, 20},
      {kDiffPlenum4, 197, 205}, {kDiffPlenum5, 197, 112}, {kDiffPlenum6, 197, 20},
  };
  int n = 1;
  for (const Plenum& p : kPlenums) {
    add_key(t, "PLENUM #" + std::to_string(n++), p.id, Rect::from_xywh(p.x, p.y + 24, 172, 52));
  }
  for (int d = 1; d <= 5; ++d) {
    add_key(t, "+/- " + std::to_string(d), kDiffOneDegree + 1 - d,
            Rect::from_xywh(400, 10 + (d - 1) * 58, 220, 52));
  }
  add_key(t, "HELP", kDiffHelp, Rect::from_xywh(15, 310, 250, 64));
  add_key(t, "ACCEPT", kDiffAccept, Rect::from_xywh(370, 310, 250, 64));
  return t;
}

}  // namespace

void register_burner_dialog_templates() {
  gui::register_dialog_template(burner_mode_template());
  gui::register_dialog_template(burner_differential_template());
}

}  // namespace corvex::resources
