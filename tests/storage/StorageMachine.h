// A main machine with drives, cassette deck, disk controller and BIOS traps
// for the controller and trap tests: no run loop, registers poked directly
// and traps entered as a JSR to the routine would enter them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "Bios.h"
#include "ImageBuilder.h"
#include "MachineState.h"
#include "Mcpuio.h"

namespace storage_test {

// Glyph byte i is (low byte of the Shift_JIS code) + i.
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
  static constexpr uint16_t ReturnAddress = 0x1234, StackTop = 0x7F00;
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
    Cpu.PatchRom();
  }
  // Return address on the stack, PC past the trap byte, the core's call.
  void CallTrap(uint16_t entry) {
    Cpu.S = StackTop - 2;
    Cpu.WriteWord(Cpu.S, ReturnAddress);
    Cpu.PC = static_cast<uint16_t>(entry + 1);
    Cpu.Trap();
  }
  bool Returned() const { return Cpu.PC == ReturnAddress && Cpu.S == StackTop; }
  void Poke(uint16_t address, std::initializer_list<int> bytes) {
    for (int b : bytes) Cpu.WriteByte(address++, static_cast<uint8_t>(b));
  }
  std::vector<uint8_t> Peek(uint16_t from, int count) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(Cpu.ReadByte(static_cast<uint16_t>(from + i)));
    return bytes;
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
