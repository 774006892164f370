// The BASIC on the whole machine: programs typed through the paste path,
// run, and checked against the text screen. One table per family of
// behaviour; each case is typed into a freshly booted machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FirmwareRig.h"

namespace {

struct Case {
  std::string typed;   // lines, '\n' is RETURN
  std::string expect;  // must appear on the screen afterwards
};

// Boots, clears the screen, types the text and runs until the BASIC waits
// at "Ok" with nothing left to type. Returns the text screen.
std::string Run(TFirmwareRig& rig, const std::string& typed, uint64_t limitMs = 60000) {
  if (!rig.WaitFor("Ok\n")) return "no boot:\n" + rig.Screen();
  rig.Type("CLS\n" + typed);
  const uint64_t end = rig.Clock.Now() + limitMs;
  while (rig.Clock.Now() < end) {
    rig.RunMs(20);
    if (!rig.KeysPending() && rig.LastLine() == "Ok") break;
  }
  return rig.Screen();
}

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    TFirmwareRig rig;
    const std::string screen = Run(rig, c.typed);
    EXPECT_NE(screen.find(c.expect), std::string::npos) << "typed:\n" << c.typed << "\nscreen:\n" << screen;
  }
}

TEST(Basic, ProgramLinesAreStoredAndListedAsTyped) {
  Check({
      {"10 print \"Hi\";a:goto 10\n20 fori=1to10step2:next i\nLIST\n",
       "LIST\n10 PRINT \"Hi\";A:GOTO 10\n20 FORI=1TO10STEP2:NEXT I\nOk"},
      {"20 B\n10 A\n30 C\n20\nLIST\n", "LIST\n10 A\n30 C\nOk"},           // a number alone deletes
      {"10 ?\"x\":'note?\n15 rem Print\n20 data a,print,\"b:c\"\nLIST\n",  // REM, ' and DATA kept
       "10 PRINT\"x\":'note?\n15 REM Print\n20 DATA a,print,\"b:c\"\n"},
      {"10 A\n20 B\n30 C\n40 D\nLIST 20-30\n", "LIST 20-30\n20 B\n30 C\nOk"},
      {"10 A\n20 B\n30 C\nDELETE 10-20\nLIST\n", "LIST\n30 C\nOk"},
      {"NEW\n10 END\nLIST\nNEW\nLIST\n", "NEW\nOk\nLIST\nOk"},
  });
}

TEST(Basic, IntegerArithmeticAndLogic) {
  Check({
      {"?1+2*3-4;(1+2)*3;7\\2;-7\\2;7 MOD 3;-7 MOD 3\n", " 3  9  3 -3  1 -1\nOk"},
      {"?3 AND 5;3 OR 5;3 XOR 5;NOT 0;2<3;2>=3;5<>5;\"A\"<\"B\"\n", " 1  7  6 -1 -1  0  0 -1\nOk"},
      {"?&HFF;&H7FFF;&O17\n", " 255  32767  15\n"},
      {"?1\\0\n", "Division by zero\nOk"},
  });
}

TEST(Basic, Strings) {
  Check({
      {"A$=\"HELLO\":B$=A$+\" WORLD\":?B$;LEN(B$)\n", "HELLO WORLD 11\nOk"},
      {"?LEFT$(\"ABCD\",3);\"/\";RIGHT$(\"ABCD\",1);\"/\";MID$(\"ABCDEF\",2,3);\"/\";MID$(\"AB\",5)\"/\"\n",
       "ABC/D/BCD//\nOk"},
      {"?ASC(\"A\");CHR$(66);INSTR(\"HELLO\",\"LL\");INSTR(3,\"ABAB\",\"A\");HEX$(255);OCT$(8)\n", " 65 B 3  3 FF10\nOk"},
      {"?STRING$(3,\"*\");STRING$(2,65);\"[\";SPACE$(2);\"]\"\n", "***AA[  ]\nOk"},
      {"A$=\"ABCDE\":MID$(A$,2,2)=\"xyz\":?A$\n", "AxyDE\nOk"},
      {"?\"A\"+1\n", "Type mismatch\nOk"},
  });
}

TEST(Basic, ControlFlow) {
  Check({
      {"10 GOSUB 100:PRINT \"B\";:END\n100 PRINT \"A\";:RETURN\nRUN\n", "AB\nOk"},
      {"10 FOR I%=1 TO 3:FOR J%=1 TO 2:PRINT I%*10+J%;:NEXT J%,I%\nRUN\n", " 11  12  21  22  31  32\nOk"},
      {"10 FOR I%=5 TO 1:PRINT \"no\":NEXT:PRINT \"skipped\"\nRUN\n", "skipped\nOk"},
      {"10 FOR I%=3 TO 1 STEP -1:PRINT I%;:NEXT\nRUN\n", " 3  2  1\nOk"},
      {"10 I%=0:WHILE I%<3:I%=I%+1:PRINT I%;:WEND\nRUN\n", " 1  2  3\nOk"},
      {"10 X%=2:ON X% GOTO 20,30:PRINT \"none\":END\n20 PRINT \"20\":END\n30 PRINT \"30\"\nRUN\n", "30\nOk"},
      {"10 IF 1 THEN IF 0 THEN ?\"a\" ELSE ?\"b\" ELSE ?\"c\"\n20 IF 0 THEN ?\"d\" ELSE 40\n30 ?\"e\"\n40 ?\"f\"\nRUN\n",
       "b\nf\nOk"},
      {"10 GOTO 50\nRUN\n", "Undefined line number in 10\nOk"},
      {"10 RETURN\nRUN\n", "RETURN without GOSUB in 10\nOk"},
      {"10 NEXT\nRUN\n", "NEXT without FOR in 10\nOk"},
      {"10 PRINT \"A\":STOP:PRINT \"B\"\nRUN\nCONT\n", "A\nBreak in 10\nOk\nCONT\nB\nOk"},
  });
}

}  // namespace
