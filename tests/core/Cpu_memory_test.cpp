// Memory side of the core: the main and sub memory maps, the shared RAM
// window, the banked RAM, video RAM writes, firmware image loading and the
// wrap of addresses at FFFF.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/core/CpuFixture.h"

namespace {

TEST_F(CpuTest, NewCoreIsAllZero) {
  auto fresh = std::make_unique<TCpu09>();
  EXPECT_EQ(fresh->A | fresh->B | fresh->CC | fresh->DP, 0);
  EXPECT_EQ(fresh->X | fresh->Y | fresh->U | fresh->S | fresh->PC, 0);
  EXPECT_EQ(fresh->BankSelect | fresh->Waiting | fresh->Stacked, 0);
  for (int a = 0; a < 0x10000; ++a) {
    ASSERT_EQ(fresh->Bank[0][a] | fresh->Bank[1][a] | fresh->MemType[a], 0);
  }
  fresh->Bank[0][0] = 0x4C;  // runs even without InitCpu: INCA
  fresh->Step();
  EXPECT_EQ(fresh->A, 1);
  EXPECT_EQ(fresh->PC, 1);
}

TEST_F(CpuTest, MainMapTypesAndResetVector) {
  C.InitCpu(0);
  struct Range {
    uint32_t First, Last;
    uint8_t Type;
  } want[] = {
      {0x0000, 0x7FFF, MT_RAM},    {0x8000, 0xFBFF, MT_BANKED},
      {0xFC00, 0xFC7F, MT_RAM},    {0xFC80, 0xFCFF, MT_SHAREDM},
      {0xFD00, 0xFDFF, MT_MAINIO}, {0xFE00, 0xFFDF, MT_ROM},
      {0xFFE0, 0xFFFD, MT_RAM},    {0xFFFE, 0xFFFF, MT_ROM},
  };
  for (const Range& r : want)
    for (uint32_t a = r.First; a <= r.Last; ++a)
      ASSERT_EQ(C.MemType[a], r.Type) << std::hex << a;
  EXPECT_EQ(C.ReadWord(0xFFFE), 0xFE00);
  C.WriteByte(0xFFFE, 0x12);  // the reset vector is ROM
  EXPECT_EQ(C.ReadWord(0xFFFE), 0xFE00);
}

TEST_F(CpuTest, SubMapTypes) {
  C.InitCpu(1);
  struct Range {
    uint32_t First, Last;
    uint8_t Type;
  } want[] = {
      {0x0000, 0xBFFF, MT_VRAM},   {0xC000, 0xD37F, MT_RAM},
      {0xD380, 0xD3FF, MT_SHAREDS}, {0xD400, 0xD4FF, MT_SUBIO},
      {0xD500, 0xD7FF, MT_RAM},    {0xD800, 0xFFFF, MT_ROM},
  };
  for (const Range& r : want)
    for (uint32_t a = r.First; a <= r.Last; ++a)
      ASSERT_EQ(C.MemType[a], r.Type) << std::hex << a;
}

TEST_F(CpuTest, OtherKindKeepsMapAndInitResetsWaitState) {
  C.MemType[0x1234] = MT_ROM;
  C.Waiting = C.Stacked = C.BankSelect = 1;
  C.InitCpu(7);
  EXPECT_EQ(C.MemType[0x1234], MT_ROM);
  EXPECT_EQ(C.Waiting | C.Stacked | C.BankSelect, 0);
}

TEST_F(CpuTest, SharedWindowOpensOnlyWhileSubHalted) {
  TCoreShared shared;
  auto main = std::make_unique<TCpu09>();
  auto sub = std::make_unique<TCpu09>();
  main->InitCpu(0);
  sub->InitCpu(1);
  main->Shared = sub->Shared = &shared;

  main->WriteByte(0xFC80, 0x5A);
  EXPECT_EQ(main->ReadByte(0xFC80), 0xFF);
  EXPECT_EQ(sub->ReadByte(0xD380), 0x00);  // the write was lost

  shared.SubHalt = 1;
  main->WriteByte(0xFC80, 0x5A);
  main->WriteByte(0xFCFF, 0xA5);
  EXPECT_EQ(sub->ReadByte(0xD380), 0x5A);
  EXPECT_EQ(sub->ReadByte(0xD3FF), 0xA5);
  sub->WriteByte(0xD381, 0x77);
  EXPECT_EQ(main->ReadByte(0xFC81), 0x77);

  shared.SubHalt = 0;  // the sub side never closes
  sub->WriteByte(0xD382, 0x66);
  EXPECT_EQ(sub->ReadByte(0xD382), 0x66);
  EXPECT_EQ(main->ReadByte(0xFC82), 0xFF);
}

TEST_F(CpuTest, SharedWindowsOfBareCoreReadFFAndDropWrites) {
  C.MemType[0x0100] = MT_SHAREDM;
  C.MemType[0x0101] = MT_SHAREDS;
  C.WriteByte(0x0100, 1);
  C.WriteByte(0x0101, 2);
  EXPECT_EQ(C.ReadByte(0x0100), 0xFF);
  EXPECT_EQ(C.ReadByte(0x0101), 0xFF);
}

TEST_F(CpuTest, BankedRamAgainstImage) {
  C.InitCpu(0);
  C.Bank[0][0x9000] = 0x42;  // image byte
  C.WriteByte(0x9000, 0x99);
  EXPECT_EQ(C.ReadByte(0x9000), 0x42);
  EXPECT_EQ(C.Bank[1][0x9000], 0x00);

  C.BankSelect = 1;
  C.WriteByte(0x9000, 0x99);
  EXPECT_EQ(C.ReadByte(0x9000), 0x99);
  EXPECT_EQ(C.Bank[0][0x9000], 0x42);

  C.BankSelect = 0;
  EXPECT_EQ(C.ReadByte(0x9000), 0x42);
}

TEST_F(CpuTest, VramWritesGoOnlyToTheHook) {
  C.InitCpu(1);
  C.Bank[0][0x0010] = 0x33;
  C.WriteByte(0x0010, 0x44);
  EXPECT_EQ(C.ReadByte(0x0010), 0x33);  // the core stores nothing itself
  ASSERT_EQ(C.VramWrites.size(), 1u);
  EXPECT_EQ(C.VramWrites[0], std::make_pair(uint16_t{0x0010}, uint8_t{0x44}));

  auto plain = std::make_unique<TCpu09>();  // default hook: nothing at all
  plain->InitCpu(1);
  plain->WriteByte(0x0010, 0x44);
  EXPECT_EQ(plain->ReadByte(0x0010), 0x00);
}

TEST_F(CpuTest, IoPagesPassTheOffsetAndUnknownTypesReadZero) {
  C.InitCpu(0);
  C.IoValue = 0x81;
  EXPECT_EQ(C.ReadByte(0xFD05), 0x81);
  C.WriteByte(0xFDFF, 0x17);
  ASSERT_EQ(C.IoReads.size(), 1u);
  EXPECT_EQ(C.IoReads[0], 0x05);
  EXPECT_EQ(C.IoWrites[0], std::make_pair(uint8_t{0xFF}, uint8_t{0x17}));

  C.InitCpu(1);
  C.ReadByte(0xD401);
  EXPECT_EQ(C.IoReads.back(), 0x01);

  C.MemType[0x0200] = 9;
  C.Bank[0][0x0200] = 0x55;
  EXPECT_EQ(C.ReadByte(0x0200), 0x00);
  C.WriteByte(0x0200, 0x66);
  EXPECT_EQ(C.Bank[0][0x0200], 0x55);

  auto plain = std::make_unique<TCpu09>();  // default IoRead gives 0
  plain->InitCpu(0);
  EXPECT_EQ(plain->ReadByte(0xFD00), 0x00);
}

TEST_F(CpuTest, InstructionFetchFromIoGoesThroughTheHook) {
  MakeIoPage(0x3000);
  C.IoValue = 0x12;  // NOP
  C.PC = 0x3000;
  C.Step();
  EXPECT_EQ(C.PC, 0x3001);
  EXPECT_EQ(C.IoReads.size(), 1u);
}

TEST_F(CpuTest, WordAccessWrapsAtFFFF) {
  C.WriteWord(0xFFFF, 0xABCD);
  EXPECT_EQ(Mem(0xFFFF), 0xAB);
  EXPECT_EQ(Mem(0x0000), 0xCD);
  EXPECT_EQ(C.ReadWord(0xFFFF), 0xABCD);
}

TEST_F(CpuTest, OpcodeAtFFFFTakesOperandFrom0000) {
  Poke(0xFFFF, {0x86});  // LDA #
  Poke(0x0000, {0x5C});
  C.PC = 0xFFFF;
  C.Step();
  EXPECT_EQ(C.A, 0x5C);
  EXPECT_EQ(C.PC, 0x0001);
}

TEST_F(CpuTest, DirectPageFFFFWordWraps) {
  C.DP = 0xFF;
  Poke(0xFFFF, {0x12});
  Poke(0x0000, {0x34});
  Run(0x1000, {0xDC, 0xFF});  // LDD <FF
  EXPECT_EQ(C.D(), 0x1234);
}

class LoadRomTest : public CpuTest {
 protected:
  std::filesystem::path Dir = std::filesystem::temp_directory_path() /
                              ("quillon_core_rom_" + std::to_string(::getpid()));
  void SetUp() override {
    CpuTest::SetUp();
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
  std::string Write(const std::string& name, size_t size) {
    std::string path = (Dir / name).string();
    std::ofstream f(path, std::ios::binary);
    for (size_t i = 0; i < size; ++i) f.put(static_cast<char>(i + 1));
    return path;
  }
};

TEST_F(LoadRomTest, MissingEmptyAndShortFiles) {
  C.Bank[0][0x8000] = 0xEE;
  EXPECT_EQ(C.LoadRom((Dir / "absent.dat").string(), 0x8000, 16), 1);
  EXPECT_EQ(C.Bank[0][0x8000], 0xEE);
  EXPECT_EQ(C.LoadRom(Dir.string(), 0x8000, 16), 1);  // a directory
  EXPECT_EQ(C.Bank[0][0x8000], 0xEE);
  // A FIFO would block the open for ever; it is refused at once.
  ASSERT_EQ(::mkfifo((Dir / "fifo.dat").c_str(), 0600), 0);
  EXPECT_EQ(C.LoadRom((Dir / "fifo.dat").string(), 0x8000, 16), 1);
  EXPECT_EQ(C.Bank[0][0x8000], 0xEE);

  EXPECT_EQ(C.LoadRom(Write("empty.dat", 0), 0x8000, 16), 0);
  EXPECT_EQ(C.Bank[0][0x8000], 0xEE);

  C.Bank[0][0x8004] = 0xEE;
  EXPECT_EQ(C.LoadRom(Write("short.dat", 4), 0x8000, 16), 0);
  EXPECT_EQ(C.Bank[0][0x8000], 1);
  EXPECT_EQ(C.Bank[0][0x8003], 4);
  EXPECT_EQ(C.Bank[0][0x8004], 0xEE);
}

TEST_F(LoadRomTest, LoadsBankZeroWhateverTheTypeAndStopsAtCount) {
  C.InitCpu(0);
  C.BankSelect = 1;
  EXPECT_EQ(C.LoadRom(Write("img.dat", 64), 0xFE00, 32), 0);
  EXPECT_EQ(C.Bank[0][0xFE00], 1);
  EXPECT_EQ(C.Bank[0][0xFE1F], 32);
  EXPECT_EQ(C.Bank[0][0xFE20], 0);
}

TEST_F(LoadRomTest, CountPastTheEndIsCutAtTheBank) {
  C.Bank[1][0x0000] = 0x77;
  EXPECT_EQ(C.LoadRom(Write("big.dat", 64), 0xFFF0, 64), 0);
  EXPECT_EQ(C.Bank[0][0xFFFF], 16);
  EXPECT_EQ(C.Bank[0][0x0000], 0);  // nothing wrapped round
  EXPECT_EQ(C.Bank[1][0x0000], 0x77);
}

}  // namespace
