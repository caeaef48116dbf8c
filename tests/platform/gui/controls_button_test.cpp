// Push buttons, owner-drawn buttons, check boxes and radio buttons driven by touches.
#include "platform/gui/automation.h"
#include "tests/platform/gui/controls_fixture.h"

namespace controls_test {
namespace {

using ButtonTest = ControlsTest;

TEST_F(ButtonTest, PushButtonClicksOnlyWhenReleasedOverIt) {
  Window* b = make(kButtonClass, "ACCEPT", 0, Rect::from_xywh(100, 100, 120, 50), 1168);
  ASSERT_NE(b, nullptr);

  // Slid off before the release: no click.
  inject_pointer_down(centre(b));
  inject_pointer_move({400, 300});
  inject_pointer_up();
  EXPECT_TRUE(heard_of(MessageKind::Command).empty());

  // Slid off and back on: the release over the button clicks.
  inject_pointer_down(centre(b));
  inject_pointer_move({400, 300});
  inject_pointer_move({110, 110});
  inject_pointer_up();
  auto commands = heard_of(MessageKind::Command);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].id, 1168);
  EXPECT_EQ(commands[0].code, kButtonClicked);
  EXPECT_EQ(commands[0].from, b);

  // A press that began elsewhere and ends over the button is not the button's.
  inject_pointer_down({400, 300});
  inject_pointer_move(centre(b));
  inject_pointer_up();
  EXPECT_EQ(heard_of(MessageKind::Command).size(), 1u);
}

TEST_F(ButtonTest, PressedButtonIsDrawnInvertedUntilTheFingerLeaves) {
  Window* b = make(kButtonClass, "OK", 0, Rect::from_xywh(100, 100, 120, 50), 1);
  // Inside the 3-D edge, away from the centred text: the face.
  const int x = 106, y = 106;
  EXPECT_EQ(pixel(x, y), colors::kFace);
  EXPECT_FALSE(control_pressed(b));

  inject_pointer_down(centre(b));
  EXPECT_TRUE(control_pressed(b));
  EXPECT_EQ(pixel(x, y), colors::kFace ^ 0xFFFFFFu);

  inject_pointer_move({300, 300});
  EXPECT_FALSE(control_pressed(b));
  EXPECT_EQ(pixel(x, y), colors::kFace);

  inject_pointer_move(centre(b));
  EXPECT_TRUE(control_pressed(b));
  inject_pointer_up();
  EXPECT_FALSE(control_pressed(b));
  EXPECT_EQ(pixel(x, y), colors::kFace);
}

TEST_F(ButtonTest, OwnerDrawnButtonAsksItsParentWithThePressedState) {
  Window* b = make(kButtonClass, "TEMPS", style::kOwnerDraw, Rect::from_xywh(144, 427, 105, 40),
                   34818);
  EXPECT_EQ(pixel(150, 440), kOwnerColor);
  auto draws = heard_of(MessageKind::DrawItem);
  ASSERT_FALSE(draws.empty());
  EXPECT_EQ(draws.back().id, 34818);
  EXPECT_FALSE(draws.back().pressed);

  inject_pointer_down(centre(b));
  EXPECT_EQ(pixel(150, 440), kOwnerColor ^ 0xFFFFFFu) << "the press shows on the picture";
  draws = heard_of(MessageKind::DrawItem);
  EXPECT_TRUE(draws.back().pressed);
  inject_pointer_up();
  EXPECT_EQ(pixel(150, 440), kOwnerColor);
  EXPECT_FALSE(heard_of(MessageKind::DrawItem).back().pressed);
  ASSERT_EQ(heard_of(MessageKind::Command).size(), 1u);

  enable_window(b, false);
  paint_pending();
  EXPECT_TRUE(heard_of(MessageKind::DrawItem).back().disabled);
}

TEST_F(ButtonTest, OwnerWhoDrawsThePressIsNotOverpainted) {
  Window* b = make(kButtonClass, "EXIT", style::kOwnerDraw | control_style::kOwnerDrawsPressed,
                   Rect::from_xywh(10, 10, 100, 40), 7);
  inject_pointer_down(centre(b));
  EXPECT_EQ(pixel(20, 20), kOwnerColor);
  EXPECT_TRUE(heard_of(MessageKind::DrawItem).back().pressed);
  inject_pointer_up();
}

TEST_F(ButtonTest, CheckBoxTogglesOnTapUnlessTheProgramKeepsIt) {
  Window* auto_box = make(kButtonClass, "Sorted by warning.", control_style::kCheckBox,
                          Rect::from_xywh(10, 10, 200, 30), 1045);
  Window* indicator = make(kButtonClass, "ON", control_style::kCheckBox | control_style::kManualCheck,
                           Rect::from_xywh(10, 50, 200, 30), 1262);
  tap(centre(auto_box));
  EXPECT_TRUE(button_checked(auto_box));
  tap(centre(auto_box));
  EXPECT_FALSE(button_checked(auto_box));

  tap(centre(indicator));
  EXPECT_FALSE(button_checked(indicator));
  EXPECT_EQ(heard_of(MessageKind::Command).size(), 3u) << "every tap is still told";
  button_set_check(indicator, true);
  EXPECT_TRUE(button_checked(indicator));

  // The automation lists checked controls as such.
  const std::string listing = describe_windows();
  EXPECT_NE(listing.find("1262"), std::string::npos);
  const size_t line = listing.find("1262");
  const std::string indicator_line = listing.substr(line, listing.find('\n', line) - line);
  EXPECT_NE(indicator_line.find("checked"), std::string::npos) << listing;
}

TEST_F(ButtonTest, RadioButtonsCheckWithinTheirGroupOnly) {
  const uint32_t radio = control_style::kRadioButton;
  Window* one = make(kButtonClass, "One", radio, Rect::from_xywh(10, 10, 150, 30), 1);
  Window* two = make(kButtonClass, "Two", radio, Rect::from_xywh(10, 40, 150, 30), 2);
  Window* three = make(kButtonClass, "Three", radio, Rect::from_xywh(10, 70, 150, 30), 3);
  // Something else between radio buttons ends the group; kGroup starts one outright.
  make(kStaticClass, "Fuel", 0, Rect::from_xywh(200, 0, 100, 20), 9);
  Window* lp = make(kButtonClass, "LP", radio, Rect::from_xywh(200, 20, 150, 30), 4);
  Window* gas = make(kButtonClass, "Gas", radio, Rect::from_xywh(200, 50, 150, 30), 5);
  Window* wet = make(kButtonClass, "Wet", radio | control_style::kGroup,
                     Rect::from_xywh(400, 20, 150, 30), 6);

  tap(centre(two));
  tap(centre(lp));
  tap(centre(wet));
  EXPECT_TRUE(button_checked(two));
  EXPECT_TRUE(button_checked(lp));
  EXPECT_TRUE(button_checked(wet));

  tap(centre(three));
  EXPECT_FALSE(button_checked(one));
  EXPECT_FALSE(button_checked(two));
  EXPECT_TRUE(button_checked(three));
  EXPECT_TRUE(button_checked(lp)) << "the other group is untouched";

  tap(centre(gas));
  EXPECT_FALSE(button_checked(lp));
  EXPECT_TRUE(button_checked(wet)) << "kGroup started a group of its own";

  button_check_radio(one);
  EXPECT_TRUE(button_checked(one));
  EXPECT_FALSE(button_checked(three));
}

TEST_F(ButtonTest, ButtonFunctionsIgnoreOtherWindows) {
  Window* text = make(kStaticClass, "x", 0, Rect::from_xywh(0, 0, 10, 10), 1);
  button_set_check(text, true);
  EXPECT_FALSE(button_checked(text));
  EXPECT_FALSE(button_checked(nullptr));
  Window* push = make(kButtonClass, "push", 0, Rect::from_xywh(0, 20, 50, 40), 2);
  button_set_check(push, true);
  EXPECT_FALSE(button_checked(push)) << "a push button has no check";
}

TEST_F(ButtonTest, ClassNameIsMatchedWithoutRegardToCase) {
  Window* b = make("button", "lower", 0, Rect::from_xywh(10, 10, 100, 40), 3);
  ASSERT_NE(b, nullptr);
  tap(centre(b));
  EXPECT_EQ(heard_of(MessageKind::Command).size(), 1u);
}

}  // namespace
}  // namespace controls_test
