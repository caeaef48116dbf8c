#include "settings/metering_roll_dialog.h"

#include <algorithm>
#include <cstdio>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/hold_repeat.h"
#include "platform/gui/message_box.h"
#include "resources/metering_roll_dialog.h"
#include "settings/setup_dialogs.h"
#include "texts/help_viewer.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

std::atomic<uint8_t> metering_roll_dialog_requested{0};

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::desired_byte;
using link::mirror_bit;
using link::mirror_byte;
using link::PendingWrite;
using link::set_desired_byte;
using platform::Color;
using platform::Rect;

constexpr uint16_t kSubState = 155;
constexpr uint16_t kSelection = link::kMeteringRollMode;    // DesiredValues 159
constexpr uint16_t kWorking = link::kMeteringRollBlock;     // DesiredValues 160..162
constexpr uint16_t kSettings = link::kMeteringRollSpeeds;   // status bytes 156..158
constexpr uint16_t kType = link::kMoistureControlType;      // status byte 187
constexpr unsigned kTrackingBit = 5;
constexpr unsigned kSecondSpeedBit = 6;
constexpr uint8_t kTrackingOnFlag = 0x02;  // bit 1 of byte 224: type 2 settings taken
constexpr int kHelpTopic = 15;
constexpr int kMaxPercent = 100;

constexpr Color kDarkBlue = platform::rgb(0, 0, 139);
constexpr platform::FontSpec kValueFont{40, 900};
constexpr platform::FontSpec kHeadingFont{25, 900};
constexpr platform::FontSpec kScaleFont{14, 400};

int control_type() { return mirror_byte(kType) & link::kMoistureControlKindMask; }
bool alternative_second_setting() { return control_type() == 4 || control_type() == 5; }

// The working slot the selection acts on, or 0 for a selection that names none.
uint16_t selected_slot() {
  switch (desired_byte(kSelection)) {
    case 2: return kWorking;
    case 1: return uint16_t(kWorking + 1);
    case 0: return uint16_t(kWorking + 2);
    default: return 0;
  }
}

// ---- Painting ----

// One bar gauge with its frame at `left` (the single gauge's frame is 155..255): the bar of
// `slot`, red while it is the selected one, its value under it and the percent scale.
void draw_gauge(platform::Canvas& c, int left, uint16_t slot, const std::string& heading) {
  const bool selected = selected_slot() == slot;
  const int value = std::min<int>(desired_byte(slot), kMaxPercent);
  c.frame_rect(Rect{left, 30, left + 100, 400}, platform::colors::kBlack, 2);
  const int bar_left = left + 30;
  const int top = 350 - 3 * value;
  c.fill_rect(Rect{bar_left, 50, bar_left + 35, top}, platform::colors::kFace);
  c.fill_rect(Rect{bar_left, top, bar_left + 35, 350}, selected ? platform::colors::kRed : kDarkBlue);
  c.frame_rect(Rect{left + 11, 48, left + 50, 352}, platform::colors::kBlack, 1);
  char text[16];
  std::snprintf(text, sizeof text, "%3d", value);
  c.fill_rect(Rect{left + 2, 360, left + 98, 396}, platform::colors::kFace);
  c.draw_text(text, Rect{left, 360, left + 100, 396}, kValueFont,
              selected ? platform::colors::kRed : platform::colors::kBlack,
              platform::text_format::kCenter | platform::text_format::kVCenter |
                  platform::text_format::kSingleLine);
  static constexpr const char* kScale[] = {"-100%", "-75%", "-50%", "-25%", "-0%"};
  static constexpr int kScaleY[] = {42, 115, 190, 265, 340};
  for (int k = 0; k < 5; ++k) {
    c.draw_text(kScale[k], Rect{left + 57, kScaleY[k], left + 100, kScaleY[k] + 16}, kScaleFont,
                platform::colors::kBlack);
  }
  if (!heading.empty()) {
    c.draw_text(heading, Rect{left - 20, 2, left + 120, 28}, kHeadingFont, platform::colors::kBlack,
                platform::text_format::kCenter | platform::text_format::kSingleLine);
  }
}

std::string single_heading() {
  if (mirror_byte(link::kDryingMode) == 1) return texts::localized_text(291);
  if (alternative_second_setting()) return texts::localized_text(464);
  return texts::localized_text(270);
}

void draw_automatic_note(platform::Canvas& c) {
  static constexpr const char* kNote[] = {
      "NOTE:  The dryer has",  "entered automatic mode.", "No manual adjustments",
      "are allowed in this mode.", "To make adjustments,", "switch to manual mode",
      "using the UNLOAD",      "selector switch.",
  };
  c.frame_rect(Rect{40, 30, 370, 400}, platform::colors::kBlack, 2);
  int y = 60;
  for (const char* line : kNote) {
    c.draw_text(line, Rect{50, y, 360, y + 30}, platform::FontSpec{22, 700}, kDarkBlue,
                platform::text_format::kCenter | platform::text_format::kSingleLine);
    y += 36;
  }
}

constexpr int kArrangeMessage = 1;

void show_choice(gui::Window& dialog, bool shown) {
  for (int id : {res::kMrFirstMark, res::kMrSecondMark, res::kMrModeButton, res::kMrModeGroup}) {
    if (gui::Window* w = gui::dialog_item(&dialog, id); w != nullptr && w->is_shown() != shown)
      gui::show_window(w, shown);
  }
}

// A paint only draws: when the speed-choice controls must appear or go, it asks for that
// right after the paint.
void want_choice(gui::Window& dialog, bool shown) {
  gui::Window* w = gui::dialog_item(&dialog, res::kMrModeButton);
  if (w != nullptr && w->is_shown() != shown)
    gui::post_message(&dialog, {gui::MessageKind::User, kArrangeMessage, shown ? 1 : 0});
}

void mark(gui::Window& dialog, int checked_id) {
  for (int id : {res::kMrFirstMark, res::kMrSecondMark}) {
    gui::Window* w = gui::dialog_item(&dialog, id);
    if (w != nullptr && gui::button_checked(w) != (id == checked_id)) gui::button_set_check(w, id == checked_id);
  }
}

void paint(gui::Window& dialog, platform::Canvas& c) {
  link::DryerState& s = link::dryer_state();
  if (s.metering_roll_refresh.exchange(0, std::memory_order_relaxed) != 0) {
    rederive_metering_roll_selection();
  }
  c.fill_rect(Rect{0, 0, 400, 454}, platform::colors::kFace);
  const int type = control_type();
  const bool automatic = mirror_bit(kType, link::kMoistureControlTypeAutoBit);
  if (type == 3 || (type == 1 && !automatic)) {
    if (automatic) {
      draw_automatic_note(c);
    } else {
      want_choice(dialog, false);
      draw_gauge(c, 155, kWorking + 1, single_heading());
    }
  } else if (type == 1) {
    want_choice(dialog, true);
    const bool two_speed = mirror_bit(kType, kSecondSpeedBit);
    localize_item_text(dialog, res::kMrModeButton, two_speed ? 347 : 354);
    mark(dialog, two_speed ? res::kMrSecondMark : res::kMrFirstMark);
    draw_gauge(c, 60, kWorking, "");
    draw_gauge(c, 250, kWorking + 1, "");
  } else if (type == 2) {
    const bool tracking = mirror_bit(kType, kTrackingBit);
    mark(dialog, tracking ? res::kMrFirstMark : res::kMrSecondMark);
    if (tracking) track_metering_roll_center();
    draw_gauge(c, 285, kWorking, "HIGH SP");
    draw_gauge(c, 155, kWorking + 1, "MAIN SP");
    draw_gauge(c, 25, kWorking + 2, "LOW SP");
  } else {
    want_choice(dialog, false);
    draw_gauge(c, 155, kWorking + 1, single_heading());
  }
}

// ---- The window ----

void localize(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, 353);
  localize_item_text(dialog, res::kMrModeButton, 347);
  localize_item_text(dialog, res::kMrFirstMark, 348);
  localize_item_text(dialog, res::kMrSecondMark, 349);
  localize_item_text(dialog, res::kMrAdjustLabel, 352);
}

int key_label(int id) {
  switch (id) {
    case res::kMrIncrease: return 8;
    case res::kMrDecrease: return 9;
    case res::kMrSelect: return 20;
    case res::kMrAccept: return 4;
    case res::kMrExit: return 145;
    default: return 0;  // the mode button: its window text
  }
}

void set_type_controls(gui::Window& dialog) {
  const bool via_screen = link::dryer_state().mr_speed_via_screen.load() != 0;
  for (int id : {res::kMrIncrease, res::kMrDecrease, res::kMrSelect, res::kMrAdjustLabel}) {
    if (gui::Window* w = gui::dialog_item(&dialog, id)) gui::enable_window(w, via_screen);
  }
  for (int id : {res::kMrIncrease, res::kMrDecrease}) {
    if (gui::Window* w = gui::dialog_item(&dialog, id)) gui::set_hold_repeat(w, via_screen);
  }
  if (via_screen) rederive_metering_roll_selection();
  switch (control_type()) {
    case 3: show_choice(dialog, false); break;
    case 1:
      show_choice(dialog, true);
      gui::set_dialog_item_text(&dialog, res::kMrFirstMark, "ON / OFF");
      gui::set_dialog_item_text(&dialog, res::kMrSecondMark, "TWO SPEED");
      break;
    case 2:
      show_choice(dialog, true);
      gui::set_dialog_item_text(&dialog, res::kMrModeButton, "15% HI/LOW  TRACKING");
      gui::set_dialog_item_text(&dialog, res::kMrFirstMark, "ON");
      gui::set_dialog_item_text(&dialog, res::kMrSecondMark, "OFF");
      break;
    default: break;
  }
}

void close_dialog(gui::Window& dialog, int id) {
  link::DryerState& s = link::dryer_state();
  s.metering_roll_dialog_visible.store(0);
  link::register_redraw_window(link::RedrawTarget::MeteringRollDialog, nullptr);
  gui::end_dialog(&dialog, id);
}

intptr_t metering_roll_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      start_metering_roll_values();
      link::dryer_state().metering_roll_dialog_visible.store(1);
      link::register_redraw_window(link::RedrawTarget::MeteringRollDialog, &dialog);
      texts::help_state().topic.store(kHelpTopic);
      texts::help_state().available.store(1);
      set_type_controls(dialog);
      // Labels the paint would otherwise set again on every repaint.
      if (control_type() != 2) localize(dialog);
      else texts::set_localized_caption(&dialog, 353);
      return 1;
    case gui::MessageKind::Paint:
      paint(dialog, *gui::paint_context(m).canvas);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      switch (id) {
        case res::kMrIncrease:
        case res::kMrDecrease:
          if (step_metering_roll_setting(id == res::kMrIncrease ? 1 : -1))
            gui::invalidate(&dialog, gui::Erase::No);
          return 1;
        case res::kMrSelect:
          rederive_metering_roll_selection();
          link::raise_write(PendingWrite::k159);
          gui::invalidate(&dialog, gui::Erase::No);
          return 1;
        case res::kMrModeButton: {
          bool confirmed = false;
          if (control_type() == 2 && !mirror_bit(kType, kTrackingBit)) {
            confirmed = gui::message_box(&dialog, kTrackingText, kTrackingCaption,
                                         gui::kMbYesNoCancel | gui::kMbIconQuestion) == gui::kIdYes;
          }
          change_metering_roll_mode(confirmed);
          if (control_type() == 2) {
            const bool on = (desired_byte(kType) >> kTrackingBit & 1u) != 0;
            mark(dialog, on ? res::kMrFirstMark : res::kMrSecondMark);
          }
          gui::invalidate(&dialog);
          return 1;
        }
        case res::kMrAccept:
          accept_metering_roll(link::dryer_state().mr_speed_via_screen.load() != 0);
          close_dialog(dialog, id);
          return 1;
        case res::kMrExit:
          cancel_metering_roll();
          close_dialog(dialog, id);
          return 1;
        default:
          return 0;
      }
    }
    case gui::MessageKind::User:
      if (m.wparam != kArrangeMessage) return 0;
      show_choice(dialog, m.lparam != 0);
      return 1;
    case gui::MessageKind::Close:
      cancel_metering_roll();
      close_dialog(dialog, res::kMrExit);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_metering_roll_dialog(gui::Window* owner) {
  res::register_metering_roll_dialog_template();
  return gui::dialog_box(res::kMeteringRollDialog, owner, &metering_roll_procedure);
}

void start_metering_roll_values() {
  link::desire_reported(kSubState);
  set_desired_byte(kWorking, mirror_byte(kSettings));
  set_desired_byte(uint16_t(kWorking + 1), alternative_second_setting()
                                              ? mirror_byte(link::kAltSecondSetting)
                                              : mirror_byte(uint16_t(kSettings + 1)));
  set_desired_byte(uint16_t(kWorking + 2), mirror_byte(uint16_t(kSettings + 2)));
  link::lower_write(PendingWrite::k159);
  link::raise_write(PendingWrite::k161);
}

void rederive_metering_roll_selection() {
  if ((mirror_byte(kType) & 0x3F) != 1) return;
  uint8_t selection = desired_byte(kSelection);
  if (mirror_bit(link::kSwitchInputs, link::kSwitchInputsUnload1Bit)) {
    selection = 1;
  } else if (mirror_bit(kType, kSecondSpeedBit) || selection == 0) {
    selection = 2;
  } else if (selection == 2) {
    selection = 0;
  }
  set_desired_byte(kSelection, selection);
}

bool step_metering_roll_setting(int delta) {
  const uint16_t slot = selected_slot();
  if (slot == 0) return false;
  const int before = desired_byte(slot);
  const int after = std::clamp(before + delta, 0, kMaxPercent);
  if (after == before) return false;
  set_desired_byte(slot, uint8_t(after));
  return true;
}

void track_metering_roll_center() {
  const int center = desired_byte(uint16_t(kWorking + 1));
  set_desired_byte(kWorking, uint8_t(std::min(kMaxPercent, center * 115 / 100)));
  set_desired_byte(uint16_t(kWorking + 2), uint8_t(std::min(kMaxPercent, center * 85 / 100)));
}

void change_metering_roll_mode(bool tracking_confirmed) {
  uint8_t value = mirror_byte(kType);
  if (control_type() == 1) {
    value ^= uint8_t(1u << kSecondSpeedBit);
  } else if (control_type() == 2) {
    if (value >> kTrackingBit & 1u) {
      value &= uint8_t(~(1u << kTrackingBit));
      link::raise_write(PendingWrite::k159Block);
    } else if (tracking_confirmed) {
      value |= uint8_t(1u << kTrackingBit);
    }
  }
  link::dryer_state().metering_roll_refresh.store(1);
  link::raise_write(PendingWrite::k187, {{kType, value}});
}

void accept_metering_roll(bool via_screen) {
  if (control_type() == 2) {
    // From the value still waiting to go out, else from the controller's: a slot left over
    // from an earlier dialog must not be sent with it.
    const uint8_t base = link::write_raised(PendingWrite::k224) ? desired_byte(link::kMoistureOptions)
                                                               : mirror_byte(link::kMoistureOptions);
    link::raise_write(PendingWrite::k224, {{link::kMoistureOptions, uint8_t(base | kTrackingOnFlag)}});
  }
  static constexpr PendingWrite kSettingWrites[] = {PendingWrite::k156, PendingWrite::k157,
                                                    PendingWrite::k158};
  for (uint16_t k = 0; k < 3; ++k) {
    const uint8_t working = desired_byte(uint16_t(kWorking + k));
    if (working != mirror_byte(uint16_t(kSettings + k)))
      link::raise_write(kSettingWrites[k], {{uint16_t(kSettings + k), working}});
  }
  if (via_screen) {
    link::raise_write(PendingWrite::k159Copy);
    // The controller's knob byte takes the selection now, so that the decoder does not take
    // the change for a knob push.
    link::dryer_state().mirror[kSelection].store(desired_byte(kSelection));
  }
  metering_roll_dialog_requested.store(0);
}

void cancel_metering_roll() {
  metering_roll_dialog_requested.store(0);
  link::raise_write(PendingWrite::k160Copy);
}

}  // namespace corvex::settings
