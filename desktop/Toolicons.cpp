// Tool bar icons and status lamps painted with QPainter on 20 x 20 pixmaps.
#include "Toolicons.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr int Size = 20;

QPixmap Blank() {
  QPixmap pm(Size, Size);
  pm.fill(Qt::transparent);
  return pm;
}

void DrawDisk(QPainter& p) {
  p.setPen(QPen(QColor(20, 30, 70), 1));
  p.setBrush(QColor(40, 70, 160));
  QPainterPath body;
  body.moveTo(2.5, 2.5);
  body.lineTo(15.5, 2.5);
  body.lineTo(17.5, 4.5);
  body.lineTo(17.5, 17.5);
  body.lineTo(2.5, 17.5);
  body.closeSubpath();
  p.drawPath(body);
  p.setBrush(QColor(200, 205, 215));  // shutter
  p.drawRect(QRectF(6.5, 2.5, 7, 5));
  p.setBrush(QColor(40, 70, 160));
  p.drawRect(QRectF(10.5, 3.5, 2, 3));
  p.setBrush(Qt::white);  // label
  p.drawRect(QRectF(4.5, 10.5, 11, 7));
  p.setPen(QColor(150, 150, 170));
  p.drawLine(QPointF(6, 13), QPointF(14, 13));
  p.drawLine(QPointF(6, 15), QPointF(12, 15));
}

void DrawTape(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.setBrush(QColor(90, 90, 95));
  p.drawRoundedRect(QRectF(1.5, 4.5, 17, 12), 1.5, 1.5);
  p.setBrush(QColor(230, 220, 190));  // label
  p.drawRect(QRectF(3.5, 6.5, 13, 6));
  p.setBrush(QColor(60, 40, 30));  // tape window
  p.drawRect(QRectF(6.5, 8.5, 7, 3));
  p.setBrush(Qt::white);  // reels
  p.drawEllipse(QPointF(6.5, 10), 1.6, 1.6);
  p.drawEllipse(QPointF(13.5, 10), 1.6, 1.6);
  p.setBrush(QColor(60, 60, 60));
  p.drawRect(QRectF(5.5, 13.5, 9, 3));
}

void DrawScreenSave(QPainter& p) {
  p.setPen(QPen(QColor(30, 30, 30), 1));
  p.setBrush(QColor(180, 180, 185));
  p.drawRect(QRectF(1.5, 2.5, 14, 11));
  p.setBrush(Qt::black);
  p.drawRect(QRectF(3.5, 4.5, 10, 7));
  p.setPen(QColor(0, 255, 0));
  p.drawLine(QPointF(4.5, 6.5), QPointF(9.5, 6.5));
  p.setPen(QColor(0, 255, 255));
  p.drawLine(QPointF(4.5, 8.5), QPointF(11.5, 8.5));
  p.setPen(QPen(QColor(30, 30, 30), 1));
  p.setBrush(QColor(180, 180, 185));
  p.drawRect(QRectF(6.5, 13.5, 4, 2));
  // The arrow into the file.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 140, 60));
  QPolygonF arrow;
  arrow << QPointF(14, 10) << QPointF(18, 10) << QPointF(18, 14) << QPointF(20, 14)
        << QPointF(16, 19) << QPointF(12, 14) << QPointF(14, 14);
  p.drawPolygon(arrow);
}

void DrawZoom(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(200, 230, 255));
  p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
  p.setPen(QPen(QColor(110, 70, 30), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(12.5, 12.5), QPointF(17.5, 17.5));
}

void DrawFullScreen(QPainter& p) {
  p.setPen(QPen(QColor(30, 30, 30), 1));
  p.setBrush(Qt::black);
  p.drawRect(QRectF(4.5, 5.5, 11, 9));
  p.setPen(QPen(QColor(0, 90, 200), 2));
  auto corner = [&](QPointF a, QPointF b, QPointF c) {
    p.drawLine(a, b);
    p.drawLine(b, c);
  };
  corner(QPointF(1, 5), QPointF(1, 1), QPointF(5, 1));
  corner(QPointF(15, 1), QPointF(19, 1), QPointF(19, 5));
  corner(QPointF(1, 15), QPointF(1, 19), QPointF(5, 19));
  corner(QPointF(15, 19), QPointF(19, 19), QPointF(19, 15));
}

void DrawPerformance(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(QColor(245, 245, 235));
  p.drawPie(QRectF(1.5, 3.5, 17, 17), 0, 180 * 16);
  p.setPen(QPen(QColor(0, 160, 0), 2));
  p.drawArc(QRectF(3.5, 5.5, 13, 13), 120 * 16, 60 * 16);
  p.setPen(QPen(QColor(220, 40, 0), 2));
  p.drawArc(QRectF(3.5, 5.5, 13, 13), 0, 40 * 16);
  p.setPen(QPen(QColor(20, 20, 20), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 12), QPointF(15, 7));
}

void DrawTimer(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(10, 10), 8, 8);
  p.setPen(QPen(QColor(40, 40, 40), 1));
  for (int h = 0; h < 12; ++h) {
    double a = h * M_PI / 6;
    p.drawLine(QPointF(10 + 6.5 * std::sin(a), 10 - 6.5 * std::cos(a)),
               QPointF(10 + 7.5 * std::sin(a), 10 - 7.5 * std::cos(a)));
  }
  p.setPen(QPen(QColor(20, 20, 20), 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 10), QPointF(10, 4.5));
  p.drawLine(QPointF(10, 10), QPointF(14, 12));
}

void DrawReset(QPainter& p) {
  p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(3, 3, 14, 14), 110 * 16, 300 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 30, 30));
  QPolygonF head;
  head << QPointF(6.5, 0.5) << QPointF(11.5, 4.5) << QPointF(5.5, 7.5);
  p.drawPolygon(head);
}

}  // namespace

QIcon ToolIcon(TToolIcon which) {
  QPixmap pm = Blank();
  {
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (which) {
      case TToolIcon::Disk: DrawDisk(p); break;
      case TToolIcon::Tape: DrawTape(p); break;
      case TToolIcon::SaveScreen: DrawScreenSave(p); break;
      case TToolIcon::Zoom: DrawZoom(p); break;
      case TToolIcon::FullScreen: DrawFullScreen(p); break;
      case TToolIcon::Performance: DrawPerformance(p); break;
      case TToolIcon::Timer: DrawTimer(p); break;
      case TToolIcon::Reset: DrawReset(p); break;
    }
  }
  return QIcon(pm);
}

QPixmap LampPixmap(bool on) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  QRadialGradient g(QPointF(6.5, 6.5), 7);
  if (on) {
    g.setColorAt(0, QColor(255, 200, 180));
    g.setColorAt(0.5, QColor(255, 40, 20));
    g.setColorAt(1, QColor(150, 0, 0));
  } else {
    g.setColorAt(0, QColor(150, 110, 110));
    g.setColorAt(1, QColor(70, 40, 40));
  }
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.setBrush(g);
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  return pm;
}
