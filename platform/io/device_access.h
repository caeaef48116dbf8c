#pragma once
// Why a device cannot be opened, in words a user can act on: a device refused for lack of
// permission (EACCES) is readable by the members of the group that owns it, so the message
// names that group (`dialout` for serial ports, `input` for touch screens on most systems).
#include <string>

namespace platform {

// For an open of `device` that failed with `error_number`: when that is EACCES, the advice
// "the user needs to be in the group NAME", NAME being the group that owns the device, or
// `usual_group` when the device belongs to root's group or to no named group. Empty for any
// other failure.
std::string permission_advice(const std::string& device, int error_number,
                              const std::string& usual_group);

// The touch screen's input devices: when the folder (normally /dev/input) holds event devices
// and every one of them refuses to open with EACCES, the advice for the first of them (see
// permission_advice, usual group `input`) with its path; empty when any can be opened, none
// exists, or they fail for another reason.
std::string input_devices_permission_advice(const std::string& dir = "/dev/input");

}  // namespace platform
