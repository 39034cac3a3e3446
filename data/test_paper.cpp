#include "data/test_paper.h"

#include <algorithm>
#include <numeric>
#include <random>

#include "data/generated_tests.h"
#include "data/question_file.h"
#include "data/topic_index.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {

PaperQuestion PaperQuestionOf(const Question& question) {
  PaperQuestion paper{question.question, {}};
  for (const std::string& answer : question.answers) {
    if (!answer.empty()) paper.answers.push_back(answer);
  }
  return paper;
}

uint8_t PaperVersion::RightLetter(size_t k) const {
  const std::vector<uint8_t>& at = answers[k];
  return static_cast<uint8_t>(std::find(at.begin(), at.end(), 0) - at.begin());
}

namespace {

// 0 .. n - 1 in an order drawn from `random`, each order as likely (Fisher and Yates).
template <typename T>
std::vector<T> DrawOrder(size_t n, std::mt19937* random) {
  std::vector<T> order(n);
  std::iota(order.begin(), order.end(), T{0});
  for (size_t i = n; i > 1; --i) {
    const size_t j = std::uniform_int_distribution<size_t>(0, i - 1)(*random);
    std::swap(order[i - 1], order[j]);
  }
  return order;
}

}  // namespace

std::vector<PaperVersion> DrawPaperVersions(const std::vector<PaperQuestion>& test, int versions, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<PaperVersion> drawn;
  for (int v = 0; v < std::clamp(versions, 1, 4); ++v) {
    PaperVersion version;
    version.letter = static_cast<char>('A' + v);
    version.questions = DrawOrder<uint16_t>(test.size(), &random);
    for (const uint16_t q : version.questions) {
      version.answers.push_back(DrawOrder<uint8_t>(test[q].answers.size(), &random));
    }
    drawn.push_back(std::move(version));
  }
  return drawn;
}

std::vector<PaperPage> PrintPages(const std::vector<PaperQuestion>& test, uint32_t seed, const PrintChoice& choice,
                                  double width, double height, const MeasureText& measure) {
  PaperOptions options;
  options.test = choice.test;
  options.sheet = choice.sheet;
  options.key = choice.key;
  options.header = choice.header;
  options.penalty = choice.penalty;
  options.page_width = width;
  options.page_height = height;
  std::vector<PaperPage> pages;
  for (TestPage& page : LayOutPaper(test, DrawPaperVersions(test, choice.versions, seed), options, measure)) {
    pages.push_back(std::move(page.page));
  }
  return pages;
}

Status ReadPaperTest(const std::string& name, std::vector<PaperQuestion>* test, std::string* description) {
  test->clear();
  description->clear();
  std::vector<TestItem> items;
  const Status read = ReadTestFile(TestFileName(name), &items);
  if (read.code() == Status::Code::kNotFound) {
    return Status::NotFound(W("Test inexistent"), W("No hi ha cap test «") + name + W("» a la carpeta Generats."));
  }
  QUIZ_RETURN_IF_ERROR(read);
  std::vector<GeneratedTestEntry> entries;
  if (ReadGeneratedEntries(&entries).ok()) {
    for (const GeneratedTestEntry& e : entries) {
      if (UpperCat(e.file_name) == UpperCat(name)) *description = e.description;
    }
  }
  TopicIndex index;
  QUIZ_RETURN_IF_ERROR(index.OpenForReading());
  for (const TestItem& item : items) {
    TopicEntry entry;
    QUIZ_RETURN_IF_ERROR(index.Read(item.topic, &entry));
    QuestionFile bank;
    QUIZ_RETURN_IF_ERROR(bank.Open(entry, QuestionFile::Access::kRead));
    Question question;
    QUIZ_RETURN_IF_ERROR(bank.Read(item.question, &question));
    test->push_back(PaperQuestionOf(question));
  }
  return Status::Ok();
}

std::string PaperScoringRule(int penalty) {
  if (penalty <= 0) return W("Puntuació: encerts (els errors no resten)");
  if (penalty == 1) return W("Puntuació: encerts - errors");
  return W("Puntuació: encerts - errors × 1/") + IntToText(penalty);
}

namespace {

constexpr PaperFont kHeaderFont{13, true};
constexpr PaperFont kTextFont{11, false};
constexpr PaperFont kQuestionFont{11, true};
constexpr double kAnswerIndent = 7 * kPointsPerMm;
constexpr double kQuestionGap = 6;
constexpr double kSheetRow = 8 * kPointsPerMm;
constexpr double kSheetNumberWidth = 12 * kPointsPerMm;
constexpr double kSheetBubbleStep = 8 * kPointsPerMm;
constexpr double kKeyColumn = 19 * kPointsPerMm;

double LineHeight(const PaperFont& font) { return font.size * 1.3; }

// The lines of `text` that fit in `width`, the first after `lead`, the others indented as far as
// the lead is wide: broken between words, and inside a word too long for a line.
std::vector<std::string> Wrap(const std::string& lead, const std::string& text, double width, const PaperFont& font,
                              const MeasureText& measure) {
  const double indent = measure(lead, font);
  std::vector<std::string> lines;
  std::string line;
  const auto fits = [&](const std::string& s) { return indent + measure(s, font) <= width; };
  size_t at = 0;
  while (at < text.size()) {
    const size_t space = text.find(' ', at);
    const std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
    at = space == std::string::npos ? text.size() : space + 1;
    if (word.empty()) continue;
    const std::string joined = line.empty() ? word : line + " " + word;
    if (fits(joined)) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    line.clear();
    for (const char c : word) {  // a word wider than a line goes a piece a line
      if (!line.empty() && !fits(line + c)) {
        lines.push_back(line);
        line.clear();
      }
      line += c;
    }
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

class PaperLayout {
 public:
  PaperLayout(const PaperOptions& options, const MeasureText& measure) : options_(options), measure_(measure) {}

  std::vector<TestPage> pages;

  void Test(const std::vector<PaperQuestion>& test, const PaperVersion& version) {
    NewPage(PaperPart::kTest, version.letter);
    for (size_t k = 0; k < version.questions.size(); ++k) {
      const PaperQuestion& question = test[version.questions[k]];
      const std::string number = IntToText(static_cast<int32_t>(k + 1)) + ". ";
      std::vector<PaperText> block;
      double y = 0;
      const double width = options_.page_width - 2 * kPaperMargin;
      const std::vector<std::string> lines = Wrap(number, question.text, width, kQuestionFont, measure_);
      for (size_t i = 0; i < lines.size(); ++i) {
        const double x = i == 0 ? 0 : measure_(number, kQuestionFont);
        block.push_back({x, y, kQuestionFont, i == 0 ? number + lines[i] : lines[i]});
        y += LineHeight(kQuestionFont);
      }
      for (size_t letter = 0; letter < version.answers[k].size(); ++letter) {
        const std::string lead = std::string(1, static_cast<char>('a' + letter)) + ") ";
        const std::string& answer = question.answers[version.answers[k][letter]];
        const std::vector<std::string> answer_lines = Wrap(lead, answer, width - kAnswerIndent, kTextFont, measure_);
        for (size_t i = 0; i < answer_lines.size(); ++i) {
          const double x = kAnswerIndent + (i == 0 ? 0 : measure_(lead, kTextFont));
          block.push_back({x, y, kTextFont, i == 0 ? lead + answer_lines[i] : answer_lines[i]});
          y += LineHeight(kTextFont);
        }
      }
      // The whole question on one page: on the next one when it does not fit what is left.
      if (y_ + y > Bottom() && y_ > top_) NewPage(PaperPart::kTest, version.letter);
      for (PaperText& text : block) {
        text.x += kPaperMargin;
        text.y += y_;
        page().texts.push_back(std::move(text));
      }
      y_ += y + kQuestionGap;
    }
  }

  void Sheet(size_t questions, size_t letters, char version) {
    const size_t per_page = 2 * kSheetRowsPerColumn;
    for (size_t first = 0; first == 0 || first < questions; first += per_page) {
      NewPage(PaperPart::kSheet, version);
      Add(kPaperMargin, kHeaderFont, W("Full de respostes"));
      y_ += kSheetRow / 2;
      const double column_width = (options_.page_width - 2 * kPaperMargin) / 2;
      for (size_t q = first; q < std::min(questions, first + per_page); ++q) {
        const size_t row = (q - first) % kSheetRowsPerColumn, column = (q - first) / kSheetRowsPerColumn;
        const double x = kPaperMargin + column * column_width, y = y_ + row * kSheetRow;
        const std::string number = IntToText(static_cast<int32_t>(q + 1));
        // Its capitals' middle level with the bubbles' centres.
        page().texts.push_back({x + kSheetNumberWidth - 3 - measure_(number, kQuestionFont),
                                y + kSheetRow / 2 - 0.55 * kQuestionFont.size, kQuestionFont, number});
        for (size_t letter = 0; letter < letters; ++letter) {
          page().bubbles.push_back({x + kSheetNumberWidth + kSheetBubbleStep * (letter + 0.5), y + kSheetRow / 2,
                                    kBubbleDiameter, static_cast<char>('a' + letter)});
        }
      }
    }
  }

  void Key(const std::vector<PaperVersion>& versions) {
    NewPage(PaperPart::kKey, versions.front().letter, false);
    Add(kPaperMargin, kHeaderFont, W("Clau de respostes"));
    Add(kPaperMargin, kTextFont, PaperScoringRule(options_.penalty));
    const size_t columns = std::max<size_t>(
        1, static_cast<size_t>((options_.page_width - 2 * kPaperMargin) / kKeyColumn));
    for (const PaperVersion& version : versions) {
      if (y_ + 2 * LineHeight(kHeaderFont) > Bottom()) NewPage(PaperPart::kKey, version.letter, false);
      y_ += LineHeight(kTextFont);
      Add(kPaperMargin, kHeaderFont, W("Versió ") + version.letter);
      for (size_t k = 0; k < version.questions.size(); k += columns) {
        if (y_ + LineHeight(kTextFont) > Bottom()) NewPage(PaperPart::kKey, version.letter, false);
        for (size_t c = 0; c < columns && k + c < version.questions.size(); ++c) {
          page().texts.push_back({kPaperMargin + c * kKeyColumn, y_, kTextFont,
                                  IntToText(static_cast<int32_t>(k + c + 1)) + " " +
                                      static_cast<char>('a' + version.RightLetter(k + c))});
        }
        y_ += LineHeight(kTextFont);
      }
    }
  }

 private:
  PaperPage& page() { return pages.back().page; }
  double Bottom() const { return options_.page_height - kPaperMargin; }

  void Add(double x, const PaperFont& font, const std::string& text) {
    page().texts.push_back({x, y_, font, text});
    y_ += LineHeight(font);
  }

  // A page of `part`: the header, and on the test and the sheet the version and the lines for the
  // name and the date.
  void NewPage(PaperPart part, char version, bool heading = true) {
    pages.push_back({part, version, {}});
    y_ = kPaperMargin;
    if (heading) {
      const std::string letter = W("Versió ") + version;
      Add(kPaperMargin, kHeaderFont, options_.header);
      page().texts.push_back({options_.page_width - kPaperMargin - measure_(letter, kHeaderFont),
                              kPaperMargin, kHeaderFont, letter});
      y_ += 4;
      Add(kPaperMargin, kTextFont, W("Nom: ") + std::string(40, '_') + W("   Data: ") + std::string(14, '_'));
      page().lines.push_back({kPaperMargin, y_ + 3, options_.page_width - kPaperMargin, y_ + 3});
      y_ += 10;
    }
    top_ = y_;
  }

  const PaperOptions& options_;
  const MeasureText& measure_;
  double y_ = 0;    // where the next line goes
  double top_ = 0;  // where the page's first question went
};

}  // namespace

std::vector<TestPage> LayOutPaper(const std::vector<PaperQuestion>& test, const std::vector<PaperVersion>& versions,
                                   const PaperOptions& options, const MeasureText& measure) {
  PaperLayout layout(options, measure);
  size_t letters = 0;
  for (const PaperQuestion& q : test) letters = std::max(letters, q.answers.size());
  for (const PaperVersion& version : versions) {
    if (options.test) layout.Test(test, version);
    if (options.sheet) layout.Sheet(test.size(), letters, version.letter);
  }
  if (options.key && !versions.empty()) layout.Key(versions);
  return layout.pages;
}

}  // namespace quiz
