// "GRAPH SETUP - 25": the time scale of the graph, 1, 2, 4 or 8 hours.
#include <string>

#include "logging/display_settings.h"
#include "logging/settings_dialogs.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/display_settings_dialogs.h"
#include "resources/window_classes.h"
#include "texts/labelled_key.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr int kCaptionString = 453;
constexpr int kFirstScaleString = 454;  // 454..457: 1, 2, 4, 8 hours
constexpr int kAcceptExitString = 4;
constexpr platform::FontSpec kKeyFont{18, 700};

// The scale the marks show. A choice is only shown until ACCEPT/EXIT; keeping it beside the
// dialog (and not only in the marks) lets a repaint of the dialog keep the operator's choice.
int chosen_scale(const gui::Window& dialog) { return int(dialog.user_data); }
void choose_scale(gui::Window& dialog, int index) { dialog.user_data = index; }

void show_marks(gui::Window& dialog) {
  for (int i = 0; i < res::kGraphScaleChoices; ++i) {
    set_mark(dialog, res::kGraphScaleMarkFirst + i, i == chosen_scale(dialog));
  }
}

void paint(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, kCaptionString);
  show_marks(dialog);
}

// The scale index of the first checked mark (none checked: 0).
uint32_t checked_scale(gui::Window& dialog) {
  for (int i = 0; i < res::kGraphScaleChoices; ++i) {
    gui::Window* mark = gui::dialog_item(&dialog, res::kGraphScaleMarkFirst + i);
    if (mark != nullptr && gui::button_checked(mark)) return uint32_t(i);
  }
  return 0;
}

void accept(gui::Window& dialog) {
  DisplaySettings& s = display_settings();
  s.graph_scale_index = checked_scale(dialog);
  write_setting_byte("GRAPH_HORIZONTAL_SCALE", uint8_t(s.graph_scale_index));
  gui::invalidate_class(resources::GRAPH_WINDOW);
  gui::invalidate_class(resources::DRAW_GRAPH_WINDOW);
  gui::end_dialog(&dialog, res::kGraphAcceptExit);
}

bool on_command(gui::Window& dialog, int id) {
  if (id == res::kGraphAcceptExit) {
    accept(dialog);
    return true;
  }
  // A key or its mark checks that mark only; nothing is stored yet.
  for (int i = 0; i < res::kGraphScaleChoices; ++i) {
    if (id == res::kGraphScaleKeyFirst + i || id == res::kGraphScaleMarkFirst + i) {
      choose_scale(dialog, i);
      show_marks(dialog);
      return true;
    }
  }
  return false;
}

}  // namespace

intptr_t graph_setup_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog: {
      // An index outside 0..3 shows the first mark and becomes 0.
      DisplaySettings& s = display_settings();
      if (s.graph_scale_index > 3) s.graph_scale_index = 0;
      choose_scale(dialog, int(s.graph_scale_index));
      paint(dialog);
      return 1;
    }
    case gui::MessageKind::Paint:
      paint(dialog);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      const int key = item.id - res::kGraphScaleKeyFirst;
      draw_settings_key(item, key >= 0 && key < res::kGraphScaleChoices ? kFirstScaleString + key
                                                                       : kAcceptExitString);
      return 1;
    }
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m)) ? 1 : 0;
    default:
      return 0;
  }
}

intptr_t open_graph_setup_dialog(gui::Window* owner) {
  res::register_display_settings_dialog_templates();
  return gui::dialog_box(res::kGraphSetupDialog, owner, &graph_setup_procedure);
}

// ---- Shared by the display-settings dialogs ----

void draw_settings_key(const gui::DrawItemContext& item, int label_string) {
  texts::draw_labelled_key(item, label_string, kKeyFont, -3, platform::text_format::kWordBreak);
}

void set_mark(gui::Window& dialog, int mark_id, bool checked) {
  if (gui::Window* mark = gui::dialog_item(&dialog, mark_id)) gui::button_set_check(mark, checked);
}

}  // namespace corvex::logging
