// The "LISTBOX" class: a column of strings with one selection. A tap selects an item and tells
// the parent (Command, selection changed); when the items do not fit, a vertical scroll bar
// appears at the right and scrolls them.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

struct ListBoxState {
  std::vector<std::string> items;
  int selection = -1;
  int top = 0;
  Window* bar = nullptr;
};

constexpr int kInset = 2;

ListBoxState* state_of(const Window* w) { return control_state_of<ListBoxState>(w, kListBoxClass); }

int row_height() { return std::max(24, font_line_height(kListFont) + 8); }

Rect inner_rect(const Window& w) { return w.client_rect().inflated(-kInset, -kInset); }

int visible_rows(const Window& w) { return std::max(1, inner_rect(w).height() / row_height()); }

int count_of(const ListBoxState& s) { return int(s.items.size()); }

// Keeps the first row in range, shows the scroll bar only when the items do not fit, and
// repaints.
void refresh(Window& w, ListBoxState& s) {
  const int visible = visible_rows(w);
  const int count = count_of(s);
  s.top = std::clamp(s.top, 0, std::max(0, count - visible));
  const bool scrolls = count > visible;
  const Rect inner = inner_rect(w);
  const Rect bar_rect{inner.right - kInnerScrollBarWidth, inner.top, inner.right, inner.bottom};
  const ScrollInfo info{0, std::max(0, count - 1), visible, s.top};
  place_inner_scroll_bar(w, s.bar, bar_rect, scrolls ? &info : nullptr);
  invalidate(&w, Erase::Yes);
}

Rect items_rect(const Window& w, const ListBoxState& s) {
  Rect r = inner_rect(w);
  if (s.bar != nullptr && s.bar->is_shown()) r.right -= kInnerScrollBarWidth;
  return r;
}

void paint_list_box(Window& w, const PaintContext& paint) {
  const ListBoxState* s = state_of(&w);
  if (s == nullptr) return;
  Canvas& canvas = *paint.canvas;
  const Rect client = w.client_rect();
  canvas.fill_rect(client.inflated(-kInset, -kInset), colors::kWhite);
  draw_edge(canvas, client, Edge::Sunken);
  const Rect area = items_rect(w, *s);
  canvas.save();
  canvas.clip(area);
  const int height = row_height();
  for (int i = s->top, y = area.top; i < count_of(*s) && y < area.bottom; ++i, y += height) {
    const Rect row{area.left, y, area.right, y + height};
    if (row.intersected(paint.dirty).empty()) continue;
    const bool selected = i == s->selection;
    if (selected) canvas.fill_rect(row, kSelectionColor);
    const Color color = !w.is_enabled() ? kDisabledTextColor
                        : selected      ? colors::kWhite
                                        : colors::kBlack;
    canvas.draw_text(s->items[size_t(i)], row.inflated(-4, 0), kListFont, color,
                     text_format::kVCenter | text_format::kSingleLine | text_format::kExpandTabs);
  }
  canvas.restore();
}

void on_tap(Window& w, ListBoxState& s, Point p) {
  count_control_press();
  const Rect area = items_rect(w, s);
  if (!area.contains(p)) return;
  const int index = s.top + (p.y - area.top) / row_height();
  if (index >= count_of(s) || index == s.selection) return;
  s.selection = index;
  invalidate(&w, Erase::Yes);
  notify_parent_command(w, kListBoxSelectionChanged);
}

intptr_t list_box_procedure(Window& w, const Message& m) {
  ListBoxState* s = state_of(&w);
  switch (m.kind) {
    case MessageKind::Create:
      w.control_state = std::make_shared<ListBoxState>();
      return 0;
    case MessageKind::Paint:
      paint_list_box(w, *reinterpret_cast<const PaintContext*>(m.lparam));
      return 0;
    case MessageKind::PointerDown:
      if (s != nullptr) on_tap(w, *s, pointer_point(w, m));
      return 0;
    case MessageKind::VScroll:
      if (s != nullptr) {
        s->top = scrolled_top(m, s->top, visible_rows(w));
        refresh(w, *s);
      }
      return 0;
    case MessageKind::Show:
      if (s != nullptr && m.wparam != 0) refresh(w, *s);
      break;
    case MessageKind::Enable:
      invalidate(&w, Erase::Yes);
      return 0;
    default:
      break;
  }
  return default_window_procedure(w, m);
}

}  // namespace

void register_list_box_class() {
  register_class({std::string(kListBoxClass), &list_box_procedure, colors::kWhite, true});
}

// Returns the new first row after a scroll message from an inner bar.
int scrolled_top(const Message& m, int top, int page) {
  switch (scroll_code(m)) {
    case ScrollCode::LineUp: return top - 1;
    case ScrollCode::LineDown: return top + 1;
    case ScrollCode::PageUp: return top - page;
    case ScrollCode::PageDown: return top + page;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition: return scroll_message_position(m);
    default: return top;
  }
}

void place_inner_scroll_bar(Window& control, Window*& bar, const Rect& r, const ScrollInfo* info) {
  if (info == nullptr) {
    if (bar != nullptr && bar->is_shown()) show_window(bar, false);
    return;
  }
  if (bar == nullptr) {
    bar = create_window({std::string(kScrollBarClass), "",
                         style::kChild | control_style::kVertical, r, &control, 0, 0});
    if (bar == nullptr) return;
  }
  if (bar->rect() != r) move_window(bar, r);
  scroll_bar_set_info(bar, *info);
  if (!bar->is_shown()) show_window(bar, true);
}

int list_box_add(Window* list, std::string_view text) {
  ListBoxState* s = state_of(list);
  return s == nullptr ? -1 : list_box_insert(list, count_of(*s), text);
}

int list_box_insert(Window* list, int index, std::string_view text) {
  ListBoxState* s = state_of(list);
  if (s == nullptr || index < 0) return -1;
  index = std::min(index, count_of(*s));
  s->items.insert(s->items.begin() + index, std::string(text));
  if (s->selection >= index) ++s->selection;
  refresh(*list, *s);
  return index;
}

int list_box_delete(Window* list, int index) {
  ListBoxState* s = state_of(list);
  if (s == nullptr || index < 0 || index >= count_of(*s)) return -1;
  s->items.erase(s->items.begin() + index);
  if (s->selection == index) s->selection = -1;
  if (s->selection > index) --s->selection;
  refresh(*list, *s);
  return index;
}

void list_box_clear(Window* list) {
  ListBoxState* s = state_of(list);
  if (s == nullptr) return;
  s->items.clear();
  s->selection = -1;
  s->top = 0;
  refresh(*list, *s);
}

// Returns the number of items (0 for a window that is no list box).
int list_box_count(const Window* list) {
  const ListBoxState* s = state_of(list);
  return s == nullptr ? 0 : count_of(*s);
}

// Returns the item's text, empty when the index is out of range.
std::string list_box_text(const Window* list, int index) {
  const ListBoxState* s = state_of(list);
  if (s == nullptr || index < 0 || index >= count_of(*s)) return {};
  return s->items[size_t(index)];
}

// Returns the selected item, or -1.
int list_box_selection(const Window* list) {
  const ListBoxState* s = state_of(list);
  return s == nullptr ? -1 : s->selection;
}

void list_box_set_selection(Window* list, int index) {
  ListBoxState* s = state_of(list);
  if (s == nullptr) return;
  if (index < 0 || index >= count_of(*s)) index = -1;
  if (index == s->selection) return;
  s->selection = index;
  invalidate(list, Erase::Yes);
}

// Returns the index of the first item in view.
int list_box_top_index(const Window* list) {
  const ListBoxState* s = state_of(list);
  return s == nullptr ? 0 : s->top;
}

void list_box_set_top_index(Window* list, int index) {
  ListBoxState* s = state_of(list);
  if (s == nullptr) return;
  s->top = index;
  refresh(*list, *s);
}

Rect list_box_item_rect(const Window* list, int index) {
  const ListBoxState* s = state_of(list);
  if (s == nullptr || index < s->top || index >= count_of(*s)) return {};
  const Rect area = items_rect(*list, *s);
  const int top = area.top + (index - s->top) * row_height();
  const Rect row{area.left, top, area.right, top + row_height()};
  return row.intersected(area);
}

}  // namespace platform::gui
