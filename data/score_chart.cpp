#include "data/score_chart.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

// "1/4", "1" or "0", as the runner's penalty box says it.
std::string PenaltyText(double fraction) {
  if (fraction == 0) return "0";
  const long denominator = std::lround(1 / fraction);
  return denominator == 1 ? "1" : "1/" + IntToText(static_cast<int32_t>(denominator));
}

std::string DateText(const Date& d) {
  auto two = [](int n) { return std::string(n < 10 ? "0" : "") + IntToText(n); };
  return two(d.day) + "/" + two(d.month) + "/" + IntToText(d.year);
}

bool Earlier(const DatedPoint& a, const DatedPoint& b) {
  return std::tie(a.date.year, a.date.month, a.date.day) < std::tie(b.date.year, b.date.month, b.date.day);
}

}  // namespace

bool ChartableScore(const ScoreRecord& r) {
  const Date& d = r.date;
  const bool date = d.year >= 1900 && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= DaysInMonth(d.month, d.year);
  const bool counts = r.question_count > 0 && r.correct + r.errors <= r.question_count;
  const bool penalty = std::isfinite(r.penalty) && r.penalty >= 0 && r.penalty <= 1;
  return date && counts && penalty;
}

DatedChart ScoreChart(const std::vector<ScoreRecord>& records) {
  DatedChart chart;
  chart.title = W("Gràfic de puntuacions");
  chart.value_title = "%";
  chart.empty_text = W("No hi ha cap puntuació registrada.");
  std::vector<const ScoreRecord*> valid;
  for (const ScoreRecord& r : records) {
    if (ChartableScore(r)) valid.push_back(&r);
  }
  if (const size_t left_out = records.size() - valid.size(); left_out == 1) {
    chart.note = W("S'ha deixat de banda 1 registre malmès de l'historial.");
  } else if (left_out > 1) {
    chart.note = W("S'han deixat de banda ") + IntToText(static_cast<int32_t>(left_out)) +
                 W(" registres malmesos de l'historial.");
  }
  if (valid.empty()) return chart;

  // The tests most often registered, the first registered first among equals.
  std::vector<std::string> names;
  std::map<std::string, size_t> times;
  for (const ScoreRecord* r : valid) {
    if (times[r->test_name]++ == 0) names.push_back(r->test_name);
  }
  std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) { return times[a] > times[b]; });
  const size_t shown = std::min(names.size(), kChartedTests);
  for (size_t i = 0; i < shown; ++i) chart.series.push_back({names[i], {}, false});
  if (names.size() > shown) chart.series.push_back({W("Altres tests"), {}, false});
  DatedSeries average{W("Mitjana dels 10 últims"), {}, true};

  double sum = 0;
  for (size_t i = 0; i < valid.size(); ++i) {
    const ScoreRecord& r = *valid[i];
    double percent = 0;
    r.Percentage(&percent);
    const auto named = std::find(names.begin(), names.begin() + static_cast<ptrdiff_t>(shown), r.test_name);
    DatedSeries& series = chart.series[std::min(static_cast<size_t>(named - names.begin()), shown)];
    series.points.push_back({r.date, percent,
                             r.test_name + ", " + DateText(r.date) + ": " + RealToText(percent, 4, 1) + W("% (penalització ") +
                                 PenaltyText(r.penalty) + ")"});
    // The mean of this result and the nine before it.
    double p = 0;
    sum += percent;
    if (i >= kAveragedResults) {
      valid[i - kAveragedResults]->Percentage(&p);
      sum -= p;
    }
    const double mean = sum / static_cast<double>(std::min(i + 1, kAveragedResults));
    average.points.push_back({r.date, mean, W("Mitjana fins al ") + DateText(r.date) + ": " + RealToText(mean, 4, 1) + "%"});
  }
  chart.series.push_back(std::move(average));
  for (DatedSeries& s : chart.series) std::stable_sort(s.points.begin(), s.points.end(), Earlier);
  return chart;
}

Status ReadScoreChart(DatedChart* chart, const std::string& name) {
  std::vector<ScoreRecord> records;
  QUIZ_RETURN_IF_ERROR(ReadScoreHistory(&records, name, /*create=*/false));
  *chart = ScoreChart(records);
  return Status::Ok();
}

}  // namespace quiz
