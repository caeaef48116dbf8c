// The small dialogs of the setup menus: units of measure, metering-roll reverse, clear batch
// counter, user settings and moisture sensor selection, opened from the extended setup menu
// and answered through their own loops; and the rules of byte 266's one-shot record.
#include "settings/setup_dialogs.h"

#include "resources/setup_dialogs.h"
#include "resources/window_classes.h"
#include "settings/setup_menus.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

int g_picture_paints = 0;

class SetupDialogsTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    register_setup_menu_classes();
    extended = gui::create_window(
        {resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, " SELECT SETUP PARAMETER TO MODIFY - 06",
         gui::style::kVisible | gui::style::kChild | gui::style::kBorder | gui::style::kCaption,
         Rect::from_xywh(0, 0, 640, 475), owner});
    ASSERT_NE(extended, nullptr);
    // A screen window that counts its paints, standing for the status picture.
    g_picture_paints = 0;
    gui::register_class({resources::DRYER_PIC_WINDOW,
                         [](gui::Window& w, const gui::Message& m) -> intptr_t {
                           if (m.kind == gui::MessageKind::Paint) ++g_picture_paints;
                           return gui::default_window_procedure(w, m);
                         },
                         platform::colors::kLightGray, true});
    picture = gui::create_window({resources::DRYER_PIC_WINDOW, "", gui::style::kVisible,
                                  Rect::from_xywh(0, 0, 240, 420), owner});
    gui::bring_to_front(extended);
    gui::paint_pending();
  }
  static std::string question() {
    screenshot("question");
    return modal_caption() + " | " + modal_item_text(res::kQuestionText);
  }

  gui::Window* extended = nullptr;
  gui::Window* picture = nullptr;
};

TEST_F(SetupDialogsTest, UnitsYesSwitchesAtOnceAndSendsBit7) {
  set_mirror(266, 0x41);  // view choice 1, and a restore bit the controller still reports
  const int q = add_probe(question);
  const auto out =
      answers(run(nullptr, "click TEMP_SCALE_BUTTON\nprobe " + std::to_string(q) + "\nclick Yes"));
  EXPECT_EQ(out, std::vector<std::string>{"SWITCH TO SI UNITS OF MEASURE | Show temperatures in "
                                          "degrees Celsius and quantities in tonnes?"});
  EXPECT_EQ(link::dryer_state().unit_flag.load(), 1) << "before the controller confirms";
  EXPECT_EQ(desired(266), 0xC0) << "SI bit set, view choice kept, no stale one-shot bits";
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"266"});

  // The record goes out and the controller takes it; now the question is the other way round,
  // and No changes nothing.
  link::lower_write(link::PendingWrite::k266);
  set_mirror(266, 0xC0);
  const auto back = answers(run(nullptr, "click TEMP_SCALE_BUTTON\nprobe " + std::to_string(q) +
                                             "\nclick No\nclick TEMP_SCALE_BUTTON\nclick Yes"));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].substr(0, back[0].find(" |")), "SWITCH TO ENGLISH UNITS OF MEASURE");
  EXPECT_EQ(link::dryer_state().unit_flag.load(), 0);
  EXPECT_EQ(desired(266), 0x40);
  EXPECT_TRUE(link::write_raised(link::PendingWrite::k266));
}

TEST_F(SetupDialogsTest, UnitSwitchRepaintsTheScreensThatShowIt) {
  gui::show_window(extended, false);
  gui::paint_pending();
  const int before = g_picture_paints;
  switch_units();
  gui::paint_pending();
  EXPECT_EQ(g_picture_paints, before + 1);
}

TEST_F(SetupDialogsTest, MeteringRollReverseTogglesBit4OfTheCurrentByte) {
  set_mirror(49, 0x30);  // reverse active, sensor failure shutdown disabled
  const int q = add_probe(question);
  auto out = answers(run(nullptr, "click MRR_BUTTON\nprobe " + std::to_string(q) + "\nclick Yes"));
  EXPECT_EQ(out, std::vector<std::string>{
                     "METERING ROLL REVERSE OPTION | Turn the metering roll reverse option OFF?"});
  EXPECT_EQ(desired(49), 0x20);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"49"});

  link::reset_dryer_state();
  out = answers(run(nullptr, "click MRR_BUTTON\nprobe " + std::to_string(q) +
                                 "\nclick CANCEL\nclick MRR_BUTTON\nclick Yes"));
  EXPECT_EQ(out, std::vector<std::string>{
                     "METERING ROLL REVERSE OPTION | Turn the metering roll reverse option ON?"});
  EXPECT_EQ(desired(49), 0x10);
}

TEST_F(SetupDialogsTest, ClearBatchCounterYesZeroesBothBytes) {
  set_mirror(8, 1);
  set_mirror(221, 3);
  set_mirror(222, 9);
  link::dryer_state().desired[221].store(3);
  link::dryer_state().desired[222].store(9);
  gui::show_window(extended, false);
  gui::show_window(extended, true);
  const int q = add_probe(question);
  const auto out = answers(run(nullptr, "click CLEAR_BATCH_COUNT_BUTTON\nprobe " +
                                            std::to_string(q) + "\nclick No"));
  EXPECT_EQ(out, std::vector<std::string>{
                     "CLEAR BATCH COUNTER | Set the batch counter back to zero?"});
  EXPECT_TRUE(raised_writes().empty());
  run(nullptr, "click CLEAR_BATCH_COUNT_BUTTON\nclick Yes");
  EXPECT_EQ(desired(221), 0);
  EXPECT_EQ(desired(222), 0);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"221"});
}

TEST_F(SetupDialogsTest, UserSettingsSitAboveCentreAndSendOneCommand) {
  set_mirror(266, 0x80);
  const int where = add_probe([] {
    gui::Window* d = gui::active_modal();
    const Rect r = d->screen_rect();
    screenshot("user_settings");
    return modal_caption() + " " + std::to_string(r.left) + " " + std::to_string(r.top);
  });
  const auto out = answers(run(nullptr, "click USER_DEFAULTS_BUTTON\nprobe " +
                                            std::to_string(where) + "\nclick \"SAVE SETTINGS\""));
  // Centred over the 640 x 475 menu ((640 - 520) / 2, (475 - 260) / 2), then 20 px higher.
  EXPECT_EQ(out, std::vector<std::string>{"USER SETTINGS 60 87"});
  EXPECT_EQ(desired(266), 0x82);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"266"});

  link::reset_dryer_state();
  run(nullptr, "click USER_DEFAULTS_BUTTON\nclick \"RESTORE SETTINGS\"");
  EXPECT_EQ(desired(266), 0x01);
  link::reset_dryer_state();
  run(nullptr, "click USER_DEFAULTS_BUTTON\nclick CANCEL");
  EXPECT_TRUE(raised_writes().empty());
}

TEST_F(SetupDialogsTest, Byte266WritesKeepWhatIsStillWaitingToGoOut) {
  // A units switch not yet sent, then SAVE: both go out together.
  switch_units();
  send_user_settings_command(UserSettingsCommand::Save);
  EXPECT_EQ(desired(266), 0x82);
  // Once sent (flag lowered), a new write starts from the current byte without its one-shot
  // bits, so a save reported back is not repeated by the next units switch.
  link::lower_write(link::PendingWrite::k266);
  set_mirror(266, 0x82);
  link::dryer_state().unit_flag.store(1);
  switch_units();
  EXPECT_EQ(desired(266), 0x00);
}

TEST_F(SetupDialogsTest, SensorSelectionChangesOnlyTheChosenSensorsBits) {
  EXPECT_EQ(with_sensor_interface(0xF0, MoistureSensor::Wet, SensorInterface::Network), 0xF1);
  EXPECT_EQ(with_sensor_interface(0xFF, MoistureSensor::Wet, SensorInterface::Analog), 0xFC);
  EXPECT_EQ(with_sensor_interface(0x02, MoistureSensor::Dry, SensorInterface::Network), 0x06);
  EXPECT_EQ(with_sensor_interface(0x0E, MoistureSensor::Dry, SensorInterface::Network), 0x06);
  EXPECT_EQ(with_sensor_interface(0x0F, MoistureSensor::Dry, SensorInterface::Analog), 0x03);
  EXPECT_EQ(sensor_interface(0x08, MoistureSensor::Dry), SensorInterface::Network);
  EXPECT_EQ(sensor_interface(0x08, MoistureSensor::Wet), SensorInterface::Analog);

  // Opened with a network wet sensor; choosing it again and Accept sends nothing, Cancel after
  // a change sends nothing either.
  set_mirror(287, 0x01);
  const int shown = add_probe([] {
    screenshot("sensor_selection");
    return std::string(modal_item_checked(res::kSensorWetNetwork) ? "wet network " : "wet analog ") +
           (modal_item_checked(res::kSensorDryAnalog) ? "dry analog" : "dry network");
  });
  const auto out = answers(run([](gui::Window* w) { open_sensor_selection_dialog(w); },
                               "probe " + std::to_string(shown) + "\nclick " +
                                   std::to_string(res::kSensorWetNetwork) + "\nclick Accept"));
  EXPECT_EQ(out, std::vector<std::string>{"wet network dry analog"});
  EXPECT_TRUE(raised_writes().empty());
  run([](gui::Window* w) { open_sensor_selection_dialog(w); },
      "click " + std::to_string(res::kSensorDryNetwork) + "\nclick Cancel");
  EXPECT_TRUE(raised_writes().empty());
  run([](gui::Window* w) { open_sensor_selection_dialog(w); },
      "click " + std::to_string(res::kSensorDryNetwork) + "\nclick " +
          std::to_string(res::kSensorWetAnalog) + "\nclick Accept");
  EXPECT_EQ(desired(287), 0x04);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"287"});
}

}  // namespace
}  // namespace corvex::settings
