// D88 images in the drives: sectors found by ID, recognition by content,
// writes in place, several disks in a file, the controller's and the disk
// routines' view, blank disks and conversion to and from VFD.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "QuillonFs.h"
#include "StorageMachine.h"

using namespace storage_test;

namespace {

// Out of order sectors, 128/512/1024-byte sectors, N against the length,
// marks and statuses, an ID of another track, a duplicate ID, and a last
// track cut short.
TD88Image MixedDisk() {
  TD88Image d;
  d.Name = "MIXED";
  d.Tracks = {
      {{0, 0, 3, 1, 256}, {0, 0, 1, 1, 256}, {0, 0, 2, 1, 256}},
      {{0, 1, 1, 0, 128}, {0, 1, 2, 2, 512}, {0, 1, 3, 3, 1024}, {0, 1, 4, 1, 128}},
      {{1, 0, 1, 1, 256, 0x10}, {1, 0, 2, 1, 256, 0, 0xB0}, {1, 0, 3, 1, 256, 0, 0xF0},
       {7, 0, 5, 2, 256}, {1, 0, 6, 1, 256}, {1, 0, 6, 1, 256}},
      {{1, 1, 1, 1, 256}, {1, 1, 2, 1, 256}, {1, 1, 3, 1, 256}},
  };
  d.Cut = 100;
  return d;
}

// A blank-like disk: tracks 0-1, both sides, 4 sectors of 256 bytes.
TD88Image SmallDisk(const std::string& name) {
  TD88Image d;
  d.Name = name;
  for (int side = 0; side < 4; ++side) {
    d.Tracks.emplace_back();
    for (int r = 1; r <= 4; ++r)
      d.Tracks.back().push_back({static_cast<uint8_t>(side / 2), static_cast<uint8_t>(side % 2),
                                 static_cast<uint8_t>(r), 1, 256});
  }
  return d;
}

std::vector<uint8_t> D88Data(int side, int k, int size) {
  std::vector<uint8_t> v;
  for (int j = 0; j < size; ++j) v.push_back(D88Byte(side, k, j));
  return v;
}

}  // namespace

TEST(D88, SectorsAreFoundByTheirIds) {
  struct Case { int t, h, r, size; uint16_t status; int k; uint8_t flags; int idC, idN; };
  const Case cases[] = {
      {0, 0, 1, 256, DISK_OK, 1, 0, 0, 1},  {0, 0, 3, 256, DISK_OK, 0, 0, 0, 1},
      {0, 1, 1, 128, DISK_OK, 0, 0, 0, 0},  {0, 1, 2, 512, DISK_OK, 1, 0, 0, 2},
      {0, 1, 3, 1024, DISK_OK, 2, 0, 0, 3}, {0, 1, 4, 128, DISK_OK, 3, 0, 0, 1},  // the length wins
      {1, 0, 1, 256, DISK_OK, 0, SECTOR_DELETED, 1, 1},
      {1, 0, 2, 256, DISK_CRC_ERROR, 1, 0, 1, 1},
      {1, 0, 3, -1, DISK_NO_SECTOR, 0, 0, 1, 1},  // no data field
      {1, 0, 5, -1, DISK_NO_SECTOR, 0, 0, 7, 2},  // its ID says track 7
      {1, 0, 6, 256, DISK_OK, 4, 0, 1, 1},        // the first of two
      {1, 1, 2, 256, DISK_OK, 1, 0, 1, 1},
      {1, 1, 3, -1, DISK_NO_SECTOR, 0, 0, -1, 0},  // cut off
      {2, 0, 1, -1, DISK_NO_SECTOR, 0, 0, -1, 0},
  };
  // Both header lengths; unused entries 0 or the disk size.
  for (auto [shortHeader, fill] : {std::pair{false, false}, {true, true}, {false, true}}) {
    SCOPED_TRACE(testing::Message() << "short " << shortHeader << " fill " << fill);
    TScratch scratch;
    TD88Image image = MixedDisk();
    image.ShortHeader = shortHeader;
    image.FillUnused = fill;
    TVfd vfd;
    ASSERT_TRUE(vfd.MountDisk(1, scratch.Write("mixed.vfd", image.Build())));
    EXPECT_EQ(vfd.Image(1).Kind, TDiskKind::D88);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.t << "/" << c.h << "/" << c.r);
      std::memset(vfd.DiskBuffer, 0xEE, sizeof vfd.DiskBuffer);
      int size = -1;
      uint8_t flags = 0xFF;
      EXPECT_EQ(vfd.SectorSize(1, c.t, c.h, c.r), c.size);
      ASSERT_EQ(vfd.ReadSector(1, c.t, c.h, c.r, &size, &flags), c.status);
      if (c.size > 0) {
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(flags, c.flags);
        EXPECT_EQ(std::vector<uint8_t>(vfd.DiskBuffer, vfd.DiskBuffer + size), D88Data(2 * c.t + c.h, c.k, size));
      }
      uint8_t id[6] = {};
      EXPECT_EQ(vfd.ReadId(1, c.t, c.h, c.r, id), c.idC < 0 ? DISK_NO_SECTOR : DISK_OK);
      if (c.idC >= 0) {
        EXPECT_EQ((std::vector<int>{id[0], id[1], id[2], id[3]}), (std::vector<int>{c.idC, c.h, c.r, c.idN}));
      }
    }
  }
}

TEST(D88, RecognisedByContentNotByName) {
  TScratch scratch;
  const std::vector<uint8_t> good = SmallDisk("A").Build();
  auto patched = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
  };
  std::vector<uint8_t> unformatted(0x2B0, 0);
  unformatted[0x1C] = unformatted[0x20] = 0xB0;
  unformatted[0x1D] = unformatted[0x21] = 0x02;
  struct Case { const char* what; std::vector<uint8_t> bytes; bool asD88; };
  const Case cases[] = {
      {"consistent", good, true},
      {"unformatted", unformatted, true},
      {"header length 0x2C0", patched(0x20, 0x2C0), false},
      {"disk longer than the file", patched(0x1C, static_cast<uint32_t>(good.size() + 1)), false},
      {"track inside the header", patched(0x24, 0x100), false},
      {"track beyond the disk", patched(0x24, static_cast<uint32_t>(good.size() + 16)), false},
      {"VFD image", TDiskImage::Standard().Bytes, false},
  };
  TVfd vfd;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::string name : {"x.vfd", "x.D88", "x.d77", "x"}) {
      const bool d88Name = NamedD88(name);
      ASSERT_EQ(vfd.MountDisk(0, scratch.Write(name, c.bytes)), c.asD88 || !d88Name) << name;
      if (vfd.DiskMounted[0]) {
        EXPECT_EQ(vfd.Image(0).Kind, c.asD88 ? TDiskKind::D88 : TDiskKind::Vfd);
      }
    }
  }
}

TEST(D88, WritesStayInTheSectorAndProtectionHolds) {
  TScratch scratch;
  TD88Image first = SmallDisk("FIRST"), second = SmallDisk("SECOND"), locked = SmallDisk("LOCKED");
  second.Tracks[1][2].Length = 2048;  // track 0 side 1, sector 3: longer than any transfer
  locked.Protect = true;
  std::vector<uint8_t> file = first.Build();
  const size_t secondStart = file.size();
  const std::vector<uint8_t> b = second.Build(), c = locked.Build();
  file.insert(file.end(), b.begin(), b.end());
  file.insert(file.end(), c.begin(), c.end());
  const std::string path = scratch.Write("three.d88", file);

  const int fd = ::open(path.c_str(), O_RDONLY);
  std::vector<std::string> names;
  for (const TD88Disk& d : ListD88Disks(fd)) names.push_back(d.Name);
  ::close(fd);
  EXPECT_EQ(names, (std::vector<std::string>{"FIRST", "SECOND", "LOCKED"}));

  TVfd vfd;
  ASSERT_TRUE(vfd.MountDisk(0, path, 0));
  ASSERT_TRUE(vfd.MountDisk(1, path, 1));  // two disks of one file at once
  ASSERT_TRUE(vfd.MountDisk(2, path, 2));
  EXPECT_FALSE(vfd.MountDisk(3, path, 3));
  EXPECT_EQ(vfd.Image(1).Disk, 1);
  EXPECT_EQ(vfd.Image(1).Path, path);
  std::memset(vfd.DiskBuffer, 0x5A, sizeof vfd.DiskBuffer);
  ASSERT_EQ(vfd.WriteSector(0, 1, 1, 4), DISK_OK);
  ASSERT_EQ(vfd.WriteSector(1, 0, 0, 2), DISK_OK);
  int size = 0;
  EXPECT_EQ(vfd.ReadSector(1, 0, 1, 3, &size), DISK_OK);
  EXPECT_EQ(size, TVfd::BufferBytes);
  EXPECT_EQ(vfd.WriteSector(1, 0, 1, 3), DISK_WRITE_FAULT);  // would change its length
  EXPECT_EQ(vfd.WriteSector(2, 0, 0, 1), DISK_WRITE_PROTECTED);  // the header says so
  vfd.DiskWriteProtect[0] = 1;
  EXPECT_EQ(vfd.WriteSector(0, 0, 0, 1), DISK_WRITE_PROTECTED);  // the switch says so

  std::vector<uint8_t> expected = file;
  std::memset(&expected[first.DataOffsets[3 * 4 + 3]], 0x5A, 256);
  std::memset(&expected[secondStart + second.DataOffsets[1]], 0x5A, 256);
  EXPECT_EQ(TScratch::Read(path), expected);
  vfd.UnmountAllDisks();
}

TEST(D88, ControllerAndDiskRoutinesSeeTheMarks) {
  TStorageMachine m;
  ASSERT_TRUE(m.Vfd.MountDisk(0, m.Scratch.Write("mixed.d88", MixedDisk().Build())));
  m.Out(0x1B, 1);
  m.Out(0x18, 0x10);  // seek track 1
  // Read sector: CRC error and deleted data deliver their data, then show.
  for (auto [r, status] : {std::pair{2, 0x08}, {1, 0x20}, {6, 0x00}}) {
    m.Out(0x1A, static_cast<uint8_t>(r));
    m.Out(0x18, 0x80);
    int got = 0;
    while (m.In(0x1F) & 0x80) {
      m.In(0x1B);
      ++got;
    }
    EXPECT_EQ(got, 256) << r;
    EXPECT_EQ(m.In(0x18), status) << r;
  }
  m.Out(0x1A, 5);
  m.Out(0x18, 0xC0);  // read address: the sector's own ID
  std::vector<int> id;
  for (int i = 0; i < 4; ++i) id.push_back(m.In(0x1B));
  EXPECT_EQ(id, (std::vector<int>{7, 0, 5, 2}));

  // The request-block routine: error numbers as for VFD images.
  for (auto [r, error] : {std::pair{1, 0}, {2, 13}, {5, 12}}) {
    m.Cpu.X = 0x0180;
    m.Poke(0x0180, {10, 0, 0x30, 0x00, 1, r, 0, 0});
    m.CallTrap(0xFE05);
    EXPECT_EQ(m.Cpu.A, error) << r;
  }
}

TEST(DiskTools, BlankDisksAndConversion) {
  TScratch scratch;
  TVfd vfd;
  for (const char* name : {"new.vfd", "new.d88"}) {
    const std::string path = scratch.Path(name);
    ASSERT_EQ(WriteNewDiskFile(path, NamedD88(path) ? TDiskKind::D88 : TDiskKind::Vfd, false), "");
    EXPECT_NE(WriteNewDiskFile(path, TDiskKind::Vfd, false), "");  // never over a file
    ASSERT_TRUE(vfd.MountDisk(0, path));
    EXPECT_EQ(vfd.Image(0).Kind, NamedD88(path) ? TDiskKind::D88 : TDiskKind::Vfd);
    for (int i = 0; i < 80 * 18; ++i) {
      const int t = i / 36, h = i / 18 % 2, r = i % 18;
      int size = 0;
      ASSERT_EQ(vfd.ReadSector(0, t, h, r, &size), r >= 1 && r <= 16 ? DISK_OK : DISK_NO_SECTOR) << i;
      if (r >= 1 && r <= 16 && (t > 0 || h > 0 || r > 8)) {  // track 0 starts the BASIC's file system
        ASSERT_EQ(std::vector<uint8_t>(vfd.DiskBuffer, vfd.DiskBuffer + size), std::vector<uint8_t>(256, 0xE5));
      }
    }
    TQfsImage fs;
    ASSERT_EQ(fs.Open(path, false), "");
    EXPECT_TRUE(fs.Disk.Formatted());
    EXPECT_TRUE(fs.Disk.Files().empty());
    EXPECT_EQ(fs.Disk.FreeBytes(), 159u * 2048);
  }

  // VFD -> D88 -> VFD, byte for byte, over every size.
  TDiskImage v;
  v.AddTrack(0, 0, 1, 256, 16);
  v.AddTrack(0, 1, 0, 128, 26);
  v.AddTrack(5, 1, 2, 512, 8);
  v.AddTrack(6, 0, 3, 0, 2);
  v.AddTrack(39, 1, 4, 1024, 5);
  const std::string in = scratch.Write("in.vfd", v.Bytes);
  std::string note;
  ASSERT_EQ(ConvertDiskImage(in, scratch.Path("mid.d88"), note), "");
  ASSERT_EQ(ConvertDiskImage(scratch.Path("mid.d88"), scratch.Path("out.vfd"), note), "");
  EXPECT_EQ(TScratch::Read(scratch.Path("out.vfd")), v.Bytes);
  ASSERT_TRUE(vfd.MountDisk(0, scratch.Path("mid.d88")));
  ASSERT_EQ(vfd.ReadSector(0, 39, 1, 5), DISK_OK);
  EXPECT_EQ(vfd.DiskBuffer[1023], SectorByte(39, 1, 5, 1023));
  vfd.UnmountAllDisks();

  // What VFD cannot hold is refused, naming the first such sector.
  struct Case { const char* what; int side, k; TD88Sector s; const char* message; };
  const Case cases[] = {
      {"duplicate", 1, 3, {0, 1, 3, 1, 256}, "C=0 H=1 R=3 on track 0 side 1 is a duplicate ID"},
      {"other track", 2, 0, {3, 0, 1, 1, 256}, "C=3 H=0 R=1 on track 1 side 0 has an ID of another track"},
      {"deleted", 3, 1, {1, 1, 2, 1, 256, 0x10}, "C=1 H=1 R=2 on track 1 side 1 carries status flags"},
      {"size", 0, 2, {0, 0, 3, 2, 512}, "C=0 H=0 R=3 on track 0 side 0 differs in size"},
      {"N against length", 0, 0, {0, 0, 1, 2, 256}, "C=0 H=0 R=1 on track 0 side 0 has a size VFD cannot hold"},
  };
  for (const Case& c : cases) {
    TD88Image d = SmallDisk("X");
    d.Tracks[c.side][c.k] = c.s;
    const std::string out = scratch.Path(std::string(c.what) + ".vfd");
    const std::string error = ConvertDiskImage(scratch.Write("x.d88", d.Build()), out, note);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.what;
  }
  std::vector<uint8_t> two = SmallDisk("A").Build(), b = SmallDisk("B").Build();
  two.insert(two.end(), b.begin(), b.end());
  ASSERT_EQ(ConvertDiskImage(scratch.Write("two.d88", two), scratch.Path("two.vfd"), note), "");
  EXPECT_NE(note.find("2 disks"), std::string::npos);
}

namespace {

// A blank disk written over a FIFO, replacing or not: refused at once, the
// FIFO left as it was. Should the write wait for a reader, the test reads
// the FIFO empty so the writer comes back, and fails.
TEST(DiskTools, BlankDiskOverAFifoIsRefusedWithoutWaiting) {
  TScratch scratch;
  const std::string path = scratch.Path("pipe.vfd");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  for (bool overwrite : {true, false}) {
    auto write = std::async(std::launch::async, [&] { return WriteNewDiskFile(path, TDiskKind::Vfd, overwrite); });
    if (write.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "the write waits for a reader";
      const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
      char drain[4096];
      while (write.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        while (::read(reader, drain, sizeof drain) > 0) {}
      ::close(reader);
    }
    EXPECT_NE(write.get(), "") << overwrite;
    struct stat st;
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
  }
}

}  // namespace
