#pragma once
// Hostile things on a panel disk for the file tests: a FIFO where a file belongs, a disk that
// is full, and a write that the disk cuts off.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

// Runs `call` while a FIFO sits at `fifo` (made here) and returns whether it came back within
// `limit`. A call still blocked after that, in open() waiting for a peer, is released by opening
// both ends of the FIFO, so that a hang fails the test instead of stalling it.
inline bool returns_promptly(const std::string& fifo, const std::function<void()>& call,
                             std::chrono::milliseconds limit = std::chrono::seconds(2)) {
  if (::mkfifo(fifo.c_str(), 0644) != 0) return false;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    call();
    done = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const bool prompt = done;
  if (!prompt) {
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) ::close(writer);  // a released reader then reads the end of the data
    worker.join();
    if (reader >= 0) ::close(reader);
  } else {
    worker.join();
  }
  return prompt;
}

// A tmpfs of a few kilobytes mounted on a fresh folder, for the cases of a full disk. Mounting
// needs root; where it is refused, mounted() is false and the test skips.
class SmallDisk {
 public:
  explicit SmallDisk(int kilobytes) {
    char pattern[] = "/tmp/corvex-small-disk-XXXXXX";
    if (!::mkdtemp(pattern)) return;
    path_ = pattern;
    const std::string options = "size=" + std::to_string(kilobytes) + "k";
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) ::rmdir(path_.c_str());
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& path() const { return path_; }

  // Fills what is left of the disk with one file, to the last byte.
  void fill(const std::string& name = "filler") const {
    const int fd = ::open((path_ + "/" + name).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const std::vector<char> block(4096, 'f');
    for (size_t n = block.size(); fd >= 0 && n > 0; n /= 2) {
      while (::write(fd, block.data(), n) == ssize_t(n)) {
      }
    }
    if (fd >= 0) ::close(fd);
  }

 private:
  std::string path_;
  bool mounted_ = false;
};

// While it lives, a write that would make any file longer than `bytes` fails with EFBIG, as a
// write cut off by a failing disk would; SIGXFSZ is ignored so that the test program goes on.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t old_handler_ = SIG_DFL;
};

}  // namespace test_support
