#include "status/picture_overlay.h"

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#include "diagnostics/format.h"
#include "platform/gfx/canvas.h"
#include "texts/texts.h"

namespace corvex::status {

namespace {

using platform::Color;
using platform::FontSpec;
using platform::Point;
using platform::Rect;
using platform::rgb;
namespace tf = platform::text_format;
namespace oc = overlay_colours;

constexpr double kTonnesPerBushel = 0.0254000508;
constexpr char kDegree[] = "\u00B0";

constexpr Color kPanel = rgb(10, 14, 20);
constexpr Color kPanelFrame = rgb(70, 82, 98);
constexpr Color kPlate = rgb(214, 220, 228);
constexpr Color kPlateFrame = rgb(22, 24, 28);
constexpr Color kScale = rgb(150, 162, 176);

// The text column: a framed panel from kColumnLeft to the client's right edge, the scale at its
// left edge, the lines beside it ending inside the panel's frame.
constexpr int kColumnLeft = 150;
constexpr int kPanelRight = kPictureClient.right;
constexpr int kColumnRight = kPanelRight - 2;
constexpr int kLinesLeft = 157;
// The moisture block's lines below the scale start nearer the panel's edge, except the one
// that the pointer mark stands beside.
constexpr int kBlockLeft = kColumnLeft + 3;

constexpr int kBoldWeight = 600;
constexpr int kRegularWeight = 400;
constexpr int kLastResortOverlayFont = 7;
constexpr int kStatusTop = 60;
constexpr int kStatusRows = 9;

struct LayoutGeometry {
  int row_pitch;
  FontSpec row_font;
  FontSpec block_font;
  Point size_label;     // top-left of the metering-roll size label's 20 x 20 box
  bool labelled_block;  // the "%s: ..." forms of the moisture block
};

constexpr LayoutGeometry kLayouts[4] = {
    {10, {11, 400}, {12, 400}, {86, 279}, false},
    {12, {12, 400}, {13, 400}, {72, 368}, true},
    {15, {13, 400}, {13, 700}, {65, 386}, true},
    {10, {11, 400}, {12, 400}, {86, 279}, false},
};

constexpr unsigned kLine = tf::kLeft | tf::kVCenter | tf::kSingleLine | tf::kNoClip;
constexpr unsigned kCentred = tf::kCenter | tf::kVCenter | tf::kSingleLine | tf::kNoClip;
constexpr unsigned kRightAligned = tf::kRight | tf::kVCenter | tf::kSingleLine | tf::kNoClip;

class Builder {
 public:
  explicit Builder(Overlay& out) : out_(out) {
    out_.panel_count = 0;
    out_.mark_count = 0;
    out_.text_count = 0;
  }

  void panel(const Rect& r, Color fill, Color frame) {
    if (out_.panel_count < int(out_.panels.size()))
      out_.panels[size_t(out_.panel_count++)] = {r, fill, frame};
  }
  void mark(Point a, Point b, Color c) {
    if (out_.mark_count < int(out_.marks.size())) out_.marks[size_t(out_.mark_count++)] = {a, b, c};
  }

  // Adds a line whose text is made with printf rules.
  __attribute__((format(printf, 7, 8))) void text(OverlayRole role, Color colour, const Rect& r,
                                                  FontSpec font, unsigned format,
                                                  const char* pattern, ...) {
    if (out_.text_count >= int(out_.texts.size())) return;
    OverlayText& t = out_.texts[size_t(out_.text_count++)];
    t.role = role;
    t.colour = colour;
    t.rect = r;
    t.font = font;
    t.format = format;
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(t.text.data(), t.text.size(), pattern, args);
    va_end(args);
  }

 private:
  Overlay& out_;
};

// A localized string by number, empty when the table has none.
struct Label {
  explicit Label(int number) {
    buffer[0] = '\0';
    texts::localized_string(number, buffer);
  }
  const char* c_str() const { return buffer.data(); }
  texts::StringBuffer buffer;
};

int signed_lo_hi(const StatusBytes& b, int lo, int hi) { return int16_t(word_hi_lo(b, hi, lo)); }

// A whole-degree Fahrenheit value as the operator's units show it.
int shown_temperature(int fahrenheit, bool metric) {
  return metric ? diagnostics::fahrenheit_to_celsius(int16_t(fahrenheit)) : fahrenheit;
}
const char* unit_letter(bool metric) { return metric ? "C" : "F"; }

// ---- Status column (one function per line) ----

void kind_line(Builder& o, const StatusBytes& b, const Rect& r, FontSpec f) {
  int number = 0;
  if (b[8] != 0) {
    number = b[8] == 1 ? 291 : 292;
  } else {
    switch (b[187] & 7) {
      case 2:
        o.text(OverlayRole::StatusKind, oc::kGreen, r, f, kLine, "3 SPEED");
        return;
      case 4:
        number = 77;
        break;
      case 3:
        number = 79;
        break;
      case 1:
        number = 265;
        break;
      case 5:
        number = 289;
        break;
      default:
        number = 290;
        break;
    }
  }
  o.text(OverlayRole::StatusKind, oc::kGreen, r, f, kLine, "%s", Label(number).c_str());
}

void state_line(Builder& o, const StatusBytes& b, const Rect& r, FontSpec f) {
  const int type = b[187] & 7;
  const bool automatic = (b[187] & 0x80) != 0;
  Color colour = oc::kGreen;
  int number = 0;
  if (b[8] == 1) {
    if (b[257] & 0x20) {
      number = (b[257] & 0x10) ? 264 : 265;
    } else {
      number = (b[257] & 0x10) ? 266 : (b[257] & 0x40) ? 267 : 268;
    }
  } else if (type == 1) {
    if (automatic) {
      number = (b[187] & 0x40) ? 33 : 269;
    } else {
      colour = oc::kRed, number = 270;
    }
  } else if (type == 4 || type == 5) {
    if (automatic) {
      number = ((b[224] & 0x80) == 0 || type == 5) ? 34 : 271;
    } else {
      colour = oc::kRed, number = 270;
    }
  } else if (type == 2) {
    if (b[201] >= 5 && b[201] <= 7) {
      number = 34;
    } else {
      colour = oc::kRed, number = 270;
    }
  } else {
    const bool manual = ((b[8] & 1) == 0 && b[201] != 3) || ((b[8] & 1) != 0 && (b[179] & 0x02));
    if (manual) {
      colour = oc::kRed, number = 270;
    } else {
      number = 34;
    }
  }
  o.text(OverlayRole::StatusState, colour, r, f, kLine, "%s", Label(number).c_str());
}

void step_line(Builder& o, const StatusBytes& b, const Rect& r, FontSpec f) {
  const OverlayRole role = OverlayRole::StatusStep;
  if (b[280] & 0x02) {
    o.text(role, oc::kRed, r, f, kLine, "AS %d", b[245]);
    return;
  }
  const int type = b[187] & 7;
  int number = 0;
  if (type == 2) {
    number = b[201] == 5 ? 272 : b[201] == 6 ? 274 : 273;
  } else if (type == 4 || type == 5) {
    if ((b[187] & 0x80) == 0) {
      number = 274;
    } else {
      switch (b[220] & 7) {
        case 4:
          number = 272;
          break;
        case 3:
          number = 275;
          break;
        case 1:
          number = 276;
          break;
        case 0:
          number = 274;
          break;
        default:
          number = 273;
          break;
      }
    }
  } else if (b[155] == 2) {
    number = 272;
  } else if (b[155] != 0) {
    o.text(role, oc::kRed, r, f, kLine, "%s %d.%d", Label(273).c_str(), b[245], b[223]);
    return;
  } else if (b[187] & 0x40) {
    o.text(role, oc::kRed, r, f, kLine, "%s", Label(277).c_str());
    return;
  } else {
    number = 278;
  }
  o.text(role, oc::kRed, r, f, kLine, "%s %d", Label(number).c_str(), b[245]);
}

void target_line(Builder& o, const StatusBytes& b, const Rect& r, FontSpec f) {
  const OverlayRole role = OverlayRole::StatusTarget;
  if (b[8] == 1) {
    o.text(role, oc::kWhite, r, f, kLine, "%s %d", Label(296).c_str(), word_hi_lo(b, 221, 222));
  } else if (b[49] & 0x20) {
    o.text(role, oc::kWhite, r, f, kLine, "%s", Label(281).c_str());
  } else {
    const int speed = word_hi_lo(b, 197, 198);
    if (b[225] & 0x20) {
      o.text(role, oc::kWhite, r, f, kLine, "%s %d.%02d", Label(282).c_str(), speed / 100,
             speed % 100);
    } else {
      o.text(role, oc::kWhite, r, f, kLine, "%s %d.%01d", Label(282).c_str(), speed / 10,
             speed % 10);
    }
  }
}

void quantity_lines(Builder& o, const StatusBytes& b, bool metric, const Rect& rate_row,
                    const Rect& total_row, FontSpec f) {
  const int rate = word_hi_lo(b, 173, 174);
  const uint32_t total =
      uint32_t(b[164]) | uint32_t(b[165]) << 8 | uint32_t(b[166]) << 16 | uint32_t(b[167]) << 24;
  if (metric) {
    o.text(OverlayRole::StatusThroughput, oc::kWhite, rate_row, f, kLine, "%s %lld",
           Label(279).c_str(), static_cast<long long>(bushels_to_tonnes(rate)));
    o.text(OverlayRole::StatusTotal, oc::kWhite, total_row, f, kLine, "%s %lld", Label(283).c_str(),
           static_cast<long long>(bushels_to_tonnes(total) / 3600));
  } else {
    o.text(OverlayRole::StatusThroughput, oc::kWhite, rate_row, f, kLine, "%s %d",
           Label(280).c_str(), rate);
    o.text(OverlayRole::StatusTotal, oc::kWhite, total_row, f, kLine, "%s %u", Label(284).c_str(),
           unsigned(total / 3600));
  }
}

void extra_line(Builder& o, const StatusBytes& b, const Rect& r, FontSpec f) {
  if ((b[293] & 0x80) == 0) return;
  const bool sampling = (b[171] & 0x08) != 0;
  const int number = ((b[292] & 0x01) && sampling)   ? 285
                     : ((b[292] & 0x02) && sampling) ? 286
                                                     : 287;
  // Blue on the dark column would not read: the line gets a light plate of its own.
  o.panel(r, kPlate, kPlate);
  o.text(OverlayRole::StatusExtra, oc::kBlue, r, f, kLine, "%s", Label(number).c_str());
}

// The scale beside the status column and its six lines; returns the bottom of the column.
int status_column(Builder& o, const StatusBytes& b, const OverlayInputs& in,
                  const LayoutGeometry& g) {
  const int pitch = g.row_pitch;
  const auto row = [&](int i) {
    return Rect{kLinesLeft, kStatusTop + i * pitch, kColumnRight, kStatusTop + (i + 1) * pitch};
  };
  const int bottom = kStatusTop + kStatusRows * pitch;
  o.mark({152, kStatusTop}, {152, bottom - 1}, kScale);
  for (int i = 0; i < 6; ++i) {
    const int y = kStatusTop + i * (bottom - 1 - kStatusTop) / 5;
    o.mark({150, y}, {154, y}, kScale);
  }
  const FontSpec f = g.row_font;
  kind_line(o, b, row(0), f);
  state_line(o, b, row(1), f);
  step_line(o, b, row(2), f);
  target_line(o, b, row(3), f);
  quantity_lines(o, b, in.metric, row(4), row(5), f);
  const int grain_out = int16_t(word_hi_lo(b, 193, 194)) / 10;
  o.text(OverlayRole::StatusGrainOut, oc::kYellow, row(6), f, kLine, "%d %s%s",
         shown_temperature(grain_out, in.metric), kDegree, unit_letter(in.metric));
  const int moisture_out = word_hi_lo(b, 189, 190);
  if (moisture_out == 0) {
    o.text(OverlayRole::StatusMoistureOut, oc::kGreen, row(7), f, kLine, "***");
  } else {
    o.text(OverlayRole::StatusMoistureOut, oc::kGreen, row(7), f, kLine, "%d.%d%%",
           moisture_out / 10, moisture_out % 10);
  }
  extra_line(o, b, row(8), f);
  return bottom;
}

// ---- Moisture block ----

void temperature_line(Builder& o, OverlayRole role, const Rect& r, FontSpec f, bool labelled,
                      int label, int fahrenheit, bool metric) {
  const int v = shown_temperature(fahrenheit, metric);
  if (labelled) {
    o.text(role, oc::kBlockLine, r, f, kLine, "%s: %d %s%s", Label(label).c_str(), v, kDegree,
           unit_letter(metric));
  } else {
    o.text(role, oc::kBlockLine, r, f, kLine, "%s %d%s%s", Label(label).c_str(), v, kDegree,
           unit_letter(metric));
  }
}

void moisture_block(Builder& o, int layout, const StatusBytes& b, bool metric, int top,
                    const LayoutGeometry& g) {
  const FontSpec big{30, 800};
  const int line_height = g.block_font.pixel_height + 3;
  if (moisture_condition(layout, b)) {
    const Rect first{kBlockLeft, top, kColumnRight, top + line_height};
    if (b[8] != 0 && (b[257] & 0x02)) {
      temperature_line(o, OverlayRole::BlockTarget, first, g.block_font, g.labelled_block, 297,
                       signed_lo_hi(b, 153, 154), metric);
    } else {
      const Rect beside_pointer{kLinesLeft, first.top, first.right, first.bottom};
      temperature_line(o, OverlayRole::BlockTarget, beside_pointer, g.block_font, g.labelled_block,
                       288, signed_lo_hi(b, 149, 150), metric);
      const int mid = top + line_height / 2;
      o.mark({kColumnLeft + 1, mid}, {kLinesLeft - 2, mid}, oc::kBlockLine);
    }
    if (b[257] & 0x02) {
      temperature_line(o, OverlayRole::BlockSecondTarget,
                       {kBlockLeft, top + line_height, kColumnRight, top + 2 * line_height},
                       g.block_font, g.labelled_block, 298, signed_lo_hi(b, 151, 152), metric);
    }
    const int y = top + 2 * line_height + 2;
    o.text(OverlayRole::BlockBig, oc::kGreen, {kColumnLeft, y, 208, y + 34}, big, kRightAligned,
           "%d", shown_temperature(signed_lo_hi(b, 93, 94), metric));
    o.text(OverlayRole::BlockUnit, oc::kGreen, {210, y + 2, kColumnRight, y + 20}, {14, 700}, kLine,
           "%s%s", kDegree, unit_letter(metric));
    return;
  }
  const int setpoint = word_hi_lo(b, 199, 200);
  const Rect line{kColumnLeft + 2, top, kColumnRight, top + line_height};
  if (g.labelled_block) {
    o.text(OverlayRole::BlockSetpoint, oc::kBlockLine, line, g.block_font, kCentred, "%s: %d.%1d%%",
           Label(288).c_str(), setpoint / 10, setpoint % 10);
  } else {
    o.text(OverlayRole::BlockSetpoint, oc::kBlockLine, line, g.block_font, kCentred, "SP %d.%1d%%",
           setpoint / 10, setpoint % 10);
  }
  const int out = word_hi_lo(b, 189, 190);
  const int y = top + line_height + 2;
  o.text(OverlayRole::BlockBig, oc::kGreen, {kColumnLeft, y, 212, y + 34}, big, kRightAligned,
         "%d.%1d", out / 10, out % 10);
  o.text(OverlayRole::BlockUnit, oc::kGreen, {214, y + 4, kColumnRight, y + 24}, {16, 700}, kLine,
         "%%");
}

// ---- The rest ----

void staged_batch(Builder& o, const StatusBytes& b) {
  if (b[8] != 1) return;
  // Dark blue labels on light plates above the green values on the dark panel.
  o.panel({0, 0, 148, 40}, kPanel, kPanelFrame);
  const Rect label1{2, 2, 74, 15};
  const Rect label2{75, 2, 146, 15};
  o.panel(label1, kPlate, kPlateFrame);
  o.panel(label2, kPlate, kPlateFrame);
  const FontSpec label_font{11, 700};
  const FontSpec value_font{18, 700};
  o.text(OverlayRole::BatchLabel1, oc::kDarkBlue, label1, label_font, kCentred, "%s",
         Label(293).c_str());
  const int first = word_hi_lo(b, 247, 248);
  o.text(OverlayRole::BatchValue1, oc::kBatchValue, {2, 16, 74, 38}, value_font, kCentred,
         "%d.%d%%", first / 10, first % 10);
  o.text(OverlayRole::BatchLabel2, oc::kDarkBlue, label2, label_font, kCentred, "%s",
         Label(294).c_str());
  const int second = word_hi_lo(b, 249, 250);
  o.text(OverlayRole::BatchValue2, oc::kBatchValue, {75, 16, 146, 38}, value_font, kCentred,
         "%d.%d%%", second / 10, second % 10);
}

void metering_roll_size(Builder& o, const StatusBytes& b, const LayoutGeometry& g) {
  if (b[225] == 0x20) return;
  const Rect r = Rect::from_xywh(g.size_label.x, g.size_label.y, 20, 20);
  o.panel(r, kPlate, kPlateFrame);
  o.text(OverlayRole::MeteringRollSize, oc::kDarkBlue, r, {14, 700}, kCentred, "%c\"",
         small_metering_rolls(b[183], b[225]) ? '4' : '7');
}

void grain_temperature(Builder& o, const StatusBytes& b, bool metric) {
  const Rect r{kColumnLeft, 36, kColumnRight, 54};
  const FontSpec f{16, 400};
  if (b[225] & 0x04) {
    o.text(OverlayRole::GrainTemperature, oc::kCyan, r, f, kCentred, "%s", Label(295).c_str());
    return;
  }
  int lo = 0;
  switch (b[184]) {
    case 0:
      lo = 93;
      break;
    case 1:
      lo = 91;
      break;
    case 2:
      lo = 89;
      break;
    default:
      return;  // no sensor of that number: nothing to show
  }
  o.text(OverlayRole::GrainTemperature, oc::kCyan, r, f, kCentred, "%d%s%s",
         shown_temperature(signed_lo_hi(b, lo, lo + 1), metric), kDegree, unit_letter(metric));
}

void hourly_average(Builder& o, int layout, const HourlyMoisture* hourly) {
  // In layout 2 the metering-roll size label stands at (65, 386): the panel stops short of it.
  o.panel({0, 392, layout == 2 ? 63 : 104, 418}, kPanel, kPanelFrame);
  const Rect r{3, 395, 103, 415};
  const FontSpec f{16, 700};
  if (hourly == nullptr || hourly->warming_up()) {
    o.text(OverlayRole::HourlyAverage, oc::kGreen, r, f, kLine, "***");
    return;
  }
  const int tenths = int(hourly->average());
  o.text(OverlayRole::HourlyAverage, oc::kGreen, r, f, kLine, "%d.%1d%%", tenths / 10, tenths % 10);
}

}  // namespace

const OverlayText* Overlay::find(OverlayRole role) const {
  for (int i = 0; i < text_count; ++i) {
    if (texts[size_t(i)].role == role) return &texts[size_t(i)];
  }
  return nullptr;
}

platform::FontSpec fitted_overlay_font(const OverlayText& t) {
  const auto fits = [&t](FontSpec f) {
    return platform::measure_text_line(t.text.data(), f).width <= t.rect.width();
  };
  // Smaller in the line's own weight first, then in the narrower regular face, and only then,
  // for the few translations that are too long even so, below the usual floor: a whole text
  // in small print reads better than a cut one.
  for (int size = t.font.pixel_height; size >= kSmallestOverlayFont; --size)
    if (fits({size, t.font.weight})) return {size, t.font.weight};
  if (t.font.weight >= kBoldWeight) {
    for (int size = t.font.pixel_height; size >= kSmallestOverlayFont; --size)
      if (fits({size, kRegularWeight})) return {size, kRegularWeight};
  }
  for (int size = kSmallestOverlayFont - 1; size > kLastResortOverlayFont; --size)
    if (fits({size, kRegularWeight})) return {size, kRegularWeight};
  return {kLastResortOverlayFont, kRegularWeight};
}

int64_t bushels_to_tonnes(int64_t bushels) { return int64_t(double(bushels) * kTonnesPerBushel); }

bool moisture_condition(int layout, const StatusBytes& b) {
  const int low6 = b[187] & 0x3F;
  const int low3 = b[187] & 7;
  // A staged batch (byte 8) that ends on time or grain temperature (bits 4 and 5 of byte 257).
  const bool batch_with_criteria = b[8] == 1 && (b[257] & 0x30) != 0;
  switch (layout) {
    case 0:
      return low6 == 1 || low3 == 5 || batch_with_criteria;
    case 1:
      return low3 == 1 || low3 == 5 || batch_with_criteria;
    case 2:
      return low6 == 1 || low6 == 5 || batch_with_criteria;
    case 3:
      return low6 == 1 || low6 == 5;
    default:
      return false;
  }
}

void build_overlay(int layout, const StatusBytes& b, const OverlayInputs& in, Overlay& out) {
  Builder o(out);
  if (layout < 0 || layout > 3) return;
  const LayoutGeometry& g = kLayouts[layout];
  o.panel({kColumnLeft, 0, kPanelRight, 372}, kPanel, kPanelFrame);
  hourly_average(o, layout, in.hourly);
  staged_batch(o, b);
  metering_roll_size(o, b, g);
  const int moisture_in = word_hi_lo(b, 191, 192);
  o.text(OverlayRole::MainReadout, oc::kGreen, {kColumnLeft, 2, kColumnRight, 34}, {30, 800},
         kCentred, "%d.%1d%%", moisture_in / 10, moisture_in % 10);
  grain_temperature(o, b, in.metric);
  const int bottom = status_column(o, b, in, g);
  moisture_block(o, layout, b, in.metric, bottom + 8, g);
}

}  // namespace corvex::status
