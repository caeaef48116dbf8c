#include "platform/gfx/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::gfx_detail {

namespace {

bool fail(std::string* error, const std::string& what, const std::string& path) {
  if (error) *error = what + " " + path + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool write_file_replacing(const std::string& path, std::span<const uint8_t> bytes,
                          std::string* error) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = dir + "." + name + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return fail(error, "cannot create a temporary file for", path);
  fchmod(fd, 0644);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      close(fd);
      unlink(temp.c_str());
      errno = saved;
      return fail(error, "cannot write", temp);
    }
    done += size_t(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0) {
    const int saved = errno;
    unlink(temp.c_str());
    errno = saved;
    return fail(error, "cannot flush", temp);
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const int saved = errno;
    unlink(temp.c_str());
    errno = saved;
    return fail(error, "cannot rename the temporary file to", path);
  }
  return true;
}

}  // namespace platform::gfx_detail
