#include "platform/io/device_access.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

namespace platform {

namespace {

// The name of group `gid`, or empty when it has none.
std::string group_name(gid_t gid) {
  std::vector<char> buffer(4096);
  group entry{};
  group* found = nullptr;
  while (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < (1u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  return found != nullptr && found->gr_name != nullptr ? found->gr_name : "";
}

}  // namespace

std::string permission_advice(const std::string& device, int error_number,
                              const std::string& usual_group) {
  if (error_number != EACCES) return {};
  std::string group = usual_group;
  struct stat st {};
  if (::stat(device.c_str(), &st) == 0 && st.st_gid != 0) {
    const std::string owner = group_name(st.st_gid);
    if (!owner.empty()) group = owner;
  }
  return "the user needs to be in the group " + group + " (sudo usermod -aG " + group +
         " $USER, then log in again)";
}

std::string input_devices_permission_advice(const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<std::string> devices;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind("event", 0) == 0) devices.push_back(it->path());
  }
  std::sort(devices.begin(), devices.end());
  if (devices.empty()) return {};
  for (const std::string& device : devices) {
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      ::close(fd);
      return {};
    }
    if (errno != EACCES) return {};
  }
  return devices.front() + ": " + permission_advice(devices.front(), EACCES, "input");
}

}  // namespace platform
