#include "settings/burner_dialogs.h"

#include <cstdio>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/burner_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

constexpr int kFanHeaters = 6;
constexpr uint8_t kBurnerModeBits = 0x03;

// The record of a fan/heater's control byte and of a plenum's differential, by fan/heater
// (plenum) number 1..6.
constexpr PendingWrite kControlWrites[kFanHeaters] = {PendingWrite::k106, PendingWrite::k105,
                                                      PendingWrite::k104, PendingWrite::k103,
                                                      PendingWrite::k102, PendingWrite::k101};
constexpr PendingWrite kDifferentialWrites[kFanHeaters] = {
    PendingWrite::k100, PendingWrite::k99, PendingWrite::k98,
    PendingWrite::k97,  PendingWrite::k96, PendingWrite::k95};

// ---- Burner mode ----

std::array<BurnerChoice, kFanHeaters> g_choices{};

int mark_id(int fan_heater, BurnerChoice choice) {
  return res::kBurnerFirstMark + 3 * (fan_heater - 1) + int(choice);
}

void show_choices(gui::Window& dialog) {
  for (int n = 1; n <= kFanHeaters; ++n) {
    for (int k = 0; k < 3; ++k) {
      const bool checked = int(g_choices[size_t(n - 1)]) == k;
      gui::Window* mark = gui::dialog_item(&dialog, mark_id(n, BurnerChoice(k)));
      if (mark != nullptr && gui::button_checked(mark) != checked) gui::button_set_check(mark, checked);
    }
  }
}

int burner_key_label(int id) {
  if (id >= res::kBurnerFirstSelect && id < res::kBurnerFirstSelect + kFanHeaters) return 20;
  if (id >= res::kBurnerAllFirst && id < res::kBurnerAllFirst + 3)
    return 29 + id - res::kBurnerAllFirst;
  return id == res::kBurnerAccept ? 4 : 10;
}

intptr_t burner_mode_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      for (int n = 1; n <= kFanHeaters; ++n) {
        const uint16_t offset = link::fan_control(n);
        link::desire_reported(offset);
        g_choices[size_t(n - 1)] = burner_choice(link::desired_byte(offset));
        localize_item_text(dialog, res::kBurnerFirstCaption + n - 1, 22 + n);
        for (int k = 0; k < 3; ++k) localize_item_text(dialog, mark_id(n, BurnerChoice(k)), 32 + k);
      }
      texts::set_localized_caption(&dialog, 22);
      show_choices(dialog);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, burner_key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (id >= res::kBurnerFirstSelect && id < res::kBurnerFirstSelect + kFanHeaters) {
        BurnerChoice& c = g_choices[size_t(id - res::kBurnerFirstSelect)];
        c = next_burner_choice(c);
        show_choices(dialog);
        return 1;
      }
      if (id >= res::kBurnerAllFirst && id < res::kBurnerAllFirst + 3) {
        g_choices.fill(BurnerChoice(id - res::kBurnerAllFirst));
        show_choices(dialog);
        return 1;
      }
      if (id == res::kBurnerAccept) {
        accept_burner_choices(g_choices);
        gui::end_dialog(&dialog, id);
        return 1;
      }
      if (id == res::kBurnerCancel) {
        gui::end_dialog(&dialog, id);
        return 1;
      }
      // A tap on a mark itself changes nothing: the SELECT buttons choose.
      if (id >= res::kBurnerFirstMark && id < res::kBurnerFirstMark + 3 * kFanHeaters) {
        show_choices(dialog);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

// ---- Burner differential ----

struct DifferentialState {
  int plenum = 1;
};
DifferentialState g_diff;

constexpr int kPlenumButtons[kFanHeaters] = {res::kDiffPlenum1, res::kDiffPlenum2,
                                             res::kDiffPlenum3, res::kDiffPlenum4,
                                             res::kDiffPlenum5, res::kDiffPlenum6};
constexpr platform::FontSpec kValueFont{15, 700};

int plenum_of_button(int id) {
  for (int n = 1; n <= kFanHeaters; ++n)
    if (kPlenumButtons[n - 1] == id) return n;
  return 0;
}

void paint_differentials(const gui::PaintContext& pc) {
  for (int n = 1; n <= kFanHeaters; ++n) {
    const int x = n > 3 ? 197 : 15;
    static constexpr int kRowTop[3] = {205, 112, 20};  // plenums 1 and 4 at the bottom
    const int y = kRowTop[(n - 1) % 3];
    const platform::Color color = n == g_diff.plenum ? platform::colors::kRed : platform::colors::kBlue;
    pc.canvas->draw_text(differential_line(n, link::desired_byte(link::differential(n))),
                         platform::Rect::from_xywh(x, y, 180, 22), kValueFont, color);
  }
}

void show_differential_help(gui::Window& dialog) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8("PlenumDiffHelp.txt", 1999, text);
  gui::message_box(&dialog, text, texts::localized_text(364), gui::kMbOkCancel);
}

int differential_key_label(int id) {
  if (const int n = plenum_of_button(id)) return 92 - n;
  if (id <= res::kDiffOneDegree && id > res::kDiffOneDegree - 5) return 92 + res::kDiffOneDegree - id;
  return id == res::kDiffHelp ? 3 : 4;
}

intptr_t burner_differential_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      link::desire_reported(link::differential(6), kFanHeaters);
      g_diff = DifferentialState{};
      texts::set_localized_caption(&dialog, 85);
      return 1;
    case gui::MessageKind::Paint:
      paint_differentials(gui::paint_context(m));
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, differential_key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (const int n = plenum_of_button(id)) {
        g_diff.plenum = n;
        gui::invalidate(&dialog);
        return 1;
      }
      if (id <= res::kDiffOneDegree && id > res::kDiffOneDegree - 5) {
        // Stored at once rather than at the next paint, so that an ACCEPT pressed before the
        // dialog was repainted still sends the chosen differential.
        link::set_desired_byte(link::differential(g_diff.plenum),
                               uint8_t(res::kDiffOneDegree + 1 - id));
        gui::invalidate(&dialog);
        return 1;
      }
      if (id == res::kDiffHelp) {
        show_differential_help(dialog);
        return 1;
      }
      if (id == res::kDiffAccept) {
        accept_burner_differentials();
        gui::end_dialog(&dialog, id);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_burner_mode_dialog(gui::Window* owner) {
  res::register_burner_dialog_templates();
  return gui::dialog_box(res::kBurnerModeDialog, owner, &burner_mode_procedure);
}

intptr_t open_burner_differential_dialog(gui::Window* owner) {
  res::register_burner_dialog_templates();
  return gui::dialog_box(res::kBurnerDifferentialDialog, owner, &burner_differential_procedure);
}

BurnerChoice burner_choice(uint8_t control_byte) {
  switch (control_byte & kBurnerModeBits) {
    case 0: return BurnerChoice::First;
    case 1: return BurnerChoice::Second;
    case 3: return BurnerChoice::Third;
    default: return BurnerChoice::None;
  }
}

uint8_t with_burner_choice(uint8_t control_byte, BurnerChoice choice) {
  static constexpr uint8_t kCodes[] = {0, 1, 3};
  const uint8_t code = choice == BurnerChoice::None ? 0 : kCodes[int(choice)];
  return uint8_t((control_byte & ~kBurnerModeBits) | code);
}

BurnerChoice next_burner_choice(BurnerChoice choice) {
  switch (choice) {
    case BurnerChoice::First: return BurnerChoice::Second;
    case BurnerChoice::Second: return BurnerChoice::Third;
    case BurnerChoice::Third: return BurnerChoice::First;
    default: return BurnerChoice::None;
  }
}

void accept_burner_choices(const std::array<BurnerChoice, 6>& choices) {
  for (int n = 1; n <= kFanHeaters; ++n) {
    const uint16_t offset = link::fan_control(n);
    const uint8_t value = with_burner_choice(link::desired_byte(offset), choices[size_t(n - 1)]);
    if (value != link::mirror_byte(offset))
      link::raise_write(kControlWrites[n - 1], {{offset, value}});
  }
}

void accept_burner_differentials() {
  for (int n = 1; n <= kFanHeaters; ++n) {
    link::raise_write_if_changed(kDifferentialWrites[n - 1], link::differential(n));
  }
}

std::string differential_line(int plenum, uint8_t value) {
  char line[160];
  std::snprintf(line, sizeof line, "%s: %3d \xC2\xB0" "F ", texts::localized_text(92 - plenum).c_str(),
                int(value));
  return line;
}

}  // namespace corvex::settings
