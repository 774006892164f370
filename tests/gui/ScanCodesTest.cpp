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
  // The keys whose place differs between a US and a JIS board give the JIS
  // key of their place; the rest are samples of each block.
  const TCase cases[] = {
      {30, 0x41, "A"},        {11, 0x30, "0"},          {13, 0xDE, "^ (US =)"},
      {124, 0xDC, "yen"},     {26, 0xC0, "@ (US [)"},   {27, 0xDB, "[ (US ])"},
      {40, 0xBA, ": (US ')"}, {43, 0xDD, "] (US \\)"}, {89, 0xE2, "ro"},
      {41, 0xF3, "hankaku"},  {93, 0xF2, "kana"},       {68, 0x79, "F10"},
      {88, 0x7B, "F12"},      {96, 0x0D, "KP Enter"},   {100, 0x12, "RAlt"},
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
