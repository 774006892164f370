// The pacing thread: condition-variable waits until absolute steady-clock
// (CLOCK_MONOTONIC) deadlines, so Stop wakes it at once.
#include "Hosttimer.h"

#include <chrono>

uint32_t THostTimer::NowMs() {
  auto t = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(t).count());
}

void THostTimer::Start(uint32_t periodMs, TTick tick) {
  Stop();
  {
    std::lock_guard<std::mutex> g(Lock);
    StopRequested = false;
  }
  Thread = std::thread(&THostTimer::Run, this, periodMs < 1 ? 1 : periodMs, std::move(tick));
}

void THostTimer::Stop() {
  if (!Thread.joinable()) return;
  {
    std::lock_guard<std::mutex> g(Lock);
    StopRequested = true;
  }
  Wake.notify_all();
  Thread.join();
}

void THostTimer::Run(uint32_t periodMs, TTick tick) {
  using clock = std::chrono::steady_clock;
  const auto period = std::chrono::milliseconds(periodMs);
  auto deadline = clock::now() + period;
  std::unique_lock<std::mutex> g(Lock);
  for (;;) {
    if (Wake.wait_until(g, deadline, [this] { return StopRequested; })) return;
    g.unlock();
    tick(NowMs());
    g.lock();
    deadline += period;
    auto now = clock::now();
    if (now - deadline > 5 * period) deadline = now + period;
  }
}
