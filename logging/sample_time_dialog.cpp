// "Select Data Log Sample Time - 35": how often the short-term data log takes a sample for the
// status chart (1, 5, 10 or 15 minutes), and CLEAR TABLE.
#include <algorithm>
#include <cstdio>
#include <string>

#include "link/status_bytes.h"
#include "logging/display_settings.h"
#include "logging/log_tick.h"
#include "logging/settings_dialogs.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/display_settings_dialogs.h"
#include "resources/window_classes.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr int kCaptionString = 366;
constexpr int kSampleTimeWordString = 286;  // "SAMPLE TIME"
constexpr int kMinutesWordString = 342;     // "MIN"
constexpr int kOneMinuteString = 368;
constexpr int kDisabledString = 84;
constexpr int kAcceptString = 350;
constexpr int kClearTableString = 373;
// Under batch cycle sampling the chart takes one sample per batch, and the 1-minute choice
// gives way to this sample time.
constexpr uint32_t kBatchSampleTime = 5;
constexpr int kRaise = 20;  // the dialog sits this much above the owner's centre

struct Choice {
  uint32_t minutes;
  int mark;
  int key;
  int label;
};
constexpr Choice kChoices[] = {
    {1, res::kSampleOneMinuteMark, res::kSampleOneMinuteKey, kOneMinuteString},
    {5, res::kSampleFiveMinutesMark, res::kSampleFiveMinutesKey, 369},
    {10, res::kSampleTenMinutesMark, res::kSampleTenMinutesKey, 370},
    {15, res::kSampleFifteenMinutesMark, res::kSampleFifteenMinutesKey, 371},
};

uint32_t& sample_time() { return display_settings().sample_time_minutes; }

bool batch_cycle_sampling() {
  return link::mirror_bit(link::kSamplerOptions, link::kSamplerOptionsCycledBit);
}

// The time the marks show. The 1-minute key only moves the mark (the time changes on ACCEPT),
// so the choice is kept beside the dialog: a repaint shows it again instead of the stored time.
uint32_t chosen_minutes(const gui::Window& dialog) { return uint32_t(dialog.user_data); }
void choose_minutes(gui::Window& dialog, uint32_t minutes) { dialog.user_data = minutes; }

void show_marks(gui::Window& dialog) {
  for (const Choice& c : kChoices) set_mark(dialog, c.mark, c.minutes == chosen_minutes(dialog));
}

bool known_sample_time(uint32_t minutes) {
  return std::any_of(std::begin(kChoices), std::end(kChoices),
                     [&](const Choice& c) { return c.minutes == minutes; });
}

void paint(gui::Window& dialog) {
  update_sample_time_button();
  texts::set_localized_caption(&dialog, kCaptionString);
  texts::set_localized_caption(gui::dialog_item(&dialog, res::kSampleTimeExplanation), 367);
  texts::set_localized_caption(gui::dialog_item(&dialog, res::kSampleTimeBatchNote), 372);
  const bool batch = batch_cycle_sampling();
  gui::enable_window(gui::dialog_item(&dialog, res::kSampleOneMinuteKey), !batch);
  gui::enable_window(gui::dialog_item(&dialog, res::kSampleOneMinuteMark), !batch);
  if (batch && chosen_minutes(dialog) == 1) {
    sample_time() = kBatchSampleTime;
    choose_minutes(dialog, kBatchSampleTime);
  }
  if (!known_sample_time(chosen_minutes(dialog))) {
    // A stored time the dialog does not offer (0 or 3, say) becomes 5 minutes, and is saved.
    sample_time() = 5;
    write_setting_byte("TEMP_DATA_LOG_SAMPLE_TIME", 5);
    choose_minutes(dialog, 5);
  }
  show_marks(dialog);
}

// The minutes of the first checked mark (none checked: 5).
uint32_t checked_minutes(gui::Window& dialog) {
  for (const Choice& c : kChoices) {
    gui::Window* mark = gui::dialog_item(&dialog, c.mark);
    if (mark != nullptr && gui::button_checked(mark)) return c.minutes;
  }
  return 5;
}

void accept(gui::Window& dialog) {
  sample_time() = checked_minutes(dialog);
  logging::restart_short_term_sampling();
  write_setting_byte("TEMP_DATA_LOG_SAMPLE_TIME", uint8_t(sample_time()));
  gui::end_dialog(&dialog, res::kSampleTimeAccept);
  update_sample_time_button();
}

void choose(gui::Window& dialog, const Choice& c) {
  // The disabled 1-minute key cannot be pressed; its mark is disabled with it.
  if (c.minutes == 1 && batch_cycle_sampling()) return;
  choose_minutes(dialog, c.minutes);
  if (c.minutes != 1) sample_time() = c.minutes;
  show_marks(dialog);
}

bool on_command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kSampleTimeAccept:
      accept(dialog);
      return true;
    case res::kSampleTimeClearTable:
      open_clear_table_dialog(&dialog);
      gui::end_dialog(&dialog, res::kSampleTimeClearTable);
      return true;
    default:
      break;
  }
  for (const Choice& c : kChoices) {
    if (id == c.key || id == c.mark) {
      choose(dialog, c);
      return true;
    }
  }
  return false;
}

int key_label(int id) {
  if (id == res::kSampleTimeAccept) return kAcceptString;
  if (id == res::kSampleTimeClearTable) return kClearTableString;
  if (id == res::kSampleOneMinuteKey && batch_cycle_sampling()) return kDisabledString;
  for (const Choice& c : kChoices) {
    if (id == c.key) return c.label;
  }
  return 0;
}

void raise_over_centre(gui::Window& dialog) {
  const int up = std::min(kRaise, dialog.screen_rect().top);
  gui::move_window(&dialog, dialog.rect().translated(0, -up));
}

}  // namespace

intptr_t sample_time_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      raise_over_centre(dialog);
      // Under batch cycle sampling the dialog opens on 5 minutes; a time chosen after that is
      // kept until ACCEPT, through any repaint.
      if (batch_cycle_sampling()) sample_time() = kBatchSampleTime;
      choose_minutes(dialog, sample_time());
      paint(dialog);
      return 1;
    case gui::MessageKind::Paint:
      paint(dialog);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_settings_key(item, key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m)) ? 1 : 0;
    default:
      return 0;
  }
}

intptr_t open_sample_time_dialog(gui::Window* owner) {
  res::register_display_settings_dialog_templates();
  return gui::dialog_box(res::kSampleTimeDialog, owner, &sample_time_procedure);
}

std::string sample_time_button_text() {
  SampleTimeButtonText text;
  sample_time_button_text(text);
  return text.data();
}

void sample_time_button_text(SampleTimeButtonText& out) {
  texts::StringBuffer word;
  texts::StringBuffer minutes;
  word[0] = minutes[0] = '\0';
  texts::localized_string(kSampleTimeWordString, word);
  texts::localized_string(kMinutesWordString, minutes);
  std::snprintf(out.data(), out.size(), "%s %d %s", word.data(), int(sample_time()),
                minutes.data());
}

void update_sample_time_button() {
  gui::Window* chart = gui::find_window_by_class(resources::AVERAGE_VALUES_WINDOW);
  if (chart == nullptr) return;
  if (gui::Window* button = gui::child_by_id(chart, kSampleTimeButtonId)) {
    gui::set_window_text(button, sample_time_button_text());
  }
}

}  // namespace corvex::logging
