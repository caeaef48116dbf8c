#pragma once
// Seeding a panel disk folder with the language data the program was built or installed with.
#include <string>

namespace corvex::shell {

// The folder holding the built panel data (its Languages folder): CORVEX_DATA_DIR when set,
// else the build's data folder, else the installed one; empty when none exists.
std::string panel_data_dir();

// Copies the panel data into `disk` when it has no Languages folder (matched without regard to
// case). Nothing present is overwritten. Returns false, with the reason, when the copy failed.
bool seed_disk(const std::string& disk, std::string* error);

}  // namespace corvex::shell
