// The plenum view beside the status chart: one framed box per fan/heater plenum. Everything is
// composed into fixed buffers and drawn off-screen, then copied to the window in one transfer.
#include "status/plenum_view.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "diagnostics/format.h"
#include "link/dryer_state.h"
#include "platform/gfx/canvas.h"
#include "resources/window_classes.h"
#include "texts/localized_controls.h"

namespace corvex::status {

namespace {

using platform::Canvas;
using platform::Color;
using platform::FontSpec;
using platform::Rect;
using platform::rgb;
namespace gui = platform::gui;
namespace tf = platform::text_format;

constexpr Color kRed = platform::colors::kRed;
constexpr Color kGreen = platform::colors::kGreen;
constexpr Color kBlue = platform::colors::kBlue;
constexpr Color kOlive = rgb(200, 200, 0);
constexpr Color kOrange = rgb(200, 100, 0);
constexpr Color kFrame = platform::colors::kGray;
constexpr int kFrameWidth = 2;
constexpr int kCaptionString = 328;
constexpr char kDegree[] = "\u00B0";
constexpr unsigned kCentered = tf::kCenter | tf::kSingleLine;

class Mirror {
 public:
  explicit Mirror(const link::DryerState& s) : s_(s) {}
  uint8_t operator[](int offset) const {
    return s_.mirror[size_t(offset)].load(std::memory_order_relaxed);
  }
  bool bit(int offset, uint8_t mask) const { return ((*this)[offset] & mask) != 0; }

 private:
  const link::DryerState& s_;
};

// Where the texts of a box go, relative to the box, and in which fonts.
struct BoxGeometry {
  FontSpec name_font;
  FontSpec state_font;
  FontSpec setpoint_font;
  FontSpec temperature_font;
  int name_top;
  int state_top;
  int setpoint_top;
  int temperature_top;
};

// Tops follow the line heights of the fonts; the large digits sit low in their line.
constexpr BoxGeometry kSingleGeometry{{20, 700}, {18, 700}, {16, 700}, {80, 700}, 3, 27, 49, 56};
constexpr BoxGeometry kTwoGeometry{{16, 700}, {16, 700}, {14, 700}, {80, 700}, 4, 23, 42, 56};
constexpr BoxGeometry kThreeGeometry{{14, 700}, {14, 700}, {13, 700}, {40, 700}, 5, 22, 39, 72};
// Four and six plenums are two rows of boxes, half the height each.
constexpr BoxGeometry kGridGeometry{{12, 700}, {12, 700}, {11, 700}, {26, 700}, 3, 17, 31, 44};

const BoxGeometry& geometry_of(PlenumLayout layout) {
  switch (layout) {
    case PlenumLayout::Single:
      return kSingleGeometry;
    case PlenumLayout::Two:
      return kTwoGeometry;
    case PlenumLayout::Three:
      return kThreeGeometry;
    default:
      return kGridGeometry;
  }
}

int columns_of(PlenumLayout layout) {
  switch (layout) {
    case PlenumLayout::Four:
      return 2;
    case PlenumLayout::Six:
      return 3;
    default:
      return plenum_count(layout);
  }
}

// Box `index` (0-based, left to right, then top to bottom) of a layout in the client area.
Rect box_rect(PlenumLayout layout, int index, const Rect& client) {
  const int columns = columns_of(layout);
  const int rows = (plenum_count(layout) + columns - 1) / columns;
  const int column = index % columns;
  const int row = index / columns;
  return {client.left + client.width() * column / columns,
          client.top + client.height() * row / rows,
          client.left + client.width() * (column + 1) / columns,
          client.top + client.height() * (row + 1) / rows};
}

int16_t fahrenheit_at(const Mirror& m, int lo) {
  return int16_t(uint16_t(m[lo] | (m[lo + 1] << 8)));
}

// A whole-degree Fahrenheit value as the operator reads it: converted to Celsius in SI units.
int shown_degrees(const link::DryerState& s, int16_t fahrenheit) {
  const bool si = s.unit_flag.load(std::memory_order_relaxed) != 0;
  return si ? diagnostics::fahrenheit_to_celsius(fahrenheit) : fahrenheit;
}

const char* unit_letter(const link::DryerState& s) {
  return s.unit_flag.load(std::memory_order_relaxed) != 0 ? "C" : "F";
}

// A setpoint: "SP:  %d %cF " or "SP:  %d %cC " with the degree sign.
void format_setpoint(const link::DryerState& s, int lo, Color color, PlenumValue& out) {
  const int degrees = shown_degrees(s, fahrenheit_at(Mirror(s), lo));
  std::snprintf(out.text, sizeof out.text, "SP:  %d %s%s ", degrees, kDegree, unit_letter(s));
  out.color = color;
  out.shown = true;
}

struct StateText {
  int string;
  Color color;
};

// The state text, first match wins. In the single layout, once bit 0x02 of burner byte A is set,
// string 318 takes the place of the last two rows while byte 225 has bits 0x20 and 0x02 set.
StateText state_text(const Mirror& m, PlenumLayout layout, int n) {
  const uint8_t state = m[149 - n];
  const uint8_t burner_a = m[131 - n];
  const uint8_t burner_b = m[137 - n];
  if (state & 0x40) return {522, kBlue};
  if (state & 0x01) return {314, kGreen};
  if (state & 0x02) return {315, kRed};
  if (burner_b & 0x20) return {316, kOrange};
  if (burner_b & 0x10) return {317, kOrange};
  if (!(burner_a & 0x02)) return {319, kGreen};
  if (layout == PlenumLayout::Single && (m[225] & 0x22) == 0x22) return {318, kRed};
  if (burner_a & 0x04) return {321, kRed};
  return {320, kBlue};
}

// The single layout's setpoints: in the staged batch mode with dual plenums (byte 8 = 1, byte
// 257 bit 0x02) both plenum setpoints are shown small, and the main one follows byte 148 bit
// 0x10 to the second plenum's bytes 260/261.
void compose_single_setpoints(const link::DryerState& s, PlenumBox& out) {
  const Mirror m(s);
  const bool dual = m[8] == 1 && m.bit(257, 0x02);
  if (dual) {
    format_setpoint(s, 69, kRed, out.left_setpoint);
    format_setpoint(s, 260, kBlue, out.right_setpoint);
  }
  if (dual && m.bit(148, 0x10)) {
    format_setpoint(s, 260, kBlue, out.setpoint);
  } else {
    format_setpoint(s, 69, dual ? kRed : kOlive, out.setpoint);
  }
}

void draw_value(Canvas& c, const PlenumValue& v, const Rect& r, const FontSpec& f,
                unsigned format) {
  if (v.shown) c.draw_text(v.text, r, f, v.color, format | tf::kSingleLine);
}

// The large digits in their layout's size, made smaller only where a wide value (three digits
// and the unit in a half-width box at 80 pixels) would run out of its box, with a margin so the
// digits never touch the frame. The baseline stays.
constexpr int kDigitMargin = 4;

void draw_temperature(Canvas& c, const PlenumValue& v, const Rect& r, FontSpec f) {
  const int room = r.width() - 2 * kDigitMargin;
  const int width = platform::measure_text_line(v.text, f).width;
  if (width > room && room > 0) {
    const int fitted = std::max(8, f.pixel_height * room / width);
    draw_value(c, v, {r.left, r.top + f.pixel_height - fitted, r.right, r.bottom},
               {fitted, f.weight}, tf::kCenter);
    return;
  }
  draw_value(c, v, r, f, tf::kCenter);
}

constexpr FontSpec kCornerSetpointFont{12, 700};

// Every text is one top-aligned line; its rectangle runs to the bottom of the box, so only the
// box clips it.
void draw_box(Canvas& c, const Rect& box, const BoxGeometry& g, const PlenumBox& b) {
  c.frame_rect(box, kFrame, kFrameWidth);
  const int left = box.left + kFrameWidth + 2;
  const int right = box.right - kFrameWidth - 2;
  const int bottom = box.bottom - kFrameWidth;
  const auto row = [&](int top) { return Rect{left, box.top + top, right, bottom}; };
  c.draw_text(b.name, row(g.name_top), g.name_font, b.name_color, kCentered);
  // The two setpoints of the dual plenums are the small print in the top corners, on the
  // name's baseline; the setpoint in force keeps its own row below the state.
  const int corner_top = g.name_top + g.name_font.pixel_height - kCornerSetpointFont.pixel_height;
  const Rect corners = row(corner_top);
  draw_value(c, b.left_setpoint, corners, kCornerSetpointFont, tf::kLeft);
  draw_value(c, b.right_setpoint, corners, kCornerSetpointFont, tf::kRight);
  c.draw_text(b.state, row(g.state_top), g.state_font, b.state_color, kCentered);
  draw_value(c, b.setpoint, row(g.setpoint_top), g.setpoint_font, tf::kCenter);
  draw_temperature(c, b.temperature, row(g.temperature_top), g.temperature_font);
}

// What the view shows: the layout, every box's texts and colours, the size, and whether texts
// were recorded when it was drawn. The view is asked to repaint whenever a byte it reads
// changes; while what it would show is the same, the picture drawn last is shown again.
struct PlenumPicture {
  PlenumLayout layout = PlenumLayout::None;
  std::array<PlenumBox, 6> boxes{};
  platform::Size size;
  bool recorded = false;

  bool operator==(const PlenumPicture&) const = default;
};

void compose_plenum_picture(const link::DryerState& state, const Rect& client, PlenumPicture& out) {
  out.layout = plenum_layout(state);
  for (int i = 0; i < 6; ++i) {
    if (i < plenum_count(out.layout)) {
      compose_plenum_box(state, out.layout, i + 1, out.boxes[size_t(i)]);
    } else {
      out.boxes[size_t(i)] = PlenumBox{};
    }
  }
  out.size = {client.width(), client.height()};
  out.recorded = platform::text_recording_open();
}

void draw_plenum_picture(Canvas& canvas, const Rect& client, const PlenumPicture& p) {
  canvas.fill_rect(client, platform::colors::kBlack);
  const BoxGeometry& g = geometry_of(p.layout);
  for (int i = 0; i < plenum_count(p.layout); ++i) {
    draw_box(canvas, box_rect(p.layout, i, client), g, p.boxes[size_t(i)]);
  }
}

struct PlenumViewState {
  platform::Bitmap offscreen;
  PlenumPicture drawn;
  PlenumPicture now;
  bool valid = false;  // the whole of `offscreen` shows `drawn`
};
PlenumViewState g_view;

void paint_plenum_view(gui::Window& w, const gui::PaintContext& paint) {
  const Rect client = w.client_rect();
  const platform::Size size{client.width(), client.height()};
  PlenumViewState& v = g_view;
  if (v.offscreen.empty() || v.offscreen.size() != size) {
    v.offscreen = platform::Bitmap(size.width, size.height, platform::colors::kBlack);
    v.valid = false;
  }
  compose_plenum_picture(link::dryer_state(), client, v.now);
  const bool same_frame = v.valid && v.now.layout == v.drawn.layout && v.now.size == v.drawn.size &&
                          v.now.recorded == v.drawn.recorded;
  if (same_frame) {
    // The same boxes in the same places: only a box whose texts changed is drawn again.
    Canvas off(v.offscreen);
    const BoxGeometry& g = geometry_of(v.now.layout);
    for (int i = 0; i < plenum_count(v.now.layout); ++i) {
      if (v.now.boxes[size_t(i)] == v.drawn.boxes[size_t(i)]) continue;
      const Rect box = box_rect(v.now.layout, i, client);
      const platform::CanvasState saved(off);
      off.clip(box);
      off.fill_rect(box, platform::colors::kBlack);
      draw_box(off, box, g, v.now.boxes[size_t(i)]);
    }
    std::swap(v.drawn, v.now);
  } else {
    Canvas off(v.offscreen);
    off.clip(paint.dirty);
    draw_plenum_picture(off, client, v.now);
    // Only a paint of the whole view leaves a picture that can be kept and drawn on.
    v.valid = paint.dirty.contains(client);
    if (v.valid) std::swap(v.drawn, v.now);
  }
  paint.canvas->blit(v.offscreen, paint.dirty, {paint.dirty.left, paint.dirty.top});
}

}  // namespace

PlenumLayout plenum_layout(const link::DryerState& state) {
  const Mirror m(state);
  if (m.bit(225, 0x20)) return PlenumLayout::Single;
  switch (m[3]) {
    case 0:
      return PlenumLayout::Single;
    case 1:
      return PlenumLayout::Two;
    case 2:
      return PlenumLayout::Three;
    case 3:
      return PlenumLayout::Four;
    case 4:
      return PlenumLayout::Six;
    default:
      return PlenumLayout::None;
  }
}

int plenum_count(PlenumLayout layout) {
  switch (layout) {
    case PlenumLayout::Single:
      return 1;
    case PlenumLayout::Two:
      return 2;
    case PlenumLayout::Three:
      return 3;
    case PlenumLayout::Four:
      return 4;
    case PlenumLayout::Six:
      return 6;
    default:
      return 0;
  }
}

void compose_plenum_box(const link::DryerState& state, PlenumLayout layout, int fan_heater,
                        PlenumBox& out) {
  out = PlenumBox{};
  if (fan_heater < 1 || fan_heater > 6) return;
  const Mirror m(state);
  const int n = fan_heater;
  const bool single = layout == PlenumLayout::Single;
  texts::localized_string(single ? 312 : 328 - n, out.name);
  out.name_color = single ? kOlive : kBlue;

  const StateText st = state_text(m, layout, n);
  out.state_string = st.string;
  texts::localized_string(st.string, out.state);
  out.state_color = st.color;

  if (single) {
    compose_single_setpoints(state, out);
  } else {
    format_setpoint(state, 71 - 2 * n, kOlive, out.setpoint);
  }
  std::snprintf(out.temperature.text, sizeof out.temperature.text, "%d%s%s",
                shown_degrees(state, fahrenheit_at(m, 83 - 2 * n)), kDegree, unit_letter(state));
  out.temperature.color = kRed;
  out.temperature.shown = true;
}

void draw_plenum_view(Canvas& canvas, const Rect& client, const link::DryerState& state) {
  PlenumPicture picture;
  compose_plenum_picture(state, client, picture);
  draw_plenum_picture(canvas, client, picture);
}

intptr_t plenum_view_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, kCaptionString);
      return 0;
    case gui::MessageKind::EraseBackground:
      // The paint covers the whole view off-screen.
      return 1;
    case gui::MessageKind::Paint:
      paint_plenum_view(w, gui::paint_context(m));
      return 0;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

void register_plenum_view_class() {
  gui::register_class(
      {resources::CUSTOM_VIEW_WINDOW, &plenum_view_procedure, platform::colors::kBlack, true});
}

}  // namespace corvex::status
