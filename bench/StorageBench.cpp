// Costs of the disk and tape image operations the BIOS traps and the disk
// controller make on the emulation thread: a sector read and a written-
// through sector write on a VFD and a D88 image, a tape byte in each
// direction, and listing a long
// tape for the tape dialog.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Vfd.h"
#include "Vtp.h"

namespace {

std::string ScratchFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("quillon-bench-" + std::to_string(::getpid()) + "-" + name))
                               .string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

// A blank disk of 40 tracks, 2 sides, 16 sectors of 256 bytes, as VFD
// (argument 0) or D88 (argument 1): the same sectors either way.
std::string BlankDisk(const benchmark::State& state, const char* name) {
  const TDiskKind kind = state.range(0) ? TDiskKind::D88 : TDiskKind::Vfd;
  return ScratchFile(std::string(name) + (state.range(0) ? ".d88" : ".vfd"), BlankDiskImage(kind));
}

void BM_ReadSector(benchmark::State& state) {
  const std::string path = BlankDisk(state, "r");
  TVfd vfd;
  vfd.MountDisk(0, path);
  int n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vfd.ReadSector(0, (n >> 5) % 40, (n >> 4) & 1, 1 + (n & 15)));
    ++n;
  }
  state.SetBytesProcessed(state.iterations() * 256);
  vfd.UnmountAllDisks();
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadSector)->ArgName("d88")->Arg(0)->Arg(1);

void BM_WriteSector(benchmark::State& state) {
  const std::string path = BlankDisk(state, "w");
  TVfd vfd;
  vfd.MountDisk(0, path);
  int n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vfd.WriteSector(0, (n >> 5) % 40, (n >> 4) & 1, 1 + (n & 15)));
    ++n;
  }
  state.SetBytesProcessed(state.iterations() * 256);
  vfd.UnmountAllDisks();
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteSector)->ArgName("d88")->Arg(0)->Arg(1);

void BM_TapeReadByte(benchmark::State& state) {
  const std::string path = ScratchFile("r.vtp", std::vector<uint8_t>(1 << 20, 0x55));
  TVtp tape;
  tape.OpenTape(path);
  for (auto _ : state) {
    int b = tape.TapeReadByte();
    if (b < 0) tape.SeekTape(0);
    benchmark::DoNotOptimize(b);
  }
  tape.CloseTape();
  std::filesystem::remove(path);
}
BENCHMARK(BM_TapeReadByte);

void BM_TapeWriteByte(benchmark::State& state) {
  const std::string path = ScratchFile("w.vtp", {});
  TVtp tape;
  tape.CreateTape(path);
  int64_t n = 0;
  for (auto _ : state) {
    tape.TapeWriteByte(static_cast<uint8_t>(n));
    if (++n == (1 << 20)) {
      n = 0;
      tape.SeekTape(0);
    }
  }
  tape.CloseTape();
  std::filesystem::remove(path);
}
BENCHMARK(BM_TapeWriteByte);

// A 1 MiB tape with a program header every 4 KiB: the whole list.
void BM_ListTape(benchmark::State& state) {
  std::vector<uint8_t> bytes(1 << 20, 0xFF);
  for (size_t at = 300; at + 12 < bytes.size(); at += 4096) {
    const uint8_t header[12] = {0x01, 0x3C, 0x00, 0x14, 'P', 'R', 'O', 'G', ' ', ' ', ' ', ' '};
    std::copy(header, header + 12, bytes.begin() + static_cast<long>(at));
  }
  const std::string path = ScratchFile("l.vtp", bytes);
  TVtp tape;
  tape.OpenTape(path);
  for (auto _ : state) {
    int64_t scan = 0;
    std::string name;
    int found = 0;
    while (tape.NextTapeFile(scan, name) == 0) ++found;
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  tape.CloseTape();
  std::filesystem::remove(path);
}
BENCHMARK(BM_ListTape);

}  // namespace
