// The moisture setpoint dialog and its keypad, driven through their modal loops: the live
// display while typing, what ACCEPT stores and sends, and what closing the keypad otherwise
// leaves alone.
#include "logging/moisture_setpoint.h"

#include "link/redraw.h"
#include "resources/moisture_dialogs.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::logging {
namespace {

using namespace setup_testing;
namespace res = resources;

// The text of the setpoint dialog's display, wherever the keypad is.
std::string setpoint_display() {
  gui::Window* dialog = link::redraw_window(link::RedrawTarget::MoistureSetpointDialog);
  if (gui::active_modal() != dialog) screenshot("moisture_keypad");
  gui::Window* display = gui::dialog_item(dialog, res::kMoistureValueDisplay);
  return display ? "display " + display->text() : "no display";
}

class MoistureSetpointTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    moisture_keypad_entry() = {};
  }
  std::vector<std::string> run_dialog(const std::string& script) {
    return answers(run([](gui::Window* w) { open_moisture_setpoint_dialog(w, 3); }, script));
  }
};

TEST_F(MoistureSetpointTest, TypingShowsEachStepAndAcceptSendsTheNumber) {
  const int display = add_probe(setpoint_display);
  const int sent = add_probe([] {
    return "desired " + std::to_string(desired(199)) + " " + std::to_string(desired(200)) +
           (link::write_raised(link::PendingWrite::k199) ? " raised" : " lowered");
  });
  const int repaint = add_probe([] {
    gui::invalidate(link::redraw_window(link::RedrawTarget::MoistureSetpointDialog));
    gui::paint_pending();
    return setpoint_display();
  });
  const std::string d = "probe " + std::to_string(display) + "\n";
  const auto out = run_dialog(d + "click \"MODIFY SETPOINT\"\nprobe " + std::to_string(sent) +
                              "\nclick \"1\"\n" + d + "click \"5\"\n" + d + "click \"5\"\n" + d +
                              "click DELETE\n" + d + "click \"5\"\n" + d + "click ACCEPT\n" + d +
                              "probe " + std::to_string(sent) + "\nprobe " +
                              std::to_string(repaint) + "\nclick EXIT");
  const std::vector<std::string> expected = {
      "display 0.0 %",  "desired 0 0 lowered", "display 00.1 %",         "display 01.5 %",
      "display 15.5 %", "display 01.5 %",      "display 15.5 %",         "display 15.5 %",
      "desired 0 155 raised",
      // Painted again, the display shows what the controller reports (nothing confirmed yet).
      "display 0.0 %"};
  EXPECT_EQ(out, expected);
  EXPECT_EQ(desired(200), 0x9B);
  EXPECT_EQ(moisture_setpoint_entry_code(), 3);
}

TEST_F(MoistureSetpointTest, AcceptWithoutAKeyKeepsTheReportedSetpoint) {
  set_mirror(199, 0x01);
  set_mirror(200, 0x2C);  // 300: 30.0 %
  moisture_keypad_entry().number = 155;  // left from an earlier entry
  add_probe(setpoint_display);
  const auto out = run_dialog("probe 0\nclick \"MODIFY SETPOINT\"\nclick ACCEPT\nclick EXIT");
  EXPECT_EQ(out, std::vector<std::string>{"display 30.0 %"});
  EXPECT_EQ(desired(199), 0x01);
  EXPECT_EQ(desired(200), 0x2C);
  EXPECT_TRUE(raised_writes().empty()) << "nothing differs from the controller's value";
  // The entry goes on from the kept value; the next opening starts again from the first key.
  EXPECT_EQ(moisture_keypad_entry().number, 300u);
  begin_moisture_keypad_entry();
  moisture_keypad_digit(7);
  EXPECT_EQ(moisture_keypad_entry().number, 7u);
}

TEST_F(MoistureSetpointTest, ClosingTheKeypadOtherwiseSendsNothing) {
  const int close_keypad = add_probe([] {
    gui::Window* keypad = gui::active_modal();
    const std::string caption = keypad ? keypad->text() : "none";
    gui::post_message(keypad, {gui::MessageKind::Close, 0, 0});
    return caption;
  });
  const auto out = run_dialog("click \"MODIFY SETPOINT\"\nclick \"9\"\nclick \"9\"\nprobe " +
                              std::to_string(close_keypad) + "\nwait 10\nclick EXIT");
  EXPECT_EQ(out, std::vector<std::string>{"MODIFY SETPOINT"});
  EXPECT_TRUE(raised_writes().empty());
  EXPECT_EQ(desired(199), 0);
  EXPECT_EQ(desired(200), 0);
}

TEST_F(MoistureSetpointTest, KeypadRulesWithoutTheDialog) {
  link::reset_dryer_state();
  MoistureKeypadEntry& entry = moisture_keypad_entry();
  entry = {42, false};
  // DELETE as the first key starts from 0.
  moisture_keypad_delete();
  EXPECT_EQ(entry.number, 0u);
  EXPECT_TRUE(entry.started);
  // The parameter holds 16 bits: a digit that would go past 6553.5 % is not taken, so the
  // display never shows a number other than the one sent.
  for (int digit : {6, 5, 5, 3, 5, 1}) moisture_keypad_digit(digit);
  EXPECT_EQ(entry.number, 65535u);
  EXPECT_EQ(moisture_keypad_accept_value(), 65535);
  char text[24];
  format_keypad_number(entry.number, text);
  EXPECT_STREQ(text, "6553.5 %");
  format_keypad_number(7, text);
  EXPECT_STREQ(text, "00.7 %");
  // Opening the keypad clears only the started flag; the first key of the new entry then
  // starts from 0 again.
  begin_moisture_keypad_entry();
  EXPECT_EQ(entry.number, 65535u);
  moisture_keypad_digit(2);
  EXPECT_EQ(entry.number, 2u);
}

TEST_F(MoistureSetpointTest, DialogAndKeypadFitTheScreenSideBySide) {
  res::register_moisture_dialog_templates();
  const gui::DialogTemplate* setpoint = gui::find_dialog_template(res::kMoistureSetpointDialog);
  const gui::DialogTemplate* keypad = gui::find_dialog_template(res::kMoistureKeypadDialog);
  ASSERT_NE(setpoint, nullptr);
  ASSERT_NE(keypad, nullptr);
  EXPECT_EQ(setpoint->caption, " MOISTURE SETPOINT - 26");
  EXPECT_EQ(keypad->caption, "MODIFY M/C SETPOINT");
  EXPECT_TRUE(setpoint->rect.intersected(keypad->rect).empty()) << "the display stays in view";
  for (const gui::DialogTemplate* t : {setpoint, keypad}) {
    EXPECT_TRUE((Rect{0, 0, 640, 480}).contains(t->rect));
    for (const gui::ControlTemplate& c : t->controls) {
      if (c.class_name == gui::kButtonClass) {
        EXPECT_GE(c.rect.height(), 40) << c.text;
      }
    }
  }
  // The grid: 7 8 9 on top, DELETE 0 ACCEPT at the bottom, with the ids of the panel.
  const auto rect_of = [&](int id) {
    for (const gui::ControlTemplate& c : keypad->controls) {
      if (c.id == id) return c.rect;
    }
    return Rect{};
  };
  EXPECT_EQ(res::keypad_digit_id(7), 1157);
  EXPECT_EQ(res::keypad_digit_id(3), 1165);
  EXPECT_EQ(res::keypad_digit_id(0), 1166);
  EXPECT_LT(rect_of(1157).top, rect_of(1160).top);
  EXPECT_LT(rect_of(1163).top, rect_of(res::kKeypadZero).top);
  EXPECT_LT(rect_of(res::kKeypadDelete).left, rect_of(res::kKeypadZero).left);
  EXPECT_LT(rect_of(res::kKeypadZero).left, rect_of(res::kKeypadAccept).left);
}

}  // namespace
}  // namespace corvex::logging
