#pragma once
// The skeleton of the setup screens that hold setting panels and a return button (the
// temperature screen and the timer screen): each names its panels, caption, return button and
// where the return leads; this builds the screen and answers its messages.
#include <cstdint>
#include <span>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace corvex::settings {

struct SelectScreenPanel {
  const char* class_name;
  const char* caption;
  platform::Rect rect;
};

struct SelectScreen {
  std::span<const SelectScreenPanel> panels;
  int caption_string;    // localized caption of the screen
  int return_button_id;  // the picture button under the panels
  void (*register_panels)();
  void (*on_return)(platform::gui::Window& screen);  // after the screen has hidden itself
};

// The window procedure of a select screen described by `screen`.
intptr_t select_screen_procedure(platform::gui::Window& w, const platform::gui::Message& m,
                                 const SelectScreen& screen);

}  // namespace corvex::settings
