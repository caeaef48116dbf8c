#pragma once
// Panel paths on the host. The panel writes paths with backslashes, under "\Hard Disk" (the
// internal disk, a folder given with --disk) and "\Hard Disk2" (the USB flash drive, a folder
// given with --usb or the first drive mounted under /media/$USER or /run/media/$USER), and its
// file system ignores case. Every panel path goes through translate_path before it reaches the
// host; a host path passes through unchanged apart from the case matching. Safe from any thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The folder that stands for "\Hard Disk"; an empty text means the panel has no disk.
void set_disk_root(std::string dir);
std::string disk_root();
// Changes with every set_disk_root: what was read from the disk before is not what it holds.
uint64_t disk_root_generation();
// The folder that stands for "\Hard Disk2"; an empty text means: find the drive automatically.
void set_usb_root(std::string dir);
// Returns the folder of the USB drive as it is right now, or an empty text when none is present.
std::string usb_root();
// Returns true when a USB drive is there: the --usb folder exists, or a drive is mounted.
bool usb_present();

// Returns the host path of a panel path: backslashes become slashes, the "\Hard Disk" and
// "\Hard Disk2" prefixes (any case) become their folders, and every component is matched without
// regard to case against what exists, the rest kept as written. Relative paths stay relative to
// the working directory. Returns an empty text for a path on a disk that is not there.
std::string translate_path(std::string_view panel_path);

// Returns base_dir joined with the slash-separated relative path, each component replaced by an
// existing entry whose name equals it without regard to case (the exact name wins; among several
// case variants the first in byte order). Components from the first one that matches nothing on
// are kept as written. An empty base_dir means the working directory (the result stays relative).
std::string match_case(std::string_view base_dir, std::string_view relative);

// The disk-root rule of the language and log files: returns "\Hard Disk\" followed by the
// relative panel path when an object named "\Hard Disk" exists at the moment of the call,
// otherwise the relative path unchanged (then taken from the working directory).
std::string disk_rooted(std::string_view relative_panel_path);
// Returns true when "\Hard Disk" exists right now.
bool disk_present();

// Returns the mount point of the first file system mounted directly under /media/USER/ or
// /run/media/USER/ in a mount table in the form of /proc/self/mounts (octal escapes decoded),
// or an empty text when there is none.
std::string find_usb_mount(std::string_view mount_table, std::string_view user);

}  // namespace platform
