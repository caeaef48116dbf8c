// Fuzzes the registry store with arbitrary key paths, value names and bytes: nothing may crash,
// nothing may be created outside DIR/Registry, and a value that was written reads back whole.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io/paths.h"
#include "platform/io/registry.h"

namespace {

namespace fs = std::filesystem;

const std::string& fuzz_root() {
  static const std::string root = [] {
    std::string pattern = (fs::temp_directory_path() / "corvex-fuzz-registry-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    fs::create_directories(pattern + "/disk");
    platform::set_disk_root(pattern + "/disk");
    return pattern;
  }();
  return root;
}

// Everything under the fuzz folder must lie inside disk/Registry.
void check_confined(const std::string& root) {
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string path = entry.path().string();
    if (path == root + "/disk" || path.rfind(root + "/disk/Registry", 0) == 0) continue;
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& root = fuzz_root();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // Input layout: key path, a 0xFF byte, value name, a 0xFF byte, value bytes.
  size_t first = input.find('\xFF');
  std::string_view key = input.substr(0, first);
  std::string_view rest = first == std::string_view::npos ? std::string_view() : input.substr(first + 1);
  size_t second = rest.find('\xFF');
  std::string_view name = rest.substr(0, second);
  std::string_view value = second == std::string_view::npos ? std::string_view() : rest.substr(second + 1);
  std::vector<uint8_t> bytes(value.begin(), value.end());

  bool created = platform::registry::create_key(key);
  bool written = created && platform::registry::write_value(key, name, bytes);
  auto back = platform::registry::read_value(key, name);
  if (written && back != bytes) std::abort();
  if (!platform::registry::valid_key_path(key) && (created || back)) std::abort();
  if (!platform::registry::valid_value_name(name) && (written || back)) std::abort();
  check_confined(root);
  fs::remove_all(root + "/disk/Registry");
  return 0;
}
