#include "settings/select_screen.h"

#include "platform/gui/controls.h"
#include "texts/localized_bitmaps.h"
#include "texts/localized_controls.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr int kReturnImage = 3;  // the setup button of the button bar
constexpr int kReturnImages[] = {kReturnImage};

void on_create(gui::Window& w, const SelectScreen& screen) {
  screen.register_panels();
  for (const SelectScreenPanel& panel : screen.panels) {
    gui::CreateParams p;
    p.class_name = panel.class_name;
    p.text = panel.caption;
    p.style = gui::style::kChild | gui::style::kVisible | gui::style::kCaption;
    p.rect = panel.rect;
    p.parent = &w;
    gui::create_window(p);
  }
  const Rect client = w.client_rect();
  const platform::Size size = texts::localized_bitmap_size(kReturnImage);
  texts::create_picture_button(&w, kReturnImage, screen.return_button_id,
                               {(client.width() - size.width) / 2, client.bottom - size.height - 8},
                               texts::Initially::Shown, "SETUP");
}

}  // namespace

intptr_t select_screen_procedure(gui::Window& w, const gui::Message& m,
                                 const SelectScreen& screen) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      on_create(w, screen);
      texts::set_localized_caption(&w, screen.caption_string);
      return 0;
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, screen.caption_string);
      return 0;
    case gui::MessageKind::DrawItem: {
      const gui::DrawItemContext& item = gui::draw_item_context(m);
      if (item.id == screen.return_button_id) texts::draw_picture_button(item, kReturnImage);
      return 1;
    }
    case gui::MessageKind::Command:
      if (gui::command_id(m) == screen.return_button_id) {
        gui::show_window(&w, false);
        screen.on_return(w);
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

}  // namespace corvex::settings
