#pragma once
// Start-up of the display: the entry routine, instance initialisation, the main window class and
// the three periodic timers.
#include <cstdint>
#include <string>

#include "platform/gui/window.h"
#include "shell/options.h"

namespace corvex::shell {

// Timer ids and periods of the main window.
inline constexpr int kLinkPacingTimerId = 36865;   // 175 ms
inline constexpr int kHousekeepingTimerId = 36866; // 1000 ms
inline constexpr int kFastUiTimerId = 36894;       // 100 ms
inline constexpr int kLinkPacingPeriodMs = 175;
inline constexpr int kHousekeepingPeriodMs = 1000;
inline constexpr int kFastUiPeriodMs = 100;

// Commands the message loop posts to the main window for the link's request flags.
inline constexpr int kMeteringRollRequestCommand = 34822;
inline constexpr int kDefaultsSwitchRequestCommand = 34823;
inline constexpr int kStatusByte251RequestCommand = 36968;

// User message to the main window: another instance asked this one to come to the front.
inline constexpr intptr_t kBringToFrontMessage = 0x4654;

// Process-wide values of the shell.
struct ShellState {
  std::string main_class_name;
  std::string main_title;
  platform::gui::Window* main_window = nullptr;
  // Identifier of the shutdown-history database volume, cleared at start-up.
  uint8_t history_volume_id[16] = {};
};
ShellState& shell_state();

// The entry routine: refuses to run when an instance already runs on the same disk (that one is
// brought to the front), starts everything in its order and runs the message loop. Returns the
// loop's exit code, or 0 when it refused to start or the main window could not be created.
int entry_routine(const Options& options);

// Instance initialisation; false when the main window cannot be created.
bool init_instance(const Options& options);

// Registers the main window class under the name of string resource 3.
void register_main_window_class(const std::string& class_name);

// After every message of the main loop: turns the link's request flags into commands for the
// main window.
void check_request_flags();

// The main window's procedure.
intptr_t main_window_procedure(platform::gui::Window& w, const platform::gui::Message& m);

// Creates the screen windows of the main window.
void create_child_windows(platform::gui::Window* main);

// The timer routines.
void link_pacing_tick(platform::gui::Window* w, int timer_id);
void housekeeping_tick(platform::gui::Window* w, int timer_id);
void fast_ui_tick(platform::gui::Window* w, int timer_id);

}  // namespace corvex::shell
