// The built corvex-display driven through the automation protocol: what `texts` reads back from
// the main screen against the screenshot of the same moment, and the virtual start time as the
// controller's clock record carries it.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

using corvex::testing_support::ProcessResult;
using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;

struct Answer {
  std::vector<std::string> lines;
  bool ok = false;
};

std::vector<Answer> split_answers(const std::string& out) {
  std::vector<Answer> answers;
  std::istringstream in(out);
  Answer current;
  for (std::string line; std::getline(in, line);) {
    if (line == "ok" || line.rfind("error: ", 0) == 0) {
      current.ok = line == "ok";
      answers.push_back(current);
      current = {};
    } else {
      current.lines.push_back(line);
    }
  }
  return answers;
}

// Runs the display in virtual time on the built-in simulator; the script ends with quit.
ProcessResult run_display(const TempDir& dir, const std::vector<std::string>& extra,
                          const std::string& script) {
  std::vector<std::string> argv{kDisplay, "--headless", "--simulate", "--virtual-time", "--disk",
                                dir.path() + "/disk", "--script", "-"};
  argv.insert(argv.end(), extra.begin(), extra.end());
  return run_process(argv, script + "quit\n", 120000);
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

bool read_png(const std::string& path, Image* out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out->width = int(image.width);
  out->height = int(image.height);
  out->pixels.resize(size_t(out->width) * size_t(out->height));
  for (size_t i = 0; i < out->pixels.size(); ++i)
    out->pixels[i] = (uint32_t(rgb[3 * i]) << 16) | (uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
  return true;
}

struct TextRun {
  std::string window;
  int x = 0;
  int y = 0;
  std::string text;  // as printed, escapes kept
};

std::vector<TextRun> parse_runs(const Answer& a) {
  std::vector<TextRun> runs;
  for (const std::string& line : a.lines) {
    TextRun r;
    char name[128] = {};
    int used = 0;
    if (std::sscanf(line.c_str(), "%127s %d %d %n", name, &r.x, &r.y, &used) != 3) continue;
    r.window = name;
    const std::string rest = line.substr(size_t(used));
    if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') continue;
    r.text = rest.substr(1, rest.size() - 2);
    runs.push_back(r);
  }
  return runs;
}

std::vector<TextRun> runs_of(const std::vector<TextRun>& runs, const std::string& window) {
  std::vector<TextRun> out;
  for (const TextRun& r : runs) {
    if (r.window == window) out.push_back(r);
  }
  return out;
}

// Whether the screenshot shows ink that starts at the run's corner: within the first line's
// height below it and a few characters right of it the pixels are not all one colour, and in
// the same rows just left of it (inside `left_limit`) they are all the background colour.
bool ink_starts_at(const Image& img, const TextRun& r, int line_height, int left_limit) {
  const int right = std::min(img.width, r.x + 8 * int(std::min<size_t>(r.text.size(), 6)));
  const int bottom = std::min(img.height, r.y + line_height);
  int colours = 0;
  uint32_t first = img.at(std::max(0, r.x), std::max(0, r.y));
  for (int y = std::max(0, r.y); y < bottom; ++y) {
    for (int x = std::max(0, r.x); x < right; ++x) colours += img.at(x, y) != first ? 1 : 0;
  }
  if (colours == 0) return false;
  for (int y = std::max(0, r.y); y < bottom; ++y) {
    for (int x = left_limit; x < r.x - 1; ++x) {
      if (img.at(x, y) != img.at(left_limit, y)) return false;
    }
  }
  return true;
}

TEST(AutomationTexts, MainScreenReadBackMatchesTheScreenshot) {
  TempDir dir;
  const std::string shot = dir.path() + "/main.png";
  const ProcessResult r = run_display(
      dir, {}, "sim set 8 0\nsim set 3 1\nsim set 266 0\nwait 2100\ntexts\nscreenshot " + shot +
                   "\nwait 3000\ntexts CUSTOM_VIEW_WINDOW\ntexts custom_view_window\n");
  ASSERT_FALSE(r.timed_out) << r.err;
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<Answer> answers = split_answers(r.out);
  ASSERT_EQ(answers.size(), 10u) << r.out;
  for (const Answer& a : answers) ASSERT_TRUE(a.ok) << r.out;
  Image img;
  ASSERT_TRUE(read_png(shot, &img));

  const std::vector<TextRun> all = parse_runs(answers[4]);
  EXPECT_EQ(all.size(), answers[4].lines.size()) << "every line is CLASS x y \"text\"";
  const std::vector<TextRun> bar = runs_of(all, "DRYER_RIGHT_STATUS_BAR_WINDOW");
  const std::vector<TextRun> plenum = runs_of(all, "CUSTOM_VIEW_WINDOW");
  const std::vector<TextRun> picture = runs_of(all, "DRYER_PIC_WINDOW");
  ASSERT_FALSE(bar.empty()) << r.out;
  ASSERT_FALSE(plenum.empty()) << r.out;
  ASSERT_FALSE(picture.empty()) << r.out;

  // The status bar's message while nothing runs; its run starts where its ink starts, on the
  // bar's black.
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].text, "READY TO START");
  EXPECT_TRUE(ink_starts_at(img, bar[0], 20, 242)) << bar[0].x << " " << bar[0].y;
  // Two fan/heaters: the plenum view names both plenums, each centred over its own half.
  std::vector<TextRun> names;
  for (const TextRun& run : plenum) {
    if (run.text == "PLENUM #1" || run.text == "PLENUM #2") names.push_back(run);
  }
  ASSERT_EQ(names.size(), 2u) << r.out;
  EXPECT_LT(names[0].x, 440);
  EXPECT_GT(names[1].x, 440);
  for (const TextRun& run : names)
    EXPECT_TRUE(ink_starts_at(img, run, 14, run.x - 20)) << run.text << " " << run.x << " " << run.y;
  // The picture's read-outs (moistures, temperatures, speeds) carry digits and lie in the
  // picture's column, on ink.
  int readouts = 0;
  for (const TextRun& run : picture) {
    if (run.text.find_first_of("0123456789") == std::string::npos) continue;
    ++readouts;
    EXPECT_LT(run.x, 240) << run.text;
    EXPECT_TRUE(ink_starts_at(img, run, 10, run.x)) << run.text << " " << run.x << " " << run.y;
  }
  EXPECT_GE(readouts, 4) << r.out;

  // The class filter takes that class alone, in any case, and a plenum view that was not
  // repainted in the 3 s since keeps telling the same.
  std::vector<std::string> plenum_lines;
  for (const std::string& line : answers[4].lines)
    if (line.rfind("CUSTOM_VIEW_WINDOW ", 0) == 0) plenum_lines.push_back(line);
  EXPECT_EQ(answers[7].lines, plenum_lines);
  EXPECT_EQ(answers[8].lines, plenum_lines);
}

// The controller gets the panel's clock as minute, hour, day, month and two-digit year in the
// slots of status bytes 53..57; `desired` prints the nonzero ones in hex.
TEST(AutomationTexts, StartTimeReachesTheClockRecordAndRollsOverTheYear) {
  TempDir dir;
  const ProcessResult r =
      run_display(dir, {"--start-time", "2026-12-31 23:59:30"}, "wait 1500\ndesired\nwait 60000\ndesired\n");
  ASSERT_FALSE(r.timed_out) << r.err;
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<Answer> answers = split_answers(r.out);
  ASSERT_EQ(answers.size(), 5u) << r.out;
  const auto pairs = [](const Answer& a) {
    std::string all = " ";
    for (const std::string& l : a.lines) all += l + " ";
    return all;
  };
  const std::string before = pairs(answers[1]);
  for (const char* p : {" 53=3b ", " 54=17 ", " 55=1f ", " 56=c ", " 57=1a "})
    EXPECT_NE(before.find(p), std::string::npos) << p << " in" << before;
  const std::string after = pairs(answers[3]);
  for (const char* p : {" 55=1 ", " 56=1 ", " 57=1b "})
    EXPECT_NE(after.find(p), std::string::npos) << p << " in" << after;
  EXPECT_EQ(after.find(" 53="), std::string::npos) << "minute 0: " << after;
  EXPECT_EQ(after.find(" 54="), std::string::npos) << "hour 0: " << after;
}

// The language buttons show the current language checked: drawn in the selection colour and
// reported `checked`, the one and only checked button of the dialog, before and after a switch.
TEST(AutomationTexts, LanguageButtonsReportTheCurrentLanguageChecked) {
  TempDir dir;
  const std::string shot = dir.path() + "/language.png";
  const ProcessResult r = run_display(dir, {},
                                      "click SETUP\nclick EXTENDED_SETUP_BUTTON\nwait 300\n"
                                      "click LANGUAGE\nwindows\nscreenshot " + shot + "\n"
                                      "click 1497\nwait 300\nclick LANGUAGE\nwindows\n");
  ASSERT_FALSE(r.timed_out) << r.err;
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<Answer> answers = split_answers(r.out);
  ASSERT_EQ(answers.size(), 11u) << r.out;
  for (const Answer& a : answers) ASSERT_TRUE(a.ok) << r.out;
  const auto checked = [](const Answer& a) {
    std::vector<std::string> out;
    for (const std::string& line : a.lines)
      if (line.find(" checked ") != std::string::npos) out.push_back(line);
    return out;
  };
  const std::vector<std::string> english = checked(answers[4]);
  ASSERT_EQ(english.size(), 1u) << r.out;
  EXPECT_NE(english[0].find("BUTTON 1492 "), std::string::npos) << english[0];
  const std::vector<std::string> german = checked(answers[9]);
  ASSERT_EQ(german.size(), 1u) << r.out;
  EXPECT_NE(german[0].find("BUTTON 1497 "), std::string::npos) << german[0];

  int x = 0, y = 0;
  ASSERT_EQ(std::sscanf(english[0].c_str(), " BUTTON 1492 %d %d", &x, &y), 2) << english[0];
  Image img;
  ASSERT_TRUE(read_png(shot, &img));
  EXPECT_EQ(img.at(x + 6, y + 6), 0x0A246Au) << "the checked face";
  bool other_unchecked = false;
  for (const std::string& line : answers[4].lines) {
    int bx = 0, by = 0;
    if (std::sscanf(line.c_str(), " BUTTON 1497 %d %d", &bx, &by) == 2)
      other_unchecked = img.at(bx + 6, by + 6) != 0x0A246Au;
  }
  EXPECT_TRUE(other_unchecked);
}

TEST(AutomationTexts, StartTimesThatDoNotExistEndTheProgramWithOneLine) {
  TempDir dir;
  const std::vector<std::vector<std::string>> bad = {
      {"--virtual-time", "--start-time", "2026-02-30 12:00:00"},
      {"--virtual-time", "--start-time", "2026-06-01 25:00:00"},
      {"--virtual-time", "--start-time", "garbage"},
      {"--start-time", "2026-06-01 12:00:00"}};
  for (const auto& extra : bad) {
    std::vector<std::string> argv{kDisplay, "--headless", "--simulate", "--disk", dir.path() + "/disk"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    const ProcessResult r = run_process(argv, "quit\n", 30000);
    EXPECT_EQ(r.exit_code, 2) << extra.back();
    EXPECT_EQ(r.out, "") << extra.back();
    ASSERT_FALSE(r.err.empty()) << extra.back();
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find("--start-time"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/disk")) << "refused before touching the disk";
}

}  // namespace
