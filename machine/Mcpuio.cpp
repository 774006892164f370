// The main machine's I/O page FD00-FDFF. Several registers act on the access
// itself: reading the interrupt cause registers acknowledges the causes, and
// reading FD0F selects the BASIC image while writing it selects RAM.
#include "Mcpuio.h"

#include <cstring>

#include "MachineSnapshot.h"

TMcpuIo::TMcpuIo(TMachineState& state, THostServices& host)
    : State(state), Host(host) {
  Shared = &state;
  InitCpu(0);
  IoReads = IoReadTable;
  IoWrites = IoWriteTable;
  for (int i = 0; i < 256; ++i) ClearIoHandlers(static_cast<uint8_t>(i));
  InstallHandlers();
}

void TMcpuIo::ClearIoHandlers(uint8_t offset) {
  IoReadTable[offset] = {[](void*, uint8_t) -> uint8_t { return 0xFF; }, this};
  IoWriteTable[offset] = {[](void*, uint8_t, uint8_t) {}, this};
}

namespace {
TMcpuIo& Self(void* context) { return *static_cast<TMcpuIo*>(context); }
TMachineState& StateOf(void* context) { return Self(context).State; }
}  // namespace

void TMcpuIo::InstallHandlers() {
  auto onRead = [this](uint8_t offset, uint8_t (*fn)(void*, uint8_t)) { IoReadTable[offset] = {fn, this}; };
  auto onWrite = [this](uint8_t offset, void (*fn)(void*, uint8_t, uint8_t)) {
    IoWriteTable[offset] = {fn, this};
  };

  // FD00/FD01: the key latch. Bit 7 of FD00 is the function-key bit.
  onRead(0x00, [](void* c, uint8_t) -> uint8_t {
    return static_cast<uint8_t>(((StateOf(c).KeyData.load() >> 8) & 0x80) | 0x7F);
  });
  onRead(0x01, [](void* c, uint8_t) -> uint8_t { return static_cast<uint8_t>(StateOf(c).KeyData.load()); });

  // FD02: interrupt enables (bit 0 key IRQ to the main CPU, bit 2 timer IRQ).
  onWrite(0x02, [](void* c, uint8_t, uint8_t v) {
    StateOf(c).KeyIrqEnable.store(v & 1);
    StateOf(c).TimerIrqEnable.store((v >> 2) & 1);
  });

  // FD03: IRQ causes, active low (bit 0 key, bit 2 timer); reading
  // acknowledges every IRQ cause. Read and clear are one atomic step, so a
  // cause raised meanwhile by the timer thread is either reported here or
  // stays pending.
  onRead(0x03, [](void* c, uint8_t) -> uint8_t {
    uint32_t old = StateOf(c).McpuIntReq.fetch_and(~MCPU_IRQ_MASK);
    return static_cast<uint8_t>(~(old >> 8) | 0xF0);
  });

  // FD04: FIRQ causes, active low (bit 0 attention from the sub CPU, bit 1
  // BREAK). Reading acknowledges the attention; BREAK stays while held.
  onRead(0x04, [](void* c, uint8_t) -> uint8_t {
    uint32_t old = StateOf(c).McpuIntReq.fetch_and(~MCPU_FIRQ_ATTENTION);
    return static_cast<uint8_t>(~old | 0xFC);
  });

  // FD05: the sub CPU. Read: bit 7 busy. Write: bit 7 halts (1) or releases
  // (0) it; a release drops a sub NMI that came while it was halted. Bit 6
  // raises the sub CPU's cancel IRQ in the same write.
  onRead(0x05, [](void* c, uint8_t) -> uint8_t { return StateOf(c).SubBusy.load() ? 0xFE : 0x7E; });
  onWrite(0x05, [](void* c, uint8_t, uint8_t v) {
    TMachineState& s = StateOf(c);
    if (v & 0x80) {
      s.SubHalt.store(1);
      s.SubBusy.store(1);
    } else {
      s.SubHalt.store(0);
      s.ClearScpu(SCPU_NMI);
    }
    if (v & 0x40) s.RaiseScpu(SCPU_IRQ_CANCEL);
  });

  // FD0F: read selects the BASIC image at 8000-FBFF, write the RAM bank.
  onRead(0x0F, [](void* c, uint8_t) -> uint8_t {
    Self(c).BankSelect = 0;
    return 0xFF;
  });
  onWrite(0x0F, [](void* c, uint8_t, uint8_t) { Self(c).BankSelect = 1; });

  // FD20-FD23: kanji patterns. FD20 sets the high byte of the address and
  // clears the low one; FD21 ORs into the low byte and looks the row up.
  onWrite(0x20, [](void* c, uint8_t, uint8_t v) { Self(c).KanjiAddress = static_cast<uint16_t>(v << 8); });
  onWrite(0x21, [](void* c, uint8_t, uint8_t v) {
    TMcpuIo& m = Self(c);
    m.KanjiAddress = static_cast<uint16_t>(m.KanjiAddress | v);
    m.KanjiLookUp();
  });
  onRead(0x22, [](void* c, uint8_t) -> uint8_t { return static_cast<uint8_t>(Self(c).KanjiPattern); });
  onRead(0x23, [](void* c, uint8_t) -> uint8_t { return static_cast<uint8_t>(Self(c).KanjiPattern >> 8); });

  // FD37: plane masks, active low: bits 0-2 write-protect planes, bits 4-6
  // hide them.
  onWrite(0x37, [](void* c, uint8_t, uint8_t v) {
    StateOf(c).WritePlanes.store(~v & 7u, std::memory_order_relaxed);
    StateOf(c).DisplayPlanes.store(~(v >> 4) & 7u, std::memory_order_relaxed);
  });

  // FD38-FD3F: the palette, logical colour -> machine colour.
  for (uint8_t i = 0; i < 8; ++i) {
    onRead(static_cast<uint8_t>(0x38 + i), [](void* c, uint8_t o) -> uint8_t {
      return static_cast<uint8_t>(StateOf(c).Palette[o - 0x38].load(std::memory_order_relaxed));
    });
    onWrite(static_cast<uint8_t>(0x38 + i), [](void* c, uint8_t o, uint8_t v) {
      StateOf(c).Palette[o - 0x38].store(v & 7u, std::memory_order_relaxed);
    });
  }
}

void TMcpuIo::ResetMainIo() {
  State.ResetPlanesAndPalette();
  State.TimerIrqEnable.store(0);
  State.KeyData.store(0);
  State.KeyIrqEnable.store(0);
}

// The kanji pattern address: bits 0-3 the glyph row, bits 4-8 the column
// within a group of 32, bits 9-12 the row offset, bits 13-15 the group (the
// range 1000-1FFF is a ninth group). Each group starts at a fixed JIS code.
void TMcpuIo::KanjiLookUp() {
  static constexpr uint16_t GroupBase[9] = {0x2020, 0x2040, 0x3020,
                                            0x3040, 0x3060, 0x4020,
                                            0x4040, 0x4060, 0x2060};
  uint16_t a = KanjiAddress;
  unsigned row = a & 0x0F;
  unsigned code = ((a >> 4) & 0x1F) | (((a >> 9) & 0x0F) << 8);
  unsigned group = a >> 13;
  if ((a & 0xF000) == 0x1000) {
    code &= ~0x0800u;
    group = 8;
  }
  code |= GroupBase[group];
  if (code != State.LastKanjiCode) {
    State.LastKanjiCode = static_cast<uint16_t>(code);
    RenderGlyph(static_cast<uint16_t>(code));
  }
  KanjiPattern =
      static_cast<uint16_t>(KanjiBitmap[2 * row] | KanjiBitmap[2 * row + 1] << 8);
}

uint16_t TMcpuIo::JisToSjis(uint16_t jisCode) {
  uint16_t t = static_cast<uint16_t>(jisCode - 0x2121);
  t = static_cast<uint16_t>(t + ((t & 0x100) ? 0x9E : 0x40));
  if ((t & 0xFF) >= 0x7F) t = static_cast<uint16_t>(t + 1);
  uint16_t s = static_cast<uint16_t>((((t >> 9) + 0x81) << 8) | (t & 0xFF));
  if (s >= 0xA000) s = static_cast<uint16_t>(s + 0x4000);
  return s;
}

void TMcpuIo::RenderGlyph(uint16_t jisCode) {
  std::memset(KanjiBitmap, 0, sizeof KanjiBitmap);
  Host.DrawGlyph(JisToSjis(jisCode), KanjiBitmap);
}

void TMcpuIo::PatchRom() {
  if (TrapHandler) TrapHandler->PatchRom(*this);
}

void TMcpuIo::Trap() {
  if (TrapHandler) TrapHandler->Trap(*this);
}

void TMcpuIo::SaveState(TStateWriter& w, const uint8_t* romReference) const {
  SaveCpuCore(w, *this, romReference);
  w.U16(KanjiAddress);
  w.U16(KanjiPattern);
  w.Bytes(KanjiBitmap, sizeof KanjiBitmap);
}

void TMcpuIo::LoadState(TStateReader& r, const uint8_t* romReference) {
  LoadCpuCore(r, *this, romReference);
  KanjiAddress = r.U16();
  KanjiPattern = r.U16();
  r.Bytes(KanjiBitmap, sizeof KanjiBitmap);
}
