#pragma once
// Arbitrary bytes as one of the selected language's files on disk, loaded and looked up as the
// screens do. The first byte picks the file: the string table, one of the nine warnings files,
// or a help file; the rest is its content. Every localized string and warning text must be the
// entry of its line (string N is line N, warning W is line W + 1, within the bytes a table
// reads), every lookup must stay terminated within its buffer, and a help text must be cut to
// its buffer and terminated, whatever its size.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/io/paths.h"
#include "texts/help_text.h"
#include "texts/languages.h"
#include "texts/text_table.h"
#include "texts/texts.h"

namespace corvex::fuzzing {

inline constexpr std::string_view kFuzzHelpFile = "PlenumDiffHelp.txt";

inline bool terminated_within(std::span<const char> text) {
  return std::memchr(text.data(), 0, text.size()) != nullptr;
}

inline const char* check_string_table(std::span<const uint8_t> content) {
  using namespace corvex::texts;
  static std::array<TextEntry, kStringCount> expected;
  for (TextEntry& e : expected) e.clear();
  parse_text_lines(content.first(std::min(content.size(), kStringFileLimit)), expected);
  StringBuffer buffer;
  for (int n = 1; n <= kStringCount; ++n) {
    if (string_entry(n) != expected[size_t(n - 1)].view()) return "a string is not its line";
    buffer.fill('\x7f');
    if (!localized_string(n, buffer)) return "a string in range is refused";
    if (!terminated_within(buffer)) return "a string lookup is not terminated";
  }
  if (!string_entry(0).empty() || !string_entry(kStringCount + 1).empty()) {
    return "a string outside the table has a text";
  }
  return nullptr;
}

inline const char* check_warnings_file(int table, std::span<const uint8_t> content) {
  using namespace corvex::texts;
  static std::array<TextEntry, kWarningEntries - 1> expected;
  for (TextEntry& e : expected) e.clear();
  parse_text_lines(content.first(std::min(content.size(), kWarningFileLimit)), expected);
  static constexpr int kNodeOfTable[kWarningTableCount] = {1, 2, 3, 4, 5, 6, 7, 14, 15};
  WarningBuffer buffer;
  for (int w = 0; w < kWarningEntries; ++w) {
    const std::u16string_view want = w < kWarningEntries - 1 ? expected[size_t(w)].view() : u"";
    if (warning_entry(table, w) != want) return "a warning is not its line";
    if (w == 0) continue;
    buffer.fill('\x7f');
    warning_text(kNodeOfTable[table], w, buffer);
    if (!terminated_within(buffer)) return "a warning lookup is not terminated";
  }
  return nullptr;
}

inline const char* check_help_file(std::span<const uint8_t> content) {
  using namespace corvex::texts;
  for (size_t capacity : {size_t(1), size_t(2), size_t(64), size_t(2000)}) {
    std::vector<char16_t> buffer(capacity, u'\x7f');
    if (read_help_text(kFuzzHelpFile, buffer) != HelpTextResult::Loaded) {
      return "a help file that is there is not loaded";
    }
    if (buffer.back() != 0) return "a help text is not terminated";
    const size_t units = std::min(capacity - 1, content.size() / 2);
    for (size_t i = 0; i < units; ++i) {
      if (buffer[i] != char16_t(content[2 * i] | content[2 * i + 1] << 8)) {
        return "a help text differs from its file";
      }
    }
    std::string text;
    if (!read_help_text_utf8(kFuzzHelpFile, capacity, text)) return "a help text is missing";
    if (text.size() > 3 * capacity) return "a help text came out longer than its buffer";
  }
  return nullptr;
}

inline const char* fuzz_language_files_input(const uint8_t* data, size_t size) {
  using namespace corvex::texts;
  if (size == 0) return nullptr;
  const std::string disk = scratch_dir("texts");
  const std::string folder = disk + "/Languages/EN";
  std::error_code ec;
  fs::create_directories(folder, ec);
  empty_dir(folder);
  write_file(disk + "/CorvexLangConfig.txt", "English");
  platform::set_disk_root(disk);

  const int choice = data[0] % (kWarningTableCount + 2);
  const std::span<const uint8_t> content(data + 1, size - 1);
  std::string name;
  if (choice == 0) {
    name = "EnglishStrings.txt";
  } else if (choice <= kWarningTableCount) {
    name = std::string(warning_file_names()[size_t(choice - 1)]);
  } else {
    name = std::string(kFuzzHelpFile);
  }
  write_file(folder + "/" + name, content.data(), content.size());
  reset_texts();
  ensure_texts_loaded();
  if (language_index() != kEnglish) return "English is not selected";
  if (choice == 0) return check_string_table(content);
  if (choice <= kWarningTableCount) return check_warnings_file(choice - 1, content);
  return check_help_file(content);
}

}  // namespace corvex::fuzzing
