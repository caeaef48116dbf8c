#include "platform/io/process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/io/paths.h"
#include "platform/io/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Waits up to five seconds for a started program to leave its file behind.
std::string wait_for_file(const std::string& path) {
  for (int i = 0; i < 500 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  auto bytes = test_support::read_bytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(ProcessTest, ArgumentsArriveUnsplitAndNoChildIsLeftToReap) {
  test_support::TempDir tmp;
  std::string out = tmp / "out";
  ASSERT_TRUE(platform::start_detached(
      {"sh", "-c", "printf '%s|' \"$1\" \"$(readlink /proc/$$/fd/0)\" \"$(readlink /proc/$$/fd/1)\" > \"$2\"",
       "sh", "two  words; $HOME", out}));
  EXPECT_EQ(wait_for_file(out), "two  words; $HOME|/dev/null|/dev/null|");
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(ProcessTest, AProgramThatCannotStartIsReported) {
  test_support::TempDir tmp;
  test_support::write_text(tmp / "not-executable", "#!/bin/sh\n");
  EXPECT_FALSE(platform::start_detached({"corvex-no-such-program"}));
  EXPECT_FALSE(platform::start_detached({tmp / "not-executable"}));
  EXPECT_FALSE(platform::start_detached({tmp.path()}));
  EXPECT_FALSE(platform::start_detached({}));
}

TEST(ProcessTest, ThePanelExplorerOpensTheTranslatedFolderInTheFileManager) {
  test_support::TempDir tmp;
  fs::create_directories(tmp / "bin");
  fs::create_directories(tmp / "disk/Manuals");
  std::string log = tmp / "opened";
  test_support::write_text(tmp / "bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + log + "'\n");
  fs::permissions(tmp / "bin/xdg-open", fs::perms::owner_all);
  std::string saved_path = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (tmp / "bin:" + saved_path).c_str(), 1);
  platform::set_disk_root(tmp / "disk");
  EXPECT_TRUE(platform::start_panel_program("\\windows\\explorer.exe", "\\hard disk\\manuals"));
  EXPECT_EQ(wait_for_file(log), tmp / "disk/Manuals");
  fs::remove(log);
  EXPECT_TRUE(platform::open_folder_in_file_manager(tmp / "disk"));
  EXPECT_EQ(wait_for_file(log), tmp / "disk");
  // Without a file manager the caller learns that nothing was started.
  setenv("PATH", (tmp / "empty").c_str(), 1);
  EXPECT_FALSE(platform::start_panel_program("\\Windows\\EXPLORER.EXE", "\\hard disk\\manuals"));
  setenv("PATH", saved_path.c_str(), 1);
  platform::set_disk_root("");
}

}  // namespace
