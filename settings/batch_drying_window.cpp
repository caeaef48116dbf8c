#include "settings/batch_drying_window.h"

#include <cstdio>
#include <string>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "logging/settings_dialogs.h"
#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/timer_screen.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::mirror_bit;
using link::mirror_byte;
using platform::Color;
using platform::Rect;

constexpr Color kGrey = platform::rgb(128, 128, 128);
constexpr Color kDryColor = platform::rgb(200, 200, 0);
constexpr Color kCoolColor = platform::rgb(0, 0, 250);
constexpr Color kUnloadColor = platform::rgb(0, 250, 0);
constexpr platform::FontSpec kSmallFont{13, 400};
constexpr platform::FontSpec kLabelFont{13, 700};
constexpr unsigned kRight = platform::text_format::kRight | platform::text_format::kSingleLine;
constexpr unsigned kLeft = platform::text_format::kLeft | platform::text_format::kSingleLine;
constexpr unsigned kCentre = platform::text_format::kCenter | platform::text_format::kSingleLine;

struct ButtonPlace {
  int id;
  Rect rect;
  int label_string;
};
constexpr ButtonPlace kButtons[] = {
    {res::kBatchDryButtonId, {0, 20, 126, 170}, 443},
    {res::kBatchHiHeatButtonId, {0, 20, 126, 87}, 446},
    {res::kBatchLoHeatButtonId, {0, 107, 126, 170}, 447},
    {res::kBatchCoolButtonId, {128, 20, 259, 170}, 444},
    {res::kBatchUnloadButtonId, {261, 20, 400, 150}, 445},
};
constexpr Rect kSampleTimeButton{261, 150, 400, 176};

std::string setting_line(uint16_t minutes_offset) {
  char line[96];
  std::snprintf(line, sizeof line, "%02d %s %02d %s", mirror_byte(minutes_offset),
                texts::localized_text(449).c_str(), mirror_byte(uint16_t(minutes_offset + 1)),
                texts::localized_text(448).c_str());
  return line;
}

// The remaining time of a timer: minutes large and right-aligned, seconds beside them.
void draw_remaining(platform::Canvas& c, int left, int right, int top, int height,
                    uint16_t minutes_offset, Color color) {
  char minutes[8];
  char seconds[8];
  std::snprintf(minutes, sizeof minutes, "%d", mirror_byte(minutes_offset));
  std::snprintf(seconds, sizeof seconds, "%02d", mirror_byte(uint16_t(minutes_offset + 1)));
  const int split = right - (right - left) * 2 / 5;
  c.draw_text(minutes, Rect{left, top, split, top + height}, platform::FontSpec{height, 900}, color,
              kRight);
  c.draw_text(seconds, Rect{split + 2, top + height / 3, right, top + height},
              platform::FontSpec{height / 2, 900}, color, kLeft);
}

void draw_column(platform::Canvas& c, int left, int right, uint16_t setting, uint16_t remaining,
                 Color color) {
  c.draw_text(setting_line(setting), Rect{left + 2, 2, right - 2, 20}, kSmallFont, color, kCentre);
  draw_remaining(c, left, right - 4, 24, 66, remaining, color);
}

}  // namespace

bool batch_moisture_drying() {
  return mirror_bit(link::kDryingCriteria, 6) &&
         (mirror_byte(link::kMoistureControlType) & link::kMoistureControlKindMask) == 6 &&
         !mirror_bit(link::kOperatingFlags, 7) && !mirror_bit(link::kBatchValue, 0) &&
         !mirror_bit(256, 0);
}

bool batch_heat_phases_shown() {
  const uint8_t mode = mirror_byte(link::kDryingMode);
  if (mode == 3) return true;
  return mode != 0 && mirror_bit(link::kDryingCriteria, link::kDryingCriteriaDualPlenumBit);
}

void draw_batch_drying_picture(platform::Canvas& c) {
  c.fill_rect(Rect{0, 0, 400, 180}, platform::colors::kBlack);
  const bool dual = mirror_bit(link::kDryingCriteria, link::kDryingCriteriaDualPlenumBit);
  if (dual) {
    c.draw_text(setting_line(link::kDryTimeSet), Rect{2, 2, 124, 20}, kSmallFont, kDryColor,
                kCentre);
    draw_remaining(c, 0, 122, 24, 60, link::kDryTimeLeft, kDryColor);
    c.draw_text(setting_line(link::kLoHeatTimeSet), Rect{2, 88, 124, 106}, kSmallFont, kDryColor,
                kCentre);
    draw_remaining(c, 0, 122, 110, 58, link::kLoHeatTimeLeft, kDryColor);
    c.fill_rect(Rect{0, 87, 126, 88}, kGrey);
    c.fill_rect(Rect{0, 107, 126, 108}, kGrey);
  } else if (batch_moisture_drying()) {
    c.draw_text(setting_line(link::kDryTimeSet), Rect{2, 2, 124, 20}, kSmallFont, kDryColor,
                kCentre);
    int y = 40;
    for (const char* word : {"AVERAGING", "INCOMING", "MOISTURE"}) {
      c.draw_text(word, Rect{0, y, 126, y + 24}, platform::FontSpec{18, 700}, kDryColor, kCentre);
      y += 30;
    }
  } else {
    draw_column(c, 0, 126, link::kDryTimeSet, link::kDryTimeLeft, kDryColor);
  }
  draw_column(c, 126, 259, link::kCoolTimeSet, link::kCoolTimeLeft, kCoolColor);
  draw_column(c, 259, 400, link::kUnloadTimeSet, link::kUnloadTimeLeft, kUnloadColor);
  c.fill_rect(Rect{125, 0, 128, 170}, kGrey);
  c.fill_rect(Rect{258, 0, 261, 170}, kGrey);
  c.fill_rect(Rect{0, 20, 400, 21}, kGrey);
}

namespace {

struct TimerButton {
  int id;
  uint16_t minutes_offset;
  link::PendingWrite write;
  uint8_t maximum_minutes;
  uint8_t default_minutes;
};
constexpr TimerButton kTimers[] = {
    {res::kBatchDryButtonId, link::kDryTimeSet, link::PendingWrite::k11, 200, 60},
    {res::kBatchHiHeatButtonId, link::kDryTimeSet, link::PendingWrite::k11, 200, 60},
    {res::kBatchLoHeatButtonId, link::kLoHeatTimeSet, link::PendingWrite::k254, 200, 60},
    {res::kBatchCoolButtonId, link::kCoolTimeSet, link::PendingWrite::k16, 60, 20},
    {res::kBatchUnloadButtonId, link::kUnloadTimeSet, link::PendingWrite::k21, 60, 10},
};

void edit_timer(gui::Window& screen, const TimerButton& t) {
  link::desire_reported(t.minutes_offset, 2);
  TimerEditRequest& r = timer_edit_request;
  r.minutes = mirror_byte(t.minutes_offset);
  r.seconds = mirror_byte(uint16_t(t.minutes_offset + 1));
  r.maximum_minutes = t.maximum_minutes;
  r.maximum_seconds = 0;
  r.default_minutes = t.default_minutes;
  r.default_seconds = 0;
  r.minimum_minutes = 0;
  r.minimum_seconds = 0;
  r.minutes_entry_state = 0;
  r.seconds_entry_state = 0;
  r.first_key = 0;
  r.last_key = 0;
  r.minutes_slot = t.minutes_offset;
  r.seconds_slot = t.minutes_offset + 1;
  r.pending_write = &link::dryer_state().flag(t.write);
  open_timer_editor(&screen);
}

constexpr int kArrangeMessage = 1;

// True when a button's visibility or label no longer follows the drying mode.
bool buttons_out_of_date(gui::Window& screen) {
  const bool heat = batch_heat_phases_shown();
  for (const ButtonPlace& b : kButtons) {
    gui::Window* w = gui::child_by_id(&screen, b.id);
    if (w == nullptr) continue;
    bool shown = true;
    if (b.id == res::kBatchHiHeatButtonId || b.id == res::kBatchLoHeatButtonId) shown = heat;
    if (b.id == res::kBatchDryButtonId) shown = !heat;
    const std::string label = texts::localized_text(b.label_string);
    if (w->is_shown() != shown || (!label.empty() && w->text() != label)) return true;
  }
  return false;
}

void arrange_buttons(gui::Window& screen) {
  const bool heat = batch_heat_phases_shown();
  for (const ButtonPlace& b : kButtons) {
    gui::Window* w = gui::child_by_id(&screen, b.id);
    if (w == nullptr) continue;
    bool shown = true;
    if (b.id == res::kBatchHiHeatButtonId || b.id == res::kBatchLoHeatButtonId) shown = heat;
    if (b.id == res::kBatchDryButtonId) shown = !heat;
    if (w->is_shown() != shown) gui::show_window(w, shown);
    if (shown && b.id == res::kBatchDryButtonId) gui::enable_window(w, true);
    const std::string label = texts::localized_text(b.label_string);
    if (!label.empty() && w->text() != label) gui::set_window_text(w, label);
  }
}

// A button is the part of the picture it covers, with its label at its foot and a frame while
// pressed.
void draw_button(gui::Window& screen, const gui::DrawItemContext& item) {
  platform::Canvas& c = *item.canvas;
  const Rect place = item.control->rect();
  {
    platform::CanvasState saved(c);
    c.translate(-place.left, -place.top);
    draw_batch_drying_picture(c);
  }
  if (item.id == res::kBatchSampleTimeButtonId) {
    c.fill_rect(item.rect, platform::colors::kFace);
    c.draw_text(item.control->text(), item.rect, kLabelFont, platform::colors::kBlack, kCentre);
  } else {
    c.draw_text(item.control->text(),
                Rect{2, item.rect.bottom - 16, item.rect.right - 2, item.rect.bottom}, kLabelFont,
                platform::colors::kWhite, kCentre);
  }
  if (item.pressed) c.frame_rect(item.rect, platform::colors::kWhite, 2);
  (void)screen;
}

intptr_t batch_drying_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      for (const ButtonPlace& b : kButtons) {
        gui::create_window({std::string(gui::kButtonClass), "",
                            gui::style::kVisible | gui::style::kChild | gui::style::kOwnerDraw,
                            b.rect, &w, b.id});
      }
      gui::create_window({std::string(gui::kButtonClass), "SAMPLE TIME",
                          gui::style::kVisible | gui::style::kChild | gui::style::kOwnerDraw,
                          kSampleTimeButton, &w, res::kBatchSampleTimeButtonId});
      arrange_buttons(w);
      texts::set_localized_caption(&w, 442);
      return 0;
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, 442);
      arrange_buttons(w);
      return 0;
    case gui::MessageKind::Paint:
      // A paint only draws; the buttons follow the drying mode right after it.
      if (buttons_out_of_date(w))
        gui::post_message(&w, {gui::MessageKind::User, kArrangeMessage, 0});
      draw_batch_drying_picture(*gui::paint_context(m).canvas);
      for (const ButtonPlace& b : kButtons)
        if (gui::Window* child = gui::child_by_id(&w, b.id)) gui::invalidate(child, gui::Erase::No);
      return 0;
    case gui::MessageKind::User:
      if (m.wparam != kArrangeMessage) return gui::default_window_procedure(w, m);
      arrange_buttons(w);
      return 0;
    case gui::MessageKind::DrawItem:
      draw_button(w, gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (id == res::kBatchSampleTimeButtonId) {
        logging::open_sample_time_dialog(&w);
        return 0;
      }
      for (const TimerButton& t : kTimers) {
        if (t.id == id) {
          edit_timer(w, t);
          gui::invalidate(&w);
          return 0;
        }
      }
      return 0;
    }
    default:
      return gui::default_window_procedure(w, m);
  }
}

}  // namespace

void register_batch_drying_class() {
  gui::register_controls();
  gui::register_class(
      {res::BATCH_DRYING_WINDOW, &batch_drying_procedure, platform::colors::kBlack, true});
}

}  // namespace corvex::settings
