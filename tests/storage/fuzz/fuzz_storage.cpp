// libFuzzer entry for the disk and tape image readers. The input becomes an
// image file; its first byte chooses tape, VFD or D88 (one or two disks),
// the last bytes drive a few operations. Every sector of the disk is read,
// its ID read and (on a copy in a scratch file) written; the tape is listed
// from the start and read and written at fuzzed positions.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "Vfd.h"
#include "Vtp.h"

namespace {

std::string ScratchPath() {
  static const std::string path =
      "/tmp/quillon-fuzz-" + std::to_string(::getpid()) + ".img";
  return path;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Every sector the drive lists is read, its ID read and written; so are
// sector numbers no sector has. Afterwards every byte that changed must lie
// in the data of a listed sector, and only a VFD file may have grown.
void FuzzDisk(const std::string& path, int disk, const uint8_t* data, size_t size) {
  static TVfd vfd;
  const int drive = size ? data[size - 1] & 3 : 0;
  const std::vector<uint8_t> before = ReadFile(path);
  if (!vfd.MountDisk(drive, path, disk)) return;
  vfd.DiskWriteProtect[drive] = size > 1 && (data[size - 2] & 1);
  const TDiskLayout layout = vfd.Layout(drive);
  for (int i = 0; i < 2 * TVfd::Tracks + 2; ++i) {
    const int t = i / 2, h = i % 2;
    std::vector<int> numbers = {0, 255, 256};
    if (i < TDiskLayout::TrackSides)
      for (uint32_t k = layout.First[i]; k < layout.First[i + 1]; ++k) numbers.push_back(layout.Sectors[k].R);
    // VFD writes only near the front of the file, to keep files small.
    bool near = true;
    if (i < TDiskLayout::TrackSides)
      for (uint32_t k = layout.First[i]; k < layout.First[i + 1]; ++k)
        near = near && layout.Sectors[k].Offset < (1 << 20);
    for (int s : numbers) {
      const int bytes = vfd.SectorSize(drive, t, h, s);
      int got = -1;
      const uint16_t r = vfd.ReadSector(drive, t, h, s, &got);
      const bool delivered = r == DISK_OK || (r == DISK_CRC_ERROR && got >= 0);
      if (delivered != (bytes >= 0) || (delivered && got != bytes) || bytes > TVfd::BufferBytes) __builtin_trap();
      uint8_t id[6];
      vfd.ReadId(drive, t, h, s, id);
      std::memset(vfd.DiskBuffer, 0xA5 ^ s, sizeof vfd.DiskBuffer);
      if (near) vfd.WriteSector(drive, t, h, s);
    }
  }
  vfd.UnmountDisk(drive);
  const std::vector<uint8_t> after = ReadFile(path);
  if (after.size() != before.size() && layout.Kind != TDiskKind::Vfd) __builtin_trap();
  // depth[b]: how many sectors' data cover byte b, by running sums.
  const int64_t n = static_cast<int64_t>(std::min(before.size(), after.size()));
  std::vector<int> depth(static_cast<size_t>(n) + 1, 0);
  for (const TSectorRecord& s : layout.Sectors) {
    if (s.Offset >= n) continue;
    ++depth[static_cast<size_t>(s.Offset)];
    --depth[static_cast<size_t>(std::min<int64_t>(n, s.Offset + s.Bytes))];
  }
  for (int64_t b = 0, covered = 0; b < n; ++b) {
    covered += depth[static_cast<size_t>(b)];
    if (before[static_cast<size_t>(b)] != after[static_cast<size_t>(b)] && covered == 0) __builtin_trap();
  }
}

// A D88 header in front of the fuzzed bytes, so that the fuzzer works on
// the tracks: payload[0] track entries, each from two payload bytes. Twice
// in a row when two disks are asked for.
std::vector<uint8_t> WrapD88(const uint8_t* payload, size_t size, bool twice) {
  std::vector<uint8_t> disk(0x2B0, 0);
  const uint32_t total = static_cast<uint32_t>(disk.size() + size);
  for (int i = 0; i < 4; ++i) disk[0x1C + i] = static_cast<uint8_t>(total >> (8 * i));
  const size_t entries = size ? std::min<size_t>(payload[0], 164) : 0;
  for (size_t e = 0; e < entries && 2 * e + 2 < size; ++e) {
    const uint32_t at = 0x2B0 + (payload[1 + 2 * e] | payload[2 + 2 * e] << 8) % (size + 1);
    for (int i = 0; i < 4; ++i) disk[0x20 + 4 * e + i] = static_cast<uint8_t>(at >> (8 * i));
  }
  if (entries == 0) disk[0x20] = 0xB0, disk[0x21] = 0x02;  // an unformatted disk
  disk.insert(disk.end(), payload, payload + size);
  if (twice) disk.insert(disk.end(), disk.begin(), disk.end());
  return disk;
}

void FuzzTape(const std::string& path, const uint8_t* data, size_t size) {
  static TVtp tape;
  if (!tape.OpenTape(path)) return;
  int64_t scan = 0, last = -1;
  std::string name;
  while (tape.NextTapeFile(scan, name) == 0) {
    if (scan <= last || name.size() > 8) __builtin_trap();
    last = scan;
  }
  tape.TapeWriteProtect = size > 1 && (data[size - 2] & 1);
  for (size_t i = 0; i + 1 < size && i < 64; i += 2) {
    tape.SeekTape(data[i] * 7);
    if (data[i + 1] & 1)
      tape.TapeWriteByte(data[i + 1]);
    else
      tape.TapeReadByte();
  }
  tape.CloseTape();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string path = ScratchPath();
  WriteFile(path, data + 1, size - 1);
  if (data[0] & 1) {
    FuzzTape(path, data + 1, size - 1);
  } else if (data[0] & 2) {
    const std::vector<uint8_t> d88 = WrapD88(data + 1, size - 1, data[0] & 4);
    WriteFile(path, d88.data(), d88.size());
    FuzzDisk(path, (data[0] & 4) ? 1 : 0, data + 1, size - 1);
  } else {
    FuzzDisk(path, 0, data + 1, size - 1);
  }
  std::remove(path.c_str());
  return 0;
}
