// The assembler's language: expressions, labels and their scopes, the
// directives, size decisions across the two passes, and error reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Asm09.h"

namespace {

asm09::Result Asm(const std::string& src) { return asm09::AssembleString(src, "t.asm"); }

std::vector<uint8_t> At(const asm09::Result& r, uint32_t from, uint32_t n) {
  return r.Bytes(from, from + n);
}

TEST(Asm09, ExpressionsFollowCPrecedence) {
  struct Case {
    const char* expr;
    int value;
  };
  const Case cases[] = {
      {"1+2*3", 7},          {"(1+2)*3", 9},       {"$10|1", 17},       {"0x10", 16},
      {"%1010", 10},         {"'A'", 65},          {"'A'+1", 66},       {"10/3", 3},
      {"10%3", 1},           {"1<<4|1", 17},       {"$F0&$3C^$FF", 0xCF}, {"~0&$FF", 255},
      {"-1&$FFFF", 0xFFFF},  {"256>>4", 16},       {"2+3<<1", 10},      {"*", 0x1234},
      {"*+2", 0x1236},       {"'\\n'", 10},        {"1-2-3", -4},       {"12/2/3", 2},
  };
  for (const Case& c : cases) {
    asm09::Result r = Asm(std::string(" ORG $1234\nv EQU ") + c.expr + "\n");
    ASSERT_TRUE(r.ok) << c.expr << "\n" << r.ErrorText();
    EXPECT_EQ(r.Symbol("v"), c.value) << c.expr;
  }
}

TEST(Asm09, DataDirectives) {
  asm09::Result r = Asm(
      " ORG $100\n"
      " FCB 1,$FF,-1,\"ab\",0\n"
      " FDB $1234,-2\n"
      " FCC /x;y/\n"
      " FCC \"q\"\n"
      " RMB 2\n"
      " FILL 3,$AA\n"
      " ALIGN 4\n"
      "end4 FCB 'Z','\\\\','xy'\n"
      " ALIGN 8,0\n"
      "end8\n");
  ASSERT_TRUE(r.ok) << r.ErrorText();
  std::vector<uint8_t> want = {1, 0xFF, 0xFF, 'a', 'b', 0, 0x12, 0x34, 0xFF, 0xFE, 'x', ';',
                               'y', 'q', 0xFF, 0xFF, 0xAA, 0xAA, 0xAA, 0xFF, 'Z', 0x5C, 'x', 'y'};
  EXPECT_EQ(At(r, 0x100, uint32_t(want.size())), want);
  EXPECT_FALSE(r.written[0x10E]);  // RMB reserves without writing
  EXPECT_EQ(r.Symbol("end4"), 0x114);
  EXPECT_EQ(r.Symbol("end8"), 0x118);
}

TEST(Asm09, LocalLabelsAreScopedBetweenGlobals) {
  asm09::Result r = Asm(
      " ORG $2000\n"
      "one\n"
      ".loop BRA .loop\n"
      "two: NOP\n"
      ".loop BRA .loop\n"
      " BRA one.loop\n");
  ASSERT_TRUE(r.ok) << r.ErrorText();
  EXPECT_EQ(r.Symbol("one.loop"), 0x2000);
  EXPECT_EQ(r.Symbol("two.loop"), 0x2003);
  EXPECT_EQ(At(r, 0x2000, 7), (std::vector<uint8_t>{0x20, 0xFE, 0x12, 0x20, 0xFE, 0x20, 0xF9}));
}

TEST(Asm09, DirectPageFollowsSetdpAndForwardReferencesStayExtended) {
  asm09::Result r = Asm(
      " ORG $3000\n"
      " LDA $12\n"       // DP 0 assumed: direct
      " LDA $2012\n"     // extended
      " SETDP $20\n"
      " LDA $2012\n"     // now direct
      " LDA $12\n"       // now extended
      " LDA >$2012\n"    // forced extended
      " LDA <$12\n"      // forced direct
      " LDA later\n"     // forward: extended, even though it ends up in the page
      "later EQU $2040\n"
      " SETDP -1\n"      // no page assumed
      " LDA $0012\n"
      "  page = $12\n"   // indented name = value
      " STA <page\n");
  ASSERT_TRUE(r.ok) << r.ErrorText();
  EXPECT_EQ(At(r, 0x3000, 23),
            (std::vector<uint8_t>{0x96, 0x12, 0xB6, 0x20, 0x12, 0x96, 0x12, 0xB6, 0x00, 0x12,
                                  0xB6, 0x20, 0x12, 0x96, 0x12, 0xB6, 0x20, 0x40, 0xB6, 0x00,
                                  0x12, 0x97, 0x12}));
}

TEST(Asm09, ForwardIndexedOffsetKeepsSixteenBitsAndLabelsAgree) {
  asm09::Result r = Asm(
      " ORG $1000\n"
      " LDA off,X\n"
      " LEAX data,PCR\n"
      "data FCB 0\n"
      "off EQU 3\n");
  ASSERT_TRUE(r.ok) << r.ErrorText();
  EXPECT_EQ(At(r, 0x1000, 8),
            (std::vector<uint8_t>{0xA6, 0x89, 0x00, 0x03, 0x30, 0x8D, 0x00, 0x00}));
  EXPECT_EQ(r.Symbol("data"), 0x1008);
}

TEST(Asm09, SetRedefinesAndIncludeFindsFiles) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("asm09_inc_" + std::to_string(::getpid()));
  fs::create_directories(dir / "lib");
  std::ofstream(dir / "lib" / "defs.asm") << "K EQU 7\n FCB K\n";
  std::ofstream(dir / "blob.bin", std::ios::binary) << std::string("\x01\x02\x03", 3);
  asm09::Options opt;
  opt.includeDirs.push_back((dir / "lib").string());
  asm09::Result r = asm09::AssembleString(
      " ORG 0\nn SET 1\n FCB n\nn SET n+1\n FCB n\n INCLUDE \"defs.asm\"\n"
      " INCLUDEBIN blob.bin\n FCB K\n END\n FCB 99\n",
      (dir / "main.asm").string(), opt);
  fs::remove_all(dir);
  ASSERT_TRUE(r.ok) << r.ErrorText();
  EXPECT_EQ(At(r, 0, 7), (std::vector<uint8_t>{1, 2, 7, 1, 2, 3, 7}));
  EXPECT_FALSE(r.written[7]);  // after END
  EXPECT_NE(r.listing.find("0000  01               FCB n\n"), std::string::npos) << r.listing;
  EXPECT_NE(r.listing.find("=0007                 K EQU 7\n"), std::string::npos) << r.listing;
}

TEST(Asm09, ErrorsNameTheirLine) {
  struct Case {
    const char* source;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {" NOP\n FROB 1\n", 2, "unknown mnemonic"},
      {" NOP\n STA #1\n", 2, "not available for STA"},
      {" LEAX $1234\n", 1, "indexed"},
      {" NOP\n LDA nowhere\n", 2, "undefined symbol 'nowhere'"},
      {"x NOP\nx NOP\n", 2, "defined twice"},
      {"x EQU 1\nx SET 2\n", 2, "defined twice"},
      {" LDA #256\n", 1, "8 bits"},
      {" LDX #$10000\n", 1, "16 bits"},
      {" ORG 0\n BRA $100\n", 2, "branch out of range"},
      {" ORG 0\n NOP\n BRA -127\n", 3, "branch out of range"},
      {" LDA <$1234\n", 1, "direct page"},
      {" LDA [,X+]\n", 1, "indirect"},
      {" LDA ,Q\n", 1, "index register"},
      {" PSHS S\n", 1, "own pointer"},
      {" PULU A,A\n", 1, "twice"},
      {" TFR A,X\n", 1, "different sizes"},
      {" LDA 1/0\n", 1, "division by zero"},
      {" ORG later\nlater EQU 5\n", 1, "later"},
      {" ORG $FFFF\n FDB 1\n", 2, "past $FFFF"},
      {" ORG 0\n FCB 1\n ORG 0\n FCB 2\n", 4, "overwrites"},
      {" INCLUDE \"no-such-file.asm\"\n", 1, "cannot open"},
      {" FCC /abc\n", 1, "unterminated"},
      {" LDA (1+2\n", 1, "missing ')'"},
      {" RTS 1\n", 1, "no operand"},
      {"1abc NOP\n", 1, "bad label"},
      {" EQU 4\n", 1, "needs a label"},
  };
  for (const Case& c : cases) {
    asm09::Result r = Asm(c.source);
    EXPECT_FALSE(r.ok) << c.source;
    ASSERT_FALSE(r.errors.empty()) << c.source;
    EXPECT_EQ(r.errors[0].file, "t.asm");
    EXPECT_EQ(r.errors[0].line, c.line) << c.source << r.ErrorText();
    EXPECT_NE(r.errors[0].message.find(c.message), std::string::npos)
        << c.source << " -> " << r.errors[0].message;
  }
}

TEST(Asm09, OneErrorDoesNotShiftTheLabelsAfterIt) {
  asm09::Result r = Asm(" ORG $100\n LDA missing\nafter NOP\n");
  ASSERT_EQ(r.errors.size(), 1u) << r.ErrorText();
  EXPECT_EQ(r.Symbol("after"), 0x103);
}

TEST(Asm09, IncludeErrorsNameTheIncludedFile) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("asm09_err_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "bad.asm") << " NOP\n\n BOGUS\n";
  std::ofstream(dir / "loop.asm") << " INCLUDE loop.asm\n";
  asm09::Result r =
      asm09::AssembleString(" NOP\n INCLUDE bad.asm\n INCLUDE loop.asm\n", (dir / "m.asm").string());
  fs::remove_all(dir);
  ASSERT_GE(r.errors.size(), 2u);
  EXPECT_EQ(r.errors[0].file, (dir / "bad.asm").string());
  EXPECT_EQ(r.errors[0].line, 3);
  EXPECT_NE(r.errors[1].message.find("nested too deeply"), std::string::npos);
}

TEST(Asm09, SymbolFileCanBeIncludedBack) {
  asm09::Result r = Asm(" ORG $C000\nstart NOP\n.local NOP\nKONST EQU 5\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.SymbolText(), "KONST EQU $0005\nstart EQU $C000\n");
  asm09::Result back = Asm(r.SymbolText() + " ORG 0\n FDB start,KONST\n");
  ASSERT_TRUE(back.ok) << back.ErrorText();
  EXPECT_EQ(At(back, 0, 4), (std::vector<uint8_t>{0xC0, 0x00, 0x00, 0x05}));
}

}  // namespace
