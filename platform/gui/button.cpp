// The "BUTTON" class: push buttons (text, multi-line, owner-drawn), check boxes, radio buttons
// and group boxes. A press is tracked from touch-down to release; only a release over the
// button clicks, and the parent then gets Command (id, clicked).
#include <memory>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

struct ButtonState {
  bool checked = false;
  bool tracking = false;       // this button took the touch-down of the current press
  bool shown_pressed = false;  // the pressed look last painted
  bool repeat = false;         // repeats its command while held (hold_repeat.h)
  int radio_group = 0;
};

constexpr int kIndicatorSize = 20;
constexpr int kIndicatorGap = 6;

ButtonState* state_of(const Window* w) { return control_state_of<ButtonState>(w, kButtonClass); }

uint32_t kind_of(const Window& w) { return w.style() & control_style::kButtonKindMask; }

bool is_radio(const Window* w) {
  return state_of(w) != nullptr && kind_of(*w) == control_style::kRadioButton;
}

// A radio button joins the group of the radio button created just before it under the same
// parent, unless it starts a group of its own.
int assign_radio_group(const Window& w) {
  static int next_group = 0;
  const Window* parent = w.parent();
  if (parent != nullptr && (w.style() & control_style::kGroup) == 0) {
    const auto& siblings = parent->children();
    for (size_t i = 1; i < siblings.size(); ++i) {
      if (siblings[i].get() != &w) continue;
      const Window* previous = siblings[i - 1].get();
      if (is_radio(previous)) return state_of(previous)->radio_group;
      break;
    }
  }
  return ++next_group;
}

Color inverted(Color c) { return c ^ 0xFFFFFFu; }

// Inverts what is already drawn in r (client coordinates), within the canvas clip.
void invert_area(Canvas& canvas, const Rect& r) {
  const Point origin = canvas.origin();
  Bitmap& target = canvas.target();
  const Rect area =
      r.intersected(canvas.clip_rect()).translated(origin.x, origin.y).intersected(target.rect());
  for (int y = area.top; y < area.bottom; ++y) {
    uint32_t* row = target.row(y);
    for (int x = area.left; x < area.right; ++x) row[x] ^= 0xFFFFFFu;
  }
}

// Text drawn centred in r; multi-line text is wrapped and centred as a block.
void draw_label(Canvas& canvas, const Window& w, const Rect& r, Color color, unsigned align,
                FontSpec font = kControlFont) {
  if (w.text().empty() || r.empty()) return;
  if ((w.style() & style::kMultiLine) != 0) {
    const unsigned format = align | text_format::kWordBreak | text_format::kExpandTabs;
    const Size size = canvas.measure_text(w.text(), r.width(), font, format);
    const int top = r.top + std::max(0, (r.height() - size.height) / 2);
    canvas.draw_text(w.text(), {r.left, top, r.right, r.bottom}, font, color, format);
  } else {
    canvas.draw_text(w.text(), r, font, color,
                     align | text_format::kVCenter | text_format::kSingleLine);
  }
}

void draw_enabled_or_grey_label(Canvas& canvas, const Window& w, const Rect& r, Color color,
                                unsigned align, FontSpec font) {
  if (w.is_enabled()) {
    draw_label(canvas, w, r, color, align, font);
    return;
  }
  draw_label(canvas, w, r.translated(1, 1), kHighlightColor, align, font);
  draw_label(canvas, w, r, kDisabledTextColor, align, font);
}

Rect indicator_rect(const Window& w) {
  const Rect r = w.client_rect();
  const int size = std::max(10, std::min(kIndicatorSize, r.height() - 2));
  const int top = r.top + (r.height() - size) / 2;
  return Rect::from_xywh(r.left + 1, top, size, size);
}

// Where a button's text goes: inside a push button's edge, right of a check box's or radio
// button's indicator, in a group box's top edge between its corners (4 px of face each side).
Rect label_area(const Window& w) {
  const Rect r = w.client_rect();
  switch (kind_of(w)) {
    case control_style::kCheckBox:
    case control_style::kRadioButton:
      return {indicator_rect(w).right + kIndicatorGap, r.top, r.right, r.bottom};
    case control_style::kGroupBox:
      return {r.left + 12, r.top, r.right - 12, r.top + font_line_height(kControlFont)};
    default:
      return r.inflated(-4, -3);
  }
}

bool label_fits(const Window& w, const Rect& area, const FontSpec& font) {
  if ((w.style() & style::kMultiLine) != 0 && kind_of(w) != control_style::kGroupBox) {
    const Size size = measure_text(w.text(), area.width(), font,
                                   text_format::kWordBreak | text_format::kExpandTabs);
    return size.width <= area.width() && size.height <= area.height();
  }
  return measure_text_line(w.text(), font).width <= area.width();
}

}  // namespace

FontSpec label_font(const Window& w) {
  const Rect area = label_area(w);
  FontSpec font = kControlFont;
  while (font.pixel_height > kSmallestLabel && !w.text().empty() && !label_fits(w, area, font))
    --font.pixel_height;
  return font;
}

namespace {

// A pressed push button is drawn sunken with its face and text inverted, so that the press can
// be seen at arm's length.
void paint_push_button(Window& w, Canvas& canvas, bool pressed) {
  const Rect r = w.client_rect();
  canvas.fill_rect(r, pressed ? inverted(colors::kFace) : colors::kFace);
  canvas.frame_rect(r, colors::kBlack);
  draw_edge(canvas, r.inflated(-1, -1), pressed ? Edge::Sunken : Edge::Raised);
  Rect text = label_area(w);
  if (pressed) text = text.translated(1, 1);
  draw_enabled_or_grey_label(canvas, w, text, pressed ? colors::kWhite : colors::kBlack,
                             text_format::kCenter, label_font(w));
}

// The parent draws the button; unless it draws the press itself, the platform inverts the
// picture while the button is held.
void paint_owner_drawn(Window& w, Canvas& canvas, bool pressed) {
  DrawItemContext context{&w, w.id(), &canvas, w.client_rect(), pressed, !w.is_enabled()};
  if (Window* parent = w.parent()) {
    send_message(parent, draw_item_message(context));
  }
  if (pressed && (w.style() & control_style::kOwnerDrawsPressed) == 0) {
    invert_area(canvas, w.client_rect());
  }
}

unsigned label_alignment(const Window& w) {
  switch (w.style() & control_style::kAlignMask) {
    case control_style::kAlignCenter:
      return text_format::kCenter;
    case control_style::kAlignRight:
      return text_format::kRight;
    default:
      return text_format::kLeft;
  }
}

void paint_check_box(Window& w, Canvas& canvas, bool pressed, bool checked) {
  const Rect box = indicator_rect(w);
  canvas.fill_rect(box, pressed || !w.is_enabled() ? colors::kFace : colors::kWhite);
  draw_edge(canvas, box, Edge::Sunken);
  if (checked) {
    const Color mark = w.is_enabled() ? colors::kBlack : kDisabledTextColor;
    const int s = box.width();
    const Point points[] = {{box.left + s / 4, box.top + s / 2},
                            {box.left + s * 5 / 12, box.top + s * 3 / 4 - 1},
                            {box.left + s * 3 / 4, box.top + s / 4}};
    canvas.draw_polyline(points, mark, 3);
  }
  const Rect text{box.right + kIndicatorGap, w.client_rect().top, w.client_rect().right,
                  w.client_rect().bottom};
  draw_enabled_or_grey_label(canvas, w, text, colors::kBlack, label_alignment(w), label_font(w));
}

void paint_radio_button(Window& w, Canvas& canvas, bool pressed, bool checked) {
  const Rect box = indicator_rect(w);
  canvas.fill_ellipse(box, kShadowColor);
  canvas.fill_ellipse(box.inflated(-2, -2),
                      pressed || !w.is_enabled() ? colors::kFace : colors::kWhite);
  if (checked) {
    const int inset = box.width() / 4 + 1;
    canvas.fill_ellipse(box.inflated(-inset, -inset),
                        w.is_enabled() ? colors::kBlack : kDisabledTextColor);
  }
  const Rect text{box.right + kIndicatorGap, w.client_rect().top, w.client_rect().right,
                  w.client_rect().bottom};
  draw_enabled_or_grey_label(canvas, w, text, colors::kBlack, label_alignment(w), label_font(w));
}

// An etched frame with the title set into its top edge; the inside is left to what lies
// beneath (the dialog's face and the framed controls).
void paint_group_box(Window& w, Canvas& canvas) {
  const Rect r = w.client_rect();
  const int line_height = font_line_height(kControlFont);
  const int frame_top = r.top + line_height / 2;
  const Rect frame{r.left, frame_top, r.right, r.bottom};
  canvas.frame_rect(frame.translated(1, 1), kHighlightColor);
  canvas.frame_rect({frame.left, frame.top, frame.right - 1, frame.bottom - 1}, kShadowColor);
  if (w.text().empty()) return;
  const FontSpec font = label_font(w);
  const Size size = measure_text_line(w.text(), font);
  const Rect label =
      Rect::from_xywh(r.left + 8, r.top, std::min(size.width + 8, r.width() - 16), line_height);
  canvas.fill_rect(label, colors::kFace);
  draw_enabled_or_grey_label(canvas, w, label.inflated(-4, 0), colors::kBlack, text_format::kLeft,
                             font);
}

void paint_button(Window& w, const PaintContext& paint) {
  ButtonState* state = state_of(&w);
  if (state == nullptr) return;
  Canvas& canvas = *paint.canvas;
  const bool pressed = control_pressed(&w) && state->tracking;
  state->shown_pressed = pressed;
  switch (kind_of(w)) {
    case control_style::kCheckBox:
      paint_check_box(w, canvas, pressed, state->checked);
      break;
    case control_style::kRadioButton:
      paint_radio_button(w, canvas, pressed, state->checked);
      break;
    case control_style::kGroupBox:
      paint_group_box(w, canvas);
      break;
    default:
      if ((w.style() & style::kOwnerDraw) != 0) {
        paint_owner_drawn(w, canvas, pressed);
      } else {
        paint_push_button(w, canvas, pressed);
      }
  }
}

void uncheck_group_except(Window& w) {
  ButtonState* state = state_of(&w);
  Window* parent = w.parent();
  if (state == nullptr || parent == nullptr) return;
  for (const auto& sibling : parent->children()) {
    if (sibling.get() == &w || !is_radio(sibling.get())) continue;
    if (state_of(sibling.get())->radio_group == state->radio_group) {
      button_set_check(sibling.get(), false);
    }
  }
}

// A release over the button: check boxes toggle, radio buttons check themselves (unless the
// program keeps their state), then the parent hears of the click.
void on_click(Window& w, ButtonState& state) {
  const bool manual = (w.style() & control_style::kManualCheck) != 0;
  if (!manual && kind_of(w) == control_style::kCheckBox) button_set_check(&w, !state.checked);
  if (!manual && kind_of(w) == control_style::kRadioButton) button_check_radio(&w);
  notify_parent_command(w, kButtonClicked);
}

intptr_t on_pointer(Window& w, const Message& m) {
  ButtonState* state = state_of(&w);
  if (state == nullptr || kind_of(w) == control_style::kGroupBox) return 0;
  if (m.kind == MessageKind::PointerDown) {
    state->tracking = true;
    count_control_press();
    invalidate(&w, Erase::Yes);
    return 1;
  }
  if (!state->tracking) return 0;
  if (m.kind == MessageKind::PointerMove) {
    if (control_pressed(&w) != state->shown_pressed) invalidate(&w, Erase::Yes);
    return 1;
  }
  // The release: it clicks only over the button, and never on a button disabled meanwhile.
  state->tracking = false;
  invalidate(&w, Erase::Yes);
  if (w.client_rect().contains(pointer_point(w, m)) && w.is_enabled()) on_click(w, *state);
  return 1;
}

intptr_t button_procedure(Window& w, const Message& m) {
  switch (m.kind) {
    case MessageKind::Create: {
      auto state = std::make_shared<ButtonState>();
      w.control_state = state;
      if (kind_of(w) == control_style::kRadioButton) state->radio_group = assign_radio_group(w);
      return 0;
    }
    case MessageKind::EraseBackground:
      // A group box leaves what it frames alone.
      if (kind_of(w) == control_style::kGroupBox) return 1;
      break;
    case MessageKind::Paint:
      paint_button(w, paint_context(m));
      return 0;
    case MessageKind::PointerDown:
    case MessageKind::PointerMove:
    case MessageKind::PointerUp:
      if (on_pointer(w, m) != 0) return 0;
      break;
    case MessageKind::Enable:
      if (m.wparam == 0) {
        if (ButtonState* state = state_of(&w)) state->tracking = false;
      }
      invalidate(&w, Erase::Yes);
      return 0;
    default:
      break;
  }
  return default_window_procedure(w, m);
}

}  // namespace

void register_button_class() {
  register_class({std::string(kButtonClass), &button_procedure, colors::kFace, true});
}

void button_set_check(Window* button, bool checked) {
  ButtonState* state = state_of(button);
  if (state == nullptr || state->checked == checked) return;
  state->checked = checked;
  invalidate(button, Erase::Yes);
}

// Returns the check of a check box or radio button; false for anything else.
bool button_checked(const Window* button) {
  const ButtonState* state = state_of(button);
  if (state == nullptr) return false;
  const uint32_t kind = kind_of(*button);
  return (kind == control_style::kCheckBox || kind == control_style::kRadioButton) &&
         state->checked;
}

bool button_shows_checked(const Window* button) {
  const ButtonState* state = state_of(button);
  if (state == nullptr || !state->checked) return false;
  const uint32_t kind = kind_of(*button);
  return kind == control_style::kCheckBox || kind == control_style::kRadioButton ||
         (kind == control_style::kPushButton && (button->style() & style::kOwnerDraw) != 0);
}

void button_check_radio(Window* button) {
  if (!is_radio(button)) return;
  uncheck_group_except(*button);
  button_set_check(button, true);
}

void button_set_repeat(Window* button, bool on) {
  if (ButtonState* state = state_of(button)) state->repeat = on;
}

// Returns true for a push button marked to repeat while held.
bool button_repeats(const Window* button) {
  const ButtonState* state = state_of(button);
  return state != nullptr && state->repeat && kind_of(*button) == control_style::kPushButton;
}

}  // namespace platform::gui
