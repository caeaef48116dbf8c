#pragma once
// Starting other programs from the display: detached, without a shell, and reaped at once so
// that no zombie stays behind. The started program gets /dev/null as standard input and output,
// because the display's own standard input and output carry the automation protocol.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Starts argv[0] (looked up on PATH when it has no slash) with the arguments argv; returns false
// when the program cannot be found or started. Does not wait for it to end.
bool start_detached(const std::vector<std::string>& argv);
// Opens the host folder in the desktop's file manager (xdg-open); false when that cannot start.
bool open_folder_in_file_manager(const std::string& host_path);
// Starts a panel program with one command line, as the panel's process start does: the panel's
// file explorer ("\windows\explorer.exe", any case) opens the translated panel path of the
// command line in the file manager; any other program is translated and started with the
// command line as its one argument (none when it is empty). False when it cannot be started.
bool start_panel_program(std::string_view program, std::string_view command_line);

}  // namespace platform
