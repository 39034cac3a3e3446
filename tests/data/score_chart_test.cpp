#include "data/score_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/paths.h"

namespace quiz {
namespace {

// A result of `count` questions on the given day of December 2026 (penalty denominator 4).
ScoreRecord Result(const std::string& test, int day, uint16_t count, uint16_t correct, uint16_t errors = 0) {
  return BuildScoreRecord({static_cast<uint16_t>(day), 12, 2026}, test, count, correct, errors, 4);
}

std::vector<double> Values(const DatedSeries& s) {
  std::vector<double> values;
  for (const DatedPoint& p : s.points) values.push_back(p.value);
  return values;
}

TEST(ScoreChart, DrawsEachTestItsAverageAndWhatItLeftOut) {
  ScoreRecord bad_day = Result("A", 1, 10, 5), bad_month = bad_day, bad_year = bad_day, nan = bad_day;
  bad_day.date.day = 32;
  bad_month.date.month = 13;
  bad_year.date.year = 0;
  nan.penalty = std::numeric_limits<double>::quiet_NaN();
  std::vector<ScoreRecord> twelve;
  for (int i = 0; i < 12; ++i) twelve.push_back(Result("A", i + 1, 10, static_cast<uint16_t>(i % 11)));
  struct Case {
    const char* what;
    std::vector<ScoreRecord> records;
    std::vector<std::string> names;            // the series, the average last
    std::vector<std::vector<double>> values;  // each series' percentages, in date order
    std::string note;
  } cases[] = {
      {"an empty history draws nothing", {}, {}, {}, ""},
      {"one test: its results and their average",
       {Result("A", 3, 20, 11, 4), Result("A", 5, 10, 10), Result("A", 4, 4, 0, 4)},
       {"A", W("Mitjana dels 10 últims")},
       {{50, -25, 100}, {50, 125.0 / 3, 75}},  // the average as it was at each result
       ""},
      {"the five tests most often registered, the others together",
       {Result("F", 1, 10, 1), Result("B", 1, 10, 2), Result("A", 2, 10, 3), Result("B", 2, 10, 4),
        Result("C", 3, 10, 5), Result("D", 3, 10, 6), Result("E", 4, 10, 7), Result("G", 5, 10, 8),
        Result("A", 6, 10, 9)},
       {"B", "A", "F", "C", "D", W("Altres tests"), W("Mitjana dels 10 últims")},
       {{20, 40}, {30, 90}, {10}, {50}, {60}, {70, 80}, {10, 15, 20, 25, 30, 35, 40, 45, 50}},
       ""},
      {"the average is of the last ten", twelve, {"A", W("Mitjana dels 10 últims")},
       {{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0}, {0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 55, 54}}, ""},
      {"damaged records are left out and counted",
       {bad_day, Result("A", 2, 0, 0), Result("A", 2, 6, 5, 3), Result("B", 7, 10, 10), bad_month, bad_year, nan},
       {"B", W("Mitjana dels 10 últims")},
       {{100}, {100}},
       W("S'han deixat de banda 6 registres malmesos de l'historial.")},
      {"a history of damage only", {bad_day}, {}, {}, W("S'ha deixat de banda 1 registre malmès de l'historial.")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DatedChart chart = ScoreChart(c.records);
    EXPECT_EQ(chart.note, c.note);
    EXPECT_FALSE(chart.empty_text.empty());
    ASSERT_EQ(chart.series.size(), c.names.size());
    for (size_t i = 0; i < c.names.size(); ++i) {
      EXPECT_EQ(chart.series[i].name, c.names[i]);
      const std::vector<double> values = Values(chart.series[i]);
      ASSERT_EQ(values.size(), c.values[i].size()) << c.names[i];
      for (size_t j = 0; j < values.size(); ++j) EXPECT_NEAR(values[j], c.values[i][j], 1e-9) << c.names[i] << " " << j;
      EXPECT_EQ(chart.series[i].dashed, i + 1 == c.names.size());
    }
  }
}

TEST(ScoreChart, EachPointTellsItsTestDateScoreAndPenalty) {
  const DatedChart chart = ScoreChart({BuildScoreRecord({7, 3, 2013}, "Historia", 20, 12, 4, 4),
                                       BuildScoreRecord({8, 3, 2013}, "Historia", 20, 12, 4, 0),
                                       BuildScoreRecord({9, 3, 2013}, "Historia", 20, 12, 4, 1)});
  ASSERT_EQ(chart.series.size(), 2u);
  const std::vector<DatedPoint>& points = chart.series[0].points;
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0].tip, W("Historia, 07/03/2013: 55% (penalització 1/4)"));
  EXPECT_EQ(points[1].tip, W("Historia, 08/03/2013: 60% (penalització 0)"));
  EXPECT_EQ(points[2].tip, W("Historia, 09/03/2013: 40% (penalització 1)"));
  EXPECT_EQ((points[0].date), (Date{7, 3, 2013}));
}

class ScoreChartFile : public testing::InTempDir {};

TEST_F(ScoreChartFile, IsOnlyRead) {
  DatedChart chart;
  ASSERT_TRUE(ReadScoreChart(&chart).ok());
  EXPECT_TRUE(chart.series.empty());
  EXPECT_FALSE(FileExists(kScoreHistoryName));  // an absent history is not created
  ASSERT_TRUE(RegisterScore(Result("A", 1, 10, 5)).ok());
  ASSERT_TRUE(RegisterScore(Result("A", 2, 10, 6)).ok());
  std::string before;
  ASSERT_TRUE(ReadWholeFile(kScoreHistoryName, &before).ok());
  ASSERT_TRUE(ReadScoreChart(&chart).ok());
  ASSERT_EQ(chart.series.size(), 2u);
  EXPECT_EQ(Values(chart.series[0]), (std::vector<double>{50, 60}));
  std::string after;
  ASSERT_TRUE(ReadWholeFile(kScoreHistoryName, &after).ok());
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace quiz
