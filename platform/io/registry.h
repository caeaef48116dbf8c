#pragma once
// The registry of the current user, kept on the panel's disk under DIR/Registry/ (DIR being the
// folder of "\Hard Disk"): a key is a folder, a value is a file at its key path holding exactly
// the value's bytes, so "Software\Tolvane\CorvexDryer" value GRAPH_HORIZONTAL_SCALE is the file
// Registry/HKEY_CURRENT_USER/Software/Tolvane/CorvexDryer/GRAPH_HORIZONTAL_SCALE. Key and value
// names are matched without regard to case. Values are replaced atomically: a reader sees the old
// bytes or the new ones, never a mixture, even when the writer is cut off half-way.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

// Values larger than this are not read (a damaged store must not exhaust memory).
inline constexpr size_t kMaxValueBytes = 1 << 20;

// Returns true when the key path ("Software\Tolvane\CorvexDryer") names a place inside the
// store: components separated by backslashes, none empty, ".", "..", longer than 255 bytes or
// holding a slash or a NUL character.
bool valid_key_path(std::string_view key);
// Returns true when the value name may be stored: not empty, not starting with '.', no
// backslash, slash or NUL, at most 255 bytes.
bool valid_value_name(std::string_view name);

// Returns true when the key exists.
bool key_exists(std::string_view key);
// Creates the key and any missing parent keys; returns true when the key exists afterwards.
bool create_key(std::string_view key);
// Returns the bytes of the value, or nothing when the disk, the key or the value is missing,
// a name is refused, or the value is larger than kMaxValueBytes. The caller checks the size.
std::optional<std::vector<uint8_t>> read_value(std::string_view key, std::string_view name);
// Stores the value in an existing key, replacing any earlier bytes atomically and durably;
// returns false when the key is missing, a name is refused or the disk fails.
bool write_value(std::string_view key, std::string_view name, std::span<const uint8_t> bytes);
// Removes a value; returns true when it is gone afterwards.
bool delete_value(std::string_view key, std::string_view name);

// Returns the host folder of a key (for diagnostics and tests), or an empty text when the key
// path is refused or no disk is set.
std::string key_folder(std::string_view key);

}  // namespace platform::registry
