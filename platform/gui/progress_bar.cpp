// The "PROGRESS" class: a sunken box filled from the left in proportion to the position within
// the range.
#include <algorithm>
#include <memory>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

struct ProgressState {
  int min = 0;
  int max = 100;
  int step = 10;
  int position = 0;
};

constexpr Color kBarColor = rgb(0, 0, 160);

ProgressState* state_of(const Window* w) {
  return control_state_of<ProgressState>(w, kProgressClass);
}

// The filled width; an empty range shows an empty bar rather than dividing by zero.
int filled_width(const ProgressState& s, int width) {
  const int64_t span = int64_t(s.max) - s.min;
  if (span <= 0 || width <= 0) return 0;
  return int(int64_t(width) * (int64_t(s.position) - s.min) / span);
}

void paint_progress(Window& w, const PaintContext& paint) {
  const ProgressState* s = state_of(&w);
  if (s == nullptr) return;
  Canvas& canvas = *paint.canvas;
  const Rect client = w.client_rect();
  const Rect inner = client.inflated(-3, -3);
  canvas.fill_rect(client, colors::kFace);
  draw_edge(canvas, client, Edge::Sunken);
  const int filled = filled_width(*s, inner.width());
  if (filled > 0) canvas.fill_rect({inner.left, inner.top, inner.left + filled, inner.bottom}, kBarColor);
}

intptr_t progress_procedure(Window& w, const Message& m) {
  switch (m.kind) {
    case MessageKind::Create:
      w.control_state = std::make_shared<ProgressState>();
      return 0;
    case MessageKind::EraseBackground:
      return 1;  // the paint covers the whole control
    case MessageKind::Paint:
      paint_progress(w, paint_context(m));
      return 0;
    default:
      break;
  }
  return default_window_procedure(w, m);
}

// Moves to the clamped position, repainting only when the filled part changes size.
int move_to(Window* bar, ProgressState& s, int64_t position) {
  const int previous = s.position;
  const int before = filled_width(s, bar->client_rect().width() - 6);
  s.position = int(std::clamp<int64_t>(position, s.min, s.max));
  if (filled_width(s, bar->client_rect().width() - 6) != before) invalidate(bar, Erase::No);
  return previous;
}

}  // namespace

void register_progress_class() {
  register_class({std::string(kProgressClass), &progress_procedure, colors::kFace, true});
}

void progress_set_range(Window* bar, int min, int max) {
  ProgressState* s = state_of(bar);
  if (s == nullptr) return;
  s->min = min;
  s->max = std::max(min, max);
  s->position = std::clamp(s->position, s->min, s->max);
  invalidate(bar, Erase::No);
}

void progress_set_step(Window* bar, int step) {
  if (ProgressState* s = state_of(bar)) s->step = step;
}

// Returns the previous position.
int progress_set_position(Window* bar, int position) {
  ProgressState* s = state_of(bar);
  return s == nullptr ? 0 : move_to(bar, *s, position);
}

// Returns the previous position.
int progress_step_it(Window* bar) {
  ProgressState* s = state_of(bar);
  return s == nullptr ? 0 : move_to(bar, *s, int64_t(s->position) + s->step);
}

// Returns the current position.
int progress_position(const Window* bar) {
  const ProgressState* s = state_of(bar);
  return s == nullptr ? 0 : s->position;
}

}  // namespace platform::gui
