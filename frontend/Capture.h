// Taking the machine's screen out of the program: the capture picture (the
// 640 x 200 graphic screen in the eight pure machine colours, each machine
// line on two rows, as the save and print commands use it), its bitmap file,
// and the text copy of the text screen that the sub CPU's firmware keeps in
// its RAM.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

// Host colour of machine colour c: bit 0 blue, bit 1 red, bit 2 green.
struct TRgb {
  uint8_t R, G, B;
  bool operator==(const TRgb&) const = default;
};
constexpr TRgb CaptureRgb(unsigned c) {
  return {static_cast<uint8_t>(c & 2 ? 255 : 0), static_cast<uint8_t>(c & 4 ? 255 : 0),
          static_cast<uint8_t>(c & 1 ? 255 : 0)};
}

// 640 x 400 pixels, one machine colour (0-7) per pixel, top row first.
struct TCapturePicture {
  static constexpr int Width = 640;
  static constexpr int Height = 400;
  std::vector<uint8_t> Pixels = std::vector<uint8_t>(Width * Height);
  uint8_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// pixelBuffer: at least 640 x 200 pixel codes, row after row; each code is
// masked with displayPlanes and looked up in palette (logical colour to
// machine colour). The display-off state is not looked at: the picture
// shows the video memory.
TCapturePicture BuildCapturePicture(std::span<const uint8_t> pixelBuffer, uint8_t displayPlanes,
                                    const std::array<uint8_t, 8>& palette);

// The picture as a Windows bitmap file: 8 bits per pixel with an eight-entry
// colour table (the machine colours), rows stored bottom-up.
std::vector<uint8_t> EncodeBmp(const TCapturePicture& picture);

// The picture as a PNG file with an eight-entry palette (the machine
// colours). Empty if the encoder fails.
std::vector<uint8_t> EncodePng(const TCapturePicture& picture);

// True when path's file name ends in ".png" (any case): such pictures are
// saved as PNG, all others as bitmaps.
bool IsPngName(const std::filesystem::path& path);

// Writes the picture (PNG or bitmap by IsPngName) with ReplaceFile
// (FileReplace.h): an existing file is replaced whole or not at all, keeps
// its mode, a link is written through and a read-only file is refused.
// Returns an empty string on success, else the failure's description.
std::string SavePicture(const TCapturePicture& picture, const std::filesystem::path& path);

// The text screen as bytes: columns from sub D036 (at most 80), rows from
// D037 (at most 25), the characters from C000 onwards, each 00 as a space,
// each row followed by 0D 0A. readSub reads one byte of the sub CPU's RAM
// without side effects.
std::string CopyTextScreen(const std::function<uint8_t(uint16_t)>& readSub);

// The machine's text bytes as UTF-8 for a terminal: ASCII as it is,
// half-width katakana (A1-DF) as their Unicode forms, other codes as spaces;
// 0D 0A line breaks become "\n" and trailing spaces of each line are dropped.
std::string TextScreenToUtf8(const std::string& machineText);
