#include "shell/navigation.h"

#include <atomic>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/status_bytes.h"
#include "resources/window_classes.h"
#include "settings/screen_hooks.h"
#include "logging/display_settings.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace corvex::shell {

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr int kBarButtonIds[] = {kTimersButtonId, kTempsButtonId, kSetupButtonId, kViewButtonId,
                                 kMoistureControlButtonId};
constexpr int kBarY = 427;
constexpr int kBarButtonWidth = 105;
constexpr int kBarButtonHeight = 40;
// While an auto-start run is on, the five buttons close up to the left to make room for the
// auto-start status button at the right end of the bar.
constexpr int kAutoStartLayoutX[] = {10, 125, 240, 355, 470};
constexpr int kNormalLayoutX[] = {20, 144, 268, 392, 516};
constexpr int kAutoStartStatusX = 585;
constexpr int kAutoStartStatusWidth = 44;

void show_bar_buttons(gui::Window* main, bool show) {
  for (const int id : kBarButtonIds) {
    if (gui::Window* b = gui::child_by_id(main, id)) gui::show_window(b, show);
  }
}

}  // namespace

void leave_main_screen(const char* target_class) {
  gui::show_class(resources::LINE_GRAPH_WINDOW, false);
  gui::show_class(resources::UNLOAD_STATUS_WINDOW, false);
  gui::show_class(resources::DRYER_RIGHT_STATUS_BAR_WINDOW, false);
  gui::show_class(resources::CUSTOM_VIEW_WINDOW, false);
  gui::show_class(resources::AVERAGE_VALUES_WINDOW, false);
  gui::show_class(resources::BUTTON_BAR_WINDOW, false);
  if (gui::Window* main = shell_state().main_window) {
    show_bar_buttons(main, false);
    if (gui::Window* b = gui::child_by_id(main, kAutoStartStatusButtonId))
      gui::show_window(b, false);
  }
  gui::show_class(resources::DRAW_GRAPH_WINDOW, false);
  gui::show_class(resources::DRYER_PIC_WINDOW, false);
  if (target_class != nullptr) gui::show_class(target_class, true);
  gui::show_class(resources::BATCH_DRYING_WINDOW, false);
}

void return_to_main_screen() {
  gui::show_class(resources::DRYER_PIC_WINDOW, true);
  gui::show_class(resources::DRYER_RIGHT_STATUS_BAR_WINDOW, true);
  gui::show_class(resources::BUTTON_BAR_WINDOW, true);
  if (gui::Window* main = shell_state().main_window) show_bar_buttons(main, true);
  status_area_rule();
  button_bar_layout();
}

void status_area_rule() {
  // The view choice is also written by the view selection window on the GUI thread, while this
  // rule may run on the exchange thread: both go through an atomic reference to the byte.
  const uint8_t view = link::mirror_bit(link::kUnitsAndOptions, link::kUnitsAndOptionsViewBit);
  std::atomic_ref<uint8_t>(logging::display_settings().view_choice)
      .store(view, std::memory_order_relaxed);
  link::apply_batch_button_rule();
  if (link::mirror_byte(link::kDryingMode) != link::kContinuousFlow) {
    // A staged batch mode: the plenum view and the batch drying timers.
    gui::show_class(resources::DRAW_GRAPH_WINDOW, false);
    gui::show_class(resources::GRAPH_WINDOW, false);
    gui::show_class(resources::AVERAGE_VALUES_WINDOW, false);
    gui::show_class(resources::CUSTOM_VIEW_WINDOW, true);
    gui::show_class(resources::BATCH_DRYING_WINDOW, true);
  } else if (view == 1) {
    gui::show_class(resources::DRAW_GRAPH_WINDOW, true);
    gui::show_class(resources::GRAPH_WINDOW, true);
    gui::show_class(resources::AVERAGE_VALUES_WINDOW, false);
    gui::show_class(resources::CUSTOM_VIEW_WINDOW, false);
    gui::show_class(resources::BATCH_DRYING_WINDOW, false);
  } else {
    gui::show_class(resources::DRAW_GRAPH_WINDOW, false);
    gui::show_class(resources::GRAPH_WINDOW, false);
    gui::show_class(resources::CUSTOM_VIEW_WINDOW, true);
    gui::show_class(resources::AVERAGE_VALUES_WINDOW, true);
    gui::show_class(resources::BATCH_DRYING_WINDOW, false);
  }
}

void lay_out_button_bar(gui::Window* main) {
  if (main == nullptr) return;
  const bool auto_start_running = link::mirror_bit(link::kAutoStart, link::kAutoStartRunningBit);
  const int* xs = auto_start_running ? kAutoStartLayoutX : kNormalLayoutX;
  for (int i = 0; i < 5; ++i) {
    if (gui::Window* b = gui::child_by_id(main, kBarButtonIds[i]))
      gui::move_window(b, Rect::from_xywh(xs[i], kBarY, kBarButtonWidth, kBarButtonHeight), true);
  }
  if (gui::Window* b = gui::child_by_id(main, kAutoStartStatusButtonId)) {
    gui::move_window(
        b, Rect::from_xywh(kAutoStartStatusX, kBarY, kAutoStartStatusWidth, kBarButtonHeight),
        true);
    gui::show_window(b, auto_start_running);
  }
}

void button_bar_layout() { lay_out_button_bar(shell_state().main_window); }

void reload_screen_texts() {
  load_bar_images();
  gui::Window* main = shell_state().main_window;
  if (main == nullptr) return;
  // Every window of the tree paints its texts and pictures again in the new language.
  struct Walk {
    static void invalidate_tree(gui::Window* w) {
      gui::invalidate(w, gui::Erase::Yes);
      for (const auto& child : w->children()) invalidate_tree(child.get());
    }
  };
  Walk::invalidate_tree(main);
}

namespace {

// The setup screens go back to the main screen and refresh its texts through these. They are
// set as the program loads, so that every screen finds them from its first message on.
[[maybe_unused]] const bool g_screen_hooks_set = [] {
  settings::ScreenHooks& hooks = settings::screen_hooks();
  hooks.return_to_main_screen = &return_to_main_screen;
  hooks.reload_screen_texts = &reload_screen_texts;
  return true;
}();

}  // namespace

}  // namespace corvex::shell
