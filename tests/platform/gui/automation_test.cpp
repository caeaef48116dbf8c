// The automation protocol, fed from a string and served by the real loops.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "gui_fixture.h"
#include "platform/gui/automation.h"

namespace gui_test {
namespace {

class Automation : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    answers.clear();
    set_automation_output([this](std::string_view line) { answers.emplace_back(line); });
    main = make("main", {0, 0, 640, 480});
  }
  void TearDown() override {
    set_automation_output(nullptr);
    GuiTest::TearDown();
  }
  // Runs the script in the main loop; the script ends with quit.
  int run(std::string_view script) {
    start_automation_script(script);
    return run_message_loop();
  }
  std::vector<std::string> ups() const {
    std::vector<std::string> out;
    for (const Event& e : events_of(MessageKind::PointerUp)) out.push_back(e.window);
    return out;
  }

  std::vector<std::string> answers;
  Window* main = nullptr;
};

using Lines = std::vector<std::string>;

TEST_F(Automation, WindowsListsTheVisibleTreeTopOfZOrderFirst) {
  make("TEMPS", Rect::from_xywh(144, 427, 105, 40), main, 0, 0, 34818);
  make("TIMERS", Rect::from_xywh(20, 427, 105, 40), main, 0, 0, 34817);
  Window* off = make("OFF", Rect::from_xywh(0, 0, 10, 10), main, style::kDisabled, 0, 5);
  make("inner \"q\"", Rect::from_xywh(1, 2, 3, 4), off, 0, 0, 6);
  create_window({kRecorder, "hidden", 0, {0, 0, 5, 5}, main, 7});
  run("windows\ndown 150 430\nwindows\nup\nquit\n");
  const std::string root = "RECORDER_WINDOW 0 0 0 640 480 enabled \"main\"";
  const Lines listing{
      root,
      "    RECORDER_WINDOW 5 0 0 10 10 \"OFF\"",
      "        RECORDER_WINDOW 6 1 2 3 4 enabled \"inner \\\"q\\\"\"",
      "    RECORDER_WINDOW 34817 20 427 105 40 enabled \"TIMERS\"",
      "    RECORDER_WINDOW 34818 144 427 105 40 enabled \"TEMPS\""};
  Lines expected = listing;
  expected.push_back("ok");
  expected.push_back("ok");  // down
  expected.insert(expected.end(), listing.begin(), listing.end());
  expected[expected.size() - 1] = "    RECORDER_WINDOW 34818 144 427 105 40 enabled pressed \"TEMPS\"";
  expected.push_back("ok");
  expected.push_back("ok");  // up
  expected.push_back("ok");  // quit
  EXPECT_EQ(answers, expected);
}

TEST_F(Automation, ClickByIdAndByQuotedText) {
  make("2", Rect::from_xywh(0, 0, 50, 50), main, 0, 0, 5);
  make("other", Rect::from_xywh(100, 0, 50, 50), main, 0, 0, 2);
  make("Temps", Rect::from_xywh(200, 0, 50, 50), main, 0, 0, 9);
  Window* hidden = make("ghost", Rect::from_xywh(300, 0, 50, 50), main, 0, 0, 11);
  show_window(hidden, false);
  make("dead", Rect::from_xywh(400, 0, 50, 50), main, style::kDisabled, 0, 12);
  run("click 2\n"
      "click \"2\"\n"
      "click TEMPS   # case does not matter\n"
      "\n"
      "click ghost\n"
      "click 12\n"
      "click \"nothing\"\n"
      "quit\n");
  EXPECT_EQ(answers, (Lines{"ok", "ok", "ok", "error: no visible, enabled control \"ghost\"",
                            "error: no visible, enabled control id 12",
                            "error: no visible, enabled control \"nothing\"", "ok"}));
  EXPECT_EQ(ups(), (Lines{"other", "2", "Temps"}));
  // The tap lands on the centre of the control.
  const auto downs = events_of(MessageKind::PointerDown, "other");
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].wparam, 24);
  EXPECT_EQ(downs[0].lparam, 24);
}

TEST_F(Automation, BadCommandsAnswerErrorsAndTheProgramGoesOn) {
  register_automation_command("echo", [](std::string_view args, bool*) {
    return std::string(args) + "\nsecond line";
  });
  register_automation_command("fail", [](std::string_view, bool* ok) {
    *ok = false;
    return std::string("it broke");
  });
  run("# a comment line\n"
      "frobnicate 1\n"
      "tap 700 10\n"
      "tap 10\n"
      "wait soon\n"
      "echo hello world\n"
      "fail\n"
      "quit\n");
  EXPECT_EQ(answers, (Lines{"error: unknown command frobnicate",
                            "error: point 700 10 is off the screen", "error: expected X Y",
                            "error: expected a number of milliseconds", "hello world",
                            "second line", "ok", "error: it broke", "ok"}));
}

// The box of a timer routine runs its own loop; the commands that follow are served inside it,
// and the routine is not entered again until the box is answered.
TEST_F(Automation, MessageBoxFromATimerRoutineAnsweredByTheScript) {
  static Window* box = nullptr;
  static std::vector<intptr_t> results;
  static int entries = 0;
  results.clear();
  entries = 0;
  hook() = [](Window& w, const Message& m) -> intptr_t {
    if (w.text() == "OK" && m.kind == MessageKind::PointerUp) end_modal(box, 1);
    return 0;
  };
  set_timer(main, 1, 100, [](Window* owner, int) {
    ++entries;
    if (entries != 1) return;
    box = make("WARNING!", Rect::from_xywh(200, 150, 240, 120), owner,
               style::kPopup | style::kCaption, rgb(212, 208, 200));
    make("OK", Rect::from_xywh(90, 60, 60, 30), box, 0, 0, 1);
    results.push_back(run_modal(box));
    destroy_window(box);
  });
  const int64_t t0 = clock::now_ms();
  run("wait 350\n"
      "windows\n"
      "click \"ok\"\n"
      "wait 250\n"
      "quit\n");
  EXPECT_EQ(results, (std::vector<intptr_t>{1}));
  EXPECT_EQ(clock::now_ms(), t0 + 600);
  // Entered at 100 (the box), again once it was answered at 350, then 400, 500, 600.
  EXPECT_EQ(entries, 5);
  ASSERT_GE(answers.size(), 4u);
  EXPECT_EQ(answers[0], "ok");
  EXPECT_EQ(answers[1], "RECORDER_WINDOW 0 200 150 240 120 enabled modal \"WARNING!\"");
  EXPECT_EQ(answers[2], "    RECORDER_WINDOW 1 291 231 60 30 enabled \"OK\"");
  EXPECT_EQ(answers[3], "RECORDER_WINDOW 0 0 0 640 480 enabled \"main\"");
  EXPECT_EQ(Lines(answers.begin() + 4, answers.end()), (Lines{"ok", "ok", "ok", "ok"}));
}

// A click that opens a modal dialog answers once the dialog's loop runs, so the next click is
// carried out inside it.
TEST_F(Automation, ClickThatOpensADialogAnswersInsideItsLoop) {
  static Window* dialog = nullptr;
  static intptr_t result = -1;
  result = -1;
  make("OPEN", Rect::from_xywh(10, 10, 100, 40), main, 0, 0, 100);
  dialog = make("dialog", Rect::from_xywh(200, 200, 200, 100), main, style::kPopup);
  make("CLOSE", Rect::from_xywh(10, 10, 80, 40), dialog, 0, 0, 2);
  hook() = [](Window& w, const Message& m) -> intptr_t {
    if (m.kind != MessageKind::PointerUp) return 0;
    if (w.text() == "OPEN") result = run_modal(dialog);
    if (w.text() == "CLOSE") end_modal(dialog, 2);
    return 0;
  };
  run("click OPEN\nclick 100\nclick CLOSE\nquit\n");
  EXPECT_EQ(result, 2);
  // Inside the modal loop the OPEN button lies outside the dialog: its tap went nowhere.
  EXPECT_EQ(ups(), (Lines{"OPEN", "CLOSE"}));
  EXPECT_EQ(answers, (Lines{"ok", "ok", "ok", "ok"}));
}

TEST_F(Automation, ScreenshotWritesA640By480Png) {
  main->user_data = intptr_t(rgb(0, 128, 0));
  invalidate(main);
  const std::string path = ::testing::TempDir() + "/gui_screenshot_test.png";
  std::remove(path.c_str());
  run("screenshot " + path + "\nscreenshot /nonexistent-folder/x.png\nquit\n");
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[0], "ok");
  EXPECT_EQ(answers[1].rfind("error: ", 0), 0u) << answers[1];
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GE(bytes.size(), 33u);
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
  EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
  auto be32 = [&](size_t at) {
    return (uint32_t(bytes[at]) << 24) | (uint32_t(bytes[at + 1]) << 16) |
           (uint32_t(bytes[at + 2]) << 8) | bytes[at + 3];
  };
  EXPECT_EQ(be32(16), 640u);
  EXPECT_EQ(be32(20), 480u);
}

TEST_F(Automation, QuitGoesThroughTheProgramsHandler) {
  set_quit_handler([] {
    destroy_window(find_window(kRecorder));
    post_quit(7);
  });
  EXPECT_EQ(run("quit\n"), 7);
  EXPECT_EQ(answers, (Lines{"ok"}));
  EXPECT_EQ(events_of(MessageKind::Destroy, "main").size(), 1u);
}

// In real time `wait` lets the loop run (timers fire) and answers when the time is up.
TEST_F(Automation, RealTimeWaitKeepsTheLoopRunning) {
  clock::use_real();
  static int ticks = 0;
  ticks = 0;
  set_timer(main, 1, 20, [](Window*, int) { ++ticks; });
  const auto start = std::chrono::steady_clock::now();
  run("wait 150\nquit\n");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  clock::use_virtual(0);
  EXPECT_GE(elapsed, std::chrono::milliseconds(149));  // the clock counts whole milliseconds
  EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
  EXPECT_GE(ticks, 4);
  EXPECT_EQ(answers, (Lines{"ok", "ok"}));
  EXPECT_TRUE(automation_finished());
}

// The hook of the main loop runs after every message it handles, timer ticks included, and
// never inside a modal loop.
TEST_F(Automation, AfterMessageHookRunsInTheMainLoopOnly) {
  static Window* dialog = nullptr;
  static bool in_modal = false;
  static int ticks = 0;
  in_modal = false;
  ticks = 0;
  dialog = make("dialog", Rect::from_xywh(200, 200, 100, 100), main, style::kPopup);
  make("CLOSE", Rect::from_xywh(0, 0, 50, 50), dialog, 0, 0, 3);
  hook() = [](Window& w, const Message& m) -> intptr_t {
    if (w.text() == "CLOSE" && m.kind == MessageKind::PointerUp) end_modal(dialog, 1);
    return 0;
  };
  set_timer(main, 1, 100, [](Window*, int) {
    if (++ticks != 3) return;
    in_modal = true;
    run_modal(dialog);
    in_modal = false;
  });
  int hooked = 0;
  int hooked_in_modal = 0;
  start_automation_script("wait 1000\nclick CLOSE\nwait 200\nquit\n");
  run_message_loop([&] {
    ++hooked;
    hooked_in_modal += in_modal;
  });
  EXPECT_EQ(hooked_in_modal, 0);
  // Three ticks before the dialog (the third opened it and was blocked in it), one catching up
  // when it closed at 1000 ms, two more after; the main loop's five each ran the hook.
  EXPECT_EQ(ticks, 3 + 1 + 2);
  EXPECT_GE(hooked, 5);
  EXPECT_EQ(answers, (Lines{"ok", "ok", "ok", "ok"}));
}

TEST_F(Automation, CommandsFromAFile) {
  const std::string path = ::testing::TempDir() + "/gui_automation_script.txt";
  {
    std::ofstream out(path);
    out << "# from a file\nclick \"main\"\nwait 10\nquit\n";
  }
  std::string error;
  ASSERT_TRUE(start_automation(path, &error)) << error;
  run_message_loop();
  EXPECT_EQ(answers, (Lines{"ok", "ok", "ok"}));
  EXPECT_EQ(ups(), (Lines{"main"}));
  EXPECT_FALSE(start_automation("/nonexistent-folder/script.txt", &error));
  EXPECT_NE(error.find("/nonexistent-folder/script.txt"), std::string::npos);
}

}  // namespace
}  // namespace gui_test
