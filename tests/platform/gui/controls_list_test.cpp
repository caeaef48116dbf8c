// List views and list boxes: rows and cells, selection by tap, column clicks, scrolling.
#include "tests/platform/gui/controls_fixture.h"

namespace controls_test {
namespace {

class ListViewTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    view = make(kListViewClass, "", 0, Rect::from_xywh(10, 10, 600, 200), 1105);
    ASSERT_NE(view, nullptr);
    for (const char* title : {"Shutdown ID", "Node ID", "Date", "Time"}) {
      list_view_add_column(view, title, 90);
    }
    list_view_set_column_width(view, 0, 325);
  }
  void add_row(const std::string& a, const std::string& b) {
    const int row = list_view_add_row(view, a);
    ASSERT_TRUE(list_view_set_cell(view, row, 1, b));
  }
  Point screen_point(const Rect& client_rect) const {
    const Point o = view->client_origin();
    return {o.x + (client_rect.left + client_rect.right) / 2,
            o.y + (client_rect.top + client_rect.bottom) / 2};
  }
  Window* view = nullptr;
};

TEST_F(ListViewTest, RowsHoldTheirCells) {
  add_row("0105 FAN FAILURE", "FAN/HEATER #1");
  add_row("0E05 REAR DISCHARGE", "MAIN I/O");
  EXPECT_EQ(list_view_insert_row(view, 0, "0F01 FIRST"), 0);
  EXPECT_EQ(list_view_row_count(view), 3);
  EXPECT_EQ(list_view_cell(view, 0, 0), "0F01 FIRST");
  EXPECT_EQ(list_view_cell(view, 1, 1), "FAN/HEATER #1");
  EXPECT_EQ(list_view_cell(view, 2, 0), "0E05 REAR DISCHARGE");
  EXPECT_EQ(list_view_cell(view, 0, 1), "") << "cells not set are empty";
  EXPECT_FALSE(list_view_set_cell(view, 3, 0, "no such row"));
  EXPECT_FALSE(list_view_set_cell(view, 0, 4, "no such column"));
  EXPECT_EQ(list_view_cell(view, 7, 0), "");
  EXPECT_EQ(list_view_column_width(view, 0), 325);
  EXPECT_EQ(list_view_column_count(view), 4);
  EXPECT_EQ(list_view_insert_row(view, 99, "appended"), 3);

  list_view_set_selection(view, 1);
  list_view_delete_all(view);
  EXPECT_EQ(list_view_row_count(view), 0);
  EXPECT_EQ(list_view_selection(view), -1);
}

TEST_F(ListViewTest, TapSelectsARowAndTellsTheParent) {
  add_row("A", "1");
  add_row("B", "2");
  add_row("C", "3");
  tap(screen_point(list_view_row_rect(view, 2)));
  EXPECT_EQ(list_view_selection(view), 2);
  auto notes = heard_of(MessageKind::Notify);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].notification.event, ListViewEvent::SelectionChanged);
  EXPECT_EQ(notes[0].notification.row, 2);
  EXPECT_EQ(notes[0].id, 1105);
  EXPECT_EQ(notes[0].notification.control, view);

  // The same row again changes nothing; a tap below the last row selects nothing new.
  tap(screen_point(list_view_row_rect(view, 2)));
  const Rect last = list_view_row_rect(view, 2);
  tap(screen_point(last.translated(0, 2 * last.height())));
  EXPECT_EQ(heard_of(MessageKind::Notify).size(), 1u);
  EXPECT_EQ(list_view_selection(view), 2);

  // The selected row is drawn highlighted.
  const Point p = screen_point(list_view_row_rect(view, 2));
  EXPECT_EQ(pixel(p.x + 200, p.y), kSelectionColor);
}

TEST_F(ListViewTest, HeaderTapReportsTheColumnOnRelease) {
  add_row("x", "y");
  tap(screen_point(list_view_header_rect(view, 1)));
  auto notes = heard_of(MessageKind::Notify);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].notification.event, ListViewEvent::ColumnClicked);
  EXPECT_EQ(notes[0].notification.column, 1);
  EXPECT_EQ(list_view_selection(view), -1) << "a header tap selects no row";

  // Pressed on one title and released over another: nothing.
  inject_pointer_down(screen_point(list_view_header_rect(view, 2)));
  inject_pointer_move(screen_point(list_view_header_rect(view, 3)));
  inject_pointer_up();
  EXPECT_EQ(heard_of(MessageKind::Notify).size(), 1u);
}

TEST_F(ListViewTest, ManyRowsScrollAndTapsFollowTheScroll) {
  for (int i = 0; i < 30; ++i) add_row("row " + std::to_string(i), "");
  ASSERT_EQ(view->children().size(), 1u);
  Window* bar = view->children()[0].get();
  EXPECT_TRUE(bar->is_shown());
  EXPECT_EQ(list_view_top_row(view), 0);

  list_view_ensure_visible(view, 29);
  const int top = list_view_top_row(view);
  EXPECT_GT(top, 0);
  EXPECT_FALSE(list_view_row_rect(view, 29).empty());
  EXPECT_TRUE(list_view_row_rect(view, 0).empty());
  EXPECT_EQ(scroll_bar_position(bar), top);

  tap(screen_point(list_view_row_rect(view, top)));
  EXPECT_EQ(list_view_selection(view), top);

  // The bar's up arrow scrolls one row.
  const Rect b = bar->screen_rect();
  tap({(b.left + b.right) / 2, b.top + 5});
  EXPECT_EQ(list_view_top_row(view), top - 1);

  list_view_delete_all(view);
  EXPECT_FALSE(bar->is_shown());
  EXPECT_EQ(list_view_top_row(view), 0);
}

TEST_F(ListViewTest, SortOrdersRowsAndTheSelectionFollows) {
  add_row("b", "2");
  add_row("c", "1");
  add_row("a", "3");
  list_view_set_selection(view, 1);  // "c"
  list_view_sort(view, 0, true);
  EXPECT_EQ(list_view_cell(view, 0, 0), "a");
  EXPECT_EQ(list_view_cell(view, 2, 0), "c");
  EXPECT_EQ(list_view_cell(view, 2, 1), "1") << "cells move with their row";
  EXPECT_EQ(list_view_selection(view), 2);
  list_view_sort(view, 1, false);
  EXPECT_EQ(list_view_cell(view, 0, 1), "3");
  EXPECT_EQ(list_view_selection(view), 2);
}

class ListBoxTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    list = make(kListBoxClass, "", 0, Rect::from_xywh(20, 20, 400, 130), 1225);
    ASSERT_NE(list, nullptr);
  }
  Point screen_point(int index) const {
    const Rect r = list_box_item_rect(list, index);
    const Point o = list->client_origin();
    return {o.x + (r.left + r.right) / 2, o.y + (r.top + r.bottom) / 2};
  }
  Window* list = nullptr;
};

TEST_F(ListBoxTest, ItemsSelectionAndNotification) {
  EXPECT_EQ(list_box_add(list, "NO TEXT FILE AVAILABLE."), 0);
  EXPECT_EQ(list_box_add(list, "second"), 1);
  tap(screen_point(1));
  EXPECT_EQ(list_box_selection(list), 1);
  auto commands = heard_of(MessageKind::Command);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].id, 1225);
  EXPECT_EQ(commands[0].code, kListBoxSelectionChanged);

  // Inserting before the selection keeps the same item selected.
  EXPECT_EQ(list_box_insert(list, 0, "zero"), 0);
  EXPECT_EQ(list_box_selection(list), 2);
  EXPECT_EQ(list_box_text(list, 2), "second");
  EXPECT_EQ(list_box_delete(list, 2), 2);
  EXPECT_EQ(list_box_selection(list), -1);
  EXPECT_EQ(list_box_delete(list, 5), -1);
  EXPECT_EQ(list_box_count(list), 2);
  EXPECT_EQ(list_box_text(list, 9), "");
  list_box_set_selection(list, 1);
  EXPECT_EQ(heard_of(MessageKind::Command).size(), 1u) << "setting the selection is silent";
}

TEST_F(ListBoxTest, LongListsGetAScrollBar) {
  list_box_add(list, "one");
  ASSERT_TRUE(list->children().empty() || !list->children()[0]->is_shown());
  for (int i = 0; i < 40; ++i) list_box_add(list, "line " + std::to_string(i));
  ASSERT_EQ(list->children().size(), 1u);
  Window* bar = list->children()[0].get();
  EXPECT_TRUE(bar->is_shown());
  const Rect b = bar->screen_rect();
  tap({(b.left + b.right) / 2, b.bottom - 5});
  EXPECT_EQ(list_box_top_index(list), 1);
  list_box_set_top_index(list, 1000);
  // Clamped so that the last page ends with the last item.
  EXPECT_GT(list_box_top_index(list), 30);
  EXPECT_FALSE(list_box_item_rect(list, 40).empty());
  EXPECT_TRUE(list_box_item_rect(list, list_box_top_index(list) - 1).empty());
  tap(screen_point(40));
  EXPECT_EQ(list_box_selection(list), 40);
  list_box_clear(list);
  EXPECT_EQ(list_box_count(list), 0);
  EXPECT_FALSE(bar->is_shown());
}

}  // namespace
}  // namespace controls_test
