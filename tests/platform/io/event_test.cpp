#include "platform/io/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(AutoResetEventTest, ASetLetsExactlyOneWaitThrough) {
  platform::AutoResetEvent event;
  EXPECT_FALSE(event.wait_for(10));
  event.set();
  event.set();  // a second set while nobody waits adds nothing
  EXPECT_TRUE(event.wait_for(0));
  EXPECT_FALSE(event.wait_for(10));
}

TEST(AutoResetEventTest, ASetWakesAWaiterOnAnotherThread) {
  platform::AutoResetEvent event;
  std::atomic<int> cycles{0};
  std::thread exchange([&] {
    for (int i = 0; i < 3; ++i) {
      event.wait();
      ++cycles;
    }
  });
  for (int i = 0; i < 3; ++i) {
    int before = cycles;
    event.set();
    for (int spin = 0; spin < 1000 && cycles == before; ++spin) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  exchange.join();
  EXPECT_EQ(cycles, 3);
}

}  // namespace
