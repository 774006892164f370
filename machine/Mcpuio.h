// TMcpuIo: the main CPU of the machine and everything it sees on its bus.
//
// The core is built with the main memory map (RAM, the BASIC image banked
// against RAM at 8000-FBFF, the shared RAM window FC80-FCFF that opens only
// while the sub CPU is halted, the I/O page FD00-FDFF, the boot image at
// FE00). This class adds the I/O page: 256 read and 256 write handlers, with
// the keyboard latch, interrupt enables and causes (acknowledged by reading
// them), the halt/release/cancel handshake with the sub CPU, the bank switch,
// the kanji pattern registers and the plane masks and palette.
//
// Extension points for the firmware traps and the disk controller:
// - IoReadTable / IoWriteTable are public. A controller installs its own
//   handlers for its registers (FD18-FD1F) after construction; an offset
//   without a handler of its own reads FF and ignores writes. A handler is a
//   plain function with the object it works on (every I/O access of the
//   firmware goes through one, so no std::function here).
// - The trap opcode and the per-reset ROM patches go to a TTrapHandler set
//   with SetTrapHandler. Without one, Trap does nothing (execution continues
//   after the trap byte) and PatchRom changes nothing.
// The handlers and the trap handler run on the emulation thread only, inside
// the CPU's instruction, and may use the whole public TMcpuIo (registers,
// memory, State, RenderGlyph).
#pragma once

#include <cstdint>

#include "core/Cpu_main.h"
#include "HostServices.h"
#include "MachineState.h"

class TMcpuIo;
class TStateReader;
class TStateWriter;

// The BIOS trap dispatch plugged into the main machine.
class TTrapHandler {
 public:
  virtual ~TTrapHandler() = default;
  // At every reset and hot start, after the main CPU's ResetState (so the
  // BASIC image is selected) and before the start address is read.
  virtual void PatchRom(TMcpuIo& cpu) = 0;
  // The main CPU fetched the trap opcode; PC is past it (the trap byte is at
  // PC - 1).
  virtual void Trap(TMcpuIo& cpu) = 0;
};

class TMcpuIo : public TCpu09 {
 public:
  // A register's handler: Fn called with Context (the machine itself, or
  // the controller that installed it) and the offset from FD00.
  using ReadHandler = TIoReadHandler;
  using WriteHandler = TIoWriteHandler;

  TMcpuIo(TMachineState& state, THostServices& host);

  TMachineState& State;
  THostServices& Host;

  // I/O handlers per offset from FD00.
  ReadHandler IoReadTable[256];
  WriteHandler IoWriteTable[256];

  // Kanji pattern registers: FD20/FD21 address, FD22/FD23 the addressed row.
  uint16_t KanjiAddress = 0;
  uint16_t KanjiPattern = 0;
  // The glyph last drawn: row r is bytes 2r (dots 0-7) and 2r+1 (dots 8-15),
  // most significant bit leftmost, a set bit a dot. LastKanjiCode in State
  // names it.
  uint8_t KanjiBitmap[32] = {};

  void SetTrapHandler(TTrapHandler* handler) { TrapHandler = handler; }
  TTrapHandler* GetTrapHandler() const { return TrapHandler; }

  // Puts the default handler (read FF, ignore writes) back at offset.
  void ClearIoHandlers(uint8_t offset);

  // Reset of the main side's I/O state: all planes shown and writable,
  // identity palette, timer and key interrupts disabled, no key latched. The
  // kanji state, shared RAM and any installed controller keep their state.
  void ResetMainIo();

  // Redraws KanjiBitmap with the glyph of a JIS X 0208 code (high byte row,
  // low byte column). Does not change LastKanjiCode (callers do).
  void RenderGlyph(uint16_t jisCode);

  // The Shift_JIS code of a JIS X 0208 code, by the machine's arithmetic:
  // the standard mapping for every valid code.
  static uint16_t JisToSjis(uint16_t jisCode);

  // The ROM patches of the trap handler, if any; called by the reset.
  void PatchRom();

  // The save state's share: the CPU core (bank 0 against romReference, see
  // MachineSnapshot.h) and the kanji registers and glyph.
  void SaveState(TStateWriter& w, const uint8_t* romReference) const;
  void LoadState(TStateReader& r, const uint8_t* romReference);

  uint8_t IoRead(uint8_t offset) override {
    const ReadHandler& h = IoReadTable[offset];
    return h.Fn(h.Context, offset);
  }
  void IoWrite(uint8_t offset, uint8_t value) override {
    const WriteHandler& h = IoWriteTable[offset];
    h.Fn(h.Context, offset, value);
  }
  void VramWrite(uint8_t, uint16_t) override {}  // no video RAM on this side
  void Trap() override;

 private:
  void InstallHandlers();
  void KanjiLookUp();

  TTrapHandler* TrapHandler = nullptr;
};
