// TMcpuThread: the emulation thread. It owns the two CPUs of the machine,
// loads their firmware images, and runs them in lock step: each pass executes
// three main CPU instructions, offers the main CPU its pending FIRQ, IRQ or
// reset request, then (unless the main CPU holds the sub CPU halted) three sub
// CPU instructions and the sub CPU's pending NMI, FIRQ or IRQ. Interrupts are
// looked at only between groups of three instructions.
//
// The only speed control is a 1 ms pause once every (CpuWait & 0xFF) + 2
// passes. The pause goes through a TPacer: TRealTimePacer sleeps until the
// next millisecond of a steady schedule, while TVirtualClock advances a
// millisecond counter and calls a hook, so headless runs and tests run the
// host timer schedules on virtual time and repeat exactly.
//
// The loop runs either on its own std::thread (Start, Suspend, Resume,
// Terminate) or synchronously on the caller's thread (ResetMachine and
// RunPasses), which tests and the headless mode use for deterministic runs.
// The loop runs passes in batches that end at a pacing pause (at most 256
// passes); it looks at its suspend and terminate requests and the debugger
// between batches. Suspend returns once the loop rests between two batches,
// never inside an instruction, an I/O access or a trap; while it rests,
// other threads may read and change the machine objects.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Bios.h"
#include "Debughold.h"
#include "Fdc.h"
#include "HostServices.h"
#include "MachineState.h"
#include "Mcpuio.h"
#include "Scpuio.h"
#include "StateIo.h"

// The run loop's 1 ms pause.
class TPacer {
 public:
  virtual ~TPacer() = default;
  virtual void Pause1ms() = 0;
  // The loop has rested (suspended) and runs again: time spent at rest is
  // not to be made up.
  virtual void Restart() {}
};

// When each real-time pause ends. A sleep of 1 ms takes longer than 1 ms
// (the host's timer slack and scheduling), so sleeping a fixed 1 ms each time
// would run the machine slow; instead the pauses end on a schedule of
// absolute deadlines 1 ms apart on the monotonic clock, and a late pause
// shortens the next. After a stall longer than CatchUpLimit (a suspended
// host, a debugger, a loaded machine) the schedule starts afresh from now
// rather than racing through the missed milliseconds.
class TPauseSchedule {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds CatchUpLimit{20};

  // The deadline of the pause that begins at now.
  Clock::time_point Next(Clock::time_point now) {
    if (!Started || now - Deadline > CatchUpLimit) Deadline = now;
    Started = true;
    Deadline += std::chrono::milliseconds(1);
    return Deadline;
  }
  void Restart() { Started = false; }

 private:
  Clock::time_point Deadline{};
  bool Started = false;
};

// Sleeps until the next millisecond of a TPauseSchedule.
class TRealTimePacer : public TPacer {
 public:
  void Pause1ms() override;
  void Restart() override { Schedule.Restart(); }

 private:
  TPauseSchedule Schedule;  // used on the emulation thread only
};

// A virtual millisecond clock: each pause advances it by 1 ms and then calls
// OnMillisecond with the new time (on the emulation thread, between passes).
class TVirtualClock : public TPacer {
 public:
  void Pause1ms() override {
    uint64_t now = NowMs.fetch_add(1, std::memory_order_relaxed) + 1;
    if (OnMillisecond) OnMillisecond(now);
  }
  uint64_t Now() const { return NowMs.load(std::memory_order_relaxed); }

  // Set before the machine runs; called on the emulation thread.
  std::function<void(uint64_t nowMs)> OnMillisecond;

 private:
  std::atomic<uint64_t> NowMs{0};
};

// The firmware image files and where they go.
struct TRomImage {
  const char* FileName;
  int Machine;  // 0 main, 1 sub
  uint16_t Address;
  uint32_t Bytes;
};
inline constexpr TRomImage RomImages[3] = {
    {"fb30rom1.dat", 0, 0x8000, 0x7C00},  // BASIC, banked at 8000-FBFF
    {"fb30rom2.dat", 0, 0xFE00, 0x01E0},  // boot, FE00-FFDF
    {"fb30sub.dat", 1, 0xD800, 0x2800},   // sub firmware with its vectors
};

class TMcpuThread {
 public:
  // Builds the main machine and loads its two images, then the sub machine
  // and its image, from romDir (empty: the directory of the executable).
  // RomError tells whether an image could not be opened. The thread is not
  // started.
  TMcpuThread(TMachineState& state, THostServices& host, TPacer& pacer,
              const std::string& romDir = {});
  ~TMcpuThread();  // terminates and joins the thread if it runs
  TMcpuThread(const TMcpuThread&) = delete;
  TMcpuThread& operator=(const TMcpuThread&) = delete;

  TMachineState& State;
  TPacer& Pacer;
  std::unique_ptr<TMcpuIo> Mcpu;
  std::unique_ptr<TScpuIo> Scpu;
  // The disk controller at FD18-FD1F and the BIOS traps of the main CPU,
  // working on the drives and the cassette deck of State.
  std::unique_ptr<TFdc> Fdc;
  std::unique_ptr<TBios> Bios;
  int32_t RomError = 0;  // nonzero if a firmware image could not be opened

  // The directory of the running executable, with a trailing '/', or "" if
  // it cannot be found.
  static std::string ExecutableDirectory();

  // Reset (hot = false) or hot start (hot = true) of both CPUs. Called by the
  // run loop at start and for a requested reset; callable directly while the
  // loop does not run on another thread.
  void ResetMachine(bool hot);

  // ---- synchronous running (no thread) ----
  // Runs n passes of the loop on the caller's thread and returns true; does
  // nothing and returns false while the emulation thread runs and is not at
  // rest (a suspended thread's machine may be stepped this way, e.g. for a
  // single step). Does not reset first.
  bool RunPasses(uint64_t n);

  // ---- the emulation thread ----
  // Starts the thread: a cold reset, then passes until Terminate. If a
  // Suspend is pending the thread rests before its first pass. A machine
  // that has just had a state loaded starts without the reset
  // (coldReset = false) and goes on from the state.
  void Start(bool coldReset = true);
  // Asks the loop to rest and waits until it does. Suspends nest: the loop
  // runs again after as many Resume calls. Must not be called from the
  // emulation thread itself (a host service, a trap).
  void Suspend();
  void Resume();
  // Ends the loop after the current batch of passes and joins the thread. Safe to call
  // more than once, whether or not the thread runs or rests.
  void Terminate();
  bool Running() const { return Worker.joinable(); }

  // Passes run so far (thread or synchronous); read from any thread.
  uint64_t PassCount() const { return Passes.load(std::memory_order_relaxed); }
  // Passes in which the sub CPU ran (was not held halted by the main CPU).
  uint64_t SubPassCount() const { return SubPasses.load(std::memory_order_relaxed); }

  // The debug window's hold, single step and breakpoint (see Debughold.h).
  TDebugHold DebugHold;

  // ---- save states (while the loop rests or does not run) ----
  // Writes the machine's sections: the firmware fingerprint, both CPUs, the
  // machine state, the disk controller and the loop's pacing counter.
  void SaveState(TStateWriter& w) const;
  // Reads them back. A state made with other firmware is refused. The
  // sections are read first into a machine built for the purpose; only when
  // every one is there, whole and in range, are they read into this
  // machine, so a bad state leaves it exactly as it was.
  TStateError LoadState(const TStateSections& sections);
  // CRC-32 of each firmware image (RomImages order) as loaded.
  uint32_t FirmwareCrc[3] = {};

 private:
  void Execute();
  // Runs passes (at most limit, at least one) up to the next pacing pause;
  // returns how many.
  uint64_t RunBatch(uint64_t limit);
  // The pending requests (req: the request word, not 0) offered to a CPU.
  void OfferMain(uint32_t req);
  void OfferSub(uint32_t req);
  void WatchedPass();
  bool RunWatched(int index, TCpu09& cpu);
  void RestWhileSuspended();

  void TakeFirmwareReference();

  uint8_t PaceCounter = 0;
  // Bank 0 of each CPU as the firmware left it (see MachineSnapshot.h).
  std::vector<uint8_t> RomReference[2];
  std::atomic<uint64_t> Passes{0};
  std::atomic<uint64_t> SubPasses{0};

  std::thread Worker;
  std::atomic<bool> TerminateReq{false};
  bool ResetAtStart = true;  // set by Start before the thread runs
  // SuspendCount and AtRest are guarded by Lock; SuspendPending mirrors
  // SuspendCount > 0 for the loop's lock-free check once a batch.
  std::mutex Lock;
  std::condition_variable Changed;
  int SuspendCount = 0;
  bool AtRest = false;
  bool Exited = false;
  std::atomic<bool> SuspendPending{false};
};
