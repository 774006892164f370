#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Headless.h"
#include "TestFirmware.h"
#include "TypeFile.h"

namespace fs = std::filesystem;

namespace {

class Headless : public ::testing::Test {
 protected:
  fs::path Dir;
  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("quillon_headless_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    WriteTestFirmware(Dir / "rom");
  }
  void TearDown() override { fs::remove_all(Dir); }

  // Runs the quillon program; returns its exit status, with its output.
  int Quillon(const std::string& args, std::string& out, std::string& err) {
    const fs::path o = Dir / "out.txt", e = Dir / "err.txt";
    // No display: without --headless the program must refuse, not open a window.
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                            std::string(QUILLON_EXE) + " " + args + " >" + o.string() + " 2>" + e.string();
    const int status = std::system(cmd.c_str());
    out = Slurp(o);
    err = Slurp(e);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Rom() const { return "--firmware " + (Dir / "rom").string(); }
};

TEST_F(Headless, TypedTextReachesTheScreenAndRunsRepeatExactly) {
  std::string out1, out2, err;
  const std::string steps =
      " --run 200 --type 'AB\\nｱ' --wait-text 'OKAB' --print-screen --screenshot ";
  ASSERT_EQ(Quillon("--headless " + Rom() + steps + (Dir / "a.bmp").string(), out1, err), 0) << err;
  EXPECT_EQ(out1.substr(0, 9), "OKAB \xEF\xBD\xB1\n") << "Return (0D) is not printable: a space";
  ASSERT_EQ(Quillon("--headless " + Rom() + steps + (Dir / "b.bmp").string(), out2, err), 0) << err;
  EXPECT_EQ(out1, out2);
  const std::string a = Slurp(Dir / "a.bmp"), b = Slurp(Dir / "b.bmp");
  ASSERT_EQ(a.size(), 14u + 40 + 32 + 640 * 400);
  EXPECT_EQ(a, b);
  // The typed codes are in plane 1 at line 150 (file row 400 - 1 - 300).
  const size_t row = 86 + (399 - 300) * 640;
  EXPECT_EQ(static_cast<uint8_t>(a[row + 1]), 2) << "bit 6 of 41 (A): red";
}

TEST_F(Headless, WaitingForTextThatNeverComesExitsWith2) {
  std::string out, err;
  EXPECT_EQ(Quillon("--headless " + Rom() + " --timeout 200 --wait-text NEVER --print-screen", out, err), 2);
  EXPECT_NE(err.find("NEVER"), std::string::npos) << err;
  EXPECT_EQ(out, "") << "steps after a failed wait are not carried out";
}

TEST_F(Headless, MissingFirmwareImageGivesExit1AndTheMessage) {
  fs::remove(Dir / "rom" / "fb30sub.dat");
  std::string out, err;
  EXPECT_EQ(Quillon("--headless " + Rom() + " --run 10", out, err), 1);
  EXPECT_EQ(err, "quillon: ROMデータの読み込みに失敗しました。 (fb30rom1.dat, fb30rom2.dat and fb30sub.dat are not all in: " +
                     (Dir / "rom").string() + ")\n");
}

TEST_F(Headless, BadArgumentsGiveAMessageAndExit1) {
  fs::create_directories(Dir / "dir.vfd");
  struct Case { std::string args, says; };
  const Case cases[] = {
      {"--headless --frobnicate", "unknown option --frobnicate"},
      {"--headless --run 1 --frobnicate", "unknown option"},
      {"--headless --run", "needs a value"},
      {"--headless --run ten", "--run"},
      {"--headless --run 86400001", "86400000"},
      {"--headless --timeout 999999999999", "86400000"},
      {"--headless --cpu-wait 255", "--cpu-wait"},
      {"--headless --boot cpm", "--boot"},
      {"--headless --type 'bad\\q'", "escape"},
      {"--headless notes.txt", "notes.txt"},
      {"--headless --bench 0", "--bench"},
      {"--headless -", "standard input"},
      {"--headless --", "./-NAME"},
      {"--headless --type-file missing.bas", "missing.bas"},
      {"--headless missing.vfd", "missing.vfd (no such file)"},
      {"--headless " + (Dir / "dir.vfd").string(), "(not a plain file)"},
      {"--headless --audio", "needs a value"},
      {"--headless --audio " + (Dir / "no" / "b.wav").string(), "b.wav: no such folder"},
  };
  for (const Case& c : cases) {
    std::string out, err;
    EXPECT_EQ(Quillon(Rom() + " " + c.args, out, err), 1) << c.args;
    EXPECT_EQ(err.rfind("quillon: ", 0), 0u) << err;
    EXPECT_NE(err.find(c.says), std::string::npos) << c.args << ": " << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
  }
  std::string out, err;
  EXPECT_EQ(Quillon("", out, err), 1);
  EXPECT_NE(err.find("--headless"), std::string::npos);
  EXPECT_EQ(Quillon("--help", out, err), 0);
  EXPECT_NE(out.find("--wait-text"), std::string::npos);
}

TEST_F(Headless, UnwritableScreenshotIsAnError) {
  std::string out, err;
  EXPECT_EQ(Quillon("--headless " + Rom() + " --screenshot " + (Dir / "no" / "x.bmp").string(), out, err), 1);
  EXPECT_NE(err.find("x.bmp"), std::string::npos);
}

TEST_F(Headless, FreeFirmwareTakesTypedCommands) {
  const fs::path beside = fs::path(QUILLON_EXE).parent_path();
  if (!fs::exists(beside / "fb30sub.dat")) GTEST_SKIP() << "no firmware built beside the program";
  std::string out, err;
  ASSERT_EQ(Quillon("--headless --wait-text Ok --type 'MON\\n' --wait-text '> ' --type '\\x45 2000 51 55 49 4C 4C\\nD 2000 2004\\n'"
                    " --wait-text QUILL --print-screen",
                    out, err),
            0)
      << err << out;
  EXPECT_NE(out.find("2000  51 55"), std::string::npos) << out;
}

// The beeps of a run recorded on machine time: each tone where the BASIC's
// BEEP sounded it, 200 ms of a 1.2 kHz square wave, and a beep during the
// tone starts it again.
TEST_F(Headless, AudioRecordsEachBeepOnMachineTime) {
  const fs::path beside = fs::path(QUILLON_EXE).parent_path();
  if (!fs::exists(beside / "fb30sub.dat")) GTEST_SKIP() << "no firmware built beside the program";
  fs::create_directories(Dir);
  const fs::path wav = Dir / "beeps.wav";
  std::string out, err;
  ASSERT_EQ(Quillon("--headless --audio " + wav.string() + " --wait-text Ok --run 1000 --type 'BEEP\\n' --run 1000"
                    " --type 'BEEP:FOR I=1 TO 30:NEXT:BEEP\\n' --run 700",
                    out, err),
            0)
      << err;
  const std::string file = Slurp(wav);
  ASSERT_GT(file.size(), 44u);
  EXPECT_EQ(file.substr(0, 4) + file.substr(8, 8) + file.substr(36, 4), "RIFFWAVEfmt data");
  auto le = [&](size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(file[at + i]);
    return v;
  };
  EXPECT_EQ(le(20, 2) * 100000 + le(22, 2) * 10000 + le(24, 4), 100000u + 10000 + 44100) << "PCM, mono, 44.1 kHz";
  ASSERT_EQ(le(40, 4), file.size() - 44);
  // Tones are the runs of samples that are not zero (a square wave never is).
  struct Tone { double startMs, ms, hz; };
  std::vector<Tone> tones;
  const size_t n = (file.size() - 44) / 2;
  auto sample = [&](size_t i) { return static_cast<int16_t>(le(44 + 2 * i, 2)); };
  for (size_t i = 0; i < n; ++i) {
    if (sample(i) == 0) continue;
    size_t j = i, flips = 0;
    for (; j + 1 < n && sample(j + 1) != 0; ++j) flips += (sample(j + 1) > 0) != (sample(j) > 0);
    tones.push_back({i / 44.1, (j + 1 - i) / 44.1, flips / 2.0 / ((j - i) / 44100.0)});
    i = j;
  }
  ASSERT_EQ(tones.size(), 2u) << "the second line's two beeps make one tone";
  EXPECT_GE(tones[0].startMs, 1000);
  EXPECT_NEAR(tones[0].ms, 200, 0.05);
  EXPECT_NEAR(tones[0].hz, 1200, 12);
  EXPECT_GE(tones[1].startMs - tones[0].startMs, 1200) << "after the tone and --run 1000";
  EXPECT_GT(tones[1].ms, 200) << "started again by the second BEEP";
  EXPECT_LT(tones[1].ms, 400);
  EXPECT_NEAR(tones[1].hz, 1200, 12);
  EXPECT_GE(n / 44.1, tones[1].startMs + 500) << "the recording lasts until the run ends";
}

TEST(TypedText, EscapesAndCharacterSet) {
  std::string bytes, error;
  ASSERT_TRUE(TextToMachineBytes("A\\r\\nB\\t\\e\\\\\\x7f\\xA1ｱ", bytes, error)) << error;
  EXPECT_EQ(bytes, std::string("A\x0D\x0D" "B\x09\x1B\\\x7F\xA1\xB1"));
  EXPECT_FALSE(TextToMachineBytes("x\\", bytes, error));
  EXPECT_FALSE(TextToMachineBytes("\\xG0", bytes, error));
  EXPECT_FALSE(TextToMachineBytes("\xFF\xFE", bytes, error)) << "not UTF-8";
}

// Text files become keys: line ends of any kind are Return, a last line
// gets one, and what the keyboard cannot type is left out with a warning
// that names its line.
TEST(TypedText, TextFileBecomesKeys) {
  struct Case {
    std::string text, keys;
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {"10 A\r\n20 B\n30 C\r40 D", "10 A\r20 B\r30 C\r40 D\r", {}},
      {"\xEF\xBB\xBF" "x\ty\n", "x\ty\r", {}},
      {"ｱﾟ ¥‾~\n", "\xB1\xDF \x5C\x7E~\r", {}},
      {"a\nb\xC3\xA9" "c\n\x01\xFF\n", "a\rbc\r\r",
       {"line 2: U+00E9 cannot be typed; left out", "line 3: U+0001 cannot be typed; left out",
        "line 3: byte FF cannot be typed; left out"}},
      {"\xC0\xAF\xED\xA0\x80", "", {"line 1: byte C0 cannot be typed; left out",
        "line 1: byte AF cannot be typed; left out", "line 1: byte ED cannot be typed; left out",
        "line 1: byte A0 cannot be typed; left out", "line 1: byte 80 cannot be typed; left out"}},
      {"", "", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> warnings;
    EXPECT_EQ(TextFileToKeys(c.text, warnings), c.keys) << c.text;
    EXPECT_EQ(warnings, c.warnings) << c.text;
  }
  std::vector<std::string> warnings;
  EXPECT_EQ(TextFileToKeys(std::string(25, '\x02'), warnings), "");
  ASSERT_EQ(warnings.size(), 11u);
  EXPECT_EQ(warnings.back(), "and 15 more characters left out");
}

}  // namespace
