#pragma once
// The copy of the long-term CSV log to the USB flash drive under a name carrying the copy's
// date and time. The copy is synced with its folder before it counts as made, so a stick pulled
// right after the success message holds the whole file; a copy that fails midway leaves no
// partial target and the panel's file as it was.
#include <string>

#include "platform/io/clock.h"
#include "platform/io/files.h"

namespace corvex::logging {

inline constexpr char kLongTermLogPath[] = "\\Hard Disk\\DataLog\\LongTermDataLog.csv";

// "LongTermDataLog" + "yy_MM_dd_" + "HH_mm_ss" + ".CSV", the name the operator is shown.
std::string data_log_copy_name(const platform::LocalTime& t);

struct UsbCopyResult {
  platform::FileStatus status = platform::FileStatus::InvalidArgument;
  std::string short_name;  // the target without "\Hard Disk2\"
};
// Copies the log to "\Hard Disk2\<name>"; fails (AlreadyExists) when that name is taken.
UsbCopyResult copy_data_log_to_usb(const platform::LocalTime& t);

}  // namespace corvex::logging
