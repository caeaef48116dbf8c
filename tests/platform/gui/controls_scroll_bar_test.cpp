// Scroll bars: what arrows, track and thumb tell the parent, and the position rules.
#include "tests/platform/gui/controls_fixture.h"

namespace controls_test {
namespace {

// A horizontal bar at (20, 100), 300 x 30: arrows 30 px wide at both ends, the track between
// (screen x 50 to 290, 240 px).
class ScrollBarTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    bar = make(kScrollBarClass, "", 0, Rect::from_xywh(20, 100, 300, 30), 36899);
    ASSERT_NE(bar, nullptr);
    scroll_bar_set_info(bar, {0, 11, 6, 0});  // 12 units, the page covers half of them
  }
  std::vector<int> codes() const {
    std::vector<int> out;
    for (const Heard& h : heard_of(MessageKind::HScroll)) out.push_back(h.code);
    return out;
  }
  Window* bar = nullptr;
};

constexpr int kLine = int(ScrollCode::LineLeft);
constexpr int kLineRight = int(ScrollCode::LineRight);
constexpr int kPageLeft = int(ScrollCode::PageLeft);
constexpr int kPageRight = int(ScrollCode::PageRight);
constexpr int kTrack = int(ScrollCode::ThumbTrack);
constexpr int kThumbPosition = int(ScrollCode::ThumbPosition);
constexpr int kEnd = int(ScrollCode::EndScroll);

TEST_F(ScrollBarTest, ArrowsAndTrackTellLinesAndPagesAndLeaveThePositionToTheParent) {
  tap({35, 115});
  tap({305, 115});
  tap({250, 115});  // right of the thumb (which covers 50-170 at position 0)
  scroll_bar_set_position(bar, 6);  // now the thumb covers 170-290
  tap({100, 115});
  EXPECT_EQ(codes(), (std::vector<int>{kLine, kEnd, kLineRight, kEnd, kPageRight, kEnd, kPageLeft,
                                       kEnd}));
  for (const Heard& h : heard_of(MessageKind::HScroll)) EXPECT_EQ(h.from, bar);
  EXPECT_EQ(scroll_bar_position(bar), 6) << "only the parent moves the bar";
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksAndReportsTheFinalPositionClamped) {
  inject_pointer_down({110, 115});  // inside the thumb, 60 px from its left end
  inject_pointer_move({170, 115});  // 60 px on: 3 of the 6 positions across 120 px of room
  inject_pointer_move({600, 115});  // far past the end
  inject_pointer_up();
  const auto messages = heard_of(MessageKind::HScroll);
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].code, kTrack);
  EXPECT_EQ(messages[0].position, 3);
  EXPECT_EQ(messages[1].code, kTrack);
  EXPECT_EQ(messages[1].position, 6) << "the last position the page leaves";
  EXPECT_EQ(messages[2].code, kThumbPosition);
  EXPECT_EQ(messages[2].position, 6);
  EXPECT_EQ(messages[3].code, kEnd);
  EXPECT_EQ(scroll_bar_position(bar), 0);
}

TEST_F(ScrollBarTest, ThumbIsSizedToThePage) {
  const Color track = rgb(236, 234, 230);
  // Page 6 of 12 units: half the 240 px track, screen x 50 to 170.
  EXPECT_EQ(pixel(160, 115), colors::kFace);
  EXPECT_EQ(pixel(180, 115), track);
  // Page 3 of 12: a quarter, x 50 to 110.
  scroll_bar_set_info(bar, {0, 11, 3, 0});
  EXPECT_EQ(pixel(100, 115), colors::kFace);
  EXPECT_EQ(pixel(160, 115), track);
  // Nothing to scroll: no thumb at all.
  scroll_bar_set_info(bar, {0, 0, 1, 0});
  EXPECT_EQ(pixel(100, 115), track);
}

TEST_F(ScrollBarTest, InfoIsClampedToTheRangeAndThePage) {
  scroll_bar_set_info(bar, {0, 10, 0, 50});
  EXPECT_EQ(scroll_bar_position(bar), 10);
  scroll_bar_set_info(bar, {0, 10, 3, 10});
  EXPECT_EQ(scroll_bar_position(bar), 8);
  scroll_bar_set_info(bar, {0, 10, 20, 5});
  EXPECT_EQ(scroll_bar_info(bar), (ScrollInfo{0, 10, 11, 0}));
  scroll_bar_set_info(bar, {5, 2, 0, 0});
  EXPECT_EQ(scroll_bar_info(bar), (ScrollInfo{5, 5, 0, 5}));
  scroll_bar_set_range(bar, 0, 100);
  scroll_bar_set_position(bar, -3);
  EXPECT_EQ(scroll_bar_position(bar), 0);
}

TEST_F(ScrollBarTest, HeldArrowRepeatsUntilReleased) {
  inject_pointer_down({305, 115});
  advance_virtual(1000);
  const size_t while_held = codes().size();
  // The first step at once, then one every 100 ms after a pause of 400 ms.
  EXPECT_GE(while_held, 6u);
  EXPECT_LE(while_held, 8u);
  inject_pointer_up();
  advance_virtual(1000);
  EXPECT_EQ(codes().size(), while_held + 1) << "only the end of the scroll after the release";
  EXPECT_EQ(codes().back(), kEnd);
}

TEST_F(ScrollBarTest, VerticalBarSendsVScroll) {
  Window* v = make(kScrollBarClass, "", control_style::kVertical, Rect::from_xywh(400, 50, 30, 200),
                   5);
  scroll_bar_set_info(v, {0, 20, 5, 0});
  tap({415, 240});
  const auto messages = heard_of(MessageKind::VScroll);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].code, int(ScrollCode::LineDown));
  EXPECT_EQ(messages[0].from, v);
  EXPECT_TRUE(heard_of(MessageKind::HScroll).empty());
}

}  // namespace
}  // namespace controls_test
