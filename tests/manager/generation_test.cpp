#include "manager/generation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "data/question_file.h"
#include "manager/listings.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;

TEST(Draw, TakesEveryQuestionOnceWhateverTheTopicNumbersAndCounts) {
  std::vector<DrawTopic> many;  // 45 topics: more than 40, numbers beyond 40
  for (uint16_t t = 1; t <= 45; ++t) many.push_back({static_cast<uint16_t>(t * 5), static_cast<uint16_t>(t % 4)});
  struct Case {
    const char* what;
    std::vector<DrawTopic> topics;
  } cases[] = {
      {"one topic", {{3, 7}}},
      {"topic numbers above 40", {{41, 3}, {200, 2}, {255, 4}}},
      {"more than 500 questions", {{1, 700}, {2, 3}}},
      {"45 topics", many},
      {"an empty topic among them", {{1, 0}, {2, 4}, {3, 0}}},
  };
  std::mt19937 random(7);
  for (const auto& c : cases) {
    const uint32_t available = AvailableQuestions(c.topics);
    const std::vector<TestItem> items = DrawTest(c.topics, available + 10, &random);  // asks for more
    ASSERT_EQ(items.size(), available) << c.what;
    std::set<std::pair<int, int>> drawn, expected;
    for (const TestItem& i : items) drawn.insert({i.topic, i.question});
    for (const DrawTopic& t : c.topics) {
      for (int q = 1; q <= t.count; ++q) expected.insert({t.number, q});
    }
    EXPECT_EQ(drawn, expected) << c.what;
  }
  EXPECT_TRUE(DrawTest({{1, 0}}, 5, &random).empty());
}

// Every topic still in the draw has the same chance at each step, and every question left in a
// topic the same chance within it.
TEST(Draw, TopicsAndQuestionsComeWithTheStatedChances) {
  std::mt19937 random(12345);
  constexpr int kTrials = 40000;
  std::map<int, int> topics;
  std::map<int, int> questions_of_2;
  for (int i = 0; i < kTrials; ++i) {
    const auto items = DrawTest({{1, 1}, {2, 8}}, 1, &random);
    ASSERT_EQ(items.size(), 1u);
    ++topics[items[0].topic];
    if (items[0].topic == 2) ++questions_of_2[items[0].question];
  }
  EXPECT_NEAR(topics[1], kTrials / 2, kTrials * 0.02);  // half, not one ninth
  for (int q = 1; q <= 8; ++q) EXPECT_NEAR(questions_of_2[q], topics[2] / 8, topics[2] * 0.02) << q;
  // Second draw: once topic 1 is spent, every pick comes from topic 2.
  int second_from_2 = 0;
  for (int i = 0; i < 2000; ++i) {
    const auto items = DrawTest({{1, 1}, {2, 8}}, 3, &random);
    second_from_2 += items[0].topic == 1 ? (items[1].topic == 2 && items[2].topic == 2) : 0;
  }
  EXPECT_NEAR(second_from_2, 1000, 100);
}

TEST(Draw, NamesAndDescriptionsProposed) {
  struct Case {
    std::vector<uint16_t> chosen;
    uint16_t topic_count;
    std::string base, description;
  } cases[] = {
      {{2}, 3, "GEO", "Tema GEO"},
      {{1, 2, 3}, 3, "tots", "tots"},
      {{1, 3, 7}, 9, "1,3,7", "1,3,7"},
  };
  for (const auto& c : cases) {
    const DrawNames names = ProposedNames(c.chosen, c.topic_count, "GEO", "Tema GEO");
    EXPECT_EQ(names.base, c.base);
    EXPECT_EQ(names.description, c.description);
  }
  const std::vector<GeneratedTestEntry> entries{{"tots_1", ""}, {"tots_2", ""}, {"otra_1", ""}, {"tots", ""}, {"Tots_9", ""}};
  EXPECT_EQ(ProposedFileName("tots", entries), "tots_3");
  EXPECT_EQ(ProposedFileName("otra", entries), "otra_2");
  EXPECT_EQ(ProposedFileName("1,3,7", entries), "1,3,7_1");
  EXPECT_EQ(ProposedFileName("", entries), "_2");  // a name without "_" compares as ""
}

TEST(Draw, TheNumberAndTheNameAreCheckedWithTheirMessages) {
  struct Case {
    std::string typed;
    uint32_t n;  // 0 = refused
  } sizes[] = {{"1", 1}, {"255", 255}, {" 50 ", 50}, {"0", 0}, {"256", 0}, {"x", 0}, {"", 0}, {"-3", 0}};
  for (const auto& c : sizes) {
    uint32_t n = 99;
    const Status status = ReadTestSize(c.typed, &n);
    EXPECT_EQ(n, c.n) << c.typed;
    EXPECT_EQ(status.ok(), c.n != 0) << c.typed;
    if (!status.ok()) {
      EXPECT_EQ(status.caption(), W("error en el nº de qüestions"));
      EXPECT_EQ(status.text(), W("ha de ser un número entre 1 i 255"));
    }
  }
  EXPECT_TRUE(CheckAvailable(30, 30).ok());
  const Status fewer = CheckAvailable(31, 30);
  EXPECT_EQ(fewer.caption(), W("nº de qüestions superiors a les existents"));
  EXPECT_EQ(fewer.text(), W("es generarà un test amb només 30 qüestions"));

  for (const char* good : {"tots_3", "1,3,7_1", "Examen final"}) EXPECT_TRUE(CheckTestName(good).ok()) << good;
  for (const char* bad : {"", "   ", "a/b", "..\\x", "..", "a:b", "t\tx"}) EXPECT_FALSE(CheckTestName(bad).ok()) << bad;
  const std::vector<GeneratedTestEntry> entries{{"tots_1", ""}, {"Geo_2", ""}};
  EXPECT_EQ(EntryNamed(entries, "GEO_2"), 2u);
  EXPECT_EQ(EntryNamed(entries, "tots_2"), 0u);
}

class GenerationFiles : public testing::InTempDir {};

TEST_F(GenerationFiles, TheTestIsWrittenWholeBeforeItsEntryAndAReplaceReusesTheEntry) {
  testing::MakeSampleData();  // t1 and t2 in the index
  const std::vector<TestItem> items{{1, 2}, {2, 3}};
  ASSERT_TRUE(SaveGeneratedTest({"nou_1", "Nou"}, items).ok());
  std::vector<TestItem> read;
  ASSERT_TRUE(ReadTestFile("Generats\\nou_1.tgn", &read).ok());
  EXPECT_EQ(read, items);
  GeneratedTestIndex index;
  std::vector<GeneratedTestEntry> entries;
  ASSERT_TRUE(index.OpenForManager().ok());
  ASSERT_TRUE(index.ReadAll(&entries).ok());
  index.Close();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2], (GeneratedTestEntry{"nou_1", "Nou"}));

  // Replacing t1: its entry, in place, and its file, whole.
  ASSERT_TRUE(SaveGeneratedTest({"t1", "Primer, de nou"}, {{2, 1}}, true).ok());
  ASSERT_TRUE(index.OpenForManager().ok());
  ASSERT_TRUE(index.ReadAll(&entries).ok());
  index.Close();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], (GeneratedTestEntry{"t1", "Primer, de nou"}));
  EXPECT_EQ(FileBytes("Generats/t1.tgn"), "2\r\n1\r\n");

  // A test that cannot be written leaves no entry.
  fs::create_directories("Generats/mal_1.tgn/x");
  const std::string index_before = FileBytes("Generats/Generats.rel");
  const Status failed = SaveGeneratedTest({"mal_1", "Mal"}, items);
  EXPECT_FALSE(failed.ok());
  EXPECT_NE(failed.text().find("mal_1.tgn"), std::string::npos) << failed.text();
  EXPECT_EQ(FileBytes("Generats/Generats.rel"), index_before);
}

class ExportTest : public testing::InTempDir {
 protected:
  void Make(Layout layout, const std::vector<Question>& questions) {
    fs::create_directories("Bases");
    entry_ = testing::TopicOf("GEO", layout);
    entry_.title = W("Geografia de l'àrea");
    ASSERT_TRUE(bank_.Open(entry_).ok());
    for (const Question& q : questions) ASSERT_TRUE(bank_.Append(q).ok());
  }
  TopicEntry entry_;
  QuestionFile bank_;
};

TEST_F(ExportTest, WritesEachQuestionAsTheOptionsSay) {
  const Question with_comment{"Q1", {"bona", "dolenta", "altra", "quarta"}, "nota u"};
  const Question without{"Q2", {"si", "no", "potser", "mai"}, ""};
  struct Case {
    ExportOptions options;
    Layout layout;
    std::string bytes;
  } cases[] = {
      {{}, {120, 120, 3, 100}, "Q1\r\na) bona\r\nb) dolenta\r\nc) altra\r\n\r\nQ2\r\na) si\r\nb) no\r\nc) potser\r\n\r\n"},
      {{true, true, true, true}, {120, 120, 3, 100},
       W("Cuestiones GEOGRAFIA DE L'ÀREA\r\n\r\n1) Q1\r\na) bona\r\nb) dolenta\r\nc) altra\r\nNota: nota u\r\n\r\n"
         "2) Q2\r\na) si\r\nb) no\r\nc) potser\r\n\r\n")},
      {{false, false, false, true}, {50, 40, 2, 20}, "Q1\r\na) bona\r\nb) dolenta\r\nNota: nota u\r\nQ2\r\na) si\r\nb) no\r\n"},
      {{false, false, true, false}, {50, 40, 4, 0},
       "1) Q1\r\na) bona\r\nb) dolenta\r\nc) altra\r\nd) quarta\r\n2) Q2\r\na) si\r\nb) no\r\nc) potser\r\nd) mai\r\n"},
  };
  for (const auto& c : cases) {
    bank_.Close();
    fs::remove_all("Bases");
    Make(c.layout, {with_comment, without});
    ASSERT_TRUE(ExportQuestions(bank_, entry_, c.options).ok());
    EXPECT_EQ(FileBytes("GEO.txt"), c.bytes) << c.layout.alternatives;
  }
  // An empty topic: the title alone, or nothing.
  bank_.Close();
  fs::remove_all("Bases");
  Make({50, 40, 2, 0}, {});
  ASSERT_TRUE(ExportQuestions(bank_, entry_, {}).ok());
  EXPECT_EQ(FileBytes("GEO.txt"), "");
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsToldAndLeftAsItWas) {
  Make({50, 40, 2, 0}, {{"Q1", {"a", "b"}, ""}});
  bank_.Close();
  testing::PutFile("GEO.txt", "anterior");
  testing::OpenToEveryone(dir());
  testing::SetMode("GEO.txt", 0444);
  const int code = testing::RunUnprivileged([this] {
    QuestionFile bank;
    if (!bank.Open(entry_, QuestionFile::Access::kRead).ok()) return 2;
    const Status status = ExportQuestions(bank, entry_, {});
    return !status.ok() && status.text().find("GEO.txt") != std::string::npos ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(FileBytes("GEO.txt"), "anterior");
  EXPECT_EQ(testing::ListFolder("."), "Bases GEO.txt");
}

TEST_F(ExportTest, TheListHoldsTheQuestionTextsAlone) {
  Make({50, 40, 2, 0}, {{"Primera", {"a", "b"}, ""}, {W("Segona, amb accent: à"), {"a", "b"}, ""}});
  TextList lines;
  ASSERT_TRUE(QuestionListLines(bank_, &lines).ok());
  EXPECT_EQ(lines.items, (std::vector<std::string>{"Primera", W("Segona, amb accent: à")}));
  EXPECT_EQ(QuestionListTitle(entry_), W("Qüestions GEO"));
}

}  // namespace
}  // namespace quiz
