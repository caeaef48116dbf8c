#pragma once
// Whole-file writes for the image writers (internal to platform/gfx).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform::gfx_detail {

// Writes bytes to a temporary file beside path, flushes it to the disk and renames it over
// path, so that a reader sees the old file or the whole new one. Returns false with the reason
// in *error (the temporary file removed) on failure.
bool write_file_replacing(const std::string& path, std::span<const uint8_t> bytes,
                          std::string* error);

}  // namespace platform::gfx_detail
