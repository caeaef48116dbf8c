#pragma once
// The data the status decoder walks: which status bytes form one field, which are not copied,
// which windows redraw when a field changes, and which PendingWrites are checked after it.
// Built once, at compile time, from three tables: the pairs, the redraw table and the record
// table of the command builder with the exceptions of the acknowledgement rule.
#include <array>
#include <cstddef>
#include <cstdint>

#include "link/command_builder.h"
#include "link/dryer_state.h"
#include "link/redraw.h"

namespace corvex::link::fields {

using PW = PendingWrite;
using RT = RedrawTarget;

enum class Copy : uint8_t {
  Ignored,        // bytes 0..2: never read
  NotCopied,      // the mirror byte stays 0
  Copied,         // copied whole when any byte differs
  Companion,      // copied only while its companion write is lowered
  MeteringBlock,  // 159: the metering-roll speed block rule
};

enum class Special : uint8_t {
  None,
  DryingMode,      // 8
  RunningTimer,    // 24-25
  RollMotion,      // 58
  ZeroThroughput,  // after 169, every frame
  Switches,        // 179
  Warning,         // 185-186
  ControlType,     // 187
  Defaults,        // 188
  MoistureIn,      // 191-192
  Request251,      // 251
  Criteria,        // 257
  UnitsAndView,    // 266
  AutoStartEnd,    // 280
};

// ---- Fields ----

// First bytes of the two-byte fields: timers, 16-bit values and the other pairs. The companion
// timers 9-10, 14-15, 19-20 and 252-253 are not among them: they are handled byte by byte.
inline constexpr uint16_t kPairStarts[] = {
    11,  16,  21,  24,  26,  29,  31,  39,  41,  44,  46,  59,  61,  63,  65,  67,
    69,  71,  73,  75,  77,  79,  81,  83,  85,  87,  89,  91,  93,  149, 151, 153,
    173, 175, 185, 189, 191, 193, 195, 197, 199, 206, 208, 221, 232, 234, 241, 243,
    247, 249, 254, 258, 260, 262, 264, 267, 269, 272, 274, 277, 281, 283, 290, 294,
    296, 298, 300, 302, 304, 306, 308, 310, 312, 314, 316, 318, 320, 322, 324, 326};

struct NotCopiedRange {
  uint16_t first;
  uint16_t last;
};
// Not copied into the mirror (160..162 are tracked in DesiredValues instead).
inline constexpr NotCopiedRange kNotCopied[] = {
    {33, 38},   {48, 48},   {53, 57},   {107, 112}, {119, 124}, {160, 162}, {170, 170},
    {204, 205}, {210, 215}, {231, 231}, {256, 256}, {276, 276}, {286, 286}};

struct CompanionByte {
  uint16_t offset;
  PW flag;
};
inline constexpr CompanionByte kCompanions[] = {{9, PW::k9},     {10, PW::k9},   {14, PW::k14},
                                                {15, PW::k14},   {19, PW::k19},  {20, PW::k19},
                                                {252, PW::k252}, {253, PW::k252}};

// ---- Redraw table ----

struct RedrawRow {
  uint16_t first;
  uint16_t last;
  RT target;
  bool has_rect;
  platform::Rect rect;
  Erase erase;
};

constexpr RedrawRow whole(uint16_t first, uint16_t last, RT t, Erase e = Erase::No) {
  return {first, last, t, false, {}, e};
}
constexpr RedrawRow part(uint16_t first, uint16_t last, RT t, platform::Rect r, Erase e) {
  return {first, last, t, true, r, e};
}

// Field -> windows redrawn when it changes. A request with erase clears the area first.
inline constexpr platform::Rect kTimerRect{5, 0, 390, 45};  // right status bar
inline constexpr platform::Rect kGrainSetpointRect{180, 30, 300, 102};
inline constexpr platform::Rect kMetersRect{0, 0, 120, 65};  // unload status
// Unload status: the speed button and the line left of it. A rectangle the button alone covers
// would skip the window, whose paint is what repaints the button.
inline constexpr platform::Rect kSpeedButtonRect{130, 0, 240, 70};
inline constexpr platform::Rect kMoistureControlRect{5, 145, 235, 170};  // line graph

inline constexpr RedrawRow kRedrawRows[] = {
    whole(3, 3, RT::PlenumView),
    // The fan/heater count, the drying mode, the dryer type and the criteria byte choose the
    // setpoint buttons of the temperature screen.
    whole(3, 3, RT::PlenumSetpointPanel),
    whole(8, 8, RT::PlenumSetpointPanel),
    whole(8, 8, RT::GrainTempSetpointPanel),
    whole(225, 225, RT::PlenumSetpointPanel),
    whole(257, 257, RT::PlenumSetpointPanel),
    whole(257, 257, RT::GrainTempSetpointPanel),
    // The setup menu offers AUTO START for the drying mode, the dryer type and bit 6 of 280.
    whole(225, 225, RT::SetupMenu),
    whole(280, 280, RT::SetupMenu),
    whole(8, 8, RT::BatchDrying),
    whole(8, 8, RT::SetupMenu),
    // The extended menu offers CLEAR BATCH COUNTER only outside continuous flow.
    whole(8, 8, RT::ExtendedSetupMenu),
    // The drying mode and bit 1 of 257 choose the single plenum's setpoints.
    whole(8, 8, RT::PlenumView),
    whole(9, 10, RT::BatchDrying),
    whole(14, 15, RT::BatchDrying),
    whole(19, 20, RT::BatchDrying),
    whole(252, 253, RT::BatchDrying),
    whole(11, 13, RT::BatchDrying),
    whole(16, 18, RT::BatchDrying),
    whole(21, 23, RT::BatchDrying),
    whole(254, 255, RT::BatchDrying),
    part(24, 25, RT::RightStatusBar, kTimerRect, Erase::Yes),
    whole(26, 27, RT::OutOfGrainPanel, Erase::Yes),
    whole(28, 28, RT::RightStatusBar),
    whole(39, 40, RT::RightStatusBar),
    whole(43, 43, RT::RightStatusBar),
    whole(31, 32, RT::LoadDelayPanel),
    whole(41, 42, RT::UnloadDelayPanel),
    whole(46, 47, RT::FanDelayPanel),
    whole(49, 49, RT::StatusPicture),
    whole(52, 52, RT::StatusPicture),
    whole(52, 52, RT::MeteringRollDialog),
    whole(52, 52, RT::RightStatusBar),
    whole(52, 52, RT::OutOfGrainPanel),
    // Every plenum's setpoint shows in the plenum view, #5 and #6 (59..62) included.
    whole(59, 70, RT::PlenumSetpointPanel),
    whole(59, 70, RT::PlenumView),
    whole(71, 82, RT::PlenumView),
    whole(89, 94, RT::LineGraph),
    whole(89, 94, RT::UnloadStatus),
    whole(89, 94, RT::UnloadStatusButton),
    whole(101, 106, RT::Diagnostics),
    whole(113, 118, RT::RightStatusBar),
    whole(125, 148, RT::PlenumView),
    whole(131, 136, RT::AutoStartStatus),
    whole(148, 148, RT::LineGraph),
    whole(149, 150, RT::GrainTempSetpointPanel),
    whole(149, 150, RT::LineGraph),
    whole(151, 154, RT::StatusPicture),
    part(151, 154, RT::GrainTempSetpointPanel, kGrainSetpointRect, Erase::Yes),
    whole(155, 155, RT::UnloadStatus, Erase::Yes),
    whole(156, 158, RT::UnloadStatusButton),
    whole(156, 158, RT::MeteringRollDialog),
    // The presets are drawn on the unload status window's speed button, the counter and the
    // bushels per hour on its bushels button.
    part(156, 158, RT::UnloadStatus, kSpeedButtonRect, Erase::Yes),
    whole(164, 167, RT::CalibrationDialog),
    whole(164, 167, RT::UnloadStatusButton),
    whole(173, 174, RT::UnloadStatusButton),
    whole(168, 168, RT::StatusPicture),
    whole(168, 168, RT::AutoStartStatus),
    whole(169, 169, RT::StatusPicture),
    whole(171, 171, RT::RightStatusBar),
    whole(171, 171, RT::StatusChart),
    whole(171, 171, RT::BatchDrying),
    whole(171, 171, RT::AutoStartStatus),
    whole(172, 172, RT::RightStatusBar),
    whole(172, 172, RT::StatusChart),
    whole(177, 183, RT::SwitchTest),
    // 179 also feeds the line graph, the out-of-grain panel and the MISC button.
    whole(179, 179, RT::LineGraph),
    whole(179, 179, RT::OutOfGrainPanel),
    whole(179, 179, RT::MiscButton),
    whole(184, 184, RT::LineGraph),
    whole(184, 184, RT::UnloadStatus),
    part(187, 187, RT::LineGraph, kMoistureControlRect, Erase::No),
    whole(187, 187, RT::MeteringRollDialog, Erase::Yes),
    whole(188, 188, RT::RightStatusBar),
    whole(189, 196, RT::LineGraph),
    whole(189, 196, RT::MoistureSensorCalibration),
    part(197, 198, RT::UnloadStatus, kMetersRect, Erase::Yes),
    whole(199, 200, RT::MoistureSetpointDialog),
    whole(199, 200, RT::LineGraph),
    whole(199, 200, RT::AutoStartConfig),
    whole(201, 201, RT::MoistureSetpointDialog),
    whole(201, 201, RT::MeteringRollDialog),
    whole(218, 219, RT::MoistureSensorCalibration),
    whole(232, 235, RT::MoistureSensorCalibration),
    whole(241, 244, RT::MoistureSensorCalibration),
    whole(220, 220, RT::StatusPicture),
    whole(223, 223, RT::StatusPicture),
    whole(245, 245, RT::StatusPicture),
    whole(249, 251, RT::StatusPicture),
    whole(222, 222, RT::BatchDrying),
    whole(225, 225, RT::SwitchTest),
    whole(225, 225, RT::PlenumView),
    whole(230, 230, RT::BracketedMoistureSetup),
    // The light-output test shows the short-circuit bits (177-178) beside the activated ones.
    whole(177, 178, RT::LightOutputTest),
    whole(239, 240, RT::LightOutputTest),
    whole(246, 246, RT::SetupDialog),
    whole(247, 248, RT::StatusPicture),
    whole(247, 248, RT::BatchDrying),
    whole(257, 257, RT::BatchDrying),
    whole(257, 257, RT::MiscButton),
    whole(257, 257, RT::PlenumView),
    whole(258, 261, RT::PlenumSetpointPanel),
    // The second setpoint of the single plenum.
    whole(260, 261, RT::PlenumView),
    whole(262, 263, RT::StatusPicture),
    whole(262, 265, RT::BatchDrying),
    whole(270, 270, RT::FanDelayPanel),
    whole(271, 271, RT::RightStatusBar),
    whole(275, 275, RT::DryingModesDialog),
    whole(277, 278, RT::DryingModesDialog),
    whole(280, 280, RT::AutoStartStatus),
    part(280, 280, RT::LineGraph, kMoistureControlRect, Erase::No),
    whole(280, 280, RT::MeteringRollDialog),
    whole(280, 280, RT::StatusPicture),
    whole(281, 282, RT::AutoStartConfig),
    whole(281, 282, RT::AutoStartStatus),
    whole(283, 284, RT::AutoStartConfig),
    whole(287, 287, RT::AutoStartDialog),
    whole(288, 288, RT::AutoStartStatus),
    whole(294, 327, RT::AutoStartStatus),
    whole(290, 291, RT::RightStatusBar),
};
inline constexpr size_t kRedrawRowCount = std::size(kRedrawRows);
static_assert(kRedrawRowCount <= 128, "a field's redraws are a 128-bit mask");

// ---- Acknowledgement rows ----

enum class Ack : uint8_t {
  General,      // every carried mirror byte equals its slot
  Companion,    // the received companion bytes equal the live partner's slots
  OnChange,     // only in the frame in which the byte changes: the new value equals the slot
  Copy160,      // received 160..162 equal mirror 156..158
  Received161,  // received 161 equals D161
  Masked,       // the masked bits of the mirror byte equal those of the slot
  Group221,     // mirror 221, 222 and 247..250 all equal their slots
  Masked279,    // mirror 279 equals D279 with bits 4..6 cleared (never echoed)
};

struct AckRow {
  PW flag;
  Ack rule;
  uint16_t check_after;  // checked right after the field holding this byte
  uint16_t first;
  uint8_t count;
  uint8_t mask;
  uint16_t partner;
};

// The rule of one flag of a record; false for the flags the decoder never lowers here (the
// one-shots, 159 itself, and the metering-roll block and copy, which the block rule lowers).
constexpr bool ack_row_for(PW f, const CommandRecord& r, AckRow* out) {
  switch (f) {
    case PW::k53:
    case PW::k218Trigger:
    case PW::k159:
    case PW::k159Block:
    case PW::k159Copy:
      return false;
    case PW::k9:
      *out = {f, Ack::Companion, 10, 9, 2, 0, 11};
      return true;
    case PW::k14:
      *out = {f, Ack::Companion, 15, 14, 2, 0, 16};
      return true;
    case PW::k19:
      *out = {f, Ack::Companion, 20, 19, 2, 0, 21};
      return true;
    case PW::k252:
      *out = {f, Ack::Companion, 253, 252, 2, 0, 254};
      return true;
    case PW::k156:
    case PW::k157:
    case PW::k158:
      *out = {f, Ack::OnChange, r.first_byte, r.first_byte, 1, 0, 0};
      return true;
    case PW::k160Copy:
      *out = {f, Ack::Copy160, 162, 160, 3, 0, 156};
      return true;
    case PW::k161:
      *out = {f, Ack::Received161, 161, 161, 1, 0, 0};
      return true;
    case PW::k217Bit6:
      *out = {f, Ack::Masked, 217, 217, 1, 0x40, 0};
      return true;
    case PW::k218Bits:
      *out = {f, Ack::Masked, 218, 218, 1, 0x0C, 0};
      return true;
    case PW::k219Bits:
      *out = {f, Ack::Masked, 219, 219, 1, 0x98, 0};
      return true;
    case PW::k221:
      *out = {f, Ack::Group221, 250, 221, 2, 0, 0};
      return true;
    case PW::k279:
      *out = {f, Ack::Masked279, 279, 279, 1, 0x8F, 0};
      return true;
    default:
      *out = {f, Ack::General, uint16_t(r.first_byte + r.length - 1), r.first_byte, r.length, 0, 0};
      return true;
  }
}

struct AckTable {
  std::array<AckRow, kPendingWriteCount> rows{};
  size_t count = 0;
};

constexpr AckTable make_ack_table() {
  AckTable t;
  for (const CommandRecord& r : kCommandRecords) {
    for (uint8_t k = 0; k < r.flag_count; ++k) {
      AckRow row{};
      if (ack_row_for(r.flags[k], r, &row)) t.rows[t.count++] = row;
    }
  }
  return t;
}
inline constexpr AckTable kAcks = make_ack_table();
static_assert(kAcks.count <= 128, "a field's acknowledgements are a 128-bit mask");

// ---- The field table ----

struct Mask128 {
  uint64_t bits[2] = {0, 0};
  constexpr void set(size_t i) { bits[i / 64] |= uint64_t(1) << (i % 64); }
  constexpr bool any() const { return (bits[0] | bits[1]) != 0; }
};

struct Field {
  uint16_t start;
  uint8_t width;
  Copy copy;
  Special special;
  PW companion;
  Mask128 redraws;  // bits of kRedrawRows
  Mask128 acks;     // bits of kAcks.rows
};

constexpr bool is_pair_start(uint16_t o) {
  for (uint16_t p : kPairStarts)
    if (p == o) return true;
  return false;
}

constexpr Copy copy_kind(uint16_t o, PW* companion) {
  if (o <= 2) return Copy::Ignored;
  if (o == 159) return Copy::MeteringBlock;
  for (const NotCopiedRange& r : kNotCopied)
    if (o >= r.first && o <= r.last) return Copy::NotCopied;
  for (const CompanionByte& c : kCompanions) {
    if (c.offset == o) {
      *companion = c.flag;
      return Copy::Companion;
    }
  }
  return Copy::Copied;
}

constexpr Special special_of(uint16_t o) {
  switch (o) {
    case 8:
      return Special::DryingMode;
    case 24:
      return Special::RunningTimer;
    case 58:
      return Special::RollMotion;
    case 169:
      return Special::ZeroThroughput;
    case 179:
      return Special::Switches;
    case 185:
      return Special::Warning;
    case 187:
      return Special::ControlType;
    case 188:
      return Special::Defaults;
    case 191:
      return Special::MoistureIn;
    case 251:
      return Special::Request251;
    case 257:
      return Special::Criteria;
    case 266:
      return Special::UnitsAndView;
    case 280:
      return Special::AutoStartEnd;
    default:
      return Special::None;
  }
}

constexpr size_t count_fields() {
  size_t n = 0;
  for (uint16_t o = 0; o < kStatusBytes; o += is_pair_start(o) ? 2 : 1) ++n;
  return n;
}
inline constexpr size_t kFieldCount = count_fields();

constexpr Field make_field(uint16_t o) {
  Field f{};
  f.start = o;
  f.width = is_pair_start(o) ? 2 : 1;
  f.companion = PW::k9;
  f.copy = copy_kind(o, &f.companion);
  f.special = special_of(o);
  const uint16_t last = uint16_t(o + f.width - 1);
  for (size_t i = 0; i < kRedrawRowCount; ++i)
    if (kRedrawRows[i].first <= last && kRedrawRows[i].last >= o) f.redraws.set(i);
  for (size_t i = 0; i < kAcks.count; ++i)
    if (kAcks.rows[i].check_after >= o && kAcks.rows[i].check_after <= last) f.acks.set(i);
  return f;
}

constexpr std::array<Field, kFieldCount> make_fields() {
  std::array<Field, kFieldCount> t{};
  size_t i = 0;
  for (uint16_t o = 0; o < kStatusBytes; o += t[i - 1].width) t[i++] = make_field(o);
  return t;
}
inline constexpr std::array<Field, kFieldCount> kFields = make_fields();

}  // namespace corvex::link::fields
