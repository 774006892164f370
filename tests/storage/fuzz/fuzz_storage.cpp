// libFuzzer entry for the disk and tape image readers. The input becomes an
// image file; its first byte chooses disk or tape, the last bytes drive a
// few operations. Every sector of the table is read, its ID read and (on a
// copy in a scratch file) written; the tape is listed from the start and
// read and written at fuzzed positions.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

#include "Vfd.h"
#include "Vtp.h"

namespace {

std::string ScratchPath() {
  static const std::string path =
      "/tmp/quillon-fuzz-" + std::to_string(::getpid()) + ".img";
  return path;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void FuzzDisk(const std::string& path, const uint8_t* data, size_t size) {
  static TVfd vfd;
  const int drive = size ? data[size - 1] & 3 : 0;
  if (!vfd.MountDisk(drive, path)) return;
  vfd.DiskWriteProtect[drive] = size > 1 && (data[size - 2] & 1);
  for (int t = 0; t < 41; ++t) {
    for (int h = 0; h < 2; ++h) {
      const int count = vfd.TrackTable[drive][t < 40 ? t : 39][h].Sectors;
      for (int s = 0; s <= count + 1; ++s) {
        const int bytes = vfd.SectorSize(drive, t, h, s);
        int got = -1;
        const uint16_t r = vfd.ReadSector(drive, t, h, s, &got);
        if ((r == DISK_OK) != (bytes >= 0) || (r == DISK_OK && got != bytes)) __builtin_trap();
        uint8_t id[6];
        vfd.ReadId(drive, t, h, s, id);
        // Writes only near the front of the file, to keep files small.
        const TTrackEntry& e = vfd.TrackTable[drive][t < 40 ? t : 39][h];
        if (e.Offset < (1u << 20)) vfd.WriteSector(drive, t, h, s);
      }
    }
  }
  vfd.UnmountDisk(drive);
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
  if (data[0] & 1)
    FuzzTape(path, data + 1, size - 1);
  else
    FuzzDisk(path, data + 1, size - 1);
  std::remove(path.c_str());
  return 0;
}
