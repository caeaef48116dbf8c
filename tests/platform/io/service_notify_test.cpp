// Messages to the service manager: datagrams to the socket named in NOTIFY_SOCKET, a path or an
// abstract name, nothing at all without it, and the watchdog period read from WATCHDOG_USEC.
#include "platform/io/service_notify.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/io/temp_dir.h"

namespace platform {
namespace {

// Sets or clears the service variables for one test and puts the old values back after it.
class ServiceNotify : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
      ::unsetenv(name);
    }
  }
  void TearDown() override {
    for (size_t i = 0; i < std::size(kNames); ++i) {
      if (saved_[i])
        ::setenv(kNames[i], saved_[i]->c_str(), 1);
      else
        ::unsetenv(kNames[i]);
    }
    if (fd_ >= 0) ::close(fd_);
  }

  // Binds a datagram socket at `name` (a path, or '@' and an abstract name).
  void bind_socket(const std::string& name) {
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd_, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.data(), name.size());
    if (name[0] == '@') address.sun_path[0] = '\0';
    ASSERT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address),
                     socklen_t(offsetof(sockaddr_un, sun_path) + name.size())),
              0)
        << std::strerror(errno);
  }

  // The next datagram, or "(none)" when nothing arrives within a second.
  std::string receive() {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 1000) != 1) return "(none)";
    char buffer[256];
    const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
    return got < 0 ? "(error)" : std::string(buffer, size_t(got));
  }

  static constexpr const char* kNames[] = {"NOTIFY_SOCKET", "WATCHDOG_USEC", "WATCHDOG_PID"};
  std::vector<std::optional<std::string>> saved_;
  int fd_ = -1;
  test_support::TempDir tmp_;
};

TEST_F(ServiceNotify, DatagramsReachAPathOrAnAbstractSocket) {
  const std::string path = tmp_ / "notify";
  bind_socket(path);
  ::setenv("NOTIFY_SOCKET", path.c_str(), 1);
  EXPECT_TRUE(notify_service("READY=1"));
  EXPECT_TRUE(notify_service("WATCHDOG=1"));
  EXPECT_EQ(receive(), "READY=1");
  EXPECT_EQ(receive(), "WATCHDOG=1");
  ::close(fd_);

  const std::string abstract = "@corvex-notify-test-" + std::to_string(::getpid());
  bind_socket(abstract);
  ::setenv("NOTIFY_SOCKET", abstract.c_str(), 1);
  EXPECT_TRUE(notify_service("READY=1"));
  EXPECT_EQ(receive(), "READY=1");
}

TEST_F(ServiceNotify, NothingIsSentWithoutAUsableSocket) {
  EXPECT_FALSE(notify_service("READY=1"));  // unset
  ::setenv("NOTIFY_SOCKET", "", 1);
  EXPECT_FALSE(notify_service("READY=1"));
  ::setenv("NOTIFY_SOCKET", "relative/notify", 1);  // only absolute paths and '@' names
  EXPECT_FALSE(notify_service("READY=1"));
  ::setenv("NOTIFY_SOCKET", (tmp_ / "nobody-listens").c_str(), 1);
  EXPECT_FALSE(notify_service("READY=1"));
  ::setenv("NOTIFY_SOCKET", ("/" + std::string(200, 'x')).c_str(), 1);  // longer than a path may be
  EXPECT_FALSE(notify_service("READY=1"));
}

TEST_F(ServiceNotify, TheWatchdogIsPingedAtAThirdOfItsInterval) {
  ::setenv("WATCHDOG_USEC", "30000000", 1);
  EXPECT_EQ(watchdog_ping_period_ms(), 0) << "no socket, no watchdog";
  ::setenv("NOTIFY_SOCKET", "@x", 1);
  EXPECT_EQ(watchdog_ping_period_ms(), 10000);
  ::setenv("WATCHDOG_USEC", "2000", 1);
  EXPECT_EQ(watchdog_ping_period_ms(), 1) << "never a period of zero";
  ::setenv("WATCHDOG_PID", std::to_string(::getpid()).c_str(), 1);
  EXPECT_EQ(watchdog_ping_period_ms(), 1);
  ::setenv("WATCHDOG_PID", std::to_string(::getpid() + 1).c_str(), 1);
  EXPECT_EQ(watchdog_ping_period_ms(), 0) << "the watchdog is another process's";
  ::unsetenv("WATCHDOG_PID");
  for (const char* bad : {"", "0", "-3000000", "3e6", " 3000000", "99999999999999999999999"}) {
    ::setenv("WATCHDOG_USEC", bad, 1);
    EXPECT_EQ(watchdog_ping_period_ms(), 0) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace platform
