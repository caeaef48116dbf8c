// Generator of the panel's language text files: for every language that has sources in
// data/lang/CODE/, the string table, the nine warnings files, the help files and the help text
// of every warning, as UTF-16 little-endian files with byte-order mark and CR LF line ends,
// with string N on line N.
//
//   make_language_files SOURCE_ROOT OUT_ROOT
//
// SOURCE_ROOT holds the CODE folders (data/lang); the files go to OUT_ROOT/Languages/CODE/.
#include <algorithm>
#include <set>

#include "texts/texts.h"
#include "tools/generator_support.h"

namespace {

using namespace corvex;
using namespace corvex::tools;

constexpr size_t kStringUnits = 150;
constexpr size_t kWarningHelpLimit = 16384;  // bytes the help viewer reads of a warning's text
// The screens read a help file into a buffer of 1999 characters, byte-order mark included.
constexpr size_t kHelpFileShown = (1999 - 1) * 2;

void check_size(const fs::path& file, const std::vector<uint8_t>& bytes, size_t limit) {
  if (bytes.size() > limit) {
    fail(file.string() + " would be " + std::to_string(bytes.size()) +
         " bytes, more than the panel reads (" + std::to_string(limit) + "); shorten its texts");
  }
}

// The lines 1..N of a numbered table (or 0..N for the warnings), each the language's own text,
// else the English one, else empty.
std::vector<std::string> numbered_lines(const std::map<int, std::string>* own,
                                        const std::map<int, std::string>* english, int first,
                                        const std::string& what) {
  int last = first - 1;
  for (const auto* t : {own, english}) {
    if (t != nullptr && !t->empty()) last = std::max(last, t->rbegin()->first);
  }
  std::vector<std::string> lines;
  int borrowed = 0;
  for (int n = first; n <= last; ++n) {
    if (own != nullptr && own->count(n)) {
      lines.push_back(own->at(n));
    } else if (english != nullptr && english->count(n)) {
      lines.push_back(english->at(n));
      ++borrowed;
    } else {
      lines.push_back("");
    }
  }
  if (borrowed > 0 && own != english) {
    note(what + ": " + std::to_string(borrowed) + " texts not translated, English used");
  }
  return lines;
}

void write_string_table(const fs::path& src, const fs::path& out, int language) {
  const auto english = read_numbered(source_dir(src, texts::kEnglish) / "strings.txt", 1,
                                     texts::kStringCount, kStringUnits);
  const auto own = read_numbered(source_dir(src, language) / "strings.txt", 1,
                                 texts::kStringCount, kStringUnits);
  const texts::Language& lang = texts::languages()[language];
  const std::vector<std::string> lines =
      numbered_lines(own ? &*own : nullptr, english ? &*english : nullptr, 1,
                     std::string(lang.folder) + " strings");
  const fs::path file = output_dir(out, language) / (std::string(lang.name) + "Strings.txt");
  const auto bytes = encode_panel_text(lines);
  check_size(file, bytes, texts::kStringFileLimit);
  write_file(file, bytes);
}

void write_warnings_files(const fs::path& src, const fs::path& out, int language) {
  for (const std::string_view name : texts::warning_file_names()) {
    const auto english = read_warnings(src, texts::kEnglish, name);
    const auto own = read_warnings(src, language, name);
    if (!own && !english) {
      note(std::string(texts::languages()[language].folder) + ": no source for " +
           std::string(name));
      continue;
    }
    const std::vector<std::string> lines = numbered_lines(
        own ? &*own : nullptr, english ? &*english : nullptr, 0,
        std::string(texts::languages()[language].folder) + " " + std::string(name));
    const fs::path file = output_dir(out, language) / std::string(name);
    const auto bytes = encode_panel_text(lines);
    check_size(file, bytes, texts::kWarningFileLimit);
    write_file(file, bytes);
  }
}

std::set<std::string> text_files_in(const fs::path& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.is_regular_file() && entry.path().extension() == ".txt") {
      names.insert(entry.path().filename().string());
    }
  }
  return names;
}

void write_help_files(const fs::path& src, const fs::path& out, int language) {
  const fs::path own_dir = source_dir(src, language) / "help";
  const fs::path english_dir = source_dir(src, texts::kEnglish) / "help";
  std::set<std::string> names = text_files_in(english_dir);
  names.merge(text_files_in(own_dir));
  for (const std::string& name : names) {
    auto lines = read_lines(own_dir / name);
    if (!lines) {
      lines = read_lines(english_dir / name);
      note(std::string(texts::languages()[language].folder) + ": " + name +
           " not translated, English used");
    }
    const fs::path file = output_dir(out, language) / name;
    const auto bytes = encode_panel_text(*lines);
    check_size(file, bytes, kWarningHelpLimit);
    if (bytes.size() > kHelpFileShown) {
      note(file.string() + " is longer than the 1999 characters the screens show of it");
    }
    write_file(file, bytes);
  }
}

// The help viewer's text of every warning a warnings file defines: the language's own, else
// the English one, else the warning's own line so that the viewer never comes up empty.
void write_warning_help(const fs::path& src, const fs::path& out, int language) {
  for (const WarningNode& node : warning_nodes()) {
    for (const auto& [w, text] : node_warnings(src, language, node)) {
      const std::string stem = warning_file_stem(node.node_id, w) + ".txt";
      auto lines = read_lines(source_dir(src, language) / "warning_help" / stem);
      if (!lines) lines = read_lines(source_dir(src, texts::kEnglish) / "warning_help" / stem);
      if (!lines) {
        note(std::string(texts::languages()[language].folder) + ": no help text for " + stem);
        lines = std::vector<std::string>{text};
      }
      const fs::path file = output_dir(out, language) / "WarningBitmaps" / stem;
      const auto bytes = encode_panel_text(*lines);
      check_size(file, bytes, kWarningHelpLimit);
      write_file(file, bytes);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_language_files SOURCE_ROOT OUT_ROOT\n");
    return 2;
  }
  const fs::path src = argv[1];
  const fs::path out = argv[2];
  for (const int language : languages_present(src)) {
    write_string_table(src, out, language);
    write_warnings_files(src, out, language);
    write_help_files(src, out, language);
    write_warning_help(src, out, language);
  }
  return 0;
}
