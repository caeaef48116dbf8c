#include "logging/tick_duties.h"

#include <array>
#include <cstdio>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "logging/data_logger_dialog.h"
#include "logging/log_tick.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/window_classes.h"
#include "texts/help_text.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
using link::PendingWrite;

// The auto-start messages are read with room for 1999 characters.
constexpr size_t kAutoStartMessageCapacity = 1999;
constexpr int kBatchQuestionCaptionString = 515;

struct TickDuties {
  uint32_t status_chart_countdown = 0;
  uint32_t history_hold = kHistoryHoldStart;
  std::array<uint32_t, kBatchHoldCount> batch_hold{1, 1, 1, 1};
  bool auto_start_message_shown = false;
  gui::Window* history_window = nullptr;
  HistoryEntryHook history_hook = nullptr;
};

TickDuties& duties() {
  static TickDuties d;
  return d;
}

// What one hold gesture restarts: the set time it shows and copies (minutes at `set_time`,
// seconds after it) into the remaining-time slots of its companion write.
struct BatchHoldRule {
  int button_id;
  int second_button_id;  // 0 when the gesture has one button
  int format_string;     // the question when button_id is held
  int second_format_string;
  uint16_t set_time;
  uint16_t time_left;
  PendingWrite write;
};

constexpr BatchHoldRule kBatchHolds[kBatchHoldCount] = {
    {resources::kBatchDryButtonId, resources::kBatchHiHeatButtonId, 513, 514, link::kDryTimeSet,
     link::kDryTimeLeft, PendingWrite::k9},
    {resources::kBatchLoHeatButtonId, 0, 516, 0, link::kLoHeatTimeSet, link::kLoHeatTimeLeft,
     PendingWrite::k252},
    {resources::kBatchCoolButtonId, 0, 517, 0, link::kCoolTimeSet, link::kCoolTimeLeft,
     PendingWrite::k14},
    {resources::kBatchUnloadButtonId, 0, 518, 0, link::kUnloadTimeSet, link::kUnloadTimeLeft,
     PendingWrite::k19},
};

bool child_held(gui::Window* parent, int id) {
  return id != 0 && gui::control_pressed(gui::child_by_id(parent, id));
}

void show_child(const char* window_class, int id, bool show) {
  gui::Window* screen = gui::find_window_by_class(window_class);
  if (screen == nullptr) return;
  if (gui::Window* control = gui::child_by_id(screen, id)) gui::show_window(control, show);
}

// Asks whether to restart the phase timer; Yes sends its set time as the time left.
void ask_batch_restart(gui::Window* owner, const BatchHoldRule& rule, int format_string) {
  const std::string text = batch_hold_question(format_string, link::mirror_byte(rule.set_time),
                                               link::mirror_byte(uint16_t(rule.set_time + 1)));
  const std::string caption = texts::localized_text(kBatchQuestionCaptionString);
  const int answer = gui::message_box(owner, text, caption, gui::kMbYesNo | gui::kMbIconQuestion);
  if (answer != gui::kIdYes) return;
  link::raise_write(
      rule.write, {{rule.time_left, link::mirror_byte(rule.set_time)},
                   {uint16_t(rule.time_left + 1), link::mirror_byte(uint16_t(rule.set_time + 1))}});
}

}  // namespace

void run_tick_duties(gui::Window* main) {
  count_down_status_chart();
  follow_setup_controls();
  step_shutdown_history_hold();
  step_batch_holds(main);
  check_auto_start_finished(main);
}

// ---- Status chart countdown ----

uint32_t status_chart_countdown() { return duties().status_chart_countdown; }
void set_status_chart_countdown(uint32_t seconds) { duties().status_chart_countdown = seconds; }
void count_down_status_chart() {
  if (duties().status_chart_countdown > 0) --duties().status_chart_countdown;
}

// ---- Setup screen controls ----

void follow_setup_controls() {
  using link::mirror_bit;
  const bool aux = mirror_bit(link::kControlSwitches, link::kControlSwitchesAuxBit);
  const bool manual = mirror_bit(link::kControlSwitches, link::kControlSwitchesManualBit);
  const bool numeric = mirror_bit(link::kDryerType, link::kDryerTypeNumericBit);
  const bool mixed_flow = mirror_bit(link::kDryerType, link::kDryerTypeMixedFlowBit);
  show_child(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, kExtendedAuxControlId, aux);
  show_child(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, kExtendedManualControlId,
             manual && !numeric && !mixed_flow);
  show_child(resources::SETUP_SELECTION_WINDOW, kSetupNonNumericControlId, !numeric);
  logging::refresh_data_logger_dialog();
}

// ---- Shutdown history hold-to-confirm ----

void set_shutdown_history_window(gui::Window* window) {
  duties().history_window = window;
  duties().history_hold = kHistoryHoldStart;
}

uint32_t shutdown_history_hold_countdown() { return duties().history_hold; }
void restart_shutdown_history_hold(uint32_t ticks) { duties().history_hold = ticks; }

void step_shutdown_history_hold() {
  gui::Window* history = duties().history_window;
  if (!gui::is_window(history) || !history->is_visible()) return;
  uint32_t& hold = duties().history_hold;
  if (!gui::control_pressed(gui::dialog_item(history, kHistoryHoldButtonId))) {
    hold = kHistoryHoldStart;
  } else if (hold > 0) {
    --hold;
  }
}

// ---- Batch drying timers ----

uint32_t batch_hold_countdown(BatchHold hold) { return duties().batch_hold[size_t(hold)]; }

void step_batch_holds(gui::Window* owner) {
  gui::Window* screen = gui::find_window_by_class(resources::BATCH_DRYING_WINDOW);
  if (screen == nullptr || !screen->is_visible()) return;
  for (size_t i = 0; i < size_t(kBatchHoldCount); ++i) {
    const BatchHoldRule& rule = kBatchHolds[i];
    uint32_t& countdown = duties().batch_hold[i];
    const bool first_held = child_held(screen, rule.button_id);
    if (!first_held && !child_held(screen, rule.second_button_id)) {
      countdown = 1;
    } else if (countdown == 0) {
      countdown = 1;
      ask_batch_restart(owner, rule, first_held ? rule.format_string : rule.second_format_string);
    } else {
      countdown = 0;
    }
  }
}

std::string batch_hold_question(int format_string, int minutes, int seconds) {
  const int numbers[2] = {minutes, seconds};
  return format_numbers(texts::localized_text(format_string), numbers, 2);
}

// ---- End of an auto-start run ----

bool auto_start_message_shown() { return duties().auto_start_message_shown; }

void check_auto_start_finished(gui::Window* owner) {
  if (duties().auto_start_message_shown ||
      !link::mirror_bit(link::kAutoStartFlags, link::kAutoStartFlagsFinishedBit)) {
    return;
  }
  // Marked before the box opens: the box blocks this tick, and the next run of the tick must
  // not ask again while the operator reads.
  duties().auto_start_message_shown = true;
  const char* file = link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0
                         ? "AutoStartFinishedMessageC.txt"
                         : "AutoStartFinishedMessageF.txt";
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8(file, kAutoStartMessageCapacity, text);
  const int answer = gui::message_box(owner, text, kAutoStartFinishedCaption, gui::kMbOk);
  if (answer == gui::kIdOk && duties().history_hook != nullptr) {
    duties().history_hook(kAutoStartAcceptedEntry);
  }
}

void set_history_entry_hook(HistoryEntryHook hook) { duties().history_hook = hook; }

void reset_tick_duties() {
  const HistoryEntryHook hook = duties().history_hook;
  duties() = TickDuties{};
  duties().history_hook = hook;
}

// ---- Formatting ----

std::string format_numbers(std::string_view format, const int* numbers, int count) {
  std::string out;
  int next = 0;
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // %[0][width]d, width one digit.
    size_t j = i + 1;
    const bool zero = j < format.size() && format[j] == '0';
    if (zero) ++j;
    int width = 0;
    if (j < format.size() && format[j] >= '1' && format[j] <= '9') width = format[j++] - '0';
    if (j < format.size() && format[j] == 'd' && next < count) {
      char text[24];
      std::snprintf(text, sizeof text, zero ? "%0*d" : "%*d", width, numbers[next++]);
      out += text;
      i = j + 1;
    } else {
      out += c;  // not a conversion this formatter takes: shown as written
      ++i;
    }
  }
  return out;
}

}  // namespace corvex::logging
