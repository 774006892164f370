// The two-CPU machine: the main/sub handshake, the interrupt request words
// and their acknowledges, bank switching, reset and hot start, pacing, and
// the I/O registers of both sides.
#include <gtest/gtest.h>

#include "TestMachine.h"

namespace {

TEST(Machine, HaltReleaseHandshakeAndSharedRam) {
  TTestMachine t;
  TTestMachine::Assemble(t.Sub, 0xD800, R"(
        ORG  $D800
LOOP    INC  $D380           ; count in shared RAM
        LDA  $D381           ; copy what the main CPU left there
        STA  $C010
        BRA  LOOP
)");
  auto& m = t.Build();
  auto& main = t.Main();

  m.RunPasses(10);
  ASSERT_GT(t.State.SharedRam[0], 0);
  // While the sub CPU runs, the main CPU's window is closed.
  EXPECT_EQ(main.ReadByte(0xFC80), 0xFF);
  main.WriteByte(0xFC81, 0x55);
  EXPECT_EQ(t.State.SharedRam[1], 0);

  main.WriteByte(0xFD05, 0x80);  // halt
  EXPECT_EQ(main.ReadByte(0xFD05), 0xFE);
  uint8_t count = t.State.SharedRam[0];
  m.RunPasses(10);
  EXPECT_EQ(t.State.SharedRam[0], count) << "a halted sub CPU ran";
  EXPECT_EQ(main.ReadByte(0xFC80), count);
  main.WriteByte(0xFC81, 0x55);

  main.WriteByte(0xFD05, 0x00);  // release
  m.RunPasses(5);
  EXPECT_GT(t.State.SharedRam[0], count);
  EXPECT_EQ(t.Subcpu().Bank[0][0xC010], 0x55);

  // The sub CPU reports ready (read D40A) and busy (write D40A).
  t.Subcpu().ReadByte(0xD40A);
  EXPECT_EQ(main.ReadByte(0xFD05), 0x7E);
  t.Subcpu().WriteByte(0xD40A, 0);
  EXPECT_EQ(main.ReadByte(0xFD05), 0xFE);
}

TEST(Machine, InterruptCauseRegistersAcknowledge) {
  struct Case {
    uint32_t pending;
    uint16_t reg;
    uint8_t read;
    uint32_t after;
  };
  const Case cases[] = {
      {0x0500, 0xFD03, 0xFA, 0x0000},  // key + timer: both reported, both cleared
      {0x0100, 0xFD03, 0xFE, 0x0000},
      {0x0400, 0xFD03, 0xFB, 0x0000},
      {0x0000, 0xFD03, 0xFF, 0x0000},
      {0x0503, 0xFD03, 0xFA, 0x0003},  // FIRQ causes untouched
      {0x0002, 0xFD04, 0xFD, 0x0002},  // BREAK stays while held
      {0x0003, 0xFD04, 0xFC, 0x0002},
      {0x0001, 0xFD04, 0xFE, 0x0000},
      {0x0401, 0xFD04, 0xFE, 0x0400},  // IRQ causes untouched
  };
  TTestMachine t;
  t.Build();
  for (const Case& c : cases) {
    t.State.McpuIntReq = c.pending;
    EXPECT_EQ(t.Main().ReadByte(c.reg), c.read) << std::hex << c.pending << " " << c.reg;
    EXPECT_EQ(t.State.McpuIntReq.load(), c.after) << std::hex << c.pending;
  }
  // A second read sees nothing unless a new cause came in between.
  t.State.McpuIntReq = 0x0500;
  EXPECT_EQ(t.Main().ReadByte(0xFD03), 0xFA);
  EXPECT_EQ(t.Main().ReadByte(0xFD03), 0xFF);
}

TEST(Machine, KeyDeliveryFollowsKeyIrqEnable) {
  TTestMachine t;
  t.Build();
  auto& main = t.Main();
  auto& sub = t.Subcpu();
  main.WriteByte(0xFD02, 0x01);
  t.State.DeliverKey(0x8003);  // function key 3
  EXPECT_EQ(t.State.McpuIntReq.load(), MCPU_IRQ_KEY);
  EXPECT_EQ(t.State.ScpuIntReq.load(), 0u);
  EXPECT_EQ(main.ReadByte(0xFD00), 0xFF);
  EXPECT_EQ(main.ReadByte(0xFD01), 0x03);

  main.WriteByte(0xFD02, 0x04);  // timer IRQ on, key IRQs to the sub CPU
  EXPECT_EQ(t.State.TimerIrqEnable.load(), 1u);
  t.State.DeliverKey(0x41);
  EXPECT_EQ(t.State.ScpuIntReq.load(), SCPU_FIRQ_KEY);
  EXPECT_EQ(sub.ReadByte(0xD400), 0x7F);
  EXPECT_EQ(t.State.ScpuIntReq.load(), SCPU_FIRQ_KEY) << "D400 acknowledged";
  EXPECT_EQ(sub.ReadByte(0xD401), 0x41);
  EXPECT_EQ(t.State.ScpuIntReq.load(), 0u);
  t.State.RaiseScpu(SCPU_FIRQ_KEY);
  EXPECT_EQ(sub.ReadByte(0xD401), 0x41);  // same code again still acknowledges
  EXPECT_EQ(t.State.ScpuIntReq.load(), 0u);
}

TEST(Machine, BankSwitchAtFD0F) {
  TTestMachine t;
  t.Rom1[0] = 0x5A;
  t.Build();
  auto& main = t.Main();
  main.WriteByte(0x8000, 0xAA);  // image selected: the write is lost
  EXPECT_EQ(main.ReadByte(0x8000), 0x5A);
  main.WriteByte(0xFD0F, 0x00);  // any write selects RAM
  main.WriteByte(0x8000, 0xAA);
  EXPECT_EQ(main.ReadByte(0x8000), 0xAA);
  EXPECT_EQ(main.ReadByte(0xFD0F), 0xFF);  // a read selects the image
  EXPECT_EQ(main.ReadByte(0x8000), 0x5A);
  main.WriteByte(0xFD0F, 0x12);
  EXPECT_EQ(main.ReadByte(0x8000), 0xAA);
  t.Machine->ResetMachine(false);
  EXPECT_EQ(main.ReadByte(0x8000), 0x5A);
}

TEST(Machine, SubNmiDroppedOnReleaseAndCancelWaitsForRelease) {
  TTestMachine t;
  auto& m = t.Build();
  auto& main = t.Main();
  auto& sub = t.Subcpu();

  main.WriteByte(0xFD05, 0x80);
  t.State.RaiseSubNmi();
  m.RunPasses(5);
  EXPECT_EQ(sub.Bank[0][0xC000], 0) << "NMI taken while halted";
  main.WriteByte(0xFD05, 0x00);
  EXPECT_EQ(t.State.ScpuIntReq.load(), 0u);
  m.RunPasses(5);
  EXPECT_EQ(sub.Bank[0][0xC000], 0) << "stale NMI after release";

  // C0: halt and cancel in one write; the IRQ waits for the release.
  main.WriteByte(0xFD05, 0xC0);
  EXPECT_EQ(t.State.SubHalt.load(), 1u);
  EXPECT_EQ(t.State.ScpuIntReq.load(), SCPU_IRQ_CANCEL);
  m.RunPasses(5);
  EXPECT_EQ(sub.Bank[0][0xC002], 0);
  main.WriteByte(0xFD05, 0x00);
  m.RunPasses(3);
  EXPECT_EQ(sub.Bank[0][0xC002], 1);
  EXPECT_EQ(t.State.ScpuIntReq.load(), 0u) << "D402 did not acknowledge";
}

TEST(Machine, SubNmiTakenBeforePendingFirq) {
  TTestMachine t;
  auto& m = t.Build();
  auto& sub = t.Subcpu();
  t.State.RaiseScpu(SCPU_NMI | SCPU_FIRQ_KEY);
  m.RunPasses(1);
  EXPECT_EQ(sub.PC, SUB_NMI);
  EXPECT_EQ(t.State.ScpuIntReq.load(), SCPU_FIRQ_KEY);
  m.RunPasses(1);  // NMI handler returns, then the FIRQ is entered
  EXPECT_EQ(sub.PC, SUB_FIRQ);
  EXPECT_EQ(sub.Bank[0][0xC000], 1);
  m.RunPasses(1);
  EXPECT_EQ(sub.Bank[0][0xC001], 1);
  EXPECT_EQ(t.State.ScpuIntReq.load(), 0u);
}

TEST(Machine, ResetAndHotStart) {
  for (bool hot : {false, true}) {
    SCOPED_TRACE(hot ? "hot start" : "reset");
    TTestMachine t;
    auto& m = t.Build();
    auto& main = t.Main();
    auto& sub = t.Subcpu();
    // Off the boot entry first: its trap would set S, A and DP before the
    // reset is taken.
    TTestMachine::Assemble(main, " ORG $1000\n BRA *\n");
    main.PC = 0x1000;
    // Disturb everything a reset touches and some things it must not.
    main.A = 0x11;
    main.X = 0x2222;
    main.S = 0x3333;
    main.DP = 0x44;
    main.CC = 0x50;
    sub.A = 0x66;
    sub.U = 0x7777;
    sub.CC = 0xFF;
    sub.S = 0x1234;
    main.Bank[0][0x1234] = 0x99;
    main.WriteByte(0xFD0F, 0);
    main.WriteByte(0xFD37, 0x77);
    main.WriteByte(0xFD38, 5);
    main.WriteByte(0xFD02, 0x05);
    sub.WriteByte(0xD408, 0);
    sub.WriteByte(0xD40F, 0x40);
    sub.Bank[0][0x0010] = 0x3C;
    t.State.DeliverKey(0x41);
    main.WriteByte(0xFD05, 0xC0);
    t.State.RaiseSubNmi();
    t.State.RequestReset(hot);
    m.RunPasses(1);

    EXPECT_EQ(main.PC, hot ? MAIN_HOT : 0xFE00);
    EXPECT_EQ(main.A, 0x11);
    EXPECT_EQ(main.X, 0x2222);
    EXPECT_EQ(main.S, 0x3333);
    EXPECT_EQ(main.DP, 0x44);
    EXPECT_EQ(main.CC, 0x50);
    EXPECT_EQ(main.BankSelect, 0);
    EXPECT_EQ(main.Bank[0][0x1234], 0x99);
    EXPECT_EQ(sub.A, 0x66);
    EXPECT_EQ(sub.U, 0x7777);
    EXPECT_EQ(sub.S, 0xD000);
    EXPECT_EQ(sub.DP, 0xD0);
    EXPECT_EQ(sub.VramOffset, 0);
    EXPECT_EQ(sub.Bank[0][0x0010], 0x3C) << "video RAM moved or cleared";
    EXPECT_EQ(t.State.McpuIntReq.load(), 0u);
    EXPECT_EQ(t.State.SubHalt.load(), 0u);
    EXPECT_EQ(t.State.SubBusy.load(), 1u);
    EXPECT_EQ(t.State.KeyData.load(), 0u);
    EXPECT_EQ(t.State.KeyIrqEnable.load(), 0u);
    EXPECT_EQ(t.State.TimerIrqEnable.load(), 0u);
    EXPECT_EQ(t.State.WritePlanes.load(), 7u);
    EXPECT_EQ(t.State.DisplayPlanes.load(), 7u);
    EXPECT_EQ(t.State.Palette[0].load(), 0u);
    EXPECT_EQ(t.State.CrtOn.load(), 1u);
    // The sub CPU ran its first group from the reset vector with every
    // request gone and CC = 0.
    EXPECT_EQ(sub.PC, SUB_RESET);
    EXPECT_EQ(sub.CC, 0);
    EXPECT_EQ(t.State.ScpuIntReq.load(), 0u);
    m.RunPasses(3);
    EXPECT_EQ(sub.Bank[0][0xC000] | sub.Bank[0][0xC001] | sub.Bank[0][0xC002], 0);
  }
}

TEST(Machine, IrqRaisedAfterResetRequestIsEnteredFirst) {
  TTestMachine t;
  auto& m = t.Build();
  auto& main = t.Main();
  TTestMachine::Assemble(main, R"(
        ORG  $FFF8
        FDB  $1000           ; IRQ vector
        ORG  $1000
        LDA  $FD03           ; acknowledge
        RTI
        ORG  $2000
        BRA  *
)");
  main.PC = 0x2000;
  main.CC = 0;
  main.S = 0x7F00;
  main.WriteByte(0xFD02, 0x04);
  t.State.RequestReset(false);
  EXPECT_TRUE(t.State.RaiseTimerIrq());
  m.RunPasses(1);
  EXPECT_EQ(main.PC, 0x1000);
  EXPECT_EQ(t.State.McpuIntReq.load(), MCPU_RESET | MCPU_IRQ_TIMER);
  m.RunPasses(1);
  EXPECT_EQ(main.PC, 0xFE00);
  EXPECT_EQ(t.State.McpuIntReq.load(), 0u);
  EXPECT_FALSE(t.State.RaiseTimerIrq()) << "timer IRQ still enabled after reset";
}

TEST(Machine, CpuWaitPacing) {
  struct Case {
    int wait;
    uint64_t passes;
    uint64_t pauses;
  };
  const Case cases[] = {
      {0, 1000, 500}, {240, 2420, 10}, {254, 2560, 10}, {255, 10000, 0},
      {0x1FF, 10000, 0},  // only the low 8 bits count
  };
  for (const Case& c : cases) {
    TTestMachine t;
    auto& m = t.Build();
    t.State.CpuWait = c.wait;
    m.RunPasses(c.passes);
    EXPECT_EQ(t.Pacer.Pauses, c.pauses) << "CpuWait " << c.wait;
  }
}

// However the passes are cut into calls, the machine runs the same: the
// same registers, memory, pass and sub-pass counts and pauses. The main CPU
// holds the sub CPU halted now and then, so the two counts differ.
TEST(Machine, PassesRunTheSameWhateverTheCalls) {
  struct TRun {
    TTestMachine t;
    explicit TRun(std::initializer_list<uint64_t> pieces) {
      TTestMachine::Assemble(t.Rom1, 0x8000, R"(
        ORG  $8200           ; the cold start
LOOP    INC  $1000
        LDA  $1000
        ANDA #$0F
        BNE  REL
        LDA  #$80
        STA  $FD05           ; hold the sub CPU for a few instructions
        MUL
        MUL
REL     CLR  $FD05
        BRA  LOOP
)");
      TTestMachine::Assemble(t.Sub, 0xD800, " ORG $D800\nL INC $D000\n BRA L\n");
      auto& m = t.Build();
      t.State.CpuWait = 37;
      for (uint64_t n : pieces) m.RunPasses(n);
    }
  };
  TRun whole({5000});
  TRun cut({1, 38, 39, 40, 256, 257, 700, 1, 3668});
  TTestMachine& a = whole.t;
  TTestMachine& b = cut.t;
  EXPECT_EQ(a.Machine->PassCount(), 5000u);
  EXPECT_EQ(b.Machine->PassCount(), 5000u);
  EXPECT_EQ(a.Machine->SubPassCount(), b.Machine->SubPassCount());
  EXPECT_LT(a.Machine->SubPassCount(), 5000u);
  EXPECT_EQ(a.Pacer.Pauses, 5000u / 39);
  EXPECT_EQ(b.Pacer.Pauses, a.Pacer.Pauses);
  EXPECT_EQ(a.Main().PC, b.Main().PC);
  EXPECT_EQ(a.Subcpu().PC, b.Subcpu().PC);
  EXPECT_EQ(a.Main().Bank[0][0x1000], b.Main().Bank[0][0x1000]);
  EXPECT_EQ(a.Subcpu().Bank[0][0xD000], b.Subcpu().Bank[0][0xD000]);
}

TEST(Machine, MissingImageSetsRomError) {
  for (std::string skip : {"", "fb30rom1.dat", "fb30rom2.dat", "fb30sub.dat"}) {
    TTestMachine t;
    t.Build(skip);
    EXPECT_EQ(t.Machine->RomError != 0, !skip.empty()) << skip;
  }
}

TEST(Machine, KanjiPatternRegisters) {
  TTestMachine t;
  t.Build();
  auto& main = t.Main();
  main.WriteByte(0xFD20, 0x40);
  main.WriteByte(0xFD21, 0x10);  // JIS 3021, row 0
  EXPECT_EQ(t.State.LastKanjiCode, 0x3021);
  ASSERT_EQ(t.Host.Glyphs.size(), 1u);
  EXPECT_EQ(t.Host.Glyphs[0], 0x889F);
  EXPECT_EQ(main.ReadByte(0xFD22), 0x9F);
  EXPECT_EQ(main.ReadByte(0xFD23), 0x88);
  main.WriteByte(0xFD20, 0x40);
  main.WriteByte(0xFD21, 0x1F);  // same character, row 15: no redraw
  EXPECT_EQ(t.Host.Glyphs.size(), 1u);
  EXPECT_EQ(main.ReadByte(0xFD22), 0x9F + 15);
  EXPECT_EQ(main.ReadByte(0xFD23), 0x88 + 15);
  main.WriteByte(0xFD21, 0x20);  // ORed into the low byte: 403F, JIS 3023
  EXPECT_EQ(t.State.LastKanjiCode, 0x3023);
  EXPECT_EQ(t.Host.Glyphs.size(), 2u);
  main.WriteByte(0xFD20, 0x10);  // the ninth group
  main.WriteByte(0xFD21, 0x00);
  EXPECT_EQ(t.State.LastKanjiCode, 0x2060);

  const uint16_t jisSjis[][2] = {{0x2121, 0x8140}, {0x3021, 0x889F},
                                 {0x4F53, 0x9872}, {0x5021, 0x989F},
                                 {0x2422, 0x82A0}, {0x7426, 0xEAA4}};
  for (auto& p : jisSjis) EXPECT_EQ(TMcpuIo::JisToSjis(p[0]), p[1]) << std::hex << p[0];
}

TEST(Machine, SubRegistersActOnTheAccess) {
  TTestMachine t;
  t.Build();
  auto& sub = t.Subcpu();
  auto& s = t.State;

  s.RaiseScpu(SCPU_IRQ_CANCEL);
  EXPECT_EQ(sub.ReadByte(0xD402), 0xFF);
  EXPECT_EQ(s.ScpuIntReq.load(), 0u);
  s.RaiseScpu(SCPU_IRQ_CANCEL);
  sub.WriteByte(0xD402, 0);
  EXPECT_EQ(s.ScpuIntReq.load(), 0u);

  sub.ReadByte(0xD403);
  sub.WriteByte(0xD403, 0);
  EXPECT_EQ(t.Host.Beeps, 2);

  sub.ReadByte(0xD404);
  EXPECT_EQ(s.McpuIntReq.load(), MCPU_FIRQ_ATTENTION);
  t.Main().ReadByte(0xFD04);
  sub.WriteByte(0xD404, 0);
  EXPECT_EQ(s.McpuIntReq.load(), MCPU_FIRQ_ATTENTION);

  sub.WriteByte(0xD408, 0);
  EXPECT_EQ(s.CrtOn.load(), 0u);
  sub.ReadByte(0xD408);
  EXPECT_EQ(s.CrtOn.load(), 1u);

  sub.ReadByte(0xD40D);
  EXPECT_EQ(s.TakeInsLampReq(), INS_LAMP_ON);
  sub.WriteByte(0xD40D, 0);
  EXPECT_EQ(s.TakeInsLampReq(), INS_LAMP_OFF);
  EXPECT_EQ(s.TakeInsLampReq(), INS_LAMP_NONE);
  EXPECT_EQ(sub.ReadByte(0xD4FF), 0xFF);
}

}  // namespace
