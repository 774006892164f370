// Disk images for tests: 40 tracks, 2 sides, 16 sectors of 256 bytes, with
// whatever bytes the test wants at the start of track 0, side 0.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// Where sector s of track t, side h lies in the image file.
inline size_t SectorOffset(int t, int h, int s) { return 480 + ((2 * t + h) * 16 + s - 1) * 256; }

inline void WriteDiskImage(const std::filesystem::path& p, const std::vector<uint8_t>& track0side0) {
  std::vector<uint8_t> img(480 + 80 * 16 * 256, 0xE5);
  for (int i = 0; i < 80; ++i) {
    const uint32_t off = 480 + i * 16 * 256;
    for (int b = 0; b < 4; ++b) img[i * 6 + b] = static_cast<uint8_t>(off >> (8 * b));
    img[i * 6 + 4] = 1;   // 256-byte sectors
    img[i * 6 + 5] = 16;  // sectors 1-16
  }
  std::copy(track0side0.begin(), track0side0.end(), img.begin() + 480);
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(img.data()),
                                           static_cast<std::streamsize>(img.size()));
}

inline std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
