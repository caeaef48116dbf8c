// AVERAGE_VALUES_WINDOW: the status chart.
#include "logging/status_chart.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "diagnostics/format.h"
#include "link/dryer_state.h"
#include "logging/display_settings.h"
#include "logging/settings_dialogs.h"
#include "logging/short_term_log.h"
#include "platform/gui/controls.h"
#include "platform/io/paths.h"
#include "resources/window_classes.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace tf = platform::text_format;
using platform::Canvas;
using platform::Color;
using platform::Rect;
using platform::rgb;

constexpr int kCaptionString = 340;
constexpr int kSampleTimeString = 286;
constexpr int kMinutesString = 342;
constexpr Color kLineGrey = rgb(150, 150, 150);
constexpr platform::FontSpec kHeadingFont{12, 700};
constexpr platform::FontSpec kCellFont{13, 400};
// The chart's own message: set the scroll bar for lparam samples.
constexpr intptr_t kFollowSamples = 1;
constexpr unsigned kCentred = tf::kCenter | tf::kVCenter | tf::kSingleLine;

struct Column {
  int left;
  int right;
  int heading1;  // localized string numbers; 0 = none
  int heading2;
  Color ink;
};
constexpr Column kColumns[] = {
    {0, 100, kSampleTimeString, 0, rgb(0, 255, 0)},  // row 2: the sample time, drawn apart
    {100, 150, 341, 265, rgb(255, 255, 0)},
    {150, 200, 267, 345, rgb(255, 0, 255)},
    {200, 250, 267, 344, rgb(0, 255, 0)},
    {250, 300, 265, 344, rgb(0, 255, 255)},
    {300, 350, 346, 0, rgb(255, 0, 0)},
};

struct ChartState {
  int position = 0;
  // While the chart shows the newest eight it keeps showing them as samples arrive.
  bool follow_newest = true;
};
ChartState g_chart;

int newest_position(int available) { return std::max(available - 7, 0); }

// Shown from 9 samples on, with the range 0 to the samples available and a page of 8.
void set_scroll_bar(gui::Window& chart, int available) {
  gui::Window* bar = gui::child_by_id(&chart, kChartScrollBarId);
  if (bar == nullptr) return;
  const bool shown = available >= 9;
  if (shown) gui::scroll_bar_set_info(bar, {0, available, kChartRows, g_chart.position});
  if (bar->is_shown() != shown) gui::show_window(bar, shown);
}

std::string temperature_text(unsigned value) {
  return diagnostics::format_temperature(uint8_t(value >> 8), uint8_t(value & 0xFF),
                                         diagnostics::WithUnit::Yes, diagnostics::WithDegree::Yes)
      .c_str();
}

std::string moisture_text(unsigned tenths) {
  char text[24];
  std::snprintf(text, sizeof text, "%u.%u%%", tenths / 10, tenths % 10);
  return text;
}

// A heading keeps 2 pixels clear of the grid lines on each side; one that is too wide for its
// column in the usual font takes the first smaller one that fits (some languages' words are
// long), the smallest when none does.
constexpr platform::FontSpec kHeadingFonts[] = {
    kHeadingFont, {11, 700}, {10, 700}, {10, 400}, {9, 400}};
constexpr int kHeadingClearance = 2;

platform::FontSpec fitted_heading_font(const Canvas& c, const std::string& text, int width) {
  for (const platform::FontSpec& font : kHeadingFonts) {
    if (c.measure_text(text, 0, font, kCentred).width <= width - 2 * kHeadingClearance) return font;
  }
  return kHeadingFonts[std::size(kHeadingFonts) - 1];
}

void draw_heading(Canvas& c, const std::string& text, Rect r) {
  c.draw_text(text, r, fitted_heading_font(c, text, r.width()), platform::colors::kBlack, kCentred);
}

void draw_headings(Canvas& c) {
  for (const Column& col : kColumns) {
    if (col.heading1 != 0)
      draw_heading(c, texts::localized_text(col.heading1), {col.left, 0, col.right, 15});
    if (col.heading2 != 0)
      draw_heading(c, texts::localized_text(col.heading2), {col.left, 15, col.right, 30});
  }
  char minutes[64];
  std::snprintf(minutes, sizeof minutes, "%d %s", int(display_settings().sample_time_minutes),
                texts::localized_text(kMinutesString).c_str());
  draw_heading(c, minutes, {60, 15, 98, 30});
}

// The sample-time button is drawn here: its text wraps to the button's width in the largest of
// a few fonts that fits its 31 pixels, so that a longer word for "sample time" is never cut.
constexpr platform::FontSpec kButtonFonts[] = {
    {13, 700}, {12, 700}, {11, 700}, {10, 400}, {9, 400}};
constexpr int kButtonInset = 3;

void draw_sample_time_button(const gui::DrawItemContext& item) {
  Canvas& c = *item.canvas;
  c.fill_rect(item.rect, platform::colors::kFace);
  gui::draw_edge(c, item.rect, gui::Edge::Raised);
  const Rect inside = item.rect.inflated(-kButtonInset, -kButtonInset);
  const std::string& text = item.control->text();
  const unsigned format = tf::kCenter | tf::kVCenter | tf::kWordBreak;
  platform::FontSpec font = kButtonFonts[std::size(kButtonFonts) - 1];
  for (const platform::FontSpec& f : kButtonFonts) {
    const platform::Size size = c.measure_text(text, inside.width(), f, format);
    // A pixel to spare above and below: accents rise above the line.
    if (size.height <= inside.height() - 2 && size.width <= inside.width()) {
      font = f;
      break;
    }
  }
  c.draw_text(text, inside, font,
              item.disabled ? gui::kDisabledTextColor : platform::colors::kBlack, format);
}

void draw_rows(Canvas& c, const SampleFileTable& files, int available) {
  std::array<DryerSampleRecord, kChartRows> records{};
  // Eight records ending (available - 8 - position + 1) before the newest.
  const int skip = std::max(available - kChartRows - g_chart.position + 1, 0);
  const int count = read_recent_short_term_records(files, records, skip);
  for (int i = 0; i < count; ++i) {
    const ChartRow row = chart_row(records[size_t(i)]);
    const int top = 40 + 16 * i;
    for (size_t k = 0; k < std::size(kColumns); ++k) {
      c.draw_text(row.cell[k], {kColumns[k].left, top, kColumns[k].right, top + 15}, kCellFont,
                  kColumns[k].ink, kCentred);
    }
  }
}

void draw_lines(Canvas& c, const Rect& client) {
  for (const int x : {100, 150, 200, 250, 300}) c.draw_line({x, 0}, {x, 205}, kLineGrey);
  for (const int y : {33, 35}) c.draw_line({0, y}, {client.right, y}, kLineGrey);
  c.draw_line({361, 0}, {361, 33}, kLineGrey);
}

// What the chart was last drawn from: the log as this program last changed it, the disk, the
// place in the log, the sample time, the language, the temperature unit and whether texts are
// recorded. The chart is looked at every second and repainted when one of these changed; a
// paint for another reason while none of them changed shows the picture drawn last again,
// without reading the log's folder.
struct ChartSource {
  uint64_t log_generation = 0;
  uint64_t disk_generation = 0;
  int position = 0;
  int sample_time = 0;
  int language = 0;
  bool metric = false;
  bool recorded = false;
  bool follow_newest = true;

  bool operator==(const ChartSource&) const = default;
};

ChartSource chart_source_now() {
  ChartSource source;
  source.log_generation = short_term_log_generation();
  source.disk_generation = platform::disk_root_generation();
  source.position = g_chart.position;
  source.sample_time = int(display_settings().sample_time_minutes);
  source.language = texts::language_index();
  source.metric = link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0;
  source.recorded = platform::text_recording_open();
  source.follow_newest = g_chart.follow_newest;
  return source;
}

struct ChartPicture {
  platform::Bitmap offscreen;
  ChartSource drawn;
  int available = 0;  // the samples the log held when it was drawn
  bool valid = false;
};
ChartPicture g_picture;

// The caption and the sample-time button follow the language and the sample time; the same
// text is not set again.
void follow_texts(gui::Window& w) {
  SampleTimeButtonText button;
  sample_time_button_text(button);
  gui::Window* b = gui::child_by_id(&w, kSampleTimeButtonId);
  if (b != nullptr && button[0] != '\0' && b->text() != button.data())
    gui::set_window_text(b, button.data());
  texts::StringBuffer caption;
  caption[0] = '\0';
  texts::localized_string(kCaptionString, caption);
  if (caption[0] != '\0' && w.text() != caption.data()) gui::set_window_text(&w, caption.data());
}

void paint_chart(gui::Window& w, const gui::PaintContext& paint) {
  follow_texts(w);
  const Rect client = w.client_rect();
  if (g_picture.offscreen.size() != platform::Size{client.width(), client.height()}) {
    g_picture.offscreen =
        platform::Bitmap(client.width(), client.height(), platform::colors::kWhite);
    g_picture.valid = false;
  }
  if (!g_picture.valid || !(chart_source_now() == g_picture.drawn)) {
    const SampleFileTable files = scan_short_term_files();
    const int available = short_term_records_available(files);
    if (g_chart.follow_newest) g_chart.position = newest_position(available);
    g_chart.position = std::clamp(g_chart.position, 0, available);
    Canvas c(g_picture.offscreen);
    c.fill_rect(client, platform::colors::kWhite);
    draw_headings(c);
    draw_rows(c, files, available);
    draw_lines(c, client);
    g_picture.drawn = chart_source_now();
    g_picture.available = available;
    g_picture.valid = true;
  }
  // A paint may not show or hide a window: the bar follows the samples right after it.
  gui::post_message(&w, {gui::MessageKind::User, kFollowSamples, g_picture.available});
  paint.canvas->blit(g_picture.offscreen, client, {0, 0});
}

void on_scroll(gui::Window& w, const gui::Message& m) {
  const int available = short_term_records_available();
  int p = g_chart.position;
  switch (gui::scroll_code(m)) {
    case gui::ScrollCode::LineUp:
      p -= 1;
      break;
    case gui::ScrollCode::LineDown:
      p += 1;
      break;
    case gui::ScrollCode::PageUp:
      p -= kChartRows;
      break;
    case gui::ScrollCode::PageDown:
      p += kChartRows;
      break;
    case gui::ScrollCode::ThumbPosition:
      p = gui::scroll_message_position(m);
      break;
    default:
      return;
  }
  g_chart.position = std::clamp(p, 0, available);
  g_chart.follow_newest = g_chart.position >= newest_position(available);
  set_scroll_bar(w, available);
  gui::invalidate(&w, gui::Erase::No);
}

void create_chart_controls(gui::Window& w) {
  gui::create_window({.class_name = std::string(gui::kScrollBarClass),
                      .text = {},
                      .style = gui::style::kChild | gui::control_style::kVertical,
                      .rect = Rect::from_xywh(361, 37, 30, 135),
                      .parent = &w,
                      .id = kChartScrollBarId});
  gui::create_window({.class_name = std::string(gui::kButtonClass),
                      .text = sample_time_button_text(),
                      .style = gui::style::kChild | gui::style::kVisible | gui::style::kMultiLine |
                               gui::style::kOwnerDraw,
                      .rect = Rect::from_xywh(1, 1, 98, 31),
                      .parent = &w,
                      .id = kSampleTimeButtonId});
  const int available = short_term_records_available();
  g_chart.position = g_chart.follow_newest ? newest_position(available) : g_chart.position;
  set_scroll_bar(w, available);
}

intptr_t status_chart_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      create_chart_controls(w);
      return 0;
    case gui::MessageKind::Paint:
      paint_chart(w, gui::paint_context(m));
      return 0;
    case gui::MessageKind::EraseBackground:
      return 1;  // the paint covers the whole client area
    case gui::MessageKind::User:
      if (m.wparam == kFollowSamples) set_scroll_bar(w, int(m.lparam));
      return 0;
    case gui::MessageKind::VScroll:
      on_scroll(w, m);
      return 0;
    case gui::MessageKind::DrawItem:
      if (gui::draw_item_context(m).id == kSampleTimeButtonId) {
        draw_sample_time_button(gui::draw_item_context(m));
        return 1;
      }
      break;
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kSampleTimeButtonId) {
        open_sample_time_dialog(&w);
        return 0;
      }
      break;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

}  // namespace

void register_status_chart_class() {
  gui::register_controls();
  gui::register_class(
      {resources::AVERAGE_VALUES_WINDOW, &status_chart_procedure, platform::colors::kBlack, true});
}

ChartRow chart_row(const DryerSampleRecord& record) {
  const uint8_t* r = record.data();
  ChartRow row;
  const int hour = r[13];
  const int shown = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
  char text[48];
  std::snprintf(text, sizeof text, "%2d:%.2d%s %d/%d", shown, int(r[14]), hour >= 12 ? "PM" : "AM",
                int(r[16]), int(r[17]));
  row.cell[0] = text;
  row.cell[1] = temperature_text(record_value(r, 0));
  row.cell[2] = moisture_text(record_value(r, 4));
  row.cell[3] = moisture_text(record_value(r, 8));
  row.cell[4] = temperature_text(record_value(r, 6) / 10u);
  std::snprintf(text, sizeof text, "%d %%", int(record_value(r, 10)));
  row.cell[5] = text;
  return row;
}

int chart_scroll_position() { return g_chart.position; }

void refresh_status_chart() {
  // Texts are recorded only while a window paints; whether they are is no reason to paint
  // again (the window system records a window's texts from its next paint on).
  ChartSource now = chart_source_now();
  now.recorded = g_picture.drawn.recorded;
  if (g_picture.valid && now == g_picture.drawn) return;
  gui::invalidate_class(resources::AVERAGE_VALUES_WINDOW);
}

void reset_status_chart() {
  g_chart = {};
  g_picture.valid = false;
}

}  // namespace corvex::logging
