// The host side's sense of time for the machine. The machine's two periodic
// interrupts (the main CPU's timer IRQ and the sub CPU's timer NMI) and the
// screen refresh all come from one periodic host tick that keeps three
// independent schedules on a clock of 1/256 millisecond. The emulation
// thread itself has no notion of time beyond its 1 ms pauses.
//
// The clock is handed in by the caller in milliseconds: a timer thread on the
// monotonic clock in the window, the virtual clock in headless runs, a fake
// clock in tests.
#pragma once

#include <atomic>
#include <cstdint>

#include "MachinePort.h"
#include "Settings.h"

class TStateReader;
class TStateWriter;

// What a tick asks of the window: draw a frame, send the next pasted byte.
class TTimerWindow {
 public:
  virtual ~TTimerWindow() = default;
  virtual bool PasteInProgress() const = 0;
  virtual void PostFlip() = 0;
  virtual void PostPasteChar() = 0;
};

class TTimerSchedule {
 public:
  TTimerSchedule(TMachinePort& machine, TTimerWindow& window) : Machine(machine), Window(window) {}

  // Computes the three periods and the tick interval from the settings and
  // starts all three schedules at nowMs. minPeriodMs is the shortest tick
  // the host timer offers.
  void StartTimer(const TSettings& s, uint32_t nowMs, uint32_t minPeriodMs = 1);
  void StopTimer() { Running = false; }
  bool IsRunning() const { return Running; }

  // Which schedules a tick serves. At full speed the window ticks the frames
  // on the host clock (its timer thread) and the interrupts on machine time
  // (the emulation thread); each part keeps to its own fields.
  enum class TParts { All, Frames, Interrupts };

  // One tick of the host timer, due every Resolution() milliseconds.
  void TimerTick(uint32_t nowMs, TParts parts = TParts::All);

  uint32_t Resolution() const { return ResolutionMs; }  // ms between ticks
  uint32_t FramePeriod() const { return FramePer; }     // 1/256 ms
  uint32_t SubPeriod() const { return SubPer; }         // 1/256 ms
  uint32_t MainPeriod() const { return MainPer; }       // 1/256 ms

  // The save state's share: the periods, and each schedule's phase as the
  // time since its last tick at nowMs, so the schedules go on from the
  // clock of the program that loads the state. The pending frame request
  // is not part of it.
  void SaveState(TStateWriter& w, uint32_t nowMs) const;
  void LoadState(TStateReader& r, uint32_t nowMs);

  // Set when a frame request is posted, cleared by the window thread once it
  // has drawn the frame: at most one frame request is ever queued.
  std::atomic<bool> FlipPending{false};

 private:
  TMachinePort& Machine;
  TTimerWindow& Window;
  bool Running = false;
  uint32_t ResolutionMs = 2;
  uint32_t FramePer = 8533, SubPer = 5120, MainPer = 519;
  uint32_t LastFrame = 0, LastSub = 0, LastMain = 0;
};
