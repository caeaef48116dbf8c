#include "settings/plenum_manager_dialog.h"

#include <cstdio>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/unload_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using platform::Rect;

constexpr uint16_t kSetting = 50;
constexpr uint8_t kOnBit = 0x80;
constexpr unsigned kTimeShift = 3;
constexpr unsigned kStepShift = 0;
constexpr uint8_t kIndexMask = 0x07;
constexpr int kCaptionString = 13;
constexpr int kMinutesString = 17;
constexpr int kHelpCaptionString = 361;
constexpr size_t kHelpCapacity = 1999;

// Minutes between two steps of the plenum setpoints, and the step in degrees Fahrenheit.
constexpr const char* kMinutes[8] = {"15", "30", "45", "60", "90", "120", "180", "240"};
constexpr const char* kSteps[8] = {"1", "2", "3", "5", "10", "15", "20", "25"};

constexpr platform::FontSpec kHeadingFont{17, 700};
constexpr platform::FontSpec kValueFont{40, 900};
constexpr platform::Color kValueColor = platform::rgb(0, 0, 139);

uint8_t step_index(uint8_t setting, unsigned shift, int delta) {
  const int index = (setting >> shift & kIndexMask) + delta;
  const uint8_t wrapped = uint8_t(index & kIndexMask);  // 8 -> 0 and -1 -> 7
  return uint8_t((setting & ~(kIndexMask << shift)) | wrapped << shift);
}

uint8_t working() { return link::desired_byte(kSetting); }

void show_on_off(gui::Window& dialog) {
  const bool on = (working() & kOnBit) != 0;
  for (const auto& [id, checked] :
       {std::pair{res::kManagerOnMark, on}, {res::kManagerOffMark, !on}}) {
    gui::Window* mark = gui::dialog_item(&dialog, id);
    if (mark != nullptr && gui::button_checked(mark) != checked)
      gui::button_set_check(mark, checked);
  }
}

void paint(platform::Canvas& c) {
  const unsigned centred = platform::text_format::kCenter | platform::text_format::kSingleLine;
  const std::string values[2] = {manager_time_text(working()), manager_step_text(working())};
  static constexpr const char* kHeadings[2] = {"TIME BETWEEN STEPS", "STEP SIZE"};
  for (int k = 0; k < 2; ++k) {
    const int left = res::kManagerValueLeft[k];
    c.draw_text(kHeadings[k],
                Rect::from_xywh(left, res::kManagerValueTop - 30, res::kManagerValueWidth, 26),
                kHeadingFont, platform::colors::kBlack, centred);
    c.draw_text(values[k],
                Rect::from_xywh(left, res::kManagerValueTop, res::kManagerValueWidth, 52),
                kValueFont, kValueColor, centred);
  }
}

int key_label(int id) {
  switch (id) {
    case res::kManagerTimeIncrease:
    case res::kManagerStepIncrease:
      return 8;
    case res::kManagerTimeDecrease:
    case res::kManagerStepDecrease:
      return 9;
    case res::kManagerHelp:
      return 3;
    case res::kManagerAccept:
      return 4;
    case res::kManagerCancel:
      return 10;
    default:
      return 0;  // SELECT ON / OFF: its window text
  }
}

void show_help(gui::Window& dialog) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8("PlenumTempManagerHelp.txt", kHelpCapacity, text);
  gui::message_box(&dialog, text, texts::localized_text(kHelpCaptionString), gui::kMbOkCancel);
}

bool on_command(gui::Window& dialog, int id) {
  uint8_t value = working();
  switch (id) {
    case res::kManagerSelect:
      value = toggle_plenum_manager(value);
      break;
    case res::kManagerTimeIncrease:
      value = step_manager_time(value, 1);
      break;
    case res::kManagerTimeDecrease:
      value = step_manager_time(value, -1);
      break;
    case res::kManagerStepIncrease:
      value = step_manager_step(value, 1);
      break;
    case res::kManagerStepDecrease:
      value = step_manager_step(value, -1);
      break;
    case res::kManagerOnMark:
    case res::kManagerOffMark:
      break;  // the marks only show; SELECT chooses
    case res::kManagerHelp:
      show_help(dialog);
      return true;
    case res::kManagerAccept:
      link::raise_write_if_changed(link::PendingWrite::k50, kSetting);
      gui::end_dialog(&dialog, id);
      return true;
    case res::kManagerCancel:
      gui::end_dialog(&dialog, id);
      return true;
    default:
      return false;
  }
  link::set_desired_byte(kSetting, value);
  show_on_off(dialog);
  gui::invalidate(&dialog);
  return true;
}

intptr_t plenum_manager_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::desire_reported(kSetting);
      texts::set_localized_caption(&dialog, kCaptionString);
      localize_item_text(dialog, res::kManagerOnMark, 14);
      localize_item_text(dialog, res::kManagerOffMark, 15);
      show_on_off(dialog);
      return 1;
    case gui::MessageKind::Paint:
      paint(*gui::paint_context(m).canvas);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m)) ? 1 : 0;
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_plenum_temperature_manager_dialog(gui::Window* owner) {
  res::register_unload_dialog_templates();
  return gui::dialog_box(res::kPlenumManagerDialog, owner, &plenum_manager_procedure);
}

uint8_t toggle_plenum_manager(uint8_t setting) { return uint8_t(setting ^ kOnBit); }
uint8_t step_manager_time(uint8_t setting, int delta) {
  return step_index(setting, kTimeShift, delta);
}
uint8_t step_manager_step(uint8_t setting, int delta) {
  return step_index(setting, kStepShift, delta);
}

std::string manager_time_text(uint8_t setting) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %s", kMinutes[setting >> kTimeShift & kIndexMask],
                texts::localized_text(kMinutesString).c_str());
  return text;
}

std::string manager_step_text(uint8_t setting) {
  char text[32];
  // The degree sign, U+00B0, in UTF-8.
  std::snprintf(text, sizeof text,
                "%s \xC2\xB0"
                "F",
                kSteps[setting >> kStepShift & kIndexMask]);
  return text;
}

}  // namespace corvex::settings
