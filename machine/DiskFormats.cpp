// Reading the two image layouts into sector lists, blank disks, and
// converting between the layouts. See DiskFormats.h.
#include "DiskFormats.h"
#include "QuillonFs.h"

#include "core/PlainFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int VfdTableBytes = 480;
constexpr int VfdTrackSides = 80;
constexpr uint32_t D88LongHeader = 0x2B0;   // 164 track entries
constexpr uint32_t D88ShortHeader = 0x2A0;  // 160 track entries
constexpr int D88SectorHeader = 16;
// No real track holds more; a count beyond it is damage, and the cap keeps
// a hostile file from making the list huge.
constexpr int MaxSectorsPerTrack = 255;

uint32_t Le16(const uint8_t* p) { return p[0] | static_cast<uint32_t>(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) {
  return p[0] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

// Reads up to count bytes at offset, fewer at the end of the file; -1 on an
// error of the file.
long ReadAt(int fd, uint8_t* buffer, size_t count, int64_t offset) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

int64_t FileSize(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

// Whether the 0x2B0 header bytes describe a disk at start of a file of
// fileSize bytes; fills disk when they do.
bool ParseD88Header(const uint8_t* h, long got, int64_t start, int64_t fileSize, TD88Disk& disk) {
  if (got < static_cast<long>(D88ShortHeader)) return false;
  const uint32_t size = Le32(h + 0x1C);
  // The first track's offset tells the header's length.
  uint32_t first = 0;
  for (int i = 0; i < 164 && !first && 0x20 + 4 * i + 4 <= got; ++i) first = Le32(h + 0x20 + 4 * i);
  if (first != D88LongHeader && first != D88ShortHeader) return false;
  if (size < first || size > fileSize - start || got < static_cast<long>(first)) return false;
  const int entries = first == D88LongHeader ? 164 : 160;
  for (int i = 0; i < entries; ++i) {
    const uint32_t e = Le32(h + 0x20 + 4 * i);
    if (e != 0 && e != size && (e < first || e >= size)) return false;
  }
  const char* name = reinterpret_cast<const char*>(h);
  disk.Name.assign(name, strnlen(name, 16));
  disk.Start = start;
  disk.Size = size;
  disk.HeaderBytes = first;
  disk.Protected = h[0x1A] != 0;
  disk.Media = h[0x1B];
  return true;
}

// Fills First[] from the track side of each sector, given in table order.
void Index(TDiskLayout& layout, const std::vector<int>& sideOf) {
  size_t at = 0;
  for (int i = 0; i <= TDiskLayout::TrackSides; ++i) {
    layout.First[i] = static_cast<uint32_t>(at);
    while (at < sideOf.size() && sideOf[at] == i) ++at;
  }
}

uint8_t FlagsOf(uint8_t deleted, uint8_t status) {
  uint8_t flags = 0;
  if (deleted == 0x10 || status == 0x10) flags |= SECTOR_DELETED;
  if (status == 0xA0 || status == 0xB0) flags |= SECTOR_CRC_ERROR;
  if (status == 0xF0) flags |= SECTOR_NO_DATA;
  return flags;
}

std::string ExtensionOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string SectorName(const TSectorRecord& s, int side) {
  return "the sector C=" + std::to_string(s.C) + " H=" + std::to_string(s.H) + " R=" +
         std::to_string(s.R) + " on track " + std::to_string(side / 2) + " side " +
         std::to_string(side % 2);
}

// The VFD size code of a sector, or -1 when none says both its N and its
// length.
int VfdCodeOf(const TSectorRecord& s) {
  if (s.Bytes == 0 && s.N == 3) return 3;
  for (uint8_t code : {0, 1, 2, 4})
    if (static_cast<int>(s.Bytes) == VfdSizeOfCode(code) && s.N == (code == 4 ? 3 : code)) return code;
  return -1;
}

// Checks that a track side can be a VFD table entry: sectors 1..count once
// each, its own track and side in every ID, one size, no marks.
std::string VfdCannotHold(const TDiskLayout& layout, int side) {
  const uint32_t from = layout.First[side], to = layout.First[side + 1];
  const uint32_t count = to - from;
  std::vector<bool> seen(count + 1, false);
  for (uint32_t i = from; i < to; ++i) {
    const TSectorRecord& s = layout.Sectors[i];
    const std::string name = SectorName(s, side);
    if (side >= VfdTrackSides) return name + " lies beyond track 39";
    if (s.C != side / 2 || s.H != side % 2) return name + " has an ID of another track";
    if (s.R < 1 || s.R > count) return name + " is out of the track's 1-" + std::to_string(count) + " sequence";
    if (seen[s.R]) return name + " is a duplicate ID";
    seen[s.R] = true;
    if (s.Density || s.Deleted || s.Status) return name + " carries status flags";
    const int code = VfdCodeOf(s);
    if (code < 0) return name + " has a size VFD cannot hold";
    if (code != VfdCodeOf(layout.Sectors[from])) return name + " differs in size from the track's first sector";
  }
  return {};
}

std::vector<uint8_t> BuildD88(const TDiskLayout& layout, const std::string& name,
                              const std::vector<std::vector<uint8_t>>& data) {
  std::vector<uint8_t> out(D88LongHeader, 0);
  std::memcpy(out.data(), name.data(), std::min<size_t>(name.size(), 16));
  out[0x1A] = layout.Protected ? 0x10 : 0x00;
  for (int side = 0; side < TDiskLayout::TrackSides; ++side) {
    const uint32_t from = layout.First[side], to = layout.First[side + 1];
    if (from == to) continue;
    Put32(&out[0x20 + 4 * side], static_cast<uint32_t>(out.size()));
    for (uint32_t i = from; i < to; ++i) {
      const TSectorRecord& s = layout.Sectors[i];
      uint8_t h[D88SectorHeader] = {s.C, s.H, s.R, s.N, 0, 0, s.Density, s.Deleted, s.Status};
      Put16(h + 4, to - from);
      Put16(h + 0x0E, s.Bytes);
      out.insert(out.end(), h, h + D88SectorHeader);
      out.insert(out.end(), data[i].begin(), data[i].end());
    }
  }
  Put32(&out[0x1C], static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<uint8_t> BuildVfd(const TDiskLayout& layout, const std::vector<std::vector<uint8_t>>& data) {
  std::vector<uint8_t> out(VfdTableBytes, 0);
  for (int side = 0; side < VfdTrackSides; ++side) {
    const uint32_t from = layout.First[side], to = layout.First[side + 1];
    if (from == to) continue;
    uint8_t* e = &out[6 * side];
    Put32(e, static_cast<uint32_t>(out.size()));
    e[4] = static_cast<uint8_t>(VfdCodeOf(layout.Sectors[from]));
    e[5] = static_cast<uint8_t>(to - from);
    for (uint32_t r = 1; r <= to - from; ++r)
      for (uint32_t i = from; i < to; ++i)
        if (layout.Sectors[i].R == r) out.insert(out.end(), data[i].begin(), data[i].end());
  }
  return out;
}

}  // namespace

int VfdSizeOfCode(uint8_t code) {
  static constexpr int sizes[5] = {128, 256, 512, 0, 1024};
  return code < 5 ? sizes[code] : -1;
}

bool NamedD88(const std::string& path) {
  const std::string ext = ExtensionOf(path);
  return ext == ".d88" || ext == ".d77";
}

std::vector<TD88Disk> ListD88Disks(int fd) {
  std::vector<TD88Disk> disks;
  const int64_t fileSize = FileSize(fd);
  int64_t start = 0;
  while (fileSize > 0 && start < fileSize) {
    uint8_t header[D88LongHeader];
    const long got = ReadAt(fd, header, sizeof header, start);
    TD88Disk disk;
    if (got < 0 || !ParseD88Header(header, got, start, fileSize, disk)) break;
    disks.push_back(disk);
    start += disk.Size;
  }
  return disks;
}

std::vector<TD88Disk> ListD88File(const std::string& path) {
  // Only a plain file: a pipe or a device could block.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat st;
  std::vector<TD88Disk> disks;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) disks = ListD88Disks(fd);
  ::close(fd);
  return disks;
}

bool IsD88File(const std::string& path) { return !ListD88File(path).empty(); }

bool ReadVfdLayout(int fd, TDiskLayout& layout) {
  uint8_t table[VfdTableBytes] = {};
  if (ReadAt(fd, table, sizeof table, 0) < 0) return false;
  layout = TDiskLayout{};
  layout.Kind = TDiskKind::Vfd;
  std::vector<int> sideOf;
  for (int side = 0; side < VfdTrackSides; ++side) {
    const uint8_t* e = table + 6 * side;
    const int bytes = VfdSizeOfCode(e[4]);
    if (bytes < 0) continue;
    for (int r = 1; r <= e[5]; ++r) {
      TSectorRecord s;
      s.Offset = static_cast<int64_t>(Le32(e)) + static_cast<int64_t>(bytes) * (r - 1);
      s.Bytes = static_cast<uint32_t>(bytes);
      s.C = static_cast<uint8_t>(side / 2);
      s.H = static_cast<uint8_t>(side % 2);
      s.R = static_cast<uint8_t>(r);
      s.N = e[4] == 4 ? 3 : e[4];
      layout.Sectors.push_back(s);
      sideOf.push_back(side);
    }
  }
  Index(layout, sideOf);
  return true;
}

bool ReadD88Layout(int fd, const TD88Disk& disk, TDiskLayout& layout) {
  uint8_t header[D88LongHeader] = {};
  if (ReadAt(fd, header, disk.HeaderBytes, disk.Start) < static_cast<long>(disk.HeaderBytes)) return false;
  layout = TDiskLayout{};
  layout.Kind = TDiskKind::D88;
  layout.Protected = disk.Protected;
  const int64_t end = disk.Start + disk.Size;
  const int entries = disk.HeaderBytes == D88LongHeader ? 164 : 160;
  std::vector<int> sideOf;
  for (int side = 0; side < entries; ++side) {
    const uint32_t e = Le32(header + 0x20 + 4 * side);
    if (e == 0 || e == disk.Size) continue;
    int64_t at = disk.Start + e;
    int count = MaxSectorsPerTrack;
    for (int n = 0; n < count; ++n) {
      uint8_t h[D88SectorHeader];
      if (at + D88SectorHeader > end) break;
      if (ReadAt(fd, h, sizeof h, at) != D88SectorHeader) return false;
      if (n == 0) count = std::min<int>(static_cast<int>(Le16(h + 4)), MaxSectorsPerTrack);
      if (count == 0) break;
      TSectorRecord s;
      s.Offset = at + D88SectorHeader;
      s.Bytes = Le16(h + 0x0E);
      if (s.Offset + s.Bytes > end) break;  // a truncated track ends here
      s.C = h[0];
      s.H = h[1];
      s.R = h[2];
      s.N = h[3];
      s.Density = h[6];
      s.Deleted = h[7];
      s.Status = h[8];
      s.Flags = FlagsOf(s.Deleted, s.Status);
      layout.Sectors.push_back(s);
      sideOf.push_back(side);
      at = s.Offset + s.Bytes;
    }
  }
  Index(layout, sideOf);
  return true;
}

std::vector<uint8_t> BlankDiskImage(TDiskKind kind) {
  TDiskLayout layout;
  layout.Kind = kind;
  std::vector<int> sideOf;
  for (int side = 0; side < VfdTrackSides; ++side) {
    for (int r = 1; r <= 16; ++r) {
      TSectorRecord s;
      s.Bytes = 256;
      s.C = static_cast<uint8_t>(side / 2);
      s.H = static_cast<uint8_t>(side % 2);
      s.R = static_cast<uint8_t>(r);
      s.N = 1;
      layout.Sectors.push_back(s);
      sideOf.push_back(side);
    }
  }
  Index(layout, sideOf);
  // Sectors in LSN order, made an empty disk of the BASIC's file system.
  TQfsDisk fs;
  fs.Format();
  std::vector<std::vector<uint8_t>> data;
  for (size_t i = 0; i < layout.Sectors.size(); ++i)
    data.emplace_back(fs.Bytes.begin() + static_cast<long>(i * 256), fs.Bytes.begin() + static_cast<long>(i * 256 + 256));
  return kind == TDiskKind::D88 ? BuildD88(layout, {}, data) : BuildVfd(layout, data);
}

namespace {

// Writes a new image file. Something that is not a plain file in its place
// (a FIFO would hold the open for ever, waiting for a reader) is refused.
std::string WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, bool overwrite) {
  int why = 0;
  const int fd = OpenPlainFile(path, O_WRONLY | O_CREAT | (overwrite ? O_TRUNC : O_EXCL), &why);
  if (fd < 0) return why == EEXIST ? path + " already exists" : path + ": " + OpenFailureText(why);
  const bool ok = WriteAll(fd, bytes);
  const int saved = errno;
  if (::close(fd) != 0 || !ok) {
    ::unlink(path.c_str());  // a half-written image would only mislead
    return path + ": " + std::strerror(ok ? errno : saved);
  }
  return {};
}

}  // namespace

std::string WriteNewDiskFile(const std::string& path, TDiskKind kind, bool overwrite) {
  return WriteFile(path, BlankDiskImage(kind), overwrite);
}

std::string ConvertDiskImage(const std::string& in, const std::string& out, std::string& note) {
  note.clear();
  const std::string ext = ExtensionOf(out);
  if (ext != ".vfd" && !NamedD88(out)) return "the output must be named .vfd or .d88: " + out;
  const TDiskKind to = ext == ".vfd" ? TDiskKind::Vfd : TDiskKind::D88;

  int why = 0;
  const int fd = OpenPlainFile(in, O_RDONLY, &why);  // a FIFO is refused, not waited on
  if (fd < 0) return in + ": " + OpenFailureText(why);
  TDiskLayout layout;
  std::string name;
  const std::vector<TD88Disk> disks = ListD88Disks(fd);
  bool read = false;
  if (!disks.empty()) {
    read = ReadD88Layout(fd, disks.front(), layout);
    name = disks.front().Name;
    if (disks.size() > 1)
      note = in + " holds " + std::to_string(disks.size()) + " disks; only the first was converted";
  } else if (NamedD88(in)) {
    ::close(fd);
    return in + " is not a valid D88 image";
  } else {
    read = ReadVfdLayout(fd, layout);
  }
  std::string error;
  std::vector<std::vector<uint8_t>> data(layout.Sectors.size());
  for (int side = 0; read && error.empty() && side < TDiskLayout::TrackSides; ++side) {
    if (to == TDiskKind::Vfd) error = VfdCannotHold(layout, side);
    for (uint32_t i = layout.First[side]; error.empty() && i < layout.First[side + 1]; ++i) {
      const TSectorRecord& s = layout.Sectors[i];
      data[i].resize(s.Bytes);
      const long got = ReadAt(fd, data[i].data(), s.Bytes, s.Offset);
      if (got < 0) read = false;
      else if (got < static_cast<long>(s.Bytes)) error = SectorName(s, side) + " lies beyond the end of the file";
    }
  }
  ::close(fd);
  if (!read) return in + ": read error";
  if (!error.empty()) return in + ": " + error;
  return WriteFile(out, to == TDiskKind::D88 ? BuildD88(layout, name, data) : BuildVfd(layout, data), false);
}
