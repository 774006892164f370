// Builders for the disk and tape images the storage tests mount: a standard
// disk (40 tracks, 2 sides, 16 sectors of 256 bytes) with a recognisable
// byte in every position, odd geometries, and tape streams with the
// firmware's file headers. Files go to a per-process scratch folder that is
// removed when the test ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace storage_test {

// The byte the builder puts at position i of sector s, track t, side h.
inline uint8_t SectorByte(int t, int h, int s, int i) {
  return static_cast<uint8_t>(t * 7 + h * 101 + s * 31 + i);
}

struct TDiskImage {
  std::vector<uint8_t> Bytes = std::vector<uint8_t>(480, 0);

  void SetEntry(int t, int h, uint32_t offset, uint8_t code, uint8_t count) {
    uint8_t* e = &Bytes[6 * (2 * t + h)];
    e[0] = static_cast<uint8_t>(offset);
    e[1] = static_cast<uint8_t>(offset >> 8);
    e[2] = static_cast<uint8_t>(offset >> 16);
    e[3] = static_cast<uint8_t>(offset >> 24);
    e[4] = code;
    e[5] = count;
  }

  // Appends a track side of count sectors of size bytes, filled with
  // SectorByte, and points the table entry at it.
  void AddTrack(int t, int h, uint8_t code, int size, int count) {
    SetEntry(t, h, static_cast<uint32_t>(Bytes.size()), code,
             static_cast<uint8_t>(count));
    for (int s = 1; s <= count; ++s)
      for (int i = 0; i < size; ++i) Bytes.push_back(SectorByte(t, h, s, i));
  }

  // Puts bytes at the start of an existing sector of the table.
  void PutSector(int t, int h, int s, const std::vector<uint8_t>& data) {
    const uint8_t* e = &Bytes[6 * (2 * t + h)];
    const size_t size = e[4] == 0 ? 128 : e[4] == 4 ? 1024 : e[4] * 256u;
    const size_t at = (e[0] | e[1] << 8 | e[2] << 16 | static_cast<size_t>(e[3]) << 24) +
                      size * static_cast<size_t>(s - 1);
    for (size_t i = 0; i < data.size(); ++i) Bytes.at(at + i) = data[i];
  }

  // 40 tracks x 2 sides x 16 sectors of 256 bytes.
  static TDiskImage Standard() {
    TDiskImage image;
    for (int t = 0; t < 40; ++t)
      for (int h = 0; h < 2; ++h) image.AddTrack(t, h, 1, 256, 16);
    return image;
  }
};

class TScratch {
 public:
  TScratch() {
    static int serial = 0;
    Dir = std::filesystem::temp_directory_path() /
          ("quillon-storage-" + std::to_string(::getpid()) + "-" +
           std::to_string(serial++));
    std::filesystem::create_directories(Dir);
  }
  ~TScratch() {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  std::string Path(const std::string& name) const { return (Dir / name).string(); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string path = Path(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path Dir;
};

// The firmware's file header on tape: 01 3C 00, a length byte and the
// 8-byte name.
inline std::vector<uint8_t> TapeHeader(const std::vector<uint8_t>& name8) {
  std::vector<uint8_t> h = {0x01, 0x3C, 0x00, 0x14};
  h.insert(h.end(), name8.begin(), name8.end());
  return h;
}

inline std::vector<uint8_t> Name8(const std::string& text) {
  std::vector<uint8_t> n(text.begin(), text.end());
  n.resize(8, 0x20);
  return n;
}

}  // namespace storage_test
