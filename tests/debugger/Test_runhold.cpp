// The run loop under the debugger's hold, on a whole two-CPU machine: a held
// CPU runs nothing and takes no interrupt, a step is exactly one
// instruction, a breakpoint holds its CPU before the instruction there, and
// the debug window drives all this on the running emulation thread.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QTest>

#include "Debugform.h"
#include "HostServices.h"
#include "MachineState.h"
#include "Mcputh.h"

namespace {
constexpr uint16_t SUB_NMI = 0xDC00;

class TQuietHost : public THostServices {
 public:
  void Beep() override {}
  void DrawGlyph(uint16_t, uint8_t bitmap[32]) override { std::fill(bitmap, bitmap + 32, 0); }
};

class TNoPause : public TPacer {
 public:
  void Pause1ms() override {}
};

// A machine without firmware images: the tests put their own programs into
// memory and point the CPUs at them.
struct TBareMachine {
  TMachineState State;
  TQuietHost Host;
  TNoPause Pacer;
  std::unique_ptr<TMcpuThread> Machine =
      std::make_unique<TMcpuThread>(State, Host, Pacer, "/nonexistent/");
  TMcpuIo& Main() { return *Machine->Mcpu; }
  TScpuIo& Subcpu() { return *Machine->Scpu; }
  void Load(TCpu09& cpu, uint16_t address, std::initializer_list<uint8_t> code) {
    for (uint8_t b : code) cpu.Bank[0][address++] = b;
  }
};

class RunHoldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    M.Machine->ResetMachine(false);
    // Main: 1000 INCA / 1001 INCB / 1002 BRA 1000.
    M.Load(M.Main(), 0x1000, {0x4C, 0x5C, 0x20, 0xFC});
    M.Main().PC = 0x1000;
    M.Main().A = M.Main().B = 0;
    // Sub: D000 INCA / D001 BRA D000; its NMI handler is an RTI.
    M.Load(M.Subcpu(), 0xD000, {0x4C, 0x20, 0xFD});
    M.Load(M.Subcpu(), SUB_NMI, {0x3B});
    M.Load(M.Subcpu(), 0xFFFC, {SUB_NMI >> 8, SUB_NMI & 0xFF});
    M.Subcpu().PC = 0xD000;
    M.Subcpu().A = 0;
  }
  TDebugHold& Hold() { return M.Machine->DebugHold; }
  TBareMachine M;
};
}  // namespace

TEST_F(RunHoldTest, HeldCpuRunsNothingWhileTheOtherRuns) {
  for (int held = 0; held < 2; ++held) {
    Hold().Target(held, false);
    TCpu09& h = held ? static_cast<TCpu09&>(M.Subcpu()) : M.Main();
    TCpu09& other = held ? static_cast<TCpu09&>(M.Main()) : M.Subcpu();
    const uint16_t pc = h.PC;
    const uint8_t a = h.A;
    const uint8_t otherA = other.A;
    M.Machine->RunPasses(50);
    EXPECT_EQ(h.PC, pc) << held;
    EXPECT_EQ(h.A, a) << held;
    EXPECT_EQ(other.A, uint8_t(otherA + (held ? 50 : 75))) << held;  // 3 a pass
    Hold().Release();
  }
}

TEST_F(RunHoldTest, HeldCpuTakesNoInterruptUntilReleased) {
  Hold().Target(1, false);
  M.State.ScpuIntReq.fetch_or(SCPU_NMI);
  M.Machine->RunPasses(10);
  EXPECT_EQ(M.Subcpu().PC, 0xD000);
  EXPECT_TRUE(M.State.ScpuIntReq.load() & SCPU_NMI);
  Hold().Release();
  M.Machine->RunPasses(1);
  EXPECT_FALSE(M.State.ScpuIntReq.load() & SCPU_NMI);
  EXPECT_EQ(M.Subcpu().PC, SUB_NMI);
}

TEST_F(RunHoldTest, StepExecutesExactlyOneInstructionAndHoldsAgain) {
  Hold().Target(0, false);
  const struct { uint16_t pc; uint8_t a, b; } after[] = {
      {0x1001, 1, 0}, {0x1002, 1, 1}, {0x1000, 1, 1}, {0x1001, 2, 1}};
  uint32_t holds = Hold().Holds.load();
  for (const auto& expect : after) {
    Hold().Target(0, true);
    M.Machine->RunPasses(7);
    EXPECT_EQ(M.Main().PC, expect.pc);
    EXPECT_EQ(M.Main().A, expect.a);
    EXPECT_EQ(M.Main().B, expect.b);
    EXPECT_EQ(Hold().DebugHalt.load(), 1u);
    EXPECT_EQ(Hold().Holds.load(), ++holds);
  }
  Hold().Release();
  M.Machine->RunPasses(10);
  EXPECT_EQ(M.Main().A, 12);  // released: three instructions a pass again
}

TEST_F(RunHoldTest, BreakpointHoldsBeforeTheInstructionThere) {
  Hold().SetBreakpoint(0, true, 0x1001);
  M.Machine->RunPasses(5);
  EXPECT_EQ(M.Main().PC, 0x1001);
  EXPECT_EQ(M.Main().A, 1);
  EXPECT_EQ(M.Main().B, 0);
  EXPECT_EQ(Hold().DebugTarget[0].load(), 1u);
  EXPECT_EQ(Hold().DebugHalt.load(), 1u);
  EXPECT_EQ(Hold().Holds.load(), 1u);
  // RUN: the instruction at the breakpoint runs, and the next lap stops again.
  Hold().Release();
  M.Machine->RunPasses(5);
  EXPECT_EQ(M.Main().PC, 0x1001);
  EXPECT_EQ(M.Main().A, 2);
  EXPECT_EQ(M.Main().B, 1);
  EXPECT_EQ(Hold().Holds.load(), 2u);
}

TEST_F(RunHoldTest, BreakpointOnAnInterruptEntry) {
  Hold().SetBreakpoint(1, true, SUB_NMI);
  M.State.ScpuIntReq.fetch_or(SCPU_NMI);
  M.Machine->RunPasses(3);
  EXPECT_EQ(M.Subcpu().PC, SUB_NMI);
  EXPECT_EQ(Hold().DebugTarget[1].load(), 1u);
  EXPECT_EQ(Hold().DebugTarget[0].load(), 0u);
}

TEST_F(RunHoldTest, WindowStepsTheRunningThread) {
  TDebugLinkOf<TMcpuThread> link(*M.Machine);
  M.Machine->Start();  // a cold reset first
  TDebugForm1 form(link);
  form.show();  // holds the main CPU
  form.EditPC->setText("1000");
  form.EditAR->setText("00");
  form.EditBR->setText("00");
  QTest::mouseClick(form.BtnStep, Qt::LeftButton);
  for (int i = 0; i < 200 && Hold().Holds.load() == 0; ++i) QTest::qWait(5);
  form.PollHold();
  EXPECT_EQ(form.EditPC->text(), QStringLiteral("1001"));
  EXPECT_EQ(form.EditAR->text(), QStringLiteral("01"));
  // Held: a while later nothing has moved.
  QTest::qWait(30);
  form.LoadFromCpu();
  EXPECT_EQ(form.EditPC->text(), QStringLiteral("1001"));
  // A cell written while the thread runs lands in memory.
  form.SGrid1SetEditText(1, 0x101, QStringLiteral("5C"));  // 1000: INCB
  form.close();
  M.Machine->Suspend();
  EXPECT_EQ(M.Main().Bank[0][0x1000], 0x5C);
  EXPECT_FALSE(Hold().Engaged());
  M.Machine->Resume();
  M.Machine->Terminate();
}

// RUN pressed again while the CPU runs leaves it alone (the edits, not
// refreshed meanwhile, are not written back); the marker and the PC edit come
// from one read even while the CPU shown runs.
TEST_F(RunHoldTest, RunningCpuNeverGetsStaleRegisters) {
  // 1000: LDA #1 / STA $3000 / JMP $2000; 2000: LEAX 1,X / BRA 2000.
  M.Load(M.Main(), 0x1000, {0x86, 0x01, 0xB7, 0x30, 0x00, 0x7E, 0x20, 0x00});
  M.Load(M.Main(), 0x2000, {0x30, 0x01, 0x20, 0xFC});
  TDebugLinkOf<TMcpuThread> link(*M.Machine);
  Hold().Target(0, false);
  M.Machine->Start();
  while (M.Machine->PassCount() == 0) QTest::qWait(1);  // past the reset
  M.Machine->Suspend();
  M.Main().PC = 0x1000;
  M.Machine->Resume();
  TDebugForm1 form(link);
  form.show();
  QTest::mouseClick(form.BtnRun, Qt::LeftButton);
  QTest::qWait(20);
  M.Machine->Suspend();
  M.Main().Bank[0][0x3000] = 0;
  M.Machine->Resume();
  QTest::mouseClick(form.BtnRun, Qt::LeftButton);
  for (int i = 0; i < 20; ++i) {
    (i % 2 ? form.CpuSub : form.CpuMain)->setChecked(true);
    const QString marked = form.DisasmView->toPlainText().section(QLatin1Char('>'), 1).mid(1, 4);
    EXPECT_EQ(marked, form.EditPC->text()) << i;
  }
  form.close();
  M.Machine->Terminate();
  EXPECT_EQ(M.Main().Bank[0][0x3000], 0);  // 1000 never ran again
}
