// The seven base pictures of the status picture. Everything is drawn in the window's client
// coordinates (the A pictures through an offset of their place at (0, 25)), so that the places
// of status_artwork.cpp and the drawings below line up by construction. The right-hand text
// column and the bottom-left read-out corner are left as plain background.
#include <array>

#include "resources/status_art_palette.h"
#include "resources/status_artwork.h"

namespace corvex::resources {

namespace {

using namespace art;
using platform::Bitmap;

// Vertical stiffening ribs of a sheet-steel bin or garner.
void ribs(Canvas& c, const Rect& r, int spacing) {
  for (int x = r.left + spacing; x < r.right - 2; x += spacing) {
    c.draw_line({x, r.top + 1}, {x, r.bottom - 2}, kSteelDark);
  }
}

void ladder(Canvas& c, int left, int top, int bottom) {
  c.draw_line({left, top}, {left, bottom}, kSteelDark);
  c.draw_line({left + 5, top}, {left + 5, bottom}, kSteelDark);
  for (int y = top + 4; y < bottom; y += 7) c.draw_line({left, y}, {left + 5, y}, kSteelDark);
}

// ---- Tower dryers (A) ----
//
// A tall perforated tower: garner at the top, the drying section, the cooling section, the
// metering rolls under the hopper and the unload conveyor on the ground; the load conveyor
// feeds it from the left at the top and the fan/heaters stand on the hot-air duct at its right.
void draw_tower(Canvas& c, DryerPicture p) {
  c.translate(-kTowerPictureOrigin.x, -kTowerPictureOrigin.y);
  c.fill_rect({0, 25, 180, 340}, kSky);
  c.fill_rect({0, 326, 180, 340}, kGround);
  c.draw_line({0, 326}, {179, 326}, kOutline);
  // The load conveyor's support and its spout into the roof.
  box(c, {8, 60, 12, 326}, kSteelDark);
  box(c, {76, 58, 85, 72}, kSteelDark);
  int body_top = 76;
  if (p == DryerPicture::A3) {
    // Wet-holding bin with a conical roof above the tower, and the service ladder.
    shape(c, std::array<Point, 3>{Point{24, 72}, Point{63, 62}, Point{102, 72}}, kSteel);
    box(c, {24, 72, 102, 100}, kSteelLight);
    ribs(c, {24, 72, 102, 100}, 9);
    body_top = 100;
    ladder(c, 20, 100, 326);
  } else {
    shape(c, std::array<Point, 4>{Point{26, 76}, Point{40, 64}, Point{86, 64}, Point{100, 76}},
          kSteel);
  }
  if (body_top < 96) {
    box(c, {30, body_top, 96, 96}, kSteelLight);
    ribs(c, {30, body_top, 96, 96}, 8);
  }
  const int cooling_top = p == DryerPicture::A2 ? 206 : 232;
  const Rect drying{30, std::max(96, body_top), 96, cooling_top + 1};
  perforated(c, drying);
  seams(c, drying, p == DryerPicture::A2 ? 4 : 5);
  const Rect cooling{30, cooling_top, 96, 262};
  perforated(c, cooling, kCooling, kCoolingDark);
  if (p == DryerPicture::A2) seams(c, cooling, 2);
  // The hot-air duct the fan/heaters blow into.
  box(c, {95, std::max(78, body_top + 2), 105, cooling_top}, kPlenum);
  // Hopper, roll housing, discharge funnel and the legs.
  shape(c, std::array<Point, 4>{Point{30, 262}, Point{96, 262}, Point{86, 271}, Point{32, 271}},
        kSteelDark);
  box(c, {32, 270, 86, 298}, rgb(70, 74, 82));
  shape(c, std::array<Point, 4>{Point{32, 298}, Point{86, 298}, Point{70, 306}, Point{48, 306}},
        kSteelDark);
  box(c, {30, 298, 35, 326}, kSteelDark);
  box(c, {91, 298, 96, 326}, kSteelDark);
}

// ---- Column dryers (B) ----
//
// End view: a garner on top, two perforated grain columns around the plenum in which the
// fan/heaters sit, a metering roll under each column, and the collecting trough that feeds the
// unload conveyor to the right. B2 is the same dryer in the variant trim with a railed catwalk.
void draw_column(Canvas& c, DryerPicture p) {
  c.fill_rect({0, 0, 240, 420}, kSky);
  c.fill_rect({0, 414, 240, 420}, kGround);
  const bool variant = p == DryerPicture::B2;
  const Color trim = variant ? kGreenPaint : kSteelDark;
  if (variant) {
    // Catwalk railing along the roof.
    c.draw_line({40, 50}, {146, 50}, kSteel);
    for (int x = 42; x < 146; x += 13) c.draw_line({x, 50}, {x, 58}, kSteel);
  }
  box(c, {126, 56, 139, 68}, kSteelDark);  // spout of the load conveyor
  box(c, {38, 58, 148, 66}, trim);
  box(c, {40, 66, 146, 92}, kSteelLight);
  ribs(c, {40, 66, 146, 92}, 9);
  const Rect left{40, 91, 63, 351};
  const Rect right{123, 91, 146, 351};
  perforated(c, left);
  perforated(c, right);
  seams(c, left, 6);
  seams(c, right, 6);
  box(c, {62, 91, 124, 351}, kPlenum);
  c.fill_rect({64, 93, 122, 95}, rgb(96, 56, 40));
  box(c, {62, 350, 124, 358}, trim);
  // Hoppers and roll housings under the columns.
  shape(c, std::array<Point, 4>{Point{40, 350}, Point{63, 350}, Point{62, 361}, Point{41, 361}},
        kSteelDark);
  shape(c, std::array<Point, 4>{Point{123, 350}, Point{146, 350}, Point{145, 361}, Point{124, 361}},
        kSteelDark);
  box(c, {37, 360, 66, 388}, rgb(70, 74, 82));
  box(c, {121, 360, 150, 388}, rgb(70, 74, 82));
  // The collecting trough under both rolls and its drop onto the unload conveyor.
  box(c, {37, 387, 150, 394}, kSteelDark);
  box(c, {106, 393, 120, 398}, kSteelDark);
}

// ---- Mixed-flow (modular) dryers (C) ----
//
// A stack of modules whose grain runs between rows of diamond air ducts (hot-air inlets and
// exhausts in turn), the fan/heaters on the hot-air duct at the left, the discharge section
// with its rolls and the unload conveyor below. C2 has its two lowest modules cooling.
void draw_mixed_flow(Canvas& c, DryerPicture p) {
  c.fill_rect({0, 0, 240, 420}, kSky);
  c.fill_rect({0, 416, 240, 420}, kGround);
  box(c, {122, 58, 136, 70}, kSteelDark);  // spout of the load conveyor
  shape(c, std::array<Point, 4>{Point{48, 78}, Point{64, 66}, Point{132, 66}, Point{148, 78}},
        kSteel);
  const Rect body{50, 78, 146, 366};
  constexpr int kModules = 6;
  const int cooling_modules = p == DryerPicture::C2 ? 2 : 0;
  for (int m = 0; m < kModules; ++m) {
    const int top = body.top + body.height() * m / kModules;
    const int bottom = body.top + body.height() * (m + 1) / kModules + 1;
    const bool cooling = m >= kModules - cooling_modules;
    box(c, {body.left, top, body.right, bottom}, cooling ? kCooling : kGrain);
    // Two rows of ducts per module, shifted by half a duct.
    for (int row = 0; row < 2; ++row) {
      const int y = top + 12 + row * 24;
      const int shift = row * 8;
      for (int x = body.left + 10 + shift; x < body.right - 6; x += 16) {
        const Color duct = row == 0 ? (cooling ? kCoolingDark : kPlenum) : kSteelDark;
        const std::array<Point, 4> diamond = {Point{x, y - 5}, Point{x + 6, y}, Point{x, y + 5},
                                              Point{x - 6, y}};
        c.fill_polygon(diamond, duct);
      }
    }
  }
  box(c, {45, 80, 53, 364}, kPlenum);
  shape(c, std::array<Point, 4>{Point{50, 366}, Point{146, 366}, Point{140, 371}, Point{86, 371}},
        kSteelDark);
  box(c, {86, 370, 140, 396}, rgb(70, 74, 82));
  box(c, {52, 366, 57, 416}, kSteelDark);
}

}  // namespace

Bitmap draw_base_picture(DryerPicture p) {
  const bool tower = family_of(p) == PictureFamily::Tower;
  const platform::Size s = tower ? kTowerPictureSize : kFullPictureSize;
  Bitmap b(s.width, s.height, kSky);
  Canvas c(b);
  switch (family_of(p)) {
    case PictureFamily::Tower: draw_tower(c, p); break;
    case PictureFamily::Column: draw_column(c, p); break;
    case PictureFamily::MixedFlow: draw_mixed_flow(c, p); break;
  }
  return b;
}

}  // namespace corvex::resources
