// The crash loop: the built corvex-display is killed with SIGKILL at random moments of a
// virtual run (while it logs, records a shutdown, switches the language, keeps a setting in
// its registry, or seeds its disk) and started again on the same disk, round after round. It
// always starts, every file parses, and nothing written before a kill is lost: the CSV read
// before the kill is still the start of the file byte for byte, and every history row is
// still there.
//
// CORVEX_CRASH_ROUNDS (10 by default) and CORVEX_CRASH_SEED set the run; scripts/crash-loop
// runs many rounds.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/soak_support.h"
#include "logging/graph_log.h"
#include "logging/short_term_log.h"
#include "logging/shutdown_history.h"
#include "platform/io/paths.h"
#include "support/process.h"

namespace {

using corvex::testing_support::TempDir;
using namespace corvex::soak;
namespace logging = corvex::logging;
namespace fs = std::filesystem;

// What the program is doing when it is killed.
enum class Doing { Logging, HistoryInsert, LanguageSwitch, RegistryWrite, DiskSeeding, kCount };
const char* const kDoingNames[] = {"logging", "history insert", "language switch", "registry write",
                                   "disk seeding"};

struct DiskView {
  std::string csv;
  std::vector<logging::HistoryRecord> history;
  bool history_readable = false;
};

// The disk as the program's own loaders and a strict reader see it; failures are reported
// against `when`.
DiskView look_at(const std::string& disk, const std::string& when) {
  DiskView v;
  v.csv = file_bytes(disk + "/DataLog/LongTermDataLog.csv");
  const CsvParse csv = parse_csv_strictly(v.csv);
  EXPECT_EQ(csv.error, "") << when;
  for (const auto& [folder, stem] :
       {std::pair<std::string, std::string>{disk + "/GraphDataLog", "GRAPH_DATA_LOG_24HR"},
        {disk + "/ShortTermDataLog", "DATA_LOG_24HR"}}) {
    for (const std::string& name : files_named(folder, stem))
      EXPECT_EQ(check_sample_file(file_bytes(folder + "/" + name)), "") << name << " " << when;
  }
  const std::string saved = platform::disk_root();
  platform::set_disk_root(disk);
  if (fs::exists(disk + "/ShutdownHistoryDB")) {
    v.history_readable = logging::read_history(logging::HistoryOrder::Time, v.history);
    EXPECT_TRUE(v.history_readable) << when;
  }
  if (!logging::scan_graph_files().files.empty()) {
    static logging::GraphWindow window;
    EXPECT_EQ(logging::load_graph_window(window, 0, 0), logging::GraphLoad::Loaded) << when;
  }
  platform::set_disk_root(saved);
  return v;
}

// Every row of `before` is in `after` (same text, node and time).
bool holds_all(const std::vector<logging::HistoryRecord>& after,
               const std::vector<logging::HistoryRecord>& before) {
  for (const logging::HistoryRecord& b : before) {
    bool found = false;
    for (const logging::HistoryRecord& a : after)
      found = found || (a.shutdown_text == b.shutdown_text && a.node_name == b.node_name &&
                        a.file_time == b.file_time);
    if (!found) return false;
  }
  return true;
}

TEST(CrashLoop, KilledAtRandomMomentsItStartsAgainAndLosesNothingWritten) {
  const long rounds = env_number("CORVEX_CRASH_ROUNDS", 10);
  const unsigned seed = unsigned(env_number("CORVEX_CRASH_SEED", 424242));
  std::mt19937 random(seed);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };

  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  const std::string err = dir.path() + "/err.txt";
  const auto started = std::chrono::steady_clock::now();
  std::vector<int> kills(size_t(Doing::kCount), 0);
  bool german = false;

  for (long round = 0; round < rounds; ++round) {
    const Doing doing = round == 0 ? Doing::DiskSeeding : Doing(between(0, int(Doing::kCount) - 1));
    const std::string when =
        "round " + std::to_string(round) + " (" + kDoingNames[int(doing)] + ")";
    // Each round starts an hour after the last, so that its rows and lines are its own.
    char start[64];
    std::snprintf(start, sizeof start, "2026-%02d-%02d %02d:00:00", int(1 + round / 672 % 12),
                  int(1 + round / 24 % 28), int(round % 24));
    if (doing == Doing::DiskSeeding) {
      std::error_code ec;
      fs::remove_all(disk + "/Languages", ec);
    }
    SoakDisplay display(disk, start, err);
    if (doing == Doing::DiskSeeding) {
      // Somewhere in the first second and a half: copying the language data, or just after.
      std::this_thread::sleep_for(std::chrono::milliseconds(between(0, 1500)));
      EXPECT_TRUE(display.kill_hard()) << when;
      ++kills[size_t(doing)];
      look_at(disk, when);
      continue;
    }
    const std::vector<std::string> first = display.command("wait 1000");
    ASSERT_EQ(first.back(), "ok") << "the program did not start in " << when << ": "
                                  << file_bytes(err);
    ASSERT_TRUE(display.ok("sim run"));
    ASSERT_TRUE(display.ok("wait " + std::to_string(between(20'000, 60'000))));
    // What is on the disk now, while the program waits for its next command.
    const DiskView before = look_at(disk, when + ", before the kill");

    switch (doing) {
      case Doing::Logging:
        display.send("wait 3600000");
        break;
      case Doing::HistoryInsert:
        display.send("sim warning " + std::to_string(between(1, 40)) + " " +
                     std::to_string(between(1, 15)));
        display.send("wait 2000");
        break;
      case Doing::LanguageSwitch:
        for (const char* step :
             {"click SETUP", "click EXTENDED_SETUP_BUTTON", "wait 300", "click LANGUAGE",
              german ? "click 1492" : "click 1497", "wait 300"})
          display.send(step);
        german = !german;
        break;
      case Doing::RegistryWrite:
        // The view choice is kept in the registry.
        for (const char* step : {"click VIEW", "click \"GRAPH VIEW BUTTON\"", "wait 1000",
                                 "click VIEW", "click \"CHART VIEW BUTTON\"", "wait 1000"})
          display.send(step);
        break;
      default:
        break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(between(0, 800)));
    EXPECT_TRUE(display.kill_hard()) << when;
    ++kills[size_t(doing)];

    const DiskView after = look_at(disk, when + ", after the kill");
    EXPECT_TRUE(after.csv.size() >= before.csv.size() &&
                after.csv.compare(0, before.csv.size(), before.csv) == 0)
        << "CSV bytes written before the kill changed in " << when;
    EXPECT_TRUE(holds_all(after.history, before.history)) << "a history row was lost in " << when;
  }

  // A last start on the disk of all those kills: it starts, runs and ends cleanly.
  {
    const DiskView before = look_at(disk, "before the last start");
    SoakDisplay display(disk, "2026-07-20 12:00:00", err);
    ASSERT_EQ(display.command("wait 1000").back(), "ok") << file_bytes(err);
    ASSERT_TRUE(display.ok("sim run"));
    ASSERT_TRUE(display.ok("wait 30000"));
    ASSERT_TRUE(display.ok("sim warning 7 14"));  // a shutdown: the dryer stops
    ASSERT_TRUE(display.ok("wait 3000"));
    EXPECT_TRUE(display.ok("windows"));
    EXPECT_EQ(display.quit(), 0);
    const DiskView after = look_at(disk, "after the last run");
    EXPECT_EQ(after.csv.compare(0, before.csv.size(), before.csv), 0);
    EXPECT_GT(after.csv.size(), before.csv.size()) << "the last run logged nothing";
    EXPECT_TRUE(holds_all(after.history, before.history));
    EXPECT_GT(after.history.size(), before.history.size()) << "the last shutdown was not kept";
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("[ crash    ] %ld rounds, seed %u:", rounds, seed);
  for (size_t k = 0; k < kills.size(); ++k) std::printf(" %s %d", kDoingNames[k], kills[k]);
  std::printf("; wall time %.1f s\n", wall);
}

}  // namespace
