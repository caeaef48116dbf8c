// The window tree: creation, destruction, z-order and look-ups.
#include "gui_fixture.h"

namespace gui_test {
namespace {

using WindowTree = GuiTest;

std::vector<std::string> names(const Window& parent) {
  std::vector<std::string> out;
  for (const auto& c : parent.children()) out.push_back(c->text());
  return out;
}

std::vector<std::string> sequence(MessageKind kind) {
  std::vector<std::string> out;
  for (const Event& e : events_of(kind)) out.push_back(e.window);
  return out;
}

TEST_F(WindowTree, CreateAndDestroyMessagesComeInTreeOrder) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* a = make("a", Rect::from_xywh(0, 0, 100, 100), main);
  make("a1", Rect::from_xywh(0, 0, 10, 10), a);
  make("b", Rect::from_xywh(100, 0, 200, 100), main);
  EXPECT_EQ(sequence(MessageKind::Create), (std::vector<std::string>{"main", "a", "a1", "b"}));
  EXPECT_EQ(names(*main), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(a->parent(), main);
  EXPECT_EQ(main->parent(), &desktop());

  destroy_window(main);
  // The parent hears of it first, then its children, each before it goes.
  EXPECT_EQ(sequence(MessageKind::Destroy), (std::vector<std::string>{"main", "a", "a1", "b"}));
  EXPECT_TRUE(desktop().children().empty());
  EXPECT_FALSE(is_window(a));
}

TEST_F(WindowTree, CreateFailsForUnknownClassOrRefusingProcedure) {
  EXPECT_EQ(create_window({"NO_SUCH_CLASS", "x", style::kVisible, {0, 0, 10, 10}}), nullptr);
  hook() = [](Window&, const Message& m) -> intptr_t {
    return m.kind == MessageKind::Create ? -1 : 0;
  };
  EXPECT_EQ(make("refused", Rect::from_xywh(0, 0, 10, 10)), nullptr);
  EXPECT_TRUE(desktop().children().empty());
  EXPECT_EQ(sequence(MessageKind::Destroy), (std::vector<std::string>{"refused"}));
  hook() = nullptr;
  Window* gone = make("gone", Rect::from_xywh(0, 0, 10, 10));
  destroy_window(gone);
  EXPECT_EQ(make("orphan", Rect::from_xywh(0, 0, 10, 10), gone), nullptr);
  EXPECT_TRUE(desktop().children().empty());
}

TEST_F(WindowTree, ClassNamesIgnoreCase) {
  Window* w = create_window({"recorder_window", "lower", style::kVisible, {0, 0, 10, 10}});
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->class_name(), "recorder_window");
  EXPECT_EQ(find_window("Recorder_Window"), w);
  EXPECT_TRUE(class_registered("RECORDER_window"));
}

// A window that destroys itself while handling a message, and its children with it, must
// leave the loop and the rest of the queue unharmed.
TEST_F(WindowTree, WindowDestroyedInsideItsOwnProcedure) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* victim = make("victim", Rect::from_xywh(0, 0, 100, 100), main);
  make("child", Rect::from_xywh(0, 0, 10, 10), victim);
  hook() = [](Window& w, const Message& m) -> intptr_t {
    if (m.kind == MessageKind::User && w.text() == "victim") {
      destroy_window(&w);
      // Still readable here: the memory goes only when the dispatch has unwound.
      EXPECT_EQ(w.text(), "victim");
      EXPECT_FALSE(is_window(&w));
      return 1;
    }
    return 0;
  };
  post_message(victim, {MessageKind::User, 1, 0});
  post_message(victim, {MessageKind::User, 2, 0});  // must be dropped, not delivered
  post_message(main, {MessageKind::User, 3, 0});
  advance_virtual(0);  // runs the loop until nothing is left to do
  std::vector<intptr_t> delivered;
  for (const Event& e : events_of(MessageKind::User)) delivered.push_back(e.wparam);
  EXPECT_EQ(delivered, (std::vector<intptr_t>{1, 3}));
  EXPECT_EQ(sequence(MessageKind::Destroy), (std::vector<std::string>{"victim", "child"}));
  EXPECT_EQ(names(*main), std::vector<std::string>{});
}

TEST_F(WindowTree, TopmostSiblingsStayAboveOthers) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* top = make("top", Rect::from_xywh(0, 0, 10, 10), main, style::kTopmost);
  Window* low1 = make("low1", Rect::from_xywh(0, 0, 10, 10), main);
  make("low2", Rect::from_xywh(0, 0, 10, 10), main);
  EXPECT_EQ(names(*main), (std::vector<std::string>{"low1", "low2", "top"}));

  bring_to_front(low1);
  EXPECT_EQ(names(*main), (std::vector<std::string>{"low2", "low1", "top"}));

  Window* top2 = make("top2", Rect::from_xywh(0, 0, 10, 10), main, style::kTopmost);
  bring_to_front(top);
  EXPECT_EQ(names(*main), (std::vector<std::string>{"low2", "low1", "top2", "top"}));

  set_topmost(top2, false);
  EXPECT_EQ(names(*main), (std::vector<std::string>{"low2", "low1", "top2", "top"}));
  set_topmost(low1, true);
  EXPECT_EQ(names(*main), (std::vector<std::string>{"low2", "top2", "top", "low1"}));
}

// Dialogs are popups: top-level above the topmost main window, gone with their owner.
TEST_F(WindowTree, PopupsAreTopLevelAboveTopmostAndGoWithTheirOwner) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480), nullptr, style::kTopmost);
  Window* owner = make("owner", Rect::from_xywh(0, 0, 100, 100), main);
  Window* dialog = make("dialog", Rect::from_xywh(100, 100, 200, 100), owner, style::kPopup);
  EXPECT_EQ(dialog->parent(), &desktop());
  EXPECT_EQ(dialog->owner(), owner);
  EXPECT_EQ(dialog->screen_rect(), Rect::from_xywh(100, 100, 200, 100));
  make("later", Rect::from_xywh(0, 0, 10, 10), nullptr, style::kTopmost);
  EXPECT_EQ(names(desktop()), (std::vector<std::string>{"main", "later", "dialog"}));

  destroy_window(owner);
  EXPECT_FALSE(is_window(dialog));
  EXPECT_EQ(names(desktop()), (std::vector<std::string>{"main", "later"}));
}

TEST_F(WindowTree, GeometryOfFramesAndCaptions) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* framed = make("framed", Rect::from_xywh(10, 20, 600, 325), main, style::kCaption | style::kRaisedEdge);
  EXPECT_EQ(framed->client_rect(), Rect::from_xywh(0, 0, 600 - 6, 325 - 6 - kCaptionHeight));
  EXPECT_EQ(framed->client_origin(), (Point{13, 23 + kCaptionHeight}));
  Window* inner = make("inner", Rect::from_xywh(5, 5, 20, 20), framed, style::kBorder);
  EXPECT_EQ(inner->screen_rect(), Rect::from_xywh(18, 48, 20, 20));
  EXPECT_EQ(inner->client_origin(), (Point{19, 49}));
}

TEST_F(WindowTree, LookUps) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* a = make("a", Rect::from_xywh(0, 0, 10, 10), main, 0, 0, 7);
  Window* hidden = create_window({kRecorder, "hidden", 0, {0, 0, 10, 10}, main, 8});
  EXPECT_EQ(child_by_id(main, 7), a);
  EXPECT_EQ(child_by_id(main, 8), hidden);
  EXPECT_EQ(child_by_id(main, 9), nullptr);
  const std::string title = "main";
  const std::string other = "other";
  EXPECT_EQ(find_window(kRecorder, &title), main);
  EXPECT_EQ(find_window(kRecorder, &other), nullptr);
  EXPECT_EQ(find_window_by_class(kRecorder), main);
}

TEST_F(WindowTree, VisibilityFollowsAncestorsAndSendsShow) {
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480));
  Window* child = make("child", Rect::from_xywh(0, 0, 10, 10), main);
  show_window(main, false);
  EXPECT_TRUE(child->is_shown());
  EXPECT_FALSE(child->is_visible());
  show_window(main, false);  // no change, no message
  show_window(main, true);
  EXPECT_TRUE(child->is_visible());
  const auto shows = events_of(MessageKind::Show, "main");
  ASSERT_EQ(shows.size(), 2u);
  EXPECT_EQ(shows[0].wparam, 0);
  EXPECT_EQ(shows[1].wparam, 1);
}

}  // namespace
}  // namespace gui_test
