// Virtual disk images: sector addressing through the track table, size
// codes, short and garbage files, write protection and write-through.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <random>

#include <sys/resource.h>
#include <sys/stat.h>

#include "Vfd.h"
#include "ImageBuilder.h"

using namespace storage_test;

namespace {

bool BufferHoldsSector(const TVfd& vfd, int t, int h, int s, int size) {
  for (int i = 0; i < size; ++i)
    if (vfd.DiskBuffer[i] != SectorByte(t, h, s, i)) return false;
  return true;
}

}  // namespace

TEST(Disk, StandardImageAddressesEverySectorByTable) {
  TScratch scratch;
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(2, scratch.Write("std.vfd", TDiskImage::Standard().Bytes)));
  EXPECT_EQ(vfd.DiskMounted[2].load(), 1u);
  EXPECT_EQ(vfd.TrackTable[2][0][0].Offset, 480u);
  EXPECT_EQ(vfd.TrackTable[2][0][1].Offset, 480u + 16 * 256);

  struct Case { int t, h, s; uint16_t status; };
  const Case cases[] = {
      {0, 0, 1, DISK_OK},        {0, 0, 16, DISK_OK},      {0, 1, 1, DISK_OK},
      {39, 1, 16, DISK_OK},      {17, 0, 9, DISK_OK},      {0, 0, 17, DISK_NO_SECTOR},
      {0, 0, 0, DISK_NO_SECTOR}, {40, 0, 1, DISK_NO_SECTOR}, {255, 1, 1, DISK_NO_SECTOR},
      {0, 2, 1, DISK_NO_SECTOR}, {-1, 0, 1, DISK_NO_SECTOR}, {5, 0, 255, DISK_NO_SECTOR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "t=" << c.t << " h=" << c.h << " s=" << c.s);
    int size = -1;
    std::memset(vfd.DiskBuffer, 0xEE, sizeof vfd.DiskBuffer);
    EXPECT_EQ(vfd.ReadSector(2, c.t, c.h, c.s, &size), c.status);
    EXPECT_EQ(vfd.SectorSize(2, c.t, c.h, c.s), c.status == DISK_OK ? 256 : -1);
    if (c.status == DISK_OK) {
      EXPECT_EQ(size, 256);
      EXPECT_TRUE(BufferHoldsSector(vfd, c.t, c.h, c.s, 256));
      EXPECT_EQ(vfd.DiskBuffer[256], 0xEE);  // nothing beyond the sector
    } else {
      EXPECT_EQ(vfd.DiskBuffer[0], 0xEE);  // a missing sector reads nothing
    }
  }
  // The other drives stay empty.
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 1), DISK_NOT_READY);
  EXPECT_EQ(vfd.SectorSize(1, 0, 0, 1), -1);
  EXPECT_EQ(vfd.ReadSector(7, 0, 0, 1), DISK_NOT_READY);
}

TEST(Disk, SizeCodesGiveSizeOrMissingSector) {
  struct Case { uint8_t code; int size; uint8_t idCode; };
  const Case cases[] = {
      {0, 128, 0}, {1, 256, 1}, {2, 512, 2}, {3, 0, 3}, {4, 1024, 3},
      {5, -1, 0}, {6, -1, 0}, {0x80, -1, 0}, {0xFF, -1, 0},
  };
  TScratch scratch;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << int(c.code));
    TDiskImage image;
    image.AddTrack(3, 1, c.code, c.size < 0 ? 256 : c.size, 2);
    TVfd vfd;
    ASSERT_TRUE(vfd.MountDisk(0, scratch.Write("code.vfd", image.Bytes)));
    EXPECT_EQ(vfd.SectorSize(0, 3, 1, 2), c.size);
    std::memset(vfd.DiskBuffer, 0xEE, sizeof vfd.DiskBuffer);
    int size = -7;
    uint8_t id[6] = {};
    if (c.size < 0) {
      EXPECT_EQ(vfd.ReadSector(0, 3, 1, 2, &size), DISK_NO_SECTOR);
      EXPECT_EQ(vfd.WriteSector(0, 3, 1, 2), DISK_NO_SECTOR);
      EXPECT_EQ(vfd.ReadId(0, 3, 1, 2, id), DISK_NO_SECTOR);
      continue;
    }
    EXPECT_EQ(vfd.ReadSector(0, 3, 1, 2, &size), DISK_OK);
    EXPECT_EQ(size, c.size);
    EXPECT_TRUE(BufferHoldsSector(vfd, 3, 1, 2, c.size));
    if (c.size < TVfd::BufferBytes) {
      EXPECT_EQ(vfd.DiskBuffer[c.size], 0xEE);
    }
    ASSERT_EQ(vfd.ReadId(0, 3, 1, 2, id), DISK_OK);
    EXPECT_EQ(id[0], 3);
    EXPECT_EQ(id[1], 1);
    EXPECT_EQ(id[2], 2);
    EXPECT_EQ(id[3], c.idCode);
    EXPECT_LT(id[5], 0x80);  // a 15-bit number, low byte first
  }
}

TEST(Disk, ReadingPastTheEndKeepsBufferBytes) {
  TScratch scratch;
  TDiskImage image;
  image.AddTrack(0, 0, 1, 256, 1);
  image.SetEntry(0, 0, 480, 1, 4);     // claims 4 sectors, holds 1
  image.Bytes.resize(480 + 256 + 100);  // sector 2 is cut after 100 bytes
  for (int i = 0; i < 100; ++i) image.Bytes[480 + 256 + i] = static_cast<uint8_t>(0x40 + i);
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(0, scratch.Write("short.vfd", image.Bytes)));

  std::memset(vfd.DiskBuffer, 0xEE, sizeof vfd.DiskBuffer);
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 2), DISK_OK);
  EXPECT_EQ(vfd.DiskBuffer[0], 0x40);
  EXPECT_EQ(vfd.DiskBuffer[99], 0x40 + 99);
  EXPECT_EQ(vfd.DiskBuffer[100], 0xEE);
  EXPECT_EQ(vfd.DiskBuffer[255], 0xEE);

  // Sector 4 lies wholly beyond the end: success, buffer untouched.
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 4), DISK_OK);
  EXPECT_EQ(vfd.DiskBuffer[0], 0x40);
}

TEST(Disk, TableShorterThan480BytesIsClearedNotLeftOver) {
  TScratch scratch;
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(1, scratch.Write("std.vfd", TDiskImage::Standard().Bytes)));
  // A 10-byte file: entry 0 complete, entry 1 cut after its offset.
  std::vector<uint8_t> tiny = {0x00, 0x01, 0, 0, 1, 3, 0x34, 0x12, 0, 0};
  // Mounted without an unmount in between: the old table must not survive.
  ASSERT_TRUE(vfd.MountDisk(1, scratch.Write("tiny.vfd", tiny)));
  EXPECT_EQ(vfd.TrackTable[1][0][0].Offset, 256u);
  EXPECT_EQ(vfd.TrackTable[1][0][0].Sectors, 3);
  EXPECT_EQ(vfd.TrackTable[1][0][1].Sectors, 0);
  EXPECT_EQ(vfd.SectorSize(1, 0, 1, 1), -1);
  EXPECT_EQ(vfd.SectorSize(1, 20, 0, 1), -1);
  EXPECT_EQ(vfd.SectorSize(1, 0, 0, 3), 256);

  // An empty file mounts and has no sectors at all.
  ASSERT_TRUE(vfd.MountDisk(1, scratch.Write("empty.vfd", {})));
  for (int t = 0; t < 40; ++t)
    for (int h = 0; h < 2; ++h) EXPECT_EQ(vfd.SectorSize(1, t, h, 1), -1);
}

TEST(Disk, WriteProtectionComesFirstAndOutlivesMounting) {
  TScratch scratch;
  TVfd vfd;
  vfd.DiskWriteProtect[0] = 1;  // set on an empty drive
  EXPECT_EQ(vfd.WriteSector(0, 0, 0, 1), DISK_WRITE_PROTECTED);
  const std::vector<uint8_t> original = TDiskImage::Standard().Bytes;
  const std::string path = scratch.Write("p.vfd", original);
  ASSERT_TRUE(vfd.MountDisk(0, path));
  EXPECT_EQ(vfd.DiskWriteProtect[0].load(), 1u);
  std::memset(vfd.DiskBuffer, 0x55, sizeof vfd.DiskBuffer);
  EXPECT_EQ(vfd.WriteSector(0, 0, 0, 1), DISK_WRITE_PROTECTED);
  EXPECT_EQ(vfd.WriteSector(0, 45, 0, 1), DISK_WRITE_PROTECTED);
  EXPECT_EQ(vfd.WriteSector(0, 0, 0, 99), DISK_WRITE_PROTECTED);
  EXPECT_EQ(TScratch::Read(path), original);
  vfd.DiskWriteProtect[0] = 0;
  EXPECT_EQ(vfd.WriteSector(0, 45, 0, 1), DISK_NO_SECTOR);
}

TEST(Disk, WrittenSectorIsInTheFileBeforeTheCallReturns) {
  TScratch scratch;
  TVfd vfd;
  TDiskImage image = TDiskImage::Standard();
  const std::string path = scratch.Write("w.vfd", image.Bytes);
  ASSERT_TRUE(vfd.MountDisk(3, path));
  for (int i = 0; i < 256; ++i) vfd.DiskBuffer[i] = static_cast<uint8_t>(255 - i);
  ASSERT_EQ(vfd.WriteSector(3, 12, 1, 7), DISK_OK);
  // Read through an independent handle while the image is still mounted.
  const std::vector<uint8_t> now = TScratch::Read(path);
  const size_t at = 480 + (12 * 2 + 1) * 16 * 256 + 6 * 256;
  ASSERT_EQ(now.size(), image.Bytes.size());
  for (int i = 0; i < 256; ++i) ASSERT_EQ(now[at + i], 255 - i);
  // Neighbours untouched.
  EXPECT_EQ(now[at - 1], image.Bytes[at - 1]);
  EXPECT_EQ(now[at + 256], image.Bytes[at + 256]);
  // Reading the sector back gives the new bytes.
  std::memset(vfd.DiskBuffer, 0, sizeof vfd.DiskBuffer);
  EXPECT_EQ(vfd.ReadSector(3, 12, 1, 7), DISK_OK);
  EXPECT_EQ(vfd.DiskBuffer[0], 255);
}

TEST(Disk, WritingPastTheEndExtendsTheFile) {
  TScratch scratch;
  TDiskImage image;
  image.SetEntry(0, 0, 2000, 2, 2);  // 2 sectors of 512 bytes at 2000
  const std::string path = scratch.Write("x.vfd", image.Bytes);
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(0, path));
  std::memset(vfd.DiskBuffer, 0xA5, sizeof vfd.DiskBuffer);
  ASSERT_EQ(vfd.WriteSector(0, 0, 0, 2), DISK_OK);
  const std::vector<uint8_t> now = TScratch::Read(path);
  ASSERT_EQ(now.size(), 2000u + 1024u);
  EXPECT_EQ(now[2512], 0xA5);
  EXPECT_EQ(now[3023], 0xA5);
}

TEST(Disk, MountRefusesWhatIsNotAWritablePlainFile) {
  TScratch scratch;
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(0, scratch.Write("ok.vfd", TDiskImage::Standard().Bytes)));
  // A failed mount leaves the drive empty, whatever it held before.
  EXPECT_FALSE(vfd.MountDisk(0, scratch.Path("missing.vfd")));
  EXPECT_EQ(vfd.DiskMounted[0].load(), 0u);
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 1), DISK_NOT_READY);
  EXPECT_FALSE(vfd.MountDisk(0, ""));
  std::filesystem::create_directory(scratch.Path("dir.vfd"));
  EXPECT_FALSE(vfd.MountDisk(0, scratch.Path("dir.vfd")));
  // A named pipe would block a read forever; it is refused at once.
  ASSERT_EQ(::mkfifo(scratch.Path("pipe.vfd").c_str(), 0600), 0);
  EXPECT_FALSE(vfd.MountDisk(0, scratch.Path("pipe.vfd")));
  EXPECT_FALSE(vfd.MountDisk(4, scratch.Path("ok.vfd")));
  EXPECT_FALSE(vfd.MountDisk(-1, scratch.Path("ok.vfd")));
  if (::geteuid() != 0) {  // root may write any file
    const std::string ro = scratch.Write("ro.vfd", TDiskImage::Standard().Bytes);
    ::chmod(ro.c_str(), 0444);
    EXPECT_FALSE(vfd.MountDisk(0, ro));
  }
}

TEST(Disk, UnmountAllClosesEveryDrive) {
  TScratch scratch;
  TVfd vfd;
  const std::string path = scratch.Write("a.vfd", TDiskImage::Standard().Bytes);
  for (int d = 0; d < 4; ++d) ASSERT_TRUE(vfd.MountDisk(d, path));
  vfd.DiskWriteProtect[2] = 1;
  vfd.UnmountAllDisks();
  for (int d = 0; d < 4; ++d) {
    EXPECT_EQ(vfd.DiskMounted[d].load(), 0u);
    EXPECT_EQ(vfd.DiskFile[d], -1);
  }
  EXPECT_EQ(vfd.DiskWriteProtect[2].load(), 1u);  // a drive setting, kept
}

// A host write error (here: the file-size limit) is reported as a file
// error, and every later access of the drive too, until it is remounted.
TEST(Disk, FileErrorSticksUntilRemount) {
  TScratch scratch;
  TDiskImage image = TDiskImage::Standard();
  image.SetEntry(5, 0, 8u << 20, 1, 16);  // track 5 side 0 lies at 8 MiB
  const std::string path = scratch.Write("e.vfd", image.Bytes);
  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(0, path));

  struct sigaction ignore = {}, old = {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &old);
  struct rlimit saved;
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit limited = saved;
  limited.rlim_cur = 1u << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const uint16_t status = vfd.WriteSector(0, 5, 0, 1);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &old, nullptr);

  EXPECT_EQ(status, DISK_FILE_ERROR);
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 1), DISK_FILE_ERROR);
  EXPECT_EQ(vfd.WriteSector(0, 0, 0, 1), DISK_FILE_ERROR);
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 17), DISK_NO_SECTOR);
  ASSERT_TRUE(vfd.MountDisk(0, path));
  EXPECT_EQ(vfd.ReadSector(0, 0, 0, 1), DISK_OK);
}

// Truncations of a standard image at many lengths: every read returns
// exactly the bytes the file still has, over the buffer's old contents.
TEST(DiskRobustness, TruncatedImagesReadWhatIsThere) {
  TScratch scratch;
  const std::vector<uint8_t> full = TDiskImage::Standard().Bytes;
  std::mt19937 rng(1234);
  std::vector<size_t> lengths = {0, 1, 5, 6, 7, 100, 479, 480, 481, 735, 736, 737};
  for (int i = 0; i < 150; ++i) lengths.push_back(rng() % full.size());
  TVfd vfd;
  for (size_t length : lengths) {
    SCOPED_TRACE(testing::Message() << "length " << length);
    std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(length));
    ASSERT_TRUE(vfd.MountDisk(0, scratch.Write("cut.vfd", cut)));
    for (int k = 0; k < 20; ++k) {
      const int t = static_cast<int>(rng() % 40), h = static_cast<int>(rng() % 2);
      const int s = 1 + static_cast<int>(rng() % 16);
      const TTrackEntry& e = vfd.TrackTable[0][t][h];
      uint8_t before[TVfd::BufferBytes];
      for (auto& b : vfd.DiskBuffer) b = static_cast<uint8_t>(rng());
      std::memcpy(before, vfd.DiskBuffer, sizeof before);
      const uint16_t status = vfd.ReadSector(0, t, h, s);
      if (e.Sectors == 0) {
        ASSERT_EQ(status, DISK_NO_SECTOR);
        ASSERT_EQ(std::memcmp(before, vfd.DiskBuffer, sizeof before), 0);
        continue;
      }
      ASSERT_EQ(status, DISK_OK);
      const size_t at = e.Offset + 256u * (s - 1);
      for (size_t i = 0; i < TVfd::BufferBytes; ++i) {
        const uint8_t want = i < 256 && at + i < cut.size() ? cut[at + i] : before[i];
        ASSERT_EQ(vfd.DiskBuffer[i], want) << "byte " << i;
      }
    }
  }
}

// Thousands of images of random bytes, random tables and random lengths:
// every drive operation over the whole address range gives a defined status
// and never touches memory outside the buffer (checked under the sanitizer
// build).
TEST(DiskRobustness, GarbageImagesNeverMisbehave) {
  TScratch scratch;
  std::mt19937 rng(99);
  TVfd vfd;
  const std::string path = scratch.Path("g.vfd");
  for (int n = 0; n < 2000; ++n) {
    std::vector<uint8_t> bytes(rng() % 3000);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    const bool writable = n % 2 == 0;
    if (writable) {
      // Keep table offsets modest so writes do not grow huge files.
      for (size_t e = 0; e + 6 <= std::min<size_t>(bytes.size(), 480); e += 6) {
        bytes[e + 2] = bytes[e + 3] = 0;
        if (rng() % 3 == 0) bytes[e + 4] = static_cast<uint8_t>(rng() % 6);
      }
    }
    scratch.Write("g.vfd", bytes);
    ASSERT_TRUE(vfd.MountDisk(n % 4, path));
    vfd.DiskWriteProtect[n % 4] = writable ? 0 : 1;
    for (int k = 0; k < 40; ++k) {
      const int t = static_cast<int>(rng() % 44) - 2;
      const int h = static_cast<int>(rng() % 3);
      const int s = static_cast<int>(rng() % 260);
      const int size = vfd.SectorSize(n % 4, t, h, s);
      ASSERT_TRUE(size == -1 || size == 0 || size == 128 || size == 256 ||
                  size == 512 || size == 1024);
      int got = -5;
      const uint16_t r = vfd.ReadSector(n % 4, t, h, s, &got);
      ASSERT_TRUE(r == DISK_OK || r == DISK_NO_SECTOR);
      ASSERT_EQ(r == DISK_OK, size >= 0);
      if (r == DISK_OK) {
        ASSERT_EQ(got, size);
      }
      const uint16_t w = vfd.WriteSector(n % 4, t, h, s);
      const uint16_t want = !writable ? DISK_WRITE_PROTECTED
                            : size >= 0 ? DISK_OK : DISK_NO_SECTOR;
      ASSERT_EQ(w, want);
      uint8_t id[6];
      ASSERT_EQ(vfd.ReadId(n % 4, t, h, s, id), size >= 0 ? DISK_OK : DISK_NO_SECTOR);
    }
  }
  vfd.UnmountAllDisks();
}
