// TVtp: the cassette deck, holding one virtual tape image file (".VTP").
//
// The image is the raw byte stream the firmware wrote to tape: no header,
// no signature. Leaders, block markers, lengths and checksums are the
// firmware's business; the deck only moves bytes, and the file position is
// the tape position. The BASIC firmware's byte read and byte write routines
// are trapped onto TapeReadByte and TapeWriteByte.
//
// Every written byte goes straight to the file (no user-space buffering), so
// a process killed right after a SAVE leaves the program in the image.
// Reads are served from a small read-ahead window that each write keeps in
// step with the file. The window thread opens and closes tapes, normally
// while the emulation is paused; a mutex inside this object keeps that from
// overlapping a byte transfer in any case.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class TVtp {
 public:
  TVtp();
  ~TVtp();
  TVtp(const TVtp&) = delete;
  TVtp& operator=(const TVtp&) = delete;

  std::atomic<uint32_t> TapeMounted{0};
  std::atomic<uint32_t> TapeWriteProtect{0};
  std::atomic<uint32_t> WriteFailed{0};  // see TakeWriteFailure
  int TapeFile = -1;        // open image, or -1
  uint32_t TapeWriting = 0;  // the last access was a write

  // Opens an existing regular file for reading and writing, at position 0.
  bool OpenTape(const std::string& path);
  // Creates (or truncates) the file, at position 0, ready for writing.
  bool CreateTape(const std::string& path);
  void CloseTape();

  // The next byte, or -1 at the end of the tape (or with no tape).
  int TapeReadByte();
  // Writes b at the position, overwriting or extending; dropped when the
  // tape is write-protected or absent. A write the file refuses (a full file
  // system) moves nothing and is remembered: the firmware has no way to hear
  // of it, so the front end tells the user.
  void TapeWriteByte(uint8_t b);
  // Whether a tape write failed since the last call (any thread); clears it.
  bool TakeWriteFailure() { return WriteFailed.exchange(0) != 0; }

  // Scans forward from position for the next file header of the firmware
  // (01 3C 00, a length byte, an 8-byte name whose first byte is 20 or
  // above). Found: name = the name up to its first zero byte, position =
  // just after the name, the tape is wound to 267 bytes before that (not
  // before 0), and the result is 0. End of tape: position = the end, result
  // 1. A header cut short by the end of the file is not reported.
  int NextTapeFile(int64_t& position, std::string& name);

  // Tape position and length for the tape dialog (0 with no tape).
  int64_t TapePosition();
  void SeekTape(int64_t position);
  int64_t TapeLength();

  // The path the tape was opened or created from (as given), "" with none.
  std::string ImagePath();

 private:
  bool OpenLocked(const std::string& path, int flags, bool writing);
  void CloseLocked();
  int ReadLocked();
  int64_t LengthLocked();

  std::mutex Lock;
  int64_t Position = 0;
  std::string Path;
  // Read-ahead window: bytes [CacheStart, CacheStart + CacheLength) of the
  // file as it is now.
  static constexpr int CacheBytes = 4096;
  uint8_t Cache[CacheBytes] = {};
  int64_t CacheStart = 0;
  int CacheLength = 0;
};
