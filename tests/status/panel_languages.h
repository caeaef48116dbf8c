#pragma once
// The thirteen string tables of the panel, written from the language sources (data/lang) into a
// temporary disk, so that a status-display test can switch through every language without the
// generated panel data. Also the ink measure that the fit tests use: where a text really put its
// pixels, so that a clipped accent or a lost unit shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/geometry.h"
#include "tests/texts/text_test_support.h"
#include "texts/languages.h"
#include "texts/texts.h"
#include "texts/utf16.h"

namespace corvex::status::testing {

class PanelLanguages {
 public:
  PanelLanguages() {
    for (const texts::Language& l : texts::languages()) write_table(l);
    disk_.write_text("CorvexLangConfig.txt", "English");
  }

  // Switches the texts to language `index` (0..12).
  void use(int index) { texts::set_language(index); }
  static std::string name(int index) { return std::string(texts::language(index).name); }

 private:
  // The source's "N<TAB>text" lines become line N of the UTF-16 table.
  void write_table(const texts::Language& l) {
    const std::string source =
        std::string(CORVEX_SOURCE_DIR) + "/data/lang/" + std::string(l.folder) + "/strings.txt";
    std::ifstream in(source);
    ASSERT_TRUE(in) << source;
    std::map<int, std::string> numbered;
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t tab = line.find('\t');
      if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
      numbered[std::stoi(line.substr(0, tab))] = line.substr(tab + 1);
    }
    ASSERT_FALSE(numbered.empty()) << source;
    std::vector<std::u16string> lines(size_t(numbered.rbegin()->first));
    for (const auto& [n, text] : numbered) lines[size_t(n - 1)] = texts::to_utf16(text);
    std::string relative(l.strings_file);
    for (char& c : relative) c = c == '\\' ? '/' : c;
    disk_.write_lines(relative, lines);
  }

  texts::testing::TempDisk disk_;
};

// The smallest rectangle that holds every pixel of `bm` that is not `background`; empty when
// there is none.
inline platform::Rect ink_box(const platform::Bitmap& bm, platform::Color background) {
  platform::Rect box{bm.width(), bm.height(), 0, 0};
  for (int y = 0; y < bm.height(); ++y) {
    for (int x = 0; x < bm.width(); ++x) {
      if (bm.pixel(x, y) == background) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box.left < box.right ? box : platform::Rect{};
}

}  // namespace corvex::status::testing
