// Virtual tape: byte transfers at the tape position with the read/write
// direction switch, write protection, write-through, and the header scan
// with which the tape dialog lists a tape.
#include <gtest/gtest.h>

#include <random>

#include "Vtp.h"
#include "ImageBuilder.h"

using namespace storage_test;

namespace {

struct TListed {
  std::string Name;
  int64_t Position;
  bool operator==(const TListed&) const = default;
};

// The list the tape dialog builds: every header found from the start, each
// at the position the scan leaves the tape at.
std::vector<TListed> ListTape(TVtp& tape) {
  std::vector<TListed> list;
  int64_t scan = 0;
  std::string name;
  while (tape.NextTapeFile(scan, name) == 0) {
    list.push_back({name, tape.TapePosition()});
    if (list.size() > 100000) break;  // a scan that never ends is a failure
  }
  return list;
}

std::vector<uint8_t> Filler(size_t n, uint8_t b = 0xFF) { return std::vector<uint8_t>(n, b); }

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

}  // namespace

TEST(Tape, SaveThenLoadNeedsRewinding) {
  TScratch scratch;
  TVtp tape;
  const std::string path = scratch.Path("new.vtp");
  ASSERT_TRUE(tape.CreateTape(path));
  EXPECT_EQ(tape.TapeMounted.load(), 1u);
  EXPECT_EQ(tape.TapeWriting, 1u);
  for (int i = 0; i < 300; ++i) tape.TapeWriteByte(static_cast<uint8_t>(i));
  // Loading right after saving starts at the end of the data.
  EXPECT_EQ(tape.TapeReadByte(), -1);
  EXPECT_EQ(tape.TapeWriting, 0u);
  tape.SeekTape(0);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(tape.TapeReadByte(), i & 0xFF);
  EXPECT_EQ(tape.TapeReadByte(), -1);
  EXPECT_EQ(tape.TapeLength(), 300);
}

TEST(Tape, EveryByteIsInTheFileWhenTheWriteReturns) {
  TScratch scratch;
  TVtp tape;
  const std::string path = scratch.Path("wt.vtp");
  ASSERT_TRUE(tape.CreateTape(path));
  for (int i = 0; i < 10; ++i) {
    tape.TapeWriteByte(static_cast<uint8_t>(0xA0 + i));
    const std::vector<uint8_t> now = TScratch::Read(path);
    ASSERT_EQ(now.size(), static_cast<size_t>(i + 1));
    ASSERT_EQ(now.back(), 0xA0 + i);
  }
}

TEST(Tape, WritingInTheMiddleOverwritesWithoutTruncating) {
  TScratch scratch;
  std::vector<uint8_t> bytes(1000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 3);
  const std::string path = scratch.Write("mid.vtp", bytes);
  TVtp tape;
  ASSERT_TRUE(tape.OpenTape(path));
  EXPECT_EQ(tape.TapeWriting, 0u);
  EXPECT_EQ(tape.TapePosition(), 0);
  // Read into the middle (fills the read-ahead), then write over it.
  for (int i = 0; i < 500; ++i) ASSERT_EQ(tape.TapeReadByte(), bytes[i]);
  for (int i = 0; i < 10; ++i) tape.TapeWriteByte(0x5A);
  // Reading continues after the written bytes, from the file's bytes.
  EXPECT_EQ(tape.TapeReadByte(), bytes[510]);
  tape.SeekTape(495);
  for (int i = 495; i < 515; ++i)
    ASSERT_EQ(tape.TapeReadByte(), i >= 500 && i < 510 ? 0x5A : bytes[i]);
  std::vector<uint8_t> expect = bytes;
  std::fill(expect.begin() + 500, expect.begin() + 510, 0x5A);
  EXPECT_EQ(TScratch::Read(path), expect);
}

TEST(Tape, WriteProtectedTapeIsUnchanged) {
  TScratch scratch;
  const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5};
  const std::string path = scratch.Write("p.vtp", bytes);
  TVtp tape;
  tape.TapeWriteProtect = 1;
  ASSERT_TRUE(tape.OpenTape(path));
  for (int i = 0; i < 100; ++i) tape.TapeWriteByte(0);
  EXPECT_EQ(TScratch::Read(path), bytes);
  EXPECT_EQ(tape.TapeReadByte(), 1);
}

TEST(Tape, NoTapeSwallowsWritesAndReadsEnd) {
  TVtp tape;
  tape.TapeWriteByte(7);
  EXPECT_EQ(tape.TapeReadByte(), -1);
  EXPECT_EQ(tape.TapeLength(), 0);
  int64_t position = 55;
  std::string name;
  EXPECT_EQ(tape.NextTapeFile(position, name), 1);
}

TEST(Tape, OpenAndCreateFailuresLeaveNoTape) {
  TScratch scratch;
  TVtp tape;
  ASSERT_TRUE(tape.CreateTape(scratch.Path("a.vtp")));
  EXPECT_FALSE(tape.OpenTape(scratch.Path("missing.vtp")));
  EXPECT_EQ(tape.TapeMounted.load(), 0u);
  EXPECT_FALSE(tape.CreateTape(scratch.Path("no/such/dir.vtp")));
  EXPECT_EQ(tape.TapeMounted.load(), 0u);
  EXPECT_FALSE(tape.OpenTape(scratch.Path("")));  // the folder itself
  // Creating over an existing image empties it.
  const std::string path = scratch.Write("old.vtp", {9, 9, 9});
  ASSERT_TRUE(tape.CreateTape(path));
  EXPECT_EQ(tape.TapeLength(), 0);
  tape.CloseTape();
  EXPECT_EQ(tape.TapeMounted.load(), 0u);
  tape.CloseTape();  // closing twice is harmless
}

TEST(TapeList, PositionsNamesAndSkippedHeaders) {
  TScratch scratch;
  std::vector<uint8_t> t;
  Append(t, Filler(100));
  Append(t, TapeHeader(Name8("EARLY")));  // 01 at 100: listed at 0
  Append(t, Filler(900, 0x00));
  const int64_t second = static_cast<int64_t>(t.size());
  std::vector<uint8_t> zname = {'A', 'B', 0, 'X', 'Y', 'Z', 'W', 'V'};
  Append(t, TapeHeader(zname));  // the name ends at its zero byte
  Append(t, Filler(300));
  std::vector<uint8_t> control = Name8("HIDDEN");
  control[0] = 0x1F;
  Append(t, TapeHeader(control));  // below 20: not listed
  Append(t, Filler(300));
  std::vector<uint8_t> kana = Name8("xKANA");
  kana[0] = 0xB1;
  const int64_t third = static_cast<int64_t>(t.size());
  Append(t, TapeHeader(kana));  // B1 is a half-width kana: listed
  Append(t, {0x01, 0x01, 0x3C, 0x00});  // the second 01 is used up as 3C's place
  Append(t, Name8("NOTHERE"));
  Append(t, Filler(300));

  TVtp tape;
  ASSERT_TRUE(tape.OpenTape(scratch.Write("list.vtp", t)));
  const std::vector<TListed> want = {
      {"EARLY   ", 0},
      {"AB", second - 255},
      {"\xB1" "KANA   ", third - 255},
  };
  EXPECT_EQ(ListTape(tape), want);
  // The scan's own end position is the end of the file.
  int64_t scan = third;
  std::string name;
  EXPECT_EQ(tape.NextTapeFile(scan, name), 0);
  EXPECT_EQ(scan, third + 12);
  EXPECT_EQ(tape.NextTapeFile(scan, name), 1);
  EXPECT_EQ(scan, static_cast<int64_t>(t.size()));
}

TEST(TapeList, EmptyTapesAndHeadersCutShort) {
  TScratch scratch;
  TVtp tape;
  ASSERT_TRUE(tape.OpenTape(scratch.Write("empty.vtp", {})));
  EXPECT_TRUE(ListTape(tape).empty());
  ASSERT_TRUE(tape.OpenTape(scratch.Write("plain.vtp", Filler(5000, 0x01))));
  EXPECT_TRUE(ListTape(tape).empty());
  // A header whose name is cut by the end of the file is not listed, at
  // every possible cut.
  std::vector<uint8_t> full = Filler(20);
  Append(full, TapeHeader(Name8("CUTSHORT")));
  for (size_t cut = 20; cut < full.size(); ++cut) {
    SCOPED_TRACE(cut);
    std::vector<uint8_t> part(full.begin(), full.begin() + static_cast<long>(cut));
    ASSERT_TRUE(tape.OpenTape(scratch.Write("cut.vtp", part)));
    EXPECT_TRUE(ListTape(tape).empty());
  }
  ASSERT_TRUE(tape.OpenTape(scratch.Write("whole.vtp", full)));
  EXPECT_EQ(ListTape(tape), (std::vector<TListed>{{"CUTSHORT", 0}}));
}

// Random interleavings of reads, writes, seeks and protection against a
// plain model of the file: the read-ahead never shows stale bytes.
TEST(TapeRobustness, MatchesAByteVectorModel) {
  TScratch scratch;
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    std::vector<uint8_t> model(rng() % 9000);
    for (auto& b : model) b = static_cast<uint8_t>(rng());
    const std::string path = scratch.Write("m.vtp", model);
    TVtp tape;
    ASSERT_TRUE(tape.OpenTape(path));
    int64_t pos = 0;
    bool protect = false;
    for (int op = 0; op < 4000; ++op) {
      const unsigned what = rng() % 100;
      if (what < 45) {
        const int want = pos < static_cast<int64_t>(model.size()) ? model[pos] : -1;
        ASSERT_EQ(tape.TapeReadByte(), want) << "round " << round << " op " << op;
        if (want >= 0) ++pos;
      } else if (what < 90) {
        const uint8_t b = static_cast<uint8_t>(rng());
        tape.TapeWriteByte(b);
        if (!protect) {
          if (pos >= static_cast<int64_t>(model.size())) model.resize(pos + 1, 0);
          model[pos++] = b;
        }
      } else if (what < 98) {
        pos = static_cast<int64_t>(rng() % (model.size() + 1));
        tape.SeekTape(pos);
      } else {
        protect = !protect;
        tape.TapeWriteProtect = protect ? 1 : 0;
      }
      ASSERT_EQ(tape.TapePosition(), pos);
    }
    tape.CloseTape();
    ASSERT_EQ(TScratch::Read(path), model);
  }
}

// Garbage tapes full of header fragments: the scan always ends, finds
// headers in increasing order and takes names only from bytes that exist.
TEST(TapeRobustness, GarbageTapesScanCleanly) {
  TScratch scratch;
  std::mt19937 rng(3);
  TVtp tape;
  for (int n = 0; n < 1500; ++n) {
    std::vector<uint8_t> bytes(rng() % 2000);
    for (auto& b : bytes) {
      const unsigned r = rng() % 8;
      b = r == 0 ? 0x01 : r == 1 ? 0x3C : r == 2 ? 0x00 : static_cast<uint8_t>(rng());
    }
    ASSERT_TRUE(tape.OpenTape(scratch.Write("g.vtp", bytes)));
    int64_t scan = 0, last = 0;
    std::string name;
    int found = 0;
    while (tape.NextTapeFile(scan, name) == 0) {
      ASSERT_GT(scan, last);
      ASSERT_GE(scan, 12);
      ASSERT_LE(scan, static_cast<int64_t>(bytes.size()));
      ASSERT_LE(name.size(), 8u);
      ASSERT_EQ(bytes[scan - 12], 0x01);
      ASSERT_EQ(bytes[scan - 11], 0x3C);
      ASSERT_EQ(bytes[scan - 10], 0x00);
      ASSERT_EQ(name, std::string(reinterpret_cast<const char*>(&bytes[scan - 8]),
                                  name.size()));
      ASSERT_EQ(tape.TapePosition(), std::max<int64_t>(0, scan - 267));
      last = scan;
      ASSERT_LT(++found, 1000);
    }
    ASSERT_EQ(scan, static_cast<int64_t>(bytes.size()));
  }
}
