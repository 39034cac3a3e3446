#include "toolkit/gui/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace quiz {
namespace {

// Every icon is drawn on a 32 x 32 grid and scaled.
void DrawSheet(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 120), 1.5));
  p.setBrush(QColor(255, 232, 155));
  p.drawRoundedRect(QRectF(5, 2, 22, 28), 2, 2);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 3; ++col) {
      const bool marked = (row + col * 2) % 3 == 0;
      p.setBrush(marked ? QColor(100, 100, 100) : Qt::white);
      p.drawEllipse(QRectF(9 + col * 6, 6 + row * 6, 4.5, 3.5));
    }
  }
}

void DrawQuestionMark(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 90, 200));
  p.drawEllipse(QRectF(2, 2, 28, 28));
  p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath hook;
  hook.moveTo(11, 12);
  hook.cubicTo(11, 5, 22, 5, 21, 12);
  hook.cubicTo(20, 16, 16, 15, 16, 20);
  p.drawPath(hook);
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(14, 23, 4, 4));
}

void DrawTick(QPainter& p) {
  p.setPen(QPen(QColor(0, 150, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(5, 17), QPointF(13, 25), QPointF(27, 7)}));
}

void DrawCross(QPainter& p) {
  p.setPen(QPen(QColor(210, 0, 0), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(7, 7), QPointF(25, 25));
  p.drawLine(QPointF(25, 7), QPointF(7, 25));
}

void DrawExit(QPainter& p) {
  p.setPen(QPen(QColor(90, 60, 30), 2));
  p.setBrush(QColor(200, 160, 100));
  p.drawRect(QRectF(4, 3, 14, 26));
  p.setPen(QPen(QColor(0, 130, 0), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(13, 16), QPointF(28, 16));
  p.drawPolyline(QPolygonF({QPointF(23, 11), QPointF(28, 16), QPointF(23, 21)}));
}

}  // namespace

QPixmap IconPixmap(const std::string& name, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  if (name == "Ic0") {
    DrawSheet(p);
  } else if (name == "IcPreg") {
    DrawQuestionMark(p);
  } else if (name == "IcBe") {
    DrawTick(p);
  } else if (name == "IcMal") {
    DrawCross(p);
  } else if (name == "IcSurt") {
    DrawExit(p);
  }
  return pixmap;
}

QIcon ResourceIcon(const std::string& name) {
  // The sizes of a title bar and a task bar; the desktop scales them for larger places. Every
  // size drawn costs a program's start a little (antialiased paths), so there are only two.
  QIcon icon;
  for (int size : {16, 32}) icon.addPixmap(IconPixmap(name, size));
  return icon;
}

}  // namespace quiz
