// Speed of the two-CPU machine: both CPUs running without pauses (CpuWait
// 255) while the sub CPU fills video RAM and the main CPU fills RAM, the
// cost of a scroll (three plane rotations and the pixel buffer rotation), and
// how closely the emulation thread with real-time pauses keeps the nominal
// rate of (CpuWait + 2) * 1000 passes a second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
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

  explicit TBenchMachine(TPacer* pacer = nullptr) {
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
    Machine = std::make_unique<TMcpuThread>(State, Host, pacer ? *pacer : Clock, Dir);
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

// The emulation thread on real time at CpuWait 240 (the default setting):
// passes per wall second against the nominal 242000, over one-second
// stretches measured on the monotonic clock. "speed" is the ratio; 1.0 is
// exact. Includes a short suspend each stretch, as opening a menu does.
void BM_RealTimePacing(benchmark::State& st) {
  TRealTimePacer pacer;
  TBenchMachine b(&pacer);
  b.State.CpuWait = 240;
  constexpr double nominal = (240 + 2) * 1000.0;
  b.Machine->Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  double passes = 0, seconds = 0;
  for (auto _ : st) {
    b.Machine->Suspend();
    b.Machine->Resume();
    const auto t0 = std::chrono::steady_clock::now();
    const uint64_t p0 = b.Machine->PassCount();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const uint64_t p1 = b.Machine->PassCount();
    const auto t1 = std::chrono::steady_clock::now();
    passes += static_cast<double>(p1 - p0);
    seconds += std::chrono::duration<double>(t1 - t0).count();
  }
  b.Machine->Terminate();
  st.counters["passes/s"] = passes / seconds;
  st.counters["speed"] = passes / seconds / nominal;
}
BENCHMARK(BM_RealTimePacing)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
