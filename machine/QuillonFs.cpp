// Our BASIC's disk file system seen from the host (see QuillonFs.h).
#include "QuillonFs.h"

#include <algorithm>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <unistd.h>

#include "core/PlainFile.h"

namespace {

constexpr uint8_t Mark[4] = {'Q', 'F', 'S', '1'};
// LDA $FD0F / LDD #"AU" / STD $7F00 / JMP [$FBFE]: the BASIC image's cold
// start, told to RUN the file AUTORUN when the disk has one.
constexpr uint8_t BootCode[13] = {0xB6, 0xFD, 0x0F, 0xCC, 0x41, 0x55, 0xFD, 0x7F, 0x00, 0x6E, 0x9F, 0xFB, 0xFE};
constexpr uint8_t Free = 0x00, Last = 0xFF, System = 0xFE;

uint32_t Size24(const uint8_t* e) { return static_cast<uint32_t>(e[13] << 16 | e[14] << 8 | e[15]); }

std::string Shown(const uint8_t* e) {
  auto part = [](const uint8_t* p, int n) {
    std::string s(reinterpret_cast<const char*>(p), n);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
  };
  const std::string ext = part(e + 8, 3);
  return part(e, 8) + (ext.empty() ? "" : "." + ext);
}

}  // namespace

void TQfsDisk::Format() {
  std::fill(Bytes.begin(), Bytes.begin() + 8 * SectorBytes, 0);
  std::copy(std::begin(BootCode), std::end(BootCode), Sector(0));
  uint8_t* fat = Sector(FatLsn);
  fat[0] = System;
  // The disk's identity: the BASIC checks it before it writes, so that a
  // table kept for one disk never lands on another put in its place. Zero
  // means none (disks made before), so a fresh one is never zero.
  std::random_device random;
  uint32_t id = 0;
  while (id == 0) id = random();
  for (int i = 0; i < 4; ++i) fat[IdAt + i] = static_cast<uint8_t>(id >> (8 * i));
  std::copy(std::begin(Mark), std::end(Mark), fat + SectorBytes - 4);
}

bool TQfsDisk::Formatted() const {
  return std::equal(std::begin(Mark), std::end(Mark), Sector(FatLsn) + SectorBytes - 4);
}

std::vector<TQfsFile> TQfsDisk::Files() const {
  std::vector<TQfsFile> files;
  for (int slot = 0; slot < Slots; ++slot) {
    const uint8_t* e = Entry(slot);
    if (e[0] == 0) continue;
    files.push_back({Shown(e), e[11], e[12], Size24(e), slot});
  }
  return files;
}

uint32_t TQfsDisk::FreeBytes() const {
  const uint8_t* fat = Sector(FatLsn);
  return static_cast<uint32_t>(std::count(fat + 1, fat + Clusters, Free)) * ClusterSectors * SectorBytes;
}

bool TQfsDisk::DirName(const std::string& name, uint8_t out[11]) {
  std::fill(out, out + 11, ' ');
  const size_t dot = name.find('.');
  const std::string base = name.substr(0, dot), ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  int at = 0;
  for (const std::string* part : {&base, &ext}) {
    for (char c : *part) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (u < '!' || u == ':' || u == '.' || u >= 0x80) return false;
      out[at++] = static_cast<uint8_t>(u >= 'a' && u <= 'z' ? u - 32 : u);
    }
    at = 8;
  }
  return true;
}

int TQfsDisk::Find(const uint8_t name[11]) const {
  for (int slot = 0; slot < Slots; ++slot)
    if (Entry(slot)[0] != 0 && std::memcmp(Entry(slot), name, 11) == 0) return slot;
  return -1;
}

std::vector<int> TQfsDisk::Chain(uint8_t first, uint32_t size, std::string& why) const {
  const uint8_t* fat = Sector(FatLsn);
  const uint32_t want = (size + ClusterSectors * SectorBytes - 1) / (ClusterSectors * SectorBytes);
  std::vector<int> chain;
  for (int c = first; c != Last;) {
    if (c == 0 || c >= Clusters || chain.size() >= want) {
      why = "the file's clusters do not match its size";
      return {};
    }
    chain.push_back(c);
    c = fat[c];
  }
  if (chain.size() != want) {
    why = "the file's clusters do not match its size";
    return {};
  }
  return chain;
}

std::string TQfsDisk::Read(const std::string& name, std::vector<uint8_t>& data, uint8_t* kind) const {
  uint8_t n[11];
  if (!Formatted()) return "not a disk of the BASIC's file system";
  if (!DirName(name, n)) return "bad file name: " + name;
  const int slot = Find(n);
  if (slot < 0) return "no such file: " + name;
  const uint8_t* e = Entry(slot);
  std::string why;
  const std::vector<int> chain = Chain(e[12], Size24(e), why);
  if (!why.empty()) return name + ": " + why;
  data.clear();
  for (int c : chain) {
    const uint8_t* p = Sector(c * ClusterSectors);
    data.insert(data.end(), p, p + ClusterSectors * SectorBytes);
  }
  data.resize(Size24(e));
  if (kind) *kind = e[11];
  return {};
}

std::string TQfsDisk::Write(const std::string& name, uint8_t kind, const std::vector<uint8_t>& data) {
  uint8_t n[11];
  if (!Formatted()) return "not a disk of the BASIC's file system";
  if (!DirName(name, n)) return "bad file name: " + name;
  const int old = Find(n);
  int slot = old;
  for (int s = 0; s < Slots && slot < 0; ++s)
    if (Entry(s)[0] == 0) slot = s;
  if (slot < 0) return "the directory is full";
  uint8_t* fat = Sector(FatLsn);
  const size_t clusterBytes = ClusterSectors * SectorBytes;
  const size_t need = (data.size() + clusterBytes - 1) / clusterBytes;
  std::vector<int> chain;
  for (int c = 1; c < Clusters && chain.size() < need; ++c)
    if (fat[c] == Free) chain.push_back(c);
  if (chain.size() < need || data.size() > 0xFFFFFF) return "the disk is full";
  for (size_t i = 0; i < chain.size(); ++i) {
    uint8_t* p = Sector(chain[i] * ClusterSectors);
    const size_t from = i * clusterBytes, count = std::min(clusterBytes, data.size() - from);
    std::copy(data.begin() + static_cast<long>(from), data.begin() + static_cast<long>(from + count), p);
    fat[chain[i]] = i + 1 < chain.size() ? static_cast<uint8_t>(chain[i + 1]) : Last;
  }
  uint8_t* e = Sector(DirLsn + slot / 16) + (slot % 16) * 16;
  const uint8_t oldFirst = old >= 0 ? e[12] : Last;
  std::copy(n, n + 11, e);
  e[11] = kind;
  e[12] = chain.empty() ? Last : static_cast<uint8_t>(chain[0]);
  e[13] = static_cast<uint8_t>(data.size() >> 16);
  e[14] = static_cast<uint8_t>(data.size() >> 8);
  e[15] = static_cast<uint8_t>(data.size());
  for (int c = oldFirst, guard = 0; c > 0 && c < Clusters && guard < Clusters; ++guard) {
    const int next = fat[c];
    fat[c] = Free;
    c = next;
  }
  return {};
}

std::string TQfsDisk::Remove(const std::string& name) {
  uint8_t n[11];
  if (!Formatted()) return "not a disk of the BASIC's file system";
  if (!DirName(name, n)) return "bad file name: " + name;
  const int slot = Find(n);
  if (slot < 0) return "no such file: " + name;
  uint8_t* e = Sector(DirLsn + slot / 16) + (slot % 16) * 16;
  uint8_t* fat = Sector(FatLsn);
  for (int c = e[12], guard = 0; c > 0 && c < Clusters && guard < Clusters; ++guard) {
    const int next = fat[c];
    fat[c] = Free;
    c = next;
  }
  e[0] = 0;
  return {};
}

std::string TQfsDisk::Check(int* leaked) const {
  if (!Formatted()) return "not a disk of the BASIC's file system";
  std::vector<int> owner(Clusters, -1);
  for (const TQfsFile& f : Files()) {
    std::string why;
    for (int c : Chain(f.First, f.Size, why)) {
      if (owner[c] >= 0) return f.Name + ": shares clusters with another file";
      owner[c] = f.Slot;
    }
    if (!why.empty()) return f.Name + ": " + why;
  }
  const uint8_t* fat = Sector(FatLsn);
  if (leaked) {
    *leaked = 0;
    for (int c = 1; c < Clusters; ++c)
      if (fat[c] != Free && owner[c] < 0) ++*leaked;
  }
  return {};
}

std::string TQfsDisk::Reclaim(int* freed) {
  if (std::string why = Check(); !why.empty()) return why;
  std::vector<bool> held(Clusters, false);
  for (const TQfsFile& f : Files()) {
    std::string why;
    for (int c : Chain(f.First, f.Size, why)) held[c] = true;
  }
  uint8_t* fat = Sector(FatLsn);
  int n = 0;
  for (int c = 1; c < Clusters; ++c) {
    if (fat[c] != Free && !held[c]) {
      fat[c] = Free;
      ++n;
    }
  }
  if (freed) *freed = n;
  return {};
}

TQfsImage::~TQfsImage() {
  if (Fd >= 0) ::close(Fd);
}

std::string TQfsImage::Open(const std::string& path, bool write) {
  int why = 0;
  Fd = OpenPlainFile(path, write ? O_RDWR : O_RDONLY, &why);
  if (Fd < 0) return path + ": " + OpenFailureText(why);
  TDiskLayout layout;
  const std::vector<TD88Disk> disks = ListD88Disks(Fd);
  if (!(disks.empty() ? ReadVfdLayout(Fd, layout) : ReadD88Layout(Fd, disks[0], layout)))
    return path + ": cannot be read";
  Offsets.assign(TQfsDisk::Sectors, -1);
  for (int side = 0; side < 80; ++side) {
    for (uint32_t i = layout.First[side]; i < layout.First[side + 1]; ++i) {
      const TSectorRecord& s = layout.Sectors[i];
      if (s.R >= 1 && s.R <= 16 && s.Bytes == TQfsDisk::SectorBytes && !(s.Flags & SECTOR_NO_DATA))
        Offsets[side * 16 + s.R - 1] = s.Offset;
    }
  }
  for (int lsn = 0; lsn < TQfsDisk::Sectors; ++lsn) {
    if (Offsets[lsn] < 0) return path + ": not a disk of 40 tracks, 2 sides and 16 sectors of 256 bytes";
    uint8_t* p = Disk.Bytes.data() + lsn * TQfsDisk::SectorBytes;
    if (::pread(Fd, p, TQfsDisk::SectorBytes, Offsets[lsn]) != TQfsDisk::SectorBytes)
      return path + ": shorter than its sector table";
  }
  Original = Disk.Bytes;
  return {};
}

std::string TQfsImage::Save() {
  // Data sectors first, then the allocation table, then the directory and
  // the boot sector, each group on the disk before the next is written.
  const std::pair<int, int> groups[] = {{8, TQfsDisk::Sectors}, {1, 2}, {2, 8}, {0, 1}};
  for (const auto& [from, to] : groups) {
    bool wrote = false;
    for (int lsn = from; lsn < to; ++lsn) {
      const long at = static_cast<long>(lsn) * TQfsDisk::SectorBytes;
      if (std::equal(Disk.Bytes.begin() + at, Disk.Bytes.begin() + at + TQfsDisk::SectorBytes, Original.begin() + at))
        continue;
      if (::pwrite(Fd, Disk.Bytes.data() + at, TQfsDisk::SectorBytes, Offsets[lsn]) != TQfsDisk::SectorBytes)
        return std::string("cannot write the image: ") + std::strerror(errno);
      wrote = true;
    }
    if (wrote && ::fsync(Fd) != 0) return std::string("cannot write the image: ") + std::strerror(errno);
  }
  Original = Disk.Bytes;
  return {};
}
