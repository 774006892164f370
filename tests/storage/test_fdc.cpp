// The disk controller registers FD18-FD1F: seek and step, sector read and
// write through the data register, read address, status bits and request
// lines, drive selection in the middle of a transfer.
#include <gtest/gtest.h>

#include "StorageMachine.h"

using namespace storage_test;

namespace {

enum : uint8_t { STATUS = 0x18, TRACK = 0x19, SECTOR = 0x1A, DATA = 0x1B, SIDE = 0x1C, DRIVE = 0x1D, LATCH = 0x1E, LINES = 0x1F };

class Fdc : public testing::Test {
 protected:
  TStorageMachine M;
  void Seek(int track) {
    M.Out(DATA, static_cast<uint8_t>(track));
    M.Out(STATUS, 0x10);
  }
  // Status and request lines as one number, e.g. 0x0380 while a transfer runs.
  int Lines() { return M.In(STATUS) << 8 | M.In(LINES); }
};

}  // namespace

TEST_F(Fdc, SeekStepAndRestore) {
  M.MountStandard(0);
  // Command, then head and track register. Starts from a seek to 12.
  const int steps[][3] = {
      {0x50, 13, 13}, {0x20, 14, 13}, {0x60, 13, 13}, {0x30, 12, 12}, {0x6F, 11, 12},
      {0x10, 39, 39}, {0x50, 39, 39},  // seek to 39 (data register below), stay
      {0x10, 45, 45}, {0x50, 39, 39},  // a seek is unchecked; steps clamp
      {0x03, 0, 0},   {0x70, 0, 0},    // restore; step out stays at 0
  };
  Seek(12);
  EXPECT_EQ(Lines(), 0x0040);  // type I: no track-0 or index bits
  for (auto [command, head, track] : steps) {
    if (command == 0x10) M.Out(DATA, static_cast<uint8_t>(head));
    M.Out(STATUS, static_cast<uint8_t>(command));
    EXPECT_EQ(M.Fdc.HeadTrack[0], head) << std::hex << command;
    EXPECT_EQ(M.In(TRACK), track) << std::hex << command;
  }
  EXPECT_EQ(M.In(DATA), 0);  // restore cleared it
}

TEST_F(Fdc, ReadSectorTransfer) {
  M.MountStandard(0);
  Seek(5);
  M.Out(STATUS, 0x60);  // step out without update: head 4, track register 5
  M.Out(SECTOR, 16);
  M.Out(SIDE, 0xFF);    // only bit 0 counts
  M.Out(STATUS, 0x88);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(Lines(), 0x0380) << i;
    ASSERT_EQ(M.In(DATA), SectorByte(4, 1, 16, i)) << i;
  }
  EXPECT_EQ(Lines(), 0x0040);
  EXPECT_EQ(M.In(DATA), 5);  // outside a transfer: the data register again

  // Missing sector, and a seek beyond the disk: record not found at once;
  // the result stays until the next command.
  M.Out(SECTOR, 17);
  M.Out(STATUS, 0x80);
  EXPECT_EQ(Lines(), 0x1040);
  Seek(45);
  M.Out(SECTOR, 1);
  M.Out(STATUS, 0x80);
  EXPECT_EQ(Lines(), 0x1040);
  M.Out(STATUS, 0xD0);
  EXPECT_EQ(Lines(), 0x0040);
}

TEST_F(Fdc, WriteSectorTransfer) {
  const std::string path = M.MountStandard(1);
  M.Out(DRIVE, 1);
  Seek(2);
  M.Out(SECTOR, 30);
  M.Out(STATUS, 0x80);  // fails: its result must not show during the write
  M.Out(SECTOR, 9);
  M.Out(STATUS, 0xA0);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(Lines(), 0x0380) << i;
    M.Out(DATA, static_cast<uint8_t>(i ^ 0x3C));
  }
  EXPECT_EQ(Lines(), 0x0040);
  const std::vector<uint8_t> file = TScratch::Read(path);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(file[TDiskImage::StandardOffset(2, 0, 9) + i], i ^ 0x3C);

  // Protected: every byte is taken, then write protect, file unchanged.
  M.Vfd.DiskWriteProtect[1] = 1;
  M.Out(STATUS, 0xA0);
  for (int i = 0; i < 256; ++i) M.Out(DATA, 0);
  EXPECT_EQ(Lines(), 0x4040);
  EXPECT_EQ(TScratch::Read(path), file);
}

TEST_F(Fdc, ReadAddress) {
  TDiskImage image;
  image.AddTrack(7, 1, 4, 1024, 3);
  M.Vfd.MountDisk(0, M.Scratch.Write("id.vfd", image.Bytes));
  Seek(7);
  M.Out(SIDE, 1);
  M.Out(SECTOR, 2);
  M.Out(STATUS, 0xC0);
  std::vector<int> id;
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Lines(), 0x0380);
    id.push_back(M.In(DATA));
  }
  EXPECT_EQ(Lines(), 0x0040);
  EXPECT_EQ(std::vector<int>(id.begin(), id.begin() + 4), (std::vector<int>{7, 1, 2, 3}));
  EXPECT_EQ(M.In(SECTOR), 7);  // the track number lands in the sector register
  M.Out(SECTOR, 4);
  M.Out(STATUS, 0xC4);
  EXPECT_EQ(Lines(), 0x1040);
}

TEST_F(Fdc, DriveSelectionAndEmptyDrives) {
  const std::string b = M.MountStandard(1, "b.vfd");
  M.MountStandard(0, "a.vfd");
  M.Out(SECTOR, 1);
  M.Out(STATUS, 0x80);
  M.In(DATA);
  M.Out(DRIVE, 0);  // the same drive: the transfer goes on
  EXPECT_EQ(M.In(DATA), SectorByte(0, 0, 1, 1));
  M.Out(DRIVE, 0x05);  // drive 1: the transfer ends
  EXPECT_EQ(M.In(DRIVE), 0x81);
  EXPECT_EQ(Lines(), 0x0040);
  // A write cut short by a drive change writes nothing.
  const std::vector<uint8_t> before = TScratch::Read(b);
  M.Out(SECTOR, 1);
  M.Out(STATUS, 0xA0);
  for (int i = 0; i < 255; ++i) M.Out(DATA, 0xEE);
  M.Out(DRIVE, 2);
  M.Out(DRIVE, 1);
  M.Out(DATA, 0xEE);
  EXPECT_EQ(TScratch::Read(b), before);

  // Drive 2 is empty: not ready, register writes ignored, no transfers.
  M.Out(DRIVE, 2);
  for (uint8_t r : {TRACK, SECTOR, DATA, SIDE}) M.Out(r, 1);
  for (uint8_t r : {TRACK, SECTOR, DATA, SIDE}) EXPECT_EQ(M.In(r), 0) << int(r);
  for (uint8_t command : {0x80, 0xA0, 0xC0}) {
    M.Out(STATUS, command);
    EXPECT_EQ(Lines(), 0x8000) << int(command);
  }
  // The latch.
  EXPECT_EQ(M.In(LATCH), 0xBF);
  M.Out(LATCH, 0x40);
  EXPECT_EQ(M.In(LATCH), 0xFF);
}

TEST_F(Fdc, SectorOfNoBytesEndsAtOnce) {
  TDiskImage image;
  image.AddTrack(0, 0, 3, 0, 4);  // size code 3: no bytes
  M.Vfd.MountDisk(0, M.Scratch.Write("zero.vfd", image.Bytes));
  M.Out(SECTOR, 2);
  M.Out(STATUS, 0x80);
  EXPECT_EQ(Lines(), 0x0040);
}
