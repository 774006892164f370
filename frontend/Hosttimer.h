// The host's periodic tick that paces the machine: a thread that wakes at
// absolute deadlines on the monotonic clock every period milliseconds and
// calls the tick function with the time in milliseconds. Absolute deadlines
// keep the mean period exact however late a single wake-up comes; when the
// thread has fallen more than a few periods behind (the host was suspended),
// it starts again from the present instead of firing a burst.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class THostTimer {
 public:
  using TTick = std::function<void(uint32_t nowMs)>;

  THostTimer() = default;
  ~THostTimer() { Stop(); }
  THostTimer(const THostTimer&) = delete;
  THostTimer& operator=(const THostTimer&) = delete;

  // Starts ticking every periodMs (at least 1) milliseconds, the first tick
  // one period from now. A running timer is stopped first.
  void Start(uint32_t periodMs, TTick tick);
  // Stops the timer and waits until its thread has ended, so no tick runs
  // after this returns. Does nothing when it is not running.
  void Stop();
  bool Running() const { return Thread.joinable(); }

  // The monotonic clock in milliseconds, wrapping at 2^32.
  static uint32_t NowMs();

 private:
  void Run(uint32_t periodMs, TTick tick);

  std::thread Thread;
  std::mutex Lock;
  std::condition_variable Wake;
  bool StopRequested = false;
};
