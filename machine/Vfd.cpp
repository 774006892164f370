// TVfd: disk images in drives 0-3: mounting, finding sectors by their ID
// fields, and the sector operations on which the BIOS disk traps and the
// disk controller registers are built. See Vfd.h and DiskFormats.h.
#include "Vfd.h"

#include <algorithm>

#include "StateIo.h"
#include "core/PlainFile.h"
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


}  // namespace

TVfd::TVfd() = default;

TVfd::~TVfd() { UnmountAllDisks(); }

bool TVfd::MountDisk(int drive, const std::string& path, int disk) {
  if (!ValidDrive(drive)) return false;
  std::lock_guard<std::mutex> guard(Lock);
  CloseLocked(drive);

  // Only a plain file behaves as an image: a pipe or a device could block
  // the emulation thread or report no end.
  int fd = OpenPlainFile(path, O_RDWR);
  if (fd < 0) return false;

  TDiskLayout layout;
  const std::vector<TD88Disk> disks = ListD88Disks(fd);
  bool ok;
  if (!disks.empty())
    ok = disk >= 0 && static_cast<size_t>(disk) < disks.size() && ReadD88Layout(fd, disks[disk], layout);
  else
    ok = disk == 0 && !NamedD88(path) && ReadVfdLayout(fd, layout);
  if (!ok) {
    ::close(fd);
    return false;
  }
  Disk[drive] = std::move(layout);
  Mounted[drive] = TDriveImage{path, Disk[drive].Kind, disk};
  DiskFile[drive] = fd;
  FileFailed[drive] = false;
  DiskMounted[drive].store(1);
  return true;
}

void TVfd::SaveState(TStateWriter& w) const {
  w.Bytes(DiskBuffer, sizeof DiskBuffer);
  w.U32(IdSeed);
}

void TVfd::LoadState(TStateReader& r) {
  r.Bytes(DiskBuffer, sizeof DiskBuffer);
  IdSeed = r.U32();
}

void TVfd::CloseLocked(int drive) {
  DiskMounted[drive].store(0);
  if (DiskFile[drive] >= 0) ::close(DiskFile[drive]);
  DiskFile[drive] = -1;
  FileFailed[drive] = false;
  Disk[drive] = TDiskLayout{};
  Mounted[drive] = TDriveImage{};
}

void TVfd::UnmountDisk(int drive) {
  if (!ValidDrive(drive)) return;
  std::lock_guard<std::mutex> guard(Lock);
  CloseLocked(drive);
}

void TVfd::UnmountAllDisks() {
  for (int d = 0; d < Drives; ++d) UnmountDisk(d);
}

std::vector<std::string> TVfd::DiskNames(const std::string& path) {
  std::vector<std::string> names;
  for (const TD88Disk& disk : ListD88File(path)) names.push_back(disk.Name);
  return names;
}

TDriveImage TVfd::Image(int drive) {
  if (!ValidDrive(drive)) return {};
  std::lock_guard<std::mutex> guard(Lock);
  return Mounted[drive];
}

TDiskLayout TVfd::Layout(int drive) {
  if (!ValidDrive(drive)) return {};
  std::lock_guard<std::mutex> guard(Lock);
  return Disk[drive];
}

const TSectorRecord* TVfd::FindSector(int drive, int track, int side, int sector,
                                      bool numberOnly) const {
  if (track < 0 || track >= Tracks || side < 0 || side >= Sides) return nullptr;
  const TDiskLayout& disk = Disk[drive];
  const int at = track * 2 + side;
  // The first match on the track, as a controller takes the first ID that
  // passes the head after the index.
  for (uint32_t i = disk.First[at]; i < disk.First[at + 1]; ++i) {
    const TSectorRecord& s = disk.Sectors[i];
    if (s.R != sector) continue;
    if (numberOnly) return &s;
    if (s.C == track && s.H == side && !(s.Flags & SECTOR_NO_DATA)) return &s;
  }
  return nullptr;
}

namespace {
int TransferBytes(const TSectorRecord& s) {
  return static_cast<int>(std::min<uint32_t>(s.Bytes, TVfd::BufferBytes));
}
}  // namespace

int TVfd::SectorSize(int drive, int track, int side, int sector) {
  if (!ValidDrive(drive)) return -1;
  std::lock_guard<std::mutex> guard(Lock);
  if (DiskFile[drive] < 0 || FileFailed[drive]) return -1;
  const TSectorRecord* s = FindSector(drive, track, side, sector);
  return s ? TransferBytes(*s) : -1;
}

uint16_t TVfd::ReadSector(int drive, int track, int side, int sector,
                          int* size, uint8_t* flags) {
  if (!ValidDrive(drive)) return DISK_NOT_READY;
  std::lock_guard<std::mutex> guard(Lock);
  if (DiskFile[drive] < 0) return DISK_NOT_READY;
  if (FileFailed[drive]) return DISK_FILE_ERROR;
  const TSectorRecord* s = FindSector(drive, track, side, sector);
  if (!s) return DISK_NO_SECTOR;
  const int bytes = TransferBytes(*s);
  if (ReadAt(DiskFile[drive], DiskBuffer, static_cast<size_t>(bytes), s->Offset) < 0) {
    FileFailed[drive] = true;
    return DISK_FILE_ERROR;
  }
  if (size) *size = bytes;
  if (flags) *flags = s->Flags & SECTOR_DELETED;
  return (s->Flags & SECTOR_CRC_ERROR) ? DISK_CRC_ERROR : DISK_OK;
}

uint16_t TVfd::WriteSector(int drive, int track, int side, int sector) {
  if (!ValidDrive(drive)) return DISK_NOT_READY;
  std::lock_guard<std::mutex> guard(Lock);
  // Protection is decided before anything else, even for an empty drive or
  // a sector that does not exist.
  if (DiskWriteProtect[drive].load() || Disk[drive].Protected) return DISK_WRITE_PROTECTED;
  if (DiskFile[drive] < 0) return DISK_NOT_READY;
  if (FileFailed[drive]) return DISK_FILE_ERROR;
  const TSectorRecord* s = FindSector(drive, track, side, sector);
  if (!s) return DISK_NO_SECTOR;
  if (s->Bytes > BufferBytes) return DISK_WRITE_FAULT;
  if (!WriteAt(DiskFile[drive], DiskBuffer, s->Bytes, s->Offset)) {
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
  if (FileFailed[drive]) return DISK_FILE_ERROR;
  const TSectorRecord* s = FindSector(drive, track, side, sector, true);
  if (!s) return DISK_NO_SECTOR;
  // A 15-bit linear congruential sequence stands in for the CRC.
  IdSeed = (IdSeed * 1103515245u + 12345u) & 0x7FFFFFFFu;
  const uint16_t crc = static_cast<uint16_t>((IdSeed >> 16) & 0x7FFF);
  destination[0] = s->C;
  destination[1] = s->H;
  destination[2] = s->R;
  destination[3] = s->N;
  destination[4] = static_cast<uint8_t>(crc);
  destination[5] = static_cast<uint8_t>(crc >> 8);
  return DISK_OK;
}
