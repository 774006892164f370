// Condition codes of the data instructions on boundary operands: one table
// row per case, grouped by family. Each row runs a short program (immediate
// or inherent form) and compares A, B, X and the whole CC afterwards.
#include <vector>

#include "tests/core/CpuFixture.h"

namespace {

struct ArithCase {
  const char* Name;
  std::vector<uint8_t> Code;
  uint8_t A, B, Cc;
  uint16_t X;  // also loaded into Y, U and S
  uint8_t WantA, WantB, WantCc;
  uint16_t WantX;
};

// CC bit names for readability of the table.
constexpr uint8_t H = CC_H, N = CC_N, Z = CC_Z, V = CC_V, Cy = CC_C;

const ArithCase kCases[] = {
    // 8-bit add and subtract (the A forms are also checked exhaustively
    // below; these rows are the B forms and the classic boundaries).
    {"ADDA 7F+01", {0x8B, 0x01}, 0x7F, 0, 0, 0, 0x80, 0, N | V | H, 0},
    {"ADDB 80+80", {0xCB, 0x80}, 0, 0x80, 0, 0, 0, 0x00, Z | V | Cy, 0},
    {"ADCB FF+00+c", {0xC9, 0x00}, 0, 0xFF, Cy, 0, 0, 0x00, Z | Cy | H, 0},
    {"SUBA 00-01", {0x80, 0x01}, 0x00, 0, 0, 0, 0xFF, 0, N | Cy, 0},
    {"SUBB equal", {0xC0, 0x42}, 0, 0x42, N | V | Cy, 0, 0, 0, Z, 0},
    {"CMPA 80 vs 01", {0x81, 0x01}, 0x80, 0, 0, 0, 0x80, 0, V, 0},
    {"CMPB 00 vs 01", {0xC1, 0x01}, 0, 0x00, 0, 0, 0, 0x00, N | Cy, 0},
    {"SBCA 00-FF-c", {0x82, 0xFF}, 0x00, 0, Cy, 0, 0x00, 0, Z | Cy, 0},
    {"SBCB 00-00-c", {0xC2, 0x00}, 0, 0x00, Cy, 0, 0, 0xFF, N | Cy, 0},
    // Logic and loads: V cleared, C and H kept.
    {"ANDA to zero", {0x84, 0x0F}, 0xF0, 0, V | Cy | H, 0, 0x00, 0, Z | Cy | H, 0},
    {"BITA keeps A", {0x85, 0x80}, 0x81, 0, V, 0, 0x81, 0, N, 0},
    {"EORB", {0xC8, 0xFF}, 0, 0x7F, 0, 0, 0, 0x80, N, 0},
    {"ORA", {0x8A, 0x00}, 0x00, 0, V, 0, 0x00, 0, Z, 0},
    {"LDA #80", {0x86, 0x80}, 0, 0, V | Cy, 0, 0x80, 0, N | Cy, 0},
    {"LDB #00", {0xC6, 0x00}, 0, 0x11, N, 0, 0, 0x00, Z, 0},
    // 16-bit compares and loads (ADDD/SUBD: the operand spread below).
    {"CMPX 8000 vs 0001", {0x8C, 0x00, 0x01}, 0, 0, 0, 0x8000, 0, 0, V, 0x8000},
    {"CMPX equal", {0x8C, 0x12, 0x34}, 0, 0, N, 0x1234, 0, 0, Z, 0x1234},
    {"CMPD 0000 vs 0001", {0x10, 0x83, 0x00, 0x01}, 0, 0, 0, 0, 0, 0, N | Cy, 0},
    {"CMPY equal", {0x10, 0x8C, 0x12, 0x34}, 0, 0, 0, 0x1234, 0, 0, Z, 0x1234},
    {"CMPU below", {0x11, 0x83, 0x12, 0x35}, 0, 0, 0, 0x1234, 0, 0, N | Cy, 0x1234},
    {"CMPS above", {0x11, 0x8C, 0x12, 0x33}, 0, 0, 0, 0x1234, 0, 0, 0, 0x1234},
    {"LDD #0000", {0xCC, 0x00, 0x00}, 1, 1, V | N, 0, 0, 0, Z, 0},
    {"LDX #8000", {0x8E, 0x80, 0x00}, 0, 0, 0, 0, 0, 0, N, 0x8000},
    // Read-modify-write row on the accumulators.
    {"NEGA 80", {0x40}, 0x80, 0, 0, 0, 0x80, 0, N | V | Cy, 0},
    {"NEGA 00", {0x40}, 0x00, 0, Cy, 0, 0x00, 0, Z, 0},
    {"NEGB 01", {0x50}, 0, 0x01, 0, 0, 0, 0xFF, N | Cy, 0},
    {"41 is NEG", {0x41}, 0x01, 0, 0, 0, 0xFF, 0, N | Cy, 0},
    {"42 with c: COM", {0x42}, 0x00, 0, Cy, 0, 0xFF, 0, N | Cy, 0},
    {"42 without c: NEG", {0x42}, 0x01, 0, 0, 0, 0xFF, 0, N | Cy, 0},
    {"52 NEG 80", {0x52}, 0, 0x80, 0, 0, 0, 0x80, N | V | Cy, 0},
    {"COMA 00", {0x43}, 0x00, 0, V, 0, 0xFF, 0, N | Cy, 0},
    {"LSRA 01 keeps V", {0x44}, 0x01, 0, N | V, 0, 0x00, 0, Z | V | Cy, 0},
    {"45 is LSR", {0x45}, 0x80, 0, Cy, 0, 0x40, 0, 0, 0},
    {"RORA with c", {0x46}, 0x01, 0, Cy, 0, 0x80, 0, N | Cy, 0},
    {"RORB no c", {0x56}, 0, 0x02, 0, 0, 0, 0x01, 0, 0},
    {"ASRA 81", {0x47}, 0x81, 0, 0, 0, 0xC0, 0, N | Cy, 0},
    {"ASLA 40", {0x48}, 0x40, 0, 0, 0, 0x80, 0, N | V, 0},
    {"ASLA C0", {0x48}, 0xC0, 0, V, 0, 0x80, 0, N | Cy, 0},
    {"ROLA 80 with c", {0x49}, 0x80, 0, Cy, 0, 0x01, 0, V | Cy, 0},
    {"ROLB 00 with c", {0x59}, 0, 0x00, Cy, 0, 0, 0x01, 0, 0},
    {"DECA 80 keeps C", {0x4A}, 0x80, 0, Cy, 0, 0x7F, 0, V | Cy, 0},
    {"DECA 01", {0x4A}, 0x01, 0, 0, 0, 0x00, 0, Z, 0},
    {"4B 01: zero, no carry", {0x4B}, 0x01, 0, Cy, 0, 0x00, 0, Z, 0},
    {"4B 05: carry", {0x4B}, 0x05, 0, 0, 0, 0x04, 0, Cy, 0},
    {"5B 00: FF, carry", {0x5B}, 0, 0x00, 0, 0, 0, 0xFF, N | Cy, 0},
    {"INCA 7F keeps C", {0x4C}, 0x7F, 0, Cy, 0, 0x80, 0, N | V | Cy, 0},
    {"INCB FF", {0x5C}, 0, 0xFF, 0, 0, 0, 0x00, Z, 0},
    {"TSTA 00", {0x4D}, 0x00, 0, V | Cy, 0, 0x00, 0, Z | Cy, 0},
    {"TSTB 80", {0x5D}, 0, 0x80, 0, 0, 0, 0x80, N, 0},
    {"4E clears A keeping C", {0x4E}, 0x55, 0, Cy | N | V, 0, 0x00, 0, Z | Cy, 0},
    {"5E clears B keeping C", {0x5E}, 0, 0x55, 0, 0, 0, 0x00, Z, 0},
    {"CLRA clears C", {0x4F}, 0x55, 0, Cy | N | V, 0, 0x00, 0, Z, 0},
    {"CLRB keeps H", {0x5F}, 0, 0x55, H, 0, 0, 0x00, H | Z, 0},
    // Inherent data instructions.
    {"MUL 80*01", {0x3D}, 0x80, 0x01, 0, 0, 0x00, 0x80, Cy, 0},
    {"MUL 80*00", {0x3D}, 0x80, 0x00, Cy, 0, 0x00, 0x00, Z, 0},
    {"MUL FF*FF keeps N V", {0x3D}, 0xFF, 0xFF, N | V, 0, 0xFE, 0x01, N | V, 0},
    {"DAA 99+99", {0x19}, 0x32, 0, H | Cy, 0, 0x98, 0, H | N | Cy, 0},
    {"DAA 15+27", {0x19}, 0x3C, 0, 0, 0, 0x42, 0, 0, 0},
    {"DAA 9A", {0x19}, 0x9A, 0, 0, 0, 0x00, 0, Z | Cy, 0},
    {"SEX 80", {0x1D}, 0x12, 0x80, 0, 0, 0xFF, 0x80, N, 0},
    {"SEX 00", {0x1D}, 0x12, 0x00, V, 0, 0x00, 0x00, Z | V, 0},
    {"ABX unsigned wrap", {0x3A}, 0, 0x80, 0, 0xFFF0, 0, 0x80, 0, 0x0070},
    // Skip opcodes set N, clear Z and V, keep C and H.
    {"87 skip", {0x87}, 0, 0, Z | V | Cy | H, 0, 0, 0, N | Cy | H, 0},
    {"CF skip", {0xCF}, 0, 0, 0, 0, 0, 0, N, 0},
    // CC instructions.
    {"18 with Z", {0x18}, 0, 0, Z, 0, 0, 0, N | V, 0},
    {"18 with FF", {0x18}, 0, 0, 0xFF, 0, 0, 0, 0x3E, 0},
    {"18 with C", {0x18}, 0, 0, Cy | CC_E, 0, 0, 0, V, 0},
    {"ORCC", {0x1A, 0x50}, 0, 0, Cy, 0, 0, 0, CC_I | CC_F | Cy, 0},
    {"ANDCC", {0x1C, 0xAF}, 0, 0, 0xFF, 0, 0, 0, 0xAF, 0},
    {"38 is ANDCC", {0x38, 0xFE}, 0, 0, 0x81, 0, 0, 0, 0x80, 0},
};

void PrintTo(const ArithCase& t, std::ostream* os) { *os << t.Name; }

class ArithTest : public CpuTest,
                  public ::testing::WithParamInterface<ArithCase> {};

TEST_P(ArithTest, ResultAndFlags) {
  const ArithCase& t = GetParam();
  C.A = t.A;
  C.B = t.B;
  C.CC = t.Cc;
  C.X = C.Y = C.U = C.S = t.X;
  for (size_t i = 0; i < t.Code.size(); ++i)
    C.Bank[0][0x1000 + i] = t.Code[i];
  C.PC = 0x1000;
  C.Step();
  EXPECT_EQ(C.A, t.WantA);
  EXPECT_EQ(C.B, t.WantB);
  EXPECT_EQ(C.CC, t.WantCc) << std::hex << "CC " << int(C.CC);
  EXPECT_EQ(C.X, t.WantX);
}

INSTANTIATE_TEST_SUITE_P(Families, ArithTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           return CaseName(info.param.Name, info.index);
                         });

// Every operand pair and carry for the five 8-bit add/subtract operations,
// against the flags worked out in plain signed and unsigned arithmetic.
TEST_F(CpuTest, EightBitAddSubtractAllOperands) {
  struct Op {
    uint8_t Code;
    bool Add, UsesCarry, Stores;
  } ops[] = {{0x8B, true, false, true},
             {0x89, true, true, true},
             {0x80, false, false, true},
             {0x82, false, true, true},
             {0x81, false, false, false}};
  Poke(0x1000, {0, 0});
  for (const Op& op : ops) {
    for (int c = 0; c <= (op.UsesCarry ? 1 : 0); ++c) {
      for (int a = 0; a < 256; ++a) {
        for (int m = 0; m < 256; ++m) {
          C.Bank[0][0x1000] = op.Code;
          C.Bank[0][0x1001] = static_cast<uint8_t>(m);
          C.A = static_cast<uint8_t>(a);
          C.CC = static_cast<uint8_t>(c ? CC_C | CC_H : 0);
          C.PC = 0x1000;
          C.Step();
          int sa = static_cast<int8_t>(a), sm = static_cast<int8_t>(m);
          int full = op.Add ? a + m + c : a - m - c;
          int sfull = op.Add ? sa + sm + c : sa - sm - c;
          uint8_t r = static_cast<uint8_t>(full);
          uint8_t want = static_cast<uint8_t>(
              (r & 0x80 ? N : 0) | (r == 0 ? Z : 0) |
              (sfull < -128 || sfull > 127 ? V : 0) |
              (full < 0 || full > 255 ? Cy : 0));
          if (op.Add)
            want |= ((a & 15) + (m & 15) + c > 15) ? H : 0;
          else
            want |= c ? H : 0;  // subtraction leaves H alone
          ASSERT_EQ(C.CC, want) << std::hex << int(op.Code) << " a " << a
                                << " m " << m << " c " << c;
          ASSERT_EQ(C.A, op.Stores ? r : a);
        }
      }
    }
  }
}

// 16-bit add and subtract on a spread of operands, checked the same way.
TEST_F(CpuTest, SixteenBitAddSubtractOperandSpread) {
  const uint16_t values[] = {0x0000, 0x0001, 0x007F, 0x0080, 0x00FF, 0x0100,
                             0x7FFE, 0x7FFF, 0x8000, 0x8001, 0xFF00, 0xFFFE,
                             0xFFFF, 0x1234, 0xEDCB};
  for (bool add : {true, false}) {
    for (uint16_t d : values) {
      for (uint16_t m : values) {
        C.SetD(d);
        C.CC = CC_H;
        Run(0x1000, {static_cast<uint8_t>(add ? 0xC3 : 0x83),
                     static_cast<uint8_t>(m >> 8), static_cast<uint8_t>(m)});
        int sd = static_cast<int16_t>(d), sm = static_cast<int16_t>(m);
        int full = add ? d + m : d - m;
        int sfull = add ? sd + sm : sd - sm;
        uint16_t r = static_cast<uint16_t>(full);
        uint8_t want = static_cast<uint8_t>(
            H | (r & 0x8000 ? N : 0) | (r == 0 ? Z : 0) |
            (sfull < -32768 || sfull > 32767 ? V : 0) |
            (full < 0 || full > 0xFFFF ? Cy : 0));
        ASSERT_EQ(C.D(), r) << std::hex << d << (add ? "+" : "-") << m;
        ASSERT_EQ(C.CC, want) << std::hex << d << (add ? "+" : "-") << m;
      }
    }
  }
}

// The memory forms share the workers above; these check that the result
// lands at the operand address in each mode.
TEST_F(CpuTest, ReadModifyWriteInMemoryModes) {
  C.DP = 0x20;
  Poke(0x2010, {0x7F});
  Run(0x1000, {0x0C, 0x10});  // INC <10
  EXPECT_EQ(Mem(0x2010), 0x80);
  EXPECT_EQ(C.CC, N | V);

  C.X = 0x3000;
  Poke(0x3004, {0x01});
  Run(0x1000, {0x64, 0x04});  // LSR 4,X
  EXPECT_EQ(Mem(0x3004), 0x00);
  EXPECT_EQ(C.CC, Z | V | Cy);

  Poke(0x4000, {0x55});
  Run(0x1000, {0x7F, 0x40, 0x00});  // CLR >4000
  EXPECT_EQ(Mem(0x4000), 0x00);
  EXPECT_EQ(C.CC, Z);
}

TEST_F(CpuTest, StoresSetFlagsFromTheStoredValue) {
  C.A = 0x80;
  C.CC = V | Cy;
  Run(0x1000, {0xB7, 0x40, 0x00});  // STA >4000
  EXPECT_EQ(Mem(0x4000), 0x80);
  EXPECT_EQ(C.CC, N | Cy);

  C.SetD(0x0000);
  Run(0x1000, {0xFD, 0x40, 0x10});  // STD >4010
  EXPECT_EQ(C.CC, Z | Cy);
  C.S = 0xBEEF;
  Run(0x1000, {0x10, 0xFF, 0x40, 0x20});  // STS >4020
  EXPECT_EQ(MemWord(0x4020), 0xBEEF);
  EXPECT_EQ(C.CC, N | Cy);
}

TEST_F(CpuTest, TstAndClrOfIoReadOnce) {
  MakeIoPage(0x2000);
  C.IoValue = 0x80;
  Run(0x1000, {0x7D, 0x20, 0x05});  // TST >2005
  EXPECT_EQ(C.IoReads, std::vector<uint8_t>{0x05});
  EXPECT_TRUE(C.IoWrites.empty());
  EXPECT_EQ(C.CC, N);

  Run(0x1000, {0x7F, 0x20, 0x06});  // CLR >2006
  EXPECT_EQ(C.IoReads, (std::vector<uint8_t>{0x05, 0x06}));
  ASSERT_EQ(C.IoWrites.size(), 1u);
  EXPECT_EQ(C.IoWrites[0], std::make_pair(uint8_t{0x06}, uint8_t{0x00}));
}

TEST_F(CpuTest, SkipOpcodesResumeFurtherOn) {
  Poke(0x1000, {0x87, 0x00, 0x00, 0x8F, 0x00, 0x00, 0x00, 0x12});
  C.PC = 0x1000;
  C.Step();
  EXPECT_EQ(C.PC, 0x1003);
  C.Step();
  EXPECT_EQ(C.PC, 0x1007);
}

TEST_F(CpuTest, LeaFlags) {
  C.X = 0x0001;
  C.CC = 0;
  Run(0x1000, {0x30, 0x1F});  // LEAX -1,X
  EXPECT_EQ(C.X, 0x0000);
  EXPECT_EQ(C.CC, Z);
  C.Y = 0x8000;
  Run(0x1000, {0x31, 0x21});  // LEAY 1,Y
  EXPECT_EQ(C.Y, 0x8001);
  EXPECT_EQ(C.CC, 0);  // only Z changes
  C.S = 0x0001;
  C.CC = 0;
  Run(0x1000, {0x32, 0x7F});  // LEAS -1,S
  EXPECT_EQ(C.S, 0x0000);
  EXPECT_EQ(C.CC, 0);  // LEAS/LEAU touch no flag
  C.U = 0x0002;
  Run(0x1000, {0x33, 0x5E});  // LEAU -2,U
  EXPECT_EQ(C.U, 0x0000);
  EXPECT_EQ(C.CC, 0);
}

}  // namespace
