#pragma once
// The owner-drawn picture buttons of the timer and temperature screens: each shows a localized
// button image (texts/localized_bitmaps.h) and carries the image's control name as window text
// ("LOAD_DELAY_BUTTON", "PLENUM_1_SP_BUTTON"), so that a test finds it by name.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace corvex::settings {

enum class Initially : uint8_t { Shown, Hidden };

// Creates the button at `at` (parent client coordinates) in the image's size; `text` replaces
// the control name where one image serves two buttons.
platform::gui::Window* create_picture_button(platform::gui::Window* parent, int bitmap_index,
                                             int id, platform::Point at,
                                             Initially initially = Initially::Shown,
                                             std::string_view text = {});

// Copies the image into the button. The image is loaded on first use and again after the
// language changed; a file that cannot be read is not tried again until then, and the button
// is drawn as a plain face with its window text.
void draw_picture_button(const platform::gui::DrawItemContext& item, int bitmap_index);

// Frees the images of these indexes (a screen's destroy).
void release_picture_images(std::span<const int> bitmap_indexes);

// Shows or hides a button only when that changes something.
void show_if_changed(platform::gui::Window* w, bool show);

}  // namespace corvex::settings
