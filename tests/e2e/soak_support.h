#pragma once
// What the long runs share: the built corvex-display as a child process driven through its
// automation protocol (standard error kept in a file, so that a test can read what it said),
// and strict readers of the data logs' bytes that do not use the program's own code.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace corvex::soak {

inline const std::string kDisplayBinary = CORVEX_DISPLAY_BINARY;

// A whole number from the environment, or `fallback` when it is not set or not a number.
inline long env_number(const char* name, long fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return (end && *end == '\0' && value > 0) ? value : fallback;
}

inline std::string file_bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The display in virtual time with its built-in simulator, started on `disk`.
class SoakDisplay {
 public:
  SoakDisplay(const std::string& disk, const std::string& start_time, const std::string& err_path,
              const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args{kDisplayBinary, "--headless", "--simulate", "--virtual-time",
                                  "--disk",       disk,         "--script",   "-"};
    if (!start_time.empty()) {
      args.push_back("--start-time");
      args.push_back(start_time);
    }
    args.insert(args.end(), extra.begin(), extra.end());
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      if (err >= 0) dup2(err, 2);
      std::vector<char*> argv;
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_ = in[1];
    from_ = out[0];
    signal(SIGPIPE, SIG_IGN);
    reader_ = std::thread([this] { read_lines(); });
  }
  ~SoakDisplay() {
    quit();
    if (reader_.joinable()) reader_.join();
    if (from_ >= 0) close(from_);
  }
  SoakDisplay(const SoakDisplay&) = delete;
  SoakDisplay& operator=(const SoakDisplay&) = delete;

  pid_t pid() const { return pid_; }

  // Sends one command; the answer lines, the last "ok", "error: ..." or empty on time-out.
  std::vector<std::string> command(const std::string& line, int timeout_ms = 300000) {
    std::vector<std::string> answer;
    const std::string text = line + "\n";
    if (to_ < 0 || write(to_, text.data(), text.size()) != ssize_t(text.size())) {
      answer.push_back("");
      return answer;
    }
    std::unique_lock lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
      while (!lines_.empty()) {
        answer.push_back(lines_.front());
        lines_.erase(lines_.begin());
        const std::string& last = answer.back();
        if (last == "ok" || last.rfind("error: ", 0) == 0) return answer;
      }
      if (closed_ ||
          (cv_.wait_until(lock, deadline) == std::cv_status::timeout && lines_.empty())) {
        answer.push_back("");
        return answer;
      }
    }
  }
  bool ok(const std::string& line, int timeout_ms = 300000) {
    return command(line, timeout_ms).back() == "ok";
  }

  // Lets `ms` of virtual time pass, five minutes per command, so that no one answer is long
  // in coming on a loaded machine.
  bool advance(long ms) {
    for (long done = 0; done < ms; done += 300'000) {
      if (!ok("wait " + std::to_string(std::min(300'000l, ms - done)))) return false;
    }
    return true;
  }

  // offset=hex pairs of a readout command (mirror, desired, pending).
  std::map<std::string, std::string> readout(const std::string& which) {
    std::map<std::string, std::string> values;
    for (const std::string& l : command(which)) {
      std::istringstream words(l);
      for (std::string w; words >> w;) {
        const size_t eq = w.find('=');
        if (eq != std::string::npos) values[w.substr(0, eq)] = w.substr(eq + 1);
      }
    }
    return values;
  }

  // Sends the command without waiting for its answer (a long wait that a kill will cut).
  void send(const std::string& line) {
    const std::string text = line + "\n";
    if (to_ >= 0) (void)!write(to_, text.data(), text.size());
  }

  // Ends the program at once, as a power cut would; returns true when it was killed.
  bool kill_hard() {
    if (pid_ <= 0) return false;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    close_input();
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }

  // quit, then the exit code (-1 when it had to be killed).
  int quit() {
    if (pid_ <= 0) return exit_code_;
    send("quit");
    close_input();
    int status = 0;
    for (int i = 0; i < 600; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return exit_code_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return exit_code_ = -1;
  }

 private:
  void close_input() {
    if (to_ >= 0) close(to_);
    to_ = -1;
  }
  void read_lines() {
    std::string partial;
    char buf[4096];
    while (true) {
      const ssize_t n = read(from_, buf, sizeof buf);
      if (n <= 0) break;
      partial.append(buf, size_t(n));
      for (size_t nl; (nl = partial.find('\n')) != std::string::npos;) {
        std::lock_guard lock(mutex_);
        lines_.push_back(partial.substr(0, nl));
        partial.erase(0, nl + 1);
        cv_.notify_all();
      }
    }
    std::lock_guard lock(mutex_);
    closed_ = true;
    cv_.notify_all();
  }

  pid_t pid_ = -1;
  int exit_code_ = -1;
  int to_ = -1;
  int from_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::string> lines_;
  bool closed_ = false;
};

// ---- Strict readers of the logs' bytes ----

inline bool digits(const std::string& s, size_t at, size_t n) {
  if (at + n > s.size()) return false;
  for (size_t i = at; i < at + n; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// A whole unsigned number from `at` up to `stop` (or the end); moves `at` past it.
inline bool number_until(const std::string& s, size_t& at, char stop) {
  const size_t begin = at;
  while (at < s.size() && s[at] >= '0' && s[at] <= '9') ++at;
  if (at == begin || at - begin > 5) return false;
  if (stop == '\0') return at == s.size();
  if (at >= s.size() || s[at] != stop) return false;
  ++at;
  return true;
}

// "N.d" with one decimal digit, then `stop`.
inline bool tenths_until(const std::string& s, size_t& at, char stop) {
  if (!number_until(s, at, '.')) return false;
  if (!digits(s, at, 1)) return false;
  ++at;
  if (at >= s.size() || s[at] != stop) return false;
  ++at;
  return true;
}

// One record line without its CR LF: date, 12-hour time with AM/PM, seven numbers.
inline bool csv_record_line(const std::string& l) {
  if (l.size() < 21 || !digits(l, 0, 4) || l[4] != '-' || !digits(l, 5, 2) || l[7] != '-' ||
      !digits(l, 8, 2) || l[10] != ',' || !digits(l, 11, 2) || l[13] != ':' || !digits(l, 14, 2) ||
      l[16] != ':' || !digits(l, 17, 2))
    return false;
  const int month = std::stoi(l.substr(5, 2)), day = std::stoi(l.substr(8, 2));
  const int hour = std::stoi(l.substr(11, 2)), minute = std::stoi(l.substr(14, 2));
  const int second = std::stoi(l.substr(17, 2));
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 1 || hour > 12 || minute > 59 ||
      second > 59)
    return false;
  if (l.compare(19, 2, "AM") != 0 && l.compare(19, 2, "PM") != 0) return false;
  size_t at = 21;
  if (at >= l.size() || l[at++] != ',') return false;
  return number_until(l, at, ',') && tenths_until(l, at, ',') && tenths_until(l, at, ',') &&
         tenths_until(l, at, ',') && tenths_until(l, at, ',') && number_until(l, at, ',') &&
         number_until(l, at, '\0');
}

inline const std::string kCsvHeader =
    "Date,Time,Grain Column Temp,Moist In,Grain Temp In,Moist Out,Grain Temp Out,MR Speed,BPH";

// The long-term log as a strict reader sees it: every line ends CR LF, and the lines are
// header blocks (an empty line, then the column names) and record lines. Returns the record
// lines, or sets `error` to what broke the rule.
struct CsvParse {
  std::vector<std::string> records;
  int headers = 0;
  std::string error;
};

inline CsvParse parse_csv_strictly(const std::string& bytes) {
  CsvParse p;
  size_t at = 0;
  bool expect_header = false;
  size_t line_no = 0;
  while (at < bytes.size()) {
    ++line_no;
    const size_t cr = bytes.find("\r\n", at);
    if (cr == std::string::npos) {
      p.error = "line " + std::to_string(line_no) + " has no CR LF: '" + bytes.substr(at) + "'";
      return p;
    }
    const std::string line = bytes.substr(at, cr - at);
    at = cr + 2;
    if (line.find_first_of("\r\n") != std::string::npos) {
      p.error = "a bare CR or LF in line " + std::to_string(line_no);
      return p;
    }
    if (expect_header) {
      if (line != kCsvHeader) {
        p.error = "line " + std::to_string(line_no) + " is not the header: '" + line + "'";
        return p;
      }
      ++p.headers;
      expect_header = false;
    } else if (line.empty()) {
      expect_header = true;
    } else if (csv_record_line(line)) {
      p.records.push_back(line);
    } else {
      p.error = "line " + std::to_string(line_no) + " is not a record: '" + line + "'";
      return p;
    }
  }
  if (expect_header) p.error = "an empty line without the header after it at the end";
  return p;
}

// A sample file (graph or short-term): whole 18-byte records, each with a time that can be,
// the reserved byte and the roll speed's high byte zero. Empty text when it is sound.
inline std::string check_sample_file(const std::string& bytes) {
  if (bytes.size() % 18 != 0)
    return "size " + std::to_string(bytes.size()) + " is not whole records";
  for (size_t r = 0; r < bytes.size() / 18; ++r) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data()) + r * 18;
    if (b[10] != 0 || b[12] != 0 || b[13] > 23 || b[14] > 59 || b[15] > 59 || b[16] < 1 ||
        b[16] > 12 || b[17] < 1 || b[17] > 31)
      return "record " + std::to_string(r) + " is not a sample record";
  }
  return {};
}

// The files of a folder whose names start with `stem`, in name order.
inline std::vector<std::string> files_named(const std::string& folder, const std::string& stem) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(stem, 0) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline size_t count_of(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace corvex::soak
