// The three schedules of the host tick: frames, the sub CPU's timer NMI and
// the main CPU's timer IRQ. Times are milliseconds shifted left by 8 in 32
// bits; every comparison is on the unsigned difference, so the wrap of the
// shifted clock every 2^24 ms is harmless.
#include "TimerSchedule.h"

#include <algorithm>

#include "StateIo.h"

void TTimerSchedule::StartTimer(const TSettings& s, uint32_t nowMs, uint32_t minPeriodMs) {
  // Values outside the dialogs' ranges would divide by zero or overflow the
  // clock arithmetic; they are brought into range here as when read.
  TSettings c = s;
  ClampSettings(c);
  const int32_t flip = c.FlipFreq, subNmi = c.SubNmi, mcpuIrq = c.McpuIrq;
  FramePer = static_cast<uint32_t>(1000 * 256 / flip);
  SubPer = static_cast<uint32_t>(subNmi) * 256;
  MainPer = static_cast<uint32_t>(int64_t{mcpuIrq} * 256 / 100);
  const uint32_t now = nowMs << 8;
  LastFrame = LastSub = LastMain = now;
  ResolutionMs = std::max<uint32_t>(static_cast<uint32_t>(mcpuIrq / 100), std::max<uint32_t>(minPeriodMs, 1));
  Running = true;
}

void TTimerSchedule::TimerTick(uint32_t nowMs, TParts parts) {
  if (!Running) return;
  const uint32_t now = nowMs << 8;

  // Frames restart from the present: a late frame is not made up.
  if (parts != TParts::Interrupts && now - LastFrame >= FramePer) {
    LastFrame = now;
    if (!FlipPending.exchange(true)) Window.PostFlip();
  }

  // A late tick advances by one period, so the next ticks catch up; a
  // backlog of five periods or more is dropped instead.
  auto advance = [now](uint32_t& last, uint32_t period) {
    if (now - last < 5 * period)
      last += period;
    else
      last = now;
  };

  if (parts == TParts::Frames) return;
  if (now - LastSub >= SubPer) {
    advance(LastSub, SubPer);
    Machine.SetScpuRequest(ScpuReq_Nmi);
    if (Window.PasteInProgress()) Window.PostPasteChar();
  }

  // The main schedule stands still while the main CPU has its timer
  // interrupt off; the first tick after it is enabled fires at once.
  if (Machine.TimerIrqEnabled() && now - LastMain >= MainPer) {
    advance(LastMain, MainPer);
    Machine.SetMcpuRequest(McpuReq_Timer);
  }
}

void TTimerSchedule::SaveState(TStateWriter& w, uint32_t nowMs) const {
  const uint32_t now = nowMs << 8;
  w.Bool(Running);
  for (uint32_t v : {ResolutionMs, FramePer, SubPer, MainPer, now - LastFrame, now - LastSub, now - LastMain})
    w.U32(v);
}

void TTimerSchedule::LoadState(TStateReader& r, uint32_t nowMs) {
  // Within what StartTimer makes of any settings, so the clock arithmetic
  // holds; the phases may be anything (a schedule that stood still).
  const uint32_t now = nowMs << 8;
  Running = r.Bool();
  ResolutionMs = r.U32In(1, 1000);
  FramePer = r.U32In(1, 1u << 20);
  SubPer = r.U32In(1, 1u << 20);
  MainPer = r.U32In(1, 1u << 20);
  LastFrame = now - r.U32();
  LastSub = now - r.U32();
  LastMain = now - r.U32();
}
