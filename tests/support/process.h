#pragma once
// Running a built program in a test: feed it standard input, collect its output and exit code,
// with a time limit so that a hung program fails the test instead of stalling it.
#include <string>
#include <vector>

namespace corvex::testing_support {

struct ProcessResult {
  int exit_code = -1;      // -1 when it did not exit normally (signal or time-out)
  bool timed_out = false;
  std::string out;
  std::string err;
};

// Runs argv[0] with the arguments, writes `input` to its standard input and closes it, and
// waits at most timeout_ms for it to end (it is killed after that).
ProcessResult run_process(const std::vector<std::string>& argv, const std::string& input,
                          int timeout_ms);

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace corvex::testing_support
