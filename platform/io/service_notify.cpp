#include "platform/io/service_notify.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// A positive decimal number in text, or 0 for anything else (signs, spaces, overflow).
uint64_t positive_number(const char* text) {
  if (text == nullptr || *text == '\0') return 0;
  uint64_t value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return 0;
    if (value > (UINT64_MAX - 9) / 10) return 0;
    value = value * 10 + uint64_t(*p - '0');
  }
  return value;
}

}  // namespace

bool notify_service(std::string_view state) {
  const char* name = std::getenv("NOTIFY_SOCKET");
  if (name == nullptr || name[0] == '\0') return false;
  const size_t length = std::strlen(name);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // A path must be absolute; '@' stands for the leading zero byte of an abstract name.
  if ((name[0] != '/' && name[0] != '@') || length >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, name, length);
  if (name[0] == '@') address.sun_path[0] = '\0';
  const socklen_t size = socklen_t(offsetof(sockaddr_un, sun_path) + length);
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ssize_t sent;
  do {
    sent = ::sendto(fd, state.data(), state.size(), MSG_NOSIGNAL,
                    reinterpret_cast<const sockaddr*>(&address), size);
  } while (sent < 0 && errno == EINTR);
  ::close(fd);
  return sent == ssize_t(state.size());
}

int64_t watchdog_ping_period_ms() {
  const char* name = std::getenv("NOTIFY_SOCKET");
  if (name == nullptr || name[0] == '\0') return 0;
  if (const char* pid = std::getenv("WATCHDOG_PID"); pid != nullptr && pid[0] != '\0') {
    if (positive_number(pid) != uint64_t(::getpid())) return 0;
  }
  const uint64_t usec = positive_number(std::getenv("WATCHDOG_USEC"));
  if (usec == 0) return 0;
  const uint64_t ms = usec / 3000;
  return ms == 0 ? 1 : int64_t(std::min<uint64_t>(ms, INT32_MAX));
}

}  // namespace platform
