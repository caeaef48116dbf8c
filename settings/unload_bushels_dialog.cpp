// " UNLOAD BUSHELS SETUP SCREEN - 17": the bushels-per-hour multiplier (parameter 163, percent)
// and the total bushel counter, which CLEAR zeroes through bit 3 of the command byte.
#include <cstdio>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/hold_repeat.h"
#include "platform/gui/message_box.h"
#include "resources/calibration_dialogs.h"
#include "settings/calibration_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

constexpr uint8_t kZeroTotal = 0x08;  // bit 3 of the command byte
constexpr uint32_t kCountsPerBushel = 3600;

void set_item_text(gui::Window& dialog, int id, const std::string& text) {
  gui::Window* item = gui::dialog_item(&dialog, id);
  if (item != nullptr && item->text() != text) gui::set_window_text(item, text);
}

void show_multiplier(gui::Window& dialog) {
  char text[24];
  std::snprintf(text, sizeof text, "  %d %%", int(link::desired_byte(link::kCalibration)));
  set_item_text(dialog, res::kBphMultiplier, text);
}

// The count changes while grain flows (and when it is zeroed); the decoder redraws the dialog.
void show_total(gui::Window& dialog) {
  char text[24];
  std::snprintf(text, sizeof text, " %u", unsigned(total_bushels()));
  set_item_text(dialog, res::kBphTotal, text);
}

void localize(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, 97);
  localize_item_text(dialog, res::kBphClearGroup, 98);
  localize_item_text(dialog, res::kBphMultiplierGroup, 100);
}

int key_label(int id) {
  switch (id) {
    case res::kBphClear:
      return 99;
    case res::kBphIncrease:
      return 8;
    case res::kBphDecrease:
      return 9;
    case res::kBphAccept:
      return 4;
    case res::kBphHelp:
      return 3;
    default:
      return 0;
  }
}

void ask_clear(gui::Window& dialog) {
  if (gui::message_box(&dialog, "Do you wish to ZERO total bushels?", " TOTAL BUSHEL COUNTER",
                       gui::kMbYesNoCancel | gui::kMbIconQuestion) == gui::kIdYes)
    request_total_bushels_zero();
}

void show_help(gui::Window& dialog) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8("BphCalibHelp.txt", 1999, text);
  gui::message_box(&dialog, text, texts::localized_text(363), gui::kMbOkCancel);
}

void close(gui::Window& dialog, intptr_t result) {
  link::register_redraw_window(link::RedrawTarget::CalibrationDialog, nullptr);
  gui::end_dialog(&dialog, result);
}

intptr_t on_command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kBphIncrease:
    case res::kBphDecrease:
      if (step_bushel_multiplier(id == res::kBphIncrease ? 1 : -1)) show_multiplier(dialog);
      return 1;
    case res::kBphClear:
      ask_clear(dialog);
      return 1;
    case res::kBphHelp:
      show_help(dialog);
      return 1;
    case res::kBphAccept:
      accept_unload_bushels();
      close(dialog, id);
      return 1;
    default:
      return 0;
  }
}

intptr_t unload_bushels_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      start_unload_bushels();
      link::register_redraw_window(link::RedrawTarget::CalibrationDialog, &dialog);
      gui::set_hold_repeat(gui::dialog_item(&dialog, res::kBphIncrease), true);
      gui::set_hold_repeat(gui::dialog_item(&dialog, res::kBphDecrease), true);
      localize(dialog);
      show_multiplier(dialog);
      show_total(dialog);
      return 1;
    case gui::MessageKind::Paint:
      show_total(dialog);
      return 1;
    case gui::MessageKind::DrawItem:
      draw_labelled_key(gui::draw_item_context(m), key_label(gui::draw_item_context(m).id));
      return 1;
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m));
    case gui::MessageKind::Close:
      close(dialog, gui::kDialogCancelled);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_unload_bushels_dialog(gui::Window* owner) {
  res::register_calibration_dialog_templates();
  return gui::dialog_box(res::kUnloadBushelsDialog, owner, &unload_bushels_procedure);
}

void start_unload_bushels() { link::desire_reported(link::kCalibration); }

bool step_bushel_multiplier(int delta) {
  const int value = link::desired_byte(link::kCalibration);
  if ((delta > 0 && value >= kMultiplierMax) || (delta < 0 && value <= kMultiplierMin))
    return false;
  link::set_desired_byte(link::kCalibration, uint8_t(value + delta));
  return true;
}

void accept_unload_bushels() {
  link::raise_write_if_changed(PendingWrite::k163, link::kCalibration);
}

void request_total_bushels_zero() {
  link::raise_write(PendingWrite::k238,
                    {{link::kCommand, uint8_t(link::desired_byte(link::kCommand) | kZeroTotal)}});
}

uint32_t total_bushels() {
  const uint32_t count = uint32_t(link::mirror_lo_hi(link::kTotal)) |
                         uint32_t(link::mirror_lo_hi(uint16_t(link::kTotal + 2))) << 16;
  return count / kCountsPerBushel;
}

}  // namespace corvex::settings
