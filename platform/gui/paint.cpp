// Invalidation and the paint pass: dirty rectangles per window, exposed screen areas, and one
// pass that paints every window in z-order into the framebuffer and tells the backend the
// union of what changed.
#include <algorithm>
#include <cassert>
#include <cstdint>

#include "platform/gui/gui_internal.h"

namespace platform::gui {

using detail::PaintEntry;
using detail::state;

namespace {

constexpr Color kCaptionColor = rgb(0, 0, 128);
constexpr Color kEdgeLight = colors::kFace;
constexpr Color kEdgeHighlight = colors::kWhite;
constexpr Color kEdgeShadow = rgb(128, 128, 128);
constexpr Color kEdgeDarkShadow = rgb(64, 64, 64);
constexpr FontSpec kCaptionFont = {14, 700};
constexpr size_t kMaxDamageRects = 8;

// Adds r to a short list of screen rectangles: a rectangle already covered adds nothing, one
// that covers others replaces them, and a full list collapses into one union.
void add_rect(std::vector<Rect>& list, const Rect& r) {
  if (r.empty()) return;
  for (const Rect& e : list) {
    if (e.contains(r)) return;
  }
  std::erase_if(list, [&](const Rect& e) { return r.contains(e); });
  if (list.size() >= kMaxDamageRects) {
    Rect all = r;
    for (const Rect& e : list) all = all.united(e);
    list.clear();
    list.push_back(all);
    return;
  }
  list.push_back(r);
}

void collect(Window& w, std::vector<PaintEntry>& order) {
  const WindowClass* wc = detail::class_of(w);
  order.push_back({&w, detail::visible_screen_rect(w), wc == nullptr || wc->has_background});
  for (const auto& c : w.children()) {
    if (c->is_shown()) collect(*c, order);
  }
}

bool touches(const std::vector<Rect>& rects, const Rect& area) {
  for (const Rect& r : rects) {
    if (!r.intersected(area).empty()) return true;
  }
  return false;
}

// True when a window painted later in the pass covers the whole area, so painting under it
// would be wasted.
bool covered_later(const std::vector<PaintEntry>& order, size_t i, const Rect& area) {
  for (size_t j = i + 1; j < order.size(); ++j) {
    if (order[j].opaque && order[j].visible.contains(area) && order[j].window->is_visible())
      return true;
  }
  return false;
}

void fill_edge(Canvas& c, const Rect& r, Color top_left, Color bottom_right) {
  c.fill_rect({r.left, r.top, r.right, r.top + 1}, top_left);
  c.fill_rect({r.left, r.top, r.left + 1, r.bottom}, top_left);
  c.fill_rect({r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
  c.fill_rect({r.right - 1, r.top, r.right, r.bottom}, bottom_right);
}

// Counts a window's paint as running for as long as it is on the stack.
struct PaintingScope {
  PaintingScope() { ++state().painting; }
  ~PaintingScope() { --state().painting; }
  PaintingScope(const PaintingScope&) = delete;
  PaintingScope& operator=(const PaintingScope&) = delete;
};

// Paints the client part `inside` (screen coordinates) of the window: the erase and the
// procedure's paint, clipped to it. A paint that leaves the canvas's save stack unbalanced is
// a programming error; the scope still puts the screen canvas back as it found it.
void paint_client(Window& w, Canvas& canvas, const Rect& inside, bool erase) {
  const size_t depth = canvas.saved_depth();
  CanvasState saved(canvas);
  const Point o = w.client_origin();
  canvas.clip(inside);
  canvas.translate(o.x, o.y);
  const PaintContext pc{&canvas, inside.translated(-o.x, -o.y)};
  PaintingScope painting;
  if (erase) send_message(&w, paint_message(MessageKind::EraseBackground, pc));
  if (detail::is_alive(&w)) send_message(&w, paint_message(MessageKind::Paint, pc));
  assert(canvas.saved_depth() == depth + 1 && "a paint left canvas saves unrestored");
  while (canvas.saved_depth() > depth + 1) canvas.restore();
}

// Paints the part `area` (screen coordinates) of the window: frame and caption, then the
// erase and the procedure's paint of the client area, clipped to the area.
void paint_region(Window& w, const Rect& area, bool erase) {
  Canvas& canvas = state().screen_canvas;
  detail::begin_window_texts(w, area);
  const Rect client = detail::client_screen_rect(w);
  if (!client.contains(area)) {
    CanvasState saved(canvas);
    canvas.clip(area);
    detail::draw_frame(canvas, w);
  }
  const Rect inside = client.intersected(area);
  if (!inside.empty()) paint_client(w, canvas, inside, erase);
  detail::end_window_texts();
}

// What of the window is waiting to be painted, in screen coordinates, taken off the window:
// the exposed part, and the dirty pieces of the client area.
struct Pending {
  Rect exposed;
  DirtyArea dirty;
  bool erase = false;
};

Pending take_pending(Window& w) {
  Pending p;
  Rect& exposed = WindowAccess::exposed(w);
  if (!exposed.empty()) {
    const Rect s = w.screen_rect();
    p.exposed = exposed.translated(s.left, s.top);
    p.erase = true;
  }
  DirtyArea& dirty = WindowAccess::dirty(w);
  if (!dirty.empty()) {
    const Point o = w.client_origin();
    for (int i = 0; i < dirty.count; ++i) p.dirty.add(dirty.pieces[size_t(i)].translated(o.x, o.y));
    p.erase = p.erase || WindowAccess::erase_pending(w);
  }
  exposed = {};
  dirty = {};
  WindowAccess::erase_pending(w) = false;
  return p;
}

}  // namespace

void DirtyArea::add(const Rect& r) {
  if (r.empty()) return;
  for (int i = 0; i < count; ++i) {
    if (pieces[size_t(i)].contains(r)) return;
  }
  // Pieces that overlap the new one join it, so that no part is painted twice.
  Rect joined = r;
  for (bool grew = true; grew;) {
    grew = false;
    for (int i = 0; i < count; ++i) {
      if (pieces[size_t(i)].intersected(joined).empty()) continue;
      joined = joined.united(pieces[size_t(i)]);
      pieces[size_t(i)] = pieces[size_t(--count)];
      grew = true;
      break;
    }
  }
  if (count == kMaxPieces) {
    // Full: the new piece joins the one whose union with it adds the least area.
    const auto area = [](const Rect& x) { return int64_t(x.width()) * x.height(); };
    int best = 0;
    int64_t best_growth = INT64_MAX;
    for (int i = 0; i < count; ++i) {
      const Rect& p = pieces[size_t(i)];
      const int64_t growth = area(p.united(joined)) - area(p) - area(joined);
      if (growth < best_growth) {
        best_growth = growth;
        best = i;
      }
    }
    const Rect merged = pieces[size_t(best)].united(joined);
    pieces[size_t(best)] = pieces[size_t(--count)];
    add(merged);  // the union may now overlap others
    return;
  }
  pieces[size_t(count++)] = joined;
}

Rect DirtyArea::united() const {
  Rect all;
  for (int i = 0; i < count; ++i) all = all.united(pieces[size_t(i)]);
  return all;
}

namespace detail {

void mark_exposed(Window& w) {
  if (!w.is_visible()) return;
  WindowAccess::exposed(w) = {0, 0, w.rect().width(), w.rect().height()};
  state().any_dirty = true;
}

// Hidden windows collect nothing: showing one exposes all of it anyway.
void invalidate_now(Window* w, const Rect* r, Erase erase) {
  if (!is_alive(w) || !w->is_visible()) return;
  const Rect client = w->client_rect();
  const Rect d = r != nullptr ? r->intersected(client) : client;
  if (d.empty()) return;
  WindowAccess::dirty(*w).add(d);
  if (erase == Erase::Yes) WindowAccess::erase_pending(*w) = true;
  state().any_dirty = true;
}

void add_screen_damage(const Rect& r) {
  const Rect on_screen = r.intersected({0, 0, kScreenWidth, kScreenHeight});
  if (on_screen.empty()) return;
  add_rect(state().screen_damage, on_screen);
  state().any_dirty = true;
}

bool paint_needed() { return state().any_dirty; }

// Frames and captions belong to the platform: a 3-D raised edge, a black border, and a title
// bar with the window text.
void draw_frame(Canvas& canvas, Window& w) {
  Rect r = w.screen_rect();
  const uint32_t st = w.style();
  if (st & style::kRaisedEdge) {
    fill_edge(canvas, r, kEdgeLight, kEdgeDarkShadow);
    fill_edge(canvas, r.inflated(-1, -1), kEdgeHighlight, kEdgeShadow);
    r = r.inflated(-2, -2);
  }
  if (st & (style::kBorder | style::kCaption)) {
    canvas.frame_rect(r, colors::kBlack, 1);
    r = r.inflated(-1, -1);
  }
  if (st & style::kCaption) {
    const Rect bar{r.left, r.top, r.right, r.top + kCaptionHeight};
    canvas.fill_rect(bar, kCaptionColor);
    canvas.draw_text(w.text(), {bar.left + 3, bar.top, bar.right - 3, bar.bottom}, kCaptionFont,
                     colors::kWhite,
                     text_format::kLeft | text_format::kVCenter | text_format::kSingleLine);
  }
}

void reset_painting() {
  state().screen_damage.clear();
  state().any_dirty = false;
  state().framebuffer.fill(colors::kBlack);
}

}  // namespace detail

Bitmap& framebuffer() { return state().framebuffer; }

bool painting() { return state().painting > 0; }

void invalidate(Window* w, Erase erase) {
  if (!on_gui_thread()) {
    detail::queue_item(detail::make_item(detail::QueueItem::Kind::Invalidate,
                                         {.window = w, .flag = true, .erase = erase}));
    return;
  }
  detail::invalidate_now(w, nullptr, erase);
}

void invalidate_rect(Window* w, const Rect& r, Erase erase) {
  if (!on_gui_thread()) {
    detail::queue_item(detail::make_item(detail::QueueItem::Kind::Invalidate,
                                         {.window = w, .erase = erase, .rect = r}));
    return;
  }
  detail::invalidate_now(w, &r, erase);
}

namespace {
// Hidden windows collect nothing, and a hidden window's children are hidden with it: the walk
// leaves out the screens that are not shown, which are most of the tree.
void invalidate_class_in(Window& w, int class_index, const Rect* r, Erase erase) {
  if (!w.is_shown()) return;
  if (WindowAccess::class_index(w) == class_index) detail::invalidate_now(&w, r, erase);
  for (size_t i = 0; i < w.children().size(); ++i)
    invalidate_class_in(*w.children()[i], class_index, r, erase);
}

void invalidate_class_now(int class_index, const Rect* r, Erase erase) {
  invalidate_class_in(desktop(), class_index, r, erase);
}
}  // namespace

void invalidate_class(std::string_view class_name, Erase erase) {
  const int index = detail::find_class_index(class_name);
  if (index < 0) return;
  if (!on_gui_thread()) {
    detail::queue_item(detail::make_item(detail::QueueItem::Kind::InvalidateClass,
                                         {.flag = true, .erase = erase, .class_index = index}));
    return;
  }
  invalidate_class_now(index, nullptr, erase);
}

void invalidate_class_rect(std::string_view class_name, const Rect& r, Erase erase) {
  const int index = detail::find_class_index(class_name);
  if (index < 0) return;
  if (!on_gui_thread()) {
    detail::queue_item(detail::make_item(detail::QueueItem::Kind::InvalidateClass,
                                         {.erase = erase, .rect = r, .class_index = index}));
    return;
  }
  invalidate_class_now(index, &r, erase);
}

void update_window(Window* w) {
  if (!on_gui_thread() || !detail::is_alive(w)) return;
  paint_pending();
}

// Paints, bottom of the z-order first, every window with something pending and, over it,
// whatever lies above the part it painted; a window hidden entirely under an opaque window
// that comes later is skipped. A paint that asks for the pass again (update_window) gets nothing:
// what it invalidated is painted by the next pass.
void paint_pending() {
  auto& st = state();
  if (!on_gui_thread() || !st.any_dirty || st.painting > 0) return;
  st.any_dirty = false;
  detail::DispatchScope scope;
  std::vector<PaintEntry>& order = st.paint_order;
  std::vector<Rect>& damage = st.paint_damage;
  order.clear();
  collect(desktop(), order);
  damage.assign(st.screen_damage.begin(), st.screen_damage.end());
  st.screen_damage.clear();
  Rect changed;
  for (size_t i = 0; i < order.size(); ++i) {
    Window& w = *order[i].window;
    // Most windows of a pass have nothing to paint: nothing pending, and nothing painted under
    // them so far. A window destroyed by an earlier paint of the pass is still in the graveyard,
    // so its fields may be read before it is checked.
    if (WindowAccess::exposed(w).empty() && WindowAccess::dirty(w).empty() &&
        !touches(damage, order[i].visible))
      continue;
    if (!detail::is_alive(&w) || !w.is_visible()) continue;
    const Rect visible = detail::visible_screen_rect(w);
    Pending pending = take_pending(w);
    Rect own = pending.exposed;
    bool erase = pending.erase;
    for (const Rect& d : damage) {
      const Rect x = d.intersected(visible);
      if (x.empty()) continue;
      own = own.united(x);
      erase = true;
    }
    // Only dirty pieces and nothing else: each is painted on its own. Anything more and the
    // window paints the union once.
    const int pieces = own.empty() ? pending.dirty.count : 0;
    if (pieces == 0) own = own.united(pending.dirty.united());
    for (int k = 0; k < std::max(pieces, 1); ++k) {
      const Rect area = (pieces > 0 ? pending.dirty.pieces[size_t(k)] : own).intersected(visible);
      if (area.empty() || covered_later(order, i, area)) continue;
      paint_region(w, area, erase);
      add_rect(damage, area);
      changed = changed.united(area);
    }
  }
  if (!changed.empty()) detail::present_frame(framebuffer(), changed);
}

}  // namespace platform::gui
