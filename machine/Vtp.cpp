// TVtp: the virtual cassette deck: opening, creating and closing the tape
// image, single-byte reads and writes at the tape position, and the scan for
// the firmware's file headers with which the tape dialog lists a tape.
#include "Vtp.h"

#include "core/PlainFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TVtp::TVtp() = default;

TVtp::~TVtp() { CloseTape(); }

bool TVtp::OpenLocked(const std::string& path, int flags, bool writing) {
  CloseLocked();
  // Only a plain file behaves as a tape: a pipe or a device could block the
  // emulation thread, and positions would mean nothing.
  int fd = OpenPlainFile(path, flags);
  if (fd < 0) return false;
  TapeFile = fd;
  Position = 0;
  CacheStart = 0;
  CacheLength = 0;
  TapeWriting = writing ? 1 : 0;
  Path = path;
  TapeMounted.store(1);
  return true;
}

bool TVtp::OpenTape(const std::string& path) {
  std::lock_guard<std::mutex> guard(Lock);
  return OpenLocked(path, O_RDWR, false);
}

bool TVtp::CreateTape(const std::string& path) {
  std::lock_guard<std::mutex> guard(Lock);
  return OpenLocked(path, O_RDWR | O_CREAT | O_TRUNC, true);
}

void TVtp::CloseLocked() {
  TapeMounted.store(0);
  if (TapeFile >= 0) ::close(TapeFile);
  TapeFile = -1;
  Position = 0;
  CacheLength = 0;
  TapeWriting = 0;
  Path.clear();
}

std::string TVtp::ImagePath() {
  std::lock_guard<std::mutex> guard(Lock);
  return Path;
}

void TVtp::CloseTape() {
  std::lock_guard<std::mutex> guard(Lock);
  CloseLocked();
}

int TVtp::ReadLocked() {
  if (TapeFile < 0) return -1;
  // Reading after writing: the direction switches. Writes never stay
  // buffered, so the switch needs no flush here.
  TapeWriting = 0;
  if (Position < CacheStart || Position >= CacheStart + CacheLength) {
    ssize_t n;
    do {
      n = ::pread(TapeFile, Cache, CacheBytes, static_cast<off_t>(Position));
    } while (n < 0 && errno == EINTR);
    CacheStart = Position;
    CacheLength = n > 0 ? static_cast<int>(n) : 0;
    if (CacheLength == 0) return -1;  // end of tape (or a read error)
  }
  const int b = Cache[Position - CacheStart];
  ++Position;
  return b;
}

int TVtp::TapeReadByte() {
  std::lock_guard<std::mutex> guard(Lock);
  return ReadLocked();
}

void TVtp::TapeWriteByte(uint8_t b) {
  std::lock_guard<std::mutex> guard(Lock);
  if (TapeFile < 0 || TapeWriteProtect.load()) return;
  TapeWriting = 1;
  ssize_t n;
  do {
    n = ::pwrite(TapeFile, &b, 1, static_cast<off_t>(Position));
  } while (n < 0 && errno == EINTR);
  if (n != 1) {  // the firmware is not told of host errors; the user is
    WriteFailed.store(1);
    return;
  }
  // Keep the read-ahead window equal to the file.
  if (Position >= CacheStart && Position < CacheStart + CacheLength)
    Cache[Position - CacheStart] = b;
  else if (Position == CacheStart + CacheLength && CacheLength < CacheBytes)
    Cache[CacheLength++] = b;
  ++Position;
}

int TVtp::NextTapeFile(int64_t& position, std::string& name) {
  std::lock_guard<std::mutex> guard(Lock);
  if (TapeFile < 0) {
    position = 0;
    return 1;
  }
  Position = position < 0 ? 0 : position;
  for (;;) {
    int b = ReadLocked();
    if (b != 0x01) {
      if (b < 0) break;
      continue;
    }
    if (ReadLocked() != 0x3C) continue;  // that byte is not looked at again
    if (ReadLocked() != 0x00) continue;
    if (ReadLocked() < 0) break;  // block length, not used
    uint8_t raw[8];
    int got = 0;
    while (got < 8) {
      int c = ReadLocked();
      if (c < 0) break;
      raw[got++] = static_cast<uint8_t>(c);
    }
    if (got < 8) break;  // header cut short by the end of the tape
    if (raw[0] < 0x20) continue;
    size_t length = 0;
    while (length < 8 && raw[length] != 0) ++length;
    name.assign(reinterpret_cast<const char*>(raw), length);
    position = Position;
    // Wind back so that a LOAD started here meets the leader before the
    // header: 12 header bytes and 255 more.
    Position = Position >= 267 ? Position - 267 : 0;
    return 0;
  }
  position = Position;
  return 1;
}

int64_t TVtp::TapePosition() {
  std::lock_guard<std::mutex> guard(Lock);
  return TapeFile >= 0 ? Position : 0;
}

void TVtp::SeekTape(int64_t position) {
  std::lock_guard<std::mutex> guard(Lock);
  if (TapeFile >= 0) Position = position < 0 ? 0 : position;
}

int64_t TVtp::LengthLocked() {
  struct stat st;
  if (TapeFile < 0 || ::fstat(TapeFile, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

int64_t TVtp::TapeLength() {
  std::lock_guard<std::mutex> guard(Lock);
  return LengthLocked();
}
