// Auto-start: the entry from the setup menu, the switch requirements, the question and the
// rules of its answers. The configuration screen is in auto_start_config.cpp, the status
// dialog in auto_start_status.cpp.
#include "settings/auto_start.h"

#include <cstdio>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/auto_start_dialogs.h"
#include "resources/window_classes.h"
#include "settings/screen_hooks.h"
#include "settings/setup_dialogs.h"
#include "settings/temperature_screen.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

constexpr uint8_t kRunningBit = 1u << link::kAutoStartRunningBit;

constexpr int kSwitchCaptionString = 491;
constexpr int kSwitchFirstLineString = 492;
constexpr int kExitString = 145;
constexpr int kQuestionCaptionString = 301;
constexpr int kCancelQuestionString = 510;
constexpr int kInitiateQuestionString = 511;
constexpr int kYesString = 134;
constexpr int kNoString = 135;
constexpr int kCancelString = 10;

int g_page = 0;

intptr_t switch_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      texts::set_localized_caption(&dialog, kSwitchCaptionString);
      for (int i = 0; i < res::kSwitchLineCount; ++i)
        localize_item_text(dialog, res::kSwitchFirstLine + i, kSwitchFirstLineString + i);
      return 1;
    case gui::MessageKind::DrawItem:
      draw_labelled_key(gui::draw_item_context(m), kExitString);
      return 1;
    case gui::MessageKind::Command:
      if (gui::command_id(m) != res::kSwitchOk) return 0;
      gui::end_dialog(&dialog, res::kSwitchOk);
      return 1;
    default:
      return 0;
  }
}

intptr_t question_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      texts::set_localized_caption(&dialog, kQuestionCaptionString);
      localize_item_text(dialog, res::kAutoStartQuestionText,
                         auto_start_active() ? kCancelQuestionString : kInitiateQuestionString);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, item.id == res::kAutoStartYes  ? kYesString
                              : item.id == res::kAutoStartNo ? kNoString
                                                             : kCancelString);
      return 1;
    }
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kAutoStartYes:
        case res::kAutoStartNo:
        case res::kAutoStartCancel:
          gui::end_dialog(&dialog, gui::command_id(m));
          return 1;
        default:
          return 0;
      }
    default:
      return 0;
  }
}

void hide_class(const char* class_name) { gui::show_class(class_name, false); }

// Bit 0 of byte 279 as the next write should carry it, every other bit as the controller
// reports it.
void send_auto_start_bit(bool on) {
  const uint8_t current = link::mirror_byte(link::kAutoStart);
  const uint8_t value = on ? uint8_t(current | kRunningBit) : uint8_t(current & ~kRunningBit);
  link::raise_write(PendingWrite::k279, {{link::kAutoStart, value}});
}

}  // namespace

bool auto_start_active() { return link::mirror_bit(link::kAutoStart, link::kAutoStartRunningBit); }

int auto_start_page() { return g_page; }
void set_auto_start_page(int page) { g_page = page; }

intptr_t open_auto_start(gui::Window* owner) {
  if (!auto_start_active()) {
    gui::dialog_box_indirect(res::auto_start_switch_template(), owner, &switch_procedure);
  }
  // Read again: the controller may have started (or ended) a run while the operator read.
  if (auto_start_active()) return open_auto_start_status_dialog(owner);
  if (link::mirror_bit(link::kRunning, link::kRunningBit)) {
    return gui::message_box(owner, kDryerRunningText, kDryerRunningCaption,
                            gui::kMbOk | gui::kMbIconWarning);
  }
  show_auto_start_config();
  return 0;
}

intptr_t open_auto_start_question(gui::Window* owner) {
  const intptr_t answer =
      gui::dialog_box_indirect(res::auto_start_question_template(), owner, &question_procedure);
  answer_auto_start_question(int(answer));
  return answer;
}

void show_auto_start_config() {
  temp_screen_opened_from_auto_start = 1;
  link::desire_reported(link::kAutoStart);
  link::desire_reported(link::kGrainType);
  hide_class(resources::SETUP_SELECTION_WINDOW);
  for (const char* screen : {resources::DRYER_PIC_WINDOW, resources::DRYER_RIGHT_STATUS_BAR_WINDOW,
                             resources::CUSTOM_VIEW_WINDOW, resources::AVERAGE_VALUES_WINDOW,
                             resources::UNLOAD_STATUS_WINDOW, resources::BATCH_DRYING_WINDOW,
                             resources::BUTTON_BAR_WINDOW})
    hide_class(screen);
  link::dryer_state().main_screen_shown.store(0, std::memory_order_relaxed);
  gui::show_class(resources::AUTO_START_CONFIG_WINDOW, true);
  gui::invalidate_class(resources::AUTO_START_CONFIG_WINDOW);
}

void close_auto_start_config() {
  gui::Window* screen = gui::find_window_by_class(resources::AUTO_START_CONFIG_WINDOW);
  // The question is also asked from the status dialog, when no configuration screen is open:
  // then there is nothing to close, and the main screen must not be brought over the screen
  // the operator is on.
  if (screen == nullptr || !screen->is_shown()) return;
  gui::show_window(screen, false);
  temp_screen_opened_from_auto_start = 0;
  link::dryer_state().main_screen_shown.store(1, std::memory_order_relaxed);
  call_return_to_main_screen();
}

platform::Rect grain_marker(int code) {
  if (code < 0 || code >= kGrainCount) return {};
  const int x = code < 6 ? 290 : 440;
  const int y = code < 6 ? 30 + 50 * code : 50 * code - 270;
  return platform::Rect::from_xywh(x, y, 10, 10);
}

void choose_grain(int code) {
  if (code < 0 || code >= kGrainCount) return;
  link::set_desired_byte(link::kGrainType, uint8_t(code));
}

void answer_auto_start_question(int answer) {
  const bool yes = answer == gui::kIdYes;
  if (auto_start_active()) {
    if (!yes) return;
    // A cancel: the grain goes back to what the controller has, and only byte 279 is sent.
    link::desire_reported(link::kGrainType);
    send_auto_start_bit(false);
    return;
  }
  close_auto_start_config();
  if (yes) {
    link::raise_write(PendingWrite::k285);
    send_auto_start_bit(true);
  } else {
    send_auto_start_bit(false);
  }
}

void format_moisture_tenths(unsigned tenths, std::span<char> out) {
  if (out.empty()) return;
  std::snprintf(out.data(), out.size(), "%u.%01u%%", tenths / 10, tenths % 10);
}

void format_minutes_seconds(int seconds, std::span<char> out) {
  if (out.empty()) return;
  if (seconds < 0) seconds = 0;
  std::snprintf(out.data(), out.size(), "%d:%02d", seconds / 60, seconds % 60);
}

}  // namespace corvex::settings
