// TDdraw: the presenter that puts the machine's 640 x 200 picture on the host
// screen.
//
// A frame is drawn in two steps. DrawScreen turns the pixel codes of the
// pixel buffer through the display plane mask and the palette into host
// pixels of a 640 x 200 work image; Flip then has the picture widget paint
// that image stretched into DstRect, without smoothing, so each machine pixel
// stays a sharp block (at 100 % each machine line is shown twice). With
// Smooth set, a picture smaller than 640 x 400 (the 50 % and 75 % zoom) is
// shrunk with smoothing instead, which keeps thin strokes visible; larger
// pictures stay sharp either way. The
// presenter never decodes the host's pixel format: the value of each of the
// eight machine colours is measured once by drawing it into the work image
// and reading the raw word back (MeasureColours), and drawing is then two
// table look-ups per pixel.
//
// In full screen the window covers the screen and shows a 640 x 480 frame
// scaled to fit with its shape kept; the picture fills rows 40-439 of that
// frame and the rest stays black. The host's display mode is never changed.
//
// Every operation runs on the window thread. The pixel buffer and palette are
// read with relaxed atomic loads while the emulation thread may be writing
// them; a frame may show a picture in the middle of an update.
#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <atomic>
#include <cstdint>

class QPainter;

class TDdraw {
 public:
  static constexpr int Width = 640;        // machine pixels per line
  static constexpr int Height = 200;       // machine lines
  static constexpr int FrameWidth = 640;   // full-screen frame
  static constexpr int FrameHeight = 480;
  static constexpr int FrameTop = 40;      // first frame row of the picture
  static constexpr int PictureHeight = 400;

  // workFormat is the host pixel format of the work image; the program uses
  // 32-bit pixels (cheapest to paint), other depths work the same way.
  explicit TDdraw(QImage::Format workFormat = QImage::Format_RGB32);
  TDdraw(const TDdraw&) = delete;
  TDdraw& operator=(const TDdraw&) = delete;

  // Opens the presenter on hWnd, the widget the picture is painted in, in
  // window (fullScreen 0) or full-screen mode (1): creates the work image and
  // measures the colours. False when either fails; Close must still be
  // called.
  bool Open(QWidget* hWnd, int fullScreen);
  void Close();
  bool IsOpen() const { return !Work.isNull(); }

  bool CreateSurfaces();
  void ReleaseSurfaces();
  bool MeasureColours();
  // The work image cannot be lost on this host; nothing ever needs restoring.
  bool RestoreSurfaces() { return false; }

  // Raw access to the work image; null when there is none.
  uint8_t* LockWork();
  void UnlockWork() { Bits = nullptr; }

  // Asks the picture widget to paint the work image into DstRect. False when
  // there is nothing to paint or nowhere to paint it.
  bool Flip();
  // Called from the picture widget's paint event: the work image stretched
  // into DstRect (smoothed as Smooth says), black everywhere else.
  void Paint(QPainter& painter, const QRect& area) const;

  // Converts the first 200 lines of the pixel buffer into the work image.
  // pixels: the buffer as 64-bit words, byte j of word k the code of pixel
  // 8k + j; mask: the display plane mask (its low byte counts, so the 32-bit
  // repeat word of the mask works too); palette: logical colour -> machine
  // colour. A depth other than 8, 16, 24 or 32 bits draws nothing.
  void DrawScreen(const std::atomic<uint64_t>* pixels, uint32_t mask,
                  const std::atomic<uint32_t>* palette);
  // Fills the whole work image with machine colour colour (not a palette
  // index: the program passes 0 for black).
  void FillWork(int colour);

  // Where the picture goes, in the coordinates of an area of the given size:
  // the whole area in a window; in full screen a 640 x 480 frame scaled to
  // fit the area with its shape kept and centred, the picture being frame
  // rows 40-439.
  static QRect PictureRect(const QSize& area, bool fullScreen);

  // Test hook: makes the next Open fail as a host without a usable picture
  // surface would.
  bool RefuseOpen = false;

  QPointer<QWidget> hWnd;
  int FullScreen = 0;
  int BitCount = 0;
  int Pitch = 0;
  int LineSkip = 0;
  uint8_t* Bits = nullptr;
  const QRect SrcRect{0, 0, Width, Height};
  QImage Work;
  uint32_t PixelValue[8] = {};
  QRect DstRect{0, 0, Width, PictureHeight};
  // Smoothing of pictures shrunk below 640 x 400.
  bool Smooth = false;
  // Frames handed to the picture widget so far (for tests and the status).
  uint64_t FlipCount = 0;

 private:
  QImage::Format WorkFormat;
};
