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
  ListScroll scroll;
};

constexpr int kInset = 2;

ListBoxState* state_of(const Window* w) { return control_state_of<ListBoxState>(w, kListBoxClass); }

int row_height() { return std::max(24, font_line_height(kListFont) + 8); }

int count_of(const ListBoxState& s) { return int(s.items.size()); }

// The items fill the list inside its sunken edge; the scrolling follows the list's size.
ListScroll& scroll_of(const Window& w, ListBoxState& s) {
  s.scroll.area = w.client_rect().inflated(-kInset, -kInset);
  s.scroll.row_height = row_height();
  return s.scroll;
}

// Keeps the first row in range, shows the scroll bar only when the items do not fit, and
// repaints.
void refresh(Window& w, ListBoxState& s) { scroll_of(w, s).refresh(w, count_of(s)); }

void paint_list_box(Window& w, const PaintContext& paint) {
  ListBoxState* s = state_of(&w);
  if (s == nullptr) return;
  Canvas& canvas = *paint.canvas;
  const Rect client = w.client_rect();
  canvas.fill_rect(client.inflated(-kInset, -kInset), colors::kWhite);
  draw_edge(canvas, client, Edge::Sunken);
  const ListScroll& scroll = scroll_of(w, *s);
  CanvasState saved(canvas);
  canvas.clip(scroll.rows_rect());
  scroll.for_each_visible(count_of(*s), [&](int i, const Rect& row) {
    if (row.intersected(paint.dirty).empty()) return;
    const bool selected = i == s->selection;
    if (selected) canvas.fill_rect(row, kSelectionColor);
    const Color color = !w.is_enabled() ? kDisabledTextColor
                        : selected      ? colors::kWhite
                                        : colors::kBlack;
    canvas.draw_text(s->items[size_t(i)], row.inflated(-4, 0), kListFont, color,
                     text_format::kVCenter | text_format::kSingleLine | text_format::kExpandTabs);
  });
}

void on_tap(Window& w, ListBoxState& s, Point p) {
  count_control_press();
  const int index = scroll_of(w, s).row_at(p, count_of(s));
  if (index < 0 || index == s.selection) return;
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
      paint_list_box(w, paint_context(m));
      return 0;
    case MessageKind::PointerDown:
      if (s != nullptr) on_tap(w, *s, pointer_point(w, m));
      return 0;
    case MessageKind::VScroll:
      if (s != nullptr) scroll_of(w, *s).scroll(w, m, count_of(*s));
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
  s->scroll.top = 0;
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
  return s == nullptr ? 0 : s->scroll.top;
}

void list_box_set_top_index(Window* list, int index) {
  ListBoxState* s = state_of(list);
  if (s == nullptr) return;
  s->scroll.top = index;
  refresh(*list, *s);
}

Rect list_box_item_rect(const Window* list, int index) {
  ListBoxState* s = state_of(list);
  return s == nullptr ? Rect{} : scroll_of(*list, *s).row_rect(index, count_of(*s));
}

}  // namespace platform::gui
