// The save-state file: a whole running computer in one file, and the small
// writer and reader with which each part of the program puts its own fields
// into it and takes them out again.
//
// File layout (integers little-endian):
//   8 bytes  magic "QLNSTATE"
//   4        format version (StateFormatVersion)
//   4        length of the section stream once inflated
//   ...      the section stream, deflated with zlib
//   4        CRC-32 of every byte before it
// The section stream is a run of sections, each a 4-character tag, a 32-bit
// length and that many bytes. A reader skips the sections it does not know,
// and inside a section reads the fields it knows and ignores what follows
// them, so a later program that adds a section or appends fields to the end
// of one still writes files an older program reads. The format version goes
// up only when an older program could not make sense of a file at all; a
// file of a later version is refused.
//
// Writing and reading a section are plain sequences of calls: a part of the
// program writes its fields in one order and reads them in the same order.
// A reader never fails loudly: a short or malformed section sets Failed and
// the values read from then on are zero, so a load function reads on and the
// caller looks at Failed once at the end. Range checks on the values go
// through Check, which fails the reader the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

inline constexpr uint32_t StateFormatVersion = 1;
inline constexpr char StateMagic[8] = {'Q', 'L', 'N', 'S', 'T', 'A', 'T', 'E'};
// No state comes near this; a length field of garbage must not make the
// reader allocate gigabytes.
inline constexpr size_t StateMaxBytes = size_t{64} << 20;

// A section tag from its four characters.
constexpr uint32_t StateTag(const char (&name)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(name[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(name[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(name[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(name[3])) << 24;
}

class TStateWriter {
 public:
  // Sections do not nest: Begin starts one, End closes it.
  void Begin(uint32_t tag);
  void End();

  void U8(uint8_t v) { Data.push_back(v); }
  void Bool(bool v) { U8(v ? 1 : 0); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void U64(uint64_t v);
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Bytes(const void* data, size_t size);
  // A length (32 bits) and the bytes.
  void Str(const std::string& s);

  // The section stream written so far.
  const std::vector<uint8_t>& Stream() const { return Data; }

 private:
  std::vector<uint8_t> Data;
  size_t SectionStart = 0;
};

class TStateReader {
 public:
  explicit TStateReader(std::span<const uint8_t> data) : Data(data) {}

  uint8_t U8();
  bool Bool() { return U8() != 0; }
  uint16_t U16();
  uint32_t U32();
  uint64_t U64();
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // Fills size bytes (zeros once the reader has failed).
  void Bytes(void* out, size_t size);
  // A string written by Str, refused when longer than maxBytes.
  std::string Str(size_t maxBytes);
  // A number read as U32/I32 that must lie in [low, high].
  int32_t I32In(int32_t low, int32_t high);
  uint32_t U32In(uint32_t low, uint32_t high);

  // Fails the reader unless ok.
  void Check(bool ok) {
    if (!ok) Failed = true;
  }
  bool Ok() const { return !Failed; }
  // True when every byte of the section has been read; a field appended by
  // a later version is read only if !AtEnd().
  bool AtEnd() const { return Pos >= Data.size(); }

 private:
  bool Take(size_t n);
  std::span<const uint8_t> Data;
  size_t Pos = 0;
  bool Failed = false;
};

// The sections of a state, after the file has been checked and inflated.
class TStateSections {
 public:
  // Splits a section stream; false when it is malformed (a section running
  // past the end, a tag twice).
  bool Parse(std::vector<uint8_t> stream);
  // The section's bytes, or an empty span with found = false.
  std::span<const uint8_t> Find(uint32_t tag, bool& found) const;
  bool Has(uint32_t tag) const;
  // Calls read with a reader on the section's bytes; false when the section
  // is missing (read is not called) or read went past its end or out of a
  // checked range.
  template <class Read>
  bool ReadSection(uint32_t tag, Read&& read) const {
    bool found = false;
    TStateReader r(Find(tag, found));
    if (!found) return false;
    read(r);
    return r.Ok();
  }

 private:
  struct TEntry {
    uint32_t Tag;
    size_t Offset, Size;
  };
  std::vector<uint8_t> Stream;
  std::vector<TEntry> Entries;
};

// What can be wrong with a state file, for the message that says so.
enum class TStateError {
  None,
  CannotRead,     // the file cannot be opened or read
  NotAState,      // no state file at all (another kind of file, garbage)
  Damaged,        // cut short, a CRC mismatch, a malformed section
  NewerVersion,   // written by a later program
  OtherFirmware,  // made with other firmware images
  ReadOnly,       // the target file may not be written
  CannotWrite,    // the file could not be written
};

// The finished file for a section stream.
std::vector<uint8_t> PackState(const std::vector<uint8_t>& stream);
// Checks magic, version and CRC, inflates the stream and splits it.
TStateError UnpackState(std::span<const uint8_t> file, TStateSections& sections);

// Reads a whole file of at most StateMaxBytes.
TStateError ReadStateFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes);
// Writes the bytes through a temporary file beside the target renamed over
// it, so an existing file is replaced whole or not at all. A symbolic link
// is written through (the link stays, the file it names is replaced); a
// target the user may not write is refused; an existing file keeps its
// permissions.
TStateError WriteStateFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// CRC-32 (zlib's) of a block, for the firmware fingerprint.
uint32_t StateCrc32(const void* data, size_t size);
