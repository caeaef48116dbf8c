// The main screen of the built corvex-display as the operator sees it, driven through the
// automation protocol with the built-in simulator in virtual time: continuous flow with two and
// six fan/heaters, SI units, staged batch and a reported warning. Each state is checked in the
// `windows` listing (which screen windows are up) and in the screenshot's pixels (what they
// draw). The screenshots are kept beside the binary, in main_screen_shots/, to look at.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

using corvex::testing_support::ProcessResult;
using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;
namespace fs = std::filesystem;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;

// A screenshot read back with libpng, as 0x00RRGGBB pixels.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  // How many pixels of the rectangle satisfy the test.
  template <class Test>
  int count(int left, int top, int right, int bottom, Test test) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += test(at(x, y)) ? 1 : 0;
    return n;
  }
  // How many pixels of the rectangle differ from another image's.
  int differences(const Image& other, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += at(x, y) != other.at(x, y) ? 1 : 0;
    return n;
  }
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
    out->pixels[i] =
        (uint32_t(rgb[3 * i]) << 16) | (uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
  return true;
}

uint8_t red(uint32_t c) { return uint8_t(c >> 16); }
uint8_t blue(uint32_t c) { return uint8_t(c); }

// One automation command and what it answered (its lines before "ok" or "error: ...").
struct Answer {
  std::string command;
  std::vector<std::string> lines;
  bool ok = false;
};

std::vector<Answer> split_answers(const std::vector<std::string>& commands,
                                  const std::string& out) {
  std::vector<Answer> answers;
  std::istringstream in(out);
  Answer current;
  for (std::string line; std::getline(in, line);) {
    if (line == "ok" || line.rfind("error: ", 0) == 0) {
      current.ok = line == "ok";
      if (answers.size() < commands.size()) current.command = commands[answers.size()];
      answers.push_back(current);
      current = {};
    } else {
      current.lines.push_back(line);
    }
  }
  return answers;
}

// The screen windows (children of the main window) a `windows` answer lists as visible.
std::set<std::string> screen_windows(const Answer& a) {
  std::set<std::string> names;
  for (const std::string& line : a.lines) {
    if (line.rfind("    ", 0) != 0 || line.size() < 5 || line[4] == ' ') continue;
    const std::string name = line.substr(4, line.find(' ', 4) - 4);
    if (name != "BUTTON") names.insert(name);
  }
  return names;
}

bool lists_control(const Answer& a, const std::string& text) {
  return std::any_of(a.lines.begin(), a.lines.end(), [&](const std::string& l) {
    return l.find("\"" + text + "\"") != std::string::npos;
  });
}

class MainScreen : public ::testing::Test {
 protected:
  // The states in order; each ends with a `windows` and a `screenshot` of its own.
  struct State {
    std::string name;
    std::vector<std::string> set_up;
  };

  void run_states(const std::vector<State>& states) {
    shots_ = fs::path(kDisplay).parent_path() / "main_screen_shots";
    fs::create_directories(shots_);
    std::vector<std::string> commands;
    for (const State& s : states) {
      for (const std::string& c : s.set_up) commands.push_back(c);
      commands.push_back("wait 2100");
      commands.push_back("windows");
      commands.push_back("screenshot " + (shots_ / (s.name + ".png")).string());
    }
    commands.push_back("quit");
    std::string script;
    for (const std::string& c : commands) script += c + "\n";
    ProcessResult r = run_process({kDisplay, "--headless", "--simulate", "--virtual-time", "--disk",
                                   dir_.path() + "/disk", "--script", "-"},
                                  script, 120000);
    ASSERT_FALSE(r.timed_out) << r.err;
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::vector<Answer> answers = split_answers(commands, r.out);
    ASSERT_EQ(answers.size(), commands.size()) << r.out;
    for (const Answer& a : answers) ASSERT_TRUE(a.ok) << a.command;
    size_t at = 0;
    for (const State& s : states) {
      at += s.set_up.size() + 1;
      windows_[s.name] = answers[at];
      at += 2;
      ASSERT_TRUE(read_png((shots_ / (s.name + ".png")).string(), &images_[s.name])) << s.name;
      ASSERT_EQ(images_[s.name].width, 640);
      ASSERT_EQ(images_[s.name].height, 480);
    }
  }

  TempDir dir_;
  fs::path shots_;
  std::map<std::string, Answer> windows_;
  std::map<std::string, Image> images_;
};

TEST_F(MainScreen, ContinuousFlowBatchSiUnitsAndAWarning) {
  run_states({
      {"flow_two_fan_heaters", {"sim set 8 0", "sim set 3 1", "sim set 266 0"}},
      {"flow_six_fan_heaters", {"sim set 3 4"}},
      // The units change alone: the plenum view must repaint in Celsius by itself.
      {"flow_si_units", {"sim set 266 0x80"}},
      {"staged_batch", {"sim set 266 0", "sim set 8 1"}},
      {"warning", {"sim set 8 0", "sim warning 5 2"}},
  });
  if (HasFatalFailure()) return;

  const std::set<std::string> flow = {"AVERAGE_VALUES_WINDOW", "BUTTON_BAR_WINDOW",
                                      "CUSTOM_VIEW_WINDOW", "DRYER_PIC_WINDOW",
                                      "DRYER_RIGHT_STATUS_BAR_WINDOW"};
  std::set<std::string> batch = flow;
  batch.erase("AVERAGE_VALUES_WINDOW");
  batch.insert("BATCH_DRYING_WINDOW");
  std::set<std::string> warning = flow;
  warning.insert("WARNING_WINDOW");
  EXPECT_EQ(screen_windows(windows_["flow_two_fan_heaters"]), flow);
  EXPECT_EQ(screen_windows(windows_["flow_six_fan_heaters"]), flow);
  EXPECT_EQ(screen_windows(windows_["flow_si_units"]), flow);
  EXPECT_EQ(screen_windows(windows_["staged_batch"]), batch);
  EXPECT_EQ(screen_windows(windows_["warning"]), warning);
  for (const char* b : {"TIMERS", "TEMPS", "SETUP", "VIEW", "MISC"})
    EXPECT_TRUE(lists_control(windows_["flow_two_fan_heaters"], b)) << b;
  EXPECT_FALSE(lists_control(windows_["flow_two_fan_heaters"], "AUTO_START_STATUS"));

  const Image& two = images_["flow_two_fan_heaters"];
  const Image& six = images_["flow_six_fan_heaters"];
  const Image& si = images_["flow_si_units"];
  const Image& staged = images_["staged_batch"];
  const Image& warned = images_["warning"];
  auto not_black = [](uint32_t c) { return c != 0; };

  // The status picture is drawn, not left black.
  EXPECT_GT(two.count(2, 2, 238, 418, not_black), 238 * 418 / 2);
  // The status bar writes its message: blue ink ("ready to start" while nothing runs) on black.
  EXPECT_GT(two.count(242, 2, 638, 38, [](uint32_t c) { return blue(c) > 150 && red(c) < 80; }),
            200);
  // The button bar's light grey face around the buttons.
  EXPECT_EQ(two.at(5, 450), 0xC0C0C0u);
  // Six fan/heaters change both the plenum view and the picture; SI units the plenum view.
  EXPECT_GT(six.differences(two, 240, 245, 640, 420), 1000);
  EXPECT_GT(six.differences(two, 0, 0, 240, 420), 500);
  EXPECT_GT(si.differences(six, 240, 245, 640, 420), 200);
  // Staged batch: the batch drying timers window replaces the status chart under the bar.
  EXPECT_GT(staged.differences(six, 240, 40, 640, 245), 100);
  // The warning window comes over the main screen with its grey face.
  EXPECT_GT(warned.count(12, 60, 608, 343, [](uint32_t c) { return c == 0x646464u; }), 50000);
  EXPECT_GT(warned.differences(two, 12, 60, 608, 343), 50000);
}

}  // namespace
