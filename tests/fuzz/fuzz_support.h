#pragma once
// What the fuzz targets share: scratch folders for the files a target writes (on a memory file
// system when there is one, so that the many syncs of the program cost little), whole-file
// writes and reads, and the small reader that splits one fuzz input into the pieces a target
// needs. Every target's body returns nullptr for an input handled soundly and a short text
// naming the broken promise otherwise; the fuzzer aborts on it, the corpus replay fails on it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace corvex::fuzzing {

namespace fs = std::filesystem;

struct ScratchDir {
  std::string name;
  std::string path;
};

inline std::vector<ScratchDir>& scratch_dirs() {
  static std::vector<ScratchDir> made;
  return made;
}

// Removes every folder scratch_dir made in this process.
inline void remove_scratch_dirs() {
  std::error_code ec;
  for (const ScratchDir& d : scratch_dirs()) fs::remove_all(d.path, ec);
}

// A folder named after `name` that exists when this returns: made once per process and made
// again when something removed it (the corpus replay removes its folders when it is done).
inline std::string scratch_dir(const char* name) {
  std::error_code ec;
  for (ScratchDir& d : scratch_dirs()) {
    if (d.name != name) continue;
    if (!fs::is_directory(d.path, ec)) fs::create_directories(d.path, ec);
    return d.path;
  }
  const fs::path base =
      fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / (std::string("corvex-fuzz-") + name + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) std::abort();
  if (scratch_dirs().empty()) std::atexit(&remove_scratch_dirs);
  scratch_dirs().push_back({name, pattern});
  return scratch_dirs().back().path;
}

// Empties a folder without removing it.
inline void empty_dir(const std::string& path) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(path, ec)) fs::remove_all(entry.path(), ec);
}

inline bool write_file(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

inline bool write_file(const std::string& path, std::string_view text) {
  return write_file(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The whole file, or nothing with *ok false when it cannot be read.
inline std::vector<uint8_t> read_file(const std::string& path, bool* ok = nullptr) {
  std::vector<uint8_t> out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (ok) *ok = f != nullptr;
  if (!f) return out;
  uint8_t chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
  std::fclose(f);
  return out;
}

// Takes a fuzz input apart front to back; past the end every read gives zeros.
class InputReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t word() { return uint16_t(byte() << 8 | byte()); }
  uint32_t triple() { return uint32_t(byte()) << 16 | uint32_t(word()); }
  // The next `n` bytes (fewer at the end).
  std::string_view take(size_t n) {
    const size_t k = std::min(n, size_ - pos_);
    std::string_view out(reinterpret_cast<const char*>(data_ + pos_), k);
    pos_ += k;
    return out;
  }
  std::string_view rest() { return take(size_ - pos_); }
  size_t left() const { return size_ - pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace corvex::fuzzing
