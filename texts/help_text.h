#pragma once
// The help-text reader: the fixed explanatory texts that several screens show from files in
// the selected language's folder ("Languages\CODE\" + name), such as "PlenumDiffHelp.txt" and
// the auto-start messages. A file missing in the selected language is read from English.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace corvex::texts {

enum class HelpTextResult {
  Loaded,       // the buffer holds the text, byte-order mark first
  SizeUnknown,  // the file opened but its size could not be read: the buffer is emptied
  Missing,      // neither the language's nor the English file opened: the buffer is untouched
};

// Reads the help file into `buffer` (its size is the capacity in UTF-16 characters): the whole
// buffer is cleared, then at most capacity - 1 characters are read, so the text is always
// terminated. The text keeps its leading byte-order mark.
HelpTextResult read_help_text(std::string_view file_name, std::span<char16_t> buffer);

// The same for message boxes: reads at most capacity - 1 characters, drops the byte-order mark
// and gives UTF-8 with the file's line ends. Returns false (and leaves `out` alone) when the
// file is missing.
bool read_help_text_utf8(std::string_view file_name, size_t capacity, std::string& out);

}  // namespace corvex::texts
