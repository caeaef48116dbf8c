#pragma once
// A panel disk in a temporary folder for the text tests, and language files built byte by
// byte (not with the generators' encoder), so that the loaders are checked against the format
// itself.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "link/dryer_state.h"
#include "platform/io/paths.h"
#include "texts/texts.h"

namespace corvex::texts::testing {

namespace fs = std::filesystem;

// UTF-16 little-endian bytes of a text, with the byte-order mark FF FE in front when asked.
inline std::vector<uint8_t> utf16le(std::u16string_view text, bool byte_order_mark = true) {
  std::vector<uint8_t> bytes;
  if (byte_order_mark) bytes = {0xFF, 0xFE};
  for (const char16_t u : text) {
    bytes.push_back(uint8_t(u & 0xFF));
    bytes.push_back(uint8_t(u >> 8));
  }
  return bytes;
}

// Lines joined with CR LF, each line ended.
inline std::u16string crlf_lines(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (const auto& line : lines) text += line + u"\r\n";
  return text;
}

// A fresh folder standing for "\Hard Disk", removed again at the end of the test, with the
// text state and the dryer state back at their start values.
class TempDisk {
 public:
  TempDisk() {
    char pattern[] = "/tmp/corvex_texts_XXXXXX";
    root_ = mkdtemp(pattern);
    platform::set_disk_root(root_);
    reset_texts();
    link::reset_dryer_state();
  }
  ~TempDisk() {
    std::error_code ec;
    fs::remove_all(root_, ec);
    platform::set_disk_root("");
    reset_texts();
  }
  TempDisk(const TempDisk&) = delete;
  TempDisk& operator=(const TempDisk&) = delete;

  const std::string& root() const { return root_; }
  fs::path path(const std::string& relative) const { return fs::path(root_) / relative; }

  void write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
    const fs::path p = path(relative);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  void write_text(const std::string& relative, std::string_view text) const {
    write(relative, std::vector<uint8_t>(text.begin(), text.end()));
  }
  void write_lines(const std::string& relative, const std::vector<std::u16string>& lines) const {
    write(relative, utf16le(crlf_lines(lines)));
  }
  std::string read_text(const std::string& relative) const {
    std::ifstream in(path(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string root_;
};

// A table whose line N is `prefix` followed by N, for lines 1..count.
inline std::vector<std::u16string> numbered_lines(int count, std::u16string_view prefix) {
  std::vector<std::u16string> lines;
  for (int n = 1; n <= count; ++n) {
    std::u16string line(prefix);
    for (const char ch : std::to_string(n)) line.push_back(char16_t(ch));
    lines.push_back(line);
  }
  return lines;
}

}  // namespace corvex::texts::testing
