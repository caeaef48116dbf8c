// The "SCROLLBAR" class: two arrows, a track and a thumb sized to the page. Arrows and the
// track beside the thumb tell the parent line and page steps (repeated while held); dragging the
// thumb tells it the tracking position and, on release, the final one. The bar moves its thumb
// only when the parent sets a new position, except while the thumb is being dragged.
#include <algorithm>
#include <memory>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

enum class Part { None, ArrowBack, PageBack, Thumb, PageForward, ArrowForward };

struct ScrollBarState {
  ScrollInfo info;
  Part pressed = Part::None;
  bool dragging = false;
  int track_position = 0;  // where the dragged thumb is
  int drag_offset = 0;     // where in the thumb the finger took it
};

// Positions along the bar, in pixels from its start (left or top).
struct Geometry {
  int length = 0;
  int arrow = 0;
  int track_start = 0;
  int track_length = 0;
  bool has_thumb = false;
  int thumb_start = 0;
  int thumb_length = 0;
};

constexpr int kRepeatTimer = 1;
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatPeriodMs = 100;
constexpr int kMinThumb = 20;

ScrollBarState* state_of(const Window* w) {
  return control_state_of<ScrollBarState>(w, kScrollBarClass);
}

bool is_vertical(const Window& w) { return (w.style() & control_style::kVertical) != 0; }

int max_position(const ScrollInfo& info) { return info.max - std::max(info.page - 1, 0); }

ScrollInfo clamped(ScrollInfo info) {
  info.max = std::max(info.max, info.min);
  const int units = info.max - info.min + 1;
  info.page = std::clamp(info.page, 0, units);
  info.position = std::clamp(info.position, info.min, max_position(info));
  return info;
}

Geometry geometry_of(const Window& w, const ScrollInfo& info, int position) {
  const Rect r = w.client_rect();
  Geometry g;
  g.length = is_vertical(w) ? r.height() : r.width();
  const int thickness = is_vertical(w) ? r.width() : r.height();
  g.arrow = std::max(0, std::min(thickness, g.length / 3));
  g.track_start = g.arrow;
  g.track_length = std::max(0, g.length - 2 * g.arrow);
  const int units = info.max - info.min + 1;
  g.has_thumb = info.max > info.min && (info.page == 0 || info.page < units) && g.track_length > 0;
  if (!g.has_thumb) return g;
  g.thumb_length = info.page > 0 ? int(int64_t(g.track_length) * info.page / units) : thickness;
  g.thumb_length = std::clamp(g.thumb_length, std::min(kMinThumb, g.track_length), g.track_length);
  const int span = max_position(info) - info.min;
  const int room = g.track_length - g.thumb_length;
  g.thumb_start = g.track_start + (span > 0 ? int(int64_t(room) * (position - info.min) / span) : 0);
  return g;
}

int along(const Window& w, Point p) { return is_vertical(w) ? p.y : p.x; }

Part part_at(const Geometry& g, int a) {
  if (a < g.arrow) return Part::ArrowBack;
  if (a >= g.length - g.arrow) return Part::ArrowForward;
  if (!g.has_thumb) return Part::None;
  if (a < g.thumb_start) return Part::PageBack;
  if (a < g.thumb_start + g.thumb_length) return Part::Thumb;
  return Part::PageForward;
}

// The rectangle of a stretch [from, to) along the bar, across its whole thickness.
Rect stretch(const Window& w, int from, int to) {
  const Rect r = w.client_rect();
  return is_vertical(w) ? Rect{r.left, from, r.right, to} : Rect{from, r.top, to, r.bottom};
}

void notify(Window& w, ScrollCode code, int position) {
  Window* parent = w.parent();
  if (parent == nullptr) return;
  const intptr_t wparam = intptr_t(code) | (intptr_t(std::clamp(position, 0, 0xFFFF)) << 16);
  const MessageKind kind = is_vertical(w) ? MessageKind::VScroll : MessageKind::HScroll;
  send_message(parent, {kind, wparam, reinterpret_cast<intptr_t>(&w)});
}

ScrollCode code_of(Part part) {
  switch (part) {
    case Part::ArrowBack: return ScrollCode::LineUp;
    case Part::ArrowForward: return ScrollCode::LineDown;
    case Part::PageBack: return ScrollCode::PageUp;
    default: return ScrollCode::PageDown;
  }
}

void draw_arrow(Window& w, Canvas& canvas, const Rect& box, bool back, bool pressed) {
  canvas.fill_rect(box, colors::kFace);
  draw_edge(canvas, box, pressed ? Edge::Sunken : Edge::Raised);
  const int cx = (box.left + box.right) / 2 + (pressed ? 1 : 0);
  const int cy = (box.top + box.bottom) / 2 + (pressed ? 1 : 0);
  const int s = std::max(3, std::min(box.width(), box.height()) / 4);
  const Color color = w.is_enabled() ? colors::kBlack : kDisabledTextColor;
  Point points[3];
  if (is_vertical(w)) {
    const int d = back ? -1 : 1;
    points[0] = {cx - s, cy - d * s / 2};
    points[1] = {cx + s, cy - d * s / 2};
    points[2] = {cx, cy + d * s / 2 + d};
  } else {
    const int d = back ? -1 : 1;
    points[0] = {cx - d * s / 2, cy - s};
    points[1] = {cx - d * s / 2, cy + s};
    points[2] = {cx + d * s / 2 + d, cy};
  }
  canvas.fill_polygon(points, color);
}

void paint_scroll_bar(Window& w, const PaintContext& paint) {
  const ScrollBarState* state = state_of(&w);
  if (state == nullptr) return;
  Canvas& canvas = *paint.canvas;
  const int position = state->dragging ? state->track_position : state->info.position;
  const Geometry g = geometry_of(w, state->info, position);
  const bool held = pressed_window() == &w;
  canvas.fill_rect(stretch(w, g.track_start, g.track_start + g.track_length), rgb(236, 234, 230));
  if (g.has_thumb && held && (state->pressed == Part::PageBack || state->pressed == Part::PageForward)) {
    const bool back = state->pressed == Part::PageBack;
    canvas.fill_rect(back ? stretch(w, g.track_start, g.thumb_start)
                          : stretch(w, g.thumb_start + g.thumb_length, g.track_start + g.track_length),
                     kDarkShadowColor);
  }
  if (g.has_thumb) {
    const Rect thumb = stretch(w, g.thumb_start, g.thumb_start + g.thumb_length);
    canvas.fill_rect(thumb, colors::kFace);
    draw_edge(canvas, thumb, Edge::Raised);
  }
  draw_arrow(w, canvas, stretch(w, 0, g.arrow), true, held && state->pressed == Part::ArrowBack);
  draw_arrow(w, canvas, stretch(w, g.length - g.arrow, g.length), false,
             held && state->pressed == Part::ArrowForward);
}

// While an arrow or the track is held, its step repeats, first after a pause, then steadily;
// a page step stops once the thumb has reached the finger.
void repeat_step(Window* w, int timer_id) {
  ScrollBarState* state = state_of(w);
  if (state == nullptr || pressed_window() != w || state->pressed == Part::None ||
      state->pressed == Part::Thumb) {
    kill_timer(w, timer_id);
    return;
  }
  const Point origin = w->client_origin();
  const Point p = pointer_position();
  const Point local{p.x - origin.x, p.y - origin.y};
  const Geometry g = geometry_of(*w, state->info, state->info.position);
  if (part_at(g, along(*w, local)) == state->pressed) {
    notify(*w, code_of(state->pressed), state->info.position);
  }
  set_timer(w, kRepeatTimer, kRepeatPeriodMs, &repeat_step);
}

int position_for_thumb_at(const Window& w, const ScrollInfo& info, int thumb_start) {
  const Geometry g = geometry_of(w, info, info.position);
  const int room = g.track_length - g.thumb_length;
  const int span = max_position(info) - info.min;
  if (room <= 0 || span <= 0) return info.min;
  const int offset = std::clamp(thumb_start - g.track_start, 0, room);
  return info.min + int((int64_t(offset) * span + room / 2) / room);
}

void on_pointer_down(Window& w, ScrollBarState& state, Point p) {
  count_control_press();
  const Geometry g = geometry_of(w, state.info, state.info.position);
  state.pressed = part_at(g, along(w, p));
  invalidate(&w, Erase::No);
  if (state.pressed == Part::None) return;
  if (state.pressed == Part::Thumb) {
    state.dragging = true;
    state.track_position = state.info.position;
    state.drag_offset = along(w, p) - g.thumb_start;
    return;
  }
  notify(w, code_of(state.pressed), state.info.position);
  set_timer(&w, kRepeatTimer, kRepeatDelayMs, &repeat_step);
}

void on_pointer_move(Window& w, ScrollBarState& state, Point p) {
  if (!state.dragging) return;
  const int position = position_for_thumb_at(w, state.info, along(w, p) - state.drag_offset);
  if (position == state.track_position) return;
  state.track_position = position;
  invalidate(&w, Erase::No);
  notify(w, ScrollCode::ThumbTrack, position);
}

void on_pointer_up(Window& w, ScrollBarState& state) {
  if (state.pressed == Part::None) return;
  kill_timer(&w, kRepeatTimer);
  const bool dragged = state.dragging;
  state.pressed = Part::None;
  state.dragging = false;
  invalidate(&w, Erase::No);
  if (dragged) notify(w, ScrollCode::ThumbPosition, state.track_position);
  notify(w, ScrollCode::EndScroll, state.info.position);
}

intptr_t scroll_bar_procedure(Window& w, const Message& m) {
  ScrollBarState* state = state_of(&w);
  switch (m.kind) {
    case MessageKind::Create:
      w.control_state = std::make_shared<ScrollBarState>();
      return 0;
    case MessageKind::Paint:
      paint_scroll_bar(w, paint_context(m));
      return 0;
    case MessageKind::PointerDown:
      if (state != nullptr) on_pointer_down(w, *state, pointer_point(w, m));
      return 0;
    case MessageKind::PointerMove:
      if (state != nullptr) on_pointer_move(w, *state, pointer_point(w, m));
      return 0;
    case MessageKind::PointerUp:
      if (state != nullptr) on_pointer_up(w, *state);
      return 0;
    case MessageKind::Destroy:
      kill_timer(&w, kRepeatTimer);
      break;
    case MessageKind::Enable:
      invalidate(&w, Erase::No);
      return 0;
    default:
      break;
  }
  return default_window_procedure(w, m);
}

}  // namespace

void register_scroll_bar_class() {
  register_class({std::string(kScrollBarClass), &scroll_bar_procedure, colors::kFace, true});
}

void scroll_bar_set_info(Window* bar, const ScrollInfo& info) {
  ScrollBarState* state = state_of(bar);
  if (state == nullptr) return;
  const ScrollInfo next = clamped(info);
  if (next == state->info) return;
  state->info = next;
  invalidate(bar, Erase::No);
}

// Returns the bar's range, page and position (defaults for a window that is no scroll bar).
ScrollInfo scroll_bar_info(const Window* bar) {
  const ScrollBarState* state = state_of(bar);
  return state != nullptr ? state->info : ScrollInfo{};
}

void scroll_bar_set_range(Window* bar, int min, int max) {
  ScrollInfo info = scroll_bar_info(bar);
  info.min = min;
  info.max = max;
  scroll_bar_set_info(bar, info);
}

void scroll_bar_set_position(Window* bar, int position) {
  ScrollInfo info = scroll_bar_info(bar);
  info.position = position;
  scroll_bar_set_info(bar, info);
}

// Returns the position the parent last set (clamped to the range).
int scroll_bar_position(const Window* bar) { return scroll_bar_info(bar).position; }

}  // namespace platform::gui
