// The status dialog "Auto-Start Status": the progress rows from the controller's times, the
// heading chosen by status byte 280, and the auto-start dialogs and screen in the languages
// with the longest texts, where no text may be cut at an edge. Screenshots go to the build
// folder to look at.
#include <algorithm>

#include "link/redraw.h"
#include "link/status_bytes.h"
#include "platform/gfx/font.h"
#include "resources/auto_start_dialogs.h"
#include "resources/window_classes.h"
#include "settings/auto_start.h"
#include "settings/screen_hooks.h"
#include "settings/temperature_screen.h"
#include "tests/settings/setup_test_support.h"
#include "tests/settings/text_fit.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

void set_word(int offset, int value) {
  set_mirror(offset, uint8_t(value & 0xFF));
  set_mirror(offset + 1, uint8_t(value >> 8));
}

// A run as the controller reports it with four fan/heaters: T = 340 s, fans at 10, 40, 70,
// 100 s holding 90 s later, the unload at 220 s, 100 s gone.
void report_run(int flags) {
  set_mirror(link::kFanHeaterCode, 3);
  set_mirror(link::kAutoStart, 0x01);
  set_mirror(link::kAutoStartFlags, uint8_t(0x40 | flags));
  for (int i = 0; i < 4; ++i) {
    set_word(304 - 2 * i, 10 + 30 * i);
    set_word(316 - 2 * i, 100 + 30 * i);
  }
  set_word(318, 340);
  set_word(320, 100);
  set_word(322, 220);
  set_mirror(link::burner_b(1), 0x03);  // fan/heater #1 burning
}

class AutoStartStatusTest : public SetupTest {};

TEST_F(AutoStartStatusTest, RowsSplitTheTimeLineByStartAndRunningSpan) {
  set_word(318, 400);
  set_word(304, 10);  // fan/heater #1 starts at 10 s, holds at 100 s
  set_word(316, 100);
  ProgressRow r = progress_row(0);
  EXPECT_EQ(r.start_width, 12);     // 12.5 truncated
  EXPECT_EQ(r.running_width, 112);  // 112.5
  EXPECT_EQ(r.rest_width, 375);
  // An end not after the start runs to the end of the line.
  set_word(302, 200);
  set_word(314, 150);
  r = progress_row(1);
  EXPECT_EQ(r.start_width, 250);
  EXPECT_EQ(r.running_width, 250);
  EXPECT_EQ(r.rest_width, 0);
  // Times past the total never draw past the line, and no total draws nothing.
  set_word(300, 900);
  set_word(312, 1000);
  r = progress_row(2);
  EXPECT_EQ(r.start_width + r.running_width + r.rest_width, 500);
  EXPECT_EQ(r.start_width, 500);
  set_word(318, 0);
  r = progress_row(0);
  EXPECT_EQ(r.start_width + r.running_width + r.rest_width, 0);
}

TEST_F(AutoStartStatusTest, OneRowPerFittedFanHeaterAndOneForTheNumericModels) {
  const int rows[] = {1, 2, 3, 4, 6};
  for (int code = 0; code < 5; ++code) {
    set_mirror(link::kFanHeaterCode, uint8_t(code));
    EXPECT_EQ(auto_start_rows(), rows[code]) << code;
  }
  set_mirror(link::kDryerType, 0x21);
  EXPECT_EQ(auto_start_rows(), 1);
}

TEST_F(AutoStartStatusTest, HeadingFollowsTheControllersFlagsAndTheMarkerTheTimeLeft) {
  texts::set_language(0);
  gui::enable_text_recording();
  struct Case {
    int flags;
    const char* heading;
  };
  const Case cases[] = {{0x02, "AUTO-START IN PROGRESS"},
                        {0x06, "AUTO-START PAUSED"},
                        {0x86, "AUTO-START FINISHED"},
                        {0x00, "Auto-Start Status Unkown"}};
  for (const Case& c : cases) {
    report_run(c.flags);
    const int probe = add_probe([] {
      gui::paint_pending();
      std::string all = gui::describe_texts("DIALOG");
      std::replace(all.begin(), all.end(), '\n', '|');
      return all;
    });
    const auto out = answers(run([](gui::Window* w) { open_auto_start_status_dialog(w); },
                                 "probe " + std::to_string(probe) + "\nclick Minimize"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(out[0].find(std::string("\"") + c.heading + "\""), std::string::npos) << out[0];
    for (const char* t : {"\"FH #1\"", "\"FH #4\"", "\"UNLOAD\"", "\"0:00\"", "\"1:25\"",
                          "\"2:50\"", "\"5:40\"", "\"4:00\"", "\"ON\"", "\"OFF\""})
      EXPECT_NE(out[0].find(t), std::string::npos) << t << "\n" << out[0];
    EXPECT_EQ(out[0].find("\"FH #5\""), std::string::npos);
  }
  EXPECT_EQ(link::redraw_window(link::RedrawTarget::AutoStartStatus), nullptr)
      << "a closed dialog takes no more redraws";
}

// ---- Long languages ----

// The runs drawn in a control of `top` that stick out of it.
std::string cut_control_texts(gui::Window* top) { return cut_texts(top, &control_font, false); }

// Columns of the status dialog's client area at which a text would be cut: the right end of
// the label column, both ends of the heading band and the right edge of the dialog. Any pixel
// there in a text colour means a cut.
std::string cut_status_texts() {
  gui::Window* dialog = gui::active_modal();
  const platform::Point o = dialog->client_origin();
  const platform::Bitmap& fb = gui::framebuffer();
  const int right = dialog->client_rect().right - 1;
  std::string cut;
  const auto ink_at = [&](int x, int top, int bottom, platform::Color c) {
    for (int y = top; y < bottom; ++y)
      if (fb.pixel(o.x + x, o.y + y) == c) return true;
    return false;
  };
  if (ink_at(66, 95, 300, platform::colors::kWhite)) cut += "label ";
  for (int x : {0, right})
    if (ink_at(x, 0, 50, platform::colors::kGreen)) cut += "heading ";
  if (ink_at(right, 95, 300, platform::colors::kYellow)) cut += "state ";
  return cut;
}

TEST_F(AutoStartStatusTest, NoTextOfTheAutoStartDialogsIsCutInTheLongLanguages) {
  gui::enable_text_recording();
  report_run(0x02);
  set_mirror(link::kFanHeaterCode, 4);  // six rows
  for (int i = 4; i < 6; ++i) {
    set_word(304 - 2 * i, 10 + 30 * i);
    set_word(316 - 2 * i, 100 + 30 * i);
  }
  set_mirror(link::kOperatingState, 0x01);
  for (const LongLanguage& lang : kLongLanguages) {
    texts::set_language(lang.index);
    const std::string code = lang.code;
    const int info = add_probe([code] {
      gui::paint_pending();
      screenshot("auto_start_switches_" + code);
      return code + ":" + cut_control_texts(gui::active_modal());
    });
    const int status = add_probe([code] {
      gui::paint_pending();
      screenshot("auto_start_status_" + code);
      return code + ":" + cut_control_texts(gui::active_modal()) + cut_status_texts();
    });
    const int question = add_probe([code] {
      gui::paint_pending();
      screenshot("auto_start_question_" + code);
      return code + ":" + cut_control_texts(gui::active_modal());
    });
    set_mirror(link::kAutoStart, 0x00);
    set_mirror(link::kRunning, 0x40);  // refused after the information, so nothing opens
    auto out = answers(run([](gui::Window* w) { open_auto_start(w); },
                           "probe " + std::to_string(info) + "\nclick OK\nclick OK"));
    EXPECT_EQ(out, std::vector<std::string>{code + ":"});
    set_mirror(link::kAutoStart, 0x01);
    out = answers(run([](gui::Window* w) { open_auto_start_status_dialog(w); },
                      "probe " + std::to_string(status) + "\nclick \"Cancel Auto-Start\"\nprobe " +
                          std::to_string(question) + "\nclick No"));
    EXPECT_EQ(out, (std::vector<std::string>{code + ":", code + ":"}));
  }
}

}  // namespace
}  // namespace corvex::settings
