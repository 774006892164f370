// The host timer on real time: a thread that wakes every timer-resolution
// milliseconds at absolute deadlines of the monotonic clock (so the mean
// period does not drift) and runs the timer schedules' tick. The window
// starts it when the emulation runs and stops it while it is paused.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "Settings.h"
#include "TimerSchedule.h"

class TTimerThread {
 public:
  explicit TTimerThread(TTimerSchedule& schedule) : Schedule(schedule) {}
  ~TTimerThread() { Stop(); }
  TTimerThread(const TTimerThread&) = delete;
  TTimerThread& operator=(const TTimerThread&) = delete;

  // StartTimer with the periods of these settings, from now, then ticks.
  void Start(const TSettings& s);
  // Stops ticking and waits for the thread to end.
  void Stop();
  bool Running() const { return Worker.joinable(); }

  // The monotonic clock in milliseconds, as the schedules take it.
  static uint32_t NowMs();

 private:
  TTimerSchedule& Schedule;
  std::thread Worker;
  std::mutex Lock;
  std::condition_variable Wake;
  bool StopReq = false;
};
