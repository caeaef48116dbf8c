#include <gtest/gtest.h>

#include "shell/options.h"

namespace {

using corvex::shell::parse_options;

TEST(Options, DefaultsAndEveryOption) {
  auto r = parse_options({});
  ASSERT_TRUE(r.options);
  EXPECT_EQ(r.options->port, "/dev/ttyS0");
  EXPECT_FALSE(r.options->simulate);
  EXPECT_EQ(r.options->scale, 1);
  EXPECT_NE(r.options->disk.find("corvex-display"), std::string::npos);

  r = parse_options({"--disk", "/tmp/d", "--usb=/tmp/u", "--port", "/dev/ttyUSB0", "--simulate",
                     "--headless", "--virtual-time", "--script", "-", "--scale", "3",
                     "--snapshot", "s.png", "--seed", "42"});
  ASSERT_TRUE(r.options) << r.error;
  const auto& o = *r.options;
  EXPECT_EQ(o.disk, "/tmp/d");
  EXPECT_EQ(o.usb, "/tmp/u");
  EXPECT_EQ(o.port, "/dev/ttyUSB0");
  EXPECT_TRUE(o.simulate && o.headless && o.virtual_time);
  EXPECT_EQ(o.script, "-");
  EXPECT_EQ(o.scale, 3);
  EXPECT_EQ(o.snapshot, "s.png");
  EXPECT_EQ(o.seed, 42u);
}

TEST(Options, RefusalsNameTheOption) {
  const std::vector<std::vector<std::string>> bad = {
      {"--scale", "9"}, {"--scale", "-1"}, {"--scale", "1x"}, {"--port"},
      {"--seed", "abc"}, {"--simulate=1"}, {"extra"}, {"--virtual-time", "--headless"},
      {"--snapshot", "x.png"}};
  for (const auto& args : bad) {
    auto r = parse_options(args);
    EXPECT_FALSE(r.options) << args[0];
    EXPECT_EQ(r.error.find('\n'), std::string::npos);
    EXPECT_NE(r.error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << r.error;
  }
}

}  // namespace
