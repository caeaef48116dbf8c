#include "settings/bracket_setup_dialog.h"

#include <algorithm>
#include <cstdio>

#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/drying_dialogs.h"
#include "settings/drying_mode_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::desired_byte;
using link::mirror_byte;
using link::PendingWrite;
using link::set_desired_byte;

constexpr uint16_t kOuterLimit = link::kBracketLimits;
constexpr uint16_t kInnerLimit = link::kBracketLimits + 1;
constexpr uint16_t kOuterOffset = link::kBracketLimits + 2;
constexpr uint16_t kInnerOffset = link::kBracketLimits + 3;
constexpr PendingWrite kWrites[4] = {PendingWrite::k226, PendingWrite::k227, PendingWrite::k228,
                                     PendingWrite::k229};
// The speed the metering rolls are centred on and their maximum, in tenths of the shown unit.
constexpr uint16_t kCentreSpeed = link::kAltSecondSetting;
constexpr uint16_t kMaximumSpeed = link::kMeteringRollSpeeds + 1;

struct BracketState {
  BracketRow row = BracketRow::Outer;
  std::array<uint8_t, 4> at_opening{};
};
BracketState g_bracket;

constexpr platform::FontSpec kValueFont{18, 700};
constexpr platform::FontSpec kLabelFont{14, 700};
constexpr int kRowY[5] = {42, 67, 97, 127, 152};
constexpr int kRowHeight = 22;
constexpr const char kDegree[] = "\xC2\xB0";

uint8_t value(uint16_t offset) { return desired_byte(offset); }

std::string label(int number, const char* fallback) {
  std::string text = texts::localized_text(number);
  return text.empty() ? fallback : text;
}

// The left column: row names, values and the bracket marker beside the selected rows.
void paint_limits(platform::Canvas& c) {
  const auto texts = bracket_limit_texts();
  const std::string outer = label(404, "OUTER");
  const std::string inner = label(405, "INNER");
  const std::string names[5] = {outer, inner, label(403, "SETPOINT"), inner, outer};
  for (int i = 0; i < 5; ++i) {
    const platform::Color color = i == 2 ? platform::colors::kBlack : platform::colors::kBlue;
    c.draw_text(names[i], platform::Rect::from_xywh(16, kRowY[i], 130, kRowHeight), kLabelFont,
                color, platform::text_format::kVCenter | platform::text_format::kSingleLine);
    c.draw_text(texts[size_t(i)], platform::Rect::from_xywh(170, kRowY[i], 126, kRowHeight),
                kValueFont, color,
                platform::text_format::kVCenter | platform::text_format::kSingleLine);
  }
  const bool outer_row = g_bracket.row == BracketRow::Outer;
  const int top = (outer_row ? kRowY[0] : kRowY[1]) + kRowHeight / 2;
  const int bottom = (outer_row ? kRowY[4] : kRowY[3]) + kRowHeight / 2;
  constexpr int x = 158;
  c.draw_line({x, top}, {x, bottom}, platform::colors::kRed, 3);
  c.draw_line({x, top}, {x + 8, top}, platform::colors::kRed, 3);
  c.draw_line({x, bottom}, {x + 8, bottom}, platform::colors::kRed, 3);
}

// The right column: the offsets and the speeds they give.
void paint_offsets(platform::Canvas& c) {
  const auto offsets = bracket_offset_texts();
  const auto speeds = bracket_resulting_speeds();
  c.draw_text(label(402, "RESULTING SPEED"), platform::Rect::from_xywh(420, 18, 204, 20),
              kLabelFont, platform::colors::kBlack,
              platform::text_format::kCenter | platform::text_format::kSingleLine);
  for (int i = 0; i < 5; ++i) {
    const platform::Color color = i == 2 ? platform::colors::kBlack : platform::colors::kBlue;
    c.draw_text(offsets[size_t(i)], platform::Rect::from_xywh(330, kRowY[i], 80, kRowHeight),
                kValueFont, color,
                platform::text_format::kVCenter | platform::text_format::kSingleLine);
    c.draw_text(std::to_string(speeds[size_t(i)]),
                platform::Rect::from_xywh(420, kRowY[i], 204, kRowHeight), kValueFont,
                bracket_speed_above_maximum(speeds[size_t(i)]) ? platform::colors::kRed : color,
                platform::text_format::kCenter | platform::text_format::kVCenter |
                    platform::text_format::kSingleLine);
  }
}

int key_label(int id) {
  switch (id) {
    case res::kBracketSelect:
      return 396;
    case res::kBracketLimitInc:
    case res::kBracketOffsetInc:
      return 397;
    case res::kBracketLimitDec:
    case res::kBracketOffsetDec:
      return 398;
    case res::kBracketDefaults:
      return 399;
    case res::kBracketAccept:
      return 400;
    default:
      return 0;
  }
}

void init(gui::Window& dialog) {
  begin_bracket_setup();
  texts::set_localized_caption(&dialog, 395);
  localize_item_text(
      dialog, res::kBracketLimitGroup,
      (value(link::kMoistureControlType) & link::kMoistureControlKindMask) == 5 ? 39 : 38);
  localize_item_text(dialog, res::kBracketOffsetGroup, 401);
}

intptr_t command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kBracketSelect:
      select_next_bracket_row();
      break;
    case res::kBracketLimitInc:
      step_bracket_limit(+1);
      break;
    case res::kBracketLimitDec:
      step_bracket_limit(-1);
      break;
    case res::kBracketOffsetInc:
      step_bracket_offset(+1);
      break;
    case res::kBracketOffsetDec:
      step_bracket_offset(-1);
      break;
    case res::kBracketDefaults:
      select_bracket_defaults();
      break;
    case res::kBracketAccept:
      accept_bracket_setup();
      gui::end_dialog(&dialog, id);
      return 1;
    default:
      return 0;
  }
  gui::invalidate(&dialog);
  return 1;
}

intptr_t bracket_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      init(dialog);
      return 1;
    case gui::MessageKind::Paint: {
      platform::Canvas& c = *gui::paint_context(m).canvas;
      paint_limits(c);
      paint_offsets(c);
      return 1;
    }
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command:
      return command(dialog, gui::command_id(m));
    default:
      return 0;
  }
}

std::string tenths(const char* sign, int v) {
  char text[24];
  std::snprintf(text, sizeof text, "%s%01d.%d %%", sign, v / 10, v % 10);
  return text;
}
std::string degrees(const char* sign, int v) {
  char text[24];
  std::snprintf(text, sizeof text, "%s%01d %sF", sign, v, kDegree);
  return text;
}

}  // namespace

intptr_t open_bracket_setup(gui::Window* owner) {
  res::register_drying_dialog_templates();
  return gui::dialog_box(res::kBracketSetupDialog, owner, &bracket_procedure);
}

void begin_bracket_setup() {
  desire_current(link::kMoistureControlType, 1, PendingWrite::k187);
  for (uint16_t k = 0; k < 4; ++k) {
    desire_current(uint16_t(kOuterLimit + k), 1, kWrites[k]);
    g_bracket.at_opening[k] = value(uint16_t(kOuterLimit + k));
  }
  g_bracket.row = BracketRow::Outer;
}

BracketRow bracket_row() { return g_bracket.row; }

void select_next_bracket_row() {
  g_bracket.row = g_bracket.row == BracketRow::Outer ? BracketRow::Inner : BracketRow::Outer;
}

bool bracket_moisture_type() {
  return (value(link::kMoistureControlType) & link::kMoistureControlKindMask) == 4;
}

bool step_bracket_limit(int direction) {
  const bool moisture = bracket_moisture_type();
  const int outer = value(kOuterLimit);
  const int inner = value(kInnerLimit);
  if (g_bracket.row == BracketRow::Outer) {
    const bool allowed =
        direction > 0 ? outer < (moisture ? 30 : 5) : inner < outer && outer > (moisture ? 3 : 2);
    if (!allowed) return false;
    set_desired_byte(kOuterLimit, uint8_t(outer + direction));
    return true;
  }
  const bool allowed = direction > 0 ? inner < outer && inner < (moisture ? 6 : 2) : inner >= 2;
  if (!allowed) return false;
  set_desired_byte(kInnerLimit, uint8_t(inner + direction));
  return true;
}

bool step_bracket_offset(int direction) {
  const int outer = value(kOuterOffset);
  const int inner = value(kInnerOffset);
  if (g_bracket.row == BracketRow::Outer) {
    const bool allowed = direction > 0 ? outer < 30 : outer > inner + 1 && outer > 3;
    if (!allowed) return false;
    set_desired_byte(kOuterOffset, uint8_t(outer + direction));
    return true;
  }
  const bool allowed = direction > 0 ? inner <= outer && inner < 10 : inner >= 2;
  if (!allowed) return false;
  set_desired_byte(kInnerOffset, uint8_t(inner + direction));
  return true;
}

void select_bracket_defaults() {
  const bool moisture = bracket_moisture_type();
  set_desired_byte(kOuterLimit, moisture ? 6 : 3);
  set_desired_byte(kInnerLimit, moisture ? 3 : 1);
  set_desired_byte(kOuterOffset, 6);
  set_desired_byte(kInnerOffset, 3);
}

void accept_bracket_setup() {
  for (uint16_t k = 0; k < 4; ++k) {
    if (value(uint16_t(kOuterLimit + k)) != g_bracket.at_opening[k]) link::raise_write(kWrites[k]);
  }
}

std::array<std::string, 5> bracket_limit_texts() {
  const int outer = value(kOuterLimit);
  const int inner = value(kInnerLimit);
  if (bracket_moisture_type()) {
    const int setpoint = link::mirror_hi_lo(link::kMoistureSetpoint);
    char middle[24];
    std::snprintf(middle, sizeof middle, "%d.%d %%", setpoint / 10, setpoint % 10);
    return {tenths("+", outer), tenths("+", inner), middle, tenths("-", inner), tenths("-", outer)};
  }
  char middle[24];
  std::snprintf(middle, sizeof middle, "%d%sF", int(link::mirror_lo_hi(link::kTargetSetpoint1)),
                kDegree);
  return {degrees("+", outer), degrees("+", inner), middle, degrees("-", inner),
          degrees("-", outer)};
}

std::array<std::string, 5> bracket_offset_texts() {
  const int outer = value(kOuterOffset) * 10;
  const int inner = value(kInnerOffset) * 10;
  return {"+" + std::to_string(outer), "+" + std::to_string(inner), "", "-" + std::to_string(inner),
          "-" + std::to_string(outer)};
}

std::array<int, 5> bracket_resulting_speeds() {
  const int centre = mirror_byte(kCentreSpeed) * 10;
  const int outer = value(kOuterOffset) * 10;
  const int inner = value(kInnerOffset) * 10;
  std::array<int, 5> speeds = {centre + outer, centre + inner, centre, centre - inner,
                               centre - outer};
  for (int& s : speeds) s = std::max(s, 0);
  return speeds;
}

bool bracket_speed_above_maximum(int speed) {
  const int maximum = mirror_byte(kMaximumSpeed) * 10;
  return maximum > 0 && speed > maximum;
}

}  // namespace corvex::settings
