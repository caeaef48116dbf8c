// Hit-testing and pointer routing: visibility, enabled state, z-order, capture and modal loops.
#include "gui_fixture.h"

namespace gui_test {
namespace {

using Input = GuiTest;

std::vector<std::string> pointer_log() {
  std::vector<std::string> out;
  for (const Event& e : events()) {
    const char* what = e.kind == MessageKind::PointerDown ? "down"
                       : e.kind == MessageKind::PointerUp ? "up"
                       : e.kind == MessageKind::PointerMove ? "move"
                                                            : nullptr;
    if (what != nullptr)
      out.push_back(e.window + " " + what + " " + std::to_string(e.wparam) + "," +
                    std::to_string(e.lparam));
  }
  return out;
}

TEST_F(Input, HitTestFollowsVisibilityEnabledStateAndZOrder) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* panel = make("panel", Rect::from_xywh(100, 100, 200, 200), main, style::kBorder);
  Window* button = make("button", Rect::from_xywh(10, 10, 50, 50), panel);
  Window* cover = make("cover", Rect::from_xywh(150, 150, 20, 20), main);

  EXPECT_EQ(window_at({120, 120}), button);  // 100 + 1 (border) + 10 + ...
  EXPECT_EQ(window_at({100, 100}), panel);   // on the border
  EXPECT_EQ(window_at({155, 155}), cover);   // the later sibling lies above the panel
  EXPECT_EQ(window_at({5, 5}), main);
  EXPECT_EQ(window_at({-1, 5}), nullptr);

  show_window(cover, false);
  EXPECT_EQ(window_at({155, 155}), button);
  bring_to_front(panel);
  show_window(cover, true);
  EXPECT_EQ(window_at({155, 155}), button);

  // A disabled window hands touches to its parent; its children take none.
  enable_window(button, false);
  EXPECT_EQ(window_at({120, 120}), panel);
  enable_window(button, true);
  enable_window(panel, false);
  EXPECT_EQ(window_at({120, 120}), main);
  show_window(panel, false);
  EXPECT_EQ(window_at({120, 120}), main);
}

TEST_F(Input, ChildrenOutsideTheirParentTakeNoTouches) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* panel = make("panel", Rect::from_xywh(100, 100, 50, 50), main);
  make("overhang", Rect::from_xywh(40, 40, 50, 50), panel);
  EXPECT_EQ(window_at({145, 145})->text(), "overhang");
  EXPECT_EQ(window_at({160, 160}), main);
}

TEST_F(Input, CaptureSendsMovesAndReleaseToThePressedWindow) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* a = make("a", Rect::from_xywh(100, 100, 50, 50), main);
  make("b", Rect::from_xywh(300, 300, 50, 50), main);
  inject_pointer_down({110, 120});
  EXPECT_EQ(pressed_window(), a);
  inject_pointer_move({310, 310});  // over b, but a holds the press
  EXPECT_EQ(pointer_position(), (Point{310, 310}));
  inject_pointer_up();
  EXPECT_EQ(pressed_window(), nullptr);
  EXPECT_EQ(pointer_log(),
            (std::vector<std::string>{"a down 10,20", "a move 210,210", "a up 210,210"}));
}

TEST_F(Input, HidingThePressedWindowEndsThePress) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* a = make("a", Rect::from_xywh(100, 100, 50, 50), main);
  inject_pointer_down({110, 110});
  ASSERT_EQ(pressed_window(), a);
  show_window(main, false);
  EXPECT_EQ(pressed_window(), nullptr);
  inject_pointer_up();
  EXPECT_TRUE(events_of(MessageKind::PointerUp).empty());

  show_window(main, true);
  inject_pointer_down({110, 110});
  destroy_window(a);
  EXPECT_EQ(pressed_window(), nullptr);
  inject_pointer_up();
  EXPECT_TRUE(events_of(MessageKind::PointerUp).empty());
}

// While a modal loop runs, touches outside the modal window go nowhere; inside they work.
TEST_F(Input, ModalLoopKeepsTouchesOutsideFromGoingAnywhere) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  make("behind", Rect::from_xywh(0, 0, 100, 100), main);
  static Window* dialog = nullptr;
  dialog = make("dialog", Rect::from_xywh(200, 200, 200, 100), main, style::kPopup);
  make("ok", Rect::from_xywh(10, 10, 50, 30), dialog);
  hook() = [](Window& w, const Message& m) -> intptr_t {
    if (w.text() == "ok" && m.kind == MessageKind::PointerUp) end_modal(dialog, 42);
    return 0;
  };
  // Another thread stands for the operator: its input is queued for the GUI thread.
  std::thread finger([] {
    inject_pointer_down({50, 50});
    inject_pointer_up();
    inject_pointer_down({215, 215});
    inject_pointer_up();
  });
  const intptr_t result = run_modal(dialog);
  finger.join();
  EXPECT_EQ(result, 42);
  EXPECT_EQ(pointer_log(), (std::vector<std::string>{"ok down 5,5", "ok up 5,5"}));
  EXPECT_EQ(active_modal(), nullptr);
}

}  // namespace
}  // namespace gui_test
