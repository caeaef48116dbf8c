// The scrolling list boxes and list views share: rows of one height in an area, the first row
// in view, and the vertical scroll bar the list keeps as a child of its own, shown only while
// the rows do not fit.
#include <algorithm>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

// Returns the new first row after a scroll message from the bar.
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

// Creates the bar on first need, places it at r and sets it from info; a null info hides it.
void place_bar(Window& list, Window*& bar, const Rect& r, const ScrollInfo* info) {
  if (info == nullptr) {
    if (bar != nullptr && bar->is_shown()) show_window(bar, false);
    return;
  }
  if (bar == nullptr) {
    bar = create_window({std::string(kScrollBarClass), "",
                         style::kChild | control_style::kVertical, r, &list, 0, 0});
    if (bar == nullptr) return;
  }
  if (bar->rect() != r) move_window(bar, r);
  scroll_bar_set_info(bar, *info);
  if (!bar->is_shown()) show_window(bar, true);
}

}  // namespace

int ListScroll::page() const { return std::max(1, area.height() / row_height); }

Rect ListScroll::rows_rect() const {
  Rect r = area;
  if (bar != nullptr && bar->is_shown()) r.right -= kInnerScrollBarWidth;
  return r;
}

void ListScroll::refresh(Window& list, int count) {
  const int visible = page();
  top = std::clamp(top, 0, std::max(0, count - visible));
  const Rect bar_rect{area.right - kInnerScrollBarWidth, area.top, area.right, area.bottom};
  const ScrollInfo info{0, std::max(0, count - 1), visible, top};
  place_bar(list, bar, bar_rect, count > visible ? &info : nullptr);
  invalidate(&list, Erase::Yes);
}

void ListScroll::scroll(Window& list, const Message& m, int count) {
  top = scrolled_top(m, top, page());
  refresh(list, count);
}

void ListScroll::ensure_visible(Window& list, int row, int count) {
  if (row < top) top = row;
  if (row >= top + page()) top = row - page() + 1;
  refresh(list, count);
}

// Returns the row under p, or -1 outside the rows or past the last one.
int ListScroll::row_at(Point p, int count) const {
  const Rect rows = rows_rect();
  if (!rows.contains(p)) return -1;
  const int index = top + (p.y - rows.top) / row_height;
  return index < count ? index : -1;
}

// Returns where the row is drawn, cut to the rows' area; empty when it is not in view.
Rect ListScroll::row_rect(int index, int count) const {
  if (index < top || index >= count) return {};
  const Rect rows = rows_rect();
  const int y = rows.top + (index - top) * row_height;
  return Rect{rows.left, y, rows.right, y + row_height}.intersected(rows);
}

}  // namespace platform::gui
