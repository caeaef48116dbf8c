#include "shell/disk_seed.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
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
      if (put > 0) done += put;
      else if (put == 0) return std::make_error_code(std::errc::no_space_on_device);
      else if (errno != EINTR) return last_error();
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
    case KernelCopy::Done: break;
    case KernelCopy::Unsupported: ec = plain_copy(in, out); break;
    case KernelCopy::Failed: ec = last_error(); break;
  }
  if (::close(out) != 0 && !ec) ec = last_error();
  ::close(in);
  return ec;
}

// Copies the folder `from` with everything in it to the new folder `to`.
std::error_code copy_tree(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_directory(to, ec);
  if (ec) return ec;
  fs::directory_iterator it(from, ec);
  for (const fs::directory_iterator end; !ec && it != end;) {
    const fs::path target = to / it->path().filename();
    if (it->is_directory(ec)) {
      ec = copy_tree(it->path(), target);
    } else if (!ec && it->is_regular_file(ec)) {
      ec = copy_one_file(it->path(), target);
    }
    if (!ec) it.increment(ec);
  }
  return ec;
}

}  // namespace

std::string panel_data_dir() {
  std::error_code ec;
  auto has_languages = [&](const std::string& dir) {
    return !dir.empty() && fs::is_directory(fs::path(dir) / "Languages", ec);
  };
  if (const char* env = std::getenv("CORVEX_DATA_DIR"); env && has_languages(env)) return env;
  if (has_languages(CORVEX_BUILD_DATA_DIR)) return CORVEX_BUILD_DATA_DIR;
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
  if (!ec) ec = copy_tree(fs::path(source) / "Languages", staging);
  if (!ec) fs::rename(staging, fs::path(disk) / "Languages", ec);
  if (ec) {
    if (error) *error = "cannot seed " + disk + ": " + ec.message();
    fs::remove_all(staging, ec);
    return false;
  }
  return true;
}

}  // namespace corvex::shell
