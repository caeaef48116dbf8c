#include "platform/io/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <linux/close_range.h>

#include <cerrno>
#include <cstdlib>

#include "platform/io/paths.h"

namespace platform {
namespace {

bool is_executable_file(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program's path as exec needs it, looked up before the fork so the child only calls what
// is safe between fork and exec.
std::string find_program(const std::string& name) {
  if (name.find('/') != std::string::npos) return is_executable_file(name) ? name : std::string();
  const char* search = std::getenv("PATH");
  std::string_view dirs = search ? search : "/usr/local/bin:/usr/bin:/bin";
  size_t pos = 0;
  while (pos <= dirs.size()) {
    size_t end = dirs.find(':', pos);
    if (end == std::string_view::npos) end = dirs.size();
    std::string dir(dirs.substr(pos, end - pos));
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (is_executable_file(candidate)) return candidate;
    pos = end + 1;
  }
  return {};
}

// Runs in the grandchild: plain descriptors and signals, then the program.
[[noreturn]] void exec_child(const char* program, char* const* args, int status_fd) {
  int null_fd = ::open("/dev/null", O_RDWR);
  if (null_fd >= 0) {
    ::dup2(null_fd, 0);
    ::dup2(null_fd, 1);
    if (null_fd > 2) ::close(null_fd);
  }
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  ::sigaction(SIGPIPE, &dfl, nullptr);
  ::execv(program, args);
  int error = errno;
  ssize_t ignored = ::write(status_fd, &error, sizeof error);
  (void)ignored;
  ::_exit(127);
}

std::string_view strip_quotes(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

bool is_panel_explorer(std::string_view program) {
  size_t slash = program.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? program : program.substr(slash + 1);
  constexpr std::string_view kExplorer = "explorer.exe";
  if (name.size() != kExplorer.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != kExplorer[i]) return false;
  }
  return true;
}

}  // namespace

bool start_detached(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return false;
  std::string program = find_program(argv[0]);
  if (program.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int status[2];
  if (::pipe2(status, O_CLOEXEC) != 0) return false;
  pid_t child = ::fork();
  if (child < 0) {
    ::close(status[0]);
    ::close(status[1]);
    return false;
  }
  if (child == 0) {
    // The middle process leaves at once, so the program is adopted by init and never a zombie.
    ::close(status[0]);
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild == 0) exec_child(program.c_str(), args.data(), status[1]);
    if (grandchild < 0) {
      int error = errno;
      ssize_t ignored = ::write(status[1], &error, sizeof error);
      (void)ignored;
    }
    ::_exit(0);
  }
  ::close(status[1]);
  int wstatus = 0;
  while (::waitpid(child, &wstatus, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without a word when exec succeeds; a failure sends its errno first.
  int error = 0;
  ssize_t got;
  do {
    got = ::read(status[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(status[0]);
  return got == 0;
}

bool open_folder_in_file_manager(const std::string& host_path) {
  if (host_path.empty()) return false;
  return start_detached({"xdg-open", host_path});
}

bool start_panel_program(std::string_view program, std::string_view command_line) {
  command_line = strip_quotes(command_line);
  if (is_panel_explorer(program)) return open_folder_in_file_manager(translate_path(command_line));
  std::string host_program = translate_path(program);
  if (host_program.empty()) return false;
  std::vector<std::string> argv{host_program};
  if (!command_line.empty()) argv.emplace_back(command_line);
  return start_detached(argv);
}

}  // namespace platform
