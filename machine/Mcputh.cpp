// The emulation thread: firmware loading, the run loop with its pacing, the
// reset and hot start, and the suspend/resume/terminate requests.
#include "Mcputh.h"

#include <unistd.h>

#include <chrono>
#include <climits>

void TRealTimePacer::Pause1ms() {
  std::this_thread::sleep_until(Schedule.Next(TPauseSchedule::Clock::now()));
}

std::string TMcpuThread::ExecutableDirectory() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string path(buf, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

TMcpuThread::TMcpuThread(TMachineState& state, THostServices& host,
                         TPacer& pacer, const std::string& romDir)
    : State(state), Pacer(pacer) {
  std::string dir = romDir.empty() ? ExecutableDirectory() : romDir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  // Main machine and its two images first, then the sub machine and its one.
  Mcpu = std::make_unique<TMcpuIo>(state, host);
  Fdc = std::make_unique<TFdc>(state.Vfd);
  Fdc->Install(*Mcpu);
  Bios = std::make_unique<TBios>(*Mcpu, state.Vfd, state.Vtp, *Fdc);
  for (const TRomImage& r : RomImages)
    if (r.Machine == 0)
      RomError |= Mcpu->LoadRom(dir + r.FileName, r.Address, r.Bytes);
  Scpu = std::make_unique<TScpuIo>(state, host);
  for (const TRomImage& r : RomImages)
    if (r.Machine == 1)
      RomError |= Scpu->LoadRom(dir + r.FileName, r.Address, r.Bytes);
  TakeFirmwareReference();
}

TMcpuThread::~TMcpuThread() { Terminate(); }

void TMcpuThread::ResetMachine(bool hot) {
  State.SubHalt.store(0);
  State.SubBusy.store(1);
  State.McpuIntReq.store(0);

  TMcpuIo& m = *Mcpu;
  m.ResetState();  // BASIC image selected, any SYNC/CWAI wait ended
  m.PatchRom();
  m.ResetMainIo();
  // Cold: the reset vector (always FE00); hot: the BASIC image's hot-start
  // address. Both read through the map with the image selected.
  m.PC = m.ReadWord(hot ? 0xFBFC : 0xFFFE);

  State.ScpuIntReq.store(0);
  TScpuIo& s = *Scpu;
  s.ResetState();
  s.ResetSubIo();
  s.CC = 0;
  s.S = 0xD000;
  s.DP = 0xD0;
  s.PC = s.ReadWord(0xFFFE);
  // Every other register of both CPUs, and all memory, keep their contents.
}

uint64_t TMcpuThread::RunBatch(uint64_t limit) {
  constexpr auto relaxed = std::memory_order_relaxed;
  // A batch ends with the pass that makes the pacing pause, or after limit
  // passes, or after 256 (CpuWait 255 never pauses): between batches the
  // loop looks at its suspend and terminate requests, and the counters are
  // brought up to date. Within a batch every pass does exactly what a lone
  // pass does, so a machine runs the same whatever the batches.
  if (limit > 256) limit = 256;
  const uint8_t wait = static_cast<uint8_t>(State.CpuWait.load(relaxed));
  // The debugger is looked at once a batch: a hold or a breakpoint set from
  // the window takes effect within a batch (at most about a millisecond of
  // machine time), and while anything is held or armed every pass goes the
  // watched way.
  const bool watched = DebugHold.Engaged();
  uint64_t done = 0;
  uint64_t subDone = 0;
  uint64_t counted = 0;  // passes already added to Passes
  TMcpuIo& m = *Mcpu;
  TScpuIo& s = *Scpu;
  bool paused = false;
  while (done < limit && !paused) {
    // Pacing: one 1 ms pause every (CpuWait & 0xFF) + 2 passes, before the
    // pass's instructions.
    const uint8_t old = PaceCounter++;
    if (old > wait) [[unlikely]] {
      PaceCounter = 0;
      // The counters are up to date when the pacer's hooks run.
      Passes.store(Passes.load(relaxed) + done, relaxed);
      SubPasses.store(SubPasses.load(relaxed) + subDone, relaxed);
      counted = done;
      subDone = 0;
      Pacer.Pause1ms();
      paused = true;
    }
    ++done;
    if (watched) [[unlikely]] {
      WatchedPass();
      continue;
    }
    m.Step();
    m.Step();
    m.Step();
    // Requests are rare next to passes: the words are tested here, and the
    // offer routines run only when one is set.
    if (uint32_t req = State.McpuIntReq.load(std::memory_order_acquire)) [[unlikely]]
      OfferMain(req);

    // A halted sub CPU runs nothing and takes nothing; its requests wait.
    if (State.SubHalt.load(relaxed)) continue;
    ++subDone;
    s.Step();
    s.Step();
    s.Step();
    if (uint32_t req = State.ScpuIntReq.load(std::memory_order_acquire)) [[unlikely]]
      OfferSub(req);
  }
  Passes.store(Passes.load(relaxed) + done - counted, relaxed);
  SubPasses.store(SubPasses.load(relaxed) + subDone, relaxed);
  return done;
}

void TMcpuThread::OfferMain(uint32_t req) {
  // FIRQ, then IRQ; the reset only on a pass that enters neither. The
  // levels stay set until the firmware acknowledges them at FD03/FD04.
  TMcpuIo& m = *Mcpu;
  if (!((req & MCPU_FIRQ_MASK) && m.TakeFirq()) &&
      !((req & MCPU_IRQ_MASK) && m.TakeIrq()) && (req & MCPU_RESET)) {
    ResetMachine(State.HotStartReq.load() != 0);
  }
}

void TMcpuThread::OfferSub(uint32_t req) {
  // NMI first, and alone on its pass; then the key FIRQ, then the cancel IRQ.
  TScpuIo& s = *Scpu;
  if (req & SCPU_NMI) {
    s.TakeNmi();
    State.ClearScpu(SCPU_NMI);
  } else if (!((req & SCPU_FIRQ_KEY) && s.TakeFirq()) &&
             (req & SCPU_IRQ_CANCEL)) {
    s.TakeIrq();
  }
}

// A CPU's share of a pass under the debugger: none while held, one
// instruction while stepping, otherwise three with the breakpoint checked
// after each. True when the CPU is free and is to be offered its requests.
bool TMcpuThread::RunWatched(int index, TCpu09& cpu) {
  const int n = DebugHold.Allowance(index, 3);
  for (int k = 0; k < n; ++k) {
    cpu.Step();
    if (DebugHold.AfterStep(index, cpu.PC)) return false;
  }
  return DebugHold.Free(index);
}

void TMcpuThread::WatchedPass() {
  TMcpuIo& m = *Mcpu;
  if (RunWatched(0, m)) {
    const uint16_t pc = m.PC;
    if (uint32_t req = State.McpuIntReq.load(std::memory_order_acquire)) OfferMain(req);
    if (m.PC != pc) DebugHold.AtBreakpoint(0, m.PC);  // an entry may land on it
  }
  if (State.SubHalt.load(std::memory_order_relaxed)) return;
  TScpuIo& s = *Scpu;
  if (RunWatched(1, s)) {
    const uint16_t pc = s.PC;
    if (uint32_t req = State.ScpuIntReq.load(std::memory_order_acquire)) OfferSub(req);
    if (s.PC != pc) DebugHold.AtBreakpoint(1, s.PC);
  }
}

bool TMcpuThread::RunPasses(uint64_t n) {
  if (Worker.joinable()) {
    std::lock_guard<std::mutex> lk(Lock);
    if (!AtRest && !Exited) return false;
  }
  while (n > 0) n -= RunBatch(n);
  return true;
}

void TMcpuThread::Execute() {
  if (SuspendPending.load(std::memory_order_acquire)) RestWhileSuspended();
  if (!TerminateReq.load(std::memory_order_acquire) && ResetAtStart) ResetMachine(false);
  Pacer.Restart();
  while (!TerminateReq.load(std::memory_order_relaxed)) {
    if (SuspendPending.load(std::memory_order_acquire)) {
      RestWhileSuspended();
      Pacer.Restart();
      continue;
    }
    RunBatch(256);
  }
  std::lock_guard<std::mutex> lk(Lock);
  Exited = true;
  Changed.notify_all();
}

void TMcpuThread::RestWhileSuspended() {
  std::unique_lock<std::mutex> lk(Lock);
  AtRest = true;
  Changed.notify_all();
  Changed.wait(lk, [this] {
    return SuspendCount == 0 || TerminateReq.load(std::memory_order_relaxed);
  });
  AtRest = false;
}

void TMcpuThread::Start(bool coldReset) {
  if (Worker.joinable()) return;
  TerminateReq.store(false);
  ResetAtStart = coldReset;
  {
    std::lock_guard<std::mutex> lk(Lock);
    AtRest = false;
    Exited = false;
  }
  Worker = std::thread([this] { Execute(); });
}

void TMcpuThread::Suspend() {
  std::unique_lock<std::mutex> lk(Lock);
  ++SuspendCount;
  SuspendPending.store(true, std::memory_order_release);
  if (!Worker.joinable() || std::this_thread::get_id() == Worker.get_id())
    return;
  Changed.wait(lk, [this] { return AtRest || Exited; });
}

void TMcpuThread::Resume() {
  std::lock_guard<std::mutex> lk(Lock);
  if (SuspendCount > 0) --SuspendCount;
  if (SuspendCount == 0) SuspendPending.store(false, std::memory_order_release);
  Changed.notify_all();
}

void TMcpuThread::Terminate() {
  TerminateReq.store(true);
  {
    std::lock_guard<std::mutex> lk(Lock);
    Changed.notify_all();
  }
  if (Worker.joinable() && std::this_thread::get_id() != Worker.get_id())
    Worker.join();
}
