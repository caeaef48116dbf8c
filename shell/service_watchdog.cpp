#include "shell/service_watchdog.h"

#include <cstdlib>

#include "platform/gui/backend_port.h"
#include "platform/io/service_notify.h"

namespace corvex::shell {

namespace gui = platform::gui;

namespace {

bool g_ready = false;

// Before the program is ready: waits for the first presented frame, then says READY=1 and
// goes on at the watchdog's pace (or stops when there is no watchdog). After: WATCHDOG=1.
void service_tick(gui::Window* w, int timer_id) {
  if (g_ready) {
    platform::notify_service("WATCHDOG=1");
    return;
  }
  if (platform::gui::present_count() == 0) return;
  g_ready = true;
  platform::notify_service("READY=1");
  const int64_t period = platform::watchdog_ping_period_ms();
  if (period > 0) {
    platform::notify_service("WATCHDOG=1");
    gui::set_timer(w, timer_id, int(period), service_tick);
  } else {
    gui::kill_timer(w, timer_id);
  }
}

}  // namespace

void start_service_notifications(gui::Window* main) {
  const char* socket = std::getenv("NOTIFY_SOCKET");
  if (main == nullptr || socket == nullptr || socket[0] == '\0') return;
  g_ready = false;
  gui::set_timer(main, kServiceWatchdogTimerId, kReadyCheckPeriodMs, service_tick);
}

}  // namespace corvex::shell
