// UNLOAD_STATUS_WINDOW: the metering-roll speed as a large value, the bushels button
// (UNLOAD_STATUS_SELECT_BUTTON: bushels per hour and total bushels) and the speed button
// (UNLOAD_MR_SPEED_SELECT_BUTTON: the three metering-roll presets, the selected one marked).
// The window lives for the whole run; the decoder asks it to redraw when its values change.
#include <cstdio>
#include <string>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gfx/font.h"
#include "platform/gui/controls.h"
#include "platform/gui/window.h"
#include "resources/calibration_dialogs.h"
#include "resources/window_classes.h"
#include "settings/calibration_dialogs.h"
#include "settings/metering_roll_dialog.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
namespace tf = platform::text_format;
using platform::Color;
using platform::Rect;

constexpr Color kValueColor = platform::rgb(115, 185, 185);
constexpr Color kSelectedBackground = platform::rgb(215, 185, 185);
constexpr Color kLineColor = platform::rgb(150, 150, 150);
// The system menu colour, behind the large value.
constexpr Color kMenuColor = platform::colors::kFace;
// Status byte 155 names the selected preset: 2 HIGH, 1 MED, 0 LOW.
constexpr uint16_t kSelectedPreset = 155;
constexpr uint8_t kHundredthsBit = 0x20;  // of the dryer-type byte

void create_buttons(gui::Window& window) {
  gui::register_controls();
  struct Button {
    const char* name;
    int id;
    Rect rect;
  };
  static constexpr Button kButtons[] = {
      {"UNLOAD_STATUS_SELECT_BUTTON", res::kUnloadStatusSelectButtonId,
       res::kUnloadBushelsButtonRect},
      {"UNLOAD_MR_SPEED_SELECT_BUTTON", res::kUnloadMrSpeedSelectButtonId,
       res::kUnloadSpeedButtonRect},
  };
  for (const Button& b : kButtons) {
    gui::CreateParams p;
    p.class_name = std::string(gui::kButtonClass);
    p.text = b.name;
    p.style = gui::style::kChild | gui::style::kVisible | gui::style::kOwnerDraw;
    p.rect = b.rect;
    p.parent = &window;
    p.id = b.id;
    gui::create_window(p);
  }
}

// The large value's font: 70 pixels high, or smaller for a value that would not fit beside the
// speed button at that size (" 0.0" already does not in the bold face), so no digit is cut off.
platform::FontSpec large_value_font(const std::string& text) {
  platform::FontSpec font = res::kUnloadLargeValueFont;
  while (font.pixel_height > 20 &&
         platform::measure_text_line(text, font).width > res::kUnloadLargeValueRect.width())
    font.pixel_height -= 2;
  return font;
}

void paint(platform::Canvas& canvas) {
  canvas.fill_rect(res::kUnloadLargeValueRect, kMenuColor);
  const std::string value = roll_speed_text();
  canvas.draw_text(value, res::kUnloadLargeValueRect, large_value_font(value), kValueColor,
                   tf::kRight | tf::kVCenter | tf::kSingleLine);
  canvas.draw_line({235, 0}, {235, 190}, kLineColor);
  canvas.draw_line({130, 5}, {130, 65}, kLineColor);
  canvas.draw_line({0, 70}, {240, 70}, kLineColor);
}

void draw_bushels_button(const gui::DrawItemContext& item) {
  platform::Canvas& c = *item.canvas;
  c.fill_rect(item.rect, platform::colors::kWhite);
  char per_hour[16];
  char total[16];
  std::snprintf(per_hour, sizeof per_hour, " %d", int(link::mirror_hi_lo(link::kBushelsPerHour)));
  std::snprintf(total, sizeof total, " %u", unsigned(total_bushels()));
  const struct {
    const char* label;
    const char* value;
  } rows[] = {{"Bushel/Hour:", per_hour}, {"Total Bushels:", total}};
  const int row_height = item.rect.height() / 2;
  for (int i = 0; i < 2; ++i) {
    const Rect r{item.rect.left + 6, item.rect.top + i * row_height, item.rect.right - 6,
                 item.rect.top + (i + 1) * row_height};
    constexpr unsigned kLine = tf::kVCenter | tf::kSingleLine;
    c.draw_text(rows[i].label, r, res::kUnloadBushelsFont, platform::colors::kBlack, kLine);
    c.draw_text(rows[i].value, r, res::kUnloadBushelsFont, platform::colors::kBlack,
                kLine | tf::kRight);
  }
}

void draw_speed_button(const gui::DrawItemContext& item) {
  platform::Canvas& c = *item.canvas;
  c.fill_rect(item.rect, platform::colors::kWhite);
  const uint8_t selected = link::mirror_byte(kSelectedPreset);
  const int row_height = item.rect.height() / 3;
  for (int i = 0; i < 3; ++i) {
    const Rect r{item.rect.left, item.rect.top + i * row_height, item.rect.right,
                 item.rect.top + (i + 1) * row_height};
    const bool chosen = selected == 2 - i;
    if (chosen) c.fill_rect(r, kSelectedBackground);
    c.draw_text(preset_line(i, link::mirror_byte(uint16_t(link::kMeteringRollSpeeds + i))), r,
                res::kUnloadSpeedFont, chosen ? platform::colors::kBlack : kValueColor,
                tf::kCenter | tf::kVCenter | tf::kSingleLine);
  }
}

intptr_t unload_status_procedure(gui::Window& window, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      create_buttons(window);
      return 0;
    case gui::MessageKind::Paint: {
      const gui::PaintContext& pc = gui::paint_context(m);
      paint(*pc.canvas);
      // The decoder asks for this window (the selected preset) or a part of it (the presets);
      // the buttons under that part show those values, so they are drawn again too.
      for (const auto& child : window.children()) {
        if (!child->rect().intersected(pc.dirty).empty())
          gui::invalidate(child.get(), gui::Erase::No);
      }
      return 0;
    }
    case gui::MessageKind::DrawItem: {
      const gui::DrawItemContext& item = gui::draw_item_context(m);
      if (item.id == res::kUnloadStatusSelectButtonId) draw_bushels_button(item);
      if (item.id == res::kUnloadMrSpeedSelectButtonId) draw_speed_button(item);
      return 1;
    }
    case gui::MessageKind::Command:
      // The bushels button does nothing when touched.
      if (gui::command_id(m) == res::kUnloadMrSpeedSelectButtonId)
        open_metering_roll_dialog(&window);
      return 0;
    default:
      return gui::default_window_procedure(window, m);
  }
}

}  // namespace

void register_unload_status_class() {
  gui::register_class(
      {res::UNLOAD_STATUS_WINDOW, &unload_status_procedure, platform::colors::kBlack, true});
}

std::string roll_speed_text() {
  const int value = link::mirror_hi_lo(link::kRollSpeed);
  char text[16];
  if (link::mirror_byte(link::kDryerType) & kHundredthsBit) {
    std::snprintf(text, sizeof text, "%d.%02d", value / 100, value % 100);
  } else {
    std::snprintf(text, sizeof text, "%2d.%d", value / 10, value % 10);
  }
  return text;
}

std::string preset_line(int index, uint8_t preset) {
  static constexpr const char* kFormats[] = {" HIGH: %04d ", " MED:  %04d ", " LOW:  %04d "};
  char text[24];
  std::snprintf(text, sizeof text, kFormats[index], preset * 10);
  return text;
}

}  // namespace corvex::settings
