// "Auto-Start Status" (dialog resource 612): the heading chosen from status byte 280, the
// progress picture of the controller's auto-start sequence (one row per fan/heater, the unload
// row, the time axis and the elapsed-time marker) and the buttons Cancel Auto-Start and
// Minimize. The decoder repaints it while it is open.
#include <algorithm>
#include <cstdio>
#include <string>

#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/auto_start_dialogs.h"
#include "settings/auto_start.h"
#include "settings/temperature_screen.h"
#include "texts/labelled_key.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
namespace tf = platform::text_format;
using platform::Color;
using platform::Rect;
using platform::rgb;

constexpr int kCaptionString = 507;
constexpr int kCancelAutoStartString = 508;
constexpr int kMinimizeString = 145;
constexpr int kFinishedString = 506;
constexpr int kPausedString = 504;
constexpr int kInProgressString = 503;
constexpr int kFanHeaterString = 512;
constexpr int kUnloadString = 445;
constexpr int kOnString = 14;
constexpr int kOffString = 15;

// The time line: 500 px from x = 70.
constexpr int kLineLeft = 70;
constexpr int kLineWidth = 500;
constexpr int kLineRight = kLineLeft + kLineWidth;
constexpr int kAxisY = 310;
constexpr int kUnloadTop = 275;

constexpr Color kBackground = rgb(64, 64, 64);
constexpr Color kHeadingBlue = rgb(0, 128, 255);
constexpr Color kSegmentBlue = rgb(0, 0, 255);
constexpr Color kOrange = rgb(255, 140, 0);
constexpr Color kMarker = rgb(0, 255, 255);
constexpr platform::FontSpec kHeadingFont{28, 700};
constexpr platform::FontSpec kKeyFont{16, 700};

// A 16-bit value, low byte first.
int word_at(uint16_t offset) { return link::mirror_lo_hi(offset); }

// Pixels of `seconds` on the time line of `total` seconds, truncated, within 0..500.
int line_pixels(int64_t seconds, int total) {
  if (total <= 0 || seconds <= 0) return 0;
  return int(std::min<int64_t>(seconds * kLineWidth / total, kLineWidth));
}

// Draws `text` in `r`, in the largest size from `font` down to 9 px that fits its width, so
// that a longer translation is smaller rather than cut.
void draw_fitted(platform::Canvas& c, const std::string& text, const Rect& r,
                 platform::FontSpec font, Color color, unsigned align) {
  while (font.pixel_height > 9 &&
         c.measure_text(text, 0, font, tf::kSingleLine).width > r.width()) {
    --font.pixel_height;
  }
  c.draw_text(text, r, font, color, align | tf::kVCenter | tf::kSingleLine);
}

void paint_heading(platform::Canvas& c) {
  const uint8_t flags = link::mirror_byte(link::kAutoStartFlags);
  std::string text = kUnknownStatusText;
  Color color = platform::colors::kWhite;
  if (flags & 0x80) {
    text = texts::localized_text(kFinishedString);
    color = kHeadingBlue;
  } else if (flags & 0x04) {
    text = texts::localized_text(kPausedString);
    color = platform::colors::kYellow;
  } else if (flags & 0x02) {
    text = texts::localized_text(kInProgressString);
    color = platform::colors::kGreen;
  }
  draw_fitted(c, text, Rect{0, 0, 640, 50}, kHeadingFont, color, tf::kCenter);
}

void paint_state(platform::Canvas& c, int top, bool on) {
  draw_fitted(c, texts::localized_text(on ? kOnString : kOffString),
              Rect{kLineRight + 4, top, 634, top + 25}, {14, 700}, platform::colors::kYellow,
              tf::kLeft);
}

void paint_fan_rows(platform::Canvas& c) {
  const std::string label = texts::localized_text(kFanHeaterString);
  for (int i = 0; i < auto_start_rows(); ++i) {
    const int top = 245 - 30 * i;
    char text[64];
    std::snprintf(text, sizeof text, "%s #%d", label.c_str(), i + 1);
    draw_fitted(c, text, Rect{2, top, kLineLeft - 3, top + 25}, {14, 700}, platform::colors::kWhite,
                tf::kLeft);
    const ProgressRow row = progress_row(i);
    int x = kLineLeft;
    c.fill_rect(Rect{x, top, x + row.start_width, top + 25}, kSegmentBlue);
    x += row.start_width;
    c.fill_rect(Rect{x, top, x + row.running_width, top + 25}, platform::colors::kRed);
    x += row.running_width;
    c.fill_rect(Rect{x, top, x + row.rest_width, top + 25}, kSegmentBlue);
    paint_state(c, top, link::mirror_bit(uint16_t(link::burner_b(i + 1)), 1));
  }
}

void paint_unload_row(platform::Canvas& c) {
  draw_fitted(c, texts::localized_text(kUnloadString), Rect{2, kUnloadTop, kLineLeft - 3, 300},
              {14, 700}, platform::colors::kWhite, tf::kLeft);
  const int grey = line_pixels(auto_start_unload_seconds(), auto_start_total_seconds());
  c.fill_rect(Rect{kLineLeft, kUnloadTop, kLineLeft + grey, 300}, platform::colors::kLightGray);
  c.fill_rect(Rect{kLineLeft + grey, kUnloadTop, kLineRight, 300}, kOrange);
  paint_state(c, kUnloadTop,
              link::mirror_bit(link::kOperatingState, link::kOperatingStateLoggingBit));
}

void paint_axis(platform::Canvas& c) {
  const Color white = platform::colors::kWhite;
  c.draw_line({kLineLeft, kAxisY}, {kLineRight, kAxisY}, white);
  const int total = auto_start_total_seconds();
  for (int k = 0; k <= 4; ++k) {
    const int x = kLineLeft + 125 * k;
    c.draw_line({x, kAxisY - 5}, {x, kAxisY + 5}, white);
    char text[16];
    format_minutes_seconds(total * k / 4, text);
    c.draw_text(text, Rect{x - 40, kAxisY + 7, x + 40, kAxisY + 25}, {13, 400}, white,
                tf::kCenter | tf::kSingleLine);
  }
}

void paint_elapsed_marker(platform::Canvas& c) {
  const int total = auto_start_total_seconds();
  const int elapsed = std::clamp(auto_start_elapsed_seconds(), 0, std::max(total, 0));
  const int x = kLineLeft + line_pixels(elapsed, total);
  c.draw_line({x, 72}, {x, kAxisY}, kMarker, 2);
  char text[16];
  format_minutes_seconds(total - elapsed, text);
  c.draw_text(text, Rect{x - 40, 52, x + 40, 72}, {16, 700}, kMarker,
              tf::kCenter | tf::kSingleLine);
}

void paint(const gui::PaintContext& pc) {
  platform::Canvas& c = *pc.canvas;
  c.fill_rect(pc.dirty, kBackground);
  paint_heading(c);
  paint_fan_rows(c);
  paint_unload_row(c);
  paint_axis(c);
  paint_elapsed_marker(c);
}

void close_status(gui::Window& dialog, int id) {
  if (link::redraw_window(link::RedrawTarget::AutoStartStatus) == &dialog)
    link::register_redraw_window(link::RedrawTarget::AutoStartStatus, nullptr);
  gui::end_dialog(&dialog, id);
}

intptr_t status_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::register_redraw_window(link::RedrawTarget::AutoStartStatus, &dialog);
      texts::set_localized_caption(&dialog, kCaptionString);
      return 1;
    case gui::MessageKind::Paint:
      paint(gui::paint_context(m));
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      texts::draw_labelled_key(
          item, item.id == res::kStatusCancelAutoStart ? kCancelAutoStartString : kMinimizeString,
          kKeyFont, 0, tf::kWordBreak);
      return 1;
    }
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kStatusCancelAutoStart:
          open_auto_start_question(&dialog);
          close_status(dialog, res::kStatusCancelAutoStart);
          return 1;
        case res::kStatusMinimize:
          close_status(dialog, res::kStatusMinimize);
          return 1;
        default:
          return 0;
      }
    case gui::MessageKind::Destroy:
      if (link::redraw_window(link::RedrawTarget::AutoStartStatus) == &dialog)
        link::register_redraw_window(link::RedrawTarget::AutoStartStatus, nullptr);
      return 0;
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_auto_start_status_dialog(gui::Window* owner) {
  return gui::dialog_box_indirect(res::auto_start_status_template(), owner, &status_procedure);
}

int auto_start_rows() {
  if (link::mirror_bit(link::kDryerType, link::kDryerTypeNumericBit)) return 1;
  return fan_heater_count();
}

int auto_start_total_seconds() { return word_at(link::kAutoStartTotal); }
int auto_start_elapsed_seconds() { return word_at(link::kAutoStartElapsed); }
int auto_start_unload_seconds() { return word_at(link::kAutoStartUnload); }

ProgressRow progress_row(int i) {
  const int total = auto_start_total_seconds();
  // Fan/heater i starts at 304 - 2i and has its plenum held at 316 - 2i.
  const int start = word_at(uint16_t(link::kFanStartTimes + 10 - 2 * i));
  const int end = word_at(uint16_t(link::kFanEndTimes + 10 - 2 * i));
  const int running = end > start ? end - start : total - start;
  ProgressRow row;
  // Each segment is cut at the end of the line, so that times the controller reports beyond
  // its total never draw past the 500 px.
  row.start_width = line_pixels(start, total);
  row.running_width = std::min(line_pixels(running, total), kLineWidth - row.start_width);
  row.rest_width = std::min(line_pixels(int64_t(total) - start - running, total),
                            kLineWidth - row.start_width - row.running_width);
  return row;
}

}  // namespace corvex::settings
