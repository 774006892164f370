#include <gtest/gtest.h>

#include <vector>

#include "FakeMachine.h"
#include "TimerSchedule.h"
#include "WindowPacer.h"

namespace {

struct TCountingMachine : TFakeMachine {
  std::vector<uint32_t> MainIrqAt, NmiAt;
  uint32_t Now = 0;
  void SetMcpuRequest(uint32_t b) override {
    TFakeMachine::SetMcpuRequest(b);
    if (b & McpuReq_Timer) MainIrqAt.push_back(Now);
  }
  void SetScpuRequest(uint32_t b) override {
    TFakeMachine::SetScpuRequest(b);
    if (b & ScpuReq_Nmi) NmiAt.push_back(Now);
  }
};

struct TFakeWindow : TTimerWindow {
  bool Pasting = false;
  std::vector<uint32_t> FlipAt, PasteAt;
  uint32_t* Now = nullptr;
  bool PasteInProgress() const override { return Pasting; }
  void PostFlip() override { FlipAt.push_back(*Now); }
  void PostPasteChar() override { PasteAt.push_back(*Now); }
};

class Timer : public ::testing::Test {
 protected:
  TCountingMachine M;
  TFakeWindow W;
  TTimerSchedule T{M, W};
  bool WindowDrawsFrames = true;

  void SetUp() override { W.Now = &M.Now; }
  void Start(TSettings s, uint32_t atMs) {
    M.Now = atMs;
    T.StartTimer(s, atMs);
  }
  // Ticks every resolution milliseconds until the clock reaches endMs.
  void RunUntil(uint32_t endMs) {
    while (M.Now + T.Resolution() <= endMs) {
      M.Now += T.Resolution();
      T.TimerTick(M.Now);
      if (WindowDrawsFrames) T.FlipPending = false;
    }
  }
  static std::vector<uint32_t> Gaps(const std::vector<uint32_t>& at) {
    std::vector<uint32_t> g;
    for (size_t i = 1; i < at.size(); ++i) g.push_back(at[i] - at[i - 1]);
    return g;
  }
};

TEST_F(Timer, PeriodsFromSettings) {
  struct Case {
    int32_t flip, subNmi, mcpuIrq;
    uint32_t frame, sub, main, resolution;
  } cases[] = {
      {30, 20, 203, 8533, 5120, 519, 2}, {1, 10, 100, 256000, 2560, 256, 1},
      {60, 50, 500, 4266, 12800, 1280, 5}, {30, 20, 150, 8533, 5120, 384, 1},
  };
  for (const Case& c : cases) {
    TSettings s;
    s.FlipFreq = c.flip;
    s.SubNmi = c.subNmi;
    s.McpuIrq = c.mcpuIrq;
    T.StartTimer(s, 0);
    EXPECT_EQ(T.FramePeriod(), c.frame);
    EXPECT_EQ(T.SubPeriod(), c.sub);
    EXPECT_EQ(T.MainPeriod(), c.main);
    EXPECT_EQ(T.Resolution(), c.resolution);
  }
  TSettings s;
  T.StartTimer(s, 0, /*minPeriodMs=*/3);
  EXPECT_EQ(T.Resolution(), 3u);
}

TEST_F(Timer, DefaultRatesOverTenSeconds) {
  M.TimerIrq = true;
  Start(TSettings{}, 5000);
  RunUntil(15000);
  // 10 s / 2.02734 ms (519/256) = 4932.6 main IRQs, 500 NMIs.
  EXPECT_NEAR(static_cast<double>(M.MainIrqAt.size()), 4932.6, 1.0);
  EXPECT_EQ(M.NmiAt.size(), 500u);
  for (uint32_t g : Gaps(M.NmiAt)) EXPECT_EQ(g, 20u);
  for (uint32_t g : Gaps(W.FlipAt)) EXPECT_EQ(g, 34u);
  EXPECT_EQ(M.ScpuIntReq, ScpuReq_Nmi);
  EXPECT_EQ(M.McpuIntReq, McpuReq_Timer);
}

TEST_F(Timer, McpuIrq150FiresOnTwoOfEveryThreeTicks) {
  M.TimerIrq = true;
  TSettings s;
  s.McpuIrq = 150;
  Start(s, 0);
  RunUntil(3000);
  EXPECT_EQ(M.MainIrqAt.size(), 2000u);
  for (uint32_t g : Gaps(M.MainIrqAt)) EXPECT_TRUE(g == 1 || g == 2) << g;
}

TEST_F(Timer, AtMostOneFrameRequestQueued) {
  Start(TSettings{}, 0);
  WindowDrawsFrames = false;  // window thread blocked
  RunUntil(100);
  EXPECT_EQ(W.FlipAt.size(), 1u);
  T.FlipPending = false;  // the frame is drawn at last
  WindowDrawsFrames = true;
  RunUntil(200);
  ASSERT_GE(W.FlipAt.size(), 2u);
  EXPECT_LE(W.FlipAt[1] - 100, 34u);
  for (uint32_t g : Gaps(std::vector<uint32_t>(W.FlipAt.begin() + 1, W.FlipAt.end()))) EXPECT_EQ(g, 34u);
}

TEST_F(Timer, SubScheduleCatchesUpAfterA60msStallButRestartsAfter100ms) {
  Start(TSettings{}, 0);
  RunUntil(40);  // NMIs at 20 and 40
  M.Now = 100;   // callback stalled for 60 ms
  RunUntil(110);
  EXPECT_EQ(M.NmiAt, (std::vector<uint32_t>{20, 40, 102, 104, 106}));

  M.NmiAt.clear();
  Start(TSettings{}, 0);
  RunUntil(40);
  M.Now = 140;  // 100 ms stall: five periods behind
  RunUntil(200);
  EXPECT_EQ(M.NmiAt, (std::vector<uint32_t>{20, 40, 142, 162, 182}));
}

TEST_F(Timer, MainScheduleStandsStillUntilTheTimerIrqIsEnabled) {
  Start(TSettings{}, 0);
  RunUntil(500);
  EXPECT_TRUE(M.MainIrqAt.empty());
  M.TimerIrq = true;
  RunUntil(502);
  EXPECT_EQ(M.MainIrqAt, (std::vector<uint32_t>{502}));
  RunUntil(1502);
  EXPECT_NEAR(static_cast<double>(M.MainIrqAt.size()), 1 + 1000 / 2.02734, 1.0);
}

TEST_F(Timer, PasteStepPostedOncePerSubPeriodWhilePasting) {
  Start(TSettings{}, 0);
  W.Pasting = true;
  RunUntil(100);
  W.Pasting = false;
  RunUntil(200);
  EXPECT_EQ(W.PasteAt, (std::vector<uint32_t>{20, 40, 60, 80, 100}));
}

TEST_F(Timer, ClockWrapIsHarmless) {
  // The shifted clock wraps every 2^24 ms.
  Start(TSettings{}, (1u << 24) - 100);
  RunUntil((1u << 24) + 100);
  EXPECT_EQ(M.NmiAt.size(), 10u);
  for (uint32_t g : Gaps(M.NmiAt)) EXPECT_EQ(g, 20u);
}

TEST_F(Timer, StoppedTimerDoesNothing) {
  M.TimerIrq = true;
  Start(TSettings{}, 0);
  T.StopTimer();
  RunUntil(100);
  EXPECT_TRUE(M.NmiAt.empty());
  EXPECT_TRUE(W.FlipAt.empty());
}

// At full speed the frames and the interrupts are ticked apart, the
// interrupts by the pacer every resolution milliseconds of machine time.
TEST_F(Timer, FullSpeedSplitsFramesFromInterruptsOnMachineTime) {
  M.TimerIrq = true;
  Start(TSettings{}, 1000);
  TWindowPacer pacer;
  std::vector<uint32_t> ticks;
  pacer.StartFullSpeed(1000, T.Resolution(), [&](uint32_t now) {
    ticks.push_back(now);
    M.Now = now;
    T.TimerTick(now, TTimerSchedule::TParts::Interrupts);
  });
  for (int ms = 0; ms < 100; ++ms) pacer.Pause1ms();  // no sleeping: machine time
  EXPECT_EQ(ticks.size(), 50u);
  EXPECT_EQ(M.NmiAt, (std::vector<uint32_t>{1020, 1040, 1060, 1080, 1100}));
  EXPECT_NEAR(static_cast<double>(M.MainIrqAt.size()), 100 / 2.027, 1.0);
  EXPECT_TRUE(W.FlipAt.empty());
  T.TimerTick(1100, TTimerSchedule::TParts::Frames);
  EXPECT_EQ(W.FlipAt.size(), 1u);
  EXPECT_EQ(M.NmiAt.size(), 5u);
}

TEST(Speed, PercentOfTheNominalRate) {
  EXPECT_EQ(SpeedPercent(121000, 1000, 240), 50);  // 242 passes a millisecond is 100 %
  EXPECT_EQ(SpeedPercent(2570, 10, 255), 100);
  EXPECT_EQ(SpeedPercent(3, 1, 0), 150);
  EXPECT_EQ(SpeedPercent(1000, 0, 240), 0);
}

}  // namespace
