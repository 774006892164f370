// The BASIC's programs and memory on the cassette deck: saved, found among
// others, loaded back (tokenized and as text), merged, and a damaged tape
// refused. Typed through the paste path like the other BASIC tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "FirmwareRig.h"

#ifdef QUILLON_HAVE_TRAPS
namespace {

// Types the text and runs until the BASIC shows "Ok" with nothing left to type.
std::string Typed(TFirmwareRig& rig, const std::string& text, uint64_t limitMs = 60000) {
  rig.Type("CLS\n" + text);
  const uint64_t end = rig.Clock.Now() + limitMs;
  while (rig.Clock.Now() < end) {
    rig.RunMs(20);
    if (!rig.KeysPending() && rig.LastLine() == "Ok") break;
  }
  return rig.Screen();
}

struct TapeRig {
  std::filesystem::path Path =
      std::filesystem::temp_directory_path() / ("quillon_basic_tape_" + std::to_string(::getpid()) + ".vtp");
  TFirmwareRig Rig;
  TapeRig() { Rig.State.Vtp.CreateTape(Path.string()); }
  ~TapeRig() {
    Rig.State.Vtp.CloseTape();
    std::filesystem::remove(Path);
  }
  std::string Run(const std::string& text, bool rewind = false) {
    if (rewind) Rig.State.Vtp.SeekTape(0);
    return Typed(Rig, text);
  }
};

}  // namespace

TEST(BasicFiles, ProgramsAndMemoryOnTape) {
  TapeRig t;
  ASSERT_TRUE(t.Rig.WaitFor("Ok\n"));
  t.Run("10 PRINT \"ONE\";2*3\n20 A$=\"x\":FOR I=1 TO 2:PRINT A$;:NEXT\nSAVE \"one\"\n");
  t.Run("NEW\n10 PRINT \"TWO\"\n30 REM last\nSAVE \"CAS:two\",A\n");
  t.Run("FOR I=0 TO 15:POKE &H3000+I,I*3:NEXT\nBSAVE \"mc\",&H3000,16\n");
  struct Case {
    std::string typed;
    bool rewind;
    std::string expect;
  } cases[] = {
      // A named program is found past another; text comes back as typed.
      {"NEW\nLOAD \"two\"\nLIST\n", true, "Found: one\nFound: two\nOk\nLIST\n10 PRINT \"TWO\"\n30 REM last\nOk"},
      // Without a name the next program, tokenized, runs with R.
      {"NEW\nLOAD ,R\n", true, "Found: one\nONE 6\nxx\nOk"},
      // MERGE adds the text's lines to the program there.
      {"NEW\n20 PRINT \"MID\"\nMERGE \"two\"\nLIST\n", true, "10 PRINT \"TWO\"\n20 PRINT \"MID\"\n30 REM last\nOk"},
      // BLOAD with an offset; memory files are not programs and the reverse.
      {"BLOAD \"mc\",&H100\nPRINT PEEK(&H3105);PEEK(&H310F)\n", true, " 15  45\nOk"},
      {"LOAD \"mc\"\n", true, "Bad file mode\nOk"},
      {"BLOAD \"one\"\n", true, "Bad file mode\nOk"},
      {"LOAD \"three\"\n", true, "Found: mc\nFile not found\nOk"},
      {"SAVE \"9:x\"\nSAVE \"toolongname\"\nSAVE \"\"\n", false, "Bad file name\nOk\nSAVE \"toolongname\"\nBad file name"},
  };
  for (const Case& c : cases) {
    const std::string screen = t.Run(c.typed, c.rewind);
    EXPECT_NE(screen.find(c.expect), std::string::npos) << "typed:\n" << c.typed << "\nscreen:\n" << screen;
  }
}

// A data block damaged on the tape: the load is refused with an error and
// leaves no half program behind.
TEST(BasicFiles, DamagedTapeLeavesNoProgram) {
  TapeRig t;
  ASSERT_TRUE(t.Rig.WaitFor("Ok\n"));
  t.Run("10 PRINT \"KEEP\"\n20 END\nSAVE \"p\"\n");
  t.Rig.State.Vtp.SeekTape(32 + 20 + 10);  // leader, header block, into the data
  t.Rig.State.Vtp.TapeWriteByte(0x55);
  const std::string screen = t.Run("LOAD \"p\"\nLIST\n", true);
  EXPECT_NE(screen.find("Device I/O error\nOk\nLIST\nOk"), std::string::npos) << screen;
}
#endif
