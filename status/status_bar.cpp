// The status bar across the top of the right half of the main screen. It is repainted on every
// 175 ms tick, so composing and drawing the message stays on the stack: the strings are looked
// up into fixed buffers and the off-screen bitmap is made once.
#include "status/status_bar.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/status_bytes.h"
#include "platform/gfx/canvas.h"
#include "resources/window_classes.h"

namespace corvex::status {

namespace {

using platform::Color;
using platform::rgb;
namespace gui = platform::gui;
namespace tf = platform::text_format;

constexpr Color kRed = platform::colors::kRed;
constexpr Color kGreen = platform::colors::kGreen;
constexpr Color kBlue = platform::colors::kBlue;
constexpr Color kYellow = platform::colors::kYellow;
constexpr Color kWhite = platform::colors::kWhite;
constexpr Color kCoolDownSteady = rgb(100, 255, 0);
constexpr Color kCoolDownEnding = rgb(200, 0, 0);
// What a flashing text shows in its blink-off phase.
constexpr char kSixteenBlanks[] = "                ";
constexpr char kDegree[] = "\u00B0";
// The moisture-control hold timer runs for an hour; the bar counts down its last three minutes.
constexpr int kHoldTimerSeconds = 3600;
constexpr int kHoldTimerWarning = 3420;

using namespace link;  // the status byte names and readers

// The kinds of moisture control whose hold timer the bar counts down.
bool hold_timer_kind() {
  const int kind = mirror_byte(kMoistureControlType) & kMoistureControlKindMask;
  return kind == 4 || kind == 5;
}
bool dryer_idle() {
  return (mirror_byte(kOperatingFlags) & kOperatingFlagsIdle) == kOperatingFlagsIdle;
}
bool dryer_running() { return mirror_bit(kRunning, kRunningBit); }
int signed_lo_hi(uint16_t offset) { return int16_t(mirror_lo_hi(offset)); }

// The text buffer of the message, and a localized string looked up into a stack buffer.
class Texts {
 public:
  explicit Texts(BarMessage& out) : out_(out) {}
  const char* string(int number) {
    texts::StringBuffer& b = buffers_[next_++ % 2];
    b[0] = '\0';
    texts::localized_string(number, b);
    return b.data();
  }
  template <typename... Args>
  void format(const char* pattern, Args... args) {
    std::snprintf(out_.text, sizeof out_.text, pattern, args...);
  }
  void copy(const char* text) { format("%s", text); }

 private:
  BarMessage& out_;
  texts::StringBuffer buffers_[2];
  int next_ = 0;
};

void set_style(BarMessage& out, BarRule rule, Color color, unsigned format = tf::kCenter) {
  out.rule = rule;
  out.drawn = true;
  out.color = color;
  out.font = {28, 700};
  out.format = format;
}

// A flashing string: itself in the blink-on phase, sixteen blanks in the blink-off phase.
void flash(Texts& t, bool blink_on, const char* text) { t.copy(blink_on ? text : kSixteenBlanks); }

void compose_startup(bool blink_on, BarMessage& out, Texts& t) {
  set_style(out, BarRule::Startup, kWhite, tf::kLeft);
  if (!dryer_idle()) {
    if (blink_on) {
      const char* label = t.string(301);
      t.format("%s %s", label, t.string(307));
    } else {
      t.copy(t.string(301));
    }
  } else if (mirror_bit(kAutoStartFlags, kAutoStartFlagsMessageBit)) {
    t.copy(t.string(504));
  } else if (mirror_bit(kAutoStartFlags, kAutoStartFlagsCountdownBit)) {
    const int left = mirror_lo_hi(kAutoStartElapsed);
    t.format("%s %d:%02d", t.string(301), left / 60, left % 60);
  } else {
    t.copy(t.string(301));
    out.format = tf::kCenter;
  }
}

bool hold_timer_running_out() {
  return mirror_lo_hi(kHoldTimer) > kHoldTimerWarning && dryer_running() &&
         mirror_bit(kMoistureOptions, kMoistureOptionsAutoCentringBit) && hold_timer_kind();
}

void compose_hold_timer(bool blink_on, BarMessage& out, Texts& t) {
  set_style(out, BarRule::HoldTimer, kRed);
  if (!blink_on) {
    t.copy(kSixteenBlanks);
    return;
  }
  // A count past the hour shows the countdown at its end rather than negative minutes.
  const int left = std::max(0, kHoldTimerSeconds - mirror_lo_hi(kHoldTimer));
  t.format("%s [%02d:%02d]", t.string(310), left / 60, left % 60);
}

bool cooling_down() {
  return mirror_byte(kCoolDownMinutes) != 0 && mirror_bit(kSwitchInputs, kSwitchInputsUnload2Bit) &&
         mirror_bit(kOperatingFlags, kOperatingFlagsCoolDownBit) &&
         (mirror_byte(kMoistureControlType) & kMoistureControlKindMask) == kAdvancedMoistureControl;
}

void compose_cool_down(bool blink_on, BarMessage& out, Texts& t) {
  const int minutes = mirror_byte(kCoolDownMinutes);
  set_style(out, BarRule::CoolDown, minutes >= 6 ? kCoolDownSteady : kCoolDownEnding);
  out.font = {25, 500};
  // The last five minutes blink: the text shows only in the blink-on phase.
  out.drawn = minutes >= 6 || blink_on;
  t.format("%s %d Minutes", t.string(309), minutes);
}

// The grain temperature's low status byte for a sensor code, or -1 for a code without one.
int grain_sensor_low_byte(int sensor) {
  switch (sensor) {
    case 0:
      return kGrainTempSensorA;
    case 1:
      return kGrainTempSensorB;
    case 2:
      return kGrainTempSensorC;
    default:
      return -1;
  }
}

// The difference between the target temperature and the selected grain temperature. Sensor 0
// alone follows the dual-plenum targets of bytes 151/152 and 153/154.
void compose_temperature_difference(bool si_units, BarMessage& out, Texts& t) {
  set_style(out, BarRule::TemperatureDifference, kGreen);
  const int sensor = mirror_byte(kGrainTempSelector);
  const char* label = t.string(308);
  const int grain_low = grain_sensor_low_byte(sensor);
  if (grain_low < 0) {
    // A sensor code the controller does not define has no grain temperature to compare.
    t.copy(label);
    return;
  }
  uint16_t target_low = kTargetSetpoint1;
  if (sensor == 0 && mirror_bit(kDryingCriteria, kDryingCriteriaDualPlenumBit))
    target_low = mirror_bit(fan_state(1), 4) ? kTargetSetpoint2 : kTargetSetpoint3;
  const int difference = signed_lo_hi(target_low) - signed_lo_hi(uint16_t(grain_low));
  if (si_units) {
    const int celsius = difference * 5 / 9;
    t.format(sensor == 0 ? "%s [? %d %sC]" : "%s [- %d %sC]", label, celsius, kDegree);
  } else {
    const bool plain = sensor == 0 && difference != 0;
    t.format(plain ? "%s [ %d %sF]" : "%s [- %d %sF]", label, difference, kDegree);
  }
}

// The running dryer timer: A counts up to B. Its colour goes from green through yellow to red
// as A / B falls below one half and one quarter (compared in integers, so B = 0 cannot divide).
void compose_dryer_timer(BarMessage& out, Texts& t) {
  const int a = mirror_timer_seconds(kRunningTimer);
  const int b = mirror_timer_seconds(kOutOfGrainTimer);
  const Color color = 2 * a > b ? kGreen : 4 * a > b ? kYellow : kRed;
  set_style(out, BarRule::DryerTimer, color);
  const char* label = t.string(307);
  if (mirror_bit(kShowRunningTimer, 0)) {
    // Counts reported past their end show 0:00, not a negative time.
    const int left = std::max(0, b - a);
    t.format("%s  %d:%02d", label, left / 60, left % 60);
  } else {
    t.copy(label);
  }
}

void compose_cooling(BarMessage& out, Texts& t) {
  set_style(out, BarRule::Cooling, kBlue);
  const char* label = t.string(306);
  if (mirror_bit(kShowRunTime, 0)) {
    t.format("%s  %d:%02d", label, mirror_byte(kRunTime), mirror_byte(kRunTime + 1));
  } else {
    t.copy(label);
  }
}

void compose_running(BarMessage& out, Texts& t) {
  if (mirror_bit(kDryingCriteria, kDryingCriteriaBatchHoldBit) &&
      mirror_byte(kDryingMode) == kStagedBatch) {
    set_style(out, BarRule::Running, kRed);
    t.copy(t.string(305));
  } else {
    set_style(out, BarRule::Running, kGreen);
    t.copy(t.string(303));
  }
}

// The smallest size a message that fits nowhere else is drawn in; below it nothing reads.
constexpr int kBarSmallestSize = 9;
// The smallest size of the two lines.
constexpr int kBarTwoLineFloor = 11;
// Pixels kept free at both ends of a line for glyphs that reach past their advances.
constexpr int kInkMargin = 3;

bool is_blank(char c) { return c == ' '; }

struct TwoLines {
  int size = 0;
  size_t first_end = 0;
  size_t second_begin = 0;
};

// Splits the text at the run of blanks that makes the wider of the two lines narrowest, and
// finds the largest size at which both lines fit the area. False when there is no blank
// inside the text or no size from the message's own down to the floor fits.
bool fit_two_lines(std::string_view text, const platform::FontSpec& own, const platform::Rect& area,
                   TwoLines& out) {
  int best = -1;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (!is_blank(text[i]) || is_blank(text[i - 1])) continue;
    size_t next = i;
    while (next < text.size() && is_blank(text[next])) ++next;
    if (next == text.size()) break;
    const int wider = std::max(platform::measure_text_line(text.substr(0, i), own).width,
                               platform::measure_text_line(text.substr(next), own).width);
    if (best < 0 || wider < best) {
      best = wider;
      out.first_end = i;
      out.second_begin = next;
    }
  }
  if (best < 0) return false;
  const std::string_view first = text.substr(0, out.first_end);
  const std::string_view second = text.substr(out.second_begin);
  for (int size = own.pixel_height; size >= kBarTwoLineFloor; --size) {
    const platform::FontSpec f{size, own.weight};
    if (2 * platform::font_line_height(f) > area.height()) continue;
    if (platform::measure_text_line(first, f).width <= area.width() &&
        platform::measure_text_line(second, f).width <= area.width()) {
      out.size = size;
      return true;
    }
  }
  return false;
}

// The off-screen copy of the bar and the message it holds. Most 175 ms ticks find the message
// unchanged and ask for no paint at all (bar_outdated).
struct OffscreenBar {
  platform::Bitmap bitmap;
  BarMessage shown;
  bool valid = false;
  // The last paint copied the whole of `bitmap` to the screen; a paint of a part only that
  // changed the message leaves the rest of the bar on the screen showing the old one.
  bool whole_on_screen = false;
};
OffscreenBar g_offscreen;

bool same_message(const BarMessage& a, const BarMessage& b) {
  return a.rule == b.rule && a.drawn == b.drawn && a.color == b.color && a.font == b.font &&
         a.format == b.format && std::strcmp(a.text, b.text) == 0;
}

void paint_status_bar(gui::Window& w, const gui::PaintContext& paint) {
  const platform::Rect client = w.client_rect();
  const platform::Size size{client.width(), client.height()};
  OffscreenBar& off = g_offscreen;
  if (off.bitmap.empty() || off.bitmap.size() != size) {
    off.bitmap = platform::Bitmap(size.width, size.height, platform::colors::kBlack);
    off.valid = false;
  }
  BarMessage message;
  compose_bar_message(link::dryer_state(), message);
  const bool whole = paint.dirty.contains(client);
  if (!off.valid || !same_message(message, off.shown)) {
    platform::Canvas canvas(off.bitmap);
    draw_status_bar(canvas, client, message);
    off.shown = message;
    off.valid = true;
    off.whole_on_screen = whole;
  } else if (whole) {
    off.whole_on_screen = true;
  }
  paint.canvas->blit(off.bitmap, paint.dirty, {paint.dirty.left, paint.dirty.top});
}

// The bar's redraw filter: a paint would draw something new when the bar on the screen is not
// wholly the off-screen copy or the copy holds another message than the status asks for now.
bool bar_outdated() {
  const OffscreenBar& off = g_offscreen;
  if (!off.valid || !off.whole_on_screen) return true;
  BarMessage message;
  compose_bar_message(link::dryer_state(), message);
  return !same_message(message, off.shown);
}

}  // namespace

void compose_bar_message(const link::DryerState& state, BarMessage& out) {
  const uint32_t blink = state.blink_flags.load(std::memory_order_relaxed);
  const bool blink_on = (blink & link::kBlinkPhaseOn) != 0;
  Texts t(out);
  out.text[0] = '\0';
  if (mirror_bit(kHighestAlarm, kHighestAlarmBit)) {
    set_style(out, BarRule::Alarm, kRed);
    flash(t, blink_on, t.string(311));
  } else if (mirror_bit(kAutoStart, kAutoStartRunningBit) && (blink & link::kBlinkStartupDone)) {
    compose_startup(blink_on, out, t);
  } else if (hold_timer_running_out()) {
    compose_hold_timer(blink_on, out, t);
  } else if (cooling_down()) {
    compose_cool_down(blink_on, out, t);
  } else if (mirror_bit(kMoistureOptions, kMoistureOptionsTempDifferenceBit) && dryer_running()) {
    compose_temperature_difference(state.unit_flag.load(std::memory_order_relaxed) != 0, out, t);
  } else if (!dryer_idle()) {
    compose_dryer_timer(out, t);
  } else if (mirror_bit(kOperatingState, kOperatingStateLoggingBit) ||
             mirror_bit(kOperatingFlags, kOperatingFlagsLoggingBit)) {
    compose_cooling(out, t);
  } else if (dryer_running()) {
    compose_running(out, t);
  } else if ((mirror_byte(kControllerMode) & kControllerModeMask) != kControllerModeReady) {
    set_style(out, BarRule::ModeNotReady, kRed);
    t.copy(t.string(302));
  } else {
    set_style(out, BarRule::Idle, kBlue);
    t.copy(t.string(304));
  }
}

BarLayout lay_out_bar_message(const BarMessage& message, const platform::Rect& client) {
  BarLayout layout;
  layout.area = kBarTextRect.intersected(client);
  layout.align = message.format & (tf::kLeft | tf::kCenter | tf::kRight);
  const std::string_view text = message.text;
  layout.first_end = text.size();
  layout.second_begin = text.size();
  const platform::FontSpec own = message.font;
  // Glyphs may reach a pixel or two past their advances (the bold face's A and W lean out):
  // the lines are measured and placed inside a small margin, so that only blank pixels of the
  // rectangle are cut.
  const platform::Rect inner{layout.area.left + kInkMargin, layout.area.top,
                             layout.area.right - kInkMargin, layout.area.bottom};
  const int width = inner.width();
  const int height = inner.height();
  const auto fits_one_line = [&](int size) {
    const platform::FontSpec f{size, own.weight};
    return platform::font_line_height(f) <= height &&
           platform::measure_text_line(text, f).width <= width;
  };
  int size = own.pixel_height;
  while (size > kBarOneLineFloor && !fits_one_line(size)) --size;
  if (!fits_one_line(size)) {
    // Two lines, as large as both fit; a text without a blank to split at, or too long even
    // so, stays on one line and is made as small as it must be.
    TwoLines two;
    if (fit_two_lines(text, own, inner, two)) {
      layout.lines = 2;
      layout.first_end = two.first_end;
      layout.second_begin = two.second_begin;
      size = two.size;
    } else {
      while (size > kBarSmallestSize && !fits_one_line(size)) --size;
    }
  }
  layout.font = {size, own.weight};
  const int line_height = platform::font_line_height(layout.font);
  const int top = inner.top + std::max(0, (height - layout.lines * line_height) / 2);
  for (int i = 0; i < layout.lines; ++i) {
    layout.line_rects[i] = {inner.left, top + i * line_height, inner.right,
                            top + (i + 1) * line_height};
  }
  return layout;
}

void draw_bar_lines(platform::Canvas& canvas, const BarMessage& message, const BarLayout& layout) {
  const std::string_view text = message.text;
  const std::string_view lines[2] = {text.substr(0, std::min(layout.first_end, text.size())),
                                     text.substr(std::min(layout.second_begin, text.size()))};
  for (int i = 0; i < layout.lines; ++i) {
    canvas.draw_text(lines[i], layout.line_rects[i], layout.font, message.color,
                     layout.align | tf::kSingleLine | tf::kNoClip);
  }
}

void draw_status_bar(platform::Canvas& canvas, const platform::Rect& client,
                     const BarMessage& message) {
  canvas.fill_rect(client, platform::colors::kBlack);
  if (!message.drawn) return;
  const BarLayout layout = lay_out_bar_message(message, client);
  canvas.save();
  canvas.clip(layout.area);
  draw_bar_lines(canvas, message, layout);
  canvas.restore();
}

intptr_t status_bar_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::EraseBackground:
      // The paint covers the whole bar off-screen; erasing first would only make it flicker.
      return 1;
    case gui::MessageKind::Paint:
      paint_status_bar(w, gui::paint_context(m));
      return 0;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

void register_status_bar_class() {
  gui::register_class({resources::DRYER_RIGHT_STATUS_BAR_WINDOW, &status_bar_procedure,
                       platform::colors::kBlack, true});
  link::set_redraw_filter(link::RedrawTarget::RightStatusBar, &bar_outdated);
}

}  // namespace corvex::status
