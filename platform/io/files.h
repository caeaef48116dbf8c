#pragma once
// Files and folders of the panel's disks. Every path here is a panel path (such as
// "\Hard Disk\DataLog\LongTermDataLog.csv", or a relative one) and goes through translate_path;
// a host path passes through.
// A File wraps one POSIX descriptor; sharing is an advisory lock held while the file is open, so
// an exclusive holder shuts out every other opener and a shared holder shuts out exclusive ones.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class FileStatus {
  Ok,
  NotFound,          // the file or a folder on its path does not exist
  AlreadyExists,     // create-new, copy or create_folder found the target there
  SharingViolation,  // another holder has the file open in a way that excludes this open
  AccessDenied,      // permissions, a folder where a file was expected, or a read-only disk
  DiskFull,
  InvalidArgument,  // an empty path, a disk that is not there, or a mode that makes no sense
  IoError,
};

// Short English text of a status, for diagnostics.
const char* to_string(FileStatus status);

enum class OpenMode {
  OpenExisting,  // fails when the file does not exist
  OpenAlways,    // opens, creating an empty file when it does not exist
  CreateAlways,  // creates, emptying an existing file
  CreateNew,     // creates, failing when the file exists
};
enum class Access { Read, Write, ReadWrite };
enum class Sharing { Shared, Exclusive };
enum class WriteThrough { Off, On };  // On: each write reaches the disk before it returns
enum class SeekFrom { Begin, Current, End };

class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;

  // Opens the file; Ok or the reason it could not be opened (an open file is closed first).
  // Only a regular file opens: a folder, FIFO, socket or device gives AccessDenied at once,
  // without waiting for a peer at the other end.
  FileStatus open(std::string_view panel_path, OpenMode mode, Access access,
                  Sharing sharing = Sharing::Shared,
                  WriteThrough write_through = WriteThrough::Off);
  void close();
  // Returns true while a file is open; fd() is its descriptor (-1 when closed).
  bool is_open() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Returns the number of bytes read: n unless the end of the file came first or reading failed.
  size_t read(void* buffer, size_t n);
  // Returns the number of bytes written: n unless the disk failed or filled up.
  size_t write(const void* data, size_t n);
  // Returns the new position, or nothing when the file is closed or the position is invalid.
  std::optional<uint64_t> seek(int64_t offset, SeekFrom from);
  // Returns the size of the open file in bytes, or nothing when it is closed.
  std::optional<uint64_t> size() const;
  // Ends the file at the current position, dropping whatever lay beyond it; false when the file
  // is closed or the disk refused.
  bool truncate_here();

 private:
  int fd_ = -1;
  bool write_through_ = false;
};

// One entry that find_files returns.
struct FindEntry {
  std::string name;  // as it is on the disk, without the folder
  uint64_t size = 0;
  bool is_folder = false;
  int64_t creation_ms = 0;    // wall time; the modification time where the disk keeps no birth time
  int64_t last_write_ms = 0;  // wall time
};

// Returns the entries that match the last component of the pattern, where '?' stands for one
// character and '*' for any run (matched without regard to case; "*.*" matches every name),
// oldest creation time first and names in byte order on equal times. A last component without
// wildcards finds that one object, a disk root included. An absent folder gives no entries.
std::vector<FindEntry> find_files(std::string_view panel_pattern);
// Returns true when a file or folder of that path exists.
bool file_exists(std::string_view panel_path);
// Deletes a file (not a folder); Ok or the reason it was not deleted.
FileStatus delete_file(std::string_view panel_path);
// Creates one folder (its parent must exist); AlreadyExists when it is there already.
FileStatus create_folder(std::string_view panel_path);
// Copies a file; AlreadyExists (and the target untouched) when the target exists. The copy goes
// to a temporary name and is synced before it takes the target's name, so a failed or cut-off
// copy never leaves a half-written target. The last-write time is carried over.
FileStatus copy_file(std::string_view source_panel_path, std::string_view target_panel_path);
// Replaces the file's contents with `bytes` as one step: they go to a temporary file in the same
// folder, which is synced and then renamed over the file, so that a failure or a power cut
// leaves the old contents or the new ones whole, never an empty or cut-off file. Ok, or the
// reason it failed (DiskFull for a full disk) with the old file untouched.
FileStatus replace_file(std::string_view panel_path, std::span<const uint8_t> bytes);

// Syncs the folder that holds the file, so that a file just made there is found after a power
// cut or a pulled drive; nothing when the folder cannot be opened.
void sync_folder_of(std::string_view panel_path);

// For the tests of a drive pulled out or filled up in the middle of a write: called on the
// calling thread, with the descriptor written to, before each block that File::write, copy_file
// or replace_file hands to the disk. Null (the default) calls nothing.
using WriteBlockHook = void (*)(int fd);
void set_write_block_hook(WriteBlockHook hook);

}  // namespace platform
