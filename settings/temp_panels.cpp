// The two panels of the temperature screen: PLENUM_SETPOINT_CHILD_WINDOW with one setpoint per
// fan/heater (two per plenum in dual-plenum mode) and GRAIN_TEMP_SETPOINT_CHILD_WINDOW. Both
// show the controller's current setpoints (StatusMirror), in the operator's units, and open the
// temperature editor from their picture buttons.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <span>

#include "diagnostics/format.h"
#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/line_wrap.h"
#include "settings/temperature_screen.h"
#include "texts/help_viewer.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
using platform::Canvas;
using platform::Point;
using platform::Rect;
using platform::rgb;
using TS = TemperatureSetpoint;
using PW = link::PendingWrite;

struct SetpointRow {
  uint16_t low_byte;                         // the high byte follows it
  uint16_t maximum, minimum, default_value;  // degrees Fahrenheit
  PW flag;
};

// Indexed by TemperatureSetpoint.
constexpr SetpointRow kSetpoints[] = {
    {link::plenum_setpoint(1), 250, 50, 180, PW::k69},
    {link::plenum_setpoint(2), 250, 50, 180, PW::k67},
    {link::plenum_setpoint(3), 250, 50, 180, PW::k65},
    {link::plenum_setpoint(4), 250, 50, 180, PW::k63},
    {link::plenum_setpoint(5), 250, 50, 180, PW::k61},
    {link::plenum_setpoint(6), 250, 50, 180, PW::k59},
    {link::kPlenum1Second, 250, 50, 180, PW::k260},
    {link::kPlenum2Second, 250, 50, 180, PW::k258},
    {link::kTargetSetpoint2, 180, 50, 120, PW::k151},
    {link::kTargetSetpoint1, 160, 50, 105, PW::k149},
    {link::kTargetSetpoint3, 180, 50, 105, PW::k153},
};
static_assert(std::size(kSetpoints) == size_t(TS::kCount));

// The temperature screens' request code and help topic, as the TEMPS button sets it.
constexpr int kRequestCode = 137;
constexpr int kHelpTopic = 17;

enum class Layout : uint8_t { Normal, Dual };

struct PlenumButton {
  int id;
  TS setpoint;
  int image;
  Layout layout;
  int column, row;
};

// Normal layout: left column #3, #2, #1 from the top, right column #6, #5, #4. Dual layout:
// plenum #1 first above its second temperature on the left, plenum #2 on the right.
constexpr PlenumButton kPlenumButtons[] = {
    {kPlenum1ButtonId + 0, TS::Plenum1, 17, Layout::Normal, 0, 2},
    {kPlenum1ButtonId + 1, TS::Plenum2, 16, Layout::Normal, 0, 1},
    {kPlenum1ButtonId + 2, TS::Plenum3, 15, Layout::Normal, 0, 0},
    {kPlenum1ButtonId + 3, TS::Plenum4, 14, Layout::Normal, 1, 2},
    {kPlenum1ButtonId + 4, TS::Plenum5, 13, Layout::Normal, 1, 1},
    {kPlenum1ButtonId + 5, TS::Plenum6, 12, Layout::Normal, 1, 0},
    {kDualPlenum1FirstButtonId, TS::Plenum1, 19, Layout::Dual, 0, 0},
    {kDualPlenum1SecondButtonId, TS::Plenum1Second, 20, Layout::Dual, 0, 1},
    {kDualPlenum2FirstButtonId, TS::Plenum2, 71, Layout::Dual, 1, 0},
    {kDualPlenum2SecondButtonId, TS::Plenum2Second, 70, Layout::Dual, 1, 1},
};

struct GrainButton {
  int id;
  int image;
  Point at;
  Rect value;  // inside the part the decoder redraws for status bytes 151..154
};
constexpr GrainButton kGrainSingle{kGrainButtonId, 18, {20, 39}, {180, 40, 300, 90}};
constexpr GrainButton kGrainFirst{kGrainFirstButtonId, 21, {20, 14}, {180, 30, 300, 64}};
constexpr GrainButton kGrainSecond{kGrainSecondButtonId, 22, {20, 68}, {180, 68, 300, 102}};

constexpr int kPlenumImages[] = {17, 16, 15, 14, 13, 12, 19, 20, 71, 70};
constexpr int kGrainImages[] = {18, 21, 22};

constexpr platform::Color kBackground = platform::colors::kBlack;
constexpr platform::Color kValueColor = platform::colors::kWhite;
constexpr platform::Color kHeadingColor = rgb(255, 255, 0);
constexpr platform::Color kTextColor = rgb(200, 200, 200);
constexpr platform::FontSpec kValueFont{28, 700};
constexpr platform::FontSpec kGrainValueFont{24, 700};
constexpr platform::FontSpec kHeadingFont{14, 700};
constexpr platform::FontSpec kTextFont{12, 400};
constexpr unsigned kValueFormat = platform::text_format::kLeft | platform::text_format::kVCenter |
                                  platform::text_format::kSingleLine;

int drying_mode() { return link::mirror_byte(link::kDryingMode); }
bool numeric_model() { return link::mirror_bit(link::kDryerType, link::kDryerTypeNumericBit); }

Point button_at(int column, int row) { return {10 + column * 310, 8 + row * 70}; }
Rect value_rect(int column, int row) {
  const Point at = button_at(column, row);
  return Rect::from_xywh(at.x + 160, at.y, 130, 50);
}

void draw_setpoint(Canvas& c, TS s, const Rect& r, const platform::FontSpec& font) {
  char text[32];
  setpoint_text(s, text);
  c.draw_text(text, r, font, kValueColor, kValueFormat);
}

// Shows the buttons the drying mode calls for; other drying modes leave them as they are.
void apply_plenum_visibility(gui::Window& panel) {
  const int mode = drying_mode();
  if (mode != 0 && mode != 1) return;
  const bool dual = dual_plenum_mode();
  for (const PlenumButton& b : kPlenumButtons) {
    bool show = false;
    if (b.layout == Layout::Dual) {
      show = dual && setpoint_fitted(b.setpoint);
    } else if (!dual) {
      const bool type_limited =
          mode == 0 && (b.setpoint == TS::Plenum2 || b.setpoint == TS::Plenum3);
      show = setpoint_fitted(b.setpoint) && !(type_limited && numeric_model());
    }
    texts::show_if_changed(gui::child_by_id(&panel, b.id), show);
  }
}

void paint_plenum_panel(gui::Window& w, Canvas& c) {
  c.fill_rect(w.client_rect(), kBackground);
  const Layout layout = dual_plenum_mode() ? Layout::Dual : Layout::Normal;
  for (const PlenumButton& b : kPlenumButtons) {
    if (b.layout == layout && setpoint_value_shown(b.setpoint)) {
      draw_setpoint(c, b.setpoint, value_rect(b.column, b.row), kValueFont);
    }
  }
}

TS single_grain_setpoint() { return drying_mode() == 3 ? TS::GrainWide : TS::GrainNarrow; }

void draw_grain_text(gui::Window& w, Canvas& c) {
  const int left = 310;
  texts::StringBuffer part[3];
  for (auto& p : part) p[0] = '\0';
  texts::localized_string(196, part[0]);
  c.draw_text(part[0].data(), {left, 4, left + 310, 20}, kHeadingFont, kHeadingColor,
              platform::text_format::kLeft | platform::text_format::kSingleLine);
  char joined[3 * sizeof(texts::StringBuffer) + 3];
  part[0][0] = '\0';
  if (link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0) {
    texts::localized_string(197, part[0]);
    texts::localized_string(198, part[1]);
    texts::localized_string(199, part[2]);
    std::snprintf(joined, sizeof joined, "%s %s %s", part[0].data(), part[1].data(),
                  part[2].data());
  } else {
    texts::localized_string(200, part[0]);
    texts::localized_string(201, part[1]);
    std::snprintf(joined, sizeof joined, "%s %s", part[0].data(), part[1].data());
  }
  const int lines = (w.client_rect().bottom - 22) / 14;
  draw_wrapped(c, joined, {left, 22}, 14, kTextFont, kTextColor, size_t(std::max(lines, 0)));
}

// One grain setpoint, or the first and second stage's in dual-plenum mode.
void apply_grain_visibility(gui::Window& panel) {
  const bool dual = dual_plenum_mode();
  texts::show_if_changed(gui::child_by_id(&panel, kGrainSingle.id), !dual);
  texts::show_if_changed(gui::child_by_id(&panel, kGrainFirst.id), dual);
  texts::show_if_changed(gui::child_by_id(&panel, kGrainSecond.id), dual);
}

// The redraw rules: the decoder asks for the panels' redraw when the fan/heater count, the
// drying mode, the dryer type or the criteria byte change, whether or not they are showing.
void follow_plenum_rule() {
  if (gui::Window* w = gui::find_window_by_class(resources::PLENUM_SETPOINT_CHILD_WINDOW))
    apply_plenum_visibility(*w);
}

void follow_grain_rule() {
  if (gui::Window* w = gui::find_window_by_class(resources::GRAIN_TEMP_SETPOINT_CHILD_WINDOW))
    apply_grain_visibility(*w);
}

void paint_grain_panel(gui::Window& w, Canvas& c) {
  const bool dual = dual_plenum_mode();
  c.fill_rect(w.client_rect(), kBackground);
  if (dual) {
    draw_setpoint(c, TS::GrainWide, kGrainFirst.value, kGrainValueFont);
    draw_setpoint(c, TS::GrainSecond, kGrainSecond.value, kGrainValueFont);
  } else {
    draw_setpoint(c, single_grain_setpoint(), kGrainSingle.value, kGrainValueFont);
  }
  draw_grain_text(w, c);
}

// The editors are owned by the temperature screen itself, not by the panel.
void open_editor(gui::Window& panel, TS s) {
  if (!setpoint_fitted(s)) return;
  prepare_temperature_edit(s);
  gui::Window* screen = panel.parent() != nullptr ? panel.parent() : &panel;
  open_temperature_editor(screen);
}

void on_plenum_command(gui::Window& w, int id) {
  for (const PlenumButton& b : kPlenumButtons) {
    if (b.id != id) continue;
    // A dual-plenum button means nothing outside that mode.
    if (b.layout == Layout::Dual && !dual_plenum_mode()) return;
    open_editor(w, b.setpoint);
    return;
  }
}

void on_grain_command(gui::Window& w, int id) {
  const bool dual = dual_plenum_mode();
  if (id == kGrainSingle.id && !dual) open_editor(w, single_grain_setpoint());
  if (id == kGrainFirst.id && dual) open_editor(w, TS::GrainWide);
  if (id == kGrainSecond.id && dual) open_editor(w, TS::GrainSecond);
}

int plenum_image(int id) {
  for (const PlenumButton& b : kPlenumButtons) {
    if (b.id == id) return b.image;
  }
  return 0;
}

int grain_image(int id) {
  for (const GrainButton* b : {&kGrainSingle, &kGrainFirst, &kGrainSecond}) {
    if (b->id == id) return b->image;
  }
  return 0;
}

void create_plenum_buttons(gui::Window& w) {
  // Outside drying modes 0 and 1 the buttons stay as they are: only plenum #1, which every dryer
  // has, until one of those modes decides.
  for (const PlenumButton& b : kPlenumButtons) {
    texts::create_picture_button(
        &w, b.image, b.id, button_at(b.column, b.row),
        b.id == kPlenum1ButtonId ? texts::Initially::Shown : texts::Initially::Hidden);
  }
  apply_plenum_visibility(w);
}

void create_grain_buttons(gui::Window& w) {
  texts::create_picture_button(&w, kGrainSingle.image, kGrainSingle.id, kGrainSingle.at);
  texts::create_picture_button(&w, kGrainFirst.image, kGrainFirst.id, kGrainFirst.at,
                               texts::Initially::Hidden);
  texts::create_picture_button(&w, kGrainSecond.image, kGrainSecond.id, kGrainSecond.at,
                               texts::Initially::Hidden);
  apply_grain_visibility(w);
}

struct PanelKind {
  void (*create)(gui::Window&);
  int caption_string;
  void (*paint)(gui::Window&, Canvas&);
  void (*command)(gui::Window&, int);
  int (*image)(int);
  std::span<const int> images;
};

// Both panels paint their whole client with the background themselves: the decoder's repaint
// requests come without erase.
intptr_t panel_procedure(gui::Window& w, const gui::Message& m, const PanelKind& kind) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      kind.create(w);
      texts::set_localized_caption(&w, kind.caption_string);
      return 0;
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, kind.caption_string);
      return 0;
    case gui::MessageKind::EraseBackground:
      return 1;
    case gui::MessageKind::Paint:
      kind.paint(w, *gui::paint_context(m).canvas);
      return 0;
    case gui::MessageKind::DrawItem: {
      const auto* item = &gui::draw_item_context(m);
      if (const int image = kind.image(item->id)) texts::draw_picture_button(*item, image);
      return 1;
    }
    case gui::MessageKind::Command:
      kind.command(w, gui::command_id(m));
      return 0;
    case gui::MessageKind::Destroy:
      texts::release_picture_images(kind.images);
      return 0;
    default:
      return gui::default_window_procedure(w, m);
  }
}

constexpr PanelKind kPlenumPanel{&create_plenum_buttons, 194,           &paint_plenum_panel,
                                 &on_plenum_command,     &plenum_image, kPlenumImages};
constexpr PanelKind kGrainPanel{&create_grain_buttons, 195,          &paint_grain_panel,
                                &on_grain_command,     &grain_image, kGrainImages};

intptr_t plenum_panel_procedure(gui::Window& w, const gui::Message& m) {
  return panel_procedure(w, m, kPlenumPanel);
}
intptr_t grain_panel_procedure(gui::Window& w, const gui::Message& m) {
  return panel_procedure(w, m, kGrainPanel);
}

}  // namespace

bool dual_plenum_mode() {
  return drying_mode() == link::kStagedBatch &&
         link::mirror_bit(link::kDryingCriteria, link::kDryingCriteriaDualPlenumBit);
}

int fan_heater_count() {
  switch (link::mirror_byte(link::kFanHeaterCode)) {
    case 0:
      return 1;
    case 1:
      return 2;
    case 2:
      return 3;
    case 3:
      return 4;
    case 4:
      return 6;
    default:
      return 1;
  }
}

bool setpoint_fitted(TS s) {
  const int count = fan_heater_count();
  const bool dual = dual_plenum_mode();
  switch (s) {
    case TS::Plenum1:
      return true;
    case TS::Plenum2:
      return count >= 2;
    case TS::Plenum3:
      return count >= 3;
    case TS::Plenum4:
      return count >= 4;
    case TS::Plenum5:
    case TS::Plenum6:
      return count == 6;
    case TS::Plenum1Second:
      return dual;
    case TS::Plenum2Second:
      return dual && count >= 2;
    case TS::GrainWide:
      return dual || drying_mode() == 3;
    case TS::GrainNarrow:
      return !dual && drying_mode() != 3;
    case TS::GrainSecond:
      return dual;
    default:
      return false;
  }
}

bool setpoint_value_shown(TS s) {
  if (!setpoint_fitted(s)) return false;
  const int mode = drying_mode();
  const bool drying_mode_0_or_1 = mode == 0 || mode == 1;
  const bool dual = dual_plenum_mode();
  switch (s) {
    case TS::Plenum1:
    case TS::Plenum1Second:
      return drying_mode_0_or_1;
    case TS::Plenum2:
    case TS::Plenum2Second:
      return drying_mode_0_or_1 && !numeric_model();
    // The dual-plenum layout has no places for plenums #3 to #6.
    case TS::Plenum3:
    case TS::Plenum4:
    case TS::Plenum5:
    case TS::Plenum6:
      return !dual && !numeric_model();
    default:
      return true;
  }
}

void setpoint_text(TS s, std::span<char> out) {
  if (out.empty()) return;
  out[0] = '\0';
  if (s >= TS::kCount) return;
  const uint16_t low = kSetpoints[size_t(s)].low_byte;
  const int fahrenheit = link::mirror_lo_hi(low);
  if (link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0) {
    std::snprintf(out.data(), out.size(), " %3d \u00B0C ",
                  diagnostics::fahrenheit_to_celsius(int16_t(fahrenheit)));
  } else {
    std::snprintf(out.data(), out.size(), " %3d \u00B0F ", fahrenheit);
  }
}

void prepare_temperature_edit(TS s) {
  if (s >= TS::kCount) return;
  const SetpointRow& row = kSetpoints[size_t(s)];
  // The slots take the current value first, so that an untouched write re-sends it.
  link::desire_reported(row.low_byte, 2);
  TemperatureEditRequest& r = temperature_edit_request;
  r.working_value = link::mirror_lo_hi(row.low_byte);
  r.maximum = row.maximum;
  r.minimum = row.minimum;
  r.default_value = row.default_value;
  r.entry_state = 0;
  r.first_key = 0;
  r.last_key = 0;
  texts::help_state().editor_topic.store(kHelpTopic);
  r.request_code = kRequestCode;
  r.low_slot = row.low_byte;
  r.high_slot = row.low_byte + 1;
  r.pending_write = &link::dryer_state().flag(row.flag);
}

void register_temperature_panel_classes() {
  link::set_redraw_rule(link::RedrawTarget::PlenumSetpointPanel, &follow_plenum_rule);
  link::set_redraw_rule(link::RedrawTarget::GrainTempSetpointPanel, &follow_grain_rule);
  gui::register_class(
      {resources::PLENUM_SETPOINT_CHILD_WINDOW, &plenum_panel_procedure, kBackground, true});
  gui::register_class(
      {resources::GRAIN_TEMP_SETPOINT_CHILD_WINDOW, &grain_panel_procedure, kBackground, true});
}

}  // namespace corvex::settings
