// A check of the panel disk data as the build wrote it (build/data/Languages): the byte format
// the loaders read, string N on line N of the source, every language filling the same string
// numbers and warning lines as English, the code at the head of every warning text, a picture
// and a text for every warning, every button image in every language at its size with a label
// that fits, and the texts of the warning window and the dialogs fitting their places. Also the
// generators: the same data on every run, and a malformed source stops them with its line.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "platform/gfx/bmp.h"
#include "platform/gfx/canvas.h"
#include "platform/gui/controls.h"
#include "texts/localized_bitmaps.h"
#include "texts/texts.h"
#include "tools/button_art.h"

namespace corvex::texts {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(CORVEX_BUILD_DIR) / "data" / "Languages";
const fs::path kSources = fs::path(CORVEX_SOURCE_DIR) / "data" / "lang";

std::vector<uint8_t> read_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a panel text file, decoded by hand; fails the test on a wrong byte-order mark,
// an odd length or a line end that is not CR LF.
std::vector<std::u16string> panel_lines(const fs::path& p) {
  const auto bytes = read_bytes(p);
  std::vector<std::u16string> lines;
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE || bytes.size() % 2 != 0) {
    ADD_FAILURE() << p << ": not UTF-16 little-endian with byte-order mark";
    return lines;
  }
  std::u16string line;
  for (size_t i = 2; i < bytes.size(); i += 2) {
    const char16_t u = char16_t(bytes[i] | (bytes[i + 1] << 8));
    if (u == u'\r') {
      if (i + 3 >= bytes.size() || bytes[i + 2] != 0x0A || bytes[i + 3] != 0) {
        ADD_FAILURE() << p << ": a carriage return without its line feed";
      }
      lines.push_back(line);
      line.clear();
      i += 2;
    } else if (u == u'\n') {
      ADD_FAILURE() << p << ": a line feed without carriage return";
      return lines;
    } else {
      line.push_back(u);
    }
  }
  if (!line.empty()) ADD_FAILURE() << p << ": the last line has no line end";
  return lines;
}

std::set<size_t> filled(const std::vector<std::u16string>& lines) {
  std::set<size_t> numbers;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].empty()) numbers.insert(i + 1);
  }
  return numbers;
}

std::vector<std::string> language_folders() {
  std::vector<std::string> present;
  for (const Language& l : languages()) {
    if (fs::exists(kData / std::string(l.folder))) present.emplace_back(l.folder);
  }
  return present;
}

const Language& language_of_folder(const std::string& folder) {
  for (const Language& l : languages()) {
    if (l.folder == folder) return l;
  }
  return languages()[0];
}

class PanelData : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kData / "EN")) {
      GTEST_SKIP() << "no built panel data in " << kData << " (build the panel_data target)";
    }
  }
  static std::vector<std::u16string> strings_of(const std::string& folder) {
    return panel_lines(kData / folder / (std::string(language_of_folder(folder).name) + "Strings.txt"));
  }
};

// The source's "N<TAB>text" lines, read independently of the generator.
std::map<int, std::string> source_numbered(const fs::path& p) {
  std::map<int, std::string> texts;
  std::ifstream in(p);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    texts[std::stoi(line.substr(0, tab))] = line.substr(tab + 1);
  }
  return texts;
}

TEST_F(PanelData, EnglishStringNIsLineNOfTheFile) {
  const auto lines = strings_of("EN");
  const auto source = source_numbered(kSources / "EN" / "strings.txt");
  ASSERT_FALSE(source.empty());
  EXPECT_EQ(lines.size(), size_t(source.rbegin()->first));
  for (size_t n = 1; n <= lines.size(); ++n) {
    const auto it = source.find(int(n));
    EXPECT_EQ(to_utf8(lines[n - 1]), it == source.end() ? "" : it->second) << "string " << n;
  }
  EXPECT_LE(read_bytes(kData / "EN" / "EnglishStrings.txt").size(), kStringFileLimit);
}

TEST_F(PanelData, EveryLanguageFillsWhatEnglishFills) {
  const auto english = filled(strings_of("EN"));
  for (const std::string& folder : language_folders()) {
    const fs::path table =
        kData / folder / (std::string(language_of_folder(folder).name) + "Strings.txt");
    EXPECT_LE(fs::file_size(table), kStringFileLimit) << table;
    const auto lines = strings_of(folder);
    EXPECT_EQ(filled(lines), english) << folder;
    for (size_t n = 0; n < lines.size(); ++n) {
      EXPECT_LE(lines[n].size(), size_t(kStringLookupLimit)) << folder << " string " << n + 1;
    }
    for (const std::string_view name : warning_file_names()) {
      const auto en = panel_lines(kData / "EN" / std::string(name));
      const auto own = panel_lines(kData / folder / std::string(name));
      EXPECT_EQ(own.size(), en.size()) << folder << " " << name;
      EXPECT_EQ(filled(own), filled(en)) << folder << " " << name;
      EXPECT_LE(fs::file_size(kData / folder / std::string(name)), kWarningFileLimit);
    }
  }
}

// The node code a warnings file's texts begin with: display I/O 01, fan/heater k 0(k+1), main
// I/O 0E, moisture control 0F; then the warning number, both as two hexadecimal digits.
int node_code_of_file(size_t table) { return table == 7 ? 14 : table == 8 ? 15 : int(table) + 1; }

TEST_F(PanelData, WarningTextsBeginWithTheirCodeAndHaveAPictureAndAText) {
  for (const std::string& folder : language_folders()) {
    for (size_t t = 0; t < warning_file_names().size(); ++t) {
      const std::string name(warning_file_names()[t]);
      const auto lines = panel_lines(kData / folder / name);
      for (size_t w = 1; w < lines.size(); ++w) {
        if (lines[w].empty()) continue;
        char code[8];
        std::snprintf(code, sizeof code, "%02X%02X", node_code_of_file(t), int(w));
        EXPECT_EQ(to_utf8(lines[w].substr(0, 4)), code) << folder << " " << name << " line " << w + 1;
        const int node = t >= 1 && t <= 6 ? 2 : node_code_of_file(t);
        char stem[48];
        std::snprintf(stem, sizeof stem, "NID_%02d_WARNING_ID_%02d", node, int(w));
        const fs::path base = kData / folder / "WarningBitmaps" / stem;
        const auto picture = platform::read_bmp_file(base.string() + ".bmp");
        ASSERT_TRUE(picture.has_value()) << base;
        EXPECT_EQ(picture->size(), (platform::Size{500, 400}));
        ASSERT_TRUE(fs::exists(base.string() + ".txt")) << base;
        EXPECT_LE(fs::file_size(base.string() + ".txt"), 16384u);
        EXPECT_FALSE(panel_lines(base.string() + ".txt").empty());
      }
    }
  }
}

TEST_F(PanelData, EveryButtonImageExistsAtItsSizeWithALabelThatFits) {
  const auto english_labels = source_numbered(kSources / "EN" / "buttons.txt");
  for (const std::string& folder : language_folders()) {
    auto labels = source_numbered(kSources / folder / "buttons.txt");
    for (int i = 1; i < kLocalizedBitmapCount; ++i) {
      const fs::path file = kData / folder / "Bitmaps" / std::string(localized_bitmap_name(i));
      const auto image = platform::read_bmp_file(file.string());
      ASSERT_TRUE(image.has_value()) << file;
      EXPECT_EQ(image->size(), localized_bitmap_size(i)) << file;
      if (i > kLastLabelledBitmap) continue;
      const std::string label = labels.count(i) ? labels[i] : english_labels.at(i);
      EXPECT_GT(tools::label_font_for(label, localized_bitmap_size(i)), 0)
          << folder << " button " << i << " \"" << label << "\" does not fit "
          << localized_bitmap_size(i).width << " x " << localized_bitmap_size(i).height;
    }
  }
}

platform::Size measure(std::string_view text, const platform::FontSpec& f, int wrap = 0) {
  platform::Bitmap scratch(1, 1);
  platform::Canvas c(scratch);
  return c.measure_text(text, wrap, f,
                        wrap > 0 ? platform::text_format::kWordBreak : platform::text_format::kSingleLine);
}

TEST_F(PanelData, TheWindowsTextsFitTheirPlaces) {
  struct Place {
    int number;
    platform::FontSpec font;
    int width;
  };
  // The warning window (its headlines, the description lines, the lost-link text up to the
  // cabinet picture) and the help viewer's button.
  const Place places[] = {{330, {40, 900}, 525}, {339, {30, 900}, 525}, {331, {16, 900}, 550},
                          {332, {16, 900}, 550}, {333, {16, 900}, 550}, {334, {16, 900}, 550},
                          {335, {16, 900}, 550}, {336, {16, 900}, 550}, {337, {16, 900}, 550},
                          {338, {24, 700}, 266}, {145, platform::gui::kControlFont, 100}};
  for (const std::string& folder : language_folders()) {
    const auto lines = strings_of(folder);
    const auto text = [&](int n) { return n <= int(lines.size()) ? to_utf8(lines[n - 1]) : ""; };
    for (const Place& p : places) {
      EXPECT_LE(measure(text(p.number), p.font).width, p.width)
          << folder << " string " << p.number << " \"" << text(p.number) << "\"";
    }
    EXPECT_LE(measure(text(462) + ": 99:59", {40, 900}).width, 525) << folder << " string 462";
    for (const Language& l : languages()) {
      const std::string label = text(l.name_string) + "\n(" + std::string(l.name) + ")";
      const platform::Size s = measure(label, {16, 700}, 1000);
      EXPECT_LE(s.width, 188) << folder << " " << label;
      EXPECT_LE(s.height, 56) << folder << " " << label;
    }
    for (const std::string_view name : warning_file_names()) {
      const auto warnings = panel_lines(kData / folder / std::string(name));
      for (size_t w = 1; w < warnings.size(); ++w) {
        const std::u16string& t = warnings[w];
        if (t.size() < 61) {
          EXPECT_LE(measure(to_utf8(t), {14, 300}).width, 600) << folder << " " << name;
          continue;
        }
        std::array<char16_t, 160> a;
        std::array<char16_t, 160> b;
        two_line_split(std::u16string_view(t).substr(0, kWarningLookupLimit), a, b, 99);
        EXPECT_FALSE(std::u16string(b.data()).empty()) << folder << " " << name << " line " << w + 1;
        EXPECT_LE(measure(to_utf8(a.data()), {14, 300}).width, 600) << folder << " " << name;
        EXPECT_LE(measure(to_utf8(b.data()), {14, 300}).width, 600) << folder << " " << name;
      }
    }
  }
}

// Runs a program and returns its exit status; its standard error goes to `err`.
int run(const std::string& command, std::string& err) {
  const std::string log = fs::temp_directory_path() / "corvex_generator_stderr.txt";
  const int status = std::system((command + " 2>" + log).c_str());
  std::ifstream in(log);
  err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return status;
}

std::map<std::string, std::vector<uint8_t>> tree(const fs::path& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = read_bytes(e.path());
  }
  return files;
}

TEST(Generators, SameDataOnEveryRunAndMalformedSourcesStop) {
  const fs::path tool = fs::path(CORVEX_BUILD_DIR) / "make_language_files";
  if (!fs::exists(tool)) GTEST_SKIP() << "generator not built";
  const fs::path scratch = fs::temp_directory_path() / "corvex_generator_test";
  fs::remove_all(scratch);
  std::string err;
  for (const char* out : {"a", "b"}) {
    ASSERT_EQ(run(tool.string() + " " + kSources.string() + " " + (scratch / out).string(), err), 0)
        << err;
  }
  const auto a = tree(scratch / "a");
  EXPECT_FALSE(a.empty());
  EXPECT_TRUE(a == tree(scratch / "b"));

  const fs::path bad = scratch / "bad" / "EN";
  fs::create_directories(bad);
  std::ofstream(bad / "strings.txt") << "# a comment\n1\tOne\n2 no tab here\n";
  EXPECT_NE(run(tool.string() + " " + (scratch / "bad").string() + " " + (scratch / "c").string(), err), 0);
  EXPECT_NE(err.find("strings.txt:3"), std::string::npos) << err;

  std::ofstream(bad / "strings.txt", std::ios::trunc) << "1\tOne\n1\tAgain\n";
  EXPECT_NE(run(tool.string() + " " + (scratch / "bad").string() + " " + (scratch / "c").string(), err), 0);
  EXPECT_NE(err.find("strings.txt:2"), std::string::npos) << err;

  // A table that cannot fit the 32768 bytes the panel reads is refused with a clear message.
  {
    std::ofstream big(bad / "strings.txt", std::ios::trunc);
    for (int n = 1; n <= 400; ++n) big << n << '\t' << std::string(60, 'x') << '\n';
  }
  EXPECT_NE(run(tool.string() + " " + (scratch / "bad").string() + " " + (scratch / "c").string(), err), 0);
  EXPECT_NE(err.find("32768"), std::string::npos) << err;
  fs::remove_all(scratch);
}

}  // namespace
}  // namespace corvex::texts
