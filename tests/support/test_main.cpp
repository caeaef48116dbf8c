// Entry point of every test program: GoogleTest with a watchdog, so that a test that hangs
// fails the run instead of stalling it.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
void on_alarm(int) {
  const char msg[] = "test program hung: watchdog fired\n";
  ssize_t ignored = write(2, msg, sizeof msg - 1);
  (void)ignored;
  _exit(3);
}
}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const char* limit = std::getenv("CORVEX_TEST_WATCHDOG_S");
  std::signal(SIGALRM, on_alarm);
  alarm(limit ? unsigned(std::atoi(limit)) : 600u);
  return RUN_ALL_TESTS();
}
