// Message boxes: opened from a timer routine and answered through the automation, their
// buttons, layout and icon.
#include "platform/gui/message_box.h"

#include <algorithm>

#include "platform/gui/automation.h"
#include "platform/gui/dialog.h"
#include "tests/platform/gui/controls_fixture.h"

namespace controls_test {
namespace {

struct Routine {
  int entries = 0;
  int depth = 0;
  int max_depth = 0;
  int answer = -1;
};
Routine g_routine;

struct Box {
  std::string text;
  std::string caption;
  unsigned flags = 0;
  int answer = -1;
  int answer_with = 0;  // the button id the inspecting timer taps
  std::string seen_caption;
  Rect rect;
  bool topmost = false;
  std::vector<std::pair<int, std::string>> buttons;
  std::vector<Rect> button_rects;
  Rect text_rect;
  std::string static_text;
  Color icon_pixel = 0;
};
Box g_box;

class MessageBoxTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    g_routine = {};
    g_box = {};
  }

  // Opens g_box from a timer routine at 100 ms; at 300 ms looks at it and taps a button.
  void open_and_answer() {
    set_timer(parent, 1, 100, [](Window* w, int id) {
      kill_timer(w, id);
      g_box.answer = message_box(w, g_box.text, g_box.caption, g_box.flags);
    });
    set_timer(parent, 2, 300, [](Window* w, int id) {
      kill_timer(w, id);
      inspect_and_answer();
    });
    advance_virtual(1000);
  }

  static void inspect_and_answer() {
    Window* box = active_modal();
    ASSERT_NE(box, nullptr);
    g_box.seen_caption = box->text();
    g_box.rect = box->screen_rect();
    g_box.topmost = box->is_topmost();
    for (const auto& child : box->children()) {
      if (window_is_class(child.get(), kButtonClass)) {
        g_box.buttons.emplace_back(child->id(), child->text());
        g_box.button_rects.push_back(child->screen_rect());
      } else if (window_is_class(child.get(), kStaticClass)) {
        g_box.static_text = child->text();
        g_box.text_rect = child->screen_rect();
      }
    }
    const Point icon = box->client_origin();
    g_box.icon_pixel = pixel(icon.x + 14 + 3, icon.y + 14 + 16);
    Window* answer = dialog_item(box, g_box.answer_with);
    ASSERT_NE(answer, nullptr);
    tap(centre(answer));
  }
};

void ask_once(Window* w, int) {
  ++g_routine.entries;
  ++g_routine.depth;
  g_routine.max_depth = std::max(g_routine.max_depth, g_routine.depth);
  if (g_routine.entries == 1) {
    g_routine.answer = message_box(w, "Please instert flash card into USB port.",
                                   "USB FLASH CARD NOT PRESENT", kMbRetryCancel | kMbIconStop);
  }
  --g_routine.depth;
}

// The box comes up from a 100 ms timer routine; the automation, served by the box's own loop,
// waits, lists the windows and answers Retry. Meanwhile the routine is not entered again.
TEST_F(MessageBoxTest, OpenedFromATimerRoutineAndAnsweredRetry) {
  std::vector<std::string> output;
  set_automation_output([&](std::string_view line) { output.emplace_back(line); });
  register_automation_command("entries", AutomationHandler([](std::string_view, bool*) {
    return std::to_string(g_routine.entries);
  }));
  set_quit_handler([] { post_quit(0); });
  set_timer(parent, 1, 100, &ask_once);
  start_automation_script(
      "wait 550\n"
      "entries\n"
      "windows\n"
      "click \"Retry\"\n"
      "wait 350\n"
      "entries\n"
      "quit\n");
  run_message_loop();

  EXPECT_EQ(g_routine.answer, kIdRetry);
  EXPECT_EQ(g_routine.max_depth, 1) << "the routine was entered again while its box was open";
  std::string all;
  for (const std::string& line : output) all += line + "\n";
  // While the box was open (550 ms, five more periods) the routine ran only the once.
  EXPECT_NE(all.find("ok\n1\nok\n"), std::string::npos) << all;
  EXPECT_NE(all.find("BUTTON 4 "), std::string::npos) << all;
  EXPECT_NE(all.find("\"Retry\""), std::string::npos) << all;
  EXPECT_NE(all.find(" modal \"USB FLASH CARD NOT PRESENT\""), std::string::npos) << all;
  // Once answered the timer goes on as before.
  EXPECT_GE(g_routine.entries, 3) << all;
  EXPECT_EQ(active_modal(), nullptr);
  set_automation_output({});
}

TEST_F(MessageBoxTest, EachButtonSetHasItsLabelsAndIds) {
  struct Case {
    unsigned flags;
    std::vector<std::pair<int, std::string>> buttons;
  };
  const std::vector<Case> cases = {
      {kMbOk, {{1, "OK"}}},
      {kMbOkCancel, {{1, "OK"}, {2, "Cancel"}}},
      {kMbAbortRetryIgnore, {{3, "Abort"}, {4, "Retry"}, {5, "Ignore"}}},
      {kMbYesNoCancel, {{6, "Yes"}, {7, "No"}, {2, "Cancel"}}},
      {kMbYesNo, {{6, "Yes"}, {7, "No"}}},
      {kMbRetryCancel, {{4, "Retry"}, {2, "Cancel"}}},
  };
  for (const Case& c : cases) {
    reset();
    parent = create_window({"CONTROLS_TEST_PARENT", "", style::kVisible, {0, 0, 640, 480}});
    g_box = {};
    g_box.text = "Delete data log file?";
    g_box.caption = "DELETE?";
    g_box.flags = c.flags | kMbIconQuestion;
    g_box.answer_with = c.buttons.back().first;
    open_and_answer();
    EXPECT_EQ(g_box.buttons, c.buttons) << "flags " << c.flags;
    EXPECT_EQ(g_box.answer, c.buttons.back().first) << "flags " << c.flags;
    for (const Rect& r : g_box.button_rects) EXPECT_GE(r.height(), 40);
  }
}

TEST_F(MessageBoxTest, LaidOutForItsTextCentredAndTopmost) {
  g_box.text = "Copy successful.\tDelete old data log file?\nSecond line\nThird line";
  g_box.caption = "DELETE?";
  g_box.flags = kMbYesNo | kMbIconInformation;
  g_box.answer_with = kIdNo;
  open_and_answer();
  EXPECT_EQ(g_box.answer, kIdNo);
  EXPECT_EQ(g_box.seen_caption, "DELETE?");
  EXPECT_TRUE(g_box.topmost);
  EXPECT_EQ(g_box.static_text, g_box.text);
  EXPECT_GE(g_box.text_rect.height(), 3 * font_line_height(kControlFont)) << "three lines";
  EXPECT_LE(std::abs(g_box.rect.left - (640 - g_box.rect.right)), 1) << "centred across";
  EXPECT_LE(std::abs(g_box.rect.top - (480 - g_box.rect.bottom)), 1) << "centred down";
  ASSERT_EQ(g_box.button_rects.size(), 2u);
  EXPECT_GE(g_box.button_rects[0].top, g_box.text_rect.bottom) << "buttons below the text";
  EXPECT_LE(g_box.rect.bottom, 480);
  // The left of the information disc is blue.
  EXPECT_GT(blue_of(g_box.icon_pixel), 150);
  EXPECT_LT(red_of(g_box.icon_pixel), 50);
}

TEST_F(MessageBoxTest, StopIconIsARedDisc) {
  g_box.text = "Could not copy file to flashdrive.";
  g_box.caption = "FAILED TO COPY";
  g_box.flags = kMbOk | kMbIconStop;
  g_box.answer_with = kIdOk;
  open_and_answer();
  EXPECT_EQ(g_box.answer, kIdOk);
  EXPECT_GT(red_of(g_box.icon_pixel), 150);
  EXPECT_LT(green_of(g_box.icon_pixel), 50);
}

TEST_F(MessageBoxTest, LongTextIsWrappedOnTheScreenAndEmptyCaptionReadsError) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "ERROR: CeMountDBVol failed ";
  g_box.text = text;
  g_box.flags = kMbOk;
  g_box.answer_with = kIdOk;
  open_and_answer();
  EXPECT_EQ(g_box.answer, kIdOk);
  EXPECT_EQ(g_box.seen_caption, "Error");
  EXPECT_GE(g_box.rect.left, 0);
  EXPECT_LE(g_box.rect.right, 640);
  EXPECT_GE(g_box.rect.top, 0);
  EXPECT_LE(g_box.rect.bottom, 480);
  EXPECT_GT(g_box.text_rect.height(), 2 * font_line_height(kControlFont));
}

TEST_F(MessageBoxTest, ClosingGivesTheLeastCommittalAnswer) {
  set_timer(parent, 1, 100, [](Window* w, int id) {
    kill_timer(w, id);
    g_box.answer = message_box(w, "Modify?", "QUESTION", kMbYesNo | kMbIconQuestion);
  });
  set_timer(parent, 2, 300, [](Window* w, int id) {
    kill_timer(w, id);
    send_message(active_modal(), {MessageKind::Close, 0, 0});
  });
  advance_virtual(1000);
  EXPECT_EQ(g_box.answer, kIdNo);
}

}  // namespace
}  // namespace controls_test
