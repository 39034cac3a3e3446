#include "runner/mistakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "runner/runner_screen.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"

namespace quiz {
namespace {

namespace fs = std::filesystem;

class Mistakes : public testing::InTempDir {
 protected:
  // The sample folder (t1: four questions, "Primer test"), and t60: sixty questions of the second
  // topic that the index does not list.
  void Fresh() {
    for (const char* name : {"Bases", "Generats", "Punts.rel"}) fs::remove_all(name);
    testing::MakeSampleData();
    std::vector<TestItem> items;
    for (uint16_t q = 1; q <= 60; ++q) items.push_back({2, q});
    ASSERT_TRUE(WriteTestFile("t60", items).ok());
  }

  // Loads a test, marks it as `pattern` says for each question in turn (R right, W wrong, a
  // space blank) and corrects it.
  void TakeTest(const std::string& test, const std::string& pattern) {
    ASSERT_TRUE(engine_->LoadTest(TestFileName(test)));
    for (uint16_t k = 1; k <= pattern.size(); ++k) {
      const uint16_t right = engine_->CorrectPosition(k);
      if (pattern[k - 1u] == 'R') engine_->Mark(k, right);
      if (pattern[k - 1u] == 'W') engine_->Mark(k, right % 4 + 1);
    }
    engine_->Correct("1/4");
  }

  // The engine works in the folder where it was made.
  void SetUp() override {
    InTempDir::SetUp();
    engine_ = std::make_unique<TestEngine>(&screen_, Date{7, 12, 2026}, 7);
  }

  QuietRunnerScreen screen_;
  std::unique_ptr<TestEngine> engine_;
};

TEST_F(Mistakes, AreWrittenAsAGeneratedTestInTheirOrder) {
  std::string half;  // right, wrong, right, wrong... over the fifty questions on the sheet
  for (int k = 1; k <= 50; ++k) half += k % 2 ? 'R' : 'W';
  struct Case {
    const char* what;
    std::string test, pattern;
    std::vector<uint16_t> repeated;  // question numbers within the test; none: nothing written
    std::string description;
  } cases[] = {
      {"mixed: the wrong and the blank ones", "t1", "RW R", {2, 3}, "Errades de Primer test"},
      {"all wrong", "t1", "WWWW", {1, 2, 3, 4}, "Errades de Primer test"},
      {"all blank", "t1", "    ", {1, 2, 3, 4}, "Errades de Primer test"},
      {"a blank one last", "t1", "RRR ", {4}, "Errades de Primer test"},
      {"all right: nothing to repeat", "t1", "RRRR", {}, ""},
      {"more than fifty: only the questions taken on the sheet, a test the index does not list", "t60", half,
       [] {
         std::vector<uint16_t> even;
         for (uint16_t k = 2; k <= 50; k += 2) even.push_back(k);
         return even;
       }(),
       "Errades de t60"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    TakeTest(c.test, c.pattern);
    const std::vector<GeneratedTestEntry> before = testing::GeneratedEntries();
    std::vector<TestItem> expected;
    for (uint16_t k : c.repeated) expected.push_back({engine_->item(k).topic, engine_->item(k).question});
    EXPECT_EQ(MistakeItems(*engine_), expected);

    GeneratedTestEntry written;
    const Status status = WriteMistakesTest(*engine_, &written);
    if (c.repeated.empty()) {
      EXPECT_EQ(status.caption(), "Res a repetir");
      EXPECT_EQ(testing::GeneratedEntries(), before);
      EXPECT_FALSE(FileExists(TestFileName(c.test + "_errades1")));
      continue;
    }
    ASSERT_TRUE(status.ok()) << status.ToString();
    EXPECT_EQ(written, (GeneratedTestEntry{c.test + "_errades1", c.description}));
    std::vector<GeneratedTestEntry> after = before;
    after.push_back(written);
    EXPECT_EQ(testing::GeneratedEntries(), after);
    std::vector<TestItem> items;
    ASSERT_TRUE(ReadTestFile(TestFileName(written.file_name), &items).ok());
    EXPECT_EQ(items, expected);
    // It is a test like the others: it loads, and its own mistakes make the next one.
    ASSERT_TRUE(engine_->LoadTest(TestFileName(written.file_name)));
    EXPECT_EQ(engine_->count(), expected.size());
    engine_->Correct("0");
    ASSERT_TRUE(WriteMistakesTest(*engine_, &written).ok());
    EXPECT_EQ(written, (GeneratedTestEntry{c.test + "_errades1_errades1", "Errades de " + c.description}));
  }
  // Before a correction there is nothing to repeat.
  Fresh();
  ASSERT_TRUE(engine_->LoadTest(TestFileName("t1")));
  EXPECT_TRUE(MistakeItems(*engine_).empty());
}

TEST_F(Mistakes, TakeTheFirstNameThatNoTestHas) {
  const std::string long_name = "abcdefghijklmnopqrstuvwxyz0123";  // 30 characters
  std::vector<GeneratedTestEntry> nine;
  for (int n = 1; n <= 9; ++n) nine.push_back({long_name.substr(0, 23) + "_errades" + std::to_string(n), ""});
  struct Case {
    const char* what;
    std::string test;
    std::vector<GeneratedTestEntry> entries;
    std::string file;  // a test file that is there without an entry
    std::string name;
  } cases[] = {
      {"the first", "t1.tgn", {{"t1", "Primer test"}}, "", "t1_errades1"},
      {"after one listed in other letters", "Generats\\t1.tgn", {{"T1_ERRADES1", ""}}, "", "t1_errades2"},
      {"after a test file that the index does not list", "t1", {}, "t1_errades1", "t1_errades2"},
      {"a long name gives way to the number", long_name, {}, "", long_name.substr(0, 23) + "_errades1"},
      {"and more to a longer number", long_name, nine, "", long_name.substr(0, 22) + "_errades10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all("Generats");
    if (!c.file.empty()) {
      ASSERT_TRUE(WriteTestFile(c.file, {{1, 1}}).ok());
    }
    const std::string name = MistakesFileName(c.test, c.entries);
    EXPECT_EQ(name, c.name);
    EXPECT_LE(name.size(), 32u);
  }
}

}  // namespace
}  // namespace quiz
