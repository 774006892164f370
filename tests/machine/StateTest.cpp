// Save states at the machine's level: a state loads into another machine
// and both then run alike; bad states are refused with the right reason and
// leave the machine exactly as it was; sections a later program adds are
// skipped.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "MachineSnapshot.h"
#include "TestMachine.h"

namespace {

using TSectionMap = std::vector<std::pair<uint32_t, std::vector<uint8_t>>>;

std::vector<uint8_t> StreamOf(TMcpuThread& m) {
  TStateWriter w;
  m.SaveState(w);
  return w.Stream();
}

TSectionMap Split(const std::vector<uint8_t>& stream) {
  TSectionMap out;
  TStateReader r(stream);
  while (!r.AtEnd()) {
    const uint32_t tag = r.U32();
    std::vector<uint8_t> body(r.U32());
    r.Bytes(body.data(), body.size());
    out.emplace_back(tag, std::move(body));
  }
  return out;
}

std::vector<uint8_t> Join(const TSectionMap& sections) {
  TStateWriter w;
  for (const auto& [tag, body] : sections) {
    w.Begin(tag);
    w.Bytes(body.data(), body.size());
    w.End();
  }
  return w.Stream();
}

TStateError Load(TMcpuThread& m, const std::vector<uint8_t>& file) {
  TStateSections sections;
  const TStateError e = UnpackState(file, sections);
  return e != TStateError::None ? e : m.LoadState(sections);
}

// A machine that has done something: registers, RAM, video RAM, a scroll,
// a palette, a request pending.
void Exercise(TTestMachine& t) {
  TMcpuThread& m = t.Build();
  t.Main().A = 0x5A;
  t.Main().Bank[0][0x1234] = 0x77;
  t.Main().Bank[1][0x9000] = 0x66;
  t.Subcpu().WriteByte(0x0100, 0xF0);  // plane 0 through the pixel path
  t.Subcpu().WriteByte(0xD40E, 0x01);
  t.Subcpu().WriteByte(0xD40F, 0x20);  // scroll to 0120
  t.State.Palette[3].store(5);
  t.State.SharedRam[7] = 9;
  t.State.RaiseSubNmi();
  m.RunPasses(1000);
}

}  // namespace

TEST(SaveStateMachine, AnotherMachineGoesOnAlikeWithTheSamePixels) {
  TTestMachine a, b;
  Exercise(a);
  b.Build();
  const std::vector<uint8_t> file = PackState(StreamOf(*a.Machine));
  ASSERT_EQ(Load(*b.Machine, file), TStateError::None);
  EXPECT_EQ(StreamOf(*b.Machine), StreamOf(*a.Machine));
  for (size_t k = 0; k < TDisplayState::PlaneBytes; ++k)
    ASSERT_EQ(b.State.PixelWord(k), a.State.PixelWord(k)) << "pixel word " << k;
  a.State.DeliverKey('A');
  b.State.DeliverKey('A');
  a.Machine->RunPasses(5000);
  b.Machine->RunPasses(5000);
  EXPECT_EQ(StreamOf(*b.Machine), StreamOf(*a.Machine));
  EXPECT_EQ(a.Subcpu().Bank[0][0xC001], 1) << "the key FIRQ ran";
}

TEST(SaveStateMachine, BadStatesAreRefusedAndChangeNothing) {
  TTestMachine source;
  Exercise(source);
  const std::vector<uint8_t> good = StreamOf(*source.Machine);
  auto repack = [&](const std::function<void(TSectionMap&)>& change) {
    TSectionMap s = Split(good);
    change(s);
    return PackState(Join(s));
  };
  auto withVersion = [&](uint32_t version) {
    std::vector<uint8_t> f = PackState(good);
    for (int i = 0; i < 4; ++i) f[8 + i] = static_cast<uint8_t>(version >> (8 * i));
    const uint32_t crc = StateCrc32(f.data(), f.size() - 4);
    for (int i = 0; i < 4; ++i) f[f.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
    return f;
  };
  auto setU32 = [](std::vector<uint8_t>& body, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) body[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  std::vector<uint8_t> packed = PackState(good);
  std::vector<uint8_t> flipped = packed;
  flipped[flipped.size() / 2] ^= 0x10;

  struct TCase {
    const char* Name;
    std::vector<uint8_t> File;
    TStateError Expected;
  };
  const TCase cases[] = {
      {"empty", {}, TStateError::NotAState},
      {"garbage", std::vector<uint8_t>(5000, 0xA5), TStateError::NotAState},
      {"magic only", std::vector<uint8_t>(StateMagic, StateMagic + 8), TStateError::Damaged},
      {"cut short", std::vector<uint8_t>(packed.begin(), packed.begin() + packed.size() / 2), TStateError::Damaged},
      {"one bit changed", flipped, TStateError::Damaged},
      {"a later format", withVersion(StateFormatVersion + 1), TStateError::NewerVersion},
      {"version 0", withVersion(0), TStateError::Damaged},
      {"other firmware", repack([&](TSectionMap& s) { s[0].second[5] ^= 1; }), TStateError::OtherFirmware},
      {"a section missing", repack([](TSectionMap& s) { s.erase(s.begin() + 2); }), TStateError::Damaged},
      {"a section cut short", repack([](TSectionMap& s) { s[1].second.resize(100); }), TStateError::Damaged},
      {"a value out of range: BankSelect",
       repack([&](TSectionMap& s) { setU32(s[1].second, 14, 2); }), TStateError::Damaged},
      {"a value out of range: the controller's index past its length",
       repack([&](TSectionMap& s) {
         setU32(s[4].second, 0, 1);       // reading
         setU32(s[4].second, 16, 300);    // index
         setU32(s[4].second, 20, 256);    // length
       }),
       TStateError::Damaged},
      {"a section twice", repack([](TSectionMap& s) { s.push_back(s[2]); }), TStateError::Damaged},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestMachine t;
    TMcpuThread& m = t.Build();
    m.RunPasses(300);
    const std::vector<uint8_t> before = StreamOf(m);
    EXPECT_EQ(Load(m, c.File), c.Expected);
    EXPECT_TRUE(StreamOf(m) == before) << "the machine changed";
  }
}

// What a later program may add: a section this one does not know, fields
// at the end of a known section.
TEST(SaveStateMachine, UnknownSectionsAndTrailingFieldsAreSkipped) {
  TTestMachine a, b;
  Exercise(a);
  b.Build();
  TSectionMap s = Split(StreamOf(*a.Machine));
  s.insert(s.begin() + 1, {StateTag("NEW!"), std::vector<uint8_t>(40, 1)});
  for (auto& [tag, body] : s) body.push_back(0xEE);
  ASSERT_EQ(Load(*b.Machine, PackState(Join(s))), TStateError::None);
  EXPECT_EQ(StreamOf(*b.Machine), StreamOf(*a.Machine));
}
