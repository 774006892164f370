// Kanji patterns drawn with the host font.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "FontGlyphs.h"
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

// Headless runs draw with FreeType what the window draws with Qt: every
// code, one byte or two, gives the same 32 bytes.
TEST(Kanjifont, HeadlessGlyphsAreTheWindowsGlyphs) {
  TFontGlyphs headless;
  if (!headless.HasFont()) GTEST_SKIP() << "no kanji font installed";
  int differ = 0;
  for (unsigned code = 0; code <= 0xFFFF; ++code) {
    uint8_t window[32] = {}, ours[32] = {};
    DrawKanjiGlyph(static_cast<uint16_t>(code), window);
    headless.Draw(static_cast<uint16_t>(code), ours);
    if (std::memcmp(window, ours, 32) != 0 && ++differ <= 5) ADD_FAILURE() << "differs at " << std::hex << code;
  }
  EXPECT_EQ(differ, 0);
}

// The machine's kanji read path in a headless run (the monitor's KANJI
// command prints the 32 bytes it got): the window's pattern, run after run.
TEST(Kanjifont, HeadlessKanjiCommandShowsTheWindowsPattern) {
  const std::string bin = QUILLON_BIN_DIR;
  if (!std::filesystem::exists(bin + "/fb30sub.dat") || !TFontGlyphs().HasFont())
    GTEST_SKIP() << "no firmware beside the program or no kanji font";
  auto run = [&] {
    const std::string cmd = "'" + bin + "/quillon' --headless --firmware '" + bin +
                            "' --wait-text Ok --type 'MON\\r' --wait-text '> ' --type 'KANJI 3021\\r' "
                            "--run 300 --print-screen";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
      char buf[4096];
      for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
      pclose(p);
    }
    std::string bytes;
    const size_t at = out.find("KANJI 3021\n");
    if (at == std::string::npos) return out;
    std::istringstream hex(out.substr(at + 11));
    for (unsigned v; bytes.size() < 32 && hex >> std::hex >> v;) bytes.push_back(static_cast<char>(v));
    return bytes;
  };
  uint8_t window[32] = {};
  DrawKanjiGlyph(0x889F, window);  // JIS 3021 in Shift_JIS
  const std::string first = run();
  ASSERT_EQ(first, std::string(reinterpret_cast<char*>(window), 32));
  EXPECT_EQ(run(), first);
}

}  // namespace
