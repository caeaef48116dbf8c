#include "platform/io/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

namespace platform {
namespace {

constexpr char kActivate[] = "front\n";

// The abstract socket name: the key itself when it fits, else a hash of it.
socklen_t make_address(const std::string& key, sockaddr_un* addr) {
  std::memset(addr, 0, sizeof *addr);
  addr->sun_family = AF_UNIX;
  std::string name = "corvex-display:" + key;
  const size_t room = sizeof(addr->sun_path) - 1;
  if (name.size() > room) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : key) h = (h ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    name = "corvex-display:" + std::string(hex);
  }
  std::memcpy(addr->sun_path + 1, name.data(), name.size());
  return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

void listen_forever(int fd, void (*on_activate)()) {
  for (;;) {
    const int c = accept(fd, nullptr, nullptr);
    if (c < 0) {
      if (errno == EINTR) continue;
      return;
    }
    char buf[16];
    const ssize_t n = read(c, buf, sizeof buf);
    if (n > 0 && on_activate) on_activate();
    close(c);
  }
}

}  // namespace

InstanceClaim claim_single_instance(const std::string& key, void (*on_activate)()) {
  sockaddr_un addr;
  const socklen_t len = make_address(key, &addr);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return InstanceClaim::Failed;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
    if (listen(fd, 4) != 0) {
      close(fd);
      return InstanceClaim::Failed;
    }
    std::thread(listen_forever, fd, on_activate).detach();
    return InstanceClaim::First;
  }
  const int bind_error = errno;
  close(fd);
  if (bind_error != EADDRINUSE) return InstanceClaim::Failed;

  const int c = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (c < 0) return InstanceClaim::AlreadyRunning;
  if (connect(c, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
    ssize_t ignored = write(c, kActivate, sizeof kActivate - 1);
    (void)ignored;
  }
  close(c);
  return InstanceClaim::AlreadyRunning;
}

}  // namespace platform
