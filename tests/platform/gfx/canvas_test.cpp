// Shapes, clipping and blits drawn into small bitmaps and checked pixel by pixel.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/gfx_test_support.h"

namespace {

using namespace platform;
using gfx_test::count_colour;
using gfx_test::ink_box;
using gfx_test::picture;

constexpr Color kInk = colors::kRed;

TEST(CanvasFill, ClipsToTargetAndIgnoresEmptyOrInvertedRects) {
  Bitmap bm(10, 10);
  Canvas c(bm);
  c.fill_rect({-5, -5, 3, 3}, kInk);
  EXPECT_EQ(count_colour(bm, kInk), 9);
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{0, 0, 3, 3}));
  c.fill_rect({6, 6, 2, 2}, colors::kBlue);
  c.fill_rect({4, 4, 4, 9}, colors::kBlue);
  EXPECT_EQ(count_colour(bm, colors::kBlue), 0);
  c.fill_rect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, colors::kGreen);
  EXPECT_EQ(count_colour(bm, colors::kGreen), 100);
}

TEST(CanvasFill, FrameAndRectangleStayInsideTheirRect) {
  Bitmap bm(10, 10);
  Canvas c(bm);
  c.frame_rect({1, 1, 9, 9}, kInk, 2);
  EXPECT_EQ(count_colour(bm, kInk), 64 - 16) << picture(bm, kInk);
  EXPECT_EQ(count_colour(bm, colors::kBlack, {3, 3, 7, 7}), 16);
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{1, 1, 9, 9}));

  bm.fill(colors::kBlack);
  c.draw_rectangle({0, 0, 6, 5}, kInk, colors::kBlue, 1);
  EXPECT_EQ(count_colour(bm, colors::kBlue), 4 * 3);
  EXPECT_EQ(count_colour(bm, kInk), 30 - 12);
  EXPECT_EQ(bm.pixel(6, 0), colors::kBlack);

  bm.fill(colors::kBlack);
  c.frame_rect({2, 2, 5, 5}, kInk, 50);  // wider than half the rect: all of it
  EXPECT_EQ(count_colour(bm, kInk), 9);
}

TEST(CanvasLine, OnePixelLineIsInclusiveWithOnePixelPerColumn) {
  Bitmap bm(12, 6);
  Canvas c(bm);
  c.draw_line({0, 0}, {9, 3}, kInk);
  EXPECT_EQ(count_colour(bm, kInk), 10) << picture(bm, kInk);
  EXPECT_EQ(bm.pixel(0, 0), kInk);
  EXPECT_EQ(bm.pixel(9, 3), kInk);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(count_colour(bm, kInk, {x, 0, x + 1, 6}), 1) << x;

  Bitmap reverse(12, 6);
  Canvas(reverse).draw_line({9, 3}, {0, 0}, kInk);
  EXPECT_EQ(reverse, bm);
}

TEST(CanvasLine, WideLinesGrowAroundTheCentreLine) {
  // The lost-link cable: 10 pixels wide on y = 70 covers rows 65 to 74.
  Bitmap bm(20, 100);
  Canvas c(bm);
  c.draw_line({2, 70}, {12, 70}, kInk, 10);
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{2, 65, 13, 75}));
  EXPECT_EQ(count_colour(bm, kInk), 11 * 10);

  Bitmap column(9, 9);
  Canvas(column).draw_line({4, 1}, {4, 7}, kInk, 3);
  EXPECT_EQ(ink_box(column, colors::kBlack), (Rect{3, 1, 6, 8}));

  // A diagonal keeps its perpendicular width: 4 / cos 45 = 5.7, so 6 pixels per column.
  Bitmap diagonal(40, 40);
  Canvas(diagonal).draw_line({5, 5}, {30, 30}, kInk, 4);
  EXPECT_EQ(count_colour(diagonal, kInk, {17, 0, 18, 40}), 6) << picture(diagonal, kInk);
  EXPECT_EQ(diagonal.pixel(17, 17), kInk);
}

TEST(CanvasLine, HugeAndDegenerateEndpointsAreClippedQuickly) {
  Bitmap bm(16, 16);
  Canvas c(bm);
  c.draw_line({INT_MIN, 5}, {INT_MAX, 5}, kInk, 1);
  EXPECT_EQ(count_colour(bm, kInk), 16);
  EXPECT_EQ(count_colour(bm, kInk, {0, 5, 16, 6}), 16);

  bm.fill(colors::kBlack);
  c.draw_line({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, kInk, INT_MAX);
  c.draw_line({-100, -100}, {-50, -50}, colors::kBlue, 3);
  EXPECT_EQ(count_colour(bm, colors::kBlue), 0);
  EXPECT_EQ(count_colour(bm, kInk), 256);

  bm.fill(colors::kBlack);
  c.draw_line({7, 7}, {7, 7}, kInk, 3);  // a point with a wide pen is a square
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{6, 6, 9, 9}));
  bm.fill(colors::kBlack);
  c.draw_line({3, 3}, {8, 3}, kInk, 0);  // a zero-width pen still draws one pixel wide
  EXPECT_EQ(count_colour(bm, kInk), 6);
}

TEST(CanvasLine, DottedLinesRepeatTheirPatternFromTheStart) {
  // The graph grid: one pixel every third x from 1 to 376.
  Bitmap bm(380, 3);
  Canvas c(bm);
  c.draw_dotted_line({1, 1}, {376, 1}, colors::kGreen, 1, 2);
  EXPECT_EQ(count_colour(bm, colors::kGreen), 126);
  EXPECT_EQ(bm.pixel(1, 1), colors::kGreen);
  EXPECT_EQ(bm.pixel(2, 1), colors::kBlack);
  EXPECT_EQ(bm.pixel(4, 1), colors::kGreen);
  EXPECT_EQ(bm.pixel(376, 1), colors::kGreen);

  Bitmap vertical(3, 10);
  Canvas(vertical).draw_dotted_line({1, 9}, {1, 0}, kInk, 2, 1);
  std::string column;
  for (int y = 0; y < 10; ++y) column += vertical.pixel(1, y) == kInk ? '#' : '.';
  EXPECT_EQ(column, "#.##.##.##");

  // A clipped start keeps the pattern of the whole line.
  Bitmap clipped(380, 3);
  Canvas cc(clipped);
  cc.clip({100, 0, 380, 3});
  cc.draw_dotted_line({1, 1}, {376, 1}, colors::kGreen, 1, 2);
  EXPECT_EQ(clipped.pixel(100, 1), colors::kGreen);
  EXPECT_EQ(clipped.pixel(101, 1), colors::kBlack);
  c.draw_dotted_line({0, 0}, {10, 0}, kInk, 0, 3);
  EXPECT_EQ(count_colour(bm, kInk), 0);
}

TEST(CanvasLine, PolylineJoinsSegmentsWithoutNotches) {
  Bitmap bm(20, 20);
  Canvas c(bm);
  const Point trace[] = {{2, 2}, {10, 2}, {10, 12}};
  c.draw_polyline(trace, kInk, 1);
  EXPECT_EQ(count_colour(bm, kInk), 9 + 10) << picture(bm, kInk);

  bm.fill(colors::kBlack);
  c.draw_polyline(trace, kInk, 5);
  // The outer corner of a wide bend is covered by the round join.
  EXPECT_EQ(bm.pixel(11, 1), kInk) << picture(bm, kInk);
  EXPECT_EQ(bm.pixel(12, 3), kInk);

  bm.fill(colors::kBlack);
  c.draw_polyline({}, kInk, 1);
  const Point one[] = {{4, 4}};
  c.draw_polyline(one, kInk, 1);
  EXPECT_EQ(count_colour(bm, kInk), 1);
}

TEST(CanvasPolygon, FillsPixelCentresByTheEvenOddRule) {
  Bitmap bm(12, 12);
  Canvas c(bm);
  const Point square[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
  c.fill_polygon(square, kInk);
  EXPECT_EQ(count_colour(bm, kInk), 16);
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{2, 2, 6, 6}));

  // A square inside a square, both clockwise: the even-odd rule leaves the inner one open.
  bm.fill(colors::kBlack);
  const Point ring[] = {{0, 0}, {12, 0}, {12, 12}, {0, 12}, {0, 0},
                        {4, 4}, {8, 4},  {8, 8},   {4, 8},  {4, 4}};
  c.fill_polygon(ring, kInk);
  EXPECT_EQ(count_colour(bm, kInk), 144 - 16) << picture(bm, kInk);
  EXPECT_EQ(bm.pixel(5, 5), colors::kBlack);

  bm.fill(colors::kBlack);
  const Point huge[] = {{INT_MIN / 2, INT_MIN / 2}, {INT_MAX / 2, INT_MIN / 2}, {0, INT_MAX / 2}};
  c.fill_polygon(huge, kInk);
  EXPECT_EQ(count_colour(bm, kInk), 144);
  bm.fill(colors::kBlack);
  const Point line[] = {{0, 0}, {10, 10}};
  c.fill_polygon(line, kInk);
  EXPECT_EQ(count_colour(bm, kInk), 0);
}

// 4-connected flood fill over pixels that are not `wall`; returns whether it reached `goal`.
bool reaches(const Bitmap& bm, Point from, Point goal, Color wall) {
  std::vector<bool> seen(size_t(bm.width()) * bm.height());
  std::vector<Point> todo{from};
  while (!todo.empty()) {
    const Point p = todo.back();
    todo.pop_back();
    if (!bm.rect().contains(p) || bm.pixel(p.x, p.y) == wall) continue;
    if (seen[size_t(p.y) * bm.width() + p.x]) continue;
    seen[size_t(p.y) * bm.width() + p.x] = true;
    if (p == goal) return true;
    todo.insert(todo.end(), {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}});
  }
  return false;
}

TEST(CanvasEllipse, FilledEllipseIsSymmetricInsideItsRect) {
  Bitmap bm(14, 12);
  Canvas c(bm);
  c.fill_ellipse({2, 1, 12, 11}, kInk);
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{2, 1, 12, 11})) << picture(bm, kInk);
  EXPECT_EQ(bm.pixel(2, 1), colors::kBlack);
  for (int y = 1; y < 11; ++y) {
    for (int x = 2; x < 12; ++x) {
      EXPECT_EQ(bm.pixel(x, y), bm.pixel(13 - x, y)) << x << "," << y;
      EXPECT_EQ(bm.pixel(x, y), bm.pixel(x, 11 - y)) << x << "," << y;
    }
  }
}

TEST(CanvasEllipse, OutlinesAreClosedRingsAtAnyWidth) {
  for (const Rect r : {Rect{1, 1, 39, 21}, Rect{1, 1, 21, 39}, Rect{5, 5, 35, 35}}) {
    for (int width : {1, 2, 4}) {
      Bitmap bm(40, 40);
      Canvas(bm).draw_ellipse(r, kInk, width);
      const Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      EXPECT_EQ(bm.pixel(centre.x, centre.y), colors::kBlack);
      EXPECT_FALSE(reaches(bm, centre, {0, 0}, kInk))
          << "gap in the ring of width " << width << picture(bm, kInk);
      EXPECT_TRUE(r.contains(ink_box(bm, colors::kBlack)));
    }
  }
}

TEST(CanvasClip, SaveRestoreAndTranslateCompose) {
  Bitmap bm(20, 20);
  Canvas c(bm);
  c.save();
  c.translate(5, 5);
  c.clip({0, 0, 4, 3});
  EXPECT_EQ(c.clip_rect(), (Rect{0, 0, 4, 3}));
  c.fill_rect({-10, -10, 100, 100}, kInk);
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{5, 5, 9, 8}));
  c.save();
  c.translate(1, 1);
  c.clip({-50, -50, 50, 50});  // a clip never grows
  EXPECT_EQ(c.clip_rect(), (Rect{-1, -1, 3, 2}));
  c.restore();
  c.restore();
  EXPECT_EQ(c.origin(), (Point{0, 0}));
  EXPECT_EQ(c.clip_rect(), bm.rect());
  EXPECT_EQ(c.saved_depth(), 0u);
  c.fill_rect({15, 15, 30, 30}, colors::kBlue);
  EXPECT_EQ(count_colour(bm, colors::kBlue), 25);

  c.clip({30, 30, 40, 40});  // outside the target: nothing can be drawn
  EXPECT_TRUE(c.clip_rect().empty());
  c.fill_rect({0, 0, 20, 20}, colors::kGreen);
  c.draw_line({0, 0}, {19, 19}, colors::kGreen, 3);
  c.fill_ellipse({0, 0, 20, 20}, colors::kGreen);
  EXPECT_EQ(count_colour(bm, colors::kGreen), 0);
}

// A scoped state puts clip and origin back when its scope ends, nested or not; a restore
// without its save is a programming error and asserts.
TEST(CanvasClip, ScopedStateRestoresAndAnUnbalancedRestoreAsserts) {
  Bitmap bm(20, 20);
  Canvas c(bm);
  {
    CanvasState outer(c);
    c.translate(3, 4);
    c.clip({0, 0, 5, 5});
    {
      CanvasState inner(c);
      c.translate(1, 1);
      c.clip({0, 0, 1, 1});
      EXPECT_EQ(c.saved_depth(), 2u);
    }
    EXPECT_EQ(c.origin(), (Point{3, 4}));
    EXPECT_EQ(c.clip_rect(), (Rect{0, 0, 5, 5}));
  }
  EXPECT_EQ(c.origin(), (Point{0, 0}));
  EXPECT_EQ(c.clip_rect(), bm.rect());
  EXPECT_EQ(c.saved_depth(), 0u);
  EXPECT_DEBUG_DEATH(c.restore(), "without a matching save");
}

TEST(CanvasClip, EveryPrimitiveHonoursTheClip) {
  Bitmap bm(30, 30);
  Canvas c(bm);
  c.clip({10, 10, 20, 20});
  const Point tri[] = {{0, 0}, {30, 0}, {15, 30}};
  Bitmap src(30, 30, kInk);
  c.draw_line({0, 15}, {29, 15}, kInk, 5);
  c.draw_dotted_line({15, 0}, {15, 29}, kInk);
  c.fill_polygon(tri, kInk);
  c.fill_ellipse({0, 0, 30, 30}, kInk);
  c.draw_ellipse({0, 0, 30, 30}, kInk, 3);
  c.frame_rect({0, 0, 30, 30}, kInk, 12);
  c.blit(src, {0, 0});
  c.blit_keyed(src, src.rect(), {0, 0}, colors::kBlue);
  c.stretch_blit(src, {0, 0, 3, 3}, {0, 0, 30, 30});
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{10, 10, 20, 20}));
}

Bitmap numbered(int w, int h) {
  Bitmap bm(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bm.set_pixel(x, y, rgb(uint8_t(x), uint8_t(y), 7));
  return bm;
}

TEST(CanvasBlit, CopiesOnlyWhatExistsAndIsVisible) {
  const Bitmap src = numbered(6, 4);
  Bitmap bm(8, 8);
  Canvas c(bm);
  c.blit(src, {2, 1, 10, 10}, {-1, 3});  // src_rect past the source, dst left of the target
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{0, 3, 3, 6}));
  EXPECT_EQ(bm.pixel(0, 3), rgb(3, 1, 7));
  EXPECT_EQ(bm.pixel(2, 5), rgb(5, 3, 7));

  bm.fill(colors::kBlack);
  c.translate(4, 4);
  c.blit(src, {0, 0});
  EXPECT_EQ(ink_box(bm, colors::kBlack), (Rect{4, 4, 8, 8}));
  EXPECT_EQ(bm.pixel(7, 7), rgb(3, 3, 7));
  c.blit(src, {INT_MAX - 2, INT_MIN});
  c.blit(Bitmap(), {0, 0});
}

TEST(CanvasBlit, BlitOntoItselfScrollsWithoutSmearing) {
  Bitmap bm = numbered(5, 6);
  const Bitmap before = bm;
  Canvas c(bm);
  c.blit(bm, {0, 0, 5, 5}, {0, 1});
  for (int y = 1; y < 6; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(bm.pixel(x, y), before.pixel(x, y - 1)) << x << "," << y;
  c.blit(bm, {1, 0, 5, 6}, {0, 0});
  EXPECT_EQ(bm.pixel(0, 3), before.pixel(1, 2));
  EXPECT_EQ(bm.pixel(3, 3), before.pixel(4, 2));
}

TEST(CanvasBlit, KeyedBlitLeavesKeyPixelsUntouched) {
  Bitmap icon(3, 1);
  icon.set_pixel(0, 0, colors::kWhite);
  icon.set_pixel(1, 0, rgb(255, 0, 255));
  icon.set_pixel(2, 0, colors::kBlue);
  Bitmap bm(3, 1, colors::kGreen);
  Canvas(bm).blit_keyed(icon, icon.rect(), {0, 0}, rgb(255, 0, 255));
  EXPECT_EQ(bm.pixel(0, 0), colors::kWhite);
  EXPECT_EQ(bm.pixel(1, 0), colors::kGreen);
  EXPECT_EQ(bm.pixel(2, 0), colors::kBlue);
}

TEST(CanvasBlit, StretchSamplesNearestPixelCentres) {
  const Bitmap src = numbered(2, 2);
  Bitmap up(4, 4);
  Canvas(up).stretch_blit(src, src.rect(), up.rect());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(up.pixel(x, y), src.pixel(x / 2, y / 2));

  const Bitmap big = numbered(8, 8);
  Bitmap down(4, 2);
  Canvas(down).stretch_blit(big, big.rect(), down.rect());
  EXPECT_EQ(down.pixel(0, 0), big.pixel(1, 2));
  EXPECT_EQ(down.pixel(3, 1), big.pixel(7, 6));

  // Clipped and translated: the mapping is that of the whole target rectangle.
  Bitmap part(4, 4);
  Canvas c(part);
  c.translate(-2, 0);
  c.stretch_blit(src, src.rect(), {0, 0, 4, 4});
  EXPECT_EQ(part.pixel(0, 0), src.pixel(1, 0));
  EXPECT_EQ(part.pixel(2, 0), colors::kBlack);

  Bitmap none(4, 4);
  Canvas n(none);
  n.stretch_blit(src, {0, 0, 0, 2}, none.rect());
  n.stretch_blit(src, src.rect(), {4, 0, 0, 4});
  n.stretch_blit(src, {5, 5, 9, 9}, none.rect());  // samples all outside the source
  EXPECT_EQ(count_colour(none, colors::kBlack), 16);
  // The target's top-left lies just past the centre of this huge rectangle.
  n.stretch_blit(src, src.rect(), {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  EXPECT_EQ(count_colour(none, src.pixel(1, 1)), 16);
}

}  // namespace
