#include "shell/disk_seed.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>
#include <vector>

#include "platform/io/paths.h"

namespace corvex::shell {

namespace fs = std::filesystem;

namespace {

std::error_code last_error() { return std::error_code(errno, std::generic_category()); }

enum class KernelCopy { Done, Unsupported, Failed };

// Lets the kernel copy the rest of `in` to `out` without a round trip through this process.
// Unsupported (nothing written) where the disks do not allow it; Failed with errno set.
KernelCopy kernel_copy(int in, int out) {
  bool copied_any = false;
  for (;;) {
    const ssize_t put = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
    if (put > 0) {
      copied_any = true;
    } else if (put == 0) {
      return copied_any ? KernelCopy::Done : KernelCopy::Unsupported;
    } else if (errno != EINTR) {
      const bool unsupported =
          errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
      return unsupported && !copied_any ? KernelCopy::Unsupported : KernelCopy::Failed;
    }
  }
}

// Copies the rest of `in` to `out` with plain reads and writes.
std::error_code plain_copy(int in, int out) {
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got == 0) return {};
    if (got < 0) {
      if (errno == EINTR) continue;
      return last_error();
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(out, buffer.data() + done, size_t(got - done));
      if (put > 0)
        done += put;
      else if (put == 0)
        return std::make_error_code(std::errc::no_space_on_device);
      else if (errno != EINTR)
        return last_error();
    }
  }
}

// Copies one file so that a failure reports its own cause (a full disk as "No space left on
// device", not as a generic input/output error).
std::error_code copy_one_file(const fs::path& from, const fs::path& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return last_error();
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    const std::error_code ec = last_error();
    ::close(in);
    return ec;
  }
  std::error_code ec;
  switch (kernel_copy(in, out)) {
    case KernelCopy::Done:
      break;
    case KernelCopy::Unsupported:
      ec = plain_copy(in, out);
      break;
    case KernelCopy::Failed:
      ec = last_error();
      break;
  }
  if (::close(out) != 0 && !ec) ec = last_error();
  ::close(in);
  return ec;
}

// Files of the source that are hard links of each other (the data generators link identical
// pictures) stay links in the copy: the first one met is copied, the others are linked to it.
struct SeenFiles {
  std::map<std::pair<dev_t, ino_t>, fs::path> copied;
};

// Makes `to` a second name of `copy`, the earlier copy of the same source file; a copy of
// `from` where the disk's file system has no hard links (a FAT drive refuses them).
std::error_code link_or_copy(const fs::path& copy, const fs::path& from, const fs::path& to) {
  if (::link(copy.c_str(), to.c_str()) == 0) return {};
  if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != EXDEV) {
    return last_error();
  }
  return copy_one_file(from, to);
}

// Copies the folder `from` with everything in it to the new folder `to`.
std::error_code copy_tree(const fs::path& from, const fs::path& to, SeenFiles& seen) {
  std::error_code ec;
  fs::create_directory(to, ec);
  if (ec) return ec;
  fs::directory_iterator it(from, ec);
  for (const fs::directory_iterator end; !ec && it != end;) {
    const fs::path target = to / it->path().filename();
    struct stat st {};
    if (::stat(it->path().c_str(), &st) != 0) {
      ec = last_error();
    } else if (S_ISDIR(st.st_mode)) {
      ec = copy_tree(it->path(), target, seen);
    } else if (S_ISREG(st.st_mode) && st.st_nlink < 2) {
      ec = copy_one_file(it->path(), target);
    } else if (S_ISREG(st.st_mode)) {
      const auto key = std::make_pair(st.st_dev, st.st_ino);
      const auto first = seen.copied.find(key);
      if (first != seen.copied.end()) {
        ec = link_or_copy(first->second, it->path(), target);
      } else {
        ec = copy_one_file(it->path(), target);
        if (!ec) seen.copied.emplace(key, target);
      }
    }
    if (!ec) it.increment(ec);
  }
  return ec;
}

// The folder of the running program, from /proc/self/exe; empty when it cannot be read.
fs::path program_dir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe.parent_path();
}

// True when `dir` is `root` or lies under it.
bool inside(const fs::path& dir, const fs::path& root) {
  const fs::path d = dir.lexically_normal(), r = root.lexically_normal();
  auto di = d.begin();
  for (auto ri = r.begin(); ri != r.end(); ++ri, ++di) {
    if (ri->empty()) continue;  // the trailing separator of "dir/"
    if (di == d.end() || *di != *ri) return false;
  }
  return true;
}

}  // namespace

std::string panel_data_dir() {
  std::error_code ec;
  auto has_languages = [&](const fs::path& dir) {
    return !dir.empty() && fs::is_directory(dir / "Languages", ec);
  };
  if (const char* env = std::getenv("CORVEX_DATA_DIR"); env && has_languages(env)) return env;
  // An installed program reads the data installed beside it (bin/../share/corvex-display),
  // wherever the prefix was moved to; only a program still in its build tree reads the data
  // generated there, so an installed one never depends on the build tree being kept.
  const fs::path here = program_dir();
  if (!here.empty()) {
    const fs::path beside = (here / CORVEX_DATA_FROM_PROGRAM).lexically_normal();
    if (has_languages(beside)) return beside.string();
    if (inside(here, CORVEX_BUILD_DIR)) {
      return has_languages(CORVEX_BUILD_DATA_DIR) ? CORVEX_BUILD_DATA_DIR : "";
    }
  }
  if (has_languages(CORVEX_INSTALL_DATA_DIR)) return CORVEX_INSTALL_DATA_DIR;
  return {};
}

bool seed_disk(const std::string& disk, std::string* error) {
  std::error_code ec;
  const fs::path languages = platform::match_case(disk, "Languages");
  if (fs::is_directory(languages, ec)) return true;
  const std::string source = panel_data_dir();
  if (source.empty()) {
    if (error) *error = "no panel data found to seed the disk with (build the program first)";
    return false;
  }
  // Copy into a temporary folder beside the target and rename it into place, so an
  // interrupted seed never leaves half a Languages folder that would stop the next seed.
  const fs::path staging = fs::path(disk) / ".Languages.seeding";
  fs::remove_all(staging, ec);
  fs::create_directories(disk, ec);
  SeenFiles seen;
  if (!ec) ec = copy_tree(fs::path(source) / "Languages", staging, seen);
  if (!ec) fs::rename(staging, fs::path(disk) / "Languages", ec);
  if (ec) {
    if (error) *error = "cannot seed " + disk + ": " + ec.message();
    fs::remove_all(staging, ec);
    return false;
  }
  return true;
}

}  // namespace corvex::shell
