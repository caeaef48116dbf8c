#include "link/command_builder.h"

#include "link/frames.h"

namespace corvex::link {
namespace {

bool any_raised(const CommandRecord& r, DryerState& s) {
  for (uint8_t k = 0; k < r.flag_count; ++k)
    if (s.flag(r.flags[k]).load(std::memory_order_acquire) != 0) return true;
  return false;
}

// Writes the record at position p and returns the position after it.
size_t write_record(const CommandRecord& r, DryerState& s, uint8_t* tx, size_t p) {
  tx[p + ParameterRecord::kNode] = r.node;
  tx[p + ParameterRecord::kId] = r.id;
  tx[p + ParameterRecord::kLength] = r.length;
  const auto& bytes = r.source == ByteSource::Desired ? s.desired : s.mirror;
  for (uint8_t k = 0; k < r.length; ++k)
    tx[p + ParameterRecord::kValue + k] = bytes[r.first_byte + k].load(std::memory_order_relaxed);
  return p + ParameterRecord::kHeaderBytes + r.length;
}

}  // namespace

bool build_command_frame(uint8_t* tx) {
  DryerState& s = dryer_state();
  size_t p = CommandFrame::kFirstRecord;
  uint8_t count = 0;
  for (const CommandRecord& r : kCommandRecords) {
    if (!any_raised(r, s)) continue;
    if (r.limit == PositionLimit::Applies && p >= CommandFrame::kPositionLimit) continue;
    if (r.emission == Emission::LowerFlagFirst) lower_write(r.flags[0]);
    p = write_record(r, s, tx, p);
    ++count;
    if (r.emission == Emission::LowerTrigger218) {
      lower_write(PendingWrite::k218Trigger);
    } else if (r.emission == Emission::LowerFlagClear266Bits) {
      lower_write(PendingWrite::k266);
      s.desired[266].fetch_and(uint8_t(~0x03u), std::memory_order_relaxed);
    }
  }
  tx[CommandFrame::kCountByte] = count;
  tx[CommandFrame::kLengthByte] = uint8_t(p + 2);
  return count > 0;
}

}  // namespace corvex::link
