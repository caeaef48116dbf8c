#pragma once
// DryerState: the one process-wide record of what the display knows about the dryer.
//
// Its link region holds three parallel sets indexed by status offset 0..328: the StatusMirror
// (the last confirmed value of every status byte, written only by the status decoder), the
// DesiredValues (what the operator wants the controller to take) and the PendingWrite flags
// that keep a parameter's record in every command frame until the controller reports it back.
//
// The GUI thread and the exchange thread share this record without a lock. Every field that
// both touch is a std::atomic of the width the link uses (bytes and 32-bit words), so the
// lock-free design stays free of data races. Mirror bytes and slots are relaxed atomics: a
// screen may see a frame half applied, which the next frame repairs. A PendingWrite flag is
// raised with release ordering after its slots are written (raise_write), and the command
// builder reads it with acquire ordering, so a newly raised record never goes out half written.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace platform::gui {
class Window;
}

namespace corvex::link {

// Status bytes 0..328; the status frame carries them and their CRC (low, high). The one
// definition of the frame's size, for the display and the simulator alike.
inline constexpr size_t kStatusBytes = 329;
inline constexpr size_t kStatusFrameBytes = kStatusBytes + 2;
inline constexpr size_t kTransmitBufferBytes = 1000;
// The LinkWatchdog is reloaded to this many seconds by every good frame.
inline constexpr uint32_t kWatchdogReload = 10;

// One flag per record of the command frame, named after the first status byte its record
// carries; where one offset has several flags a word is added (159 copy, 159 block ...).
// The order is the order of the record table.
enum class PendingWrite : uint8_t {
  k3, k4, k5, k6, k7, k8, k11, k9, k254, k252, k16, k14, k21, k19, k26, k31, k41, k46, k49,
  k50, k53, k59, k61, k63, k65, k67, k69, k95, k96, k97, k98, k99, k100, k101, k102, k103,
  k104, k105, k106, k149, k151, k153, k159, k156, k157, k158, k159Copy, k161, k163, k164,
  k187, k160Copy, k159Block, k199, k202, k203, k206, k208, k216, k217Bit6, k218Bits,
  k218Trigger, k219Bits, k221, k224, k226, k227, k228, k229, k232, k234, k236, k237, k238,
  k241, k243, k246, k257, k258, k260, k266, k269, k274, k277, k279, k281, k283, k285, k287,
  k289, k293,
  kCount
};
inline constexpr size_t kPendingWriteCount = size_t(PendingWrite::kCount);

// The name of a flag: its status offset and, for the flags that carry one, its word.
struct PendingWriteName {
  uint16_t offset;
  const char* word;  // nullptr when the flag is named by its offset alone
};
PendingWriteName pending_write_name(PendingWrite w);

// Blink flags, stepped by the 175 ms and 100 ms ticks and read by the status bar and the
// warning window.
inline constexpr uint32_t kBlinkPhaseOn = 1u << 0;     // on for 875 ms of every 1.4 s
inline constexpr uint32_t kBlinkPulse = 1u << 1;       // set on every third 100 ms tick
inline constexpr uint32_t kBlinkStartupDone = 1u << 2; // set about 3.3 s after start-up

struct DryerState {
  using Byte = std::atomic<uint8_t>;
  using Word = std::atomic<uint32_t>;

  // ---- Link region ----
  std::array<Byte, kStatusBytes> mirror{};   // StatusMirror
  std::array<Byte, kStatusBytes> desired{};  // DesiredValues
  std::array<Byte, kPendingWriteCount> pending{};
  // Exchange thread only: the last status frame read and the frame being sent.
  std::array<uint8_t, kStatusFrameBytes> receive_buffer{};
  std::array<uint8_t, kTransmitBufferBytes> transmit_buffer{};

  Word link_watchdog{kWatchdogReload};  // seconds left before the link counts as lost
  Byte resync_request{0};               // set while the link is lost and the warning shown
  Word resync_holdoff{0};               // cycles during which command frames are held back
  Word exchange_tick_counter{0};        // parity selects the 175 ms ticks that start a cycle

  Byte unit_flag{0};  // 0 Fahrenheit and bushels, 1 SI units (bit 7 of status byte 266)

  // Shutdown record memory: the last recorded pair and the 100 s suppression countdown.
  Byte recorded_warning_number{0};
  Byte recorded_node_code{0};
  Word shutdown_suppression{0};

  // Out-of-grain timing, in seconds, measured from the metering-roll edges of status byte 58.
  Word timer_minimum{0};
  Word previous_load_time{0};

  // Request flags the message loop turns into commands for the main window.
  Byte metering_roll_request{0};
  Byte defaults_switch_request{0};
  Byte status_byte_251_request{0};
  Byte defaults_notice_shown{0};  // the operator closed the defaults dip-switch notice

  Byte batch_picture{0};          // staged batch picture: MISC button disabled
  Byte remembered_266_bit6{0};    // view choice bit of status byte 266 at the last change
  // Frames of the displayed-moisture rule during auto-start; set once, never reloaded.
  Word moisture_display_countdown{2700};
  Byte main_screen_shown{1};      // cleared while the setup screen is open

  // Metering-roll speed dialog as the decoder sees it.
  Byte mr_speed_via_screen{0};          // diagnostics option: speeds set on the screen
  Byte metering_roll_dialog_visible{0}; // set by the dialog while it is open
  Byte metering_roll_refresh{0};        // the dialog re-derives its selection on next paint

  // Delayed redraw after a hardware set-up change, counted by the 175 ms tick.
  Byte delayed_redraw{0};
  Word delayed_redraw_countdown{25};

  Word blink_flags{0};
  Word blink_phase{0};            // 0..7, one step per 175 ms tick
  Word startup_blink_counter{0};
  Word fast_tick_counter{0};      // 100 ms ticks, for the blink pulse

  Byte warning_help_from_history{0};  // the help viewer was opened from the shutdown history
  // GUI thread only: the open warning help viewer (set by it on opening, cleared on closing).
  platform::gui::Window* warning_help_dialog = nullptr;

  // GUI thread only: the 175 ms tick's copy of status byte 279 for the button bar.
  uint8_t button_bar_279_copy = 0;
  bool button_bar_copy_taken = false;

  // Work the decoder hands to the GUI thread (bits of LinkGuiWork, link_hooks.h).
  Word gui_work{0};

  std::atomic<uint8_t>& flag(PendingWrite w) { return pending[size_t(w)]; }
};

// The process-wide instance.
DryerState& dryer_state();

// Puts every field back to its start value (mirror, slots and flags all zero, watchdog 10 ...).
// For tests and for start-up; never while the exchange thread runs.
void reset_dryer_state();
// Start-up's preset of status byte 171 to 0xA0, so that screens drawn before the first frame
// see that operating state.
void preset_start_mirror();

// A DesiredValues slot and the value to put in it.
struct SlotValue {
  uint16_t offset;
  uint8_t value;
};
// Raises a write: the slots first, then the flag with release ordering, so the command builder
// never sends a half-written value for a newly raised flag.
void raise_write(PendingWrite w, std::initializer_list<SlotValue> slots = {});
// Lowers a flag (the decoder, the builder's one-shots and the metering-roll dialog do this).
void lower_write(PendingWrite w);
// True while the flag is raised.
bool write_raised(PendingWrite w);

}  // namespace corvex::link
