// Save states: saving and loading a whole computer that has booted our free
// firmware (the images beside this program) and sits at the BASIC's prompt,
// in memory and through a file. The target is under 20 ms each way; the
// state's size is reported as the counter "bytes" (target under 100 KB).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "Computer.h"
#include "StateFile.h"

namespace {

class TQuietWindow : public TTimerWindow {
 public:
  bool PasteInProgress() const override { return false; }
  void PostFlip() override {}
  void PostPasteChar() override {}
};

struct TBooted {
  TNullHostServices Host;
  TVirtualClock Clock;
  TQuietWindow Window;
  TComputer C{Host, Clock, Window, TMcpuThread::ExecutableDirectory()};

  TBooted() {
    C.Timer.StartTimer(TSettings{}, 0);
    Clock.OnMillisecond = [this](uint64_t now) {
      if (now % C.Timer.Resolution() == 0) C.Timer.TimerTick(static_cast<uint32_t>(now));
    };
    C.Thread.ResetMachine(false);
    while (Clock.Now() < 3000) C.Thread.RunPasses(64);  // to the prompt
  }
  uint32_t Now() const { return static_cast<uint32_t>(Clock.Now()); }
};

TBooted& Booted() {
  static auto* b = new TBooted;
  return *b;
}

std::filesystem::path Scratch() {
  return std::filesystem::temp_directory_path() / ("quillon-bench-" + std::to_string(getpid()) + ".qst");
}

void BM_SaveState(benchmark::State& st) {
  TBooted& b = Booted();
  size_t bytes = 0;
  for (auto _ : st) {
    std::vector<uint8_t> file = SaveComputerState(b.C, {}, b.Now());
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  st.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SaveState)->Unit(benchmark::kMillisecond);

void BM_LoadState(benchmark::State& st) {
  TBooted& b = Booted();
  const std::vector<uint8_t> file = SaveComputerState(b.C, {}, b.Now());
  for (auto _ : st) {
    TStateLoad l = LoadComputerState(b.C, file, b.Now());
    if (l.Error != TStateError::None) st.SkipWithError("the state did not load");
  }
}
BENCHMARK(BM_LoadState)->Unit(benchmark::kMillisecond);

// Through a file: written via a temporary and a rename (with its fsync),
// then read back.
void BM_SaveAndLoadStateFile(benchmark::State& st) {
  TBooted& b = Booted();
  const std::filesystem::path path = Scratch();
  for (auto _ : st) {
    if (SaveComputerStateFile(b.C, {}, b.Now(), path) != TStateError::None ||
        LoadComputerStateFile(b.C, path, b.Now()).Error != TStateError::None)
      st.SkipWithError("file round trip failed");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveAndLoadStateFile)->Unit(benchmark::kMillisecond);

}  // namespace
