// The kanji patterns of the machine, drawn with a host font. The machine's
// kanji ROM is not emulated: each 16 x 16 pattern the firmware asks for is
// the character drawn in a 16-pixel Japanese gothic font without
// antialiasing, the way the original drew it with its system's gothic face.
#pragma once

#include <QFont>
#include <cstdint>

// The font the patterns are drawn in: the first installed of MS Gothic,
// IPAGothic (Debian package fonts-ipafont-gothic) and Noto Sans Mono CJK JP,
// 16 pixels high, no antialiasing.
QFont KanjiFont();

// Draws the character with Shift_JIS code sjis (lead byte high; a code below
// 0x100 is a single-byte character) into bitmap: row r is bytes 2r and
// 2r + 1, most significant bit leftmost, a set bit a drawn dot. The caller
// has cleared the 32 bytes; a code that is not a character is left blank.
// Safe to call from any thread while the application object exists.
void DrawKanjiGlyph(uint16_t sjis, uint8_t bitmap[32]);
