#pragma once
// The language selection dialog (dialog resource 84, "Select Language to Use"), opened from the
// extended setup screen: thirteen buttons, each with the language's own name and its English
// name, the current language's button checked.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::texts {

inline constexpr int kLanguageDialogResource = 84;

// Registers the dialog's template; calling it again changes nothing.
void register_language_dialog_template();

// Opens the dialog modally; returns the id of the button pressed (the language is switched by
// then), or the dialog's cancel result when it was closed otherwise.
intptr_t open_language_dialog(platform::gui::Window* owner);

// The dialog procedure; returns nonzero when it handled the message.
intptr_t language_dialog_procedure(platform::gui::Window& dialog,
                                   const platform::gui::Message& m);

// The label of a language's button: its own name, a line break, its English name in brackets.
std::string language_button_label(int index);

}  // namespace corvex::texts
