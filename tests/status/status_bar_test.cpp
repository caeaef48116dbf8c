// The status bar: which of the ten rules speaks for a given StatusMirror and blink phase, with
// its exact text, colour, font and alignment, and the painted bar checked for ink of the
// message's colour. The string table is made of numbered lines ("S301" is string 301), so the
// composed texts show exactly which strings went in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "link/dryer_state.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/png.h"
#include "platform/gui/window.h"
#include "shell/window_classes.h"
#include "status/status_bar.h"
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
    set_word(93, 94, 150);    // sensor 0
    set_word(91, 92, 140);    // sensor 1
    set_word(89, 90, 120);    // sensor 2
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
    window_ = gui::create_window({.class_name = shell::DRYER_RIGHT_STATUS_BAR_WINDOW,
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
    const platform::Rect r = window_->client_rect().translated(window_->client_origin().x,
                                                                window_->client_origin().y);
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

}  // namespace
}  // namespace corvex::status
