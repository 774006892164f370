// Our own firmware on the whole machine: boot, the monitor's commands, the
// line editor, BREAK, hot start, the two key paths, the timer count, the
// picture against the text screen, and the tape and kanji callers with the
// calling conventions of the trapped routines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "DiskFormats.h"
#include "DiskImage.h"
#include "FirmwareRig.h"


namespace {

// Where the sub firmware keeps the cursor (column, row, shown) and its font.
constexpr uint16_t SubCurX = 0xD000, SubCurY = 0xD001, SubCurOn = 0xD00E, SubFont = 0xF000;
// The monitor's timer count (32 bits, high byte first).
constexpr uint16_t MonTicks = 0x7D64;

TEST(Firmware, BootsIntoTheBasicAndReachesTheMonitor) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt(2000)) << rig.Screen();
  const std::string screen = rig.Screen();
  EXPECT_EQ(screen.rfind("Quillon BASIC " QUILLON_VERSION "\n26621 bytes free\nOk\nMON\n>", 0), 0u) << screen;
  EXPECT_EQ(rig.Thread->Scpu->Bank[0][0xD036], 80);
  EXPECT_EQ(rig.Thread->Scpu->Bank[0][0xD037], 25);
  // Vectors in RAM before interrupts were unmasked: the timer runs.
  EXPECT_GT(rig.TimerIrqsRaised, 0u);
  EXPECT_NE(rig.MainRam(0xFFF8) | rig.MainRam(0xFFF9), 0);
}

TEST(Firmware, CommandsAnswer) {
  struct Case {
    std::vector<std::string> lines;
    std::string expect;
  };
  const Case cases[] = {
      {{"e 1000 41 42 c1", "d 1000 1002"}, "1000  41 42 C1 00"},
      {{"f 1100 113f 7e", "d 1130 113f"}, "1130  7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E  ~~~~"},
      {{"E 1200 12,34", "D 1200 1201"}, "1200  12 34"},
      {{"nonsense"}, "> nonsense\n?\n"},
      {{"d 1000 zz"}, "> d 1000 zz\n?\n"},
      {{"e 1000 11 zz 22", "d 1000 1001"}, "1000  00 00"},  // nothing written
      {{"help"}, " SAVE name from to"},
      {{"e 1300 4f 3f", "g 1300", "r"}, "PC=1302 A=00 B=00"},  // CLRA; SWI, then R
  };
  for (const Case& c : cases) {
    TFirmwareRig rig;
    ASSERT_TRUE(rig.WaitForPrompt());
    for (const std::string& line : c.lines) ASSERT_TRUE(rig.Command(line)) << line << "\n" << rig.Screen();
    EXPECT_NE(rig.Screen().find(c.expect), std::string::npos) << c.expect << "\n" << rig.Screen();
  }
}

TEST(Firmware, FillAndEditChangeMemory) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("f 2000 20ff a5"));
  ASSERT_TRUE(rig.Command("e 2010 00 11"));
  EXPECT_EQ(rig.MainRam(0x1FFF), 0x00);
  EXPECT_EQ(rig.MainRam(0x2000), 0xA5);
  EXPECT_EQ(rig.MainRam(0x2010), 0x00);
  EXPECT_EQ(rig.MainRam(0x2011), 0x11);
  EXPECT_EQ(rig.MainRam(0x20FF), 0xA5);
  EXPECT_EQ(rig.MainRam(0x2100), 0x00);
}

// Every character cell of the picture shows the font's glyph of the code the
// text screen holds, white on black (the cursor's cell may be inverted).
void ExpectPictureMatchesText(const TFirmwareRig& rig) {
  const uint8_t* sub = rig.Thread->Scpu->Bank[0];
  int checked = 0;
  for (int r = 0; r < 25; ++r) {
    for (int c = 0; c < 80; ++c) {
      if (sub[SubCurOn] && r == sub[SubCurY] && c == sub[SubCurX]) continue;
      const uint8_t code = sub[0xC000 + r * 80 + c];
      for (int k = 0; k < 8; ++k) {
        const uint8_t glyph = sub[SubFont + code * 8 + k];
        const int off = r * 640 + k * 80 + c;
        ASSERT_EQ(sub[off], glyph) << "row " << r << " col " << c << " line " << k;
        ASSERT_EQ(sub[0x4000 + off], glyph);
        ASSERT_EQ(sub[0x8000 + off], glyph);
      }
      ++checked;
    }
  }
  EXPECT_GE(checked, 25 * 80 - 1);
}

// Also after the screen has scrolled in hardware.
TEST(Firmware, PictureMatchesTheTextScreen) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("help"));
  ASSERT_TRUE(rig.Command("d 0 ff"));
  rig.Type("\xB1\xB2\xDE");  // katakana on the screen too
  ASSERT_TRUE(rig.Command(""));
  ExpectPictureMatchesText(rig);
  EXPECT_NE(rig.Screen().find("> \xB1\xB2\xDE\n?\n"), std::string::npos);
}

TEST(Firmware, LineEditorKeys) {
  struct Case {
    std::vector<uint16_t> keys;
    std::string line;  // what the monitor received, seen in its answer
  };
  // "e 3000 " then keys; the answer of "d 3000 3001" shows the bytes stored.
  const Case cases[] = {
      {{'1', '2', 0x1D, 0x1D, 0x12, '3', '4', ' ', 0x12}, "3000  34 12"},      // insert mode
      {{'1', '2', 0x08, '3', '4'}, "3000  34 00"},                          // BS: "134", low byte kept
      {{'9', '9', 0x1D, 0x1D, 0x7F, 0x7F, '5', '6'}, "3000  56"},           // DEL at the cursor
      {{'7', '7', 0x1B, 'e', ' ', '3', '0', '0', '0', ' ', '4', '4'}, "3000  44"},  // ESC clears
  };
  for (const Case& c : cases) {
    TFirmwareRig rig;
    ASSERT_TRUE(rig.WaitForPrompt());
    rig.Type("e 3000 ");
    for (uint16_t k : c.keys) rig.Keys.push_back(k);
    ASSERT_TRUE(rig.Command(""));
    ASSERT_TRUE(rig.Command("d 3000 3001"));
    EXPECT_NE(rig.Screen().find(c.line), std::string::npos) << c.line << "\n" << rig.Screen();
  }
}

// The screen editor: keys typed at the monitor's prompt after some command
// lines, then RETURN; the line getline received (LINBUF) is the logical line
// under the cursor. Long lines run over several rows.
TEST(Firmware, ScreenEditorEntersTheLogicalLineUnderTheCursor) {
  auto pattern = [](size_t n, size_t from = 0) {
    std::string p;
    for (size_t i = from; i < from + n; ++i) p += static_cast<char>('a' + i % 26);
    return p;
  };
  const std::string up = "\x1E", left = "\x1D", right = "\x1C", ins = "\x12", del = "\x7F", bs = "\x08";
  auto times = [](int n, const std::string& k) {
    std::string s;
    while (n--) s += k;
    return s;
  };
  const std::string p100 = pattern(100), p150 = pattern(150), p200 = pattern(200);
  struct Case {
    const char* name;
    std::vector<std::string> before;  // command lines entered first
    std::string keys;                 // then these, then RETURN
    std::string line;
    int beeps = 0;
  };
  const Case cases[] = {
      {"edited in place", {"hello world"}, times(2, up) + times(6, right) + "W", "> hello World"},
      {"200 characters over three rows", {}, p200, p200},
      {"insert in a wrapped line", {}, p150 + times(100, left) + ins + "xyz" + ins,
       p150.substr(0, 50) + "xyz" + p150.substr(50)},
      {"DEL pulls the next row back", {}, p150 + times(100, left) + times(3, del),
       p150.substr(0, 50) + p150.substr(53)},
      {"BS at a row start deletes the last column above", {}, p100 + times(22, left) + bs,
       p100.substr(0, 77) + p100.substr(78)},
      {"no more than 255 characters", {}, pattern(260), pattern(253), 7},
      {"ESC empties the line", {}, "abc\x1B" "def", "def"},
      {"Shift+DEL clears to the end", {}, "abcdef" + times(3, left) + "\x05", "abc"},
      {"marks survive scrolling", {"help", "help"}, p200 + "\n" + times(3, up), "> " + p200, 1},
      {"printing past the last column continues the line",
       {"f 1010 1073 41", "e 1074 0d 00", "e 1000 8e 10 10 bd 80 09 39", "g 1000"}, up, std::string(100, 'A')},
      {"a row opens between lines", {"x1", "x2", "x3"}, times(6, up) + times(2, right) + p100, "> x1" + p100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFirmwareRig rig;
    ASSERT_TRUE(rig.WaitForPrompt());
    for (const std::string& line : c.before) ASSERT_TRUE(rig.Command(line, 10000)) << rig.Screen();
    const int beeps = rig.Host.Beeps;
    ASSERT_TRUE(rig.Command(c.keys, 20000)) << rig.Screen();
    EXPECT_EQ(rig.EnteredLine(), c.line) << rig.Screen();
    EXPECT_EQ(rig.Host.Beeps - beeps, c.beeps + 1) << "and one for the monitor's \"?\"";
    ExpectPictureMatchesText(rig);
  }
}

// A command slot filled by some other program with a length past the data
// area prints the data area and stops there: nothing beyond shared RAM (the
// key ring, then I/O registers) is read as text.
TEST(Firmware, PrintLengthIsBoundedByTheDataArea) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("e 1000 20 fe"));
  rig.Type("cls\ng 1000\n");  // the main CPU loops; the sub CPU waits for work
  rig.RunMs(400);
  uint8_t* shared = rig.State.SharedRam;
  ASSERT_EQ(shared[0], 0);
  std::string text;
  for (int i = 0; i < 88; ++i) text += static_cast<char>('A' + i % 26);
  std::copy(text.begin(), text.end(), shared + 3);
  shared[2] = 0xFF;
  shared[0] = 1;  // print
  rig.RunMs(200);
  EXPECT_EQ(shared[0], 0);
  const std::string screen = rig.Screen();
  EXPECT_NE(screen.find(text.substr(0, 80) + "\n" + text.substr(80) + "\n\n"), std::string::npos) << screen;
}

TEST(Firmware, InsKeyTogglesTheLamp) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  rig.State.TakeInsLampReq();
  rig.Keys.push_back(0x12);
  rig.RunMs(100);
  EXPECT_EQ(rig.State.TakeInsLampReq(), INS_LAMP_ON);
  rig.Keys.push_back(0x11);  // Shift+INS toggles as well
  rig.RunMs(100);
  EXPECT_EQ(rig.State.TakeInsLampReq(), INS_LAMP_OFF);
}

TEST(Firmware, BeepSoundsOnceAndErrorsBeep) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("beep"));
  EXPECT_EQ(rig.Host.Beeps, 1);
  ASSERT_TRUE(rig.Command("what"));
  EXPECT_EQ(rig.Host.Beeps, 2);
}

TEST(Firmware, BreakStopsALongDump) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  rig.Type("d 0 ffff\n");
  ASSERT_TRUE(rig.WaitFor("0100  "));
  rig.State.PressBreak();
  rig.RunMs(100);  // held down for a while
  rig.State.ReleaseBreak();
  ASSERT_TRUE(rig.WaitFor("Break\n"));
  rig.RunMs(2000);
  const std::string screen = rig.Screen();
  EXPECT_EQ(screen.find("FFF0  "), std::string::npos) << screen;
  EXPECT_TRUE(rig.PromptIsLast()) << screen;
  // The monitor works on.
  ASSERT_TRUE(rig.Command("e 1000 5a"));
  EXPECT_EQ(rig.MainRam(0x1000), 0x5A);
}

TEST(Firmware, BreakWhileEditingCancelsTheLine) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  rig.Type("e 1000 77");
  rig.RunMs(400);
  rig.State.PressBreak();
  rig.RunMs(20);
  rig.State.ReleaseBreak();
  ASSERT_TRUE(rig.WaitFor("Break\n"));
  rig.RunMs(200);
  EXPECT_TRUE(rig.PromptIsLast());
  EXPECT_EQ(rig.MainRam(0x1000), 0x00);  // the line was not taken
  ASSERT_TRUE(rig.Command("e 1000 66"));
  EXPECT_EQ(rig.MainRam(0x1000), 0x66);
}

TEST(Firmware, HotStartKeepsMemory) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("e 2000 5a a5"));
  rig.State.RequestReset(true);
  ASSERT_TRUE(rig.WaitFor("Ok\n")) << rig.Screen();  // the BASIC's hot start
  rig.RunMs(200);
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("d 2000 2001")) << rig.Screen();
  EXPECT_NE(rig.Screen().find("2000  5A A5"), std::string::npos) << rig.Screen();
  // The timer interrupt is on again after the hot start.
  const uint64_t before = rig.TimerIrqsRaised;
  rig.RunMs(100);
  EXPECT_GT(rig.TimerIrqsRaised, before);
}

// Keys typed while a hot start clears the screen wait in the key ring (a
// quick typist's keys do not wait to be read), and the BASIC's line width
// follows the sub CPU, which starts again with 80 columns.
TEST(Firmware, HotStartKeepsKeysTypedMeanwhile) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  rig.Type("WIDTH 40\n");
  rig.RunMs(500);
  rig.State.RequestReset(true);
  for (char c : std::string("?TAB(50);\"x\"\r")) {
    rig.RunMs(4);
    rig.State.DeliverKey(static_cast<uint8_t>(c));
  }
  EXPECT_TRUE(rig.WaitFor(std::string(49, ' ') + "x\n")) << rig.Screen();
}

TEST(Firmware, ColdResetShowsTheBannerAgain) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("cls"));
  EXPECT_EQ(rig.Screen().find("Quillon"), std::string::npos);
  rig.State.RequestReset(false);
  ASSERT_TRUE(rig.WaitFor("Quillon BASIC"));
}

TEST(Firmware, MainKeyInterruptsFeedTheLineEditor) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("keyirq"));
  EXPECT_EQ(rig.State.KeyIrqEnable.load() & 1, 1u);
  EXPECT_NE(rig.Screen().find("Key IRQ on"), std::string::npos);
  ASSERT_TRUE(rig.Command("e 1000 42"));  // typed through the main CPU's IRQ
  EXPECT_EQ(rig.MainRam(0x1000), 0x42);
  EXPECT_EQ(rig.State.ScpuIntReq.load() & SCPU_FIRQ_KEY, 0u);
  ASSERT_TRUE(rig.Command("keyirq"));
  EXPECT_EQ(rig.State.KeyIrqEnable.load() & 1, 0u);
  rig.Type("key\n");  // KEY waits; give it one
  ASSERT_TRUE(rig.WaitFor("Press a key:"));
  rig.Keys.push_back(0xB1);
  ASSERT_TRUE(rig.WaitFor("Press a key: B1"));
}

// Every timer IRQ the machine raises is counted (requests raised while one is
// still pending merge, so the count may fall short by a few; one raised just
// before the first reading is counted after it).
TEST(Firmware, CountsTheTimerInterrupts) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  auto ticks = [&] {
    const uint8_t* m = rig.Thread->Mcpu->Bank[0];
    return static_cast<uint32_t>(m[MonTicks] << 24 | m[MonTicks + 1] << 16 | m[MonTicks + 2] << 8 | m[MonTicks + 3]);
  };
  const uint32_t t0 = ticks();
  const uint64_t r0 = rig.TimerIrqsRaised;
  ASSERT_TRUE(rig.Command("d 0 3ff"));  // busy with output meanwhile
  rig.RunMs(3000);
  const uint32_t counted = ticks() - t0;
  const uint64_t raised = rig.TimerIrqsRaised - r0;
  EXPECT_GT(raised, 1500u);
  EXPECT_LE(counted, raised + 1);
  EXPECT_GE(counted, raised * 99 / 100);
  const uint32_t before = ticks();
  ASSERT_TRUE(rig.Command("time"));
  const std::string screen = rig.Screen();
  const size_t at = screen.rfind("Ticks ");
  ASSERT_NE(at, std::string::npos) << screen;
  const uint32_t shown = static_cast<uint32_t>(std::stoul(screen.substr(at + 6, 8), nullptr, 16));
  EXPECT_GE(shown, before);
  EXPECT_LE(shown, ticks());
}

// The tape and kanji routines called the way the trapped routines expect: a
// request block at X, the tape byte at X+2, the kanji destination at X+2 and
// code at X+4. This stand-in for the host's traps keeps the tape in memory.
class TStandInTraps : public TTrapHandler {
 public:
  std::vector<uint8_t> Tape;
  size_t Pos = 0;
  void PatchRom(TMcpuIo& cpu) override {
    for (uint16_t a : {0xF21F, 0xF2B0, 0xF330}) cpu.Bank[0][a] = 0x14;
  }
  void Trap(TMcpuIo& cpu) override {
    const uint16_t at = static_cast<uint16_t>(cpu.PC - 1);
    if (at == 0xF2B0) {
      const uint8_t b = cpu.ReadByte(static_cast<uint16_t>(cpu.X + 2));
      if (Pos < Tape.size()) Tape[Pos] = b; else Tape.push_back(b);
      ++Pos;
    } else if (at == 0xF330) {
      cpu.WriteByte(static_cast<uint16_t>(cpu.X + 2), Pos < Tape.size() ? Tape[Pos++] : 0xFF);
    } else if (at == 0xF21F) {
      const uint16_t dest = cpu.ReadWord(static_cast<uint16_t>(cpu.X + 2));
      const uint16_t jis = cpu.ReadWord(static_cast<uint16_t>(cpu.X + 4));
      const std::vector<uint8_t> g = TTestHost::Glyph(jis);
      for (int i = 0; i < 32; ++i) cpu.WriteByte(static_cast<uint16_t>(dest + i), g[i]);
    } else {
      return;
    }
    cpu.A = 0;
    cpu.Rts();
  }
};

TEST(Firmware, TapeSaveListLoad) {
  TFirmwareRig rig;
  TStandInTraps traps;
  rig.Thread->Mcpu->SetTrapHandler(&traps);
  rig.Thread->ResetMachine(false);
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("f 3000 33ff 00"));
  ASSERT_TRUE(rig.Command("e 3000 11 22 33"));
  ASSERT_TRUE(rig.Command("e 33fe 44 55"));
  ASSERT_TRUE(rig.Command("save hello 3000 33ff", 20000));
  ASSERT_TRUE(rig.Command("save second 3000 3001", 20000));
  EXPECT_NE(rig.Screen().find("Saved hello"), std::string::npos);
  // The header as the tape scan looks for it: 01 3C 00, length, 8-byte name.
  const std::string head("\x01\x3C\x00\x0E" "hello   ", 12);
  const std::string stream(traps.Tape.begin(), traps.Tape.end());
  const size_t h = stream.find(head);
  ASSERT_NE(h, std::string::npos);
  EXPECT_EQ(stream.substr(h + 12, 4), std::string("\x30\x00\x04\x00", 4));  // start, length

  traps.Pos = 0;
  ASSERT_TRUE(rig.Command("dir", 20000));
  EXPECT_NE(rig.Screen().find("hello    3000 0400\nsecond   3000 0002\nEnd of tape"), std::string::npos)
      << rig.Screen();
  ASSERT_TRUE(rig.Command("f 3000 33ff 00"));
  traps.Pos = 0;
  ASSERT_TRUE(rig.Command("load second 4000", 20000));
  EXPECT_NE(rig.Screen().find("Found hello skipped\nFound second\nLoaded 4000-4001"), std::string::npos)
      << rig.Screen();
  traps.Pos = 0;
  ASSERT_TRUE(rig.Command("load hello", 20000));
  EXPECT_NE(rig.Screen().find("Loaded 3000-33FF"), std::string::npos) << rig.Screen();
  EXPECT_EQ(rig.MainRam(0x3000), 0x11);
  EXPECT_EQ(rig.MainRam(0x3002), 0x33);
  EXPECT_EQ(rig.MainRam(0x33FE), 0x44);
  EXPECT_EQ(rig.MainRam(0x33FF), 0x55);
  EXPECT_EQ(rig.MainRam(0x4000), 0x11);
  // A damaged data block is reported, not taken silently.
  traps.Tape[h + 12 + 14 + 2 + 3 + 5] ^= 0xFF;
  traps.Pos = 0;
  ASSERT_TRUE(rig.Command("load hello", 20000));
  EXPECT_NE(rig.Screen().find("Tape error"), std::string::npos) << rig.Screen();
  // At the end of the tape (FF bytes) the search gives up.
  traps.Pos = traps.Tape.size();
  ASSERT_TRUE(rig.Command("load", 20000));
  EXPECT_NE(rig.Screen().find("Not found"), std::string::npos) << rig.Screen();
}

// KANJI shows the 32 pattern bytes in hex and draws them below (16 rows of
// two bytes, at the start of the row after the hex lines).
void ExpectKanjiShown(TFirmwareRig& rig, const std::vector<uint8_t>& g) {
  std::string hex;
  for (int i = 0; i < 32; ++i) {
    char b[4];
    std::snprintf(b, sizeof b, i % 16 == 15 ? "%02X\n" : "%02X ", g[i]);
    hex += b;
  }
  const std::string screen = rig.Screen();
  const size_t at = screen.find(hex);
  ASSERT_NE(at, std::string::npos) << hex << "\n" << screen;
  const uint8_t* sub = rig.Thread->Scpu->Bank[0];
  int row = 2;  // below the two hex lines
  for (size_t p = 0; p < at; ++p) row += screen[p] == '\n';
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(sub[row * 640 + k * 80], g[2 * k]) << k;
    EXPECT_EQ(sub[row * 640 + k * 80 + 1], g[2 * k + 1]) << k;
  }
}

TEST(Firmware, KanjiPatternComesFromTheKanjiRoutine) {
  TFirmwareRig rig;
  TStandInTraps traps;
  rig.Thread->Mcpu->SetTrapHandler(&traps);
  rig.Thread->ResetMachine(false);
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("kanji 3021"));
  ExpectKanjiShown(rig, TTestHost::Glyph(0x3021));
}

// With 40 columns (WIDTH 40 in the BASIC) the pattern is drawn twice as wide,
// four bytes a line, like the characters beside it.
TEST(Firmware, KanjiIsDoubleWidthAt40Columns) {
  TFirmwareRig rig;
  TStandInTraps traps;
  rig.Thread->Mcpu->SetTrapHandler(&traps);
  rig.Thread->ResetMachine(false);
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  rig.Type("WIDTH 40\n");
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("kanji 3021"));
  const std::vector<uint8_t> g = TTestHost::Glyph(0x3021);
  auto twice = [](uint8_t nibble) {
    uint8_t b = 0;
    for (int i = 0; i < 4; ++i) b |= ((nibble >> i) & 1) * (3 << 2 * i);
    return b;
  };
  const uint8_t* sub = rig.Thread->Scpu->Bank[0];
  const std::vector<std::string> rows = rig.ScreenRows();
  int prompt = static_cast<int>(rows.size()) - 1;  // two rows below the kanji
  while (prompt > 2 && rows[prompt].empty()) --prompt;
  for (int k = 0; k < 16; ++k)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(sub[(prompt - 2) * 640 + k * 80 + c], twice(g[2 * k + c / 2] >> (c % 2 ? 0 : 4) & 15)) << k << "," << c;
}

#ifdef QUILLON_HAVE_TRAPS
// Through the machine's own kanji trap, which the run loop plugs in: the
// pattern is the host glyph of the character (JIS 3021 is Shift_JIS 889F).
TEST(Firmware, KanjiPatternIsTheHostGlyph) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("kanji 3021"));
  ExpectKanjiShown(rig, TTestHost::Glyph(0x889F));
}

// The boot loads the boot sector (BASIC mode, 0100) or the two loader
// sectors (DOS mode, 0300) of drive 0 and runs them; both print through the
// boot image and end in the BASIC.
TEST(Firmware, BootsTheDiskInBothModes) {
  struct Case {
    int mode;
    const char* program;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {0, "basic_boot.bin", "Boot sector says hello\n", "Quillon "},
      {1, "dos_loader.bin", "DOS loader: sector 1\n", "DOS loader: sector 2\nQuillon "},
  };
  const std::filesystem::path base =
      std::filesystem::temp_directory_path() / ("quillon_fw_boot_" + std::to_string(::getpid()));
  const std::string vfd = base.string() + ".vfd", d88 = base.string() + ".d88";
  for (const Case& c : cases) {
    WriteDiskImage(vfd, ReadWholeFile(std::filesystem::path(BOOT_PROGRAM_DIR) / c.program));
    std::filesystem::remove(d88);
    std::string note;
    ASSERT_EQ(ConvertDiskImage(vfd, d88, note), "");
    for (const std::string& disk : {vfd, d88}) {  // the same disk as VFD and as D88
      TFirmwareRig rig(c.mode);
      ASSERT_TRUE(rig.State.Vfd.MountDisk(0, disk));
      rig.Thread->ResetMachine(false);
      ASSERT_TRUE(rig.WaitFor("bytes free")) << rig.Screen();
      const std::string screen = rig.Screen();
      EXPECT_EQ(screen.rfind(c.first, 0), 0u) << disk << "\n" << screen;
      EXPECT_NE(screen.find(c.second), std::string::npos) << disk << "\n" << screen;
      rig.State.Vfd.UnmountDisk(0);
    }
  }
  std::filesystem::remove(vfd);
  std::filesystem::remove(d88);
}

// DW and DR through the monitor on a blank D88 disk: the sector lands in
// the file at its data and comes back; a protected drive refuses.
TEST(Firmware, SectorsThroughTheMonitorOnD88) {
  const std::string disk = (std::filesystem::temp_directory_path() /
                            ("quillon_fw_dw_" + std::to_string(::getpid()) + ".d88")).string();
  std::filesystem::remove(disk);
  ASSERT_EQ(WriteNewDiskFile(disk, TDiskKind::D88, false), "");
  TFirmwareRig rig;
  ASSERT_TRUE(rig.State.Vfd.MountDisk(0, disk));
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("e 2000 11 22 33"));
  ASSERT_TRUE(rig.Command("dw 2000 0 3 5 1"));
  ASSERT_TRUE(rig.Command("dr 3000 0 3 5 1"));
  EXPECT_EQ(rig.MainRam(0x3002), 0x33);
  // Track side 7, sector 5: the header, 4 sectors before it, its own header.
  const std::vector<uint8_t> file = ReadWholeFile(disk);
  EXPECT_EQ(file[0x2B0 + (7 * 16 + 4) * 272 + 16 + 2], 0x33);
  rig.State.Vfd.DiskWriteProtect[0] = 1;
  ASSERT_TRUE(rig.Command("dw 2000 0 3 5 1"));
  EXPECT_NE(rig.Screen().find("Disk error 11"), std::string::npos) << rig.Screen();
  rig.State.Vfd.UnmountDisk(0);
  std::filesystem::remove(disk);
}

// SAVE, DIR and LOAD with the machine's own cassette deck: the deck's scan
// finds the file by name, and the bytes come back.
TEST(Firmware, TapeRoundTripOnTheDeck) {
  const std::filesystem::path tape =
      std::filesystem::temp_directory_path() / ("quillon_fw_tape_" + std::to_string(::getpid()) + ".vtp");
  TFirmwareRig rig;
  ASSERT_TRUE(rig.State.Vtp.CreateTape(tape.string()));
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("e 3000 11 22 33"));
  ASSERT_TRUE(rig.Command("save quill 3000 30ff", 20000));
  ASSERT_TRUE(rig.Command("e 3000 00 00 00"));
  int64_t pos = 0;
  std::string name;
  ASSERT_EQ(rig.State.Vtp.NextTapeFile(pos, name), 0);
  EXPECT_EQ(name, "quill   ");
  rig.State.Vtp.SeekTape(0);
  ASSERT_TRUE(rig.Command("dir", 20000));
  EXPECT_NE(rig.Screen().find("quill    3000 0100\nEnd of tape"), std::string::npos) << rig.Screen();
  rig.State.Vtp.SeekTape(0);
  ASSERT_TRUE(rig.Command("load quill", 20000));
  EXPECT_NE(rig.Screen().find("Found quill\nLoaded 3000-30FF"), std::string::npos) << rig.Screen();
  EXPECT_EQ(rig.MainRam(0x3000), 0x11);
  EXPECT_EQ(rig.MainRam(0x3002), 0x33);
  rig.State.Vtp.CloseTape();
  std::filesystem::remove(tape);
}
#endif

// Without any host routine behind the traps the firmware still runs: the
// boot falls through to the BASIC, the disk answers "not ready" (error 10),
// the kanji pattern is empty and the tape reads as its end.
TEST(Firmware, RunsWithoutHostRoutines) {
  TFirmwareRig rig;
  rig.Thread->Mcpu->SetTrapHandler(nullptr);
  rig.Thread->ResetMachine(false);
  ASSERT_TRUE(rig.WaitForPrompt());
  ASSERT_TRUE(rig.Command("dr 1000 0 0 1"));
  EXPECT_NE(rig.Screen().find("Disk error 10"), std::string::npos) << rig.Screen();
  ASSERT_TRUE(rig.Command("kanji 3021"));
  EXPECT_NE(rig.Screen().find("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
                              "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"),
            std::string::npos);
  ASSERT_TRUE(rig.Command("load", 20000));
  EXPECT_NE(rig.Screen().find("Not found"), std::string::npos);
}

}  // namespace
