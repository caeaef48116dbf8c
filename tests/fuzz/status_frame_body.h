#pragma once
// Sequences of status frames into the decoder of a display whose main window and screen
// windows exist (headless, virtual time), so that the repaints the decoder asks for are
// painted: the status picture, the status bar, the plenum view and every other screen then
// draw from the mutated StatusMirror. The input is cut into frames of up to 329 status bytes
// laid over the previous frame; each gets its CRC recomputed after the mutation so that it
// passes acceptance and reaches the decoder. After each the command builder runs as the
// exchange thread would, the GUI thread carries out what was handed to it and paints, and the
// ticks move blink flags, animations, countdowns and one-shots. The shutdown history is left
// out (its store has a target of its own). No input may crash, hang or overrun.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "link/command_builder.h"
#include "link/crc.h"
#include "link/dryer_state.h"
#include "link/frames.h"
#include "link/link_hooks.h"
#include "link/link_ticks.h"
#include "link/redraw.h"
#include "link/status_decoder.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "shell/startup.h"
#include "texts/texts.h"
#include "texts/warning_window.h"

namespace corvex::fuzzing {

inline constexpr char kFuzzMainClass[] = "FUZZ_STATUS_MAIN";

// The language data the screens draw with: $CORVEX_FUZZ_DATA, else build/data of the working
// directory when it is there; without it the screens draw with empty texts and no pictures.
inline std::string fuzz_language_data() {
  if (const char* env = std::getenv("CORVEX_FUZZ_DATA")) return env;
  std::error_code ec;
  if (fs::is_directory("build/data/Languages", ec)) return fs::absolute("build/data", ec).string();
  return {};
}

inline void ignore_shutdown_record(uint8_t, uint8_t) {}

// Makes the main window and its screens once (again when something tore the windows down).
inline platform::gui::Window* fuzz_status_screens(const std::string& data_dir) {
  namespace gui = platform::gui;
  if (gui::Window* main = gui::find_window_by_class(kFuzzMainClass)) return main;
  gui::init();
  platform::clock::use_virtual(1'700'000'000'000);
  gui::reset();
  const std::string disk = scratch_dir("status");
  std::error_code ec;
  if (!data_dir.empty() && !fs::exists(disk + "/Languages", ec)) {
    fs::create_directory_symlink(fs::path(data_dir) / "Languages", disk + "/Languages", ec);
  }
  platform::set_disk_root(disk);
  texts::reset_texts();
  link::reset_dryer_state();
  link::reset_link_hooks();
  texts::register_warning_window_class();
  shell::register_main_window_class(kFuzzMainClass);
  gui::CreateParams p;
  p.class_name = kFuzzMainClass;
  p.text = "main";
  p.style = gui::style::kVisible | gui::style::kTopmost;
  p.rect = {0, 0, gui::kScreenWidth, gui::kScreenHeight};
  gui::Window* main = gui::create_window(p);
  if (main == nullptr) return nullptr;
  shell::shell_state().main_window = main;
  shell::create_child_windows(main);
  gui::paint_pending();
  return main;
}

// The first input byte picks options of the run; the rest are frames of 1 + up to 329 bytes:
// a control byte (which write to raise, whether to run the ticks) and the status bytes that
// replace the start of the frame.
inline const char* fuzz_status_frame_input(const uint8_t* data, size_t size) {
  using namespace corvex::link;
  namespace gui = platform::gui;
  static const std::string data_dir = fuzz_language_data();
  gui::Window* main = fuzz_status_screens(data_dir);
  if (main == nullptr) return "the main window cannot be made";

  reset_dryer_state();
  preset_start_mirror();
  set_redraw_sink(nullptr);
  link_hooks().status_area_rule.store(&shell::status_area_rule);
  link_hooks().button_bar_layout.store(&shell::button_bar_layout);
  link_hooks().add_shutdown_record.store(&ignore_shutdown_record);
  DryerState& s = dryer_state();
  s.mr_speed_via_screen.store(size > 0 && (data[0] & 1));
  uint8_t frame[kStatusFrameBytes] = {};
  uint8_t tx[kTransmitBufferBytes];
  size_t p = size > 0 ? 1 : 0;
  while (p < size) {
    const uint8_t control = data[p++];
    const size_t n = std::min<size_t>(size - p, 1 + (control & 0x3F) * 6);
    std::memcpy(frame, data + p, std::min<size_t>(n, kStatusBytes));
    p += n;
    crc16_append(frame, kStatusBytes);
    if (!accept_status_frame(frame, kStatusFrameBytes)) return "a frame with a good CRC is refused";
    if (control & 0x40) raise_write(PendingWrite(control % kPendingWriteCount));
    decode_status_frame(frame);
    build_command_frame(tx);
    if (tx[0] > 112 || tx[0] < 4) return "a command frame's length byte is out of range";
    service_link_gui_work();
    if (control & 0x80) {
      one_second_link_duties();
      shell::link_pacing_tick(main, shell::kLinkPacingTimerId);
      shell::fast_ui_tick(main, shell::kFastUiTimerId);
    }
    gui::paint_pending();
  }
  link_hooks().add_shutdown_record.store(nullptr);
  return nullptr;
}

}  // namespace corvex::fuzzing
