#include "platform/io/paths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

namespace platform {
namespace {

std::mutex roots_mutex;
std::string disk_root_dir;
std::string usb_root_dir;

constexpr std::string_view kDiskPrefix = "/hard disk";
constexpr std::string_view kUsbPrefix = "/hard disk2";

char fold(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equal_folded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

std::string without_trailing_slashes(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool is_directory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string join(std::string_view base, std::string_view name) {
  std::string out(base);
  if (out.empty()) return std::string(name);
  if (out.back() != '/') out += '/';
  out += name;
  return out;
}

// The existing entry of dir whose name equals name without regard to case, or an empty text.
std::string find_folded_entry(const std::string& dir, std::string_view name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string best;
  while (dirent* e = ::readdir(d)) {
    std::string_view entry = e->d_name;
    if (!equal_folded(entry, name)) continue;
    if (best.empty() || entry < best) best = std::string(entry);
  }
  ::closedir(d);
  return best;
}

std::string current_user() {
  const char* user = std::getenv("USER");
  if (user && *user) return user;
  if (passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
  return {};
}

// Mount points in the mount table escape space, tab, newline and backslash as \ooo.
std::string decode_mount_field(std::string_view field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      int value = 0;
      bool octal = true;
      for (size_t k = 1; k <= 3; ++k) {
        char c = field[i + k];
        if (c < '0' || c > '7') octal = false;
        value = value * 8 + (c - '0');
      }
      if (octal && value < 256) {
        out += char(value);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::string translate_disk_path(std::string_view root, std::string_view rest) {
  if (root.empty()) return {};
  return match_case(root, rest);
}

// Counts the changes of the disk root, so that what was read from one disk is not taken for
// what another holds.
std::atomic<uint64_t> disk_root_changes{0};

}  // namespace

void set_disk_root(std::string dir) {
  std::lock_guard lock(roots_mutex);
  disk_root_dir = without_trailing_slashes(std::move(dir));
  disk_root_changes.fetch_add(1, std::memory_order_relaxed);
}

uint64_t disk_root_generation() { return disk_root_changes.load(std::memory_order_relaxed); }

std::string disk_root() {
  std::lock_guard lock(roots_mutex);
  return disk_root_dir;
}

void set_usb_root(std::string dir) {
  std::lock_guard lock(roots_mutex);
  usb_root_dir = without_trailing_slashes(std::move(dir));
}

std::string usb_root() {
  std::string fixed;
  {
    std::lock_guard lock(roots_mutex);
    fixed = usb_root_dir;
  }
  if (!fixed.empty()) return is_directory(fixed) ? fixed : std::string();
  std::ifstream in("/proc/self/mounts");
  std::stringstream text;
  text << in.rdbuf();
  return find_usb_mount(text.str(), current_user());
}

bool usb_present() { return !usb_root().empty(); }

std::string match_case(std::string_view base_dir, std::string_view relative) {
  std::string out(base_dir);
  bool matching = true;
  size_t pos = 0;
  while (pos <= relative.size()) {
    size_t end = relative.find('/', pos);
    if (end == std::string_view::npos) end = relative.size();
    std::string_view part = relative.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty()) continue;
    std::string candidate = join(out, part);
    if (matching && !exists(candidate)) {
      std::string found = find_folded_entry(out, part);
      if (found.empty()) {
        matching = false;
      } else {
        candidate = join(out, found);
      }
    }
    out = std::move(candidate);
  }
  return out;
}

std::string translate_path(std::string_view panel_path) {
  std::string path(panel_path);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  auto has_prefix = [&](std::string_view prefix) {
    if (path.size() < prefix.size()) return false;
    if (!equal_folded(std::string_view(path).substr(0, prefix.size()), prefix)) return false;
    return path.size() == prefix.size() || path[prefix.size()] == '/';
  };
  // "\Hard Disk2" first: "\Hard Disk" is a prefix of it.
  if (has_prefix(kUsbPrefix))
    return translate_disk_path(usb_root(), path.substr(kUsbPrefix.size()));
  if (has_prefix(kDiskPrefix))
    return translate_disk_path(disk_root(), path.substr(kDiskPrefix.size()));
  if (!path.empty() && path[0] == '/') return match_case("/", path.substr(1));
  return match_case("", path);
}

std::string disk_rooted(std::string_view relative_panel_path) {
  if (!disk_present()) return std::string(relative_panel_path);
  std::string out = "\\Hard Disk\\";
  out += relative_panel_path;
  return out;
}

bool disk_present() {
  std::string root = disk_root();
  return !root.empty() && exists(root);
}

std::string find_usb_mount(std::string_view mount_table, std::string_view user) {
  if (user.empty()) return {};
  const std::string parents[] = {"/media/" + std::string(user), "/run/media/" + std::string(user)};
  size_t pos = 0;
  while (pos < mount_table.size()) {
    size_t end = mount_table.find('\n', pos);
    if (end == std::string_view::npos) end = mount_table.size();
    std::string_view line = mount_table.substr(pos, end - pos);
    pos = end + 1;
    size_t first_space = line.find(' ');
    if (first_space == std::string_view::npos) continue;
    std::string_view rest = line.substr(first_space + 1);
    std::string mount_point = decode_mount_field(rest.substr(0, rest.find(' ')));
    for (const std::string& parent : parents) {
      if (mount_point.size() <= parent.size() + 1) continue;
      if (mount_point.compare(0, parent.size(), parent) != 0 || mount_point[parent.size()] != '/')
        continue;
      if (mount_point.find('/', parent.size() + 1) != std::string::npos) continue;
      return mount_point;
    }
  }
  return {};
}

}  // namespace platform
