// The "LISTVIEW" class in report style: a header of column titles over rows of cell texts,
// one row selected by a tap, a vertical scroll bar when the rows do not fit. A tap on a column
// title tells the parent, which sorts as it sees fit.
#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

struct Column {
  std::string title;
  int width = 0;
};

struct ListViewState {
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;  // each row has one cell per column
  int selection = -1;
  int pressed_column = -1;  // the header column held down
  ListScroll scroll;
};

constexpr int kInset = 2;
constexpr int kCellPadding = 4;

ListViewState* state_of(const Window* w) {
  return control_state_of<ListViewState>(w, kListViewClass);
}

int row_height() { return std::max(24, font_line_height(kListFont) + 8); }
int header_height() { return std::max(26, font_line_height(kHeaderFont) + 10); }

int row_count(const ListViewState& s) { return int(s.rows.size()); }

Rect inner_rect(const Window& w) { return w.client_rect().inflated(-kInset, -kInset); }

Rect header_rect(const Window& w) {
  const Rect inner = inner_rect(w);
  return {inner.left, inner.top, inner.right, std::min(inner.bottom, inner.top + header_height())};
}

// The rows fill the list under the header; the scrolling follows the list's size.
ListScroll& scroll_of(const Window& w, ListViewState& s) {
  const Rect inner = inner_rect(w);
  s.scroll.area = {inner.left, header_rect(w).bottom, inner.right, inner.bottom};
  s.scroll.row_height = row_height();
  return s.scroll;
}

void refresh(Window& w, ListViewState& s) { scroll_of(w, s).refresh(w, row_count(s)); }

// The column under x (client coordinates), or -1 right of the last one.
int column_at(const Window& w, const ListViewState& s, int x) {
  int left = inner_rect(w).left;
  for (size_t c = 0; c < s.columns.size(); ++c) {
    const int right = left + s.columns[c].width;
    if (x >= left && x < right) return int(c);
    left = right;
  }
  return -1;
}

void paint_header(Window& w, const ListViewState& s, Canvas& canvas) {
  const Rect header = header_rect(w);
  canvas.fill_rect(header, colors::kFace);
  int left = header.left;
  for (size_t c = 0; c < s.columns.size() && left < header.right; ++c) {
    const Rect cell{left, header.top, std::min(header.right, left + s.columns[c].width),
                    header.bottom};
    left += s.columns[c].width;
    if (cell.empty()) continue;
    const bool pressed = int(c) == s.pressed_column && control_pressed(&w);
    draw_edge(canvas, cell, pressed ? Edge::Sunken : Edge::Raised);
    CanvasState saved(canvas);
    canvas.clip(cell.inflated(-2, -2));
    const Rect text = cell.inflated(-kCellPadding, 0).translated(pressed ? 1 : 0, pressed ? 1 : 0);
    canvas.draw_text(s.columns[c].title, text, kHeaderFont, colors::kBlack,
                     text_format::kVCenter | text_format::kSingleLine);
  }
}

void paint_row(Window& w, const ListViewState& s, Canvas& canvas, int index, const Rect& row) {
  const bool selected = index == s.selection;
  if (selected) canvas.fill_rect(row, kSelectionColor);
  const Color color = !w.is_enabled() ? kDisabledTextColor
                      : selected      ? colors::kWhite
                                      : colors::kBlack;
  const auto& cells = s.rows[size_t(index)];
  int left = row.left;
  for (size_t c = 0; c < s.columns.size() && left < row.right; ++c) {
    const Rect cell{left, row.top, std::min(row.right, left + s.columns[c].width), row.bottom};
    left += s.columns[c].width;
    if (cell.width() <= 2 * kCellPadding || cells[c].empty()) continue;
    CanvasState saved(canvas);
    canvas.clip(cell.inflated(-kCellPadding, 0));
    canvas.draw_text(cells[c], cell.inflated(-kCellPadding, 0), kListFont, color,
                     text_format::kVCenter | text_format::kSingleLine);
  }
}

void paint_list_view(Window& w, const PaintContext& paint) {
  ListViewState* s = state_of(&w);
  if (s == nullptr) return;
  Canvas& canvas = *paint.canvas;
  const Rect client = w.client_rect();
  canvas.fill_rect(client.inflated(-kInset, -kInset), colors::kWhite);
  draw_edge(canvas, client, Edge::Sunken);
  paint_header(w, *s, canvas);
  const ListScroll& scroll = scroll_of(w, *s);
  CanvasState saved(canvas);
  canvas.clip(scroll.rows_rect());
  scroll.for_each_visible(row_count(*s), [&](int i, const Rect& row) {
    if (!row.intersected(paint.dirty).empty()) paint_row(w, *s, canvas, i, row);
  });
}

void notify(Window& w, ListViewEvent event, int row, int column) {
  Window* parent = w.parent();
  if (parent == nullptr) return;
  const ListViewNotification n{&w, w.id(), event, row, column};
  send_message(parent, {MessageKind::Notify, w.id(), reinterpret_cast<intptr_t>(&n)});
}

void on_pointer_down(Window& w, ListViewState& s, Point p) {
  count_control_press();
  if (header_rect(w).contains(p)) {
    s.pressed_column = column_at(w, s, p.x);
    invalidate_rect(&w, header_rect(w), Erase::No);
    return;
  }
  const int index = scroll_of(w, s).row_at(p, row_count(s));
  if (index < 0 || index == s.selection) return;
  s.selection = index;
  invalidate(&w, Erase::Yes);
  notify(w, ListViewEvent::SelectionChanged, index, -1);
}

void on_pointer_up(Window& w, ListViewState& s, Point p) {
  const int column = s.pressed_column;
  if (column < 0) return;
  s.pressed_column = -1;
  invalidate_rect(&w, header_rect(w), Erase::No);
  if (header_rect(w).contains(p) && column_at(w, s, p.x) == column) {
    notify(w, ListViewEvent::ColumnClicked, -1, column);
  }
}

intptr_t list_view_procedure(Window& w, const Message& m) {
  ListViewState* s = state_of(&w);
  switch (m.kind) {
    case MessageKind::Create:
      w.control_state = std::make_shared<ListViewState>();
      return 0;
    case MessageKind::Paint:
      paint_list_view(w, paint_context(m));
      return 0;
    case MessageKind::PointerDown:
      if (s != nullptr) on_pointer_down(w, *s, pointer_point(w, m));
      return 0;
    case MessageKind::PointerMove:
      if (s != nullptr && s->pressed_column >= 0) invalidate_rect(&w, header_rect(w), Erase::No);
      return 0;
    case MessageKind::PointerUp:
      if (s != nullptr) on_pointer_up(w, *s, pointer_point(w, m));
      return 0;
    case MessageKind::VScroll:
      if (s != nullptr) scroll_of(w, *s).scroll(w, m, row_count(*s));
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

bool valid_row(const ListViewState& s, int row) { return row >= 0 && row < row_count(s); }

}  // namespace

void register_list_view_class() {
  register_class({std::string(kListViewClass), &list_view_procedure, colors::kWhite, true});
}

int list_view_add_column(Window* view, std::string_view title, int width) {
  ListViewState* s = state_of(view);
  if (s == nullptr) return -1;
  s->columns.push_back({std::string(title), std::max(0, width)});
  for (auto& row : s->rows) row.resize(s->columns.size());
  invalidate(view, Erase::Yes);
  return int(s->columns.size()) - 1;
}

void list_view_set_column_width(Window* view, int column, int width) {
  ListViewState* s = state_of(view);
  if (s == nullptr || column < 0 || column >= int(s->columns.size())) return;
  width = std::max(0, width);
  if (s->columns[size_t(column)].width == width) return;
  s->columns[size_t(column)].width = width;
  invalidate(view, Erase::Yes);
}

// Returns the column's width in pixels, 0 when it does not exist.
int list_view_column_width(const Window* view, int column) {
  const ListViewState* s = state_of(view);
  if (s == nullptr || column < 0 || column >= int(s->columns.size())) return 0;
  return s->columns[size_t(column)].width;
}

// Returns the number of columns.
int list_view_column_count(const Window* view) {
  const ListViewState* s = state_of(view);
  return s == nullptr ? 0 : int(s->columns.size());
}

int list_view_insert_row(Window* view, int row, std::string_view first_cell) {
  ListViewState* s = state_of(view);
  if (s == nullptr || row < 0) return -1;
  row = std::min(row, row_count(*s));
  std::vector<std::string> cells(std::max<size_t>(1, s->columns.size()));
  cells[0] = std::string(first_cell);
  s->rows.insert(s->rows.begin() + row, std::move(cells));
  if (s->selection >= row) ++s->selection;
  refresh(*view, *s);
  return row;
}

int list_view_add_row(Window* view, std::string_view first_cell) {
  return list_view_insert_row(view, list_view_row_count(view), first_cell);
}

bool list_view_set_cell(Window* view, int row, int column, std::string_view text) {
  ListViewState* s = state_of(view);
  if (s == nullptr || !valid_row(*s, row) || column < 0) return false;
  auto& cells = s->rows[size_t(row)];
  if (size_t(column) >= cells.size()) return false;
  if (cells[size_t(column)] == text) return true;
  cells[size_t(column)] = std::string(text);
  invalidate(view, Erase::Yes);
  return true;
}

// Returns the cell's text, empty when the row or column does not exist.
std::string list_view_cell(const Window* view, int row, int column) {
  const ListViewState* s = state_of(view);
  if (s == nullptr || !valid_row(*s, row) || column < 0) return {};
  const auto& cells = s->rows[size_t(row)];
  return size_t(column) < cells.size() ? cells[size_t(column)] : std::string();
}

bool list_view_delete_row(Window* view, int row) {
  ListViewState* s = state_of(view);
  if (s == nullptr || !valid_row(*s, row)) return false;
  s->rows.erase(s->rows.begin() + row);
  if (s->selection == row) s->selection = -1;
  if (s->selection > row) --s->selection;
  refresh(*view, *s);
  return true;
}

void list_view_delete_all(Window* view) {
  ListViewState* s = state_of(view);
  if (s == nullptr) return;
  s->rows.clear();
  s->selection = -1;
  s->scroll.top = 0;
  refresh(*view, *s);
}

// Returns the number of rows.
int list_view_row_count(const Window* view) {
  const ListViewState* s = state_of(view);
  return s == nullptr ? 0 : row_count(*s);
}

// Returns the selected row, or -1.
int list_view_selection(const Window* view) {
  const ListViewState* s = state_of(view);
  return s == nullptr ? -1 : s->selection;
}

void list_view_set_selection(Window* view, int row) {
  ListViewState* s = state_of(view);
  if (s == nullptr) return;
  if (!valid_row(*s, row)) row = -1;
  if (row == s->selection) return;
  s->selection = row;
  invalidate(view, Erase::Yes);
}

void list_view_ensure_visible(Window* view, int row) {
  ListViewState* s = state_of(view);
  if (s == nullptr || !valid_row(*s, row)) return;
  scroll_of(*view, *s).ensure_visible(*view, row, row_count(*s));
}

// Returns the first row in view.
int list_view_top_row(const Window* view) {
  const ListViewState* s = state_of(view);
  return s == nullptr ? 0 : s->scroll.top;
}

void list_view_sort(Window* view, int column, bool ascending) {
  ListViewState* s = state_of(view);
  if (s == nullptr || column < 0 || column >= int(s->columns.size())) return;
  std::vector<int> order(s->rows.size());
  std::iota(order.begin(), order.end(), 0);
  const size_t c = size_t(column);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const std::string& x = s->rows[size_t(a)][c];
    const std::string& y = s->rows[size_t(b)][c];
    return ascending ? x < y : y < x;
  });
  std::vector<std::vector<std::string>> sorted;
  sorted.reserve(s->rows.size());
  int selection = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i] == s->selection) selection = int(i);
    sorted.push_back(std::move(s->rows[size_t(order[i])]));
  }
  s->rows = std::move(sorted);
  s->selection = selection;
  invalidate(view, Erase::Yes);
}

Rect list_view_row_rect(const Window* view, int row) {
  ListViewState* s = state_of(view);
  return s == nullptr ? Rect{} : scroll_of(*view, *s).row_rect(row, row_count(*s));
}

Rect list_view_header_rect(const Window* view, int column) {
  const ListViewState* s = state_of(view);
  if (s == nullptr || column < 0 || column >= int(s->columns.size())) return {};
  const Rect header = header_rect(*view);
  int left = header.left;
  for (int c = 0; c < column; ++c) left += s->columns[size_t(c)].width;
  return Rect{left, header.top, left + s->columns[size_t(column)].width, header.bottom}
      .intersected(header);
}

}  // namespace platform::gui
