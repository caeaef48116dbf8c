// The window tree: classes, creation and destruction, visibility, enabled state, z-order,
// geometry, frames and look-ups.
#include <algorithm>
#include <cctype>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/gui/gui_internal.h"

namespace platform::gui {

using detail::state;

namespace {

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

Window& make_desktop() {
  static Window desktop;
  WindowAccess::rect(desktop) = {0, 0, kScreenWidth, kScreenHeight};
  WindowAccess::style(desktop) = style::kVisible;
  WindowAccess::serial(desktop) = 0;
  return desktop;
}

// Topmost siblings stay above the others, and popups (dialogs, message boxes) above both.
int z_band(const Window& w) {
  return ((w.style() & style::kPopup) ? 2 : 0) + (w.is_topmost() ? 1 : 0);
}

// Puts the child at the top of its band among its siblings.
void place_in_z_order(Window& parent, std::unique_ptr<Window> child) {
  auto& kids = WindowAccess::children(parent);
  const int band = z_band(*child);
  auto at = kids.end();
  while (at != kids.begin() && z_band(**(at - 1)) > band) --at;
  kids.insert(at, std::move(child));
}

std::unique_ptr<Window> detach(Window& w) {
  Window* parent = w.parent();
  if (parent == nullptr) return nullptr;
  auto& kids = WindowAccess::children(*parent);
  for (auto it = kids.begin(); it != kids.end(); ++it) {
    if (it->get() == &w) {
      std::unique_ptr<Window> owned = std::move(*it);
      kids.erase(it);
      return owned;
    }
  }
  return nullptr;
}

void restack(Window& w) {
  Window* parent = w.parent();
  std::unique_ptr<Window> owned = detach(w);
  if (owned) place_in_z_order(*parent, std::move(owned));
}

void send_destroy_messages(Window& w) {
  WindowAccess::life(w) = detail::kDestroying;
  send_message(&w, {MessageKind::Destroy, 0, 0});
  std::vector<Window*> kids;
  for (const auto& c : w.children()) kids.push_back(c.get());
  for (Window* c : kids) {
    if (WindowAccess::life(*c) == detail::kAlive && c->parent() == &w) send_destroy_messages(*c);
  }
}

void mark_destroyed(Window& w) {
  for (const auto& c : w.children()) mark_destroyed(*c);
  WindowAccess::life(w) = detail::kDead;
  state().live.erase(&w);
  detail::kill_timers_of(&w);
  detail::forget_window_input(&w);
  detail::end_modal_frames_of(&w);
}

// Popups whose owner lies in the subtree of w go with it.
void destroy_owned_popups(Window& w) {
  std::vector<Window*> owned;
  for (const auto& top : desktop().children()) {
    if (top.get() != &w && top->owner() != nullptr && detail::is_ancestor_or_self(&w, top->owner()))
      owned.push_back(top.get());
  }
  for (Window* o : owned) destroy_window(o);
}

}  // namespace

namespace detail {

bool is_alive(const Window* w) {
  return w != nullptr && (w == &desktop() || state().live.count(w) != 0);
}

const WindowClass* class_of(const Window& w) {
  const int index = WindowAccess::class_index(w);
  auto& st = state();
  std::lock_guard lock(st.class_mutex);
  if (index < 0 || size_t(index) >= st.classes.size()) return nullptr;
  return &st.classes[size_t(index)];
}

int find_class_index(std::string_view name) {
  auto& st = state();
  std::lock_guard lock(st.class_mutex);
  for (size_t i = 0; i < st.classes.size(); ++i) {
    if (same_name(st.classes[i].name, name)) return int(i);
  }
  return -1;
}

int frame_width(uint32_t st) {
  int width = (st & style::kRaisedEdge) ? 2 : 0;
  if (st & (style::kBorder | style::kCaption)) width += 1;
  return width;
}

Rect client_screen_rect(const Window& w) {
  const Point o = w.client_origin();
  const Rect c = w.client_rect();
  return c.translated(o.x, o.y);
}

Rect visible_screen_rect(const Window& w) {
  Rect r = w.screen_rect();
  for (const Window* p = w.parent(); p != nullptr; p = p->parent()) {
    r = r.intersected(client_screen_rect(*p));
  }
  return r.intersected({0, 0, kScreenWidth, kScreenHeight});
}

bool is_ancestor_or_self(const Window* ancestor, const Window* w) {
  for (; w != nullptr; w = w->parent()) {
    if (w == ancestor) return true;
  }
  return false;
}

void show_window_now(Window* w, bool show) {
  if (!is_alive(w) || w == &desktop() || w->is_shown() == show) return;
  if (refused_while_painting(show ? "showing a window" : "hiding a window")) return;
  const bool was_visible = w->is_visible();
  const Rect area = visible_screen_rect(*w);
  uint32_t& st = WindowAccess::style(*w);
  st = show ? (st | style::kVisible) : (st & ~style::kVisible);
  if (show) {
    mark_exposed(*w);
  } else {
    if (was_visible) add_screen_damage(area);
    forget_window_input(w);
  }
  send_message(w, {MessageKind::Show, show ? 1 : 0, 0});
}

void enable_window_now(Window* w, bool enable) {
  if (!is_alive(w) || w == &desktop() || w->is_enabled() == enable) return;
  uint32_t& st = WindowAccess::style(*w);
  st = enable ? (st & ~style::kDisabled) : (st | style::kDisabled);
  if (!enable) forget_window_input(w);
  mark_exposed(*w);
  send_message(w, {MessageKind::Enable, enable ? 1 : 0, 0});
}

}  // namespace detail

Window& desktop() {
  static Window& d = make_desktop();
  return d;
}

bool is_window(const Window* w) { return w != nullptr && state().live.count(w) != 0; }

// Registers the class, or replaces the one of that name (compared without regard to case);
// windows that exist keep using the replaced class's procedure.
void register_class(const WindowClass& wc) {
  auto& st = state();
  std::lock_guard lock(st.class_mutex);
  for (auto& existing : st.classes) {
    if (same_name(existing.name, wc.name)) {
      existing = wc;
      return;
    }
  }
  st.classes.push_back(wc);
}

bool class_registered(std::string_view name) { return detail::find_class_index(name) >= 0; }

bool Window::is_visible() const {
  for (const Window* w = this; w != nullptr; w = w->parent()) {
    if (!w->is_shown()) return false;
  }
  return true;
}

Rect Window::screen_rect() const {
  if (parent_ == nullptr) return rect_;
  const Point o = parent_->client_origin();
  return rect_.translated(o.x, o.y);
}

Rect Window::client_rect() const {
  const int f = detail::frame_width(style_);
  const int caption = (style_ & style::kCaption) ? kCaptionHeight : 0;
  const int w = std::max(0, rect_.width() - 2 * f);
  const int h = std::max(0, rect_.height() - 2 * f - caption);
  return {0, 0, w, h};
}

Point Window::client_origin() const {
  const Rect s = screen_rect();
  const int f = detail::frame_width(style_);
  const int caption = (style_ & style::kCaption) ? kCaptionHeight : 0;
  return {s.left + f, s.top + f + caption};
}

// Creates the window at the top of its siblings (within its band), sends Create and returns
// it; nullptr for an unknown class, a parent that no longer exists, or when the Create handler
// returns -1, and while a paint runs.
Window* create_window(const CreateParams& p) {
  const int class_index = detail::find_class_index(p.class_name);
  if (class_index < 0) return nullptr;
  if (p.parent != nullptr && !detail::is_alive(p.parent)) return nullptr;
  if (detail::refused_while_painting("creating a window")) return nullptr;
  const WindowClass* wc = nullptr;
  {
    std::lock_guard lock(state().class_mutex);
    wc = &state().classes[size_t(class_index)];
  }
  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  WindowAccess::class_name(*w) = p.class_name;
  WindowAccess::text(*w) = p.text;
  WindowAccess::id(*w) = p.id;
  WindowAccess::style(*w) = p.style;
  WindowAccess::rect(*w) = p.rect;
  WindowAccess::class_index(*w) = class_index;
  WindowAccess::serial(*w) = state().next_serial++;
  w->set_procedure(wc->procedure);
  Window* parent = p.parent != nullptr ? p.parent : &desktop();
  if (p.style & style::kPopup) {
    WindowAccess::owner(*w) = parent == &desktop() ? nullptr : parent;
    parent = &desktop();
  }
  WindowAccess::parent(*w) = parent;
  place_in_z_order(*parent, std::move(owned));
  state().live.insert(w);
  if (send_message(w, {MessageKind::Create, 0, p.create_param}) == -1) {
    destroy_window(w);
    return nullptr;
  }
  if (detail::is_alive(w)) detail::mark_exposed(*w);
  return detail::is_alive(w) ? w : nullptr;
}

// Sends Destroy to the window and then to its children; the windows leave the tree at once but
// their memory is freed only when no dispatch is running any more.
void destroy_window(Window* w) {
  if (!is_window(w) || WindowAccess::life(*w) != detail::kAlive) return;
  if (detail::refused_while_painting("destroying a window")) return;
  destroy_owned_popups(*w);
  const bool was_visible = w->is_visible();
  const Rect area = detail::visible_screen_rect(*w);
  send_destroy_messages(*w);
  mark_destroyed(*w);
  std::unique_ptr<Window> owned = detach(*w);
  WindowAccess::parent(*w) = nullptr;
  if (was_visible) detail::add_screen_damage(area);
  if (owned) state().graveyard.push_back(std::move(owned));
  if (state().dispatch_depth == 0) detail::free_destroyed_windows();
}

void move_window(Window* w, const Rect& r, bool repaint) {
  if (!detail::is_alive(w) || w == &desktop() || w->rect() == r) return;
  if (detail::refused_while_painting("moving a window")) return;
  const bool visible = w->is_visible();
  const Rect old_area = detail::visible_screen_rect(*w);
  WindowAccess::rect(*w) = r;
  if (!repaint || !visible) return;
  detail::add_screen_damage(old_area);
  detail::mark_exposed(*w);
}

void set_window_text(Window* w, std::string_view text) {
  if (!detail::is_alive(w) || w->text() == text) return;
  WindowAccess::text(*w) = std::string(text);
  detail::mark_exposed(*w);
}

void set_topmost(Window* w, bool topmost) {
  if (!detail::is_alive(w) || w == &desktop()) return;
  if (detail::refused_while_painting("restacking a window")) return;
  uint32_t& st = WindowAccess::style(*w);
  st = topmost ? (st | style::kTopmost) : (st & ~style::kTopmost);
  restack(*w);
  detail::mark_exposed(*w);
}

void bring_to_front(Window* w) {
  if (!detail::is_alive(w) || w == &desktop()) return;
  const auto& kids = w->parent()->children();
  if (!kids.empty() && kids.back().get() == w) return;
  if (detail::refused_while_painting("restacking a window")) return;
  restack(*w);
  detail::mark_exposed(*w);
}

Window* find_window(std::string_view class_name, const std::string* title) {
  for (const auto& top : desktop().children()) {
    if (!same_name(top->class_name(), class_name)) continue;
    if (title == nullptr || top->text() == *title) return top.get();
  }
  return nullptr;
}

namespace {
Window* find_in(Window& root, std::string_view class_name) {
  for (const auto& c : root.children()) {
    if (same_name(c->class_name(), class_name)) return c.get();
    if (Window* deeper = find_in(*c, class_name)) return deeper;
  }
  return nullptr;
}

// The window of root's children (or root itself) that takes a touch at p; a disabled child
// hands the touch to its parent, so neither it nor its children take input.
Window* hit(Window& root, Point p, const Rect& clip) {
  const auto& kids = root.children();
  for (size_t i = kids.size(); i-- > 0;) {
    Window& c = *kids[i];
    if (!c.is_shown() || !c.screen_rect().intersected(clip).contains(p)) continue;
    if (!c.is_enabled()) return &root;
    const Rect inner = detail::client_screen_rect(c).intersected(clip);
    return inner.contains(p) ? hit(c, p, inner) : &c;
  }
  return &root;
}
}  // namespace

Window* find_window_by_class(std::string_view class_name) { return find_in(desktop(), class_name); }

namespace {
void collect_tree(Window& w, std::vector<Window*>& out) {
  for (const auto& c : w.children()) {
    out.push_back(c.get());
    collect_tree(*c, out);
  }
}
}  // namespace

void broadcast_message(const Message& m) {
  std::vector<Window*> all;
  collect_tree(desktop(), all);
  for (Window* w : all) {
    if (detail::is_alive(w)) send_message(w, m);
  }
}

Window* child_by_id(Window* parent, int id) {
  if (!detail::is_alive(parent)) return nullptr;
  for (const auto& c : parent->children()) {
    if (c->id() == id) return c.get();
  }
  return nullptr;
}

Window* window_at(Point screen) {
  const Rect all{0, 0, kScreenWidth, kScreenHeight};
  if (!all.contains(screen)) return nullptr;
  Window* w = hit(desktop(), screen, all);
  return w == &desktop() ? nullptr : w;
}

}  // namespace platform::gui
