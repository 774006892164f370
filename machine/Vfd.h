// TVfd: the four floppy drives of the main machine, each holding a disk
// image file: a ".VFD" image or one disk of a D88 file (DiskFormats.h
// describes both). Both kinds come down to the same list of sectors with
// their ID fields, so the BIOS disk traps and the disk controller see one
// drive whatever the image.
//
// A sector is found on the track side the head is on by its ID field: C the
// track, H the side, R the sector number. The image carries no signature
// and little is checked, so every sector operation clamps what the image
// says against what the drive and the buffer can hold.
//
// All sector traffic passes through DiskBuffer, shared by the BIOS disk traps
// and the disk controller. Sector operations run on the emulation thread;
// mounting and unmounting run on the window thread, normally while the
// emulation is paused. A mutex inside this object keeps a mount or unmount
// from overlapping a sector operation in any case; it is never contended in
// normal running. Written sectors go straight to the file at the sector's
// data (no user-space buffering), so a process that dies after a write
// leaves the data in the image; nothing else in the file is ever written.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "DiskFormats.h"

class TStateReader;
class TStateWriter;

// Disk status words, as the sector operations return them.
enum : uint16_t {
  DISK_OK = 0x0000,
  DISK_NOT_READY = 0x8001,         // no image in the drive
  DISK_WRITE_PROTECTED = 0x8002,   // the drive refuses writes
  DISK_WRITE_FAULT = 0x8004,       // the sector cannot be written as it is
  DISK_NO_SECTOR = 0x8008,         // no such track or sector
  DISK_FILE_ERROR = 0x8010,        // the image file reported an error
  // The sector's recorded CRC error: its data is in the buffer all the same.
  // The same bit as a file error, as the disk routines report either.
  DISK_CRC_ERROR = 0x8010,
};

// What a drive holds, for whoever records or shows it.
struct TDriveImage {
  std::string Path;  // empty: no image
  TDiskKind Kind = TDiskKind::Vfd;
  int Disk = 0;      // which disk of a D88 file
};

class TVfd {
 public:
  static constexpr int Drives = 4;
  static constexpr int Tracks = 40;
  static constexpr int Sides = 2;
  static constexpr int TableBytes = Tracks * Sides * 6;  // 480
  static constexpr int BufferBytes = 1024;               // biggest sector

  TVfd();
  ~TVfd();
  TVfd(const TVfd&) = delete;
  TVfd& operator=(const TVfd&) = delete;

  // Drive state. The flags are read by the window (dialogs) and the
  // emulation thread; they change only under the drive lock.
  std::atomic<uint32_t> DiskMounted[Drives] = {};
  // The drive's write-protect switch (the disk dialog's check box). A D88
  // disk whose header says protected is protected either way.
  std::atomic<uint32_t> DiskWriteProtect[Drives] = {};
  int DiskFile[Drives] = {-1, -1, -1, -1};   // open image, or -1

  // The sector buffer (the data of the last sector read, or to be written).
  uint8_t DiskBuffer[BufferBytes] = {};

  // Opens an existing regular file for reading and writing (never creates
  // or truncates it) and reads its sectors: disk number disk of a D88 file
  // (counted from 0), or a VFD image. A file whose content is not D88 is a
  // VFD image, unless its name says D88; then it is refused. Any image
  // already in the drive is closed first. On failure the drive is left
  // empty.
  bool MountDisk(int drive, const std::string& path, int disk = 0);
  void UnmountDisk(int drive);
  void UnmountAllDisks();

  // The image in the drive (an empty path when none).
  TDriveImage Image(int drive);
  // The sectors of the image in the drive, for tools and tests.
  TDiskLayout Layout(int drive);

  // Once the image file has reported an error, every later access of that
  // drive reports DISK_FILE_ERROR (SectorSize: -1), whatever the sector,
  // until an image is mounted again; the failure is looked at before the
  // sector address, write protection alone goes first.

  // Bytes a transfer of the sector moves (at most BufferBytes), or -1 when
  // the sector does not exist (track >= 40, no sector with that ID on the
  // track side), the drive is empty or its image has failed.
  int SectorSize(int drive, int track, int side, int sector);

  // Reads the sector into DiskBuffer. Bytes beyond the end of the file keep
  // their previous contents in the buffer. *size receives the transfer size
  // and *flags the sector's SECTOR_DELETED mark whenever the data is in the
  // buffer: with status 0, and with DISK_CRC_ERROR for a sector recorded
  // with a CRC error.
  uint16_t ReadSector(int drive, int track, int side, int sector,
                      int* size = nullptr, uint8_t* flags = nullptr);

  // Writes the sector from DiskBuffer. Write protection is tested first,
  // before the sector address. Writing past the end of a VFD file extends
  // it. A sector longer than the buffer is refused (DISK_WRITE_FAULT): the
  // write would change its length.
  uint16_t WriteSector(int drive, int track, int side, int sector);

  // The six bytes of the ID field a controller's read-address command
  // returns for the sector numbered sector on the track side under the head:
  // the sector's own C, H, R, N, then two pseudo-random bytes in place of
  // the CRC, low byte first.
  uint16_t ReadId(int drive, int track, int side, int sector,
                  uint8_t* destination);

  // The names of the disks of a D88 file, as stored; empty for other files.
  static std::vector<std::string> DiskNames(const std::string& path);
  // Writes a blank formatted disk (DiskFormats.h); never replaces a file
  // unless overwrite. The reason when that fails.
  static std::string CreateDisk(const std::string& path, bool d88, bool overwrite) {
    return WriteNewDiskFile(path, d88 ? TDiskKind::D88 : TDiskKind::Vfd, overwrite);
  }

  // Sector size for a VFD size code, or -1 for codes without a size.
  static int SizeOfCode(uint8_t code) { return VfdSizeOfCode(code); }

  // The save state's share of the drives' own state: the sector buffer and
  // the ID field's pseudo-random bytes. The images are not part of it (the
  // front end records their paths).
  void SaveState(TStateWriter& w) const;
  void LoadState(TStateReader& r);

 private:
  // Look-up under the lock: the sector with ID (track, side, sector) on
  // that track side, or with only the sector number matching.
  const TSectorRecord* FindSector(int drive, int track, int side, int sector,
                                  bool numberOnly = false) const;
  void CloseLocked(int drive);
  static bool ValidDrive(int drive) { return drive >= 0 && drive < Drives; }

  std::mutex Lock;
  TDiskLayout Disk[Drives];
  TDriveImage Mounted[Drives];
  // Set once the file has failed; every access reports a file error until
  // the image is mounted again.
  bool FileFailed[Drives] = {};
  uint32_t IdSeed = 0x2A6D;
};
