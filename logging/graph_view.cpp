// GRAPH_WINDOW and its drawing window DRAW_GRAPH_WINDOW.
#include "logging/graph_view.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "logging/display_settings.h"
#include "logging/settings_dialogs.h"
#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace tf = platform::text_format;
using platform::Canvas;
using platform::Color;
using platform::Point;
using platform::Rect;
using platform::rgb;

constexpr Color kSolidGrey = rgb(192, 192, 192);
constexpr Color kGridGreen = rgb(0, 255, 0);
constexpr Color kBaseLineGreen = rgb(0, 200, 0);
constexpr Color kFrameGrey = rgb(100, 100, 100);
constexpr Color kScrollLabelGreen = rgb(0, 80, 0);
constexpr platform::FontSpec kAxisFont{12, 400};
constexpr platform::FontSpec kTimeFont{14, 600};
constexpr int kSetupButtonString = 453;
constexpr int kHoursString = 460;
constexpr int kFirstTraceBitmap = 64;
// The graph window's own message: set the scroll bar for lparam available hours.
constexpr intptr_t kFollowRecords = 1;

// The base line of the traces: a point at axis 0 lies on y = 184, one at axis 4 on y = 4.
constexpr int kTraceBottom = 184;
constexpr int kPlotHeight = 180;
constexpr int kTraceLeft = 5;

enum class LabelKind : uint8_t { Moisture, Temperature, Percent };

struct TraceStyle {
  int button_id;
  Point button_at;
  GraphTrace points;  // which point array of the loaded window
  Color trace;
  Color label;
  LabelKind kind;
  int label_left;
  int label_right;
  unsigned align;
};

// In drawing order, which is also the order of the trace flags (bit n of the persisted byte).
constexpr TraceStyle kTraces[] = {
    {kGraphMoistInButtonId, {8, 260}, kTraceMoistureIn, rgb(0, 255, 0), rgb(0, 200, 0),
     LabelKind::Moisture, 6, 39, tf::kLeft},
    {kGraphTempInButtonId, {8, 300}, kTraceGrainTempIn, rgb(255, 128, 64), rgb(200, 105, 50),
     LabelKind::Temperature, 35, 65, tf::kLeft},
    {kGraphMoistOutButtonId, {138, 260}, kTraceMoistureOut, rgb(0, 255, 255), rgb(0, 200, 200),
     LabelKind::Moisture, 60, 90, tf::kLeft},
    {kGraphTempOutButtonId, {138, 300}, kTraceGrainTempOut, rgb(255, 0, 255), rgb(200, 0, 200),
     LabelKind::Temperature, 280, 310, tf::kRight},
    {kGraphDryerGrainTempButtonId, {270, 260}, kTraceDryerGrainTemp, rgb(255, 255, 0),
     rgb(200, 200, 0), LabelKind::Temperature, 310, 337, tf::kRight},
    {kGraphRollSpeedButtonId, {270, 300}, kTraceRollSpeed, rgb(255, 0, 0), rgb(150, 0, 0),
     LabelKind::Percent, 340, 365, tf::kRight},
};
constexpr int kTraceCount = int(std::size(kTraces));

// Rows of the axis labels, axis 0 (bottom) to axis 4 (top).
constexpr int kAxisRowTop[5] = {170, 142, 95, 47, 5};
constexpr int kAxisRowBottom[5] = {190, 162, 115, 67, 20};

struct GraphViewState {
  int scroll_hours = 0;
};
GraphViewState g_view;

int trace_index_of_button(int id) {
  for (int i = 0; i < kTraceCount; ++i)
    if (kTraces[i].button_id == id) return i;
  return -1;
}

bool trace_on(int i) { return display_settings().trace_on[size_t(i)] == 1; }

int scale_hours() { return graph_scale_hours(display_settings().graph_scale_index); }

// The graph offers at most the last 24 hours, also when the two files hold more.
int scroll_limit(int available_hours) {
  const int k = scale_hours();
  return std::min(graph_scroll_limit(k), std::max(available_hours - k, 0));
}

// Range 0 to the available hours, page 1, the newest data at the right end.
void set_scroll_bar(gui::Window& graph, int available_hours) {
  gui::Window* bar = gui::child_by_id(&graph, kGraphScrollBarId);
  if (bar == nullptr) return;
  gui::scroll_bar_set_info(bar, {0, available_hours, 1, available_hours - g_view.scroll_hours});
}

std::string axis_label(LabelKind kind, int value) {
  char text[24];
  switch (kind) {
    case LabelKind::Moisture: std::snprintf(text, sizeof text, "%d.%d%%", value / 10, value % 10); break;
    case LabelKind::Temperature: std::snprintf(text, sizeof text, "%dF", value); break;
    case LabelKind::Percent: std::snprintf(text, sizeof text, "%d%%", value); break;
  }
  return text;
}

// ---- The drawing window ----

struct PlottedTraces {
  std::array<GraphAxis, kGraphTraceCount> axis;
  std::array<std::array<Point, kGraphPoints>, kGraphTraceCount> line;
};

void plot(const GraphWindow& window, PlottedTraces& out) {
  for (size_t t = 0; t < kGraphTraceCount; ++t) {
    const GraphAxis axis = graph_axis(window.points[t]);
    out.axis[t] = axis;
    for (size_t i = 0; i < kGraphPoints; ++i) {
      const int h = plotted_height(window.points[t][i].y, axis);
      out.line[t][i] = {int(i) + kTraceLeft, kTraceBottom - h};
    }
  }
}

void draw_grid(Canvas& c) {
  for (const int y : {47, 95, 142}) c.draw_dotted_line({1, y}, {376, y}, kGridGreen, 1, 2);
  c.draw_line({0, 185}, {380, 185}, kBaseLineGreen);
}

void draw_axis_labels(Canvas& c, const PlottedTraces& p) {
  for (int i = 0; i < kTraceCount; ++i) {
    if (!trace_on(i)) continue;
    const TraceStyle& t = kTraces[i];
    const GraphAxis& axis = p.axis[t.points];
    for (int a = 0; a < 5; ++a) {
      c.draw_text(axis_label(t.kind, axis.value[size_t(a)]),
                  {t.label_left, kAxisRowTop[a], t.label_right, kAxisRowBottom[a]}, kAxisFont,
                  t.label, t.align | tf::kSingleLine);
    }
  }
}

void draw_traces(Canvas& c, const PlottedTraces& p) {
  for (int i = 0; i < kTraceCount; ++i) {
    if (trace_on(i)) c.draw_polyline(p.line[kTraces[i].points], kTraces[i].trace, 1);
  }
}

void draw_frame(Canvas& c) {
  for (const Rect& r : {Rect{0, 190, 380, 220}, Rect{0, 0, 5, 220}, Rect{365, 0, 370, 220},
                        Rect{0, 0, 380, 3}}) {
    c.fill_rect(r, kFrameGrey);
  }
}

void draw_time_labels(Canvas& c, const GraphWindow& window) {
  const size_t k = size_t(scale_hours());
  const auto record = [&](size_t index) { return window.buffer.data() + index * kSampleRecordBytes; };
  const unsigned one_line = tf::kSingleLine | tf::kVCenter;
  c.draw_text(graph_time_label(record(0), WithDate::No), {3, 195, 100, 215}, kTimeFont,
              platform::colors::kBlack, tf::kLeft | one_line);
  c.draw_text(graph_time_label(record(180 * k), WithDate::Yes), {135, 195, 235, 215}, kTimeFont,
              platform::colors::kBlack, tf::kCenter | one_line);
  c.draw_text(graph_time_label(record(360 * k - 1), WithDate::No), {300, 195, 367, 215},
              kTimeFont, platform::colors::kBlack, tf::kRight | one_line);
}

void draw_scroll_label(Canvas& c, int available_hours) {
  std::string label = "[END]";
  if (g_view.scroll_hours != available_hours) {
    char text[64];
    std::snprintf(text, sizeof text, "[-%d %s]", g_view.scroll_hours,
                  texts::localized_text(kHoursString).c_str());
    label = text;
  }
  c.draw_text(label, {55, 195, 120, 215}, kTimeFont, kScrollLabelGreen,
              tf::kRight | tf::kSingleLine | tf::kVCenter);
}

platform::Bitmap g_graph_offscreen;
PlottedTraces g_plotted;

void paint_draw_graph(gui::Window& w, const gui::PaintContext& paint) {
  const Rect client = w.client_rect();
  if (g_graph_offscreen.size() != platform::Size{client.width(), client.height()})
    g_graph_offscreen = platform::Bitmap(client.width(), client.height(), platform::colors::kWhite);
  Canvas c(g_graph_offscreen);
  c.fill_rect(client, platform::colors::kWhite);
  draw_grid(c);

  const int available = graph_available_hours();
  // A longer scale chosen since the last scroll may leave the position past the new limit.
  g_view.scroll_hours = std::clamp(g_view.scroll_hours, 0, scroll_limit(available));
  GraphWindow& window = graph_window();
  load_graph_window(window, g_view.scroll_hours, display_settings().graph_scale_index);
  plot(window, g_plotted);

  draw_axis_labels(c, g_plotted);
  draw_traces(c, g_plotted);
  draw_frame(c);
  draw_time_labels(c, window);
  draw_scroll_label(c, available);
  paint.canvas->blit(g_graph_offscreen, client, {0, 0});

  // Records keep arriving while the graph is shown: the bar's range follows them, right after
  // the paint (a paint changes no other window).
  if (gui::Window* graph = w.parent())
    gui::post_message(graph, {gui::MessageKind::User, kFollowRecords, available});
}

intptr_t draw_graph_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Paint:
      paint_draw_graph(w, gui::paint_context(m));
      return 0;
    case gui::MessageKind::EraseBackground:
      return 1;  // the paint covers the whole window
    default:
      return gui::default_window_procedure(w, m);
  }
}

// ---- The graph window ----

void redraw_graph(gui::Window& graph) {
  if (gui::Window* d = gui::find_window_by_class(resources::DRAW_GRAPH_WINDOW)) gui::invalidate(d, gui::Erase::No);
  gui::invalidate(&graph, gui::Erase::Yes);
}

void create_graph_controls(gui::Window& w) {
  for (int i = 0; i < kTraceCount; ++i) {
    texts::create_picture_button(&w, kFirstTraceBitmap + i, kTraces[i].button_id,
                                 kTraces[i].button_at);
  }
  const int available = graph_available_hours();
  gui::Window* bar = gui::create_window({.class_name = std::string(gui::kScrollBarClass),
                                         .text = {},
                                         .style = gui::style::kChild | gui::style::kVisible,
                                         .rect = Rect::from_xywh(5, 225, 380, 25),
                                         .parent = &w,
                                         .id = kGraphScrollBarId});
  if (bar != nullptr) set_scroll_bar(w, available);
  gui::create_window({.class_name = std::string(gui::kButtonClass),
                      .text = texts::localized_text(kSetupButtonString),
                      .style = gui::style::kChild | gui::style::kVisible,
                      .rect = Rect::from_xywh(195, 340, 185, 25),
                      .parent = &w,
                      .id = kGraphSetupButtonId});
  gui::create_window({.class_name = resources::DRAW_GRAPH_WINDOW,
                      .text = " DRYER VARIABLES ARE SAMPLED ONCE EACH MINUTE",
                      .style = gui::style::kChild | gui::style::kVisible,
                      .rect = Rect::from_xywh(5, 5, 380, 220),
                      .parent = &w});
}

void toggle_trace(gui::Window& graph, int i) {
  uint8_t& flag = display_settings().trace_on[size_t(i)];
  flag = flag == 1 ? 0 : 1;
  if (gui::Window* b = gui::child_by_id(&graph, kTraces[i].button_id)) gui::invalidate(b);
  if (gui::Window* d = gui::find_window_by_class(resources::DRAW_GRAPH_WINDOW)) gui::invalidate(d, gui::Erase::No);
  save_trace_flags();
}

void on_scroll(gui::Window& graph, gui::ScrollCode code) {
  const int available = graph_available_hours();
  switch (code) {
    case gui::ScrollCode::LineLeft:
    case gui::ScrollCode::PageLeft:
      if (g_view.scroll_hours < scroll_limit(available)) ++g_view.scroll_hours;
      break;
    case gui::ScrollCode::LineRight:
    case gui::ScrollCode::PageRight:
      if (g_view.scroll_hours > 0) --g_view.scroll_hours;
      break;
    default:
      break;
  }
  set_scroll_bar(graph, available);
  redraw_graph(graph);
}

void paint_graph_window(gui::Window& w) {
  if (gui::Window* setup = gui::child_by_id(&w, kGraphSetupButtonId)) {
    const std::string text = texts::localized_text(kSetupButtonString);
    if (!text.empty() && setup->text() != text) gui::set_window_text(setup, text);
  }
}

intptr_t graph_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      create_graph_controls(w);
      return 0;
    case gui::MessageKind::Paint:
      paint_graph_window(w);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      const int i = trace_index_of_button(item.id);
      if (i < 0) break;
      texts::draw_picture_button(item, kFirstTraceBitmap + i);
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (const int i = trace_index_of_button(id); i >= 0) {
        toggle_trace(w, i);
        return 0;
      }
      if (id == kGraphSetupButtonId) {
        open_graph_setup_dialog(&w);
        return 0;
      }
      break;
    }
    case gui::MessageKind::HScroll:
      on_scroll(w, gui::scroll_code(m));
      return 0;
    case gui::MessageKind::User:
      if (m.wparam == kFollowRecords) set_scroll_bar(w, int(m.lparam));
      return 0;
    case gui::MessageKind::Destroy: {
      static constexpr int kImages[] = {64, 65, 66, 67, 68, 69};
      texts::release_picture_images(kImages);
      break;
    }
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

}  // namespace

void register_graph_view_classes() {
  gui::register_controls();
  gui::register_class({resources::GRAPH_WINDOW, &graph_procedure, kSolidGrey, true});
  gui::register_class({resources::DRAW_GRAPH_WINDOW, &draw_graph_procedure, platform::colors::kWhite, true});
}

GraphAxis graph_axis(std::span<const Point> points) {
  int max = 0;
  int min = 0;
  if (!points.empty()) {
    const auto [lo, hi] = std::minmax_element(points.begin(), points.end(),
                                              [](const Point& a, const Point& b) { return a.y < b.y; });
    min = std::max(lo->y, 0);
    max = std::max(hi->y, 0);
  }
  const int r = max - min + 3;
  int s = r <= 4 ? 1 : r <= 8 ? 2 : r <= 12 ? 3 : r <= 20 ? 5 : r <= 40 ? 10 : r <= 80 ? 20
        : r <= 100 ? 25 : r <= 120 ? 30 : r <= 160 ? 40 : r <= 200 ? 50 : 100;
  const int axis0 = min / s * s;
  // Widening by whole quarters of the shortfall, rounded up: rounding down could leave the
  // largest value above axis 4 and its trace above the top of the window.
  if (axis0 + 4 * s < max) s += (max - axis0 - 4 * s + 3) / 4;
  GraphAxis axis;
  for (int a = 0; a < 5; ++a) axis.value[size_t(a)] = axis0 + a * s;
  return axis;
}

int plotted_height(int value, const GraphAxis& axis) {
  const int span = axis.value[4] - axis.value[0];
  if (span <= 0) return 0;
  return int(double(value - axis.value[0]) * kPlotHeight / double(span));
}

std::string graph_time_label(const uint8_t* record, WithDate date) {
  const int hour = record[13];
  const int minute = record[14];
  const bool pm = hour >= 12;
  const int shown = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
  char text[40];
  if (date == WithDate::Yes) {
    std::snprintf(text, sizeof text, "%d:%02d%s %d/%02d", shown, minute, pm ? "PM" : "AM",
                  int(record[16]), int(record[17]));
  } else {
    std::snprintf(text, sizeof text, "%d:%02d%s", shown, minute, pm ? "PM" : "AM");
  }
  return text;
}

int graph_scroll_position() { return g_view.scroll_hours; }
void reset_graph_view() { g_view = {}; }

}  // namespace corvex::logging
