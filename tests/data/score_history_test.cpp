#include "data/score_history.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

using testing::FileBytes;
using testing::Fixture;
using testing::PutFile;

class ScoreHistory : public testing::InTempDir {};

TEST_F(ScoreHistory, ReadsTheSampleHistoryAndRegistersItBackByteForByte) {
  const std::string sample = Fixture("punts.rel");
  PutFile("Punts.rel", sample);
  std::vector<ScoreRecord> records;
  ASSERT_TRUE(ReadScoreHistory(&records).ok());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], (ScoreRecord{{7, 3, 2013}, W("Història"), 20, 12, 4, 0.25}));
  EXPECT_EQ(records[1].test_name.size(), 30u);
  EXPECT_EQ(records[1].penalty, 1.0);
  EXPECT_EQ(records[2].question_count, 0);

  for (const auto& r : records) ASSERT_TRUE(RegisterScore(r, "Copia.rel").ok());
  EXPECT_EQ(FileBytes("Copia.rel"), sample);
}

TEST_F(ScoreHistory, ListsOneLinePerRecordOldestFirst) {
  PutFile("Punts.rel", Fixture("punts.rel") + "torn tail");
  TextList lines;
  ASSERT_TRUE(ScoreHistoryLines(&lines).ok());
  ASSERT_EQ(lines.count(), 3u);
  EXPECT_EQ(lines.items[0], W("07/03/2013  Història 11 / 20 (55%)"));
  EXPECT_EQ(lines.items[1], "25/12/2013  Prova llarga Prova llarga Prov -2 / 10 (-20%)");
  // No questions: no percentage, and nothing divides by zero.
  EXPECT_EQ(lines.items[2], W("01/01/2026  Ciències 0 / 0"));
}

TEST_F(ScoreHistory, AMissingHistoryIsCreatedEmpty) {
  TextList lines;
  TextListAdd(lines, "old");
  ASSERT_TRUE(ScoreHistoryLines(&lines).ok());
  EXPECT_EQ(lines.count(), 0u);
  EXPECT_TRUE(testing::Exists("Punts.rel"));
}

TEST_F(ScoreHistory, BuildsRecordsFromAResult) {
  struct Case {
    std::string name;
    uint16_t count, correct, errors;
    int denominator;
    double penalty, net, percent;
    int unanswered;
    std::string stored_name;
  } cases[] = {
      {"t", 20, 12, 4, 4, 0.25, 11, 55, 4, "t"},
      {"t", 20, 12, 4, 0, 0.0, 12, 60, 4, "t"},
      {"t", 10, 3, 5, 1, 1.0, -2, -20, 2, "t"},
      {"t", 8, 4, 2, 2, 0.5, 3, 37.5, 2, "t"},
      {std::string(31, 'n') + "x", 1, 1, 0, 3, 1.0 / 3, 1, 100, 0, std::string(30, 'n')},
  };
  for (const auto& c : cases) {
    const ScoreRecord r = BuildScoreRecord({7, 3, 2013}, c.name, c.count, c.correct, c.errors, c.denominator);
    EXPECT_EQ(r.penalty, c.penalty);
    EXPECT_DOUBLE_EQ(r.NetScore(), c.net);
    double percent = 0;
    ASSERT_TRUE(r.Percentage(&percent));
    EXPECT_DOUBLE_EQ(percent, c.percent);
    EXPECT_EQ(r.Unanswered(), c.unanswered);
    EXPECT_EQ(r.test_name, c.stored_name);
  }
  double percent = -1;
  EXPECT_FALSE(BuildScoreRecord({}, "buit", 0, 0, 0, 4).Percentage(&percent));
  EXPECT_EQ(percent, -1);
}

TEST_F(ScoreHistory, ConfirmationTexts) {
  const ScoreRecord r = BuildScoreRecord({7, 3, 2013}, W("Història"), 20, 12, 4, 4);
  EXPECT_EQ(ConfirmScoreCaption(r), W("Resultat Història"));
  EXPECT_EQ(ConfirmScoreText(r),
            W("encerts: 12    errors: 4     NC: 4\r\n\r\n = 11 / 20    => 55% \r\n\r\n"
              "   Registrar puntuació?"));

  const ScoreRecord half = BuildScoreRecord({7, 3, 2013}, "x", 8, 4, 2, 2);
  EXPECT_EQ(ConfirmScoreText(half),
            W("encerts: 4    errors: 2     NC: 2\r\n\r\n = 3 / 8    => 37.5% \r\n\r\n"
              "   Registrar puntuació?"));
  // "3.00" fills the width 4 of the confirmation; the history's width 5 leaves one space.
  EXPECT_EQ(ScoreHistoryLine(half), "07/03/2013  x  3 / 8 (37.5%)");

  const ScoreRecord empty = BuildScoreRecord({7, 3, 2013}, "buit", 0, 0, 0, 4);
  EXPECT_EQ(ConfirmScoreText(empty),
            W("encerts: 0    errors: 0     NC: 0\r\n\r\n = 0 / 0\r\n\r\n   Registrar puntuació?"));
  EXPECT_EQ(ScoreHistoryLine(empty), "07/03/2013  buit 0 / 0");
}

TEST_F(ScoreHistory, RegisterAppendsInOrder) {
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(RegisterScore(BuildScoreRecord({1, 1, 2026}, "t" + std::to_string(i), 10, 5, 1, 4)).ok());
  }
  std::vector<ScoreRecord> records;
  ASSERT_TRUE(ReadScoreHistory(&records).ok());
  ASSERT_EQ(records.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(records[i].test_name, "t" + std::to_string(i + 1));
  EXPECT_EQ(FileBytes("Punts.rel").size(), 3u * 52);
}

TEST_F(ScoreHistory, AFailedRegistrationKeepsTheHistory) {
  PutFile("Punts.rel", Fixture("punts.rel"));
  {
    testing::FileSizeLimit limit(160);
    EXPECT_EQ(RegisterScore(BuildScoreRecord({1, 1, 2026}, "t", 10, 5, 1, 4)).code(),
              Status::Code::kIoError);
  }
  EXPECT_EQ(FileBytes("Punts.rel"), Fixture("punts.rel"));
}

}  // namespace
}  // namespace quiz
