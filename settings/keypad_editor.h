#pragma once
// The skeleton of the keypad editors (the temperature and the timer setpoint editors): centred
// over the owner under its localized caption, the value and its labels painted by the editor,
// labelled keys, editing keys that redraw the value, ACCEPT with the out-of-range warning, and
// CANCEL.
#include <cstdint>

#include "platform/gfx/canvas.h"
#include "platform/gui/controls.h"
#include "platform/gui/window.h"

namespace corvex::settings {

struct KeypadEditor {
  int caption_string;
  int accept_id;
  int cancel_id;
  platform::Rect value_rect;  // redrawn after each editing key
  void (*begin)();            // on opening
  void (*paint)(platform::Canvas& canvas);
  void (*draw_key)(const platform::gui::DrawItemContext& item);
  bool (*edit)(int id);  // a digit or editing key: true when the id was one
  bool (*accept)();      // true when the value lay in range and was written
};

// The window procedure of a keypad editor described by `editor`.
intptr_t keypad_editor_procedure(platform::gui::Window& dialog, const platform::gui::Message& m,
                                 const KeypadEditor& editor);

// Writes one DesiredValues slot named by an edit request; a slot outside the status bytes is
// left alone.
void write_edit_slot(int slot, uint8_t value);

}  // namespace corvex::settings
