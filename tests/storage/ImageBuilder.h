// Test images: VFD and D88 disk builders (the standard disk has 40 tracks,
// 2 sides and 16 sectors of 256 bytes, each byte recognisable by its
// position) and a scratch folder that is removed when the test ends.
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

// A D88 disk built sector by sector. Tracks[i] is track side i (track × 2
// + side); data byte j of the k-th sector stored on track side i is
// D88Byte(i, k, j).
struct TD88Sector {
  uint8_t C, H, R, N;
  uint16_t Length;
  uint8_t Deleted = 0, Status = 0;
};

inline uint8_t D88Byte(int side, int k, int j) { return static_cast<uint8_t>(side * 13 + k * 57 + j); }

struct TD88Image {
  std::string Name;
  bool Protect = false;
  bool ShortHeader = false;   // 160 track entries (0x2A0 bytes) instead of 164
  bool FillUnused = false;    // unused entries hold the disk size, not 0
  std::vector<std::vector<TD88Sector>> Tracks;
  size_t Cut = 0;  // bytes cut off the end (the disk size follows)
  std::vector<size_t> DataOffsets;  // filled by Build, in storage order

  std::vector<uint8_t> Build() {
    const size_t header = ShortHeader ? 0x2A0 : 0x2B0;
    const size_t entries = ShortHeader ? 160 : 164;
    std::vector<uint8_t> b(header, 0);
    std::copy(Name.begin(), Name.end(), b.begin());
    b[0x1A] = Protect ? 0x10 : 0;
    auto put = [&b](size_t at, uint32_t v, int n) {
      for (int i = 0; i < n; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    std::vector<size_t> unused;
    DataOffsets.clear();
    for (size_t side = 0; side < entries; ++side) {
      if (side >= Tracks.size() || Tracks[side].empty()) {
        unused.push_back(side);
        continue;
      }
      put(0x20 + 4 * side, static_cast<uint32_t>(b.size()), 4);
      for (size_t k = 0; k < Tracks[side].size(); ++k) {
        const TD88Sector& s = Tracks[side][k];
        const size_t at = b.size();
        b.resize(at + 16 + s.Length);
        b[at] = s.C, b[at + 1] = s.H, b[at + 2] = s.R, b[at + 3] = s.N;
        put(at + 4, static_cast<uint32_t>(Tracks[side].size()), 2);
        b[at + 7] = s.Deleted, b[at + 8] = s.Status;
        put(at + 14, s.Length, 2);
        DataOffsets.push_back(at + 16);
        for (int j = 0; j < s.Length; ++j) b[at + 16 + j] = D88Byte(static_cast<int>(side), static_cast<int>(k), j);
      }
    }
    b.resize(b.size() - Cut);
    put(0x1C, static_cast<uint32_t>(b.size()), 4);
    if (FillUnused)
      for (size_t side : unused) put(0x20 + 4 * side, static_cast<uint32_t>(b.size()), 4);
    return b;
  }
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
