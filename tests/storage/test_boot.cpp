// The traps inside the whole machine: the emulation thread's reset patches
// the firmware, the main CPU meets the trap opcode at the reset vector and
// in routines it calls, and the traps return to the calling program.
#include <gtest/gtest.h>

#include <memory>

#include "ImageBuilder.h"
#include "Mcputh.h"

using namespace storage_test;

namespace {

constexpr uint16_t BasicCold = 0x8200;

class TNoHost : public THostServices {
 public:
  void Beep() override {}
  void DrawGlyph(uint16_t, uint8_t[32]) override {}
};

class TNoPause : public TPacer {
 public:
  void Pause1ms() override {}
};

class Boot : public testing::Test {
 protected:
  TScratch Scratch;
  TMachineState State;
  TNoHost Host;
  TNoPause Pacer;
  std::unique_ptr<TMcpuThread> Machine;

  Boot() {
    std::vector<uint8_t> rom1(0x7C00, 0x12), rom2(0x1E0, 0x12), sub(0x2800, 0x12);
    auto put = [](std::vector<uint8_t>& image, uint16_t base, uint16_t at,
                  std::initializer_list<int> bytes) {
      for (int b : bytes) image.at(at++ - base) = static_cast<uint8_t>(b);
    };
    put(rom1, 0x8000, 0xFBFE, {BasicCold >> 8, BasicCold & 0xFF});
    put(rom1, 0x8000, BasicCold, {0x20, 0xFE});  // BRA *
    put(sub, 0xD800, 0xD800, {0x20, 0xFE});
    put(sub, 0xD800, 0xFFFE, {0xD8, 0x00});
    Scratch.Write("fb30rom1.dat", rom1);
    Scratch.Write("fb30rom2.dat", rom2);
    Scratch.Write("fb30sub.dat", sub);
    Machine = std::make_unique<TMcpuThread>(State, Host, Pacer, Scratch.Path(""));
  }
  TMcpuIo& Main() { return *Machine->Mcpu; }
};

// A boot sector that asks for sector s of track 0 at 3000 through the
// request-block routine and stores A and CC at 0050/0051.
std::vector<uint8_t> BootProgram(int sector) {
  std::vector<uint8_t> code = {
      0x8E, 0x01, 0x80,  // LDX #$0180
      0xBD, 0xFE, 0x05,  // JSR $FE05
      0xB7, 0x00, 0x50,  // STA $0050
      0x1F, 0xA9,        // TFR CC,B
      0xF7, 0x00, 0x51,  // STB $0051
      0x20, 0xFE,        // BRA *
  };
  code.resize(0x80, 0x12);
  // Request block at 0180: read, buffer 3000, track 0, sector, side 0, drive 0.
  const std::vector<uint8_t> block = {10, 0, 0x30, 0x00, 0, static_cast<uint8_t>(sector), 0, 0};
  code.insert(code.end(), block.begin(), block.end());
  return code;
}

}  // namespace

TEST_F(Boot, ColdResetWithoutDiskStartsBasic) {
  ASSERT_EQ(Machine->RomError, 0);
  Machine->ResetMachine(false);
  EXPECT_EQ(Main().PC, 0xFE00);
  Machine->RunPasses(5);
  EXPECT_EQ(Main().PC, BasicCold);
  EXPECT_EQ(Main().S, 0xFC7F);
}

TEST_F(Boot, BootSectorRunsAndReadsThroughTheRequestBlockRoutine) {
  struct Case { int sector; uint8_t error; bool carry; };
  for (Case c : {Case{2, 0, false}, Case{17, 12, true}}) {
    SCOPED_TRACE(c.sector);
    TDiskImage image = TDiskImage::Standard();
    image.PutSector(0, 0, 1, BootProgram(c.sector));
    ASSERT_TRUE(State.Vfd.MountDisk(0, Scratch.Write("boot.vfd", image.Bytes)));
    Main().WriteByte(0x3000, 0xC3);
    Machine->ResetMachine(false);
    Machine->RunPasses(20);
    EXPECT_EQ(Main().PC, 0x010E);
    EXPECT_EQ(Main().ReadByte(0x0050), c.error);
    EXPECT_EQ((Main().ReadByte(0x0051) & CC_C) != 0, c.carry);
    EXPECT_EQ(Main().ReadByte(0x3000), c.carry ? 0xC3 : SectorByte(0, 0, 2, 0));
    EXPECT_EQ(Main().ReadByte(0xFFE5), 0x80);
  }
}

TEST_F(Boot, DosModeFailureFallsBackToBasic) {
  State.BootMode = 1;
  Main().Bank[1][0xFBFE] = 0x00;  // RAM bank: no start address
  Main().Bank[1][0xFBFF] = 0x00;
  Machine->ResetMachine(false);
  Machine->RunPasses(5);
  EXPECT_EQ(Main().PC, BasicCold);
  EXPECT_EQ(Main().BankSelect, 0);
}

TEST_F(Boot, CassetteRoutinesRunFromAProgram) {
  const std::string path = Scratch.Path("t.vtp");
  ASSERT_TRUE(State.Vtp.CreateTape(path));
  Machine->ResetMachine(false);
  Machine->RunPasses(3);  // boots into BASIC (no disk)
  // A program writes 41 and 42 through the write routine, rewinds, and
  // reads one byte back through the read routine into 0060.
  const std::vector<uint8_t> code = {
      0x8E, 0x20, 0x00,  // LDX #$2000
      0x86, 0x41,        // LDA #$41
      0xA7, 0x02,        // STA 2,X
      0xBD, 0xF2, 0xB0,  // JSR $F2B0
      0x6C, 0x02,        // INC 2,X
      0xBD, 0xF2, 0xB0,  // JSR $F2B0
      0x20, 0xFE,        // BRA *
  };
  for (size_t i = 0; i < code.size(); ++i) Main().Bank[0][0x1000 + i] = code[i];
  Main().PC = 0x1000;
  Main().S = 0x7F00;
  Machine->RunPasses(10);
  EXPECT_EQ(Main().PC, 0x1000 + code.size() - 2);
  EXPECT_EQ(TScratch::Read(path), (std::vector<uint8_t>{0x41, 0x42}));

  State.Vtp.SeekTape(1);
  const std::vector<uint8_t> load = {
      0x8E, 0x20, 0x00,  // LDX #$2000
      0xBD, 0xF3, 0x30,  // JSR $F330
      0xA6, 0x02,        // LDA 2,X
      0xB7, 0x00, 0x60,  // STA $0060
      0x20, 0xFE,        // BRA *
  };
  for (size_t i = 0; i < load.size(); ++i) Main().Bank[0][0x1100 + i] = load[i];
  Main().PC = 0x1100;
  Machine->RunPasses(10);
  EXPECT_EQ(Main().ReadByte(0x0060), 0x42);
}
