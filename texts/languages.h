#pragma once
// The thirteen languages of the panel, the selected language and its configuration file.
//
// The selection is kept as one word in "CorvexLangConfig.txt" under the disk root: the
// language's name in 8-bit characters exactly as in the table, without line end or terminator.
#include <cstdint>
#include <span>
#include <string_view>

namespace corvex::texts {

struct Language {
  std::string_view name;          // the word of the configuration file, compared exactly
  std::string_view folder;        // the folder under "Languages\"
  std::string_view strings_file;  // the string table, relative to the disk root
  int button_id;                  // its button in the language selection dialog
  int name_string;                // localized string with the language's own name
};

inline constexpr int kLanguageCount = 13;
inline constexpr int kEnglish = 0;

// The table in index order (0 English ... 12 Spanish).
std::span<const Language, kLanguageCount> languages();
// The language of an index; any index outside 1..12 is English.
const Language& language(int index);
// The folder code of an index ("EN" for any index outside 1..12).
std::string_view folder_code(int index);

// Returns the selected language's index (0..12).
int language_index();
// Stores the index without loading anything; the language switch is set_language().
void set_language_index(int index);

// Reads the configuration file and stores the index it names; returns that index. A missing
// file (or an empty one, or anything but a regular file) gives English and is written holding
// "English"; a word that names no language gives English and the file is left as it is.
int load_language_selection();
// Replaces the configuration file with one holding `name`, in one step (the old file stays
// whole when this fails); returns false when it could not be written.
bool save_language_name(std::string_view name);

}  // namespace corvex::texts
