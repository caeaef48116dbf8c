#pragma once
// The Shutdown History window ("Shutdown History -29"): the records in a list in one of three
// sort orders, the help of a selected shutdown, the copy to the USB drive and, behind holding
// EXIT for five seconds, the clearing of the history.
#include <cstdint>

#include "logging/shutdown_history.h"
#include "platform/gui/window.h"

namespace corvex::logging {

// Opens the window modally over `owner`; returns the dialog's result.
intptr_t open_shutdown_history(platform::gui::Window* owner);
// The window's dialog procedure.
intptr_t shutdown_history_procedure(platform::gui::Window& dialog,
                                    const platform::gui::Message& m);
// Refills the list of the window in an order; a volume that cannot be mounted leaves it as it is.
void fill_history_list(platform::gui::Window& dialog, HistoryOrder order);
// The copy request: the copy question when the drive is there, else the drive-missing notice,
// from which YES makes the request again.
void request_history_copy(platform::gui::Window& dialog);

}  // namespace corvex::logging
