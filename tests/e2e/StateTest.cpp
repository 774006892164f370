// Save states across processes: one quillon run saves the machine at some
// moment and goes on for a while; a new process loads the state and goes on
// the same way. Both must end with the same picture and text screen, byte
// for byte. The moments are chosen to catch the awkward parts: typed text
// with a disk and a tape in use, a paste half typed, a sector half read
// through the disk controller's registers, the sub CPU held halted.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DiskImage.h"
#include "Fdc.h"
#include "MachineSnapshot.h"
#include "MachineState.h"

namespace fs = std::filesystem;

namespace {

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

// quillon --headless with our firmware; standard output and error together.
int Quillon(const std::vector<std::string>& args, std::string& output) {
  std::string cmd = Quote(QUILLON_PROGRAM) + " --headless --firmware " + Quote(QUILLON_FIRMWARE_DIR);
  for (const std::string& a : args) {
    cmd.push_back(' ');
    cmd += Quote(a);
  }
  cmd += " 2>&1";
  output.clear();
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return -1;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) output.append(buf, n);
  const int st = pclose(p);
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// The programs typed into the monitor (E lines of at most 16 bytes).
// 1000: reads drive 0, track 0, sector 1 through FD18-FD1F into 2000, a byte
// about every 3 ms of machine time, then returns.
const char* const SlowSectorRead =
    "E 1000 86 01 B7 FD 1A 7F FD 1C 86 80 B7 FD 18 8E 20 00\\r"
    "E 1010 B6 FD 1F 2A 0F B6 FD 1B A7 80 10 8E 04 00 31 3F\\r"
    "E 1020 26 FC 20 EC 39\\r";
// 1100: halts the sub CPU at FD05 for about 700 ms, releases it, returns.
const char* const HaltSub =
    "E 1100 86 80 B7 FD 05 C6 04 8E FF FF 30 1F 26 FC 5A 26\\r"
    "E 1110 F6 7F FD 05 39\\r";

class SaveState : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = fs::temp_directory_path() / ("quillon_state_" + std::to_string(getpid()) + "_" + info->name());
    fs::create_directories(Dir);
    // Sector 1 boots straight into the monitor; the rest is a pattern.
    std::vector<uint8_t> sector(256);
    for (int i = 0; i < 256; ++i) sector[i] = static_cast<uint8_t>(i * 7 + 3);
    const uint8_t jump[] = {0x6E, 0x9F, 0xFB, 0xFE};  // JMP [$FBFE]
    std::copy(std::begin(jump), std::end(jump), sector.begin());
    WriteDiskImage(Dir / "d.vfd", sector);
    std::ofstream(Dir / "t.vtp").put('\0');
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string P(const char* name) const { return (Dir / name).string(); }

  // The section of the saved state, read into a fresh object of its class.
  template <class T>
  void ReadSection(uint32_t tag, T& into) {
    TStateSections sections;
    ASSERT_EQ(UnpackState(ReadWholeFile(Dir / "s.qst"), sections), TStateError::None);
    bool found = false;
    TStateReader r(sections.Find(tag, found));
    ASSERT_TRUE(found);
    into.LoadState(r);
    ASSERT_TRUE(r.Ok());
  }

  fs::path Dir;
};

TEST_F(SaveState, ANewProcessGoesOnExactlyAsTheSavedOne) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Before;  // start-up and steps up to the save
    std::vector<std::string> After;   // the steps both processes take after it
    const char* Shown;                // in the final text screen
  };
  const std::string disk = P("d.vfd"), tape = P("t.vtp");
  const TCase cases[] = {
      {"typed, disk and tape in use",
       {disk, tape, "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", "E 1000 51 53 54\\rSAVE ABC 1000 1002\\r", "--run", "500"},
       {"--type", "DR 3000 0 0 1\\rD 3000 3007\\rD 1000 1002\\rKANJI 3021\\r", "--run", "800"},
       "3000  6E 9F FB FE 1F 26 2D 34"},
      {"mid paste",
       {disk, "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--paste", "E 1200 11 22 33 44\\rD 1200 1203\\rHELP\\r", "--run", "250"},
       {"--run", "1500"},
       "1200  11 22 33 44"},
      {"mid sector transfer through the controller registers",
       {disk, "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", SlowSectorRead, "--type", "G 1000\\r", "--run", "300"},
       {"--run", "1200", "--type", "D 2000 2007\\r", "--run", "300"},
       "2000  6E 9F FB FE 1F 26 2D 34"},
      {"sub CPU halted",
       {disk, "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--type", HaltSub, "--type", "G 1100\\r", "--run", "150"},
       {"--run", "1200", "--type", "D 1100 1103\\r", "--run", "300"},
       "1100  86 80 B7 FD"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<std::string> first = c.Before;
    first.insert(first.end(), {"--save-state", P("s.qst")});
    first.insert(first.end(), c.After.begin(), c.After.end());
    first.insert(first.end(), {"--screenshot", P("a.bmp"), "--print-screen"});
    std::vector<std::string> second = {"--load-state", P("s.qst")};
    second.insert(second.end(), c.After.begin(), c.After.end());
    second.insert(second.end(), {"--screenshot", P("b.bmp"), "--print-screen"});

    std::string out1, out2;
    ASSERT_EQ(Quillon(first, out1), 0) << out1;
    ASSERT_EQ(Quillon(second, out2), 0) << out2;
    EXPECT_NE(out2.find(c.Shown), std::string::npos) << out2;
    EXPECT_EQ(out1, out2);
    const std::vector<uint8_t> a = ReadWholeFile(Dir / "a.bmp");
    EXPECT_EQ(a.size(), 14u + 40 + 32 + 640 * 400);
    EXPECT_TRUE(a == ReadWholeFile(Dir / "b.bmp"));

    // The moment was the one intended.
    if (std::string(c.Name).find("controller") != std::string::npos) {
      TVfd vfd;
      TFdc fdc(vfd);
      ReadSection(StateTagDisk, fdc);
      EXPECT_EQ(fdc.FdcMode, 1) << "a read in progress";
      EXPECT_GT(fdc.FdcIndex, 10);
      EXPECT_LT(fdc.FdcIndex, 250);
    }
    if (std::string(c.Name).find("halted") != std::string::npos) {
      TMachineState state;
      ReadSection(StateTagMachine, state);
      EXPECT_EQ(state.SubHalt.load(), 1u);
    }
  }
}

// Images come back by reference: a changed or missing one leaves its drive
// empty with a note, and the state still loads.
TEST_F(SaveState, ImagesThatChangedOrWentStayOutWithANote) {
  std::string out;
  ASSERT_EQ(Quillon({P("d.vfd"), P("t.vtp"), "--wait-text", "Ok", "--type", "MON\\r", "--wait-text", "> ", "--save-state", P("s.qst")}, out), 0) << out;
  std::ofstream(Dir / "t.vtp", std::ios::app).put('\1');
  fs::remove(Dir / "d.vfd");
  ASSERT_EQ(Quillon({"--load-state", P("s.qst"), "--type", "DR 3000 0 0 1\\r", "--run", "300", "--print-screen"},
                    out),
            0);
  EXPECT_NE(out.find("drive 0 is left empty: its image " + P("d.vfd") + " is missing"), std::string::npos) << out;
  EXPECT_NE(out.find("the tape is left empty: its image " + P("t.vtp") + " changed its size"), std::string::npos)
      << out;
}

}  // namespace
