// The file system our BASIC keeps on a 2D disk (40 tracks, 2 sides, 16
// sectors of 256 bytes), for host tools: list, read, add and delete files.
// The layout is described in docs/basic.md ("The disk layout"); in short:
// sectors counted in one row (LSN = (track x 2 + side) x 16 + sector - 1),
// LSN 0 a boot sector, LSN 1 the allocation table (one byte per cluster of
// 8 sectors, the disk's identity in bytes 248-251, "QFS1" at its end), LSN 2-7 the directory (96 entries of 16
// bytes), clusters 1-159 the files.
//
// TQfsDisk holds a whole disk in memory. TQfsImage connects it to an image
// file (VFD or the first disk of a D88 file) and writes back only the
// sectors that changed, files' data first, then the allocation table, then
// the directory, the order the BASIC itself keeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DiskFormats.h"

struct TQfsFile {
  std::string Name;    // "NAME.EXT" or "NAME", as stored (no padding)
  uint8_t Kind = 0;    // 0 memory, 1 tokenized program, 2 text, 3 random
  uint8_t First = 0xFF;
  uint32_t Size = 0;
  int Slot = 0;
};

class TQfsDisk {
 public:
  static constexpr int Sectors = 1280, SectorBytes = 256, ClusterSectors = 8, Clusters = 160, Slots = 96;
  static constexpr int FatLsn = 1, DirLsn = 2, IdAt = 248;

  std::vector<uint8_t> Bytes = std::vector<uint8_t>(Sectors * SectorBytes, 0xE5);

  // An empty file system with a new random identity (the rest of the disk
  // is left as it is).
  void Format();
  // The allocation table carries the mark.
  bool Formatted() const;
  std::vector<TQfsFile> Files() const;
  uint32_t FreeBytes() const;

  // A host name as the directory holds it (8 + 3 bytes, space padded, upper
  // case); false for a name the BASIC would refuse.
  static bool DirName(const std::string& name, uint8_t out[11]);

  // These return "" or the reason of the failure; a failure changes nothing.
  std::string Read(const std::string& name, std::vector<uint8_t>& data, uint8_t* kind = nullptr) const;
  // Adds or replaces a file.
  std::string Write(const std::string& name, uint8_t kind, const std::vector<uint8_t>& data);
  std::string Remove(const std::string& name);
  // Every file's chain matches its size and no cluster belongs to two
  // files; clusters marked used that no file holds are counted in leaked.
  std::string Check(int* leaked = nullptr) const;
  // After a sound Check: the clusters no file holds are free again.
  std::string Reclaim(int* freed = nullptr);

 private:
  uint8_t* Sector(int lsn) { return Bytes.data() + lsn * SectorBytes; }
  const uint8_t* Sector(int lsn) const { return Bytes.data() + lsn * SectorBytes; }
  const uint8_t* Entry(int slot) const { return Sector(DirLsn + slot / 16) + (slot % 16) * 16; }
  int Find(const uint8_t name[11]) const;
  // The clusters of a chain, or empty with why set when it is broken.
  std::vector<int> Chain(uint8_t first, uint32_t size, std::string& why) const;
};

// A disk image file opened for the file system.
class TQfsImage {
 public:
  ~TQfsImage();
  // Reads every sector; the image must have the 2D shape (16 sectors of 256
  // bytes on each of the 80 track sides).
  std::string Open(const std::string& path, bool write);
  // Writes the sectors that differ from what was read, in the safe order.
  std::string Save();
  TQfsDisk Disk;

 private:
  int Fd = -1;
  std::vector<int64_t> Offsets;  // of each LSN's data in the file
  std::vector<uint8_t> Original;
};
