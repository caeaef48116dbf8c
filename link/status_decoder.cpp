#include "link/status_decoder.h"

#include <algorithm>
#include <bit>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/redraw.h"
#include "link/status_bytes.h"
#include "link/status_fields.h"

namespace corvex::link {
namespace {

using namespace fields;
constexpr auto kRelaxed = std::memory_order_relaxed;

// Redraw requests of one frame, collected so that a window asked for by many fields is asked
// once, and sent when the frame is done. Fixed storage: nothing is allocated per frame.
class RedrawBatch {
 public:
  void add(RT target, Erase erase) {
    whole_[erase == Erase::Yes] |= uint64_t(1) << unsigned(target);
  }
  void add_rect(RT target, const platform::Rect& rect, Erase erase) {
    for (int i = 0; i < rect_count_; ++i) {
      const Pending& p = rects_[i];
      if (p.target == target && p.rect == rect && p.erase == erase) return;
    }
    if (rect_count_ == kMaxRects) {
      add(target, erase);
      return;
    }
    rects_[rect_count_++] = {target, rect, erase};
  }
  void add_row(const RedrawRow& row) {
    if (row.has_rect) {
      add_rect(row.target, row.rect, row.erase);
    } else {
      add(row.target, row.erase);
    }
  }
  void flush() {
    const uint64_t erase = whole_[1];
    const uint64_t plain = whole_[0] & ~erase;
    for (uint64_t m = erase; m; m &= m - 1) request_redraw(RT(std::countr_zero(m)), Erase::Yes);
    for (uint64_t m = plain; m; m &= m - 1) request_redraw(RT(std::countr_zero(m)), Erase::No);
    for (int i = 0; i < rect_count_; ++i)
      request_redraw_rect(rects_[i].target, rects_[i].rect, rects_[i].erase);
  }

 private:
  struct Pending {
    RT target;
    platform::Rect rect;
    Erase erase;
  };
  static constexpr int kMaxRects = 8;
  uint64_t whole_[2] = {0, 0};
  Pending rects_[kMaxRects];
  int rect_count_ = 0;
};

class Decoder {
 public:
  explicit Decoder(const uint8_t* rx) : rx_(rx), s_(dryer_state()) {}
  void run();

 private:
  // The decoder is the one writer of the mirror.
  void set_mirror(uint16_t k, uint8_t v) { s_.mirror[k].store(v, kRelaxed); }
  bool raised(PW f) const { return s_.flag(f).load(std::memory_order_acquire) != 0; }

  bool differs(const Field& f) const;
  void copy(const Field& f);
  void handle(const Field& f);
  void special(const Field& f, uint8_t old, bool changed);
  void zero_throughput();
  void roll_motion(uint8_t old);
  void warning_pair();
  void moisture_in();
  void metering_block();
  bool block_reported() const;
  bool acknowledged(const AckRow& a, bool changed) const;
  void acknowledge(const Field& f, bool changed);
  void update_batch_picture(bool with_switches);

  const uint8_t* rx_;
  DryerState& s_;
  RedrawBatch redraws_;
};

bool Decoder::differs(const Field& f) const {
  for (uint8_t k = 0; k < f.width; ++k)
    if (rx_[f.start + k] != mirror_byte(f.start + k)) return true;
  return false;
}

void Decoder::copy(const Field& f) {
  for (uint8_t k = 0; k < f.width; ++k) set_mirror(f.start + k, rx_[f.start + k]);
}

void Decoder::handle(const Field& f) {
  const uint8_t old = mirror_byte(f.start);
  bool changed = false;
  switch (f.copy) {
    case Copy::Ignored:
    case Copy::NotCopied:
      break;
    case Copy::Copied:
      changed = differs(f);
      // The displayed-moisture rule decides itself what goes into the mirror.
      if (changed && f.special != Special::MoistureIn) copy(f);
      break;
    case Copy::Companion:
      // While the companion write is raised its bytes are not copied at all.
      if (!raised(f.companion)) {
        changed = differs(f);
        if (changed) copy(f);
      }
      break;
    case Copy::MeteringBlock:
      metering_block();
      break;
  }
  if (changed) {
    for (int w = 0; w < 2; ++w)
      for (uint64_t bits = f.redraws.bits[w]; bits; bits &= bits - 1)
        redraws_.add_row(kRedrawRows[w * 64 + std::countr_zero(bits)]);
  }
  if (f.special != Special::None) special(f, old, changed);
  if (f.acks.any()) acknowledge(f, changed);
}

void Decoder::update_batch_picture(bool with_switches) {
  const bool staged = mirror_byte(kDryingMode) == kStagedBatch;
  const bool criteria = (mirror_byte(kDryingCriteria) & 0x70) == 0x10;
  const bool switches = with_switches && mirror_bit(kSwitchInputs, kSwitchInputsUnload1Bit);
  s_.batch_picture.store(staged && (criteria || switches) ? 1 : 0, kRelaxed);
}

// The zero-throughput command (bit 3 of the command byte) repeats every frame until the controller reports
// a zero count, then goes out once more with the bit cleared.
void Decoder::zero_throughput() {
  constexpr uint8_t kZeroThroughput = 0x08;
  if (!(desired_byte(kCommand) & kZeroThroughput)) return;
  if (mirror_lo_hi(kTotal) == 0 && mirror_lo_hi(kTotal + 2) == 0)
    set_desired_byte(kCommand, desired_byte(kCommand) & ~kZeroThroughput);
  raise_write(PW::k238);
}

void Decoder::special(const Field& f, uint8_t old, bool changed) {
  if (f.special == Special::ZeroThroughput) return zero_throughput();
  if (!changed) return;
  const uint8_t now = mirror_byte(f.start);
  switch (f.special) {
    case Special::DryingMode:
      if (s_.main_screen_shown.load(kRelaxed)) call_status_area_rule();
      apply_batch_button_rule();
      update_batch_picture(false);
      break;
    case Special::RunningTimer:
      s_.timer_minimum.store(std::min<uint32_t>(s_.timer_minimum.load(kRelaxed),
                                                uint32_t(mirror_timer_seconds(kRunningTimer))),
                             kRelaxed);
      break;
    case Special::RollMotion: roll_motion(old); break;
    case Special::Switches:
      s_.metering_roll_refresh.store(1, kRelaxed);
      update_batch_picture(true);
      break;
    case Special::Warning: warning_pair(); break;
    case Special::ControlType:
      // Leaving automatic advanced moisture control: the settings the automatic control used
      // are copied back into parameters 160..162.
      if ((old & 0x07) == 3 && (old & 0x80) && !(now & 0x80)) raise_write(PW::k160Copy);
      break;
    case Special::Defaults:
      s_.defaults_switch_request.store(
          (now & 0x20) && !s_.defaults_notice_shown.load(kRelaxed) ? 1 : 0, kRelaxed);
      break;
    case Special::MoistureIn: moisture_in(); break;
    case Special::Request251:
      if ((old ^ now) & 0x10) s_.status_byte_251_request.store((now >> 4) & 1, kRelaxed);
      break;
    case Special::Criteria: update_batch_picture(false); break;
    case Special::UnitsAndView: {
      // A change of units changes every temperature on screen; the windows that are not
      // repainted by a tick anyway are asked to repaint here.
      if (((old ^ now) & 0x80) && s_.unit_flag.load(kRelaxed) != (now >> 7)) {
        redraws_.add(RT::PlenumView, Erase::No);
        redraws_.add(RT::PlenumSetpointPanel, Erase::Yes);
        redraws_.add(RT::GrainTempSetpointPanel, Erase::Yes);
      }
      s_.unit_flag.store(now >> 7, kRelaxed);
      const uint8_t view = (now >> 6) & 1;
      if (view != s_.remembered_266_bit6.load(kRelaxed)) call_status_area_rule();
      s_.remembered_266_bit6.store(view, kRelaxed);
      break;
    }
    case Special::AutoStartEnd:
      // The controller's word ends the auto-start run.
      if (now & 0x80)
        raise_write(PW::k279,
                    {{kAutoStart, uint8_t(desired_byte(kAutoStart) & ~(1u << kAutoStartRunningBit))}});
      break;
    default:
      break;
  }
}

// Edges of bit 7 of byte 58, while the load runs in automatic, measure the load time that the
// out-of-grain panel shows.
void Decoder::roll_motion(uint8_t old) {
  const uint8_t now = mirror_byte(kMeteringRolls);
  if (!((old ^ now) & 0x80) || !mirror_bit(kSwitchInputs, kSwitchInputsLoadAutoBit)) return;
  const int64_t timer = mirror_timer_seconds(kOutOfGrainTimer);
  if (!(old & 0x80)) {
    s_.timer_minimum.store(uint32_t(timer + 1), kRelaxed);
    return;
  }
  const int64_t load = std::clamp<int64_t>(timer - s_.timer_minimum.load(kRelaxed), 0, 86400);
  s_.previous_load_time.store(uint32_t(load), kRelaxed);
  redraws_.add(RT::OutOfGrainPanel, Erase::Yes);
}

// A new warning pair is recorded at once; the same pair again only once the 100 s suppression
// countdown since the last record has run out.
void Decoder::warning_pair() {
  const uint8_t number = mirror_byte(kWarningNumber);
  const uint8_t node = mirror_byte(kWarningNode);
  if (number == 0) return;
  const bool same = number == s_.recorded_warning_number.load(kRelaxed) &&
                    node == s_.recorded_node_code.load(kRelaxed);
  if (!same || s_.shutdown_suppression.load(kRelaxed) == 0) {
    s_.shutdown_suppression.store(100, kRelaxed);
    call_add_shutdown_record(node, number);
  }
  s_.recorded_warning_number.store(number, kRelaxed);
  s_.recorded_node_code.store(node, kRelaxed);
}

// During auto-start the display shows the incoming moisture the operator entered (281/282)
// instead of the measured one, for a limited number of logging frames.
void Decoder::moisture_in() {
  const uint32_t left = s_.moisture_display_countdown.load(kRelaxed);
  if (mirror_bit(kAutoStart, kAutoStartRunningBit) && left > 0) {
    if (mirror_bit(kOperatingState, kOperatingStateLoggingBit) ||
        mirror_bit(kOperatingFlags, kOperatingFlagsLoggingBit))
      s_.moisture_display_countdown.store(left - 1, kRelaxed);
    // The entered value is a lo/hi pair; the moisture is hi/lo.
    set_mirror(kMoistureIn, mirror_byte(kIncomingAverage + 1));
    set_mirror(kMoistureIn + 1, mirror_byte(kIncomingAverage));
  } else {
    set_mirror(kMoistureIn, rx_[kMoistureIn]);
    set_mirror(kMoistureIn + 1, rx_[kMoistureIn + 1]);
  }
}

// Bits 0-5 of the speed mode byte are the mode; bit 7 toggles with every push of the knob and
// is not part of the value, so the block counts as reported when the mode bits and the three
// block bytes match.
bool Decoder::block_reported() const {
  constexpr uint16_t kMode = kMeteringRollMode;
  if ((desired_byte(kMode) & kMeteringRollModeMask) != (rx_[kMode] & kMeteringRollModeMask))
    return false;
  for (uint16_t k = kMeteringRollBlock; k < kMeteringRollBlock + 3; ++k)
    if (desired_byte(k) != rx_[k]) return false;
  return true;
}

// The speed mode byte and the block after it: the knob push, and the DesiredValues standing in
// for the mirror of the speed block, unless the speeds are set on the screen.
void Decoder::metering_block() {
  if (s_.mr_speed_via_screen.load(kRelaxed)) {
    if (block_reported()) lower_write(PW::k159Copy);
    return;
  }
  const uint8_t mode = rx_[kMeteringRollMode];
  if ((mode ^ mirror_byte(kMeteringRollMode)) & kMeteringRollKnobPush) {
    const bool dialog_open = s_.metering_roll_dialog_visible.load(kRelaxed) ||
                             redraw_window(RT::MeteringRollDialog) != nullptr;
    if (!dialog_open)
      s_.metering_roll_request.store(1, kRelaxed);
    set_mirror(kMeteringRollMode, mode);
    redraws_.add(RT::MeteringRollDialog, Erase::No);
  }
  if ((desired_byte(kMeteringRollMode) & kMeteringRollModeMask) != (mode & kMeteringRollModeMask)) {
    set_desired_byte(kMeteringRollMode, mode & kMeteringRollModeMask);
    redraws_.add(RT::MeteringRollDialog, Erase::No);
  }
  for (uint16_t k = kMeteringRollBlock; k < kMeteringRollBlock + 3; ++k) {
    if (desired_byte(k) != rx_[k] && !raised(PW::k159Block)) {
      set_desired_byte(k, rx_[k]);
      redraws_.add(RT::MeteringRollDialog, Erase::No);
    }
  }
  if (block_reported()) lower_write(PW::k159Block);
}

bool Decoder::acknowledged(const AckRow& a, bool changed) const {
  switch (a.rule) {
    case Ack::General:
      for (uint8_t k = 0; k < a.count; ++k)
        if (mirror_byte(a.first + k) != desired_byte(a.first + k)) return false;
      return true;
    case Ack::Companion:
      return rx_[a.first] == desired_byte(a.partner) && rx_[a.first + 1] == desired_byte(a.partner + 1);
    case Ack::OnChange:
      return changed && mirror_byte(a.first) == desired_byte(a.first);
    case Ack::Copy160:
      for (uint16_t k = 0; k < 3; ++k)
        if (rx_[kMeteringRollBlock + k] != mirror_byte(kMeteringRollSpeeds + k)) return false;
      return true;
    case Ack::Received161:
      return rx_[kMeteringRollBlock + 1] == desired_byte(kMeteringRollBlock + 1);
    case Ack::Masked:
      return (mirror_byte(a.first) & a.mask) == (desired_byte(a.first) & a.mask);
    case Ack::Group221:
      for (uint16_t k : {221, 222, 247, 248, 249, 250})
        if (mirror_byte(k) != desired_byte(k)) return false;
      return true;
    case Ack::Masked279:
      return mirror_byte(kAutoStart) == (desired_byte(kAutoStart) & a.mask);
  }
  return false;
}

void Decoder::acknowledge(const Field& f, bool changed) {
  for (int w = 0; w < 2; ++w) {
    for (uint64_t bits = f.acks.bits[w]; bits; bits &= bits - 1) {
      const AckRow& a = kAcks.rows[w * 64 + std::countr_zero(bits)];
      if (raised(a.flag) && acknowledged(a, changed)) lower_write(a.flag);
    }
  }
}

void Decoder::run() {
  for (const Field& f : kFields) handle(f);
  // While the units and options write is pending, the drying set-up dialogs show its progress.
  if (raised(PW::k266)) {
    redraws_.add(RT::DryingCriteriaDialog, Erase::No);
    redraws_.add(RT::DryingModesDialog, Erase::No);
  }
  redraws_.flush();
}

}  // namespace

void decode_status_frame(const uint8_t* frame) { Decoder(frame).run(); }

size_t status_field_count() { return kFieldCount; }

}  // namespace corvex::link
