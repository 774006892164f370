// The window on a real X server (run under xvfb-run by ctest, no window
// manager): the program's window starts with the free firmware and the screen
// really shows the machine's banner, white on black, in the picture area; the
// window takes the keyboard itself, so Alt reaches the menu bar.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include "RunningForm.h"

namespace {

TEST(XvfbSmoke, TheBannerIsOnTheScreen) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server";
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(RunUntil([&] { return TextScreen(form).find("Quillon") != std::string::npos; }, 15000));
  uint64_t frames = form.FramesDrawn;
  ASSERT_TRUE(RunUntil([&] { return form.FramesDrawn > frames + 2; }, 5000));
  Settle(20);

  // What the X server shows where the picture is.
  QPoint topLeft = form.Picture->mapToGlobal(QPoint(0, 0));
  QImage shot = form.screen()->grabWindow(0, topLeft.x(), topLeft.y(), 640, 400).toImage();
  ASSERT_EQ(shot.size(), QSize(640, 400));
  // The first text line (machine rows 0-7, screen rows 0-15) holds white
  // dots; everything is black or white; the lower half is black.
  int white = 0, other = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 640; ++x) {
      QRgb p = shot.pixel(x, y) & 0xFFFFFF;
      if (p == 0xFFFFFF) ++white;
      else if (p != 0) ++other;
    }
  EXPECT_GT(white, 50);
  EXPECT_EQ(other, 0);
  for (int y = 300; y < 400; y += 7)
    for (int x = 0; x < 640; x += 5) ASSERT_EQ(shot.pixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
  // A machine line is two screen lines at 100 %.
  for (int x = 0; x < 640; ++x) ASSERT_EQ(shot.pixel(x, 4), shot.pixel(x, 5)) << x;

  // Nobody hands the window the keyboard here but the window itself.
  ASSERT_TRUE(RunUntil([&] { return QApplication::focusWidget() == form.Picture; }, 5000));
  QTest::simulateEvent(form.Picture, true, Qt::Key_Alt, Qt::NoModifier, QString(), false);
  QTest::simulateEvent(form.Picture, false, Qt::Key_Alt, Qt::AltModifier, QString(), false);
  EXPECT_TRUE(RunUntil([&] { return QApplication::focusWidget() == form.menuBar(); }, 2000));
  EXPECT_TRUE(form.Paused());
}

}  // namespace
