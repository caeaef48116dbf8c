#include "shell/later_screens.h"

#include <string>

#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/batch_drying_window.h"
#include "settings/metering_roll_dialog.h"
#include "settings/unbuilt_dialogs.h"
#include "shell/navigation.h"
#include "texts/localized_controls.h"

namespace corvex::shell {

namespace {

namespace gui = platform::gui;
using platform::Color;
using platform::Rect;
using platform::rgb;
namespace tf = platform::text_format;

using settings::kNotAvailableLine;
constexpr int kScreenExitImage = 41;  // the localized SCREEN_EXIT_BUTTON picture
// The full-screen screens' close button (ours).
constexpr int kCloseScreenButtonId = 36990;

void draw_not_available(gui::Window& w, const gui::Message& m, Color ink) {
  const gui::PaintContext* pc = &gui::paint_context(m);
  const Rect client = w.client_rect();
  pc->canvas->draw_text(kNotAvailableLine, {client.left + 10, 60, client.right - 10, 140},
                        {18, 700}, ink, tf::kCenter | tf::kWordBreak);
}

// The exit button sits centred near the bottom of the client area.
void create_exit_button(gui::Window& w, int id, std::string_view text) {
  const Rect client = w.client_rect();
  const platform::Size size{158, 41};
  const platform::Point at{(client.width() - size.width) / 2, client.bottom - size.height - 12};
  texts::create_picture_button(&w, kScreenExitImage, id, at, texts::Initially::Shown, text);
}

intptr_t handle_exit_draw(const gui::Message& m) {
  texts::draw_picture_button(gui::draw_item_context(m), kScreenExitImage);
  return 1;
}

// AUTO_START_CONFIG_WINDOW and BOOT_LOADER_WINDOW: full-screen screens whose close button goes
// back to the main screen. The auto-start configuration was opened with the main-screen-shown
// flag cleared, so it sets it again on the way back.
intptr_t full_screen_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      create_exit_button(w, kCloseScreenButtonId, {});
      return 0;
    case gui::MessageKind::Paint:
      draw_not_available(w, m, platform::colors::kWhite);
      return 0;
    case gui::MessageKind::DrawItem:
      return handle_exit_draw(m);
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kCloseScreenButtonId) {
        gui::show_window(&w, false);
        if (gui::window_is_class(&w, resources::AUTO_START_CONFIG_WINDOW))
          link::dryer_state().main_screen_shown.store(1, std::memory_order_relaxed);
        return_to_main_screen();
        return 0;
      }
      break;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

void register_if_absent(const char* name, gui::WindowProc procedure, Color background) {
  if (gui::class_registered(name)) return;
  gui::register_class({name, procedure, background, true});
}

}  // namespace

void register_later_screen_classes() {
  gui::register_controls();
  using platform::colors::kBlack;
  register_if_absent(resources::BOOT_LOADER_WINDOW, &full_screen_procedure, kBlack);
  register_if_absent(resources::UNLOAD_STATUS_WINDOW, &gui::default_window_procedure, kBlack);
  if (!gui::class_registered(resources::BATCH_DRYING_WINDOW)) settings::register_batch_drying_class();
  register_if_absent(resources::AUTO_START_CONFIG_WINDOW, &full_screen_procedure, kBlack);
  // Windows without a procedure of their own.
  register_if_absent(resources::LINE_GRAPH_WINDOW, &gui::default_window_procedure, kBlack);
  register_if_absent(resources::DRYER_LEFT_STATUS_BAR_WINDOW, &gui::default_window_procedure,
                     kBlack);
  register_if_absent(resources::BUTTON_BAR_WINDOW, &gui::default_window_procedure,
                     platform::colors::kLightGray);
}

intptr_t open_metering_roll_speed_dialog(platform::gui::Window* owner) {
  return settings::open_metering_roll_dialog(owner);
}

}  // namespace corvex::shell
