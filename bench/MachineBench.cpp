// Speed of the two-CPU machine: both CPUs running without pauses (CpuWait
// 255) while the sub CPU fills video RAM and the main CPU fills RAM, and the
// cost of a scroll (three plane rotations and the pixel buffer rotation).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "Mcputh.h"

namespace {

void WriteImage(const std::string& path, std::vector<uint8_t> data) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()),
          static_cast<std::streamsize>(data.size()));
}

struct TBenchMachine {
  TMachineState State;
  TNullHostServices Host;
  TVirtualClock Clock;
  std::string Dir;
  std::unique_ptr<TMcpuThread> Machine;

  TBenchMachine() {
    char tmpl[] = "/tmp/quillon-bench-XXXXXX";
    Dir = mkdtemp(tmpl);
    std::vector<uint8_t> rom1(0x7C00, 0x12), rom2(0x1E0, 0x12), sub(0x2800, 0x12);
    // Main, FE00: loop { LDX #2000; do STA ,X+; INCA while X != 4000 }
    const uint8_t mainProg[] = {0x8E, 0x20, 0x00, 0xA7, 0x80, 0x4C, 0x8C,
                                0x40, 0x00, 0x26, 0xF8, 0x20, 0xF3};
    std::copy(std::begin(mainProg), std::end(mainProg), rom2.begin());
    // Sub, D800: loop { LDX #0; do STA ,X+; INCA while X != C000 }
    const uint8_t subProg[] = {0x8E, 0x00, 0x00, 0xA7, 0x80, 0x4C, 0x8C,
                               0xC0, 0x00, 0x26, 0xF8, 0x20, 0xF3};
    std::copy(std::begin(subProg), std::end(subProg), sub.begin());
    sub[0x27FE] = 0xD8;  // reset vector D800
    sub[0x27FF] = 0x00;
    WriteImage(Dir + "/fb30rom1.dat", rom1);
    WriteImage(Dir + "/fb30rom2.dat", rom2);
    WriteImage(Dir + "/fb30sub.dat", sub);
    Machine = std::make_unique<TMcpuThread>(State, Host, Clock, Dir);
    Machine->ResetMachine(false);
    State.CpuWait = 255;
  }
  ~TBenchMachine() {
    Machine.reset();
    std::filesystem::remove_all(Dir);
  }
};

// Both CPUs, three instructions each per pass.
void BM_BothCpusWritingVideoRam(benchmark::State& st) {
  TBenchMachine b;
  constexpr uint64_t passes = 100000;
  for (auto _ : st) b.Machine->RunPasses(passes);
  st.counters["instructions/s"] = benchmark::Counter(
      static_cast<double>(st.iterations() * passes * 6), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BothCpusWritingVideoRam)->Unit(benchmark::kMillisecond);

// One video RAM write's pixel update (the atomic word store included).
void BM_UpdatePixels(benchmark::State& st) {
  auto d = std::make_unique<TDisplayState>();
  uint16_t address = 0;
  uint8_t value = 0;
  for (auto _ : st) {
    d->UpdatePixels(address, value++);
    address = static_cast<uint16_t>((address + 0x1235) % 0xC000);
  }
  benchmark::DoNotOptimize(d->Pixel(0));
}
BENCHMARK(BM_UpdatePixels);

// The pixel buffer's 128 KiB rotation alone.
void BM_ScrollPixels(benchmark::State& st) {
  auto d = std::make_unique<TDisplayState>();
  unsigned delta = 0x20;
  for (auto _ : st) {
    d->ScrollPixels(delta);
    delta = (delta + 0x7E0) & 0x3FE0;
    if (delta == 0) delta = 0x20;
  }
  benchmark::DoNotOptimize(d->Pixel(0));
}
BENCHMARK(BM_ScrollPixels)->Unit(benchmark::kMicrosecond);

// A whole scroll register write: three plane rotations and the pixel buffer.
void BM_ScrollRegisterWrite(benchmark::State& st) {
  TBenchMachine b;
  TScpuIo& sub = *b.Machine->Scpu;
  uint8_t low = 0x20;
  for (auto _ : st) {
    sub.WriteByte(0xD40F, low);
    low = static_cast<uint8_t>(low + 0x20);
  }
}
BENCHMARK(BM_ScrollRegisterWrite)->Unit(benchmark::kMicrosecond);

}  // namespace
