#pragma once
// Pages to print, described without drawing them: texts, bubbles and lines, in points from the
// page's top left corner. The Qt layer paints them (toolkit/gui/paper_pdf.h).

#include <functional>
#include <string>
#include <vector>

namespace quiz {

inline constexpr double kA4Width = 595.276, kA4Height = 841.890;  // points
inline constexpr double kLetterWidth = 612, kLetterHeight = 792;
inline constexpr double kPointsPerMm = 72 / 25.4;

struct PaperFont {
  double size = 11;  // points
  bool bold = false;
  bool operator==(const PaperFont&) const = default;
};
// The width in points of a Windows-1252 text in a font: the painter's own measure, so that what is
// laid out is what is painted.
using MeasureText = std::function<double(const std::string& text, const PaperFont& font)>;

struct PaperText {
  double x = 0, y = 0;  // the top left corner of its line
  PaperFont font;
  std::string text;     // Windows-1252
};
struct PaperBubble {
  double x = 0, y = 0;  // the circle's centre
  double diameter = 0;
  char letter = 'a';    // printed inside
};
struct PaperLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
// What a test is printed with.
struct PrintChoice {
  bool test = true, sheet = true, key = true;  // its paper, its answer sheet, its key
  int versions = 1;                            // 1 to 4
  std::string header;
  int penalty = 4;  // a wrong answer takes 1/penalty of a right one; 0, none
};

// What is printed on one page.
struct PaperPage {
  std::vector<PaperText> texts;
  std::vector<PaperBubble> bubbles;
  std::vector<PaperLine> lines;
};

}  // namespace quiz
