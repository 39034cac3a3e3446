#pragma once
// Where the runner's screen puts things, and which bubble a click lands on. Pixels of the
// window's client area.

#include <cstdint>
#include <optional>

namespace quiz::sheet {

// The question area and the answer sheet.
inline constexpr int kAreaLeft = 2, kAreaTop = 35, kAreaRight = 770, kAreaBottom = 670;
inline constexpr int kSheetLeft = 792, kSheetTop = 110, kSheetRight = 1012, kSheetBottom = 670;
inline constexpr int kPageQuestions = 7;
inline constexpr int kBlockHeight = 90;
inline constexpr int kFirstBlockTop = 40;
inline constexpr int kAnswerStep = 15;
inline constexpr int kTextLeft = 7;

inline constexpr int kRowsPerColumn = 25;
inline constexpr int kRowHeight = 21;
inline constexpr int kBubbleLeft = 827;
inline constexpr int kBubbleStep = 18;
inline constexpr int kBubbleWidth = 12;
inline constexpr int kBubbleHeight = 6;
inline constexpr int kColumnOffset = 110;
inline constexpr int kNumberRight = 822;
inline constexpr int kSolutionLeft = 897;

// Questions 1..25 in the left column, 26..50 in the right one.
constexpr int ColumnOffset(int k) { return k > kRowsPerColumn ? kColumnOffset : 0; }
// The top of question k's bubbles.
constexpr int RowTop(int k) { return 120 + kRowHeight * (k > kRowsPerColumn ? k - kRowsPerColumn : k); }
// The left of bubble c (0..3) of question k.
constexpr int BubbleLeft(int k, int c) { return kBubbleLeft + kBubbleStep * c + ColumnOffset(k); }

struct Hit {
  int question;  // 1..count
  int position;  // letter position, 1..4
  bool operator==(const Hit&) const = default;
};

// The bubble under a click, if any, for a test of `count` questions.
std::optional<Hit> HitBubble(int x, int y, int count);

}  // namespace quiz::sheet
