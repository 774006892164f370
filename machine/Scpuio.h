// TScpuIo: the sub CPU of the machine, which owns video RAM and the keyboard
// and serves the main CPU as its display processor.
//
// The core is built with the sub memory map: video RAM at 0000-BFFF (three
// planes of 16 KiB), work RAM, the shared RAM at D380-D3FF (always open on
// this side), the I/O page D400-D4FF and the sub firmware at D800-FFFF. Every
// video RAM write goes through the write-plane mask into video RAM and the
// pixel buffer. Video RAM is kept rotated so that the displayed picture
// always starts at offset 0 of each plane: a change of the scroll offset
// rotates the three planes and the pixel buffer by the difference.
#pragma once

#include <cstdint>

#include "core/Cpu_main.h"
#include "HostServices.h"
#include "MachineState.h"

class TStateReader;
class TStateWriter;

class TScpuIo : public TCpu09 {
 public:
  // A register's handler: a plain function called with this machine and
  // the offset from D400 (every I/O access of the firmware goes through one).
  using ReadHandler = TIoReadHandler;
  using WriteHandler = TIoWriteHandler;

  TScpuIo(TMachineState& state, THostServices& host);

  TMachineState& State;
  THostServices& Host;

  // Current scroll offset, a multiple of 32 in 0-3FE0; the byte last written
  // to D40E.
  uint16_t VramOffset = 0;
  uint16_t VramOffsetHigh = 0;

  // I/O handlers per offset from D400.
  ReadHandler IoReadTable[256];
  WriteHandler IoWriteTable[256];

  // Reset of the sub side's I/O: scroll offset 0 (video RAM is not moved
  // back), display on.
  void ResetSubIo();

  // Sets the scroll offset from D40E and value, rotating video RAM and the
  // pixel buffer by the difference.
  void SetScroll(uint8_t value);

  // The save state's share: the CPU core (bank 0 against romReference, see
  // MachineSnapshot.h) and the scroll registers. LoadState rebuilds the
  // pixel buffer from the video RAM it read.
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
  void VramWrite(uint8_t value, uint16_t address) override {
    if (State.UpdatePixels(address, value)) Bank[0][address] = value;
  }
  void Trap() override {}  // no sub firmware routine is trapped

 private:
  void InstallHandlers();

  // Scratch space for the plane rotations.
  uint8_t ScrollTemp[TDisplayState::PlaneBytes] = {};
};
