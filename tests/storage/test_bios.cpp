// The BIOS traps: patching, dispatch, boot in BASIC and DOS mode, restore
// and request-block disk traps with the work bytes and error numbers, the
// kanji trap, and SAVE/LOAD through the two cassette traps.
#include <gtest/gtest.h>

#include <cstring>

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
    M.Cpu.Bank[1][0xFBFF] = 0xAD;
  }
  void Boot(int mode) {
    M.State.BootMode = mode;
    M.Cpu.BankSelect = 0;
    M.Cpu.PC = 0xFE01;  // the core has fetched the trap byte at FE00
    M.Cpu.Trap();
  }
  std::vector<uint8_t> Memory(uint16_t from, int count) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(M.Cpu.ReadByte(static_cast<uint16_t>(from + i)));
    return bytes;
  }
  static std::vector<uint8_t> Sector(int t, int h, int s) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(SectorByte(t, h, s, i));
    return bytes;
  }
};

}  // namespace

TEST_F(Bios, PatchPutsTheTrapOpcodeOnTheNineEntries) {
  TStorageMachine fresh;
  for (uint16_t a : TBios::PatchAddresses) EXPECT_EQ(fresh.Cpu.Bank[0][a], 0x14) << std::hex << a;
  // A program that overwrote RAM bank 1 at a banked entry does not disturb
  // the image's patch; a reset renews the patches.
  M.Cpu.Bank[0][0xFE05] = 0x39;
  M.Cpu.PatchRom();
  EXPECT_EQ(M.Cpu.Bank[0][0xFE05], 0x14);
  EXPECT_EQ(M.Cpu.Bank[1][0xF2B0], 0x00);
}

TEST_F(Bios, TrapByteElsewhereDoesNothing) {
  M.Cpu.PC = 0x2001;
  M.Cpu.A = 0x77;
  M.Cpu.S = 0x7000;
  M.Cpu.CC = 0xFF;
  M.Cpu.Trap();
  EXPECT_EQ(M.Cpu.PC, 0x2001);
  EXPECT_EQ(M.Cpu.A, 0x77);
  EXPECT_EQ(M.Cpu.S, 0x7000);
  EXPECT_EQ(M.Cpu.CC, 0xFF);
}

TEST_F(Bios, DiskErrorNumbers) {
  const std::pair<uint16_t, uint8_t> cases[] = {
      {0x0000, 0},  {0x8001, 10}, {0x8002, 11}, {0x8008, 12}, {0x8010, 13},
      {0x0004, 14}, {0x0020, 12}, {0x0040, 15}, {0x0080, 12}, {0x800A, 11},
      {0x8100, 0},  {0x0018, 12},
  };
  for (auto [status, number] : cases)
    EXPECT_EQ(TBios::DiskErrorNumber(status), number) << std::hex << status;
}

TEST_F(Bios, BasicBootWithoutImageStartsBasic) {
  M.Cpu.DP = 0x55;
  M.Cpu.A = 0x66;
  Boot(0);
  EXPECT_EQ(M.Cpu.PC, BasicCold);
  EXPECT_EQ(M.Cpu.S, 0xFC7F);
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(M.Cpu.DP, 0);
  EXPECT_EQ(M.Fdc.FdcLatch, 1);
}

TEST_F(Bios, BasicBootLoadsTheBootSector) {
  M.MountStandard(0);
  M.Fdc.SelectDrive(2);
  M.Poke(0xFFE0, {9, 9, 9, 9, 9, 9, 9, 9, 9});
  Boot(0);
  EXPECT_EQ(M.Cpu.PC, 0x0100);
  EXPECT_EQ(M.Cpu.S, 0xFC7F);
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(M.Cpu.DP, 0);
  EXPECT_EQ(M.Cpu.BankSelect, 0);
  EXPECT_EQ(Memory(0x0100, 256), Sector(0, 0, 1));
  EXPECT_EQ(Memory(0xFFE0, 9), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0x80, 9, 9, 0}));
  EXPECT_EQ(M.Fdc.FdcDrive, 0);
  EXPECT_EQ(M.Fdc.FdcLatch, 1);
}

TEST_F(Bios, BootCopies256BytesWhateverTheSectorSize) {
  TDiskImage image;
  image.AddTrack(0, 0, 0, 128, 2);  // 128-byte sectors
  M.Vfd.MountDisk(0, M.Scratch.Write("small.vfd", image.Bytes));
  std::memset(M.Vfd.DiskBuffer, 0x99, sizeof M.Vfd.DiskBuffer);
  Boot(0);
  EXPECT_EQ(M.Cpu.PC, 0x0100);
  EXPECT_EQ(M.Cpu.ReadByte(0x017F), SectorByte(0, 0, 1, 127));
  EXPECT_EQ(M.Cpu.ReadByte(0x0180), 0x99);
}

TEST_F(Bios, DosBootLoadsTwoSectorsWithRamSelected) {
  M.MountStandard(0);
  Boot(1);
  EXPECT_EQ(M.Cpu.PC, 0x0300);
  EXPECT_EQ(M.Cpu.BankSelect, 1);
  EXPECT_EQ(M.Cpu.S, 0xFC7F);
  EXPECT_EQ(Memory(0x0300, 256), Sector(0, 0, 1));
  EXPECT_EQ(Memory(0x0400, 256), Sector(0, 0, 2));
  EXPECT_EQ(M.Cpu.ReadByte(0xFFE5), 0x80);
}

TEST_F(Bios, DosBootFailureStartsBasicFromTheImage) {
  struct Case { const char* what; int sectors; };
  for (Case c : {Case{"no image", -1}, Case{"one sector", 1}}) {
    SCOPED_TRACE(c.what);
    if (c.sectors > 0) {
      TDiskImage image;
      image.AddTrack(0, 0, 1, 256, c.sectors);
      M.Vfd.MountDisk(0, M.Scratch.Write("one.vfd", image.Bytes));
    }
    Boot(1);
    // Not the garbage at FBFE-FBFF of the RAM bank.
    EXPECT_EQ(M.Cpu.PC, BasicCold);
    EXPECT_EQ(M.Cpu.BankSelect, 0);
    EXPECT_EQ(M.Cpu.A, 0);
    EXPECT_EQ(M.Cpu.DP, 0);
  }
}

TEST_F(Bios, RestoreTrap) {
  M.MountStandard(1);
  M.Cpu.CC = 0xFF;
  M.Poke(0xFFE2, {0x22});
  M.Cpu.X = 0x2000;
  M.Poke(0x2007, {0xFD});  // drive 1 (bits 0-1)
  M.Fdc.HeadTrack[1] = 5;
  M.CallTrap(0xFE02);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(M.Cpu.CC, 0xFE);  // only the carry changed
  EXPECT_EQ(M.Cpu.ReadByte(0xFFE2), 0);
  EXPECT_EQ(M.Fdc.HeadTrack[1], 5);  // the controller is not touched

  M.Poke(0x2007, {2});  // empty drive: not ready
  M.Cpu.CC = 0;
  M.CallTrap(0xFE61);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.A, 10);
  EXPECT_EQ(M.Cpu.CC, CC_C);
}

TEST_F(Bios, RequestBlockReadAndWrite) {
  const std::string path = M.MountStandard(0);
  M.RequestBlock(0x2000, 10, 0x3000, 21, 5, 0xFF, 0);  // side from bit 0
  M.CallTrap(0xFE05);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_FALSE(M.Carry());
  EXPECT_EQ(Memory(0x3000, 256), Sector(21, 1, 5));

  for (int i = 0; i < 256; ++i) M.Cpu.WriteByte(static_cast<uint16_t>(0x4000 + i), static_cast<uint8_t>(~i));
  M.RequestBlock(0x2000, 9, 0x4000, 3, 16, 0, 0);
  M.Cpu.CC = CC_C;
  M.CallTrap(0xFF5E);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_FALSE(M.Carry());
  const std::vector<uint8_t> file = TScratch::Read(path);
  const size_t at = 480 + 3 * 2 * 16 * 256 + 15 * 256;
  for (int i = 0; i < 256; ++i) ASSERT_EQ(file[at + i], static_cast<uint8_t>(~i));
}

TEST_F(Bios, RequestBlockBufferWrapsAtTheTopOfMemory) {
  M.MountStandard(0);
  M.RequestBlock(0x2000, 10, 0xFFF0, 0, 1, 0, 0);
  M.CallTrap(0xFE08);
  EXPECT_EQ(M.Cpu.ReadByte(0x0000), SectorByte(0, 0, 1, 0x10));
  EXPECT_EQ(M.Cpu.ReadByte(0xFFF0), SectorByte(0, 0, 1, 0));  // RAM part
}

TEST_F(Bios, RequestBlockFailures) {
  const std::string path = M.MountStandard(0);
  const std::vector<uint8_t> before = TScratch::Read(path);
  struct Case {
    const char* what;
    int command, track, sector, drive;
    bool protect;
    uint8_t error;
  };
  const Case cases[] = {
      {"read sector 17", 10, 0, 17, 0, false, 12},
      {"read sector 0", 10, 0, 0, 0, false, 12},
      {"read track 40", 10, 40, 1, 0, false, 12},
      {"write sector 17", 9, 0, 17, 0, false, 12},
      {"write protected", 9, 0, 1, 0, true, 11},
      {"write protected, no sector", 9, 0, 17, 0, true, 11},
      {"read, no image", 10, 0, 1, 3, false, 10},
      {"write, no image", 9, 0, 1, 3, false, 10},
      {"other command, no image", 7, 0, 1, 3, false, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    M.Vfd.DiskWriteProtect[0] = c.protect ? 1 : 0;
    for (int i = 0; i < 256; ++i) {
      M.Cpu.WriteByte(static_cast<uint16_t>(0x3000 + i), 0xC3);
      M.Cpu.WriteByte(static_cast<uint16_t>(0x5000 + i), static_cast<uint8_t>(i + 1));
    }
    std::memset(M.Vfd.DiskBuffer, 0x11, sizeof M.Vfd.DiskBuffer);
    M.RequestBlock(0x2000, c.command, c.command == 9 ? 0x5000 : 0x3000, c.track,
                   c.sector, 0, c.drive);
    M.Cpu.CC = 0;
    M.CallTrap(0xFE05);
    EXPECT_TRUE(M.Returned());
    EXPECT_EQ(M.Cpu.A, c.error);
    EXPECT_EQ(M.Cpu.CC, CC_C);
    EXPECT_EQ(Memory(0x3000, 256), std::vector<uint8_t>(256, 0xC3));  // nothing read in
    EXPECT_EQ(TScratch::Read(path), before);
    // A write takes the buffer bytes whenever the sector exists, or always
    // on an empty drive; never for a missing sector.
    const bool copied = c.command == 9 && (c.drive == 3 || c.sector <= 16);
    EXPECT_EQ(M.Vfd.DiskBuffer[0], copied ? 1 : 0x11);
    EXPECT_EQ(M.Vfd.DiskBuffer[255], copied ? 0 : 0x11);
  }
}

TEST_F(Bios, RequestBlockWorkBytesAndDriveSelection) {
  M.MountStandard(1);
  M.Poke(0xFFE0, {9, 9, 9, 9, 9, 9, 9, 9, 9});
  M.State.RaiseScpu(SCPU_NMI | SCPU_FIRQ_KEY);
  M.Out(0x18, 0x80);  // a transfer on drive 0 (empty): none started
  M.RequestBlock(0x2000, 10, 0x3000, 17, 2, 0, 1);
  M.CallTrap(0xFE05);
  EXPECT_EQ(Memory(0xFFE0, 9), (std::vector<uint8_t>{0, 9, 17, 9, 9, 0x80, 9, 9, 1}));
  EXPECT_EQ(M.Fdc.FdcDrive, 1);
  EXPECT_EQ(M.Cpu.IoRead(0x1D), 0x81);
  EXPECT_EQ(M.State.ScpuIntReq.load(), SCPU_FIRQ_KEY);  // only the NMI dropped
  // The next request names drive 1 again: previous drive now 1.
  M.CallTrap(0xFE05);
  EXPECT_EQ(M.Cpu.ReadByte(0xFFE0), 1);
  EXPECT_EQ(M.Cpu.ReadByte(0xFFE5), 0x81);
}

TEST_F(Bios, KanjiTrapWrites32BytesAndKeepsTheLatchedPattern) {
  // Latch row 0 of JIS 3021 through the registers first.
  M.Out(0x20, 0x40);
  M.Out(0x21, 0x10);
  const uint8_t latched = M.In(0x22);
  const uint16_t sjis3021 = TMcpuIo::JisToSjis(0x3021);
  EXPECT_EQ(latched, static_cast<uint8_t>(sjis3021));

  M.Cpu.X = 0x2000;
  M.Poke(0x2002, {0x30, 0x00, 0x24, 0x22});  // to 3000, JIS 2422
  M.Poke(0x3020, {0xAB});
  M.Cpu.CC = 0x5A;
  M.CallTrap(0xF21F);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(M.Cpu.CC, 0x5A);
  const uint16_t sjis = TMcpuIo::JisToSjis(0x2422);
  for (int i = 0; i < 32; ++i)
    ASSERT_EQ(M.Cpu.ReadByte(static_cast<uint16_t>(0x3000 + i)), static_cast<uint8_t>(sjis + i));
  EXPECT_EQ(M.Cpu.ReadByte(0x3020), 0xAB);  // exactly 32 bytes
  EXPECT_EQ(M.State.LastKanjiCode, 0x2422);
  // The registers still show the glyph latched before; the next look-up of
  // that code draws it again.
  EXPECT_EQ(M.In(0x22), latched);
  M.Out(0x21, 0x00);
  EXPECT_EQ(M.In(0x22), latched);
  EXPECT_EQ(M.Host.Drawn.back(), sjis3021);
}

TEST_F(Bios, TapeSaveThenLoadThroughTheTraps) {
  const std::string path = M.Scratch.Path("t.vtp");
  ASSERT_TRUE(M.Vtp.CreateTape(path));
  M.Cpu.X = 0x2000;
  std::vector<uint8_t> program;
  for (int i = 0; i < 600; ++i) program.push_back(static_cast<uint8_t>(i * 7));
  for (uint8_t b : program) {
    M.Poke(0x2002, {b});
    M.State.RaiseScpu(SCPU_NMI);
    M.Cpu.CC = 0x0F;
    M.CallTrap(0xF2B0);
    ASSERT_TRUE(M.Returned());
    ASSERT_EQ(M.Cpu.A, 0);
    ASSERT_EQ(M.Cpu.CC, 0x0F);
    ASSERT_EQ(M.State.ScpuIntReq.load(), 0u);
  }
  EXPECT_EQ(TScratch::Read(path), program);  // every byte already in the file

  // Loading without winding back meets the end of the tape: FF bytes.
  M.CallTrap(0xF330);
  EXPECT_EQ(M.Cpu.ReadByte(0x2002), 0xFF);
  M.Vtp.SeekTape(0);
  for (uint8_t b : program) {
    M.CallTrap(0xF330);
    ASSERT_TRUE(M.Returned());
    ASSERT_EQ(M.Cpu.ReadByte(0x2002), b);
  }

  // Overwriting in the middle keeps the rest of the tape.
  M.Vtp.SeekTape(100);
  M.Poke(0x2002, {0xEE});
  M.CallTrap(0xF2B0);
  std::vector<uint8_t> expect = program;
  expect[100] = 0xEE;
  EXPECT_EQ(TScratch::Read(path), expect);

  // Write-protected: the SAVE completes, the image is unchanged.
  M.Vtp.TapeWriteProtect = 1;
  M.Cpu.CC = 0;
  M.CallTrap(0xF2B0);
  EXPECT_EQ(M.Cpu.A, 0);
  EXPECT_EQ(TScratch::Read(path), expect);
}

TEST_F(Bios, TapeTrapsWithoutATape) {
  M.Cpu.X = 0x2000;
  M.Poke(0x2002, {0x42});
  M.CallTrap(0xF2B0);
  EXPECT_TRUE(M.Returned());
  M.CallTrap(0xF330);
  EXPECT_TRUE(M.Returned());
  EXPECT_EQ(M.Cpu.ReadByte(0x2002), 0xFF);
  EXPECT_EQ(M.Cpu.A, 0);
}
