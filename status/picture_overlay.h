#pragma once
// The text overlay of the status picture as a short list of dark panels, marks and text lines,
// computed from a copy of the mirror by one pure function that the paint draws and the tests
// read. Every text lives in a fixed buffer: building the overlay allocates nothing.
#include <array>
#include <cstdint>

#include "platform/gfx/font.h"
#include "platform/gfx/geometry.h"
#include "status/hourly_moisture.h"
#include "status/picture_model.h"
#include "texts/utf16.h"

namespace corvex::status {

enum class OverlayRole : uint8_t {
  MeteringRollSize,
  MainReadout,       // moisture in
  GrainTemperature,  // the sensor that byte 184 selects
  BatchLabel1,       // staged batch: localized string 293 above ...
  BatchValue1,       // ... the tenths of bytes 247/248
  BatchLabel2,       // localized string 294 above ...
  BatchValue2,       // ... the tenths of bytes 249/250
  // The status column, top to bottom.
  StatusKind,
  StatusState,
  StatusStep,
  StatusTarget,
  StatusThroughput,
  StatusTotal,
  StatusGrainOut,
  StatusMoistureOut,
  StatusExtra,
  // The moisture block.
  BlockTarget,        // condition M: label 297 or 288 with its temperature
  BlockSecondTarget,  // condition M with byte 257 bit 0x02: label 298
  BlockSetpoint,      // condition M false: the moisture setpoint
  BlockBig,           // grain temperature (M) or moisture out (not M) in large digits
  BlockUnit,          // the degree unit or the percent sign beside them
  HourlyAverage,
};

struct OverlayText {
  OverlayRole role = OverlayRole::MainReadout;
  // A localized string (up to 100 UTF-16 units) with a label and a few numbers.
  std::array<char, texts::utf8_capacity_for(100) + 32> text{};
  platform::Color colour = 0;
  platform::Rect rect;
  platform::FontSpec font;
  unsigned format = 0;
};

struct OverlayPanel {
  platform::Rect rect;
  platform::Color fill = 0;
  platform::Color frame = 0;
};

struct OverlayMark {
  platform::Point a;
  platform::Point b;
  platform::Color colour = 0;
};

struct Overlay {
  std::array<OverlayPanel, 8> panels;
  int panel_count = 0;
  std::array<OverlayMark, 10> marks;
  int mark_count = 0;
  std::array<OverlayText, 24> texts;
  int text_count = 0;

  // The line of that role, or nullptr when this state draws none.
  const OverlayText* find(OverlayRole role) const;
};

// The colours the lines are drawn in.
namespace overlay_colours {
inline constexpr platform::Color kGreen = platform::rgb(0, 255, 0);
inline constexpr platform::Color kRed = platform::rgb(255, 0, 0);
inline constexpr platform::Color kWhite = platform::rgb(255, 255, 255);
inline constexpr platform::Color kYellow = platform::rgb(255, 255, 0);
inline constexpr platform::Color kBlue = platform::rgb(0, 0, 255);
inline constexpr platform::Color kCyan = platform::rgb(0, 255, 255);
inline constexpr platform::Color kDarkBlue = platform::rgb(0, 0, 150);
inline constexpr platform::Color kBatchValue = platform::rgb(0, 250, 0);
inline constexpr platform::Color kBlockLine = platform::rgb(200, 200, 0);
}  // namespace overlay_colours

// Condition M of the moisture block for a layout (0..3): the block shows temperatures when it
// holds and the moisture setpoint and moisture out otherwise.
bool moisture_condition(int layout, const StatusBytes& b);

// Everything the overlay shows besides the mirror.
struct OverlayInputs {
  bool metric = false;  // the unit flag
  const HourlyMoisture* hourly = nullptr;
};

// The picture's client area: the 240 x 420 window inside its one-pixel frame. Every panel and
// line of the overlay lies inside it.
inline constexpr platform::Rect kPictureClient{0, 0, 238, 418};

// The smallest size a line is made in before it gives up its bold face; the rows of the tower
// layouts are 10 pixels apart.
inline constexpr int kSmallestOverlayFont = 9;

// The font a line is drawn in: its own, or, for a translated text longer than its place, the
// largest smaller size in which it fits the rectangle's width, down to kSmallestOverlayFont;
// then the regular face from the line's own size down; only past that a smaller size still.
platform::FontSpec fitted_overlay_font(const OverlayText& t);

// Fills `out` for overlay layout 0..3; a layout outside that range gives an empty overlay.
void build_overlay(int layout, const StatusBytes& b, const OverlayInputs& in, Overlay& out);

// The metric conversion of a quantity in bushels: tonnes, truncated.
int64_t bushels_to_tonnes(int64_t bushels);

}  // namespace corvex::status
