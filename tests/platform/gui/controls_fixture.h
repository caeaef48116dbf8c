#pragma once
// A fresh window system in virtual time with a full-screen parent window that records what its
// controls tell it.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"

namespace controls_test {

using namespace platform;
using namespace platform::gui;

struct Heard {
  MessageKind kind = MessageKind::User;
  int id = 0;            // command id, or the notifying control's id
  int code = 0;          // command notification or scroll code
  int position = 0;      // scroll position
  Window* from = nullptr;
  ListViewNotification notification;
  bool pressed = false;  // DrawItem
  bool disabled = false;
};

inline std::vector<Heard>& heard() {
  static std::vector<Heard> log;
  return log;
}

// What the parent's DrawItem handler paints an owner-drawn button with.
constexpr Color kOwnerColor = rgb(200, 30, 30);

inline intptr_t recording_procedure(Window& w, const Message& m) {
  Heard h;
  h.kind = m.kind;
  switch (m.kind) {
    case MessageKind::Command:
      h.id = command_id(m);
      h.code = command_notification(m);
      h.from = reinterpret_cast<Window*>(m.lparam);
      break;
    case MessageKind::HScroll:
    case MessageKind::VScroll:
      h.code = int(scroll_code(m));
      h.position = scroll_message_position(m);
      h.from = scroll_message_bar(m);
      break;
    case MessageKind::Notify:
      h.notification = *reinterpret_cast<const ListViewNotification*>(m.lparam);
      h.id = h.notification.id;
      break;
    case MessageKind::DrawItem: {
      const auto* item = &draw_item_context(m);
      h.id = item->id;
      h.pressed = item->pressed;
      h.disabled = item->disabled;
      item->canvas->fill_rect(item->rect, kOwnerColor);
      break;
    }
    default:
      return default_window_procedure(w, m);
  }
  heard().push_back(h);
  return 1;
}

inline std::vector<Heard> heard_of(MessageKind kind) {
  std::vector<Heard> out;
  for (const Heard& h : heard()) {
    if (h.kind == kind) out.push_back(h);
  }
  return out;
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock::use_virtual(1'700'000'000'000);
    init();
    reset();
    register_controls();
    register_class({"CONTROLS_TEST_PARENT", &recording_procedure, colors::kBlack, true});
    parent = create_window({"CONTROLS_TEST_PARENT", "", style::kVisible, {0, 0, 640, 480}});
    ASSERT_NE(parent, nullptr);
    heard().clear();
  }
  void TearDown() override {
    reset();
    heard().clear();
  }

  Window* make(std::string_view class_name, std::string_view text, uint32_t extra_style,
               Rect r, int id) {
    return create_window({std::string(class_name), std::string(text),
                          style::kVisible | style::kChild | extra_style, r, parent, id});
  }
  static Point centre(const Window* w) {
    const Rect r = w->screen_rect();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  static void tap(Point p) {
    inject_pointer_down(p);
    inject_pointer_up();
  }
  static Color pixel(int x, int y) {
    paint_pending();
    return framebuffer().pixel(x, y);
  }

  Window* parent = nullptr;
};

}  // namespace controls_test
