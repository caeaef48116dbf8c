#include "shell/disk_seed.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/io/paths.h"

namespace corvex::shell {

namespace fs = std::filesystem;

std::string panel_data_dir() {
  std::error_code ec;
  auto has_languages = [&](const std::string& dir) {
    return !dir.empty() && fs::is_directory(fs::path(dir) / "Languages", ec);
  };
  if (const char* env = std::getenv("CORVEX_DATA_DIR"); env && has_languages(env)) return env;
  if (has_languages(CORVEX_BUILD_DATA_DIR)) return CORVEX_BUILD_DATA_DIR;
  if (has_languages(CORVEX_INSTALL_DATA_DIR)) return CORVEX_INSTALL_DATA_DIR;
  return {};
}

bool seed_disk(const std::string& disk, std::string* error) {
  std::error_code ec;
  const fs::path languages = platform::match_case(disk, "Languages");
  if (fs::is_directory(languages, ec)) return true;
  const std::string source = panel_data_dir();
  if (source.empty()) {
    if (error) *error = "no panel data found to seed the disk with (build the program first)";
    return false;
  }
  // Copy into a temporary folder beside the target and rename it into place, so an
  // interrupted seed never leaves half a Languages folder that would stop the next seed.
  const fs::path staging = fs::path(disk) / ".Languages.seeding";
  fs::remove_all(staging, ec);
  fs::create_directories(disk, ec);
  fs::copy(fs::path(source) / "Languages", staging,
           fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
  if (!ec) fs::rename(staging, fs::path(disk) / "Languages", ec);
  if (ec) {
    if (error) *error = "cannot seed " + disk + ": " + ec.message();
    fs::remove_all(staging, ec);
    return false;
  }
  return true;
}

}  // namespace corvex::shell
