// TDebugHold: the run-control flags through which the debug window stops,
// single-steps and releases one of the two CPUs, and its breakpoint.
//
// The window thread sets the flags; the run loop looks whether anything is
// engaged once per batch of passes, then reads the flags once per CPU per
// pass while it is, and alone executes the CPUs. While a CPU is the target and
// DebugHalt is 1 the run loop neither steps it nor offers it interrupts.
// With DebugHalt 0 and the target still set, the CPU executes exactly one
// instruction, and the run loop sets DebugHalt again. A breakpoint holds its
// CPU as soon as the CPU's PC reaches the address (after an instruction or an
// interrupt entry), before the instruction there runs. Each hold the run loop
// takes (a step done, a breakpoint reached) advances Holds, so the window
// knows to show the CPU afresh.
//
// When nothing is held, stepping or armed, Engaged is false and the run loop
// keeps its plain passes; the cost is four relaxed loads per batch.
#pragma once

#include <atomic>
#include <cstdint>

struct TDebugHold {
  // Entry 0 the main CPU, entry 1 the sub CPU: the CPU the debugger holds.
  std::atomic<uint32_t> DebugTarget[2] = {};
  // 1: the target stays stopped; 0: it may go (one instruction if still the
  // target).
  std::atomic<uint32_t> DebugHalt{0};
  // Breakpoint per CPU: armed flag and address.
  std::atomic<uint32_t> BreakArmed[2] = {};
  std::atomic<uint32_t> BreakAddress[2] = {};
  // Counts the holds the run loop has taken.
  std::atomic<uint32_t> Holds{0};

  bool Engaged() const {
    constexpr auto relaxed = std::memory_order_relaxed;
    return (DebugTarget[0].load(relaxed) | DebugTarget[1].load(relaxed) |
            BreakArmed[0].load(relaxed) | BreakArmed[1].load(relaxed)) != 0;
  }

  // ---- run loop side ----

  // Instructions CPU i may execute in this pass: all of them (group) when
  // free, one while stepping, none while held.
  int Allowance(int i, int group) const {
    if (!DebugTarget[i].load(std::memory_order_acquire)) return group;
    return DebugHalt.load(std::memory_order_acquire) ? 0 : 1;
  }
  // Whether CPU i is offered its interrupt requests in this pass.
  bool Free(int i) const { return !DebugTarget[i].load(std::memory_order_acquire); }

  // After CPU i executed an instruction (stepping: the step is done) or
  // entered an interrupt: true when it is now held and must not go on.
  bool AfterStep(int i, uint16_t pc) {
    if (DebugTarget[i].load(std::memory_order_relaxed)) {
      DebugHalt.store(1, std::memory_order_release);
      Holds.fetch_add(1, std::memory_order_release);
      return true;
    }
    return AtBreakpoint(i, pc);
  }
  // True (and CPU i held) when the breakpoint of CPU i is at pc.
  bool AtBreakpoint(int i, uint16_t pc) {
    if (!BreakArmed[i].load(std::memory_order_relaxed) ||
        BreakAddress[i].load(std::memory_order_relaxed) != pc)
      return false;
    DebugTarget[i].store(1, std::memory_order_relaxed);
    DebugHalt.store(1, std::memory_order_release);
    Holds.fetch_add(1, std::memory_order_release);
    return true;
  }

  // ---- window side ----

  // Holds CPU i (stepping == false) or lets it execute one instruction.
  void Target(int i, bool stepping) {
    DebugTarget[1 - i].store(0, std::memory_order_relaxed);
    DebugTarget[i].store(1, std::memory_order_relaxed);
    DebugHalt.store(stepping ? 0 : 1, std::memory_order_release);
  }
  // Releases both CPUs.
  void Release() {
    DebugTarget[0].store(0, std::memory_order_relaxed);
    DebugTarget[1].store(0, std::memory_order_relaxed);
    DebugHalt.store(0, std::memory_order_release);
  }
  // Arms (or disarms) the breakpoint of CPU i; the other CPU's is disarmed.
  void SetBreakpoint(int i, bool armed, uint16_t address) {
    BreakArmed[1 - i].store(0, std::memory_order_relaxed);
    BreakAddress[i].store(address, std::memory_order_relaxed);
    BreakArmed[i].store(armed ? 1 : 0, std::memory_order_release);
  }
  void ClearBreakpoints() {
    BreakArmed[0].store(0, std::memory_order_relaxed);
    BreakArmed[1].store(0, std::memory_order_release);
  }
};
