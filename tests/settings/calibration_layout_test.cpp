// The calibration dialogs and the unload status window in the languages with the longest texts
// and in SI units: every text run lies inside the control (or window) it is drawn in, measured
// in the bold face, which is never narrower than the faces the screens use at that size.
// Screenshots go to the build folder to look at.
#include "link/status_bytes.h"
#include "platform/gfx/font.h"
#include "platform/gui/controls.h"
#include "resources/calibration_dialogs.h"
#include "resources/window_classes.h"
#include "settings/calibration_dialogs.h"
#include "tests/settings/setup_test_support.h"
#include "tests/settings/text_fit.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

// The caption is the platform's. The large value is right-aligned and drawn smaller when it would
// not fit: a cut shows as a run starting left of the window, so its smallest size is enough here.
platform::FontSpec unload_font(gui::Window* w, platform::Point p) {
  if (p.y < w->client_origin().y) return {16, 700};
  if (w->id() == res::kUnloadStatusSelectButtonId) return res::kUnloadBushelsFont;
  if (w->id() == res::kUnloadMrSpeedSelectButtonId) return res::kUnloadSpeedFont;
  if (w->class_name() == res::UNLOAD_STATUS_WINDOW) return {20, 900};
  return {16, 700};
}

class CalibrationLayoutTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    // SI units and wide values everywhere.
    link::dryer_state().unit_flag.store(1);
    set_mirror(266, 0x80);
    for (int offset : {232, 234}) {
      set_mirror(offset, 0xFF);
      set_mirror(offset + 1, 0x38);  // -20.0
    }
    for (int offset : {241, 243}) {
      set_mirror(offset, 0xFF);
      set_mirror(offset + 1, 0x9C);  // -10.0
    }
    set_mirror(191, 0x03);
    set_mirror(192, 0xE7);  // 99.9 %
    set_mirror(195, 0xFC);
    set_mirror(196, 0x18);  // -100.0 F
    set_mirror(163, 150);
    for (int k = 164; k < 168; ++k) set_mirror(k, 0xFF);
  }
};

TEST_F(CalibrationLayoutTest, NoTextOfTheDialogsIsCutInTheLongLanguages) {
  for (const LongLanguage& lang : kLongLanguages) {
    texts::set_language(lang.index);
    const std::string code = lang.code;
    const int moisture = add_probe([code] {
      gui::paint_pending();
      screenshot("calibration_moisture_" + code);
      return code + ":" + cut_texts(gui::active_modal(), &key_font);
    });
    const int bushels = add_probe([code] {
      gui::paint_pending();
      screenshot("calibration_bushels_" + code);
      return code + ":" + cut_texts(gui::active_modal(), &key_font);
    });
    auto out = answers(run([](gui::Window* w) { open_moisture_calibration_dialog(w); },
                           "probe " + std::to_string(moisture) + "\nclick ACCEPT"));
    EXPECT_EQ(out, std::vector<std::string>{code + ":"});
    out = answers(run([](gui::Window* w) { open_unload_bushels_dialog(w); },
                      "probe " + std::to_string(bushels) + "\nclick ACCEPT"));
    EXPECT_EQ(out, std::vector<std::string>{code + ":"});
  }
}

TEST_F(CalibrationLayoutTest, UnloadStatusWindowShowsItsValuesWithoutCuttingThem) {
  gui::enable_text_recording();
  register_unload_status_class();
  gui::CreateParams p;
  p.class_name = res::UNLOAD_STATUS_WINDOW;
  p.text = " UNLOAD STATUS";
  p.style = gui::style::kChild | gui::style::kBorder | gui::style::kCaption | gui::style::kVisible;
  p.rect = platform::Rect::from_xywh(0, 245, 240, 175);
  p.parent = owner;
  gui::Window* window = gui::create_window(p);
  ASSERT_NE(window, nullptr);
  set_mirror(197, 0x03);
  set_mirror(198, 0xE8);  // 100.0
  set_mirror(173, 0xFF);
  set_mirror(174, 0xFF);  // 65535 bushels per hour
  set_mirror(155, 1);     // MED selected
  set_mirror(156, 45);
  set_mirror(157, 255);
  set_mirror(158, 0);
  gui::paint_pending();
  screenshot("unload_status");
  EXPECT_EQ(cut_texts(window, &unload_font), "");
  const std::string all =
      gui::describe_texts(res::UNLOAD_STATUS_WINDOW) + gui::describe_texts("BUTTON");
  for (const char* t : {"100.0", "Bushel/Hour:", " 65535", "Total Bushels:", " 1193046",
                        " HIGH: 0450 ", " MED:  2550 ", " LOW:  0000 "})
    EXPECT_NE(all.find("\"" + std::string(t) + "\""), std::string::npos) << t << "\n" << all;
}

}  // namespace
}  // namespace corvex::settings
