#pragma once
// The Data Logger Setup window ("DAY DATA LOGGER SETUP - 19"): the long-term log on or off
// (parameter 33, reported in status byte 289), how full it is, deleting it, and copying it to
// the USB flash drive.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::logging {

// The last choice made with ON or OFF (1 or 0), kept beside the controller's setting.
uint8_t data_logger_display_copy();

intptr_t data_logger_procedure(platform::gui::Window& dialog, const platform::gui::Message& m);
// Opens the window modally over `owner`.
intptr_t open_data_logger_dialog(platform::gui::Window* owner);
// Brings each open data logger dialog's marks and used space up to date (the one-second tick);
// nothing when none is open. A paint of the dialog draws the marks as they are and changes none.
void refresh_data_logger_dialog();
// The copy request with its questions and messages (also what SEND ... does).
void send_data_log_to_usb(platform::gui::Window& dialog);

}  // namespace corvex::logging
