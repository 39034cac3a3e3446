#pragma once
// The score history drawn over time: the percentage of every registered result on its date, one
// series for each of the five tests most often registered and one for the rest, and the average
// of the last ten results.

#include <string>
#include <vector>

#include "data/score_history.h"
#include "toolkit/dated_chart.h"

namespace quiz {

inline constexpr size_t kChartedTests = 5;
inline constexpr size_t kAveragedResults = 10;

// A record that cannot be drawn: a date that is no day of the calendar (or before 1900), a test
// of no questions, more right and wrong answers than questions, a penalty that is no fraction.
bool ChartableScore(const ScoreRecord& record);

// The chart of `records` (in registration order); the records that cannot be drawn are left out
// and counted in the note.
DatedChart ScoreChart(const std::vector<ScoreRecord>& records);

// Reads the history and makes its chart. The history is only read, never created or written: an
// absent one is an empty history.
Status ReadScoreChart(DatedChart* chart, const std::string& name = kScoreHistoryName);

}  // namespace quiz
