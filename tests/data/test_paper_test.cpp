#include "data/test_paper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "toolkit/cp1252.h"

namespace quiz {
namespace {

// Every character half as wide as the font is high: wrapping depends on the measure only.
double HalfEm(const std::string& text, const PaperFont& font) { return static_cast<double>(text.size()) * font.size / 2; }

// A test of `n` questions whose answers say whose they are: "R7" is question 7's right one.
std::vector<PaperQuestion> PaperTest(size_t n, size_t answers = 4, size_t text_length = 20) {
  std::vector<PaperQuestion> test;
  for (size_t q = 1; q <= n; ++q) {
    PaperQuestion question{"Q" + std::to_string(q) + " " + std::string(text_length, 'x'), {}};
    for (size_t a = 0; a < answers; ++a) {
      question.answers.push_back((a == 0 ? "R" : std::string("W") + static_cast<char>('a' + a)) + std::to_string(q));
    }
    test.push_back(question);
  }
  return test;
}

bool IsPermutation(std::vector<size_t> v) {
  std::sort(v.begin(), v.end());
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != i) return false;
  }
  return true;
}

TEST(TestPaper, VersionsAreOrdersOfTheTestDrawnFromTheSeed) {
  std::vector<PaperQuestion> test = PaperTest(30);
  test[3].answers.resize(2);  // a true-or-false question among them
  for (int n : {0, 1, 3, 4, 7}) {
    const std::vector<PaperVersion> versions = DrawPaperVersions(test, n, 11);
    ASSERT_EQ(versions.size(), static_cast<size_t>(std::clamp(n, 1, 4))) << n;
    for (size_t v = 0; v < versions.size(); ++v) {
      EXPECT_EQ(versions[v].letter, 'A' + static_cast<char>(v));
      EXPECT_TRUE(IsPermutation({versions[v].questions.begin(), versions[v].questions.end()}));
      for (size_t k = 0; k < test.size(); ++k) {
        const std::vector<uint8_t>& order = versions[v].answers[k];
        EXPECT_EQ(order.size(), test[versions[v].questions[k]].answers.size());
        EXPECT_TRUE(IsPermutation({order.begin(), order.end()}));
      }
    }
  }
  const auto a = DrawPaperVersions(test, 4, 11), b = DrawPaperVersions(test, 4, 11), c = DrawPaperVersions(test, 4, 12);
  for (size_t v = 0; v < 4; ++v) {
    EXPECT_EQ(a[v].questions, b[v].questions);
    EXPECT_EQ(a[v].answers, b[v].answers);
    EXPECT_NE(a[v].questions, c[v].questions) << "another seed, version " << v;
    if (v > 0) {
      EXPECT_NE(a[v].questions, a[0].questions) << "version " << v << " as A";
    }
  }
}

// What each version's test paper puts at each letter of each question, read from its pages.
std::map<std::pair<char, int>, std::map<char, std::string>> PrintedAnswers(const std::vector<TestPage>& pages) {
  std::map<std::pair<char, int>, std::map<char, std::string>> printed;
  for (const TestPage& page : pages) {
    if (page.part != PaperPart::kTest) continue;
    int question = 0;
    for (const PaperText& t : page.page.texts) {
      if (t.font.bold && t.text.find(". Q") != std::string::npos) question = std::stoi(t.text);
      if (question > 0 && t.text.size() > 3 && t.text[1] == ')') printed[{page.version, question}][t.text[0]] = t.text.substr(3);
    }
  }
  return printed;
}

// The key's letter for each version and question, read from its pages.
std::map<std::pair<char, int>, char> KeyLetters(const std::vector<TestPage>& pages) {
  std::map<std::pair<char, int>, char> key;
  char version = 0;
  for (const TestPage& page : pages) {
    if (page.part != PaperPart::kKey) continue;
    for (const PaperText& t : page.page.texts) {
      if (t.text.rfind(W("Versió "), 0) == 0) version = t.text.back();
      const size_t space = t.text.find(' ');
      if (version != 0 && !t.font.bold && space != std::string::npos && std::isdigit(static_cast<unsigned char>(t.text[0]))) {
        key[{version, std::stoi(t.text)}] = t.text[space + 1];
      }
    }
  }
  return key;
}

TEST(TestPaper, TheKeyGivesTheLetterOfEachVersionsRightAnswer) {
  const std::vector<PaperQuestion> test = PaperTest(60);
  const std::vector<PaperVersion> versions = DrawPaperVersions(test, 3, 5);
  PaperOptions options;
  options.header = W("Examen de prova");
  const std::vector<TestPage> pages = LayOutPaper(test, versions, options, HalfEm);
  const auto printed = PrintedAnswers(pages);
  const auto key = KeyLetters(pages);
  ASSERT_EQ(key.size(), 3u * 60);
  ASSERT_EQ(printed.size(), 3u * 60);
  for (const auto& [at, letter] : key) {
    const std::map<char, std::string>& answers = printed.at(at);
    EXPECT_EQ(answers.size(), 4u);
    ASSERT_TRUE(answers.count(letter)) << at.first << " " << at.second;
    EXPECT_EQ(answers.at(letter)[0], 'R') << "version " << at.first << ", question " << at.second;
  }
  std::set<std::string> rules;
  for (const TestPage& page : pages) {
    for (const PaperText& t : page.page.texts) {
      if (t.text.rfind(W("Puntuació"), 0) == 0) rules.insert(t.text);
    }
  }
  EXPECT_EQ(rules, std::set<std::string>{W("Puntuació: encerts - errors × 1/4")});
}

TEST(TestPaper, TheScoringRuleFollowsThePenalty) {
  const struct {
    int penalty;
    const char* rule;
  } cases[] = {
      {0, "Puntuació: encerts (els errors no resten)"},
      {1, "Puntuació: encerts - errors"},
      {2, "Puntuació: encerts - errors × 1/2"},
      {9, "Puntuació: encerts - errors × 1/9"},
  };
  for (const auto& c : cases) EXPECT_EQ(PaperScoringRule(c.penalty), W(c.rule)) << c.penalty;
}

// On every page of the test, the first thing under the heading is a question's first line, and
// every line is above the bottom margin: no question goes across a page's end.
TEST(TestPaper, NoQuestionGoesAcrossAPageEnd) {
  for (const auto& [width, height] : {std::pair{kA4Width, kA4Height}, std::pair{kLetterWidth, kLetterHeight}}) {
    std::vector<PaperQuestion> test = PaperTest(255, 4, 250);
    for (PaperQuestion& q : test) {
      for (std::string& a : q.answers) a += " " + std::string(95, 'y');
    }
    PaperOptions options;
    options.sheet = options.key = false;
    options.page_width = width;
    options.page_height = height;
    const std::vector<TestPage> pages = LayOutPaper(test, DrawPaperVersions(test, 1, 3), options, HalfEm);
    ASSERT_GT(pages.size(), 10u);
    int next = 1;
    for (const TestPage& page : pages) {
      const double top = page.page.lines.at(0).y1;
      bool first = true;
      for (const PaperText& t : page.page.texts) {
        EXPECT_LE(t.y + t.font.size * 1.3, height - kPaperMargin + 1e-9) << t.text;
        EXPECT_LE(t.x + HalfEm(t.text, t.font), width - kPaperMargin + 1e-9) << t.text;
        if (t.y < top) continue;
        if (first) {
          EXPECT_EQ(t.text.rfind(std::to_string(next) + ". Q", 0), 0u) << "a page starts with " << t.text;
          first = false;
        }
        if (t.text.rfind(std::to_string(next) + ". Q", 0) == 0) ++next;
      }
    }
    EXPECT_EQ(next, 256);
  }
}

TEST(TestPaper, TheSheetHasARowOfBubblesForEachQuestion) {
  const struct {
    size_t questions, answers, pages;
  } cases[] = {{1, 4, 1}, {25, 4, 1}, {26, 4, 1}, {50, 4, 1}, {51, 4, 2}, {255, 4, 6}, {30, 2, 1}};
  for (const auto& c : cases) {
    for (const auto& [width, height] : {std::pair{kA4Width, kA4Height}, std::pair{kLetterWidth, kLetterHeight}}) {
      const std::vector<PaperQuestion> test = PaperTest(c.questions, c.answers);
      PaperOptions options;
      options.test = options.key = false;
      options.page_width = width;
      options.page_height = height;
      const std::vector<TestPage> pages = LayOutPaper(test, DrawPaperVersions(test, 2, 1), options, HalfEm);
      ASSERT_EQ(pages.size(), 2 * c.pages) << c.questions;
      for (char version : {'A', 'B'}) {
        size_t bubbles = 0;
        std::set<int> numbers;
        std::set<std::tuple<const TestPage*, long, long>> centres;
        for (const TestPage& page : pages) {
          if (page.version != version) continue;
          EXPECT_EQ(page.part, PaperPart::kSheet);
          for (const PaperBubble& b : page.page.bubbles) {
            ++bubbles;
            EXPECT_GE(b.diameter, 4 * kPointsPerMm);
            EXPECT_LT(b.letter - 'a', static_cast<int>(c.answers));
            EXPECT_GE(b.x - b.diameter / 2, kPaperMargin - 1e-9);
            EXPECT_LE(b.x + b.diameter / 2, width - kPaperMargin + 1e-9);
            EXPECT_LE(b.y + b.diameter / 2, height - kPaperMargin + 1e-9) << c.questions;
            centres.insert({&page, std::lround(b.x), std::lround(b.y)});
          }
          for (const PaperText& t : page.page.texts) {
            if (t.font.bold && std::isdigit(static_cast<unsigned char>(t.text[0]))) numbers.insert(std::stoi(t.text));
          }
        }
        EXPECT_EQ(bubbles, c.questions * c.answers) << c.questions << " questions, version " << version;
        EXPECT_EQ(centres.size(), bubbles) << "two bubbles in one place";
        EXPECT_EQ(numbers.size(), c.questions);
        EXPECT_EQ(*numbers.rbegin(), static_cast<int>(c.questions));
      }
    }
  }
}

}  // namespace
}  // namespace quiz
