// AUTO_START_CONFIG_WINDOW: the page buttons on the left, the grain page with its twelve grain
// buttons and the red marker beside the chosen grain, the moisture page with its two set
// buttons and values, "Modify Plenum Setpoints", INITIATE and CONTINUE on the right and the
// return button at the bottom.
#include <cstdio>
#include <string_view>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "logging/moisture_setpoint.h"
#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/auto_start.h"
#include "texts/localized_bitmaps.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace tf = platform::text_format;
using platform::Color;
using platform::Rect;
using platform::rgb;

constexpr int kCaptionString = 301;

// Localized button images.
constexpr int kGrainSelectImage = 48;
constexpr int kMoistureSettingsImage = 49;
constexpr int kFirstGrainImage = 50;  // Corn; 61 Oats
constexpr int kInitiateImage = 62;
constexpr int kExitImage = 41;
constexpr int kImages[] = {kGrainSelectImage,
                           kMoistureSettingsImage,
                           50,
                           51,
                           52,
                           53,
                           54,
                           55,
                           56,
                           57,
                           58,
                           59,
                           60,
                           61,
                           kInitiateImage,
                           kExitImage};

// Control ids (ours).
constexpr int kGrainSelectId = 1501;
constexpr int kMoistureSettingsId = 1502;
constexpr int kPlenumSetpointsId = 1503;
constexpr int kFirstGrainId = 1510;  // + grain code
constexpr int kIncomingSetId = 1530;
constexpr int kSetpointSetId = 1531;
constexpr int kInitiateId = 1540;
constexpr int kContinueId = 1541;
constexpr int kReturnId = 1542;

// The entry codes of the moisture keypad's two modes.
constexpr int kIncomingMoistureMode = 4;
constexpr int kMoistureSetpointMode = 3;

constexpr const char* kGrainNames[kGrainCount] = {"Corn", "Soy Beans",  "Wheat", "Barley",
                                                  "Rice", "Canola",     "Flax",  "Hemp",
                                                  "Milo", "Pistachios", "Rye",   "Oats"};

// The frame: one line under the content, one right of the page buttons.
constexpr int kFrameY = 380;
constexpr int kFrameX = 160;
constexpr Color kFrameGray = rgb(128, 128, 128);
constexpr Color kIncomingColor = platform::colors::kYellow;
constexpr Color kSetpointColor = rgb(0, 150, 255);
constexpr platform::FontSpec kValueFont{40, 700};
constexpr platform::FontSpec kLabelFont{14, 700};

// Grain buttons sit left of their marker, centred on it: left column x 175, right column 325.
Rect grain_button_rect(int code) {
  const Rect marker = grain_marker(code);
  return Rect::from_xywh(marker.left - 115, marker.top + 5 - 22, 110, 44);
}

constexpr Rect kIncomingSetRect = Rect{180, 40, 330, 100};
constexpr Rect kSetpointSetRect = Rect{180, 160, 330, 220};

void create_plain_button(gui::Window& w, int id, const char* text, Rect r, texts::Initially shown) {
  gui::CreateParams p;
  p.class_name = std::string(gui::kButtonClass);
  p.text = text;
  p.style = gui::style::kChild | gui::style::kOwnerDraw |
            (shown == texts::Initially::Shown ? gui::style::kVisible : 0u);
  p.rect = r;
  p.parent = &w;
  p.id = id;
  gui::create_window(p);
}

void on_create(gui::Window& w) {
  gui::register_controls();
  using texts::Initially;
  texts::create_picture_button(&w, kGrainSelectImage, kGrainSelectId, {10, 20}, Initially::Shown,
                               "Grain Select");
  texts::create_picture_button(&w, kMoistureSettingsImage, kMoistureSettingsId, {10, 80},
                               Initially::Shown, "Moisture Settings");
  create_plain_button(w, kPlenumSetpointsId, "Modify Plenum Setpoints", {10, 140, 150, 190},
                      Initially::Shown);
  for (int code = 0; code < kGrainCount; ++code) {
    const Rect r = grain_button_rect(code);
    texts::create_picture_button(&w, kFirstGrainImage + code, kFirstGrainId + code, {r.left, r.top},
                                 Initially::Hidden, kGrainNames[code]);
  }
  create_plain_button(w, kIncomingSetId, "Set Incoming Moisture", kIncomingSetRect,
                      Initially::Hidden);
  create_plain_button(w, kSetpointSetId, "Set Moisture Setpoint", kSetpointSetRect,
                      Initially::Hidden);
  texts::create_picture_button(&w, kInitiateImage, kInitiateId, {480, 258}, Initially::Shown,
                               "INITIATE");
  create_plain_button(w, kContinueId, "CONTINUE", {480, 318, 620, 368}, Initially::Shown);
  const Rect client = w.client_rect();
  const platform::Size exit = texts::localized_bitmap_size(kExitImage);
  const int band = client.bottom - kFrameY;
  texts::create_picture_button(
      &w, kExitImage, kReturnId,
      {(client.width() - exit.width) / 2, kFrameY + (band - exit.height) / 2}, Initially::Shown);
}

// Shows the buttons of the current page and hides the others.
void apply_page(gui::Window& w) {
  const int page = auto_start_page();
  for (int code = 0; code < kGrainCount; ++code)
    texts::show_if_changed(gui::child_by_id(&w, kFirstGrainId + code), page == kGrainPage);
  for (int id : {kIncomingSetId, kSetpointSetId})
    texts::show_if_changed(gui::child_by_id(&w, id), page == kMoisturePage);
}

void set_page(gui::Window& w, int page) {
  set_auto_start_page(page);
  apply_page(w);
  gui::invalidate(&w);
}

void paint_moisture_value(platform::Canvas& c, const Rect& button, unsigned tenths, Color color) {
  char text[16];
  format_moisture_tenths(tenths, text);
  c.draw_text(text, Rect{button.right + 15, button.top, 620, button.bottom}, kValueFont, color,
              tf::kLeft | tf::kVCenter | tf::kSingleLine);
}

void on_paint(const gui::PaintContext& pc) {
  platform::Canvas& c = *pc.canvas;
  c.draw_line({20, kFrameY}, {620, kFrameY}, kFrameGray);
  c.draw_line({kFrameX, 10}, {kFrameX, 375}, kFrameGray);
  if (auto_start_page() == kGrainPage) {
    const Rect marker = grain_marker(link::desired_byte(link::kGrainType));
    if (!marker.empty()) c.fill_rect(marker, platform::colors::kRed);
  } else if (auto_start_page() == kMoisturePage) {
    paint_moisture_value(c, kIncomingSetRect, link::mirror_lo_hi(link::kIncomingAverage),
                         kIncomingColor);
    paint_moisture_value(c, kSetpointSetRect, link::mirror_hi_lo(link::kMoistureSetpoint),
                         kSetpointColor);
  }
}

int image_of(int id) {
  switch (id) {
    case kGrainSelectId:
      return kGrainSelectImage;
    case kMoistureSettingsId:
      return kMoistureSettingsImage;
    case kInitiateId:
      return kInitiateImage;
    case kReturnId:
      return kExitImage;
    default:
      break;
  }
  if (id >= kFirstGrainId && id < kFirstGrainId + kGrainCount)
    return kFirstGrainImage + (id - kFirstGrainId);
  return 0;
}

// The buttons without an image: a raised face with their label.
void draw_plain_button(const gui::DrawItemContext& item) {
  platform::Canvas& c = *item.canvas;
  c.fill_rect(item.rect, item.pressed ? platform::colors::kGray : platform::colors::kFace);
  gui::draw_edge(c, item.rect, item.pressed ? gui::Edge::Sunken : gui::Edge::Raised);
  c.draw_text(item.control->text(), item.rect.inflated(-6, -3), kLabelFont,
              platform::colors::kBlack, tf::kCenter | tf::kVCenter | tf::kWordBreak);
}

void on_draw_item(const gui::DrawItemContext& item) {
  if (const int image = image_of(item.id); image != 0) {
    texts::draw_picture_button(item, image);
  } else {
    draw_plain_button(item);
  }
}

void modify_plenum_setpoints(gui::Window& w) {
  // The main windows are already hidden while this screen is up; the temperature screen's
  // return button brings this screen back (the opened-from-auto-start flag is set).
  gui::show_window(&w, false);
  gui::show_class(resources::TEMP_SELECT_WINDOW, true);
  gui::invalidate_class(resources::TEMP_SELECT_WINDOW);
}

void on_command(gui::Window& w, int id) {
  if (id >= kFirstGrainId && id < kFirstGrainId + kGrainCount) {
    choose_grain(id - kFirstGrainId);
    gui::invalidate(&w);
    return;
  }
  switch (id) {
    case kGrainSelectId:
      set_page(w, kGrainPage);
      break;
    case kMoistureSettingsId:
      set_page(w, kMoisturePage);
      break;
    case kIncomingSetId:
    case kSetpointSetId:
      logging::open_moisture_setpoint_dialog(
          &w, id == kIncomingSetId ? kIncomingMoistureMode : kMoistureSetpointMode);
      gui::invalidate(&w);
      break;
    case kPlenumSetpointsId:
      modify_plenum_setpoints(w);
      break;
    case kInitiateId:
      open_auto_start_question(&w);
      break;
    case kContinueId:
      close_auto_start_config();
      break;
    case kReturnId:
      close_auto_start_config();
      link::raise_write(link::PendingWrite::k285);
      break;
    default:
      break;
  }
}

intptr_t config_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      on_create(w);
      apply_page(w);
      texts::set_localized_caption(&w, kCaptionString);
      return 0;
    case gui::MessageKind::TextsChanged:
      texts::set_localized_caption(&w, kCaptionString);
      return 0;
    case gui::MessageKind::Show:
      if (m.wparam) apply_page(w);
      return gui::default_window_procedure(w, m);
    case gui::MessageKind::Paint:
      on_paint(gui::paint_context(m));
      return 0;
    case gui::MessageKind::DrawItem:
      on_draw_item(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      on_command(w, gui::command_id(m));
      return 0;
    case gui::MessageKind::Destroy:
      texts::release_picture_images(kImages);
      return 0;
    default:
      return gui::default_window_procedure(w, m);
  }
}

}  // namespace

void register_auto_start_screen_class() {
  gui::register_controls();
  gui::register_class(
      {resources::AUTO_START_CONFIG_WINDOW, &config_procedure, platform::colors::kBlack, true});
}

}  // namespace corvex::settings
