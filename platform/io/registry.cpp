#include "platform/io/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/io/paths.h"

namespace platform::registry {
namespace {

constexpr size_t kMaxNameBytes = 255;

bool valid_component(std::string_view part) {
  if (part.empty() || part.size() > kMaxNameBytes || part == "." || part == "..") return false;
  return part.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// The key path with slashes, relative to the store's user root.
std::string relative_key(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  std::string out(key);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

std::string user_root() {
  std::string disk = disk_root();
  if (disk.empty()) return {};
  return match_case(disk, "Registry/HKEY_CURRENT_USER");
}

bool is_directory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool make_folder(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && is_directory(path));
}

bool write_all(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += size_t(put);
  }
  return true;
}

bool sync_folder(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

bool valid_key_path(std::string_view key) {
  std::string relative = relative_key(key);
  if (relative.empty()) return false;
  size_t pos = 0;
  while (pos <= relative.size()) {
    size_t end = relative.find('/', pos);
    if (end == std::string::npos) end = relative.size();
    if (!valid_component(std::string_view(relative).substr(pos, end - pos))) return false;
    pos = end + 1;
  }
  // Slashes in the key itself would look like separators in the relative form above.
  return key.find('/') == std::string_view::npos;
}

bool valid_value_name(std::string_view name) {
  return valid_component(name) && name.front() != '.';
}

std::string key_folder(std::string_view key) {
  if (!valid_key_path(key)) return {};
  std::string root = user_root();
  if (root.empty()) return {};
  return match_case(root, relative_key(key));
}

bool key_exists(std::string_view key) {
  std::string folder = key_folder(key);
  return !folder.empty() && is_directory(folder);
}

bool create_key(std::string_view key) {
  if (!valid_key_path(key)) return false;
  std::string disk = disk_root();
  if (disk.empty() || !is_directory(disk)) return false;
  std::string path = disk;
  std::string relative = "Registry/HKEY_CURRENT_USER/" + relative_key(key);
  size_t pos = 0;
  while (pos < relative.size()) {
    size_t end = relative.find('/', pos);
    if (end == std::string::npos) end = relative.size();
    path = match_case(path, relative.substr(pos, end - pos));
    if (!make_folder(path)) return false;
    pos = end + 1;
  }
  return true;
}

std::optional<std::vector<uint8_t>> read_value(std::string_view key, std::string_view name) {
  if (!valid_value_name(name)) return std::nullopt;
  std::string folder = key_folder(key);
  if (folder.empty()) return std::nullopt;
  std::string path = match_case(folder, name);
  // Non-blocking, so that a FIFO in place of a value cannot hold the caller in open(); it is
  // refused below as not a regular file.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || size_t(st.st_size) > kMaxValueBytes) {
    ::close(fd);
    return std::nullopt;
  }
  std::vector<uint8_t> bytes(size_t(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += size_t(got);
  }
  ::close(fd);
  if (done != bytes.size()) return std::nullopt;
  return bytes;
}

bool write_value(std::string_view key, std::string_view name, std::span<const uint8_t> bytes) {
  if (!valid_value_name(name)) return false;
  std::string folder = key_folder(key);
  if (folder.empty() || !is_directory(folder)) return false;
  std::string target = match_case(folder, name);
  // The temporary name starts with '.', which no value name may, so it never shadows a value.
  std::string temp = folder + "/." + std::string(name) + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0644) == 0 && write_all(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  return sync_folder(folder);
}

bool delete_value(std::string_view key, std::string_view name) {
  if (!valid_value_name(name)) return false;
  std::string folder = key_folder(key);
  if (folder.empty()) return false;
  std::string path = match_case(folder, name);
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0 && sync_folder(folder);
}

}  // namespace platform::registry
