#include "shell/startup.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "platform/backend/backend.h"
#include "platform/gui/controls.h"
#include "platform/io/clock.h"
#include "logging/shutdown_history.h"
#include "platform/io/paths.h"
#include "platform/io/single_instance.h"
#include "resources/program_strings.h"
#include "settings/time_date_dialog.h"
#include "shell/automation_commands.h"
#include "shell/disk_seed.h"
#include "logging/display_settings.h"
#include "shell/link_start.h"
#include "shell/navigation.h"
#include "shell/service_watchdog.h"
#include "texts/help_viewer.h"
#include "texts/language_dialog.h"
#include "texts/languages.h"
#include "texts/warning_window.h"
#include "platform/gui/automation.h"

namespace corvex::shell {

namespace gui = platform::gui;
namespace fs = std::filesystem;

namespace {

// Set once the main window exists, so that a later instance's request to come to the front
// (which arrives on the single-instance listener thread) can be handed to the GUI thread.
std::atomic<gui::Window*> g_front_target{nullptr};

void on_activate_request() {
  if (gui::Window* w = g_front_target.load())
    gui::post_message(w, {gui::MessageKind::User, kBringToFrontMessage, 0});
}

// The instance key: the main window class and the panel disk, so that displays on different
// disks may run side by side.
std::string instance_key(const std::string& class_name, const std::string& disk) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(disk, ec), ec);
  return class_name + ":" + (ec ? disk : p.string());
}

// The window system, the backend and the panel's folders, set up once the instance check has
// passed (a refused instance creates nothing).
bool set_up_platform(const Options& o) {
  std::error_code ec;
  fs::create_directories(o.disk, ec);
  if (ec) {
    std::fprintf(stderr, "corvex-display: cannot create the disk folder %s: %s\n", o.disk.c_str(),
                 ec.message().c_str());
    return false;
  }
  std::string error;
  if (!seed_disk(o.disk, &error)) std::fprintf(stderr, "corvex-display: %s\n", error.c_str());
  platform::set_disk_root(o.disk);
  platform::set_usb_root(o.usb);
  // The panel clock's offset is kept on the disk; it applies before the clock starts.
  settings::load_panel_clock_offset();
  if (o.start_time) {
    platform::clock::use_virtual_from_local(*o.start_time);
  } else if (o.virtual_time) {
    platform::clock::use_virtual(platform::clock::wall_ms());
  }
  // What a script may ask with `texts` must be kept from the first paint on.
  if (!o.script.empty()) gui::enable_text_recording();

  gui::init();
  gui::register_controls();
  texts::register_warning_window_class();
  texts::register_text_dialogs();
  texts::register_language_dialog_template();
  platform::backend::Options b;
  b.headless = o.headless;
  b.scale = o.scale;
  b.fullscreen = o.fullscreen;
  b.snapshot_path = o.snapshot;
  b.title = shell_state().main_title;
  if (!platform::backend::start(b)) {
    std::fprintf(stderr, "corvex-display: no display: running headless\n");
    b.headless = true;
    platform::backend::start(b);
  }
  return true;
}

}  // namespace

ShellState& shell_state() {
  static ShellState state;
  return state;
}

void register_main_window_class(const std::string& class_name) {
  gui::WindowClass wc;
  wc.name = class_name;
  wc.procedure = main_window_procedure;
  wc.background = platform::colors::kBlack;
  gui::register_class(wc);
}

bool init_instance(const Options& o) {
  ShellState& s = shell_state();
  register_main_window_class(s.main_class_name);

  gui::CreateParams p;
  p.class_name = s.main_class_name;
  p.text = s.main_title;
  p.style = gui::style::kVisible | gui::style::kTopmost;
  p.rect = {0, 0, gui::kScreenWidth, gui::kScreenHeight};
  gui::Window* main = gui::create_window(p);
  if (!main) return false;
  s.main_window = main;
  g_front_target.store(main);

  std::memset(s.history_volume_id, 0, sizeof s.history_volume_id);
  logging::read_display_settings();
  create_child_windows(main);
  // The decoder applies the status-area rule itself, and the 175 ms tick the button-bar layout.
  link::link_hooks().status_area_rule.store(&status_area_rule);
  link::link_hooks().button_bar_layout.store(&button_bar_layout);
  start_dryer_link(o);

  gui::set_timer(main, kLinkPacingTimerId, kLinkPacingPeriodMs, link_pacing_tick);
  gui::set_timer(main, kHousekeepingTimerId, kHousekeepingPeriodMs, housekeeping_tick);
  gui::set_timer(main, kFastUiTimerId, kFastUiPeriodMs, fast_ui_tick);
  start_service_notifications(main);
  // The shutdown history: its store made ready, its records taken from the decoder and the tick.
  logging::prepare_shutdown_history();
  logging::install_shutdown_history_hooks();

  gui::update_window(main);
  return true;
}

void check_request_flags() {
  link::DryerState& d = link::dryer_state();
  gui::Window* main = shell_state().main_window;
  if (!main) return;
  if (d.metering_roll_request.load()) {
    d.metering_roll_request.store(0);
    gui::post_command(main, kMeteringRollRequestCommand);
  }
  // Once the operator has closed the defaults notice the request stays set and is not acted on.
  if (d.defaults_switch_request.load() && !d.defaults_notice_shown.load()) {
    d.defaults_switch_request.store(0);
    gui::post_command(main, kDefaultsSwitchRequestCommand);
  }
  if (d.status_byte_251_request.load()) {
    d.status_byte_251_request.store(0);
    gui::post_command(main, kStatusByte251RequestCommand);
  }
}

int entry_routine(const Options& o) {
  ShellState& s = shell_state();
  s.main_class_name = resources::program_string(resources::kMainWindowClassId);
  s.main_title = resources::program_string(resources::kMainWindowTitleId);

  switch (platform::claim_single_instance(instance_key(s.main_class_name, o.disk),
                                          on_activate_request)) {
    case platform::InstanceClaim::AlreadyRunning:
      return 0;
    case platform::InstanceClaim::Failed:
      std::fprintf(stderr, "corvex-display: cannot check for another running display; going on\n");
      break;
    case platform::InstanceClaim::First:
      break;
  }
  if (!set_up_platform(o)) return 1;
  if (!init_instance(o)) return 0;
  gui::bring_to_front(s.main_window);

  gui::set_quit_handler([] {
    if (gui::Window* main = shell_state().main_window)
      gui::destroy_window(main);
    else
      gui::post_quit(0);
  });
  register_automation_commands();
  if (!o.script.empty()) {
    std::string error;
    if (!gui::start_automation(o.script, &error))
      std::fprintf(stderr, "corvex-display: cannot read the script %s: %s\n", o.script.c_str(),
                   error.c_str());
  }

  link::preset_start_mirror();
  texts::load_language_selection();
  return gui::run_message_loop(check_request_flags);
}

}  // namespace corvex::shell
