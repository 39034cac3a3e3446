// The charting module, loaded by ShowDatedChart when a chart is first shown: it builds the view of
// a DatedChart with Qt Charts.

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "toolkit/dated_chart.h"

namespace {

using Text = QString (*)(std::string_view);

QDateTime When(const quiz::Date& d) { return QDateTime(QDate(d.year, d.month, d.day), QTime(12, 0)); }

QWidget* MakeChartView(const quiz::DatedChart& chart, Text text) {
  auto* view = new QWidget;
  auto* layout = new QVBoxLayout(view);
  layout->setContentsMargins(4, 4, 4, 4);
  const bool empty = std::none_of(chart.series.begin(), chart.series.end(),
                                  [](const quiz::DatedSeries& s) { return !s.points.empty(); });
  if (empty) {
    auto* label = new QLabel(text(chart.empty_text));
    label->setAlignment(Qt::AlignCenter);
    label->setObjectName("buit");
    layout->addWidget(label, 1);
  } else {
    auto* qchart = new QChart;
    qchart->setTitle(text(chart.title));
    auto* dates = new QDateTimeAxis;
    dates->setFormat("dd/MM/yyyy");
    auto* values = new QValueAxis;
    values->setTitleText(text(chart.value_title));
    values->setLabelFormat("%.0f");
    qchart->addAxis(dates, Qt::AlignBottom);
    qchart->addAxis(values, Qt::AlignLeft);
    double low = 0, high = 100;
    qint64 first = std::numeric_limits<qint64>::max(), last = std::numeric_limits<qint64>::min();
    for (const quiz::DatedSeries& s : chart.series) {
      if (s.points.empty()) continue;
      auto* line = new QLineSeries;
      line->setName(text(s.name));
      QStringList tips;
      for (const quiz::DatedPoint& p : s.points) {
        const qint64 at = When(p.date).toMSecsSinceEpoch();
        line->append(static_cast<qreal>(at), p.value);
        tips << text(p.tip);
        low = std::min(low, p.value);
        high = std::max(high, p.value);
        first = std::min(first, at);
        last = std::max(last, at);
      }
      if (s.dashed) {
        QPen pen = line->pen();
        pen.setStyle(Qt::DashLine);
        pen.setWidth(2);
        line->setPen(pen);
      } else {
        line->setPointsVisible(true);
      }
      qchart->addSeries(line);
      line->attachAxis(dates);
      line->attachAxis(values);
      QObject::connect(line, &QXYSeries::hovered, line, [tips, line](const QPointF& point, bool state) {
        if (!state) {
          QToolTip::hideText();
          return;
        }
        // The point nearest to the pointer along the dates.
        const QList<QPointF> points = line->points();
        qsizetype nearest = 0;
        for (qsizetype i = 1; i < points.size(); ++i) {
          if (std::abs(points[i].x() - point.x()) < std::abs(points[nearest].x() - point.x())) nearest = i;
        }
        QToolTip::showText(QCursor::pos(), tips.value(nearest));
      });
    }
    // A single day still gets a width of a day on either side.
    const qint64 day = 24LL * 3600 * 1000;
    dates->setRange(QDateTime::fromMSecsSinceEpoch(first - day), QDateTime::fromMSecsSinceEpoch(last + day));
    // Percentages in steps of 25 from 0, below 0 too when a penalty took a score under it.
    constexpr double kStep = 25;
    values->setTickType(QValueAxis::TicksDynamic);
    values->setTickAnchor(0);
    values->setTickInterval(kStep);
    values->setRange(std::floor(low / kStep) * kStep, std::ceil(high / kStep) * kStep);
    auto* chart_view = new QChartView(qchart);
    chart_view->setRenderHint(QPainter::Antialiasing);
    chart_view->setObjectName("grafic");
    layout->addWidget(chart_view, 1);
  }
  if (!chart.note.empty()) {
    auto* note = new QLabel(text(chart.note));
    note->setObjectName("nota");
    layout->addWidget(note);
  }
  return view;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) QWidget* quiz_make_chart_view(const quiz::DatedChart* chart, Text text) {
  return MakeChartView(*chart, text);
}
