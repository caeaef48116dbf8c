// Loading the operator texts: the string table and the nine warnings files of a language read
// cold (evicted from the page cache before each load) and from the cache, and a language
// switch (both tables of the other language and the rewrite of the configuration file).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/io/paths.h"
#include "texts/texts.h"

namespace {

namespace fs = std::filesystem;

// A language folder of the size the panel ships: 600 strings of 30 characters and nine
// warnings files of 20 warnings of 50 characters.
void write_language(const fs::path& root, const std::string& folder, const std::string& name) {
  const auto write = [](const fs::path& p, int lines, int length) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (int i = 0; i < lines; ++i) {
      for (int k = 0; k < length; ++k) bytes.insert(bytes.end(), {uint8_t('A' + (i + k) % 26), 0});
      bytes.insert(bytes.end(), {'\r', 0, '\n', 0});
    }
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (::write(fd, bytes.data(), bytes.size()) < 0) {}
    ::fsync(fd);
    ::close(fd);
  };
  const fs::path dir = root / "Languages" / folder;
  fs::create_directories(dir);
  write(dir / (name + "Strings.txt"), 600, 30);
  for (const std::string_view file : corvex::texts::warning_file_names()) {
    write(dir / std::string(file), 21, 50);
  }
}

// Drops the language's files from the page cache, so the next load reads the disk.
void evict(const fs::path& root, const std::string& folder) {
  for (const auto& e : fs::directory_iterator(root / "Languages" / folder)) {
    const int fd = ::open(e.path().c_str(), O_RDONLY);
    if (fd < 0) continue;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
  }
}

struct BenchDisk {
  fs::path root;
  BenchDisk() {
    char pattern[] = "/tmp/corvex_bench_texts_XXXXXX";
    root = ::mkdtemp(pattern);
    write_language(root, "EN", "English");
    write_language(root, "DE", "German");
    platform::set_disk_root(root.string());
    corvex::texts::reset_texts();
  }
  ~BenchDisk() {
    std::error_code ec;
    fs::remove_all(root, ec);
    platform::set_disk_root("");
    corvex::texts::reset_texts();
  }
};

void BM_texts_load_language_cold(benchmark::State& state) {
  BenchDisk disk;
  for (auto _ : state) {
    state.PauseTiming();
    evict(disk.root, "EN");
    state.ResumeTiming();
    benchmark::DoNotOptimize(corvex::texts::load_string_table());
    benchmark::DoNotOptimize(corvex::texts::load_warning_texts());
  }
}
BENCHMARK(BM_texts_load_language_cold)->Unit(benchmark::kMicrosecond);

void BM_texts_load_language_cached(benchmark::State& state) {
  BenchDisk disk;
  corvex::texts::load_string_table();
  for (auto _ : state) {
    benchmark::DoNotOptimize(corvex::texts::load_string_table());
    benchmark::DoNotOptimize(corvex::texts::load_warning_texts());
  }
}
BENCHMARK(BM_texts_load_language_cached)->Unit(benchmark::kMicrosecond);

void BM_texts_language_switch(benchmark::State& state) {
  BenchDisk disk;
  int language = 0;
  for (auto _ : state) {
    language = language == 0 ? 6 : 0;
    corvex::texts::set_language(language);
  }
}
BENCHMARK(BM_texts_language_switch)->Unit(benchmark::kMicrosecond);

void BM_texts_localized_string_lookup(benchmark::State& state) {
  BenchDisk disk;
  corvex::texts::set_language(0);
  corvex::texts::StringBuffer buffer;
  int n = 1;
  for (auto _ : state) {
    corvex::texts::localized_string(n, buffer);
    benchmark::DoNotOptimize(buffer.data());
    n = n % 600 + 1;
  }
}
BENCHMARK(BM_texts_localized_string_lookup);

}  // namespace
