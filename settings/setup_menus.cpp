#include "settings/setup_menus.h"

#include <string>

#include "link/link_hooks.h"
#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "logging/log_tick.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/window_classes.h"
#include "settings/auto_start.h"
#include "settings/burner_dialogs.h"
#include "settings/calibration_dialogs.h"
#include "settings/diagnostics_dialog.h"
#include "settings/drying_mode_dialogs.h"
#include "settings/hardware_setup.h"
#include "settings/plenum_manager_dialog.h"
#include "settings/setup_dialogs.h"
#include "settings/time_date_dialog.h"
#include "settings/unload_parameters_dialog.h"
#include "settings/screen_hooks.h"
#include "texts/localized_bitmaps.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr int kSetupCaptionString = 461;
constexpr int kExtendedCaptionString = 470;
constexpr int kColumnX[3] = {10, 222, 440};
constexpr int kFirstRowY = 40;
constexpr int kRowPitch = 80;
constexpr int kMenuButtonWidth = 175;
constexpr int kMenuButtonHeight = 50;
constexpr int kExitBitmap = 41;    // SCREEN_EXIT_BUTTON, 158 x 41
constexpr int kLanguageSide = 50;  // the language button is a small square
constexpr char kLanguageButtonText[] = "LANGUAGE";

struct MenuButton {
  int id;
  int bitmap;  // localized bitmap index, 0 for a button drawn without one
  int column;  // 0..2
  int row;     // 0..3
};

constexpr MenuButton kSetupButtons[] = {
    {kSetupDryingModeButton, 23, 0, 0},         {kSetupDryingSetupButton, 24, 0, 1},
    {kSetupAutoStartButton, 73, 0, 2},          {kSetupUnloadParametersButton, 25, 1, 0},
    {kSetupTemperatureManagerButton, 26, 1, 1}, {kSetupBurnerModeButton, 27, 1, 2},
    {kSetupCalibrationButton, 28, 2, 0},        {kSetupExtendedButton, 29, 2, 1},
};

constexpr MenuButton kExtendedButtons[] = {
    {kExtendedDiagnosticsButton, 30, 0, 0},
    {kExtendedBurnerDifferentialButton, 31, 0, 1},
    {kExtendedMeteringRollReverseButton, 33, 0, 2},
    {kExtendedUnloadBushelsButton, 35, 1, 0},
    {kExtendedTimeDateButton, 36, 1, 1},
    {kExtendedUnitsButton, 37, 1, 2},
    {kExtendedHardwareButton, 38, 1, 3},
    {kExtendedDataLoggerButton, 39, 2, 0},
    {kExtendedUserSettingsButton, 40, 2, 1},
    {kExtendedClearBatchButton, 63, 2, 2},
};

using link::mirror_bit;
using link::mirror_byte;

bool continuous_flow() { return mirror_byte(link::kDryingMode) == link::kContinuousFlow; }
bool numeric_model() { return mirror_bit(link::kDryerType, link::kDryerTypeNumericBit); }

int bitmap_of(int id) {
  for (const MenuButton& b : kSetupButtons) {
    if (b.id == id) return b.bitmap;
  }
  for (const MenuButton& b : kExtendedButtons) {
    if (b.id == id) return b.bitmap;
  }
  if (id == kSetupReturnButton || id == kExtendedReturnButton) return kExitBitmap;
  return 0;
}

void create_button(gui::Window& menu, int id, std::string_view text, Rect r) {
  gui::create_window({.class_name = std::string(gui::kButtonClass),
                      .text = std::string(text),
                      .style = gui::style::kVisible | gui::style::kChild | gui::style::kOwnerDraw,
                      .rect = r,
                      .parent = &menu,
                      .id = id});
}

template <size_t N>
void create_menu_buttons(gui::Window& menu, const MenuButton (&buttons)[N], int return_id) {
  gui::register_controls();
  for (const MenuButton& b : buttons) {
    create_button(menu, b.id, texts::localized_bitmap_control_name(b.bitmap),
                  Rect::from_xywh(kColumnX[b.column], kFirstRowY + b.row * kRowPitch,
                                  kMenuButtonWidth, kMenuButtonHeight));
  }
  const Rect client = menu.client_rect();
  const platform::Size exit = texts::localized_bitmap_size(kExitBitmap);
  create_button(menu, return_id, texts::localized_bitmap_control_name(kExitBitmap),
                Rect::from_xywh((client.width() - exit.width) / 2,
                                client.height() - exit.height - 20, exit.width, exit.height));
}

void draw_language_button(const gui::DrawItemContext& item) {
  platform::Canvas& c = *item.canvas;
  c.fill_rect(item.rect, platform::colors::kFace);
  gui::draw_edge(c, item.rect, gui::Edge::Raised);
  // A globe: its outline, the equator and a meridian.
  const Rect globe = item.rect.inflated(-9, -9);
  const platform::Color ink = platform::rgb(0, 0, 150);
  c.draw_ellipse(globe, ink, 2);
  c.draw_ellipse(globe.inflated(-globe.width() / 4, 0), ink, 1);
  const int mid_y = (globe.top + globe.bottom) / 2;
  const int mid_x = (globe.left + globe.right) / 2;
  c.draw_line({globe.left, mid_y}, {globe.right - 1, mid_y}, ink);
  c.draw_line({mid_x, globe.top}, {mid_x, globe.bottom - 1}, ink);
}

void draw_menu_button(const gui::DrawItemContext& item) {
  if (item.id == kExtendedLanguageButton) {
    draw_language_button(item);
    return;
  }
  if (const platform::Bitmap* image = texts::localized_image(bitmap_of(item.id))) {
    item.canvas->blit(*image, {0, 0});
    return;
  }
  // Without its image the button still works and shows its name.
  item.canvas->fill_rect(item.rect, platform::colors::kFace);
  gui::draw_edge(*item.canvas, item.rect, gui::Edge::Raised);
  item.canvas->draw_text(item.control->text(), item.rect.inflated(-4, -2), {13, 700},
                         platform::colors::kBlack,
                         platform::text_format::kCenter | platform::text_format::kVCenter |
                             platform::text_format::kWordBreak);
}

void set_button_shown(gui::Window& menu, int id, bool shown) {
  gui::Window* b = gui::child_by_id(&menu, id);
  if (b != nullptr && b->is_shown() != shown) gui::show_window(b, shown);
}

// ---- Setup menu ----

void apply_setup_visibility(gui::Window& menu) {
  set_button_shown(menu, kSetupAutoStartButton, auto_start_button_shown());
}

void return_to_main_screen(gui::Window& menu) {
  gui::show_window(&menu, false);
  link::DryerState& s = link::dryer_state();
  s.main_screen_shown.store(1, std::memory_order_relaxed);
  link::desire_reported(link::kMoistureOptions);
  call_return_to_main_screen();
}

void on_setup_command(gui::Window& menu, int id) {
  switch (id) {
    case kSetupDryingModeButton:
      open_drying_mode_dialog(&menu);
      break;
    case kSetupDryingSetupButton:
      open_drying_setup_dialog(&menu);
      break;
    case kSetupAutoStartButton:
      open_auto_start(&menu);
      break;
    case kSetupUnloadParametersButton:
      open_unload_parameters_dialog(&menu);
      break;
    case kSetupTemperatureManagerButton:
      open_plenum_temperature_manager_dialog(&menu);
      break;
    case kSetupBurnerModeButton:
      // The numbered-model dryers have no burner modes to choose.
      if (!numeric_model()) {
        open_burner_mode_dialog(&menu);
      }
      break;
    case kSetupCalibrationButton:
      open_moisture_calibration_dialog(&menu);
      break;
    case kSetupExtendedButton:
      gui::show_window(&menu, false);
      gui::show_class(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, true);
      break;
    case kSetupReturnButton:
      return_to_main_screen(menu);
      break;
    default:
      break;
  }
}

intptr_t setup_menu_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      create_menu_buttons(w, kSetupButtons, kSetupReturnButton);
      apply_setup_visibility(w);
      texts::set_localized_caption(&w, kSetupCaptionString);
      return 0;
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, kSetupCaptionString);
      return 0;
    case gui::MessageKind::Show:
      if (m.wparam) apply_setup_visibility(w);
      return gui::default_window_procedure(w, m);
    case gui::MessageKind::DrawItem:
      draw_menu_button(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      on_setup_command(w, gui::command_id(m));
      return 0;
    default:
      return gui::default_window_procedure(w, m);
  }
}

// ---- Extended setup menu ----

void apply_extended_visibility(gui::Window& menu) {
  set_button_shown(menu, kExtendedClearBatchButton, clear_batch_button_shown());
}

void on_extended_command(gui::Window& menu, int id) {
  switch (id) {
    case kExtendedDiagnosticsButton:
      open_diagnostics_dialog(&menu);
      break;
    case kExtendedBurnerDifferentialButton:
      open_burner_differential_dialog(&menu);
      break;
    case kExtendedMeteringRollReverseButton:
      open_metering_roll_reverse_dialog(&menu);
      break;
    case kExtendedUnloadBushelsButton:
      open_unload_bushels_dialog(&menu);
      break;
    case kExtendedTimeDateButton:
      open_time_date_dialog(&menu);
      break;
    case kExtendedUnitsButton:
      open_units_dialog(&menu);
      break;
    case kExtendedHardwareButton:
      open_hardware_setup_dialog(&menu);
      break;
    case kExtendedDataLoggerButton:
      logging::open_data_logger_setup(&menu);
      break;
    case kExtendedUserSettingsButton:
      open_user_settings_dialog(&menu);
      break;
    case kExtendedClearBatchButton:
      // A press can come in after the drying mode turned 0 and before the menu was repainted:
      // the counter then means nothing, so the button only goes away.
      if (clear_batch_button_shown()) {
        open_clear_batch_counter_dialog(&menu);
      } else {
        apply_extended_visibility(menu);
      }
      break;
    case kExtendedLanguageButton:
      open_language_selection(&menu);
      break;
    case kExtendedReturnButton:
      gui::show_window(&menu, false);
      gui::show_class(resources::SETUP_SELECTION_WINDOW, true);
      break;
    default:
      break;
  }
}

intptr_t extended_menu_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create: {
      create_menu_buttons(w, kExtendedButtons, kExtendedReturnButton);
      const Rect client = w.client_rect();
      create_button(
          w, kExtendedLanguageButton, kLanguageButtonText,
          Rect::from_xywh(client.width() - kLanguageSide - 24, client.height() - kLanguageSide - 16,
                          kLanguageSide, kLanguageSide));
      apply_extended_visibility(w);
      texts::set_localized_caption(&w, kExtendedCaptionString);
      return 0;
    }
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, kExtendedCaptionString);
      return 0;
    case gui::MessageKind::Show:
      if (m.wparam) apply_extended_visibility(w);
      return gui::default_window_procedure(w, m);
    case gui::MessageKind::DrawItem:
      draw_menu_button(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      on_extended_command(w, gui::command_id(m));
      return 0;
    default:
      return gui::default_window_procedure(w, m);
  }
}

// The redraw rules: the decoder asks for the menus' redraw when the bytes their buttons follow
// change, whether or not a menu is showing.
void follow_setup_rule() {
  if (gui::Window* menu = gui::find_window_by_class(resources::SETUP_SELECTION_WINDOW))
    apply_setup_visibility(*menu);
}

void follow_extended_rule() {
  if (gui::Window* menu = gui::find_window_by_class(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW))
    apply_extended_visibility(*menu);
}

}  // namespace

void register_setup_menu_classes() {
  link::set_redraw_rule(link::RedrawTarget::SetupMenu, &follow_setup_rule);
  link::set_redraw_rule(link::RedrawTarget::ExtendedSetupMenu, &follow_extended_rule);
  gui::register_class(
      {resources::SETUP_SELECTION_WINDOW, &setup_menu_procedure, platform::colors::kBlack, true});
  gui::register_class({resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, &extended_menu_procedure,
                       platform::colors::kBlack, true});
}

bool auto_start_button_shown() {
  return continuous_flow() && !numeric_model() &&
         (mirror_byte(link::kAutoStartFlags) >> link::kAutoStartFlagsOfferedBit & 1) != 0;
}

bool clear_batch_button_shown() { return !continuous_flow(); }

}  // namespace corvex::settings
