// The status picture's window: its paint (picture, icons, overlay), the 100 ms animation step,
// the hourly moisture sampling and the one-shot unload-switch notice.
#include "status/status_picture.h"

#include <string>

#include "link/redraw.h"
#include "platform/gui/message_box.h"
#include "resources/status_artwork.h"
#include "resources/window_classes.h"
#include "status/picture_overlay.h"
#include "texts/texts.h"

namespace corvex::status {

namespace {

namespace gui = platform::gui;
using platform::Canvas;
using platform::Rect;
using resources::DryerPicture;
using resources::Equipment;
using resources::RollSize;

// What the overlay was last built from: while none of it changes, the overlay is drawn again
// as it is.
struct OverlaySource {
  StatusBytes bytes{};
  bool metric = false;
  int hourly_count = -1;
  int hourly_countdown = -1;
  float hourly_average = 0.0f;

  bool operator==(const OverlaySource&) const = default;
};

struct PictureState {
  AnimationCounters counters;
  HourlyMoisture hourly;
  bool notice_latch = false;
  bool notice_open = false;
  // Scratch of the paint and the animation step, kept here so that neither allocates.
  StatusBytes bytes{};
  OverlaySource now;
  OverlaySource built;
  bool overlay_valid = false;
  Overlay overlay;
};

PictureState& state() {
  static PictureState s;
  return s;
}

// One icon of the picture and the rectangle it is drawn in.
struct PlacedIcon {
  const platform::Bitmap* icon = nullptr;
  Rect rect;
};
// The two conveyors, the two metering rolls and up to six fan/heaters.
using PlacedIcons = std::array<PlacedIcon, 10>;

int place_icons(DryerPicture picture, const StatusBytes& b, const AnimationCounters& k,
                PlacedIcons& out) {
  const resources::PictureFamily family = resources::family_of(picture);
  int n_out = 0;
  const auto place = [&](const platform::Bitmap& icon, const Rect& at) {
    out[size_t(n_out++)] = {&icon,
                            {at.left, at.top, at.left + icon.width(), at.top + icon.height()}};
  };
  place(resources::equipment_icon(family, Equipment::Load, k.equipment1),
        resources::equipment_place(picture, Equipment::Load));
  place(resources::equipment_icon(family, Equipment::Unload, k.equipment2),
        resources::equipment_place(picture, Equipment::Unload));
  const RollSize rolls = small_metering_rolls(b[183], b[225]) ? RollSize::Small : RollSize::Large;
  place(resources::metering_roll_icon(rolls, k.forward_roll),
        resources::metering_roll_place(picture, rolls, 0));
  place(resources::metering_roll_icon(rolls, k.reverse_roll),
        resources::metering_roll_place(picture, rolls, 1));
  const int count = fan_heater_count(b[3]);
  for (int n = 1; n <= count; ++n) {
    const auto set = fan_heater_icon_set(b[size_t(131 - n)], b[size_t(137 - n)]);
    place(resources::fan_heater_icon(family, set, k.fan_heater[size_t(n - 1)]),
          resources::fan_heater_place(picture, count, n));
  }
  return n_out;
}

void draw_icons(Canvas& c, DryerPicture picture, const StatusBytes& b, const AnimationCounters& k) {
  PlacedIcons icons;
  const int count = place_icons(picture, b, k, icons);
  const Rect clip = c.clip_rect();
  for (int i = 0; i < count; ++i) {
    const PlacedIcon& p = icons[size_t(i)];
    if (p.rect.intersected(clip).empty()) continue;
    c.blit_keyed(*p.icon, p.icon->rect(), {p.rect.left, p.rect.top}, resources::kIconKey);
  }
}

// Everything outside the part being painted is skipped: the 100 ms animation repaints only
// the icons that moved.
void draw_overlay(Canvas& c, const Overlay& o) {
  const Rect clip = c.clip_rect();
  for (int i = 0; i < o.panel_count; ++i) {
    const OverlayPanel& p = o.panels[size_t(i)];
    if (p.rect.intersected(clip).empty()) continue;
    c.fill_rect(p.rect, p.fill);
    if (p.frame != p.fill) c.frame_rect(p.rect, p.frame);
  }
  for (int i = 0; i < o.mark_count; ++i) {
    const OverlayMark& m = o.marks[size_t(i)];
    c.draw_line(m.a, m.b, m.colour);
  }
  for (int i = 0; i < o.text_count; ++i) {
    const OverlayText& t = o.texts[size_t(i)];
    if (t.rect.intersected(clip).empty()) continue;
    c.draw_text(t.text.data(), t.rect, fitted_overlay_font(t), t.colour, t.format);
  }
}

// Reads the bytes and the other inputs of the overlay now.
void read_overlay_source(PictureState& s) {
  snapshot_status(s.now.bytes);
  s.now.metric = link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0;
  s.now.hourly_count = s.hourly.count();
  s.now.hourly_countdown = s.hourly.countdown();
  s.now.hourly_average = s.hourly.average();
}

// The unload switch is on while a staged batch dries with byte 188 bit 0x40 set: the operator is
// told once each time the condition comes up. The paint only decides; the box is shown when the
// posted message arrives, after the paint.
void check_unload_switch_notice(gui::Window& w, const StatusBytes& b) {
  PictureState& s = state();
  const bool condition = (b[179] & 0x02) && b[8] == 1 && (b[188] & 0x40);
  if (!condition) {
    s.notice_latch = false;
  } else if (!s.notice_latch) {
    s.notice_latch = true;
    gui::post_message(&w, {gui::MessageKind::User, kShowUnloadSwitchNotice, 0});
  }
}

void show_unload_switch_notice(gui::Window& w) {
  PictureState& s = state();
  // A latch raised again while the box is still open needs no second box over the first.
  if (s.notice_open) return;
  s.notice_open = true;
  const std::string text = texts::localized_text(451);
  const std::string caption = texts::localized_text(452);
  gui::message_box(&w, text, caption, gui::kMbOk);
  s.notice_open = false;
}

void on_paint(gui::Window& w, const gui::PaintContext& paint) {
  paint_status_picture(*paint.canvas, w.client_rect());
  const StatusBytes& b = state().bytes;
  if (select_picture(b[4], b[225]).picture == DryerPicture::A1) check_unload_switch_notice(w, b);
}

}  // namespace

void paint_status_picture(Canvas& c, const Rect& client) {
  PictureState& s = state();
  c.fill_rect(client, platform::colors::kBlack);
  read_overlay_source(s);
  s.bytes = s.now.bytes;
  const StatusBytes& b = s.bytes;
  const PictureSelection selection = select_picture(b[4], b[225]);
  if (!selection.picture) return;
  const DryerPicture picture = *selection.picture;
  c.blit(resources::base_picture(picture), resources::picture_origin(picture));
  draw_icons(c, picture, b, s.counters);
  if (!s.overlay_valid || !(s.now == s.built)) {
    build_overlay(selection.layout, b, {s.now.metric, &s.hourly}, s.overlay);
    s.built = s.now;
    s.overlay_valid = true;
  }
  draw_overlay(c, s.overlay);
}

intptr_t status_picture_procedure(gui::Window& w, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::Create:
    case gui::MessageKind::Destroy:
      return 0;
    case gui::MessageKind::EraseBackground:
      return 1;
    case gui::MessageKind::Paint:
      on_paint(w, gui::paint_context(m));
      return 0;
    case gui::MessageKind::User:
      if (m.wparam == kShowUnloadSwitchNotice) {
        show_unload_switch_notice(w);
        return 0;
      }
      break;
    default:
      break;
  }
  return gui::default_window_procedure(w, m);
}

void register_status_picture_class() {
  gui::register_class(
      {resources::DRYER_PIC_WINDOW, &status_picture_procedure, platform::colors::kLightGray, true});
}

// One step of the counters. While nothing else of the picture changed since it was last drawn,
// only the icons whose frame moved are repainted, each on its own; otherwise the whole picture.
void animate_status_picture() {
  PictureState& s = state();
  read_overlay_source(s);
  const StatusBytes& b = s.now.bytes;
  const AnimationCounters before = s.counters;
  step_animation(s.counters, b);
  const PictureSelection selection = select_picture(b[4], b[225]);
  if (!s.overlay_valid || !(s.now == s.built) || !selection.picture) {
    link::request_redraw(link::RedrawTarget::StatusPicture, gui::Erase::Yes);
    return;
  }
  PlacedIcons was;
  PlacedIcons is;
  const int count = place_icons(*selection.picture, b, before, was);
  place_icons(*selection.picture, b, s.counters, is);
  for (int i = 0; i < count; ++i) {
    if (was[size_t(i)].icon == is[size_t(i)].icon) continue;
    link::request_redraw_rect(link::RedrawTarget::StatusPicture,
                              was[size_t(i)].rect.united(is[size_t(i)].rect), gui::Erase::No);
  }
}

void sample_hourly_moisture() {
  const auto& mirror = link::dryer_state().mirror;
  // The one-second tick calls this only while bit 3 of status byte 171 is set; a call outside
  // that leaves the samples, the count and the warm-up countdown as they are.
  if ((mirror[171].load(std::memory_order_relaxed) & 0x08) == 0) return;
  const uint16_t v = uint16_t(mirror[189].load(std::memory_order_relaxed) << 8 |
                              mirror[190].load(std::memory_order_relaxed));
  state().hourly.sample(v);
}

void reset_status_picture_state() {
  PictureState& s = state();
  s.counters = {};
  s.hourly.reset();
  s.notice_latch = false;
  s.notice_open = false;
  s.overlay_valid = false;
}

const AnimationCounters& status_picture_counters() { return state().counters; }
const HourlyMoisture& hourly_moisture() { return state().hourly; }
bool unload_switch_notice_latched() { return state().notice_latch; }

}  // namespace corvex::status
