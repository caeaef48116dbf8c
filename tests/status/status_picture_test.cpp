// The dryer status picture: the picture and layout selection, the fan/heater icon rule, the
// animation counters, the hourly moisture average, the overlay's lines computed from the mirror,
// and the painted window (checked pixel by pixel against the artwork; screenshots of every
// picture are written to the build folder to look at), with the unload-switch notice shown
// after the paint.
#include "status/status_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "platform/gfx/png.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "platform/io/clock.h"
#include "resources/status_artwork.h"
#include "resources/window_classes.h"
#include "status/picture_overlay.h"
#include "tests/status/panel_languages.h"
#include "tests/texts/text_test_support.h"

namespace corvex::status {
namespace {

namespace gui = platform::gui;
using platform::Rect;
using resources::DryerPicture;
using resources::FanHeaterIconSet;
using texts::testing::TempDisk;
namespace oc = overlay_colours;

struct Byte {
  int offset;
  uint8_t value;
};

// A disk whose string N reads "S<N>", except the notice's text and caption.
class PictureTexts {
 public:
  PictureTexts() {
    auto lines = texts::testing::numbered_lines(500, u"S");
    lines[451 - 1] = u"The UNLOAD switch is on while a staged batch is drying.";
    lines[452 - 1] = u"CHECK UNLOAD SWITCH";
    disk_.write_text("CorvexLangConfig.txt", "English");
    disk_.write_lines("Languages/EN/EnglishStrings.txt", lines);
  }

 private:
  TempDisk disk_;
};

// ---- Selection and rules ----

TEST(StatusPictureRules, PictureAndLayoutByKindAndConfiguration) {
  struct Case {
    uint8_t kind, configuration;
    DryerPicture picture;
    int layout;
  };
  const Case cases[] = {
      {0, 0x00, DryerPicture::A1, 0},         {0, 0x40, DryerPicture::A2, 0},
      {0, 0x60, DryerPicture::A2, 0},  // bit 0x40 wins over 0x20
      {0, 0x20, DryerPicture::A3, 3},         {0, 0x24, DryerPicture::A3, 3},
      {0, 0x9F & ~0x20, DryerPicture::A1, 0}, {1, 0x00, DryerPicture::B1, 1},
      {1, 0x20, DryerPicture::B1, 1},         {1, 0x40, DryerPicture::B2, 1},
      {2, 0x20, DryerPicture::C1, 2},         {2, 0x60, DryerPicture::C2, 2},
  };
  for (const Case& c : cases) {
    const PictureSelection s = select_picture(c.kind, c.configuration);
    ASSERT_TRUE(s.picture.has_value()) << int(c.kind) << " " << int(c.configuration);
    EXPECT_EQ(*s.picture, c.picture) << int(c.kind) << " " << int(c.configuration);
    EXPECT_EQ(s.layout, c.layout) << int(c.kind) << " " << int(c.configuration);
  }
  for (const uint8_t kind : {3, 4, 255}) {
    EXPECT_FALSE(select_picture(kind, 0x40).picture.has_value());
    EXPECT_EQ(select_picture(kind, 0).layout, -1);
  }
}

TEST(StatusPictureRules, FanHeaterIconSetAndCounts) {
  EXPECT_EQ(fan_heater_icon_set(0x04, 0x02), FanHeaterIconSet::SecondStage);
  EXPECT_EQ(fan_heater_icon_set(0x05, 0x03), FanHeaterIconSet::SecondStage);
  EXPECT_EQ(fan_heater_icon_set(0x01, 0x02), FanHeaterIconSet::Burner);
  EXPECT_EQ(fan_heater_icon_set(0x00, 0x03), FanHeaterIconSet::Burner) << "burner wins over fan";
  EXPECT_EQ(fan_heater_icon_set(0x04, 0x01), FanHeaterIconSet::Fan) << "stage 2 needs the burner";
  EXPECT_EQ(fan_heater_icon_set(0x01, 0x00), FanHeaterIconSet::Idle) << "A's fan bit alone";
  EXPECT_EQ(fan_heater_icon_set(0xFF, 0xFC), FanHeaterIconSet::Idle);

  EXPECT_EQ(fan_heater_count(0), 1);
  EXPECT_EQ(fan_heater_count(3), 4);
  EXPECT_EQ(fan_heater_count(4), 6);
  EXPECT_EQ(fan_heater_count(5), 0);
  EXPECT_EQ(fan_heater_count(255), 0);

  EXPECT_TRUE(small_metering_rolls(0x02, 0x00));
  EXPECT_FALSE(small_metering_rolls(0x02, 0x40));
  EXPECT_FALSE(small_metering_rolls(0xFD, 0x00));
}

TEST(StatusPictureRules, FanHeaterPlacesStackFromTheBottomInsideTheWindow) {
  for (int p = 0; p < resources::kDryerPictureCount; ++p) {
    for (const int count : {1, 2, 3, 4, 6}) {
      int previous_top = 1000;
      for (int n = 1; n <= count; ++n) {
        const Rect r = resources::fan_heater_place(DryerPicture(p), count, n);
        EXPECT_TRUE((Rect{0, 0, 238, 418}).contains(r)) << p << " " << count << " " << n;
        EXPECT_LE(r.bottom, previous_top) << "#" << n << " above #" << n - 1;
        EXPECT_FALSE(r.intersected(resources::kTextColumn).width() > 0);
        previous_top = r.top;
      }
      EXPECT_TRUE(resources::fan_heater_place(DryerPicture(p), count, count + 1).empty());
      EXPECT_TRUE(resources::fan_heater_place(DryerPicture(p), count, 0).empty());
    }
  }
}

// ---- Animation ----

TEST(StatusPictureAnimation, FanHeaterAndEquipmentCounters) {
  StatusBytes b{};
  AnimationCounters k;
  b[130] = 0x01;  // fan/heater 1's fan runs
  b[126] = 0x01;  // fan/heater 5's too
  b[171] = 0x80;  // equipment 1 stopped
  const uint8_t fan_expected[] = {1, 2, 0, 1};
  for (const uint8_t want : fan_expected) {
    step_animation(k, b);
    EXPECT_EQ(k.fan_heater[0], want);
    EXPECT_EQ(k.fan_heater[4], want);
    EXPECT_EQ(k.fan_heater[1], 0) << "fan/heater 2 is not running";
    EXPECT_EQ(k.equipment1, 0);
    EXPECT_EQ(k.equipment2, 0);
  }

  b = {};
  k = {};
  for (const uint8_t want : {2, 1, 0, 2}) {
    step_animation(k, b);
    EXPECT_EQ(k.equipment1, want) << "equipment 1 counts down while 171 bit 7 is clear";
  }

  k = {};
  b[172] = 0x01;
  int slow_steps = 0;
  for (int step = 1; step <= 15; ++step) {
    step_animation(k, b);
    EXPECT_EQ(k.equipment2, step % 3);
    if (step % 5 == 0) ++slow_steps;
    EXPECT_EQ(k.equipment2_slow, slow_steps % 3) << "step " << step;
  }
  b[172] = 0;
  b[171] = 0x40;  // the other enable
  step_animation(k, b);
  EXPECT_EQ(k.equipment2, 1);
}

TEST(StatusPictureAnimation, MeteringRollsEveryThirdStepByDirection) {
  StatusBytes b{};
  AnimationCounters k;
  b[58] = 0x08;  // turning forward
  for (int step = 1; step <= 6; ++step) {
    step_animation(k, b);
    const int moves = step / 3;
    EXPECT_EQ(k.forward_roll, moves % 3) << "step " << step;
    EXPECT_EQ(k.reverse_roll, (3 - moves % 3) % 3) << "step " << step;
  }
  b[58] = 0x0C;  // reverse: the reverse counter advances, the forward one counts down
  for (int step = 1; step <= 3; ++step) step_animation(k, b);
  EXPECT_EQ(k.reverse_roll, 2);
  EXPECT_EQ(k.forward_roll, 1);
  b[58] = 0x04;  // stopped: the third-step clock keeps running, the rolls stand
  for (int step = 1; step <= 3; ++step) step_animation(k, b);
  EXPECT_EQ(k.reverse_roll, 2);
  EXPECT_EQ(k.forward_roll, 1);
  b[58] = 0x08;
  step_animation(k, b);
  step_animation(k, b);
  EXPECT_EQ(k.forward_roll, 1);
  step_animation(k, b);
  EXPECT_EQ(k.forward_roll, 2) << "the third step after the pause";
}

// ---- Hourly moisture average ----

TEST(StatusPictureHourly, WarmUpThenTheMeanOfTheLast3600Samples) {
  HourlyMoisture h;
  h.reset();
  for (int i = 1; i < HourlyMoisture::kWarmUpSamples; ++i) h.sample(150);
  EXPECT_TRUE(h.warming_up());
  EXPECT_EQ(h.countdown(), 1);
  h.sample(0);  // the 300th sample: a zero moisture out is a sample like any other
  EXPECT_FALSE(h.warming_up());
  EXPECT_EQ(h.count(), 300);
  EXPECT_FLOAT_EQ(h.average(), 150.0f * 299 / 300);

  // Distinct values, so that replacing the wrong slot shows: sample i is i % 997.
  h.reset();
  const auto value = [](int i) { return uint16_t(i % 997); };
  const auto mean_of_last = [&](int taken) {
    const int first = taken > 3600 ? taken - 3600 : 0;
    double sum = 0;
    for (int i = first; i < taken; ++i) sum += value(i);
    return sum / (taken - first);
  };
  int taken = 0;
  for (const int checkpoint : {3599, 3600, 3601, 3602, 7199, 7200, 7201, 12000}) {
    while (taken < checkpoint) h.sample(value(taken++));
    EXPECT_EQ(h.count(), std::min(taken, 3600));
    EXPECT_NEAR(h.average(), mean_of_last(taken), 1e-3) << "after " << taken << " samples";
  }
}

TEST(StatusPictureHourly, SamplesOnlyWhileSamplingIsEnabled) {
  link::reset_dryer_state();
  reset_status_picture_state();
  auto& mirror = link::dryer_state().mirror;
  mirror[189] = 0x01;
  mirror[190] = 0x2C;  // 30.0 %
  sample_hourly_moisture();
  EXPECT_EQ(hourly_moisture().count(), 0) << "171 bit 3 clear: no sample";
  EXPECT_EQ(hourly_moisture().countdown(), 300);
  mirror[171] = 0x08;
  sample_hourly_moisture();
  sample_hourly_moisture();
  EXPECT_EQ(hourly_moisture().count(), 2);
  EXPECT_EQ(hourly_moisture().countdown(), 298);
  EXPECT_FLOAT_EQ(hourly_moisture().average(), 300.0f);
  mirror[171] = 0xA0;  // paused again
  mirror[190] = 0;
  sample_hourly_moisture();
  EXPECT_EQ(hourly_moisture().count(), 2);
  EXPECT_EQ(hourly_moisture().countdown(), 298);
  EXPECT_FLOAT_EQ(hourly_moisture().average(), 300.0f);
  reset_status_picture_state();
  EXPECT_EQ(hourly_moisture().count(), 0);
  EXPECT_EQ(hourly_moisture().countdown(), 300);
}

// ---- Overlay lines ----

class StatusPictureOverlay : public ::testing::Test {
 protected:
  void set(std::initializer_list<Byte> bytes) {
    for (const Byte& x : bytes) b_[size_t(x.offset)] = x.value;
  }
  const Overlay& build(int layout = 0) {
    build_overlay(layout, b_, {metric_, &hourly_}, overlay_);
    return overlay_;
  }
  std::string text(OverlayRole role, int layout = 0) {
    const OverlayText* t = build(layout).find(role);
    return t != nullptr ? std::string(t->text.data()) : std::string("<none>");
  }
  platform::Color colour(OverlayRole role, int layout = 0) {
    const OverlayText* t = build(layout).find(role);
    return t != nullptr ? t->colour : 0xFFFFFFFFu;
  }

  PictureTexts texts_;
  StatusBytes b_{};
  bool metric_ = false;
  HourlyMoisture hourly_;
  Overlay overlay_;
};

struct LineCase {
  std::initializer_list<Byte> bytes;
  const char* text;
  platform::Color colour;
};

TEST_F(StatusPictureOverlay, KindAndStateLines) {
  const LineCase kind[] = {
      {{{8, 1}}, "S291", oc::kGreen},         {{{8, 3}}, "S292", oc::kGreen},
      {{{187, 0x82}}, "3 SPEED", oc::kGreen}, {{{187, 0x84}}, "S77", oc::kGreen},
      {{{187, 3}}, "S79", oc::kGreen},        {{{187, 0x41}}, "S265", oc::kGreen},
      {{{187, 5}}, "S289", oc::kGreen},       {{{187, 6}}, "S290", oc::kGreen},
      {{{187, 0}}, "S290", oc::kGreen},
  };
  for (const LineCase& c : kind) {
    b_ = {};
    set(c.bytes);
    EXPECT_EQ(text(OverlayRole::StatusKind), c.text);
    EXPECT_EQ(colour(OverlayRole::StatusKind), c.colour) << c.text;
  }
  const LineCase state[] = {
      // Staged batch: the drying criteria of byte 257; 0x10 wins over 0x40.
      {{{8, 1}, {257, 0x30}}, "S264", oc::kGreen},
      {{{8, 1}, {257, 0x20}}, "S265", oc::kGreen},
      {{{8, 1}, {257, 0x50}}, "S266", oc::kGreen},
      {{{8, 1}, {257, 0x40}}, "S267", oc::kGreen},
      {{{8, 1}, {257, 0x00}, {187, 0x81}}, "S268", oc::kGreen},
      // Basic: automatic with or without the second setpoint, else manual.
      {{{187, 0x81}}, "S269", oc::kGreen},
      {{{187, 0xC1}}, "S33", oc::kGreen},
      {{{187, 0x41}}, "S270", oc::kRed},
      // Types 4 and 5: auto centring only for type 4.
      {{{187, 0x84}}, "S34", oc::kGreen},
      {{{187, 0x84}, {224, 0x80}}, "S271", oc::kGreen},
      {{{187, 0x85}, {224, 0x80}}, "S34", oc::kGreen},
      {{{187, 0x05}}, "S270", oc::kRed},
      // Three-speed: automatic in steps 5..7.
      {{{187, 2}, {201, 7}}, "S34", oc::kGreen},
      {{{187, 2}, {201, 8}}, "S270", oc::kRed},
      // Any other type: by the drying mode's bit 0, step 3 and the unload switch.
      {{{187, 3}, {201, 3}}, "S34", oc::kGreen},
      {{{187, 0}, {201, 0}}, "S270", oc::kRed},
      {{{8, 2}, {201, 0}}, "S270", oc::kRed},
      {{{8, 3}, {201, 0}}, "S34", oc::kGreen},
      {{{8, 3}, {201, 3}, {179, 0x02}}, "S270", oc::kRed},
  };
  for (const LineCase& c : state) {
    b_ = {};
    set(c.bytes);
    EXPECT_EQ(text(OverlayRole::StatusState), c.text);
    EXPECT_EQ(colour(OverlayRole::StatusState), c.colour) << c.text;
  }
}

TEST_F(StatusPictureOverlay, StepLine) {
  const LineCase cases[] = {
      {{{280, 0x02}, {245, 7}, {187, 2}}, "AS 7", oc::kRed},
      {{{187, 2}, {201, 5}, {245, 3}}, "S272 3", oc::kRed},
      {{{187, 2}, {201, 6}, {245, 3}}, "S274 3", oc::kRed},
      {{{187, 2}, {201, 1}, {245, 3}}, "S273 3", oc::kRed},
      {{{187, 0x04}, {220, 4}, {245, 3}}, "S274 3", oc::kRed},     // not automatic
      {{{187, 0x84}, {220, 0x0C}, {245, 3}}, "S272 3", oc::kRed},  // bits 0-2 only
      {{{187, 0x85}, {220, 3}, {245, 3}}, "S275 3", oc::kRed},
      {{{187, 0x84}, {220, 1}, {245, 3}}, "S276 3", oc::kRed},
      {{{187, 0x84}, {220, 0}, {245, 3}}, "S274 3", oc::kRed},
      {{{187, 0x84}, {220, 2}, {245, 3}}, "S273 3", oc::kRed},
      {{{187, 1}, {155, 2}, {245, 3}}, "S272 3", oc::kRed},
      {{{187, 1}, {155, 1}, {245, 3}, {223, 4}}, "S273 3.4", oc::kRed},
      {{{187, 0x40}, {155, 0}, {245, 3}}, "S277", oc::kRed},
      {{{187, 0}, {155, 0}, {245, 3}}, "S278 3", oc::kRed},
  };
  for (const LineCase& c : cases) {
    b_ = {};
    set(c.bytes);
    EXPECT_EQ(text(OverlayRole::StatusStep), c.text);
    EXPECT_EQ(colour(OverlayRole::StatusStep), c.colour);
  }
}

TEST_F(StatusPictureOverlay, TargetThroughputTotalAndMetricUnits) {
  set({{8, 1}, {221, 0x01}, {222, 0x02}});
  EXPECT_EQ(text(OverlayRole::StatusTarget), "S296 258");
  b_ = {};
  set({{49, 0x20}, {197, 0x04}, {198, 0xD2}});
  EXPECT_EQ(text(OverlayRole::StatusTarget), "S281");
  set({{49, 0}});
  EXPECT_EQ(text(OverlayRole::StatusTarget), "S282 123.4");
  set({{225, 0x20}, {197, 0x04}, {198, 0xB5}});  // 1205 hundredths
  EXPECT_EQ(text(OverlayRole::StatusTarget), "S282 12.05");
  EXPECT_EQ(colour(OverlayRole::StatusTarget), oc::kWhite);

  b_ = {};
  set({{173, 0}, {174, 100}});
  // 3 600 000 bushels x 3600 in bytes 164 (least significant) to 167.
  set({{164, 0x80}, {165, 0xEE}, {166, 0x36}, {167, 0x00}});
  EXPECT_EQ(text(OverlayRole::StatusThroughput), "S280 100");
  EXPECT_EQ(text(OverlayRole::StatusTotal), "S284 1000");
  metric_ = true;
  EXPECT_EQ(text(OverlayRole::StatusThroughput), "S279 2") << "2.54 tonnes, truncated";
  EXPECT_EQ(text(OverlayRole::StatusTotal), "S283 25") << "91440.18 / 3600";
  metric_ = false;
  set({{164, 0xFF}, {165, 0xFF}, {166, 0xFF}, {167, 0xFF}, {173, 0xFF}, {174, 0xFF}});
  EXPECT_EQ(text(OverlayRole::StatusTotal), "S284 1193046") << "the full 32-bit count";
  EXPECT_EQ(text(OverlayRole::StatusThroughput), "S280 65535");
  EXPECT_EQ(bushels_to_tonnes(100), 2);
  EXPECT_EQ(bushels_to_tonnes(39), 0);
  EXPECT_EQ(bushels_to_tonnes(40), 1);
}

TEST_F(StatusPictureOverlay, TemperaturesMoistureOutAndExtraLine) {
  set({{193, 0x05}, {194, 0xDC}, {184, 1}, {91, 0x2C}, {92, 0x01}});  // 150.0 F out, 300 F grain
  EXPECT_EQ(text(OverlayRole::StatusGrainOut), "150 \u00B0F");
  EXPECT_EQ(colour(OverlayRole::StatusGrainOut), oc::kYellow);
  EXPECT_EQ(text(OverlayRole::GrainTemperature), "300\u00B0F");
  EXPECT_EQ(colour(OverlayRole::GrainTemperature), oc::kCyan);
  metric_ = true;
  EXPECT_EQ(text(OverlayRole::StatusGrainOut), "65 \u00B0C");
  EXPECT_EQ(text(OverlayRole::GrainTemperature), "148\u00B0C");
  set({{193, 0xFF}, {194, 0x97}});  // -10.5 F
  EXPECT_EQ(text(OverlayRole::StatusGrainOut), "-23 \u00B0C");
  metric_ = false;
  EXPECT_EQ(text(OverlayRole::StatusGrainOut), "-10 \u00B0F");
  set({{225, 0x04}});
  EXPECT_EQ(text(OverlayRole::GrainTemperature), "S295");
  set({{225, 0}, {184, 0}, {93, 90}, {94, 0}});
  EXPECT_EQ(text(OverlayRole::GrainTemperature), "90\u00B0F");
  set({{184, 2}, {89, 0xF6}, {90, 0xFF}});
  EXPECT_EQ(text(OverlayRole::GrainTemperature), "-10\u00B0F");
  set({{184, 3}});
  EXPECT_EQ(text(OverlayRole::GrainTemperature), "<none>") << "no sensor 3";

  EXPECT_EQ(text(OverlayRole::StatusMoistureOut), "***");
  set({{189, 0}, {190, 152}});
  EXPECT_EQ(text(OverlayRole::StatusMoistureOut), "15.2%");
  set({{191, 0x00}, {192, 183}});
  EXPECT_EQ(text(OverlayRole::MainReadout), "18.3%");

  EXPECT_EQ(text(OverlayRole::StatusExtra), "<none>");
  const LineCase extra[] = {
      {{{293, 0x80}, {292, 3}, {171, 0x08}}, "S285", oc::kBlue},
      {{{293, 0x80}, {292, 2}, {171, 0x08}}, "S286", oc::kBlue},
      {{{293, 0x80}, {292, 1}, {171, 0x00}}, "S287", oc::kBlue},
  };
  for (const LineCase& c : extra) {
    set(c.bytes);
    EXPECT_EQ(text(OverlayRole::StatusExtra), c.text);
    EXPECT_EQ(colour(OverlayRole::StatusExtra), c.colour);
  }
}

TEST_F(StatusPictureOverlay, MeteringRollSizeLabel) {
  EXPECT_EQ(text(OverlayRole::MeteringRollSize), "7\"");
  EXPECT_EQ(build(0).find(OverlayRole::MeteringRollSize)->rect, Rect::from_xywh(86, 279, 20, 20));
  EXPECT_EQ(build(1).find(OverlayRole::MeteringRollSize)->rect, Rect::from_xywh(72, 368, 20, 20));
  EXPECT_EQ(build(2).find(OverlayRole::MeteringRollSize)->rect, Rect::from_xywh(65, 386, 20, 20));
  EXPECT_EQ(colour(OverlayRole::MeteringRollSize), oc::kDarkBlue);
  set({{183, 0x02}});
  EXPECT_EQ(text(OverlayRole::MeteringRollSize), "4\"");
  set({{225, 0x40}});
  EXPECT_EQ(text(OverlayRole::MeteringRollSize), "7\"");
  set({{225, 0x20}});
  EXPECT_EQ(text(OverlayRole::MeteringRollSize, 3), "<none>") << "225 exactly 0x20 hides it";
  set({{225, 0x21}});
  EXPECT_EQ(text(OverlayRole::MeteringRollSize, 3), "4\"");
}

TEST_F(StatusPictureOverlay, MoistureBlockConditionPerLayout) {
  // 0x09: type 1 in bits 0-2, but not in bits 0-5.
  set({{187, 0x09}});
  EXPECT_FALSE(moisture_condition(0, b_));
  EXPECT_TRUE(moisture_condition(1, b_));
  EXPECT_FALSE(moisture_condition(2, b_));
  EXPECT_FALSE(moisture_condition(3, b_));
  // 0x0D: type 5 in bits 0-2 only.
  set({{187, 0x0D}});
  EXPECT_TRUE(moisture_condition(0, b_));
  EXPECT_TRUE(moisture_condition(1, b_));
  EXPECT_FALSE(moisture_condition(2, b_));
  EXPECT_FALSE(moisture_condition(3, b_));
  set({{187, 0x81}});
  for (int layout = 0; layout < 4; ++layout) EXPECT_TRUE(moisture_condition(layout, b_));
  // A staged batch with drying criteria: not in layout 3.
  set({{187, 0}, {8, 1}, {257, 0x10}});
  EXPECT_TRUE(moisture_condition(0, b_));
  EXPECT_TRUE(moisture_condition(1, b_));
  EXPECT_TRUE(moisture_condition(2, b_));
  EXPECT_FALSE(moisture_condition(3, b_));
  set({{257, 0x40}});
  EXPECT_FALSE(moisture_condition(0, b_));
}

TEST_F(StatusPictureOverlay, MoistureBlockContents) {
  // Condition M: the target temperature, large grain temperature of sensor 1.
  set({{187, 1}, {149, 180}, {150, 0}, {151, 170}, {153, 160}, {93, 0x8C}, {94, 0x00}});
  EXPECT_EQ(text(OverlayRole::BlockTarget), "S288 180\u00B0F");
  EXPECT_EQ(colour(OverlayRole::BlockTarget), oc::kBlockLine);
  EXPECT_EQ(text(OverlayRole::BlockSecondTarget), "<none>");
  EXPECT_EQ(text(OverlayRole::BlockBig), "140");
  EXPECT_EQ(text(OverlayRole::BlockUnit), "\u00B0F");
  EXPECT_EQ(text(OverlayRole::BlockSetpoint), "<none>");
  EXPECT_EQ(text(OverlayRole::BlockTarget, 1), "S288: 180 \u00B0F");
  set({{257, 0x02}});  // second target line; continuous flow keeps label 288
  EXPECT_EQ(text(OverlayRole::BlockTarget), "S288 180\u00B0F");
  EXPECT_EQ(text(OverlayRole::BlockSecondTarget), "S298 170\u00B0F");
  set({{8, 2}});  // a batch mode: label 297 with bytes 153/154
  EXPECT_EQ(text(OverlayRole::BlockTarget), "S297 160\u00B0F");
  EXPECT_EQ(text(OverlayRole::BlockSecondTarget, 2), "S298: 170 \u00B0F");
  metric_ = true;
  EXPECT_EQ(text(OverlayRole::BlockTarget), "S297 71\u00B0C");
  EXPECT_EQ(text(OverlayRole::BlockBig), "60");
  EXPECT_EQ(text(OverlayRole::BlockUnit), "\u00B0C");

  // Not M: the moisture setpoint and the moisture out in large digits.
  b_ = {};
  metric_ = false;
  set({{187, 2}, {199, 0}, {200, 155}, {189, 0}, {190, 152}});
  EXPECT_EQ(text(OverlayRole::BlockSetpoint), "SP 15.5%");
  EXPECT_EQ(text(OverlayRole::BlockSetpoint, 2), "S288: 15.5%");
  EXPECT_EQ(text(OverlayRole::BlockBig), "15.2");
  EXPECT_EQ(colour(OverlayRole::BlockBig), oc::kGreen);
  EXPECT_EQ(text(OverlayRole::BlockUnit), "%");
  EXPECT_EQ(text(OverlayRole::BlockTarget), "<none>");
}

TEST_F(StatusPictureOverlay, StagedBatchValuesAndHourlyAverage) {
  EXPECT_EQ(text(OverlayRole::BatchValue1), "<none>");
  set({{8, 1}, {247, 0}, {248, 175}, {249, 0}, {250, 152}});
  EXPECT_EQ(text(OverlayRole::BatchLabel1), "S293");
  EXPECT_EQ(colour(OverlayRole::BatchLabel1), oc::kDarkBlue);
  EXPECT_EQ(text(OverlayRole::BatchValue1), "17.5%");
  EXPECT_EQ(colour(OverlayRole::BatchValue1), oc::kBatchValue);
  EXPECT_EQ(text(OverlayRole::BatchLabel2), "S294");
  EXPECT_EQ(text(OverlayRole::BatchValue2), "15.2%");

  hourly_.reset();
  for (int i = 0; i < 299; ++i) hourly_.sample(157);
  EXPECT_EQ(text(OverlayRole::HourlyAverage), "***");
  hourly_.sample(157);
  EXPECT_EQ(text(OverlayRole::HourlyAverage), "15.7%");
  EXPECT_EQ(build().find(OverlayRole::HourlyAverage)->rect, (Rect{3, 395, 103, 415}));
}

TEST_F(StatusPictureOverlay, StatusColumnRowsFollowTheLayoutPitch) {
  set({{293, 0x80}});
  for (const auto& [layout, pitch] : {std::pair{0, 10}, {1, 12}, {2, 15}, {3, 10}}) {
    const Overlay& o = build(layout);
    const int top = o.find(OverlayRole::StatusKind)->rect.top;
    EXPECT_EQ(o.find(OverlayRole::StatusState)->rect.top, top + pitch);
    EXPECT_EQ(o.find(OverlayRole::StatusExtra)->rect.top, top + 8 * pitch);
    EXPECT_EQ(o.mark_count, 7) << "the scale and its six ticks";
    // The moisture block starts below the column.
    EXPECT_GE(o.find(OverlayRole::BlockSetpoint)->rect.top, top + 9 * pitch);
  }
  Overlay empty;
  build_overlay(-1, b_, {}, empty);
  EXPECT_EQ(empty.text_count + empty.panel_count, 0);
}

// ---- Every line whole, in every language ----

// States that between them draw every line of every layout with the widest values a dryer
// reports (three-digit temperatures, 99.9 %, a season's six-digit total): the moisture block in
// both forms and with both targets, the staged batch values, the metering-roll line in both
// forms, the extra line, and the grain temperature as a number and as a text.
struct WidestState {
  const char* what;
  std::initializer_list<Byte> bytes;
};
const WidestState kWidestStates[] = {
    {"temperatures, continuous flow",
     {{187, 0x41}, {257, 0x02}, {149, 0xFA}, {151, 0xFA}, {93, 0xFA},  {193, 0x09},
      {194, 0xC4}, {189, 0x03}, {190, 0xE7}, {173, 0x27}, {174, 0x0F}, {164, 0xF0},
      {165, 0x95}, {166, 0x93}, {167, 0xD6}, {197, 0x03}, {198, 0xE7}, {245, 255},
      {223, 255},  {155, 1},    {293, 0x80}, {292, 1},    {171, 0x08}}},
    {"temperatures, staged batch",
     {{8, 1},
      {187, 0x01},
      {257, 0x32},
      {153, 0xD8},
      {154, 0xFF},
      {151, 0xFA},
      {93, 0xD8},
      {94, 0xFF},
      {221, 0x27},
      {222, 0x0F},
      {247, 0x03},
      {248, 0xE7},
      {249, 0x03},
      {250, 0xE7},
      {245, 255},
      {293, 0x80},
      {292, 2},
      {171, 0x08},
      {179, 0x02}}},
    {"moisture setpoint, three speed",
     {{187, 0x02},
      {201, 6},
      {199, 0x03},
      {200, 0xE7},
      {189, 0x03},
      {190, 0xE7},
      {49, 0x20},
      {245, 255},
      {293, 0x80},
      {225, 0x04}}},
    {"moisture setpoint, batch",
     {{8, 2},
      {187, 0x84},
      {224, 0x80},
      {220, 3},
      {199, 0x03},
      {200, 0xE7},
      {245, 255},
      {225, 0x20},
      {197, 0x27},
      {198, 0x0F},
      {293, 0x80}}},
    {"auto-start", {{280, 0x02}, {245, 255}, {187, 0x83}, {184, 1}, {91, 0xD8}, {92, 0xFF}}},
};

TEST(StatusPictureFit, SmallerThenRegularThenBelowTheFloor) {
  OverlayText t;
  const auto fitted = [&t](const char* text, int width, platform::FontSpec own) {
    std::snprintf(t.text.data(), t.text.size(), "%s", text);
    t.rect = {0, 0, width, 12};
    t.font = own;
    return fitted_overlay_font(t);
  };
  const auto width_of = [](const char* text, platform::FontSpec f) {
    return platform::measure_text_line(text, f).width;
  };
  const char* line = "TARGET 1: 250 \u00B0F";
  EXPECT_EQ(fitted(line, 200, {13, 700}), (platform::FontSpec{13, 700})) << "fits as it is";
  // Room for the bold face at 11 pixels but not at 12.
  const int bold11 = width_of(line, {11, 700});
  ASSERT_LT(bold11, width_of(line, {12, 700}));
  EXPECT_EQ(fitted(line, bold11, {13, 700}), (platform::FontSpec{11, 700}));
  // No room for the bold face at the floor: the regular face, as large as it fits.
  const int bold9 = width_of(line, {kSmallestOverlayFont, 700});
  ASSERT_LT(width_of(line, {10, 400}), bold9);
  const platform::FontSpec regular = fitted(line, bold9 - 1, {13, 700});
  EXPECT_EQ(regular.weight, 400);
  EXPECT_GE(regular.pixel_height, kSmallestOverlayFont);
  EXPECT_LE(width_of(line, regular), bold9 - 1);
  EXPECT_GT(width_of(line, {regular.pixel_height + 1, 400}), bold9 - 1);
  // Not even that: below the floor, still whole.
  const int regular9 = width_of(line, {kSmallestOverlayFont, 400});
  const platform::FontSpec small = fitted(line, regular9 - 1, {13, 700});
  EXPECT_LT(small.pixel_height, kSmallestOverlayFont);
  EXPECT_LE(width_of(line, small), regular9 - 1);
}

TEST_F(StatusPictureOverlay, EveryLineIsWholeInEveryLanguage) {
  testing::PanelLanguages languages;
  HourlyMoisture warm;
  for (int i = 0; i < 300; ++i) warm.sample(1000);
  for (int language = 0; language < texts::kLanguageCount; ++language) {
    languages.use(language);
    for (const WidestState& state : kWidestStates) {
      for (const bool metric : {false, true}) {
        for (int layout = 0; layout < 4; ++layout) {
          b_ = {};
          set(state.bytes);
          build_overlay(layout, b_, {metric, &warm}, overlay_);
          const std::string where = testing::PanelLanguages::name(language) + ", " + state.what +
                                    (metric ? ", SI" : "") + ", layout " + std::to_string(layout);
          for (int p = 0; p < overlay_.panel_count; ++p) {
            EXPECT_TRUE(kPictureClient.contains(overlay_.panels[size_t(p)].rect))
                << where << ": panel " << p;
          }
          for (int t = 0; t < overlay_.text_count; ++t) {
            const OverlayText& line = overlay_.texts[size_t(t)];
            const platform::FontSpec f = fitted_overlay_font(line);
            const int width = platform::measure_text_line(line.text.data(), f).width;
            EXPECT_TRUE(kPictureClient.contains(line.rect)) << where << ": " << line.text.data();
            EXPECT_LE(width, line.rect.width())
                << where << ": \"" << line.text.data() << "\" at " << f.pixel_height << " px";
          }
        }
      }
    }
  }
}

// ---- The painted window ----

Rect g_box_rect;
std::string g_box_text;
std::string g_box_caption;
gui::Window* g_box_owner = nullptr;
int g_boxes_seen = 0;

class StatusPicturePaint : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::init();
    platform::clock::use_virtual(0);
    gui::reset();
    reset_status_picture_state();
    register_status_picture_class();
    window_ = gui::create_window({.class_name = resources::DRYER_PIC_WINDOW,
                                  .text = " SYSTEM STATUS",
                                  .style = gui::style::kVisible | gui::style::kBorder,
                                  .rect = {0, 0, 240, 420}});
    ASSERT_NE(window_, nullptr);
    g_box_text.clear();
    g_box_caption.clear();
    g_box_owner = nullptr;
    g_boxes_seen = 0;
  }
  void TearDown() override {
    gui::reset();
    reset_status_picture_state();
  }

  void set(std::initializer_list<Byte> bytes) {
    for (const Byte& x : bytes) link::dryer_state().mirror[size_t(x.offset)] = x.value;
  }
  // Paints the window now; saves the screen as NAME.png in the build folder when named.
  void paint(const std::string& name = {}) {
    gui::invalidate(window_);
    gui::paint_pending();
    if (name.empty()) return;
    const std::string dir = std::string(CORVEX_BUILD_DIR) + "/status_screenshots";
    std::filesystem::create_directories(dir);
    // The picture alone, twice the size, to look at.
    platform::Bitmap zoom(480, 840);
    platform::Canvas(zoom).stretch_blit(gui::framebuffer(), {0, 0, 240, 420}, zoom.rect());
    platform::write_png_file(dir + "/" + name + ".png", zoom);
  }
  platform::Color at(int x, int y) const {
    const platform::Point o = window_->client_origin();
    return gui::framebuffer().pixel(o.x + x, o.y + y);
  }
  // Pixels of the icon (its key colour left out) that differ from the screen at `place`.
  int differing(const platform::Bitmap& icon, const Rect& place) const {
    int n = 0;
    for (int y = 0; y < icon.height(); ++y) {
      for (int x = 0; x < icon.width(); ++x) {
        const platform::Color c = icon.pixel(x, y);
        if (c != resources::kIconKey && at(place.left + x, place.top + y) != c) ++n;
      }
    }
    return n;
  }
  // Pixels near colour c (every channel within 60: text is drawn with smoothed edges).
  int ink(const Rect& r, platform::Color c) const {
    const auto near = [](int a, int b) { return a - b < 60 && b - a < 60; };
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        const platform::Color p = at(x, y);
        n += near(platform::red_of(p), platform::red_of(c)) &&
             near(platform::green_of(p), platform::green_of(c)) &&
             near(platform::blue_of(p), platform::blue_of(c));
      }
    }
    return n;
  }
  // A busy staged batch: six fan/heaters burning (the even ones in the second stage), everything
  // moving, every text drawn.
  void busy(uint8_t kind, uint8_t configuration) {
    link::reset_dryer_state();
    set({{3, 4}, {4, kind}, {225, configuration}, {58, 0x08}, {171, 0x48}, {172, 1}});
    for (int n = 1; n <= 6; ++n) {
      set({{131 - n, uint8_t(n % 2 == 0 ? 0x05 : 0x01)}, {137 - n, 0x03}});
    }
    set({{191, 0},    {192, 183},  {189, 0},    {190, 152},  {184, 0},    {93, 120},   {193, 0x04},
         {194, 0xB0}, {173, 0x04}, {174, 0xB0}, {164, 0x80}, {165, 0xEE}, {166, 0x36}, {187, 0x81},
         {197, 0},    {198, 125},  {199, 0},    {200, 155},  {245, 4},    {293, 0x80}, {292, 1},
         {8, 1},      {257, 0x32}, {248, 175},  {250, 152},  {149, 180},  {151, 170},  {153, 160}});
  }

  PictureTexts texts_;
  gui::Window* window_ = nullptr;
};

TEST_F(StatusPicturePaint, UnknownKindIsBlack) {
  set({{4, 3}, {225, 0x40}, {191, 1}, {3, 4}, {130, 3}, {136, 3}});
  paint("kind3_black");
  int lit = 0;
  for (int y = 0; y < 418; ++y) {
    for (int x = 0; x < 238; ++x) lit += at(x, y) != platform::colors::kBlack;
  }
  EXPECT_EQ(lit, 0);
}

TEST_F(StatusPicturePaint, BasePictureAndIdleFanHeaterBeforeTheFirstFrame) {
  paint("a1_no_frame_yet");  // mirror all zero: A1, one idle fan/heater, "***"
  const platform::Bitmap& a1 = resources::base_picture(DryerPicture::A1);
  EXPECT_EQ(at(50, 150), a1.pixel(50, 150 - 25));
  EXPECT_EQ(at(120, 20), platform::colors::kBlack) << "above the A picture";
  const Rect place = resources::fan_heater_place(DryerPicture::A1, 1, 1);
  EXPECT_EQ(differing(resources::fan_heater_icon(resources::PictureFamily::Tower,
                                                 FanHeaterIconSet::Idle, 0),
                      place),
            0);
  EXPECT_GT(ink({3, 395, 103, 415}, oc::kGreen), 20) << "the hourly average's ***";
  EXPECT_GT(ink({150, 2, 238, 34}, oc::kGreen), 50) << "0.0% in the main read-out";
}

TEST_F(StatusPicturePaint, FanHeaterIconFollowsItsBurnerBytes) {
  using resources::PictureFamily;
  set({{3, 4}, {128, 0x01}, {134, 0x00}});  // fan/heater 3 of 6: fan running, B all clear
  animate_status_picture();
  ASSERT_EQ(status_picture_counters().fan_heater[2], 1);
  paint("a1_fan3_idle_counting");
  const Rect place = resources::fan_heater_place(DryerPicture::A1, 6, 3);
  const auto& idle = resources::fan_heater_icon(PictureFamily::Tower, FanHeaterIconSet::Idle, 1);
  const auto& burner =
      resources::fan_heater_icon(PictureFamily::Tower, FanHeaterIconSet::Burner, 1);
  EXPECT_EQ(differing(idle, place), 0) << "idle icon while the counter advances";

  set({{134, 0x02}});
  paint("a1_fan3_burner");
  EXPECT_EQ(differing(burner, place), 0);
  EXPECT_GT(differing(idle, place), 100) << "the burner frame is not the idle frame";

  set({{128, 0x05}});
  animate_status_picture();
  paint("a1_fan3_second_stage");
  const auto& second =
      resources::fan_heater_icon(PictureFamily::Tower, FanHeaterIconSet::SecondStage, 2);
  EXPECT_EQ(differing(second, place), 0);
  EXPECT_GT(differing(burner, place), 50);
}

TEST_F(StatusPicturePaint, AnimationFramesDiffer) {
  using resources::Equipment;
  using resources::PictureFamily;
  using resources::RollSize;
  const auto differs = [](const platform::Bitmap& a, const platform::Bitmap& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
  };
  for (int f = 0; f < 3; ++f) {
    const int g = (f + 1) % 3;
    EXPECT_GT(differs(resources::fan_heater_icon(PictureFamily::Column, FanHeaterIconSet::Fan, f),
                      resources::fan_heater_icon(PictureFamily::Column, FanHeaterIconSet::Fan, g)),
              20);
    EXPECT_GT(
        differs(resources::fan_heater_icon(PictureFamily::Tower, FanHeaterIconSet::Burner, f),
                resources::fan_heater_icon(PictureFamily::Tower, FanHeaterIconSet::Burner, g)),
        20);
    EXPECT_GT(differs(resources::equipment_icon(PictureFamily::MixedFlow, Equipment::Unload, f),
                      resources::equipment_icon(PictureFamily::MixedFlow, Equipment::Unload, g)),
              20);
    EXPECT_GT(differs(resources::metering_roll_icon(RollSize::Small, f),
                      resources::metering_roll_icon(RollSize::Small, g)),
              5);
  }
}

TEST_F(StatusPicturePaint, RollsAndEquipmentShowTheirCountersFrames) {
  using resources::Equipment;
  using resources::RollSize;
  set({{4, 1}, {58, 0x0C}, {183, 0x02}, {172, 0x01}});  // B1, small rolls turning in reverse
  for (int i = 0; i < 3; ++i) animate_status_picture();
  const AnimationCounters& k = status_picture_counters();
  ASSERT_EQ(k.reverse_roll, 1);
  ASSERT_EQ(k.forward_roll, 2);
  paint("b1_small_rolls_reverse");
  EXPECT_EQ(differing(resources::metering_roll_icon(RollSize::Small, 2),
                      resources::metering_roll_place(DryerPicture::B1, RollSize::Small, 0)),
            0);
  EXPECT_EQ(differing(resources::metering_roll_icon(RollSize::Small, 1),
                      resources::metering_roll_place(DryerPicture::B1, RollSize::Small, 1)),
            0);
  EXPECT_EQ(differing(resources::equipment_icon(resources::PictureFamily::Column, Equipment::Unload,
                                                k.equipment2),
                      resources::equipment_place(DryerPicture::B1, Equipment::Unload)),
            0);
  EXPECT_GT(ink({72, 368, 92, 388}, oc::kDarkBlue), 10) << "the 4\" label";
}

// Each icon stands on the picture: its own pixels where it has them and the picture's where it
// has its key colour, in every frame the animation steps through and every state of its burner.
TEST_F(StatusPicturePaint, IconsShowThePictureThroughTheirKeyColourInEveryFrame) {
  busy(0, 0x00);
  set({{3, 3}});  // four fan/heaters, which stand apart
  const platform::Bitmap& base = resources::base_picture(DryerPicture::A1);
  const platform::Point origin = resources::picture_origin(DryerPicture::A1);
  // Key pixels of the icon at `place` where the screen does not show the picture.
  const auto hidden_picture = [&](const platform::Bitmap& icon, const Rect& place) {
    int n = 0;
    for (int y = 0; y < icon.height(); ++y) {
      for (int x = 0; x < icon.width(); ++x) {
        if (icon.pixel(x, y) != resources::kIconKey) continue;
        const int bx = place.left + x - origin.x, by = place.top + y - origin.y;
        const bool on_picture = bx >= 0 && by >= 0 && bx < base.width() && by < base.height();
        const platform::Color under = on_picture ? base.pixel(bx, by) : platform::colors::kBlack;
        n += at(place.left + x, place.top + y) != under;
      }
    }
    return n;
  };
  paint();
  for (int step = 0; step < 7; ++step) {
    if (step == 4) set({{128, 0x00}, {134, 0x00}});  // fan/heater 3 stops: another icon set
    animate_status_picture();
    gui::paint_pending();
    const AnimationCounters& k = status_picture_counters();
    for (int n = 1; n <= 4; ++n) {
      const auto& mirror = link::dryer_state().mirror;
      const FanHeaterIconSet set_shown =
          fan_heater_icon_set(mirror[size_t(131 - n)].load(), mirror[size_t(137 - n)].load());
      const platform::Bitmap& icon = resources::fan_heater_icon(
          resources::PictureFamily::Tower, set_shown, k.fan_heater[size_t(n - 1)]);
      const Rect place = resources::fan_heater_place(DryerPicture::A1, 4, n);
      EXPECT_EQ(differing(icon, place), 0) << "step " << step << ", fan/heater " << n;
      EXPECT_EQ(hidden_picture(icon, place), 0) << "step " << step << ", fan/heater " << n;
    }
    using resources::Equipment;
    const struct {
      const platform::Bitmap& icon;
      Rect place;
      const char* what;
    } others[] = {
        {resources::equipment_icon(resources::PictureFamily::Tower, Equipment::Load, k.equipment1),
         resources::equipment_place(DryerPicture::A1, Equipment::Load), "load conveyor"},
        {resources::equipment_icon(resources::PictureFamily::Tower, Equipment::Unload,
                                   k.equipment2),
         resources::equipment_place(DryerPicture::A1, Equipment::Unload), "unload conveyor"},
        {resources::metering_roll_icon(resources::RollSize::Large, k.forward_roll),
         resources::metering_roll_place(DryerPicture::A1, resources::RollSize::Large, 0), "roll"},
    };
    for (const auto& o : others) {
      EXPECT_EQ(differing(o.icon, o.place), 0) << "step " << step << ", " << o.what;
      EXPECT_EQ(hidden_picture(o.icon, o.place), 0) << "step " << step << ", " << o.what;
    }
  }
}

// The 100 ms step repaints the icons whose frame moved and nothing else, and what it leaves is
// what a whole repaint draws. A value that changed since the last paint makes it repaint all.
TEST_F(StatusPicturePaint, AnimationRepaintsOnlyTheIconsThatMoved) {
  busy(0, 0x00);
  paint();
  const platform::Point o = window_->client_origin();
  const platform::Point mark{o.x + 200, o.y + 20};  // in the main read-out, far from any icon
  constexpr platform::Color kMark = platform::rgb(255, 0, 255);
  const auto screen_copy = [] {
    platform::Bitmap copy(240, 420);
    platform::Canvas(copy).blit(gui::framebuffer(), {0, 0, 240, 420}, {0, 0});
    return copy;
  };
  for (int step = 0; step < 4; ++step) {
    gui::framebuffer().set_pixel(mark.x, mark.y, kMark);
    animate_status_picture();
    gui::paint_pending();
    ASSERT_EQ(gui::framebuffer().pixel(mark.x, mark.y), kMark) << "step " << step;
    const platform::Bitmap after_step = screen_copy();
    paint();
    const platform::Bitmap whole = screen_copy();
    int different = 0;
    for (int y = 0; y < 420; ++y)
      for (int x = 0; x < 240; ++x) different += after_step.pixel(x, y) != whole.pixel(x, y);
    EXPECT_LE(different, 1) << "step " << step << ": only the mark may differ";
  }

  // The moisture out changes without a redraw being asked for: the next step repaints the line
  // that shows it and leaves the rest of the picture alone.
  const platform::Bitmap before = screen_copy();
  set({{192, 100}});
  const platform::Point aside{o.x + 5, o.y + 210};  // on the dryer, away from the read-outs
  gui::framebuffer().set_pixel(aside.x, aside.y, kMark);
  animate_status_picture();
  gui::paint_pending();
  EXPECT_EQ(gui::framebuffer().pixel(aside.x, aside.y), kMark) << "not the whole picture";
  const platform::Bitmap after = screen_copy();
  int changed = 0;
  for (int y = 2; y < 34; ++y)
    for (int x = 150; x < 238; ++x) changed += after.pixel(x, y) != before.pixel(x, y);
  EXPECT_GT(changed, 20) << "the main read-out shows the new moisture";
  paint();
  const platform::Bitmap whole = screen_copy();
  int different = 0;
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 240; ++x) different += after.pixel(x, y) != whole.pixel(x, y);
  EXPECT_LE(different, 1) << "only the mark may differ from a whole repaint";
}

// Values that change between a step and a paint of a part of the picture (an icon, a dialog
// closing over it) are drawn by the next step, never left stale beside the part painted.
TEST_F(StatusPicturePaint, ChangesBetweenStepsAreNeverLeftStale) {
  busy(0, 0x00);
  paint();
  const auto screen_copy = [] {
    platform::Bitmap copy(240, 420);
    platform::Canvas(copy).blit(gui::framebuffer(), {0, 0, 240, 420}, {0, 0});
    return copy;
  };
  const struct {
    Byte byte;
    const char* what;
  } changes[] = {{{192, 61}, "moisture out"}, {{174, 0xC4}, "plenum temperature"},
                 {{198, 99}, "unload rate"},  {{172, 0}, "state line"},
                 {{189, 2}, "moisture in"},   {{149, 150}, "setpoint"}};
  for (const auto& change : changes) {
    animate_status_picture();
    set({change.byte});
    // A part of the window is painted before the next step: it draws what the rest shows.
    gui::invalidate_rect(window_, {0, 0, 40, 40});
    gui::paint_pending();
    animate_status_picture();
    gui::paint_pending();
    const platform::Bitmap stepped = screen_copy();
    paint();
    const platform::Bitmap whole = screen_copy();
    int different = 0;
    for (int y = 0; y < 420; ++y)
      for (int x = 0; x < 240; ++x) different += stepped.pixel(x, y) != whole.pixel(x, y);
    EXPECT_EQ(different, 0) << change.what;
  }
}

TEST_F(StatusPicturePaint, EveryPictureBusy) {
  struct Shot {
    uint8_t kind, configuration;
    DryerPicture picture;
    const char* name;
  };
  const Shot shots[] = {
      {0, 0x00, DryerPicture::A1, "busy_a1"}, {0, 0x40, DryerPicture::A2, "busy_a2"},
      {0, 0x20, DryerPicture::A3, "busy_a3"}, {1, 0x00, DryerPicture::B1, "busy_b1"},
      {1, 0x40, DryerPicture::B2, "busy_b2"}, {2, 0x00, DryerPicture::C1, "busy_c1"},
      {2, 0x40, DryerPicture::C2, "busy_c2"}};
  for (const Shot& s : shots) {
    busy(s.kind, s.configuration);
    for (int i = 0; i < 4; ++i) animate_status_picture();
    paint(s.name);
    const AnimationCounters& k = status_picture_counters();
    for (int n = 1; n <= 6; ++n) {
      const auto set = n % 2 == 0 ? FanHeaterIconSet::SecondStage : FanHeaterIconSet::Burner;
      EXPECT_EQ(differing(resources::fan_heater_icon(resources::family_of(s.picture), set,
                                                     k.fan_heater[size_t(n - 1)]),
                          resources::fan_heater_place(s.picture, 6, n)),
                0)
          << s.name << " fan/heater " << n;
    }
    EXPECT_GT(ink({150, 2, 238, 34}, oc::kGreen), 50) << s.name << ": main read-out";
    EXPECT_GT(ink({150, 36, 238, 54}, oc::kCyan), 20) << s.name << ": grain temperature";
    EXPECT_GT(ink({150, 60, 238, 200}, oc::kWhite), 40) << s.name << ": status column";
    EXPECT_GT(ink({150, 60, 238, 200}, oc::kRed), 10) << s.name << ": the step line";
    EXPECT_GT(ink({150, 60, 238, 240}, oc::kBlue), 10) << s.name << ": the extra line";
    EXPECT_GT(ink({2, 16, 146, 38}, oc::kBatchValue), 40) << s.name << ": staged-batch values";
    EXPECT_GT(ink({2, 2, 146, 15}, oc::kDarkBlue), 10) << s.name << ": their labels";
    // The column's panel ends inside the client area, which is two pixels narrower than the
    // window: its right frame line is on screen from top to bottom.
    const platform::Color frame = at(150, 200);
    EXPECT_NE(frame, platform::colors::kBlack) << s.name;
    for (const int y : {1, 100, 200, 300, 370}) {
      EXPECT_EQ(at(kPictureClient.right - 1, y), frame) << s.name << ": right frame line at " << y;
    }
  }
}

// The notice is decided in the paint and shown after it; once per latch.
TEST_F(StatusPicturePaint, UnloadSwitchNoticeAfterThePaintOncePerLatch) {
  set({{179, 0x02}, {8, 1}, {188, 0x40}});
  paint();
  EXPECT_TRUE(unload_switch_notice_latched());
  EXPECT_EQ(gui::active_modal(), nullptr) << "no modal loop inside the paint";
  gui::set_timer(window_, 7, 200, [](gui::Window* w, int id) {
    gui::kill_timer(w, id);
    gui::Window* box = gui::active_modal();
    if (box == nullptr) return;
    ++g_boxes_seen;
    g_box_owner = box->owner();
    g_box_caption = box->text();
    for (const auto& child : box->children()) {
      if (child->text().find("UNLOAD") != std::string::npos) g_box_text = child->text();
    }
    // The picture goes on painting under the box without opening another one.
    gui::invalidate_class(resources::DRYER_PIC_WINDOW);
    gui::paint_pending();
    gui::send_message(box, {gui::MessageKind::Command, gui::kIdOk, 0});
  });
  gui::advance_virtual(500);
  EXPECT_EQ(g_boxes_seen, 1);
  EXPECT_EQ(g_box_owner, window_);
  EXPECT_EQ(g_box_caption, "CHECK UNLOAD SWITCH");
  EXPECT_EQ(g_box_text, "The UNLOAD switch is on while a staged batch is drying.");
  EXPECT_EQ(gui::active_modal(), nullptr);

  // Still latched: further paints show nothing.
  paint();
  gui::set_timer(window_, 8, 100, [](gui::Window* w, int id) {
    gui::kill_timer(w, id);
    if (gui::active_modal() != nullptr) ++g_boxes_seen;
  });
  gui::advance_virtual(300);
  EXPECT_EQ(g_boxes_seen, 1);

  // Only picture A1 decides: on A2 the latch stays as it is.
  set({{225, 0x40}, {179, 0}});
  paint();
  EXPECT_TRUE(unload_switch_notice_latched());
  set({{225, 0}});
  paint();
  EXPECT_FALSE(unload_switch_notice_latched()) << "the condition went away on A1";
  set({{179, 0x02}});
  paint();
  EXPECT_TRUE(unload_switch_notice_latched());
  gui::set_timer(window_, 9, 100, [](gui::Window* w, int id) {
    gui::kill_timer(w, id);
    if (gui::Window* box = gui::active_modal()) {
      ++g_boxes_seen;
      gui::send_message(box, {gui::MessageKind::Command, gui::kIdOk, 0});
    }
  });
  gui::advance_virtual(300);
  EXPECT_EQ(g_boxes_seen, 2) << "a new latch, a new notice";
}

}  // namespace
}  // namespace corvex::status
