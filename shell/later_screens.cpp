#include "shell/later_screens.h"

#include <string>

#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "platform/gui/message_box.h"
#include "settings/timer_picture_buttons.h"
#include "shell/navigation.h"
#include "shell/window_classes.h"

namespace corvex::shell {

namespace {

namespace gui = platform::gui;
using platform::Color;
using platform::Rect;
using platform::rgb;
namespace tf = platform::text_format;

std::vector<DialogRequest> g_requests;

constexpr char kNotAvailableLine[] = "This screen is not available in this version of the display.";
constexpr Color kSolidGrey = rgb(192, 192, 192);
constexpr int kScreenExitImage = 41;  // the localized SCREEN_EXIT_BUTTON picture
// The view selection window's exit button; the full-screen screens' close button (ours).
constexpr int kExitViewButtonId = 36896;
constexpr int kCloseScreenButtonId = 36990;

void draw_not_available(gui::Window& w, const gui::Message& m, Color ink) {
  auto* pc = reinterpret_cast<gui::PaintContext*>(m.lparam);
  const Rect client = w.client_rect();
  pc->canvas->draw_text(kNotAvailableLine, {client.left + 10, 60, client.right - 10, 140},
                        {18, 700}, ink, tf::kCenter | tf::kWordBreak);
}

// The exit button sits centred near the bottom of the client area.
void create_exit_button(gui::Window& w, int id, std::string_view text) {
  const Rect client = w.client_rect();
  const platform::Size size{158, 41};
  const platform::Point at{(client.width() - size.width) / 2, client.bottom - size.height - 12};
  settings::create_picture_button(&w, kScreenExitImage, id, at, settings::Initially::Shown, text);
}

intptr_t handle_exit_draw(const gui::Message& m) {
  settings::draw_picture_button(*reinterpret_cast<const gui::DrawItemContext*>(m.lparam),
                                kScreenExitImage);
  return 1;
}

// VIEW_SELECTION_WINDOW: shown over the main screen by VIEW; its exit button hides it.
intptr_t view_selection_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      create_exit_button(w, kExitViewButtonId, "EXIT VIEW BUTTON");
      return 0;
    case gui::MessageKind::Paint:
      draw_not_available(w, m, platform::colors::kBlack);
      return 0;
    case gui::MessageKind::DrawItem:
      return handle_exit_draw(m);
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kExitViewButtonId) {
        gui::show_window(&w, false);
        return 0;
      }
      break;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
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
        if (gui::window_is_class(&w, AUTO_START_CONFIG_WINDOW))
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

// GRAPH_WINDOW has no caption bar: its title is drawn at the top of the client area. It creates
// its drawing window DRAW_GRAPH_WINDOW as a child.
intptr_t graph_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create: {
      gui::CreateParams p;
      p.class_name = DRAW_GRAPH_WINDOW;
      p.text = " DRYER VARIABLES ARE SAMPLED ONCE EACH MINUTE";
      p.style = gui::style::kChild | gui::style::kVisible;
      p.rect = Rect::from_xywh(5, 5, 380, 220);
      p.parent = &w;
      gui::create_window(p);
      return 0;
    }
    case gui::MessageKind::Paint: {
      auto* pc = reinterpret_cast<gui::PaintContext*>(m.lparam);
      const Rect client = w.client_rect();
      pc->canvas->draw_text(w.text(), {client.left + 4, 232, client.right - 4, 256}, {16, 700},
                            platform::colors::kBlack, tf::kCenter | tf::kSingleLine);
      return 0;
    }
    default:
      return gui::default_window_procedure(w, m);
  }
}

// The drawing window shows its window text until the graph view draws traces into it.
intptr_t draw_graph_procedure(gui::Window& w, const gui::Message& m) {
  if (m.kind == gui::MessageKind::Paint) {
    auto* pc = reinterpret_cast<gui::PaintContext*>(m.lparam);
    pc->canvas->draw_text(w.text(), w.client_rect().inflated(-4, -4), {14, 400},
                          platform::colors::kBlack, tf::kLeft | tf::kSingleLine);
    return 0;
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
  register_if_absent(VIEW_SELECTION_WINDOW, &view_selection_procedure, platform::colors::kWhite);
  register_if_absent(AVERAGE_VALUES_WINDOW, &gui::default_window_procedure, kBlack);
  register_if_absent(BOOT_LOADER_WINDOW, &full_screen_procedure, kBlack);
  register_if_absent(UNLOAD_STATUS_WINDOW, &gui::default_window_procedure, kBlack);
  register_if_absent(GRAPH_WINDOW, &graph_procedure, kSolidGrey);
  register_if_absent(DRAW_GRAPH_WINDOW, &draw_graph_procedure, platform::colors::kWhite);
  register_if_absent(BATCH_DRYING_WINDOW, &gui::default_window_procedure, kBlack);
  register_if_absent(AUTO_START_CONFIG_WINDOW, &full_screen_procedure, kBlack);
  // Windows without a procedure of their own.
  register_if_absent(LINE_GRAPH_WINDOW, &gui::default_window_procedure, kBlack);
  register_if_absent(DRYER_LEFT_STATUS_BAR_WINDOW, &gui::default_window_procedure, kBlack);
  register_if_absent(BUTTON_BAR_WINDOW, &gui::default_window_procedure,
                     platform::colors::kLightGray);
}

intptr_t open_unbuilt_dialog(platform::gui::Window* owner, int resource_id,
                             std::string_view title) {
  g_requests.push_back({resource_id, std::string(title)});
  return platform::gui::message_box(owner, kNotAvailableLine, title,
      platform::gui::kMbOk | platform::gui::kMbIconInformation);
}

const std::vector<DialogRequest>& dialog_requests() { return g_requests; }
void clear_dialog_requests() { g_requests.clear(); }

intptr_t open_metering_roll_speed_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(
      owner, 166, "MODIFYING METER ROLL SPEED SETPOINTS (Use knob on control panel) - 23");
}

intptr_t open_auto_start_status_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 612, "Auto-Start Status");
}

}  // namespace corvex::shell
