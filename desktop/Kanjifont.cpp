// Kanji patterns from a host font: Shift_JIS decoded by ICU, the character
// painted on a one-bit 16 x 16 image at baseline 14 (the ascent of IPAGothic
// at 16 pixels), the image's rows copied out as they are.
#include "Kanjifont.h"

#include <QImage>
#include <QPainter>
#include <QStringDecoder>

QFont KanjiFont() {
  QFont f;
  // A bare "MS Gothic" has no alias on Linux and falls back to a face with
  // other metrics, so the list names every face we accept, in order.
  f.setFamilies({QStringLiteral("MS Gothic"), QStringLiteral("ＭＳ ゴシック"),
                 QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
  f.setStyleHint(QFont::Monospace);
  f.setPixelSize(16);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

void DrawKanjiGlyph(uint16_t sjis, uint8_t bitmap[32]) {
  QByteArray bytes;
  if (sjis >= 0x100) bytes.append(static_cast<char>(sjis >> 8));
  bytes.append(static_cast<char>(sjis & 0xFF));
  QStringDecoder decode("Shift_JIS");
  QString text = decode(bytes);
  if (decode.hasError() || text.isEmpty() || text.contains(QChar::ReplacementCharacter) ||
      !text.at(0).isPrint())
    return;

  QImage glyph(16, 16, QImage::Format_Mono);
  glyph.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  glyph.fill(0);
  {
    QPainter p(&glyph);
    p.setFont(KanjiFont());
    p.setPen(QColor(255, 255, 255));
    p.drawText(0, 14, text);
  }
  for (int r = 0; r < 16; ++r) {
    const uchar* line = glyph.constScanLine(r);
    bitmap[2 * r] = line[0];
    bitmap[2 * r + 1] = line[1];
  }
}
