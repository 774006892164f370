// Capture and text copy on a running computer.
#include "MachineLink.h"

#include <vector>

#include "Scpuio.h"

TCapturePicture CaptureScreen(const TDisplayState& display) {
  std::vector<uint8_t> pixels(TDisplayState::ScreenWidth * TDisplayState::ScreenHeight);
  display.CopyPixels(pixels.data(), 0, pixels.size());
  std::array<uint8_t, 8> palette{};
  for (int i = 0; i < 8; ++i)
    palette[i] = static_cast<uint8_t>(display.Palette[i].load(std::memory_order_relaxed) & 7);
  const auto planes = static_cast<uint8_t>(display.DisplayPlanes.load(std::memory_order_relaxed) & 7);
  return BuildCapturePicture(pixels, planes, palette);
}

std::string CopyTextScreen(const TScpuIo& sub) {
  return CopyTextScreen([&sub](uint16_t a) { return sub.Bank[0][a]; });
}
