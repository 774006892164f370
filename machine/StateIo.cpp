// The save-state writer and reader, the file's container (magic, version,
// zlib, CRC-32) and the file transfer. See StateIo.h.
#include "StateIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace {

void PutU32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr size_t HeaderBytes = sizeof StateMagic + 4 + 4;

}  // namespace

uint32_t StateCrc32(const void* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const auto* p = static_cast<const Bytef*>(data);
  while (size > 0) {
    const uInt n = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
    crc = crc32(crc, p, n);
    p += n;
    size -= n;
  }
  return static_cast<uint32_t>(crc);
}

// ---------------------------------------------------------------- writer

void TStateWriter::Begin(uint32_t tag) {
  PutU32(Data, tag);
  SectionStart = Data.size();
  PutU32(Data, 0);  // the length, filled in by End
}

void TStateWriter::End() {
  const uint32_t n = static_cast<uint32_t>(Data.size() - SectionStart - 4);
  for (int i = 0; i < 4; ++i) Data[SectionStart + i] = static_cast<uint8_t>(n >> (8 * i));
}

void TStateWriter::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void TStateWriter::U32(uint32_t v) { PutU32(Data, v); }

void TStateWriter::U64(uint64_t v) {
  U32(static_cast<uint32_t>(v));
  U32(static_cast<uint32_t>(v >> 32));
}

void TStateWriter::Bytes(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  Data.insert(Data.end(), p, p + size);
}

void TStateWriter::Str(const std::string& s) {
  U32(static_cast<uint32_t>(s.size()));
  Bytes(s.data(), s.size());
}

// ---------------------------------------------------------------- reader

bool TStateReader::Take(size_t n) {
  if (Failed || Data.size() - Pos < n) {
    Failed = true;
    return false;
  }
  return true;
}

uint8_t TStateReader::U8() {
  if (!Take(1)) return 0;
  return Data[Pos++];
}

uint16_t TStateReader::U16() {
  if (!Take(2)) return 0;
  const uint16_t v = static_cast<uint16_t>(Data[Pos] | Data[Pos + 1] << 8);
  Pos += 2;
  return v;
}

uint32_t TStateReader::U32() {
  if (!Take(4)) return 0;
  const uint32_t v = GetU32(&Data[Pos]);
  Pos += 4;
  return v;
}

uint64_t TStateReader::U64() {
  const uint64_t lo = U32();
  return lo | static_cast<uint64_t>(U32()) << 32;
}

void TStateReader::Bytes(void* out, size_t size) {
  if (!Take(size)) {
    std::memset(out, 0, size);
    return;
  }
  if (size != 0) std::memcpy(out, &Data[Pos], size);
  Pos += size;
}

std::string TStateReader::Str(size_t maxBytes) {
  const uint32_t n = U32();
  Check(n <= maxBytes);
  if (!Take(n)) return {};
  std::string s(reinterpret_cast<const char*>(&Data[Pos]), n);
  Pos += n;
  return s;
}

int32_t TStateReader::I32In(int32_t low, int32_t high) {
  const int32_t v = I32();
  Check(v >= low && v <= high);
  return Ok() ? v : low;
}

uint32_t TStateReader::U32In(uint32_t low, uint32_t high) {
  const uint32_t v = U32();
  Check(v >= low && v <= high);
  return Ok() ? v : low;
}

// -------------------------------------------------------------- sections

bool TStateSections::Parse(std::vector<uint8_t> stream) {
  Stream = std::move(stream);
  Entries.clear();
  size_t pos = 0;
  while (pos < Stream.size()) {
    if (Stream.size() - pos < 8) return false;
    const uint32_t tag = GetU32(&Stream[pos]);
    const size_t size = GetU32(&Stream[pos + 4]);
    pos += 8;
    if (Stream.size() - pos < size || Has(tag)) return false;
    Entries.push_back({tag, pos, size});
    pos += size;
  }
  return true;
}

std::span<const uint8_t> TStateSections::Find(uint32_t tag, bool& found) const {
  for (const TEntry& e : Entries)
    if (e.Tag == tag) {
      found = true;
      return std::span<const uint8_t>(Stream).subspan(e.Offset, e.Size);
    }
  found = false;
  return {};
}

bool TStateSections::Has(uint32_t tag) const {
  bool found = false;
  Find(tag, found);
  return found;
}

// ------------------------------------------------------------- container

std::vector<uint8_t> PackState(const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> file(StateMagic, StateMagic + sizeof StateMagic);
  PutU32(file, StateFormatVersion);
  PutU32(file, static_cast<uint32_t>(stream.size()));
  uLongf packed = compressBound(static_cast<uLong>(stream.size()));
  file.resize(HeaderBytes + packed);
  // Level 1: most of a state is RAM of zeros or repeated bytes, which the
  // fastest level packs nearly as well as the best, in a fraction of the
  // time.
  compress2(&file[HeaderBytes], &packed, stream.data(), static_cast<uLong>(stream.size()), 1);
  file.resize(HeaderBytes + packed);
  PutU32(file, StateCrc32(file.data(), file.size()));
  return file;
}

TStateError UnpackState(std::span<const uint8_t> file, TStateSections& sections) {
  if (file.size() < sizeof StateMagic || std::memcmp(file.data(), StateMagic, sizeof StateMagic) != 0)
    return TStateError::NotAState;
  if (file.size() < HeaderBytes + 4) return TStateError::Damaged;
  const size_t body = file.size() - 4;
  if (StateCrc32(file.data(), body) != GetU32(&file[body])) return TStateError::Damaged;
  // The version is looked at only once the CRC vouches for it.
  if (GetU32(&file[8]) > StateFormatVersion) return TStateError::NewerVersion;
  if (GetU32(&file[8]) == 0) return TStateError::Damaged;
  const size_t raw = GetU32(&file[12]);
  if (raw > StateMaxBytes) return TStateError::Damaged;
  std::vector<uint8_t> stream(raw);
  uLongf got = static_cast<uLongf>(raw);
  const int z = uncompress(stream.data(), &got, &file[HeaderBytes], static_cast<uLong>(body - HeaderBytes));
  if (z != Z_OK || got != raw) return TStateError::Damaged;
  if (!sections.Parse(std::move(stream))) return TStateError::Damaged;
  return TStateError::None;
}

// ------------------------------------------------------------------ files

TStateError ReadStateFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return TStateError::CannotRead;
  struct stat st;
  // Only a plain file: a pipe or a device could block, or never end.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return TStateError::CannotRead;
  }
  if (static_cast<uint64_t>(st.st_size) > StateMaxBytes) {
    ::close(fd);
    return TStateError::NotAState;
  }
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  // A file that shrank while it was read is read as far as it goes; the
  // CRC then tells.
  bytes.resize(done);
  return TStateError::None;
}

TStateError WriteStateFile(const std::filesystem::path& given, std::span<const uint8_t> bytes) {
  std::error_code ec;
  std::filesystem::path file = given;
  if (std::filesystem::is_symlink(given, ec)) {
    file = std::filesystem::weakly_canonical(given, ec);
    if (ec) return TStateError::CannotWrite;
  }
  mode_t mode = 0644;
  struct stat st;
  const bool exists = ::stat(file.c_str(), &st) == 0;
  if (exists) {
    if (!S_ISREG(st.st_mode)) return TStateError::CannotWrite;
    // The rename would replace a file the user made read-only; refuse.
    if (::access(file.c_str(), W_OK) != 0) return TStateError::ReadOnly;
    mode = st.st_mode & 07777;
  }
  std::string tmp = file.string() + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return TStateError::CannotWrite;
  bool ok = ::fchmod(fd, mode) == 0;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(tmp.c_str(), file.c_str()) == 0;
  if (!ok) ::unlink(tmp.c_str());
  return ok ? TStateError::None : TStateError::CannotWrite;
}
