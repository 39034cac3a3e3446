// quizrun printing a test of the demo to a PDF from a script, read back with pdftotext.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "data/generated_tests.h"
#include "data/question_file.h"
#include "data/test_paper.h"
#include "data/topic_index.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

struct Ran {
  int code = -1;
  std::string out;  // standard output and error together
};

// `command` through the shell with no display at all.
Ran Shell(const std::string& command) {
  FILE* pipe = ::popen(("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command + " 2>&1").c_str(), "r");
  Ran run;
  if (pipe == nullptr) return run;
  char chunk[4096];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) run.out.append(chunk, got);
  const int status = ::pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The circles `diameter` pixels wide (give or take two) on page `page` of `pdf` rendered grey at
// 144 dots an inch: the connected shapes of the pixels that are not white whose box is that size.
int CirclesOnPage(const std::string& pdf, int page, int diameter) {
  const std::string stem = "page" + std::to_string(page);
  const Ran rendered = Shell("pdftoppm -r 144 -gray -f " + std::to_string(page) + " -l " + std::to_string(page) +
                             " -singlefile " + pdf + " " + stem);
  if (rendered.code != 0) return -1;
  const std::string bytes = testing::FileBytes(stem + ".pgm");
  std::istringstream header(bytes);
  std::string magic;
  int width = 0, height = 0, max = 0;
  header >> magic >> width >> height >> max;
  const size_t start = static_cast<size_t>(header.tellg()) + 1;
  if (magic != "P5" || bytes.size() < start + static_cast<size_t>(width) * height) return -1;
  std::vector<bool> dark(static_cast<size_t>(width) * height), seen(dark.size());
  for (size_t i = 0; i < dark.size(); ++i) dark[i] = static_cast<unsigned char>(bytes[start + i]) < 200;
  int circles = 0;
  for (size_t first = 0; first < dark.size(); ++first) {
    if (!dark[first] || seen[first]) continue;
    int left = width, right = -1, top = height, bottom = -1;
    std::vector<size_t> todo{first};
    seen[first] = true;
    while (!todo.empty()) {
      const size_t at = todo.back();
      todo.pop_back();
      const int x = static_cast<int>(at % width), y = static_cast<int>(at / width);
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
          const size_t next = static_cast<size_t>(ny) * width + nx;
          if (dark[next] && !seen[next]) {
            seen[next] = true;
            todo.push_back(next);
          }
        }
      }
    }
    circles += std::abs(right - left + 1 - diameter) <= 2 && std::abs(bottom - top + 1 - diameter) <= 2;
  }
  return circles;
}

class PrintBatch : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    std::filesystem::copy(QUIZ_DEMO_DIR, "demo", std::filesystem::copy_options::recursive);
  }
  static Ran Print(const std::string& arguments) {
    return Shell(std::string("'") + QUIZ_QUIZRUN + "' --data demo " + arguments);
  }
};

TEST_F(PrintBatch, SaysInOneLineWhatItWroteOrWhyNot) {
  std::filesystem::create_directory("a_folder");
  testing::PutFile("kept.pdf", "as it was");
  const struct {
    const char* arguments;
    int code;
    const char* said;  // in its one line
    const char* written;
  } cases[] = {
      {"--print historia --pdf out.pdf", 0, "/out.pdf: 1 pàgines.", "out.pdf"},
      {"--print historia --pdf història.pdf", 0, "/història.pdf: 1 pàgines.", "història.pdf"},
      {"--print historia --pdf out.pdf --versions 4 --sheet --key", 0, "/out.pdf: 9 pàgines.", "out.pdf"},
      {"--print nohiha --pdf none.pdf", 1, "No hi ha cap test «nohiha» a la carpeta Generats.", nullptr},
      {"--print historia --pdf no_folder/out.pdf", 1, "/no_folder/out.pdf: no existeix", nullptr},
      {"--print historia --pdf a_folder", 1, "/a_folder: ", nullptr},
      {"--print historia --pdf out.pdf --versions 5", 2, "Ús: quizrun --print TEST --pdf", nullptr},
      {"--print historia", 2, "Ús: quizrun --print TEST --pdf", nullptr},
  };
  for (const auto& c : cases) {
    std::filesystem::remove("out.pdf");
    const Ran run = Print(c.arguments);
    EXPECT_EQ(run.code, c.code) << c.arguments << ": " << run.out;
    EXPECT_NE(run.out.find(c.said), std::string::npos) << c.arguments << ": " << run.out;
    EXPECT_EQ(run.out.starts_with("Escrit "), c.code == 0) << c.arguments << ": " << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << c.arguments << ": " << run.out;
    if (c.written != nullptr) {
      EXPECT_TRUE(testing::FileBytes(c.written).starts_with("%PDF-")) << c.arguments;
    } else {
      EXPECT_FALSE(std::filesystem::exists("out.pdf")) << c.arguments;
    }
  }
  EXPECT_TRUE(std::filesystem::is_directory("a_folder"));
  EXPECT_EQ(testing::FileBytes("kept.pdf"), "as it was");
}

// Each version's paper, read back from the PDF, has at the letter its key gives the question's
// right answer; the Catalan letters come back as they went.
TEST_F(PrintBatch, TheKeyMatchesEachVersionsPaper) {
  ASSERT_EQ(Print("--print historia --pdf out.pdf --versions 3 --sheet --key --seed 9").code, 0);
  const Ran text = Shell("pdftotext -layout out.pdf -");
  ASSERT_EQ(text.code, 0) << text.out;
  std::vector<PaperQuestion> test;
  std::string description;
  {
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path("demo");
    ASSERT_TRUE(ReadPaperTest("historia", &test, &description).ok());
    std::filesystem::current_path(here);
  }
  std::map<std::string, std::string> right;  // question text -> its right answer, UTF-8
  for (const PaperQuestion& q : test) right[Cp1252ToUtf8(q.text)] = Cp1252ToUtf8(q.answers[0]);

  std::map<char, std::map<int, char>> key;             // version -> question -> letter
  std::map<char, std::map<int, std::string>> printed;  // version -> question -> the answer at the key's letter
  std::map<char, std::map<int, std::map<char, std::string>>> answers;
  std::map<char, std::map<int, std::string>> questions;
  const std::regex version_line(R"(Versió ([A-D]))"), question_line(R"(^(\d+)\. (.*\S))"),
      answer_line(R"(^\s+([a-d])\) (.*\S))"), key_pair(R"((\d+) ?([a-d])\b)");
  char version = 0;
  bool in_key = false;
  int question = 0;
  std::istringstream lines(text.out);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (line.find("Clau de respostes") != std::string::npos) in_key = true;
    if (std::regex_search(line, m, version_line)) version = m[1].str()[0];
    if (in_key) {
      for (auto it = std::sregex_iterator(line.begin(), line.end(), key_pair); it != std::sregex_iterator(); ++it) {
        key[version][std::stoi((*it)[1])] = (*it)[2].str()[0];
      }
    } else if (std::regex_search(line, m, question_line)) {
      question = std::stoi(m[1]);
      questions[version][question] = m[2];
    } else if (std::regex_search(line, m, answer_line)) {
      answers[version][question][m[1].str()[0]] = m[2];
    }
  }
  ASSERT_EQ(key.size(), 3u);
  for (const auto& [v, letters] : key) {
    ASSERT_EQ(letters.size(), test.size()) << v;
    for (const auto& [k, letter] : letters) {
      ASSERT_TRUE(right.count(questions[v][k])) << v << k << ": " << questions[v][k];
      EXPECT_EQ(answers[v][k][letter], right[questions[v][k]]) << "version " << v << ", question " << k;
    }
  }
  EXPECT_NE(text.out.find("Història de Catalunya"), std::string::npos);
  EXPECT_NE(text.out.find("Martí l'Humà"), std::string::npos);
  EXPECT_NE(text.out.find("Puntuació: encerts - errors × 1/4"), std::string::npos);
  EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\f'), 7) << "3 papers, 3 sheets and the key";
}

// A bank of 255 questions of the longest texts the files hold (128 characters each), and tests
// of its first 1, 25, 26, 50, 51 and 255: printed with their sheets, no question goes across a
// page's end, and each sheet has a row of four bubbles for each question, 50 rows a page.
TEST_F(PrintBatch, LongTestsKeepTheirQuestionsWholeAndTheirSheetsFull) {
  std::filesystem::create_directory("long");
  std::filesystem::current_path("long");
  {
    TopicIndex index;
    ASSERT_TRUE(index.Create().ok());
    const Layout longest{128, 128, 4, 0};
    const TopicEntry entry = testing::TopicOf("LLARG", longest);
    ASSERT_TRUE(index.Write(1, entry).ok());
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(entry).ok());
    const auto words = [](const std::string& first) {
      std::string text = first;
      while (text.size() + 8 <= 128) text += W(" col·la€");
      return text;
    };
    for (int q = 1; q <= 255; ++q) {
      ASSERT_TRUE(bank.Append({words("P" + std::to_string(q)), {words("R"), words("X"), words("Y"), words("Z")}, ""}).ok());
    }
    GeneratedTestIndex generated;
    for (const int n : {1, 25, 26, 50, 51, 255}) {
      std::vector<TestItem> items;
      for (uint16_t q = 1; q <= n; ++q) items.push_back({1, q});
      ASSERT_TRUE(WriteTestFile("t" + std::to_string(n), items).ok());
      ASSERT_TRUE(generated.Append({"t" + std::to_string(n), "Llarg"}).ok());
    }
  }
  std::filesystem::current_path("..");
  for (const int n : {1, 25, 26, 50, 51, 255}) {
    const std::string pdf = "t" + std::to_string(n) + ".pdf";
    const Ran printed = Shell(std::string("'") + QUIZ_QUIZRUN + "' --data long --print t" + std::to_string(n) +
                              " --pdf " + pdf + " --sheet --seed 4");
    ASSERT_EQ(printed.code, 0) << printed.out;
    const Ran text = Shell("pdftotext -layout " + pdf + " -");
    ASSERT_EQ(text.code, 0) << text.out;
    EXPECT_NE(text.out.find("col·la€"), std::string::npos) << "the letters of Windows-1252 come back";
    std::vector<std::string> pages;
    std::stringstream all(text.out);
    for (std::string page; std::getline(all, page, '\f');) {
      if (page.find_first_not_of(" \n") != std::string::npos) pages.push_back(page);
    }
    int sheets = 0, bubble_rows = 0, questions = 0, circles = 0;
    const std::regex question_line(R"(^(\d+)\. P\d+ )"), bubble_row(R"((^|\s)\d+\s+a\s+b\s+c\s+d(\s|$))");
    for (size_t number = 1; number <= pages.size(); ++number) {
      const std::string& page = pages[number - 1];
      std::istringstream lines(page);
      std::vector<std::string> body;  // the lines under the header and the name
      int header = 0;
      for (std::string line; std::getline(lines, line);) {
        if (header < 2) {
          header += !line.empty();
          continue;
        }
        if (!line.empty()) body.push_back(line);
      }
      if (page.find("Full de respostes") != std::string::npos) {
        ++sheets;
        circles += CirclesOnPage(pdf, static_cast<int>(number), 30);  // 5 mm and the line
        for (const std::string& line : body) {  // a line holds a row of each column
          bubble_rows += static_cast<int>(
              std::distance(std::sregex_iterator(line.begin(), line.end(), bubble_row), std::sregex_iterator()));
        }
        continue;
      }
      ASSERT_FALSE(body.empty());
      EXPECT_TRUE(std::regex_search(body[0], question_line)) << n << " questions, a page starts: " << body[0];
      for (const std::string& line : body) questions += std::regex_search(line, question_line);
    }
    EXPECT_EQ(questions, n);
    EXPECT_EQ(sheets, (n + 49) / 50) << n;
    EXPECT_EQ(bubble_rows, n) << n;
    EXPECT_EQ(circles, 4 * n) << n << " questions: the bubbles drawn";
  }
}

}  // namespace
}  // namespace quiz
