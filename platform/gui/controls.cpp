// What all controls share: their registration, the pressed state read from the window core's
// one press, the 3-D edges, and the way they tell their parent.
#include "platform/gui/controls.h"

#include <cctype>

#include "platform/gui/gui_internal.h"

namespace platform::gui {

// Each control file registers its own class.
void register_button_class();
void register_static_class();
void register_scroll_bar_class();
void register_list_box_class();
void register_list_view_class();
void register_progress_class();

// Registers each class that is not there yet, so that a class a test or the program replaced
// is not overwritten behind its back and a second call costs nothing.
void register_controls() {
  if (!class_registered(kButtonClass)) register_button_class();
  if (!class_registered(kStaticClass)) register_static_class();
  if (!class_registered(kScrollBarClass)) register_scroll_bar_class();
  if (!class_registered(kListBoxClass)) register_list_box_class();
  if (!class_registered(kListViewClass)) register_list_view_class();
  if (!class_registered(kProgressClass)) register_progress_class();
}

// Returns whether two class names are the same, ignoring case as the panel's window manager
// does ("button" and "BUTTON" are one class).
bool same_class_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool window_is_class(const Window* w, std::string_view class_name) {
  return w != nullptr && same_class_name(w->class_name(), class_name);
}

// Returns true while w holds the press and the finger is over it.
bool control_pressed(const Window* w) {
  if (w == nullptr || pressed_window() != w) return false;
  return w->screen_rect().contains(pointer_position());
}

// Returns the number of presses begun on controls so far.
uint32_t control_press_count() {
  return detail::state().control_presses.load(std::memory_order_relaxed);
}

void count_control_press() {
  detail::state().control_presses.fetch_add(1, std::memory_order_relaxed);
}

// Returns the pointer message's point relative to the client area; the core delivers it in
// window coordinates, which differ from the client's by the frame.
Point pointer_point(const Window& w, const Message& m) {
  const Rect outer = w.screen_rect();
  const Point client = w.client_origin();
  return {int(m.wparam) - (client.x - outer.left), int(m.lparam) - (client.y - outer.top)};
}

// Sends the parent a Command: id in the low half, notification in the high half, the control
// in lparam, as a clicked button does.
void notify_parent_command(Window& control, int notification) {
  Window* parent = control.parent();
  if (parent == nullptr) return;
  const intptr_t wparam = intptr_t(control.id() & 0xFFFF) | (intptr_t(notification & 0xFFFF) << 16);
  send_message(parent, {MessageKind::Command, wparam, reinterpret_cast<intptr_t>(&control)});
}

// Draws the classic two-pixel edge: an outer and an inner line on each side.
void draw_edge(Canvas& canvas, const Rect& r, Edge edge) {
  if (r.width() < 2 || r.height() < 2) return;
  const bool raised = edge == Edge::Raised;
  const Color outer_light = raised ? kHighlightColor : kShadowColor;
  const Color outer_dark = raised ? kDarkShadowColor : kHighlightColor;
  const Color inner_light = raised ? colors::kFace : kDarkShadowColor;
  const Color inner_dark = raised ? kShadowColor : colors::kFace;
  auto lines = [&](const Rect& b, Color light, Color dark) {
    canvas.fill_rect({b.left, b.top, b.right, b.top + 1}, light);
    canvas.fill_rect({b.left, b.top, b.left + 1, b.bottom}, light);
    canvas.fill_rect({b.left, b.bottom - 1, b.right, b.bottom}, dark);
    canvas.fill_rect({b.right - 1, b.top, b.right, b.bottom}, dark);
  };
  lines(r, outer_light, outer_dark);
  lines(r.inflated(-1, -1), inner_light, inner_dark);
}

}  // namespace platform::gui
