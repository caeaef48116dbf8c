// The installed program: `cmake --install` into a prefix of a test's own puts the programs,
// the language data (its shared pictures still shared), the manual pages, the desktop entry and
// the kiosk's unit under it; the program run from there, even with the prefix moved elsewhere,
// seeds its disk from the data beside it and not from the build tree. And the display under a
// service manager: READY=1 after its first frame, WATCHDOG=1 while it runs.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/process.h"

namespace {

using corvex::testing_support::ProcessResult;
using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;
namespace fs = std::filesystem;

// The full path of a program on PATH, or empty.
std::string find_program(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const fs::path candidate = fs::path(dir) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// Runs a command line through the shell (for environment settings and redirections).
ProcessResult shell(const std::string& command, int timeout_ms = 60000) {
  return run_process({"/bin/sh", "-c", command}, "", timeout_ms);
}

std::string sh_quoted(const std::string& s) { return "'" + s + "'"; }

// One install for the whole suite: installing copies the data, which takes a moment.
class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    prefix_ = dir_->path() + "/prefix";
    const std::string cmake = find_program("cmake");
    if (cmake.empty()) return;
    install_ = new ProcessResult(
        run_process({cmake, "--install", CORVEX_BUILD_DIR, "--prefix", prefix_}, "", 300000));
  }
  static void TearDownTestSuite() {
    delete install_;
    delete dir_;
    install_ = nullptr;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (install_ == nullptr) GTEST_SKIP() << "no cmake on PATH to install with";
    ASSERT_EQ(install_->exit_code, 0) << install_->out << install_->err;
  }

  static fs::path at(const std::string& relative) { return fs::path(prefix_) / relative; }

  static TempDir* dir_;
  static std::string prefix_;
  static ProcessResult* install_;
};

TempDir* Installed::dir_ = nullptr;
std::string Installed::prefix_;
ProcessResult* Installed::install_ = nullptr;

TEST_F(Installed, EverythingLandsUnderThePrefixWithSharedPicturesKept) {
  for (const char* file :
       {"bin/corvex-display", "bin/corvex-sim", "share/man/man1/corvex-display.1",
        "share/man/man1/corvex-sim.1", "share/applications/corvex-display.desktop",
        "lib/systemd/system/corvex-display.service",
        "share/corvex-display/Languages/EN/EnglishStrings.txt",
        "share/corvex-display/Languages/DE/WarningBitmaps/NID_01_WARNING_ID_01.bmp"}) {
    EXPECT_TRUE(fs::is_regular_file(at(file))) << file;
  }
  const fs::path rear = "Bitmaps/GRAPHIC_074_REAR_DISCHARGE_IMAGE_1.BMP";
  EXPECT_TRUE(fs::equivalent(at("share/corvex-display/Languages/EN") / rear,
                             at("share/corvex-display/Languages/FR") / rear));
  // The files naming the program name the installed one.
  std::ifstream unit(at("lib/systemd/system/corvex-display.service"));
  const std::string text((std::istreambuf_iterator<char>(unit)), {});
  EXPECT_NE(text.find("ExecStart=\"" + at("bin/corvex-display").string() + "\" "),
            std::string::npos)
      << text;
  // Every installed file is in the manifest, the data included, so it can be removed again.
  std::ifstream manifest(fs::path(CORVEX_BUILD_DIR) / "install_manifest.txt");
  const std::string listed((std::istreambuf_iterator<char>(manifest)), {});
  EXPECT_NE(listed.find(at("share/corvex-display/Languages/EN/EnglishStrings.txt").string()),
            std::string::npos);
}

TEST_F(Installed, TheInstalledProgramRunsFromAMovedPrefixOnTheDataBesideIt) {
  // A file only the installed data has: a disk seeded from the build tree would lack it.
  std::ofstream(at("share/corvex-display/Languages/EN/InstalledCopy.txt")) << "installed\n";
  const std::string moved = dir_->path() + "/moved";
  ASSERT_EQ(shell("cp -a " + sh_quoted(prefix_) + " " + sh_quoted(moved)).exit_code, 0);
  fs::remove(at("share/corvex-display/Languages/EN/InstalledCopy.txt"));

  const std::string disk = dir_->path() + "/disk";
  ::unsetenv("CORVEX_DATA_DIR");
  const ProcessResult r = run_process({moved + "/bin/corvex-display", "--headless", "--simulate",
                                       "--virtual-time", "--disk", disk, "--script", "-"},
                                      "wait 2000\ntexts\nwindows\nquit\n", 120000);
  ASSERT_FALSE(r.timed_out) << r.err;
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err.find("no panel data"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("error:"), std::string::npos) << r.out;
  EXPECT_GT(std::count(r.out.begin(), r.out.end(), '\n'), 10) << r.out;
  EXPECT_TRUE(fs::exists(disk + "/Languages/EN/InstalledCopy.txt"));
  EXPECT_TRUE(fs::exists(disk + "/Languages/RU/Bitmaps"));
}

TEST_F(Installed, TheKioskUnitVerifies) {
  const std::string analyze = find_program("systemd-analyze");
  if (analyze.empty()) GTEST_SKIP() << "systemd-analyze is not installed";
  // Documentation= names the manual page, which the check looks up with man.
  const ProcessResult r =
      shell("MANPATH=" + sh_quoted(at("share/man")) + " " + analyze + " verify " +
            sh_quoted(at("lib/systemd/system/corvex-display.service")));
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");
  std::ifstream unit(at("lib/systemd/system/corvex-display.service"));
  const std::string text((std::istreambuf_iterator<char>(unit)), {});
  for (const char* line : {"Type=notify", "Restart=on-failure", "Conflicts=getty@tty1.service",
                           "Environment=SDL_VIDEODRIVER=kmsdrm", "StateDirectory=corvex-display",
                           "TTYPath=/dev/tty1", "--disk %S/corvex-display"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  EXPECT_NE(text.find("\nWatchdogSec="), std::string::npos);
}

TEST_F(Installed, TheDesktopEntryValidates) {
  const std::string validate = find_program("desktop-file-validate");
  if (validate.empty()) GTEST_SKIP() << "desktop-file-validate is not installed";
  const ProcessResult r =
      run_process({validate, at("share/applications/corvex-display.desktop")}, "", 30000);
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
  EXPECT_EQ(r.out + r.err, "");
}

TEST_F(Installed, TheManualPagesRenderWithoutWarnings) {
  if (find_program("man").empty()) GTEST_SKIP() << "man is not installed";
  for (const char* page : {"corvex-display.1", "corvex-sim.1"}) {
    const ProcessResult r = shell("MANWIDTH=80 man -l --warnings " +
                                  sh_quoted(at(std::string("share/man/man1/") + page)));
    EXPECT_EQ(r.exit_code, 0) << page << r.err;
    EXPECT_EQ(r.err, "") << page;
    EXPECT_NE(r.out.find("SYNOPSIS"), std::string::npos) << page;
  }
}

// A datagram socket standing for the service manager's, bound for the life of the test and
// named in NOTIFY_SOCKET for the programs the test starts.
class ServiceManager : public ::testing::Test {
 protected:
  void SetUp() override {
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd_, 0);
    const std::string path = dir_.path() + "/notify";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    ASSERT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::setenv("NOTIFY_SOCKET", path.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("NOTIFY_SOCKET");
    ::unsetenv("WATCHDOG_USEC");
    if (fd_ >= 0) ::close(fd_);
  }

  // Every datagram that has arrived, in order.
  std::vector<std::string> received() {
    std::vector<std::string> all;
    char buffer[256];
    for (pollfd p{fd_, POLLIN, 0}; ::poll(&p, 1, 0) == 1;) {
      const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
      if (got < 0) break;
      all.emplace_back(buffer, size_t(got));
    }
    return all;
  }

  ProcessResult run_display(const std::string& script) {
    return run_process({CORVEX_DISPLAY_BINARY, "--headless", "--simulate", "--virtual-time",
                        "--disk", dir_.path() + "/disk", "--script", "-"},
                       script, 120000);
  }

  TempDir dir_;
  int fd_ = -1;
};

TEST_F(ServiceManager, ReadyAfterTheFirstFrameThenWatchdogPingsAtAThirdOfTheInterval) {
  ::setenv("WATCHDOG_USEC", "300000", 1);  // a ping every 100 ms
  const ProcessResult r = run_display("wait 1000\nquit\n");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> got = received();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.front(), "READY=1");
  EXPECT_EQ(std::count(got.begin(), got.end(), "READY=1"), 1);
  const auto pings = std::count(got.begin(), got.end(), "WATCHDOG=1");
  EXPECT_GE(pings, 9);
  EXPECT_LE(pings, 11);
  EXPECT_EQ(size_t(pings) + 1, got.size());
}

TEST_F(ServiceManager, WithoutAWatchdogOnlyReadyIsSaid) {
  const ProcessResult r = run_display("wait 1000\nquit\n");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(received(), std::vector<std::string>{"READY=1"});
}

}  // namespace
