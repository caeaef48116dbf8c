// The screen windows of the main window, created once at start-up and then only shown and
// hidden.
#include <vector>

#include "link/dryer_state.h"
#include "logging/graph_view.h"
#include "logging/status_chart.h"
#include "logging/view_selection.h"
#include "resources/window_classes.h"
#include "settings/auto_start.h"
#include "settings/calibration_dialogs.h"
#include "settings/diagnostics_dialog.h"
#include "settings/setup_menus.h"
#include "settings/temperature_screen.h"
#include "settings/timer_screen.h"
#include "logging/display_settings.h"
#include "shell/plain_windows.h"
#include "shell/navigation.h"
#include "shell/startup.h"
#include "status/plenum_view.h"
#include "status/status_bar.h"
#include "status/status_picture.h"

namespace corvex::shell {

using platform::Rect;
using platform::gui::CreateParams;
namespace gui = platform::gui;
namespace style = platform::gui::style;

namespace {

enum class Frame { Framed, TopmostFramed };
enum class Caption { No, Yes };

struct ScreenWindow {
  const char* class_name;
  const char* title;
  Frame frame;
  Caption caption;
  Rect rect;
};

// In their order of creation.
constexpr ScreenWindow kScreens[] = {
    {resources::VIEW_SELECTION_WINDOW, "  VIEW SELECTION WINDOW - 04", Frame::Framed, Caption::Yes,
     Rect::from_xywh(100, 50, 450, 275)},
    {resources::WARNING_WINDOW, " WARNING - DRYER SHUTTING DOWN! - 05", Frame::Framed, Caption::Yes,
     Rect::from_xywh(10, 20, 600, 325)},
    {resources::LINE_GRAPH_WINDOW, " GRAIN TEMPERATURE / MOISTURE", Frame::Framed, Caption::Yes,
     Rect::from_xywh(0, 40, 240, 205)},
    {resources::AVERAGE_VALUES_WINDOW, " DRYER STATUS CHART", Frame::Framed, Caption::Yes,
     Rect::from_xywh(240, 40, 400, 205)},
    {resources::BOOT_LOADER_WINDOW, " UPDATE DRYER PROGRAMMING", Frame::Framed, Caption::Yes,
     Rect::from_xywh(0, 0, 640, 480)},
    {resources::CUSTOM_VIEW_WINDOW, "  PLENUM(S)", Frame::Framed, Caption::Yes,
     Rect::from_xywh(240, 245, 400, 175)},
    {resources::UNLOAD_STATUS_WINDOW, " UNLOAD STATUS", Frame::Framed, Caption::Yes,
     Rect::from_xywh(0, 245, 240, 175)},
    {resources::DRYER_LEFT_STATUS_BAR_WINDOW, " DRYER BAR STATUS", Frame::Framed, Caption::No,
     Rect::from_xywh(0, 0, 240, 40)},
    {resources::DRYER_RIGHT_STATUS_BAR_WINDOW, " DRYER BAR STATUS", Frame::Framed, Caption::No,
     Rect::from_xywh(240, 0, 400, 40)},
    {resources::BUTTON_BAR_WINDOW, " DRYER BAR STATUS", Frame::Framed, Caption::No,
     Rect::from_xywh(0, 420, 640, 55)},
    {resources::TIMER_SELECT_WINDOW, " SELECT TIMER TO MODIFY - 01", Frame::TopmostFramed,
     Caption::Yes, Rect::from_xywh(0, 0, 640, 475)},
    {resources::TEMP_SELECT_WINDOW, " SELECT TEMPERATURE SETPOINT TO MODIFY - 02",
     Frame::TopmostFramed, Caption::Yes, Rect::from_xywh(0, 0, 640, 475)},
    {resources::SETUP_SELECTION_WINDOW, " SELECT HARDWARE SETUP PARAMETER TO MODIFY - 03",
     Frame::TopmostFramed, Caption::Yes, Rect::from_xywh(0, 0, 640, 475)},
    {resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, " SELECT SETUP PARAMETER TO MODIFY - 06",
     Frame::TopmostFramed, Caption::Yes, Rect::from_xywh(0, 0, 640, 475)},
    {resources::GRAPH_WINDOW, " GRAPH OF SELECTED DRYER VARIABLES", Frame::Framed, Caption::No,
     Rect::from_xywh(240, 40, 400, 380)},
    {resources::DRYER_PIC_WINDOW, " SYSTEM STATUS", Frame::Framed, Caption::No,
     Rect::from_xywh(0, 0, 240, 420)},
    {resources::BATCH_DRYING_WINDOW, " BATCH DRYING TIMERS", Frame::Framed, Caption::Yes,
     Rect::from_xywh(240, 40, 400, 205)},
    {resources::AUTO_START_CONFIG_WINDOW, " SELECT HARDWARE SETUP PARAMETER TO MODIFY - 03",
     Frame::TopmostFramed, Caption::Yes, Rect::from_xywh(0, 0, 640, 475)},
};

// Which windows start shown: the status picture, the right status bar and the button bar
// always; the status chart, the plenum view and the graph by the drying mode (status byte 8)
// and the persisted view choice.
bool initially_shown(const char* class_name) {
  const bool batch = link::dryer_state().mirror[8].load(std::memory_order_relaxed) != 0;
  const uint8_t view = logging::display_settings().view_choice;
  const std::string_view name(class_name);
  if (name == resources::AVERAGE_VALUES_WINDOW) return !batch && view == 0;
  if (name == resources::CUSTOM_VIEW_WINDOW) return view == 0;
  if (name == resources::GRAPH_WINDOW) return !batch && view == 1;
  return name == resources::DRYER_RIGHT_STATUS_BAR_WINDOW || name == resources::BUTTON_BAR_WINDOW ||
         name == resources::DRYER_PIC_WINDOW;
}

void register_screen_classes() {
  status::register_status_picture_class();
  status::register_status_bar_class();
  status::register_plenum_view_class();
  settings::register_timer_screen_classes();
  settings::register_temperature_screen_classes();
  settings::register_setup_menu_classes();
  logging::register_view_selection_class();
  logging::register_status_chart_class();
  logging::register_graph_view_classes();
  settings::register_auto_start_screen_class();
  settings::register_boot_loader_class();
  settings::register_unload_status_class();
  // The warning window's class is registered at start-up, with the texts.
  register_plain_window_classes();
}

// A window whose class is not registered is skipped, so that a missing screen never stops
// start-up.
void create_screen(gui::Window* main, const ScreenWindow& s) {
  if (!gui::class_registered(s.class_name)) return;
  CreateParams p;
  p.class_name = s.class_name;
  p.text = s.title;
  p.style = style::kChild | style::kBorder | (s.caption == Caption::Yes ? style::kCaption : 0) |
            (s.frame == Frame::TopmostFramed ? style::kTopmost : 0) |
            (initially_shown(s.class_name) ? style::kVisible : 0);
  p.rect = s.rect;
  p.parent = main;
  gui::create_window(p);
}

// The panel puts a new child window under its older siblings, so the first window created lies
// on top: the view selection and warning windows come over the main screen, and the bar
// buttons (created with the main window) over the button bar. Here a new window goes on top,
// so the children are stacked again in the panel's order, each within its topmost band.
void stack_in_creation_order(gui::Window* main) {
  std::vector<gui::Window*> children;
  for (const auto& child : main->children()) children.push_back(child.get());
  for (auto it = children.rbegin(); it != children.rend(); ++it) gui::bring_to_front(*it);
}

}  // namespace

void create_child_windows(gui::Window* main) {
  register_screen_classes();
  for (const ScreenWindow& s : kScreens) create_screen(main, s);
  stack_in_creation_order(main);
  status_area_rule();
}

}  // namespace corvex::shell
