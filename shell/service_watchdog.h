#pragma once
// The display as a service under the service manager: "READY=1" once the first frame is on the
// screen and "WATCHDOG=1" at a third of the watchdog interval, both sent from a timer of the main
// window, so a display whose message loops stop turning (a hung paint, a dead lock) stops
// pinging and is restarted. Timers also run inside modal dialogs and message boxes, so an open
// dialog keeps the pings going. Nothing is sent when the program was not started as a service.
#include "platform/gui/window.h"

namespace corvex::shell {

inline constexpr int kServiceWatchdogTimerId = 37120;
// How often the timer looks for the first frame before the program is ready.
inline constexpr int kReadyCheckPeriodMs = 20;

// Starts the timer on the main window when NOTIFY_SOCKET is set; does nothing otherwise.
void start_service_notifications(platform::gui::Window* main);

}  // namespace corvex::shell
