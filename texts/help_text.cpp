#include "texts/help_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/io/files.h"
#include "platform/io/paths.h"
#include "texts/languages.h"
#include "texts/texts.h"
#include "texts/utf16.h"

namespace corvex::texts {

namespace {

std::string help_path(std::string_view folder, std::string_view sub_folder,
                      std::string_view file_name) {
  std::string path = "Languages\\";
  path.append(folder).append("\\").append(sub_folder).append(file_name);
  return platform::disk_rooted(path);
}

// Opens the language's file, else the English file of the same name (in the language folder,
// as the other languages keep them, or in a "HelpFiles" folder of an older disk).
bool open_help_file(std::string_view file_name, platform::File& file) {
  const auto open = [&](const std::string& path) {
    return file.open(path, platform::OpenMode::OpenExisting, platform::Access::Read) ==
           platform::FileStatus::Ok;
  };
  return open(help_path(folder_code(language_index()), "", file_name)) ||
         open(help_path(folder_code(kEnglish), "", file_name)) ||
         open(help_path(folder_code(kEnglish), "HelpFiles\\", file_name));
}

}  // namespace

HelpTextResult read_help_text(std::string_view file_name, std::span<char16_t> buffer) {
  ensure_texts_loaded();
  platform::File file;
  if (!open_help_file(file_name, file)) return HelpTextResult::Missing;
  if (buffer.empty()) return HelpTextResult::Loaded;
  const auto size = file.size();
  std::fill(buffer.begin(), buffer.end(), u'\0');
  if (!size) return HelpTextResult::SizeUnknown;
  const size_t limit_bytes = (buffer.size() - 1) * sizeof(char16_t);
  const size_t wanted = size_t(std::min<uint64_t>(*size, limit_bytes));
  std::vector<uint8_t> bytes(wanted);
  const size_t got = file.read(bytes.data(), wanted);
  const size_t units = got / 2;
  for (size_t i = 0; i < units; ++i) {
    buffer[i] = char16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  buffer[units] = 0;
  return HelpTextResult::Loaded;
}

bool read_help_text_utf8(std::string_view file_name, size_t capacity, std::string& out) {
  std::vector<char16_t> buffer(std::max<size_t>(capacity, 2));
  const HelpTextResult result = read_help_text(file_name, buffer);
  if (result == HelpTextResult::Missing) return false;
  std::u16string_view text(buffer.data(), terminated_length(buffer));
  if (!text.empty() && text.front() == u'\xFEFF') text.remove_prefix(1);
  out = to_utf8(text);
  return true;
}

}  // namespace corvex::texts
