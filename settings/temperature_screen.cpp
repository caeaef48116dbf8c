// TEMP_SELECT_WINDOW: the plenum setpoint panel above the grain temperature panel, and the
// return button.
#include "settings/temperature_screen.h"

#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "texts/localized_bitmaps.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

uint8_t temp_screen_opened_from_auto_start = 0;

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr int kReturnImage = 3;  // the setup button of the button bar
constexpr int kReturnImages[] = {kReturnImage};

void create_panel(gui::Window& screen, const char* class_name, const char* caption, const Rect& r) {
  gui::CreateParams p;
  p.class_name = class_name;
  p.text = caption;
  p.style = gui::style::kChild | gui::style::kVisible | gui::style::kCaption;
  p.rect = r;
  p.parent = &screen;
  gui::create_window(p);
}

void on_create(gui::Window& w) {
  register_temperature_panel_classes();
  create_panel(w, resources::PLENUM_SETPOINT_CHILD_WINDOW,
               " Plenum Temperature Setpoint Adjustment (Range = 50 to 250 F -> 10 to 120 C)",
               Rect::from_xywh(4, 2, 630, 240));
  create_panel(w, resources::GRAIN_TEMP_SETPOINT_CHILD_WINDOW,
               " Grain Temperature Setpoint Adjustment (Range = 50 to 150 F -> 10 to 71 C)",
               Rect::from_xywh(4, 248, 630, 150));
  const Rect client = w.client_rect();
  const platform::Size size = texts::localized_bitmap_size(kReturnImage);
  texts::create_picture_button(&w, kReturnImage, kTemperatureScreenReturnButtonId,
                               {(client.width() - size.width) / 2, client.bottom - size.height - 8},
                               texts::Initially::Shown, "SETUP");
}

void on_paint(gui::Window& w) { texts::set_localized_caption(&w, 193); }

// Back to where the screen was opened from: the auto-start configuration, or the setup menu.
void on_return(gui::Window& w) {
  gui::show_window(&w, false);
  if (temp_screen_opened_from_auto_start != 0) {
    gui::show_class(resources::AUTO_START_CONFIG_WINDOW, true);
    gui::invalidate_class(resources::AUTO_START_CONFIG_WINDOW);
  } else {
    gui::show_class(resources::SETUP_SELECTION_WINDOW, true);
  }
}

intptr_t temp_select_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      on_create(w);
      return 0;
    case gui::MessageKind::Paint:
      on_paint(w);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto* item = &gui::draw_item_context(m);
      if (item->id == kTemperatureScreenReturnButtonId)
        texts::draw_picture_button(*item, kReturnImage);
      return 1;
    }
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kTemperatureScreenReturnButtonId) {
        on_return(w);
        return 0;
      }
      break;
    case gui::MessageKind::Destroy:
      texts::release_picture_images(kReturnImages);
      return 0;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

}  // namespace

void register_temperature_screen_classes() {
  gui::register_controls();
  gui::register_class(
      {resources::TEMP_SELECT_WINDOW, &temp_select_procedure, platform::colors::kBlack, true});
  register_temperature_panel_classes();
}

}  // namespace corvex::settings
