// Virtual tape: byte transfers at the tape position with the direction
// switch, write protection, write-through, and the header scan with which
// the tape dialog lists a tape.
#include <gtest/gtest.h>

#include <random>

#include "ImageBuilder.h"
#include "Vtp.h"

using namespace storage_test;

namespace {

std::vector<uint8_t> Header(std::string name, uint8_t first = 0) {
  name.resize(8, ' ');
  if (first) name[0] = static_cast<char>(first);
  std::vector<uint8_t> h = {0x01, 0x3C, 0x00, 0x14};
  for (char c : name) h.push_back(static_cast<uint8_t>(c));
  return h;
}

// The list the tape dialog builds: name and the position the scan leaves
// the tape at, for every header from the start.
std::vector<std::pair<std::string, int64_t>> List(TVtp& tape) {
  std::vector<std::pair<std::string, int64_t>> list;
  int64_t scan = 0;
  std::string name;
  while (tape.NextTapeFile(scan, name) == 0 && list.size() < 10000)
    list.emplace_back(name, tape.TapePosition());
  return list;
}

}  // namespace

// Random reads, writes, seeks and protection changes against a byte-vector
// model of the file: reads after writes (and writes after reads) in the
// middle and at the end see the file as it is, protected writes change
// nothing, and each written byte is in the file when the call returns.
TEST(Tape, MatchesAByteVectorModel) {
  TScratch scratch;
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    std::vector<uint8_t> model(round == 0 ? 0 : rng() % 9000);
    for (auto& b : model) b = static_cast<uint8_t>(rng());
    const std::string path = scratch.Write("m.vtp", model);
    TVtp tape;
    ASSERT_TRUE(round == 0 ? tape.CreateTape(path) : tape.OpenTape(path));
    int64_t pos = 0;
    bool protect = false;
    for (int op = 0; op < 4000; ++op) {
      const unsigned what = rng() % 100;
      if (what < 45) {
        const int want = pos < static_cast<int64_t>(model.size()) ? model[pos] : -1;
        ASSERT_EQ(tape.TapeReadByte(), want) << "round " << round << " op " << op;
        pos += want >= 0;
      } else if (what < 90) {
        const uint8_t b = static_cast<uint8_t>(rng());
        tape.TapeWriteByte(b);
        if (!protect) {
          if (pos >= static_cast<int64_t>(model.size())) model.resize(pos + 1, 0);
          model[pos++] = b;
        }
      } else if (what < 98) {
        tape.SeekTape(pos = static_cast<int64_t>(rng() % (model.size() + 1)));
      } else {
        tape.TapeWriteProtect = (protect = !protect) ? 1 : 0;
      }
      ASSERT_EQ(tape.TapePosition(), pos);
      if (op % 500 == 0) {
        ASSERT_EQ(TScratch::Read(path), model);
      }
    }
  }
}

TEST(Tape, OpenCreateAndClose) {
  TScratch scratch;
  TVtp tape;
  const std::string path = scratch.Write("old.vtp", {9, 9, 9});
  ASSERT_TRUE(tape.OpenTape(path));
  EXPECT_EQ(tape.TapeWriting, 0u);
  EXPECT_EQ(tape.TapeLength(), 3);
  ASSERT_TRUE(tape.CreateTape(path));  // empties the image
  EXPECT_EQ(tape.TapeWriting, 1u);
  EXPECT_EQ(tape.TapeLength(), 0);
  for (const std::string& bad : {scratch.Path("missing.vtp"), scratch.Path("")}) {
    EXPECT_FALSE(tape.OpenTape(bad));
    EXPECT_EQ(tape.TapeMounted.load(), 0u);
  }
  EXPECT_FALSE(tape.CreateTape(scratch.Path("no/such/folder.vtp")));
  tape.TapeWriteByte(1);  // no tape: swallowed
  EXPECT_EQ(tape.TapeReadByte(), -1);
}

TEST(Tape, ListingPositionsAndSkippedHeaders) {
  std::vector<uint8_t> t(100, 0xFF);
  auto append = [&t](const std::vector<uint8_t>& more) { t.insert(t.end(), more.begin(), more.end()); };
  append(Header("EARLY"));  // 01 at 100: listed at 0, not before it
  t.resize(1000, 0x00);
  const int64_t second = static_cast<int64_t>(t.size());
  append(Header(std::string("AB\0XYZWV", 8)));  // the name ends at its zero
  append(Header("HIDDEN", 0x1F));                 // below 20: not listed
  t.resize(1500, 0x00);
  const int64_t third = static_cast<int64_t>(t.size());
  append(Header("xKANA", 0xB1));  // half-width kana: listed
  append({0x01});
  append(Header("NOTHERE"));  // 01 01 3C 00: the second 01 stands in 3C's place
  TScratch scratch;
  TVtp tape;
  ASSERT_TRUE(tape.OpenTape(scratch.Write("list.vtp", t)));
  const std::vector<std::pair<std::string, int64_t>> want = {
      {"EARLY   ", 0}, {"AB", second - 255}, {"\xB1KANA   ", third - 255}};
  EXPECT_EQ(List(tape), want);
  int64_t scan = third + 12;
  std::string name;
  EXPECT_EQ(tape.NextTapeFile(scan, name), 1);
  EXPECT_EQ(scan, static_cast<int64_t>(t.size()));

  // A header cut short by the end of the file is not listed, at any cut.
  for (size_t cut = 100; cut < 112; ++cut) {
    ASSERT_TRUE(tape.OpenTape(scratch.Write("cut.vtp", std::vector<uint8_t>(t.begin(), t.begin() + static_cast<long>(cut)))));
    EXPECT_TRUE(List(tape).empty()) << cut;
  }
}

// Garbage full of header fragments: the scan always ends, finds headers in
// increasing order and takes names only from bytes that exist.
TEST(Tape, GarbageTapesScanCleanly) {
  TScratch scratch;
  std::mt19937 rng(3);
  TVtp tape;
  for (int n = 0; n < 1500; ++n) {
    std::vector<uint8_t> bytes(rng() % 2000);
    const uint8_t pick[3] = {0x01, 0x3C, 0x00};
    for (auto& b : bytes) b = rng() % 8 < 3 ? pick[rng() % 3] : static_cast<uint8_t>(rng());
    ASSERT_TRUE(tape.OpenTape(scratch.Write("g.vtp", bytes)));
    int64_t scan = 0, last = 0;
    std::string name;
    while (tape.NextTapeFile(scan, name) == 0) {
      ASSERT_GT(scan, last);
      ASSERT_LE(scan, static_cast<int64_t>(bytes.size()));
      ASSERT_EQ(std::vector<uint8_t>(&bytes[scan - 12], &bytes[scan - 9]), (std::vector<uint8_t>{1, 0x3C, 0}));
      ASSERT_LE(name.size(), 8u);
      ASSERT_EQ(name, std::string(reinterpret_cast<const char*>(&bytes[scan - 8]), name.size()));
      ASSERT_EQ(tape.TapePosition(), std::max<int64_t>(0, scan - 267));
      last = scan;
    }
    ASSERT_EQ(scan, static_cast<int64_t>(bytes.size()));
  }
}
