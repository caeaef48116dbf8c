// The temperature screen and its editor: Fahrenheit and Celsius entry with the range check and
// the SI adjustment, what ACCEPT writes, the plenum and grain buttons that are shown for the
// drying mode, the fan/heater count and the dryer type, the request each button fills, the
// values as the panels show them and the return button.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <string>

#include "diagnostics/format.h"
#include "link/command_builder.h"
#include "link/dryer_state.h"
#include "link/redraw.h"
#include "link/status_decoder.h"
#include "link/status_bytes.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/io/clock.h"
#include "resources/window_classes.h"
#include "settings/edit_requests.h"
#include "settings/temperature_screen.h"
#include "tests/texts/text_test_support.h"

namespace corvex::settings {
namespace {

namespace gui = platform::gui;
using link::PendingWrite;
using platform::Rect;
using TS = TemperatureSetpoint;

link::DryerState& state() { return link::dryer_state(); }
void set_mirror(int offset, uint8_t value) { state().mirror[size_t(offset)].store(value); }
uint8_t desired(int offset) { return state().desired[size_t(offset)].load(); }

// ---- Entry rules ----

class TemperatureEditorEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    link::reset_dryer_state();
    temperature_edit_request = TemperatureEditRequest{};
  }
  // Opens plenum #1 (current value `current` F), types `digits` and accepts.
  bool enter(int current, EntryUnits units, std::initializer_list<int> digits) {
    set_mirror(69, uint8_t(current & 0xFF));
    set_mirror(70, uint8_t(current >> 8));
    prepare_temperature_edit(TS::Plenum1);
    TemperatureEditRequest& r = temperature_edit_request;
    temperature_entry_begin(r, units);
    for (const int d : digits) temperature_entry_digit(r, d);
    return temperature_entry_accept(r, units);
  }
  int stored() const { return desired(69) | (desired(70) << 8); }
};

TEST_F(TemperatureEditorEntry, FahrenheitRangeIsCheckedAsTyped) {
  EXPECT_TRUE(enter(180, EntryUnits::Fahrenheit, {2, 5, 0}));
  EXPECT_EQ(stored(), 250);
  EXPECT_TRUE(link::write_raised(PendingWrite::k69));

  link::reset_dryer_state();
  EXPECT_FALSE(enter(180, EntryUnits::Fahrenheit, {2, 5, 1}));
  EXPECT_EQ(stored(), 180) << "the slots keep the current value copied on opening";
  EXPECT_FALSE(link::write_raised(PendingWrite::k69));

  link::reset_dryer_state();
  EXPECT_TRUE(enter(180, EntryUnits::Fahrenheit, {5, 0}));
  link::reset_dryer_state();
  EXPECT_FALSE(enter(180, EntryUnits::Fahrenheit, {4, 9}));
}

TEST_F(TemperatureEditorEntry, CelsiusIsCheckedOnTheFahrenheitThatIsSent) {
  const struct {
    std::initializer_list<int> digits;
    bool accepted;
    int fahrenheit;
  } cases[] = {
      {{1, 2, 0}, true, 248},
      {{1, 2, 1}, true, 250},  // adjusted to 251, held at the maximum, which shows as 121 C
      {{1, 2, 2}, false, 0},   // 251 F
      {{1, 0}, true, 50},
      {{9}, false, 0},  // 48 F
  };
  for (const auto& c : cases) {
    link::reset_dryer_state();
    EXPECT_EQ(enter(180, EntryUnits::Celsius, c.digits), c.accepted) << c.fahrenheit;
    EXPECT_EQ(link::write_raised(PendingWrite::k69), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(stored(), c.fahrenheit);
    }
  }
}

TEST_F(TemperatureEditorEntry, TopOfTheGrainRangeInCelsiusStaysWithinTheMaximum) {
  // 71 C is 159 F before the adjustment and 161 F after it; the grain maximum is 160 F.
  set_mirror(149, 105);
  prepare_temperature_edit(TS::GrainNarrow);
  TemperatureEditRequest& r = temperature_edit_request;
  ASSERT_EQ(r.maximum, 160);
  temperature_entry_begin(r, EntryUnits::Celsius);
  for (const int d : {7, 1}) temperature_entry_digit(r, d);
  EXPECT_TRUE(temperature_entry_accept(r, EntryUnits::Celsius));
  EXPECT_EQ(desired(149), 0xA0);
  EXPECT_EQ(desired(150), 0x00);
  EXPECT_EQ(diagnostics::fahrenheit_to_celsius(0xA0), 71);

  // 72 C cannot be reached within 160 F at all.
  temperature_entry_begin(r, EntryUnits::Celsius);
  for (const int d : {7, 2}) temperature_entry_digit(r, d);
  link::reset_dryer_state();
  EXPECT_FALSE(temperature_entry_accept(r, EntryUnits::Celsius));
  EXPECT_FALSE(link::write_raised(PendingWrite::k149));
}

// For every limit pair of the screens: a Celsius entry is taken exactly when some Fahrenheit
// value within the limits shows as it, and what is stored is such a value.
TEST_F(TemperatureEditorEntry, EveryCelsiusEntryStoresAValueWithinTheLimits) {
  const struct { int minimum, maximum; } limits[] = {{50, 250}, {50, 160}, {50, 180}};
  for (const auto& l : limits) {
    for (int c = 0; c <= 150; ++c) {
      bool reachable = false;
      for (int f = l.minimum; f <= l.maximum; ++f) {
        reachable = reachable || diagnostics::fahrenheit_to_celsius(int16_t(f)) == c;
      }
      TemperatureEditRequest r;
      r.minimum = uint16_t(l.minimum);
      r.maximum = uint16_t(l.maximum);
      r.working_value = uint16_t(c);
      r.low_slot = 69;
      r.high_slot = 70;
      link::reset_dryer_state();
      ASSERT_EQ(temperature_entry_accept(r, EntryUnits::Celsius), reachable)
          << c << " C within " << l.minimum << ".." << l.maximum << " F";
      if (!reachable) continue;
      EXPECT_GE(stored(), l.minimum) << c;
      EXPECT_LE(stored(), l.maximum) << c;
      EXPECT_EQ(diagnostics::fahrenheit_to_celsius(int16_t(stored())), c) << c;
    }
  }
}

TEST_F(TemperatureEditorEntry, EveryAcceptedCelsiusValueShowsBackUnchanged) {
  for (int c = 10; c <= 121; ++c) {
    const int f = celsius_entry_to_fahrenheit(c);
    EXPECT_EQ(diagnostics::fahrenheit_to_celsius(int16_t(f)), c) << c << " C stored as " << f;
  }
}

TEST_F(TemperatureEditorEntry, OpeningInSiUnitsConvertsAndAcceptingUntouchedKeepsTheCelsius) {
  set_mirror(69, 180);
  prepare_temperature_edit(TS::Plenum1);
  TemperatureEditRequest& r = temperature_edit_request;
  temperature_entry_begin(r, EntryUnits::Celsius);
  EXPECT_EQ(r.working_value, 82);  // (180 - 32) x 5 / 9 = 82.2
  EXPECT_TRUE(temperature_entry_accept(r, EntryUnits::Celsius));
  EXPECT_EQ(stored(), 181) << "the stored value moves, the shown 82 C stays";
  EXPECT_TRUE(link::write_raised(PendingWrite::k69));
}

TEST_F(TemperatureEditorEntry, AcceptingAnUnchangedValueStillRaisesTheWrite) {
  EXPECT_TRUE(enter(180, EntryUnits::Fahrenheit, {}));
  EXPECT_EQ(stored(), 180);
  EXPECT_TRUE(link::write_raised(PendingWrite::k69));
}

TEST_F(TemperatureEditorEntry, DigitsDeleteClearAndDefault) {
  TemperatureEditRequest& r = temperature_edit_request;
  r.working_value = 180;
  r.default_value = 105;
  temperature_entry_begin(r, EntryUnits::Fahrenheit);
  temperature_entry_digit(r, 1);
  EXPECT_EQ(r.working_value, 1) << "the first key cleared the value";
  temperature_entry_digit(r, 8);
  temperature_entry_digit(r, 5);
  temperature_entry_digit(r, 7);
  EXPECT_EQ(r.working_value, 185) << "a fourth digit is ignored";
  temperature_entry_delete(r);
  EXPECT_EQ(r.working_value, 18);
  temperature_entry_digit(r, 2);
  EXPECT_EQ(r.working_value, 182);
  temperature_entry_clear(r);
  EXPECT_EQ(r.working_value, 0);
  EXPECT_EQ(r.entry_state, 0);
  temperature_entry_digit(r, 0);
  temperature_entry_digit(r, 7);
  EXPECT_EQ(r.working_value, 7);

  temperature_entry_default(r, EntryUnits::Fahrenheit);
  EXPECT_EQ(r.working_value, 105);
  EXPECT_EQ(r.entry_state, 2);
  r.default_value = 180;
  temperature_entry_default(r, EntryUnits::Celsius);
  EXPECT_EQ(r.working_value, 82);

  // DELETE as the very first key clears too, as in the timer editor.
  r.working_value = 180;
  temperature_entry_begin(r, EntryUnits::Fahrenheit);
  temperature_entry_delete(r);
  EXPECT_EQ(r.working_value, 0);
}

TEST_F(TemperatureEditorEntry, SixteenBitValueGoesLowByteFirst) {
  TemperatureEditRequest& r = temperature_edit_request;
  r.working_value = 300;
  r.maximum = 400;
  r.minimum = 50;
  r.low_slot = 277;
  r.high_slot = 278;
  r.pending_write = &state().flag(PendingWrite::k277);
  EXPECT_TRUE(temperature_entry_accept(r, EntryUnits::Fahrenheit));
  EXPECT_EQ(desired(277), 0x2C);
  EXPECT_EQ(desired(278), 0x01);
  EXPECT_TRUE(link::write_raised(PendingWrite::k277));

  TemperatureEditRequest bare;  // no slots, no flag: nothing to write, nothing breaks
  bare.working_value = 100;
  EXPECT_TRUE(temperature_entry_accept(bare, EntryUnits::Fahrenheit));
}

TEST_F(TemperatureEditorEntry, BelowFreezingOpensAsZeroCelsius) {
  TemperatureEditRequest& r = temperature_edit_request;
  r.working_value = 0;  // -17 C
  temperature_entry_begin(r, EntryUnits::Celsius);
  EXPECT_EQ(r.working_value, 0);
}

// ---- The screen ----

std::vector<std::u16string> screen_strings() {
  std::vector<std::u16string> lines(400);
  auto set = [&](int n, std::u16string_view s) { lines[size_t(n - 1)] = s; };
  set(4, u"ACCEPT");
  set(10, u"CANCEL");
  set(55, u"DEFAULT");
  set(99, u"CLEAR");
  set(141, u"DELETE");
  set(142, u"MODIFYING TEMPERATURE SETPOINT");
  set(193, u"SELECT TEMPERATURE SETPOINT TO MODIFY");
  set(194, u"Plenum Temperature Setpoints");
  set(195, u"Grain Temperature Setpoint");
  set(196, u"GRAIN TEMPERATURE");
  set(200, u"The metering rolls slow down while the discharge grain is cooler than this setpoint");
  set(201, u"and speed up while it is warmer.");
  return lines;
}

std::map<int, std::function<void()>>& steps() {
  static std::map<int, std::function<void()>> s;
  return s;
}

gui::Window* find_by_text(gui::Window* root, std::string_view text) {
  if (root == nullptr) return nullptr;
  for (const auto& c : root->children()) {
    if (c->is_visible() && c->text() == text) return c.get();
    if (gui::Window* deeper = find_by_text(c.get(), text)) return deeper;
  }
  return nullptr;
}

void click(std::string_view text) {
  gui::Window* root = gui::active_modal() != nullptr ? gui::active_modal() : &gui::desktop();
  gui::Window* w = find_by_text(root, text);
  ASSERT_NE(w, nullptr) << text;
  const Rect r = w->screen_rect();
  gui::inject_pointer_down({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  gui::inject_pointer_up();
}

class TemperatureScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clock::use_virtual(1'700'000'000'000);
    gui::init();
    gui::reset();
    steps().clear();
    temp_screen_opened_from_auto_start = 0;
    disk_.write_text("CorvexLangConfig.txt", "English");
    disk_.write_lines("Languages/EN/EnglishStrings.txt", screen_strings());
    gui::register_controls();
    for (const char* name :
         {resources::SETUP_SELECTION_WINDOW, resources::AUTO_START_CONFIG_WINDOW}) {
      gui::register_class({name, gui::default_window_procedure, platform::colors::kBlack, true});
      gui::create_window(
          {.class_name = name, .text = "", .style = 0, .rect = Rect::from_xywh(0, 0, 640, 475)});
    }
    register_temperature_screen_classes();
    screen_ = gui::create_window({.class_name = resources::TEMP_SELECT_WINDOW,
                                  .text = " SELECT TEMPERATURE SETPOINT TO MODIFY - 02",
                                  .style = gui::style::kVisible | gui::style::kCaption,
                                  .rect = Rect::from_xywh(0, 0, 640, 475)});
    ASSERT_NE(screen_, nullptr);
    plenum_ = gui::find_window_by_class(resources::PLENUM_SETPOINT_CHILD_WINDOW);
    grain_ = gui::find_window_by_class(resources::GRAIN_TEMP_SETPOINT_CHILD_WINDOW);
    ASSERT_NE(plenum_, nullptr);
    ASSERT_NE(grain_, nullptr);
    gui::paint_pending();
  }
  void TearDown() override {
    gui::reset();
    steps().clear();
    temp_screen_opened_from_auto_start = 0;
  }

  void at(int ms, std::function<void()> fn) {
    const int id = 100 + int(steps().size());
    steps()[id] = std::move(fn);
    gui::set_timer(screen_, id, ms, [](gui::Window* w, int timer_id) {
      gui::kill_timer(w, timer_id);
      steps()[timer_id]();
    });
  }

  // Sets the dryer and repaints the panels, as the decoder's requests would.
  void dryer(int fan_code, int drying_mode, int type_byte = 0, int criteria = 0) {
    set_mirror(3, uint8_t(fan_code));
    set_mirror(8, uint8_t(drying_mode));
    set_mirror(225, uint8_t(type_byte));
    set_mirror(257, uint8_t(criteria));
    link::request_redraw(link::RedrawTarget::PlenumSetpointPanel);
    link::request_redraw(link::RedrawTarget::GrainTempSetpointPanel);
    gui::paint_pending();
  }

  // The texts of the shown picture buttons of a panel.
  std::vector<std::string> shown(gui::Window* panel) {
    std::vector<std::string> names;
    for (const auto& c : panel->children()) {
      if (c->is_shown()) names.push_back(c->text());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  texts::testing::TempDisk disk_;
  gui::Window* screen_ = nullptr;
  gui::Window* plenum_ = nullptr;
  gui::Window* grain_ = nullptr;
};

using Names = std::vector<std::string>;

TEST_F(TemperatureScreenTest, PlenumButtonsFollowTheFanHeaterCount) {
  dryer(3, 0);  // four fan/heaters
  EXPECT_EQ(shown(plenum_), (Names{"PLENUM_1_SP_BUTTON", "PLENUM_2_SP_BUTTON", "PLENUM_3_SP_BUTTON",
                                   "PLENUM_4_SP_BUTTON"}));
  EXPECT_FALSE(setpoint_value_shown(TS::Plenum5));
  dryer(4, 0);  // six
  EXPECT_EQ(shown(plenum_).size(), 6u);
  EXPECT_TRUE(setpoint_value_shown(TS::Plenum6));
  dryer(0, 1);  // one
  EXPECT_EQ(shown(plenum_), Names{"PLENUM_1_SP_BUTTON"});
}

TEST_F(TemperatureScreenTest, DryerTypeBitFiveHidesPlenumsTwoAndThreeInModeZeroOnly) {
  dryer(4, 0, 0x20);
  EXPECT_EQ(shown(plenum_), (Names{"PLENUM_1_SP_BUTTON", "PLENUM_4_SP_BUTTON", "PLENUM_5_SP_BUTTON",
                                   "PLENUM_6_SP_BUTTON"}));
  EXPECT_TRUE(setpoint_value_shown(TS::Plenum1));
  EXPECT_FALSE(setpoint_value_shown(TS::Plenum4)) << "values of #2 to #6 need bit 5 clear";
  dryer(4, 1, 0x20);
  EXPECT_EQ(shown(plenum_).size(), 6u) << "mode 1 shows every fitted button regardless";
  EXPECT_FALSE(setpoint_value_shown(TS::Plenum2));
  EXPECT_TRUE(setpoint_value_shown(TS::Plenum1));
}

TEST_F(TemperatureScreenTest, DualPlenumModeShowsTheFourDualButtons) {
  dryer(1, 1, 0, 0x02);
  ASSERT_TRUE(dual_plenum_mode());
  EXPECT_EQ(shown(plenum_), (Names{"PLENUM_2_HI_TEMP_SP_BUTTON", "PLENUM_2_LO_TEMP_SP_BUTTON",
                                   "PLENUM_HI_TEMP_SP_BUTTON", "PLENUM_LO_TEMP_SP_BUTTON"}));
  EXPECT_EQ(shown(grain_), (Names{"GRAIN_HI_TEMP_SP_BUTTON", "GRAIN_LO_TEMP_SP_BUTTON"}));
  EXPECT_TRUE(setpoint_value_shown(TS::Plenum1Second));
  EXPECT_FALSE(setpoint_value_shown(TS::Plenum3)) << "no place for #3 in the dual layout";
  dryer(0, 1, 0, 0x02);
  EXPECT_EQ(shown(plenum_), (Names{"PLENUM_HI_TEMP_SP_BUTTON", "PLENUM_LO_TEMP_SP_BUTTON"}))
      << "plenum #2 needs two fan/heaters";
  dryer(1, 0, 0, 0x02);
  EXPECT_FALSE(dual_plenum_mode()) << "the criteria bit counts only in staged batch";
  EXPECT_EQ(shown(grain_), Names{"GRAIN_SP_BUTTON"});
}

TEST_F(TemperatureScreenTest, OtherDryingModesLeaveTheButtonsAsTheyWere) {
  dryer(3, 0);
  const Names four = shown(plenum_);
  dryer(4, 2);
  EXPECT_EQ(shown(plenum_), four);
  EXPECT_FALSE(setpoint_value_shown(TS::Plenum1)) << "#1 and #2 values only in modes 0 and 1";
  EXPECT_TRUE(setpoint_value_shown(TS::Plenum5));
}

// Status frames change the buttons through the decoder, whether the screen shows or is covered
// by another: nothing waits for a paint.
TEST_F(TemperatureScreenTest, StatusFramesSetTheButtonsOfAScreenThatIsNotPainted) {
  gui::show_window(screen_, false);
  std::array<uint8_t, link::kStatusFrameBytes> frame{};
  const auto receive = [&](int offset, uint8_t value) {
    frame[size_t(offset)] = value;
    link::decode_status_frame(frame.data());
    gui::paint_pending();
  };
  receive(3, 4);  // six fan/heaters
  EXPECT_EQ(shown(plenum_).size(), 6u);
  receive(225, 0x20);
  EXPECT_EQ(shown(plenum_).size(), 4u) << "#2 and #3 hidden in mode 0 on this dryer type";
  receive(225, 0);
  receive(257, 0x02);
  receive(8, 1);
  EXPECT_EQ(shown(grain_), (Names{"GRAIN_HI_TEMP_SP_BUTTON", "GRAIN_LO_TEMP_SP_BUTTON"}));
  EXPECT_EQ(shown(plenum_).size(), 4u) << "the four dual-plenum buttons";
  receive(257, 0);
  EXPECT_EQ(shown(grain_), Names{"GRAIN_SP_BUTTON"});
  EXPECT_EQ(shown(plenum_).size(), 6u);
}

TEST_F(TemperatureScreenTest, ValuesInFahrenheitOrConvertedCelsius) {
  set_mirror(69, 180);
  char text[32];
  setpoint_text(TS::Plenum1, text);
  EXPECT_STREQ(text, " 180 \u00B0F ");
  state().unit_flag.store(1);
  setpoint_text(TS::Plenum1, text);
  EXPECT_STREQ(text, "  82 \u00B0C ");
  state().unit_flag.store(0);
  set_mirror(149, 0x2C);
  set_mirror(150, 0x01);
  setpoint_text(TS::GrainNarrow, text);
  EXPECT_STREQ(text, " 300 \u00B0F ") << "low byte first";
}

struct Opened {
  int low_slot = -1;
  int maximum = 0, minimum = 0, default_value = 0;
  std::atomic<uint8_t>* flag = nullptr;
  gui::Window* owner = nullptr;
  std::string caption;
};

TEST_F(TemperatureScreenTest, EachButtonFillsTheRequestForItsSetpoint) {
  const struct {
    int fan_code, mode, criteria;
    const char* button;
    int low;
    int maximum, default_value;
    PendingWrite flag;
  } cases[] = {
      {2, 0, 0, "PLENUM_3_SP_BUTTON", 65, 250, 180, PendingWrite::k65},
      {4, 0, 0, "PLENUM_6_SP_BUTTON", 59, 250, 180, PendingWrite::k59},
      {1, 1, 2, "PLENUM_LO_TEMP_SP_BUTTON", 260, 250, 180, PendingWrite::k260},
      {1, 1, 2, "PLENUM_2_LO_TEMP_SP_BUTTON", 258, 250, 180, PendingWrite::k258},
      {0, 3, 0, "GRAIN_SP_BUTTON", 151, 180, 120, PendingWrite::k151},
      {0, 0, 0, "GRAIN_SP_BUTTON", 149, 160, 105, PendingWrite::k149},
      {0, 1, 2, "GRAIN_LO_TEMP_SP_BUTTON", 153, 180, 105, PendingWrite::k153},
  };
  for (const auto& c : cases) {
    dryer(c.fan_code, c.mode, 0, c.criteria);
    set_mirror(c.low, 77);
    set_mirror(c.low + 1, 0);
    static Opened seen;
    seen = {};
    const std::string button = c.button;
    at(10, [button] { click(button); });
    at(50, [] {
      gui::Window* dialog = gui::active_modal();
      ASSERT_NE(dialog, nullptr);
      const TemperatureEditRequest& r = temperature_edit_request;
      seen = {r.low_slot,      r.maximum,       r.minimum,
              r.default_value, r.pending_write, gui::dialog_owner(dialog),
              dialog->text()};
      click("CANCEL");
    });
    gui::advance_virtual(200);
    ASSERT_EQ(gui::active_modal(), nullptr);
    EXPECT_EQ(seen.low_slot, c.low) << c.button;
    EXPECT_EQ(seen.maximum, c.maximum) << c.button;
    EXPECT_EQ(seen.minimum, 50) << c.button;
    EXPECT_EQ(seen.default_value, c.default_value) << c.button;
    EXPECT_EQ(seen.flag, &state().flag(c.flag)) << c.button;
    EXPECT_EQ(seen.owner, screen_) << "the screen owns the editor";
    EXPECT_EQ(seen.caption, "MODIFYING TEMPERATURE SETPOINT");
    EXPECT_EQ(desired(c.low), 77) << "the current value was copied into the slot";
    EXPECT_FALSE(link::write_raised(c.flag)) << "CANCEL raises nothing";
    set_mirror(c.low, 0);
  }
}

TEST_F(TemperatureScreenTest, TypedCelsiusThroughTheDialog) {
  state().unit_flag.store(1);
  set_mirror(69, 180);
  dryer(0, 0);
  at(10, [] { click("PLENUM_1_SP_BUTTON"); });
  at(50, [] {
    for (const char* k : {"1", "2", "1", "9", "ACCEPT"}) click(k);
  });
  gui::advance_virtual(200);
  ASSERT_EQ(gui::active_modal(), nullptr);
  // 121 C goes out as the maximum, 250 F (which shows as 121 C), never as 251 F.
  uint8_t tx[link::kTransmitBufferBytes] = {};
  ASSERT_TRUE(link::build_command_frame(tx));
  EXPECT_EQ(std::vector<uint8_t>(tx, tx + tx[0] - 2),
            (std::vector<uint8_t>{0x09, 0x01, 0x00, 0x45, 0x02, 0xFA, 0x00}));
  char text[32];
  setpoint_text(TS::Plenum1, text);
  EXPECT_STREQ(text, "  82 \u00B0C ") << "the screen shows the controller's value";
}

TEST_F(TemperatureScreenTest, RefusedValueShowsTheWarning) {
  set_mirror(69, 180);
  dryer(0, 0);
  static std::string caption;
  static bool has_text = false;
  at(10, [] { click("PLENUM_1_SP_BUTTON"); });
  at(50, [] {
    click("2");
    click("5");
    click("1");
    click("ACCEPT");
  });
  at(100, [] {
    gui::Window* box = gui::active_modal();
    ASSERT_NE(box, nullptr);
    caption = box->text();
    has_text = find_by_text(box, "The value entered is out of range.") != nullptr;
    click("OK");
  });
  gui::advance_virtual(300);
  ASSERT_EQ(gui::active_modal(), nullptr);
  EXPECT_EQ(caption, "WARNING!");
  EXPECT_TRUE(has_text);
  EXPECT_FALSE(link::write_raised(PendingWrite::k69));
}

TEST_F(TemperatureScreenTest, CommandOfAnUnfittedPlenumIsIgnored) {
  dryer(0, 0);
  static bool opened = false;
  opened = false;
  at(10, [this] {
    gui::send_message(plenum_, {gui::MessageKind::Command, kPlenum1ButtonId + 5, 0});
  });
  at(50, [] {
    if (gui::active_modal() != nullptr) {
      opened = true;
      click("CANCEL");
    }
  });
  gui::advance_virtual(200);
  EXPECT_FALSE(opened);
}

TEST_F(TemperatureScreenTest, DecoderRedrawRequestsReachThePanelsByClass) {
  dryer(0, 0);
  auto pixels = [this] {
    gui::paint_pending();
    const platform::Point o = plenum_->client_origin();
    std::vector<platform::Color> px;
    for (int y = 0; y < plenum_->client_rect().height(); ++y)
      for (int x = 0; x < plenum_->client_rect().width(); ++x)
        px.push_back(gui::framebuffer().pixel(o.x + x, o.y + y));
    return px;
  };
  const auto before = pixels();
  set_mirror(69, 200);
  EXPECT_EQ(pixels(), before);
  link::request_redraw(link::RedrawTarget::PlenumSetpointPanel);
  EXPECT_NE(pixels(), before);
  set_mirror(69, 0);
  link::request_redraw(link::RedrawTarget::PlenumSetpointPanel);
  EXPECT_EQ(pixels(), before) << "the old value is painted over (no erase asked)";
}

TEST_F(TemperatureScreenTest, ReturnGoesToTheSetupMenuOrBackToAutoStart) {
  gui::Window* menu = gui::find_window(resources::SETUP_SELECTION_WINDOW);
  gui::Window* auto_start = gui::find_window(resources::AUTO_START_CONFIG_WINDOW);
  EXPECT_EQ(screen_->text(), "SELECT TEMPERATURE SETPOINT TO MODIFY");
  at(10, [] { click("SETUP"); });
  gui::advance_virtual(50);
  EXPECT_FALSE(screen_->is_shown());
  EXPECT_TRUE(menu->is_shown());
  EXPECT_FALSE(auto_start->is_shown());

  gui::show_window(menu, false);
  gui::show_window(screen_, true);
  temp_screen_opened_from_auto_start = 1;
  at(10, [] { click("SETUP"); });
  gui::advance_virtual(50);
  EXPECT_FALSE(screen_->is_shown());
  EXPECT_FALSE(menu->is_shown());
  EXPECT_TRUE(auto_start->is_shown());
}

}  // namespace
}  // namespace corvex::settings
