#include "support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace corvex::testing_support {

ProcessResult run_process(const std::vector<std::string>& argv, const std::string& input,
                          int timeout_ms) {
  ProcessResult r;
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) return r;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);

  size_t written = 0;
  int in_fd = in[1];
  if (input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  bool out_open = true, err_open = true;
  while (out_open || err_open) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) {
      r.timed_out = true;
      kill(pid, SIGKILL);
      break;
    }
    pollfd fds[3] = {{out_open ? out[0] : -1, POLLIN, 0},
                     {err_open ? err[0] : -1, POLLIN, 0},
                     {in_fd, POLLOUT, 0}};
    if (poll(fds, 3, int(left)) < 0) continue;
    char buf[4096];
    if (fds[0].revents) {
      const ssize_t n = read(out[0], buf, sizeof buf);
      if (n > 0) r.out.append(buf, size_t(n)); else out_open = false;
    }
    if (fds[1].revents) {
      const ssize_t n = read(err[0], buf, sizeof buf);
      if (n > 0) r.err.append(buf, size_t(n)); else err_open = false;
    }
    if (in_fd >= 0 && fds[2].revents) {
      const ssize_t n = write(in_fd, input.data() + written, input.size() - written);
      if (n > 0) written += size_t(n);
      if (n <= 0 || written == input.size()) {
        close(in_fd);
        in_fd = -1;
      }
    }
  }
  if (in_fd >= 0) close(in_fd);
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!r.timed_out && WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
  return r;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvex-test-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

}  // namespace corvex::testing_support
