// The status picture's window: its paint (picture, icons, overlay), the 100 ms animation step,
// the hourly moisture sampling and the one-shot unload-switch notice.
#include "status/status_picture.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

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

// An icon on the part of the layer it covers.
struct ComposedIcon {
  const platform::Bitmap* icon = nullptr;
  Rect rect;  // client coordinates
  platform::Bitmap pixels;
};
// Room for every frame of every icon in every state the picture's icons take on the way; a full
// store starts again empty.
constexpr size_t kMaxComposedIcons = 160;

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

// The font each line of an overlay is drawn in.
using LineFonts = std::array<platform::FontSpec, std::tuple_size_v<decltype(Overlay::texts)>>;

struct PictureState {
  AnimationCounters counters;
  HourlyMoisture hourly;
  bool notice_latch = false;
  bool notice_open = false;
  // Scratch of the paint and the animation step, kept here so that neither allocates.
  OverlaySource now;
  // What the window shows: the overlay built from `built`, with the font each of its lines is
  // drawn in. A paint of a part of the window draws this, so that the part matches the rest;
  // the animation step compares it with the bytes of now and repaints what differs.
  OverlaySource built;
  bool overlay_valid = false;
  Overlay overlay;
  LineFonts fonts{};
  Overlay fresh;
  LineFonts fresh_fonts{};
  // The picture under the icons and the overlay (the black client and the dryer picture on
  // it), drawn once for each picture and client size: a paint copies its part from here
  // instead of filling the part and drawing the picture into it again.
  platform::Bitmap layer;
  std::optional<DryerPicture> layer_picture;
  Rect layer_client;
  // Icons drawn over the layer, each frame at each place composed once: a paint copies the
  // icon's rectangle whole instead of testing every pixel of it against the key colour.
  std::vector<ComposedIcon> composed;
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

// Counters that show frame `frame` of every icon.
AnimationCounters frame_counters(uint8_t frame) {
  AnimationCounters k;
  k.fan_heater.fill(frame);
  k.equipment1 = k.equipment2 = k.forward_roll = k.reverse_roll = frame;
  return k;
}

bool overlaps_another(const PlacedIcons& icons, int count, int i) {
  for (int j = 0; j < count; ++j) {
    if (j != i && !icons[size_t(j)].rect.intersected(icons[size_t(i)].rect).empty()) return true;
  }
  return false;
}

const ComposedIcon* find_composed(const PictureState& s, const PlacedIcon& p) {
  for (const ComposedIcon& c : s.composed) {
    if (c.icon == p.icon && c.rect == p.rect) return &c;
  }
  return nullptr;
}

void compose(PictureState& s, const PlacedIcon& p, const Rect& client) {
  if (s.composed.size() >= kMaxComposedIcons) s.composed.clear();
  ComposedIcon& c = s.composed.emplace_back();
  c.icon = p.icon;
  c.rect = p.rect;
  c.pixels = platform::Bitmap(p.rect.width(), p.rect.height(), platform::colors::kBlack);
  Canvas canvas(c.pixels);
  canvas.blit(s.layer, p.rect.translated(-client.left, -client.top), {0, 0});
  canvas.blit_keyed(*p.icon, p.icon->rect(), {0, 0}, resources::kIconKey);
}

// The icon of slot i as composed on the layer; the first time any frame of a slot is needed,
// all frames of it are composed, so that the animation never composes while it runs.
const ComposedIcon& composed_icon(PictureState& s, DryerPicture picture, const StatusBytes& b,
                                  const PlacedIcons& icons, int i, const Rect& client) {
  if (const ComposedIcon* c = find_composed(s, icons[size_t(i)])) return *c;
  PlacedIcons frame;
  for (int f = 0; f < resources::kAnimationFrames; ++f) {
    place_icons(picture, b, frame_counters(uint8_t(f)), frame);
    if (find_composed(s, frame[size_t(i)]) == nullptr) compose(s, frame[size_t(i)], client);
  }
  if (const ComposedIcon* c = find_composed(s, icons[size_t(i)])) return *c;
  compose(s, icons[size_t(i)], client);
  return s.composed.back();
}

// Icons that overlap another are drawn with their key colour left out, in order, as the
// picture has always drawn them; the others are copied as composed on the layer, which is
// what lies under them.
void draw_icons(Canvas& c, PictureState& s, DryerPicture picture, const Rect& client) {
  const StatusBytes& b = s.built.bytes;
  PlacedIcons icons;
  const int count = place_icons(picture, b, s.counters, icons);
  const Rect clip = c.clip_rect();
  for (int i = 0; i < count; ++i) {
    const PlacedIcon& p = icons[size_t(i)];
    if (p.rect.intersected(clip).empty()) continue;
    if (overlaps_another(icons, count, i)) {
      c.blit_keyed(*p.icon, p.icon->rect(), {p.rect.left, p.rect.top}, resources::kIconKey);
      continue;
    }
    const ComposedIcon& composed = composed_icon(s, picture, b, icons, i, client);
    c.blit(composed.pixels, {p.rect.left, p.rect.top});
  }
}

// Everything outside the part being painted is skipped: the 100 ms animation repaints only
// the icons that moved.
void draw_overlay(Canvas& c, const Overlay& o, const LineFonts& fonts) {
  const Rect clip = c.clip_rect();
  for (int i = 0; i < o.panel_count; ++i) {
    const OverlayPanel& p = o.panels[size_t(i)];
    if (p.rect.intersected(clip).empty()) continue;
    c.fill_rect(p.rect, p.fill);
    if (p.frame != p.fill) c.frame_rect(p.rect, p.frame);
  }
  for (int i = 0; i < o.mark_count; ++i) {
    const OverlayMark& m = o.marks[size_t(i)];
    // A one-pixel line stays inside the box of its two ends.
    const Rect box{std::min(m.a.x, m.b.x), std::min(m.a.y, m.b.y), std::max(m.a.x, m.b.x) + 1,
                   std::max(m.a.y, m.b.y) + 1};
    if (box.intersected(clip).empty()) continue;
    c.draw_line(m.a, m.b, m.colour);
  }
  for (int i = 0; i < o.text_count; ++i) {
    const OverlayText& t = o.texts[size_t(i)];
    if (t.rect.intersected(clip).empty()) continue;
    c.draw_text(t.text.data(), t.rect, fonts[size_t(i)], t.colour, t.format);
  }
}

// The font a line fits in depends on its text, its width and its own font only.
bool same_fit(const OverlayText& a, const OverlayText& b) {
  return a.rect.width() == b.rect.width() && a.font.pixel_height == b.font.pixel_height &&
         a.font.weight == b.font.weight && std::strcmp(a.text.data(), b.text.data()) == 0;
}

// Builds the overlay of `source` into `o`, with the font each line fits in; a line that fits as
// the same line of `shown` does takes its font without measuring again.
void build_fitted_overlay(const OverlaySource& source, const HourlyMoisture& hourly, Overlay& o,
                          LineFonts& fonts, const Overlay* shown = nullptr,
                          const LineFonts* shown_fonts = nullptr) {
  const PictureSelection selection = select_picture(source.bytes[4], source.bytes[225]);
  if (!selection.picture) {
    o.panel_count = o.mark_count = o.text_count = 0;
    return;
  }
  build_overlay(selection.layout, source.bytes, {source.metric, &hourly}, o);
  for (int i = 0; i < o.text_count; ++i) {
    const OverlayText& t = o.texts[size_t(i)];
    if (shown != nullptr && i < shown->text_count && same_fit(t, shown->texts[size_t(i)])) {
      fonts[size_t(i)] = (*shown_fonts)[size_t(i)];
    } else {
      fonts[size_t(i)] = fitted_overlay_font(t);
    }
  }
}

// The overlay of the bytes of now becomes what the window shows.
void adopt_overlay_of_now(PictureState& s) {
  build_fitted_overlay(s.now, s.hourly, s.overlay, s.fonts);
  s.built = s.now;
  s.overlay_valid = true;
}

// Where a line puts its ink: its rectangle and, for a text that could not be made to fit,
// where it runs over; with two pixels to spare for accents and descenders.
Rect text_area(const OverlayText& t, const platform::FontSpec& font) {
  const platform::Size size = platform::measure_text_line(t.text.data(), font);
  int left = t.rect.left;
  if (t.format & platform::text_format::kCenter) {
    left = (t.rect.left + t.rect.right - size.width) / 2;
  } else if (t.format & platform::text_format::kRight) {
    left = t.rect.right - size.width;
  }
  const int top = (t.rect.top + t.rect.bottom - size.height) / 2;
  return t.rect.united({left, top, left + size.width, top + size.height}).inflated(2, 2);
}

bool same_line(const OverlayText& a, const platform::FontSpec& fa, const OverlayText& b,
               const platform::FontSpec& fb) {
  return a.rect == b.rect && a.colour == b.colour && a.format == b.format &&
         fa.pixel_height == fb.pixel_height && fa.weight == fb.weight &&
         std::strcmp(a.text.data(), b.text.data()) == 0;
}

bool same_marks(const Overlay& a, const Overlay& b) {
  if (a.mark_count != b.mark_count) return false;
  for (int i = 0; i < a.mark_count; ++i) {
    const OverlayMark& m = a.marks[size_t(i)];
    const OverlayMark& n = b.marks[size_t(i)];
    if (!(m.a == n.a) || !(m.b == n.b) || m.colour != n.colour) return false;
  }
  return true;
}

// Hands `add` the parts of the picture where the overlays `was` and `is` differ; false when
// they differ in shape (other lines, other marks), so that only a whole repaint will do.
template <typename AddArea>
bool overlay_differences(const Overlay& was, const LineFonts& was_fonts, const Overlay& is,
                         const LineFonts& is_fonts, AddArea&& add) {
  if (was.panel_count != is.panel_count || was.text_count != is.text_count || !same_marks(was, is))
    return false;
  for (int i = 0; i < was.panel_count; ++i) {
    const OverlayPanel& p = was.panels[size_t(i)];
    const OverlayPanel& q = is.panels[size_t(i)];
    if (p.rect == q.rect && p.fill == q.fill && p.frame == q.frame) continue;
    add(p.rect.united(q.rect));
  }
  for (int i = 0; i < was.text_count; ++i) {
    const OverlayText& t = was.texts[size_t(i)];
    const OverlayText& u = is.texts[size_t(i)];
    if (same_line(t, was_fonts[size_t(i)], u, is_fonts[size_t(i)])) continue;
    add(text_area(t, was_fonts[size_t(i)]).united(text_area(u, is_fonts[size_t(i)])));
  }
  return true;
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

const platform::Bitmap& picture_layer(PictureState& s, DryerPicture picture, const Rect& client) {
  if (s.layer_picture != picture || !(s.layer_client == client)) {
    s.layer = platform::Bitmap(client.width(), client.height(), platform::colors::kBlack);
    Canvas layer(s.layer);
    const platform::Point at = resources::picture_origin(picture);
    layer.blit(resources::base_picture(picture), {at.x - client.left, at.y - client.top});
    s.layer_picture = picture;
    s.layer_client = client;
    s.composed.clear();
    s.composed.reserve(kMaxComposedIcons);
  }
  return s.layer;
}

void on_paint(gui::Window& w, const gui::PaintContext& paint) {
  paint_status_picture(*paint.canvas, w.client_rect());
  const StatusBytes& b = state().built.bytes;
  if (select_picture(b[4], b[225]).picture == DryerPicture::A1) check_unload_switch_notice(w, b);
}

}  // namespace

void paint_status_picture(Canvas& c, const Rect& client) {
  PictureState& s = state();
  // A paint of the whole picture shows the bytes of now; a paint of a part of it shows what the
  // rest of the window shows, and the next animation step repaints what has changed since.
  if (!s.overlay_valid || c.clip_rect().intersected(client) == client) {
    read_overlay_source(s);
    if (!s.overlay_valid || !(s.now == s.built)) adopt_overlay_of_now(s);
  }
  const StatusBytes& b = s.built.bytes;
  const PictureSelection selection = select_picture(b[4], b[225]);
  if (!selection.picture) {
    c.fill_rect(client, platform::colors::kBlack);
    return;
  }
  const DryerPicture picture = *selection.picture;
  c.blit(picture_layer(s, picture, client), {client.left, client.top});
  draw_icons(c, s, picture, client);
  draw_overlay(c, s.overlay, s.fonts);
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

// One step of the counters. While the picture and the shape of its overlay stay as they are,
// only what changed since it was last drawn is repainted: the icons whose frame moved and the
// lines and panels that changed; otherwise the whole picture.
void animate_status_picture() {
  PictureState& s = state();
  read_overlay_source(s);
  const AnimationCounters before = s.counters;
  step_animation(s.counters, s.now.bytes);
  const auto repaint_all = [&s] {
    adopt_overlay_of_now(s);
    link::request_redraw(link::RedrawTarget::StatusPicture, gui::Erase::Yes);
  };
  const StatusBytes& was_bytes = s.built.bytes;
  const StatusBytes& is_bytes = s.now.bytes;
  const PictureSelection was = select_picture(was_bytes[4], was_bytes[225]);
  const PictureSelection is = select_picture(is_bytes[4], is_bytes[225]);
  if (!s.overlay_valid || !is.picture || was.picture != is.picture || was.layout != is.layout) {
    repaint_all();
    return;
  }
  // The parts to repaint, at most one for each icon, panel and line; the platform merges them
  // into a few rectangles.
  std::array<Rect, std::tuple_size_v<PlacedIcons> + std::tuple_size_v<decltype(Overlay::panels)> +
                       std::tuple_size_v<decltype(Overlay::texts)>>
      areas;
  size_t area_count = 0;
  const auto add = [&](const Rect& r) {
    if (area_count < areas.size()) areas[area_count++] = r;
  };
  PlacedIcons shown;
  PlacedIcons next;
  const int count = place_icons(*is.picture, was_bytes, before, shown);
  if (place_icons(*is.picture, is_bytes, s.counters, next) != count) {
    repaint_all();
    return;
  }
  for (int i = 0; i < count; ++i) {
    const PlacedIcon& a = shown[size_t(i)];
    const PlacedIcon& b = next[size_t(i)];
    if (a.icon != b.icon || !(a.rect == b.rect)) add(a.rect.united(b.rect));
  }
  if (!(s.now == s.built)) {
    build_fitted_overlay(s.now, s.hourly, s.fresh, s.fresh_fonts, &s.overlay, &s.fonts);
    if (!overlay_differences(s.overlay, s.fonts, s.fresh, s.fresh_fonts, add)) {
      repaint_all();
      return;
    }
    s.overlay = s.fresh;
    s.fonts = s.fresh_fonts;
    s.built = s.now;
  }
  for (size_t i = 0; i < area_count; ++i) {
    link::request_redraw_rect(link::RedrawTarget::StatusPicture,
                              areas[i].intersected(kPictureClient), gui::Erase::No);
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
