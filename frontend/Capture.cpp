// The capture picture, its bitmap file and the text copy of the screen.
#include "Capture.h"

#include "FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <png.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

TCapturePicture BuildCapturePicture(std::span<const uint8_t> pixelBuffer, uint8_t displayPlanes,
                                    const std::array<uint8_t, 8>& palette) {
  TCapturePicture pic;
  constexpr size_t kMachineRows = 200;
  for (size_t y = 0; y < kMachineRows; ++y) {
    uint8_t* top = &pic.Pixels[2 * y * TCapturePicture::Width];
    uint8_t* bottom = top + TCapturePicture::Width;
    for (size_t x = 0; x < TCapturePicture::Width; ++x) {
      const size_t i = y * TCapturePicture::Width + x;
      const uint8_t code = i < pixelBuffer.size() ? (pixelBuffer[i] & displayPlanes & 7) : 0;
      top[x] = bottom[x] = palette[code] & 7;
    }
  }
  return pic;
}

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const TCapturePicture& picture) {
  constexpr uint32_t kColours = 8;
  constexpr uint32_t kHeaderBytes = 14 + 40 + 4 * kColours;
  constexpr uint32_t kRowBytes = TCapturePicture::Width;  // 640 is a multiple of 4
  constexpr uint32_t kImageBytes = kRowBytes * TCapturePicture::Height;
  std::vector<uint8_t> v;
  v.reserve(kHeaderBytes + kImageBytes);
  // File header.
  v.push_back('B');
  v.push_back('M');
  Put32(v, kHeaderBytes + kImageBytes);
  Put32(v, 0);
  Put32(v, kHeaderBytes);
  // Information header (BITMAPINFOHEADER).
  Put32(v, 40);
  Put32(v, TCapturePicture::Width);
  Put32(v, TCapturePicture::Height);  // positive: bottom-up rows
  Put16(v, 1);                        // planes
  Put16(v, 8);                        // bits per pixel
  Put32(v, 0);                        // no compression
  Put32(v, kImageBytes);
  Put32(v, 3780);  // 96 dots per inch, in dots per metre
  Put32(v, 3780);
  Put32(v, kColours);
  Put32(v, kColours);
  // Colour table: blue, green, red, reserved.
  for (uint32_t c = 0; c < kColours; ++c) {
    TRgb rgb = CaptureRgb(c);
    v.push_back(rgb.B);
    v.push_back(rgb.G);
    v.push_back(rgb.R);
    v.push_back(0);
  }
  for (int y = TCapturePicture::Height - 1; y >= 0; --y) {
    const uint8_t* row = &picture.Pixels[static_cast<size_t>(y) * TCapturePicture::Width];
    v.insert(v.end(), row, row + TCapturePicture::Width);
  }
  return v;
}

std::vector<uint8_t> EncodePng(const TCapturePicture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = TCapturePicture::Width;
  image.height = TCapturePicture::Height;
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = 8;
  uint8_t colours[8 * 3];
  for (unsigned c = 0; c < 8; ++c) {
    const TRgb rgb = CaptureRgb(c);
    colours[3 * c] = rgb.R;
    colours[3 * c + 1] = rgb.G;
    colours[3 * c + 2] = rgb.B;
  }
  // Indexes above 7 would point past the palette; the picture holds none,
  // but the encoder must not be handed one.
  std::vector<uint8_t> indexes(picture.Pixels.size());
  std::transform(picture.Pixels.begin(), picture.Pixels.end(), indexes.begin(),
                 [](uint8_t c) { return static_cast<uint8_t>(c & 7); });
  // First call sizes the file, second writes it.
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, indexes.data(), TCapturePicture::Width, colours))
    return {};
  std::vector<uint8_t> v(size);
  if (!png_image_write_to_memory(&image, v.data(), &size, 0, indexes.data(), TCapturePicture::Width, colours))
    return {};
  v.resize(size);
  return v;
}

bool IsPngName(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".png";
}

std::string SavePicture(const TCapturePicture& picture, const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = IsPngName(path) ? EncodePng(picture) : EncodeBmp(picture);
  if (bytes.empty()) return "the PNG encoder failed";
  return ReplaceFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string CopyTextScreen(const std::function<uint8_t(uint16_t)>& readSub) {
  unsigned columns = readSub(0xD036);
  unsigned rows = readSub(0xD037);
  if (columns > 80) columns = 80;
  if (rows > 25) rows = 25;
  std::string text;
  text.reserve(rows * (columns + 2));
  for (unsigned r = 0; r < rows; ++r) {
    for (unsigned k = 0; k < columns; ++k) {
      uint8_t c = readSub(static_cast<uint16_t>(0xC000 + r * columns + k));
      text.push_back(static_cast<char>(c == 0 ? 0x20 : c));
    }
    text += "\r\n";
  }
  return text;
}

std::string TextScreenToUtf8(const std::string& machineText) {
  std::string out, line;
  auto endLine = [&] {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
    line.clear();
  };
  for (size_t i = 0; i < machineText.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(machineText[i]);
    if (c == 0x0D && i + 1 < machineText.size() && machineText[i + 1] == '\n') {
      endLine();
      ++i;
    } else if (c >= 0x20 && c < 0x7F) {
      line.push_back(static_cast<char>(c));
    } else if (c >= 0xA1 && c <= 0xDF) {
      // U+FF61 + (c - A1), three bytes in UTF-8.
      const unsigned u = 0xFF61 + (c - 0xA1);
      line.push_back(static_cast<char>(0xE0 | (u >> 12)));
      line.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      line.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      line.push_back(' ');
    }
  }
  if (!line.empty()) endLine();
  return out;
}
