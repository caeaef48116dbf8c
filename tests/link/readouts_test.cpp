// The automation read-outs of the link region.
#include <gtest/gtest.h>

#include "link/readouts.h"
#include "link_test_support.h"

namespace corvex::link::test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(LinkTest, MirrorReadoutListsNonzeroBytesAfterThePreset) {
  EXPECT_TRUE(mirror_readout().empty());
  preset_start_mirror();
  set_mirror(69, 0xC8);
  set_mirror(3, 0x04);
  EXPECT_EQ(mirror_readout(), (Lines{"3=4 69=c8 171=a0"}));
}

TEST_F(LinkTest, ReadoutsWrapIntoSeveralLines) {
  for (size_t k = 10; k < 40; ++k) set_desired(k, 1);
  const Lines lines = desired_readout();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("10=1 11=1", 0), 0u);
  EXPECT_EQ(lines[2], "34=1 35=1 36=1 37=1 38=1 39=1");
}

TEST_F(LinkTest, PendingReadoutNamesFlagsThatShareAnOffset) {
  raise_write(PendingWrite::k69);
  raise_write(PendingWrite::k159Block);
  raise_write(PendingWrite::k159);
  raise_write(PendingWrite::k218Trigger);
  raise_write(PendingWrite::k285);
  EXPECT_EQ(pending_readout(), (Lines{"69=1 159=1 159-block=1 218-trigger=1 285=1"}));
  for (size_t i = 0; i < kPendingWriteCount; ++i) {
    const PendingWriteName n = pending_write_name(PendingWrite(i));
    EXPECT_GE(n.offset, 3);
    EXPECT_LT(n.offset, kStatusBytes);
  }
}

}  // namespace
}  // namespace corvex::link::test
