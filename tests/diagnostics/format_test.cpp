// Temperature formatting and the dryer-length look-up.
#include <gtest/gtest.h>

#include <string>

#include "diagnostics/format.h"
#include "link/dryer_state.h"

namespace corvex::diagnostics {
namespace {

std::string text(uint8_t high, uint8_t low, WithUnit u, WithDegree d) {
  return format_temperature(high, low, u, d).c_str();
}

TEST(Format, CelsiusIsTruncatedTowardZero) {
  EXPECT_EQ(fahrenheit_to_celsius(-40), -40);
  EXPECT_EQ(fahrenheit_to_celsius(32), 0);
  EXPECT_EQ(fahrenheit_to_celsius(33), 0);
  EXPECT_EQ(fahrenheit_to_celsius(31), 0);
  EXPECT_EQ(fahrenheit_to_celsius(41), 5);
  EXPECT_EQ(fahrenheit_to_celsius(0), -17);
  EXPECT_EQ(fahrenheit_to_celsius(212), 100);
  EXPECT_EQ(fahrenheit_to_celsius(213), 100);
  EXPECT_EQ(fahrenheit_to_celsius(-32768), -18222);
  EXPECT_EQ(fahrenheit_to_celsius(32767), 18186);
}

TEST(Format, TemperatureTextFollowsTheUnitFlagAtEveryCall) {
  link::reset_dryer_state();
  EXPECT_EQ(text(0xFF, 0xF6, WithUnit::No, WithDegree::Yes), "-10");
  EXPECT_EQ(text(0x00, 0xD4, WithUnit::Yes, WithDegree::No), "212F");
  EXPECT_EQ(text(0x00, 0xD4, WithUnit::Yes, WithDegree::Yes), "212\xC2\xB0" "F");
  link::dryer_state().unit_flag.store(1);
  EXPECT_EQ(text(0xFF, 0xF6, WithUnit::No, WithDegree::No), "-23");
  EXPECT_EQ(text(0x00, 0xD5, WithUnit::Yes, WithDegree::No), "100C");
  EXPECT_EQ(text(0x00, 0xD4, WithUnit::Yes, WithDegree::Yes), "100\xC2\xB0" "C");
  EXPECT_EQ(text(0x80, 0x00, WithUnit::Yes, WithDegree::Yes), "-18222\xC2\xB0" "C");
  link::dryer_state().unit_flag.store(0);
  EXPECT_EQ(text(0x80, 0x00, WithUnit::Yes, WithDegree::Yes), "-32768\xC2\xB0" "F");
}

TEST(Format, SmallBufferIsCutAndTerminated) {
  link::reset_dryer_state();
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(format_temperature(buffer, sizeof buffer, 0x01, 0x2C, WithUnit::Yes, WithDegree::Yes),
            6u);  // "300°F" needs 6 bytes and the NUL
  EXPECT_EQ(std::string(buffer), "300");
}

TEST(Format, DryerLength) {
  EXPECT_EQ(dryer_length_feet(0), 8);
  EXPECT_EQ(dryer_length_feet(1), 10);
  EXPECT_EQ(dryer_length_feet(10), 28);
  EXPECT_EQ(dryer_length_feet(11), 34);
  EXPECT_EQ(dryer_length_feet(14), 40);
  EXPECT_EQ(dryer_length_feet(15), 0);
  EXPECT_EQ(dryer_length_feet(-1), 0);
  EXPECT_EQ(dryer_length_feet(255), 0);
}

}  // namespace
}  // namespace corvex::diagnostics
