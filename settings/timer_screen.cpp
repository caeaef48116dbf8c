// TIMER_SELECT_WINDOW: the four timer panels in a 2 x 2 grid and the return button.
#include "settings/timer_screen.h"

#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "texts/localized_bitmaps.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr int kPanelWidth = 314;
constexpr int kPanelHeight = 190;
constexpr int kReturnImage = 3;  // the setup button of the button bar
constexpr int kReturnImages[] = {kReturnImage};

void create_panel(gui::Window& screen, const char* class_name, const char* caption, int column,
                  int row) {
  gui::CreateParams p;
  p.class_name = class_name;
  p.text = caption;
  p.style = gui::style::kChild | gui::style::kVisible | gui::style::kCaption;
  p.rect = Rect::from_xywh(4 + column * (kPanelWidth + 2), 4 + row * (kPanelHeight + 4),
                           kPanelWidth, kPanelHeight);
  p.parent = &screen;
  gui::create_window(p);
}

void on_create(gui::Window& w) {
  register_timer_panel_classes();
  create_panel(w, resources::LOAD_DELAY_CHILD_WINDOW, "LOAD START-UP DELAY", 0, 0);
  create_panel(w, resources::OUT_OF_GRAIN_CHILD_WINDOW, "OUT OF GRAIN TIMER", 1, 0);
  create_panel(w, resources::FAN_DELAY_CHILD_WINDOW, "FAN SETUP", 0, 1);
  create_panel(w, resources::UNLOAD_DELAY_CHILD_WINDOW, "UNLOAD CLEAN-OUT DELAY", 1, 1);
  const Rect client = w.client_rect();
  const platform::Size size = texts::localized_bitmap_size(kReturnImage);
  texts::create_picture_button(&w, kReturnImage, kTimerScreenReturnButtonId,
                               {(client.width() - size.width) / 2, client.bottom - size.height - 8},
                               texts::Initially::Shown, "SETUP");
}

void on_paint(gui::Window& w) { texts::set_localized_caption(&w, 44); }

// Back to the setup menu, which brings its own button bar.
void on_return(gui::Window& w) {
  gui::show_window(&w, false);
  gui::show_class(resources::SETUP_SELECTION_WINDOW, true);
}

intptr_t timer_select_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      on_create(w);
      return 0;
    case gui::MessageKind::Paint:
      on_paint(w);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto* item = &gui::draw_item_context(m);
      if (item->id == kTimerScreenReturnButtonId) texts::draw_picture_button(*item, kReturnImage);
      return 1;
    }
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kTimerScreenReturnButtonId) {
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

void register_timer_screen_classes() {
  gui::register_controls();
  gui::register_class(
      {resources::TIMER_SELECT_WINDOW, &timer_select_procedure, platform::colors::kBlack, true});
  register_timer_panel_classes();
}

}  // namespace corvex::settings
