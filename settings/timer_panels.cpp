// The four panels of the timer screen: load start-up delay, out-of-grain timer, fan set-up with
// its two timers, unload clean-out delay. Each shows the controller's current value of its
// timer (StatusMirror) with its explanation and a picture button that opens the timer editor.
#include <algorithm>
#include <cstdio>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/line_wrap.h"
#include "settings/timer_screen.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
using platform::Canvas;
using platform::Point;
using platform::Rect;
using platform::rgb;

// One timer: where it lives in the status frame, its limits and default, its write.
struct TimerRow {
  uint16_t minutes_offset;  // the seconds are the byte after it
  uint8_t max_minutes, max_seconds;
  uint8_t min_minutes, min_seconds;
  uint8_t default_minutes, default_seconds;
  link::PendingWrite flag;
};

// Indexed by TimerSetting.
constexpr TimerRow kTimers[] = {
    {link::kLoadStartDelay, 10, 0, 0, 1, 1, 0, link::PendingWrite::k31},
    {link::kOutOfGrainTimer, 30, 0, 0, 0, 8, 0, link::PendingWrite::k26},
    {link::kFanDelay, 0, 25, 0, 1, 0, 3, link::PendingWrite::k46},
    {link::kSecondFanTimer, 60, 0, 0, 0, 0, 0, link::PendingWrite::k269},
    {link::kCleanOutDelay, 10, 0, 0, 0, 1, 0, link::PendingWrite::k41},
};

// Button images of the panels.
constexpr int kLoadDelayImage = 7;
constexpr int kFanDelayImage = 8;
constexpr int kCoolDownImage = 9;  // the second fan timer
constexpr int kOutOfGrainImage = 10;
constexpr int kUnloadDelayImage = 11;
constexpr int kPanelImages[] = {kLoadDelayImage, kFanDelayImage, kCoolDownImage, kOutOfGrainImage,
                                kUnloadDelayImage};

constexpr platform::Color kHeadingColor = rgb(255, 255, 0);
constexpr platform::Color kValueColor = platform::colors::kWhite;
constexpr platform::Color kTextColor = rgb(200, 200, 200);
constexpr platform::Color kRangeColor = rgb(0, 255, 0);
constexpr platform::FontSpec kHeadingFont{14, 700};
constexpr platform::FontSpec kValueFont{22, 700};
constexpr platform::FontSpec kFanValueFont{18, 700};
constexpr platform::FontSpec kTextFont{12, 400};
constexpr int kLineHeight = 14;
constexpr unsigned kLine = platform::text_format::kLeft | platform::text_format::kSingleLine |
                           platform::text_format::kNoClip;
constexpr Point kButtonAt{184, 6};
constexpr int kFanHalfHeight = 84;

using link::mirror_byte;

// Where the panel's next line of text goes, and where text must stop.
struct Lines {
  Canvas& c;
  int x;
  int y;
  int bottom;

  bool room() const { return y + kLineHeight <= bottom; }
  void text(std::string_view s, platform::Color color) {
    if (!room()) return;
    c.draw_text(s, {x, y, x + 300, y + kLineHeight}, kTextFont, color, kLine);
    y += kLineHeight;
  }
  void wrapped(std::string_view s, platform::Color color) {
    const int lines_left = (bottom - y) / kLineHeight;
    if (lines_left <= 0) return;
    y = draw_wrapped(c, s, {x, y}, kLineHeight, kTextFont, color, size_t(lines_left));
  }
  void localized(int number, platform::Color color) {
    texts::StringBuffer s;
    s[0] = '\0';
    texts::localized_string(number, s);
    wrapped(s.data(), color);
  }
};

// The fan panel has room for the minutes and seconds on one line only.
enum class ValueLines : uint8_t { Two, One };

// "PRESENT SETTING" above the minutes and seconds of a timer, from its current value.
void draw_value(Canvas& c, uint16_t minutes_byte, Point at, ValueLines lines) {
  const bool one_line = lines == ValueLines::One;
  texts::StringBuffer label;
  label[0] = '\0';
  texts::localized_string(49, label);
  c.draw_text(label.data(), {at.x, at.y, at.x + 170, at.y + 16}, kHeadingFont, kHeadingColor,
              kLine);
  char text[sizeof(texts::StringBuffer) + 8];
  label[0] = '\0';
  texts::localized_string(50, label);
  std::snprintf(text, sizeof text, "%03d %s", mirror_byte(minutes_byte), label.data());
  const platform::FontSpec& font = one_line ? kFanValueFont : kValueFont;
  const int line = one_line ? 0 : 24;
  const Rect minutes{at.x, at.y + 17, at.x + 170, at.y + 41};
  c.draw_text(text, minutes, font, kValueColor, kLine);
  // On one line the seconds stand 88 px on, or a blank's width after a longer minutes text.
  const int seconds_offset =
      std::max(88, platform::measure_text_line(text, font).width + font.pixel_height / 3);
  label[0] = '\0';
  texts::localized_string(51, label);
  std::snprintf(text, sizeof text, "%02d %s", mirror_byte(uint16_t(minutes_byte + 1)),
                label.data());
  const Rect seconds =
      one_line ? minutes.translated(seconds_offset, 0) : minutes.translated(0, line);
  c.draw_text(text, seconds, font, kValueColor, kLine);
}

// "%s = N %s": the default in whole minutes.
void draw_default_line(Lines& lines, int minutes) {
  texts::StringBuffer word, unit;
  word[0] = unit[0] = '\0';
  texts::localized_string(55, word);
  texts::localized_string(50, unit);
  char text[2 * sizeof(texts::StringBuffer) + 8];
  std::snprintf(text, sizeof text, "%s = %d %s", word.data(), minutes, unit.data());
  lines.text(text, kRangeColor);
}

void paint_load_delay(gui::Window& w, Canvas& c) {
  draw_value(c, link::kLoadStartDelay, {8, 4}, ValueLines::Two);
  Lines lines{c, 8, 72, w.client_rect().bottom};
  for (int n = 52; n <= 54; ++n) lines.localized(n, kTextColor);
  draw_default_line(lines, 1);
  lines.localized(56, kRangeColor);
}

// The duration of the previous load cycle, measured by the display from the metering-roll
// edges (DryerState::previous_load_time); it means something only while the load runs in Auto.
void draw_previous_load(Lines& lines) {
  if (link::mirror_bit(link::kSwitchInputs, link::kSwitchInputsLoadOnBit)) {
    lines.text("Previous Load Timer is only", kHeadingColor);
    lines.text("functional when load is in Auto", kHeadingColor);
    return;
  }
  lines.localized(57, kHeadingColor);
  const uint32_t seconds = link::dryer_state().previous_load_time.load(std::memory_order_relaxed);
  texts::StringBuffer min, sec;
  min[0] = sec[0] = '\0';
  texts::localized_string(50, min);
  texts::localized_string(51, sec);
  char text[2 * sizeof(texts::StringBuffer) + 32];
  std::snprintf(text, sizeof text, "%s: %03u     %s: %02u", min.data(), unsigned(seconds / 60),
                sec.data(), unsigned(seconds % 60));
  lines.text(text, kValueColor);
}

void paint_out_of_grain(gui::Window& w, Canvas& c) {
  draw_value(c, link::kOutOfGrainTimer, {8, 4}, ValueLines::Two);
  Lines lines{c, 8, 72, w.client_rect().bottom};
  lines.localized(60, kTextColor);
  lines.localized(61, kTextColor);
  draw_default_line(lines, 8);
  lines.localized(62, kRangeColor);
  draw_previous_load(lines);
}

void paint_fan_delay(gui::Window& w, Canvas& c) {
  const int bottom = w.client_rect().bottom;
  draw_value(c, link::kFanDelay, {8, 2}, ValueLines::One);
  Lines upper{c, 8, 48, kFanHalfHeight};
  upper.localized(65, kTextColor);
  c.draw_line({4, kFanHalfHeight - 1}, {w.client_rect().right - 5, kFanHalfHeight - 1},
              platform::colors::kGray);
  draw_value(c, link::kSecondFanTimer, {8, kFanHalfHeight + 2}, ValueLines::One);
  Lines lower{c, 8, kFanHalfHeight + 48, bottom};
  lower.localized(66, kTextColor);
}

void paint_unload_delay(gui::Window& w, Canvas& c) {
  draw_value(c, link::kCleanOutDelay, {8, 4}, ValueLines::Two);
  Lines lines{c, 8, 72, w.client_rect().bottom};
  texts::StringBuffer first, second;
  first[0] = second[0] = '\0';
  texts::localized_string(67, first);
  texts::localized_string(68, second);
  char joined[2 * sizeof(texts::StringBuffer) + 2];
  std::snprintf(joined, sizeof joined, "%s %s", first.data(), second.data());
  lines.wrapped(joined, kTextColor);
  draw_default_line(lines, 1);
  lines.localized(69, kRangeColor);
}

void open_editor(gui::Window& panel, TimerSetting setting) {
  prepare_timer_edit(setting);
  open_timer_editor(&panel);
}

// The picture buttons of the panels and the timers they edit.
struct PanelButton {
  int id;
  int image;
  TimerSetting setting;
};
constexpr PanelButton kButtons[] = {
    {kLoadDelayButtonId, kLoadDelayImage, TimerSetting::LoadDelay},
    {kOutOfGrainButtonId, kOutOfGrainImage, TimerSetting::OutOfGrain},
    {kFanDelayButtonId, kFanDelayImage, TimerSetting::FanDelay},
    {kSecondFanTimerButtonId, kCoolDownImage, TimerSetting::SecondFanTimer},
    {kUnloadDelayButtonId, kUnloadDelayImage, TimerSetting::UnloadDelay},
};

const PanelButton* button_of(int id) {
  for (const PanelButton& b : kButtons) {
    if (b.id == id) return &b;
  }
  return nullptr;
}

// What differs between the panels: their contents and where their buttons sit.
struct PanelKind {
  void (*paint)(gui::Window&, Canvas&);
  int caption_string;
  int first_button;  // index into kButtons
  int button_count;
};

void create_buttons(gui::Window& w, const PanelKind& kind) {
  for (int i = 0; i < kind.button_count; ++i) {
    const PanelButton& b = kButtons[kind.first_button + i];
    // The fan panel's second timer has the lower half of the panel.
    const Point at{kButtonAt.x, kButtonAt.y + i * kFanHalfHeight};
    texts::create_picture_button(&w, b.image, b.id, at);
  }
}

intptr_t panel_procedure(gui::Window& w, const gui::Message& m, const PanelKind& kind) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      create_buttons(w, kind);
      texts::set_localized_caption(&w, kind.caption_string);
      return 0;
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, kind.caption_string);
      return 0;
    // The panel paints its whole client with the background itself: the decoder's repaint
    // requests come without erase.
    case gui::MessageKind::EraseBackground:
      return 1;
    case gui::MessageKind::Paint: {
      Canvas& c = *gui::paint_context(m).canvas;
      c.fill_rect(w.client_rect(), platform::colors::kBlack);
      kind.paint(w, c);
      return 0;
    }
    case gui::MessageKind::DrawItem: {
      const auto* item = &gui::draw_item_context(m);
      if (const PanelButton* b = button_of(item->id)) texts::draw_picture_button(*item, b->image);
      return 1;
    }
    case gui::MessageKind::Command:
      if (const PanelButton* b = button_of(gui::command_id(m))) {
        open_editor(w, b->setting);
        return 0;
      }
      break;
    case gui::MessageKind::Destroy:
      texts::release_picture_images(kPanelImages);
      return 0;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

constexpr PanelKind kLoadDelayPanel{&paint_load_delay, 45, 0, 1};
constexpr PanelKind kOutOfGrainPanel{&paint_out_of_grain, 46, 1, 1};
constexpr PanelKind kFanDelayPanel{&paint_fan_delay, 47, 2, 2};
constexpr PanelKind kUnloadDelayPanel{&paint_unload_delay, 48, 4, 1};

intptr_t load_delay_procedure(gui::Window& w, const gui::Message& m) {
  return panel_procedure(w, m, kLoadDelayPanel);
}
intptr_t out_of_grain_procedure(gui::Window& w, const gui::Message& m) {
  return panel_procedure(w, m, kOutOfGrainPanel);
}
intptr_t fan_delay_procedure(gui::Window& w, const gui::Message& m) {
  return panel_procedure(w, m, kFanDelayPanel);
}
intptr_t unload_delay_procedure(gui::Window& w, const gui::Message& m) {
  return panel_procedure(w, m, kUnloadDelayPanel);
}

}  // namespace

void prepare_timer_edit(TimerSetting setting) {
  const TimerRow& row = kTimers[size_t(setting)];
  const uint16_t minutes = row.minutes_offset;
  // The slots take the current value first, so that an untouched write re-sends it.
  link::desire_reported(minutes, 2);
  const uint8_t current_minutes = mirror_byte(minutes);
  const uint8_t current_seconds = mirror_byte(uint16_t(minutes + 1));
  TimerEditRequest& r = timer_edit_request;
  r.minutes = current_minutes;
  r.seconds = current_seconds;
  r.maximum_minutes = row.max_minutes;
  r.maximum_seconds = row.max_seconds;
  r.minimum_minutes = row.min_minutes;
  r.minimum_seconds = row.min_seconds;
  r.default_minutes = row.default_minutes;
  r.default_seconds = row.default_seconds;
  r.minutes_entry_state = 0;
  r.seconds_entry_state = 0;
  r.first_key = 0;
  r.last_key = 0;
  r.minutes_slot = minutes;
  r.seconds_slot = minutes + 1;
  r.pending_write = &link::dryer_state().flag(row.flag);
}

void register_timer_panel_classes() {
  const struct {
    const char* name;
    gui::WindowProc procedure;
  } panels[] = {
      {resources::LOAD_DELAY_CHILD_WINDOW, &load_delay_procedure},
      {resources::OUT_OF_GRAIN_CHILD_WINDOW, &out_of_grain_procedure},
      {resources::FAN_DELAY_CHILD_WINDOW, &fan_delay_procedure},
      {resources::UNLOAD_DELAY_CHILD_WINDOW, &unload_delay_procedure},
  };
  for (const auto& p : panels) {
    gui::register_class({p.name, p.procedure, platform::colors::kBlack, true});
  }
}

}  // namespace corvex::settings
