// A stand-in for the machine's shared words, for testing the key handlers
// and the timer schedules on their own.
#pragma once

#include "MachinePort.h"

struct TFakeMachine : TMachinePort {
  uint16_t KeyData = 0;
  bool KeyIrq = false;
  bool TimerIrq = false;
  uint32_t McpuIntReq = 0;
  uint32_t ScpuIntReq = 0;
  int Stores = 0;

  void StoreKeyData(uint16_t w) override {
    KeyData = w;
    ++Stores;
  }
  bool KeyIrqEnabled() const override { return KeyIrq; }
  bool TimerIrqEnabled() const override { return TimerIrq; }
  void SetMcpuRequest(uint32_t b) override { McpuIntReq |= b; }
  void ClearMcpuRequest(uint32_t b) override { McpuIntReq &= ~b; }
  void SetScpuRequest(uint32_t b) override { ScpuIntReq |= b; }
  bool KeyUnread() const override { return (McpuIntReq & McpuReq_KeyIrq) || (ScpuIntReq & ScpuReq_KeyFirq); }
};
