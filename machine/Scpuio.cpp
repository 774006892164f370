// The sub machine's I/O page D400-D4FF. Most registers act on the access
// itself, whatever the value: a read means one thing and a write another
// (D408 display on/off, D40A ready/busy, D40D INS lamp on/off), and a few act
// the same either way (D402 acknowledges the cancel IRQ, D403 beeps, D404
// interrupts the main CPU).
#include "Scpuio.h"

#include <cstring>

#include "MachineSnapshot.h"

TScpuIo::TScpuIo(TMachineState& state, THostServices& host)
    : State(state), Host(host) {
  Shared = &state;
  InitCpu(1);
  IoReads = IoReadTable;
  IoWrites = IoWriteTable;
  for (int i = 0; i < 256; ++i) {
    IoReadTable[i] = {[](void*, uint8_t) -> uint8_t { return 0xFF; }, this};
    IoWriteTable[i] = {[](void*, uint8_t, uint8_t) {}, this};
  }
  InstallHandlers();
}

namespace {
TScpuIo& Sub(void* context) { return *static_cast<TScpuIo*>(context); }
}  // namespace

void TScpuIo::InstallHandlers() {
  auto onRead = [this](uint8_t offset, uint8_t (*fn)(void*, uint8_t)) { IoReadTable[offset] = {fn, this}; };
  auto onWrite = [this](uint8_t offset, void (*fn)(void*, uint8_t, uint8_t)) {
    IoWriteTable[offset] = {fn, this};
  };

  // D400/D401: the key latch; reading D401 acknowledges the key FIRQ.
  onRead(0x00, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    return static_cast<uint8_t>(((c.State.KeyData.load() >> 8) & 0x80) | 0x7F);
  });
  onRead(0x01, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    uint8_t code = static_cast<uint8_t>(c.State.KeyData.load());
    c.State.ClearScpu(SCPU_FIRQ_KEY);
    return code;
  });

  // D402: acknowledges the main CPU's cancel request.
  onRead(0x02, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    c.State.ClearScpu(SCPU_IRQ_CANCEL);
    return 0xFF;
  });
  onWrite(0x02, [](void* p, uint8_t, uint8_t) { Sub(p).State.ClearScpu(SCPU_IRQ_CANCEL); });

  // D403: the beeper.
  onRead(0x03, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    c.Host.Beep();
    return 0xFF;
  });
  onWrite(0x03, [](void* p, uint8_t, uint8_t) { Sub(p).Host.Beep(); });

  // D404: attention FIRQ to the main CPU.
  onRead(0x04, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    c.State.RaiseMcpu(MCPU_FIRQ_ATTENTION);
    return 0xFF;
  });
  onWrite(0x04, [](void* p, uint8_t, uint8_t) { Sub(p).State.RaiseMcpu(MCPU_FIRQ_ATTENTION); });

  // D408: read switches the display on, write off.
  onRead(0x08, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    c.State.CrtOn.store(1, std::memory_order_relaxed);
    return 0xFF;
  });
  onWrite(0x08, [](void* p, uint8_t, uint8_t) { Sub(p).State.CrtOn.store(0, std::memory_order_relaxed); });

  // D40A: read reports ready, write busy (FD05 bit 7 on the main side).
  onRead(0x0A, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    c.State.SubBusy.store(0);
    return 0xFF;
  });
  onWrite(0x0A, [](void* p, uint8_t, uint8_t) { Sub(p).State.SubBusy.store(1); });

  // D40D: read lights the INS lamp, write puts it out.
  onRead(0x0D, [](void* p, uint8_t) -> uint8_t {
    TScpuIo& c = Sub(p);
    c.State.InsLampReq.store(INS_LAMP_ON);
    return 0xFF;
  });
  onWrite(0x0D, [](void* p, uint8_t, uint8_t) { Sub(p).State.InsLampReq.store(INS_LAMP_OFF); });

  // D40E/D40F: the scroll offset, high byte then low byte.
  onWrite(0x0E, [](void* p, uint8_t, uint8_t v) { Sub(p).VramOffsetHigh = v; });
  onWrite(0x0F, [](void* p, uint8_t, uint8_t v) { Sub(p).SetScroll(v); });
}

void TScpuIo::SetScroll(uint8_t value) {
  uint16_t offset = static_cast<uint16_t>(((VramOffsetHigh << 8) | value) & 0x3FE0);
  unsigned delta = static_cast<unsigned>(offset - VramOffset) & 0x3FE0;
  VramOffset = offset;
  if (delta == 0) return;
  // Each plane rotates left by delta: new byte i = old byte (i + delta).
  constexpr unsigned plane = TDisplayState::PlaneBytes;
  for (unsigned p = 0; p < 3; ++p) {
    uint8_t* base = &Bank[0][p * plane];
    std::memcpy(ScrollTemp, base, delta);
    std::memmove(base, base + delta, plane - delta);
    std::memcpy(base + plane - delta, ScrollTemp, delta);
  }
  State.ScrollPixels(delta);
}

void TScpuIo::ResetSubIo() {
  VramOffset = 0;
  State.CrtOn.store(1, std::memory_order_relaxed);
}

void TScpuIo::SaveState(TStateWriter& w, const uint8_t* romReference) const {
  SaveCpuCore(w, *this, romReference);
  w.U16(VramOffset);
  w.U16(VramOffsetHigh);
}

void TScpuIo::LoadState(TStateReader& r, const uint8_t* romReference) {
  LoadCpuCore(r, *this, romReference);
  VramOffset = r.U16();
  VramOffsetHigh = r.U16();
  r.Check(VramOffset % 32 == 0 && VramOffset <= 0x3FE0 && VramOffsetHigh <= 0xFF);
  // The pixels follow from the three planes as they lie in video RAM.
  State.RebuildPixels(Bank[0]);
}
