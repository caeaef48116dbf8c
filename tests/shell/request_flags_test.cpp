// The link's request flags become commands for the main window after every message of the main
// loop, and only there.
#include <gtest/gtest.h>

#include <vector>

#include "link/dryer_state.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "shell/startup.h"

namespace {

using namespace platform::gui;
using corvex::link::dryer_state;
using corvex::shell::check_request_flags;
using corvex::shell::shell_state;

std::vector<int>& commands() {
  static std::vector<int> c;
  return c;
}

intptr_t recording_main(Window& w, const Message& m) {
  if (m.kind == MessageKind::Command) {
    commands().push_back(command_id(m));
    return 0;
  }
  return default_window_procedure(w, m);
}

class RequestFlags : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clock::use_virtual(1'700'000'000'000);
    init();
    reset();
    corvex::link::reset_dryer_state();
    register_class({"TEST_MAIN", recording_main, platform::colors::kBlack, true});
    shell_state().main_window =
        create_window({"TEST_MAIN", "main", style::kVisible, {0, 0, 640, 480}, nullptr, 0});
    commands().clear();
  }
  void TearDown() override {
    shell_state().main_window = nullptr;
    reset();
    corvex::link::reset_dryer_state();
  }
  // Lets the posted commands reach the main window.
  static void pump() { advance_virtual(1); }
};

TEST_F(RequestFlags, EachFlagBecomesItsCommandInOrderAndIsCleared) {
  auto& d = dryer_state();
  d.status_byte_251_request = 1;
  d.defaults_switch_request = 1;
  d.metering_roll_request = 1;
  check_request_flags();
  pump();
  EXPECT_EQ(commands(), (std::vector<int>{34822, 34823, 36968}));
  EXPECT_EQ(d.metering_roll_request.load(), 0);
  EXPECT_EQ(d.defaults_switch_request.load(), 0);
  EXPECT_EQ(d.status_byte_251_request.load(), 0);

  commands().clear();
  check_request_flags();
  pump();
  EXPECT_TRUE(commands().empty());
}

TEST_F(RequestFlags, DefaultsRequestIsIgnoredOnceTheNoticeWasClosed) {
  auto& d = dryer_state();
  d.defaults_notice_shown = 1;
  d.defaults_switch_request = 1;
  check_request_flags();
  pump();
  EXPECT_TRUE(commands().empty());
  // The request stays set and is never acted on in this run.
  EXPECT_EQ(d.defaults_switch_request.load(), 1);
}

}  // namespace
