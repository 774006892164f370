// Control flow, stacks and system instructions: branch conditions, calls
// and returns, the PSHS/PULS frame layout, TFR/EXG between registers of
// different width, software and hardware interrupt frames, CWAI and SYNC
// waits, and the host trap.
#include <vector>

#include "tests/core/CpuFixture.h"

namespace {

// Branch taken for which NZVC nibbles (bit i set: taken when N Z V C = i).
struct BranchCase {
  uint8_t Op;
  uint16_t TakenFor;
};
const BranchCase kBranches[] = {
    {0x20, 0xFFFF}, {0x21, 0x0000}, {0x22, 0x0505}, {0x23, 0xFAFA},
    {0x24, 0x5555}, {0x25, 0xAAAA}, {0x26, 0x0F0F}, {0x27, 0xF0F0},
    {0x28, 0x3333}, {0x29, 0xCCCC}, {0x2A, 0x00FF}, {0x2B, 0xFF00},
    {0x2C, 0xCC33}, {0x2D, 0x33CC}, {0x2E, 0x0C03}, {0x2F, 0xF3FC},
};

TEST_F(CpuTest, ShortAndLongBranchConditions) {
  for (const BranchCase& b : kBranches) {
    for (int nzvc = 0; nzvc < 16; ++nzvc) {
      SCOPED_TRACE(::testing::Message() << std::hex << int(b.Op) << " nzvc "
                                        << nzvc);
      bool taken = b.TakenFor >> nzvc & 1;
      C.CC = static_cast<uint8_t>(nzvc | CC_H | CC_E);
      Run(0x1000, {b.Op, 0xF0});
      EXPECT_EQ(C.PC, taken ? 0x0FF2 : 0x1002);
      EXPECT_EQ(C.CC, nzvc | CC_H | CC_E);
      if (b.Op == 0x20) {
        Run(0x1000, {0x16, 0x01, 0x00});  // LBRA
        EXPECT_EQ(C.PC, 0x1103);
        continue;
      }
      Run(0x1000, {0x10, b.Op, 0x01, 0x00});
      EXPECT_EQ(C.PC, taken ? 0x1104 : 0x1004);
    }
  }
}

TEST_F(CpuTest, BranchToItselfLoopsAndInterruptsStillComeIn) {
  Poke(0xFFF8, {0x20, 0x00});
  Run(0x1000, {0x20, 0xFE}, 5);
  EXPECT_EQ(C.PC, 0x1000);
  C.S = 0x8000;
  EXPECT_EQ(C.TakeIrq(), 1);
  EXPECT_EQ(C.PC, 0x2000);
}

TEST_F(CpuTest, LongBranchOperandWrapsPastFFFF) {
  Poke(0xFFFC, {0x10, 0x27, 0x00, 0x10});  // LBEQ +10 with prefix at FFFC
  C.CC = CC_Z;
  C.PC = 0xFFFC;
  C.Step();
  EXPECT_EQ(C.PC, 0x0010);
}

TEST_F(CpuTest, Page10Opcode20IsATwoByteNoOp) {
  Poke(0x1000, {0x10, 0x20, 0x4C, 0x4C});
  C.PC = 0x1000;
  C.Step();
  EXPECT_EQ(C.PC, 0x1002);
  C.Step();
  EXPECT_EQ(C.A, 1);  // the two bytes run as instructions
}

TEST_F(CpuTest, DoublePrefixesAreTwoByteNoOps) {
  for (uint8_t second : {0x10, 0x11}) {
    for (uint8_t first : {0x10, 0x11}) {
      Run(0x1000, {first, second, 0x4C});
      EXPECT_EQ(C.PC, 0x1002);
    }
  }
  EXPECT_EQ(C.A, 0);
}

TEST_F(CpuTest, BsrLbsrJsrPushTheReturnAddressAndRtsReturns) {
  C.S = 0x8000;
  Run(0x1000, {0x8D, 0x10});  // BSR +10
  EXPECT_EQ(C.PC, 0x1012);
  EXPECT_EQ(C.S, 0x7FFE);
  EXPECT_EQ(MemWord(0x7FFE), 0x1002);

  Run(0x2000, {0x17, 0xF0, 0x00});  // LBSR -1000
  EXPECT_EQ(C.PC, 0x1003);
  EXPECT_EQ(MemWord(0x7FFC), 0x2003);

  C.X = 0x5000;
  Run(0x3000, {0xAD, 0x84});  // JSR ,X
  EXPECT_EQ(C.PC, 0x5000);
  EXPECT_EQ(MemWord(0x7FFA), 0x3002);

  Run(0x5000, {0x39});  // RTS
  EXPECT_EQ(C.PC, 0x3002);
  EXPECT_EQ(C.S, 0x7FFC);
  C.Rts();  // the same operation, as the traps call it
  EXPECT_EQ(C.PC, 0x2003);
  EXPECT_EQ(C.S, 0x7FFE);

  C.DP = 0x40;
  Run(0x1000, {0x9D, 0x20});  // JSR <20
  EXPECT_EQ(C.PC, 0x4020);
  Run(0x1000, {0x0E, 0x30});  // JMP <30
  EXPECT_EQ(C.PC, 0x4030);
}

TEST_F(CpuTest, PshsPulsFullFrameLayout) {
  C.A = 0x01;
  C.B = 0x02;
  C.CC = 0x03;
  C.DP = 0x04;
  C.X = 0x0506;
  C.Y = 0x0708;
  C.U = 0x090A;
  C.S = 0x8000;
  Run(0x1000, {0x34, 0xFF});  // PSHS all
  EXPECT_EQ(C.S, 0x8000 - 12);
  const uint8_t frame[12] = {0x03, 0x01, 0x02, 0x04, 0x05, 0x06,
                             0x07, 0x08, 0x09, 0x0A, 0x10, 0x02};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Mem(0x8000 - 12 + i), frame[i]) << i;

  C.A = C.B = C.CC = C.DP = 0;
  C.X = C.Y = C.U = 0;
  Poke(0x1002, {0x35, 0xFF});  // PULS all, with PC: jumps to 1002 again
  C.PC = 0x1002;
  C.Step();
  EXPECT_EQ(C.S, 0x8000);
  EXPECT_EQ(C.A, 0x01);
  EXPECT_EQ(C.B, 0x02);
  EXPECT_EQ(C.CC, 0x03);
  EXPECT_EQ(C.DP, 0x04);
  EXPECT_EQ(C.X, 0x0506);
  EXPECT_EQ(C.Y, 0x0708);
  EXPECT_EQ(C.U, 0x090A);
  EXPECT_EQ(C.PC, 0x1002);
}

TEST_F(CpuTest, UserStackCarriesSAndPuls80IsRts) {
  C.U = 0x6000;
  C.S = 0x1234;
  Run(0x1000, {0x36, 0x40});  // PSHU S
  EXPECT_EQ(C.U, 0x5FFE);
  EXPECT_EQ(MemWord(0x5FFE), 0x1234);
  C.S = 0;
  Run(0x1000, {0x37, 0x40});  // PULU S
  EXPECT_EQ(C.S, 0x1234);
  EXPECT_EQ(C.U, 0x6000);

  C.S = 0x8000;
  Poke(0x8000, {0x44, 0x00});
  Run(0x1000, {0x35, 0x80});  // PULS PC
  EXPECT_EQ(C.PC, 0x4400);
  EXPECT_EQ(C.S, 0x8002);

  uint8_t cc = C.CC;
  Run(0x1000, {0x34, 0x00});  // empty post-byte: nothing moves
  EXPECT_EQ(C.S, 0x8002);
  EXPECT_EQ(C.CC, cc);
}

TEST_F(CpuTest, StackPointerWrapsAtZero) {
  C.S = 0x0001;
  C.A = 0xAA;
  C.B = 0xBB;
  Run(0x1000, {0x34, 0x06});  // PSHS A,B
  EXPECT_EQ(C.S, 0xFFFF);
  EXPECT_EQ(Mem(0x0000), 0xBB);
  EXPECT_EQ(Mem(0xFFFF), 0xAA);
}

struct TransferCase {
  uint8_t Op, Post;
  uint16_t WantX;
  uint8_t WantA, WantB;
};

TEST_F(CpuTest, TfrAndExgAcrossWidths) {
  const TransferCase cases[] = {
      {0x1F, 0x81, 0xFF12, 0x12, 0x34},  // TFR A,X: high byte FF
      {0x1F, 0x18, 0xABCD, 0xCD, 0x34},  // TFR X,A: low byte
      {0x1F, 0x61, 0xFFFF, 0x12, 0x34},  // TFR 6,X: undefined source FFFF
      {0x1F, 0x16, 0xABCD, 0x12, 0x34},  // TFR X,6: nothing
      {0x1F, 0x01, 0x1234, 0x12, 0x34},  // TFR D,X
      {0x1F, 0x10, 0xABCD, 0xAB, 0xCD},  // TFR X,D
      {0x1E, 0x89, 0xABCD, 0x34, 0x12},  // EXG A,B
      {0x1E, 0x81, 0xFF12, 0xCD, 0x34},  // EXG A,X
      {0x1E, 0x01, 0x1234, 0xAB, 0xCD},  // EXG D,X
  };
  for (const TransferCase& t : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << int(t.Op) << " "
                                      << int(t.Post));
    C.A = 0x12;
    C.B = 0x34;
    C.X = 0xABCD;
    C.CC = 0;
    Run(0x1000, {t.Op, t.Post});
    EXPECT_EQ(C.X, t.WantX);
    EXPECT_EQ(C.A, t.WantA);
    EXPECT_EQ(C.B, t.WantB);
    EXPECT_EQ(C.CC, 0);
    EXPECT_EQ(C.PC, 0x1002);
  }
}

TEST_F(CpuTest, TransfersIntoCcAndPc) {
  C.A = 0xD5;
  Run(0x1000, {0x1F, 0x8A});  // TFR A,CC
  EXPECT_EQ(C.CC, 0xD5);
  C.X = 0x3456;
  Run(0x1000, {0x1F, 0x15});  // TFR X,PC
  EXPECT_EQ(C.PC, 0x3456);
  C.DP = 0x77;
  Run(0x1000, {0x1E, 0x5B});  // EXG PC,DP: PC becomes FF77, DP gets 02
  EXPECT_EQ(C.PC, 0xFF77);
  EXPECT_EQ(C.DP, 0x02);
}

class InterruptTest : public CpuTest {
 protected:
  void SetUp() override {
    CpuTest::SetUp();
    Poke(0xFFF2, {0x30, 0x00, 0x31, 0x00, 0x32, 0x00, 0x33, 0x00,
                  0x34, 0x00, 0x35, 0x00});  // SWI3 SWI2 FIRQ IRQ SWI NMI
    C.A = 0x01;
    C.B = 0x02;
    C.DP = 0x04;
    C.X = 0x0506;
    C.Y = 0x0708;
    C.U = 0x090A;
    C.S = 0x8000;
  }
  // Checks the 12-byte frame on S with the given CC and PC.
  void ExpectFullFrame(uint8_t cc, uint16_t pc) {
    EXPECT_EQ(C.S, 0x8000 - 12);
    const uint8_t frame[12] = {cc,   0x01, 0x02, 0x04, 0x05, 0x06,
                               0x07, 0x08, 0x09, 0x0A, static_cast<uint8_t>(pc >> 8),
                               static_cast<uint8_t>(pc)};
    for (int i = 0; i < 12; ++i)
      EXPECT_EQ(Mem(0x8000 - 12 + i), frame[i]) << i;
  }
};

TEST_F(InterruptTest, SoftwareInterruptsFrameAndMasks) {
  C.CC = 0;
  Run(0x1000, {0x3F});  // SWI
  EXPECT_EQ(C.PC, 0x3400);
  ExpectFullFrame(CC_E, 0x1001);
  EXPECT_EQ(C.CC, CC_E | CC_I | CC_F);

  C.S = 0x8000;
  C.CC = 0;
  Run(0x1000, {0x10, 0x3F});  // SWI2: masks unchanged
  EXPECT_EQ(C.PC, 0x3100);
  ExpectFullFrame(CC_E, 0x1002);
  EXPECT_EQ(C.CC, CC_E);

  C.S = 0x8000;
  C.CC = CC_C;
  Run(0x1000, {0x11, 0x3F});  // SWI3
  EXPECT_EQ(C.PC, 0x3000);
  ExpectFullFrame(CC_E | CC_C, 0x1002);
  EXPECT_EQ(C.CC, CC_E | CC_C);
}

TEST_F(InterruptTest, RtiPullsWhatTheFrameSays) {
  C.CC = 0;
  Run(0x1000, {0x3F});  // SWI, full frame
  C.A = C.B = C.DP = 0;
  C.X = C.Y = C.U = 0;
  Run(0x3400, {0x3B});  // RTI
  EXPECT_EQ(C.S, 0x8000);
  EXPECT_EQ(C.PC, 0x1001);
  EXPECT_EQ(C.CC, CC_E);
  EXPECT_EQ(C.X, 0x0506);
  EXPECT_EQ(C.U, 0x090A);
  EXPECT_EQ(C.A, 0x01);

  C.CC = 0;
  C.PC = 0x2222;
  ASSERT_EQ(C.TakeFirq(), 1);  // short frame: PC and CC
  EXPECT_EQ(C.S, 0x8000 - 3);
  EXPECT_EQ(Mem(0x8000 - 3), 0x00);
  EXPECT_EQ(MemWord(0x8000 - 2), 0x2222);
  C.A = 0x99;
  Run(0x3200, {0x3B});
  EXPECT_EQ(C.S, 0x8000);
  EXPECT_EQ(C.PC, 0x2222);
  EXPECT_EQ(C.A, 0x99);
  EXPECT_EQ(C.CC, 0);
}

TEST_F(InterruptTest, HardwareEntriesFramesAndMasks) {
  C.CC = CC_E | CC_C;
  C.PC = 0x1234;
  ASSERT_EQ(C.TakeFirq(), 1);
  EXPECT_EQ(Mem(0x8000 - 3), CC_C);  // E cleared in the stacked CC
  EXPECT_EQ(C.CC, CC_C | CC_F | CC_I);
  EXPECT_EQ(C.PC, 0x3200);

  C.S = 0x8000;
  C.CC = CC_F;
  C.PC = 0x1234;
  ASSERT_EQ(C.TakeIrq(), 1);
  ExpectFullFrame(CC_E | CC_F, 0x1234);
  EXPECT_EQ(C.CC, CC_E | CC_F | CC_I);
  EXPECT_EQ(C.PC, 0x3300);

  C.S = 0x8000;
  C.CC = CC_I | CC_F;  // NMI ignores both masks
  C.PC = 0x1234;
  C.TakeNmi();
  ExpectFullFrame(CC_E | CC_I | CC_F, 0x1234);
  EXPECT_EQ(C.PC, 0x3500);
}

TEST_F(InterruptTest, MaskedEntriesChangeNothing) {
  C.CC = CC_F | CC_I;
  C.PC = 0x1234;
  C.Waiting = 1;
  EXPECT_EQ(C.TakeFirq(), 0);
  EXPECT_EQ(C.TakeIrq(), 0);
  EXPECT_EQ(C.PC, 0x1234);
  EXPECT_EQ(C.S, 0x8000);
  EXPECT_EQ(C.CC, CC_F | CC_I);
  EXPECT_EQ(C.Waiting, 1);
  EXPECT_EQ(C.Stacked, 0);
  EXPECT_EQ(Mem(0x7FFF), 0);
}

TEST_F(InterruptTest, CwaiStacksOnceAndWaitsForAnEntry) {
  C.CC = CC_I | CC_F | CC_C;
  Run(0x1000, {0x3C, 0xEF});  // CWAI #EF: clears I, keeps F
  EXPECT_EQ(C.Waiting, 1);
  EXPECT_EQ(C.Stacked, 1);
  ExpectFullFrame(CC_E | CC_F | CC_C, 0x1002);

  for (int i = 0; i < 3; ++i) C.Step();  // nothing happens while waiting
  EXPECT_EQ(C.PC, 0x1002);
  EXPECT_EQ(C.TakeFirq(), 0);  // F still set: refused, still waiting
  EXPECT_EQ(C.Waiting, 1);

  ASSERT_EQ(C.TakeIrq(), 1);  // pushes nothing more
  EXPECT_EQ(C.S, 0x8000 - 12);
  EXPECT_EQ(C.Waiting, 0);
  EXPECT_EQ(C.Stacked, 0);
  EXPECT_EQ(C.PC, 0x3300);
  EXPECT_EQ(C.CC, CC_E | CC_F | CC_I | CC_C);

  Run(0x3300, {0x3B});  // RTI returns after CWAI's operand
  EXPECT_EQ(C.PC, 0x1002);
  EXPECT_EQ(C.S, 0x8000);
  EXPECT_EQ(C.CC, CC_E | CC_F | CC_C);
}

TEST_F(InterruptTest, FirqAfterCwaiUsesTheFullFrame) {
  C.CC = CC_I | CC_F;
  Run(0x1000, {0x3C, 0xAF});  // CWAI #AF: clears F
  ASSERT_EQ(C.TakeFirq(), 1);
  EXPECT_EQ(C.S, 0x8000 - 12);
  EXPECT_EQ(C.CC & CC_E, CC_E);  // E stays as CWAI set it
  Run(0x3200, {0x3B});
  EXPECT_EQ(C.S, 0x8000);  // RTI pulled all 12 bytes
  EXPECT_EQ(C.PC, 0x1002);
  EXPECT_EQ(C.X, 0x0506);
}

TEST_F(InterruptTest, NmiEndsACwaiWithAllMasksSet) {
  C.CC = 0;
  Run(0x1000, {0x3C, 0xFF});  // masks unchanged
  C.CC |= CC_I | CC_F;
  C.TakeNmi();
  EXPECT_EQ(C.Waiting, 0);
  EXPECT_EQ(C.S, 0x8000 - 12);
  EXPECT_EQ(C.PC, 0x3500);
}

TEST_F(InterruptTest, SyncWaitsUnlessBothMasksAreSet) {
  C.CC = CC_I | CC_F;
  Run(0x1000, {0x13, 0x4C});  // SYNC falls through, INCA runs
  C.Step();
  EXPECT_EQ(C.Waiting, 0);
  EXPECT_EQ(C.A, 0x02);

  C.A = 0x01;
  C.CC = CC_F;  // I clear
  Run(0x1000, {0x13}, 4);
  EXPECT_EQ(C.Waiting, 1);
  EXPECT_EQ(C.Stacked, 0);
  EXPECT_EQ(C.PC, 0x1001);
  EXPECT_EQ(C.TakeFirq(), 0);
  EXPECT_EQ(C.Waiting, 1);
  ASSERT_EQ(C.TakeIrq(), 1);  // its own full frame, PC after SYNC
  ExpectFullFrame(CC_E | CC_F, 0x1001);
  EXPECT_EQ(C.Waiting, 0);
}

TEST_F(InterruptTest, ResetStateEndsAWait) {
  C.CC = 0;
  Run(0x1000, {0x3C, 0xFF});
  C.ResetState();
  EXPECT_EQ(C.Waiting | C.Stacked, 0);
  C.Step();
  EXPECT_NE(C.PC, 0x1002);
}

TEST_F(CpuTest, TrapCallsTheHookWithPcAfterTheOpcode) {
  struct PatchingCpu : TCpu09 {
    uint16_t SeenPc = 0;
    void Trap() override {
      SeenPc = PC;
      A = 0x77;
      Rts();
    }
  };
  auto cpu = std::make_unique<PatchingCpu>();
  cpu->InitCpu(2);
  cpu->S = 0x7FFE;
  cpu->Bank[0][0x7FFE] = 0x12;
  cpu->Bank[0][0x7FFF] = 0x34;
  cpu->Bank[0][0x2000] = 0x14;
  cpu->PC = 0x2000;
  cpu->Step();
  EXPECT_EQ(cpu->SeenPc, 0x2001);
  EXPECT_EQ(cpu->A, 0x77);
  EXPECT_EQ(cpu->PC, 0x1234);

  auto plain = std::make_unique<TCpu09>();  // default: a one-byte no-op
  plain->InitCpu(1);
  plain->Bank[0][0xC000] = 0x14;
  plain->PC = 0xC000;
  plain->Step();
  EXPECT_EQ(plain->PC, 0xC001);
  EXPECT_EQ(plain->A | plain->CC, 0);
}

}  // namespace
