#include "texts/languages.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "platform/io/files.h"
#include "platform/io/paths.h"

namespace corvex::texts {

namespace {

constexpr std::array<Language, kLanguageCount> kLanguages = {{
    {"English", "EN", "Languages\\EN\\EnglishStrings.txt", 1492, 477},
    {"Bulgarian", "BG", "Languages\\BG\\BulgarianStrings.txt", 1493, 473},
    {"Czech", "CS", "Languages\\CS\\CzechStrings.txt", 1494, 474},
    {"Danish", "DA", "Languages\\DA\\DanishStrings.txt", 1495, 475},
    {"Dutch", "NL", "Languages\\NL\\DutchStrings.txt", 1504, 476},
    {"French", "FR", "Languages\\FR\\FrenchStrings.txt", 1496, 478},
    {"German", "DE", "Languages\\DE\\GermanStrings.txt", 1497, 479},
    {"Hungarian", "HU", "Languages\\HU\\HungarianStrings.txt", 1498, 480},
    {"Polish", "PL", "Languages\\PL\\PolishStrings.txt", 1499, 481},
    {"Portuguese", "PT", "Languages\\PT\\PortugueseStrings.txt", 1500, 482},
    {"Romanian", "RO", "Languages\\RO\\RomanianStrings.txt", 1501, 483},
    {"Russian", "RU", "Languages\\RU\\RussianStrings.txt", 1502, 484},
    {"Spanish", "ES", "Languages\\ES\\SpanishStrings.txt", 1503, 485},
}};

constexpr std::string_view kConfigFile = "CorvexLangConfig.txt";
// The configuration holds one word; anything past this is not a language name anyway.
constexpr size_t kConfigReadLimit = 200;

// Written on the GUI thread, read by any screen; a byte as on the panel.
std::atomic<uint8_t> g_language_index{0};

}  // namespace

std::span<const Language, kLanguageCount> languages() { return kLanguages; }

const Language& language(int index) {
  return index >= 1 && index < kLanguageCount ? kLanguages[index] : kLanguages[kEnglish];
}

std::string_view folder_code(int index) { return language(index).folder; }

int language_index() { return g_language_index.load(std::memory_order_relaxed); }

void set_language_index(int index) {
  g_language_index.store(uint8_t(index >= 0 && index < kLanguageCount ? index : kEnglish),
                         std::memory_order_relaxed);
}

int load_language_selection() {
  platform::File file;
  const bool opened = file.open(platform::disk_rooted(kConfigFile),
                                platform::OpenMode::OpenExisting,
                                platform::Access::Read) == platform::FileStatus::Ok;
  // An empty file is taken for a missing one: it holds no word at all, only the trace of a
  // write that never finished, and is written afresh like a missing file.
  if (!opened || file.size().value_or(0) == 0) {
    file.close();
    save_language_name(kLanguages[kEnglish].name);
    set_language_index(kEnglish);
    return kEnglish;
  }
  char word[kConfigReadLimit];
  const size_t wanted = size_t(std::min<uint64_t>(*file.size(), kConfigReadLimit));
  const size_t got = file.read(word, wanted);
  file.close();
  const std::string_view text(word, got);
  int index = kEnglish;
  for (int i = 0; i < kLanguageCount; ++i) {
    if (kLanguages[i].name == text) {
      index = i;
      break;
    }
  }
  set_language_index(index);
  return index;
}

bool save_language_name(std::string_view name) {
  // Replaced in one step, so that a power cut or a full disk leaves the previous choice whole
  // rather than an empty file that would silently mean English.
  const auto* bytes = reinterpret_cast<const uint8_t*>(name.data());
  return platform::replace_file(platform::disk_rooted(kConfigFile), {bytes, name.size()}) ==
         platform::FileStatus::Ok;
}

}  // namespace corvex::texts
