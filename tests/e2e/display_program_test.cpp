// The built corvex-display driven from outside, as a user or a test rig drives it: its command
// line, the automation protocol on standard input, and the single-instance rule.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

#include "support/process.h"

namespace {

using corvex::testing_support::ProcessResult;
using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;
namespace fs = std::filesystem;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::set<std::string> tree_of(const std::string& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
       it.increment(ec))
    names.insert(it->path().string());
  return names;
}

TEST(DisplayProgram, HelpAndVersionGoToStandardOutput) {
  ProcessResult help = run_process({kDisplay, "--help"}, "", 10000);
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--disk DIR"), std::string::npos);
  EXPECT_NE(help.out.find("--virtual-time"), std::string::npos);

  ProcessResult version = run_process({kDisplay, "--version"}, "", 10000);
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out, "corvex-display 2.12\n");
}

TEST(DisplayProgram, BadOptionsExitTwoWithOneLineNamingThem) {
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  const Case cases[] = {
      {{"--frobnicate"}, "--frobnicate"},
      {{"--scale", "0"}, "--scale"},
      {{"--scale", "two"}, "--scale"},
      {{"--disk"}, "--disk"},
      {{"--virtual-time"}, "--virtual-time"},
      {{"--headless=yes"}, "--headless"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv{kDisplay};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    ProcessResult r = run_process(argv, "", 10000);
    EXPECT_EQ(r.exit_code, 2) << c.named;
    EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

// A PNG starts with its signature and an IHDR chunk holding width and height, big-endian.
void expect_png_640x480(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  ASSERT_TRUE(f.good()) << path;
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  auto be32 = [&](size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
  };
  EXPECT_EQ(be32(16), 640u);
  EXPECT_EQ(be32(20), 480u);
}

TEST(DisplayProgram, HeadlessScriptAnswersWindowsScreenshotAndQuit) {
  TempDir dir;
  const std::string shot = dir.path() + "/screen.png";
  ProcessResult r = run_process(
      {kDisplay, "--headless", "--disk", dir.path() + "/disk", "--script", "-"},
      "# a comment line\n\nwindows\nscreenshot " + shot + "\nclick no-such-control\nquit\n",
      60000);
  ASSERT_FALSE(r.timed_out) << r.out << r.err;
  EXPECT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> out = lines_of(r.out);
  // windows lists the main window first, then ok; screenshot ok; the failed click an error;
  // quit ok.
  ASSERT_GE(out.size(), 4u) << r.out;
  EXPECT_NE(out[0].find("CORVEX_DRYER_DISPLAY 0 0 0 640 480 enabled"), std::string::npos) << r.out;
  int oks = 0, errors = 0;
  for (const std::string& l : out) {
    if (l == "ok") ++oks;
    if (l.rfind("error: ", 0) == 0) ++errors;
  }
  EXPECT_EQ(oks, 3) << r.out;
  EXPECT_EQ(errors, 1) << r.out;
  expect_png_640x480(shot);
}

TEST(DisplayProgram, SecondInstanceOnTheSameDiskExitsZeroAndCreatesNothing) {
  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  ProcessResult first;
  std::thread runner([&] {
    first = run_process({kDisplay, "--headless", "--disk", disk, "--script", "-"},
                        "wait 10000\nquit\n", 60000);
  });
  // Give the first instance time to claim the disk and create its files: it has seeded the
  // disk once the language folder is in place, and is done once its tree stays the same for
  // half a second (a loaded machine may take seconds for that).
  std::set<std::string> before;
  for (int i = 0; i < 400; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!fs::exists(disk + "/Languages") || fs::exists(disk + "/.Languages.seeding")) continue;
    std::set<std::string> now = tree_of(dir.path());
    if (now == before) break;
    before = std::move(now);
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
  }

  ProcessResult second =
      run_process({kDisplay, "--headless", "--disk", disk, "--script", "-"}, "quit\n", 20000);
  EXPECT_EQ(second.exit_code, 0) << second.err;
  EXPECT_TRUE(second.out.empty()) << "the second instance ran a script: " << second.out;
  EXPECT_EQ(tree_of(dir.path()), before);

  // Another disk is another panel: it may run beside the first.
  ProcessResult other = run_process(
      {kDisplay, "--headless", "--disk", dir.path() + "/other", "--script", "-"}, "quit\n", 20000);
  EXPECT_EQ(other.exit_code, 0);
  EXPECT_EQ(lines_of(other.out), std::vector<std::string>{"ok"});

  runner.join();
  EXPECT_EQ(first.exit_code, 0) << first.err;
}

}  // namespace
