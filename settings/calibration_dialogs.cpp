#include "settings/calibration_dialogs.h"

#include <cstdio>
#include <cstdlib>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/hold_repeat.h"
#include "platform/gui/message_box.h"
#include "resources/calibration_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

struct OffsetControls {
  uint16_t offset;  // status offset and parameter number
  int limit;        // the range is -limit..+limit tenths
  PendingWrite write;
  int label;
  int label_string;
  int value;
  int up;
  int down;
};

// Indexed by SensorOffset.
constexpr OffsetControls kOffsets[kSensorOffsetCount] = {
    {234, 200, PendingWrite::k234, res::kCalWetMoistLabel, 40, res::kCalWetMoistValue,
     res::kCalWetMoistUp, res::kCalWetMoistDown},
    {232, 200, PendingWrite::k232, res::kCalDryMoistLabel, 41, res::kCalDryMoistValue,
     res::kCalDryMoistUp, res::kCalDryMoistDown},
    {241, 100, PendingWrite::k241, res::kCalDryTempLabel, 43, res::kCalDryTempValue,
     res::kCalDryTempUp, res::kCalDryTempDown},
    {243, 100, PendingWrite::k243, res::kCalWetTempLabel, 42, res::kCalWetTempValue,
     res::kCalWetTempUp, res::kCalWetTempDown},
};

constexpr platform::Color kHeadingColor = platform::colors::kBlack;
constexpr platform::Color kValueColor = platform::rgb(0, 0, 100);

const OffsetControls& controls_of(SensorOffset which) { return kOffsets[int(which)]; }

void show_offsets(gui::Window& dialog) {
  for (const OffsetControls& c : kOffsets) {
    const std::string text = offset_text(int16_t(link::desired_hi_lo(c.offset)));
    gui::Window* item = gui::dialog_item(&dialog, c.value);
    if (item != nullptr && item->text() != text) gui::set_window_text(item, text);
  }
}

// The readings of both sensors, in rows of 25 pixels: heading, moisture, grain temperature.
void paint_readings(platform::Canvas& canvas) {
  struct Sensor {
    int heading;
    uint16_t moisture;
    uint16_t temperature;
  };
  static constexpr Sensor kSensors[] = {{36, link::kMoistureIn, link::kGrainTempIn},
                                        {37, link::kMoistureOut, link::kGrainTempOut}};
  const std::string moisture_label = texts::localized_text(38);
  const std::string temperature_label = texts::localized_text(39);
  int y = res::kCalReadingsOrigin.y;
  auto row = [&](const std::string& text, platform::Color color, int indent) {
    canvas.draw_text(
        text,
        platform::Rect::from_xywh(res::kCalReadingsOrigin.x + indent, y,
                                  res::kCalReadingsWidth - indent, res::kCalReadingRow),
        res::kCalReadingFont, color, platform::text_format::kSingleLine);
    y += res::kCalReadingRow;
  };
  for (const Sensor& s : kSensors) {
    row(texts::localized_text(s.heading), kHeadingColor, 0);
    row(moisture_reading(moisture_label, link::mirror_hi_lo(s.moisture)), kValueColor, 20);
    row(temperature_reading(temperature_label, int16_t(link::mirror_hi_lo(s.temperature))),
        kValueColor, 20);
  }
}

void localize(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, 35);
  for (const OffsetControls& c : kOffsets) localize_item_text(dialog, c.label, c.label_string);
}

int key_label(int id) {
  if (id == res::kCalHelp) return 3;
  if (id == res::kCalAccept) return 4;
  return 0;  // ">>>" and "<<<" say what they are in every language
}

void show_help(gui::Window& dialog) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8("MoistSensorCalibHelp.txt", 1999, text);
  gui::message_box(&dialog, text, texts::localized_text(362), gui::kMbOkCancel);
}

void close(gui::Window& dialog, intptr_t result) {
  link::register_redraw_window(link::RedrawTarget::MoistureSensorCalibration, nullptr);
  gui::end_dialog(&dialog, result);
}

bool step_by_button(gui::Window& dialog, int id) {
  for (int k = 0; k < kSensorOffsetCount; ++k) {
    const OffsetControls& c = kOffsets[k];
    if (id != c.up && id != c.down) continue;
    if (step_calibration_offset(SensorOffset(k), id == c.up ? 1 : -1)) show_offsets(dialog);
    return true;
  }
  return false;
}

intptr_t moisture_calibration_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      start_moisture_calibration();
      link::register_redraw_window(link::RedrawTarget::MoistureSensorCalibration, &dialog);
      for (const OffsetControls& c : kOffsets) {
        gui::set_hold_repeat(gui::dialog_item(&dialog, c.up), true);
        gui::set_hold_repeat(gui::dialog_item(&dialog, c.down), true);
      }
      localize(dialog);
      show_offsets(dialog);
      return 1;
    case gui::MessageKind::Paint:
      paint_readings(*gui::paint_context(m).canvas);
      return 1;
    case gui::MessageKind::DrawItem:
      draw_labelled_key(gui::draw_item_context(m), key_label(gui::draw_item_context(m).id));
      return 1;
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (step_by_button(dialog, id)) return 1;
      if (id == res::kCalHelp) {
        show_help(dialog);
        return 1;
      }
      if (id == res::kCalAccept) {
        accept_moisture_calibration();
        close(dialog, id);
        return 1;
      }
      return 0;
    }
    case gui::MessageKind::Close:
      close(dialog, gui::kDialogCancelled);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_moisture_calibration_dialog(gui::Window* owner) {
  res::register_calibration_dialog_templates();
  return gui::dialog_box(res::kMoistureCalibrationDialog, owner, &moisture_calibration_procedure);
}

void start_moisture_calibration() {
  for (const OffsetControls& c : kOffsets) link::desire_reported(c.offset, 2);
}

int calibration_offset(SensorOffset which) {
  return int16_t(link::desired_hi_lo(controls_of(which).offset));
}

bool step_calibration_offset(SensorOffset which, int delta) {
  const OffsetControls& c = controls_of(which);
  const int value = calibration_offset(which);
  // A value the controller reports outside the range only moves back towards it.
  if ((delta > 0 && value >= c.limit) || (delta < 0 && value <= -c.limit)) return false;
  link::set_desired_hi_lo(c.offset, uint16_t(int16_t(value + delta)));
  return true;
}

void accept_moisture_calibration() {
  for (const OffsetControls& c : kOffsets) link::raise_write_if_changed(c.write, c.offset, 2);
}

std::string offset_text(int tenths) {
  char text[16];
  std::snprintf(text, sizeof text, "%3.1f", tenths * 0.1);
  return text;
}

std::string moisture_reading(const std::string& label, uint16_t tenths) {
  char text[160];
  std::snprintf(text, sizeof text, "%s:  %2d.%1d %%", label.c_str(), tenths / 10, tenths % 10);
  return text;
}

// A temperature below zero keeps its sign in front and both parts positive ("-0.5", not
// "0.-5").
std::string temperature_reading(const std::string& label, int16_t tenths) {
  const int magnitude = std::abs(int(tenths));
  char text[160];
  std::snprintf(text, sizeof text, "%s: %s%d.%1d F", label.c_str(), tenths < 0 ? "-" : "",
                magnitude / 10, magnitude % 10);
  return text;
}

}  // namespace corvex::settings
