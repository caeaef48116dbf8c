#include "settings/hardware_setup.h"

#include <cstdio>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/setup_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::PendingWrite;

constexpr int kNotUsedString = 147;
constexpr int kModelGroupString = 191;
constexpr int kFanHeaterGroupString = 192;
constexpr uint8_t kSelectedBit = 0x80;    // bit 7 of bytes 279 and 293
constexpr uint8_t kDualPlenumBit = 0x02;  // bit 1 of byte 257

constexpr const char* kFeetLabels[res::kHwLengthChoices] = {
    "8 ft",  "10 ft", "12 ft", "14 ft", "16 ft", "18 ft", "20 ft", "22 ft",
    "24 ft", "26 ft", "28 ft", "34 ft", "36 ft", "38 ft", "40 ft"};
constexpr const char* kNumericModels[11] = {"TD01, TD02", "TD03, TD04", "TD05, TD06", "TD07",
                                            "TD08, TD09", "TD10",       "TD11",       "TD12, TD13",
                                            "TD14, TD15", "TD16, TD17", "TD18"};
constexpr int kMixedFlowModels = 12;
// The KM categories of the modules group, by modules value.
constexpr const char* kKmCategories[res::kHwModulesChoices] = {"KM01, KM04", "All other KM models",
                                                               "KM07, KM10, KM11, KM12"};

link::DryerState& state() { return link::dryer_state(); }
using link::desired_byte;
using link::kAutoStart;
using link::kFanHeaterCode;
using link::kFuel;
using link::kLengthIndex;
using link::kLoadSystem;
using link::kModules;
using link::kSamplerOptions;
using link::set_desired_byte;
uint8_t dryer_type() { return link::mirror_byte(link::kDryerType); }

// ---- The dialog ----

void set_item_text(gui::Window& dialog, int id, const char* text) {
  gui::set_dialog_item_text(&dialog, id, text);
}

void show_item(gui::Window& dialog, int id, bool show) {
  gui::Window* item = gui::dialog_item(&dialog, id);
  if (item != nullptr && item->is_shown() != show) gui::show_window(item, show);
}

void show_group(gui::Window& dialog, int group_id, int first_id, int count, int select_id,
                bool show) {
  show_item(dialog, group_id, show);
  for (int i = 0; i < count; ++i) show_item(dialog, first_id + i, show);
  show_item(dialog, select_id, show);
}

// The radio buttons of a group show its desired value; a value outside the list checks none.
void show_choice(gui::Window& dialog, int first_id, int count, uint8_t value) {
  for (int i = 0; i < count; ++i) {
    gui::Window* b = gui::dialog_item(&dialog, first_id + i);
    if (b != nullptr && gui::button_checked(b) != (i == value))
      gui::button_set_check(b, i == value);
  }
}

void show_check(gui::Window& dialog, int id, bool checked) {
  gui::Window* b = gui::dialog_item(&dialog, id);
  if (b != nullptr && gui::button_checked(b) != checked) gui::button_set_check(b, checked);
}

void show_values(gui::Window& dialog) {
  show_choice(dialog, res::kHwFanFirst, res::kHwFanChoices, desired_byte(kFanHeaterCode));
  show_choice(dialog, res::kHwModulesFirst, res::kHwModulesChoices, desired_byte(kModules));
  show_choice(dialog, res::kHwFuelFirst, res::kHwFuelChoices, desired_byte(kFuel));
  show_choice(dialog, res::kHwLoadFirst, res::kHwLoadChoices, desired_byte(kLoadSystem));
  show_choice(dialog, res::kHwLengthFirst, res::kHwLengthChoices, desired_byte(kLengthIndex));
  show_check(dialog, res::kHwGrainInverter, (desired_byte(kAutoStart) & kSelectedBit) != 0);
  show_check(dialog, res::kHwCycledSampler, (desired_byte(kSamplerOptions) & kSelectedBit) != 0);
  set_item_text(dialog, res::kHwMeterRoll,
                meter_roll_is_4_inch() ? "Meter Roll Size: 4 inch" : "Meter Roll Size: 7 inch");
}

// Labels and groups for the dryer family.
void lay_out_for_family(gui::Window& dialog) {
  const DryerFamily family = dryer_family(dryer_type());
  for (int i = 0; i < res::kHwLengthChoices; ++i) {
    texts::StringBuffer label;
    length_label(family, i, label);
    set_item_text(dialog, res::kHwLengthFirst + i, label.data());
    show_item(dialog, res::kHwLengthFirst + i,
              family != DryerFamily::MixedFlow || i < kMixedFlowModels);
  }
  if (family == DryerFamily::NumericModel) {
    localize_item_text(dialog, res::kHwLengthGroup, kModelGroupString);
    localize_item_text(dialog, res::kHwFanGroup, kFanHeaterGroupString);
  }
  const bool mixed_flow = family == DryerFamily::MixedFlow;
  if (mixed_flow) {
    set_item_text(dialog, res::kHwModulesGroup, "Select KM dryer category");
    for (int i = 0; i < res::kHwModulesChoices; ++i) {
      set_item_text(dialog, res::kHwModulesFirst + i, kKmCategories[i]);
    }
    set_item_text(dialog, res::kHwLengthGroup, "Mixed Flow Models");
  }
  show_group(dialog, res::kHwFuelGroup, res::kHwFuelFirst, res::kHwFuelChoices, res::kHwFuelSelect,
             !mixed_flow);
  show_group(dialog, res::kHwLoadGroup, res::kHwLoadFirst, res::kHwLoadChoices, res::kHwLoadSelect,
             !mixed_flow);
}

void on_cycled_sampler(gui::Window& dialog) {
  const uint8_t value = desired_byte(kSamplerOptions);
  if (value & kSelectedBit) {
    set_desired_byte(kSamplerOptions, uint8_t(value & ~kSelectedBit));
  } else {
    const intptr_t answer = ask_cycled_sampler(&dialog);
    if (answer == res::kQuestionYes)
      set_desired_byte(kSamplerOptions, uint8_t(desired_byte(kSamplerOptions) | kSelectedBit));
    if (answer == res::kQuestionNo)
      set_desired_byte(kSamplerOptions, uint8_t(desired_byte(kSamplerOptions) & ~kSelectedBit));
  }
  gui::invalidate(&dialog);
}

bool on_command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kHwModulesSelect: {
      const uint8_t modules = next_modules(desired_byte(kModules));
      set_desired_byte(kModules, modules);
      set_desired_byte(kFanHeaterCode, fan_heaters_for_modules(modules));
      break;
    }
    case res::kHwFanSelect:
      set_desired_byte(kFanHeaterCode, next_fan_heaters(dryer_type(), desired_byte(kModules),
                                                        desired_byte(kFanHeaterCode)));
      break;
    case res::kHwFuelSelect:
      set_desired_byte(kFuel, next_fuel(desired_byte(kFuel)));
      break;
    case res::kHwLoadSelect:
      set_desired_byte(kLoadSystem, next_load_system(desired_byte(kLoadSystem)));
      break;
    case res::kHwLengthSelect:
      set_desired_byte(kLengthIndex, next_length(dryer_type(), desired_byte(kLengthIndex)));
      // The cycled-sampler byte goes out again with every length step.
      link::raise_write(PendingWrite::k293);
      break;
    case res::kHwGrainInverter:
      set_desired_byte(kAutoStart, uint8_t(desired_byte(kAutoStart) ^ kSelectedBit));
      break;
    case res::kHwCycledSampler:
      on_cycled_sampler(dialog);
      break;
    case res::kHwSensorSetup:
      open_sensor_selection_dialog(&dialog);
      break;
    case res::kHwAcceptExit:
      accept_hardware_setup();
      gui::end_dialog(&dialog, res::kHwAcceptExit);
      return true;
    default:
      return false;
  }
  show_values(dialog);
  return true;
}

intptr_t hardware_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      load_hardware_desired();
      lay_out_for_family(dialog);
      show_values(dialog);
      return 1;
    case gui::MessageKind::Paint:
      show_values(dialog);
      return 0;
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m)) ? 1 : 0;
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_hardware_setup_dialog(gui::Window* owner) {
  res::register_setup_dialog_templates();
  return gui::dialog_box(res::kHardwareSetupDialog, owner, &hardware_procedure);
}

DryerFamily dryer_family(uint8_t type) {
  switch (type >> 4) {
    case 0x2:
      return DryerFamily::NumericModel;
    case 0x4:
      return DryerFamily::MixedFlow;
    case 0x8:
      return DryerFamily::Feet;
    default:
      return DryerFamily::Plain;
  }
}

uint8_t next_modules(uint8_t modules) { return modules >= 2 ? 0 : uint8_t(modules + 1); }

uint8_t fan_heaters_for_modules(uint8_t modules) {
  return modules == 0 ? kFanHeatersThree : kFanHeatersFour;
}

uint8_t next_fan_heaters(uint8_t type, uint8_t modules, uint8_t fan_heaters) {
  if (type >> link::kDryerTypeNumericBit & 1)
    return fan_heaters != kFanHeatersOne ? kFanHeatersOne : kFanHeatersThree;
  if (type >> link::kDryerTypeMixedFlowBit & 1)
    return modules == 0 ? kFanHeatersThree : kFanHeatersFour;
  switch (modules) {
    case 0:
      return fan_heaters < kFanHeatersThree ? uint8_t(fan_heaters + 1) : kFanHeatersOne;
    case 1:
      return fan_heaters == kFanHeatersThree ? kFanHeatersFour : kFanHeatersThree;
    case 2:
      return fan_heaters == kFanHeatersFour ? kFanHeatersSix : kFanHeatersFour;
    default:
      return fan_heaters;
  }
}

uint8_t next_fuel(uint8_t fuel) { return fuel >= 3 ? 0 : uint8_t(fuel + 1); }
uint8_t next_load_system(uint8_t load) { return load >= 2 ? 0 : uint8_t(load + 1); }

uint8_t next_length(uint8_t type, uint8_t length) {
  const bool short_list = type == 32 || type == 33 || type == 34 || type == 64;
  const uint8_t last = short_list ? 11 : 14;
  return length >= last ? 0 : uint8_t(length + 1);
}

void length_label(DryerFamily family, int index, std::span<char> out) {
  if (out.empty()) return;
  out[0] = '\0';
  if (index < 0 || index >= res::kHwLengthChoices) return;
  switch (family) {
    case DryerFamily::MixedFlow:
      if (index < kMixedFlowModels) std::snprintf(out.data(), out.size(), "KM%02d", index + 1);
      return;
    case DryerFamily::NumericModel:
      if (index < int(std::size(kNumericModels))) {
        std::snprintf(out.data(), out.size(), "%s", kNumericModels[index]);
      } else {
        texts::localized_string(kNotUsedString, out);
      }
      return;
    default:
      std::snprintf(out.data(), out.size(), "%s", kFeetLabels[index]);
      return;
  }
}

bool meter_roll_is_4_inch() {
  return link::mirror_bit(link::kControlSwitches, link::kControlSwitchesManualBit) &&
         dryer_family(dryer_type()) != DryerFamily::MixedFlow;
}

void load_hardware_desired() {
  link::desire_reported(kFanHeaterCode, kLengthIndex - kFanHeaterCode + 1);
  link::desire_reported(kAutoStart);
  link::desire_reported(kSamplerOptions);
}

void accept_hardware_setup() {
  // The status picture is redrawn a little later, once the controller has taken the change.
  state().delayed_redraw.store(1, std::memory_order_relaxed);
  if (desired_byte(kFanHeaterCode) != kFanHeatersOne) {
    link::raise_write(PendingWrite::k257,
                      {{link::kDryingCriteria,
                        uint8_t(link::mirror_byte(link::kDryingCriteria) & ~kDualPlenumBit)}});
  }
  link::raise_write_if_changed(PendingWrite::k3, kFanHeaterCode);
  link::raise_write_if_changed(PendingWrite::k4, kModules);
  link::raise_write_if_changed(PendingWrite::k5, kFuel);
  link::raise_write_if_changed(PendingWrite::k6, kLoadSystem);
  link::raise_write_if_changed(PendingWrite::k7, kLengthIndex);
  link::raise_write_if_changed(PendingWrite::k293, kSamplerOptions);
  link::raise_write_if_changed(PendingWrite::k279, kAutoStart);
}

}  // namespace corvex::settings
