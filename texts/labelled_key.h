#pragma once
// The keys of the keypads and question dialogs: a raised face with its label centred, the label
// in the current language where a string number is given, else the key's window text (so a key
// still says what it does without a language file). The platform inverts a held key.
#include "platform/gfx/font.h"
#include "platform/gui/controls.h"

namespace corvex::texts {

// label_string 0 (or a string the table lacks) falls back to `text`, and a null `text` to the
// control's window text. `format` adds text-format flags to the centring (word break ...).
void draw_labelled_key(const platform::gui::DrawItemContext& item, int label_string,
                       const platform::FontSpec& font, int inset_y, unsigned format = 0,
                       const char* text = nullptr);

}  // namespace corvex::texts
