// End-to-end runs of the whole program: quillon --headless with our own
// firmware, typing at the monitor and reading the text screen it prints.
// Disk and tape images are made here; the boot programs are assembled from
// basic_boot.asm and dos_loader.asm at build time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DiskFormats.h"
#include "DiskImage.h"
#include "Vtp.h"

namespace fs = std::filesystem;

namespace {

struct TRun {
  int Status = -1;
  std::string Output;  // standard output and error
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'')
      q += "'\\''";
    else
      q.push_back(c);
  }
  return q + "'";
}

// Runs a shell command, its output kept.
TRun Shell(const std::string& cmd) {
  TRun run;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (p == nullptr) return run;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) run.Output.append(buf, n);
  const int st = pclose(p);
  run.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return run;
}

// Runs quillon --headless with our firmware and the given arguments, after
// the shell commands in setUp (limits, say).
TRun Quillon(const std::vector<std::string>& args, const std::string& setUp = {}) {
  std::string cmd = setUp + Quote(QUILLON_PROGRAM);
  cmd += " --headless --firmware ";
  cmd += Quote(QUILLON_FIRMWARE_DIR);
  for (const std::string& a : args) {
    cmd.push_back(' ');
    cmd += Quote(a);
  }
  cmd += " 2>&1";
  TRun run;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return run;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) run.Output.append(buf, n);
  const int st = pclose(p);
  run.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::erase(run.Output, '\r');
  return run;
}

// A scratch directory per test.
class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = fs::temp_directory_path() / ("quillon_e2e_" + std::to_string(getpid()) + "_" + info->name());
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  fs::path Dir;
};

// The values of every "Ticks XXXXXXXX" line, in order.
std::vector<uint32_t> TickReadings(const std::string& screen) {
  std::vector<uint32_t> v;
  for (size_t at = 0; (at = screen.find("Ticks ", at)) != std::string::npos; at += 6)
    v.push_back(static_cast<uint32_t>(std::stoul(screen.substr(at + 6, 8), nullptr, 16)));
  return v;
}

TEST_F(EndToEnd, BootsIntoTheBasicAndReachesTheMonitor) {
  const TRun r = Quillon({"--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(r.Output.rfind("Quillon BASIC " QUILLON_VERSION "\n", 0), 0u) << r.Output;
  EXPECT_NE(r.Output.find("\nMON\n>\n"), std::string::npos) << r.Output;
}

TEST_F(EndToEnd, TypedCommandIsAnswered) {
  const TRun r = Quillon({"--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "e 1000 41 42 c1\\r", "--type", "d 1000 1002\\r",
                          "--wait-text", "ABﾁ.............", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  // The dump's character column shows the katakana too.
  EXPECT_NE(r.Output.find("1000  41 42 C1 00 00 00 00 00 00 00 00 00 00 00 00 00  ABﾁ.............\n"),
            std::string::npos) << r.Output;
}

// The text screen holds exactly what was typed, katakana included (the
// printed copy drops the blanks at the ends of the rows).
TEST_F(EndToEnd, TextCopyShowsWhatWasTyped) {
  const TRun r = Quillon({"--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "e 1234 56 78\\r", "--type", "ｱｲｳ abc",
                          "--run", "200", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_NE(r.Output.find("\n> e 1234 56 78\n> ｱｲｳ abc\n"), std::string::npos) << r.Output;
}

// The main timer IRQs the firmware counts over 10 s of machine time, against
// the default rate (a period of 2.03 ms). Between the two readings lie the
// 10 s run and the typing of the second command (5 keys, 20 ms each).
TEST_F(EndToEnd, MainTimerRate) {
  const TRun r = Quillon({"--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "time\\r", "--wait-text", "Ticks", "--run", "10000",
                          "--type", "time\\r", "--run", "100", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  const std::vector<uint32_t> t = TickReadings(r.Output);
  ASSERT_EQ(t.size(), 2u) << r.Output;
  const double counted = t[1] - t[0];
  const double expected = (10000.0 + 100.0) * 256 / 519;  // main period 519/256 ms
  EXPECT_NEAR(counted / expected, 1.0, 0.03) << counted << " counted, " << expected << " expected";
}

// A listing of 300 BASIC lines as LIST shows them; every seventh runs over
// two or three rows (never a whole number of rows).
std::vector<std::string> Listing300() {
  std::vector<std::string> lines;
  for (int n = 1; n <= 300; ++n) {
    const std::string num = std::to_string(n * 10), k = std::to_string(n);
    const std::string forms[] = {
        num + " PRINT \"Line " + k + "\";A$(I%)+CHR$(34):X=X*2-1",
        num + " IF X>" + k + " THEN GOTO 10 ELSE Y=Y+1",
        num + " FOR I=1 TO " + k + " STEP 2:NEXT I",
        num + " DATA 1,2,\"abc\"," + k,
    };
    std::string line = forms[n % 4];
    if (n % 7 == 0) {
      while (line.size() < 100 + static_cast<size_t>(n * 37 % 140)) line += ":Y" + std::to_string(line.size()) + "=Y-1";
      if (line.size() % 80 == 0) line += ":Z=1";
    }
    lines.push_back(line);
  }
  return lines;
}

// The listing typed into the BASIC from a file comes back identical from
// LIST, page by page (each page on a cleared screen).
TEST_F(EndToEnd, ListingTypedIntoTheBasicIsListedBackIdentical) {
  const std::vector<std::string> lines = Listing300();
  std::string file;
  for (const std::string& l : lines) file += l + "\r\n";
  const fs::path listing = Dir / "listing.bas";
  std::ofstream(listing, std::ios::binary) << file;
  std::vector<std::string> args = {"--wait-text", "Ok", "--type-file", listing.string()};
  std::vector<std::string> expected;  // the screens LIST shows
  for (size_t first = 0; first < lines.size();) {
    std::string screen = "\n";  // the row of the LIST command
    size_t last = first, rows = 0;
    for (; last < lines.size() && rows + (lines[last].size() + 79) / 80 <= 20; ++last) {
      rows += (lines[last].size() + 79) / 80;
      for (size_t at = 0; at < lines[last].size(); at += 80) screen += lines[last].substr(at, 80) + "\n";
    }
    const std::string list = "LIST " + std::to_string(first * 10 + 10) + "-" + std::to_string(last * 10);
    expected.push_back(list + screen + "Ok\n");
    args.insert(args.end(), {"--type", "\\x0C" + list + "\\r", "--wait-text", "Ok", "--print-screen"});
    first = last;
  }
  const TRun r = Quillon(args);
  ASSERT_EQ(r.Status, 0) << r.Output;
  std::vector<std::string> screens(1);
  for (size_t at = 0, row = 0; at < r.Output.size(); ++row) {
    if (row == 25) {
      screens.emplace_back();
      row = 0;
    }
    const size_t nl = r.Output.find('\n', at);
    screens.back() += r.Output.substr(at, nl - at + 1);
    at = nl + 1;
  }
  ASSERT_EQ(screens.size(), expected.size());
  for (size_t i = 0; i < screens.size(); ++i) EXPECT_EQ(screens[i].substr(0, expected[i].size()), expected[i]);
}

// A listing of 300 lines, some long enough to wrap over three rows, typed
// from a file into linesum.asm (loaded by typing too), which takes them
// through getline and digests every tenth line for a second while keys keep
// coming: every line arrives whole, none lost (count and hash match).
TEST_F(EndToEnd, ListingTypedFromAFileArrivesWhole) {
  const std::vector<uint8_t> program = ReadWholeFile(fs::path(E2E_PROGRAM_DIR) / "linesum.bin");
  ASSERT_EQ(program.size(), 256u);
  std::string file;
  for (size_t at = 0; at < program.size(); at += 32) {
    char line[16];
    std::snprintf(line, sizeof line, "e %04zx", 0x1000 + at);
    file += line;
    for (size_t i = at; i < at + 32; ++i) {
      std::snprintf(line, sizeof line, " %02x", program[i]);
      file += line;
    }
    file += "\r\n";
  }
  file += "time\r\n";
  const fs::path loader = Dir / "linesum.txt", listing = Dir / "listing.bas";
  std::ofstream(loader, std::ios::binary) << file;
  file = "g 1000\r\n";
  uint16_t hash = 0;
  size_t chars = 0;
  int n = 0;
  for (const std::string& line : Listing300()) {
    ++n;
    for (char c : line) hash = static_cast<uint16_t>(hash * 33 + static_cast<uint8_t>(c));
    hash = static_cast<uint16_t>(hash * 33);
    chars += line.size() + 1;
    file += line + (n % 2 ? "\n" : "\r\n");
  }
  file += "END\ntime";  // no line end after the last line
  std::ofstream(listing, std::ios::binary) << file;

  char result[32];
  std::snprintf(result, sizeof result, "LINES 012C SUM %04X", hash);
  const TRun r = Quillon({"--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type-file", loader.string(),
                          "--wait-text", "Ticks", "--print-screen",
                          "--type-file", listing.string(), "--wait-text", result, "--run", "1000", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  const std::vector<uint32_t> t = TickReadings(r.Output);
  ASSERT_EQ(t.size(), 2u) << r.Output;
  const double seconds = (t[1] - t[0]) * 519.0 / 256 / 1000;
  std::printf("%zu characters typed in %.1f s of machine time: %.1f per second\n", chars, seconds, chars / seconds);
}

#ifdef QUILLON_HAVE_TRAPS

TEST_F(EndToEnd, BasicModeBootRunsTheBootSector) {
  std::vector<uint8_t> sector = ReadWholeFile(fs::path(E2E_PROGRAM_DIR) / "basic_boot.bin");
  ASSERT_EQ(sector.size(), 256u);
  const fs::path disk = Dir / "boot.vfd";
  WriteDiskImage(disk, sector);
  const TRun r = Quillon({disk.string(), "--boot", "basic", "--wait-text", "bytes free", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(r.Output.rfind("Boot sector says hello", 0), 0u) << r.Output;
}

TEST_F(EndToEnd, DosModeBootRunsTheTwoSectorLoader) {
  std::vector<uint8_t> loader = ReadWholeFile(fs::path(E2E_PROGRAM_DIR) / "dos_loader.bin");
  ASSERT_EQ(loader.size(), 512u);
  const fs::path disk = Dir / "dos.vfd";
  WriteDiskImage(disk, loader);  // sectors 1 and 2 of track 0
  const TRun r = Quillon({disk.string(), "--boot", "dos", "--wait-text", "bytes free", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(r.Output.rfind("DOS loader: sector 1", 0), 0u) << r.Output;
  EXPECT_NE(r.Output.find("\nDOS loader: sector 2"), std::string::npos) << r.Output;
}

// SAVE writes a file the tape scan finds by name; DIR lists it and LOAD
// brings the same bytes back, each in a run of its own from the tape's start.
TEST_F(EndToEnd, TapeSaveListLoad) {
  const fs::path tape = Dir / "t.vtp";
  std::ofstream(tape, std::ios::binary).close();
  TRun r = Quillon({tape.string(), "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "f 3000 30ff 5a\\r", "--type",
                    "e 3000 11 22 33\\r", "--type", "save hello 3000 30ff\\r", "--wait-text", "Saved hello"});
  ASSERT_EQ(r.Status, 0) << r.Output;

  TVtp deck;
  ASSERT_TRUE(deck.OpenTape(tape.string()));
  int64_t pos = 0;
  std::string name;
  ASSERT_EQ(deck.NextTapeFile(pos, name), 0);
  EXPECT_EQ(name, "hello   ");
  EXPECT_EQ(deck.NextTapeFile(pos, name), 1);  // one file only
  deck.CloseTape();

  r = Quillon({tape.string(), "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "dir\\r", "--wait-text", "End of tape", "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_NE(r.Output.find("hello    3000 0100"), std::string::npos) << r.Output;

  r = Quillon({tape.string(), "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "load hello\\r", "--wait-text", "Loaded 3000-30FF",
               "--type", "d 30f8 3107\\r", "--type", "d 3000 3002\\r", "--wait-text", "3000  11 22 33 5A",
               "--print-screen"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_NE(r.Output.find("30F8  5A 5A 5A 5A 5A 5A 5A 5A 00 00"), std::string::npos) << r.Output;
}

// The firmware cannot hear of a failed tape write and says "Saved"; the run
// then says what happened and ends with exit 1. The file size limit stands
// in for a full file system.
TEST_F(EndToEnd, FailedTapeWriteIsReported) {
  const fs::path tape = Dir / "big.vtp";
  std::ofstream(tape, std::ios::binary).close();
  const TRun r = Quillon({tape.string(), "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type",
                          "save big 1000 6fff\\r",
                          "--wait-text", "Saved big"},
                         "ulimit -f 8; ");
  EXPECT_EQ(r.Status, 1) << r.Output;
  EXPECT_NE(r.Output.find("quillon: 仮想テープへの書き込みに失敗しました。\n"), std::string::npos) << r.Output;
  EXPECT_LT(fs::file_size(tape), 0x6000u);
}

// DW writes a sector through the request-block routine, DR reads it back in a
// later run; a sector the track does not have is error 12.
TEST_F(EndToEnd, DiskSectorWriteAndRead) {
  const fs::path disk = Dir / "data.vfd";
  WriteDiskImage(disk, {});
  TRun r = Quillon({disk.string(), "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "f 3000 30ff 5a\\r", "--type",
                    "e 3000 de ad\\r", "--type", "dw 3000 0 1 2\\r", "--wait-text", "OK"});
  ASSERT_EQ(r.Status, 0) << r.Output;
  const std::vector<uint8_t> img = ReadWholeFile(disk);
  ASSERT_GT(img.size(), SectorOffset(1, 0, 2) + 256);
  EXPECT_EQ(img[SectorOffset(1, 0, 2)], 0xDE);
  EXPECT_EQ(img[SectorOffset(1, 0, 2) + 1], 0xAD);
  EXPECT_EQ(img[SectorOffset(1, 0, 2) + 255], 0x5A);
  EXPECT_EQ(img[SectorOffset(1, 0, 3)], 0xE5);

  r = Quillon({disk.string(), "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "dr 4000 0 1 2\\r", "--type", "d 4000 4003\\r",
               "--wait-text", "4000  DE AD 5A 5A", "--type", "dr 4000 0 1 17\\r", "--wait-text", "Disk error 12"});
  EXPECT_EQ(r.Status, 0) << r.Output;
}

// A BSAVE in a loop killed with SIGKILL at several moments: quillon-disk
// finds the disk sound and the file whole, the version before or after (its
// first and last bytes carry the same count, everything between is zero);
// clusters a stopped save left marked are reclaimed.
TEST_F(EndToEnd, KillDuringSaveLeavesOldOrNewFile) {
  const std::string disk = (Dir / "safe.d88").string();
  ASSERT_EQ(WriteNewDiskFile(disk, TDiskKind::D88, false), "");
  const std::string line = "10 POKE &H3000,I AND 255:POKE &H4FFF,I AND 255:BSAVE \"M\",&H3000,8192:I=I+1:GOTO 10\\rRUN\\r";
  int whole = 0;
  for (int round = 0; round < 5; ++round) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      execl(QUILLON_PROGRAM, "quillon", "--headless", "--firmware", QUILLON_FIRMWARE_DIR, disk.c_str(), "--wait-text", "Ok",
            "--type", line.c_str(), "--run", "3600000", static_cast<char*>(nullptr));
      _exit(127);
    }
    usleep(static_cast<useconds_t>(400000 + round * 137000));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    const TRun check = Shell(Quote(QUILLON_DISK_PROGRAM) + " check " + Quote(disk));
    ASSERT_EQ(check.Status, 0) << check.Output;
    const TRun got = Shell(Quote(QUILLON_DISK_PROGRAM) + " get " + Quote(disk) + " M -");
    if (got.Status != 0) continue;  // killed before the first BSAVE ended
    const std::string& m = got.Output;
    ASSERT_EQ(m.size(), 8198u);
    EXPECT_EQ(m.substr(0, 6), std::string("\x30\x00\x20\x00\x30\x00", 6));
    EXPECT_EQ(m[6], m[8197]);
    EXPECT_EQ(m.find_first_not_of('\0', 7), m[8197] == 0 ? std::string::npos : 8197u) << round;
    ++whole;
  }
  EXPECT_GT(whole, 0);
  EXPECT_EQ(Shell(Quote(QUILLON_DISK_PROGRAM) + " reclaim " + Quote(disk)).Status, 0);
  EXPECT_NE(Shell(Quote(QUILLON_DISK_PROGRAM) + " check " + Quote(disk)).Output.find("; 0 clusters marked"), std::string::npos);
}

// quillon-disk between host and disk: a listing goes in and comes back; a
// host file already there is never replaced, a FIFO is neither read nor
// written, and a file larger than a disk is refused, each with exit 1.
TEST_F(EndToEnd, DiskToolMovesFilesWithoutHarmingHostFiles) {
  const std::string disk = (Dir / "tool.vfd").string(), tool = Quote(QUILLON_DISK_PROGRAM) + " ";
  ASSERT_EQ(WriteNewDiskFile(disk, TDiskKind::Vfd, false), "");
  std::ofstream(Dir / "prog.bas") << "10 PRINT 1\n";
  std::ofstream(Dir / "keep.txt") << "mine";
  std::ofstream(Dir / "big.bin") << std::string(400000, 'x');
  ASSERT_EQ(mkfifo((Dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(Shell(tool + "put " + Quote(disk) + " " + Quote((Dir / "prog.bas").string()) + " P").Status, 0);
  EXPECT_EQ(Shell(tool + "get " + Quote(disk) + " P -").Output, "10 PRINT 1\n");
  for (const std::string& cmd : {"get " + Quote(disk) + " P " + Quote((Dir / "keep.txt").string()),
                                 "get " + Quote(disk) + " P " + Quote((Dir / "fifo").string()),
                                 "put " + Quote(disk) + " " + Quote((Dir / "fifo").string()) + " F",
                                 "put " + Quote(disk) + " " + Quote((Dir / "big.bin").string()) + " B"})
    EXPECT_EQ(Shell("timeout 10 " + tool + cmd).Status, 1) << cmd;
  std::ifstream keep(Dir / "keep.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(keep), {}), "mine");
}
#endif  // QUILLON_HAVE_TRAPS

}  // namespace
