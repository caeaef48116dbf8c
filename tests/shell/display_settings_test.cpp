#include <gtest/gtest.h>

#include <vector>

#include "platform/io/paths.h"
#include "platform/io/registry.h"
#include "logging/display_settings.h"
#include "support/process.h"

namespace {

using namespace corvex::logging;

class DisplaySettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::set_disk_root(dir_.path());
    display_settings() = DisplaySettings{};
  }
  void TearDown() override { platform::set_disk_root(""); }
  void store(const char* name, std::vector<uint8_t> bytes) {
    ASSERT_TRUE(platform::registry::create_key(kSettingsKey));
    ASSERT_TRUE(platform::registry::write_value(kSettingsKey, name, bytes));
  }
  corvex::testing_support::TempDir dir_;
};

TEST_F(DisplaySettingsTest, MissingKeyKeepsStartValues) {
  read_display_settings();
  const DisplaySettings& s = display_settings();
  EXPECT_EQ(s.graph_scale_index, 0u);
  EXPECT_EQ(s.sample_time_minutes, 10u);
  EXPECT_EQ(s.view_choice, 0);
  for (uint8_t t : s.trace_on) EXPECT_EQ(t, 0);
}

TEST_F(DisplaySettingsTest, AcceptanceRulesOfEachValue) {
  store("GRAPH_HORIZONTAL_SCALE", {7});
  store("GRAPH_TRACES_ON_OFF", {0x05});
  store("TEMP_DATA_LOG_SAMPLE_TIME", {20});
  store("SCREEN_VIEW_SELECTION", {2});
  read_display_settings();
  const DisplaySettings& s = display_settings();
  EXPECT_EQ(s.graph_scale_index, 0u);
  EXPECT_EQ(s.sample_time_minutes, 5u);
  EXPECT_EQ(s.view_choice, 0);
  EXPECT_EQ(s.trace_on[0], 1);  // moisture in
  EXPECT_EQ(s.trace_on[1], 0);
  EXPECT_EQ(s.trace_on[2], 1);  // moisture out
  EXPECT_EQ(s.trace_on[3] + s.trace_on[4] + s.trace_on[5], 0);
}

TEST_F(DisplaySettingsTest, InRangeValuesAndWrongSizes) {
  store("GRAPH_HORIZONTAL_SCALE", {3});
  store("TEMP_DATA_LOG_SAMPLE_TIME", {0});  // read as 0; the dialog corrects it later
  store("SCREEN_VIEW_SELECTION", {1, 0});   // two bytes: not a setting, start value stays
  read_display_settings();
  EXPECT_EQ(display_settings().graph_scale_index, 3u);
  EXPECT_EQ(display_settings().sample_time_minutes, 0u);
  EXPECT_EQ(display_settings().view_choice, 0);
}

TEST_F(DisplaySettingsTest, TraceFlagsRoundTrip) {
  display_settings().trace_on = {0, 1, 0, 0, 1, 1};
  save_trace_flags();
  auto v = platform::registry::read_value(kSettingsKey, "GRAPH_TRACES_ON_OFF");
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, std::vector<uint8_t>{0x32});
}

}  // namespace
