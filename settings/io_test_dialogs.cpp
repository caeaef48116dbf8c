#include "settings/io_test_dialogs.h"

#include <string>

#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/diagnostics_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;

// Output-activated bits of the display I/O board; the short-circuit bits of each output sit in
// the same bit of the byte 62 below.
constexpr uint16_t kActivatedJ1 = 239;
constexpr uint16_t kActivatedJ2 = 240;
constexpr uint16_t kShortedOffsetBelow = 62;
// The bytes of the switch test, by row: the four connectors, the control switches, the dryer
// type switch.
constexpr uint16_t kSwitchRowBytes[res::kSwitchRows] = {179, 180, 181, 182, 183, 225};

constexpr int kHelpString = 3;
constexpr int kExitString = 145;

void set_check(gui::Window& dialog, int id, bool checked) {
  gui::Window* box = gui::dialog_item(&dialog, id);
  if (box != nullptr && gui::button_checked(box) != checked) gui::button_set_check(box, checked);
}

void show_light_outputs(gui::Window& dialog) {
  for (int k = 0; k < res::kLightOutputs; ++k) {
    const OutputBit b = activated_bit(k);
    set_check(dialog, res::kLightFirstActivated + k, link::mirror_bit(b.offset, b.bit));
    set_check(dialog, res::kLightFirstShorted + k,
              link::mirror_bit(uint16_t(b.offset - kShortedOffsetBelow), b.bit));
  }
}

void close_light_output_test(gui::Window& dialog, intptr_t result) {
  link::register_redraw_window(link::RedrawTarget::LightOutputTest, nullptr);
  gui::end_dialog(&dialog, result);
}

intptr_t light_output_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::register_redraw_window(link::RedrawTarget::LightOutputTest, &dialog);
      texts::set_localized_caption(&dialog, 380);
      for (int k = 0; k < res::kLightOutputs; ++k) {
        localize_item_text(dialog, res::kLightFirstActivated + k, 381);
        localize_item_text(dialog, res::kLightFirstShorted + k, 382);
      }
      show_light_outputs(dialog);
      return 1;
    case gui::MessageKind::Paint:
      show_light_outputs(dialog);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, item.id == res::kLightHelp ? kHelpString : kExitString);
      return 1;
    }
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kLightHelp:
          show_help_file(&dialog, "CheckLightOutputsHelp.txt", 387);
          return 1;
        case res::kLightExit:
          close_light_output_test(dialog, gui::command_id(m));
          return 1;
        default:
          // A tap on a box changes nothing: the boxes only show what the board reports.
          show_light_outputs(dialog);
          return 1;
      }
    case gui::MessageKind::Close:
      close_light_output_test(dialog, gui::kDialogCancelled);
      return 1;
    default:
      return 0;
  }
}

void show_switches(gui::Window& dialog) {
  for (int row = 0; row < res::kSwitchRows; ++row) {
    for (int bit = 0; bit < 8; ++bit)
      set_check(dialog, res::switch_box_id(row, bit),
                link::mirror_bit(kSwitchRowBytes[row], unsigned(bit)));
  }
}

void localize_switch_groups(gui::Window& dialog) {
  const std::string inputs = texts::localized_text(383);
  if (!inputs.empty()) {
    for (int k = 0; k < 4; ++k) {
      gui::set_dialog_item_text(&dialog, res::kSwitchGroupJ3 + k,
                                "J" + std::to_string(3 + k) + " " + inputs);
    }
  }
  localize_item_text(dialog, res::kSwitchGroupEncoder, 384);
  localize_item_text(dialog, res::kSwitchGroupDipSwitch, 385);
  localize_item_text(dialog, res::kSwitchGroupDryerType, 386);
}

void close_switch_test(gui::Window& dialog, intptr_t result) {
  link::register_redraw_window(link::RedrawTarget::SwitchTest, nullptr);
  gui::end_dialog(&dialog, result);
}

intptr_t switch_test_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::register_redraw_window(link::RedrawTarget::SwitchTest, &dialog);
      texts::set_localized_caption(&dialog, 205);
      localize_switch_groups(dialog);
      show_switches(dialog);
      return 1;
    case gui::MessageKind::Paint:
      show_switches(dialog);
      return 0;
    case gui::MessageKind::DrawItem:
      draw_labelled_key(gui::draw_item_context(m), kExitString);
      return 1;
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kSwitchExit:
          close_switch_test(dialog, gui::command_id(m));
          return 1;
        default:
          show_switches(dialog);
          return 1;
      }
    case gui::MessageKind::Close:
      close_switch_test(dialog, gui::kDialogCancelled);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

OutputBit activated_bit(int output) {
  // J1-01..J1-08 are bits 0..7 of the first byte; J2-01..J2-08 are bits 7..0 of the second.
  if (output < 8) return {kActivatedJ1, unsigned(output)};
  return {kActivatedJ2, unsigned(15 - output)};
}

void show_help_file(gui::Window* owner, const char* file_name, int title) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8(file_name, 1999, text);
  gui::message_box(owner, text, texts::localized_text(title), gui::kMbOk);
}

intptr_t open_light_output_test(gui::Window* owner) {
  res::register_diagnostics_dialog_templates();
  return gui::dialog_box(res::kLightOutputTestDialog, owner, &light_output_procedure);
}

intptr_t open_switch_test(gui::Window* owner) {
  res::register_diagnostics_dialog_templates();
  return gui::dialog_box(res::kSwitchTestDialog, owner, &switch_test_procedure);
}

}  // namespace corvex::settings
