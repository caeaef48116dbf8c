#pragma once
// The command builder: once per exchange cycle it walks the fixed record table and puts every
// record whose PendingWrite is raised into the CommandFrame. A flag stays raised, and its record
// goes out in every cycle, until the status decoder sees the value come back.
#include <array>
#include <cstddef>
#include <cstdint>

#include "link/dryer_state.h"

namespace corvex::link {

enum class ByteSource : uint8_t { Desired, Mirror };
enum class PositionLimit : uint8_t { Applies, Exempt };
enum class Emission : uint8_t {
  None,
  LowerFlagFirst,         // the clock record: a one-shot lowered before its bytes are written
  LowerTrigger218,        // PendingWrite 218 trigger is a one-shot of the 218/219 record
  LowerFlagClear266Bits,  // bits 0-1 of 266 are one-shot commands: lowered, then cleared
};

struct CommandRecord {
  std::array<PendingWrite, 3> flags;  // any raised selects the record
  uint8_t flag_count;
  uint8_t node;
  uint8_t id;
  uint8_t length;          // n value bytes
  ByteSource source;
  uint16_t first_byte;     // slot or mirror byte of the first value byte
  PositionLimit limit;
  Emission emission;
};

inline constexpr size_t kCommandRecordCount = 88;

namespace detail {
constexpr CommandRecord desired(PendingWrite f, uint8_t node, uint8_t id, uint8_t n,
                                PositionLimit limit = PositionLimit::Applies,
                                Emission e = Emission::None) {
  return {{f, f, f}, 1, node, id, n, ByteSource::Desired, uint16_t(node * 256 + id), limit, e};
}
constexpr CommandRecord from_mirror(PendingWrite f, uint8_t id, uint8_t n, uint16_t first) {
  return {{f, f, f}, 1, 0, id, n, ByteSource::Mirror, first, PositionLimit::Applies,
          Emission::None};
}

struct RecordTable {
  std::array<CommandRecord, kCommandRecordCount> records{};
  size_t count = 0;
};

constexpr RecordTable make_record_table() {
  using PW = PendingWrite;
  using detail::desired;
  using detail::from_mirror;
  constexpr auto kExempt = PositionLimit::Exempt;
  constexpr auto kTested = PositionLimit::Applies;
  RecordTable table;
  auto& t = table.records;
  size_t& i = table.count;
  // Entry 1 is exempt so that it always starts at position 2.
  t[i++] = desired(PW::k3, 0, 3, 1, kExempt);
  t[i++] = desired(PW::k4, 0, 4, 1);
  t[i++] = desired(PW::k5, 0, 5, 1);
  t[i++] = desired(PW::k6, 0, 6, 1);
  t[i++] = desired(PW::k7, 0, 7, 1);
  t[i++] = desired(PW::k8, 0, 8, 1);
  t[i++] = desired(PW::k11, 0, 11, 2);
  t[i++] = desired(PW::k9, 0, 9, 2);
  t[i++] = desired(PW::k254, 0, 254, 2);
  t[i++] = desired(PW::k252, 0, 252, 2);
  t[i++] = desired(PW::k16, 0, 16, 2);
  t[i++] = desired(PW::k14, 0, 14, 2);
  t[i++] = desired(PW::k21, 0, 21, 2);
  t[i++] = desired(PW::k19, 0, 19, 2);
  t[i++] = desired(PW::k26, 0, 26, 2);
  t[i++] = desired(PW::k31, 0, 31, 2);
  t[i++] = desired(PW::k41, 0, 41, 2);
  t[i++] = desired(PW::k46, 0, 46, 2);
  t[i++] = desired(PW::k49, 0, 49, 1);
  t[i++] = desired(PW::k50, 0, 50, 1);
  // Entry 21, the clock record, is a one-shot that must not be lost: exempt from the limit.
  t[i++] = desired(PW::k53, 0, 53, 5, kExempt, Emission::LowerFlagFirst);
  t[i++] = desired(PW::k59, 0, 59, 2);
  t[i++] = desired(PW::k61, 0, 61, 2);
  t[i++] = desired(PW::k63, 0, 63, 2);
  t[i++] = desired(PW::k65, 0, 65, 2);
  t[i++] = desired(PW::k67, 0, 67, 2);
  t[i++] = desired(PW::k69, 0, 69, 2);
  constexpr PW kDiff[] = {PW::k95, PW::k96, PW::k97, PW::k98, PW::k99, PW::k100};
  for (uint8_t k = 0; k < 6; ++k) t[i++] = desired(kDiff[k], 0, uint8_t(95 + k), 1);
  constexpr PW kCtl[] = {PW::k101, PW::k102, PW::k103, PW::k104, PW::k105, PW::k106};
  for (uint8_t k = 0; k < 6; ++k) t[i++] = desired(kCtl[k], 0, uint8_t(101 + k), 1);
  t[i++] = desired(PW::k149, 0, 149, 2);
  t[i++] = desired(PW::k151, 0, 151, 2);
  t[i++] = desired(PW::k153, 0, 153, 2);
  t[i++] = desired(PW::k159, 0, 159, 1);
  t[i++] = desired(PW::k156, 0, 156, 1);
  t[i++] = desired(PW::k157, 0, 157, 1);
  t[i++] = desired(PW::k158, 0, 158, 1);
  // Entries 47, 48 and 52 carry the controller's own bytes back into other parameters.
  t[i++] = from_mirror(PW::k159Copy, 159, 4, 155);
  t[i++] = from_mirror(PW::k161, 161, 1, 230);
  t[i++] = desired(PW::k163, 0, 163, 1);
  t[i++] = desired(PW::k164, 0, 164, 4);
  t[i++] = desired(PW::k187, 0, 187, 1);
  t[i++] = from_mirror(PW::k160Copy, 160, 3, 156);
  t[i++] = desired(PW::k159Block, 0, 159, 4);
  t[i++] = desired(PW::k199, 0, 199, 2);
  t[i++] = desired(PW::k202, 0, 202, 1);
  t[i++] = desired(PW::k203, 0, 203, 1);
  t[i++] = desired(PW::k206, 0, 206, 2);
  t[i++] = desired(PW::k208, 0, 208, 2);
  t[i] = desired(PW::k216, 0, 216, 2);
  t[i].flags = {PW::k216, PW::k217Bit6, PW::k217Bit6};
  t[i++].flag_count = 2;
  t[i] = desired(PW::k218Bits, 0, 218, 2, kTested, Emission::LowerTrigger218);
  t[i].flags = {PW::k218Bits, PW::k218Trigger, PW::k219Bits};
  t[i++].flag_count = 3;
  t[i++] = desired(PW::k221, 0, 221, 2);
  t[i++] = desired(PW::k224, 0, 224, 1);
  constexpr PW kBracket[] = {PW::k226, PW::k227, PW::k228, PW::k229};
  for (uint8_t k = 0; k < 4; ++k) t[i++] = desired(kBracket[k], 0, uint8_t(226 + k), 1);
  t[i++] = desired(PW::k232, 0, 232, 2);
  t[i++] = desired(PW::k234, 0, 234, 2);
  t[i++] = desired(PW::k236, 0, 236, 1);
  t[i++] = desired(PW::k237, 0, 237, 1);
  t[i++] = desired(PW::k238, 0, 238, 1);
  t[i++] = desired(PW::k241, 0, 241, 2);
  t[i++] = desired(PW::k243, 0, 243, 2);
  t[i++] = desired(PW::k246, 0, 246, 1);
  t[i++] = desired(PW::k257, 1, 1, 1);
  t[i++] = desired(PW::k258, 1, 2, 2);
  t[i++] = desired(PW::k260, 1, 4, 2);
  t[i++] = desired(PW::k266, 1, 10, 1, kTested, Emission::LowerFlagClear266Bits);
  t[i++] = desired(PW::k269, 1, 13, 2);
  t[i++] = desired(PW::k274, 1, 18, 2);
  t[i++] = desired(PW::k277, 1, 21, 2);
  t[i++] = desired(PW::k279, 1, 23, 1);
  t[i++] = desired(PW::k281, 1, 25, 2);
  t[i++] = desired(PW::k283, 1, 27, 2);
  // Entry 85, the grain type of auto-start, is exempt from the limit.
  t[i++] = desired(PW::k285, 1, 29, 1, kExempt);
  t[i++] = desired(PW::k287, 1, 31, 1);
  t[i++] = desired(PW::k289, 1, 33, 1);
  t[i++] = desired(PW::k293, 1, 37, 1);
  return table;
}

inline constexpr RecordTable kRecordTable = make_record_table();
static_assert(kRecordTable.count == kCommandRecordCount);
}  // namespace detail

// The record table in its fixed order: the order decides which parameters go first when more
// are pending than fit below the position limit.
inline constexpr const std::array<CommandRecord, kCommandRecordCount>& kCommandRecords =
    detail::kRecordTable.records;

// Builds the next CommandFrame in the transmit buffer (at least 1000 bytes): byte 0 the length
// including the two CRC bytes that the exchange thread appends, byte 1 the record count, then
// the records. Returns true when at least one record was put in the frame. Runs the one-shot
// emission actions even when the frame will not be sent.
bool build_command_frame(uint8_t* transmit_buffer);

}  // namespace corvex::link
