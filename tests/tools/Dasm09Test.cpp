// The disassembler against the assembler: every published instruction,
// with every indexed post-byte and a spread of operand values, disassembles
// into text that assembles back into the same bytes; everything else comes
// out as FCB.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "Asm09.h"
#include "Dasm09.h"
#include "Opmap09.h"

namespace {

struct Memory {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(0x10000, 0);
  dasm09::ByteReader Reader() const {
    return [this](uint16_t a) { return bytes[a]; };
  }
};

std::string Dump(const uint8_t* p, int n) {
  std::string s;
  char b[4];
  for (int i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, "%02X ", p[i]);
    s += b;
  }
  return s;
}

// Published indexed post-bytes: 5-bit offsets, and the forms of the table
// with and without indirection (not [,R+] nor [,-R]); [addr] only as 9F.
// PC-relative forms ignore the register bits, the assembler writes them 0.
bool PcrVariant(uint8_t p) { return (p & 0x8E) == 0x8C && (p & 0x60) != 0; }
bool PublishedPostByte(uint8_t p) {
  if (!(p & 0x80)) return true;
  switch (p & 0x1F) {
    case 0x00: case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x08:
    case 0x09: case 0x0B: case 0x0C: case 0x0D: case 0x11: case 0x13: case 0x14: case 0x15:
    case 0x16: case 0x18: case 0x19: case 0x1B: case 0x1C: case 0x1D:
      return true;
    case 0x1F:
      return p == 0x9F;
    default:
      return false;
  }
}

// Assembles the disassembly of the bytes at addr and compares.
void RoundTrip(Memory& m, uint16_t addr, int* checked) {
  dasm09::Instruction in = dasm09::Disassemble(addr, m.Reader());
  const std::string where = Dump(&m.bytes[addr], 5) + "-> " + in.text;
  char org[32];
  std::snprintf(org, sizeof org, " ORG $%04X\n ", addr);
  asm09::Result r = asm09::AssembleString(org + in.text + "\n", "rt.asm");
  ASSERT_TRUE(r.ok) << where << "\n" << r.ErrorText();
  int n = 0;
  while (addr + n < 0x10000 && r.written[addr + n]) ++n;
  ASSERT_EQ(n, in.length) << where;
  EXPECT_EQ(Dump(&r.image[addr], n), Dump(&m.bytes[addr], n)) << where;
  ++*checked;
}

TEST(Dasm09, EveryPublishedInstructionRoundTrips) {
  Memory m;
  const uint8_t kOperands[][4] = {
      {0x00, 0x00, 0x00, 0x00}, {0x7F, 0xFF, 0x12, 0x34}, {0x80, 0x00, 0x55, 0xAA},
      {0x12, 0x34, 0x56, 0x78}, {0xFF, 0xFE, 0xFD, 0xFC}, {0x05, 0x01, 0x00, 0x00},
      {0x00, 0x7F, 0x00, 0x00}, {0xF0, 0x00, 0x00, 0x00}, {0xFF, 0x81, 0x00, 0x00},
  };
  int checked = 0;
  for (uint16_t addr : {uint16_t(0x4000), uint16_t(0x0010), uint16_t(0xFF00)}) {
    for (int page : {0, 0x10, 0x11}) {
      for (int op = 0; op < 256; ++op) {
        opmap09::Decoded d = opmap09::Decode(uint8_t(page), uint8_t(op));
        if (!d.entry) continue;
        int at = 0;
        if (page) m.bytes[addr + at++] = uint8_t(page);
        m.bytes[addr + at++] = uint8_t(op);
        bool indexed = d.mode == opmap09::Mode::Indexed;
        for (int post = 0; post < (indexed ? 256 : 1); ++post) {
          // Operand values matter only to the forms that read them.
          bool takesOffset =
              !indexed || ((post & 0x80) && ((post & 0x0F) == 0x08 || (post & 0x0F) == 0x09 ||
                                             (post & 0x0F) == 0x0C || (post & 0x0F) == 0x0D ||
                                             (post & 0x1F) == 0x1F));
          for (size_t v = 0; v < (takesOffset ? std::size(kOperands) : 1); ++v) {
            const auto& operand = kOperands[v];
            int k = at;
            if (indexed) m.bytes[addr + k++] = uint8_t(post);
            for (uint8_t b : operand) m.bytes[addr + k++] = b;
            if (indexed && !PublishedPostByte(uint8_t(post))) {
              dasm09::Instruction in = dasm09::Disassemble(addr, m.Reader());
              EXPECT_EQ(in.text, "FCB " + std::string(page ? (page == 0x10 ? "$10" : "$11") : "")
                                     + (page ? "" : [&] {
                                         char b[8];
                                         std::snprintf(b, sizeof b, "$%02X", op);
                                         return std::string(b);
                                       }()));
              EXPECT_EQ(in.length, 1);
              continue;
            }
            if (indexed && PcrVariant(uint8_t(post))) {
              // Same text as the canonical post-byte.
              std::string text = dasm09::Disassemble(addr, m.Reader()).text;
              m.bytes[addr + at] = uint8_t(post & 0x9F);
              EXPECT_EQ(dasm09::Disassemble(addr, m.Reader()).text, text);
              continue;
            }
            RoundTrip(m, addr, &checked);
            if (::testing::Test::HasFatalFailure()) return;
          }
        }
      }
    }
  }
  EXPECT_GT(checked, 30000);  // instructions assembled back
}

// Random bytes read as one stream of instructions and FCBs make a program
// that assembles back into the same bytes.
TEST(Dasm09, RandomByteStreamReassembles) {
  Memory m;
  uint32_t seed = 12345;
  for (int a = 0x1000; a < 0x3000; ++a) {
    seed = seed * 1103515245u + 12345u;
    m.bytes[a] = uint8_t(seed >> 16);
  }
  std::string source = " ORG $1000\n";
  uint32_t a = 0x1000;
  while (a < 0x2FF0) {
    dasm09::Instruction in = dasm09::Disassemble(uint16_t(a), m.Reader());
    source += " " + in.text + "\n";
    a += uint32_t(in.length);
  }
  asm09::Result r = asm09::AssembleString(source, "stream.asm");
  ASSERT_TRUE(r.ok) << r.ErrorText();
  // Only the PC-relative post-bytes with register bits set come back in
  // their usual form.
  for (uint32_t i = 0x1000; i < a; ++i) {
    if (r.image[i] != m.bytes[i]) {
      EXPECT_TRUE(PcrVariant(m.bytes[i]) && r.image[i] == (m.bytes[i] & 0x9F)) << std::hex << i;
    }
  }
  EXPECT_FALSE(r.written[a]);
}

TEST(Dasm09, UnpublishedBytesComeOutAsFcb) {
  Memory m;
  // Page 0 holes, and holes behind the prefixes.
  for (uint8_t op : {0x01, 0x02, 0x05, 0x0B, 0x14, 0x15, 0x18, 0x1B, 0x38, 0x3E, 0x41, 0x4E,
                     0x5B, 0x61, 0x75, 0x87, 0x8F, 0xC7, 0xCD, 0xCF}) {
    m.bytes[0x100] = op;
    dasm09::Instruction in = dasm09::Disassemble(0x100, m.Reader());
    char want[16];
    std::snprintf(want, sizeof want, "FCB $%02X", op);
    EXPECT_EQ(in.text, want);
    EXPECT_EQ(in.length, 1);
    EXPECT_FALSE(in.valid);
  }
  for (auto [pre, op] : {std::pair{0x10, 0x20}, {0x10, 0x86}, {0x11, 0x8E}, {0x10, 0x10},
                         {0x11, 0x21}}) {
    m.bytes[0x100] = uint8_t(pre);
    m.bytes[0x101] = uint8_t(op);
    EXPECT_EQ(dasm09::Disassemble(0x100, m.Reader()).text, pre == 0x10 ? "FCB $10" : "FCB $11");
  }
  // TFR and EXG with a code that names no register, or of mixed sizes.
  for (uint8_t post : {0x06, 0x7C, 0x81, 0x18}) {
    m.bytes[0x100] = 0x1F;
    m.bytes[0x101] = post;
    EXPECT_EQ(dasm09::Disassemble(0x100, m.Reader()).text, "FCB $1F");
  }
}

TEST(Dasm09, ReadsWrapAroundTheTopOfMemory) {
  Memory m;
  m.bytes[0xFFFE] = 0x10;  // LDY $1234 across FFFF
  m.bytes[0xFFFF] = 0xBE;
  m.bytes[0x0000] = 0x12;
  m.bytes[0x0001] = 0x34;
  dasm09::Instruction in = dasm09::Disassemble(0xFFFE, m.Reader());
  EXPECT_EQ(in.text, "LDY $1234");
  EXPECT_EQ(in.length, 4);
  m.bytes[0xFFFD] = 0x20;  // BRA +4 from FFFF: 0003
  m.bytes[0xFFFE] = 0x04;
  EXPECT_EQ(dasm09::Disassemble(0xFFFD, m.Reader()).text, "BRA $0003");
}

TEST(Dasm09, ReadableForms) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* text;
  };
  const Case cases[] = {
      {{0x86, 0x41}, "LDA #$41"},           {{0xCC, 0x12, 0x34}, "LDD #$1234"},
      {{0x96, 0x20}, "LDA <$20"},           {{0xB6, 0x00, 0x20}, "LDA >$0020"},
      {{0xB6, 0xFD, 0x00}, "LDA $FD00"},    {{0xA6, 0x1F}, "LDA -1,X"},
      {{0xA6, 0x88, 0x05}, "LDA <5,X"},     {{0xA6, 0xA8, 0x40}, "LDA 64,Y"},
      {{0xA6, 0xC9, 0x00, 0x05}, "LDA >$0005,U"}, {{0xA6, 0xF1}, "LDA [,S++]"},
      {{0xA6, 0x9F, 0xFF, 0xFE}, "LDA [$FFFE]"},  {{0x30, 0x8C, 0x10}, "LEAX $0113,PCR"},
      {{0x34, 0xFF}, "PSHS CC,A,B,DP,X,Y,U,PC"},  {{0x37, 0x46}, "PULU A,B,S"},
      {{0x1E, 0x8B}, "EXG A,DP"},           {{0x10, 0x27, 0xFF, 0xFC}, "LBEQ $0100"},
      {{0x11, 0x3F}, "SWI3"},               {{0x68, 0x00}, "ASL 0,X"},
  };
  for (const Case& c : cases) {
    Memory m;
    for (size_t i = 0; i < c.bytes.size(); ++i) m.bytes[0x100 + i] = c.bytes[i];
    dasm09::Instruction in = dasm09::Disassemble(0x100, m.Reader());
    EXPECT_EQ(in.text, c.text);
    EXPECT_EQ(in.length, int(c.bytes.size())) << c.text;
  }
}

}  // namespace
