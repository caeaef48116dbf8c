// VIEW_SELECTION_WINDOW: the choice of the main screen's view and the doors to the history,
// the system information and the manuals.
#include "logging/view_selection.h"

#include <atomic>
#include <cstdint>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "logging/display_settings.h"
#include "logging/shutdown_history_window.h"
#include "logging/system_info_dialog.h"
#include "platform/gui/controls.h"
#include "platform/gui/message_box.h"
#include "platform/io/process.h"
#include "resources/window_classes.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
using platform::Point;

constexpr int kTitleString = 469;

struct ViewButton {
  int id;
  int bitmap;  // localized bitmap index
  Point at;
  const char* name;  // window text, by which tests find the button
  texts::Initially initially;
};
constexpr ViewButton kButtons[] = {
    {kChartViewButtonId, 42, {10, 10}, "CHART VIEW BUTTON", texts::Initially::Shown},
    {kGraphViewButtonId, 43, {10, 70}, "GRAPH VIEW BUTTON", texts::Initially::Shown},
    {kManualsButtonId, 44, {10, 130}, "MANUALS BUTTON", texts::Initially::Shown},
    {kHistoryButtonId, 45, {230, 10}, "HISTORY BUTTON", texts::Initially::Shown},
    {kSystemInfoButtonId, 46, {230, 70}, "SYSTEM_INFO_BUTTON", texts::Initially::Shown},
    {kSoftwareInfoButtonId, 47, {230, 130}, "SOFTWARE INFO BUTTON", texts::Initially::Hidden},
    {kExitViewButtonId, 41, {151, 190}, "EXIT VIEW BUTTON", texts::Initially::Shown},
};

enum class View : uint8_t { Chart = 0, Graph = 1 };

// The controller keeps the view choice in bit 6 of status byte 266, so that it comes back with
// the controller's parameters after a restart. The record of byte 266 also carries the unit
// bit and the one-shot save/restore bits 0-1: those are sent as they stand, except that a
// choice made while no other write of the byte is waiting never repeats a one-shot command.
void write_view_to_controller(View view) {
  link::DryerState& s = link::dryer_state();
  const bool waiting = link::write_raised(link::PendingWrite::k266);
  constexpr uint8_t kOneShotCommands = 0x03;
  constexpr uint8_t kViewBit = 1u << link::kUnitsAndOptionsViewBit;
  uint8_t value = waiting ? s.desired[link::kUnitsAndOptions].load(std::memory_order_relaxed)
                          : uint8_t(link::mirror_byte(link::kUnitsAndOptions) & ~kOneShotCommands);
  value = view == View::Graph ? uint8_t(value | kViewBit) : uint8_t(value & ~kViewBit);
  if (!waiting && value == link::mirror_byte(link::kUnitsAndOptions)) return;
  link::raise_write(link::PendingWrite::k266, {{link::kUnitsAndOptions, value}});
}

void choose_view(gui::Window& w, View view) {
  // Status byte 8 nonzero: a batch drying mode, where the right side shows the batch timers.
  if (link::mirror_byte(8) != 0) {
    gui::message_box(&w, view == View::Chart ? kChartRefusedText : kGraphRefusedText,
                     kRefusedCaption, gui::kMbOk | gui::kMbIconWarning);
    return;
  }
  // The status-area rule may read the byte on the exchange thread.
  std::atomic_ref<uint8_t>(display_settings().view_choice)
      .store(uint8_t(view), std::memory_order_relaxed);
  const bool graph = view == View::Graph;
  gui::show_class(resources::CUSTOM_VIEW_WINDOW, !graph);
  gui::show_class(resources::AVERAGE_VALUES_WINDOW, !graph);
  gui::show_class(resources::BATCH_DRYING_WINDOW, false);
  gui::show_class(resources::GRAPH_WINDOW, graph);
  gui::show_class(resources::DRAW_GRAPH_WINDOW, graph);
  gui::show_window(&w, false);
  write_setting_byte("SCREEN_VIEW_SELECTION", uint8_t(view));
  write_view_to_controller(view);
}

void open_manuals(gui::Window& w) {
  gui::show_window(&w, false);
  if (!platform::start_panel_program("\\windows\\explorer.exe", "\\hard disk\\manuals")) {
    gui::message_box(&w, kManualsFailedText, kManualsFailedCaption,
                     gui::kMbOk | gui::kMbIconWarning);
  }
}

bool on_command(gui::Window& w, int id) {
  switch (id) {
    case kChartViewButtonId:
      choose_view(w, View::Chart);
      return true;
    case kGraphViewButtonId:
      choose_view(w, View::Graph);
      return true;
    case kManualsButtonId:
      open_manuals(w);
      return true;
    case kHistoryButtonId:
      gui::show_window(&w, false);
      open_shutdown_history(&w);
      return true;
    case kSystemInfoButtonId:
      gui::show_window(&w, false);
      open_system_information(&w);
      return true;
    case kExitViewButtonId:
      gui::show_window(&w, false);
      return true;
    default:
      return false;
  }
}

const ViewButton* button_of(int id) {
  for (const ViewButton& b : kButtons)
    if (b.id == id) return &b;
  return nullptr;
}

intptr_t view_selection_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      for (const ViewButton& b : kButtons)
        texts::create_picture_button(&w, b.bitmap, b.id, b.at, b.initially, b.name);
      texts::set_localized_caption(&w, kTitleString);
      return 0;
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, kTitleString);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      const ViewButton* b = button_of(item.id);
      if (b == nullptr) break;
      texts::draw_picture_button(item, b->bitmap);
      return 1;
    }
    case gui::MessageKind::Command:
      if (on_command(w, gui::command_id(m))) return 0;
      break;
    case gui::MessageKind::Destroy: {
      static constexpr int kImages[] = {41, 42, 43, 44, 45, 46, 47};
      texts::release_picture_images(kImages);
      break;
    }
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

}  // namespace

void register_view_selection_class() {
  gui::register_controls();
  gui::register_class({resources::VIEW_SELECTION_WINDOW, &view_selection_procedure,
                       platform::colors::kWhite, true});
}

}  // namespace corvex::logging
