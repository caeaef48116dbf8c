// What `texts` reports: the lines of text each window's last paint drew, where they are on
// screen, through direct drawing and through off-screen copies, across partial repaints.
#include <map>
#include <sstream>
#include <vector>

#include "gui_fixture.h"
#include "platform/gui/automation.h"
#include "platform/gui/controls.h"

namespace gui_test {
namespace {

constexpr FontSpec kFont{16, 400};
constexpr Color kInk = rgb(250, 240, 10);

struct Label {
  Rect rect;  // client coordinates
  std::string text;
  unsigned format = text_format::kLeft;
};

// What each recorder window (by its text) draws on its paint, over its class background.
std::map<std::string, std::vector<Label>>& labels() {
  static std::map<std::string, std::vector<Label>> l;
  return l;
}

intptr_t draw_labels(Window& w, const Message& m) {
  if (m.kind != MessageKind::Paint) return 0;
  const PaintContext* pc = &paint_context(m);
  for (const Label& l : labels()[w.text()]) pc->canvas->draw_text(l.text, l.rect, kFont, kInk, l.format);
  return 1;
}

// A window that keeps an off-screen copy of itself, drawn only when asked for, as the status
// bar does; every paint copies the dirty part of it to the screen.
struct Cache {
  Bitmap bitmap;
  bool redraw = true;
  std::string text;  // empty: the copy is redrawn without text (a blink's dark phase)
};
Cache g_cache;

intptr_t draw_from_cache(Window& w, const Message& m) {
  if (m.kind == MessageKind::EraseBackground) return 1;
  if (m.kind != MessageKind::Paint) return 0;
  const PaintContext* pc = &paint_context(m);
  const Rect client = w.client_rect();
  if (g_cache.redraw) {
    g_cache.bitmap = Bitmap(client.width(), client.height());
    Canvas off(g_cache.bitmap);
    off.fill_rect(client, colors::kBlack);
    if (!g_cache.text.empty()) off.draw_text(g_cache.text, {10, 5, 190, 30}, kFont, kInk);
    g_cache.redraw = false;
  }
  pc->canvas->blit(g_cache.bitmap, pc->dirty, {pc->dirty.left, pc->dirty.top});
  return 1;
}

intptr_t test_procedure(Window& w, const Message& m) {
  return w.text() == "cached" ? draw_from_cache(w, m) : draw_labels(w, m);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

using Lines = std::vector<std::string>;

class WindowTexts : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    enable_text_recording();
    labels().clear();
    g_cache = {};
    hook() = &test_procedure;
  }
  void TearDown() override {
    set_automation_output(nullptr);
    GuiTest::TearDown();
  }
  static Lines texts(std::string_view class_name = {}) {
    paint_pending();
    return lines_of(describe_texts(class_name));
  }
};

TEST_F(WindowTexts, PartialRepaintsReplaceOnlyWhatTheyCover) {
  labels()["left"] = {{{5, 5, 195, 30}, "Alpha"}, {{5, 60, 195, 85}, "Beta"}};
  labels()["right"] = {{{0, 0, 100, 40}, "one\ntwo"}};
  Window* left = make("left", Rect::from_xywh(10, 10, 200, 100));
  Window* right = make("right", Rect::from_xywh(300, 10, 100, 100));
  const int line = font_line_height(kFont);
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 300 10 \"one\"",
                            "RECORDER_WINDOW 300 " + std::to_string(10 + line) + " \"two\"",
                            "RECORDER_WINDOW 15 15 \"Alpha\"", "RECORDER_WINDOW 15 70 \"Beta\""}));

  // Only the lower label's part is repainted: the upper one keeps what the screen still shows,
  // although the window would now draw another text there.
  labels()["left"] = {{{5, 5, 195, 30}, "Changed"}, {{5, 60, 195, 85}, "Gamma"}};
  invalidate_rect(left, {0, 50, 200, 100});
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 300 10 \"one\"",
                            "RECORDER_WINDOW 300 " + std::to_string(10 + line) + " \"two\"",
                            "RECORDER_WINDOW 15 15 \"Alpha\"", "RECORDER_WINDOW 15 70 \"Gamma\""}));

  // A whole repaint that draws nothing in a place forgets what was there.
  labels()["left"] = {{{5, 5, 195, 30}, "Changed"}};
  invalidate(left);
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 300 10 \"one\"",
                            "RECORDER_WINDOW 300 " + std::to_string(10 + line) + " \"two\"",
                            "RECORDER_WINDOW 15 15 \"Changed\""}));

  // Hidden and destroyed windows say nothing, and a new window does not inherit old text.
  show_window(right, false);
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 15 15 \"Changed\""}));
  destroy_window(left);
  labels()["fresh"] = {};
  make("fresh", Rect::from_xywh(10, 10, 200, 100));
  EXPECT_EQ(texts(), Lines{});
}

// The reported corner is where the ink is: centred text lies right of and below it, within one
// line of it, and nothing of the ink lies outside that box.
TEST_F(WindowTexts, ReportedPositionIsWhereTheTextIsDrawn) {
  labels()["w"] = {{{0, 0, 300, 60}, "Centred \"quoted\"", text_format::kCenter | text_format::kVCenter}};
  make("w", Rect::from_xywh(100, 200, 300, 60));
  const Lines got = texts();
  ASSERT_EQ(got.size(), 1u);
  int x = 0, y = 0;
  ASSERT_EQ(std::sscanf(got[0].c_str(), "RECORDER_WINDOW %d %d", &x, &y), 2) << got[0];
  EXPECT_NE(got[0].find(" \"Centred \\\"quoted\\\"\""), std::string::npos) << got[0];
  const Size size = measure_text_line("Centred \"quoted\"", kFont);
  EXPECT_GT(x, 100 + 10);
  EXPECT_GT(y, 200);
  int inside = 0, outside = 0;
  for (int py = 200; py < 260; ++py) {
    for (int px = 100; px < 400; ++px) {
      if (pixel(px, py) != kInk) continue;
      const bool in_box = px >= x && px < x + size.width && py >= y && py < y + size.height;
      ++(in_box ? inside : outside);
    }
  }
  EXPECT_GT(inside, 20);
  EXPECT_EQ(outside, 0);
}

TEST_F(WindowTexts, OffScreenCopyTellsWhatItShows) {
  g_cache.text = "Ready to start";
  Window* w = make("cached", Rect::from_xywh(20, 400, 200, 40));
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 30 405 \"Ready to start\""}));

  // Later paints only copy the kept bitmap: the text is still there, and still reported.
  invalidate(w);
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 30 405 \"Ready to start\""}));
  invalidate_rect(w, {150, 0, 200, 40});
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 30 405 \"Ready to start\""}));

  // The copy is redrawn dark: the fill covers the text, and the screen no longer shows it.
  g_cache.redraw = true;
  g_cache.text.clear();
  invalidate(w);
  EXPECT_EQ(texts(), Lines{});
  g_cache.redraw = true;
  g_cache.text = "Drying";
  invalidate(w);
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 30 405 \"Drying\""}));
}

TEST_F(WindowTexts, ClassFilterAndTheCommand) {
  register_controls();
  labels()["main"] = {{{10, 10, 200, 40}, "Picture"}};
  Window* main = make("main", {0, 0, 640, 480});
  create_window({std::string(kStaticClass), "Plenum 1", style::kVisible | style::kChild,
                 Rect::from_xywh(400, 300, 150, 30), main, 7});
  const Lines statics = texts("static");
  ASSERT_EQ(statics.size(), 1u);
  EXPECT_EQ(statics[0].rfind("STATIC 40", 0), 0u) << statics[0];
  EXPECT_NE(statics[0].find(" \"Plenum 1\""), std::string::npos) << statics[0];
  EXPECT_EQ(texts("STATIC"), statics) << "the class is compared without regard to case";
  EXPECT_EQ(texts(), (Lines{"RECORDER_WINDOW 10 10 \"Picture\"", statics[0]}));

  std::vector<std::string> answers;
  set_automation_output([&](std::string_view line) { answers.emplace_back(line); });
  start_automation_script("texts RECORDER_WINDOW\ntexts NO_SUCH_CLASS\nquit\n");
  run_message_loop();
  EXPECT_EQ(answers, (Lines{"RECORDER_WINDOW 10 10 \"Picture\"", "ok", "ok", "ok"}));
}

}  // namespace
}  // namespace gui_test
