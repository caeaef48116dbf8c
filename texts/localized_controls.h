#pragma once
// Controls that carry the selected language: the owner-drawn picture buttons, each showing a
// localized button image (texts/localized_bitmaps.h) and carrying the image's control name as
// window text ("LOAD_DELAY_BUTTON", "PLENUM_1_SP_BUTTON") so that a test finds it by name, and
// window captions taken from the localized strings.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace corvex::texts {

enum class Initially : uint8_t { Shown, Hidden };

// Creates the button at `at` (parent client coordinates) in the image's size; `text` replaces
// the control name where one image serves two buttons.
platform::gui::Window* create_picture_button(platform::gui::Window* parent, int bitmap_index,
                                             int id, platform::Point at,
                                             Initially initially = Initially::Shown,
                                             std::string_view text = {});

// Copies the image into the button, stretched to it. Without the image the button is drawn as
// a plain face with its window text.
void draw_picture_button(const platform::gui::DrawItemContext& item, int bitmap_index);

// Frees the images of these indexes (a screen's destroy).
void release_picture_images(std::span<const int> bitmap_indexes);

// Shows or hides a button only when that changes something.
void show_if_changed(platform::gui::Window* w, bool show);

// Sets the window's text to localized string `number` when that differs from it. Without a
// loaded text (an empty string) the text the window was created with stays. A null window is
// ignored.
void set_localized_caption(platform::gui::Window* w, int number);

}  // namespace corvex::texts
