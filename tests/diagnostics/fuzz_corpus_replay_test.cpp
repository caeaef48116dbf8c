// Every input of the fuzzers' seed corpora (and every input a fuzzer once crashed on, which is
// kept there) run through the very bodies the fuzzers run, under the sanitizers of this build:
// a fault fixed once stays fixed, and a corpus the fuzzers start from stays valid input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/bmp_body.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/language_config_body.h"
#include "fuzz/language_files_body.h"
#include "fuzz/long_term_log_body.h"
#include "fuzz/registry_body.h"
#include "fuzz/sample_logs_body.h"
#include "fuzz/shutdown_store_body.h"
#include "fuzz/sim_command_frame_body.h"
#include "fuzz/status_frame_body.h"
#include "fuzz/string_table_body.h"
#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/redraw.h"
#include "logging/display_settings.h"
#include "logging/long_term_log.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"
#include "shell/startup.h"
#include "texts/texts.h"

namespace corvex::fuzzing {
namespace {

namespace fs = std::filesystem;

using Body = const char* (*)(const uint8_t*, size_t);

// The corpus files of a target, in name order.
std::vector<fs::path> corpus_of(const char* target) {
  std::vector<fs::path> files;
  const fs::path dir = fs::path(CORVEX_SOURCE_DIR) / "tests/fuzz/corpus" / target;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    if (e.is_regular_file()) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

class FuzzCorpusReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    was_virtual_ = platform::clock::is_virtual();
    setenv("CORVEX_FUZZ_DATA", CORVEX_BUILD_DIR "/data", 1);
  }

  void TearDown() override {
    platform::gui::reset();
    shell::shell_state().main_window = nullptr;
    link::reset_dryer_state();
    link::reset_link_hooks();
    link::set_redraw_sink(nullptr);
    logging::display_settings() = logging::DisplaySettings{};
    logging::set_logging_active(false);
    logging::reset_long_term_header();
    platform::set_disk_root("");
    texts::reset_texts();
    if (!was_virtual_) platform::clock::use_real();
    remove_scratch_dirs();
  }

  // Runs every corpus file of the target through its body; each must be handled soundly.
  static void replay(const char* target, Body body) {
    const std::vector<fs::path> files = corpus_of(target);
    ASSERT_FALSE(files.empty()) << "no corpus for " << target;
    for (const fs::path& file : files) {
      bool ok = false;
      const std::vector<uint8_t> bytes = read_file(file.string(), &ok);
      ASSERT_TRUE(ok) << file;
      const char* fault = body(bytes.data(), bytes.size());
      EXPECT_EQ(fault, nullptr) << target << " on " << file.filename().string() << ": "
                                << (fault ? fault : "");
    }
  }

  bool was_virtual_ = false;
};

TEST_F(FuzzCorpusReplay, BmpFiles) { replay("fuzz_bmp", &fuzz_bmp_input); }

TEST_F(FuzzCorpusReplay, StringTables) { replay("fuzz_string_table", &fuzz_string_table_input); }

TEST_F(FuzzCorpusReplay, LanguageFilesOnDisk) {
  replay("fuzz_language_files", &fuzz_language_files_input);
}

TEST_F(FuzzCorpusReplay, LanguageConfigurationFile) {
  replay("fuzz_language_config", &fuzz_language_config_input);
}

TEST_F(FuzzCorpusReplay, RegistryAndDisplaySettings) {
  replay("fuzz_registry", &fuzz_registry_input);
}

TEST_F(FuzzCorpusReplay, GraphAndShortTermLogFiles) {
  replay("fuzz_sample_logs", &fuzz_sample_logs_input);
}

TEST_F(FuzzCorpusReplay, LongTermCsvLog) {
  replay("fuzz_long_term_log", &fuzz_long_term_log_input);
}

TEST_F(FuzzCorpusReplay, ShutdownHistoryVolumes) {
  replay("fuzz_shutdown_store", &fuzz_shutdown_store_input);
}

TEST_F(FuzzCorpusReplay, SimulatorCommandFrames) {
  replay("fuzz_sim_command_frame", &fuzz_sim_command_frame_input);
}

TEST_F(FuzzCorpusReplay, StatusFramesIntoTheScreens) {
  replay("fuzz_status_frame", &fuzz_status_frame_input);
}

}  // namespace
}  // namespace corvex::fuzzing
