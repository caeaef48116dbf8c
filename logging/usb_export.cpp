#include "logging/usb_export.h"

namespace corvex::logging {

std::string data_log_copy_name(const platform::LocalTime& t) {
  return "LongTermDataLog" + platform::format_date(t, "yy'_'MM'_'dd'_'") +
         platform::format_time(t, "HH'_'mm'_'ss") + ".CSV";
}

UsbCopyResult copy_data_log_to_usb(const platform::LocalTime& t) {
  UsbCopyResult result;
  result.short_name = data_log_copy_name(t);
  result.status = platform::copy_file(kLongTermLogPath, "\\Hard Disk2\\" + result.short_name);
  return result;
}

}  // namespace corvex::logging
