// TVfd: the four floppy drives of the main machine, each holding a virtual
// disk image file (".VFD").
//
// An image is a 480-byte track table followed by sector data. Entry 2t + h of
// the table (6 bytes: a 32-bit little-endian file offset, a size code and a
// sector count) places the sectors of track t, side h back to back from that
// offset. Sector numbers start at 1; size code 0 means 128 bytes, 1 256,
// 2 512, 3 none, 4 1024. The image carries no signature and nothing but the
// table is checked, so every sector operation clamps what the table says
// against what the drive and the buffer can hold.
//
// All sector traffic passes through DiskBuffer, shared by the BIOS disk traps
// and the disk controller. Sector operations run on the emulation thread;
// mounting and unmounting run on the window thread, normally while the
// emulation is paused. A mutex inside this object keeps a mount or unmount
// from overlapping a sector operation in any case; it is never contended in
// normal running. Written sectors go straight to the file (no user-space
// buffering), so a process that dies after a write leaves the data in the
// image.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// Disk status words, as the sector operations return them.
enum : uint16_t {
  DISK_OK = 0x0000,
  DISK_NOT_READY = 0x8001,         // no image in the drive
  DISK_WRITE_PROTECTED = 0x8002,   // the drive refuses writes
  DISK_NO_SECTOR = 0x8008,         // no such track or sector
  DISK_FILE_ERROR = 0x8010,        // the image file reported an error
};

// One side of one track as the image's table describes it.
struct TTrackEntry {
  uint32_t Offset = 0;    // file offset of sector 1
  uint8_t SizeCode = 0;   // sector size code
  uint8_t Sectors = 0;    // number of sectors; 0: the track side does not exist
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
  std::atomic<uint32_t> DiskWriteProtect[Drives] = {};
  int DiskFile[Drives] = {-1, -1, -1, -1};   // open image, or -1
  TTrackEntry TrackTable[Drives][Tracks][Sides] = {};

  // The sector buffer (the data of the last sector read, or to be written).
  uint8_t DiskBuffer[BufferBytes] = {};

  // Opens an existing regular file for reading and writing (never creates
  // or truncates it) and reads its track table; entries the file is too
  // short to hold are cleared. Any image already in the drive is closed
  // first. On failure the drive is left empty.
  bool MountDisk(int drive, const std::string& path);
  void UnmountDisk(int drive);
  void UnmountAllDisks();

  // Bytes per sector, or -1 when the sector does not exist (track >= 40,
  // sector 0 or above the count, a size code with no size) or the drive is
  // empty.
  int SectorSize(int drive, int track, int side, int sector);

  // Reads the sector into DiskBuffer. Bytes beyond the end of the file keep
  // their previous contents in the buffer. *size receives the sector size
  // when the status is 0.
  uint16_t ReadSector(int drive, int track, int side, int sector,
                      int* size = nullptr);

  // Writes the sector from DiskBuffer. Write protection is tested first,
  // before the sector address. Writing past the end of the file extends it.
  uint16_t WriteSector(int drive, int track, int side, int sector);

  // The six bytes of the sector's ID field as a controller's read-address
  // command returns them: track, side, sector, size code (1024-byte sectors
  // as 3), two pseudo-random bytes in place of the CRC, low byte first.
  uint16_t ReadId(int drive, int track, int side, int sector,
                  uint8_t* destination);

  // Sector size for a size code, or -1 for codes without a size.
  static int SizeOfCode(uint8_t code);

 private:
  // Table look-up under the lock: the entry if the sector exists.
  const TTrackEntry* FindSector(int drive, int track, int side, int sector) const;
  void CloseLocked(int drive);
  static bool ValidDrive(int drive) { return drive >= 0 && drive < Drives; }

  std::mutex Lock;
  // Set once the file has failed; every access reports a file error until
  // the image is mounted again.
  bool FileFailed[Drives] = {};
  uint32_t IdSeed = 0x2A6D;
};
