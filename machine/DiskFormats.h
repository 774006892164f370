// The two kinds of disk image file the drives take, reduced to one list of
// sectors per disk: where each sector's data lies in the file and the ID
// field a controller reads for it.
//
// VFD: a 480-byte track table followed by sector data. Entry 2t + h of the
// table (6 bytes: a 32-bit little-endian file offset, a size code and a
// sector count) places sectors 1..count of track t, side h back to back from
// that offset. Size code 0 means 128 bytes, 1 256, 2 512, 3 none, 4 1024.
// The image carries no signature and nothing but the table is checked.
//
// D88: one or more disks one after the other, each a header (name, write
// protection, media, the disk's size, a table of track offsets) followed by
// its tracks. A track is its sectors back to back, each a 16-byte header
// (C, H, R, N, sector count, density, deleted mark, recorded controller
// status, data length) followed by its data. Sectors are found by their ID
// fields, not by their position, and the stored data length, not N, is the
// sector's size. The format is recognised by a header that is consistent
// with itself and the file, whatever the file is called.
//
// Everything here is plain file work on descriptors; the drives (Vfd.h)
// keep a layout per mounted disk and do the sector traffic.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class TDiskKind { Vfd, D88 };

// One sector of a disk.
struct TSectorRecord {
  int64_t Offset = 0;   // file offset of the data
  uint32_t Bytes = 0;   // stored data length
  uint8_t C = 0, H = 0, R = 0, N = 0;  // the ID field
  // As a D88 image records them (0 for VFD sectors).
  uint8_t Density = 0;  // 0x00 double, 0x40 single
  uint8_t Deleted = 0;  // 0x10: deleted-data mark
  uint8_t Status = 0;   // controller status when the disk was read
  uint8_t Flags = 0;    // SECTOR_* below, derived from the three above
};

enum : uint8_t {
  SECTOR_DELETED = 0x01,    // deleted-data mark: reads show the record type
  SECTOR_CRC_ERROR = 0x02,  // reads deliver the data and report a CRC error
  SECTOR_NO_DATA = 0x04,    // an ID without a data field: never found
};

// The sectors of one disk grouped by track side (index track × 2 + side),
// each group in its order on the track.
struct TDiskLayout {
  static constexpr int TrackSides = 164;
  TDiskKind Kind = TDiskKind::Vfd;
  bool Protected = false;  // the image itself says write-protected
  std::vector<TSectorRecord> Sectors;
  // Sectors of track side i are Sectors[First[i]] .. Sectors[First[i+1]-1].
  std::array<uint32_t, TrackSides + 1> First = {};
};

// One disk of a D88 file.
struct TD88Disk {
  std::string Name;   // up to 16 bytes as stored (usually Shift_JIS)
  int64_t Start = 0;  // file offset of its header
  uint32_t Size = 0;  // header included
  uint32_t HeaderBytes = 0;  // 0x2A0 or 0x2B0
  bool Protected = false;
  uint8_t Media = 0;
};

// Bytes per sector of a VFD size code, or -1 for codes without a size.
int VfdSizeOfCode(uint8_t code);

// The disks of a D88 file, as long as their headers are consistent; empty
// when the first one is not (then the file is no D88 image). A damaged
// header ends the list there.
std::vector<TD88Disk> ListD88Disks(int fd);

// The same for a file by name: empty when it cannot be opened or is no D88.
std::vector<TD88Disk> ListD88File(const std::string& path);

// The sector lists of a VFD image and of one D88 disk. Read errors give
// false. A VFD table the file is too short to hold reads as zero (no
// sectors there); D88 sectors that do not fit within their disk are left
// out, as are tracks beyond the table.
bool ReadVfdLayout(int fd, TDiskLayout& layout);
bool ReadD88Layout(int fd, const TD88Disk& disk, TDiskLayout& layout);

// Whether the file is a regular file that starts with a consistent D88
// header.
bool IsD88File(const std::string& path);

// Whether the file name says D88 (".d88" or ".d77", any letter case).
bool NamedD88(const std::string& path);

// A freshly formatted double-sided disk of 40 tracks × 16 sectors of 256
// bytes, every data byte E5 but track 0's first 8 sectors: an empty disk of
// our BASIC's file system (QuillonFs.h).
std::vector<uint8_t> BlankDiskImage(TDiskKind kind);

// Writes a new file; never replaces an existing one unless overwrite. On
// failure returns the reason.
std::string WriteNewDiskFile(const std::string& path, TDiskKind kind, bool overwrite);

// Converts the image IN into OUT, whose name chooses the format (".vfd":
// VFD; ".d88" or ".d77": D88; others are refused), sector for sector. OUT must not exist. A D88
// file's first disk is converted; note tells when it holds more. Returns
// the reason of a failure, naming the first sector VFD cannot hold.
std::string ConvertDiskImage(const std::string& in, const std::string& out, std::string& note);
