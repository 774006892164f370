// The BASIC's programs, memory and data files on the cassette deck: saved,
// found among others, loaded back (tokenized and as text), merged, a damaged
// tape refused; data files written with each statement and read back.
// Typed through the paste path like the other BASIC tests.
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
      // VERIFY: the same program, one line changed, a program saved as text.
      {"NEW\nLOAD \"one\"\n", true, "Found: one\nOk"},
      {"VERIFY \"one\"\n", true, "VERIFY \"one\"\nFound: one\nOk"},
      {"20 REM\nVERIFY \"one\"\nLIST 20\n", true, "Found: one\nVerify error\nOk\nLIST 20\n20 REM\nOk"},
      {"VERIFY \"two\"\n", true, "Found: two\nBad file mode"},
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

// A data file written with each output statement, part of it left for END
// to write, then read back with each input statement on the rewound tape.
TEST(BasicFiles, DataFilesOnTape) {
  TapeRig t;
  ASSERT_TRUE(t.Rig.WaitFor("Ok\n"));
  t.Run("10 OPEN \"data\" FOR OUTPUT AS #1\n20 PRINT #1,\"HI\";\",\";-12;-3.5\n"
        "30 WRITE #1,\"A,B\",42,1.5:PRINT #1,USING \"##.##\";3.14159\n"
        "40 FOR I=1 TO 100:PRINT #1,I;:NEXT:PRINT #1,:PRINT #1,\"END\";\n50 END\nRUN\n");
  struct Case {
    std::string typed, expect;
  } cases[] = {
      {"10 OPEN \"I\",#2,\"CAS:data\"\n20 INPUT #2,A$,B,C:PRINT A$;\"|\";B;C\n"
       "30 INPUT #2,D$,E,F:PRINT D$;\"|\";E;F:LINE INPUT #2,L$:PRINT \"[\";L$;\"]\"\n"
       "40 N=0:WHILE NOT EOF(2) AND N<5050:INPUT #2,X:N=N+X:WEND\n"
       "50 PRINT N;LOC(2);INPUT$(3,#2);EOF(2):INPUT #2,Z\nRUN\n",
       "Found: data\nHI|-12 -3.5\nA,B| 42  1.5\n[ 3.14]\n 5050  2 END-1\nInput past end in 50"},
      // Closed by the error's RUN: a second OPEN of the same number works.
      {"OPEN \"data\" FOR INPUT AS 1:LINE INPUT #1,A$:?A$:CLOSE 1,#2\n", "HI,-12 -3.5\nOk"},
      {"OPEN \"nothere\" FOR INPUT AS #1\n", "Found: data\nFile not found"},
      {"OPEN \"CAS:\" FOR INPUT AS #3:INPUT #3,A$:?A$:CLOSE:OPEN \"O\",#1,\"CAS:\"\n", "Found: data\nHI\nBad file name"},
  };
  for (const Case& c : cases) {
    const std::string screen = t.Run("NEW\n" + c.typed, true);
    EXPECT_NE(screen.find(c.expect), std::string::npos) << "typed:\n" << c.typed << "\nscreen:\n" << screen;
  }
}

// What the statements refuse, with the ERR numbers of the disk BASICs; the
// record functions; the new keywords listed as typed and not found in names.
TEST(BasicFiles, DataFileErrorsAndKeywords) {
  TapeRig t;
  ASSERT_TRUE(t.Rig.WaitFor("Ok\n"));
  struct Case {
    std::string typed, expect;
  } cases[] = {
      {"10 ON ERROR GOTO 90\n20 PRINT #1,1\n30 OPEN \"O\",#5,\"x\"\n40 OPEN \"R\",#1,\"x\"\n"
       "50 OPEN \"x\" FOR APPEND AS #1\n60 OPEN \"a\" FOR OUTPUT AS #1:OPEN \"b\" FOR OUTPUT AS #1\n"
       "70 OPEN \"b\" FOR OUTPUT AS #2\n80 INPUT #1,A:END\n90 PRINT ERR;:RESUME NEXT\nRUN\n",
       " 52  52  54  54  55  55  54\nOk"},
      {"PRINT CVI(MKI$(-1234));CVS(MKS$(1.5));CVD(MKD$(1/3#));LEN(MKD$(0));CVI(\"A\")\n",
       "-1234  1.5  .3333333333333333  8\nIllegal function call"},
      {"5 ASK=1:GETS=2:LOCK=3:?ASK+GETS+LOCK\n10 OPEN \"x\" FOR OUTPUT AS #1:WRITE #1,1:CLOSE #1:?EOF(1)\nLIST\nRUN\n",
       "5 ASK=1:GETS=2:LOCK=3:PRINTASK+GETS+LOCK\n10 OPEN \"x\" FOR OUTPUT AS #1:WRITE #1,1:CLOSE #1:PRINTEOF(1)\nOk\nRUN\n"
       " 6\nBad file number in 10"},
      {"WRITE \"A\",-1,2.5;\"B\"\n", "\"A\",-1,2.5,\"B\"\nOk"},
  };
  for (const Case& c : cases) {
    const std::string screen = t.Run("NEW\n" + c.typed);
    EXPECT_NE(screen.find(c.expect), std::string::npos) << "typed:\n" << c.typed << "\nscreen:\n" << screen;
  }
}
#endif
