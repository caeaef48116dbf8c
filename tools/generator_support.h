#pragma once
// What the panel-data generators share: reading the UTF-8 sources in data/lang/CODE/, the
// checks every source line must pass, and writing the UTF-16 files the panel reads. A
// malformed source line stops the generator with a message naming the file and the line; a
// text that is missing in a translation is taken from English and said on standard error.
//
// Header-only because every tools/*.cpp becomes its own program.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "texts/languages.h"
#include "texts/utf16.h"

namespace corvex::tools {

namespace fs = std::filesystem;

[[noreturn]] inline void fail(const std::string& message) {
  std::fprintf(stderr, "error: %s\n", message.c_str());
  std::exit(1);
}

inline void note(const std::string& message) {
  std::fprintf(stderr, "note: %s\n", message.c_str());
}

inline std::string where(const fs::path& file, int line) {
  return file.string() + ":" + std::to_string(line);
}

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
inline bool valid_utf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const uint8_t b = uint8_t(s[i]);
    int extra = 0;
    uint8_t lo = 0x80, hi = 0xBF;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= s.size()) return false;
      const uint8_t c = uint8_t(s[i + k]);
      if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return false;
    }
    i += extra + 1;
  }
  return true;
}

// The lines of a UTF-8 text file without their line ends (LF or CR LF), a leading UTF-8
// byte-order mark dropped. Nothing when the file does not exist.
inline std::optional<std::vector<std::string>> read_lines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string all = buffer.str();
  if (all.rfind("\xEF\xBB\xBF", 0) == 0) all.erase(0, 3);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!valid_utf8(lines[i])) fail(where(file, int(i + 1)) + ": not valid UTF-8");
  }
  return lines;
}

// A numbered source ("N<TAB>text" lines, '#' comments and blank lines ignored): the texts by
// number, or nothing when the file does not exist. Numbers outside first..last, repeated
// numbers, a missing tab, a tab or control character inside the text and texts longer than
// max_units UTF-16 units stop the generator.
inline std::optional<std::map<int, std::string>> read_numbered(const fs::path& file, int first,
                                                               int last, size_t max_units) {
  const auto lines = read_lines(file);
  if (!lines) return std::nullopt;
  std::map<int, std::string> texts;
  for (size_t i = 0; i < lines->size(); ++i) {
    const std::string& line = (*lines)[i];
    const std::string at = where(file, int(i + 1));
    if (line.empty() || line[0] == '#') continue;
    if (line.find_first_not_of(" ") == std::string::npos) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) fail(at + ": expected a number, a tab and the text");
    const std::string digits = line.substr(0, tab);
    if (digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos) {
      fail(at + ": \"" + digits + "\" is not a number");
    }
    const int number = std::stoi(digits);
    if (number < first || number > last) {
      fail(at + ": number " + digits + " is outside " + std::to_string(first) + ".." +
           std::to_string(last));
    }
    std::string text = line.substr(tab + 1);
    for (const char ch : text) {
      if (uint8_t(ch) < 0x20) fail(at + ": the text holds a tab or a control character");
    }
    if (texts.count(number)) fail(at + ": number " + digits + " is given twice");
    if (texts::to_utf16(text).size() > max_units) {
      fail(at + ": the text is longer than " + std::to_string(max_units) + " characters");
    }
    texts.emplace(number, std::move(text));
  }
  return texts;
}

// A panel text file: byte-order mark FF FE, then every line in UTF-16 little-endian followed
// by carriage return and line feed.
inline std::vector<uint8_t> encode_panel_text(const std::vector<std::string>& lines) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  const auto put = [&](char16_t u) {
    bytes.push_back(uint8_t(u & 0xFF));
    bytes.push_back(uint8_t(u >> 8));
  };
  for (const std::string& line : lines) {
    for (const char16_t u : texts::to_utf16(line)) put(u);
    put(u'\r');
    put(u'\n');
  }
  return bytes;
}

// Writes the file through a temporary name in the same folder, so that a reader never sees
// half of it; creates the folders on the way.
inline void write_file(const fs::path& file, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  const fs::path temporary = file.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) fail("cannot write " + temporary.string());
  }
  fs::rename(temporary, file, ec);
  if (ec) fail("cannot rename " + temporary.string() + ": " + ec.message());
}

// Writes files so that those with the same bytes share one copy on the disk: the first is
// written, each later one becomes a hard link to it (a copy where the file system has no
// links). Seeding a panel disk keeps the links, so a language that shares a picture with
// another costs nothing for it.
class SharedFileWriter {
 public:
  void write(const fs::path& file, const std::vector<uint8_t>& bytes) {
    const std::string key(bytes.begin(), bytes.end());
    const auto seen = first_.find(key);
    if (seen != first_.end() && link(seen->second, file)) return;
    write_file(file, bytes);
    if (seen == first_.end()) first_.emplace(key, file);
  }

 private:
  // Links `file` to `existing` through a temporary name, replacing any file there at once.
  static bool link(const fs::path& existing, const fs::path& file) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const fs::path temporary = file.string() + ".link";
    fs::remove(temporary, ec);
    fs::create_hard_link(existing, temporary, ec);
    if (!ec) fs::rename(temporary, file, ec);
    if (!ec) return true;
    fs::remove(temporary, ec);
    return false;
  }

  std::unordered_map<std::string, fs::path> first_;
};

// The languages that have sources (a strings.txt), English first when it is there.
inline std::vector<int> languages_present(const fs::path& source_root) {
  std::vector<int> present;
  for (int i = 0; i < texts::kLanguageCount; ++i) {
    const fs::path dir = source_root / std::string(texts::languages()[i].folder);
    if (fs::exists(dir / "strings.txt")) present.push_back(i);
  }
  return present;
}

inline fs::path source_dir(const fs::path& source_root, int language) {
  return source_root / std::string(texts::languages()[language].folder);
}

inline fs::path output_dir(const fs::path& out_root, int language) {
  return out_root / "Languages" / std::string(texts::languages()[language].folder);
}

// The node ids of the warning pictures and texts, with the warnings files that define their
// warnings: display I/O 1, the fan/heaters all under node 2, main I/O 14, moisture control 15.
struct WarningNode {
  int node_id;
  std::vector<std::string_view> files;
};
inline const std::vector<WarningNode>& warning_nodes() {
  static const std::vector<WarningNode> nodes = {
      {1, {"WarningsDIO.txt"}},
      {2,
       {"WarningsFH1.txt", "WarningsFH2.txt", "WarningsFH3.txt", "WarningsFH4.txt",
        "WarningsFH5.txt", "WarningsFH6.txt"}},
      {14, {"WarningsMIO.txt"}},
      {15, {"WarningsMC.txt"}},
  };
  return nodes;
}

// Warning lines of a source warnings file: W = 0 is the header, 1..999 the warnings.
inline constexpr int kLastWarning = 999;
inline constexpr size_t kWarningUnits = 150;

inline std::optional<std::map<int, std::string>> read_warnings(const fs::path& source_root,
                                                               int language,
                                                               std::string_view file) {
  return read_numbered(source_dir(source_root, language) / "warnings" / std::string(file), 0,
                       kLastWarning, kWarningUnits);
}

// The warning texts of a node for one language, English where the language has none:
// warning number -> text (the first file that defines it, for the fan/heaters).
inline std::map<int, std::string> node_warnings(const fs::path& source_root, int language,
                                                const WarningNode& node) {
  std::map<int, std::string> result;
  for (const std::string_view file : node.files) {
    auto own = read_warnings(source_root, language, file);
    auto english = read_warnings(source_root, texts::kEnglish, file);
    for (const auto* table : {own ? &*own : nullptr, english ? &*english : nullptr}) {
      if (table == nullptr) continue;
      for (const auto& [w, text] : *table) {
        if (w > 0) result.emplace(w, text);
      }
    }
  }
  return result;
}

inline std::string warning_file_stem(int node_id, int warning) {
  char name[48];
  std::snprintf(name, sizeof name, "NID_%02d_WARNING_ID_%02d", node_id, warning);
  return name;
}

}  // namespace corvex::tools
