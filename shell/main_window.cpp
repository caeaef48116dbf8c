// The main window: it fills the screen and shows nothing of its own; everything the operator
// sees is a screen window, a child of it, and the six buttons of the button bar.
#include "shell/main_window.h"

#include <string>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "logging/moisture_setpoint.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/shell_bitmaps.h"
#include "resources/shell_dialogs.h"
#include "resources/window_classes.h"
#include "settings/edit_requests.h"
#include "settings/temperature_screen.h"
#include "shell/plain_windows.h"
#include "shell/navigation.h"
#include "shell/startup.h"
#include "texts/help_viewer.h"
#include "texts/localized_bitmaps.h"
#include "texts/texts.h"

namespace corvex::shell {

namespace {

namespace gui = platform::gui;
using gui::Message;
using gui::MessageKind;
using gui::Window;
using link::PendingWrite;
using platform::Bitmap;
using platform::Rect;

MainWindowImages g_images;
// The batch-picture flag the moisture-control button was last drawn for (none yet).
int g_misc_drawn_for = -1;

struct BarButton {
  int id;
  const char* text;
  int width;
};
// The localized images of the five bar buttons, in the order of kBarButtons.
constexpr int kBarImages[] = {1, 2, 3, 4, 5};
constexpr BarButton kBarButtons[] = {
    {kTimersButtonId, "TIMERS", 105},        {kTempsButtonId, "TEMPS", 105},
    {kSetupButtonId, "SETUP", 105},          {kViewButtonId, "VIEW", 105},
    {kMoistureControlButtonId, "MISC", 105},
};

// The disabled moisture-control button: the picture washed out to light greys, so that its
// label stays readable but plainly inactive.
Bitmap greyed_copy(const Bitmap& source) {
  Bitmap out(source.width(), source.height());
  for (int y = 0; y < source.height(); ++y) {
    const uint32_t* in = source.row(y);
    uint32_t* to = out.row(y);
    for (int x = 0; x < source.width(); ++x) {
      const platform::Color c = in[x];
      const int luminance =
          (platform::red_of(c) * 30 + platform::green_of(c) * 59 + platform::blue_of(c) * 11) / 100;
      const uint8_t v = uint8_t(128 + luminance / 3);
      to[x] = platform::rgb(v, v, v);
    }
  }
  return out;
}

void create_bar_buttons(Window& main) {
  gui::register_controls();
  const uint32_t style =
      gui::style::kChild | gui::style::kOwnerDraw | gui::control_style::kOwnerDrawsPressed;
  for (const BarButton& b : kBarButtons) {
    gui::CreateParams p;
    p.class_name = std::string(gui::kButtonClass);
    p.text = b.text;
    p.style = style | gui::style::kVisible;
    p.rect = Rect::from_xywh(0, 427, b.width, 40);
    p.parent = &main;
    p.id = b.id;
    gui::create_window(p);
  }
  gui::CreateParams p;
  p.class_name = std::string(gui::kButtonClass);
  p.text = kAutoStartStatusButtonText;
  p.style = style;
  p.rect = Rect::from_xywh(585, 427, 44, 40);
  p.parent = &main;
  p.id = kAutoStartStatusButtonId;
  gui::create_window(p);
  lay_out_button_bar(&main);
}

void on_create(Window& main) {
  load_bar_images();
  g_images.green_face = resources::shell_resource_bitmap(resources::kGreenFaceBitmap);
  g_images.red_face = resources::shell_resource_bitmap(resources::kRedFaceBitmap);
  g_images.auto_start_status = resources::shell_resource_bitmap(resources::kAutoStartStatusBitmap);
  create_bar_buttons(main);
}

void on_destroy() {
  g_images = MainWindowImages{};
  texts::release_localized_images(kBarImages);
  g_misc_drawn_for = -1;
  shell_state().main_window = nullptr;
  gui::post_quit(0);
}

const Bitmap* image_of(int id) {
  if (id == kAutoStartStatusButtonId) return g_images.auto_start_status;
  if (id == kMoistureControlButtonId && g_misc_drawn_for == 1) {
    return g_images.misc_disabled ? &*g_images.misc_disabled : nullptr;
  }
  for (int i = 0; i < 5; ++i) {
    if (kBarButtons[i].id == id) return texts::localized_image(kBarImages[i]);
  }
  return nullptr;
}

// The image is copied 1:1 from its top-left corner; a button without an image is a plain face
// with its window text. A held button is drawn pushed in: sunk by one pixel under a dark edge.
void on_draw_item(const gui::DrawItemContext& item) {
  platform::Canvas& c = *item.canvas;
  if (item.id == kMoistureControlButtonId)
    g_misc_drawn_for = link::dryer_state().batch_picture.load() ? 1 : 0;
  const Bitmap* image = image_of(item.id);
  const int shift = item.pressed ? 1 : 0;
  if (image != nullptr) {
    if (shift) c.fill_rect(item.rect, platform::colors::kBlack);
    c.blit(*image, image->rect(), {item.rect.left + shift, item.rect.top + shift});
  } else {
    c.fill_rect(item.rect, platform::colors::kFace);
    c.draw_text(item.control->text(), item.rect.translated(shift, shift), {14, 700},
                platform::colors::kBlack,
                platform::text_format::kCenter | platform::text_format::kVCenter |
                    platform::text_format::kSingleLine);
  }
  if (item.pressed) {
    gui::draw_edge(c, item.rect, gui::Edge::Sunken);
  } else if (image == nullptr) {
    gui::draw_edge(c, item.rect, gui::Edge::Raised);
  }
}

void on_command(Window& w, const Message& m) {
  switch (gui::command_id(m)) {
    case kTimersButtonId:
      leave_main_screen(resources::TIMER_SELECT_WINDOW);
      break;
    case kTempsButtonId:
      texts::help_state().topic.store(17);
      texts::help_state().available.store(1);
      leave_main_screen(resources::TEMP_SELECT_WINDOW);
      break;
    case kSetupButtonId:
      // Cleared first, so that a drying-mode change decoded meanwhile does not bring the status
      // area back under the setup screen.
      link::dryer_state().main_screen_shown.store(0);
      leave_main_screen(resources::SETUP_SELECTION_WINDOW);
      gui::show_class(resources::WARNING_WINDOW, false);
      break;
    case kViewButtonId:
      gui::show_class(resources::VIEW_SELECTION_WINDOW, true);
      break;
    case kMoistureControlButtonId:
      moisture_control_button_rule(&w);
      break;
    case kMeteringRollRequestCommand:
      metering_roll_rule(&w);
      break;
    case kDefaultsSwitchRequestCommand:
      open_defaults_notice();
      break;
    case kStatusByte251RequestCommand:
      // Bit 4 of status byte 251 is reported to the main window; nothing acts on it.
      break;
    case kAutoStartStatusButtonId:
      open_auto_start_status_dialog(&w);
      break;
    default:
      gui::default_window_procedure(w, m);
      break;
  }
}

// Dialog 225 from the moisture-control button.
void open_moisture_setpoint() {
  logging::open_moisture_setpoint_dialog(gui::find_window_by_class(resources::LINE_GRAPH_WINDOW),
                                         3);
}

// The temperature screen as TEMPS shows it, without setting the help topic.
void show_temperature_screen() { leave_main_screen(resources::TEMP_SELECT_WINDOW); }

intptr_t defaults_notice_procedure(Window& dialog, const Message& m) {
  switch (m.kind) {
    case MessageKind::InitDialog:
      return 1;
    case MessageKind::Command:
      if (gui::command_id(m) == resources::kDefaultsNoticeExit) {
        link::dryer_state().defaults_notice_shown.store(1);
        gui::end_dialog(&dialog, resources::kDefaultsNoticeExit);
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace

const MainWindowImages& main_window_images() { return g_images; }

void load_bar_images() {
  for (const int index : kBarImages) texts::localized_image(index);
  g_images.misc_disabled.reset();
  if (const Bitmap* misc = texts::localized_image(kBarImages[4]))
    g_images.misc_disabled = greyed_copy(*misc);
}

void follow_batch_picture() {
  Window* main = shell_state().main_window;
  if (main == nullptr || g_misc_drawn_for < 0) return;
  const int now = link::dryer_state().batch_picture.load() ? 1 : 0;
  if (now == g_misc_drawn_for) return;
  if (Window* b = gui::child_by_id(main, kMoistureControlButtonId))
    gui::invalidate(b, gui::Erase::No);
}

bool learning_period_running() {
  using namespace link;
  return (mirror_byte(kMoistureControlType) & kMoistureControlKindMask) ==
             kAdvancedMoistureControl &&
         mirror_byte(kCoolDownMinutes) != 0 && mirror_bit(kSwitchInputs, kSwitchInputsUnload2Bit);
}

bool ask_learning_period(Window* owner) {
  return gui::message_box(owner, kLearningPeriodText, kLearningPeriodCaption,
                          gui::kMbYesNoCancel | gui::kMbIconWarning) == gui::kIdYes;
}

void metering_roll_rule(Window* main) {
  metering_roll_dialog_requested.store(1);
  if (learning_period_running() && !ask_learning_period(main)) return;
  open_metering_roll_speed_dialog(main);
}

void moisture_control_button_rule(Window* main) {
  link::DryerState& s = link::dryer_state();
  if (s.mr_speed_via_screen.load()) {
    const std::string text = texts::localized_text(299);
    const std::string caption = texts::localized_text(300);
    if (gui::message_box(main, text, caption, gui::kMbYesNoCancel | gui::kMbIconQuestion) ==
        gui::kIdYes)
      open_metering_roll_speed_dialog(main);
  }
  if (s.batch_picture.load()) return;
  const uint8_t b187 = link::mirror_byte(link::kMoistureControlType);
  const uint8_t b257 = link::mirror_byte(link::kDryingCriteria);
  const int control_mode = b187 & link::kMoistureControlKindMask;
  const int drying_mode = link::mirror_byte(link::kDryingMode);
  const bool time_or_temperature = (b257 >> link::kDryingCriteriaTimeBit & 1) != 0 ||
                                   (b257 >> link::kDryingCriteriaTemperatureBit & 1) != 0;
  if (((b187 & 0x06) == 0x06 || time_or_temperature) && drying_mode == link::kStagedBatch) {
    if ((b257 >> link::kDryingCriteriaMoistureBit & 1) != 0 &&
        (b187 >> link::kMoistureControlTypeAutoBit & 1) != 0) {
      open_moisture_setpoint();
    } else if ((b257 >> link::kDryingCriteriaDualPlenumBit & 1) != 0) {
      show_temperature_screen();
    } else {
      edit_grain_temperature_setpoint(link::kTargetSetpoint1);
    }
    return;
  }
  switch (control_mode) {
    case 1:
      if (drying_mode == 3) {
        edit_grain_temperature_setpoint(link::kTargetSetpoint3);
        edit_grain_temperature_setpoint(link::kTargetSetpoint2);
      } else {
        edit_grain_temperature_setpoint(link::kTargetSetpoint1);
      }
      break;
    case 3:
      if (learning_period_running() && !ask_learning_period(main)) return;
      open_moisture_setpoint();
      break;
    case 4:
      open_moisture_setpoint();
      break;
    case 5:
      edit_grain_temperature_setpoint(link::kTargetSetpoint1);
      break;
    default:
      break;
  }
}

intptr_t edit_grain_temperature_setpoint(int low) {
  link::DryerState& s = link::dryer_state();
  PendingWrite write = PendingWrite::k149;
  if (low == link::kTargetSetpoint2)
    write = PendingWrite::k151;
  else if (low == link::kTargetSetpoint3)
    write = PendingWrite::k153;
  else
    low = link::kTargetSetpoint1;
  settings::TemperatureEditRequest& r = settings::temperature_edit_request;
  r.entry_state = 0;
  r.first_key = 0;
  r.maximum = 160;
  r.minimum = 50;
  r.default_value = 105;
  texts::help_state().editor_topic.store(5);
  r.request_code = 137;
  link::desire_reported(uint16_t(low), 2);
  r.working_value = link::mirror_lo_hi(uint16_t(low));
  r.low_slot = low;
  r.high_slot = low + 1;
  r.pending_write = &s.flag(write);
  return settings::open_temperature_editor(
      gui::find_window_by_class(resources::TEMP_SELECT_WINDOW));
}

intptr_t open_defaults_notice() {
  resources::register_shell_dialog_templates();
  return gui::dialog_box(resources::kDefaultsNoticeDialog,
                         gui::find_window_by_class(resources::LINE_GRAPH_WINDOW),
                         &defaults_notice_procedure);
}

intptr_t main_window_procedure(Window& w, const Message& m) {
  switch (m.kind) {
    case MessageKind::Create:
      on_create(w);
      return 0;
    case MessageKind::Destroy:
      on_destroy();
      return 0;
    case MessageKind::Paint:
      return 0;
    case MessageKind::DrawItem:
      on_draw_item(gui::draw_item_context(m));
      return 1;
    case MessageKind::Command:
      on_command(w, m);
      return 0;
    case MessageKind::User:
      if (m.wparam == kBringToFrontMessage) {
        gui::bring_to_front(&w);
        return 0;
      }
      return gui::default_window_procedure(w, m);
    default:
      return gui::default_window_procedure(w, m);
  }
}

}  // namespace corvex::shell
