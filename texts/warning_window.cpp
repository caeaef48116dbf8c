#include "texts/warning_window.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "platform/io/clock.h"
#include "resources/warning_bitmaps.h"
#include "texts/help_viewer.h"
#include "texts/localized_bitmaps.h"
#include "texts/texts.h"

namespace corvex::texts {

namespace {

using platform::Canvas;
using platform::Color;
using platform::FontSpec;
using platform::Point;
using platform::Rect;
using platform::rgb;
namespace gui = platform::gui;
namespace tf = platform::text_format;

constexpr Color kBackground = rgb(100, 100, 100);
constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kDarkRed = rgb(175, 0, 0);
constexpr Color kBlue200 = rgb(0, 0, 200);
constexpr Color kGreen = rgb(0, 255, 0);
constexpr int kCaptionString = 329;
// Every line of the description is centred in its rectangle as the panel draws it; the small
// rectangles are lower than the fonts' line height, so the text may run past them.
constexpr unsigned kLineFormat = tf::kCenter | tf::kSingleLine | tf::kNoClip;

// What decides the window's whole picture: the lost link, the reported warning, and the bits
// of byte 188 that choose the headline and the lines below it.
struct ShownWarning {
  bool lost = false;
  uint8_t node = 0;
  uint8_t warning = 0;
  uint8_t b188_lines = 0;
  friend bool operator==(const ShownWarning&, const ShownWarning&) = default;
};

struct WarningWindowState {
  std::optional<platform::Bitmap> help_button;  // localized bitmap 72
  platform::Bitmap offscreen;
  std::optional<ShownWarning> shown;  // what the off-screen picture shows, none before a paint
};

WarningWindowState g_state;

uint8_t status(int offset) {
  return link::dryer_state().mirror[offset].load(std::memory_order_relaxed);
}

void draw_string(Canvas& c, int number, const Rect& r, const FontSpec& f, Color color,
                 unsigned format = kLineFormat) {
  StringBuffer text;
  text[0] = '\0';
  localized_string(number, text);
  c.draw_text(text.data(), r, f, color, format);
}

// The resource bitmaps share the window's grey as background; it is keyed out so that a long
// lost-link text running into the cabinet's corner stays readable.
void blit_resource(Canvas& c, int resource, Point at) {
  if (const platform::Bitmap* b = resources::warning_resource_bitmap(resource)) {
    c.blit_keyed(*b, b->rect(), at, kBackground);
  }
}

void draw_lost_link(Canvas& c) {
  // Left-aligned: the cabinet picture (from x = 272) comes over the right end of the rectangle.
  draw_string(c, 338, {5, 5, 325, 50}, {24, 700}, rgb(0, 0, 150), tf::kLeft | tf::kWordBreak);
  c.draw_line({105, 70}, {255, 70}, rgb(0, 125, 0), 10);
  c.draw_line({105, 65}, {255, 65}, rgb(20, 50, 20));
  c.draw_line({105, 75}, {255, 75}, rgb(20, 50, 20));
  const int k = signal_step_at(platform::clock::now_ms());
  c.draw_line({105 + 10 * k, 70}, {2 * (60 + 5 * k), 70}, rgb(0, 0, 150), 6);
  blit_resource(c, resources::kLostLinkPanelBitmap, {30, 40});
  blit_resource(c, resources::kControllerCabinetBitmap, {250, 20});
}

void draw_warning_line(Canvas& c, int node, int warning) {
  WarningBuffer text;
  text[0] = '\0';
  warning_text(node, warning, text);
  const FontSpec f{14, 300};
  const std::u16string_view entry = warning_entry(warning_table_of_node(node), warning);
  if (std::min<size_t>(entry.size(), kWarningLookupLimit) < 61) {
    c.draw_text(text.data(), {0, 65, 600, 80}, f, platform::colors::kWhite, kLineFormat);
    return;
  }
  std::array<char, utf8_capacity_for(100)> first;
  std::array<char, utf8_capacity_for(100)> second;
  two_line_split(std::string_view(text.data()), first, second, 99);
  c.draw_text(first.data(), {0, 60, 600, 80}, f, platform::colors::kWhite, kLineFormat);
  c.draw_text(second.data(), {0, 80, 600, 105}, f, platform::colors::kWhite, kLineFormat);
}

// The blinking headline: what byte 188 says the controller is doing about the warning.
void draw_headline(Canvas& c, uint8_t b188) {
  const bool cooling = (b188 & 0x10) != 0;
  const bool counting = (b188 & 0x02) != 0;
  const FontSpec f{cooling ? 30 : 40, 900};
  const Color color = cooling || counting ? kBlue : kRed;
  if (cooling) {
    draw_string(c, 339, {50, 0, 575, 25}, f, color);
  } else if (counting) {
    StringBuffer label;
    label[0] = '\0';
    localized_string(462, label);
    char line[utf8_capacity_for(100) + 16];
    std::snprintf(line, sizeof line, "%s: %d:%02d", label.data(), status(267), status(268));
    c.draw_text(line, {50, 5, 575, 45}, f, color, kLineFormat);
  } else {
    draw_string(c, 330, {50, 0, 575, 50}, f, color);
  }
}

void draw_grain_temperature(Canvas& c) {
  int low = 0;
  switch (status(184)) {
    case 0: low = 93; break;
    case 1: low = 91; break;
    case 2: low = 89; break;
    default: low = -1;
  }
  const int value = low < 0 ? 0 : status(low) | (status(low + 1) << 8);
  char line[64];
  std::snprintf(line, sizeof line, "GRAIN TEMPERATURE: %d \u00B0 F", value);
  c.draw_text(line, {50, 28, 575, 50}, {20, 500}, rgb(0, 0, 100), kLineFormat);
}

void draw_description(Canvas& c, int node, int warning) {
  const uint8_t b188 = status(188);
  const bool cooling = (b188 & 0x10) != 0;
  c.draw_line({25, 50}, {575, 50}, kRed, 2);
  c.draw_line({25, 100}, {575, 100}, kRed, 2);
  draw_warning_line(c, node, warning);
  const uint32_t blink = link::dryer_state().blink_flags.load(std::memory_order_relaxed);
  if (blink & link::kBlinkPhaseOn) draw_headline(c, b188);
  if (cooling) draw_grain_temperature(c);
  const FontSpec f{16, 900};
  draw_string(c, 331, {25, 200, 575, 225}, f, kGreen);
  if (warning == 5 && node >= 2 && node <= 7) {
    if (cooling) {
      draw_string(c, 335, {25, 220, 575, 250}, f, kDarkRed);
      draw_string(c, 336, {25, 270, 575, 290}, f, kDarkRed);
    } else {
      draw_string(c, 332, {25, 220, 575, 250}, f, kBlue200);
      draw_string(c, 333, {25, 250, 575, 270}, f, kDarkRed);
      draw_string(c, 334, {25, 270, 575, 290}, f, kDarkRed);
    }
  }
  if (b188 & 0x02) draw_string(c, 337, {25, 220, 575, 250}, f, kBlue200);
}

void on_create(gui::Window& w) {
  g_state.help_button = load_localized_bitmap(kHelpButtonBitmap);
  gui::register_controls();
  gui::create_window({.class_name = std::string(gui::kButtonClass),
                      .text = "WARNING_HELP",
                      .style = platform::gui::style::kVisible | gui::style::kChild |
                               gui::style::kOwnerDraw,
                      .rect = Rect::from_xywh(195, 125, 200, 50),
                      .parent = &w,
                      .id = kWarningHelpButtonId});
}

ShownWarning warning_now() {
  return {link::dryer_state().link_watchdog.load() == 0, status(186), status(185),
          uint8_t(status(188) & 0x12)};
}

// A paint of part of the window while the warning has changed would put the new description
// beside the rest of the old one (the 300 ms signal repaint crosses the warning text). Such a
// paint shows the part as it was and asks for the whole window, which is then drawn anew.
// Returns true when the paint is done that way.
bool held_for_whole_repaint(gui::Window& w, const gui::PaintContext& paint, const Rect& client) {
  const ShownWarning now = warning_now();
  if (g_state.shown == now) return false;
  if (paint.dirty.intersected(client) == client) {
    g_state.shown = now;
    return false;
  }
  gui::invalidate(&w, gui::Erase::No);
  if (!g_state.shown) return false;  // nothing drawn yet to hold: draw what is asked for
  paint.canvas->blit(g_state.offscreen, paint.dirty, {paint.dirty.left, paint.dirty.top});
  return true;
}

void on_paint(gui::Window& w, const gui::PaintContext& paint) {
  const Rect client = w.client_rect();
  if (g_state.offscreen.size() != platform::Size{client.width(), client.height()} ||
      g_state.offscreen.empty()) {
    g_state.offscreen = platform::Bitmap(client.width(), client.height(), kBackground);
    g_state.shown.reset();
  }
  if (held_for_whole_repaint(w, paint, client)) return;
  Canvas off(g_state.offscreen);
  off.clip(paint.dirty);
  const bool lost = link::dryer_state().link_watchdog.load() == 0;
  if (lost) link::dryer_state().resync_request.store(1);
  draw_warning_client(off, client);
  StringBuffer caption;
  caption[0] = '\0';
  if (!lost) localized_string(kCaptionString, caption);
  const std::string_view wanted = lost ? std::string_view(kLostLinkCaption) : caption.data();
  if (w.text() != wanted) gui::set_window_text(&w, wanted);
  paint.canvas->blit(g_state.offscreen, paint.dirty, {paint.dirty.left, paint.dirty.top});
}

void on_draw_item(const gui::DrawItemContext& item) {
  if (item.id != kWarningHelpButtonId) return;
  if (g_state.help_button) {
    item.canvas->blit(*g_state.help_button, {0, 0});
  } else {
    item.canvas->fill_rect(item.rect, platform::colors::kFace);
    gui::draw_edge(*item.canvas, item.rect, gui::Edge::Raised);
  }
}

void on_help_button(gui::Window& w) {
  open_warning_help(status(186), status(185), &w);
}

}  // namespace

int signal_step_at(int64_t now_ms) {
  const int pulse = int((now_ms / 300) % 26);
  return pulse <= 13 ? pulse : 26 - pulse;
}

bool draw_warning_client(Canvas& c, const Rect& client) {
  c.fill_rect(client, kBackground);
  if (link::dryer_state().link_watchdog.load() == 0) {
    draw_lost_link(c);
    return true;
  }
  const int warning = status(185);
  const int node = status(186);
  if (node == 0 && warning == 0) return false;
  blit_resource(c, resources::kWarningSignBitmap, {20, 1});
  draw_description(c, node, warning);
  return true;
}

void register_warning_window_class() {
  if (gui::class_registered(kWarningWindowClass)) return;
  gui::register_class({.name = kWarningWindowClass,
                       .procedure = &warning_window_procedure,
                       .background = platform::colors::kWhite,
                       .has_background = true});
}

intptr_t warning_window_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
      on_create(w);
      return 0;
    case gui::MessageKind::EraseBackground:
      return 1;
    case gui::MessageKind::Paint:
      on_paint(w, gui::paint_context(m));
      return 0;
    case gui::MessageKind::DrawItem:
      on_draw_item(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kWarningHelpButtonId) {
        on_help_button(w);
        return 0;
      }
      break;
    case gui::MessageKind::Destroy:
      g_state.help_button.reset();
      g_state.offscreen = {};
      g_state.shown.reset();
      gui::post_quit(0);
      return 0;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

}  // namespace corvex::texts
