#pragma once
// Telling the service manager how the program is doing: a datagram of "NAME=VALUE" lines sent to
// the socket named in NOTIFY_SOCKET ("READY=1" once started, "WATCHDOG=1" while alive). Without
// NOTIFY_SOCKET nothing is sent. No library is needed: the protocol is one datagram per state.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Sends `state` to the socket in NOTIFY_SOCKET: a path, or an abstract name written with a
// leading '@'. Returns false when the variable is unset or empty, names no usable socket, or the
// datagram could not be sent.
bool notify_service(std::string_view state);

// The period at which "WATCHDOG=1" should go out: a third of WATCHDOG_USEC, in milliseconds
// (at least 1), or 0 when there is no watchdog: NOTIFY_SOCKET or WATCHDOG_USEC unset or not a
// positive number, or WATCHDOG_PID set to another process.
int64_t watchdog_ping_period_ms();

}  // namespace platform
