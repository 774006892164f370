// The presenter: measured colours, the frame conversion through the plane
// mask and the palette, the fill, and where the picture goes.
#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>
#include <memory>

#include "Tddraw.h"

namespace {

constexpr size_t Words = 16384;

struct TScreen {
  std::unique_ptr<std::atomic<uint64_t>[]> Pixels{new std::atomic<uint64_t>[Words]};
  std::atomic<uint32_t> Palette[8] = {0, 1, 2, 3, 4, 5, 6, 7};
  TScreen() {
    for (size_t i = 0; i < Words; ++i) Pixels[i].store(0);
  }
  void Set(int x, int y, uint8_t code) {
    size_t i = static_cast<size_t>(y) * 640 + x;
    uint64_t w = Pixels[i / 8].load();
    w &= ~(0xFFull << (8 * (i % 8)));
    w |= uint64_t(code) << (8 * (i % 8));
    Pixels[i / 8].store(w);
  }
};

QRgb MachineRgb(int c) { return qRgb(c & 2 ? 255 : 0, c & 4 ? 255 : 0, c & 1 ? 255 : 0); }

class TddrawTest : public ::testing::TestWithParam<QImage::Format> {
 protected:
  QWidget Window;
  TScreen Screen;
};

TEST_P(TddrawTest, PixelsGoThroughPlaneMaskAndPalette) {
  TDdraw dd(GetParam());
  ASSERT_TRUE(dd.Open(&Window, 0));
  // Measured values are distinct: eight colours, eight pixel values.
  for (int a = 0; a < 8; ++a)
    for (int b = a + 1; b < 8; ++b) EXPECT_NE(dd.PixelValue[a], dd.PixelValue[b]);

  for (int c = 0; c < 8; ++c) Screen.Set(c, 0, static_cast<uint8_t>(c));
  Screen.Set(639, 199, 5);
  dd.DrawScreen(Screen.Pixels.get(), 0x07070707, Screen.Palette);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(dd.Work.pixel(c, 0), MachineRgb(c)) << c;
  EXPECT_EQ(dd.Work.pixel(639, 199), MachineRgb(5));
  EXPECT_EQ(dd.Work.pixel(320, 100), MachineRgb(0));

  // Only plane 0 shown: codes become 0 or 1, through palette entries 0 and 1.
  Screen.Palette[0] = 6;
  Screen.Palette[1] = 3;
  dd.DrawScreen(Screen.Pixels.get(), 1, Screen.Palette);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(dd.Work.pixel(c, 0), MachineRgb(c & 1 ? 3 : 6)) << c;

  // No plane shown: everything is palette entry 0.
  dd.DrawScreen(Screen.Pixels.get(), 0, Screen.Palette);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(dd.Work.pixel(c, 0), MachineRgb(6));

  // The fill is machine colour 0 whatever the palette says.
  dd.FillWork(0);
  EXPECT_EQ(dd.Work.pixel(5, 5), MachineRgb(0));
  EXPECT_EQ(dd.Work.pixel(639, 199), MachineRgb(0));
}

INSTANTIATE_TEST_SUITE_P(Depths, TddrawTest,
                         ::testing::Values(QImage::Format_RGB32, QImage::Format_RGB16,
                                           QImage::Format_RGB555, QImage::Format_RGB888));

TEST(Tddraw, FailedOpenLeavesNothingToDrawOrFlip) {
  QWidget window;
  TScreen screen;
  TDdraw dd;
  dd.RefuseOpen = true;
  EXPECT_FALSE(dd.Open(&window, 0));
  dd.Close();
  EXPECT_FALSE(dd.IsOpen());
  dd.DrawScreen(screen.Pixels.get(), 7, screen.Palette);
  dd.FillWork(0);
  EXPECT_FALSE(dd.Flip());
  EXPECT_EQ(dd.FlipCount, 0u);
  // The next open works again.
  EXPECT_TRUE(dd.Open(&window, 0));
  EXPECT_TRUE(dd.Flip());
  EXPECT_FALSE(dd.Open(nullptr, 0));
}

TEST(Tddraw, PaintStretchesWithoutSmoothing) {
  QWidget window;
  TScreen screen;
  TDdraw dd;
  ASSERT_TRUE(dd.Open(&window, 0));
  // Alternating white and black pixels in line 0, blue in line 1.
  for (int x = 0; x < 640; x += 2) screen.Set(x, 0, 7);
  for (int x = 0; x < 640; ++x) screen.Set(x, 1, 1);
  dd.DrawScreen(screen.Pixels.get(), 7, screen.Palette);
  dd.DstRect = QRect(0, 0, 1280, 800);
  QImage out(1280, 800, QImage::Format_RGB32);
  {
    QPainter p(&out);
    dd.Paint(p, out.rect());
  }
  // Each machine pixel is a sharp 2 x 4 block: no blended colours.
  EXPECT_EQ(out.pixel(0, 0), MachineRgb(7));
  EXPECT_EQ(out.pixel(1, 3), MachineRgb(7));
  EXPECT_EQ(out.pixel(2, 0), MachineRgb(0));
  EXPECT_EQ(out.pixel(3, 3), MachineRgb(0));
  EXPECT_EQ(out.pixel(5, 4), MachineRgb(1));
  EXPECT_EQ(out.pixel(5, 7), MachineRgb(1));
}

TEST(Tddraw, SmoothingOnlyWhereThePictureShrinks) {
  QWidget window;
  TScreen screen;
  TDdraw dd;
  ASSERT_TRUE(dd.Open(&window, 0));
  // One-pixel white columns on black, as thin strokes of text are.
  for (int y = 0; y < 200; ++y)
    for (int x = 1; x < 640; x += 2) screen.Set(x, y, 7);
  dd.DrawScreen(screen.Pixels.get(), 7, screen.Palette);
  const struct {
    QSize Size;
    bool Smooth, Blended;
  } cases[] = {{{320, 200}, false, false}, {{320, 200}, true, true},  {{480, 300}, true, true},
               {{640, 400}, true, false},  {{960, 600}, true, false}, {{1280, 800}, true, false}};
  for (const auto& c : cases) {
    dd.Smooth = c.Smooth;
    dd.DstRect = QRect(QPoint(0, 0), c.Size);
    QImage out(c.Size, QImage::Format_RGB32);
    {
      QPainter p(&out);
      dd.Paint(p, out.rect());
    }
    bool blended = false;
    for (int x = 0; x < c.Size.width(); ++x) {
      const QRgb px = out.pixel(x, c.Size.height() / 2);
      blended |= px != MachineRgb(0) && px != MachineRgb(7);
    }
    EXPECT_EQ(blended, c.Blended) << c.Size.width() << " smooth " << c.Smooth;
  }
}

TEST(Tddraw, PictureRectInWindowAndFullScreen) {
  // A window shows the picture over its whole area, whatever its shape.
  EXPECT_EQ(TDdraw::PictureRect(QSize(640, 400), false), QRect(0, 0, 640, 400));
  EXPECT_EQ(TDdraw::PictureRect(QSize(333, 17), false), QRect(0, 0, 333, 17));
  // Full screen: a 640 x 480 frame, the picture at rows 40-439.
  EXPECT_EQ(TDdraw::PictureRect(QSize(640, 480), true), QRect(0, 40, 640, 400));
  EXPECT_EQ(TDdraw::PictureRect(QSize(1280, 960), true), QRect(0, 80, 1280, 800));
  // A wide screen: the frame is centred with black at the sides.
  EXPECT_EQ(TDdraw::PictureRect(QSize(1920, 1080), true), QRect(240, 90, 1440, 900));
  // A tall screen: black above and below.
  EXPECT_EQ(TDdraw::PictureRect(QSize(640, 600), true), QRect(0, 100, 640, 400));
}

}  // namespace
