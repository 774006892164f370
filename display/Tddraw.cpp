// TDdraw over Qt: a 32-bit QImage as the work surface, painted by the picture
// widget with QPainter as the flip (smoothed only when asked and shrinking).
#include "Tddraw.h"

#include <QColor>
#include <QPainter>
#include <cstring>

namespace {

// One frame's conversion for a given number of bytes per pixel. lut holds
// the host value of each pixel code with the plane mask and palette folded
// in, so a pixel is one shift, one mask and one look-up.
template <int BytesPerPixel>
void ConvertFrame(const std::atomic<uint64_t>* pixels, const uint32_t lut[8],
                  uint8_t* dst, int lineSkip) {
  constexpr int WordsPerLine = TDdraw::Width / 8;
  for (int y = 0; y < TDdraw::Height; ++y) {
    const std::atomic<uint64_t>* src = pixels + y * WordsPerLine;
    for (int k = 0; k < WordsPerLine; ++k) {
      uint64_t w = src[k].load(std::memory_order_relaxed);
      if constexpr (BytesPerPixel == 4) {
        uint32_t out[8];
        for (int j = 0; j < 8; ++j) out[j] = lut[(w >> (8 * j)) & 7];
        std::memcpy(dst, out, sizeof out);
      } else if constexpr (BytesPerPixel == 2) {
        uint16_t out[8];
        for (int j = 0; j < 8; ++j) out[j] = static_cast<uint16_t>(lut[(w >> (8 * j)) & 7]);
        std::memcpy(dst, out, sizeof out);
      } else if constexpr (BytesPerPixel == 1) {
        // Four pixels assembled into one word, two stores per eight pixels.
        uint32_t lo = 0, hi = 0;
        for (int j = 0; j < 4; ++j) {
          lo |= (lut[(w >> (8 * j)) & 7] & 0xFF) << (8 * j);
          hi |= (lut[(w >> (8 * (j + 4))) & 7] & 0xFF) << (8 * j);
        }
        std::memcpy(dst, &lo, 4);
        std::memcpy(dst + 4, &hi, 4);
      } else {
        for (int j = 0; j < 8; ++j) {
          uint32_t v = lut[(w >> (8 * j)) & 7];
          dst[3 * j] = static_cast<uint8_t>(v);
          dst[3 * j + 1] = static_cast<uint8_t>(v >> 8);
          dst[3 * j + 2] = static_cast<uint8_t>(v >> 16);
        }
      }
      dst += 8 * BytesPerPixel;
    }
    dst += lineSkip;
  }
}

}  // namespace

TDdraw::TDdraw(QImage::Format workFormat) : WorkFormat(workFormat) {}

bool TDdraw::Open(QWidget* wnd, int fullScreen) {
  hWnd = wnd;
  FullScreen = fullScreen;
  if (RefuseOpen) {
    RefuseOpen = false;
    return false;
  }
  if (!hWnd) return false;
  return CreateSurfaces() && MeasureColours();
}

void TDdraw::Close() {
  ReleaseSurfaces();
  hWnd = nullptr;
}

bool TDdraw::CreateSurfaces() {
  Work = QImage(Width, Height, WorkFormat);
  if (Work.isNull()) return false;
  BitCount = Work.depth();
  Pitch = static_cast<int>(Work.bytesPerLine());
  if (BitCount < 8 || BitCount > 32) {
    Work = QImage();
    return false;
  }
  LineSkip = Pitch - (BitCount >> 3) * Width;
  return true;
}

void TDdraw::ReleaseSurfaces() {
  Bits = nullptr;
  Work = QImage();
}

uint8_t* TDdraw::LockWork() {
  Bits = Work.isNull() ? nullptr : Work.bits();
  return Bits;
}

bool TDdraw::MeasureColours() {
  if (Work.isNull()) return false;
  // Draw each colour into pixel (0, 0) the way any picture would be drawn,
  // then read the raw value back; the saved pixel is put back afterwards.
  QColor saved = Work.pixelColor(0, 0);
  for (int c = 0; c < 8; ++c) {
    Work.setPixelColor(0, 0, QColor((c & 2) ? 255 : 0, (c & 4) ? 255 : 0, (c & 1) ? 255 : 0));
    uint8_t* p = LockWork();
    if (!p) return false;
    uint32_t v = 0;
    std::memcpy(&v, p, static_cast<size_t>(BitCount >= 32 ? 4 : (BitCount + 7) / 8));
    if (BitCount < 32) v &= (1u << BitCount) - 1;
    PixelValue[c] = v;
    UnlockWork();
  }
  Work.setPixelColor(0, 0, saved);
  return true;
}

void TDdraw::DrawScreen(const std::atomic<uint64_t>* pixels, uint32_t mask,
                        const std::atomic<uint32_t>* palette) {
  uint8_t* d = LockWork();
  if (!d) return;
  uint32_t lut[8];
  for (uint32_t code = 0; code < 8; ++code)
    lut[code] = PixelValue[palette[code & mask].load(std::memory_order_relaxed) & 7];
  switch (BitCount) {
    case 32: ConvertFrame<4>(pixels, lut, d, LineSkip); break;
    case 24: ConvertFrame<3>(pixels, lut, d, LineSkip); break;
    case 16: ConvertFrame<2>(pixels, lut, d, LineSkip); break;
    case 8: ConvertFrame<1>(pixels, lut, d, LineSkip); break;
    default: break;
  }
  UnlockWork();
}

void TDdraw::FillWork(int colour) {
  if (Work.isNull()) return;
  Work.fill(PixelValue[colour & 7]);
}

bool TDdraw::Flip() {
  if (Work.isNull() || !hWnd) return false;
  hWnd->update();
  ++FlipCount;
  return true;
}

void TDdraw::Paint(QPainter& painter, const QRect& area) const {
  painter.fillRect(area, Qt::black);
  if (Work.isNull() || DstRect.isEmpty()) return;
  if (Smooth && (DstRect.width() < Width || DstRect.height() < PictureHeight)) {
    // Shrunk by area averaging, so a one-pixel column leaves a trace of its
    // colour instead of vanishing.
    painter.drawImage(DstRect.topLeft(),
                      Work.copy(SrcRect).scaled(DstRect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(DstRect, Work, SrcRect);
}

QRect TDdraw::PictureRect(const QSize& area, bool fullScreen) {
  if (!fullScreen) return QRect(QPoint(0, 0), area);
  // Largest 640 x 480 frame that fits, shape kept, centred.
  double s = std::min(area.width() / double(FrameWidth), area.height() / double(FrameHeight));
  int fw = static_cast<int>(FrameWidth * s + 0.5);
  int fh = static_cast<int>(FrameHeight * s + 0.5);
  int x = (area.width() - fw) / 2;
  int y = (area.height() - fh) / 2;
  int top = y + static_cast<int>(FrameTop * s + 0.5);
  int bottom = y + static_cast<int>((FrameTop + PictureHeight) * s + 0.5);
  return QRect(x, top, fw, bottom - top);
}
