// What the front end's keyboard and timer logic touch in the machine: the key
// data word, the two interrupt request words (also to see whether the last
// key was read) and the two interrupt enables the main CPU programs. The words are shared with the emulation thread, so
// every change is one atomic read-modify-write on the implementation's side.
//
// Keeping this a small interface lets the key handlers and the timer
// schedules be tested without a whole machine.
#pragma once

#include <cstdint>

// Request bits the front end sets and clears.
enum : uint32_t {
  McpuReq_Break = 0x2,     // main FIRQ: BREAK key held down
  McpuReq_KeyIrq = 0x100,  // main IRQ: a key code is waiting
  McpuReq_Timer = 0x400,   // main IRQ: timer
  ScpuReq_Nmi = 0x1,       // sub NMI: timer
  ScpuReq_KeyFirq = 0x2,   // sub FIRQ: a key code is waiting
};

class TMachinePort {
 public:
  virtual ~TMachinePort() = default;
  virtual void StoreKeyData(uint16_t word) = 0;
  virtual bool KeyIrqEnabled() const = 0;
  virtual bool TimerIrqEnabled() const = 0;
  virtual void SetMcpuRequest(uint32_t bits) = 0;
  virtual void ClearMcpuRequest(uint32_t bits) = 0;
  virtual void SetScpuRequest(uint32_t bits) = 0;
  // A delivered key code is still waiting for its CPU to read it.
  virtual bool KeyUnread() const = 0;
};
