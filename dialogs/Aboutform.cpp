// The about box and its logo. The logo is drawn by the program itself: the
// name on a dark blue field with a quill stroke. While the box is shown a
// work picture holds the logo with a 40-pixel border of the logo's
// background colour; every tick copies a slightly displaced part of it back
// onto the logo, so the border shows through as the picture hops.
#include "Aboutform.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include "Dialogparts.h"

QImage TAboutForm1::DrawLogo() {
  QImage logo(LogoWidth, LogoHeight, QImage::Format_RGB32);
  QPainter p(&logo);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient field(0, 0, 0, LogoHeight);
  field.setColorAt(0.0, QColor(16, 24, 72));
  field.setColorAt(1.0, QColor(40, 64, 144));
  p.fillRect(logo.rect(), QColor(16, 24, 72));
  p.fillRect(QRect(0, 8, LogoWidth, LogoHeight - 8), field);
  // A quill: a curved vane and its shaft.
  QPainterPath vane;
  vane.moveTo(22, 58);
  vane.cubicTo(26, 30, 40, 14, 62, 6);
  vane.cubicTo(54, 22, 44, 40, 22, 58);
  p.fillPath(vane, QColor(235, 235, 210));
  p.setPen(QPen(QColor(200, 170, 90), 2));
  p.drawLine(18, 62, 50, 20);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(40);
  font.setBold(true);
  font.setItalic(true);
  p.setFont(font);
  p.setPen(QColor(255, 208, 64));
  p.drawText(QRect(70, 4, LogoWidth - 74, LogoHeight - 8), Qt::AlignVCenter | Qt::AlignLeft,
             QStringLiteral("Quillon"));
  p.setPen(QPen(QColor(255, 208, 64), 1));
  p.drawLine(72, LogoHeight - 8, LogoWidth - 10, LogoHeight - 8);
  return logo;
}

TAboutForm1::TAboutForm1(QWidget* parent) : TModalForm(parent) {
  setObjectName(QStringLiteral("AboutForm1"));
  setWindowTitle(tr("Quillonについて"));
  auto* layout = new QVBoxLayout(this);
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Sunken);
  auto* inner = new QVBoxLayout(frame);
  LogoImg = new QLabel(frame);
  LogoImg->setObjectName(QStringLiteral("LogoImg"));
  LogoImg->setFixedSize(LogoWidth, LogoHeight);
  LogoPicture = DrawLogo();
  ShowLogo();
  VersionLabel = new QLabel(QStringLiteral("Test Version1"), frame);
  QFont arial(QStringLiteral("Arial"));
  arial.setPixelSize(16);
  VersionLabel->setFont(arial);
  NoteLabel = new QLabel(
      tr("6809 ふたつで動くホームコンピュータのエミュレータ"), frame);
  inner->addWidget(LogoImg, 0, Qt::AlignHCenter);
  inner->addWidget(VersionLabel, 0, Qt::AlignHCenter);
  inner->addWidget(NoteLabel, 0, Qt::AlignHCenter);
  layout->addWidget(frame);
  HiddenLabel = new QLabel(this);  // a spot at the bottom right that does nothing
  HiddenLabel->setFixedSize(65, 25);
  auto* bottom = new QVBoxLayout;
  layout->addLayout(bottom);
  AddOkCancel(this, bottom);
  // The about box has OK only.
  if (auto* cancel = findChild<QWidget*>(QStringLiteral("BitBtn2"))) cancel->hide();
  FlickerTimer = new QTimer(this);
  FlickerTimer->setInterval(50);
  connect(FlickerTimer, &QTimer::timeout, this, [this] { FlickerTick(); });
  SetClientSize(382, 193);
}

void TAboutForm1::ShowLogo() { LogoImg->setPixmap(QPixmap::fromImage(LogoPicture)); }

int TAboutForm1::Random() {
  Seed = Seed * 1103515245u + 12345u;
  return static_cast<int>((Seed >> 16) & 0x7FFF);
}

void TAboutForm1::FormShow() {
  LogoPicture = DrawLogo();
  Work = QImage(LogoWidth + 2 * Margin, LogoHeight + 2 * Margin, QImage::Format_RGB32);
  Work.fill(LogoPicture.pixel(0, 0));
  {
    QPainter p(&Work);
    p.drawImage(Margin, Margin, LogoPicture);
  }
  ShowLogo();
  FlickerTimer->start();
}

void TAboutForm1::FlickerTick() {
  if (Work.isNull()) return;
  const int r1 = Random();
  const int r2 = Random();
  int b = r1 % 3 - 1;  // a hop of -1..+1 rows
  if (r2 % 50 == 0) b = r1 % 3 + Random() % 70 - 36;  // now and then a big one
  QPainter p(&LogoPicture);
  p.drawImage(QPoint(0, 0), Work, QRect(Margin, Margin + b, LogoWidth, LogoHeight));
  for (int i = 0; i < 3; ++i) {
    const int s = Random() % 20;
    const int d = Random() % LogoHeight;
    // Row d slips sideways by -10..+9 pixels.
    p.drawImage(QPoint(0, d), Work, QRect(Margin - 10 + s, Margin + d, LogoWidth, 1));
  }
  if (Random() % 40 == 0) {
    const int row = Random() % LogoHeight;
    p.setPen(QColor(192, 192, 192));
    p.drawLine(5, row, LogoWidth - 5, row);
  }
  p.end();
  ShowLogo();
}

void TAboutForm1::FormClose(bool ok) {
  (void)ok;
  FlickerTimer->stop();
  if (!Work.isNull()) {
    LogoPicture = Work.copy(Margin, Margin, LogoWidth, LogoHeight);
    Work = QImage();
  }
  ShowLogo();
}
