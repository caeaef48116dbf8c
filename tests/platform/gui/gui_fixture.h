#pragma once
// A fresh window system in virtual time, with a window class whose procedure writes down every
// message it gets and paints its client area in the colour kept in user_data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/window.h"
#include "platform/io/clock.h"

namespace gui_test {

using namespace platform;
using namespace platform::gui;

inline constexpr const char* kRecorder = "RECORDER_WINDOW";

struct Event {
  std::string window;  // the window's text
  MessageKind kind;
  intptr_t wparam;
  intptr_t lparam;
  Rect dirty;          // Paint and EraseBackground: the dirty part, client coordinates
};

inline std::vector<Event>& events() {
  static std::vector<Event> log;
  return log;
}

inline std::vector<Event> events_of(MessageKind kind, const std::string& window = "") {
  std::vector<Event> out;
  for (const Event& e : events()) {
    if (e.kind == kind && (window.empty() || e.window == window)) out.push_back(e);
  }
  return out;
}

// The procedure a test may put in front of the recorder for one window.
inline WindowProc& hook() {
  static WindowProc h = nullptr;
  return h;
}

inline intptr_t recorder_procedure(Window& w, const Message& m) {
  Event e{w.text(), m.kind, m.wparam, m.lparam, {}};
  if (m.kind == MessageKind::Paint || m.kind == MessageKind::EraseBackground)
    e.dirty = paint_context(m).dirty;
  events().push_back(e);
  if (hook() != nullptr) {
    if (const intptr_t r = hook()(w, m)) return r;
  }
  if (m.kind == MessageKind::Paint && w.user_data != 0) {
    paint_context(m).canvas->fill_rect(w.client_rect(), Color(w.user_data));
    return 0;
  }
  return default_window_procedure(w, m);
}

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock::use_virtual(1'700'000'000'000);
    init();
    reset();
    register_class({kRecorder, &recorder_procedure, rgb(10, 20, 30), true});
    events().clear();
    hook() = nullptr;
  }
  void TearDown() override {
    reset();
    events().clear();
    hook() = nullptr;
    set_quit_handler(nullptr);
  }

  // A shown window with the recorder procedure, named by its text, painting itself in `paint`
  // (0: only the class background).
  static Window* make(const std::string& name, Rect r, Window* parent = nullptr,
                      uint32_t extra_style = 0, Color paint = 0, int id = 0) {
    Window* w = create_window({kRecorder, name, style::kVisible | extra_style, r, parent, id});
    if (w != nullptr) w->user_data = intptr_t(paint);
    return w;
  }
  static Color pixel(int x, int y) { return framebuffer().pixel(x, y); }
};

}  // namespace gui_test
