// Host key codes (evdev + 8) to virtual-key codes by position.
#include <gtest/gtest.h>

#include "ScanCodes.h"

namespace {

struct TCase {
  uint32_t Evdev;
  uint8_t Vk;
  const char* Key;
};

TEST(ScanCodes, KeysByPosition) {
  const TCase cases[] = {
      {30, 0x41, "A"},        {44, 0x5A, "Z"},        {16, 0x51, "Q"},
      {50, 0x4D, "M"},        {25, 0x50, "P"},        {38, 0x4C, "L"},
      {2, 0x31, "1"},         {10, 0x39, "9"},        {11, 0x30, "0"},
      {12, 0xBD, "- ="},      {13, 0xDE, "^ (US =)"}, {124, 0xDC, "yen"},
      {26, 0xC0, "@ (US [)"}, {27, 0xDB, "[ (US ])"}, {39, 0xBB, "; +"},
      {40, 0xBA, ": (US ')"}, {43, 0xDD, "] (US \\)"}, {51, 0xBC, ","},
      {52, 0xBE, "."},        {53, 0xBF, "/"},        {89, 0xE2, "ro"},
      {86, 0xE2, "ISO <>"},   {41, 0xF3, "hankaku"},  {93, 0xF2, "kana"},
      {59, 0x70, "F1"},       {68, 0x79, "F10"},      {87, 0x7A, "F11"},
      {88, 0x7B, "F12"},      {1, 0x1B, "Esc"},       {28, 0x0D, "Enter"},
      {96, 0x0D, "KP Enter"}, {14, 0x08, "BS"},       {15, 0x09, "Tab"},
      {57, 0x20, "Space"},    {42, 0x10, "LShift"},   {54, 0x10, "RShift"},
      {29, 0x11, "LCtrl"},    {97, 0x11, "RCtrl"},    {56, 0x12, "LAlt"},
      {100, 0x12, "RAlt"},    {58, 0x14, "Caps"},     {69, 0x90, "NumLock"},
      {119, 0x13, "Pause"},   {102, 0x24, "Home"},    {105, 0x25, "Left"},
      {103, 0x26, "Up"},      {106, 0x27, "Right"},   {108, 0x28, "Down"},
      {110, 0x2D, "Insert"},  {111, 0x2E, "Delete"},  {55, 0x6A, "KP *"},
      {78, 0x6B, "KP +"},     {74, 0x6D, "KP -"},     {98, 0x6F, "KP /"},
  };
  for (const auto& c : cases) EXPECT_EQ(VkFromScanCode(c.Evdev + 8), c.Vk) << c.Key;
}

TEST(ScanCodes, KeypadFollowsNumLock) {
  // evdev code, with Num Lock on, with it off
  const uint32_t keys[][3] = {{82, 0x60, 0x2D}, {79, 0x61, 0x23}, {80, 0x62, 0x28},
                              {81, 0x63, 0x22}, {75, 0x64, 0x25}, {76, 0x65, 0x0C},
                              {77, 0x66, 0x27}, {71, 0x67, 0x24}, {72, 0x68, 0x26},
                              {73, 0x69, 0x21}, {83, 0x6E, 0x2E}};
  for (const auto& k : keys) {
    EXPECT_TRUE(IsKeypadNavigationKey(k[0] + 8));
    EXPECT_EQ(VkFromScanCode(k[0] + 8, true), k[1]) << k[0];
    EXPECT_EQ(VkFromScanCode(k[0] + 8, false), k[2]) << k[0];
  }
  // Keys outside the keypad ignore Num Lock.
  EXPECT_FALSE(IsKeypadNavigationKey(30 + 8));
  EXPECT_EQ(VkFromScanCode(30 + 8, false), 0x41);
}

TEST(ScanCodes, UnknownCodesGiveNothing) {
  for (uint32_t code : {0u, 7u, 8u, 84u + 8, 128u + 8, 255u, 0xFFFFFFFFu})
    EXPECT_EQ(VkFromScanCode(code), 0) << code;
}

}  // namespace
