// Invalidation and painting, checked by the messages windows get and by framebuffer pixels.
#include <algorithm>
#include <thread>

#include "gui_fixture.h"
#include "platform/gui/backend_port.h"

namespace gui_test {
namespace {

constexpr Color kRed = rgb(200, 0, 0);
constexpr Color kGreen = rgb(0, 200, 0);
constexpr Color kBlue = rgb(0, 0, 200);
constexpr Color kBackground = rgb(10, 20, 30);  // the recorder class's background

class Painting : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    main = make("main", Rect::from_xywh(0, 0, 640, 480), nullptr, 0, kBlue);
    box = make("box", Rect::from_xywh(100, 100, 200, 100), main, 0, kRed);
    paint_pending();
    events().clear();
  }
  Window* main = nullptr;
  Window* box = nullptr;
};

TEST_F(Painting, FirstPaintDrawsEveryWindowInZOrder) {
  EXPECT_EQ(pixel(10, 10), kBlue);
  EXPECT_EQ(pixel(100, 100), kRed);
  EXPECT_EQ(pixel(299, 199), kRed);
  EXPECT_EQ(pixel(300, 200), kBlue);
}

TEST_F(Painting, SmallChangesApartArePaintedEachOnItsOwn) {
  invalidate_rect(box, {0, 0, 10, 10}, Erase::No);
  invalidate_rect(box, {50, 50, 60, 60}, Erase::No);
  invalidate_rect(box, {55, 55, 70, 58}, Erase::No);  // overlaps the second: joins it
  invalidate_rect(box, {2, 2, 5, 5}, Erase::No);      // inside the first: adds nothing
  paint_pending();
  const auto paints = events_of(MessageKind::Paint, "box");
  ASSERT_EQ(paints.size(), 2u);
  EXPECT_EQ(paints[0].dirty, (Rect{0, 0, 10, 10}));
  EXPECT_EQ(paints[1].dirty, (Rect{50, 50, 70, 60}));
  EXPECT_TRUE(events_of(MessageKind::EraseBackground).empty());
  EXPECT_TRUE(events_of(MessageKind::Paint, "main").empty());
  paint_pending();  // nothing left: no second paint
  EXPECT_EQ(events_of(MessageKind::Paint, "box").size(), 2u);
}

TEST_F(Painting, AFullListJoinsTheNearestPieceAndAnExposurePaintsTheUnion) {
  // A fifth piece joins its nearest neighbour; the three others are painted as they were.
  for (int i = 0; i < 5; ++i) invalidate_rect(box, Rect::from_xywh(i * 20, 0, 5, 5), Erase::No);
  paint_pending();
  auto paints = events_of(MessageKind::Paint, "box");
  ASSERT_EQ(paints.size(), 4u);
  std::vector<Rect> areas;
  for (const auto& p : paints) areas.push_back(p.dirty);
  std::sort(areas.begin(), areas.end(),
            [](const Rect& a, const Rect& b) { return a.left < b.left; });
  EXPECT_EQ(areas[0], (Rect{0, 0, 5, 5}));
  EXPECT_EQ(areas[1], (Rect{20, 0, 25, 5}));
  EXPECT_EQ(areas[2], (Rect{40, 0, 45, 5}));
  EXPECT_EQ(areas[3], (Rect{60, 0, 85, 5}));

  // A window over the box's corner goes away while two pieces wait.
  Window* cover = make("cover", Rect::from_xywh(100, 100, 20, 20), main, style::kTopmost, kGreen);
  paint_pending();
  events().clear();
  invalidate_rect(box, {30, 30, 35, 35}, Erase::No);
  invalidate_rect(box, {50, 50, 60, 60}, Erase::No);
  show_window(cover, false);
  paint_pending();
  paints = events_of(MessageKind::Paint, "box");
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_EQ(paints[0].dirty, (Rect{0, 0, 60, 60}));
}

TEST_F(Painting, EraseOnlyWhenAsked) {
  box->user_data = 0;  // paints nothing itself: what is left shows whether it was erased
  invalidate_rect(box, {0, 0, 20, 20}, Erase::No);
  paint_pending();
  EXPECT_EQ(pixel(105, 105), kRed);
  invalidate_rect(box, {0, 0, 20, 20}, Erase::Yes);
  paint_pending();
  EXPECT_EQ(pixel(105, 105), kBackground);
  EXPECT_EQ(pixel(125, 125), kRed);  // outside the dirty part nothing changed
  ASSERT_EQ(events_of(MessageKind::EraseBackground, "box").size(), 1u);
  EXPECT_EQ(events_of(MessageKind::EraseBackground, "box")[0].dirty, (Rect{0, 0, 20, 20}));
}

TEST_F(Painting, OnlyTheDirtyPartChanges) {
  box->user_data = intptr_t(kGreen);
  invalidate_rect(box, {10, 10, 20, 20});
  paint_pending();
  EXPECT_EQ(pixel(115, 115), kGreen);
  EXPECT_EQ(pixel(109, 115), kRed);
  EXPECT_EQ(pixel(120, 115), kRed);
  EXPECT_EQ(pixel(115, 120), kRed);
}

TEST_F(Painting, ChildrenArePaintedOverTheirParent) {
  main->user_data = intptr_t(kGreen);
  invalidate(main);
  paint_pending();
  EXPECT_EQ(pixel(10, 10), kGreen);
  EXPECT_EQ(pixel(150, 150), kRed);  // the child painted again over its parent
  ASSERT_EQ(events_of(MessageKind::Paint, "box").size(), 1u);
  EXPECT_EQ(events_of(MessageKind::Paint, "box")[0].dirty, (Rect{0, 0, 200, 100}));
}

TEST_F(Painting, HidingExposesWhatWasUnderneath) {
  Window* top = make("top", Rect::from_xywh(0, 0, 640, 480), main, style::kTopmost, kGreen);
  paint_pending();
  EXPECT_EQ(pixel(150, 150), kGreen);
  events().clear();
  invalidate(box);  // under the full-screen topmost window: not painted at all
  paint_pending();
  EXPECT_TRUE(events_of(MessageKind::Paint, "box").empty());
  EXPECT_EQ(pixel(150, 150), kGreen);
  show_window(top, false);
  paint_pending();
  EXPECT_EQ(pixel(150, 150), kRed);
  EXPECT_EQ(pixel(10, 10), kBlue);
}

TEST_F(Painting, MovingRepaintsOldAndNewPlaces) {
  move_window(box, Rect::from_xywh(400, 300, 100, 50));
  paint_pending();
  EXPECT_EQ(pixel(150, 150), kBlue);
  EXPECT_EQ(pixel(450, 320), kRed);
}

TEST_F(Painting, FramesAndCaptionsAreDrawnByThePlatform) {
  Window* framed =
      make("CAPTION TEXT", Rect::from_xywh(300, 20, 300, 150), main, style::kCaption, kGreen);
  paint_pending();
  EXPECT_EQ(pixel(300, 20), colors::kBlack);           // border
  EXPECT_EQ(pixel(595, 25), rgb(0, 0, 128));           // title bar, right of the text
  EXPECT_EQ(pixel(305, 21 + kCaptionHeight), kGreen);  // client area starts under it
  EXPECT_EQ(framed->client_origin(), (Point{301, 21 + kCaptionHeight}));
  // The caption carries the text: some pixel of the bar is white once the text is drawn.
  bool text_drawn = false;
  for (int x = 301; x < 450 && !text_drawn; ++x) {
    for (int y = 21; y < 21 + kCaptionHeight; ++y) text_drawn |= pixel(x, y) == colors::kWhite;
  }
  EXPECT_TRUE(text_drawn);

  Window* raised =
      make("raised", Rect::from_xywh(20, 300, 100, 100), main, style::kRaisedEdge, kGreen);
  paint_pending();
  EXPECT_EQ(pixel(21, 350), colors::kWhite);    // inner highlight of the raised edge
  EXPECT_EQ(pixel(119, 350), rgb(64, 64, 64));  // outer shadow on the right
  EXPECT_EQ(pixel(22, 350), kGreen);
  EXPECT_EQ(raised->client_rect(), (Rect{0, 0, 96, 96}));
}

TEST_F(Painting, InvalidateFromAnotherThreadIsCarriedOutOnTheGuiThread) {
  box->user_data = intptr_t(kGreen);
  std::thread exchange([this] {
    invalidate_rect(box, {0, 0, 10, 10});
    invalidate_class(kRecorder, Erase::No);  // every recorder window
    show_window(box, true);                  // already shown: nothing
  });
  exchange.join();
  EXPECT_TRUE(events_of(MessageKind::Paint).empty());  // nothing happens off the GUI thread
  advance_virtual(0);
  EXPECT_EQ(events_of(MessageKind::Paint, "box").size(), 1u);
  EXPECT_EQ(events_of(MessageKind::Paint, "main").size(), 1u);
  EXPECT_EQ(pixel(150, 150), kGreen);
}

TEST_F(Painting, PresentsOnlyWhenSomethingChanged) {
  const uint64_t before = present_count();
  paint_pending();
  advance_virtual(100);
  EXPECT_EQ(present_count(), before);
  invalidate_rect(box, {0, 0, 5, 5});
  paint_pending();
  EXPECT_EQ(present_count(), before + 1);
  show_window(create_window({kRecorder, "hidden", 0, {0, 0, 10, 10}, main}), false);
  invalidate_class("NOT_A_CLASS");
  paint_pending();
  EXPECT_EQ(present_count(), before + 1);
}

// A paint only draws: a modal loop or a change of the window tree started from inside one is a
// programming error that asserts (and is refused where assertions are off).
Window* g_target = nullptr;
void (*g_during_paint)() = nullptr;

intptr_t act_during_box_paint(Window& w, const Message& m) {
  if (m.kind == MessageKind::Paint && &w == g_target && g_during_paint != nullptr) g_during_paint();
  return 0;
}

TEST_F(Painting, ModalLoopsAndWindowChangesFromInsideAPaintAssert) {
  make("child", Rect::from_xywh(10, 10, 20, 20), box);
  g_target = box;
  hook() = &act_during_box_paint;
  const auto paint_doing = [&](void (*act)()) {
    g_during_paint = act;
    invalidate(box);
    paint_pending();
  };
  const char* refused = "must not open a modal loop or change the window tree";
  EXPECT_DEBUG_DEATH(paint_doing([] { run_modal(g_target); }), refused);
  EXPECT_DEBUG_DEATH(paint_doing([] { show_window(child_by_id(g_target, 0), false); }), refused);
  EXPECT_DEBUG_DEATH(paint_doing([] { move_window(g_target, {0, 0, 10, 10}); }), refused);
  EXPECT_DEBUG_DEATH(paint_doing([] { destroy_window(g_target); }), refused);
  EXPECT_DEBUG_DEATH(paint_doing([] { set_topmost(child_by_id(g_target, 0), true); }), refused);
  EXPECT_DEBUG_DEATH(paint_doing([] {
                       create_window({kRecorder, "late", style::kVisible, {0, 0, 5, 5}, g_target});
                     }),
                     refused);
  g_during_paint = nullptr;
  EXPECT_FALSE(painting());
}

TEST_F(Painting, APaintThatLeavesACanvasSaveOpenAsserts) {
  hook() = [](Window& w, const Message& m) -> intptr_t {
    if (m.kind == MessageKind::Paint && w.text() == "box") paint_context(m).canvas->save();
    return 0;
  };
  invalidate(box);
  EXPECT_DEBUG_DEATH(paint_pending(), "a paint left canvas saves unrestored");
}

// A paint that asks for the pass again (update_window) gets no pass of its own inside it: what it
// invalidated is painted later in the running pass or by the next one, never nested.
Window* g_other = nullptr;
int g_paint_depth = 0;
bool g_nested = false;

intptr_t update_other_during_box_paint(Window& w, const Message& m) {
  if (m.kind != MessageKind::Paint) return 0;
  g_nested = g_nested || g_paint_depth > 0;
  ++g_paint_depth;
  if (&w == g_target) {
    invalidate_rect(g_other, {0, 0, 10, 10}, Erase::No);
    update_window(g_other);
  }
  --g_paint_depth;
  return 0;
}

TEST_F(Painting, UpdateFromInsideAPaintIsNotNested) {
  g_target = box;
  g_other = main;
  g_nested = false;
  hook() = &update_other_during_box_paint;
  invalidate(box);
  paint_pending();
  EXPECT_FALSE(g_nested);
  EXPECT_FALSE(painting());
  paint_pending();
  EXPECT_EQ(events_of(MessageKind::Paint, "box").size(), 1u);
  EXPECT_EQ(events_of(MessageKind::Paint, "main").size(), 1u);
  EXPECT_EQ(pixel(100, 100), kRed);
  EXPECT_EQ(pixel(10, 10), kBlue);
}

}  // namespace
}  // namespace gui_test
