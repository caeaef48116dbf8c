// The simulated dryer over minutes and hours of model time.
#include "sim/dryer_model.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvex::sim {
namespace {

constexpr int64_t kSecond = 1000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;

uint32_t total(const StatusBytes& s) {
  return uint32_t(s[164]) | uint32_t(s[165]) << 8 | uint32_t(s[166]) << 16 | uint32_t(s[167]) << 24;
}

bool fan_on(const StatusBytes& s, int n) { return s[link::burner_b(n)] & 0x01; }
bool flame_on(const StatusBytes& s, int n) { return s[link::burner_b(n)] & 0x02; }
int plenum(const StatusBytes& s, int n) { return read_lo_hi(s, link::plenum_temperature(n)); }

bool take(DryerModel& m, uint8_t node, uint8_t id, std::vector<uint8_t> values) {
  ParameterRecord r;
  r.node = node;
  r.id = id;
  r.count = uint8_t(values.size());
  r.values = values.data();
  const char* reason = nullptr;
  return m.take_record(r, &reason);
}

TEST(DryerModel, StartsStoppedAsAFourFanTowerInContinuousFlow) {
  DryerModel m(1);
  const StatusBytes& s = m.bytes();
  EXPECT_EQ(s[3], 3);
  EXPECT_EQ(s[4], 1);
  EXPECT_EQ(s[8], 0);
  EXPECT_EQ(s[171], 0xA0);
  EXPECT_EQ(s[172], 0);
  EXPECT_EQ(s[188] & 0x40, 0);
  EXPECT_EQ(s[280], 0x40) << "auto-start offered";
  for (int n = 1; n <= 6; ++n) EXPECT_FALSE(fan_on(s, n));
  EXPECT_EQ(read_hi_lo(s, link::kBushelsPerHour), 0);
}

TEST(DryerModel, FansStartOneFanDelayApartAndBurnersHoldTheirSetpoints) {
  DryerModel m(1);
  ASSERT_EQ(m.run(), nullptr);
  EXPECT_EQ(m.bytes()[188] & 0x40, 0x40);
  // Fan delay 0:30: fan 1 at 30 s, fan 2 at 60 s, ..., fan 4 at 120 s; 5 and 6 are not fitted.
  m.advance(29 * kSecond);
  EXPECT_FALSE(fan_on(m.bytes(), 1));
  m.advance(2 * kSecond);
  EXPECT_TRUE(fan_on(m.bytes(), 1));
  EXPECT_FALSE(fan_on(m.bytes(), 2));
  m.advance(30 * kSecond);
  EXPECT_TRUE(fan_on(m.bytes(), 2));
  m.advance(60 * kSecond);
  EXPECT_TRUE(fan_on(m.bytes(), 4));
  EXPECT_FALSE(fan_on(m.bytes(), 5));

  // Within three minutes of its burner every plenum is near its setpoint, and it stays in the
  // band while the burner cycles.
  m.advance(3 * kMinute);
  int cycles = 0;
  bool was_on = flame_on(m.bytes(), 1);
  for (int t = 0; t < 600; ++t) {
    m.advance(kSecond);
    const StatusBytes& s = m.bytes();
    for (int n = 1; n <= 4; ++n) {
      const int sp = read_lo_hi(s, link::plenum_setpoint(n));
      ASSERT_LE(std::abs(plenum(s, n) - sp), 8) << "fan/heater " << n << " at " << t;
    }
    if (flame_on(s, 1) != was_on) ++cycles;
    was_on = flame_on(s, 1);
  }
  EXPECT_GE(cycles, 10) << "the burner cycles on and off";
  EXPECT_EQ(plenum(m.bytes(), 6), 62) << "an unfitted plenum stays at ambient";
}

TEST(DryerModel, RunningDryerSetsTheLoggingBitsAndCountsItsThroughput) {
  DryerModel m(2);
  ASSERT_EQ(m.run(), nullptr);
  m.advance(kSecond);
  EXPECT_EQ(m.bytes()[171] & 0x40, 0x40);
  EXPECT_EQ(m.bytes()[172] & 0x01, 0) << "no unload before the heaters hold";
  m.advance(10 * kMinute);
  const StatusBytes& s = m.bytes();
  EXPECT_EQ(s[172] & 0x01, 0x01);
  EXPECT_EQ(s[58] & 0x08, 0x08) << "metering rolls turning";
  // Second speed setting 45 % of 17.5 RPM, 16 ft with 7-inch rolls: 1012 BPH.
  EXPECT_EQ(read_hi_lo(s, link::kRollSpeed), 79);
  EXPECT_NEAR(read_hi_lo(s, link::kBushelsPerHour), 1012, 2);

  // The total counts bushels x 3600: one hour at 1012 BPH adds 1012 x 3600.
  const uint32_t before = total(s);
  m.advance(kHour);
  EXPECT_NEAR(double(total(m.bytes()) - before), 1012.0 * 3600, 1012.0 * 3600 * 0.01);

  m.stop();
  EXPECT_EQ(m.bytes()[171], 0xA0);
  EXPECT_EQ(m.bytes()[172], 0);
  EXPECT_EQ(m.bytes()[188] & 0x40, 0);
  EXPECT_EQ(read_hi_lo(m.bytes(), link::kBushelsPerHour), 0);
}

TEST(DryerModel, GrainAndMoistureMovePlausiblyOverHours) {
  DryerModel m(3);
  ASSERT_EQ(m.run(), nullptr);
  bool loaded = false;
  int min_out = 1000;
  int max_out = 0;
  for (int minute = 0; minute < 240; ++minute) {
    m.advance(kMinute);
    const StatusBytes& s = m.bytes();
    if (minute < 60) continue;
    loaded = loaded || (s[171] & 0x80) == 0;
    min_out = std::min(min_out, read_hi_lo(s, link::kMoistureOut));
    max_out = std::max(max_out, read_hi_lo(s, link::kMoistureOut));
  }
  const StatusBytes& s = m.bytes();
  EXPECT_TRUE(loaded) << "the load ran to top the column up";
  // Incoming 22 % dried toward the 15.5 % setpoint.
  EXPECT_GE(min_out, 120);
  EXPECT_LE(max_out, 190);
  const int in = read_hi_lo(s, link::kMoistureIn);
  EXPECT_GE(in, 170);
  EXPECT_LE(in, 270);
  for (int k = 0; k < 3; ++k) {
    const int t = read_lo_hi(s, link::grain_sensor(k));
    EXPECT_GT(t, 90) << "sensor " << k;
    EXPECT_LT(t, 150) << "sensor " << k;
  }
  EXPECT_GT(read_lo_hi(s, link::grain_sensor(2)), read_lo_hi(s, link::grain_sensor(0)));
  EXPECT_GT(read_hi_lo(s, link::kGrainTempOut), 700);
}

TEST(DryerModel, SameSeedGivesTheSameDryerAndAnotherSeedAnother) {
  auto day = [](uint64_t seed) {
    DryerModel m(seed);
    std::vector<StatusBytes> seen;
    EXPECT_EQ(m.run(), nullptr);
    for (int i = 0; i < 12; ++i) {
      m.advance(10 * kMinute + 350);
      take(m, 0, 69, {uint8_t(190 + i), 0});
      seen.push_back(m.bytes());
    }
    return seen;
  };
  EXPECT_EQ(day(42), day(42));
  EXPECT_NE(day(42), day(43));
}

TEST(DryerModel, AutomaticMoistureControlTrimsTheSpeedTowardTheSetpoint) {
  DryerModel m(4);
  const uint8_t automatic = 0x83;
  ASSERT_TRUE(take(m, 0, 187, {automatic}));
  ASSERT_EQ(m.run(), nullptr);
  m.advance(8 * kHour);
  const int out = read_hi_lo(m.bytes(), link::kMoistureOut);
  EXPECT_NEAR(out, 155, 10);
}

TEST(DryerModel, BatchCycleRunsItsPhasesAndCountsItsBatches) {
  DryerModel m(5);
  ASSERT_TRUE(take(m, 0, 8, {1}));
  ASSERT_TRUE(take(m, 0, 11, {3, 0}));   // DRY 3:00
  ASSERT_TRUE(take(m, 0, 16, {1, 0}));   // COOL 1:00
  ASSERT_TRUE(take(m, 0, 21, {0, 40}));  // UNLOAD 0:40
  m.advance(kSecond);
  ASSERT_EQ(m.run(), nullptr);
  m.advance(60 * kSecond);
  const StatusBytes& s = m.bytes();
  EXPECT_EQ(read_timer(s, link::kDryTimeLeft), 2 * 60) << "DRY counts down in 9-10";
  EXPECT_EQ(s[292] & 0x01, 0x01);
  EXPECT_EQ(s[172] & 0x01, 0);

  m.advance(2 * kMinute + 10 * kSecond);  // into COOL
  EXPECT_TRUE(fan_on(m.bytes(), 1));
  EXPECT_FALSE(flame_on(m.bytes(), 1));
  EXPECT_EQ(m.bytes()[131 - 1] & 0x02, 0) << "heater off in COOL";
  EXPECT_LT(read_timer(m.bytes(), link::kCoolTimeLeft), 60);

  m.advance(kMinute);  // into UNLOAD
  EXPECT_EQ(m.bytes()[172] & 0x01, 0x01);
  EXPECT_EQ(m.bytes()[292] & 0x02, 0x02);
  EXPECT_FALSE(fan_on(m.bytes(), 1));
  EXPECT_EQ(m.bytes()[171] & 0x40, 0x40) << "the logging condition holds all through";

  EXPECT_EQ(read_hi_lo(m.bytes(), link::kBatchCounter), 0);
  m.advance(30 * kMinute);  // UNLOAD, refill, the next batch begun
  EXPECT_GE(read_hi_lo(m.bytes(), link::kBatchCounter), 1);
}

TEST(DryerModel, AutoStartRunsItsScheduleAndFinishesOnItsOwn) {
  DryerModel m(6);
  ASSERT_TRUE(take(m, 1, 23, {0x01}));
  StatusBytes s = m.bytes();
  ASSERT_EQ(s[279], 0x01);
  EXPECT_EQ(s[280] & 0x02, 0x02);
  // Fan/heater i starts at 10 s + i x 30 s; its plenum is held 90 s later.
  EXPECT_EQ(read_lo_hi(s, 304), 10);
  EXPECT_EQ(read_lo_hi(s, 302), 40);
  EXPECT_EQ(read_lo_hi(s, 298), 100);
  EXPECT_EQ(read_lo_hi(s, 296), 0) << "fan/heater 5 is not fitted";
  EXPECT_EQ(read_lo_hi(s, 316), 100);
  EXPECT_EQ(read_lo_hi(s, 310), 190);
  const int unload = read_lo_hi(s, 322);
  const int total_time = read_lo_hi(s, 318);
  EXPECT_EQ(unload, 220);
  EXPECT_EQ(total_time, 340);

  m.advance(11 * kSecond);
  EXPECT_TRUE(fan_on(m.bytes(), 1));
  EXPECT_FALSE(fan_on(m.bytes(), 2));
  EXPECT_EQ(read_lo_hi(m.bytes(), 320), 11) << "elapsed seconds";
  m.advance((unload - 11 + 2) * kSecond);
  EXPECT_EQ(m.bytes()[172] & 0x01, 0x01) << "unload from the scheduled time";
  EXPECT_EQ(m.bytes()[280] & 0x80, 0);
  m.advance((total_time - unload) * kSecond);
  s = m.bytes();
  EXPECT_EQ(s[280] & 0x82, 0x80) << "finished, no longer in progress";
  // The display then clears bit 0; the dryer goes on drying.
  ASSERT_TRUE(take(m, 1, 23, {0x00}));
  m.advance(kMinute);
  EXPECT_EQ(m.bytes()[279], 0);
  EXPECT_EQ(m.bytes()[188] & 0x40, 0x40);
  EXPECT_EQ(m.bytes()[280] & 0x80, 0x80);
}

TEST(DryerModel, CancelledOrInterruptedAutoStart) {
  DryerModel m(6);
  ASSERT_TRUE(take(m, 1, 23, {0x01}));
  m.advance(20 * kSecond);
  m.report_warning(7, 2);
  EXPECT_EQ(m.bytes()[280] & 0x06, 0x06) << "paused";
  EXPECT_EQ(m.bytes()[188] & 0x40, 0);
  const int elapsed = read_lo_hi(m.bytes(), 320);
  m.advance(kMinute);
  EXPECT_EQ(read_lo_hi(m.bytes(), 320), elapsed) << "the schedule holds while paused";
  m.report_warning(0, 0);
  m.advance(5 * kSecond);
  EXPECT_EQ(m.bytes()[280] & 0x06, 0x02);
  EXPECT_GT(read_lo_hi(m.bytes(), 320), elapsed);
  EXPECT_TRUE(fan_on(m.bytes(), 1));

  ASSERT_TRUE(take(m, 1, 23, {0x00}));  // cancel
  EXPECT_EQ(m.bytes()[280] & 0x86, 0);
  EXPECT_EQ(m.bytes()[188] & 0x40, 0);
}

TEST(DryerModel, SetBytesStickUntilTheModelsOwnValueMoves) {
  DryerModel m(8);
  const uint8_t zero = 0;
  m.set_bytes(171, &zero, 1);
  m.advance(kMinute);
  EXPECT_EQ(m.bytes()[171], 0) << "nothing changed the stopped dryer's state";
  ASSERT_EQ(m.run(), nullptr);
  m.advance(kSecond);
  EXPECT_EQ(m.bytes()[171] & 0x40, 0x40);

  // A measured value goes on from the value set.
  const uint8_t hot[2] = {0x2C, 0x01};  // plenum #1 at 300 F
  m.set_bytes(link::plenum_temperature(1), hot, 2);
  m.advance(kSecond);
  EXPECT_GT(plenum(m.bytes(), 1), 280);
}

}  // namespace
}  // namespace corvex::sim
