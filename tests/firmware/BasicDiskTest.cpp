// The BASIC's files on the disk: programs saved and loaded back in every
// form, the housekeeping statements, and the failures that must leave the
// disk as it was (full, write-protected).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "DiskFormats.h"
#include "DiskImage.h"
#include "FirmwareRig.h"
#include "QuillonFs.h"

#ifdef QUILLON_HAVE_TRAPS
namespace {

struct DiskRig {
  std::filesystem::path Path =
      std::filesystem::temp_directory_path() / ("quillon_basic_disk_" + std::to_string(::getpid()) + ".vfd");
  TFirmwareRig Rig;
  explicit DiskRig(bool d88 = false) {
    if (d88) {
      Path.replace_extension(".d88");
      std::filesystem::remove(Path);
      WriteNewDiskFile(Path.string(), TDiskKind::D88, false);  // formatted for the BASIC
    } else {
      WriteDiskImage(Path, {});  // blank
    }
    Rig.WaitFor("Ok\n");
    Rig.State.Vfd.MountDisk(0, Path.string());
  }
  ~DiskRig() {
    Rig.State.Vfd.UnmountAllDisks();
    std::filesystem::remove(Path);
  }
  // Types the text and runs until the BASIC shows "Ok" with nothing left to type.
  std::string Run(const std::string& text, uint64_t limitMs = 60000) {
    Rig.Type("CLS\n" + text);
    const uint64_t end = Rig.Clock.Now() + limitMs;
    while (Rig.Clock.Now() < end) {
      Rig.RunMs(20);
      if (!Rig.KeysPending() && Rig.LastLine() == "Ok") break;
    }
    return Rig.Screen();
  }
};

}  // namespace

// Every program form goes to the disk and back; the housekeeping statements
// see and change the directory.
TEST(BasicDisk, ProgramsAndHousekeeping) {
  DiskRig d;
  EXPECT_NE(d.Run("FILES\n").find("Device I/O error"), std::string::npos);  // not formatted yet
  d.Run("DSKINI 0\n10 PRINT \"ONE\";2*3\n20 END\nSAVE \"one\"\nSAVE \"0:one.txt\",A\n");
  d.Run("FOR I=0 TO 15:POKE &H3000+I,I*3:NEXT\nBSAVE \"mc.bin\",&H3000,16\n");
  struct Case {
    std::string typed, expect;
  } cases[] = {
      {"FILES\n", "ONE          P 26\nONE     .TXT A 26\nMC      .BIN M 22\n319488 bytes free"},
      {"NEW\nLOAD \"ONE\",R\n", "ONE 6\nOk"},
      {"VERIFY \"one\"\nVERIFY \"one.txt\"\n", "VERIFY \"one\"\nOk\nVERIFY \"one.txt\"\nBad file mode"},
      {"NEW\n5 REM x\n30 PRINT 3\nMERGE \"one.txt\"\nLIST\n", "5 REM x\n10 PRINT \"ONE\";2*3\n20 END\n30 PRINT 3\nOk"},
      {"NEW\nRUN \"one.txt\"\n", "ONE 6\nOk"},
      {"BLOAD \"mc.bin\",&H100\nPRINT PEEK(&H3105);PEEK(&H310F)\n", " 15  45\nOk"},
      {"LOAD \"mc.bin\"\n", "Bad file mode"},
      {"MERGE \"one\"\n", "Bad file mode"},
      {"LOAD \"two\"\n", "File not found"},
      {"KILL \"two\"\n", "File not found"},
      {"SAVE \"a.b.c\"\n", "Bad file name"},
      {"NAME \"one\" AS \"mc.bin\"\n", "File already exists"},
      {"NAME \"one\" AS \"two\"\nKILL \"mc.bin\"\nFILES \"0:\"\nPRINT DSKF(0)\n",
       "TWO          P 26\nONE     .TXT A 26\n321536 bytes free\nOk\nPRINT DSKF(0)\n 157"},
  };
  for (const Case& c : cases) {
    const std::string screen = d.Run(c.typed);
    EXPECT_NE(screen.find(c.expect), std::string::npos) << "typed:\n" << c.typed << "\nscreen:\n" << screen;
  }
}

// Data files on the disk: written (and appended to) sequentially, read back
// with each statement, a file left open at END kept whole, records written
// and read in any order; the refusals of the record statements.
TEST(BasicDisk, DataFiles) {
  DiskRig d;
  d.Run("DSKINI 0\n10 OPEN \"seq.dat\" FOR OUTPUT AS #1\n20 FOR I=1 TO 300:PRINT #1,I;:NEXT:PRINT #1,:WRITE #1,\"X,Y\",2\n"
        "30 CLOSE:OPEN \"seq.dat\" FOR APPEND AS #3:PRINT #3,\"TAIL\":END\nRUN\n");
  struct Case {
    std::string typed, expect;
  } cases[] = {
      {"10 OPEN \"I\",#2,\"seq.dat\":N=0:FOR I=1 TO 300:INPUT #2,X:N=N+X:NEXT\n"
       "20 INPUT #2,A$,B:LINE INPUT #2,T$:PRINT N;A$;B;T$;EOF(2);LOF(2);LOC(2)\nRUN\n",
       " 45150 X,Y 2 TAIL-1  1406  6\nOk"},
      {"10 OPEN \"rec.dat\" AS #1 LEN=20:FIELD #1,4 AS K$,16 AS V$\n"
       "20 FOR R=5 TO 1 STEP -1:LSET K$=MKS$(R*1.5):RSET V$=STR$(R):PUT #1,R:NEXT:CLOSE\n"
       "30 OPEN \"R\",#2,\"rec.dat\",20:FIELD #2,4 AS K$,16 AS V$:GET #2,3:PRINT CVS(K$);\"[\";V$;\"]\";LOC(2);EOF(2);\n"
       "40 GET #2:PRINT CVS(K$);EOF(2);:GET #2,9:PRINT EOF(2);LOF(2);ASC(K$)\nRUN\n",
       " 4.5 [               3] 3  0  6  0 -1  1280  0\nOk"},
      {"10 ON ERROR GOTO 90\n20 OPEN \"rec.dat\" FOR RANDOM AS #1 LEN=10:FIELD #1,8 AS A$,3 AS B$\n"
       "30 GET #1,0\n40 OPEN \"seq.dat\" FOR INPUT AS #2:GET #2\n50 OPEN \"I\",#3,\"rec.dat\"\n60 OPEN \"x\" AS #1\n"
       "70 PRINT \"/\":END\n90 PRINT ERR;:RESUME NEXT\nRUN\n",
       " 50  63  54  55  55 /\nOk"},
      // A file's line is not broken at the screen's width.
      {"OPEN \"w\" FOR OUTPUT AS #1:PRINT #1,1,2,3,4,5,6,7:CLOSE:OPEN \"w\" FOR INPUT AS #1:LINE INPUT #1,A$:?LEN(A$)\n",
       " 87\nOk"},
  };
  for (const Case& c : cases) {
    const std::string screen = d.Run("NEW\n" + c.typed);
    EXPECT_NE(screen.find(c.expect), std::string::npos) << "typed:\n" << c.typed << "\nscreen:\n" << screen;
  }
}

// A full and a write-protected disk refuse with their errors and keep what
// they hold; on a D88 disk made by --new-disk, formatted from the start.
TEST(BasicDisk, FullAndProtectedDisksChangeNothing) {
  DiskRig d(true);
  d.Run("10 PRINT \"OLD\"\nSAVE \"P\"\nNEW\n10 ON ERROR GOTO 100\n20 FOR I=1 TO 20:BSAVE CHR$(64+I),0,&H6000:NEXT\n"
        "100 PRINT ERR;DSKF(0):RESUME 110\n110 BSAVE \"Z\",0,100:PRINT DSKF(0)\nSAVE \"Q\"\n");
  struct Case {
    std::string typed, expect;
    bool protect;
  } cases[] = {
      {"RUN\n", " 61  1\n 0\nOk", false},
      {"BSAVE \"A\",0,&H6000\nSAVE \"Q\",A\nPRINT DSKF(0)\n", "Disk full\nOk\nSAVE \"Q\",A\nDisk full\nOk\nPRINT DSKF(0)\n 0\nOk", false},
      {"FILES\n", "P            P 16\nQ            P 96\nA            M 24582\n", false},
      {"SAVE \"P\"\nKILL \"A\"\nNAME \"A\" AS \"Y\"\nDSKINI\n",
       "Disk write protected\nOk\nKILL \"A\"\nDisk write protected\nOk\nNAME \"A\" AS \"Y\"\nDisk write protected\nOk\nDSKINI\nDisk write protected", true},
      {"LOAD \"P\"\nRUN\nPRINT DSKF(0)\n", "OLD\nOk\nPRINT DSKF(0)\n 0\nOk", true},
  };
  for (const Case& c : cases) {
    d.Rig.State.Vfd.DiskWriteProtect[0] = c.protect;
    const std::string screen = d.Run(c.typed);
    EXPECT_NE(screen.find(c.expect), std::string::npos) << "typed:\n" << c.typed << "\nscreen:\n" << screen;
  }
  d.Rig.State.Vfd.UnmountDisk(0);
  TQfsImage host;
  ASSERT_EQ(host.Open(d.Path.string(), false), "");
  EXPECT_EQ(host.Disk.Check(), "");
}

// A disk swapped while a file on it is being written gets nothing of the
// old disk: the write that follows is refused, the disk put in stays as it
// was byte for byte and is used afresh. A disk without an identity (made
// before there was one) still works.
TEST(BasicDisk, SwappedDiskIsNeverWritten) {
  DiskRig d;
  const std::filesystem::path other = d.Path.string() + ".b";
  ASSERT_EQ(WriteNewDiskFile(other.string(), TDiskKind::Vfd, true), "");
  {
    TQfsImage host;
    ASSERT_EQ(host.Open(other.string(), true), "");
    ASSERT_EQ(host.Disk.Write("KEEP", 2, std::vector<uint8_t>(3000, 'k')), "");
    ASSERT_EQ(host.Save(), "");
  }
  const std::vector<uint8_t> before = ReadWholeFile(other);
  d.Run("DSKINI\n");
  struct Case {
    std::string opened, afterSwap;
  } cases[] = {
      {"OPEN \"O\" FOR OUTPUT AS #1:FOR I=1 TO 400:PRINT #1,I:NEXT\n", "CLOSE\n"},   // table and data kept
      {"OPEN \"KEEP\" FOR OUTPUT AS #1\n", "CLOSE\n"},                                 // directory entry, old chain
      {"OPEN \"O\" FOR OUTPUT AS #1:PRINT #1,\"X\"\n", "FOR I=1 TO 400:PRINT #1,I:NEXT\n"},  // next sector
      {"OPEN \"R\" AS #1:PUT #1,2\n", "PUT #1,1\n"},                                  // a record
  };
  for (const Case& c : cases) {
    d.Rig.State.Vfd.MountDisk(0, d.Path.string());
    d.Run(c.opened);
    d.Rig.State.Vfd.MountDisk(0, other.string());
    const std::string screen = d.Run(c.afterSwap + "FILES\n");
    EXPECT_NE(screen.find("Device I/O error\nOk\nFILES\nKEEP         A 3000\n"), std::string::npos)
        << c.opened << screen;
    d.Run("CLOSE\n");
    d.Rig.State.Vfd.UnmountDisk(0);
    EXPECT_TRUE(ReadWholeFile(other) == before) << c.opened;
  }
  TQfsImage host;  // no identity: the mark alone
  ASSERT_EQ(host.Open(other.string(), true), "");
  std::fill_n(host.Disk.Bytes.begin() + 256 + TQfsDisk::IdAt, 4, 0);
  ASSERT_EQ(host.Save(), "");
  d.Rig.State.Vfd.MountDisk(0, other.string());
  const std::string screen = d.Run("OPEN \"N\" FOR OUTPUT AS #1:PRINT #1,\"X\":CLOSE\nFILES\n");
  EXPECT_NE(screen.find("N            A 2\n"), std::string::npos) << screen;
  std::filesystem::remove(other);
}

// Listings move between the host and the machine: a host file with LF line
// ends, put on the disk as AUTORUN, runs when the disk boots; a program
// saved as text comes out whole.
TEST(BasicDisk, ListingsBetweenHostAndMachine) {
  DiskRig d(true);
  d.Rig.State.Vfd.UnmountDisk(0);
  {
    TQfsImage host;
    ASSERT_EQ(host.Open(d.Path.string(), true), "");
    const std::string text = "10 A=6*7\n20 PRINT A\n";
    ASSERT_EQ(host.Disk.Write("AUTORUN", 2, {text.begin(), text.end()}), "");
    ASSERT_EQ(host.Save(), "");
  }
  d.Rig.State.Vfd.MountDisk(0, d.Path.string());
  d.Rig.Thread->ResetMachine(false);
  EXPECT_TRUE(d.Rig.WaitFor("bytes free\n 42\nOk")) << d.Rig.Screen();
  d.Run("30 PRINT A+1\nSAVE \"OUT\",A\n");
  d.Rig.State.Vfd.UnmountDisk(0);
  TQfsImage host;
  ASSERT_EQ(host.Open(d.Path.string(), false), "");
  std::vector<uint8_t> data;
  ASSERT_EQ(host.Disk.Read("out", data), "");
  EXPECT_EQ(std::string(data.begin(), data.end()), "10 A=6*7\r20 PRINT A\r30 PRINT A+1\r");
}
#endif
