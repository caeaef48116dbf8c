// A device refused for lack of permission: the message names the group whose members may open
// it, for the serial port and for the touch screen's event devices, and says nothing for other
// failures. The refusals are real: the opening side runs as an unprivileged user (a root test
// run drops to `nobody` in a child process).
#include "platform/io/device_access.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

#include "platform/io/serial_port.h"
#include "tests/platform/io/temp_dir.h"

namespace platform {
namespace {

constexpr uid_t kNobody = 65534;

// Runs `what` in a child process without root's rights and returns the text it gave.
std::string run_unprivileged(const std::function<std::string()>& what) {
  int out[2];
  if (::pipe(out) != 0) return "(no pipe)";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(out[0]);
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      _exit(3);
    }
    const std::string text = what();
    const ssize_t put = ::write(out[1], text.data(), text.size());
    _exit(put == ssize_t(text.size()) ? 0 : 4);
  }
  ::close(out[1]);
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "(child failed)";
  return text;
}

// A folder the unprivileged child may enter, holding a file only root (or, in a run without
// root, nobody) may open; its group is `dialout` when the system has one and we may give it.
class DeviceAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::chmod(tmp.path().c_str(), 0755), 0);
    group* dialout = ::getgrnam("dialout");
    if (dialout != nullptr) dialout_gid = dialout->gr_gid;
  }

  // Makes a file that the child cannot open; returns the name of the group that owns it.
  std::string make_locked(const std::string& path) {
    test_support::write_text(path, "");
    if (::geteuid() == 0 && dialout_gid >= 0) {
      EXPECT_EQ(::chown(path.c_str(), 0, gid_t(dialout_gid)), 0);
      EXPECT_EQ(::chmod(path.c_str(), 0660), 0);
      return "dialout";
    }
    EXPECT_EQ(::chmod(path.c_str(), 0), 0);
    struct stat st {};
    ::stat(path.c_str(), &st);
    group* g = ::getgrgid(st.st_gid);
    return st.st_gid == 0 || g == nullptr ? "dialout" : g->gr_name;
  }

  test_support::TempDir tmp;
  long dialout_gid = -1;
};

TEST_F(DeviceAccess, ASerialPortRefusedForPermissionNamesTheGroupItNeeds) {
  const std::string device = tmp / "ttyS0";
  const std::string group = make_locked(device);
  const std::string error = run_unprivileged([&] {
    SerialPort port;
    std::string why;
    return port.open(device, &why) ? std::string("opened") : why;
  });
  EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
  EXPECT_NE(error.find("the user needs to be in the group " + group), std::string::npos) << error;

  // A port that is not there is no matter of groups.
  SerialPort port;
  std::string why;
  EXPECT_FALSE(port.open(tmp / "ttyS9", &why));
  EXPECT_EQ(why.find("group"), std::string::npos) << why;
}

TEST_F(DeviceAccess, AdviceOnlyForARefusalAndWithTheUsualGroupForRootsOwn) {
  EXPECT_EQ(permission_advice(tmp / "ttyS0", ENOENT, "dialout"), "");
  EXPECT_EQ(permission_advice(tmp / "ttyS0", EBUSY, "dialout"), "");
  // No device to look at, or a device of root's group: the group such devices usually have.
  EXPECT_NE(permission_advice(tmp / "gone", EACCES, "input").find("group input "),
            std::string::npos);
  if (::getegid() == 0) {
    test_support::write_text(tmp / "event0", "");
    EXPECT_NE(permission_advice(tmp / "event0", EACCES, "input").find("group input "),
              std::string::npos);
  }
}

TEST_F(DeviceAccess, TouchScreenAdviceOnlyWhenNoEventDeviceMayBeOpened) {
  const std::string dir = tmp / "input";
  std::filesystem::create_directory(dir);
  ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
  auto advice = [&] {
    return run_unprivileged([&] { return input_devices_permission_advice(dir); });
  };
  EXPECT_EQ(advice(), "") << "no event devices at all";
  test_support::write_text(dir + "/mice", "");
  const std::string group = make_locked(dir + "/event3");
  make_locked(dir + "/event1");
  EXPECT_EQ(advice(), dir + "/event1: the user needs to be in the group " + group +
                          " (sudo usermod -aG " + group + " $USER, then log in again)");
  // One device the user may read is enough for a touch screen.
  test_support::write_text(dir + "/event2", "");
  ASSERT_EQ(::chmod((dir + "/event2").c_str(), 0644), 0);
  EXPECT_EQ(advice(), "");
  EXPECT_EQ(input_devices_permission_advice(tmp / "no-such-folder"), "");
}

}  // namespace
}  // namespace platform
