#include "settings/drying_mode_dialogs.h"

#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/drying_dialogs.h"
#include "settings/setup_dialogs.h"
#include "texts/help_text.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using link::desired_byte;
using link::mirror_byte;
using link::PendingWrite;
using link::set_desired_byte;

constexpr int kHelpTextLimit = 1999;

// Set by a set-up accepted while the drying mode selection is open under it.
bool g_close_mode_selection = false;

void show_mode_choice(gui::Window& dialog) {
  const bool continuous = desired_byte(link::kDryingMode) == link::kContinuousFlow;
  gui::Window* flow = gui::dialog_item(&dialog, res::kModeContinuous);
  gui::Window* batch = gui::dialog_item(&dialog, res::kModeStagedBatch);
  if (flow != nullptr && gui::button_checked(flow) != continuous)
    gui::button_set_check(flow, continuous);
  if (batch != nullptr && gui::button_checked(batch) == continuous)
    gui::button_set_check(batch, !continuous);
}

void show_mode_help(gui::Window& dialog) {
  std::string text;  // a missing file shows an empty box
  texts::read_help_text_utf8("DryingModeSelectionHelp.txt", kHelpTextLimit, text);
  gui::message_box(&dialog, text, texts::localized_text(358), gui::kMbOkCancel);
}

int mode_key_label(int id) {
  switch (id) {
    case res::kModeHelp:
      return 3;
    case res::kModeAccept:
      return 4;
    default:
      return 0;  // MOISTURE CONTROL SETUP has no string of its own
  }
}

void init_mode_dialog(gui::Window& dialog) {
  begin_drying_mode_selection();
  g_close_mode_selection = false;
  texts::set_localized_caption(&dialog, 5);
  localize_item_text(dialog, res::kModeContinuous, 1);
  localize_item_text(dialog, res::kModeStagedBatch, 2);
  if (!staged_batch_allowed())
    gui::enable_window(gui::dialog_item(&dialog, res::kModeStagedBatch), false);
  show_mode_choice(dialog);
}

intptr_t mode_command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kModeContinuous:
    case res::kModeStagedBatch:
      if (id == res::kModeStagedBatch && !staged_batch_allowed()) return 1;
      choose_drying_mode(id == res::kModeContinuous ? link::kContinuousFlow : link::kStagedBatch);
      show_mode_choice(dialog);
      return 1;
    case res::kModeHelp:
      show_mode_help(dialog);
      return 1;
    case res::kModeAccept:
      raise_changed_drying_mode();
      gui::end_dialog(&dialog, id);
      return 1;
    case res::kModeSetup:
      raise_changed_drying_mode();
      if (desired_byte(link::kDryingMode) == link::kContinuousFlow)
        open_continuous_flow_setup(&dialog);
      else
        open_staged_batch_setup(&dialog);
      if (g_close_mode_selection) gui::end_dialog(&dialog, id);
      return 1;
    default:
      return 0;
  }
}

intptr_t drying_mode_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      init_mode_dialog(dialog);
      return 1;
    case gui::MessageKind::DrawItem:
      draw_labelled_key(gui::draw_item_context(m), mode_key_label(gui::draw_item_context(m).id));
      return 1;
    case gui::MessageKind::Command:
      return mode_command(dialog, gui::command_id(m));
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_drying_mode_dialog(gui::Window* owner) {
  res::register_drying_dialog_templates();
  return gui::dialog_box(res::kDryingModeDialog, owner, &drying_mode_procedure);
}

intptr_t open_drying_setup_dialog(gui::Window* owner) {
  if (effective_byte(link::kDryingMode, PendingWrite::k8) == link::kContinuousFlow)
    return open_continuous_flow_setup(owner);
  return open_staged_batch_setup(owner);
}

void desire_current(uint16_t offset, uint16_t count, PendingWrite write) {
  if (!link::write_raised(write)) link::desire_reported(offset, count);
}

void desire_units_byte() {
  if (link::write_raised(PendingWrite::k266)) return;
  constexpr uint8_t kOneShotBits = 0x03;
  constexpr uint8_t kSiBit = 1u << link::kUnitsAndOptionsSiBit;
  uint8_t value = uint8_t(mirror_byte(link::kUnitsAndOptions) & ~kOneShotBits & ~kSiBit);
  if (link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0) value |= kSiBit;
  set_desired_byte(link::kUnitsAndOptions, value);
}

uint8_t effective_byte(uint16_t offset, PendingWrite write) {
  return link::write_raised(write) ? desired_byte(offset) : mirror_byte(offset);
}

void begin_drying_mode_selection() {
  desire_current(link::kDryingMode, 1, PendingWrite::k8);
  desire_current(link::kDryingCriteria, 1, PendingWrite::k257);
  desire_current(link::kMoistureOptions, 1, PendingWrite::k224);
  if (!staged_batch_allowed()) set_desired_byte(link::kDryingMode, link::kContinuousFlow);
}

bool staged_batch_allowed() {
  return !link::mirror_bit(link::kDryerType, link::kDryerTypeNumericBit);
}

void choose_drying_mode(uint8_t mode) {
  uint8_t criteria = desired_byte(link::kDryingCriteria);
  if (mode == link::kContinuousFlow) criteria &= uint8_t(~kCriteriaDualPlenum);
  criteria &= uint8_t(~kCriteriaLoadingOption);
  set_desired_byte(link::kDryingMode, mode);
  link::raise_write(PendingWrite::k187, {{link::kMoistureControlType, uint8_t(mode + 5)}});
  link::raise_write(PendingWrite::k257, {{link::kDryingCriteria, criteria}});
}

void raise_changed_drying_mode() {
  link::raise_write_if_changed(PendingWrite::k8, link::kDryingMode);
  link::raise_write_if_changed(PendingWrite::k257, link::kDryingCriteria);
  link::raise_write_if_changed(PendingWrite::k224, link::kMoistureOptions);
}

void close_drying_mode_selection() { g_close_mode_selection = true; }

}  // namespace corvex::settings
