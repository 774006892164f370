// Video RAM and its pixel mirror: the write-plane mask, the scroll rotations,
// and the invariant that the pixel buffer is always the decoding of the three
// planes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "TestMachine.h"

namespace {

uint8_t DecodedPixel(const uint8_t* vram, size_t i) {
  size_t k = i >> 3;
  int bit = 7 - static_cast<int>(i & 7);
  uint8_t code = 0;
  for (int p = 0; p < 3; ++p) code |= ((vram[p * 0x4000 + k] >> bit) & 1) << p;
  return code;
}

TEST(PixelBuffer, WriteReplacesOnlyItsPlaneBit) {
  TTestMachine t;
  t.Build();
  auto& sub = t.Subcpu();
  sub.WriteByte(0x0000, 0xFF);
  sub.WriteByte(0x4000, 0x00);
  sub.WriteByte(0x8000, 0xA5);
  const uint8_t expect[8] = {5, 1, 5, 1, 1, 5, 1, 5};
  for (int j = 0; j < 8; ++j) EXPECT_EQ(t.State.Pixel(j), expect[j]) << j;

  t.Main().WriteByte(0xFD37, 0x02);  // WritePlanes 5: plane 1 protected
  sub.WriteByte(0x4000, 0xFF);
  EXPECT_EQ(sub.ReadByte(0x4000), 0x00);
  for (int j = 0; j < 8; ++j) EXPECT_EQ(t.State.Pixel(j), expect[j]) << j;
}

TEST(PixelBuffer, ScrollOffsetRotatesPlanes) {
  TTestMachine t;
  t.Build();
  auto& sub = t.Subcpu();
  sub.WriteByte(0x0040, 0xAB);
  sub.WriteByte(0x4040, 0xCD);
  sub.WriteByte(0x8000, 0xEF);
  sub.WriteByte(0xD40E, 0x00);
  sub.WriteByte(0xD40F, 0x50);  // 0x50 AND 3FE0 = 0x40
  EXPECT_EQ(sub.VramOffset, 0x40);
  EXPECT_EQ(sub.ReadByte(0x0000), 0xAB);
  EXPECT_EQ(sub.ReadByte(0x4000), 0xCD);
  EXPECT_EQ(sub.ReadByte(0x8000 + 0x4000 - 0x40), 0xEF);
  EXPECT_EQ(t.State.Pixel(0), 3);  // AB/CD both have bit 7 set

  sub.WriteByte(0xD40F, 0x40);  // same offset: nothing moves
  EXPECT_EQ(sub.ReadByte(0x0000), 0xAB);

  sub.WriteByte(0xD40E, 0x05);
  sub.WriteByte(0xD40F, 0x00);
  sub.WriteByte(0xD40E, 0x00);
  sub.WriteByte(0xD40F, 0x00);  // back to 0: the first layout again
  EXPECT_EQ(sub.ReadByte(0x0040), 0xAB);
  EXPECT_EQ(sub.ReadByte(0x8000), 0xEF);
  EXPECT_EQ(t.State.Pixel(0x40 * 8), 3);
}

// Random video RAM writes, plane-mask changes and scroll offsets against a
// plain model of the three planes; the pixel buffer must always be the
// decoding of video RAM.
TEST(PixelBuffer, AlwaysTheDecodingOfThePlanes) {
  TTestMachine t;
  t.Build();
  auto& sub = t.Subcpu();
  std::vector<uint8_t> model(3 * 0x4000, 0);
  unsigned writePlanes = 7;
  uint16_t offset = 0, high = 0;
  std::mt19937 rng(12345);
  auto check = [&](int step) {
    for (size_t a = 0; a < model.size(); ++a)
      ASSERT_EQ(sub.Bank[0][a], model[a]) << "step " << step << " address " << a;
    for (size_t i = 0; i < TDisplayState::PixelCount; ++i)
      ASSERT_EQ(t.State.Pixel(i), DecodedPixel(model.data(), i))
          << "step " << step << " pixel " << i;
  };
  for (int step = 0; step < 30000; ++step) {
    unsigned r = rng() % 100;
    uint8_t v = static_cast<uint8_t>(rng());
    if (r < 85) {
      uint16_t a = static_cast<uint16_t>(rng() % 0xC000);
      sub.WriteByte(a, v);
      if (writePlanes & (1u << (a >> 14))) model[a] = v;
    } else if (r < 93) {
      t.Main().WriteByte(0xFD37, v);
      writePlanes = ~v & 7u;
    } else if (r < 96) {
      high = v;
      sub.WriteByte(0xD40E, v);
    } else {
      sub.WriteByte(0xD40F, v);
      uint16_t next = static_cast<uint16_t>(((high << 8) | v) & 0x3FE0);
      unsigned delta = static_cast<unsigned>(next - offset) & 0x3FE0;
      offset = next;
      for (int p = 0; p < 3; ++p) {
        auto first = model.begin() + p * 0x4000;
        std::rotate(first, first + delta, first + 0x4000);
      }
    }
    if (step % 5000 == 4999) check(step);
  }
  check(-1);
}

TEST(PixelBuffer, CopyPixelsMatchesPixel) {
  TDisplayState d;
  for (uint16_t k = 0; k < 0x4000; k += 7) d.UpdatePixels(k, static_cast<uint8_t>(k * 13));
  std::vector<uint8_t> out(640 * 200);
  d.CopyPixels(out.data(), 0, out.size());
  for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], d.Pixel(i)) << i;
  EXPECT_FALSE(d.UpdatePixels(0xC000, 0xFF));  // plane 3 does not exist
}

}  // namespace
