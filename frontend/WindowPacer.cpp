// The window's pacer and the speed figure.
#include "WindowPacer.h"

#include <cmath>

void TWindowPacer::Pause1ms() {
  if (!Tick) {
    RealTime.Pause1ms();
    return;
  }
  ++NowMs;
  if (static_cast<int32_t>(NowMs - NextTickMs) >= 0) {
    NextTickMs += PeriodMs;
    Tick(NowMs);
  }
}

void TWindowPacer::StartFullSpeed(uint32_t startMs, uint32_t periodMs, TTick tick) {
  NowMs = startMs;
  PeriodMs = periodMs ? periodMs : 1;
  NextTickMs = startMs + PeriodMs;
  Tick = std::move(tick);
}

void TWindowPacer::StopFullSpeed() { Tick = nullptr; }

int SpeedPercent(uint64_t passes, double elapsedMs, uint8_t cpuWait) {
  if (!(elapsedMs > 0)) return 0;
  const double nominal = elapsedMs * (static_cast<double>(cpuWait) + 2);
  return static_cast<int>(std::lround(100.0 * static_cast<double>(passes) / nominal));
}
