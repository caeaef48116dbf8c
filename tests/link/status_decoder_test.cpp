// The status decoder: copying, acknowledgements, and the special fields.
#include <gtest/gtest.h>

#include <vector>

#include "link/command_builder.h"
#include "link/link_ticks.h"
#include "link/status_decoder.h"
#include "link_test_support.h"

namespace corvex::link::test {
namespace {

using PW = PendingWrite;
using RT = RedrawTarget;

struct ShutdownRecord {
  uint8_t node;
  uint8_t number;
};
std::vector<ShutdownRecord> g_records;
int g_status_area_calls = 0;

class Decoder : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    g_records.clear();
    g_status_area_calls = 0;
    link_hooks().add_shutdown_record.store(
        [](uint8_t node, uint8_t number) { g_records.push_back({node, number}); });
    link_hooks().status_area_rule.store([] { ++g_status_area_calls; });
  }
  void decode() {
    StatusBytes copy = frame;
    decode_status_frame(copy.sealed());
  }
  StatusBytes frame;
};

TEST_F(Decoder, IdenticalFramesCopyAndRedrawOnlyOnce) {
  frame[69] = 0xB4;
  frame[171] = 0xA0;
  frame[3] = 2;
  decode();
  EXPECT_EQ(mirror(69), 0xB4);
  auto first = RedrawRecorder::take();
  EXPECT_EQ(RedrawRecorder::count(first, RT::PlenumSetpointPanel), 1);
  EXPECT_EQ(RedrawRecorder::count(first, RT::PlenumView), 1);  // asked for once per frame
  EXPECT_EQ(RedrawRecorder::count(first, RT::RightStatusBar), 1);

  // A write raised between the frames is still acknowledged by an unchanged frame.
  raise_write(PW::k69, {{69, 0xB4}, {70, 0x00}});
  decode();
  EXPECT_TRUE(RedrawRecorder::take().empty());
  EXPECT_FALSE(write_raised(PW::k69));
}

TEST_F(Decoder, BytesThatAreNotCopiedKeepTheirMirrorAtZero) {
  for (size_t k : {0, 1, 2, 33, 38, 48, 53, 57, 107, 119, 170, 204, 210, 231, 256,
                   276, 286})
    frame[k] = 0x5A;
  decode();
  for (size_t k : {0, 1, 2, 33, 38, 48, 53, 57, 107, 119, 170, 204, 210, 231, 256,
                   276, 286})
    EXPECT_EQ(mirror(k), 0) << "byte " << k;
  EXPECT_TRUE(RedrawRecorder::take().empty());
}

TEST_F(Decoder, PairIsOneFieldForItsRedraws) {
  // Only byte 269 changes; the redraw belongs to byte 270 of the same pair.
  frame[269] = 5;
  decode();
  EXPECT_EQ(mirror(269), 5);
  EXPECT_EQ(RedrawRecorder::count(RedrawRecorder::take(), RT::FanDelayPanel), 1);
  // A single byte field next to a pair does not drag its neighbour along.
  frame[268] = 9;  // 267-268 pair: copied, no redraw
  decode();
  auto r = RedrawRecorder::take();
  EXPECT_EQ(mirror(268), 9);
  EXPECT_TRUE(r.empty());
}

TEST_F(Decoder, RedrawsCarryTheirRectanglesAndErase) {
  frame[25] = 30;   // running timer: rectangle of the right status bar, with erase
  frame[197] = 1;   // metering-roll speed: unload status rectangle, with erase
  frame[155] = 2;   // unload status, whole, with erase
  decode();
  auto r = RedrawRecorder::take();
  bool timer_rect = false, meters_rect = false, unload_whole_erase = false;
  for (const auto& x : r) {
    if (x.target == RT::RightStatusBar && x.has_rect)
      timer_rect = x.rect == platform::Rect{5, 0, 390, 45} && x.erase == Erase::Yes;
    if (x.target == RT::UnloadStatus && x.has_rect)
      meters_rect = x.rect == platform::Rect{0, 0, 120, 65} && x.erase == Erase::Yes;
    if (x.target == RT::UnloadStatus && !x.has_rect) unload_whole_erase = x.erase == Erase::Yes;
  }
  EXPECT_TRUE(timer_rect);
  EXPECT_TRUE(meters_rect);
  EXPECT_TRUE(unload_whole_erase);
  // The bar button of byte 155's neighbours is a control: its redraw is handed over too.
  frame[156] = 40;
  decode();
  EXPECT_EQ(RedrawRecorder::count(RedrawRecorder::take(), RT::UnloadStatusButton), 1);
}

TEST_F(Decoder, CompanionWriteWaitsForTheLivePartnerValue) {
  // The operator confirmed copying the DRY time; meanwhile the DRY time was changed to 45:00.
  raise_write(PW::k9, {{9, 30}, {10, 0}});
  set_desired(11, 45);
  set_desired(12, 0);
  frame[9] = 30;
  frame[10] = 0;
  decode();
  EXPECT_TRUE(write_raised(PW::k9));
  EXPECT_EQ(mirror(9), 0);  // not copied while the companion write is raised
  EXPECT_EQ(RedrawRecorder::count(RedrawRecorder::take(), RT::BatchDrying), 0);
  frame[9] = 45;
  decode();
  EXPECT_FALSE(write_raised(PW::k9));
  RedrawRecorder::take();
  decode();  // lowered now: copied byte by byte with the batch screen's redraw
  EXPECT_EQ(mirror(9), 45);
  EXPECT_EQ(RedrawRecorder::count(RedrawRecorder::take(), RT::BatchDrying), 1);
}

TEST_F(Decoder, ShutdownRecordsAreSuppressedFor100SecondsAfterTheLastRecord) {
  auto seconds = [&](int n) {
    for (int i = 0; i < n; ++i) {
      decode();
      one_second_link_duties();
    }
  };
  frame[185] = 12;
  frame[186] = 3;
  seconds(300);  // held for five minutes: one record
  ASSERT_EQ(g_records.size(), 1u);
  EXPECT_EQ(g_records[0].node, 3);
  EXPECT_EQ(g_records[0].number, 12);

  reset_dryer_state();
  g_records.clear();
  seconds(10);
  frame[185] = 0;
  frame[186] = 0;
  seconds(20);
  frame[185] = 12;
  frame[186] = 3;
  seconds(10);  // back 30 s after the record: suppressed
  EXPECT_EQ(g_records.size(), 1u);
  frame[185] = 0;
  seconds(80);
  frame[185] = 12;
  seconds(1);  // back 2 minutes after the record: recorded again
  EXPECT_EQ(g_records.size(), 2u);

  // A different pair is recorded at once; so is the same pair once the countdown ran out,
  // however long the warning was held before it cleared.
  frame[186] = 4;
  seconds(1);
  EXPECT_EQ(g_records.size(), 3u);
  seconds(150);
  frame[185] = 0;
  seconds(1);
  frame[185] = 12;
  seconds(1);
  EXPECT_EQ(g_records.size(), 4u);
}

TEST_F(Decoder, ZeroThroughputRepeatsUntilTheCounterIsZeroThenClearsOnce) {
  uint8_t tx[kTransmitBufferBytes];
  raise_write(PW::k238, {{238, 0x08}});
  // Counter not zero and the controller has not taken the command: it repeats.
  frame[164] = 0x10;
  decode();
  EXPECT_TRUE(write_raised(PW::k238));
  EXPECT_EQ(desired(238), 0x08);
  // The controller takes it (echo) and reports a zero counter: bit 3 is cleared at once and the
  // write goes out once more with the bit clear.
  frame[164] = 0;
  frame[238] = 0x08;
  decode();
  EXPECT_EQ(desired(238), 0x00);
  ASSERT_TRUE(build_command_frame(tx));
  EXPECT_EQ(tx[2 + 1], 238);
  EXPECT_EQ(tx[2 + 3], 0x00);
  frame[238] = 0;
  decode();
  EXPECT_FALSE(write_raised(PW::k238));
}

TEST_F(Decoder, EndOfAutoStartLowersBitZeroOfTheAutoStartWrite) {
  frame[279] = 0xF1;  // running; bits 4-6 are reported but never echoed
  decode();
  set_desired(279, 0xF1);
  frame[280] = 0x80;
  decode();
  EXPECT_TRUE(write_raised(PW::k279));
  EXPECT_EQ(desired(279), 0xF0);
  frame[279] = 0x81;
  decode();
  EXPECT_TRUE(write_raised(PW::k279));
  frame[279] = 0x80;  // D279 with bits 4-6 cleared
  decode();
  EXPECT_FALSE(write_raised(PW::k279));
}

TEST_F(Decoder, UnitsAndViewBitsOfByte266) {
  RedrawRecorder::take();
  frame[266] = 0x80;
  decode();
  EXPECT_EQ(dryer_state().unit_flag.load(), 1);
  // Every temperature on screen changes with the units: the plenum view and the setpoint
  // panels repaint, once.
  {
    const auto taken = RedrawRecorder::take();
    EXPECT_EQ(RedrawRecorder::count(taken, RT::PlenumView), 1);
    EXPECT_EQ(RedrawRecorder::count(taken, RT::PlenumSetpointPanel), 1);
    EXPECT_EQ(RedrawRecorder::count(taken, RT::GrainTempSetpointPanel), 1);
  }
  EXPECT_EQ(g_status_area_calls, 0);
  frame[266] = 0xC0;
  decode();
  EXPECT_EQ(g_status_area_calls, 1);
  frame[266] = 0x40;
  decode();
  EXPECT_EQ(dryer_state().unit_flag.load(), 0);
  EXPECT_EQ(g_status_area_calls, 1);
  // While its write is pending, the drying set-up dialogs are redrawn after every frame.
  raise_write(PW::k266, {{266, 0x41}});
  RedrawRecorder::take();
  decode();
  EXPECT_EQ(RedrawRecorder::count(RedrawRecorder::take(), RT::DryingCriteriaDialog), 1);
}

TEST_F(Decoder, DryingModeRunsTheStatusAreaRuleOnlyOnTheMainScreen) {
  frame[257] = 0x10;
  frame[8] = 1;
  decode();
  EXPECT_EQ(g_status_area_calls, 1);
  EXPECT_EQ(dryer_state().batch_picture.load(), 1);
  dryer_state().main_screen_shown.store(0);
  frame[8] = 0;
  decode();
  EXPECT_EQ(g_status_area_calls, 1);
  EXPECT_EQ(dryer_state().batch_picture.load(), 0);
}

TEST_F(Decoder, KnobPushAndTheMeteringRollBlock) {
  frame[159] = 0x82;  // knob pushed (bit 7), mode 2
  frame[160] = 50;
  frame[161] = 60;
  frame[162] = 70;
  decode();
  EXPECT_EQ(dryer_state().metering_roll_request.load(), 1);
  EXPECT_EQ(mirror(159), 0x82);
  EXPECT_EQ(desired(159), 0x02);
  EXPECT_EQ(desired(161), 60);
  EXPECT_EQ(mirror(161), 0);  // 160..162 live in DesiredValues only
  // The operator sends a new block; the slots stop following the frame while it is pending.
  raise_write(PW::k159Block, {{159, 0x02}, {160, 55}, {161, 65}, {162, 75}});
  decode();
  EXPECT_EQ(desired(160), 55);
  EXPECT_TRUE(write_raised(PW::k159Block));
  // Reported back while bit 7 of 159 is still set from the knob: the block is acknowledged.
  frame[160] = 55;
  frame[161] = 65;
  frame[162] = 75;
  decode();
  EXPECT_FALSE(write_raised(PW::k159Block));

  // With the dialog open a knob push raises no request.
  dryer_state().metering_roll_request.store(0);
  dryer_state().metering_roll_dialog_visible.store(1);
  frame[159] = 0x02;
  decode();
  EXPECT_EQ(dryer_state().metering_roll_request.load(), 0);
  EXPECT_EQ(mirror(159), 0x02);
}

TEST_F(Decoder, RollMotionEdgesMeasureTheLoadTime) {
  frame[179] = 0x10;  // load in automatic
  frame[26] = 8;      // out-of-grain timer 8:00
  decode();
  frame[58] = 0x80;   // rising edge at 8:00
  decode();
  EXPECT_EQ(dryer_state().timer_minimum.load(), 481u);
  frame[24] = 7;      // running timer down to 7:00 lowers the minimum
  decode();
  EXPECT_EQ(dryer_state().timer_minimum.load(), 420u);
  frame[26] = 9;
  frame[58] = 0x00;   // falling edge: 9:00 - 7:00
  RedrawRecorder::take();
  decode();
  EXPECT_EQ(dryer_state().previous_load_time.load(), 120u);
  EXPECT_GE(RedrawRecorder::count(RedrawRecorder::take(), RT::OutOfGrainPanel), 1);
  // A timer below the minimum clamps to 0.
  frame[58] = 0x80;
  decode();
  frame[26] = 0;
  frame[58] = 0;
  decode();
  EXPECT_EQ(dryer_state().previous_load_time.load(), 0u);
}

TEST_F(Decoder, RequestFlagsForTheMessageLoop) {
  frame[188] = 0x20;
  frame[251] = 0x10;
  decode();
  EXPECT_EQ(dryer_state().defaults_switch_request.load(), 1);
  EXPECT_EQ(dryer_state().status_byte_251_request.load(), 1);
  dryer_state().defaults_switch_request.store(0);
  dryer_state().defaults_notice_shown.store(1);
  frame[188] = 0x60;
  frame[251] = 0x00;
  decode();
  EXPECT_EQ(dryer_state().defaults_switch_request.load(), 0);
  EXPECT_EQ(dryer_state().status_byte_251_request.load(), 0);
}

TEST_F(Decoder, AcknowledgementExceptions) {
  // 156: tested only in the frame in which the byte changes.
  set_mirror(156, 40);
  frame[156] = 40;
  raise_write(PW::k156, {{156, 40}});
  decode();
  EXPECT_TRUE(write_raised(PW::k156));
  frame[156] = 41;
  set_desired(156, 41);
  decode();
  EXPECT_FALSE(write_raised(PW::k156));

  // 221: also waits for 247..250 to equal their slots.
  raise_write(PW::k221, {{221, 0}, {222, 0}, {247, 3}});
  decode();
  EXPECT_TRUE(write_raised(PW::k221));
  frame[247] = 3;
  decode();
  EXPECT_FALSE(write_raised(PW::k221));

  // 219 bits: only bits 3, 4 and 7 count.
  raise_write(PW::k219Bits, {{219, 0x98}});
  frame[219] = 0x9F;
  decode();
  EXPECT_FALSE(write_raised(PW::k219Bits));

  // Leaving automatic advanced moisture control copies the speeds back.
  frame[187] = 0x83;
  decode();
  EXPECT_FALSE(write_raised(PW::k160Copy));
  frame[187] = 0x03;
  decode();
  EXPECT_TRUE(write_raised(PW::k160Copy));
  frame[160] = mirror(156);
  frame[161] = mirror(157);
  frame[162] = mirror(158);
  decode();
  EXPECT_FALSE(write_raised(PW::k160Copy));
}

TEST_F(Decoder, MoistureInShowsTheEnteredValueDuringAutoStart) {
  frame[279] = 0x01;
  frame[281] = 0x00;  // entered moisture 20.0 %: 282 high, 281 low
  frame[282] = 0xC8;
  frame[171] = 0x40;
  decode();
  frame[191] = 0x00;
  frame[192] = 0x96;
  decode();
  EXPECT_EQ(mirror(191), 0xC8);
  EXPECT_EQ(mirror(192), 0x00);
  EXPECT_EQ(dryer_state().moisture_display_countdown.load(), 2699u);
  frame[279] = 0x00;
  decode();
  decode();
  EXPECT_EQ(mirror(192), 0x96);
}

TEST(DecoderTable, WalksEveryStatusByteOnce) {
  // 329 bytes, 80 of them the second byte of a pair.
  EXPECT_EQ(status_field_count(), 329u - 80u);
}

}  // namespace
}  // namespace corvex::link::test
