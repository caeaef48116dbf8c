// The moisture setpoint dialog and its keypad, driven through their modal loops: the live
// display while typing, what ACCEPT stores and sends, and what closing the keypad otherwise
// leaves alone.
#include "logging/moisture_setpoint.h"

#include "link/command_builder.h"
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

// The caption of the open modal and whether it says the entry is out of range.
std::string warning_shown() {
  gui::Window* box = gui::active_modal();
  if (box == nullptr) return "no box";
  bool says = false;
  for (const auto& c : box->children()) {
    says = says || c->text() == "The value entered is out of range.";
  }
  return box->text() + (says ? " out of range" : " other text");
}

// The bytes of the next command frame up to its CRC.
std::vector<uint8_t> next_command_frame() {
  uint8_t tx[link::kTransmitBufferBytes] = {};
  link::build_command_frame(tx);
  return std::vector<uint8_t>(tx, tx + tx[0] - 2);
}

TEST_F(MoistureSetpointTest, SetpointOutsideFiveToFortyPercentIsRefused) {
  set_mirror(199, 0x00);
  set_mirror(200, 0xC8);  // 20.0 %
  const int warning = add_probe(warning_shown);
  const int display = add_probe(setpoint_display);
  const std::string w = "probe " + std::to_string(warning) + "\n";
  const std::string d = "probe " + std::to_string(display) + "\n";
  const auto out = run_dialog("click \"MODIFY SETPOINT\"\nclick \"9\"\nclick \"9\"\nclick \"9\"\n"
                              "click \"9\"\n" + d + "click ACCEPT\n" + w + "click OK\n" + d +
                              "click EXIT");
  EXPECT_EQ(out, (std::vector<std::string>{"display 999.9 %", "WARNING! out of range",
                                           "display 20.0 %"}));
  EXPECT_TRUE(raised_writes().empty());
  EXPECT_EQ(desired(199), 0);
  EXPECT_EQ(desired(200), 0);
  // Never the record 00 C7 02 27 0F: the frame carries nothing.
  EXPECT_EQ(next_command_frame(), (std::vector<uint8_t>{0x04, 0x00}));
}

TEST_F(MoistureSetpointTest, RangeLimitsOfTheTypedSetpoint) {
  const struct {
    std::initializer_list<int> digits;
    bool stored;
  } cases[] = {{{4, 9}, false}, {{5, 0}, true},     {{4, 0, 0}, true},
               {{4, 0, 1}, false}, {{0}, false},    {{6, 5, 5, 3, 5}, false}};
  for (const auto& c : cases) {
    begin_moisture_keypad_entry();
    uint32_t typed = 0;
    for (const int digit : c.digits) {
      moisture_keypad_digit(digit);
      typed = typed * 10 + uint32_t(digit);
    }
    uint16_t value = 0xBEEF;
    const MoistureKeypadAccept result = moisture_keypad_accept(&value);
    EXPECT_EQ(result == MoistureKeypadAccept::Store, c.stored) << typed;
    EXPECT_EQ(uint32_t(value), c.stored ? typed : 0xBEEFu) << typed;
  }
  // ACCEPT without a key keeps the controller's setpoint, even one outside the range.
  set_mirror(199, 0x01);
  set_mirror(200, 0xF4);  // 50.0 %
  begin_moisture_keypad_entry();
  uint16_t value = 0;
  EXPECT_EQ(moisture_keypad_accept(&value), MoistureKeypadAccept::Store);
  EXPECT_EQ(value, 500);
}

TEST_F(MoistureSetpointTest, KeypadExitLeavesTheSetpointUnchanged) {
  set_mirror(199, 0x00);
  set_mirror(200, 0x96);  // 15.0 %
  const int display = add_probe(setpoint_display);
  const int keypad_open = add_probe([] {
    gui::Window* modal = gui::active_modal();
    const bool keypad =
        modal != nullptr && modal != link::redraw_window(link::RedrawTarget::MoistureSetpointDialog);
    return std::string(keypad ? "keypad" : "no keypad");
  });
  const std::string d = "probe " + std::to_string(display) + "\n";
  const std::string k = "probe " + std::to_string(keypad_open) + "\n";
  // A slip of the finger: one digit, then EXIT; and EXIT again before any key.
  const auto out =
      run_dialog("click \"MODIFY SETPOINT\"\nclick \"3\"\n" + d + "click EXIT\n" + k + d +
                 "click \"MODIFY SETPOINT\"\n" + k + "click EXIT\n" + k + "click EXIT");
  EXPECT_EQ(out, (std::vector<std::string>{"display 00.3 %", "no keypad", "display 15.0 %",
                                           "keypad", "no keypad"}));
  EXPECT_TRUE(raised_writes().empty());
  EXPECT_EQ(desired(199), 0);
  EXPECT_EQ(desired(200), 0);
  EXPECT_EQ(next_command_frame(), (std::vector<uint8_t>{0x04, 0x00}));
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
