// The status bar: which of the ten rules speaks for a given StatusMirror and blink phase, with
// its exact text, colour, font and alignment, and the painted bar checked for ink of the
// message's colour. The string table is made of numbered lines ("S301" is string 301), so the
// composed texts show exactly which strings went in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>
#include <string>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/redraw.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/png.h"
#include "platform/gui/window.h"
#include "resources/window_classes.h"
#include "status/status_bar.h"
#include "tests/status/panel_languages.h"
#include "tests/texts/text_test_support.h"

namespace corvex::status {
namespace {

namespace gui = platform::gui;
namespace tf = platform::text_format;
using platform::Color;
using platform::rgb;
using texts::testing::TempDisk;

constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kGreen = rgb(0, 255, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kYellow = rgb(255, 255, 0);
constexpr Color kWhite = rgb(255, 255, 255);
const std::string kBlanks(16, ' ');

class StatusBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_.write_text("CorvexLangConfig.txt", "English");
    disk_.write_lines("Languages/EN/EnglishStrings.txt", texts::testing::numbered_lines(600, u"S"));
    blink(link::kBlinkPhaseOn | link::kBlinkStartupDone);
    set(271, 1);  // a controller mode in which rule 9 stays quiet
  }

  static void set(int offset, uint8_t value) { link::dryer_state().mirror[offset].store(value); }
  static void set_word(int lo, int hi, int value) {
    set(lo, uint8_t(value & 0xFF));
    set(hi, uint8_t((value >> 8) & 0xFF));
  }
  static void blink(uint32_t flags) { link::dryer_state().blink_flags.store(flags); }
  static void blink_off() { link::dryer_state().blink_flags.fetch_and(~link::kBlinkPhaseOn); }

  static BarMessage compose() {
    BarMessage m;
    compose_bar_message(link::dryer_state(), m);
    return m;
  }

  // The operating state in which the dryer timer (rule 6) no longer speaks.
  static void timer_done() { set(171, 0xA0); }

  TempDisk disk_;
};

TEST_F(StatusBarTest, BeforeTheFirstFrameShowsString302InRed) {
  link::reset_dryer_state();
  link::preset_start_mirror();
  const BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::ModeNotReady);
  EXPECT_TRUE(m.drawn);
  EXPECT_STREQ(m.text, "S302");
  EXPECT_EQ(m.color, kRed);
  EXPECT_EQ(m.font, (platform::FontSpec{28, 700}));
  EXPECT_EQ(m.format & 3, tf::kCenter);
}

TEST_F(StatusBarTest, ModeCodeAndIdle) {
  timer_done();
  EXPECT_EQ(compose().rule, BarRule::Idle);
  EXPECT_STREQ(compose().text, "S304");
  EXPECT_EQ(compose().color, kBlue);
  set(271, 0x05);  // only the two low bits count
  EXPECT_EQ(compose().rule, BarRule::Idle);
  set(271, 0x02);
  EXPECT_EQ(compose().rule, BarRule::ModeNotReady);
}

TEST_F(StatusBarTest, AlarmFlashesAndWinsOverEveryOtherRule) {
  set(118, 0x20);
  set(279, 0x01);  // rule 2 would apply too
  set(188, 0x40);
  BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::Alarm);
  EXPECT_STREQ(m.text, "S311");
  EXPECT_EQ(m.color, kRed);
  blink_off();
  m = compose();
  EXPECT_TRUE(m.drawn);
  EXPECT_EQ(std::string(m.text), kBlanks);
}

TEST_F(StatusBarTest, StartupMessagesNeedTheStartupFlag) {
  set(279, 0x01);
  blink(link::kBlinkPhaseOn);  // start-up flag not yet set
  EXPECT_EQ(compose().rule, BarRule::DryerTimer);

  blink(link::kBlinkPhaseOn | link::kBlinkStartupDone);
  BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::Startup);
  EXPECT_STREQ(m.text, "S301 S307");
  EXPECT_EQ(m.color, kWhite);
  EXPECT_EQ(m.format & 3, tf::kLeft);
  blink_off();
  EXPECT_STREQ(compose().text, "S301");

  timer_done();
  set(280, 0x06);
  EXPECT_STREQ(compose().text, "S504");
  set(280, 0x02);
  set_word(320, 321, 300);  // 16 bits: 0x2C in 320, 0x01 in 321
  EXPECT_STREQ(compose().text, "S301 5:00");
  set_word(320, 321, 125);
  EXPECT_STREQ(compose().text, "S301 2:05");
  EXPECT_EQ(compose().format & 3, tf::kLeft);
  set(280, 0);
  m = compose();
  EXPECT_STREQ(m.text, "S301");
  EXPECT_EQ(m.format & 3, tf::kCenter);
}

TEST_F(StatusBarTest, HoldTimerCountsDownItsLastThreeMinutes) {
  timer_done();
  set(188, 0x40);
  set(224, 0x80);
  set(187, 0xF4);  // only the three low bits give the kind
  set_word(290, 291, 3420);
  EXPECT_NE(compose().rule, BarRule::HoldTimer);
  set_word(290, 291, 3421);
  BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::HoldTimer);
  EXPECT_STREQ(m.text, "S310 [02:59]");
  EXPECT_EQ(m.color, kRed);
  blink_off();
  EXPECT_EQ(std::string(compose().text), kBlanks);
  blink(link::kBlinkPhaseOn);

  set(187, 5);
  set_word(290, 291, 3599);
  EXPECT_STREQ(compose().text, "S310 [00:01]");
  // A count past the hour does not show negative minutes.
  set_word(290, 291, 4000);
  EXPECT_STREQ(compose().text, "S310 [00:00]");

  set(187, 3);
  EXPECT_NE(compose().rule, BarRule::HoldTimer);
  set(187, 4);
  set(224, 0x00);
  EXPECT_NE(compose().rule, BarRule::HoldTimer);
}

TEST_F(StatusBarTest, CoolDownMinutesSteadyThenBlinkingDarkRed) {
  timer_done();
  set(179, 0x04);
  set(171, 0xA8);
  set(187, 3);
  set(52, 6);
  BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::CoolDown);
  EXPECT_STREQ(m.text, "S309 6 Minutes");
  EXPECT_EQ(m.color, rgb(100, 255, 0));
  EXPECT_EQ(m.font, (platform::FontSpec{25, 500}));
  EXPECT_TRUE(m.drawn);
  blink_off();
  EXPECT_TRUE(compose().drawn) << "steady from six minutes up";

  set(52, 5);
  m = compose();
  EXPECT_EQ(m.color, rgb(200, 0, 0));
  EXPECT_STREQ(m.text, "S309 5 Minutes");
  EXPECT_FALSE(m.drawn);
  blink(link::kBlinkPhaseOn);
  EXPECT_TRUE(compose().drawn);

  set(52, 0);
  EXPECT_NE(compose().rule, BarRule::CoolDown);
  set(52, 5);
  set(179, 0);
  EXPECT_NE(compose().rule, BarRule::CoolDown);
}

class StatusBarDifferenceTest : public StatusBarTest {
 protected:
  void SetUp() override {
    StatusBarTest::SetUp();
    timer_done();
    set(224, 0x08);
    set(188, 0x40);
    set_word(149, 150, 180);  // target
    set_word(151, 152, 200);  // the two alternative targets of sensor 0
    set_word(153, 154, 170);
    set_word(93, 94, 150);  // sensor 0
    set_word(91, 92, 140);  // sensor 1
    set_word(89, 90, 120);  // sensor 2
  }
};

TEST_F(StatusBarDifferenceTest, FahrenheitTextsBySensor) {
  BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::TemperatureDifference);
  EXPECT_STREQ(m.text, "S308 [ 30 \u00B0F]");
  EXPECT_EQ(m.color, kGreen);
  EXPECT_EQ(m.format & 3, tf::kCenter);
  blink_off();
  EXPECT_STREQ(compose().text, "S308 [ 30 \u00B0F]") << "steady";

  set_word(93, 94, 180);
  EXPECT_STREQ(compose().text, "S308 [- 0 \u00B0F]");
  set_word(93, 94, 0xFFF6);  // -10 F: the values are signed
  EXPECT_STREQ(compose().text, "S308 [ 190 \u00B0F]");

  set(184, 1);
  EXPECT_STREQ(compose().text, "S308 [- 40 \u00B0F]");
  set(184, 2);
  EXPECT_STREQ(compose().text, "S308 [- 60 \u00B0F]");
  set(184, 3);  // no such sensor: the label alone
  EXPECT_STREQ(compose().text, "S308");
}

TEST_F(StatusBarDifferenceTest, DualPlenumTargetsApplyToSensorZeroOnly) {
  set(257, 0x02);
  EXPECT_STREQ(compose().text, "S308 [ 20 \u00B0F]") << "bytes 153/154";
  set(148, 0x10);
  EXPECT_STREQ(compose().text, "S308 [ 50 \u00B0F]") << "bytes 151/152";
  set(184, 1);
  EXPECT_STREQ(compose().text, "S308 [- 40 \u00B0F]") << "bytes 149/150";
}

TEST_F(StatusBarDifferenceTest, SiTextsConvertTheDifference) {
  link::dryer_state().unit_flag.store(1);
  EXPECT_STREQ(compose().text, "S308 [? 16 \u00B0C]");  // 30 x 5 / 9 = 16.7
  set_word(93, 94, 190);
  EXPECT_STREQ(compose().text, "S308 [? -5 \u00B0C]");  // -10 x 5 / 9 = -5.6
  set(184, 2);
  EXPECT_STREQ(compose().text, "S308 [- 33 \u00B0C]");
}

TEST_F(StatusBarTest, DryerTimerColourByRatioAndRemainingTime) {
  set(24, 10);  // A = 600
  set(26, 30);  // B = 1800
  BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::DryerTimer);
  EXPECT_STREQ(m.text, "S307");
  EXPECT_EQ(m.color, kYellow);
  set(28, 0x01);
  EXPECT_STREQ(compose().text, "S307  20:00");
  set(25, 1);  // A = 601
  EXPECT_STREQ(compose().text, "S307  19:59");

  set(24, 15);
  set(25, 0);  // exactly one half
  EXPECT_EQ(compose().color, kYellow);
  set(25, 1);
  EXPECT_EQ(compose().color, kGreen);
  set(24, 7);
  set(25, 30);  // exactly one quarter
  EXPECT_EQ(compose().color, kRed);

  set(24, 40);  // past the end
  EXPECT_STREQ(compose().text, "S307  0:00");
  set(24, 0);
  set(25, 0);
  set(26, 0);
  set(27, 0);  // no timer at all
  EXPECT_EQ(compose().color, kRed);
  EXPECT_STREQ(compose().text, "S307  0:00");
}

TEST_F(StatusBarTest, CoolingAndRunning) {
  set(171, 0xE0);
  BarMessage m = compose();
  EXPECT_EQ(m.rule, BarRule::Cooling);
  EXPECT_STREQ(m.text, "S306");
  EXPECT_EQ(m.color, kBlue);
  set(43, 0x01);
  set(39, 12);
  set(40, 5);
  EXPECT_STREQ(compose().text, "S306  12:05");
  set(171, 0xA0);
  set(172, 0x01);
  EXPECT_EQ(compose().rule, BarRule::Cooling);

  set(172, 0);
  set(188, 0x40);
  m = compose();
  EXPECT_EQ(m.rule, BarRule::Running);
  EXPECT_STREQ(m.text, "S303");
  EXPECT_EQ(m.color, kGreen);
  set(257, 0x01);
  EXPECT_STREQ(compose().text, "S303") << "staged batch needs byte 8 = 1 as well";
  set(8, 1);
  m = compose();
  EXPECT_STREQ(m.text, "S305");
  EXPECT_EQ(m.color, kRed);
}

TEST_F(StatusBarTest, EarlierRulesWin) {
  set(188, 0x40);  // rule 8
  set(172, 0x01);  // rule 7
  set(171, 0x00);  // rule 6
  EXPECT_EQ(compose().rule, BarRule::DryerTimer);
  set(224, 0x08);  // rule 5
  EXPECT_EQ(compose().rule, BarRule::TemperatureDifference);
  set(52, 9);
  set(179, 0x04);
  set(171, 0x08);
  set(187, 3);  // rule 4
  EXPECT_EQ(compose().rule, BarRule::CoolDown);
  set(187, 4);
  set(224, 0x88);
  set_word(290, 291, 3500);  // rule 3 (rule 4 no longer: kind 4)
  EXPECT_EQ(compose().rule, BarRule::HoldTimer);
  set(279, 0x01);  // rule 2
  EXPECT_EQ(compose().rule, BarRule::Startup);
}

// The bar as the shell creates it, painted into the framebuffer.
class StatusBarPaintTest : public StatusBarTest {
 protected:
  void SetUp() override {
    StatusBarTest::SetUp();
    gui::init();
    register_status_bar_class();
    window_ = gui::create_window({.class_name = resources::DRYER_RIGHT_STATUS_BAR_WINDOW,
                                  .text = " DRYER BAR STATUS",
                                  .style = gui::style::kVisible | gui::style::kBorder,
                                  .rect = platform::Rect::from_xywh(240, 0, 400, 40)});
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { gui::reset(); }

  // Paints the bar and counts the pixels of exactly `c` in its client area; with a name, the
  // screen goes to NAME.png in the build folder to look at.
  int painted(Color c, const std::string& name = {}) {
    gui::invalidate(window_, gui::Erase::No);
    gui::paint_pending();
    if (!name.empty()) {
      const std::string dir = std::string(CORVEX_BUILD_DIR) + "/status_screenshots";
      std::filesystem::create_directories(dir);
      platform::write_png_file(dir + "/" + name + ".png", gui::framebuffer());
    }
    return count(c);
  }
  // The pixels of exactly `c` in the bar's client area on the screen as it is.
  int count(Color c) const {
    const platform::Rect r =
        window_->client_rect().translated(window_->client_origin().x, window_->client_origin().y);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) n += gui::framebuffer().pixel(x, y) == c;
    }
    return n;
  }
  int client_pixels() const {
    return window_->client_rect().width() * window_->client_rect().height();
  }

  gui::Window* window_ = nullptr;
};

TEST_F(StatusBarPaintTest, PaintsTheMessageInItsColourOnBlack) {
  link::reset_dryer_state();
  link::preset_start_mirror();
  const int red = painted(kRed, "status_bar_302");
  EXPECT_GT(red, 30) << "string 302 in red";
  // An unchanged message is drawn again wherever the screen was overwritten.
  gui::framebuffer().fill(platform::colors::kWhite);
  EXPECT_EQ(painted(kRed), red);
  timer_done();
  set(271, 1);
  EXPECT_EQ(painted(kRed), 0);
  EXPECT_GT(painted(kBlue, "status_bar_304"), 30) << "string 304 in blue";
  EXPECT_EQ(gui::send_message(window_, {gui::MessageKind::EraseBackground, 0, 0}), 1);
}

TEST_F(StatusBarPaintTest, BlinkOffPhaseLeavesTheBarBlack) {
  set(118, 0x20);
  EXPECT_GT(painted(kRed), 30);
  blink_off();
  EXPECT_EQ(painted(platform::colors::kBlack), client_pixels());
}

// The 175 ms tick asks for the bar every time; the request is dropped while the bar on the
// screen already shows what the status asks for (a white screen under the bar shows that no
// paint came), and goes through when the message changed, or when a paint of a part only drew
// a new message into the bar and left the rest of it showing the old one.
TEST_F(StatusBarPaintTest, TheTickPaintsTheBarOnlyWhenItWouldChange) {
  link::reset_dryer_state();
  link::preset_start_mirror();
  blink(link::kBlinkPhaseOn | link::kBlinkStartupDone);
  const int red = painted(kRed);
  ASSERT_GT(red, 30);
  const auto tick = [] {
    gui::framebuffer().fill(platform::colors::kWhite);
    link::request_redraw(link::RedrawTarget::RightStatusBar, gui::Erase::No);
    gui::paint_pending();
  };
  tick();
  EXPECT_EQ(count(kWhite), client_pixels()) << "an unchanged bar is not painted again";

  timer_done();
  set(271, 1);
  tick();
  EXPECT_EQ(count(kWhite), 0) << "a new message is painted";
  EXPECT_GT(count(kBlue), 30);

  // A paint of the left half only, with another message again.
  set(118, 0x20);
  const platform::Rect client = window_->client_rect();
  gui::invalidate_rect(window_, {0, 0, client.width() / 2, client.height()}, gui::Erase::No);
  gui::paint_pending();
  tick();
  EXPECT_EQ(count(kWhite), 0) << "the half still showing the old message is painted";
  EXPECT_GT(count(kRed), 30);
  tick();
  EXPECT_EQ(count(kWhite), client_pixels());

  // The blink phase is part of what the bar shows.
  blink_off();
  tick();
  EXPECT_EQ(count(platform::colors::kBlack), client_pixels());
}

// ---- Fitting the message into the bar ----

// The bar's client area inside its one-pixel frame, and the width a line may take in the
// message rectangle (5..390) with three pixels kept free at each end.
constexpr platform::Rect kBarClient{0, 0, 398, 38};
constexpr int kLineRoom = 385 - 2 * 3;

BarMessage message_of(const std::string& text, unsigned align = tf::kCenter) {
  BarMessage m;
  m.drawn = true;
  m.color = kWhite;
  m.format = align;
  std::snprintf(m.text, sizeof m.text, "%s", text.c_str());
  return m;
}

int width_of(std::string_view text, platform::FontSpec f) {
  return platform::measure_text_line(text, f).width;
}

int non_black(const platform::Bitmap& bm) {
  int n = 0;
  for (int y = 0; y < bm.height(); ++y)
    for (int x = 0; x < bm.width(); ++x) n += bm.pixel(x, y) != platform::colors::kBlack;
  return n;
}

// The lines of a layout put back together, one blank where the text was split.
std::string joined(const BarMessage& m, const BarLayout& l) {
  const std::string text = m.text;
  if (l.lines == 1) return text.substr(0, l.first_end);
  return text.substr(0, l.first_end) + " " + text.substr(l.second_begin);
}

// The message is drawn whole when the bar's own paint holds every pixel that the same lines
// leave on a canvas that clips nothing, and those pixels lie inside the message rectangle.
void expect_drawn_whole(const BarMessage& m, const std::string& what) {
  const BarLayout layout = lay_out_bar_message(m, kBarClient);
  EXPECT_EQ(joined(m, layout), std::string(m.text)) << what;
  for (int i = 0; i < layout.lines; ++i) {
    EXPECT_TRUE(layout.area.contains(layout.line_rects[i])) << what << " line " << i;
  }
  platform::Bitmap bar(kBarClient.width(), kBarClient.height(), platform::colors::kBlack);
  platform::Canvas bar_canvas(bar);
  draw_status_bar(bar_canvas, kBarClient, m);

  constexpr int kMargin = 80;
  platform::Bitmap open(kBarClient.width() + 2 * kMargin, kBarClient.height() + 2 * kMargin,
                        platform::colors::kBlack);
  platform::Canvas open_canvas(open);
  open_canvas.translate(kMargin, kMargin);
  draw_bar_lines(open_canvas, m, layout);
  const platform::Rect ink =
      testing::ink_box(open, platform::colors::kBlack).translated(-kMargin, -kMargin);
  EXPECT_FALSE(ink.empty()) << what;
  EXPECT_TRUE(layout.area.contains(ink))
      << what << ": ink " << ink.left << "," << ink.top << " - " << ink.right << "," << ink.bottom
      << " at " << layout.font.pixel_height << " px on " << layout.lines << " line(s)";
  EXPECT_EQ(non_black(bar), non_black(open)) << what << ": the bar cut some of the text";
}

TEST(StatusBarLayout, ATextThatFitsKeepsItsFontAndPlace) {
  const BarMessage m = message_of("DRYER RUNNING");
  const BarLayout l = lay_out_bar_message(m, kBarClient);
  EXPECT_EQ(l.lines, 1);
  EXPECT_EQ(l.font, (platform::FontSpec{28, 700}));
  EXPECT_EQ(l.align, tf::kCenter);
  EXPECT_EQ(l.area, (platform::Rect{5, 0, 390, 38})) << "the rectangle cut to the client area";
  expect_drawn_whole(m, "short text");
}

TEST(StatusBarLayout, AWideTextShrinksToTheLargestSizeThatFits) {
  // Wider than the bar at 28 pixels, narrower at the floor.
  std::string text = "MMMMMMMMMM MMMMMMMMMM";
  ASSERT_GT(width_of(text, {28, 700}), kLineRoom);
  ASSERT_LE(width_of(text, {kBarOneLineFloor, 700}), kLineRoom);
  const BarLayout l = lay_out_bar_message(message_of(text), kBarClient);
  EXPECT_EQ(l.lines, 1);
  EXPECT_LT(l.font.pixel_height, 28);
  EXPECT_GE(l.font.pixel_height, kBarOneLineFloor);
  EXPECT_LE(width_of(text, l.font), kLineRoom);
  EXPECT_GT(width_of(text, {l.font.pixel_height + 1, 700}), kLineRoom) << "not smaller than needed";
  expect_drawn_whole(message_of(text), "shrunk text");
}

TEST(StatusBarLayout, PastTheFloorTheTextGoesOnTwoBalancedLines) {
  const std::string text = "FIRST WORD OF A VERY LONG MESSAGE THAT NEEDS TWO LINES ON THE BAR";
  ASSERT_GT(width_of(text, {kBarOneLineFloor, 700}), kLineRoom);
  const BarMessage m = message_of(text, tf::kLeft);
  const BarLayout l = lay_out_bar_message(m, kBarClient);
  ASSERT_EQ(l.lines, 2);
  EXPECT_EQ(l.align, tf::kLeft);
  EXPECT_GE(l.font.pixel_height, 11);
  EXPECT_LE(2 * platform::font_line_height(l.font), 38);
  const int first = width_of(text.substr(0, l.first_end), l.font);
  const int second = width_of(text.substr(l.second_begin), l.font);
  // The split is the one that makes the wider line narrowest: near the middle.
  EXPECT_LT(std::abs(first - second), width_of("VERY LONG", l.font)) << first << " " << second;
  EXPECT_EQ(text[l.first_end], ' ');
  EXPECT_NE(text[l.second_begin], ' ');
  expect_drawn_whole(m, "two lines");
}

TEST(StatusBarLayout, ALongTextWithoutABlankShrinksPastTheFloor) {
  const std::string text(40, 'W');
  ASSERT_GT(width_of(text, {kBarOneLineFloor, 700}), kLineRoom);
  const BarLayout l = lay_out_bar_message(message_of(text), kBarClient);
  EXPECT_EQ(l.lines, 1);
  EXPECT_LT(l.font.pixel_height, kBarOneLineFloor);
  EXPECT_LE(width_of(text, l.font), kLineRoom);
}

// Every message the bar can show, in every language, with the widest numbers a dryer reports.
class StatusBarLanguages : public ::testing::Test {
 protected:
  void SetUp() override { link::reset_dryer_state(); }
  void TearDown() override { link::reset_dryer_state(); }

  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> bytes;
    bool si = false;
  };
  static std::vector<Case> cases() {
    return {
        {"alarm", {{118, 0x20}}},
        {"start-up, timer", {{279, 1}, {171, 0}}},
        {"start-up, paused", {{279, 1}, {171, 0xA0}, {280, 4}}},
        {"start-up, countdown", {{279, 1}, {171, 0xA0}, {280, 2}, {320, 0xFF}, {321, 0xFF}}},
        {"start-up", {{279, 1}, {171, 0xA0}}},
        {"hold timer", {{171, 0xA0}, {188, 0x40}, {224, 0x80}, {187, 4}, {290, 0x5D}, {291, 0x0D}}},
        {"cool down", {{171, 0xA8}, {179, 4}, {187, 3}, {52, 255}}},
        // A target of 250 F over a grain temperature of -40 F.
        {"difference F", {{171, 0xA0}, {224, 8}, {188, 0x40}, {149, 0xFA}, {93, 0xD8}, {94, 0xFF}}},
        {"difference C",
         {{171, 0xA0}, {224, 8}, {188, 0x40}, {149, 0xFA}, {93, 0xD8}, {94, 0xFF}},
         true},
        {"difference, sensor 2",
         {{171, 0xA0}, {224, 8}, {188, 0x40}, {184, 2}, {149, 0xFA}, {89, 0xD8}, {90, 0xFF}}},
        {"dryer timer", {{171, 0}, {28, 1}, {26, 255}, {27, 59}}},
        {"unloading", {{171, 0xE0}, {43, 1}, {39, 255}, {40, 255}}},
        {"running", {{171, 0xA0}, {188, 0x40}}},
        {"batch on hold", {{171, 0xA0}, {188, 0x40}, {8, 1}, {257, 1}}},
        {"stopped", {{171, 0xA0}}},
        {"ready", {{171, 0xA0}, {271, 1}}},
    };
  }
  static BarMessage compose(const Case& c) {
    link::reset_dryer_state();
    auto& state = link::dryer_state();
    for (const auto& [offset, value] : c.bytes) state.mirror[size_t(offset)].store(uint8_t(value));
    state.unit_flag.store(c.si ? 1 : 0);
    state.blink_flags.store(link::kBlinkPhaseOn | link::kBlinkStartupDone);
    BarMessage m;
    compose_bar_message(state, m);
    return m;
  }

  testing::PanelLanguages languages_;
};

TEST_F(StatusBarLanguages, EveryMessageIsDrawnWholeInEveryLanguage) {
  for (int language = 0; language < texts::kLanguageCount; ++language) {
    languages_.use(language);
    for (const Case& c : cases()) {
      const BarMessage m = compose(c);
      ASSERT_TRUE(m.drawn);
      ASSERT_GT(std::strlen(m.text), 4u) << c.what << ": no string table loaded";
      expect_drawn_whole(
          m, testing::PanelLanguages::name(language) + ", " + c.what + ": \"" + m.text + "\"");
      EXPECT_GE(lay_out_bar_message(m, kBarClient).font.pixel_height, 11)
          << c.what << " in " << testing::PanelLanguages::name(language);
    }
  }
}

TEST_F(StatusBarLanguages, TheLongRomanianAndPortugueseMessagesAreMadeToFit) {
  languages_.use(10);  // Romanian
  const BarMessage alarm = compose(cases()[0]);
  EXPECT_STREQ(alarm.text, "ALARMĂ VENTILATOR/ARZĂTOR!");
  EXPECT_LT(lay_out_bar_message(alarm, kBarClient).font.pixel_height, 28);
  expect_drawn_whole(alarm, "Romanian alarm");

  languages_.use(9);  // Portuguese
  const BarMessage paused = compose(cases()[2]);
  EXPECT_STREQ(paused.text, "ARRANQUE AUTOMÁTICO EM PAUSA");
  const BarLayout l = lay_out_bar_message(paused, kBarClient);
  EXPECT_LT(l.font.pixel_height, 28);
  EXPECT_EQ(l.align, tf::kLeft);
  expect_drawn_whole(paused, "Portuguese pause");
}

}  // namespace
}  // namespace corvex::status
