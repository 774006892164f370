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
      // Keywords of the old BASICs are found inside names, the newer ones only as words.
      {"10 TERRAIN=1:FIXED=3:FORI=ATOB:?TERRAIN;FIXED;9 MOD 4;FIX(2.5):NEXT\nRUN\n", " 1  3  1  2\nOk"},
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
      // Whole-number loops count in an integer; a change to the variable is seen.
      {"10 FOR I=1 TO 10:?I;:IF I=3 THEN I=8\n20 NEXT:?I:FOR I=32766 TO 32767:NEXT:?I\n"
       "30 FOR I=1 TO 2 STEP .5:?I;:NEXT\nRUN\n", " 1  2  3  9  10  11\n 32768\n 1  1.5  2\nOk"},
      {"10 I%=0:WHILE I%<3:I%=I%+1:PRINT I%;:WEND\nRUN\n", " 1  2  3\nOk"},
      {"10 X%=2:ON X% GOTO 20,30:PRINT \"none\":END\n20 PRINT \"20\":END\n30 PRINT \"30\"\nRUN\n", "30\nOk"},
      {"10 IF 1 THEN IF 0 THEN ?\"a\" ELSE ?\"b\" ELSE ?\"c\"\n20 IF 0 THEN ?\"d\" ELSE 40\n30 ?\"e\"\n40 ?\"f\"\nRUN\n",
       "b\nf\nOk"},
      {"10 PRINT \"A\" 'note\n20 X=2 ' set\n30 PRINT X;'x\nRUN\n", "A\n 2\nOk"},
      {"10 GOTO 30\n20 END\n30 PRINT \"x\";\nRUN\n15 REM moves line 30\nRUN\n30\nRUN\n",  // edits forget GOTO targets
       "RUN\nx\nOk\n15 REM moves line 30\nRUN\nx\nOk\n30\nRUN\nUndefined line number in 10\n"},
      {"10 GOTO 50\nRUN\n", "Undefined line number in 10\nOk"},
      {"10 RETURN\nRUN\n", "RETURN without GOSUB in 10\nOk"},
      {"10 NEXT\nRUN\n", "NEXT without FOR in 10\nOk"},
      {"10 PRINT \"A\":STOP:PRINT \"B\"\nRUN\nCONT\n", "A\nBreak in 10\nOk\nCONT\nB\nOk"},
  });
}

TEST(Basic, NumbersAndTheirText) {
  Check({
      {"?1.5+2;1/3;100000*3;1E20;-0.000123;2.5E-7\n", " 3.5  .3333333  300000  1E+20 -.000123  2.5E-07\n"},
      {"?3/7#;12345678#;1/3#*3;CDBL(1.5)\n", " .4285714285714286  12345678  1  1.5\n"},
      {"?CINT(2.5);CINT(-2.5);INT(-2.5);FIX(-2.5);SGN(-3);ABS(-4.5);200*200\n", " 3 -3 -3 -2 -1  4.5  40000\n"},
      {"?VAL(\"  -12.5E1\");VAL(\"&H10\");VAL(\"x\");STR$(3.5);\"|\";STR$(-2)\n", "-125  16  0  3.5|-2\n"},
      {"A%=300:B%=A%*200\n", "Overflow\nOk"},
      {"A%=32767.4:?A%:A%=32767.6\n", " 32767\nOverflow\n"},
      {"?1E38*1E10\n", "Overflow\nOk"},
      {"?RND(1)<1;RND(0)=RND(0);RND(-1)=RND(-1)\n", "-1 -1 -1\n"},
  });
}

TEST(Basic, PrintZonesTabAndUsing) {
  Check({
      {"?1;2,3;TAB(20);\"x\";SPC(3);\"y\"\n", " 1  2          3   x   y\n"},
      {"?\"A\",\"B\",\"C\"\n", "A             B             C\n"},
      {"?TAB(95);\"x\"\n", "\n              x\n"},  // past the line's end: on the next line
      // A number that would not fit in the rest of the line starts the next one.
      {"?STRING$(76,\"x\");12345\n", "xx\n 12345\n"},
      {"?STRING$(74,\"x\");12345\n", "xx 12345\n"},
      {"WIDTH 40:?STRING$(37,\"x\");-1.5;\"y\"\n", "xx\n-1.5 y\n"},
      {"?USING \"##.##\";3.14159;-2.5;100\n", " 3.14-2.50%100.00\n"},
      {"?USING \"+#,###.#|$$##.##|**##|##.##^^^^|###-\";1234.56;5.5;-7;12345;-5\n",
       "+1,234.6|  $5.50|**-7| 1.23E+04|  5-\n"},
      {"?USING \"! & \\  \\|\";\"ABC\";\"DE\";\"FGHIJ\"\n", "A DE FGHI|\n"},
      {"?USING \"Total: ###.## _#\";12.345\n", "Total:  12.35 #\n"},
  });
}

TEST(Basic, InputEdgeCases) {
  Check({
      {"10 INPUT \"N\";N:INPUT A$,B:?N;A$;B\nRUN\nx\n12\nhi\n5\n", "N? x\n?Redo from start\nN? 12\n? hi\n?? 5\n 12 hi 5\n"},
      {"10 INPUT A,B:?A+B\nRUN\n1,2,3\n", "? 1,2,3\n?Extra ignored\n 3\n"},
      {"10 INPUT \"S\",S$:?\"[\";S$;\"]\"\nRUN\n\"a, b\"\n", "S\"a, b\"\n[a, b]\n"},
      {"10 LINE INPUT \"L: \";L$:?\"[\";L$;\"]\"\nRUN\nx, \"y\"\n", "L: x, \"y\"\n[x, \"y\"]\n"},
      {"10 INPUT A:?A\nRUN\n\n", "?\n 0\n"},
  });
}

TEST(Basic, DataArraysAndFunctions) {
  Check({
      {"10 DATA 1,\"two\",3.5,,four\n20 READ A,B$,C,D,E$:?A;B$;C;D;E$:RESTORE:READ X:?X:READ Y$,Z,W,V$,U\nRUN\n",
       " 1 two 3.5  0 four\n 1\nOut of DATA in 20\n"},
      {"10 DATA 1,x\n20 READ A,B\nRUN\n", "Syntax error in 10\n"},
      {"10 DIM A(5),B$(3,3):FORI=0TO5:A(I)=I*I:NEXT:B$(2,3)=\"X\"\n20 ?A(5);A(2);B$(2,3);C(10):?A(6)\nRUN\n",
       " 25  4 X 0\nSubscript out of range in 20\n"},
      {"DIM A(3):DIM A(4)\n", "Redimensioned array\n"},
      {"DIM A(3):ERASE A:DIM A(4):A(4)=2:?A(4)\n", " 2\n"},
      {"10 DEF FNA(X)=X*2+1:DEF FNB$(S$,N)=LEFT$(S$,N)+\"!\"\n20 X=5:?FNA(3);FNB$(\"HELLO\",2);FNA(X);X\nRUN\n",
       " 7 HE! 11  5\n"},
      {"10 ON ERROR GOTO 100:DEF FNA(X)=1/X:X=5\n20 FOR I=1 TO 12:Y=FNA(0):NEXT:PRINT X;\"done\":END\n100 RESUME NEXT\nRUN\n",
       " 5 done\n"},  // an error inside FN gives the parameter back
      {"DEFINT I-K:DEFSTR S:I=2.7:S=\"s\":?I;S\n", " 3 s\n"},
      {"A=1:B=2:SWAP A,B:?A;B\n", " 2  1\n"},
      {"POKE 4096,65:?PEEK(4096);CHR$(PEEK(4096))\n", " 65 A\n"},
  });
}

TEST(Basic, GarbageCollectionUnderPressure) {
  // 2000 strings made and dropped in a string space that holds about 500 of
  // them: the survivors (one variable, an array) keep their text.
  Check({
      {"10 DIM K$(20):FOR I=0 TO 20:K$(I)=STRING$(50,65+I):NEXT\n"
       "20 FOR I=1 TO 2000:A$=LEFT$(A$+CHR$(65+I MOD 26),50):B$=STRING$(200,\"x\"):NEXT\n"
       "30 ?A$:?LEFT$(K$(3),5);LEFT$(K$(20),5);LEN(K$(7))\nCLEAR 0,20000:RUN\n",
       "BCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXY\nDDDDDUUUUU 50\n"},
      {"10 A$=STRING$(255,\"a\"):B$=A$+\"b\"\nRUN\n", "String too long in 10\n"},
  });
}

TEST(Basic, ErrorsAndResume) {
  Check({
      {"10 ON ERROR GOTO 100\n20 ?1/0:?\"after\"\n30 ERROR 77\n40 END\n100 ?\"err\";ERR;ERL:RESUME NEXT\nRUN\n",
       "err 11  20\nafter\nerr 77  30\nOk"},
      {"10 ON ERROR GOTO 100:D=0\n20 ?10/D:END\n100 D=2:RESUME\nRUN\n", " 5\nOk"},
      {"10 ON ERROR GOTO 100\n20 ?\"A\"+1\n100 ON ERROR GOTO 0\nRUN\n", "Type mismatch in 20\n"},
      {"10 X=1:WEND\nRUN\n", "WEND without WHILE in 10\n"},
      {"10 FOR I=1 TO 2\nRUN\nCONT\nX\n", "Can't continue\n"},
      {"PRINT \"a\" \"b\" 1 +\n", "Syntax error\n"},
      {"RESUME\n", "RESUME without error\n"},
  });
}

TEST(Basic, KeysWhileRunning) {
  Check({
      {"10 K$=INKEY$:IF K$=\"\" THEN 10\n20 PRINT \"got \";K$;ASC(INPUT$(1))\nRUN\nxy", "got x 121\nOk"},
      // Typed ahead past the 32-key ring while the program is busy, then
      // taken with INKEY$ alone: none stays behind in the latch.
      {"10 FOR I=1 TO 10000:NEXT\n20 K$=INKEY$:IF K$=\"\" THEN 20\n30 A$=A$+K$:IF LEN(A$)<40 THEN 20\n"
       "40 PRINT \"<\";A$;\">\"\nRUN\nabcdefghijklmnopqrstuvwxyz0123456789ABCD",
       "<abcdefghijklmnopqrstuvwxyz0123456789ABCD>\nOk"},
  });
  // BREAK stops the program between statements; CONT goes on where it was.
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  rig.Type("10 I=I+1:GOTO 10\nRUN\n");
  rig.RunMs(2000);
  rig.State.PressBreak();
  rig.RunMs(50);
  rig.State.ReleaseBreak();
  ASSERT_TRUE(rig.WaitFor("Break in 10\nOk\n")) << rig.Screen();
  rig.Type("A=I:CONT\n");
  rig.RunMs(500);
  rig.State.PressBreak();
  rig.RunMs(50);
  rig.State.ReleaseBreak();
  rig.Type("?I>A\n");
  ASSERT_TRUE(rig.WaitFor("?I>A\n-1\n")) << rig.Screen();
}

TEST(Basic, RenumFixesEveryReference) {
  Check({
      {"5 REM x\n10 GOTO 30\n20 GOSUB 1000:IF A THEN 10 ELSE 20\n30 ON X GOTO 10,20,30:PRINT \"GOTO 10\"\n"
       "40 IF ERL=20 THEN RESUME 10\n50 RESTORE 40:RUN 10\n1000 RETURN\nRENUM 100,10,5\nLIST\n",
       "LIST\n5 REM x\n100 GOTO 110\n105 GOSUB 125:IF A THEN 100 ELSE 105\n"
       "110 ON X GOTO 100,105,110:PRINT \"GOTO 10\"\n115 IF ERL=105 THEN RESUME 100\n120 RESTORE 115:RUN 100\n"
       "125 RETURN\nOk"},
      {"10 GOTO 99\n20 END\nRENUM\n", "Undefined line 99 in 10\n"},
      {"10 A\n20 B\nRENUM 5,20\n", "Illegal function call\n"},
      {"AUTO 100,5\nA=1\nB=2\n\nLIST\n", "LIST\n100 A=1\n105 B=2\nOk"},
  });
}

}  // namespace
