#include "platform/io/serial_port.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <numeric>

#include "platform/io/temp_dir.h"

namespace {

using platform::SerialPort;
using Clock = std::chrono::steady_clock;

class SerialPortTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::PtyPair pair;
    std::string error;
    ASSERT_TRUE(platform::open_pty_pair(&pair, &error)) << error;
    ASSERT_TRUE(display.open(pair.slave_path, &error)) << error;
    ASSERT_TRUE(controller.adopt(pair.master_fd, &error)) << error;
  }

  // Reads until n bytes have come or a second has passed.
  static std::vector<uint8_t> read_n(SerialPort& port, size_t n) {
    std::vector<uint8_t> got(n);
    size_t have = 0;
    auto deadline = Clock::now() + std::chrono::seconds(1);
    while (have < n && Clock::now() < deadline) {
      port.wait_readable(50);
      have += port.read_available(got.data() + have, n - have);
    }
    got.resize(have);
    return got;
  }

  SerialPort display, controller;
};

TEST_F(SerialPortTest, TheLineIs38400EightBitsOneStopAndRaw) {
  // A pseudo-terminal's driver keeps no parity, so even parity cannot be seen here; the rest can.
  termios tio;
  ASSERT_EQ(tcgetattr(display.fd(), &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), speed_t(B38400));
  EXPECT_EQ(cfgetispeed(&tio), speed_t(B38400));
  EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_FALSE(tio.c_cflag & PARODD);
  EXPECT_FALSE(tio.c_cflag & CSTOPB);
  EXPECT_TRUE((tio.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD));
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | IXANY | ISTRIP | PARMRK), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST_F(SerialPortTest, EveryByteValuePassesBothWaysUnchanged) {
  std::vector<uint8_t> all(256);
  std::iota(all.begin(), all.end(), 0);
  // The bytes a terminal would eat or change, in a row: CR, LF, XON, XOFF, ^C, DEL.
  const std::vector<uint8_t> tricky = {0x0D, 0x0A, 0x11, 0x13, 0x03, 0x7F, 0x0D, 0x0D, 0x0A};
  for (const auto& bytes : {all, tricky}) {
    ASSERT_EQ(controller.write(bytes.data(), bytes.size()), bytes.size());
    EXPECT_EQ(read_n(display, bytes.size()), bytes);
    ASSERT_EQ(display.write(bytes.data(), bytes.size()), bytes.size());
    EXPECT_EQ(read_n(controller, bytes.size()), bytes);
  }
}

TEST_F(SerialPortTest, AReadReturnsAtOnceWithWhatHasArrived) {
  uint8_t buffer[331];
  auto start = Clock::now();
  EXPECT_EQ(display.read_available(buffer, sizeof buffer), 0u);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(50));
  EXPECT_FALSE(display.wait_readable(20));

  const uint8_t part[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_EQ(controller.write(part, sizeof part), sizeof part);
  ASSERT_TRUE(display.wait_readable(1000));
  start = Clock::now();
  size_t got = read_n(display, 10).size();
  EXPECT_EQ(got, 10u);
  EXPECT_EQ(display.read_available(buffer, sizeof buffer), 0u);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
}

TEST_F(SerialPortTest, PurgeDropsPendingInputButNotLaterBytes) {
  std::vector<uint8_t> stale(200, 0x55);
  ASSERT_EQ(controller.write(stale.data(), stale.size()), stale.size());
  ASSERT_TRUE(display.wait_readable(1000));
  display.purge();
  uint8_t buffer[400];
  EXPECT_EQ(display.read_available(buffer, sizeof buffer), 0u);
  const uint8_t fresh[4] = {0x06, 0x00, 0xAA, 0xBB};
  ASSERT_EQ(controller.write(fresh, 4), 4u);
  EXPECT_EQ(read_n(display, 4), std::vector<uint8_t>(fresh, fresh + 4));
}

TEST_F(SerialPortTest, AWriteNobodyTakesGivesUpInsteadOfBlocking) {
  std::vector<uint8_t> flood(4 << 20, 0xA5);
  auto start = Clock::now();
  size_t written = display.write(flood.data(), flood.size());
  EXPECT_LT(written, flood.size());
  EXPECT_GT(written, 0u);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

TEST(SerialPortOpenTest, ADeviceThatCannotBeOpenedIsReportedAndLeavesThePortClosed) {
  SerialPort port;
  std::string error;
  EXPECT_FALSE(port.open("/dev/corvex-no-such-port", &error));
  EXPECT_NE(error.find("/dev/corvex-no-such-port"), std::string::npos);
  EXPECT_FALSE(port.is_open());
  test_support::TempDir tmp;
  test_support::write_text(tmp / "plain", "x");
  EXPECT_FALSE(port.open(tmp / "plain", &error));
  EXPECT_FALSE(port.is_open());
  uint8_t byte = 0;
  EXPECT_EQ(port.read_available(&byte, 1), 0u);
  EXPECT_EQ(port.write(&byte, 1), 0u);
}

}  // namespace
