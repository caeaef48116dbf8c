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

// What the seeding has learnt on the way: whether the disk takes names of the data's files, and
// which of the data's shared files already have a copy on the disk.
struct Seeding {
  // The disk's language files are new names of the data's own files while the disk allows it:
  // a name costs no copy and no new file, and the program never writes into a language file
  // (every file it writes is replaced through a new file renamed over it, and none of them is
  // under Languages), so nothing it does reaches the data through such a name. Cleared for
  // the rest of the tree once the disk refuses one: a disk on another file system, a FAT drive,
  // or a program that may not name files it does not own.
  bool name_data_files = true;
  // Files of the data that are hard links of each other (the data generators link identical
  // pictures) stay links in a copy: the first one met is copied, the others are linked to it.
  std::map<std::pair<dev_t, ino_t>, fs::path> copied;
  // Set once a file's bytes were written to the disk, which must then be flushed before the
  // seeding counts as done.
  bool wrote_data = false;
};

// The errors of link() that say the disk will not give this file of the data a second name
// here, as opposed to a disk that failed (full, read-only, gone).
bool link_refused(int error) {
  return error == EXDEV || error == EPERM || error == EOPNOTSUPP || error == ENOSYS ||
         error == EMLINK;
}

// Makes `to` a second name of `copy`, the earlier copy of the same source file; a copy of
// `from` where the disk's file system has no hard links (a FAT drive refuses them).
std::error_code link_or_copy(const fs::path& copy, const fs::path& from, const fs::path& to) {
  if (::link(copy.c_str(), to.c_str()) == 0) return {};
  if (!link_refused(errno)) return last_error();
  return copy_one_file(from, to);
}

// Gives the disk the data file `from` under the name `to`: a new name of it where the disk
// allows, else a copy (a link to its earlier copy when the data holds it under several names).
std::error_code seed_file(const fs::path& from, const fs::path& to, Seeding& seeding) {
  if (seeding.name_data_files) {
    // Symbolic links in the data are followed, as a copy would read through them.
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return {};
    if (!link_refused(errno)) return last_error();
    // Too many names of this one file says nothing about the others.
    if (errno != EMLINK) seeding.name_data_files = false;
  }
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) return last_error();
  seeding.wrote_data = true;
  if (st.st_nlink < 2) return copy_one_file(from, to);
  const auto key = std::make_pair(st.st_dev, st.st_ino);
  const auto first = seeding.copied.find(key);
  if (first != seeding.copied.end()) return link_or_copy(first->second, from, to);
  const std::error_code ec = copy_one_file(from, to);
  if (!ec) seeding.copied.emplace(key, to);
  return ec;
}

// Seeds the new folder `to` with the folder `from` and everything in it.
std::error_code copy_tree(const fs::path& from, const fs::path& to, Seeding& seeding) {
  std::error_code ec;
  fs::create_directory(to, ec);
  if (ec) return ec;
  fs::directory_iterator it(from, ec);
  for (const fs::directory_iterator end; !ec && it != end;) {
    const fs::path target = to / it->path().filename();
    // The entry's type comes with the folder listing; only a symbolic link (or a file system
    // that lists no types) costs a look at what it names.
    const fs::file_status status = it->status(ec);
    if (ec) break;
    if (fs::is_directory(status)) {
      ec = copy_tree(it->path(), target, seeding);
    } else if (fs::is_regular_file(status)) {
      ec = seed_file(it->path(), target, seeding);
    }
    if (!ec) it.increment(ec);
  }
  return ec;
}

// Writes what the seeding put in the disk's caches to the disk itself, so that a power cut
// after the staging folder took its final name cannot leave language files without their
// bytes in a folder that looks seeded.
std::error_code flush_disk(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return last_error();
  std::error_code ec;
  if (::syncfs(fd) != 0) ec = last_error();
  ::close(fd);
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
  // Fill a temporary folder beside the target and rename it into place, so an interrupted
  // seed never leaves half a Languages folder that would stop the next seed. Bytes copied
  // reach the disk before the rename; new names of the data's files need no flush, since the
  // file system's journal keeps them ahead of the rename that follows them.
  const fs::path staging = fs::path(disk) / ".Languages.seeding";
  fs::remove_all(staging, ec);
  fs::create_directories(disk, ec);
  Seeding seeding;
  if (!ec) ec = copy_tree(fs::path(source) / "Languages", staging, seeding);
  if (!ec && seeding.wrote_data) ec = flush_disk(staging);
  if (!ec) fs::rename(staging, fs::path(disk) / "Languages", ec);
  if (ec) {
    if (error) *error = "cannot seed " + disk + ": " + ec.message();
    fs::remove_all(staging, ec);
    return false;
  }
  return true;
}

}  // namespace corvex::shell
