#include "settings/keypad_editor.h"

#include "link/dryer_state.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "texts/localized_controls.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;

void on_accept(gui::Window& dialog, const KeypadEditor& editor) {
  if (!editor.accept()) {
    gui::message_box(&dialog, "The value entered is out of range.", "WARNING!",
                     gui::kMbOk | gui::kMbIconWarning);
  }
  gui::end_dialog(&dialog, editor.accept_id);
}

bool on_command(gui::Window& dialog, int id, const KeypadEditor& editor) {
  if (id == editor.accept_id) {
    on_accept(dialog, editor);
  } else if (id == editor.cancel_id) {
    gui::end_dialog(&dialog, editor.cancel_id);
  } else if (editor.edit(id)) {
    gui::invalidate_rect(&dialog, editor.value_rect);
  } else {
    return false;
  }
  return true;
}

}  // namespace

intptr_t keypad_editor_procedure(gui::Window& dialog, const gui::Message& m,
                                 const KeypadEditor& editor) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      gui::center_window(&dialog, gui::dialog_owner(&dialog));
      // The editor is modal: the language cannot change while it is open.
      texts::set_localized_caption(&dialog, editor.caption_string);
      editor.begin();
      return 1;
    case gui::MessageKind::Paint:
      editor.paint(*gui::paint_context(m).canvas);
      return 1;
    case gui::MessageKind::DrawItem:
      editor.draw_key(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m), editor) ? 1 : 0;
    default:
      return 0;
  }
}

void write_edit_slot(int slot, uint8_t value) {
  if (slot >= 0 && slot < int(link::kStatusBytes)) {
    link::dryer_state().desired[size_t(slot)].store(value, std::memory_order_relaxed);
  }
}

}  // namespace corvex::settings
