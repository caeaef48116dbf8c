// The setup screens reach the main screen only through settings' hook table; the shell must have
// filled it, or EXIT of a setup screen would leave the operator on a blank screen.
#include <gtest/gtest.h>

#include "settings/screen_hooks.h"
#include "tests/shell/main_screen_fixture.h"

namespace corvex::shell::testing {
namespace {

using ScreenHooks = MainScreenTest;

TEST_F(ScreenHooks, SetupScreensGoBackToTheMainScreenThroughTheShell) {
  leave_main_screen(resources::SETUP_SELECTION_WINDOW);
  ASSERT_FALSE(visible(resources::DRYER_PIC_WINDOW));
  settings::call_return_to_main_screen();
  EXPECT_TRUE(visible(resources::DRYER_PIC_WINDOW));
  EXPECT_TRUE(visible(resources::BUTTON_BAR_WINDOW));
  EXPECT_EQ(settings::screen_hooks().reload_screen_texts, &reload_screen_texts);
}

TEST_F(ScreenHooks, AnEmptyHookDoesNothing) {
  const settings::ScreenHooks saved = settings::screen_hooks();
  settings::screen_hooks() = {};
  leave_main_screen(resources::SETUP_SELECTION_WINDOW);
  settings::call_return_to_main_screen();
  settings::call_reload_screen_texts();
  EXPECT_FALSE(visible(resources::DRYER_PIC_WINDOW));
  settings::screen_hooks() = saved;
}

}  // namespace
}  // namespace corvex::shell::testing
