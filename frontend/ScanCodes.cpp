// Host key codes (evdev + 8) to Windows virtual-key codes by the position of
// the key on a Japanese 106-key keyboard.
//
// The punctuation keys are where the JIS layout has them: "-" and "^" right
// of 0 with the yen key after them, "@" and "[" right of P, ";" ":" and "]"
// right of L, and the "ろ" key right of "/". On a US keyboard the same places
// are "-", "=", "[", "]", ";", "'" and "\", so those keys give the JIS
// characters of their position. The key left of 1 is the half-width/
// full-width key of the Japanese board.
#include "ScanCodes.h"

#include <array>

namespace {

constexpr uint32_t EvdevOffset = 8;

// evdev key code -> virtual-key code with Num Lock on.
constexpr std::array<uint8_t, 128> BuildTable() {
  std::array<uint8_t, 128> t{};
  t[1] = 0x1B;  // Esc
  // Top row 1..9, 0.
  for (int i = 0; i < 9; ++i) t[2 + i] = static_cast<uint8_t>(0x31 + i);
  t[11] = 0x30;
  t[12] = 0xBD;  // - =   (VK_OEM_MINUS)
  t[13] = 0xDE;  // ^ ~   (VK_OEM_7)
  t[14] = 0x08;  // Backspace
  t[15] = 0x09;  // Tab
  const char row1[] = "QWERTYUIOP";
  for (int i = 0; i < 10; ++i) t[16 + i] = static_cast<uint8_t>(row1[i]);
  t[26] = 0xC0;  // @ `   (VK_OEM_3)
  t[27] = 0xDB;  // [ {   (VK_OEM_4)
  t[28] = 0x0D;  // Enter
  t[29] = 0x11;  // left Ctrl
  const char row2[] = "ASDFGHJKL";
  for (int i = 0; i < 9; ++i) t[30 + i] = static_cast<uint8_t>(row2[i]);
  t[39] = 0xBB;  // ; +   (VK_OEM_PLUS)
  t[40] = 0xBA;  // : *   (VK_OEM_1)
  t[41] = 0xF3;  // half-width/full-width (left of 1)
  t[42] = 0x10;  // left Shift
  t[43] = 0xDD;  // ] }   (VK_OEM_6)
  const char row3[] = "ZXCVBNM";
  for (int i = 0; i < 7; ++i) t[44 + i] = static_cast<uint8_t>(row3[i]);
  t[51] = 0xBC;  // , <
  t[52] = 0xBE;  // . >
  t[53] = 0xBF;  // / ?
  t[54] = 0x10;  // right Shift
  t[55] = 0x6A;  // keypad *
  t[56] = 0x12;  // left Alt
  t[57] = 0x20;  // Space
  t[58] = 0x14;  // Caps Lock
  for (int i = 0; i < 10; ++i) t[59 + i] = static_cast<uint8_t>(0x70 + i);  // F1-F10
  t[69] = 0x90;  // Num Lock
  t[70] = 0x91;  // Scroll Lock
  t[71] = 0x67;  // keypad 7
  t[72] = 0x68;  // keypad 8
  t[73] = 0x69;  // keypad 9
  t[74] = 0x6D;  // keypad -
  t[75] = 0x64;  // keypad 4
  t[76] = 0x65;  // keypad 5
  t[77] = 0x66;  // keypad 6
  t[78] = 0x6B;  // keypad +
  t[79] = 0x61;  // keypad 1
  t[80] = 0x62;  // keypad 2
  t[81] = 0x63;  // keypad 3
  t[82] = 0x60;  // keypad 0
  t[83] = 0x6E;  // keypad .
  t[85] = 0xF3;  // Zenkaku/Hankaku reported under its own name
  t[86] = 0xE2;  // the extra key of ISO boards (VK_OEM_102)
  t[87] = 0x7A;  // F11
  t[88] = 0x7B;  // F12
  t[89] = 0xE2;  // ろ _   (VK_OEM_102)
  t[90] = 0xF1;  // Katakana
  t[91] = 0xF2;  // Hiragana
  t[92] = 0x1C;  // Henkan (VK_CONVERT)
  t[93] = 0xF2;  // Katakana/Hiragana (the kana key)
  t[94] = 0x1D;  // Muhenkan (VK_NONCONVERT)
  t[96] = 0x0D;  // keypad Enter
  t[97] = 0x11;  // right Ctrl
  t[98] = 0x6F;  // keypad /
  t[99] = 0x2C;  // Print Screen
  t[100] = 0x12;  // right Alt
  t[102] = 0x24;  // Home
  t[103] = 0x26;  // Up
  t[104] = 0x21;  // Page Up
  t[105] = 0x25;  // Left
  t[106] = 0x27;  // Right
  t[107] = 0x23;  // End
  t[108] = 0x28;  // Down
  t[109] = 0x22;  // Page Down
  t[110] = 0x2D;  // Insert
  t[111] = 0x2E;  // Delete
  t[119] = 0x13;  // Pause
  t[124] = 0xDC;  // yen | (VK_OEM_5)
  t[125] = 0x5B;  // left Windows key
  t[126] = 0x5C;  // right Windows key
  t[127] = 0x5D;  // Menu (VK_APPS)
  return t;
}

constexpr std::array<uint8_t, 128> ScanTable = BuildTable();

// Keypad keys with Num Lock off: evdev code and the key they act as.
struct TKeypadAlt {
  uint8_t Evdev;
  uint8_t Vk;
};
constexpr TKeypadAlt KeypadNavigation[] = {
    {71, 0x24},  // 7 Home
    {72, 0x26},  // 8 Up
    {73, 0x21},  // 9 Page Up
    {75, 0x25},  // 4 Left
    {76, 0x0C},  // 5 Clear
    {77, 0x27},  // 6 Right
    {79, 0x23},  // 1 End
    {80, 0x28},  // 2 Down
    {81, 0x22},  // 3 Page Down
    {82, 0x2D},  // 0 Insert
    {83, 0x2E},  // . Delete
};

}  // namespace

bool IsKeypadNavigationKey(uint32_t scanCode) {
  if (scanCode < EvdevOffset) return false;
  uint32_t evdev = scanCode - EvdevOffset;
  for (const auto& k : KeypadNavigation)
    if (k.Evdev == evdev) return true;
  return false;
}

uint8_t VkFromScanCode(uint32_t scanCode, bool numLock) {
  if (scanCode < EvdevOffset) return 0;
  uint32_t evdev = scanCode - EvdevOffset;
  if (evdev >= ScanTable.size()) return 0;
  if (!numLock)
    for (const auto& k : KeypadNavigation)
      if (k.Evdev == evdev) return k.Vk;
  return ScanTable[evdev];
}
