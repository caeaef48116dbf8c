#pragma once
// The exchange with the dryer controller. The display is the master of a half-duplex link:
// every 350 ms the exchange thread reads the StatusFrame the controller sent since the last
// cycle, decodes it when it is whole and correct, and answers with a CommandFrame, a PollFrame
// or a ResyncFrame. The LinkWatchdog measures how long no good frame has arrived.
//
// In virtual time the 175 ms tick that starts a cycle returns only when that cycle is done,
// so tests of hours of operation run in seconds and always the same way.
#include <cstdint>
#include <string>

namespace corvex::link {

// Opens the serial device that stands for "COM1:" and starts the exchange thread. Returns true
// on success; false, with the reason in *error, when the port cannot be opened: then nothing
// is started, the display runs without a link and the watchdog reports it lost after 10 s.
bool open_dryer_link(const std::string& device, std::string* error = nullptr);
// As open_dryer_link, adopting an already open descriptor (one end of a pseudo-terminal pair
// that an in-process controller holds the other end of). The link owns the descriptor.
bool open_dryer_link_fd(int fd, std::string* error = nullptr);
// True while the port is open and the exchange thread runs.
bool dryer_link_open();
// Stops the exchange thread and closes the port. The display never does this (the link lives
// as long as the process); tests do, between cases.
void close_dryer_link();

// The link's share of the 175 ms tick: signals the exchange event on every second call, so one
// cycle runs every 350 ms. Does nothing when the link is not open. In virtual time it returns
// once the cycle it started has completed.
void exchange_tick();

// Exchange cycles completed since the program started.
uint64_t exchange_cycles_completed();
// Waits up to timeout_ms (real time) until at least count cycles have completed; true if so.
bool wait_for_exchange_cycles(uint64_t count, int timeout_ms);

}  // namespace corvex::link
