#include <gtest/gtest.h>

#include "runner/scroll_state.h"
#include "runner/sheet_geometry.h"
#include "runner/test_export.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

using sheet::Hit;
using sheet::HitBubble;

TEST(Sheet, RowsAndColumns) {
  EXPECT_EQ(sheet::RowTop(1), 141);
  EXPECT_EQ(sheet::RowTop(25), 645);
  EXPECT_EQ(sheet::RowTop(26), sheet::RowTop(1));  // the right column starts at the same height
  EXPECT_EQ(sheet::BubbleLeft(1, 0), 827);
  EXPECT_EQ(sheet::BubbleLeft(26, 3), 827 + 54 + 110);
}

TEST(Sheet, AClickHitsABubbleOnlyInsideIt) {
  struct Case {
    int x, y, count;
    std::optional<Hit> hit;
  } cases[] = {
      {828, 142, 10, Hit{1, 1}},    // just inside bubble a of question 1
      {839, 147, 10, Hit{1, 1}},    // its far corner
      {827, 142, 10, std::nullopt},  // its left edge
      {828, 141, 10, std::nullopt},  // its top edge
      {828, 148, 10, std::nullopt},  // 7 below its top
      {840, 142, 10, std::nullopt},  // past its right
      {829, 130, 10, std::nullopt},  // on the letter above it
      {846, 142, 10, Hit{1, 2}},
      {882, 163, 10, Hit{2, 4}},
      {828, 142 + 21 * 9, 10, Hit{10, 1}},
      {828, 142 + 21 * 10, 10, std::nullopt},  // question 11 of 10
      {938, 142, 30, Hit{26, 1}},  // the right column
      {938, 142, 25, std::nullopt},
      {900, 142, 30, std::nullopt},  // between the columns
      {992, 142, 30, Hit{26, 4}},
      {1010, 142, 30, std::nullopt},
      {828, 119, 10, std::nullopt},
      {826, 142, 10, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(HitBubble(c.x, c.y, c.count), c.hit) << c.x << "," << c.y;
}

TEST(Scroll, OnlyEverySecondMessageActs) {
  using Code = ScrollState::Code;
  struct Step {
    Code code;
    int thumb;
    bool acts;
    int position;
  } steps[] = {
      {Code::kLineDown, 0, true, 1},  {Code::kOther, 0, false, 1},
      {Code::kLineDown, 0, true, 2},  {Code::kLineDown, 0, false, 2},
      {Code::kPageDown, 0, true, 9},  {Code::kOther, 0, false, 9},
      {Code::kPageDown, 0, true, 10},  // clamped to the count
      {Code::kOther, 0, false, 10},    {Code::kPageUp, 0, true, 3},
      {Code::kOther, 0, false, 3},     {Code::kLineUp, 0, true, 2},
      {Code::kOther, 0, false, 2},     {Code::kThumbTrack, 6, true, 6},
      {Code::kThumbTrack, 8, false, 6}, {Code::kPageUp, 0, true, 0},
      {Code::kOther, 0, false, 0},     {Code::kLineUp, 0, true, 0},
  };
  ScrollState s;
  s.Reset(10);
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(s.OnMessage(steps[i].code, steps[i].thumb), steps[i].acts) << i;
    EXPECT_EQ(s.position(), steps[i].position) << i;
  }
}

class Export : public testing::InTempDir {};

TEST_F(Export, WritesTheQuestionsInTheirLetterOrderAndTheSolutions) {
  testing::MakeSampleData();
  QuietRunnerScreen screen;
  TestEngine engine(&screen, {1, 2, 2026}, 99);
  ASSERT_TRUE(engine.LoadTest("Generats\\t2.tgn"));
  ASSERT_TRUE(ExportTest(engine, "Segon test", "t2.txt").ok());

  // Expected from the letter order drawn at load.
  auto at = [&](uint16_t k, uint16_t p, const std::string& right, const std::vector<std::string>& wrong) {
    const uint16_t j = engine.AnswerAt(k, p);
    return j == 1 ? right : wrong[j - 2u];
  };
  const std::vector<std::string> wrong4 = {"dolenta1", "dolenta2", "dolenta3"};
  const std::vector<std::string> wrong2 = {"dolenta1", "", ""};  // two alternatives only
  std::string expected = "Test SEGON TEST\r\n\r\n";
  expected += "1. Q GEO 2\r\n";
  for (uint16_t p = 1; p <= 4; ++p) expected += std::string(1, char('a' + p - 1)) + ") " + at(1, p, "bona GEO 2", wrong4) + "\r\n";
  expected += "\r\n2. Q HISTORIA 5\r\n";
  for (uint16_t p = 1; p <= 4; ++p) expected += std::string(1, char('a' + p - 1)) + ") " + at(2, p, "bona HISTORIA 5", wrong2) + "\r\n";
  expected += "\r\nSolucions:\r\n";
  expected += "1.  " + std::string(1, char('a' + engine.CorrectPosition(1) - 1)) + ") bona GEO 2\r\n";
  expected += "2.  " + std::string(1, char('a' + engine.CorrectPosition(2) - 1)) + ") bona HISTORIA 5\r\n";
  expected += "\r\n";
  EXPECT_EQ(testing::FileBytes("t2.txt"), expected);
}

}  // namespace
}  // namespace quiz
