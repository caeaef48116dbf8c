#pragma once
// The artwork of the dryer status picture, drawn by code into memory bitmaps the first time it
// is asked for and kept for the whole run: the seven base pictures of the three dryer families,
// the fan/heater icons (idle, fan, burner, second burner stage; three frames each), the load and
// unload equipment frames and the metering-roll frames in a large (7-inch) and a small (4-inch)
// size. The places where the icons go belong to the same drawings, so they are given here too.
//
// Icons are drawn on the key colour kIconKey, which the picture leaves out when it copies them
// (Canvas::blit_keyed). Every picture keeps the right-hand column (kTextColumn) and the bottom
// left corner free of detail: the picture's texts are drawn there on a dark panel.
#include <cstdint>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/geometry.h"

namespace corvex::resources {

// The base pictures: A tower dryers (A1 plain, A2 the variant with a cooling floor, A3 the
// variant with a wet-holding bin), B column dryers, C mixed-flow (modular) dryers.
enum class DryerPicture : uint8_t { A1, A2, A3, B1, B2, C1, C2 };
inline constexpr int kDryerPictureCount = 7;

enum class PictureFamily : uint8_t { Tower, Column, MixedFlow };
PictureFamily family_of(DryerPicture p);

// The A pictures are 180 x 315 and sit at (0, 25); the B and C pictures fill the 240 x 420
// window.
inline constexpr platform::Size kTowerPictureSize{180, 315};
inline constexpr platform::Point kTowerPictureOrigin{0, 25};
inline constexpr platform::Size kFullPictureSize{240, 420};
platform::Point picture_origin(DryerPicture p);

// The dark column on the right that carries the read-outs and the status lines.
inline constexpr platform::Rect kTextColumn{150, 0, 240, 372};

inline constexpr platform::Color kIconKey = platform::rgb(255, 0, 255);

enum class FanHeaterIconSet : uint8_t { Idle, Fan, Burner, SecondStage };
enum class RollSize : uint8_t { Large, Small };  // 7-inch and 4-inch metering rolls
enum class Equipment : uint8_t { Load, Unload };
inline constexpr int kAnimationFrames = 3;

// Frames outside 0..2 are taken modulo 3.
const platform::Bitmap& base_picture(DryerPicture p);
const platform::Bitmap& fan_heater_icon(PictureFamily f, FanHeaterIconSet set, int frame);
const platform::Bitmap& equipment_icon(PictureFamily f, Equipment e, int frame);
const platform::Bitmap& metering_roll_icon(RollSize size, int frame);

// Where the icons go, in window client coordinates (the A pictures' offset included).
// fan_heater_place: fan/heater n (1 = the lowest) of `count` drawn (1, 2, 3, 4 or 6); an empty
// rectangle when n is outside 1..count.
platform::Rect fan_heater_place(DryerPicture p, int count, int n);
platform::Rect equipment_place(DryerPicture p, Equipment e);
// roll 0 is the left roll (turned by the forward counter), roll 1 the right one.
platform::Rect metering_roll_place(DryerPicture p, RollSize size, int roll);

}  // namespace corvex::resources
