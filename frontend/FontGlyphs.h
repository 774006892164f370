// Kanji patterns for runs without a window: the same host font the window
// draws them in (the first installed of MS Gothic, IPAGothic and Noto Sans
// Mono CJK JP, found through fontconfig), rendered by FreeType at 16 pixels
// without antialiasing, the character's baseline on row 14, Shift_JIS decoded
// by ICU. Fontconfig's rendering choices for the face (hinting, autohinter,
// embedded bitmaps) are followed as the window follows them, so both give the
// same 32 bytes. No Qt and no display needed.
#pragma once

#include <cstdint>
#include <memory>

class TFontGlyphs {
 public:
  TFontGlyphs();
  ~TFontGlyphs();
  TFontGlyphs(const TFontGlyphs&) = delete;
  TFontGlyphs& operator=(const TFontGlyphs&) = delete;

  // Draws the character with Shift_JIS code sjis (lead byte high; a code
  // below 0x100 is a single-byte character) into bitmap: row r is bytes 2r
  // and 2r + 1, most significant bit leftmost, a set bit a drawn dot. The
  // caller has cleared the 32 bytes; a code that is not a printable
  // character, or any code when no font is installed, is left blank. The
  // font is looked up at the first call. Not thread-safe: one caller (the
  // emulation thread) per object.
  void Draw(uint16_t sjis, uint8_t bitmap[32]);

  // Whether a font was found; looks it up if that has not happened yet.
  bool HasFont();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> Impl;
};
