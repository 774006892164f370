// Test images: a disk builder (the standard disk has 40 tracks, 2 sides and
// 16 sectors of 256 bytes, each byte recognisable by its position) and a
// scratch folder that is removed when the test ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace storage_test {

inline uint8_t SectorByte(int t, int h, int s, int i) {
  return static_cast<uint8_t>(t * 7 + h * 101 + s * 31 + i);
}

struct TDiskImage {
  std::vector<uint8_t> Bytes = std::vector<uint8_t>(480, 0);

  void SetEntry(int t, int h, uint32_t offset, uint8_t code, uint8_t count) {
    uint8_t* e = &Bytes[6 * (2 * t + h)];
    for (int i = 0; i < 4; ++i) e[i] = static_cast<uint8_t>(offset >> (8 * i));
    e[4] = code;
    e[5] = count;
  }
  // Appends count sectors of size bytes for track t, side h.
  void AddTrack(int t, int h, uint8_t code, int size, int count) {
    SetEntry(t, h, static_cast<uint32_t>(Bytes.size()), code, static_cast<uint8_t>(count));
    for (int s = 1; s <= count; ++s)
      for (int i = 0; i < size; ++i) Bytes.push_back(SectorByte(t, h, s, i));
  }
  static TDiskImage Standard() {
    TDiskImage image;
    for (int t = 0; t < 40; ++t)
      for (int h = 0; h < 2; ++h) image.AddTrack(t, h, 1, 256, 16);
    return image;
  }
  static size_t StandardOffset(int t, int h, int s) { return 480 + ((2 * t + h) * 16 + s - 1) * 256; }
};

class TScratch {
 public:
  TScratch() {
    static int serial = 0;
    Dir = std::filesystem::temp_directory_path() /
          ("quillon-storage-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(Dir);
  }
  ~TScratch() {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }
  std::string Path(const std::string& name) const { return (Dir / name).string(); }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return Path(name);
  }
  static std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path Dir;
};

}  // namespace storage_test
