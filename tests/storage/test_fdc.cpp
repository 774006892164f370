// The disk controller registers FD18-FD1F: seek and step, sector read and
// write through the data register, read address, status bits and request
// lines, drive selection in the middle of a transfer.
#include <gtest/gtest.h>

#include <cstring>

#include "StorageMachine.h"

using namespace storage_test;

namespace {

enum : uint8_t {
  STATUS = 0x18, COMMAND = 0x18, TRACK = 0x19, SECTOR = 0x1A, DATA = 0x1B,
  SIDE = 0x1C, DRIVE = 0x1D, LATCH = 0x1E, LINES = 0x1F,
};

class Fdc : public testing::Test {
 protected:
  TStorageMachine M;
  void Seek(int track) {
    M.Out(DATA, static_cast<uint8_t>(track));
    M.Out(COMMAND, 0x10);
  }
};

}  // namespace

TEST_F(Fdc, SeekAndStepMoveHeadAndTrackRegister) {
  M.MountStandard(0);
  Seek(12);
  EXPECT_EQ(M.Fdc.HeadTrack[0], 12);
  EXPECT_EQ(M.In(TRACK), 12);
  EXPECT_EQ(M.In(STATUS), 0x00);  // type I: no track-0 or index bits
  EXPECT_EQ(M.In(LINES), 0x40);

  struct Step { uint8_t command; int head, track; };
  // From 12/12: step in with update, plain step (same direction) without,
  // step out without update, step with update (now outwards).
  const Step steps[] = {
      {0x50, 13, 13}, {0x20, 14, 13}, {0x60, 13, 13}, {0x30, 12, 12},
      {0x6F, 11, 12},  // low bits (rate, verify) ignored
  };
  for (const Step& s : steps) {
    M.Out(COMMAND, s.command);
    EXPECT_EQ(M.Fdc.HeadTrack[0], s.head) << std::hex << int(s.command);
    EXPECT_EQ(M.In(TRACK), s.track) << std::hex << int(s.command);
  }
  // Steps never leave 0-39.
  Seek(39);
  M.Out(COMMAND, 0x50);
  EXPECT_EQ(M.Fdc.HeadTrack[0], 39);
  EXPECT_EQ(M.In(TRACK), 39);
  Seek(0);
  M.Out(COMMAND, 0x70);
  EXPECT_EQ(M.Fdc.HeadTrack[0], 0);
  EXPECT_EQ(M.In(TRACK), 0);
  // Restore clears head, track and data registers.
  Seek(7);
  M.Out(COMMAND, 0x03);
  EXPECT_EQ(M.Fdc.HeadTrack[0], 0);
  EXPECT_EQ(M.In(TRACK), 0);
  EXPECT_EQ(M.In(DATA), 0);
}

TEST_F(Fdc, StepOutWithoutUpdateReadsTheHeadsTrack) {
  M.MountStandard(0);
  Seek(5);
  M.Out(COMMAND, 0x60);
  EXPECT_EQ(M.In(TRACK), 5);
  M.Out(SECTOR, 3);
  M.Out(SIDE, 1);
  M.Out(COMMAND, 0x80);
  EXPECT_EQ(M.In(DATA), SectorByte(4, 1, 3, 0));
}

TEST_F(Fdc, SeekBeyondTheDiskIsAcceptedAndReadFindsNothing) {
  M.MountStandard(0);
  Seek(45);
  EXPECT_EQ(M.Fdc.HeadTrack[0], 45);
  M.Out(SECTOR, 1);
  M.Out(COMMAND, 0x80);
  EXPECT_EQ(M.Fdc.FdcMode, 0);
  EXPECT_EQ(M.In(STATUS), 0x10);  // record not found
  EXPECT_EQ(M.In(LINES), 0x40);
}

TEST_F(Fdc, ReadSectorDeliversEveryByteThenEnds) {
  M.MountStandard(0);
  Seek(20);
  M.Out(SECTOR, 16);
  M.Out(SIDE, 0xFF);  // only bit 0 counts
  EXPECT_EQ(M.In(SIDE), 1);
  M.Out(COMMAND, 0x88);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(M.In(STATUS), 0x03) << i;
    ASSERT_EQ(M.In(LINES), 0x80) << i;
    ASSERT_EQ(M.In(DATA), SectorByte(20, 1, 16, i)) << i;
  }
  EXPECT_EQ(M.In(STATUS), 0x00);
  EXPECT_EQ(M.In(LINES), 0x40);
  // Outside a transfer the data register is the register again.
  EXPECT_EQ(M.In(DATA), 20);
}

TEST_F(Fdc, ReadOfAMissingSectorEndsAtOnce) {
  M.MountStandard(0);
  M.Out(SECTOR, 17);
  M.Out(COMMAND, 0x80);
  EXPECT_EQ(M.Fdc.FdcMode, 0);
  EXPECT_EQ(M.In(STATUS), 0x10);
  EXPECT_EQ(M.In(LINES), 0x40);
  // The result stays until the next command.
  M.Out(COMMAND, 0xD0);
  EXPECT_EQ(M.In(STATUS), 0x00);
}

TEST_F(Fdc, WriteSectorCollectsBytesThenWrites) {
  const std::string path = M.MountStandard(1);
  M.Out(DRIVE, 1);
  Seek(2);
  M.Out(SECTOR, 9);
  M.Out(COMMAND, 0xA0);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(M.In(STATUS), 0x03);
    ASSERT_EQ(M.In(LINES), 0x80);
    M.Out(DATA, static_cast<uint8_t>(i ^ 0x3C));
  }
  EXPECT_EQ(M.In(STATUS), 0x00);
  EXPECT_EQ(M.In(LINES), 0x40);
  const std::vector<uint8_t> file = TScratch::Read(path);
  const size_t at = 480 + (2 * 2 + 0) * 16 * 256 + 8 * 256;
  for (int i = 0; i < 256; ++i) ASSERT_EQ(file[at + i], i ^ 0x3C);
}

TEST_F(Fdc, WriteToProtectedDriveTakesBytesAndReportsProtection) {
  const std::string path = M.MountStandard(0);
  const std::vector<uint8_t> before = TScratch::Read(path);
  M.Vfd.DiskWriteProtect[0] = 1;
  M.Out(SECTOR, 1);
  M.Out(COMMAND, 0xA0);
  for (int i = 0; i < 256; ++i) M.Out(DATA, 0);
  EXPECT_EQ(M.In(STATUS), 0x40);
  EXPECT_EQ(TScratch::Read(path), before);
}

TEST_F(Fdc, WriteDoesNotShowThePreviousCommandsError) {
  M.MountStandard(0);
  M.Out(SECTOR, 30);
  M.Out(COMMAND, 0x80);
  EXPECT_EQ(M.In(STATUS), 0x10);
  M.Out(SECTOR, 1);
  M.Out(COMMAND, 0xA0);
  EXPECT_EQ(M.In(STATUS), 0x03);
}

TEST_F(Fdc, ReadAddressGivesTheIdFieldAndSetsTheSectorRegister) {
  TDiskImage image;
  image.AddTrack(7, 1, 4, 1024, 3);  // 1024-byte sectors: ID code 3
  M.Vfd.MountDisk(0, M.Scratch.Write("id.vfd", image.Bytes));
  Seek(7);
  M.Out(SIDE, 1);
  M.Out(SECTOR, 2);
  M.Out(COMMAND, 0xC0);
  EXPECT_EQ(M.In(STATUS), 0x03);
  uint8_t id[6];
  for (auto& b : id) b = M.In(DATA);
  EXPECT_EQ(id[0], 7);
  EXPECT_EQ(id[1], 1);
  EXPECT_EQ(id[2], 2);
  EXPECT_EQ(id[3], 3);
  EXPECT_LT(id[5], 0x80);
  EXPECT_EQ(M.In(STATUS), 0x00);
  EXPECT_EQ(M.In(SECTOR), 7);  // the track number lands in the sector register
  // The head is not over a track with that sector: record not found.
  M.Out(SECTOR, 4);
  M.Out(COMMAND, 0xC4);
  EXPECT_EQ(M.In(STATUS), 0x10);
}

TEST_F(Fdc, ChangingDriveMidTransferEndsIt) {
  M.MountStandard(0, "a.vfd");
  M.MountStandard(1, "b.vfd");
  M.Out(SECTOR, 1);
  M.Out(COMMAND, 0x80);
  M.In(DATA);
  M.Out(DRIVE, 0);  // the same drive: the transfer goes on
  EXPECT_EQ(M.In(STATUS), 0x03);
  EXPECT_EQ(M.In(DATA), SectorByte(0, 0, 1, 1));
  M.Out(DRIVE, 0x05);  // drive 1 (bits 0-1)
  EXPECT_EQ(M.In(DRIVE), 0x81);
  EXPECT_EQ(M.Fdc.FdcMode, 0);
  EXPECT_EQ(M.In(STATUS), 0x00);
  EXPECT_EQ(M.In(LINES), 0x40);

  // A write cut short by a drive change writes nothing.
  const std::vector<uint8_t> before = TScratch::Read(M.Scratch.Path("b.vfd"));
  M.Out(SECTOR, 1);
  M.Out(COMMAND, 0xA0);
  for (int i = 0; i < 255; ++i) M.Out(DATA, 0xEE);
  M.Out(DRIVE, 0);
  M.Out(DRIVE, 1);
  M.Out(DATA, 0xEE);
  EXPECT_EQ(TScratch::Read(M.Scratch.Path("b.vfd")), before);
  // Each drive keeps its own registers.
  M.Out(TRACK, 33);
  M.Out(DRIVE, 0);
  EXPECT_NE(M.In(TRACK), 33);
}

TEST_F(Fdc, EmptyDriveIsNotReadyAndIgnoresRegisterWrites) {
  EXPECT_EQ(M.In(STATUS), 0x80);
  EXPECT_EQ(M.In(LINES), 0x00);
  M.Out(TRACK, 9);
  M.Out(SECTOR, 9);
  M.Out(DATA, 9);
  M.Out(SIDE, 1);
  EXPECT_EQ(M.In(TRACK), 0);
  EXPECT_EQ(M.In(SECTOR), 0);
  EXPECT_EQ(M.In(DATA), 0);
  EXPECT_EQ(M.In(SIDE), 0);
  // Read, write and read address start no transfer.
  for (uint8_t command : {0x80, 0xA0, 0xC0}) {
    M.Out(COMMAND, command);
    EXPECT_EQ(M.Fdc.FdcMode, 0) << int(command);
    EXPECT_EQ(M.In(STATUS), 0x80) << int(command);
    EXPECT_EQ(M.In(LINES), 0x00) << int(command);
  }
}

TEST_F(Fdc, SectorOfNoBytesEndsTheTransferAtOnce) {
  TDiskImage image;
  image.AddTrack(0, 0, 3, 0, 4);  // size code 3: sectors of no bytes
  M.Vfd.MountDisk(0, M.Scratch.Write("zero.vfd", image.Bytes));
  M.Out(SECTOR, 2);
  M.Out(COMMAND, 0x80);
  EXPECT_EQ(M.Fdc.FdcMode, 0);
  EXPECT_EQ(M.In(STATUS), 0x00);
  EXPECT_EQ(M.In(LINES), 0x40);
}

TEST_F(Fdc, LatchAndDriveRegisters) {
  EXPECT_EQ(M.In(LATCH), 0xBF);
  M.Out(LATCH, 0x40);
  EXPECT_EQ(M.In(LATCH), 0xFF);
  M.Out(LATCH, 0xBF);
  EXPECT_EQ(M.In(LATCH), 0xBF);
  EXPECT_EQ(M.In(DRIVE), 0x80);
  M.Out(DRIVE, 3);
  EXPECT_EQ(M.In(DRIVE), 0x83);
  // The neighbours of the controller are not its registers.
  EXPECT_EQ(M.In(0x17), 0xFF);
  EXPECT_EQ(M.In(0x24), 0xFF);
}
