// The host-side mirror of the sub CPU's video RAM and the display state the
// main CPU programs.
//
// Video RAM is three planes of 16384 bytes; byte k of a plane covers eight
// adjacent pixels, most significant bit leftmost, and plane p supplies bit p of
// each pixel's colour code. The pixel buffer holds one code per pixel in the
// same order as the plane offsets (pixel 8k + j is bit 7 - j of offset k), so
// drawing a frame never decodes planes: every video RAM write updates the
// eight pixels it covers, and a scroll rotates the buffer with the planes.
//
// The emulation thread is the only writer; the window thread reads the buffer
// and the plane, CRT and palette state while the machine runs. Every shared
// word is a std::atomic accessed relaxed: neither side ever waits, and a frame
// may show a picture in the middle of an update. The buffer is stored as
// 16384 64-bit words, one per video RAM offset (byte j of word k, counted from
// the least significant end, is pixel 8k + j), so a video RAM write is one
// masked word update and a scroll moves whole words.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>

// Look-up tables for the pixel buffer, constant for the life of the program.
struct TPixelTables {
  // Row v, byte j = bit (7 - j) of v, as 0 or 1.
  uint8_t BitExpandTable[256][8];
  // Row i: four bytes each equal to i (a 32-bit word repeating a plane bit or
  // the display plane mask in every byte).
  uint8_t RepeatTable[8][4];
  // Row v of BitExpandTable as one word, byte j at bits 8j..8j+7.
  uint64_t ExpandWord[256];
};

// Fills the tables by the rules above.
constexpr TPixelTables BuildTables() {
  TPixelTables t{};
  for (int v = 0; v < 256; ++v) {
    uint64_t w = 0;
    for (int j = 0; j < 8; ++j) {
      t.BitExpandTable[v][j] = static_cast<uint8_t>((v >> (7 - j)) & 1);
      w |= static_cast<uint64_t>(t.BitExpandTable[v][j]) << (8 * j);
    }
    t.ExpandWord[v] = w;
  }
  for (int i = 0; i < 8; ++i)
    for (int b = 0; b < 4; ++b) t.RepeatTable[i][b] = static_cast<uint8_t>(i);
  return t;
}

inline constexpr TPixelTables PixelTables = BuildTables();

// The 32-bit word of row i of RepeatTable: i in each of its four bytes.
constexpr uint32_t RepeatWord(unsigned i) { return (i & 7) * 0x01010101u; }

// Machine colour (bit 0 blue, bit 1 red, bit 2 green) as 0xRRGGBB.
constexpr uint32_t MachineColourRgb(unsigned colour) {
  return ((colour & 2) ? 0xFF0000u : 0) | ((colour & 4) ? 0x00FF00u : 0) |
         ((colour & 1) ? 0x0000FFu : 0);
}

// On a little-endian host the words' bytes in memory are exactly the pixel
// codes in order (131072 bytes, pixel i at byte i).
static_assert(std::endian::native == std::endian::little,
              "the pixel buffer's word layout assumes a little-endian host");

struct TDisplayState {
  static constexpr size_t PlaneBytes = 16384;            // bytes per plane
  static constexpr size_t PixelCount = PlaneBytes * 8;   // 131072
  static constexpr size_t ScreenWidth = 640;
  static constexpr size_t ScreenHeight = 200;

  TDisplayState() = default;
  TDisplayState(const TDisplayState&) = delete;
  TDisplayState& operator=(const TDisplayState&) = delete;

  // The pixel codes, one word per video RAM offset (see the file comment).
  alignas(64) std::atomic<uint64_t> PixelBuffer[PlaneBytes] = {};

  // Bit n set: plane n is shown (pixel codes are ANDed with it).
  std::atomic<uint32_t> DisplayPlanes{7};
  // Bit n set: writes to plane n take effect.
  std::atomic<uint32_t> WritePlanes{7};
  // 0 while the sub CPU has switched the display off (black frames).
  std::atomic<uint32_t> CrtOn{1};
  // Logical colour (pixel code) -> machine colour, each 0-7.
  std::atomic<uint32_t> Palette[8] = {0, 1, 2, 3, 4, 5, 6, 7};

  // Emulation thread. The sub CPU wrote value to video address address
  // (0000-BFFF). If the address's plane is not writable (or is plane 3, C000
  // and above) nothing changes and false is returned; otherwise the eight
  // pixels of the offset get bit n replaced and true is returned (the caller
  // then stores the byte in video RAM).
  bool UpdatePixels(uint16_t address, uint8_t value) {
    unsigned plane = address >> 14;
    if (plane > 2 ||
        !(WritePlanes.load(std::memory_order_relaxed) & (1u << plane)))
      return false;
    std::atomic<uint64_t>& w = PixelBuffer[address & 0x3FFF];
    uint64_t keep = ~(0x0101010101010101ull << plane);
    uint64_t set = PixelTables.ExpandWord[value] << plane;
    w.store((w.load(std::memory_order_relaxed) & keep) | set,
            std::memory_order_relaxed);
    return true;
  }

  // Emulation thread. Every video RAM plane has been rotated left by delta
  // bytes (a multiple of 32, 0-16352); rotate the pixels with them: new pixel
  // i = old pixel (i + 8 delta) mod 131072.
  void ScrollPixels(unsigned delta);

  // Emulation thread (or with it at rest). Every pixel from the three video
  // RAM planes at planes (3 x PlaneBytes, plane 0 first), as a restored
  // machine's buffer is rebuilt.
  void RebuildPixels(const uint8_t* planes);

  // Readers (any thread).
  // The eight pixel codes of video RAM offset k, pixel 8k + j in byte j.
  uint64_t PixelWord(size_t k) const {
    return PixelBuffer[k & (PlaneBytes - 1)].load(std::memory_order_relaxed);
  }
  uint8_t Pixel(size_t i) const {
    return static_cast<uint8_t>(
        PixelBuffer[(i >> 3) & (PlaneBytes - 1)].load(
            std::memory_order_relaxed) >> (8 * (i & 7)));
  }
  // Copies count pixel codes starting at pixel first (first and count
  // multiples of 8, first + count <= PixelCount) to out.
  void CopyPixels(uint8_t* out, size_t first, size_t count) const;

  // The state after a reset of the main side: all planes shown and writable,
  // identity palette.
  void ResetPlanesAndPalette();

 private:
  // Scratch space for ScrollPixels; the emulation thread's alone.
  uint64_t ScrollScratch[PlaneBytes] = {};
};
