// The pacing thread: ticks carry the monotonic time, and none arrives after
// Stop has returned.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Hosttimer.h"

namespace {

TEST(Hosttimer, TicksUntilStopped) {
  THostTimer timer;
  std::atomic<int> ticks{0};
  std::atomic<uint32_t> last{0};
  std::atomic<bool> backwards{false};
  uint32_t start = THostTimer::NowMs();
  timer.Start(1, [&](uint32_t now) {
    if (now - start > 0x80000000u || now < last.load()) backwards = true;
    last = now;
    ++ticks;
  });
  EXPECT_TRUE(timer.Running());
  for (int i = 0; i < 2000 && ticks.load() < 5; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  timer.Stop();
  EXPECT_FALSE(timer.Running());
  EXPECT_GE(ticks.load(), 5);
  EXPECT_FALSE(backwards.load());
  int after = ticks.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ticks.load(), after);
  timer.Stop();  // a second stop does nothing
}

TEST(Hosttimer, StopWakesALongPeriodAtOnce) {
  THostTimer timer;
  std::atomic<int> ticks{0};
  timer.Start(60000, [&](uint32_t) { ++ticks; });
  auto t0 = std::chrono::steady_clock::now();
  timer.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
  EXPECT_EQ(ticks.load(), 0);
}

}  // namespace
