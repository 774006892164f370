// Speed of the 6809 core: Step on a representative loop of loads and stores
// in several modes, 8- and 16-bit arithmetic, compares and branches, indexed
// auto-increment, PSHS/PULS and JSR/RTS. Items per second = instructions per
// second. The size of one core object is reported as a counter.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/Cpu_main.h"

namespace {

// Hand-assembled; the program runs forever.
// At 1000 (the high byte of the JSR follows the base):
//   1000 LDS #8000 / LDU #6000
//   1007 outer: LDX #2000 / LDB #20
//   100C inner: LDA ,X+ / ADDA #3 / STA 3F,X / STA <40 / PSHS A,B / JSR sub
//               PULS A,B / DECB / BNE inner
//   101F LDD >3000 / ADDD #1 / STD >3000 / CMPD #1234 / BEQ skip / BRA outer
//   1030 skip: CLR >3000 / BRA outer
//   1040 sub: LDA >3001 / CMPA #80 / BHS +1 / INCA / ADDA <41 / TFR A,B / RTS
const uint8_t kLoop[] = {
    0x10, 0xCE, 0x80, 0x00, 0xCE, 0x60, 0x00,              // 1000
    0x8E, 0x20, 0x00, 0xC6, 0x20,                          // 1007
    0xA6, 0x80, 0x8B, 0x03, 0xA7, 0x88, 0x3F, 0x97, 0x40,  // 100C
    0x34, 0x06, 0xBD, 0x10, 0x40, 0x35, 0x06, 0x5A,        // 1015
    0x26, 0xED,                                            // 101D
    0xFC, 0x30, 0x00, 0xC3, 0x00, 0x01, 0xFD, 0x30, 0x00,  // 101F
    0x10, 0x83, 0x12, 0x34, 0x27, 0x02, 0x20, 0xD7,        // 1028
    0x7F, 0x30, 0x00, 0x20, 0xD2,                          // 1030
};
const uint8_t kSub[] = {
    0xB6, 0x30, 0x01, 0x81, 0x80, 0x24, 0x01, 0x4C,
    0x9B, 0x41, 0x1F, 0x89, 0x39,
};

constexpr size_t kJsrHigh = 24;  // high byte of JSR sub's address in kLoop

// The program goes to `base` (low byte 00); its data stays in RAM.
std::unique_ptr<TCpu09> MakeCore(int kind, uint16_t base) {
  auto cpu = std::make_unique<TCpu09>();
  cpu->InitCpu(kind);
  for (size_t i = 0; i < sizeof kLoop; ++i) cpu->Bank[0][base + i] = kLoop[i];
  cpu->Bank[0][base + kJsrHigh] = static_cast<uint8_t>(base >> 8);
  for (size_t i = 0; i < sizeof kSub; ++i) cpu->Bank[0][base + 0x40 + i] = kSub[i];
  for (int i = 0; i < 0x100; ++i) cpu->Bank[0][0x2000 + i] = static_cast<uint8_t>(i * 7);
  cpu->PC = base;
  return cpu;
}

void RunLoop(benchmark::State& state, int kind, uint16_t base) {
  auto cpu = MakeCore(kind, base);
  constexpr int kBatch = 1000;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) cpu->Step();
  }
  benchmark::DoNotOptimize(cpu->A);
  if (cpu->PC < base || cpu->PC > base + 0x4C) state.SkipWithError("program ran away");
  state.SetItemsProcessed(state.iterations() * kBatch);
  state.counters["sizeof_TCpu09_KiB"] = sizeof(TCpu09) / 1024.0;
}

// Plain 64 KiB RAM core.
void BM_StepPlainRam(benchmark::State& state) { RunLoop(state, 2, 0x1000); }
// The main CPU's map, the program in the banked image range like BASIC.
void BM_StepMainMapBanked(benchmark::State& state) { RunLoop(state, 0, 0x9000); }

BENCHMARK(BM_StepPlainRam);
BENCHMARK(BM_StepMainMapBanked);

}  // namespace

BENCHMARK_MAIN();
