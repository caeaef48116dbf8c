// The "STATIC" class: text placed left, centred or right, wrapped at words (or on one line
// centred vertically), with an optional sunken frame. It takes no input.
#include <memory>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

struct StaticState {
  Color text = colors::kBlack;
  Color background = colors::kFace;
};

StaticState* state_of(const Window* w) { return control_state_of<StaticState>(w, kStaticClass); }

unsigned text_flags(const Window& w) {
  unsigned format = text_format::kExpandTabs;
  switch (w.style() & control_style::kAlignMask) {
    case control_style::kAlignCenter: format |= text_format::kCenter; break;
    case control_style::kAlignRight: format |= text_format::kRight; break;
    default: break;
  }
  if ((w.style() & control_style::kVCenter) != 0) {
    format |= text_format::kVCenter | text_format::kSingleLine;
  } else {
    format |= text_format::kWordBreak;
  }
  return format;
}

void paint_static(Window& w, const PaintContext& paint) {
  const StaticState* state = state_of(&w);
  if (state == nullptr) return;
  Canvas& canvas = *paint.canvas;
  Rect r = w.client_rect();
  if ((w.style() & control_style::kFrame) != 0) {
    draw_edge(canvas, r, Edge::Sunken);
    r = r.inflated(-3, -2);
  }
  if (w.text().empty()) return;
  const Color color = w.is_enabled() ? state->text : kDisabledTextColor;
  canvas.draw_text(w.text(), r, kControlFont, color, text_flags(w));
}

intptr_t static_procedure(Window& w, const Message& m) {
  switch (m.kind) {
    case MessageKind::Create:
      w.control_state = std::make_shared<StaticState>();
      return 0;
    case MessageKind::EraseBackground: {
      const StaticState* state = state_of(&w);
      if (state == nullptr) break;
      paint_context(m).canvas->fill_rect(w.client_rect(), state->background);
      return 1;
    }
    case MessageKind::Paint:
      paint_static(w, paint_context(m));
      return 0;
    case MessageKind::Enable:
      invalidate(&w, Erase::Yes);
      return 0;
    default:
      break;
  }
  return default_window_procedure(w, m);
}

}  // namespace

void register_static_class() {
  register_class({std::string(kStaticClass), &static_procedure, colors::kFace, true});
}

void static_set_colors(Window* static_text, Color text, Color background) {
  StaticState* state = state_of(static_text);
  if (state == nullptr || (state->text == text && state->background == background)) return;
  state->text = text;
  state->background = background;
  invalidate(static_text, Erase::Yes);
}

}  // namespace platform::gui
