// Pointer routing: the touched window takes the press and keeps it (capture) until release,
// wherever the finger goes; a modal loop keeps touches outside its window from going anywhere.
#include "platform/gui/gui_internal.h"

namespace platform::gui {

using detail::QueueItem;
using detail::state;

namespace {

Window* capture_holder() {
  auto& st = state();
  if (st.capture == nullptr) return nullptr;
  if (!detail::is_alive(st.capture) || WindowAccess::serial(*st.capture) != st.capture_serial) {
    st.capture = nullptr;
    return nullptr;
  }
  return st.capture;
}

// Pointer messages carry window coordinates: relative to the window's outer top-left corner.
Message pointer_message(MessageKind kind, const Window& w, Point screen) {
  const Rect r = w.screen_rect();
  return {kind, screen.x - r.left, screen.y - r.top};
}

Window* input_target(Point screen) {
  Window* target = window_at(screen);
  Window* modal = active_modal();
  if (target != nullptr && modal != nullptr && !detail::is_ancestor_or_self(modal, target))
    return nullptr;
  return target;
}

void queue_pointer(QueueItem::Kind kind, Point screen) {
  detail::queue_item(detail::make_item(kind, {.point = screen}));
}

}  // namespace

namespace detail {

void dispatch_pointer(QueueItem::Kind kind, Point screen) {
  auto& st = state();
  switch (kind) {
    case QueueItem::Kind::PointerDown: {
      st.pointer = screen;
      // A second press without a release ends the first one the ordinary way.
      if (Window* old = capture_holder()) {
        st.capture = nullptr;
        send_message(old, pointer_message(MessageKind::PointerUp, *old, screen));
      }
      Window* target = input_target(screen);
      if (target == nullptr) return;
      st.capture = target;
      st.capture_serial = WindowAccess::serial(*target);
      send_message(target, pointer_message(MessageKind::PointerDown, *target, screen));
      return;
    }
    case QueueItem::Kind::PointerMove: {
      st.pointer = screen;
      Window* target = capture_holder();
      if (target == nullptr) target = input_target(screen);
      if (target != nullptr)
        send_message(target, pointer_message(MessageKind::PointerMove, *target, screen));
      return;
    }
    case QueueItem::Kind::PointerUp: {
      // The press ends before the window hears of it, so a dialog that a click opens does not
      // run with the button still counted as held.
      Window* target = capture_holder();
      st.capture = nullptr;
      if (target != nullptr)
        send_message(target, pointer_message(MessageKind::PointerUp, *target, st.pointer));
      return;
    }
    default:
      return;
  }
}

// A window that is hidden, disabled or destroyed while it holds the press loses it without a
// release, so nothing counts it as held any more; it is repainted in its normal look.
void forget_window_input(const Window* w) {
  auto& st = state();
  if (st.capture != nullptr && is_ancestor_or_self(w, st.capture)) {
    Window* held = st.capture;
    st.capture = nullptr;
    if (is_alive(held)) mark_exposed(*held);
  }
}

void cancel_press() {
  auto& st = state();
  Window* held = capture_holder();
  st.capture = nullptr;
  if (held != nullptr) mark_exposed(*held);
}

}  // namespace detail

void inject_pointer_down(Point screen) {
  if (!on_gui_thread()) return queue_pointer(QueueItem::Kind::PointerDown, screen);
  detail::DispatchScope scope;
  detail::dispatch_pointer(QueueItem::Kind::PointerDown, screen);
}

void inject_pointer_up() {
  if (!on_gui_thread()) return queue_pointer(QueueItem::Kind::PointerUp, {});
  detail::DispatchScope scope;
  detail::dispatch_pointer(QueueItem::Kind::PointerUp, {});
}

void inject_pointer_move(Point screen) {
  if (!on_gui_thread()) return queue_pointer(QueueItem::Kind::PointerMove, screen);
  detail::DispatchScope scope;
  detail::dispatch_pointer(QueueItem::Kind::PointerMove, screen);
}

Window* pressed_window() { return capture_holder(); }

Point pointer_position() { return state().pointer; }

}  // namespace platform::gui
