// What the machine needs from the host it runs on: the sub CPU's beeper and
// the kanji character patterns (the machine's kanji ROM is not emulated; its
// glyphs are drawn with a host font). The Qt front end, the headless mode and
// the tests each supply their own implementation; nothing here touches a GUI.
//
// Both operations are called on the emulation thread, in the middle of an
// I/O access or a trap, so an implementation must be safe to call from a
// thread other than the GUI thread and should return quickly. It must never
// wait for the window thread: the window thread may at that moment be waiting
// in TMcpuThread::Suspend for the emulation thread to come to rest.
#pragma once

#include <cstdint>

class THostServices {
 public:
  virtual ~THostServices() = default;

  // The sub CPU touched its beep register: sound the host's default beep once.
  virtual void Beep() = 0;

  // Draws the character with Shift_JIS code sjis (high byte first) as a
  // 16 x 16 one-bit glyph at the top-left corner. The caller has cleared the
  // 32 bytes; row r is bytes 2r (dots 0-7) and 2r+1 (dots 8-15), most
  // significant bit leftmost, a set bit a drawn dot. A character the host
  // cannot draw is left blank.
  virtual void DrawGlyph(uint16_t sjis, uint8_t bitmap[32]) = 0;
};

// No sound, blank glyphs: for tests and runs without a host font.
class TNullHostServices : public THostServices {
 public:
  void Beep() override {}
  void DrawGlyph(uint16_t, uint8_t[32]) override {}
};
