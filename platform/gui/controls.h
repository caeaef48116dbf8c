#pragma once
// The standard controls as window classes: push buttons (text, multi-line, owner-drawn), check
// boxes, radio buttons and group boxes ("BUTTON"), static text ("STATIC"), horizontal and
// vertical scroll bars ("SCROLLBAR"), list boxes ("LISTBOX"), report-style list views
// ("LISTVIEW") and progress bars ("PROGRESS"). Controls are children of a screen or dialog and
// tell their parent what happened through Command, HScroll/VScroll and Notify messages; they are
// driven through the functions below rather than through message numbers.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gfx/canvas.h"
#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace platform::gui {

inline constexpr std::string_view kButtonClass = "BUTTON";
inline constexpr std::string_view kStaticClass = "STATIC";
inline constexpr std::string_view kScrollBarClass = "SCROLLBAR";
inline constexpr std::string_view kListBoxClass = "LISTBOX";
inline constexpr std::string_view kListViewClass = "LISTVIEW";
inline constexpr std::string_view kProgressClass = "PROGRESS";

// Registers the control classes; calling it again changes nothing.
void register_controls();

// True when the window is of that class; class names compare without regard to case.
bool window_is_class(const Window* w, std::string_view class_name);
bool same_class_name(std::string_view a, std::string_view b);

// Style bits of the controls, combined with the window styles of window.h (bits 0-9 there).
namespace control_style {
// "BUTTON": the kind of button.
constexpr uint32_t kPushButton = 0;
constexpr uint32_t kCheckBox = 1u << 16;
constexpr uint32_t kRadioButton = 2u << 16;
constexpr uint32_t kGroupBox = 3u << 16;
constexpr uint32_t kButtonKindMask = 3u << 16;
// A radio button with this bit starts a new group even right after another radio button.
constexpr uint32_t kGroup = 1u << 18;
// Check boxes and radio buttons that only show a state the program sets: a tap notifies the
// parent but does not change the check.
constexpr uint32_t kManualCheck = 1u << 19;
// Owner-drawn buttons whose parent draws the pressed look itself; without it the platform
// inverts what the parent drew while the button is held, so every picture button shows a press.
constexpr uint32_t kOwnerDrawsPressed = 1u << 20;

// "STATIC" (and the text of check boxes and radio buttons): horizontal placement of the text.
constexpr uint32_t kAlignLeft = 0;
constexpr uint32_t kAlignCenter = 1u << 21;
constexpr uint32_t kAlignRight = 2u << 21;
constexpr uint32_t kAlignMask = 3u << 21;
// "STATIC": text centred vertically on one line instead of wrapped from the top.
constexpr uint32_t kVCenter = 1u << 23;
// "STATIC": a sunken frame around the text.
constexpr uint32_t kFrame = 1u << 24;

// "SCROLLBAR": vertical instead of horizontal.
constexpr uint32_t kVertical = 1u << 25;
}  // namespace control_style

// Command notifications (the high half of a Command message's wparam).
constexpr int kButtonClicked = 0;
constexpr int kListBoxSelectionChanged = 1;

// True while the control holds the current press and the finger is still over it: the state
// in which a release clicks, drawn sunken.
bool control_pressed(const Window* w);
// How many presses the controls have taken since the program started; hold gestures tell a new
// press from a continued one by it. Controls count a press when it begins.
uint32_t control_press_count();
void count_control_press();

// ---- Buttons ----
// Check boxes and radio buttons. Checking a radio button through this call does not clear the
// others of its group (a tap does); button_check_radio does both.
void button_set_check(Window* button, bool checked);
bool button_checked(const Window* button);
// True when the button is drawn checked: a checked check box or radio button, or an owner-drawn
// push button given a check with button_set_check, which its parent draws (the language
// buttons show the current language that way). The automation reports it as `checked`.
bool button_shows_checked(const Window* button);
// Checks the radio button and clears every other radio button of its group.
void button_check_radio(Window* button);
// Marks a push button as repeating its command while held (see hold_repeat.h).
void button_set_repeat(Window* button, bool on);
bool button_repeats(const Window* button);

// ---- Static text ----
// Colours of a static control (default black on the face colour).
void static_set_colors(Window* static_text, Color text, Color background);

// ---- Scroll bars ----
// What a scroll bar tells its parent, in the low half of the HScroll/VScroll wparam; the high
// half carries the position (the thumb's tracking position for the two thumb codes). Lines and
// pages leave the bar's position alone: the parent decides and sets it, as the graph view does.
enum class ScrollCode : uint16_t {
  LineUp = 0,
  LineLeft = 0,
  LineDown = 1,
  LineRight = 1,
  PageUp = 2,
  PageLeft = 2,
  PageDown = 3,
  PageRight = 3,
  ThumbPosition = 4,  // the thumb was released at this position
  ThumbTrack = 5,     // the thumb is being dragged and is at this position
  Top = 6,
  Bottom = 7,
  EndScroll = 8,  // the press that scrolled has ended
};
inline ScrollCode scroll_code(const Message& m) { return ScrollCode(m.wparam & 0xFFFF); }
inline int scroll_message_position(const Message& m) { return int((m.wparam >> 16) & 0xFFFF); }
inline Window* scroll_message_bar(const Message& m) { return reinterpret_cast<Window*>(m.lparam); }

struct ScrollInfo {
  int min = 0;
  int max = 100;
  int page = 0;      // the thumb covers `page` of the max - min + 1 units; 0 gives a fixed thumb
  int position = 0;  // min .. max - max(page - 1, 0)
  friend bool operator==(const ScrollInfo&, const ScrollInfo&) = default;
};
// Sets range, page and position; the page is clamped to the range and the position to what
// the page leaves. Redraws only when something changed.
void scroll_bar_set_info(Window* bar, const ScrollInfo& info);
ScrollInfo scroll_bar_info(const Window* bar);
// Change only the range or only the position, with the same clamping.
void scroll_bar_set_range(Window* bar, int min, int max);
void scroll_bar_set_position(Window* bar, int position);
// Returns the position last set (0 for a window that is no scroll bar).
int scroll_bar_position(const Window* bar);

// ---- List boxes ----
// Each returns the index it worked on, or -1 when the index was out of range.
int list_box_add(Window* list, std::string_view text);
int list_box_insert(Window* list, int index, std::string_view text);
int list_box_delete(Window* list, int index);
void list_box_clear(Window* list);
// The number of items, and an item's text (empty when out of range).
int list_box_count(const Window* list);
std::string list_box_text(const Window* list, int index);
// The selected item, or -1. Setting it does not notify the parent (a tap does).
int list_box_selection(const Window* list);
void list_box_set_selection(Window* list, int index);
// The first item in view; setting it is clamped so that the last page ends with the last item.
int list_box_top_index(const Window* list);
void list_box_set_top_index(Window* list, int index);
// Where the item is drawn, in the list's client coordinates; empty when it is not in view.
Rect list_box_item_rect(const Window* list, int index);

// ---- List views (report style) ----
// What a list view tells its parent in a Notify message (lparam = const ListViewNotification*).
enum class ListViewEvent : uint16_t {
  SelectionChanged,  // a tap selected `row`
  ColumnClicked,     // a tap on the header of `column` (the parent sorts)
};
struct ListViewNotification {
  Window* control = nullptr;
  int id = 0;
  ListViewEvent event = ListViewEvent::SelectionChanged;
  int row = -1;
  int column = -1;
};
// Columns: each returns the column's index, or -1.
int list_view_add_column(Window* view, std::string_view title, int width);
void list_view_set_column_width(Window* view, int column, int width);
// A column's width (0 when it does not exist) and the number of columns.
int list_view_column_width(const Window* view, int column);
int list_view_column_count(const Window* view);
// Inserts a row at `row` (past the end appends) with the first cell's text; returns its index.
int list_view_insert_row(Window* view, int row, std::string_view first_cell);
int list_view_add_row(Window* view, std::string_view first_cell);
// Sets a cell of an existing row and column; false when either does not exist.
bool list_view_set_cell(Window* view, int row, int column, std::string_view text);
// A cell's text; empty when the row or column does not exist.
std::string list_view_cell(const Window* view, int row, int column);
// Deletes a row (false when there is none) or all rows; a deleted selection becomes -1.
bool list_view_delete_row(Window* view, int row);
void list_view_delete_all(Window* view);
// The number of rows.
int list_view_row_count(const Window* view);
// The selected row, or -1. Setting it does not notify the parent (a tap does).
int list_view_selection(const Window* view);
void list_view_set_selection(Window* view, int row);
// Scrolls so that the row is in view; list_view_top_row returns the first row in view.
void list_view_ensure_visible(Window* view, int row);
int list_view_top_row(const Window* view);
// Where the row and the column title are drawn, in the view's client coordinates; empty when
// not in view.
Rect list_view_row_rect(const Window* view, int row);
Rect list_view_header_rect(const Window* view, int column);
// Orders the rows by the text of one column; the selection follows its row.
void list_view_sort(Window* view, int column, bool ascending);

// ---- Progress bars ----
// Range min..max (default 0..100), step (default 10). Positions are clamped to the range; a
// step past the end stays at the end, so a copy never looks as if it started again.
void progress_set_range(Window* bar, int min, int max);
void progress_set_step(Window* bar, int step);
// Returns the previous position.
int progress_set_position(Window* bar, int position);
int progress_step_it(Window* bar);
// Returns the position now.
int progress_position(const Window* bar);

// ---- Drawing shared by the controls (also for screens that draw control-like frames) ----
constexpr Color kShadowColor = rgb(128, 128, 128);
constexpr Color kDarkShadowColor = rgb(64, 64, 64);
constexpr Color kHighlightColor = colors::kWhite;
constexpr Color kDisabledTextColor = rgb(128, 128, 128);
constexpr Color kSelectionColor = rgb(10, 36, 106);
// A two-pixel 3-D frame inside r: raised (light top-left) or sunken (dark top-left).
enum class Edge { Raised, Sunken };
void draw_edge(Canvas& canvas, const Rect& r, Edge edge);
// Fonts of the controls: sizes a finger-driven panel reads at arm's length.
constexpr FontSpec kControlFont = {16, 400};
constexpr FontSpec kListFont = {15, 400};
constexpr FontSpec kHeaderFont = {14, 700};
// The face a button, check box, radio button or group box draws its text in: the control font,
// or smaller (down to this size) when a long text would not fit its place (a multi-line text
// wrapped within it), so that the end of a label (often a number) is not cut off.
constexpr int kSmallestLabel = 11;
FontSpec label_font(const Window& w);

// The state a control keeps in Window::control_state, or nullptr when the window is not of that
// class (or not yet created).
template <class State>
State* control_state_of(const Window* w, std::string_view class_name) {
  if (!window_is_class(w, class_name) || !w->control_state) return nullptr;
  return static_cast<State*>(w->control_state.get());
}

// The point of a pointer message in the control's client coordinates.
Point pointer_point(const Window& w, const Message& m);
// Tells the parent about a control: Command with the control's id and the notification.
void notify_parent_command(Window& control, int notification);

// The scrolling of list boxes and list views: rows of one height laid out in `area` (the
// list's client coordinates) from the first row in view, `top`, and a vertical scroll bar the
// list keeps as a child of its own at the right of the area, shown only while the rows do not
// fit. The list sets `area` and `row_height` before each call.
constexpr int kInnerScrollBarWidth = 26;
struct ListScroll {
  Rect area;
  int row_height = 1;
  int top = 0;
  Window* bar = nullptr;

  // Whole rows that fit in the area (at least one).
  int page() const;
  // The area without the bar while it shows: where the rows are drawn.
  Rect rows_rect() const;
  // Keeps the first row in range so that the last page ends with the last of `count` rows,
  // shows or hides the bar to match, and repaints the list.
  void refresh(Window& list, int count);
  // Takes a VScroll message of the bar: moves the first row as it asks, then refreshes.
  void scroll(Window& list, const Message& m, int count);
  // Scrolls as little as needed to bring the row into view, then refreshes.
  void ensure_visible(Window& list, int row, int count);
  int row_at(Point p, int count) const;
  Rect row_rect(int index, int count) const;
  // Calls f(index, row rectangle) for every row in view, first row first.
  template <class F>
  void for_each_visible(int count, F&& f) const {
    const Rect rows = rows_rect();
    for (int i = top, y = rows.top; i < count && y < rows.bottom; ++i, y += row_height)
      f(i, Rect{rows.left, y, rows.right, y + row_height});
  }
};

}  // namespace platform::gui
