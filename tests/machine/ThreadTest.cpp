// The emulation thread under suspend and resume while other threads raise
// requests and read the display state, as the window and timer threads do.
// Run under ThreadSanitizer by make test-tsan.
#include <gtest/gtest.h>

#include <thread>

#include "TestMachine.h"

namespace {

std::atomic<unsigned> Sink{0};

TEST(MachineThread, SuspendResumeWhileRequestsArrive) {
  TTestMachine t;
  TTestMachine::Assemble(t.Sub, 0xD800, R"(
        ORG  $D800
FILL    LDX  #0              ; fill video RAM forever
LOOP    STA  ,X+
        INCA
        CMPX #$C000
        BNE  LOOP
        BRA  FILL
)");
  TTestMachine::Assemble(t.Rom2, 0xFE00, R"(
        ORG  $FE00
LOOP    LDA  #$80            ; halt the sub CPU, read shared RAM, release
        STA  $FD05
        LDA  $FC80
        CLR  $FD05
        BRA  LOOP
)");
  auto& m = t.Build();
  auto& main = t.Main();
  main.S = 0x7F00;
  TTestMachine::Assemble(main, R"(
        ORG  $FFF6
        FDB  $1010,$1000     ; FIRQ, IRQ
        ORG  $1000
        LDA  $FD03
        RTI
        ORG  $1010
        LDA  $FD04
        RTI
)");
  t.State.CpuWait = 255;

  m.Start();
  EXPECT_FALSE(m.RunPasses(1)) << "stepped a running machine from outside";
  std::atomic<bool> stop{false};
  std::thread raiser([&] {
    unsigned sum = 0;
    for (int i = 0; !stop; ++i) {
      t.State.RaiseSubNmi();
      t.State.RaiseTimerIrq();
      t.State.DeliverKey(static_cast<uint16_t>(i & 0x7F));
      if (i % 16 == 0) t.State.PressBreak();
      if (i % 16 == 8) t.State.ReleaseBreak();
      sum += t.State.Pixel(static_cast<size_t>(i) % TDisplayState::PixelCount);
      sum += t.State.Palette[i & 7].load(std::memory_order_relaxed);
      std::this_thread::yield();
    }
    Sink = sum;
  });

  for (int i = 0; i < 300; ++i) {
    m.Suspend();
    if (i % 100 == 0) {
      EXPECT_TRUE(m.RunPasses(1));  // a step while at rest
    }
    uint64_t passes = m.PassCount();
    // At rest the machine objects belong to this thread.
    main.Bank[0][0x6000] = static_cast<uint8_t>(i);
    uint16_t pc = t.Subcpu().PC;
    std::this_thread::yield();
    EXPECT_EQ(m.PassCount(), passes);
    EXPECT_EQ(t.Subcpu().PC, pc);
    if (i % 50 == 0) {  // nested: one resume is not enough
      m.Suspend();
      m.Resume();
      std::this_thread::yield();
      EXPECT_EQ(m.PassCount(), passes);
    }
    m.Resume();
    if (i % 3 == 0) std::this_thread::yield();
  }
  // The machine made progress between the suspensions.
  m.Suspend();
  uint64_t passes = m.PassCount();
  m.Resume();
  while (m.PassCount() == passes) std::this_thread::yield();

  stop = true;
  raiser.join();
  m.Terminate();
  EXPECT_FALSE(m.Running());
  EXPECT_EQ(t.Pacer.Pauses, 0u);
}

TEST(MachineThread, TerminateWhileSuspendedAndBeforeStart) {
  TTestMachine t;
  auto& m = t.Build();
  m.Terminate();  // never started
  m.Suspend();    // not running: returns at once
  m.Resume();
  m.Start();
  m.Suspend();
  m.Terminate();  // wakes the resting loop
  EXPECT_FALSE(m.Running());
}

TEST(MachineThread, VirtualClockDrivesTimersPerMillisecond) {
  TMachineState state;
  TNullHostServices host;
  TVirtualClock clock;
  TTestMachine t;  // only for its images
  t.Build();
  TMcpuThread m(state, host, clock, t.Dir);
  m.ResetMachine(false);
  int ticks = 0;
  clock.OnMillisecond = [&](uint64_t now) {
    ++ticks;
    if (now % 20 == 0) state.RaiseSubNmi();
  };
  state.CpuWait = 0;
  m.RunPasses(200);  // a pause every second pass
  EXPECT_EQ(clock.Now(), 100u);
  EXPECT_EQ(ticks, 100);
}

// The real-time pauses end on deadlines 1 ms apart: a late pause shortens
// the next; a long stall, or a rest (restart), starts afresh from now.
TEST(MachineThread, PauseScheduleKeepsAbsoluteDeadlines) {
  using std::chrono::microseconds;
  const TPauseSchedule::Clock::time_point t0{std::chrono::seconds(100)};
  // {pause begins, restart before it, deadline}, in microseconds after t0
  const int steps[][3] = {{0, 0, 1000},         {1090, 0, 2000},  {5500, 0, 3000},
                          {5600, 0, 4000},      {40000, 0, 41000}, {41020, 1, 42020},
                          {42100, 0, 43020}};
  TPauseSchedule s;
  for (const auto& st : steps) {
    if (st[1]) s.Restart();
    EXPECT_EQ(s.Next(t0 + microseconds(st[0])) - t0, microseconds(st[2])) << st[0];
  }
}

}  // namespace
