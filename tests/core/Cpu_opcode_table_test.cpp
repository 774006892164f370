// Every opcode of the three pages, run once: how far it moves PC, and how
// many bytes it reads and writes at its operand address. The operand address
// sits on a recording I/O page, so a double read (fatal for a register that
// acknowledges on read) or a missing write shows up as a count mismatch.
//
// Instruction lengths are written out from the 6809 opcode map, with this
// machine's own meanings for the holes, independent of how the core builds
// its tables. Indexed forms use post-byte 84 (,X: no extra bytes).
#include <map>
#include <string>

#include "tests/core/CpuFixture.h"

namespace {

// Length in bytes by high digit (row) and low digit (column); '-' marks the
// prefixes and the instructions that go elsewhere (checked by kFlowTarget).
const char* const kPage0[16] = {
    "22222222222222-2",  // 0x direct read-modify-write; 0E JMP
    "--11113311212122",  // 1x
    "2222222222222222",  // 2x branches (offset 0)
    "222222222-1-211-",  // 3x LEA, stacks, ANDCC 38, RTS, ABX, RTI, CWAI, MUL
    "1111111111111111",  // 4x A
    "1111111111111111",  // 5x B
    "22222222222222-2",  // 6x indexed; 6E JMP
    "33333333333333-3",  // 7x extended; 7E JMP
    "2223222322223234",  // 8x imm; 87 skip 2, 8D BSR, 8F skip 3
    "2222222222222-22",  // 9x direct; 9D JSR
    "2222222222222-22",  // Ax indexed; AD JSR
    "3333333333333-33",  // Bx extended; BD JSR
    "2223222322223134",  // Cx imm; C7 skip 2, CD one-byte, CF skip 3
    "2222222222222222",  // Dx
    "2222222222222222",  // Ex
    "3333333333333333",  // Fx
};

const char* const kPage10[16] = {
    "2222222222222222", "2222222222222222",
    "2444444444444444",  // 10 20 is a two-byte no-op; 21-2F long branches
    "222222222222222-",  // 10 3F SWI2
    "2222222222222222", "2222222222222222",
    "2222222222222222", "2222222222222222",
    "2224222222224242",  // CMPD, CMPY, LDY immediate
    "2223222222223233",  // direct
    "2223222222223233",  // indexed
    "2224222222224244",  // extended
    "2222222222222242",  // LDS immediate
    "2222222222222233",  // LDS, STS direct
    "2222222222222233",  // indexed
    "2222222222222244",  // extended
};

const char* const kPage11[16] = {
    "2222222222222222", "2222222222222222", "2222222222222222",
    "222222222222222-",  // 11 3F SWI3
    "2222222222222222", "2222222222222222",
    "2222222222222222", "2222222222222222",
    "2224222222224222",  // CMPU, CMPS immediate
    "2223222222223222", "2223222222223222",
    "2224222222224222",
    "2222222222222222", "2222222222222222",
    "2222222222222222", "2222222222222222",
};

constexpr uint16_t kOrg = 0x1000;
constexpr uint16_t kOperand = 0x2000;  // the recording I/O page
constexpr uint16_t kStack = 0x4000;

// Where control goes for the instructions marked '-' (page, opcode).
const std::map<std::pair<int, int>, uint16_t> kFlowTarget = {
    {{0, 0x0E}, kOperand}, {{0, 0x6E}, kOperand}, {{0, 0x7E}, kOperand},
    {{0, 0x9D}, kOperand}, {{0, 0xAD}, kOperand}, {{0, 0xBD}, kOperand},
    {{0, 0x39}, 0x0012},   // RTS: word at S
    {{0, 0x3B}, 0x1234},   // RTI: CC 00 (E = 0), then PC
    {{0, 0x3F}, 0x3100},   {{0x10, 0x3F}, 0x3200}, {{0x11, 0x3F}, 0x3300},
};

struct Access {
  int Reads;
  int Writes;
};

// I/O accesses an opcode makes at its operand address.
Access ExpectedAccess(int page, int op) {
  int hi = op >> 4, lo = op & 15;
  bool memRow = hi == 0x9 || hi == 0xA || hi == 0xB || hi == 0xD ||
                hi == 0xE || hi == 0xF;
  if (page == 0) {
    if (hi == 0x0 || hi == 0x6 || hi == 0x7) {
      if (lo == 0xE) return {0, 0};  // JMP
      if (lo == 0xD) return {1, 0};  // TST reads only
      return {1, 1};                 // one read, one write (CLR too)
    }
    if (!memRow) return {0, 0};
    switch (lo) {
      case 0x3: case 0xC: case 0xE: return {2, 0};
      case 0x7: return {0, 1};
      case 0xD: return hi >= 0xD ? Access{0, 2} : Access{0, 0};  // STD / JSR
      case 0xF: return {0, 2};
      default: return {1, 0};
    }
  }
  if (!memRow) return {0, 0};
  if (page == 0x10) {
    if (hi <= 0xB && (lo == 0x3 || lo == 0xC || lo == 0xE)) return {2, 0};
    if (hi >= 0xD && lo == 0xE) return {2, 0};
    if (lo == 0xF) return {0, 2};
    return {0, 0};
  }
  if (hi <= 0xB && (lo == 0x3 || lo == 0xC)) return {2, 0};
  return {0, 0};
}

class OpcodeTableTest : public CpuTest {
 protected:
  void Prepare() {
    C.IoReads.clear();
    C.IoWrites.clear();
    C.Waiting = C.Stacked = 0;
    C.A = C.B = 0;
    MakeIoPage(kOperand);
    C.CC = CC_I | CC_F;  // SYNC then falls through
    C.DP = kOperand >> 8;
    C.X = kOperand;
    C.Y = C.U = 0x6000;
    C.S = kStack;
    Poke(kStack, {0x00, 0x12, 0x34});
    Poke(0xFFF2, {0x33, 0x00, 0x32, 0x00});
    Poke(0xFFFA, {0x31, 0x00});
  }

  // Runs one instruction of `page` with opcode `op` and checks PC and I/O.
  void Check(int page, int op, const char* const* table) {
    SCOPED_TRACE(::testing::Message()
                 << "page " << std::hex << page << " opcode " << op);
    Prepare();
    uint16_t at = kOrg;
    if (page != 0) C.Bank[0][at++] = static_cast<uint8_t>(page);
    C.Bank[0][at++] = static_cast<uint8_t>(op);
    int hi = op >> 4;
    // Operand bytes: indexed rows get post-byte 84, extended rows the I/O
    // page address, everything else zeros.
    uint8_t b0 = 0, b1 = 0;
    if (hi == 0x6 || hi == 0xA || hi == 0xE) b0 = 0x84;
    if (hi == 0x7 || hi == 0xB || hi == 0xF) b0 = kOperand >> 8;
    if (op == 0x30 || op == 0x31 || op == 0x32 || op == 0x33) b0 = 0x84;
    Poke(at, {b0, b1, 0, 0});
    C.PC = kOrg;
    C.Step();

    char len = table[op >> 4][op & 15];
    auto flow = kFlowTarget.find({page, op});
    if (flow != kFlowTarget.end()) {
      EXPECT_EQ(C.PC, flow->second);
    } else {
      ASSERT_NE(len, '-');
      EXPECT_EQ(C.PC, kOrg + (len - '0'));
    }
    Access want = ExpectedAccess(page, op);
    EXPECT_EQ(static_cast<int>(C.IoReads.size()), want.Reads);
    EXPECT_EQ(static_cast<int>(C.IoWrites.size()), want.Writes);
    // Word accesses go high byte first at the address, then address + 1.
    for (size_t i = 0; i < C.IoReads.size(); ++i) EXPECT_EQ(C.IoReads[i], i);
    for (size_t i = 0; i < C.IoWrites.size(); ++i)
      EXPECT_EQ(C.IoWrites[i].first, i);
  }
};

TEST_F(OpcodeTableTest, Page0LengthsAndOperandAccess) {
  for (int op = 0; op < 256; ++op) {
    if (op == 0x10 || op == 0x11) continue;
    Check(0, op, kPage0);
  }
}

TEST_F(OpcodeTableTest, Page10LengthsAndOperandAccess) {
  for (int op = 0; op < 256; ++op) Check(0x10, op, kPage10);
}

TEST_F(OpcodeTableTest, Page11LengthsAndOperandAccess) {
  for (int op = 0; op < 256; ++op) Check(0x11, op, kPage11);
}

}  // namespace
