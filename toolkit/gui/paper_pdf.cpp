#include "toolkit/gui/paper_pdf.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cerrno>
#include <map>
#include <memory>

#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/gui/qt_text.h"

namespace quiz {

namespace {

constexpr int kPointsPerInch = 72;
constexpr double kBubbleLetterSize = 7;

QFont FontOf(const PaperFont& f) {
  QFont font("Liberation Sans");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(f.size);
  font.setBold(f.bold);
  return font;
}

// A PDF writer that paints nowhere, for the measures: they depend on its resolution only.
struct MeasuringDevice {
  QBuffer buffer;
  QPdfWriter writer{&buffer};
  std::map<std::pair<double, bool>, std::unique_ptr<QFontMetricsF>> metrics;
  MeasuringDevice() { writer.setResolution(kPointsPerInch); }
  const QFontMetricsF& Of(const PaperFont& font) {
    auto& m = metrics[{font.size, font.bold}];
    if (!m) m = std::make_unique<QFontMetricsF>(FontOf(font), &writer);
    return *m;
  }
};

}  // namespace

MeasureText PdfTextMeasure() {
  auto device = std::make_shared<MeasuringDevice>();
  return [device](const std::string& text, const PaperFont& font) {
    return device->Of(font).horizontalAdvance(ToQString(text));
  };
}

bool PaintPaperPages(QPagedPaintDevice* device, const std::vector<PaperPage>& pages) {
  QPainter painter(device);
  if (!painter.isActive()) return false;
  // Fonts keep their sizes in points, which the device turns into its own dots; positions are
  // turned here.
  const double k = device->logicalDpiX() / static_cast<double>(kPointsPerInch);
  const auto at = [k](double x, double y) { return QPointF(x * k, y * k); };
  MeasuringDevice measures;
  for (size_t p = 0; p < pages.size(); ++p) {
    if (p > 0) device->newPage();
    painter.setPen(QPen(Qt::black, 0.8 * k));
    painter.setBrush(Qt::NoBrush);
    for (const PaperText& t : pages[p].texts) {
      painter.setFont(FontOf(t.font));
      painter.drawText(at(t.x, t.y + measures.Of(t.font).ascent()), ToQString(t.text));
    }
    for (const PaperLine& l : pages[p].lines) painter.drawLine(at(l.x1, l.y1), at(l.x2, l.y2));
    painter.setFont(FontOf({kBubbleLetterSize, false}));
    for (const PaperBubble& b : pages[p].bubbles) {
      const double r = b.diameter / 2;
      painter.drawEllipse(at(b.x, b.y), r * k, r * k);
      painter.drawText(QRectF(at(b.x - r, b.y - r), at(b.x + r, b.y + r)), Qt::AlignCenter, QString(QChar(b.letter)));
    }
  }
  return true;
}

Status WritePaperPdf(const std::vector<PaperPage>& pages, double width, double height, const std::string& title,
                     const std::string& file) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(kPointsPerInch);
    writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(ToQString(title));
    writer.setCreator("quiztoolkit");
    if (!PaintPaperPages(&writer, pages)) return Status::IoError(W("Error d'escriptura"), file, EIO);
  }
  const QByteArray& bytes = buffer.data();
  return ReplaceFile(file, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace quiz
