// What `windows` tells about controls beyond their own line: the rows of a list view and the
// items of a list box with their rectangles and selection, and the buttons drawn checked.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "platform/gui/automation.h"

namespace controls_test {
namespace {

struct Row {
  int index = -1;
  Rect rect;
  bool selected = false;
  std::string line;
};

// The row lines of a `windows` listing that stand under the control whose line contains
// `control`, parsed.
std::vector<Row> rows_under(const std::string& listing, const std::string& control) {
  std::vector<Row> rows;
  std::istringstream in(listing);
  bool under = false;
  for (std::string line; std::getline(in, line);) {
    const size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos) continue;
    if (line.compare(indent, 4, "row ") != 0) {
      under = line.find(control) != std::string::npos;
      continue;
    }
    if (!under) continue;
    Row r;
    int x = 0, y = 0, w = 0, h = 0;
    if (std::sscanf(line.c_str() + indent, "row %d %d %d %d %d", &r.index, &x, &y, &w, &h) != 5)
      continue;
    r.rect = Rect::from_xywh(x, y, w, h);
    r.selected = line.find(" selected ") != std::string::npos;
    r.line = line;
    rows.push_back(r);
  }
  return rows;
}

class AutomationRows : public ControlsTest {
 protected:
  void TearDown() override {
    set_automation_output(nullptr);
    ControlsTest::TearDown();
  }
  // Runs a script through the automation in the main loop; the script ends with quit.
  std::vector<std::string> run(const std::string& script) {
    std::vector<std::string> answers;
    set_automation_output([&](std::string_view line) { answers.emplace_back(line); });
    start_automation_script(script + "quit\n");
    run_message_loop();
    return answers;
  }
};

TEST_F(AutomationRows, ListViewRowsOutOfViewHaveNoRectangleAndATapSelectsOne) {
  Window* view = make(kListViewClass, "history", 0, Rect::from_xywh(40, 60, 400, 150), 21);
  list_view_add_column(view, "Date", 150);
  list_view_add_column(view, "Warning", 200);
  for (int i = 0; i < 12; ++i) {
    const int row = list_view_add_row(view, "2026-01-" + std::to_string(10 + i));
    list_view_set_cell(view, row, 1, i == 3 ? "Low \"gas\"" : "Fan " + std::to_string(i));
  }
  list_view_ensure_visible(view, 6);
  paint_pending();

  std::vector<Row> rows = rows_under(describe_windows(), "\"history\"");
  ASSERT_EQ(rows.size(), 12u);
  const Rect list = view->screen_rect();
  int shown = 0;
  for (const Row& r : rows) {
    const Rect own = list_view_row_rect(view, r.index);
    if (own.empty()) {
      EXPECT_NE(r.line.find(" 0 0 0 0 "), std::string::npos) << r.line;
      continue;
    }
    ++shown;
    EXPECT_TRUE(list.contains(r.rect)) << r.line;
    EXPECT_EQ(r.rect.height(), own.height()) << r.line;
  }
  EXPECT_GT(shown, 1);
  EXPECT_LT(shown, 12);
  EXPECT_TRUE(list_view_row_rect(view, 0).empty()) << "scrolled so that row 6 shows";
  EXPECT_NE(rows[3].line.find("\"2026-01-13\" \"Low \\\"gas\\\"\""), std::string::npos)
      << rows[3].line;
  EXPECT_FALSE(rows[6].selected);

  const Rect target = rows[6].rect;
  ASSERT_FALSE(target.empty());
  run("tap " + std::to_string((target.left + target.right) / 2) + " " +
      std::to_string((target.top + target.bottom) / 2) + "\n");
  EXPECT_EQ(list_view_selection(view), 6);
  rows = rows_under(describe_windows(), "\"history\"");
  ASSERT_EQ(rows.size(), 12u);
  for (const Row& r : rows) EXPECT_EQ(r.selected, r.index == 6) << r.line;
}

TEST_F(AutomationRows, ListBoxItemsAreRowsToo) {
  Window* box = make(kListBoxClass, "grains", 0, Rect::from_xywh(300, 250, 200, 120), 22);
  for (const char* g : {"Corn", "Wheat", "Rice", "Soybeans", "Barley", "Oats", "Rye", "Milo"})
    list_box_add(box, g);
  list_box_set_selection(box, 1);
  paint_pending();
  const std::vector<Row> rows = rows_under(describe_windows(), "\"grains\"");
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_TRUE(rows[1].selected);
  EXPECT_NE(rows[1].line.find(" selected \"Wheat\""), std::string::npos) << rows[1].line;
  EXPECT_TRUE(rows[7].rect.empty()) << "the last grain is below the view: " << rows[7].line;

  const Rect target = rows[2].rect;
  ASSERT_FALSE(target.empty());
  run("tap " + std::to_string(target.left + 5) + " " + std::to_string(target.top + 2) + "\n");
  EXPECT_EQ(list_box_selection(box), 2);
}

// Check boxes and radio buttons with their check, and owner-drawn push buttons that the program
// marks checked and draws so, are reported checked; a plain push button has no check to show.
TEST_F(AutomationRows, ButtonsDrawnCheckedAreReportedChecked) {
  Window* box = make(kButtonClass, "Auto", control_style::kCheckBox, Rect::from_xywh(10, 10, 120, 40), 31);
  Window* owner = make(kButtonClass, "ENGLISH", style::kOwnerDraw, Rect::from_xywh(10, 60, 120, 60), 32);
  Window* plain = make(kButtonClass, "OK", 0, Rect::from_xywh(10, 130, 120, 40), 33);
  button_set_check(box, true);
  button_set_check(owner, true);
  button_set_check(plain, true);
  const auto flagged = [](const std::string& text) {
    std::istringstream in(describe_windows());
    for (std::string line; std::getline(in, line);) {
      if (line.find("\"" + text + "\"") != std::string::npos)
        return line.find(" checked") != std::string::npos;
    }
    ADD_FAILURE() << text << " not listed";
    return false;
  };
  EXPECT_TRUE(flagged("Auto"));
  EXPECT_TRUE(flagged("ENGLISH"));
  EXPECT_FALSE(flagged("OK"));
  button_set_check(owner, false);
  EXPECT_FALSE(flagged("ENGLISH"));
}

}  // namespace
}  // namespace controls_test
