// The window's pacing of the run loop, in two modes.
//
// Real time: each of the loop's 1 ms pauses sleeps until the next
// millisecond of a steady schedule (TRealTimePacer), and the host timer ticks
// the timer schedules on the host clock.
//
// Full speed: the pauses do not sleep. Each one is a millisecond of machine
// time instead, and every timer-resolution milliseconds of it the emulation
// thread itself ticks the machine's two timer interrupts, so they keep their
// rate relative to the program and a program runs as fast as the host
// allows. The frames stay on the host clock.
//
// The mode and the tick are switched only while the emulation thread rests
// (suspended or not started): the thread reads them without a lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "Mcputh.h"

class TWindowPacer : public TPacer {
 public:
  using TTick = std::function<void(uint32_t machineMs)>;

  void Pause1ms() override;
  void Restart() override { RealTime.Restart(); }

  // Full speed from machine time startMs on, calling tick every periodMs
  // (at least 1) of machine time. Only while the thread rests.
  void StartFullSpeed(uint32_t startMs, uint32_t periodMs, TTick tick);
  // Back to real time. Only while the thread rests.
  void StopFullSpeed();
  bool FullSpeed() const { return Tick != nullptr; }

 private:
  TRealTimePacer RealTime;
  TTick Tick;
  uint32_t NowMs = 0, NextTickMs = 0, PeriodMs = 1;
};

// The machine's speed in percent of the nominal rate of the CpuWait setting
// (one 1 ms pause every cpuWait + 2 passes, the passes taking no time): the
// passes run in elapsedMs milliseconds of host time. 0 when no time passed.
int SpeedPercent(uint64_t passes, double elapsedMs, uint8_t cpuWait);

// The CpuWait the run loop uses: at full speed a setting of 255 (no pauses
// at all) is taken as 254, so the loop still counts machine time.
inline uint8_t RunLoopCpuWait(uint8_t setting, bool fullSpeed) {
  return fullSpeed && setting == 255 ? 254 : setting;
}
