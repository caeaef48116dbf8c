// The language files as the panel reads them: the string-table format with its line rules,
// the read limits, malformed files, the configuration file, the lazy load, the fallbacks of
// missing files, the lookups and their character limits, and the two-line split.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/texts/text_test_support.h"
#include "texts/languages.h"
#include "texts/texts.h"

namespace corvex::texts {
namespace {

using testing::crlf_lines;
using testing::numbered_lines;
using testing::TempDisk;
using testing::utf16le;

constexpr char kEnglishTable[] = "Languages/EN/EnglishStrings.txt";
constexpr char kGermanTable[] = "Languages/DE/GermanStrings.txt";

std::vector<TextEntry> entries_holding(size_t n, std::u16string_view text) {
  std::vector<TextEntry> entries(n);
  for (TextEntry& e : entries) {
    std::copy(text.begin(), text.end(), e.text.begin());
    e.text[text.size()] = 0;
  }
  return entries;
}

size_t parse(const std::vector<uint8_t>& bytes, std::vector<TextEntry>& entries) {
  return parse_text_lines(bytes, entries);
}

TEST(StringTableParser, LineRulesOfCarriageReturnAndLineFeed) {
  auto entries = entries_holding(5, u"old");
  // "abc" CR "def" LF keeps "abc"; a bare LF ends a line; CR LF is the usual end; the last
  // line has no line feed and is not stored.
  const auto bytes = utf16le(u"abc\rdef\nplain\nwith crlf\r\nempty next\r\n\r\nunfinished");
  EXPECT_EQ(parse(bytes, entries), 5u);
  EXPECT_EQ(entries[0].view(), u"abc");
  EXPECT_EQ(entries[1].view(), u"plain");
  EXPECT_EQ(entries[2].view(), u"with crlf");
  EXPECT_EQ(entries[3].view(), u"empty next");
  EXPECT_EQ(entries[4].view(), u"");

  auto more = entries_holding(3, u"old");
  EXPECT_EQ(parse(utf16le(u"one\r\ntwo"), more), 1u);
  EXPECT_EQ(more[0].view(), u"one");
  EXPECT_EQ(more[1].view(), u"old") << "an unfinished last line must not replace an entry";
}

TEST(StringTableParser, LongLinesAreCutAndExtraLinesIgnored) {
  std::vector<TextEntry> entries(2);
  const std::u16string long_line(151, u'x');
  const auto bytes = utf16le(crlf_lines({long_line + u"y", u"second", u"third"}));
  EXPECT_EQ(parse(bytes, entries), 2u);
  EXPECT_EQ(entries[0].view(), std::u16string(150, u'x'));
  EXPECT_EQ(entries[1].view(), u"second");
}

TEST(StringTableParser, MalformedFilesLoadWhatTheyCanWithoutCrashing) {
  std::vector<TextEntry> entries(4);
  EXPECT_EQ(parse({}, entries), 0u);
  EXPECT_EQ(parse({0xFF}, entries), 0u);
  EXPECT_EQ(parse({0xFF, 0xFE}, entries), 0u);
  // Odd length: the stray last byte is not a code unit.
  auto odd = utf16le(u"ab\r\n");
  odd.push_back(0x0A);
  EXPECT_EQ(parse(odd, entries), 1u);
  EXPECT_EQ(entries[0].view(), u"ab");
  // Without a byte-order mark the first code unit is taken for one and skipped.
  EXPECT_EQ(parse(utf16le(u"xyz\r\nnext\r\n", false), entries), 2u);
  EXPECT_EQ(entries[0].view(), u"yz");
  EXPECT_EQ(entries[1].view(), u"next");
  // A truncated file ends inside a line: the lines before it are there.
  const auto whole = utf16le(u"first\r\nsecond\r\n");
  EXPECT_EQ(parse(std::vector<uint8_t>(whole.begin(), whole.end() - 5), entries), 1u);
}

TEST(Utf16Conversion, LoneSurrogatesBecomeReplacementCharacters) {
  char out[32];
  const char16_t lone_high[] = {u'a', 0xD800, u'b', 0};
  utf16_to_utf8(lone_high, 10, out);
  EXPECT_STREQ(out, "a\xEF\xBF\xBD" "b");
  const char16_t lone_low[] = {0xDC00, 0};
  utf16_to_utf8(lone_low, 10, out);
  EXPECT_STREQ(out, "\xEF\xBF\xBD");
  const char16_t pair[] = {u'x', 0xD83D, 0xDE00, 0};  // U+1F600
  utf16_to_utf8(pair, 10, out);
  EXPECT_STREQ(out, "x\xF0\x9F\x98\x80");
  // The unit limit falls inside the pair: the pair is left out whole.
  utf16_to_utf8(pair, 2, out);
  EXPECT_STREQ(out, "x");
  // A buffer too small for the next character stops before it.
  char tiny[4];
  utf16_to_utf8(u"\u00E9\u00E9", 10, tiny);
  EXPECT_STREQ(tiny, "\xC3\xA9");
}

TEST(LanguageSelection, ConfigurationFileRules) {
  TempDisk disk;
  // Missing file: English, and the file is created holding exactly "English".
  EXPECT_EQ(load_language_selection(), 0);
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "English");

  disk.write_text("CorvexLangConfig.txt", "German");
  EXPECT_EQ(load_language_selection(), 6);
  EXPECT_EQ(language_index(), 6);

  // A line end makes it name no language; the file is left as it is.
  disk.write_text("CorvexLangConfig.txt", "German\r\n");
  EXPECT_EQ(load_language_selection(), 0);
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "German\r\n");

  disk.write_text("CorvexLangConfig.txt", "german");
  EXPECT_EQ(load_language_selection(), 0) << "names compare case-sensitively";
  disk.write_text("CorvexLangConfig.txt", std::string(5000, 'x'));
  EXPECT_EQ(load_language_selection(), 0);
}

TEST(LanguageSelection, TableAndFolders) {
  EXPECT_EQ(folder_code(4), "NL");
  EXPECT_EQ(language(4).button_id, 1504);
  EXPECT_EQ(folder_code(13), "EN");
  EXPECT_EQ(folder_code(-1), "EN");
  EXPECT_EQ(language(11).strings_file, "Languages\\RU\\RussianStrings.txt");
  for (int i = 0; i < kLanguageCount; ++i) {
    const Language& l = languages()[i];
    EXPECT_EQ(l.strings_file,
              "Languages\\" + std::string(l.folder) + "\\" + std::string(l.name) + "Strings.txt");
  }
}

TEST(StringTable, LazyLoadReadsSelectionThenTables) {
  TempDisk disk;
  disk.write_text("CorvexLangConfig.txt", "German");
  disk.write_lines(kGermanTable, {u"Eins", u"Zwei \u00C4"});
  disk.write_lines(kEnglishTable, {u"One", u"Two"});
  EXPECT_FALSE(texts_loaded());
  EXPECT_EQ(localized_text(2), "Zwei \xC3\x84");
  EXPECT_TRUE(texts_loaded());
  EXPECT_EQ(language_index(), 6);
}

TEST(StringTable, TwelveHundredLinesFillTheThousandEntries) {
  TempDisk disk;
  disk.write_lines(kEnglishTable, numbered_lines(1200, u"s"));
  EXPECT_TRUE(load_string_table());
  EXPECT_EQ(string_entry(1), u"s1");
  EXPECT_EQ(string_entry(1000), u"s1000");
  EXPECT_EQ(string_entry(1001), u"");
}

TEST(StringTable, LookupLimitsAndNumbersOutsideTheTable) {
  TempDisk disk;
  disk.write_lines(kEnglishTable, {std::u16string(151, u'L'), u"short"});
  StringBuffer buffer;
  ASSERT_TRUE(localized_string(1, buffer));
  EXPECT_EQ(std::string(buffer.data()), std::string(100, 'L'));
  EXPECT_EQ(string_entry(1).size(), 150u);

  std::strcpy(buffer.data(), "untouched");
  EXPECT_FALSE(localized_string(0, buffer));
  EXPECT_STREQ(buffer.data(), "untouched");
  EXPECT_FALSE(localized_string(1001, buffer));
  EXPECT_STREQ(buffer.data(), "untouched");
  ASSERT_TRUE(localized_string(999, buffer));
  EXPECT_STREQ(buffer.data(), "") << "a string never loaded copies as an empty text";
}

TEST(StringTable, ReadLimitStopsAt32768Bytes) {
  TempDisk disk;
  // 3000 lines of 10 units with CR LF: 24 bytes each, 72002 bytes in all.
  std::vector<std::u16string> lines;
  for (int i = 0; i < 3000; ++i) lines.push_back(u"0123456789");
  disk.write_lines(kEnglishTable, lines);
  load_string_table();
  // (32768 - 2) / 24 = 1365 whole lines fit, but only 1000 entries exist anyway; check the
  // limit with the warnings limit instead, which is smaller than 1000 such lines.
  EXPECT_EQ(string_entry(1000), u"0123456789");

  std::vector<std::u16string> warnings;
  for (int i = 0; i < 1500; ++i) warnings.push_back(u"0123456789");
  disk.write_lines("Languages/EN/WarningsDIO.txt", warnings);
  load_warning_texts();
  const int whole = (26000 - 2) / 24;  // 1083 lines: more than the 1000 entries
  EXPECT_GT(whole, 999);
  EXPECT_EQ(warning_entry(0, 999), u"0123456789");
  EXPECT_EQ(warning_entry(0, 1000), u"") << "entry 1000 of a node is never filled";

  // A file larger than the limit whose lines cross it: the line cut by the limit is lost.
  std::vector<std::u16string> long_lines;
  for (int i = 0; i < 300; ++i) long_lines.push_back(std::u16string(140, char16_t(u'A' + i % 26)));
  disk.write_lines("Languages/EN/WarningsMC.txt", long_lines);
  load_warning_texts();
  const int fit = (26000 - 2) / (142 * 2);  // 91 whole lines of 284 bytes
  EXPECT_EQ(warning_entry(8, fit - 1).size(), 140u);
  EXPECT_EQ(warning_entry(8, fit), u"");
}

TEST(StringTable, SwitchFrom900To800LinesKeepsTheOldTail) {
  TempDisk disk;
  disk.write_lines(kEnglishTable, numbered_lines(900, u"en"));
  disk.write_lines(kGermanTable, numbered_lines(800, u"de"));
  set_language(0);
  EXPECT_EQ(string_entry(900), u"en900");
  set_language(6);
  EXPECT_EQ(string_entry(800), u"de800");
  EXPECT_EQ(string_entry(801), u"en801");
  EXPECT_EQ(string_entry(900), u"en900");
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "German");
  set_language(40);
  EXPECT_EQ(disk.read_text("CorvexLangConfig.txt"), "English");
  EXPECT_EQ(language_index(), 0);
}

TEST(StringTable, MissingFilesFallBackToEnglishOrKeepTheTable) {
  TempDisk disk;
  disk.write_text("CorvexLangConfig.txt", "French");
  disk.write_lines(kEnglishTable, {u"One"});
  EXPECT_EQ(localized_text(1), "One") << "the selected language has no table: English";

  std::filesystem::remove(disk.path(kEnglishTable));
  EXPECT_FALSE(load_string_table());
  EXPECT_EQ(localized_text(1), "One") << "with both missing the table stays as it was";
}

TEST(WarningTexts, NodeTypesTablesAndTheFirstLine) {
  TempDisk disk;
  disk.write_lines("Languages/EN/WarningsFH2.txt",
                   {u"header", u"0301 one", u"0302 two", u"0303 three", u"0304 four"});
  disk.write_lines("Languages/EN/WarningsMC.txt", {u"header", u"0F01 sensor"});
  EXPECT_EQ(warning_text(3, 3), "0303 three") << "warning 3 of type 3 is line 4 of FH2";
  EXPECT_EQ(warning_text(15, 1), "0F01 sensor");
  EXPECT_EQ(warning_table_of_node(1), 0);
  EXPECT_EQ(warning_table_of_node(7), 6);
  EXPECT_EQ(warning_table_of_node(14), 7);
  EXPECT_EQ(warning_table_of_node(8), -1);
  EXPECT_EQ(warning_table_of_node(0), -1);

  // Nothing copied: W = 0, T = 0 or a type without a table leave the buffer, except its last
  // byte, which is always a terminator.
  WarningBuffer buffer;
  buffer.fill('z');
  EXPECT_FALSE(warning_text(3, 0, buffer));
  EXPECT_EQ(buffer[0], 'z');
  EXPECT_EQ(buffer.back(), '\0');
  buffer.fill('z');
  EXPECT_FALSE(warning_text(9, 1, buffer));
  EXPECT_EQ(buffer[10], 'z');
  EXPECT_FALSE(warning_text(0, 1, buffer));
  EXPECT_FALSE(warning_text(3, 5000, buffer));
}

TEST(WarningTexts, CopiesAtMost149Characters) {
  TempDisk disk;
  disk.write_lines("Languages/EN/WarningsDIO.txt", {u"header", std::u16string(150, u'w')});
  EXPECT_EQ(warning_text(1, 1), std::string(149, 'w'));
}

TEST(WarningTexts, MissingFileFallsBackToTheEnglishFileOfTheSameNode) {
  TempDisk disk;
  disk.write_text("CorvexLangConfig.txt", "Dutch");
  disk.write_lines(kEnglishTable, {u"string one", u"string two"});
  disk.write_lines("Languages/NL/NederlandsStrings.txt", {u"unused"});
  disk.write_lines("Languages/EN/WarningsMIO.txt", {u"header", u"0E01 EMERGENCY STOP"});
  disk.write_lines("Languages/NL/WarningsMC.txt", {u"kop", u"0F01 VOCHTSENSOR"});
  EXPECT_EQ(warning_text(14, 1), "0E01 EMERGENCY STOP");
  EXPECT_EQ(warning_text(15, 1), "0F01 VOCHTSENSOR");
  EXPECT_EQ(warning_text(2, 1), "") << "a node without any file keeps its (empty) table";
}

std::pair<std::u16string, std::u16string> split(std::u16string_view text, int limit) {
  std::array<char16_t, 200> a;
  std::array<char16_t, 200> b;
  two_line_split(text, a, b, limit);
  return {a.data(), b.data()};
}

TEST(TwoLineSplit, SplitsAtTheLastSpaceBeforeHalf) {
  // 18 characters, spaces at 3, 7 and 13: half is 9, so the split is at 7.
  const auto [first, second] = split(u"abc def ghijk lmno", 200);
  EXPECT_EQ(first, u"abc def");
  EXPECT_EQ(second, u"ghijk lmno");

  // The text is cut to the limit; half still counts the whole text.
  const auto [f2, s2] = split(u"aa bb cc dd ee ff", 11);
  EXPECT_EQ(f2, u"aa bb");
  EXPECT_EQ(s2, u"cc dd");

  // A space at the very start splits there and is dropped.
  const auto [f3, s3] = split(u" abcdefghij", 99);
  EXPECT_EQ(f3, u"");
  EXPECT_EQ(s3, u"abcdefghij");
}

TEST(TwoLineSplit, WithoutASpaceNothingIsDropped) {
  const auto [first, second] = split(u"ABCDEFGH", 99);
  EXPECT_EQ(first, u"");
  EXPECT_EQ(second, u"ABCDEFGH");
  std::array<char, 64> a;
  std::array<char, 64> b;
  two_line_split(std::string_view("K\xC3\xBChlung l\xC3\xA4uft nach"), a, b, 99);
  EXPECT_STREQ(a.data(), "K\xC3\xBChlung");
  EXPECT_STREQ(b.data(), "l\xC3\xA4uft nach");
}

}  // namespace
}  // namespace corvex::texts
