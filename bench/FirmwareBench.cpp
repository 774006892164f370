// How fast our firmware is in machine time (the virtual clock of a headless
// run, CpuWait 240): from the cold reset to the monitor's prompt, and for a
// dump of 256 lines (4 KiB, scrolling all the way). The benchmark's own time
// is the host time the runs take; the counters are machine milliseconds and
// lines per machine second.
#include <benchmark/benchmark.h>

#include "FirmwareRig.h"

static void BM_BootToPrompt(benchmark::State& st) {
  double ms = 0;
  for (auto _ : st) {
    TFirmwareRig rig;
    const uint64_t t0 = rig.Clock.Now();
    if (!rig.WaitForPrompt(5000)) st.SkipWithError("no prompt");
    ms = static_cast<double>(rig.Clock.Now() - t0);
  }
  st.counters["machine_ms"] = ms;
}
BENCHMARK(BM_BootToPrompt)->Unit(benchmark::kMillisecond);

static void BM_Dump256Lines(benchmark::State& st) {
  double ms = 0;
  for (auto _ : st) {
    st.PauseTiming();
    TFirmwareRig rig;
    rig.WaitForPrompt(5000);
    st.ResumeTiming();
    rig.Type("d 0 fff\n");
    while (rig.KeysPending()) rig.RunMs(1);
    const uint64_t t0 = rig.Clock.Now();
    if (!rig.WaitForPrompt(60000)) st.SkipWithError("no prompt");
    ms = static_cast<double>(rig.Clock.Now() - t0);
  }
  st.counters["machine_ms"] = ms;
  st.counters["lines_per_machine_s"] = 256 * 1000.0 / ms;
}
BENCHMARK(BM_Dump256Lines)->Unit(benchmark::kMillisecond);
