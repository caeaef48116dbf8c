// Every set-up, service and log dialog in the languages with the longest texts, in both units: no
// key, label or value of theirs sticks out of the control it is drawn in. Screenshots go to the
// build folder to look at.
#include <string>
#include <vector>

#include "link/status_bytes.h"
#include "logging/moisture_setpoint.h"
#include "logging/settings_dialogs.h"
#include "logging/shutdown_history.h"
#include "logging/shutdown_history_window.h"
#include "logging/system_info_dialog.h"
#include "settings/bracket_setup_dialog.h"
#include "settings/burner_dialogs.h"
#include "settings/diagnostics_dialog.h"
#include "settings/drying_mode_dialogs.h"
#include "settings/hardware_setup.h"
#include "settings/io_test_dialogs.h"
#include "settings/metering_roll_dialog.h"
#include "settings/output_voltage_dialog.h"
#include "settings/plenum_manager_dialog.h"
#include "settings/time_date_dialog.h"
#include "settings/unload_parameters_dialog.h"
#include "tests/settings/setup_test_support.h"
#include "tests/settings/text_fit.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;

struct Dialog {
  const char* name;
  intptr_t (*open)(gui::Window*);
};
constexpr Dialog kDialogs[] = {
    {"drying_mode", &open_drying_mode_dialog},
    {"bracket", &open_bracket_setup},
    {"burner_mode", &open_burner_mode_dialog},
    {"burner_differential", &open_burner_differential_dialog},
    {"metering_roll", &open_metering_roll_dialog},
    {"unload_parameters", &open_unload_parameters_dialog},
    {"plenum_manager", &open_plenum_temperature_manager_dialog},
    {"time_date", &open_time_date_dialog},
    {"hardware", &open_hardware_setup_dialog},
    {"diagnostics", &open_diagnostics_dialog},
    {"light_outputs", &open_light_output_test},
    {"switches", &open_switch_test},
    {"output_voltage", &open_output_voltage_dialog},
    {"graph_setup", &logging::open_graph_setup_dialog},
    {"sample_time", &logging::open_sample_time_dialog},
    {"clear_table", &logging::open_clear_table_dialog},
    {"history", &logging::open_shutdown_history},
    {"system_information", &logging::open_system_information},
    {"moisture_setpoint",
     [](gui::Window* w) { return logging::open_moisture_setpoint_dialog(w, 3); }},
};

class DialogTextFitTest : public SetupTest {};

TEST_F(DialogTextFitTest, NoTextOfTheSetUpAndServiceDialogsIsCutInTheLongLanguages) {
  gui::enable_text_recording();
  // Two shutdowns in the history, so that its list shows rows.
  ASSERT_TRUE(logging::prepare_shutdown_history());
  ASSERT_TRUE(logging::clear_shutdown_history());
  ASSERT_TRUE(
      logging::add_history_record("0E03 LOAD MOTOR OVERLOAD", "MAIN I/O", 133'000'000'000'000'000));
  ASSERT_TRUE(
      logging::add_history_record("0203 HIGH LIMIT", "FAN/HEATER #1", 133'000'000'600'000'000));
  for (const bool si : {false, true}) {
    link::dryer_state().unit_flag.store(si ? 1 : 0);
    set_mirror(link::kUnitsAndOptions, si ? 0x80 : 0x00);
    for (const LongLanguage& lang : kLongLanguages) {
      texts::set_language(lang.index);
      for (const Dialog& dialog : kDialogs) {
        const std::string shot = std::string(dialog.name) + "_" + lang.code + (si ? "_si" : "_us");
        // Measures the dialog, then closes it as its own way out would.
        const int look = add_probe([shot] {
          gui::paint_pending();
          screenshot(shot);
          gui::Window* top = gui::active_modal();
          if (top == nullptr) return shot + ": not open";
          const std::string cut = cut_texts(top, &control_font);
          gui::end_dialog(top, 0);
          return shot + ":" + cut;
        });
        const auto open = dialog.open;
        const auto out =
            answers(run([open](gui::Window* w) { open(w); }, "probe " + std::to_string(look)));
        EXPECT_EQ(out, std::vector<std::string>{shot + ":"});
      }
    }
  }
}

}  // namespace
}  // namespace corvex::settings
