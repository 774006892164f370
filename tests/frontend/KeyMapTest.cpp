#include <gtest/gtest.h>

#include <vector>

#include "FakeMachine.h"
#include "KeyMap.h"

namespace {

constexpr TKeyModifiers None{}, Shift{true, false, false}, Ctrl{false, true, false},
    CtrlShift{true, true, false}, Caps{false, false, true}, CapsShift{true, false, true};

// Every row of the table sampled on keys whose codes differ between rows.
TEST(KeyMapTable, SampledRowsAndTheRowRule) {
  struct Case {
    uint8_t vk;
    TKeyModifiers m;
    bool kana;
    uint8_t code;
  } cases[] = {
      {'A', None, false, 0x61},        {'A', Shift, false, 0x41},     {'A', Caps, false, 0x41},
      {'A', CapsShift, false, 0x61},   {'A', None, true, 0xC1},       {'E', Shift, true, 0xA8},
      {'A', Ctrl, false, 0x01},        {'A', CtrlShift, false, 0x95}, {'Z', CtrlShift, false, 0x80},
      {'3', None, true, 0xB1},         {'0', Shift, true, 0xA6},      {'0', Shift, false, 0x00},
      {'1', CtrlShift, false, 0xF9},   {0x24, Shift, false, 0x0C},    {0x2E, None, false, 0x7F},
      {0x2E, Shift, true, 0x05},       {0x60, Ctrl, false, 0x00},     {0x61, CtrlShift, false, 0x9A},
      {0x6E, CtrlShift, false, 0x00},  {0xBA, Shift, false, 0x2A},    {0xBC, Shift, true, 0xA4},
      {0xDB, Ctrl, false, 0x1B},       {0xE2, None, false, 0x22},     {0xE2, Shift, false, 0x5F},
      {0xE2, CtrlShift, false, 0xE0},  {0xC0, None, true, 0xDE},      {0x7A, None, false, 0x00},
      // Ctrl wins over kana, kana over Caps Lock.
      {'A', Ctrl, true, 0x01},         {'A', {false, false, true}, true, 0xC1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyMap[KeyMapRow(c.m, c.kana)][c.vk], c.code)
        << "vk " << int(c.vk) << " row " << KeyMapRow(c.m, c.kana);
  }
  EXPECT_EQ(KeyMapRow(CtrlShift, true), 7);
  EXPECT_EQ(KeyMapRow(CapsShift, false), 3);
}

TEST(KeyMapTable, OnlyListedKeysGiveCodes) {
  int keysWithCodes = 0;
  for (int vk = 0; vk < 256; ++vk) {
    bool any = false;
    for (int row = 0; row < 8; ++row) any |= KeyMap[row][vk] != 0;
    keysWithCodes += any;
  }
  EXPECT_EQ(keysWithCodes, 76);
  // Ctrl gives nothing for editing keys, Enter, Space, digits; Ctrl+Shift
  // gives the unshifted code of the editing keys.
  for (uint8_t vk : {0x08, 0x0D, 0x20, 0x25, 0x26, 0x27, 0x28, 0x30, 0x39}) EXPECT_EQ(KeyMap[6][vk], 0) << int(vk);
  EXPECT_EQ(KeyMap[7][0x25], 0x1D);
}

class Keyboard : public ::testing::Test {
 protected:
  TFakeMachine M;
  TKeyboard K{M};
  void Press(uint32_t vk, TKeyModifiers m = None, bool keyChEsc = true, bool repeat = false) {
    K.KeyMessage(vk, repeat ? uint32_t{KeyFlag_Repeat} : 0u, m, keyChEsc);
  }
  void Release(uint32_t vk, bool keyChEsc = true) {
    K.KeyMessage(vk, KeyFlag_Release | KeyFlag_Repeat, None, keyChEsc);
  }
  // Each delivered code, as seen by a CPU that reads and acknowledges it.
  std::vector<uint16_t> Taken;
  void Take() {
    if (M.ScpuIntReq & ScpuReq_KeyFirq || M.McpuIntReq & McpuReq_KeyIrq) Taken.push_back(M.KeyData);
    M.ScpuIntReq &= ~ScpuReq_KeyFirq;
    M.McpuIntReq &= ~McpuReq_KeyIrq;
  }
};

TEST_F(Keyboard, KeyGoesToTheSubCpuUnlessTheMainCpuEnabledKeyInterrupts) {
  Press('A');
  EXPECT_EQ(M.KeyData, 0x61);
  EXPECT_EQ(M.ScpuIntReq, ScpuReq_KeyFirq);
  EXPECT_EQ(M.McpuIntReq, 0u);
  M.ScpuIntReq = 0;
  M.KeyIrq = true;
  Press('A', Shift);
  EXPECT_EQ(M.KeyData, 0x41);
  EXPECT_EQ(M.McpuIntReq, McpuReq_KeyIrq);
  EXPECT_EQ(M.ScpuIntReq, 0u);
}

TEST_F(Keyboard, CtrlKeysWithoutACodeDeliverNothing) {
  for (uint32_t vk : {0x0D, 0x20, 0x25, 0x26}) Press(vk, Ctrl);
  EXPECT_EQ(M.Stores, 0);
  Press(0x25, CtrlShift);
  EXPECT_EQ(M.KeyData, 0x1D);
}

// Symbols typed as the host's layout has them: the symbol's own code, except
// in kana mode, with Ctrl, or for a code outside the printable range, where
// the key goes by its position.
TEST_F(Keyboard, SymbolsAsTheHostLayoutHasThem) {
  EXPECT_TRUE(K.KeyDownAsSymbol('*', Shift));
  EXPECT_EQ(M.KeyData, '*');
  EXPECT_TRUE(K.KeyDownAsSymbol('"', Shift));
  EXPECT_EQ(M.KeyData, '"');
  const int stores = M.Stores;
  EXPECT_FALSE(K.KeyDownAsSymbol('@', Ctrl));
  EXPECT_FALSE(K.KeyDownAsSymbol(0x7F, None));
  EXPECT_FALSE(K.KeyDownAsSymbol(' ', None));
  K.KanaMode = true;
  EXPECT_FALSE(K.KeyDownAsSymbol('[', None));
  EXPECT_EQ(M.Stores, stores);
}

TEST_F(Keyboard, FunctionKeys) {
  Press(VK_F1, Shift);
  Press(VK_F1, Ctrl);
  EXPECT_EQ(M.Stores, 0);
  Press(VK_F1);
  Take();
  Press(VK_F1, None, true, /*repeat=*/true);
  Take();
  Press(VK_F10);
  Take();
  Press(VK_F11);
  Take();
  // Holding A repeats it; holding F1 does not.
  Press('A');
  Take();
  Press('A', None, true, true);
  Take();
  EXPECT_EQ(Taken, (std::vector<uint16_t>{0x8001, 0x800A, 0x61, 0x61}));
}

TEST_F(Keyboard, BreakIsALevelFromPressToRelease) {
  for (uint32_t vk : {uint32_t{VK_PAUSE}, uint32_t{VK_F12}}) {
    Press(vk, None, /*keyChEsc=*/false);
    EXPECT_EQ(M.McpuIntReq, McpuReq_Break);
    M.McpuIntReq = 0;
    Press(vk, None, false, /*repeat=*/true);  // auto-repeat does not raise it again
    EXPECT_EQ(M.McpuIntReq, 0u);
    M.McpuIntReq = McpuReq_Break | McpuReq_Timer;
    Release(vk, false);
    EXPECT_EQ(M.McpuIntReq, McpuReq_Timer);
    M.McpuIntReq = 0;
  }
  EXPECT_EQ(M.Stores, 0);
}

TEST_F(Keyboard, EscAndHalfWidthKeyWithKeyLayoutChangeOn) {
  Press(VK_ESCAPE);
  EXPECT_EQ(M.McpuIntReq, McpuReq_Break);
  Release(VK_ESCAPE);
  EXPECT_EQ(M.McpuIntReq, 0u);
  EXPECT_EQ(M.Stores, 0);
  Press(VK_HANKAKU_A);
  Take();
  Press(VK_HANKAKU_B, Shift);
  Take();
  EXPECT_EQ(Taken, (std::vector<uint16_t>{0x1B, 0x1B}));
}

TEST_F(Keyboard, EscAndHalfWidthKeyWithKeyLayoutChangeOff) {
  Press(VK_HANKAKU_A, None, false);
  EXPECT_EQ(M.Stores, 0);
  Press(VK_ESCAPE, None, false);
  EXPECT_EQ(M.KeyData, 0x1B);
  EXPECT_EQ(M.McpuIntReq, 0u);
  M.McpuIntReq = McpuReq_Break;  // held Pause: releasing Esc leaves BREAK alone
  Release(VK_ESCAPE, false);
  EXPECT_EQ(M.McpuIntReq, McpuReq_Break);
}

TEST_F(Keyboard, KanaKeysToggleOnEveryPressIncludingRepeats) {
  Press(VK_KANA_A);
  EXPECT_TRUE(K.KanaMode);
  EXPECT_TRUE(K.KanaChanged);
  Press('3');
  EXPECT_EQ(M.KeyData, 0xB1);
  Press(VK_KANA_B, None, true, true);
  EXPECT_FALSE(K.KanaMode);
  Press(VK_KANA_A);
  K.ResetFrontState();
  EXPECT_FALSE(K.KanaMode);
  EXPECT_FALSE(K.KanaChanged);
}

TEST_F(Keyboard, OrdinaryReleasesAreIgnored) {
  M.McpuIntReq = McpuReq_Break;
  Release('A');
  Release(VK_F1);
  EXPECT_EQ(M.McpuIntReq, McpuReq_Break);
  EXPECT_EQ(M.Stores, 0);
}

TEST_F(Keyboard, PasteSendsEveryByteUnchangedOnePerStep) {
  K.KanaMode = true;  // the states do not matter for pasted bytes
  K.StartPaste("AB\r\n\xB1");
  EXPECT_EQ(M.Stores, 0) << "nothing is sent before the first step";
  while (K.PasteInProgress()) {
    K.PasteStep();
    Take();
  }
  K.PasteStep();  // idle: nothing
  Take();
  EXPECT_EQ(Taken, (std::vector<uint16_t>{0x41, 0x42, 0x0D, 0x0A, 0xB1}));
}

// A byte goes out only after the machine read the one before.
TEST_F(Keyboard, PasteWaitsUntilTheLastKeyWasRead) {
  K.StartPaste("AB");
  K.PasteStep();
  K.PasteStep();
  K.PasteStep();
  EXPECT_EQ(M.Stores, 1);
  EXPECT_EQ(M.KeyData, 'A');
  Take();
  K.PasteStep();
  Take();
  EXPECT_FALSE(K.PasteInProgress());
  EXPECT_EQ(Taken, (std::vector<uint16_t>{'A', 'B'}));
}

TEST_F(Keyboard, EmptyPasteSendsOneZero) {
  K.StartPaste("");
  ASSERT_TRUE(K.PasteInProgress());
  K.PasteStep();
  Take();
  EXPECT_FALSE(K.PasteInProgress());
  EXPECT_EQ(Taken, (std::vector<uint16_t>{0x00}));
}

TEST_F(Keyboard, NewPasteStartsOver) {
  K.StartPaste("XYZ");
  K.PasteStep();
  Take();
  K.StartPaste("Q");
  K.PasteStep();
  Take();
  EXPECT_FALSE(K.PasteInProgress());
  EXPECT_EQ(Taken, (std::vector<uint16_t>{'X', 'Q'}));
}

}  // namespace
