// Programs assembled with asm09 run on the CPU core (a bare core whose
// memory is all RAM) and leave the results the 6809 would. Each program ends
// in a branch to itself, which is where the run stops.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Asm09.h"
#include "core/Cpu_main.h"

namespace {

struct ProgramRun {
  asm09::Result program;
  std::unique_ptr<TCpu09> cpu;
  uint8_t At(uint16_t a) const { return cpu->Bank[0][a]; }
};

ProgramRun Execute(const std::string& source, uint16_t start) {
  ProgramRun run{asm09::AssembleString(source, "prog.asm"), std::make_unique<TCpu09>()};
  EXPECT_TRUE(run.program.ok) << run.program.ErrorText();
  TCpu09& cpu = *run.cpu;
  cpu.InitCpu(2);  // plain RAM everywhere
  run.program.CopyTo(cpu.Bank[0]);
  cpu.PC = start;
  cpu.CC = CC_I | CC_F;
  for (int steps = 0; steps < 100000; ++steps) {
    uint16_t pc = cpu.PC;
    cpu.Step();
    if (cpu.PC == pc) return run;
  }
  ADD_FAILURE() << "program did not finish";
  return run;
}

TEST(Asm09Run, BubbleSortOfSignedBytes) {
  ProgramRun r = Execute(R"(
        ORG $1000
start   LDS #$8000
outer   CLR swapped
        LDX #list
inner   LDA ,X
        CMPA 1,X
        BLE noswap          ; signed compare
        LDB 1,X
        STB ,X
        STA 1,X
        INC swapped
noswap  LEAX 1,X
        CMPX #list+count-1
        BNE inner
        TST swapped
        BNE outer
done    BRA done
swapped RMB 1
list    FCB 5,-3,127,-128,0,42,-1,7
count   EQU *-list
)", 0x1000);
  const int8_t want[] = {-128, -3, -1, 0, 5, 7, 42, 127};
  uint16_t list = uint16_t(r.program.Symbol("list"));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(int8_t(r.At(uint16_t(list + i))), want[i]) << i;
}

TEST(Asm09Run, SubroutinesStacksAndPcRelativeData) {
  ProgramRun r = Execute(R"(
        ORG $2000
start   LDS #$8000
        LDU #$7000
        LEAX msg,PCR
        BSR strlen
        STB len
        LEAX msg,PCR
        LDY #buf
        BSR reverse
        LDA #12
        LDB #34
        MUL
        STD product
        LDD #$1234
        PSHU D
        LDD #0
        PULU X
        STX pulled
done    BRA done

* B = length of the zero-terminated string at X; X kept.
strlen  PSHS X
        CLRB
.next   TST ,X+
        BEQ .end
        INCB
        BRA .next
.end    PULS X,PC

* Copies the len bytes at X to Y backwards and ends them with a zero.
reverse PSHS A,B,X
        LDB len
        ABX
.loop   LDA ,-X
        STA ,Y+
        DECB
        BNE .loop
        CLR ,Y
        PULS A,B,X,PC

msg     FCC "Quillon"
        FCB 0
len     RMB 1
product RMB 2
pulled  RMB 2
buf     RMB 16
)", 0x2000);
  EXPECT_EQ(r.At(uint16_t(r.program.Symbol("len"))), 7);
  uint16_t buf = uint16_t(r.program.Symbol("buf"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r.cpu->Bank[0][buf])), "nolliuQ");
  uint16_t product = uint16_t(r.program.Symbol("product"));
  EXPECT_EQ(r.At(product) << 8 | r.At(uint16_t(product + 1)), 408);
  EXPECT_EQ(r.cpu->X, 0x1234);
  EXPECT_EQ(r.cpu->S, 0x8000);
  EXPECT_EQ(r.cpu->U, 0x7000);
}

TEST(Asm09Run, DirectPageJumpTableLongBranchesAndSwi) {
  ProgramRun r = Execute(R"(
count   EQU $2000
result  EQU $2001
swiflag EQU $2002
        ORG $3000
start   LDS #$8000
        LDA #$20
        TFR A,DP
        SETDP $20
        LDA #3
store   STA count           ; direct: the page is $20
        LDX #table
        LDB #2
        LSLB
        JSR [B,X]           ; the third routine
        LBRA far
back    SWI
done    BRA done
r0      LDA #$A0
        RTS
r1      LDA #$A1
        RTS
r2      LDA #$A2
        STA result
        RTS
table   FDB r0,r1,r2
swi     LDB #$5A
        STB swiflag
        RTI
        ORG $6000
far     DEC count
        LBNE far
        LBRA back
        ORG $FFFA
        FDB swi
)", 0x3000);
  uint16_t store = uint16_t(r.program.Symbol("store"));
  EXPECT_EQ(r.At(store), 0x97);  // STA count assembled as direct
  EXPECT_EQ(r.At(uint16_t(store + 1)), 0x00);
  EXPECT_EQ(r.At(0x2000), 0);     // the long-branch loop counted down
  EXPECT_EQ(r.At(0x2001), 0xA2);  // the jump table reached r2
  EXPECT_EQ(r.At(0x2002), 0x5A);  // the SWI handler ran
  EXPECT_EQ(r.cpu->A, 0xA2);      // and RTI brought A and B back
  EXPECT_EQ(r.cpu->B, 4);
  EXPECT_EQ(r.cpu->DP, 0x20);
  EXPECT_EQ(r.cpu->PC, uint16_t(r.program.Symbol("done")));
}

}  // namespace
