#pragma once
// Arbitrary bytes as the language configuration file. The word it holds selects the language
// only when it is a language's name exactly; an empty file is written afresh holding "English";
// any other content selects English and is left as it was. Switching to the language selected
// then loads its tables (missing here, so the English fallbacks are tried) and rewrites the
// file with the language's name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/io/paths.h"
#include "texts/languages.h"
#include "texts/texts.h"

namespace corvex::fuzzing {

inline const char* fuzz_language_config_input(const uint8_t* data, size_t size) {
  using namespace corvex::texts;
  const std::string disk = scratch_dir("langconfig");
  empty_dir(disk);
  platform::set_disk_root(disk);
  const std::string path = disk + "/CorvexLangConfig.txt";
  write_file(path, data, size);
  const std::string_view word(reinterpret_cast<const char*>(data), size);

  reset_texts();
  const int index = load_language_selection();
  if (index < 0 || index >= kLanguageCount || index != language_index()) {
    return "the selection is not a language";
  }
  int named = -1;
  for (int i = 0; i < kLanguageCount; ++i) {
    if (languages()[size_t(i)].name == word) named = i;
  }
  const std::vector<uint8_t> after = read_file(path);
  const std::string_view after_word(reinterpret_cast<const char*>(after.data()), after.size());
  if (named >= 0) {
    if (index != named) return "a language's name does not select it";
    if (after_word != word) return "a good configuration file was changed";
  } else if (size == 0) {
    if (index != kEnglish || after_word != "English") return "an empty file is not made English";
  } else {
    if (index != kEnglish) return "a word naming no language does not give English";
    if (after_word != word) return "an unknown word was overwritten";
  }

  set_language(index);
  const std::vector<uint8_t> saved = read_file(path);
  if (std::string_view(reinterpret_cast<const char*>(saved.data()), saved.size()) !=
      language(index).name) {
    return "the switch did not write the language's name";
  }
  return nullptr;
}

}  // namespace corvex::fuzzing
