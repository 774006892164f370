// Kanji patterns drawn with the host font.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <cstring>

#include "Kanjifont.h"

namespace {

int Dots(const uint8_t* b) {
  int n = 0;
  for (int i = 0; i < 32; ++i) n += __builtin_popcount(b[i]);
  return n;
}

TEST(Kanjifont, UsesAJapaneseGothicFace) {
  QFontInfo info(KanjiFont());
  EXPECT_TRUE(info.family() == "IPAGothic" || info.family() == "MS Gothic" ||
              info.family() == "Noto Sans Mono CJK JP")
      << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 16);
}

TEST(Kanjifont, DrawsCharactersInsideTheCell) {
  // 漢 (8ABF), 亜 (889F), the full-width A (8260), ア (8341).
  for (uint16_t code : {0x8ABF, 0x889F, 0x8260, 0x8341}) {
    uint8_t b[32] = {};
    DrawKanjiGlyph(code, b);
    EXPECT_GT(Dots(b), 20) << std::hex << code;
    EXPECT_LT(Dots(b), 200) << std::hex << code;
  }
  // A horizontal stroke: 一 (88EA) lies in few rows, each well filled.
  uint8_t one[32] = {};
  DrawKanjiGlyph(0x88EA, one);
  int rowsUsed = 0;
  for (int r = 0; r < 16; ++r) rowsUsed += (one[2 * r] | one[2 * r + 1]) != 0;
  EXPECT_GE(rowsUsed, 1);
  EXPECT_LE(rowsUsed, 3);
}

TEST(Kanjifont, SameCodeSamePattern) {
  uint8_t a[32] = {}, b[32] = {};
  DrawKanjiGlyph(0x8ABF, a);
  DrawKanjiGlyph(0x8ABF, b);
  EXPECT_EQ(std::memcmp(a, b, 32), 0);
}

TEST(Kanjifont, NonCharactersStayBlank) {
  // The full-width space, an unassigned code, a broken lead/trail pair.
  for (uint16_t code : {0x8140, 0x85A0, 0x81FF, 0xFFFF, 0x0000}) {
    uint8_t b[32] = {};
    DrawKanjiGlyph(code, b);
    EXPECT_EQ(Dots(b), 0) << std::hex << code;
  }
}

}  // namespace
