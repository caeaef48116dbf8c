#include "texts/texts.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/gui/window.h"
#include "platform/io/files.h"
#include "platform/io/paths.h"

namespace corvex::texts {

namespace {

constexpr std::array<std::string_view, kWarningTableCount> kWarningFiles = {
    "WarningsDIO.txt", "WarningsFH1.txt", "WarningsFH2.txt", "WarningsFH3.txt", "WarningsFH4.txt",
    "WarningsFH5.txt", "WarningsFH6.txt", "WarningsMIO.txt", "WarningsMC.txt",
};

// Entry k of the string table is localized string k; entry 0 is never used.
std::array<TextEntry, kStringCount + 1> g_strings;
std::array<std::array<TextEntry, kWarningEntries>, kWarningTableCount> g_warnings;
// One read buffer for every language file: each is read whole in one read, then parsed.
std::array<uint8_t, kStringFileLimit> g_file_bytes;
std::atomic<bool> g_texts_not_loaded{true};

// Reads at most `limit` bytes of the file into the shared buffer and parses them into
// `entries`; false when the file cannot be opened.
bool load_file_into(std::string_view relative_path, size_t limit, std::span<TextEntry> entries) {
  platform::File file;
  if (file.open(platform::disk_rooted(relative_path), platform::OpenMode::OpenExisting,
                platform::Access::Read) != platform::FileStatus::Ok) {
    return false;
  }
  const size_t wanted = size_t(std::min<uint64_t>(file.size().value_or(0), limit));
  const size_t got = file.read(g_file_bytes.data(), wanted);
  file.close();
  parse_text_lines(std::span<const uint8_t>(g_file_bytes.data(), got), entries);
  return true;
}

std::string warnings_path(std::string_view folder, std::string_view file) {
  std::string path = "Languages\\";
  path.append(folder).append("\\").append(file);
  return path;
}

}  // namespace

std::span<const std::string_view, kWarningTableCount> warning_file_names() { return kWarningFiles; }

int warning_table_of_node(int node_type) {
  if (node_type >= 1 && node_type <= 7) return node_type - 1;
  if (node_type == 14) return 7;
  if (node_type == 15) return 8;
  return -1;
}

bool load_string_table() {
  std::span<TextEntry> entries(g_strings.data() + 1, kStringCount);
  if (load_file_into(language(language_index()).strings_file, kStringFileLimit, entries)) {
    return true;
  }
  return load_file_into(language(kEnglish).strings_file, kStringFileLimit, entries);
}

int load_warning_texts() {
  const std::string_view folder = folder_code(language_index());
  int loaded = 0;
  for (int t = 0; t < kWarningTableCount; ++t) {
    // Entry 1000 is never filled: a file line past 1000 has no warning number to match it.
    std::span<TextEntry> entries(g_warnings[t].data(), kWarningEntries - 1);
    if (load_file_into(warnings_path(folder, kWarningFiles[t]), kWarningFileLimit, entries) ||
        load_file_into(warnings_path(folder_code(kEnglish), kWarningFiles[t]), kWarningFileLimit,
                       entries)) {
      ++loaded;
    }
  }
  return loaded;
}

void ensure_texts_loaded() {
  if (!g_texts_not_loaded.exchange(false)) return;
  load_language_selection();
  load_string_table();
  load_warning_texts();
}

bool texts_loaded() { return !g_texts_not_loaded.load(); }

void reset_texts() {
  for (TextEntry& e : g_strings) e.clear();
  for (auto& table : g_warnings) {
    for (TextEntry& e : table) e.clear();
  }
  set_language_index(kEnglish);
  g_texts_not_loaded.store(true);
}

void set_language(int index) {
  // The switch loads everything itself, so a later request must not load the selection again
  // from a configuration file that could not be rewritten.
  g_texts_not_loaded.store(false);
  set_language_index(index);
  load_string_table();
  load_warning_texts();
  save_language_name(language(index).name);
  // Every window takes its captions and labels in the new language now, shown or covered.
  if (platform::gui::on_gui_thread())
    platform::gui::broadcast_message({platform::gui::MessageKind::TextsChanged, 0, 0});
}

std::u16string_view string_entry(int number) {
  ensure_texts_loaded();
  if (number < 1 || number > kStringCount) return {};
  return g_strings[number].view();
}

bool localized_string(int number, std::span<char> out) {
  ensure_texts_loaded();
  if (number < 1 || number > kStringCount || out.empty()) return false;
  utf16_to_utf8(g_strings[number].view(), kStringLookupLimit, out);
  return true;
}

std::string localized_text(int number) {
  StringBuffer buffer;
  if (!localized_string(number, buffer)) return {};
  return buffer.data();
}

std::u16string_view warning_entry(int table, int entry) {
  ensure_texts_loaded();
  if (table < 0 || table >= kWarningTableCount || entry < 0 || entry >= kWarningEntries) return {};
  return g_warnings[table][entry].view();
}

bool warning_text(int node_type, int warning, std::span<char> out) {
  ensure_texts_loaded();
  if (out.empty()) return false;
  out.back() = '\0';
  const int table = warning_table_of_node(node_type);
  if (warning <= 0 || warning >= kWarningEntries || node_type <= 0 || table < 0) return false;
  utf16_to_utf8(g_warnings[table][warning].view(), kWarningLookupLimit, out);
  return true;
}

std::string warning_text(int node_type, int warning) {
  WarningBuffer buffer;
  buffer[0] = '\0';
  warning_text(node_type, warning, buffer);
  return buffer.data();
}

void two_line_split(std::u16string_view text, std::span<char16_t> first, std::span<char16_t> second,
                    int limit) {
  if (first.empty() || second.empty()) return;
  text = text.substr(0, terminated_length(text));
  const size_t half = text.size() / 2;
  const size_t length = std::min(text.size(), size_t(std::max(limit, 0)));
  size_t split = 0;
  bool found = false;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != u' ') continue;
    if (i >= half) break;
    split = i;
    found = true;
  }
  std::u16string_view head = text.substr(0, split);
  // Without a space to split at, the whole text goes to the second line: nothing is dropped.
  std::u16string_view tail = found
                                 ? text.substr(split + 1, length - split - 1)
                                 : text.substr(0, std::min(length, size_t(std::max(limit - 1, 0))));
  if (tail.size() >= size_t(limit)) tail = {};
  const size_t head_n = std::min(head.size(), first.size() - 1);
  std::copy_n(head.begin(), head_n, first.begin());
  first[head_n] = 0;
  const size_t tail_n = std::min(tail.size(), second.size() - 1);
  std::copy_n(tail.begin(), tail_n, second.begin());
  second[tail_n] = 0;
}

void two_line_split(std::string_view text, std::span<char> first, std::span<char> second,
                    int limit) {
  std::array<char16_t, 512> wide;
  std::array<char16_t, 512> head;
  std::array<char16_t, 512> tail;
  const size_t n = utf8_to_utf16(text, wide);
  two_line_split(std::u16string_view(wide.data(), n), head, tail, limit);
  utf16_to_utf8(head.data(), head.size(), first);
  utf16_to_utf8(tail.data(), tail.size(), second);
}

}  // namespace corvex::texts
