#include "settings/output_voltage_dialog.h"

#include <algorithm>
#include <cstdio>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/hold_repeat.h"
#include "resources/diagnostics_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/localized_controls.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

// The metering-roll output: maximum, minimum, and the command byte that tells the controller
// which end is being adjusted (1 maximum, 2 minimum, 0 done).
constexpr uint16_t kOutputMaximum = 236;
constexpr uint16_t kOutputMinimum = 237;
constexpr uint8_t kAdjustingMaximum = 1;
constexpr uint8_t kAdjustingMinimum = 2;
constexpr uint8_t kAdjustmentDone = 0;

OutputRange g_range;

void show_value(gui::Window& dialog, OutputEnd end, Leading leading) {
  const bool maximum = end == OutputEnd::Maximum;
  const int value = maximum ? g_range.maximum : g_range.minimum;
  gui::set_dialog_item_text(&dialog, maximum ? res::kVoltMaxPercent : res::kVoltMinPercent,
                            output_percent_text(value, leading));
  gui::set_dialog_item_text(&dialog, maximum ? res::kVoltMaxVolts : res::kVoltMinVolts,
                            output_volts_text(value, leading));
  if (gui::Window* bar = gui::dialog_item(&dialog, maximum ? res::kVoltMaxBar : res::kVoltMinBar))
    gui::progress_set_position(bar, value);
}

// The minimum's bar spans its whole range; the maximum's bar spans the full scale, so that it
// shows where the maximum lies rather than standing full.
void set_up_bars(gui::Window& dialog) {
  if (gui::Window* bar = gui::dialog_item(&dialog, res::kVoltMinBar)) {
    gui::progress_set_range(bar, 0, kOutputMinimumHigh);
    gui::progress_set_step(bar, 1);
  }
  if (gui::Window* bar = gui::dialog_item(&dialog, res::kVoltMaxBar)) {
    gui::progress_set_range(bar, 0, kOutputFullScale);
    gui::progress_set_step(bar, 1);
  }
}

void localize(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, 391);
  localize_item_text(dialog, res::kVoltMinLabel, 392);
  localize_item_text(dialog, res::kVoltMaxLabel, 393);
  localize_item_text(dialog, res::kVoltNoteLeft, 394);
  localize_item_text(dialog, res::kVoltNoteRight, 394);
}

int key_label(int id) {
  switch (id) {
    case res::kVoltMaxUp:
    case res::kVoltMinUp:
      return 111;
    case res::kVoltMaxDown:
    case res::kVoltMinDown:
      return 112;
    case res::kVoltDefault:
      return 55;
    case res::kVoltAccept:
      return 4;
    default:
      return 10;
  }
}

void on_press(gui::Window& dialog, OutputEnd end, int direction) {
  press_output(g_range, end, direction);
  show_value(dialog, end, Leading::Space);
}

void on_default(gui::Window& dialog) {
  default_output_range(g_range);
  show_value(dialog, OutputEnd::Maximum, Leading::None);
  show_value(dialog, OutputEnd::Minimum, Leading::None);
}

intptr_t output_voltage_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      g_range = reported_output_range();
      set_up_bars(dialog);
      localize(dialog);
      show_value(dialog, OutputEnd::Maximum, Leading::None);
      show_value(dialog, OutputEnd::Minimum, Leading::None);
      for (int id : {res::kVoltMaxUp, res::kVoltMaxDown, res::kVoltMinUp, res::kVoltMinDown}) {
        if (gui::Window* key = gui::dialog_item(&dialog, id)) gui::set_hold_repeat(key, true);
      }
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command:
      switch (gui::command_id(m)) {
        case res::kVoltMaxUp:
          on_press(dialog, OutputEnd::Maximum, +1);
          return 1;
        case res::kVoltMaxDown:
          on_press(dialog, OutputEnd::Maximum, -1);
          return 1;
        case res::kVoltMinUp:
          on_press(dialog, OutputEnd::Minimum, +1);
          return 1;
        case res::kVoltMinDown:
          on_press(dialog, OutputEnd::Minimum, -1);
          return 1;
        case res::kVoltDefault:
          on_default(dialog);
          return 1;
        case res::kVoltAccept:
        case res::kVoltCancel:
          end_output_adjustment();
          gui::end_dialog(&dialog, gui::command_id(m));
          return 1;
        default:
          return 0;
      }
    case gui::MessageKind::Close:
      // Closing by any way ends the adjustment, as CANCEL does.
      end_output_adjustment();
      gui::end_dialog(&dialog, gui::kDialogCancelled);
      return 1;
    default:
      return 0;
  }
}

std::string format_value(const char* format, double value, Leading leading) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return (leading == Leading::Space ? " " : "") + std::string(text);
}

}  // namespace

intptr_t open_output_voltage_dialog(gui::Window* owner) {
  res::register_diagnostics_dialog_templates();
  return gui::dialog_box(res::kOutputVoltageDialog, owner, &output_voltage_procedure);
}

OutputRange reported_output_range() {
  return {std::clamp<int>(link::mirror_byte(kOutputMaximum), kOutputMaximumLow, kOutputMaximumHigh),
          std::min<int>(link::mirror_byte(kOutputMinimum), kOutputMinimumHigh)};
}

void press_output(OutputRange& range, OutputEnd end, int direction) {
  if (end == OutputEnd::Maximum) {
    range.maximum = std::clamp(range.maximum + direction, kOutputMaximumLow, kOutputMaximumHigh);
    link::raise_write(PendingWrite::k236, {{kOutputMaximum, uint8_t(range.maximum)}});
  } else {
    range.minimum = std::clamp(range.minimum + direction, 0, kOutputMinimumHigh);
    link::raise_write(PendingWrite::k237, {{kOutputMinimum, uint8_t(range.minimum)}});
  }
  link::raise_write(
      PendingWrite::k238,
      {{link::kCommand, end == OutputEnd::Maximum ? kAdjustingMaximum : kAdjustingMinimum}});
}

void default_output_range(OutputRange& range) {
  range = OutputRange{kOutputMaximumHigh, 0};
  link::raise_write(PendingWrite::k236, {{kOutputMaximum, uint8_t(range.maximum)}});
  link::raise_write(PendingWrite::k237, {{kOutputMinimum, uint8_t(range.minimum)}});
}

void end_output_adjustment() {
  link::raise_write(PendingWrite::k238, {{link::kCommand, kAdjustmentDone}});
}

std::string output_percent_text(int value, Leading leading) {
  return format_value("%3.2f %%", value * 100.0 / kOutputFullScale, leading);
}

std::string output_volts_text(int value, Leading leading) {
  return format_value("~%3.1f V", value * 10.0 / kOutputFullScale, leading);
}

}  // namespace corvex::settings
