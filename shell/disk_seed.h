#pragma once
// Seeding a panel disk folder with the language data the program was built or installed with.
#include <string>

namespace corvex::shell {

// The folder holding the panel data (its Languages folder): CORVEX_DATA_DIR when set, else the
// data installed beside the program (bin/../share/corvex-display), else, for a program still in
// its build tree, the data generated there, else the configured install folder; empty when none
// exists. An installed program never reads the build tree.
std::string panel_data_dir();

// Seeds `disk` with the panel data when it has no Languages folder (matched without regard to
// case). Where the disk is on the data's file system and allows it, each language file on the
// disk is a hard link to the data's file (the program only reads language files); elsewhere
// it is a copy, and files that are hard links of each other in the data stay links on the disk
// (a copy each where its file system has no links). The Languages folder appears whole or not
// at all. Nothing present is overwritten. Returns false, with the reason, when seeding failed.
bool seed_disk(const std::string& disk, std::string* error);

}  // namespace corvex::shell
