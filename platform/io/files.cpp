#include "platform/io/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/io/paths.h"

namespace platform {
namespace {

std::atomic<WriteBlockHook> write_block_hook{nullptr};

void before_write_block(int fd) {
  if (const WriteBlockHook hook = write_block_hook.load()) hook(fd);
}

FileStatus status_from_errno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileStatus::NotFound;
    case EEXIST:
      return FileStatus::AlreadyExists;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case ENXIO:  // a FIFO without a reader, or a device that is not there
    case ENODEV:
      return FileStatus::AccessDenied;
    case ENOSPC:
    case EDQUOT:
      return FileStatus::DiskFull;
    case EWOULDBLOCK:
      return FileStatus::SharingViolation;
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return FileStatus::InvalidArgument;
    default:
      return FileStatus::IoError;
  }
}

int open_flags(OpenMode mode, Access access) {
  // Non-blocking, so that a FIFO put where a panel file belongs cannot hold the caller in open();
  // the flag is cleared again once the descriptor is known to be a regular file.
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (access) {
    case Access::Read:
      flags |= O_RDONLY;
      break;
    case Access::Write:
      flags |= O_WRONLY;
      break;
    case Access::ReadWrite:
      flags |= O_RDWR;
      break;
  }
  switch (mode) {
    case OpenMode::OpenExisting:
      break;
    case OpenMode::OpenAlways:
    case OpenMode::CreateAlways:
      flags |= O_CREAT;
      break;
    case OpenMode::CreateNew:
      flags |= O_CREAT | O_EXCL;
      break;
  }
  return flags;
}

int64_t to_ms(const statx_timestamp& t) { return int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000; }

bool fill_entry(int dir_fd, const char* name, FindEntry* out) {
  struct statx st;
  if (::statx(dir_fd, name, 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) return false;
  out->size = st.stx_size;
  out->is_folder = S_ISDIR(st.stx_mode);
  out->last_write_ms = to_ms(st.stx_mtime);
  out->creation_ms = (st.stx_mask & STATX_BTIME) ? to_ms(st.stx_btime) : out->last_write_ms;
  return true;
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// '?' is one character, '*' any run; on a mismatch the last '*' takes one more character.
bool wildcard_match(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") pattern = "*";
  size_t p = 0, n = 0, star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_n = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string base_name(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string dir_name(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void sync_folder(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Gives the finished temporary file the target name, never replacing an existing target.
FileStatus publish_no_replace(const std::string& temp, const std::string& target) {
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return FileStatus::Ok;
  }
  if (errno != EINVAL && errno != ENOSYS) return status_from_errno(errno);
  // A file system without the no-replace rename: a hard link refuses an existing name too.
  if (::link(temp.c_str(), target.c_str()) != 0) return status_from_errno(errno);
  ::unlink(temp.c_str());
  return FileStatus::Ok;
}

bool write_all(int fd, const uint8_t* data, size_t n) {
  for (size_t done = 0; done < n;) {
    before_write_block(fd);
    ssize_t put = ::write(fd, data + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    done += size_t(put);
  }
  return true;
}

FileStatus copy_contents(int from, int to) {
  std::vector<uint8_t> buffer(64 * 1024);
  for (;;) {
    ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return status_from_errno(errno);
    if (got == 0) return FileStatus::Ok;
    if (!write_all(to, buffer.data(), size_t(got))) return status_from_errno(errno);
  }
}

}  // namespace

const char* to_string(FileStatus status) {
  switch (status) {
    case FileStatus::Ok:
      return "ok";
    case FileStatus::NotFound:
      return "not found";
    case FileStatus::AlreadyExists:
      return "already exists";
    case FileStatus::SharingViolation:
      return "in use";
    case FileStatus::AccessDenied:
      return "access denied";
    case FileStatus::DiskFull:
      return "disk full";
    case FileStatus::InvalidArgument:
      return "invalid argument";
    case FileStatus::IoError:
      return "input/output error";
  }
  return "unknown";
}

File::~File() { close(); }

File::File(File&& other) noexcept : fd_(other.fd_), write_through_(other.write_through_) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    write_through_ = other.write_through_;
    other.fd_ = -1;
  }
  return *this;
}

FileStatus File::open(std::string_view panel_path, OpenMode mode, Access access, Sharing sharing,
                      WriteThrough write_through) {
  close();
  if (mode == OpenMode::CreateAlways && access == Access::Read) return FileStatus::InvalidArgument;
  std::string host = translate_path(panel_path);
  if (host.empty()) return FileStatus::InvalidArgument;
  int fd = ::open(host.c_str(), open_flags(mode, access), 0666);
  if (fd < 0) return status_from_errno(errno);
  // Only regular files are panel files: a folder, FIFO, socket or device is refused.
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return FileStatus::AccessDenied;
  }
  int lock = (sharing == Sharing::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  if (::flock(fd, lock) != 0) {
    int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? FileStatus::SharingViolation : status_from_errno(error);
  }
  // Emptied only once the lock is ours, so that a refused open never destroys a holder's data.
  if (mode == OpenMode::CreateAlways && ::ftruncate(fd, 0) != 0) {
    int error = errno;
    ::close(fd);
    return status_from_errno(error);
  }
  fd_ = fd;
  write_through_ = write_through == WriteThrough::On;
  return FileStatus::Ok;
}

void File::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

size_t File::read(void* buffer, size_t n) {
  if (fd_ < 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < n) {
    ssize_t got = ::read(fd_, out + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += size_t(got);
  }
  return done;
}

size_t File::write(const void* data, size_t n) {
  if (fd_ < 0) return 0;
  const auto* in = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < n) {
    before_write_block(fd_);
    ssize_t put = ::write(fd_, in + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += size_t(put);
  }
  // A write-through write that did not reach the disk has not succeeded.
  if (write_through_ && done > 0 && ::fdatasync(fd_) != 0) return 0;
  return done;
}

std::optional<uint64_t> File::seek(int64_t offset, SeekFrom from) {
  if (fd_ < 0) return std::nullopt;
  int whence = from == SeekFrom::Begin ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
  off_t at = ::lseek(fd_, off_t(offset), whence);
  if (at < 0) return std::nullopt;
  return uint64_t(at);
}

std::optional<uint64_t> File::size() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return std::nullopt;
  return uint64_t(st.st_size);
}

bool File::truncate_here() {
  if (fd_ < 0) return false;
  const off_t at = ::lseek(fd_, 0, SEEK_CUR);
  return at >= 0 && ::ftruncate(fd_, at) == 0;
}

std::vector<FindEntry> find_files(std::string_view panel_pattern) {
  std::vector<FindEntry> entries;
  size_t separator = panel_pattern.find_last_of("\\/");
  std::string_view name_pattern =
      separator == std::string_view::npos ? panel_pattern : panel_pattern.substr(separator + 1);
  if (name_pattern.find_first_of("*?") == std::string_view::npos) {
    std::string host = translate_path(panel_pattern);
    FindEntry entry;
    if (!host.empty() && fill_entry(AT_FDCWD, host.c_str(), &entry)) {
      entry.name = base_name(host);
      entries.push_back(std::move(entry));
    }
    return entries;
  }
  std::string dir = ".";
  if (separator != std::string_view::npos) {
    dir = translate_path(panel_pattern.substr(0, separator == 0 ? 1 : separator));
    if (dir.empty()) return entries;
  }
  DIR* d = ::opendir(dir.c_str());
  if (!d) return entries;
  while (dirent* e = ::readdir(d)) {
    std::string_view name = e->d_name;
    if (name == "." || name == ".." || !wildcard_match(name_pattern, name)) continue;
    FindEntry entry;
    if (!fill_entry(::dirfd(d), e->d_name, &entry)) continue;
    entry.name = std::string(name);
    entries.push_back(std::move(entry));
  }
  ::closedir(d);
  std::sort(entries.begin(), entries.end(), [](const FindEntry& a, const FindEntry& b) {
    if (a.creation_ms != b.creation_ms) return a.creation_ms < b.creation_ms;
    return a.name < b.name;
  });
  return entries;
}

bool file_exists(std::string_view panel_path) {
  std::string host = translate_path(panel_path);
  struct stat st;
  return !host.empty() && ::stat(host.c_str(), &st) == 0;
}

FileStatus delete_file(std::string_view panel_path) {
  std::string host = translate_path(panel_path);
  if (host.empty()) return FileStatus::InvalidArgument;
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0) return status_from_errno(errno);
  if (S_ISDIR(st.st_mode)) return FileStatus::AccessDenied;
  if (::unlink(host.c_str()) != 0) return status_from_errno(errno);
  return FileStatus::Ok;
}

FileStatus create_folder(std::string_view panel_path) {
  std::string host = translate_path(panel_path);
  if (host.empty()) return FileStatus::InvalidArgument;
  if (::mkdir(host.c_str(), 0777) != 0) return status_from_errno(errno);
  return FileStatus::Ok;
}

FileStatus copy_file(std::string_view source_panel_path, std::string_view target_panel_path) {
  std::string target = translate_path(target_panel_path);
  if (target.empty()) return FileStatus::InvalidArgument;
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0) return FileStatus::AlreadyExists;
  File source;
  FileStatus status = source.open(source_panel_path, OpenMode::OpenExisting, Access::Read);
  if (status != FileStatus::Ok) return status;
  std::string temp = dir_name(target) + "/." + base_name(target) + ".copy-XXXXXX";
  int out = ::mkstemp(temp.data());
  if (out < 0) return status_from_errno(errno);
  int source_fd = source.fd();
  status = copy_contents(source_fd, out);
  struct stat source_stat;
  if (status == FileStatus::Ok && ::fstat(source_fd, &source_stat) == 0) {
    ::fchmod(out, source_stat.st_mode & 0777);
    const timespec times[2] = {source_stat.st_atim, source_stat.st_mtim};
    ::futimens(out, times);
  }
  if (status == FileStatus::Ok && ::fsync(out) != 0) status = status_from_errno(errno);
  if (::close(out) != 0 && status == FileStatus::Ok) status = status_from_errno(errno);
  if (status == FileStatus::Ok) status = publish_no_replace(temp, target);
  if (status != FileStatus::Ok) {
    ::unlink(temp.c_str());
    return status;
  }
  sync_folder(dir_name(target));
  return FileStatus::Ok;
}

FileStatus replace_file(std::string_view panel_path, std::span<const uint8_t> bytes) {
  std::string target = translate_path(panel_path);
  if (target.empty()) return FileStatus::InvalidArgument;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return FileStatus::AccessDenied;
  std::string temp = dir_name(target) + "/." + base_name(target) + ".new-XXXXXX";
  int out = ::mkstemp(temp.data());
  if (out < 0) return status_from_errno(errno);
  FileStatus status = FileStatus::Ok;
  if (::fchmod(out, 0644) != 0 || !write_all(out, bytes.data(), bytes.size()) ||
      ::fsync(out) != 0) {
    status = status_from_errno(errno);
  }
  if (::close(out) != 0 && status == FileStatus::Ok) status = status_from_errno(errno);
  if (status == FileStatus::Ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    status = status_from_errno(errno);
  }
  if (status != FileStatus::Ok) {
    ::unlink(temp.c_str());
    return status;
  }
  sync_folder(dir_name(target));
  return FileStatus::Ok;
}

void sync_folder_of(std::string_view panel_path) {
  const std::string host = translate_path(panel_path);
  if (!host.empty()) sync_folder(dir_name(host));
}

void set_write_block_hook(WriteBlockHook hook) { write_block_hook.store(hook); }

}  // namespace platform
