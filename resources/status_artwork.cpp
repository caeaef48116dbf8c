// The icon frames of the status picture and the places where they go. The base pictures are in
// status_art_pictures.cpp; both are drawn once, on first use.
#include "resources/status_artwork.h"

#include <array>

#include "resources/status_art_palette.h"

namespace corvex::resources {

// Drawn in status_art_pictures.cpp.
platform::Bitmap draw_base_picture(DryerPicture p);

namespace {

using namespace art;
using platform::Bitmap;
using platform::Size;

int frame_index(int frame) {
  return ((frame % kAnimationFrames) + kAnimationFrames) % kAnimationFrames;
}

// ---- Fan/heater icons ----
//
// A housing with the fan's shroud on the left and the burner's sight window on the right. The
// housing's colour tells the state at a glance: grey standing, steel blue with the fan running,
// orange with the burner lit, red in the second stage. The three blades turn by 40 degrees a
// frame (a third of their 120-degree symmetry), so the fan keeps turning one way.

Size fan_heater_size(PictureFamily f) {
  return f == PictureFamily::Tower ? Size{40, 26} : Size{48, 32};
}

Color housing_colour(FanHeaterIconSet set) {
  switch (set) {
    case FanHeaterIconSet::Idle: return rgb(132, 136, 142);
    case FanHeaterIconSet::Fan: return rgb(96, 138, 188);
    case FanHeaterIconSet::Burner: return rgb(226, 128, 40);
    case FanHeaterIconSet::SecondStage: return rgb(214, 52, 32);
  }
  return kSteel;
}

void draw_blades(Canvas& c, const Rect& shroud, bool turning, int frame) {
  const double cx = (shroud.left + shroud.right - 1) / 2.0;
  const double cy = (shroud.top + shroud.bottom - 1) / 2.0;
  const double r = shroud.width() / 2.0 - 2.0;
  const double hub = r * 0.3;
  const Color blade = turning ? rgb(236, 240, 246) : rgb(92, 96, 104);
  const double start = 15.0 + (turning ? 40.0 * frame : 0.0);
  for (int k = 0; k < 3; ++k) {
    const double a = start + 120.0 * k;
    const std::array<Point, 4> p = {polar(cx, cy, hub, a - 30), polar(cx, cy, r, a - 16),
                                    polar(cx, cy, r, a + 14), polar(cx, cy, hub, a + 24)};
    c.fill_polygon(p, blade);
  }
  const int h = int(hub);
  c.fill_ellipse({int(cx) - h, int(cy) - h, int(cx) + h + 2, int(cy) + h + 2}, kSteelDark);
}

// A flame in the sight window: an orange tongue with a yellow core whose height and lean change
// from frame to frame; the second stage fills the window with a hotter, wider flame.
void draw_flame(Canvas& c, const Rect& win, bool second_stage, int frame) {
  static constexpr double kHeight[3] = {0.66, 0.84, 0.74};
  static constexpr int kLean[3] = {-1, 1, 0};
  const int cx = (win.left + win.right) / 2 + kLean[frame];
  const int base = win.bottom - 2;
  const double scale = second_stage ? 1.18 : 1.0;
  const int height = std::min(int((win.height() - 3) * kHeight[frame] * scale), win.height() - 3);
  const int half = second_stage ? win.width() / 2 - 1 : win.width() / 2 - 2;
  const std::array<Point, 5> outer = {Point{win.left + 1 + (second_stage ? 0 : 1), base},
                                      Point{cx - half, base - height / 3}, Point{cx, base - height},
                                      Point{cx + half, base - height / 3},
                                      Point{win.right - 2 - (second_stage ? 0 : 1), base}};
  c.fill_polygon(outer, second_stage ? rgb(255, 84, 16) : rgb(255, 122, 20));
  const int core = height * 3 / 5;
  const std::array<Point, 4> inner = {Point{cx - half / 2, base}, Point{cx, base - core},
                                      Point{cx + half / 2 + 1, base}, Point{cx, base - 1}};
  c.fill_polygon(inner, second_stage ? rgb(255, 246, 170) : rgb(255, 210, 60));
}

Bitmap draw_fan_heater(PictureFamily f, FanHeaterIconSet set, int frame) {
  const Size s = fan_heater_size(f);
  Bitmap b(s.width, s.height, kIconKey);
  Canvas c(b);
  c.draw_rectangle({0, 0, s.width, s.height}, kOutline, housing_colour(set));
  // The top edge catches the light, as on the pictures' sheet steel.
  c.fill_rect({1, 1, s.width - 1, 2}, kSteelLight);
  const int d = s.height - 4;
  const Rect shroud{2, 2, 2 + d, 2 + d};
  c.fill_ellipse(shroud, rgb(18, 20, 26));
  c.draw_ellipse(shroud, kOutline);
  const bool turning = set != FanHeaterIconSet::Idle;
  draw_blades(c, shroud, turning, frame);
  const Rect win{shroud.right + 2, 4, s.width - 3, s.height - 4};
  c.draw_rectangle(win, kOutline, rgb(26, 20, 18));
  if (set == FanHeaterIconSet::Burner || set == FanHeaterIconSet::SecondStage) {
    draw_flame(c, win, set == FanHeaterIconSet::SecondStage, frame);
  }
  return b;
}

// ---- Conveyors ----
//
// A screw conveyor: a steel trough with a cut-away showing the yellow flights and a drive motor
// at one end. The flights move a third of their pitch per frame towards the discharge end. The
// load conveyor's counter counts down (2, 1, 0) and the unload conveyor's counts up, so each
// frame set is laid out for the direction its counter runs: the load conveyor carries grain to
// the right, onto the dryer; the unload conveyor carries it to the right, away.

Size equipment_size(PictureFamily f, Equipment e) {
  if (e == Equipment::Load) {
    switch (f) {
      case PictureFamily::Tower: return {84, 16};
      case PictureFamily::Column: return {110, 18};
      case PictureFamily::MixedFlow: return {100, 18};
    }
  }
  return f == PictureFamily::Tower ? Size{136, 20} : Size{130, 20};
}

Bitmap draw_conveyor(PictureFamily f, Equipment e, int frame) {
  const Size s = equipment_size(f, e);
  Bitmap b(s.width, s.height, kIconKey);
  Canvas c(b);
  constexpr int kMotorWidth = 13;
  constexpr int kPitch = 12;
  const bool motor_left = e == Equipment::Load;
  const Rect motor = motor_left ? Rect{0, 0, kMotorWidth, s.height}
                                : Rect{s.width - kMotorWidth, 0, s.width, s.height};
  const Rect tube = motor_left ? Rect{kMotorWidth - 1, 2, s.width, s.height - 2}
                               : Rect{0, 2, s.width - kMotorWidth + 1, s.height - 2};
  box(c, tube, kSteel);
  c.fill_rect({tube.left + 1, tube.top + 1, tube.right - 1, tube.top + 2}, kSteelLight);
  const Rect window{tube.left + 3, tube.top + 3, tube.right - 3, tube.bottom - 3};
  box(c, window, rgb(44, 36, 28));
  const int phase = e == Equipment::Load ? (2 - frame) : frame;
  c.save();
  c.clip(window.inflated(-1, -1));
  for (int x = window.left - kPitch + phase * (kPitch / 3); x < window.right + kPitch;
       x += kPitch) {
    c.draw_line({x, window.bottom - 2}, {x + 6, window.top + 1}, kFlightYellow, 3);
    c.draw_line({x + 1, window.bottom - 2}, {x + 4, window.top + 3}, rgb(250, 230, 130), 1);
  }
  c.restore();
  box(c, motor, kMotor);
  for (int y = motor.top + 3; y < motor.bottom - 2; y += 3) {
    c.draw_line({motor.left + 3, y}, {motor.right - 4, y}, rgb(24, 60, 110));
  }
  return b;
}

// ---- Metering rolls ----
//
// A fluted roll seen end on, six flutes turned by 20 degrees a frame (a third of their 60-degree
// symmetry): a counter that counts up turns the roll clockwise, one that counts down turns it
// the other way, which is how the forward and reverse directions show.

int roll_diameter(RollSize size) { return size == RollSize::Large ? 24 : 16; }

Bitmap draw_roll(RollSize size, int frame) {
  const int d = roll_diameter(size);
  Bitmap b(d, d, kIconKey);
  Canvas c(b);
  c.fill_ellipse({0, 0, d, d}, kSteel);
  c.draw_ellipse({0, 0, d, d}, kOutline);
  const double centre = (d - 1) / 2.0;
  const double r = d / 2.0;
  const int width = size == RollSize::Large ? 3 : 2;
  for (int k = 0; k < 6; ++k) {
    const double a = 20.0 * frame + 60.0 * k;
    c.draw_line(polar(centre, centre, r * 0.38, a), polar(centre, centre, r * 0.86, a),
                rgb(60, 64, 72), width);
  }
  const int hub = size == RollSize::Large ? 4 : 3;
  c.fill_ellipse({d / 2 - hub, d / 2 - hub, d / 2 + hub, d / 2 + hub}, kMotor);
  return b;
}

template <typename Draw>
auto make_frames(Draw draw) {
  return std::array<Bitmap, kAnimationFrames>{draw(0), draw(1), draw(2)};
}

constexpr int family_index(PictureFamily f) { return int(f); }

}  // namespace

PictureFamily family_of(DryerPicture p) {
  switch (p) {
    case DryerPicture::A1:
    case DryerPicture::A2:
    case DryerPicture::A3: return PictureFamily::Tower;
    case DryerPicture::B1:
    case DryerPicture::B2: return PictureFamily::Column;
    case DryerPicture::C1:
    case DryerPicture::C2: return PictureFamily::MixedFlow;
  }
  return PictureFamily::Tower;
}

platform::Point picture_origin(DryerPicture p) {
  return family_of(p) == PictureFamily::Tower ? kTowerPictureOrigin : platform::Point{0, 0};
}

const Bitmap& base_picture(DryerPicture p) {
  static const std::array<Bitmap, kDryerPictureCount> pictures = [] {
    std::array<Bitmap, kDryerPictureCount> all;
    for (int i = 0; i < kDryerPictureCount; ++i)
      all[size_t(i)] = draw_base_picture(DryerPicture(i));
    return all;
  }();
  return pictures[size_t(p)];
}

const Bitmap& fan_heater_icon(PictureFamily f, FanHeaterIconSet set, int frame) {
  using Sets = std::array<std::array<Bitmap, kAnimationFrames>, 4>;
  static const std::array<Sets, 3> icons = [] {
    std::array<Sets, 3> all;
    for (int fi = 0; fi < 3; ++fi) {
      for (int si = 0; si < 4; ++si) {
        all[size_t(fi)][size_t(si)] = make_frames(
            [&](int k) { return draw_fan_heater(PictureFamily(fi), FanHeaterIconSet(si), k); });
      }
    }
    return all;
  }();
  return icons[size_t(family_index(f))][size_t(set)][size_t(frame_index(frame))];
}

const Bitmap& equipment_icon(PictureFamily f, Equipment e, int frame) {
  using Pair = std::array<std::array<Bitmap, kAnimationFrames>, 2>;
  static const std::array<Pair, 3> icons = [] {
    std::array<Pair, 3> all;
    for (int fi = 0; fi < 3; ++fi) {
      for (int ei = 0; ei < 2; ++ei) {
        all[size_t(fi)][size_t(ei)] =
            make_frames([&](int k) { return draw_conveyor(PictureFamily(fi), Equipment(ei), k); });
      }
    }
    return all;
  }();
  return icons[size_t(family_index(f))][size_t(e)][size_t(frame_index(frame))];
}

const Bitmap& metering_roll_icon(RollSize size, int frame) {
  static const std::array<std::array<Bitmap, kAnimationFrames>, 2> icons = {
      make_frames([](int k) { return draw_roll(RollSize::Large, k); }),
      make_frames([](int k) { return draw_roll(RollSize::Small, k); })};
  return icons[size_t(size)][size_t(frame_index(frame))];
}

// ---- Places ----
//
// Fan/heaters stand one above the other, #1 at the bottom of the drying section: six are packed
// closer than up to four.
platform::Rect fan_heater_place(DryerPicture p, int count, int n) {
  if (n < 1 || n > count || count < 1 || count > 6) return {};
  const PictureFamily f = family_of(p);
  const Size s = fan_heater_size(f);
  int left = 0, bottom = 0, pitch = 0;
  switch (f) {
    case PictureFamily::Tower: left = 104, bottom = 262, pitch = count > 4 ? 31 : 40; break;
    case PictureFamily::Column: left = 69, bottom = 346, pitch = count > 4 ? 41 : 50; break;
    case PictureFamily::MixedFlow: left = 4, bottom = 362, pitch = count > 4 ? 46 : 56; break;
  }
  const int top = bottom - s.height - (n - 1) * pitch;
  return Rect::from_xywh(left, top, s.width, s.height);
}

platform::Rect equipment_place(DryerPicture p, Equipment e) {
  const PictureFamily f = family_of(p);
  const Size s = equipment_size(f, e);
  Point at;
  switch (f) {
    case PictureFamily::Tower: at = e == Equipment::Load ? Point{4, 44} : Point{6, 306}; break;
    case PictureFamily::Column: at = e == Equipment::Load ? Point{30, 40} : Point{106, 396}; break;
    case PictureFamily::MixedFlow:
      at = e == Equipment::Load ? Point{40, 42} : Point{106, 397};
      break;
  }
  return Rect::from_xywh(at.x, at.y, s.width, s.height);
}

platform::Rect metering_roll_place(DryerPicture p, RollSize size, int roll) {
  // Top-left corners of the large rolls; a small roll sits centred in the large one's place.
  static constexpr Point kTower[2] = {{34, 272}, {60, 272}};
  static constexpr Point kColumn[2] = {{39, 362}, {123, 362}};
  static constexpr Point kMixed[2] = {{88, 372}, {114, 372}};
  const int i = roll == 0 ? 0 : 1;
  Point at;
  switch (family_of(p)) {
    case PictureFamily::Tower: at = kTower[i]; break;
    case PictureFamily::Column: at = kColumn[i]; break;
    case PictureFamily::MixedFlow: at = kMixed[i]; break;
  }
  const int large = roll_diameter(RollSize::Large);
  const int d = roll_diameter(size);
  const int inset = (large - d) / 2;
  return Rect::from_xywh(at.x + inset, at.y + inset, d, d);
}

}  // namespace corvex::resources
