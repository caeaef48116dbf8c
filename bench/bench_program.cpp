// Whole-program figures: the built display run as a user runs it, measured from outside.
//  - a simulated 24-hour day in virtual time: wall and CPU time;
//  - real time with the simulator over 60 s: the CPU share of one core;
//  - peak resident memory of those runs;
//  - time from start until the program answers its first automation command, which it serves
//    only once the message loop runs (after the first frame has been painted and presented);
//  - seeding a new panel disk with the language data: the time it takes and the megabytes the
//    disk then holds (each file counted once however many names it has).
// Every run uses one panel disk that a first, unmeasured run has seeded with the language
// data, as a panel's disk is after its first start.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "shell/disk_seed.h"

namespace {

namespace fs = std::filesystem;

struct RunFigures {
  double wall_s = 0;
  double cpu_s = 0;
  double peak_rss_mb = 0;
  double first_answer_ms = 0;
  bool ok = false;
};

RunFigures run_display_on(const fs::path& dir, const std::vector<std::string>& options,
                          const std::string& script);

// The folder of this benchmark run, removed when the program ends.
const fs::path& bench_dir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("corvex-bench-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    std::atexit([] { fs::remove_all(bench_dir()); });
    return d;
  }();
  return dir;
}

// Runs corvex-display with a script and the given options on the seeded disk.
RunFigures run_display(const std::vector<std::string>& options, const std::string& script) {
  static const bool seeded = run_display_on(bench_dir(), {}, "quit\n").ok;
  (void)seeded;
  return run_display_on(bench_dir(), options, script);
}

// The script's answers are read so that the first one can be timed.
RunFigures run_display_on(const fs::path& dir, const std::vector<std::string>& options,
                          const std::string& script) {
  RunFigures f;
  { std::ofstream(dir / "script.txt") << script; }
  std::vector<std::string> args = {
      CORVEX_DISPLAY_BINARY,   "--headless", "--disk",
      (dir / "disk").string(), "--script",   (dir / "script.txt").string()};
  args.insert(args.end(), options.begin(), options.end());

  int out[2];
  if (pipe(out) != 0) return f;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  char buf[4096];
  bool first = true;
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
    if (first) {
      f.first_answer_ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      first = false;
    }
  }
  close(out[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  f.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.cpu_s = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  f.peak_rss_mb = double(usage.ru_maxrss) / 1024.0;
  f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return f;
}

void report(benchmark::State& state, const RunFigures& f) {
  if (!f.ok) state.SkipWithError("the display did not end cleanly");
  state.counters["wall_s"] = f.wall_s;
  state.counters["cpu_s"] = f.cpu_s;
  state.counters["peak_rss_mb"] = f.peak_rss_mb;
}

void BM_virtual_day_24h(benchmark::State& state) {
  RunFigures f;
  for (auto _ : state) f = run_display({"--simulate", "--virtual-time"}, "wait 86400000\nquit\n");
  report(state, f);
}
BENCHMARK(BM_virtual_day_24h)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The same day with the dryer running and the data logging on: every log is written, files
// rotate at midnight.
void BM_virtual_day_24h_logging(benchmark::State& state) {
  RunFigures f;
  for (auto _ : state) {
    f = run_display({"--simulate", "--virtual-time"},
                    "sim run\nsim set 289 1\nwait 86400000\nquit\n");
  }
  report(state, f);
}
BENCHMARK(BM_virtual_day_24h_logging)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_real_time_cpu_share_60s(benchmark::State& state) {
  RunFigures f;
  for (auto _ : state) f = run_display({"--simulate"}, "wait 60000\nquit\n");
  report(state, f);
  state.counters["cpu_share_percent"] = f.wall_s > 0 ? 100.0 * f.cpu_s / f.wall_s : 0;
}
BENCHMARK(BM_real_time_cpu_share_60s)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_start_to_first_answer(benchmark::State& state) {
  RunFigures f;
  for (auto _ : state) f = run_display({"--simulate"}, "windows\nquit\n");
  report(state, f);
  state.counters["first_answer_ms"] = f.first_answer_ms;
}
BENCHMARK(BM_start_to_first_answer)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bytes a folder takes, a file with several names counted once, and its file count.
void folder_size(const fs::path& dir, double* megabytes, double* files) {
  std::set<std::pair<dev_t, ino_t>> seen;
  uint64_t bytes = 0;
  uint64_t count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    struct stat st {};
    if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    ++count;
    if (seen.emplace(st.st_dev, st.st_ino).second) bytes += uint64_t(st.st_size);
  }
  *megabytes = double(bytes) / 1e6;
  *files = double(count);
}

void BM_seed_disk(benchmark::State& state) {
  const fs::path disk = bench_dir() / "seeded";
  std::string error;
  bool ok = true;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(disk);
    state.ResumeTiming();
    ok = corvex::shell::seed_disk(disk.string(), &error) && ok;
  }
  if (!ok) state.SkipWithError(("seeding failed: " + error).c_str());
  double megabytes = 0, files = 0;
  folder_size(disk, &megabytes, &files);
  state.counters["seeded_mb"] = megabytes;
  state.counters["seeded_files"] = files;
}
BENCHMARK(BM_seed_disk)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
