#pragma once
// Seeding a panel disk folder with the language data the program was built or installed with.
#include <string>

namespace corvex::shell {

// The folder holding the panel data (its Languages folder): CORVEX_DATA_DIR when set, else the
// data installed beside the program (bin/../share/corvex-display), else, for a program still in
// its build tree, the data generated there, else the configured install folder; empty when none
// exists. An installed program never reads the build tree.
std::string panel_data_dir();

// Copies the panel data into `disk` when it has no Languages folder (matched without regard to
// case). Files that are hard links of each other in the data stay links on the disk (a copy
// each where its file system has no links). Nothing present is overwritten. Returns false,
// with the reason, when the copy failed.
bool seed_disk(const std::string& disk, std::string* error);

}  // namespace corvex::shell
