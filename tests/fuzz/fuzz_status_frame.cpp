// Fuzzes the status decoder with sequences of status frames. The input is cut into frames of
// up to 329 status bytes laid over a plausible base frame; each gets its CRC recomputed after
// the mutation so that it passes acceptance and reaches the decoder, and the command builder
// runs after each one as the exchange thread would. Between frames the one-second duties run,
// so countdowns and one-shots move too. No input may crash, hang or overrun.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/command_builder.h"
#include "link/crc.h"
#include "link/dryer_state.h"
#include "link/frames.h"
#include "link/link_hooks.h"
#include "link/link_ticks.h"
#include "link/redraw.h"
#include "link/status_decoder.h"

namespace {

using namespace corvex::link;

void ignore_redraw(RedrawTarget, const platform::Rect*, Erase) {}
void ignore_record(uint8_t, uint8_t) {}

// The first input byte picks options of the run; the rest are frames of 1 + up to 329 bytes:
// a control byte (which writes to raise, whether to run the one-second tick) and the status
// bytes that replace the start of the frame.
void run(const uint8_t* data, size_t size) {
  reset_dryer_state();
  preset_start_mirror();
  set_redraw_sink(&ignore_redraw);
  link_hooks().add_shutdown_record.store(&ignore_record);
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
    if (!accept_status_frame(frame, kStatusFrameBytes)) __builtin_trap();
    if (control & 0x40) raise_write(PendingWrite(control % kPendingWriteCount));
    decode_status_frame(frame);
    build_command_frame(tx);
    if (tx[0] > 112 || tx[0] < 4) __builtin_trap();  // the length byte never exceeds 112
    if (control & 0x80) one_second_link_duties();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  run(data, size);
  return 0;
}
