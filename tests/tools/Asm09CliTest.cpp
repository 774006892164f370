// The asm09 program: a raw image of a range on success, nothing at all on
// error, errors as file:line: message on stderr.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class Asm09Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("asm09_cli_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // Runs asm09 in the temporary folder; returns its exit status.
  int Run(const std::string& args) {
    std::string cmd = "cd '" + dir_.string() + "' && '" ASM09_PROGRAM "' " + args + " 2>err.txt";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir_;
};

TEST_F(Asm09Cli, WritesTheRangeListingAndSymbols) {
  Write("inc/defs.asm", "");
  fs::create_directories(dir_ / "inc");
  Write("inc/defs.asm", "VALUE EQU $42\n");
  Write("p.asm", " INCLUDE defs.asm\n ORG $8002\nstart LDA #VALUE\n ORG $8007\n FCB 9\n");
  ASSERT_EQ(Run("-I inc -o p.bin --from 0x8000 --to '$8008' --fill 0 --list p.lst --symbols p.sym p.asm"), 0)
      << Read("err.txt");
  EXPECT_EQ(Read("p.bin"), std::string("\0\0\x86\x42\0\0\0\x09", 8));
  EXPECT_NE(Read("p.lst").find("8002  86 42"), std::string::npos) << Read("p.lst");
  EXPECT_EQ(Read("p.sym"), "VALUE EQU $0042\nstart EQU $8002\n");
  // Default fill FF, range up to the top of memory.
  Write("v.asm", " ORG $FFFE\n FDB $1234\n");
  ASSERT_EQ(Run("-o v.bin --from 65532 --to 0x10000 v.asm"), 0) << Read("err.txt");
  EXPECT_EQ(Read("v.bin"), std::string("\xFF\xFF\x12\x34", 4));
}

TEST_F(Asm09Cli, ErrorsWriteNothing) {
  Write("bad.asm", " ORG $8000\n NOP\n LDA #$100\n JMP nowhere\n");
  EXPECT_NE(Run("-o out.bin --from 0x8000 --to 0x9000 --list out.lst --symbols out.sym bad.asm"), 0);
  EXPECT_EQ(Read("err.txt"),
            "bad.asm:3: value 256 does not fit in 8 bits\nbad.asm:4: undefined symbol 'nowhere'\n");
  for (const auto& entry : fs::directory_iterator(dir_)) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "bad.asm" || name == "err.txt") << name;
  }
}

TEST_F(Asm09Cli, BadCommandLinesAreRefused) {
  Write("ok.asm", " NOP\n");
  EXPECT_NE(Run("-o x.bin ok.asm"), 0);                              // no range
  EXPECT_NE(Run("-o x.bin --from 0x100 --to 0x100 ok.asm"), 0);      // empty range
  EXPECT_NE(Run("-o x.bin --from 0 --to 0x10001 ok.asm"), 0);        // past the top
  EXPECT_NE(Run("-o x.bin --from 0 --to 16 --fill 256 ok.asm"), 0);  // fill not a byte
  EXPECT_NE(Run("--bogus ok.asm"), 0);
  EXPECT_NE(Run("missing.asm"), 0);
  EXPECT_FALSE(fs::exists(dir_ / "x.bin"));
  EXPECT_EQ(Run("ok.asm"), 0);
}

}  // namespace
