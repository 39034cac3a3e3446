#pragma once
// A test on paper: its versions, each with its own order of questions and of answers, and the
// pages of the test, its answer sheet and its answer key laid out for a printer or a PDF. The
// pages are described here; the windows paint them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/question_format.h"
#include "toolkit/paper_pages.h"
#include "toolkit/status.h"

namespace quiz {

// One question as printed: its text and its answers that are not empty, the right one first.
struct PaperQuestion {
  std::string text;
  std::vector<std::string> answers;
};
PaperQuestion PaperQuestionOf(const Question& question);

// A version of the test, "A" to "D".
struct PaperVersion {
  char letter = 'A';
  std::vector<uint16_t> questions;             // the test's questions (0-based), in the order printed
  std::vector<std::vector<uint8_t>> answers;   // for each printed question: its answer (0-based) at each letter
  // The letter (0-based) of printed question k's right answer.
  uint8_t RightLetter(size_t k) const;
};

// `versions` versions (1 to 4) of the test, drawn from `seed`: the same seed, the same versions.
std::vector<PaperVersion> DrawPaperVersions(const std::vector<PaperQuestion>& test, int versions, uint32_t seed);

struct PaperOptions {
  bool test = true, sheet = true, key = true;
  std::string header;    // the first line of each page of the test and of the sheet
  int penalty = 4;       // a wrong answer takes 1/penalty of a right one; 0, none
  double page_width = kA4Width, page_height = kA4Height;
};

enum class PaperPart { kTest, kSheet, kKey };
struct TestPage {
  PaperPart part = PaperPart::kTest;
  char version = 'A';  // the key's pages: the first version on them
  PaperPage page;
};

inline constexpr double kPaperMargin = 18 * kPointsPerMm;
inline constexpr double kBubbleDiameter = 5 * kPointsPerMm;  // a pen fills it
inline constexpr int kSheetRowsPerColumn = 25;

// The pages asked for in `options`: for each version in turn, its test, then its answer sheet; the
// key of every version last. A question and its answers never go across a page's end.
std::vector<TestPage> LayOutPaper(const std::vector<PaperQuestion>& test, const std::vector<PaperVersion>& versions,
                                   const PaperOptions& options, const MeasureText& measure);

// The pages that `choice` asks for, on pages of `width` x `height` points, the versions drawn from
// `seed`.
std::vector<PaperPage> PrintPages(const std::vector<PaperQuestion>& test, uint32_t seed, const PrintChoice& choice,
                                  double width, double height, const MeasureText& measure);

// The questions of generated test `name` (as in Generats, without ".tgn") from their banks, and its
// description from the generated tests' index (empty when it has none).
Status ReadPaperTest(const std::string& name, std::vector<PaperQuestion>* test, std::string* description);

// "Puntuació: encerts - errors x 1/4" and the like, as the key says it.
std::string PaperScoringRule(int penalty);

}  // namespace quiz
