#include "toolkit/gui/icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <map>
#include <utility>

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

namespace {

// An icon drawn at the size asked for, when it is first asked for: a window's icon costs nothing
// until the desktop wants it, and then only the sizes it wants.
class DrawnIconEngine : public QIconEngine {
 public:
  explicit DrawnIconEngine(std::string name) : name_(std::move(name)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const int side = std::min(rect.width(), rect.height());
    if (side <= 0) return;
    const QPixmap drawn = pixmap(QSize(side, side), mode, state);
    painter->drawPixmap(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, drawn);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    const int side = std::min(size.width(), size.height());
    if (side <= 0) return QPixmap();
    auto it = drawn_.find(side);
    if (it == drawn_.end()) it = drawn_.emplace(side, IconPixmap(name_, side)).first;
    if (mode == QIcon::Normal || mode == QIcon::Active) return it->second;
    QStyleOption option;
    option.palette = QGuiApplication::palette();
    return QApplication::style()->generatedIconPixmap(mode, it->second, &option);
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = std::min(size.width(), size.height());
    return QSize(side, side);
  }
  // The sizes of a title bar and a task bar; the desktop scales them for larger places.
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(16, 16), QSize(32, 32)}; }
  QIconEngine* clone() const override { return new DrawnIconEngine(name_); }
  QString key() const override { return QStringLiteral("drawn"); }

 private:
  std::string name_;
  std::map<int, QPixmap> drawn_;
};

}  // namespace

QIcon ResourceIcon(const std::string& name) { return QIcon(new DrawnIconEngine(name)); }

}  // namespace quiz
