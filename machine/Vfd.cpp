// TVfd: virtual disk images in drives 0-3: mounting, the track table and the
// sector operations on which the BIOS disk traps and the disk controller
// registers are built. See Vfd.h for the image layout.
#include "Vfd.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads up to count bytes at offset; stops early at the end of the file.
// Returns the bytes read, or -1 on an error of the file.
long ReadAt(int fd, uint8_t* buffer, size_t count, off_t offset) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, buffer + done, count - done,
                        offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;  // end of file
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

// Writes all count bytes at offset; false on an error of the file.
bool WriteAt(int fd, const uint8_t* buffer, size_t count, off_t offset) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pwrite(fd, buffer + done, count - done,
                         offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}


// Where sector n (counted from 1) of a track entry starts in the image: the
// entry's offset plus the sectors before it, all of the entry's size.
off_t SectorOffset(const TTrackEntry& entry, int bytes, int sector) {
  return static_cast<off_t>(entry.Offset) + static_cast<off_t>(bytes) * (sector - 1);
}

}  // namespace

TVfd::TVfd() = default;

TVfd::~TVfd() { UnmountAllDisks(); }

int TVfd::SizeOfCode(uint8_t code) {
  static constexpr int sizes[5] = {128, 256, 512, 0, 1024};
  return code < 5 ? sizes[code] : -1;
}

bool TVfd::MountDisk(int drive, const std::string& path) {
  if (!ValidDrive(drive)) return false;
  std::lock_guard<std::mutex> guard(Lock);
  CloseLocked(drive);

  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  // Only a plain file behaves as an image: a pipe or a device could block
  // the emulation thread or report no end.
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }

  // A file shorter than the table leaves the rest of the table zero: those
  // track sides have no sectors.
  uint8_t table[TableBytes] = {};
  if (ReadAt(fd, table, sizeof table, 0) < 0) {
    ::close(fd);
    return false;
  }
  for (int t = 0; t < Tracks; ++t) {
    for (int h = 0; h < Sides; ++h) {
      const uint8_t* e = table + 6 * (2 * t + h);
      TTrackEntry& entry = TrackTable[drive][t][h];
      entry.Offset = static_cast<uint32_t>(e[0]) |
                     static_cast<uint32_t>(e[1]) << 8 |
                     static_cast<uint32_t>(e[2]) << 16 |
                     static_cast<uint32_t>(e[3]) << 24;
      entry.SizeCode = e[4];
      entry.Sectors = e[5];
    }
  }
  DiskFile[drive] = fd;
  FileFailed[drive] = false;
  DiskMounted[drive].store(1);
  return true;
}

void TVfd::CloseLocked(int drive) {
  DiskMounted[drive].store(0);
  if (DiskFile[drive] >= 0) ::close(DiskFile[drive]);
  DiskFile[drive] = -1;
  FileFailed[drive] = false;
  for (auto& track : TrackTable[drive])
    for (auto& entry : track) entry = TTrackEntry{};
}

void TVfd::UnmountDisk(int drive) {
  if (!ValidDrive(drive)) return;
  std::lock_guard<std::mutex> guard(Lock);
  CloseLocked(drive);
}

void TVfd::UnmountAllDisks() {
  for (int d = 0; d < Drives; ++d) UnmountDisk(d);
}

const TTrackEntry* TVfd::FindSector(int drive, int track, int side,
                                    int sector) const {
  if (track < 0 || track >= Tracks || side < 0 || side >= Sides) return nullptr;
  const TTrackEntry& entry = TrackTable[drive][track][side];
  if (sector < 1 || sector > entry.Sectors) return nullptr;
  if (SizeOfCode(entry.SizeCode) < 0) return nullptr;
  return &entry;
}

int TVfd::SectorSize(int drive, int track, int side, int sector) {
  if (!ValidDrive(drive)) return -1;
  std::lock_guard<std::mutex> guard(Lock);
  if (DiskFile[drive] < 0) return -1;
  const TTrackEntry* entry = FindSector(drive, track, side, sector);
  return entry ? SizeOfCode(entry->SizeCode) : -1;
}

uint16_t TVfd::ReadSector(int drive, int track, int side, int sector,
                          int* size) {
  if (!ValidDrive(drive)) return DISK_NOT_READY;
  std::lock_guard<std::mutex> guard(Lock);
  if (DiskFile[drive] < 0) return DISK_NOT_READY;
  const TTrackEntry* entry = FindSector(drive, track, side, sector);
  if (!entry) return DISK_NO_SECTOR;
  if (FileFailed[drive]) return DISK_FILE_ERROR;
  const int bytes = SizeOfCode(entry->SizeCode);
  const off_t offset = SectorOffset(*entry, bytes, sector);
  if (ReadAt(DiskFile[drive], DiskBuffer, static_cast<size_t>(bytes), offset) < 0) {
    FileFailed[drive] = true;
    return DISK_FILE_ERROR;
  }
  if (size) *size = bytes;
  return DISK_OK;
}

uint16_t TVfd::WriteSector(int drive, int track, int side, int sector) {
  if (!ValidDrive(drive)) return DISK_NOT_READY;
  std::lock_guard<std::mutex> guard(Lock);
  // Protection is decided before anything else, even for an empty drive or
  // a sector that does not exist.
  if (DiskWriteProtect[drive].load()) return DISK_WRITE_PROTECTED;
  if (DiskFile[drive] < 0) return DISK_NOT_READY;
  const TTrackEntry* entry = FindSector(drive, track, side, sector);
  if (!entry) return DISK_NO_SECTOR;
  if (FileFailed[drive]) return DISK_FILE_ERROR;
  const int bytes = SizeOfCode(entry->SizeCode);
  const off_t offset = SectorOffset(*entry, bytes, sector);
  if (!WriteAt(DiskFile[drive], DiskBuffer, static_cast<size_t>(bytes), offset)) {
    FileFailed[drive] = true;
    return DISK_FILE_ERROR;
  }
  return DISK_OK;
}

uint16_t TVfd::ReadId(int drive, int track, int side, int sector,
                      uint8_t* destination) {
  if (!ValidDrive(drive)) return DISK_NOT_READY;
  std::lock_guard<std::mutex> guard(Lock);
  if (DiskFile[drive] < 0) return DISK_NOT_READY;
  const TTrackEntry* entry = FindSector(drive, track, side, sector);
  if (!entry) return DISK_NO_SECTOR;
  // A 15-bit linear congruential sequence stands in for the CRC.
  IdSeed = (IdSeed * 1103515245u + 12345u) & 0x7FFFFFFFu;
  const uint16_t crc = static_cast<uint16_t>((IdSeed >> 16) & 0x7FFF);
  destination[0] = static_cast<uint8_t>(track);
  destination[1] = static_cast<uint8_t>(side);
  destination[2] = static_cast<uint8_t>(sector);
  destination[3] = entry->SizeCode == 4 ? 3 : entry->SizeCode;
  destination[4] = static_cast<uint8_t>(crc);
  destination[5] = static_cast<uint8_t>(crc >> 8);
  return DISK_OK;
}
