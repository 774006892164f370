// A tiny stand-in firmware for headless tests, hand-assembled 6809 code.
//
// Main CPU: the boot image and the BASIC image each just loop (the BASIC
// image's hot and cold start words point at its loop).
// Sub CPU: sets a 40 x 25 text screen at C000 showing "OK", paints blue
// stripes into plane 0 (lines 0-49) and green ones into plane 2 (lines
// 0-99), then loops. Its key FIRQ handler reads the code at D401 and stores
// it both at the text cursor and into plane 1 at line 150, so typed text
// shows on the text screen and in the picture.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

inline void WriteTestFirmware(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  std::vector<uint8_t> rom1(0x7C00, 0x12);  // NOP
  rom1[0] = 0x20;                           // 8000: BRA *
  rom1[1] = 0xFE;
  const uint8_t starts[] = {0x80, 0x00, 0x80, 0x00};  // FBFC hot, FBFE cold
  std::copy(std::begin(starts), std::end(starts), rom1.begin() + 0x7BFC);
  std::vector<uint8_t> rom2(0x1E0, 0x12);
  rom2[0] = 0x20;  // FE00: BRA *
  rom2[1] = 0xFE;

  const uint8_t code[] = {
      0x86, 0x28, 0xB7, 0xD0, 0x36,        // D800 LDA #40; STA $D036
      0x86, 0x19, 0xB7, 0xD0, 0x37,        // D805 LDA #25; STA $D037
      0x8E, 0xC0, 0x00, 0xBF, 0xD0, 0x40,  // D80A LDX #$C000; STX $D040
      0x8E, 0x6E, 0xE0, 0xBF, 0xD0, 0x42,  // D810 LDX #$6EE0; STX $D042
      0x10, 0x8E, 0x00, 0x00,              // D816 LDY #$0000
      0x86, 0xF0,                          // D81A LDA #$F0
      0xA7, 0xA0,                          // D81C STA ,Y+
      0x10, 0x8C, 0x0F, 0xA0,              // D81E CMPY #$0FA0
      0x26, 0xF8,                          // D822 BNE D81C
      0x10, 0x8E, 0x80, 0x00,              // D824 LDY #$8000
      0x86, 0xCC,                          // D828 LDA #$CC
      0xA7, 0xA0,                          // D82A STA ,Y+
      0x10, 0x8C, 0x9F, 0x40,              // D82C CMPY #$9F40
      0x26, 0xF8,                          // D830 BNE D82A
      0xCC, 0x4F, 0x4B, 0xFD, 0xC0, 0x00,  // D832 LDD #"OK"; STD $C000
      0x8E, 0xC0, 0x02, 0xBF, 0xD0, 0x40,  // D838 LDX #$C002; STX $D040
      0x20, 0xFE,                          // D83E BRA *
      0x34, 0x12,                          // D840 FIRQ: PSHS A,X
      0xB6, 0xD4, 0x01,                    // D842 LDA $D401
      0xBE, 0xD0, 0x40, 0xA7, 0x80, 0xBF, 0xD0, 0x40,  // D845 LDX $D040; STA ,X+; STX $D040
      0xBE, 0xD0, 0x42, 0xA7, 0x80, 0xBF, 0xD0, 0x42,  // D84D LDX $D042; STA ,X+; STX $D042
      0x35, 0x12,                          // D855 PULS A,X
      0x3B,                                // D857 RTI
      0x3B,                                // D858 NMI, SWI: RTI
      0xB6, 0xD4, 0x02, 0x3B,              // D859 IRQ: LDA $D402; RTI
  };
  std::vector<uint8_t> sub(0x2800, 0x12);
  std::copy(std::begin(code), std::end(code), sub.begin());
  const uint8_t vectors[] = {0xD8, 0x58, 0xD8, 0x58, 0xD8, 0x58, 0xD8, 0x40,  // FFF0 -, SWI3, SWI2, FIRQ
                             0xD8, 0x59, 0xD8, 0x58, 0xD8, 0x58, 0xD8, 0x00};  // IRQ, SWI, NMI, RESET
  std::copy(std::begin(vectors), std::end(vectors), sub.begin() + 0x27F0);

  auto put = [&](const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
  };
  put("fb30rom1.dat", rom1);
  put("fb30rom2.dat", rom2);
  put("fb30sub.dat", sub);
}
