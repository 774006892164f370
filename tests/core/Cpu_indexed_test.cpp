// Indexed addressing: every post-byte form, the order of register updates,
// the undefined post-bytes and the wrap of the register at FFFF.
//
// The table runs LEAU with X as the index register: U receives the
// effective address, X shows the side effect and PC the bytes consumed.
#include <vector>

#include "tests/core/CpuFixture.h"

namespace {

struct IndexedCase {
  const char* Name;
  std::vector<uint8_t> Operand;  // post-byte and offset bytes
  uint16_t WantEa;     // for indirect forms: the pointer address q
  bool Indirect;       // then the ea is the word stored at q
  uint16_t WantX;
  int Length;          // bytes after the opcode
};

constexpr uint16_t kOrg = 0x4000;
constexpr uint16_t kX = 0x2000;
constexpr uint16_t kPointee = 0xBEEF;

// X = 2000, A = 80 (signed -128), B = 7F, D = 807F.
const IndexedCase kCases[] = {
    {"5-bit 0", {0x00}, 0x2000, false, kX, 1},
    {"5-bit +15", {0x0F}, 0x200F, false, kX, 1},
    {"5-bit -16", {0x10}, 0x1FF0, false, kX, 1},
    {"5-bit -1", {0x1F}, 0x1FFF, false, kX, 1},
    {",X+", {0x80}, 0x2000, false, 0x2001, 1},
    {",X++", {0x81}, 0x2000, false, 0x2002, 1},
    {",-X", {0x82}, 0x1FFF, false, 0x1FFF, 1},
    {",--X", {0x83}, 0x1FFE, false, 0x1FFE, 1},
    {",X", {0x84}, 0x2000, false, kX, 1},
    {"B,X", {0x85}, 0x207F, false, kX, 1},
    {"A,X signed", {0x86}, 0x1F80, false, kX, 1},
    {"d8,X signed", {0x88, 0x80}, 0x1F80, false, kX, 2},
    {"d16,X wraps", {0x89, 0xF0, 0x00}, 0x1000, false, kX, 3},
    {"D,X", {0x8B}, 0xA07F, false, kX, 1},
    {"d8,PCR", {0x8C, 0x10}, kOrg + 3 + 0x10, false, kX, 2},
    {"d8,PCR zero", {0x8C, 0x00}, kOrg + 3, false, kX, 2},
    {"d16,PCR", {0x8D, 0xFF, 0xF0}, kOrg + 4 - 0x10, false, kX, 3},
    {"[,X++]", {0x91}, 0x2000, true, 0x2002, 1},
    {"[,--X]", {0x93}, 0x1FFE, true, 0x1FFE, 1},
    {"[,X]", {0x94}, 0x2000, true, kX, 1},
    {"[B,X]", {0x95}, 0x207F, true, kX, 1},
    {"[A,X]", {0x96}, 0x1F80, true, kX, 1},
    {"[d8,X]", {0x98, 0x04}, 0x2004, true, kX, 2},
    {"[d16,X]", {0x99, 0x01, 0x00}, 0x2100, true, kX, 3},
    {"[D,X]", {0x9B}, 0xA07F, true, kX, 1},
    {"[d8,PCR]", {0x9C, 0x02}, kOrg + 3 + 2, true, kX, 2},
    {"[d16,PCR]", {0x9D, 0x00, 0x10}, kOrg + 4 + 0x10, true, kX, 3},
    {"[d16] 9F", {0x9F, 0x12, 0x34}, 0x1234, true, kX, 3},
    {"[d16] BF", {0xBF, 0x12, 0x34}, 0x1234, true, kX, 3},
    {"[d16] DF", {0xDF, 0x12, 0x34}, 0x1234, true, kX, 3},
    {"[d16] FF", {0xFF, 0x12, 0x34}, 0x1234, true, kX, 3},
    // Undefined post-bytes: the address is the register, nothing else moves.
    {"undefined 87", {0x87}, kX, false, kX, 1},
    {"undefined 8A", {0x8A}, kX, false, kX, 1},
    {"undefined 8E", {0x8E}, kX, false, kX, 1},
    {"undefined 8F", {0x8F}, kX, false, kX, 1},
    {"undefined [,X+] 90", {0x90}, kX, false, kX, 1},
    {"undefined [,-X] 92", {0x92}, kX, false, kX, 1},
    {"undefined 97", {0x97}, kX, false, kX, 1},
    {"undefined 9A", {0x9A}, kX, false, kX, 1},
    {"undefined 9E", {0x9E}, kX, false, kX, 1},
};

void PrintTo(const IndexedCase& t, std::ostream* os) { *os << t.Name; }

class IndexedTest : public CpuTest,
                    public ::testing::WithParamInterface<IndexedCase> {};

TEST_P(IndexedTest, EffectiveAddressSideEffectAndLength) {
  const IndexedCase& t = GetParam();
  C.X = kX;
  C.A = 0x80;
  C.B = 0x7F;
  C.Y = C.S = 0x7777;
  if (t.Indirect) {
    C.Bank[0][t.WantEa] = kPointee >> 8;
    C.Bank[0][static_cast<uint16_t>(t.WantEa + 1)] = kPointee & 0xFF;
  }
  C.Bank[0][kOrg] = 0x33;  // LEAU
  for (size_t i = 0; i < t.Operand.size(); ++i)
    C.Bank[0][kOrg + 1 + i] = t.Operand[i];
  C.PC = kOrg;
  C.Step();
  EXPECT_EQ(C.U, t.Indirect ? kPointee : t.WantEa) << std::hex << C.U;
  EXPECT_EQ(C.X, t.WantX);
  EXPECT_EQ(C.PC, kOrg + 1 + t.Length);
  EXPECT_EQ(C.Y, 0x7777);
  EXPECT_EQ(C.S, 0x7777);
}

INSTANTIATE_TEST_SUITE_P(EveryForm, IndexedTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           return CaseName(info.param.Name, info.index);
                         });

TEST_F(CpuTest, PostByteSelectsTheRegister) {
  C.X = 0x1100;
  C.Y = 0x2200;
  C.U = 0x3300;
  C.S = 0x4400;
  const uint16_t want[4] = {0x1101, 0x2201, 0x3301, 0x4401};
  for (int r = 0; r < 4; ++r) {
    Run(0x1000, {0x30, static_cast<uint8_t>(r << 5 | 0x01)});  // LEAX 1,R
    EXPECT_EQ(C.X, want[r]) << r;
    C.X = 0x1100;
  }
}

TEST_F(CpuTest, AutoIncrementWrapsAtFFFF) {
  C.Y = 0xFFFF;
  Poke(0xFFFF, {0x5A});
  Run(0x1000, {0xA6, 0xA0});  // LDA ,Y+
  EXPECT_EQ(C.A, 0x5A);
  EXPECT_EQ(C.Y, 0x0000);
  Run(0x1000, {0xA6, 0xA2});  // LDA ,-Y
  EXPECT_EQ(C.A, 0x5A);
  EXPECT_EQ(C.Y, 0xFFFF);
}

TEST_F(CpuTest, RegisterChangesBeforeTheInstructionUsesIt) {
  C.X = 0x2000;
  Run(0x1000, {0xAF, 0x81});  // STX ,X++ stores the new X
  EXPECT_EQ(MemWord(0x2000), 0x2002);
  EXPECT_EQ(C.X, 0x2002);

  C.X = 0x2000;
  Run(0x1000, {0x30, 0x80});  // LEAX ,X+ leaves X as it was
  EXPECT_EQ(C.X, 0x2000);

  C.X = 0x2000;
  Run(0x1000, {0x31, 0x81});  // LEAY ,X++
  EXPECT_EQ(C.Y, 0x2000);
  EXPECT_EQ(C.X, 0x2002);
}

TEST_F(CpuTest, IndirectStackForms) {
  C.S = 0x3000;
  Poke(0x3000, {0x12, 0x34});
  Poke(0x2FFE, {0x56, 0x78});
  Poke(0x1234, {0xAA});
  Poke(0x5678, {0xBB});
  Run(0x1000, {0xA6, 0xF1});  // LDA [,S++]: pointer at the old S
  EXPECT_EQ(C.A, 0xAA);
  EXPECT_EQ(C.S, 0x3002);
  C.S = 0x3000;
  Run(0x1000, {0xA6, 0xF3});  // LDA [,--S]: decrement first
  EXPECT_EQ(C.A, 0xBB);
  EXPECT_EQ(C.S, 0x2FFE);
}

TEST_F(CpuTest, PcRelativeZeroOffsetIsTheNextInstruction) {
  Poke(0x1003, {0x42});
  Run(0x1000, {0xA6, 0x8C, 0x00});  // LDA 0,PCR
  EXPECT_EQ(C.A, 0x42);
}

TEST_F(CpuTest, IndexedPointerReadFromIoHappensOnce) {
  MakeIoPage(0x2000);
  C.X = 0x2010;
  C.IoValue = 0x30;
  Run(0x1000, {0xA6, 0x94});  // LDA [,X]: pointer 3030, then the byte there
  EXPECT_EQ(C.IoReads, (std::vector<uint8_t>{0x10, 0x11}));
}

}  // namespace
