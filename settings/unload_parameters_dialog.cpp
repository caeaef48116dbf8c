#include "settings/unload_parameters_dialog.h"

#include <cstdio>

#include "diagnostics/format.h"
#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/hold_repeat.h"
#include "platform/gui/message_box.h"
#include "resources/unload_dialogs.h"
#include "settings/hardware_setup.h"
#include "settings/setup_dialogs.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;
using platform::Rect;

constexpr uint16_t kMaximumRate = 206;  // hi/lo, percent
constexpr uint16_t kMinimumRate = 208;  // hi/lo, percent
constexpr int kHighestRate = 100;
constexpr int kLowestMaximum = 0;
constexpr int kLowestMinimum = 5;
constexpr int kCaptionString = 6;
constexpr int kHelpCaptionString = 360;
constexpr size_t kHelpCapacity = 1999;

constexpr char kQuestionCaption[] = " ERROR SETTING MAX / MIN UNLOAD RATES";
constexpr char kLiveQuestion[] =
    "The MAXIMUM unload rate must be greater than MINIMUM unload rate.  Set defaults?.";
// Eleven tabs at each of the two places.
constexpr char kAcceptQuestion[] =
    "The MAXIMUM unload rate must be greater than MINIMUM unload rate.  "
    "\t\t\t\t\t\t\t\t\t\t\tSet defaults?  Pressing YES will set defaults (Hi = 80% and Low = 5%).  "
    " "
    "\t\t\t\t\t\t\t\t\t\t\tPressing NO will not change the previous settings.";

constexpr platform::FontSpec kHeadingFont{17, 700};
constexpr platform::FontSpec kPercentFont{48, 900};
constexpr platform::FontSpec kBushelFont{22, 700};
constexpr platform::FontSpec kNoteFont{16, 400};
constexpr platform::Color kValueColor = platform::rgb(0, 0, 139);

// Band of the numeric-model family's length (model) index: 3000, 4000, 6400, 7000, 8000 BPH.
constexpr int numeric_capacity(int length_index) {
  if (length_index <= 3) return 3000;
  if (length_index <= 5) return 4000;
  if (length_index == 6) return 6400;
  if (length_index <= 8) return 7000;
  return 8000;
}
constexpr bool numeric_family(uint8_t dryer_type) { return (dryer_type & 0x20) != 0; }

UnloadRates g_rates;
bool g_warning_shown = false;  // process-wide, never cleared by the dialog

int key_label(int id) {
  switch (id) {
    case res::kUnloadMaxIncrease:
    case res::kUnloadMinIncrease:
      return 8;
    case res::kUnloadMaxDecrease:
    case res::kUnloadMinDecrease:
      return 9;
    case res::kUnloadHelp:
      return 3;
    case res::kUnloadAccept:
      return 4;
    default:
      return 10;
  }
}

double current_capacity() {
  return unload_capacity(link::mirror_byte(link::kDryerType), link::mirror_byte(link::kLengthIndex),
                         !meter_roll_is_4_inch());
}

void paint_column(platform::Canvas& c, int column, const char* heading, int percent,
                  double capacity) {
  const int left = res::kUnloadColumnLeft[column];
  const int top = res::kUnloadValuesTop;
  const unsigned centred = platform::text_format::kCenter | platform::text_format::kSingleLine;
  c.draw_text(heading, Rect::from_xywh(left, top, res::kUnloadColumnWidth, 26), kHeadingFont,
              platform::colors::kBlack, centred);
  char text[32];
  std::snprintf(text, sizeof text, "%d %%", percent);
  c.draw_text(text, Rect::from_xywh(left, top + 30, res::kUnloadColumnWidth, 60), kPercentFont,
              kValueColor, centred);
  const std::string bph = unload_bph_text(percent, capacity) + " BPH*";
  c.draw_text(bph, Rect::from_xywh(left, top + 96, res::kUnloadColumnWidth, 32), kBushelFont,
              kValueColor, centred);
}

void paint(platform::Canvas& c) {
  const double capacity = current_capacity();
  paint_column(c, 0, "MAXIMUM UNLOAD RATE", g_rates.maximum, capacity);
  paint_column(c, 1, "MINIMUM UNLOAD RATE", g_rates.minimum, capacity);
  const std::string note = unload_capacity_note(link::mirror_byte(link::kDryerType),
                                                link::mirror_byte(link::kLengthIndex));
  c.draw_text(note, Rect::from_xywh(20, res::kUnloadNoteTop, 594, 60), kNoteFont,
              platform::colors::kBlack,
              platform::text_format::kCenter | platform::text_format::kWordBreak);
}

// Stepping the rates until the minimum reaches the maximum offers the defaults, once a run.
void offer_defaults_once(gui::Window& dialog) {
  if (g_rates.minimum < g_rates.maximum || g_warning_shown) return;
  g_warning_shown = true;
  if (gui::message_box(&dialog, kLiveQuestion, kQuestionCaption,
                       gui::kMbYesNo | gui::kMbIconStop) == gui::kIdYes)
    g_rates = kDefaultUnloadRates;
}

void raise_rate(PendingWrite w, uint16_t offset, int percent) {
  const uint16_t value = uint16_t(percent);
  if (value != link::mirror_hi_lo(offset)) link::raise_write_hi_lo(w, offset, value);
}

void on_accept(gui::Window& dialog) {
  if (g_rates.minimum >= g_rates.maximum) {
    g_warning_shown = true;
    if (gui::message_box(&dialog, kAcceptQuestion, kQuestionCaption,
                         gui::kMbYesNo | gui::kMbIconStop) != gui::kIdYes) {
      gui::end_dialog(&dialog, res::kUnloadCancel);
      return;
    }
    g_rates = kDefaultUnloadRates;
  }
  raise_rate(PendingWrite::k206, kMaximumRate, g_rates.maximum);
  raise_rate(PendingWrite::k208, kMinimumRate, g_rates.minimum);
  gui::end_dialog(&dialog, res::kUnloadAccept);
}

void show_help(gui::Window& dialog) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8("McExtendedSetupHelp.txt", kHelpCapacity, text);
  gui::message_box(&dialog, text, texts::localized_text(kHelpCaptionString), gui::kMbOkCancel);
}

bool on_command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kUnloadMaxIncrease:
      g_rates.maximum = increase_unload_maximum(g_rates.maximum);
      break;
    case res::kUnloadMinDecrease:
      g_rates.minimum = decrease_unload_minimum(g_rates.minimum);
      break;
    case res::kUnloadMaxDecrease:
      g_rates.maximum = decrease_unload_maximum(g_rates.maximum);
      offer_defaults_once(dialog);
      break;
    case res::kUnloadMinIncrease:
      g_rates.minimum = increase_unload_minimum(g_rates.minimum);
      offer_defaults_once(dialog);
      break;
    case res::kUnloadHelp:
      show_help(dialog);
      return true;
    case res::kUnloadAccept:
      on_accept(dialog);
      return true;
    case res::kUnloadCancel:
      gui::end_dialog(&dialog, id);
      return true;
    default:
      return false;
  }
  gui::invalidate(&dialog);
  return true;
}

intptr_t unload_parameters_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      // Both rates are 16-bit values with the high byte first: the percentage is in the second
      // byte, so the whole value is read, never the high byte alone.
      g_rates = {link::mirror_hi_lo(kMaximumRate), link::mirror_hi_lo(kMinimumRate)};
      texts::set_localized_caption(&dialog, kCaptionString);
      for (int id : {res::kUnloadMaxIncrease, res::kUnloadMaxDecrease, res::kUnloadMinIncrease,
                     res::kUnloadMinDecrease}) {
        if (gui::Window* w = gui::dialog_item(&dialog, id)) gui::set_hold_repeat(w, true);
      }
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

intptr_t open_unload_parameters_dialog(gui::Window* owner) {
  res::register_unload_dialog_templates();
  return gui::dialog_box(res::kUnloadParametersDialog, owner, &unload_parameters_procedure);
}

int increase_unload_maximum(int maximum) { return maximum < kHighestRate ? maximum + 1 : maximum; }
int decrease_unload_maximum(int maximum) {
  return maximum > kLowestMaximum ? maximum - 1 : maximum;
}
int increase_unload_minimum(int minimum) { return minimum < kHighestRate ? minimum + 1 : minimum; }
int decrease_unload_minimum(int minimum) {
  return minimum > kLowestMinimum ? minimum - 1 : minimum;
}

double unload_capacity(uint8_t dryer_type, uint8_t length_index, bool seven_inch_roll) {
  if (numeric_family(dryer_type)) return numeric_capacity(length_index);
  const double per_foot = seven_inch_roll ? 140.62021 : 129.6;
  return diagnostics::dryer_length_feet(length_index) * per_foot;
}

std::string unload_bph_text(int percent, double capacity) {
  char text[32];
  std::snprintf(text, sizeof text, "%0.0f", percent * 0.01 * capacity);
  return text;
}

std::string unload_capacity_note(uint8_t dryer_type, uint8_t length_index) {
  char text[64];
  if (dryer_type >= 0x80) {
    std::snprintf(text, sizeof text, "*Based upon %dft dryer @ 17.5 RPM.",
                  diagnostics::dryer_length_feet(length_index));
    return text;
  }
  if (numeric_family(dryer_type)) {
    std::snprintf(text, sizeof text, "*Based upon %d BPH capacity.",
                  numeric_capacity(length_index));
    return text;
  }
  return {};
}

bool unload_rate_warning_shown() { return g_warning_shown; }
void forget_unload_rate_warning() { g_warning_shown = false; }

}  // namespace corvex::settings
