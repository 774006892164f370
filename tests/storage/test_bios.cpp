// The BIOS traps: patching and dispatch, boot in BASIC and DOS mode, the
// restore and request-block disk traps with their work bytes and error
// numbers, the kanji trap, SAVE and LOAD through the cassette traps, and a
// boot of the whole machine through the run loop.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>

#include "Mcputh.h"
#include "StorageMachine.h"

using namespace storage_test;

namespace {

constexpr uint16_t BasicCold = 0x8010;

class Bios : public testing::Test {
 protected:
  TStorageMachine M;
  Bios() {
    // The BASIC image's cold-start word; RAM bank 1 holds garbage there.
    M.Cpu.Bank[0][0xFBFE] = BasicCold >> 8;
    M.Cpu.Bank[0][0xFBFF] = BasicCold & 0xFF;
    M.Cpu.Bank[1][0xFBFE] = 0xDE;
  }
  void RequestBlock(int command, uint16_t buffer, int track, int sector, int side, int drive) {
    M.Cpu.X = 0x2000;
    M.Poke(0x2000, {command, 0, buffer >> 8, buffer & 0xFF, track, sector, side, drive});
  }
  std::vector<uint8_t> Sector(int t, int h, int s) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(SectorByte(t, h, s, i));
    return bytes;
  }
};

}  // namespace

TEST_F(Bios, PatchesAndDispatch) {
  for (uint16_t a : TBios::PatchAddresses) EXPECT_EQ(M.Cpu.Bank[0][a], 0x14) << std::hex << a;
  EXPECT_EQ(M.Cpu.Bank[1][0xF2B0], 0x00);  // the image, not the RAM bank
  // A trap byte anywhere else: nothing happens, execution goes on after it.
  M.Cpu.PC = 0x2001;
  M.Cpu.CC = 0xFF;
  M.Cpu.Trap();
  EXPECT_EQ(M.Cpu.PC, 0x2001);
  EXPECT_EQ(M.Cpu.CC, 0xFF);
  // Nor at a banked routine's address while the RAM bank is selected.
  M.Cpu.BankSelect = 1;
  M.Cpu.PC = 0xF2B1;
  M.Cpu.S = 0x7000;
  M.Cpu.Trap();
  EXPECT_EQ(M.Cpu.PC, 0xF2B1);
  EXPECT_EQ(M.Cpu.S, 0x7000);
}

TEST_F(Bios, BootInBothModes) {
  struct Case { int mode; int sectors; uint16_t pc; int bank; };
  const Case cases[] = {
      {0, 0, BasicCold, 0}, {0, 16, 0x0100, 0}, {0, 1, 0x0100, 0},
      {1, 0, BasicCold, 0}, {1, 1, BasicCold, 0},  // never through RAM's FBFE
      {1, 16, 0x0300, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", sectors " << c.sectors);
    M.Vfd.UnmountAllDisks();
    if (c.sectors) {
      TDiskImage image;
      image.AddTrack(0, 0, 1, 256, c.sectors);
      M.Vfd.MountDisk(0, M.Scratch.Write("boot.vfd", image.Bytes));
    }
    M.Poke(0xFFE0, {9, 9, 9, 9, 9, 9, 9, 9, 9});
    M.Fdc.SelectDrive(2);
    M.State.BootMode = c.mode;
    M.Cpu.BankSelect = 0;
    M.Cpu.A = M.Cpu.DP = 0x55;
    M.Cpu.PC = 0xFE01;
    M.Cpu.Trap();
    EXPECT_EQ(M.Cpu.PC, c.pc);
    EXPECT_EQ(M.Cpu.BankSelect, c.bank);
    EXPECT_EQ(M.Cpu.S, 0xFC7F);
    EXPECT_EQ(M.Cpu.A, 0);
    EXPECT_EQ(M.Cpu.DP, 0);
    EXPECT_EQ(M.Fdc.FdcLatch, 1);
    if (c.pc == BasicCold) continue;
    EXPECT_EQ(M.Peek(c.pc, 256), Sector(0, 0, 1));
    if (c.mode) {
      EXPECT_EQ(M.Peek(0x0400, 256), Sector(0, 0, 2));
    }
    EXPECT_EQ(M.Peek(0xFFE0, 9), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0x80, 9, 9, 0}));
    EXPECT_EQ(M.Fdc.FdcDrive, 0);
  }
}

TEST_F(Bios, RestoreTrap) {
  M.MountStandard(1);
  M.Cpu.X = 0x2000;
  for (auto [drive, error, cc] : {std::tuple{0xFD, 0, 0xFE}, {2, 10, 0xFF}}) {
    M.Poke(0x2007, {drive});
    M.Poke(0xFFE1 + (drive & 3), {0x22});
    M.Cpu.CC = 0xFE;
    M.CallTrap(drive == 2 ? 0xFE61 : 0xFE02);
    EXPECT_TRUE(M.Returned());
    EXPECT_EQ(M.Cpu.A, error);
    EXPECT_EQ(M.Cpu.CC, cc);  // only the carry changes
    EXPECT_EQ(M.Cpu.ReadByte(static_cast<uint16_t>(0xFFE1 + (drive & 3))), 0);
  }
}

TEST_F(Bios, RequestBlockTransfers) {
  const std::string path = M.MountStandard(1);
  M.Poke(0xFFE0, {9, 9, 9, 9, 9, 9, 9, 9, 9});
  M.State.RaiseScpu(SCPU_NMI | SCPU_FIRQ_KEY);
  RequestBlock(10, 0xFFF0, 21, 5, 0xFF, 1);  // side from bit 0; buffer wraps
  M.CallTrap(0xFE05);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(M.Cpu.CC & CC_C, 0);
  const std::vector<uint8_t> sector = Sector(21, 1, 5);
  EXPECT_EQ(M.Peek(0xFFF0, 14), std::vector<uint8_t>(sector.begin(), sector.begin() + 14));
  EXPECT_EQ(M.Peek(0x0000, 240), std::vector<uint8_t>(sector.begin() + 16, sector.end()));
  // Previous drive 0, request drive 1, its track.
  EXPECT_EQ(M.Peek(0xFFE0, 9), (std::vector<uint8_t>{0, 9, 21, 9, 9, 0x80, 9, 9, 1}));
  EXPECT_EQ(M.In(0x1D), 0x81);
  EXPECT_EQ(M.State.ScpuIntReq.load(), SCPU_FIRQ_KEY);  // only the NMI dropped

  for (int i = 0; i < 256; ++i) M.Cpu.WriteByte(static_cast<uint16_t>(0x4000 + i), static_cast<uint8_t>(~i));
  RequestBlock(9, 0x4000, 3, 16, 0, 1);
  M.CallTrap(0xFF5E);
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(M.Peek(0xFFE0, 1)[0], 1);
  const std::vector<uint8_t> file = TScratch::Read(path);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(file[TDiskImage::StandardOffset(3, 0, 16) + i], static_cast<uint8_t>(~i));
}

TEST_F(Bios, RequestBlockFailures) {
  const std::string path = M.MountStandard(0);
  const std::vector<uint8_t> before = TScratch::Read(path);
  struct Case { const char* what; int command, track, sector, drive; bool protect; uint8_t error; bool copied; };
  const Case cases[] = {
      {"read sector 17", 10, 0, 17, 0, false, 12, false},
      {"read track 40", 10, 40, 1, 0, false, 12, false},
      {"write sector 0", 9, 0, 0, 0, false, 12, false},
      {"write protected", 9, 0, 1, 0, true, 11, true},
      {"write protected, no sector", 9, 0, 17, 0, true, 11, false},
      {"read, no image", 10, 0, 1, 3, false, 10, false},
      {"write, no image", 9, 0, 1, 3, false, 10, true},
      {"other command, no image", 7, 0, 1, 3, false, 10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    M.Vfd.DiskWriteProtect[0] = c.protect;
    for (int i = 0; i < 256; ++i) M.Cpu.WriteByte(static_cast<uint16_t>(0x3000 + i), static_cast<uint8_t>(i + 1));
    std::memset(M.Vfd.DiskBuffer, 0x11, sizeof M.Vfd.DiskBuffer);
    RequestBlock(c.command, 0x3000, c.track, c.sector, 0, c.drive);
    M.Cpu.CC = 0;
    M.CallTrap(0xFE08);
    EXPECT_TRUE(M.Returned());
    EXPECT_EQ(M.Cpu.A, c.error);
    EXPECT_EQ(M.Cpu.CC, CC_C);
    EXPECT_EQ(M.Cpu.ReadByte(0x3000), 1);  // nothing read into memory
    EXPECT_EQ(TScratch::Read(path), before);
    EXPECT_EQ(M.Vfd.DiskBuffer[255], c.copied ? 0 : 0x11);  // buffer bytes taken
  }
}

TEST_F(Bios, KanjiTrapWrites32BytesAndKeepsTheLatchedPattern) {
  M.Out(0x20, 0x40);  // latch row 0 of JIS 3021 through the registers
  M.Out(0x21, 0x10);
  const uint8_t latched = M.In(0x22);
  M.Cpu.X = 0x2000;
  M.Poke(0x2002, {0x30, 0x00, 0x24, 0x22});  // to 3000, JIS 2422
  M.Poke(0x3020, {0xAB});
  M.Cpu.CC = 0x5A;
  M.CallTrap(0xF21F);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(M.Cpu.CC, 0x5A);
  const uint16_t sjis = TMcpuIo::JisToSjis(0x2422);
  for (int i = 0; i < 32; ++i) ASSERT_EQ(M.Cpu.ReadByte(static_cast<uint16_t>(0x3000 + i)), static_cast<uint8_t>(sjis + i));
  EXPECT_EQ(M.Cpu.ReadByte(0x3020), 0xAB);
  EXPECT_EQ(M.State.LastKanjiCode, 0x2422);
  // The registers still show the glyph latched before, and looking that
  // code up again draws it again.
  EXPECT_EQ(M.In(0x22), latched);
  M.Out(0x21, 0x00);
  EXPECT_EQ(M.In(0x22), latched);
  EXPECT_EQ(M.Host.Drawn.back(), TMcpuIo::JisToSjis(0x3021));
}

TEST_F(Bios, TapeSaveThenLoad) {
  const std::string path = M.Scratch.Path("t.vtp");
  M.CallTrap(0xF330);  // no tape: FF
  EXPECT_EQ(M.Cpu.ReadByte(0x0002), 0xFF);
  ASSERT_TRUE(M.Vtp.CreateTape(path));
  M.Cpu.X = 0x2000;
  std::vector<uint8_t> program;
  for (int i = 0; i < 600; ++i) program.push_back(static_cast<uint8_t>(i * 7));
  for (uint8_t b : program) {
    M.Poke(0x2002, {b});
    M.State.RaiseScpu(SCPU_NMI);
    M.Cpu.CC = 0x0F;
    M.CallTrap(0xF2B0);
    ASSERT_TRUE(M.Returned() && M.Cpu.A == 0 && M.Cpu.CC == 0x0F);
    ASSERT_EQ(M.State.ScpuIntReq.load(), 0u);
  }
  EXPECT_EQ(TScratch::Read(path), program);
  M.CallTrap(0xF330);  // right after the SAVE: the end of the tape
  EXPECT_EQ(M.Cpu.ReadByte(0x2002), 0xFF);
  M.Vtp.SeekTape(0);
  for (uint8_t b : program) {
    M.CallTrap(0xF330);
    ASSERT_EQ(M.Cpu.ReadByte(0x2002), b);
  }
  M.Vtp.TapeWriteProtect = 1;  // the SAVE completes, the image is unchanged
  M.CallTrap(0xF2B0);
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(TScratch::Read(path), program);
}

// The whole machine on tiny firmware images of its own: BRA * at the BASIC
// cold start 8000 and at the sub CPU's reset address D800.
class BiosMachine : public testing::Test {
 protected:
  struct TNoHost : THostServices {
    void Beep() override {}
    void DrawGlyph(uint16_t, uint8_t[32]) override {}
  } Host;
  struct TNoPause : TPacer {
    void Pause1ms() override {}
  } Pacer;
  TScratch Scratch;
  TMachineState State;
  std::unique_ptr<TMcpuThread> Machine;

  BiosMachine() {
    std::vector<uint8_t> rom1(0x7C00, 0x12), sub(0x2800, 0x12);
    rom1[0] = sub[0] = 0x20;
    rom1[1] = sub[1] = 0xFE;
    rom1[0x7BFE] = 0x80;  // cold start 8000
    rom1[0x7BFF] = 0x00;
    sub[0x27FE] = 0xD8;  // sub reset vector D800
    sub[0x27FF] = 0x00;
    Scratch.Write("fb30rom1.dat", rom1);
    Scratch.Write("fb30rom2.dat", std::vector<uint8_t>(0x1E0, 0x12));
    Scratch.Write("fb30sub.dat", sub);
    Machine = std::make_unique<TMcpuThread>(State, Host, Pacer, Scratch.Path(""));
  }
  // A standard disk whose boot sector runs code, with a request block for
  // track 0, sector `sector` into 3000 at 0180.
  std::string BootDisk(const std::vector<uint8_t>& code, int sector) {
    TDiskImage image = TDiskImage::Standard();
    std::copy(code.begin(), code.end(), image.Bytes.begin() + 480);
    const std::vector<uint8_t> block = {10, 0, 0x30, 0x00, 0, static_cast<uint8_t>(sector), 0, 0};
    std::copy(block.begin(), block.end(), image.Bytes.begin() + 480 + 0x80);
    return Scratch.Write("boot" + std::to_string(sector) + ".vfd", image.Bytes);
  }
};

// A cold reset patches the firmware and enters the boot trap at FE00; the
// boot sector then calls the request-block routine.
TEST_F(BiosMachine, BootSectorReadsThroughTheRequestBlockRoutine) {
  TMcpuIo& cpu = *Machine->Mcpu;
  const std::vector<uint8_t> code = {
      0x8E, 0x01, 0x80,  // LDX #$0180
      0xBD, 0xFE, 0x05,  // JSR $FE05
      0xB7, 0x00, 0x50,  // STA $0050
      0x20, 0xFE};       // BRA *
  for (auto [sector, error] : {std::pair{2, 0}, {17, 12}}) {
    ASSERT_TRUE(State.Vfd.MountDisk(0, BootDisk(code, sector)));
    cpu.WriteByte(0x3000, 0xC3);
    Machine->ResetMachine(false);
    Machine->RunPasses(20);
    EXPECT_EQ(cpu.PC, 0x0109);
    EXPECT_EQ(cpu.ReadByte(0x0050), error);
    EXPECT_EQ(cpu.ReadByte(0x3000), error ? 0xC3 : SectorByte(0, 0, 2, 0));
  }
  State.Vfd.UnmountAllDisks();
  Machine->ResetMachine(false);
  Machine->RunPasses(5);
  EXPECT_EQ(cpu.PC, 0x8000);  // no disk: BASIC
}

// Images swapped from another thread while the running machine reads
// sectors in a loop (a file dropped on the window without a pause): every
// read sees one whole image or none (checked under the thread sanitizer).
TEST_F(BiosMachine, SwappingImagesWhileRunning) {
  const std::vector<uint8_t> code = {
      0x8E, 0x01, 0x80,  // LDX #$0180
      0xBD, 0xFE, 0x05,  // JSR $FE05
      0x7C, 0x00, 0x50,  // INC $0050
      0x20, 0xF8};       // BRA to the JSR
  const std::string a = BootDisk(code, 2), b = BootDisk(code, 3);
  ASSERT_TRUE(State.Vfd.MountDisk(0, a));
  Machine->Start();
  while (Machine->PassCount() < 1000) std::this_thread::yield();  // booted
  for (int i = 0; i < 300 || Machine->PassCount() < 50000; ++i) {
    if (i % 3 == 2)
      State.Vfd.UnmountDisk(0);
    else
      State.Vfd.MountDisk(0, i % 2 ? b : a);
  }
  Machine->Terminate();
  EXPECT_GT(Machine->PassCount(), 0u);
  const uint8_t first = Machine->Mcpu->ReadByte(0x3000);
  EXPECT_TRUE(first == SectorByte(0, 0, 2, 0) || first == SectorByte(0, 0, 3, 0)) << int(first);
}
