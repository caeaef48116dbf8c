#pragma once
// A panel disk of this test process: the language files, button images and warning pictures the
// build made (linked, read only), and a place of its own for everything a test writes there: the
// language selection, the registry, the logs. Tests of other processes run beside this one and
// read the same built texts; a language one of them switches to must not reach the others.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace corvex::test_support {

class PanelDisk {
 public:
  // The disk of this process, made at its first use and removed when the process ends.
  static const std::string& path() {
    static PanelDisk disk;
    return disk.root_;
  }

 private:
  PanelDisk() {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "corvex_panel_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    fs::create_directory_symlink(fs::path(CORVEX_BUILD_DIR) / "data" / "Languages",
                                 fs::path(root_) / "Languages");
  }
  ~PanelDisk() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);  // the link only: the built files stay
  }
  std::string root_;
};

}  // namespace corvex::test_support
