// A main machine with its drives, cassette deck, disk controller and BIOS
// traps, for the controller and trap tests. No firmware images and no run
// loop: the tests poke registers and enter the traps the way a JSR to the
// routine would.
#pragma once

#include <cstdint>
#include <vector>

#include "Bios.h"
#include "Fdc.h"
#include "HostServices.h"
#include "MachineState.h"
#include "Mcpuio.h"
#include "ImageBuilder.h"

namespace storage_test {

// Draws a recognisable glyph: byte i of the bitmap is (low byte of the
// Shift_JIS code) + i.
class TPatternHost : public THostServices {
 public:
  void Beep() override {}
  void DrawGlyph(uint16_t sjis, uint8_t bitmap[32]) override {
    Drawn.push_back(sjis);
    for (int i = 0; i < 32; ++i) bitmap[i] = static_cast<uint8_t>(sjis + i);
  }
  std::vector<uint16_t> Drawn;
};

struct TStorageMachine {
  static constexpr uint16_t ReturnAddress = 0x1234;
  static constexpr uint16_t StackTop = 0x7F00;

  TMachineState State;
  TPatternHost Host;
  TMcpuIo Cpu{State, Host};
  TVfd& Vfd = State.Vfd;
  TVtp& Vtp = State.Vtp;
  TFdc Fdc{State.Vfd};
  TBios Bios{Cpu, State.Vfd, State.Vtp, Fdc};
  TScratch Scratch;

  TStorageMachine() {
    Fdc.Install(Cpu);
    Bios.PatchRom(Cpu);
    Cpu.PC = 0xFE00;
  }

  // Enters the trapped routine at entry as a JSR from ReturnAddress - 3
  // would: return address on the stack, the core's trap call with PC past
  // the trap byte.
  void CallTrap(uint16_t entry) {
    Cpu.S = StackTop;
    Cpu.S = static_cast<uint16_t>(Cpu.S - 2);
    Cpu.WriteWord(Cpu.S, ReturnAddress);
    Cpu.PC = static_cast<uint16_t>(entry + 1);
    Cpu.Trap();
  }
  bool Returned() const { return Cpu.PC == ReturnAddress && Cpu.S == StackTop; }
  bool Carry() const { return (Cpu.CC & CC_C) != 0; }

  void Poke(uint16_t address, std::initializer_list<int> bytes) {
    for (int b : bytes) Cpu.WriteByte(address++, static_cast<uint8_t>(b));
  }

  // Disk request block at X.
  void RequestBlock(uint16_t x, int command, uint16_t buffer, int track,
                    int sector, int side, int drive) {
    Cpu.X = x;
    Poke(x, {command, 0, buffer >> 8, buffer & 0xFF, track, sector, side, drive});
  }

  std::string MountStandard(int drive, const std::string& name = "std.vfd") {
    const std::string path = Scratch.Write(name, TDiskImage::Standard().Bytes);
    Vfd.MountDisk(drive, path);
    return path;
  }

  uint8_t In(uint8_t offset) { return Cpu.IoRead(offset); }
  void Out(uint8_t offset, uint8_t value) { Cpu.IoWrite(offset, value); }
};

}  // namespace storage_test
