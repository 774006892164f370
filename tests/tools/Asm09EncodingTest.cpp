// Every mnemonic of the 6809 in every addressing mode it has, checked
// against the opcode map as Motorola publishes it (written out here on its
// own, not taken from the assembler's table), and every indexed form.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "Asm09.h"
#include "Opmap09.h"

namespace {

std::vector<uint8_t> Hex(const std::string& s) {
  std::vector<uint8_t> out;
  unsigned v;
  int n;
  const char* p = s.c_str();
  while (std::sscanf(p, "%x%n", &v, &n) == 1) {
    out.push_back(uint8_t(v));
    p += n;
  }
  return out;
}

// Assembles one instruction at $4000 and returns its bytes.
std::vector<uint8_t> Encode(const std::string& line, std::string* errors = nullptr) {
  asm09::Result r = asm09::AssembleString("        ORG $4000\n        " + line + "\n", "t.asm");
  if (errors) *errors = r.ErrorText();
  if (!r.ok) return {};
  std::vector<uint8_t> out;
  for (uint32_t a = 0x4000; a < 0x10000 && r.written[a]; ++a) out.push_back(r.image[a]);
  return out;
}

struct MemRow {
  const char* mn;
  int width;  // immediate width in bytes
  const char *imm, *dir, *idx, *ext;  // opcode bytes, nullptr if the mode is absent
};

// The published map: immediate, direct, indexed, extended opcodes.
const MemRow kMemRows[] = {
    {"NEG", 0, nullptr, "00", "60", "70"},   {"COM", 0, nullptr, "03", "63", "73"},
    {"LSR", 0, nullptr, "04", "64", "74"},   {"ROR", 0, nullptr, "06", "66", "76"},
    {"ASR", 0, nullptr, "07", "67", "77"},   {"ASL", 0, nullptr, "08", "68", "78"},
    {"LSL", 0, nullptr, "08", "68", "78"},   {"ROL", 0, nullptr, "09", "69", "79"},
    {"DEC", 0, nullptr, "0A", "6A", "7A"},   {"INC", 0, nullptr, "0C", "6C", "7C"},
    {"TST", 0, nullptr, "0D", "6D", "7D"},   {"JMP", 0, nullptr, "0E", "6E", "7E"},
    {"CLR", 0, nullptr, "0F", "6F", "7F"},
    {"LEAX", 0, nullptr, nullptr, "30", nullptr}, {"LEAY", 0, nullptr, nullptr, "31", nullptr},
    {"LEAS", 0, nullptr, nullptr, "32", nullptr}, {"LEAU", 0, nullptr, nullptr, "33", nullptr},
    {"ORCC", 1, "1A", nullptr, nullptr, nullptr}, {"ANDCC", 1, "1C", nullptr, nullptr, nullptr},
    {"CWAI", 1, "3C", nullptr, nullptr, nullptr},
    {"SUBA", 1, "80", "90", "A0", "B0"},     {"CMPA", 1, "81", "91", "A1", "B1"},
    {"SBCA", 1, "82", "92", "A2", "B2"},     {"SUBD", 2, "83", "93", "A3", "B3"},
    {"ANDA", 1, "84", "94", "A4", "B4"},     {"BITA", 1, "85", "95", "A5", "B5"},
    {"LDA", 1, "86", "96", "A6", "B6"},      {"STA", 0, nullptr, "97", "A7", "B7"},
    {"EORA", 1, "88", "98", "A8", "B8"},     {"ADCA", 1, "89", "99", "A9", "B9"},
    {"ORA", 1, "8A", "9A", "AA", "BA"},      {"ADDA", 1, "8B", "9B", "AB", "BB"},
    {"CMPX", 2, "8C", "9C", "AC", "BC"},     {"JSR", 0, nullptr, "9D", "AD", "BD"},
    {"LDX", 2, "8E", "9E", "AE", "BE"},      {"STX", 0, nullptr, "9F", "AF", "BF"},
    {"SUBB", 1, "C0", "D0", "E0", "F0"},     {"CMPB", 1, "C1", "D1", "E1", "F1"},
    {"SBCB", 1, "C2", "D2", "E2", "F2"},     {"ADDD", 2, "C3", "D3", "E3", "F3"},
    {"ANDB", 1, "C4", "D4", "E4", "F4"},     {"BITB", 1, "C5", "D5", "E5", "F5"},
    {"LDB", 1, "C6", "D6", "E6", "F6"},      {"STB", 0, nullptr, "D7", "E7", "F7"},
    {"EORB", 1, "C8", "D8", "E8", "F8"},     {"ADCB", 1, "C9", "D9", "E9", "F9"},
    {"ORB", 1, "CA", "DA", "EA", "FA"},      {"ADDB", 1, "CB", "DB", "EB", "FB"},
    {"LDD", 2, "CC", "DC", "EC", "FC"},      {"STD", 0, nullptr, "DD", "ED", "FD"},
    {"LDU", 2, "CE", "DE", "EE", "FE"},      {"STU", 0, nullptr, "DF", "EF", "FF"},
    {"CMPD", 2, "10 83", "10 93", "10 A3", "10 B3"},
    {"CMPY", 2, "10 8C", "10 9C", "10 AC", "10 BC"},
    {"LDY", 2, "10 8E", "10 9E", "10 AE", "10 BE"},
    {"STY", 0, nullptr, "10 9F", "10 AF", "10 BF"},
    {"LDS", 2, "10 CE", "10 DE", "10 EE", "10 FE"},
    {"STS", 0, nullptr, "10 DF", "10 EF", "10 FF"},
    {"CMPU", 2, "11 83", "11 93", "11 A3", "11 B3"},
    {"CMPS", 2, "11 8C", "11 9C", "11 AC", "11 BC"},
};

struct FixedRow {
  const char* source;
  const char* bytes;
};

// Inherent instructions, branches (at $4000), register lists and pairs.
const FixedRow kFixedRows[] = {
    {"NEGA", "40"}, {"COMA", "43"}, {"LSRA", "44"}, {"RORA", "46"}, {"ASRA", "47"},
    {"ASLA", "48"}, {"LSLA", "48"}, {"ROLA", "49"}, {"DECA", "4A"}, {"INCA", "4C"},
    {"TSTA", "4D"}, {"CLRA", "4F"}, {"NEGB", "50"}, {"COMB", "53"}, {"LSRB", "54"},
    {"RORB", "56"}, {"ASRB", "57"}, {"ASLB", "58"}, {"LSLB", "58"}, {"ROLB", "59"},
    {"DECB", "5A"}, {"INCB", "5C"}, {"TSTB", "5D"}, {"CLRB", "5F"},
    {"NOP", "12"}, {"SYNC", "13"}, {"DAA", "19"}, {"SEX", "1D"}, {"RTS", "39"},
    {"ABX", "3A"}, {"RTI", "3B"}, {"MUL", "3D"}, {"SWI", "3F"}, {"SWI2", "10 3F"},
    {"SWI3", "11 3F"},
    {"BRA $4010", "20 0E"}, {"BRN $4010", "21 0E"}, {"BHI $4010", "22 0E"},
    {"BLS $4010", "23 0E"}, {"BCC $4010", "24 0E"}, {"BHS $4010", "24 0E"},
    {"BCS $4010", "25 0E"}, {"BLO $4010", "25 0E"}, {"BNE $4010", "26 0E"},
    {"BEQ $4010", "27 0E"}, {"BVC $4010", "28 0E"}, {"BVS $4010", "29 0E"},
    {"BPL $4010", "2A 0E"}, {"BMI $4010", "2B 0E"}, {"BGE $4010", "2C 0E"},
    {"BLT $4010", "2D 0E"}, {"BGT $4010", "2E 0E"}, {"BLE $4010", "2F 0E"},
    {"BSR $4000", "8D FE"},
    {"LBRA $4010", "16 00 0D"}, {"LBSR $3000", "17 EF FD"},
    {"LBRN $4010", "10 21 00 0C"}, {"LBHI $4010", "10 22 00 0C"},
    {"LBLS $4010", "10 23 00 0C"}, {"LBCC $4010", "10 24 00 0C"},
    {"LBHS $4010", "10 24 00 0C"}, {"LBCS $4010", "10 25 00 0C"},
    {"LBLO $4010", "10 25 00 0C"}, {"LBNE $4010", "10 26 00 0C"},
    {"LBEQ $4010", "10 27 00 0C"}, {"LBVC $4010", "10 28 00 0C"},
    {"LBVS $4010", "10 29 00 0C"}, {"LBPL $4010", "10 2A 00 0C"},
    {"LBMI $4010", "10 2B 00 0C"}, {"LBGE $4010", "10 2C 00 0C"},
    {"LBLT $4010", "10 2D 00 0C"}, {"LBGT $4010", "10 2E 00 0C"},
    {"LBLE $4010", "10 2F 00 0C"},
    {"PSHS PC,U,Y,X,DP,B,A,CC", "34 FF"}, {"PULS CC,D,DP", "35 0F"},
    {"PSHU S,X", "36 50"}, {"PULU PC,A", "37 82"}, {"PSHS #0", "34 00"},
    {"EXG A,B", "1E 89"}, {"TFR X,Y", "1F 12"}, {"TFR D,PC", "1F 05"},
    {"TFR U,S", "1F 34"}, {"EXG CC,DP", "1E AB"}, {"tfr a,cc", "1F 8A"},
};

std::string Dump(const std::vector<uint8_t>& v) {
  std::string s;
  char b[4];
  for (uint8_t x : v) {
    std::snprintf(b, sizeof b, "%02X ", x);
    s += b;
  }
  return s;
}

TEST(Asm09Encoding, EveryMemoryModeMatchesThePublishedMap) {
  for (const MemRow& r : kMemRows) {
    std::string mn = r.mn;
    auto check = [&](const char* op, const std::string& operand, const std::string& tail) {
      std::string errors;
      std::vector<uint8_t> got = Encode(mn + " " + operand, &errors);
      std::vector<uint8_t> want = Hex(std::string(op) + " " + tail);
      EXPECT_EQ(Dump(got), Dump(want)) << mn << " " << operand << "\n" << errors;
    };
    auto rejects = [&](const std::string& operand) {
      std::string errors;
      EXPECT_TRUE(Encode(mn + " " + operand, &errors).empty()) << mn << " " << operand;
      EXPECT_NE(errors.find("t.asm:2: "), std::string::npos) << mn << " " << operand;
    };
    if (r.imm) check(r.imm, r.width == 2 ? "#$1234" : "#$12", r.width == 2 ? "12 34" : "12");
    else rejects("#1");
    if (r.dir) check(r.dir, "<$12", "12");
    else rejects("<$12");
    if (r.idx) check(r.idx, ",X", "84");
    else rejects(",X");
    if (r.ext) check(r.ext, "$1234", "12 34");
    else rejects(">$1234");
  }
}

TEST(Asm09Encoding, InherentBranchAndRegisterForms) {
  for (const FixedRow& r : kFixedRows) {
    std::string errors;
    EXPECT_EQ(Dump(Encode(r.source, &errors)), Dump(Hex(r.bytes))) << r.source << "\n" << errors;
  }
}

// The assembler's own table has nothing the published map lacks: each of
// its opcodes appears in the tables above.
TEST(Asm09Encoding, OpcodeTableHasNoStrayEntries) {
  std::set<std::string> published;
  for (const MemRow& r : kMemRows)
    for (const char* op : {r.imm, r.dir, r.idx, r.ext})
      if (op) published.insert(Dump(Hex(op)));
  for (const FixedRow& r : kFixedRows) {
    std::vector<uint8_t> b = Hex(r.bytes);
    size_t n = (b[0] == 0x10 || b[0] == 0x11) ? 2 : 1;
    published.insert(Dump(std::vector<uint8_t>(b.begin(), b.begin() + long(n))));
  }
  int count = 0;
  const opmap09::OpEntry* e = opmap09::Entries(&count);
  for (int i = 0; i < count; ++i)
    for (uint16_t op : {e[i].inh, e[i].imm, e[i].dir, e[i].idx, e[i].ext}) {
      if (op == opmap09::kNone) continue;
      std::vector<uint8_t> b;
      if (op > 0xFF) b.push_back(uint8_t(op >> 8));
      b.push_back(uint8_t(op));
      EXPECT_TRUE(published.count(Dump(b))) << e[i].name << " " << Dump(b);
    }
  // The published 6809 has 221 opcodes on page 0 (35 bytes are empty or
  // prefixes), 38 behind the 10 prefix and 9 behind 11.
  int pages[3] = {};
  for (const std::string& s : published) {
    std::vector<uint8_t> b = Hex(s);
    pages[b.size() == 1 ? 0 : b[0] == 0x10 ? 1 : 2]++;
  }
  EXPECT_EQ(pages[0], 221);
  EXPECT_EQ(pages[1], 38);
  EXPECT_EQ(pages[2], 9);
}

struct IndexRow {
  const char* operand;
  const char* bytes;  // after the LDA opcode A6
};

const IndexRow kIndexRows[] = {
    {",X", "84"},       {",Y", "A4"},       {",U", "C4"},       {",S", "E4"},
    {",X+", "80"},      {",Y++", "A1"},     {",-U", "C2"},      {",--S", "E3"},
    {"A,X", "86"},      {"B,Y", "A5"},      {"D,U", "CB"},      {"d,s", "EB"},
    {"0,X", "00"},      {"15,X", "0F"},     {"-16,Y", "30"},    {"-1,S", "7F"},
    {"16,X", "88 10"},  {"-17,U", "C8 EF"}, {"127,S", "E8 7F"}, {"-128,X", "88 80"},
    {"128,X", "89 00 80"}, {"-129,Y", "A9 FF 7F"}, {"$8000,U", "C9 80 00"},
    {"<1,X", "88 01"},  {">1,X", "89 00 01"},
    {"[,X]", "94"},     {"[,Y++]", "B1"},   {"[,--U]", "D3"},   {"[A,S]", "F6"},
    {"[B,X]", "95"},    {"[D,Y]", "BB"},    {"[1,X]", "98 01"}, {"[-1,U]", "D8 FF"},
    {"[300,S]", "F9 01 2C"}, {"[$1234]", "9F 12 34"},
    // PC-relative: the operand is the target, the offset counts from the
    // end of the instruction ($4003 for 8-bit, $4004 for 16-bit).
    {"$4003,PCR", "8C 00"}, {"$4000,PCR", "8C FD"}, {"$4083,PC", "8D 00 7F"},
    {">$4004,PCR", "8D 00 00"}, {"[$4003,PCR]", "9C 00"}, {"[$5000,PCR]", "9D 0F FC"},
};

TEST(Asm09Encoding, EveryIndexedForm) {
  for (const IndexRow& r : kIndexRows) {
    std::string errors;
    EXPECT_EQ(Dump(Encode(std::string("LDA ") + r.operand, &errors)),
              Dump(Hex(std::string("A6 ") + r.bytes)))
        << r.operand << "\n" << errors;
  }
  // The prefix byte of a page-1 opcode moves the PC-relative base by one.
  EXPECT_EQ(Dump(Encode("LDY $4004,PCR")), Dump(Hex("10 AE 8C 00")));
}

}  // namespace
