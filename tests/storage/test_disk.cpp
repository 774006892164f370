// Virtual disk images: sector addressing through the track table, size
// codes, short and garbage files, write protection and write-through.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ImageBuilder.h"
#include "Vfd.h"

using namespace storage_test;

TEST(Disk, SectorAddressingAndSizeCodes) {
  TDiskImage image = TDiskImage::Standard();
  const uint8_t codes[] = {0, 2, 3, 4, 5, 0xFF};
  const int sizes[] = {128, 512, 0, 1024, -1, -1};
  for (int i = 0; i < 6; ++i) image.AddTrack(i, 1, codes[i], sizes[i] < 0 ? 8 : sizes[i], 3);
  TScratch scratch;
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(2, scratch.Write("std.vfd", image.Bytes)));

  struct Case { int t, h, s, size; uint8_t idCode; };
  const Case cases[] = {
      {0, 0, 1, 256, 1}, {0, 0, 16, 256, 1}, {39, 1, 16, 256, 1}, {17, 0, 9, 256, 1},
      {0, 1, 3, 128, 0}, {1, 1, 3, 512, 2}, {2, 1, 3, 0, 3}, {3, 1, 3, 1024, 3},
      {4, 1, 1, -1, 0},  {5, 1, 1, -1, 0},  {0, 0, 17, -1, 0}, {0, 0, 0, -1, 0},
      {40, 0, 1, -1, 0}, {0, 2, 1, -1, 0},  {-1, 0, 1, -1, 0}, {3, 1, 4, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "t=" << c.t << " h=" << c.h << " s=" << c.s);
    std::memset(vfd.DiskBuffer, 0xEE, sizeof vfd.DiskBuffer);
    int size = -7;
    uint8_t id[6] = {};
    EXPECT_EQ(vfd.SectorSize(2, c.t, c.h, c.s), c.size);
    if (c.size < 0) {
      EXPECT_EQ(vfd.ReadSector(2, c.t, c.h, c.s, &size), DISK_NO_SECTOR);
      EXPECT_EQ(vfd.WriteSector(2, c.t, c.h, c.s), DISK_NO_SECTOR);
      EXPECT_EQ(vfd.ReadId(2, c.t, c.h, c.s, id), DISK_NO_SECTOR);
      EXPECT_EQ(vfd.DiskBuffer[0], 0xEE);
      continue;
    }
    ASSERT_EQ(vfd.ReadSector(2, c.t, c.h, c.s, &size), DISK_OK);
    EXPECT_EQ(size, c.size);
    for (int i = 0; i < size; ++i) ASSERT_EQ(vfd.DiskBuffer[i], SectorByte(c.t, c.h, c.s, i));
    if (size < TVfd::BufferBytes) {
      EXPECT_EQ(vfd.DiskBuffer[size], 0xEE);
    }
    ASSERT_EQ(vfd.ReadId(2, c.t, c.h, c.s, id), DISK_OK);
    EXPECT_EQ(std::vector<int>(id, id + 4), (std::vector<int>{c.t, c.h, c.s, c.idCode}));
    EXPECT_LT(id[5], 0x80);  // a 15-bit number, low byte first
  }
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 1), DISK_NOT_READY);  // other drives stay empty
}

// Cuts of a standard image at many lengths: the table entries the file does
// not hold are cleared (even over a bigger image mounted before), and every
// read gives exactly the bytes the file has, over the buffer's old contents.
TEST(Disk, TruncatedImagesReadWhatIsThere) {
  TScratch scratch;
  const std::vector<uint8_t> full = TDiskImage::Standard().Bytes;
  std::mt19937 rng(1234);
  std::vector<size_t> lengths = {0, 5, 6, 7, 479, 480, 481, 735, 736, 737};
  for (int i = 0; i < 100; ++i) lengths.push_back(rng() % full.size());
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(0, scratch.Write("full.vfd", full)));
  for (size_t length : lengths) {
    SCOPED_TRACE(length);
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(length));
    ASSERT_TRUE(vfd.MountDisk(0, scratch.Write("cut.vfd", cut)));
    for (int k = 0; k < 30; ++k) {
      const int t = static_cast<int>(rng() % 40), h = static_cast<int>(rng() % 2);
      const int s = 1 + static_cast<int>(rng() % 16);
      const bool listed = 6 * (2 * t + h) + 6 <= static_cast<int>(length);
      uint8_t before[TVfd::BufferBytes];
      for (auto& b : before) b = static_cast<uint8_t>(rng());
      std::memcpy(vfd.DiskBuffer, before, sizeof before);
      ASSERT_EQ(vfd.ReadSector(0, t, h, s), listed ? DISK_OK : DISK_NO_SECTOR);
      const size_t at = TDiskImage::StandardOffset(t, h, s);
      for (size_t i = 0; i < TVfd::BufferBytes; ++i) {
        const bool there = listed && i < 256 && at + i < cut.size();
        ASSERT_EQ(vfd.DiskBuffer[i], there ? cut[at + i] : before[i]) << i;
      }
    }
  }
}

TEST(Disk, WritesAreProtectedFirstThenWrittenThrough) {
  TScratch scratch;
  TVfd vfd;
  vfd.DiskWriteProtect[0] = 1;  // set on an empty drive, kept over the mount
  TDiskImage image = TDiskImage::Standard();
  image.SetEntry(39, 1, 480 + 80 * 16 * 256 + 1000, 1, 2);  // beyond the end
  const std::string path = scratch.Write("w.vfd", image.Bytes);
  ASSERT_TRUE(vfd.MountDisk(0, path));
  for (int i = 0; i < 256; ++i) vfd.DiskBuffer[i] = static_cast<uint8_t>(255 - i);
  for (auto [t, s] : {std::pair{0, 1}, {45, 1}, {0, 99}})
    EXPECT_EQ(vfd.WriteSector(0, t, 0, s), DISK_WRITE_PROTECTED);
  EXPECT_EQ(TScratch::Read(path), image.Bytes);

  vfd.DiskWriteProtect[0] = 0;
  EXPECT_EQ(vfd.WriteSector(0, 45, 0, 1), DISK_NO_SECTOR);
  ASSERT_EQ(vfd.WriteSector(0, 12, 1, 7), DISK_OK);
  // Read through another handle while the image is still mounted.
  std::vector<uint8_t> now = TScratch::Read(path);
  const size_t at = TDiskImage::StandardOffset(12, 1, 7);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(now[at + i], 255 - i);
  EXPECT_EQ(now[at - 1], image.Bytes[at - 1]);
  EXPECT_EQ(now[at + 256], image.Bytes[at + 256]);
  // Writing past the end extends the file.
  ASSERT_EQ(vfd.WriteSector(0, 39, 1, 2), DISK_OK);
  EXPECT_EQ(TScratch::Read(path).size(), image.Bytes.size() + 1000 + 512);
}

TEST(Disk, MountRefusesWhatIsNotAPlainFile) {
  TScratch scratch;
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(0, scratch.Write("ok.vfd", TDiskImage::Standard().Bytes)));
  std::filesystem::create_directory(scratch.Path("dir.vfd"));
  ASSERT_EQ(::mkfifo(scratch.Path("pipe.vfd").c_str(), 0600), 0);  // would block a read
  for (const char* name : {"missing.vfd", "", "dir.vfd", "pipe.vfd"}) {
    EXPECT_FALSE(vfd.MountDisk(0, scratch.Path(name))) << name;
    EXPECT_EQ(vfd.DiskMounted[0].load(), 0u);  // the old image is gone too
    EXPECT_EQ(vfd.ReadSector(0, 0, 0, 1), DISK_NOT_READY);
  }
  EXPECT_FALSE(vfd.MountDisk(4, scratch.Path("ok.vfd")));
}

// An image whose file starts failing (here: writes refused, reads still
// fine) fails every later access of that drive, whatever the sector, until
// an image is mounted again.
TEST(Disk, AFailedImageStaysFailedUntilMountedAgain) {
  TScratch scratch;
  TVfd vfd;
  const std::string path = scratch.Write("f.vfd", TDiskImage::Standard().Bytes);
  ASSERT_TRUE(vfd.MountDisk(1, path));
  const int readOnly = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(readOnly, 0);
  ASSERT_GE(::dup2(readOnly, vfd.DiskFile[1]), 0);
  ::close(readOnly);
  ASSERT_EQ(vfd.WriteSector(1, 0, 0, 1), DISK_FILE_ERROR);
  uint8_t id[6] = {};
  for (auto [t, s] : {std::pair{0, 1}, {3, 16}, {0, 17}, {45, 1}}) {
    SCOPED_TRACE(testing::Message() << t << "/" << s);
    EXPECT_EQ(vfd.ReadSector(1, t, 0, s), DISK_FILE_ERROR);
    EXPECT_EQ(vfd.WriteSector(1, t, 0, s), DISK_FILE_ERROR);
    EXPECT_EQ(vfd.ReadId(1, t, 0, s, id), DISK_FILE_ERROR);
    EXPECT_EQ(vfd.SectorSize(1, t, 0, s), -1);
  }
  ASSERT_TRUE(vfd.MountDisk(1, path));
  EXPECT_EQ(vfd.ReadSector(1, 0, 0, 1), DISK_OK);
  EXPECT_EQ(vfd.ReadId(1, 0, 0, 17, id), DISK_NO_SECTOR);
}

// Thousands of files of random bytes and lengths: every operation over the
// whole address range gives a defined status and stays inside the buffer
// (the sanitizer build checks the second part).
TEST(Disk, GarbageImagesNeverMisbehave) {
  TScratch scratch;
  std::mt19937 rng(99);
  TVfd vfd;
  for (int n = 0; n < 2000; ++n) {
    const int d = n % 4;
    std::vector<uint8_t> bytes(rng() % 3000);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    const bool writable = n % 2 == 0;
    for (size_t e = 0; writable && e + 6 <= std::min<size_t>(bytes.size(), 480); e += 6)
      bytes[e + 2] = bytes[e + 3] = 0;  // modest offsets: writes stay small
    ASSERT_TRUE(vfd.MountDisk(d, scratch.Write("g.vfd", bytes)));
    vfd.DiskWriteProtect[d] = writable ? 0 : 1;
    for (int k = 0; k < 40; ++k) {
      const int t = static_cast<int>(rng() % 44) - 2, h = static_cast<int>(rng() % 3);
      const int s = static_cast<int>(rng() % 260);
      const int size = vfd.SectorSize(d, t, h, s);
      const uint16_t found = size >= 0 ? DISK_OK : DISK_NO_SECTOR;
      const uint16_t written = writable ? found : static_cast<uint16_t>(DISK_WRITE_PROTECTED);
      ASSERT_TRUE(size == -1 || size == 0 || size == 128 || size == 256 || size == 512 || size == 1024);
      ASSERT_EQ(vfd.ReadSector(d, t, h, s), found);
      ASSERT_EQ(vfd.WriteSector(d, t, h, s), written);
      uint8_t id[6];
      ASSERT_EQ(vfd.ReadId(d, t, h, s, id), found);
    }
  }
}
