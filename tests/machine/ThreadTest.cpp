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
  // Sub: fill video RAM forever. Main: halt the sub CPU, read shared RAM,
  // release it, forever.
  TTestMachine::Put(t.Sub, 0xD800, 0xD800,
                    {0x8E, 0x00, 0x00, 0xA7, 0x80, 0x4C, 0x8C, 0xC0, 0x00,
                     0x26, 0xF8, 0x20, 0xF3});
  TTestMachine::Put(t.Rom2, 0xFE00, 0xFE00,
                    {0x86, 0x80, 0xB7, 0xFD, 0x05, 0xB6, 0xFC, 0x80, 0x7F,
                     0xFD, 0x05, 0x20, 0xF3});
  auto& m = t.Build();
  auto& main = t.Main();
  main.S = 0x7F00;
  // Main IRQ and FIRQ handlers acknowledge at FD03/FD04.
  main.Bank[0][0xFFF6] = 0x10;
  main.Bank[0][0xFFF7] = 0x10;
  main.Bank[0][0xFFF8] = 0x10;
  main.Bank[0][0xFFF9] = 0x00;
  t.RunMainFrom(0x1000, {0xB6, 0xFD, 0x03, 0x3B});
  t.RunMainFrom(0x1010, {0xB6, 0xFD, 0x04, 0x3B});
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

}  // namespace
