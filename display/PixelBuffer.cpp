// Pixel buffer of the sub CPU's video RAM: the scroll rotation and the reader
// side. The per-write update is inline in the header (it is on the hot path of
// every video RAM store).
#include "PixelBuffer.h"

void TDisplayState::ScrollPixels(unsigned delta) {
  // One pixel word per plane offset, so a rotation by delta plane bytes is a
  // rotation by delta words.
  size_t d = delta & (PlaneBytes - 1);
  if (d == 0) return;
  constexpr auto relaxed = std::memory_order_relaxed;
  for (size_t i = 0; i < d; ++i) ScrollScratch[i] = PixelBuffer[i].load(relaxed);
  for (size_t i = 0; i < PlaneBytes - d; ++i)
    PixelBuffer[i].store(PixelBuffer[i + d].load(relaxed), relaxed);
  for (size_t i = 0; i < d; ++i)
    PixelBuffer[PlaneBytes - d + i].store(ScrollScratch[i], relaxed);
}

void TDisplayState::CopyPixels(uint8_t* out, size_t first, size_t count) const {
  size_t word = first >> 3;
  for (size_t n = 0; n < count; n += 8, ++word) {
    uint64_t w = PixelBuffer[word & (PlaneBytes - 1)].load(std::memory_order_relaxed);
    for (int j = 0; j < 8; ++j) out[n + j] = static_cast<uint8_t>(w >> (8 * j));
  }
}

void TDisplayState::ResetPlanesAndPalette() {
  WritePlanes.store(7, std::memory_order_relaxed);
  DisplayPlanes.store(7, std::memory_order_relaxed);
  for (uint32_t i = 0; i < 8; ++i) Palette[i].store(i, std::memory_order_relaxed);
}

void TDisplayState::RebuildPixels(const uint8_t* planes) {
  for (size_t k = 0; k < PlaneBytes; ++k) {
    const uint64_t w = PixelTables.ExpandWord[planes[k]] |
                       PixelTables.ExpandWord[planes[PlaneBytes + k]] << 1 |
                       PixelTables.ExpandWord[planes[2 * PlaneBytes + k]] << 2;
    PixelBuffer[k].store(w, std::memory_order_relaxed);
  }
}
