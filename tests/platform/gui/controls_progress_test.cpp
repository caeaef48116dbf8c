// Progress bars: stepping, clamping and the filled part.
#include "tests/platform/gui/controls_fixture.h"

namespace controls_test {
namespace {

using ProgressTest = ControlsTest;

TEST_F(ProgressTest, StepsAreClampedToTheRange) {
  Window* bar = make(kProgressClass, "", 0, Rect::from_xywh(20, 200, 206, 30), 1);
  progress_set_range(bar, 0, 25);
  progress_set_step(bar, 10);
  EXPECT_EQ(progress_step_it(bar), 0);
  EXPECT_EQ(progress_step_it(bar), 10);
  EXPECT_EQ(progress_position(bar), 20);
  progress_step_it(bar);
  EXPECT_EQ(progress_position(bar), 25) << "a step past the end stays at the end";
  progress_step_it(bar);
  EXPECT_EQ(progress_position(bar), 25);
  EXPECT_EQ(progress_set_position(bar, -5), 25);
  EXPECT_EQ(progress_position(bar), 0);
  progress_set_position(bar, 20);
  progress_set_range(bar, 0, 10);
  EXPECT_EQ(progress_position(bar), 10) << "a narrower range takes the position with it";
  progress_set_range(bar, 7, 3);
  EXPECT_EQ(progress_position(bar), 7);
}

TEST_F(ProgressTest, FillFollowsThePosition) {
  // Inside the 3 px edge the bar is 200 px wide, from x 23 to 223.
  Window* bar = make(kProgressClass, "", 0, Rect::from_xywh(20, 200, 206, 30), 1);
  progress_set_range(bar, 0, 100);
  progress_set_position(bar, 50);
  const Color fill = pixel(30, 215);
  EXPECT_NE(fill, colors::kFace);
  EXPECT_EQ(pixel(122, 215), fill);
  EXPECT_EQ(pixel(124, 215), colors::kFace);
  progress_set_position(bar, 100);
  EXPECT_EQ(pixel(222, 215), fill);
  progress_set_position(bar, 0);
  EXPECT_EQ(pixel(30, 215), colors::kFace);
}

}  // namespace
}  // namespace controls_test
