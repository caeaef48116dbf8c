// A fault soak in virtual time: the built corvex-display runs its simulator for hours while the
// simulator, at seeded random moments, falls silent, corrupts or cuts status frames, answers only
// every K-th frame, reports shutdowns, and refuses the writes of one parameter; meanwhile the
// operator changes plenum setpoints on the temperature screen. At the end every write the
// controller took has been acknowledged and none is lost, the link is up again, every log
// parses (through the program's own loaders and through a strict reading of the CSV's bytes)
// and the shutdown history holds every distinct shutdown raised.
//
// CORVEX_SOAK_HOURS (2 by default) and CORVEX_SOAK_SEED set the run; scripts/soak runs it long.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <cstdio>
#include <random>
#include <set>
#include <string>
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

// The two setpoints the operator changes: plenum #1 (status bytes 69-70, taken by the
// controller) and plenum #2 (67-68, whose writes the controller refuses throughout).
struct Setpoint {
  const char* button;
  int offset;
};
constexpr Setpoint kTaken{"PLENUM_1_SP_BUTTON", 69};
constexpr Setpoint kRefused{"PLENUM_2_SP_BUTTON", 67};

std::string hex(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// The operator's road: TEMPS, the plenum's setup button, the digits, ACCEPT, and back to the
// main screen.
::testing::AssertionResult change_setpoint(SoakDisplay& display, const Setpoint& sp, int value) {
  std::vector<std::string> steps{"click TEMPS", "wait 300", std::string("click ") + sp.button};
  for (const char digit : std::to_string(value))
    steps.push_back(std::string("click \"") + digit + "\"");
  for (const char* s :
       {"click ACCEPT", "wait 300", "click 37123", "click SCREEN_EXIT_BUTTON", "wait 300"})
    steps.push_back(s);
  for (const std::string& step : steps) {
    const std::vector<std::string> answer = display.command(step);
    if (answer.back() != "ok")
      return ::testing::AssertionFailure() << step << " answered '" << answer.back() << "'";
  }
  return ::testing::AssertionSuccess();
}

bool link_lost_shown(SoakDisplay& display) {
  for (const std::string& l : display.command("windows"))
    if (l.find("CONNECTION TO DRYER LOST!") != std::string::npos) return true;
  return false;
}

// The history through the program's own store, read from the test with the disk as its root.
std::vector<logging::HistoryRecord> history_of(const std::string& disk, bool* readable) {
  const std::string saved = platform::disk_root();
  platform::set_disk_root(disk);
  std::vector<logging::HistoryRecord> records;
  *readable = logging::read_history(logging::HistoryOrder::Time, records);
  platform::set_disk_root(saved);
  return records;
}

TEST(FaultSoak, HoursOfLinkFaultsLoseNoWriteNoLogLineAndNoShutdown) {
  const long hours = env_number("CORVEX_SOAK_HOURS", 2);
  const unsigned seed = unsigned(env_number("CORVEX_SOAK_SEED", 20261209));
  std::mt19937 random(seed);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };

  TempDir dir;
  const std::string disk = dir.path() + "/disk";
  const std::string err = dir.path() + "/err.txt";
  const auto started = std::chrono::steady_clock::now();
  SoakDisplay display(disk, "2026-04-02 08:00:00", err);
  ASSERT_TRUE(display.ok("wait 2000")) << file_bytes(err);
  ASSERT_TRUE(display.ok("sim run"));
  ASSERT_TRUE(display.ok("sim refuse " + std::to_string(kRefused.offset)));
  ASSERT_TRUE(display.ok("wait 5000"));
  const std::string refused_before = display.readout("mirror")[std::to_string(kRefused.offset)];

  enum Fault { Silence, Corrupt, Short, Every, Warning, Change, kFaultKinds };
  const char* const kNames[] = {"silence", "corrupt", "short", "every", "warning", "setpoint"};
  std::array<int, kFaultKinds> injected{};
  int outages = 0, outages_seen = 0;
  int last_taken = -1, last_refused = -1;
  std::set<std::pair<int, int>> raised;  // (warning number, node code)

  // One step is a minute of virtual time with at most one fault at a random moment in it.
  const long minutes = hours * 60;
  for (long minute = 0; minute < minutes; ++minute) {
    const int lead = between(0, 59'000);
    ASSERT_TRUE(display.ok("wait " + std::to_string(lead)));
    int used = lead;
    const int kind = between(0, 9);  // three minutes in ten pass without a fault
    switch (kind) {
      case Silence: {
        // Long enough to lose the link (the warning comes after a few seconds of silence).
        const int ms = between(1'000, 20'000);
        ASSERT_TRUE(display.ok("sim silence " + std::to_string(ms)));
        if (ms >= 12'000) {
          ++outages;
          ASSERT_TRUE(display.ok("wait " + std::to_string(ms - 500)));
          used += ms - 500;
          outages_seen += link_lost_shown(display);
        }
        break;
      }
      case Corrupt:
        ASSERT_TRUE(display.ok("sim corrupt " + std::to_string(between(1, 12))));
        break;
      case Short:
        ASSERT_TRUE(display.ok("sim short " + std::to_string(between(1, 12))));
        break;
      case Every: {
        ASSERT_TRUE(display.ok("sim every " + std::to_string(between(2, 4))));
        const int ms = between(500, 10'000);
        ASSERT_TRUE(display.ok("wait " + std::to_string(ms)));
        used += ms;
        ASSERT_TRUE(display.ok("sim every 1"));
        break;
      }
      case Warning: {
        const int number = between(1, 40), node = between(1, 15);
        ASSERT_TRUE(
            display.ok("sim warning " + std::to_string(number) + " " + std::to_string(node)));
        ASSERT_TRUE(display.ok("wait 3000"));
        used += 3000;
        ASSERT_TRUE(display.ok("sim warning 0 0"));
        ASSERT_TRUE(display.ok("sim run"));  // the shutdown stopped the dryer
        raised.insert({number, node});
        break;
      }
      case Change: {
        // The operator types through the screens whatever the link is doing.
        const bool refused = between(0, 3) == 0;
        const int value = between(120, 220);
        ASSERT_TRUE(change_setpoint(display, refused ? kRefused : kTaken, value));
        used += 1200;
        (refused ? last_refused : last_taken) = value;
        break;
      }
      default:
        break;
    }
    if (kind < kFaultKinds) ++injected[size_t(kind)];
    if (used < 60'000) {
      ASSERT_TRUE(display.ok("wait " + std::to_string(60'000 - used)));
    }
  }

  // Calm again: every fault is over; a minute lets the link settle and the last writes through.
  ASSERT_TRUE(display.ok("sim every 1"));
  ASSERT_TRUE(display.ok("sim corrupt 0"));
  ASSERT_TRUE(display.ok("sim short 0"));
  ASSERT_TRUE(display.ok("wait 60000"));

  std::printf("[ soak     ] %ld virtual hours, seed %u:", hours, seed);
  for (int k = 0; k < kFaultKinds; ++k) std::printf(" %s %d", kNames[k], injected[size_t(k)]);
  std::printf(", outages %d\n", outages);

  // The link recovered after every outage, each of which it reported.
  EXPECT_EQ(outages_seen, outages) << "an outage the display did not report";
  EXPECT_FALSE(link_lost_shown(display)) << "the lost link is still shown";

  // Writes: the taken one acknowledged by read-back, the refused one still going out.
  auto mirror = display.readout("mirror");
  auto desired = display.readout("desired");
  auto pending = display.readout("pending");
  const std::string taken = std::to_string(kTaken.offset),
                    refused = std::to_string(kRefused.offset);
  ASSERT_GE(injected[Change], 2) << "the soak changed no setpoint";
  if (last_taken >= 0) {
    EXPECT_EQ(desired[taken], hex(last_taken)) << "the operator's last value was lost";
    EXPECT_EQ(mirror[taken], hex(last_taken)) << "the controller's value is not the operator's";
  }
  EXPECT_EQ(pending.count(taken), 0u) << "a write the controller took is still pending";
  if (last_refused >= 0) {
    EXPECT_EQ(desired[refused], hex(last_refused));
    EXPECT_EQ(pending[refused], "1") << "a refused write stopped going out";
    EXPECT_EQ(mirror[refused], refused_before) << "the refused value reached the controller";
  }
  // The clock record (53) is raised again by the tick itself; any other raised write is lost.
  for (const auto& [offset, raised_flag] : pending)
    EXPECT_TRUE(offset == refused || offset == "53")
        << "pending write " << offset << " left behind";

  ASSERT_EQ(display.quit(), 0);
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("[ soak     ] wall time %.1f s\n", wall);

  // The CSV: a strict parse of its bytes, one header, and lines a whole number of snapshot
  // periods (12 s) apart: the link's faults neither delay nor repeat a snapshot. The dryer
  // stops at every shutdown until it is started again, and logging with it.
  const CsvParse csv = parse_csv_strictly(file_bytes(disk + "/DataLog/LongTermDataLog.csv"));
  EXPECT_EQ(csv.error, "");
  EXPECT_EQ(csv.headers, 1);
  EXPECT_GT(csv.records.size(), size_t(hours * 3600 / 12 / 2));
  int previous = -1;
  for (const std::string& l : csv.records) {
    int y = 0, mo = 0, d = 0, h = 0, m = 0, sec = 0;
    char half = 0;
    ASSERT_EQ(std::sscanf(l.c_str(), "%d-%d-%d,%d:%d:%d%c", &y, &mo, &d, &h, &m, &sec, &half), 7)
        << l;
    const int at = (((d * 24) + h % 12 + (half == 'P' ? 12 : 0)) * 60 + m) * 60 + sec;
    if (previous >= 0) {
      EXPECT_TRUE(at > previous && (at - previous) % 12 == 0) << l << " after " << previous << " s";
    }
    previous = at;
  }

  // The graph and short-term logs: whole records, and the program's own loaders read them.
  uint64_t short_bytes = 0;
  for (const auto& [folder, stem] :
       {std::pair<std::string, std::string>{disk + "/GraphDataLog", "GRAPH_DATA_LOG_24HR"},
        {disk + "/ShortTermDataLog", "DATA_LOG_24HR"}}) {
    const std::vector<std::string> names = files_named(folder, stem);
    EXPECT_FALSE(names.empty()) << folder;
    for (const std::string& name : names) {
      const std::string bytes = file_bytes(folder + "/" + name);
      EXPECT_EQ(check_sample_file(bytes), "") << name;
      if (stem == "DATA_LOG_24HR") short_bytes += bytes.size();
    }
  }
  {
    const std::string saved = platform::disk_root();
    platform::set_disk_root(disk);
    static logging::GraphWindow window;
    EXPECT_EQ(logging::load_graph_window(window, 0, 0), logging::GraphLoad::Loaded);
    std::array<logging::DryerSampleRecord, 8> recent{};
    EXPECT_EQ(logging::read_recent_short_term_records(recent, 0),
              int(std::min<uint64_t>(8, short_bytes / 18)));
    platform::set_disk_root(saved);
  }

  // Every distinct shutdown raised is in the history with its node.
  bool readable = false;
  const std::vector<logging::HistoryRecord> history = history_of(disk, &readable);
  ASSERT_TRUE(readable);
  std::multiset<std::string> nodes;
  for (const logging::HistoryRecord& r : history) nodes.insert(r.node_name);
  std::multiset<std::string> expected;
  for (const auto& [number, node] : raised) expected.insert(logging::node_name(node));
  for (const std::string& node : expected)
    EXPECT_GE(nodes.count(node), expected.count(node)) << node;
  EXPECT_GE(history.size(), raised.size());
}

// ---- A disk that fills up or turns read-only ----

// Mounts of this test process, in a mount namespace of its own so that nothing mounted here is
// seen outside it or outlives it; undone (lazily) by the destructor.
class Mounts {
 public:
  static bool available() {
    static const bool ok = ::unshare(CLONE_NEWNS) == 0 &&
                           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ok;
  }
  ~Mounts() {
    for (auto it = points_.rbegin(); it != points_.rend(); ++it) ::umount2(it->c_str(), MNT_DETACH);
  }
  bool tmpfs(const std::string& at, const std::string& options) {
    if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) != 0) return false;
    points_.push_back(at);
    return true;
  }
  bool bind(const std::string& from, const std::string& at) {
    if (::mount(from.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) != 0) return false;
    points_.push_back(at);
    return true;
  }
  static bool read_only(const std::string& at, bool ro) {
    return ::mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | (ro ? MS_RDONLY : 0), nullptr) == 0;
  }

 private:
  std::vector<std::string> points_;
};

// Fills the file system of `path` to the last byte; returns the bytes written.
uint64_t fill(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return 0;
  std::vector<char> block(65536, 'x');
  uint64_t total = 0;
  for (size_t size = block.size(); size > 0;) {
    const ssize_t n = ::write(fd, block.data(), size);
    if (n > 0)
      total += uint64_t(n);
    else
      size /= 2;
  }
  ::close(fd);
  return total;
}

size_t csv_records(const std::string& disk, std::string* error) {
  const CsvParse csv = parse_csv_strictly(file_bytes(disk + "/DataLog/LongTermDataLog.csv"));
  *error = csv.error;
  return csv.records.size();
}

// A CSV of an earlier run of exactly `size` bytes: its header and record lines whose three
// whole numbers (one to five digits each) are as long as it takes to end at that size.
std::string earlier_csv(size_t size) {
  std::string text = "\r\n" + kCsvHeader + "\r\n";
  auto line = [](size_t pad) {
    std::string digits[3];
    for (std::string& d : digits) {
      const size_t n = 1 + std::min<size_t>(pad, 4);
      pad -= n - 1;
      d = std::string(n, '7');
    }
    return "2026-10-04,01:00:00PM," + digits[0] + ",22.3,61.9,16.0,62.0," + digits[1] + "," +
           digits[2] + "\r\n";
  };
  const size_t shortest = line(0).size(), longest = line(12).size();
  const size_t rest = size - text.size();
  const size_t lines = (rest + longest - 1) / longest;
  size_t pad = rest - lines * shortest;
  for (size_t i = 0; i < lines; ++i) {
    const size_t here = std::min<size_t>(pad, 12);
    text += line(here);
    pad -= here;
  }
  return text;
}

// The three log folders live on a small file system of their own, which the test fills and
// then empties, and turns read-only and then writable again; the display goes on through it,
// says each trouble once on standard error, keeps its files whole and logs again afterwards.
// The CSV of an earlier run ends 20 bytes before the end of its last page, so that the full
// file system takes part of the next header and no more.
TEST(FaultSoak, FullAndReadOnlyDiskIsSurvivedSaidOnceAndLoggingResumes) {
  if (!Mounts::available()) GTEST_SKIP() << "no mount namespace here (needs root)";
  TempDir dir;
  Mounts mounts;
  const std::string disk = dir.path() + "/disk", small = dir.path() + "/small";
  const std::string err = dir.path() + "/err.txt";
  const std::string csv_path = disk + "/DataLog/LongTermDataLog.csv";
  fs::create_directories(small);
  ASSERT_TRUE(mounts.tmpfs(small, "size=256k,mode=0755")) << std::strerror(errno);
  for (const char* folder : {"DataLog", "GraphDataLog", "ShortTermDataLog"}) {
    fs::create_directories(small + "/" + folder);
    fs::create_directories(disk + "/" + folder);
    ASSERT_TRUE(mounts.bind(small + "/" + folder, disk + "/" + folder)) << std::strerror(errno);
  }
  const std::string earlier = earlier_csv(4096 - 20);
  ASSERT_EQ(earlier.size(), 4076u);
  std::ofstream(csv_path, std::ios::binary) << earlier;
  std::string error;
  const size_t earlier_records = csv_records(disk, &error);
  ASSERT_EQ(error, "");
  ASSERT_GT(earlier_records, 60u);
  ASSERT_GT(fill(small + "/filler"), 0u);

  // Full from the start: ten minutes of logging that reaches nothing.
  SoakDisplay display(disk, "2026-10-05 06:00:00", err);
  ASSERT_TRUE(display.ok("wait 2000")) << file_bytes(err);
  ASSERT_TRUE(display.ok("sim run"));
  ASSERT_TRUE(display.advance(600'000))
      << "the display did not survive the full disk: " << file_bytes(err);
  EXPECT_TRUE(file_bytes(csv_path) == earlier) << "the full disk kept part of a header or line";
  std::string said = file_bytes(err);
  EXPECT_EQ(count_of(said, "cannot write the data logs"), 1u) << said;
  EXPECT_EQ(count_of(said, "the disk is full"), 1u) << said;

  // Space again: logging goes on at once, after a header of its own.
  fs::remove(small + "/filler");
  ASSERT_TRUE(display.advance(120'000));
  const std::string after_full = file_bytes(csv_path);
  const size_t records_after_full = csv_records(disk, &error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(after_full.compare(0, earlier.size(), earlier), 0);
  EXPECT_EQ(after_full.compare(earlier.size(), 2 + kCsvHeader.size(), "\r\n" + kCsvHeader), 0);
  EXPECT_GE(records_after_full, earlier_records + 9)
      << "logging did not resume when space returned";
  said = file_bytes(err);
  EXPECT_EQ(count_of(said, "the data logs are written again"), 1u) << said;

  // Read-only: nothing changes on the disk; writable again: logging goes on.
  ASSERT_TRUE(Mounts::read_only(small, true)) << std::strerror(errno);
  ASSERT_TRUE(display.advance(120'000))
      << "the display did not survive the read-only disk: " << file_bytes(err);
  EXPECT_TRUE(file_bytes(csv_path) == after_full);
  said = file_bytes(err);
  EXPECT_EQ(count_of(said, "cannot write the data logs"), 2u) << said;
  EXPECT_EQ(count_of(said, "the disk is read-only"), 1u) << said;
  ASSERT_TRUE(Mounts::read_only(small, false)) << std::strerror(errno);
  ASSERT_TRUE(display.advance(120'000));
  EXPECT_GE(csv_records(disk, &error), records_after_full + 9)
      << "logging did not resume when writable";
  EXPECT_EQ(error, "");
  EXPECT_EQ(count_of(file_bytes(err), "the data logs are written again"), 2u) << file_bytes(err);
  EXPECT_EQ(display.quit(), 0);

  for (const auto& [folder, stem] :
       {std::pair<std::string, std::string>{disk + "/GraphDataLog", "GRAPH_DATA_LOG_24HR"},
        {disk + "/ShortTermDataLog", "DATA_LOG_24HR"}}) {
    for (const std::string& name : files_named(folder, stem))
      EXPECT_EQ(check_sample_file(file_bytes(folder + "/" + name)), "") << name;
  }
}

}  // namespace
