#pragma once
// The operator texts: the string table and the nine warning-text tables of the selected
// language, loaded on first use, and the services every screen asks for texts by number.
//
// The tables hold UTF-16 exactly as loaded from the language files; a lookup converts into the
// caller's UTF-8 buffer, with the panel's character limits counted in UTF-16 units. Everything
// here runs on the GUI thread; the link thread never asks for texts.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "texts/languages.h"
#include "texts/text_table.h"
#include "texts/utf16.h"

namespace corvex::texts {

inline constexpr int kStringCount = 1000;      // localized strings 1..1000
inline constexpr int kStringLookupLimit = 100; // characters a lookup copies
inline constexpr int kWarningTableCount = 9;
inline constexpr int kWarningEntries = 1001;   // entries 0..1000; 1000 is never filled
inline constexpr int kWarningLookupLimit = 149;
inline constexpr size_t kStringFileLimit = 32768;   // bytes read of a string table
inline constexpr size_t kWarningFileLimit = 26000;  // bytes read of a warnings file

// A UTF-8 buffer that holds any localized string, and one for any warning text.
using StringBuffer = std::array<char, utf8_capacity_for(kStringLookupLimit)>;
using WarningBuffer = std::array<char, utf8_capacity_for(kWarningLookupLimit + 1)>;

// The warnings file of each table, in table order.
std::span<const std::string_view, kWarningTableCount> warning_file_names();
// Returns the table of a node type as the controller reports it (1 display I/O, 2..7 fan/heater
// 1..6, 14 main I/O, 15 moisture control), or -1 for a type that has none.
int warning_table_of_node(int node_type);

// Loads the selected language's string table, falling back to the English one; when neither
// can be read the table stays as it was. Returns true when a file was read.
bool load_string_table();
// Loads the nine warnings files of the selected language; a file that cannot be read falls back
// to the English file of the same node, and when that fails too the node's table stays as it
// was. Returns how many of the nine were read.
int load_warning_texts();

// The lazy load: while the texts-not-loaded flag is set, the first text or bitmap request
// clears it and loads the language selection, the string table and the warning texts.
void ensure_texts_loaded();
bool texts_loaded();
// Back to the start of a run: flag set, every entry empty, English selected. For tests.
void reset_texts();

// Switches to language `index` (English for an index outside 1..12): loads both tables and
// rewrites the configuration file.
void set_language(int index);

// Copies localized string N (at most 100 UTF-16 characters) into `out` as terminated UTF-8.
// For N outside 1..1000 the buffer is left unchanged and the result is false. A string never
// loaded copies as an empty text.
bool localized_string(int number, std::span<char> out);
// The same as a std::string (empty for N outside 1..1000), for code off the paint path.
std::string localized_text(int number);
// The entry as loaded, UTF-16 (empty for N outside 1..1000). Performs the lazy load.
std::u16string_view string_entry(int number);

// Copies warning W of node type T (at most 149 characters: line W + 1 of the node's file) into
// `out` as terminated UTF-8. The last byte of `out` is always made a terminator; when nothing
// is copied (W or T not above 0, or a type without a table) the rest is left unchanged and the
// result is false.
bool warning_text(int node_type, int warning, std::span<char> out);
std::string warning_text(int node_type, int warning);
// The entry of a table as loaded (empty outside the table). Performs the lazy load.
std::u16string_view warning_entry(int table, int entry);

// Splits a text into two lines for the auto-start screens: at the last space before half the
// text's length, of a text cut to `limit` characters. A second part of `limit` characters or
// more is made empty. Counts in UTF-16 units; both outputs are terminated.
void two_line_split(std::u16string_view text, std::span<char16_t> first,
                    std::span<char16_t> second, int limit);
// The same for UTF-8 texts (the form the lookups give).
void two_line_split(std::string_view text, std::span<char> first, std::span<char> second,
                    int limit);

}  // namespace corvex::texts
