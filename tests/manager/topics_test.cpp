#include <gtest/gtest.h>

#include <filesystem>

#include "data/topic_format.h"
#include "manager/topic_params.h"
#include "manager/topics.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

using testing::FileBytes;

TEST(TopicArea, SplitsTheTitleAfter56Characters) {
  struct Case {
    uint16_t number;
    std::string title, line1, line2;
  } cases[] = {
      {0, "qualsevol", "", "                 -------------- per seleccionar --------------"},
      {1, std::string(56, 'a'), std::string(56, 'a'), ""},
      {1, std::string(56, 'a') + "b", std::string(56, 'a'), "b"},
      {1, std::string(56, 'a') + std::string(80, 'c') + "dd", std::string(56, 'a'), std::string(80, 'c')},
  };
  for (const auto& c : cases) {
    CurrentTopic current;
    current.number = c.number;
    current.entry.title = c.title;
    EXPECT_EQ(TopicAreaLines(current), std::make_pair(c.line1, c.line2)) << c.title.size();
  }
}

TEST(MenuGreying, FollowsTheCurrentTopicAndTheTopicCount) {
  using namespace command;
  const int topic_items[] = {kParameters, kDelete, kQuestionsMenu, kEdit, kList, kExport};
  const int index_items[] = {kOpen, kGenerate};
  const int always[] = {kNew, kCopyStructure, kDefaultPenalty, kRun, kInfo, kHistory, kAbout, kDemo, kExit};
  for (uint16_t current : {0, 2}) {
    for (uint16_t count : {0, 3}) {
      for (int id : topic_items) EXPECT_EQ(MenuItemEnabled(id, current, count), current != 0) << id;
      for (int id : index_items) EXPECT_EQ(MenuItemEnabled(id, current, count), count != 0) << id;
      for (int id : always) EXPECT_TRUE(MenuItemEnabled(id, current, count)) << id;
    }
  }
}

TEST(TopicParams, ReadsTheFieldsOrSaysWhatIsWrong) {
  struct Case {
    ParamsFields fields;
    std::string caption;  // "" = accepted
    std::string text;     // a piece of the message, or of nothing when accepted
    uint16_t record_size;
  } cases[] = {
      {{"T", "f", "120", "120", "100", "4"}, "", "", 706},
      {{"T", "f", "128", "128", "128", "4"}, "", "", 774},
      {{"T", "f", "50", "40", "0", "2"}, "", "", 133},
      {{"T", "f", "50", "40", "x", "2"}, "", "", 133},  // not a number: no comment
      {{"", "f", "1", "1", "0", "4"}, "* dades insuficients *", "manquen dades essencials", 0},
      {{"T", "", "1", "1", "0", "4"}, "* dades insuficients *", "manquen dades essencials", 0},
      {{"T", "f", "0", "1", "0", "4"}, "* dades insuficients *", "manquen dades essencials", 0},
      {{"T", "f", "1", "abc", "0", "4"}, "* dades insuficients *", "manquen dades essencials", 0},
      {{"T", "f", "129", "1", "0", "4"}, W("* dades no vàlides *"), W("Longitud pregunta 129: ha de ser de 1 a 128"), 0},
      {{"T", "f", "1", "200", "0", "4"}, W("* dades no vàlides *"), "Longitud resposta 200", 0},
      {{"T", "f", "1", "1", "129", "4"}, W("* dades no vàlides *"), "Longitud comentari 129: ha de ser de 0 a 128", 0},
      {{"T", "f", "1", "1", "-3", "4"}, W("* dades no vàlides *"), "Longitud comentari -3", 0},
      {{"T", "f", "1", "1", "0", "5"}, W("* dades no vàlides *"), "Nombre d'alternatives 5: ha de ser de 2 a 4", 0},
      {{"T", "f", "1", "1", "0", "1"}, W("* dades no vàlides *"), "Nombre d'alternatives 1", 0},
      {{"T", "..\\fora", "1", "1", "0", "4"}, W("Nom d'arxiu no vàlid"), W("«..\\fora» no pot dur"), 0},
      {{"T", "con", "1", "1", "0", "4"}, W("Nom d'arxiu no vàlid"), "Windows reserva", 0},
      {{"T", "hist.", "1", "1", "0", "4"}, W("Nom d'arxiu no vàlid"), "acabar amb un punt", 0},
  };
  for (const auto& c : cases) {
    TopicEntry entry;
    const Status status = ReadParams(c.fields, &entry);
    EXPECT_EQ(status.caption(), c.caption) << c.fields.question_length << "/" << c.fields.answer_length;
    EXPECT_NE(status.text().find(c.text), std::string::npos) << status.text();
    if (status.ok()) {
      EXPECT_EQ(entry.record_size, c.record_size);
      EXPECT_EQ(entry.format_kind, 3u);
    }
  }
  // Names are cut to their fields.
  TopicEntry entry;
  ASSERT_TRUE(ReadParams({std::string(120, 't'), std::string(40, 'f'), "1", "1", "", "3"}, &entry).ok());
  EXPECT_EQ(entry.title.size(), 100u);
  EXPECT_EQ(entry.file_name.size(), 32u);
}

class ManagerTopics : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    ASSERT_TRUE(index_.Create().ok());
    testing::AddTopic(&index_, 1, "HISTORIA", {50, 40, 2, 0}, 25);
    testing::AddTopic(&index_, 2, "GEO", {120, 120, 4, 100}, 3);
    ASSERT_TRUE(index_.Open().ok());
  }
  // Makes topic n current, as "Obrir" does.
  void Open(uint16_t n) {
    current_.Select(n);
    ASSERT_TRUE(index_.Read(n, &current_.entry).ok());
    ASSERT_TRUE(bank_.Open(current_.entry).ok());
  }

  TopicIndex index_;
  CurrentTopic current_;
  QuestionFile bank_;
};

TEST_F(ManagerTopics, ListsEveryTopicWithItsCountAndMakesMissingFiles) {
  std::filesystem::remove("Bases/GEO.qst");
  TextList lines;
  uint32_t total = 0;
  ASSERT_TRUE(BuildTopicList(index_, &lines, &total).ok());
  EXPECT_EQ(lines.items, (std::vector<std::string>{"1)Tema HISTORIA  25", "2)Tema GEO  0"}));
  EXPECT_EQ(total, 25u);
  EXPECT_EQ(TopicListSuffix(total), W(" (total qüestions = 25)"));
  EXPECT_TRUE(testing::Exists("Bases/GEO.qst"));
  EXPECT_EQ(TopicListLine(3, W("Història"), 25), W("3)Història  25"));
  EXPECT_FALSE(OrderChanged({1, 2, 3}));
  EXPECT_TRUE(OrderChanged({2, 1, 3}));
}

TEST_F(ManagerTopics, SavesANewTopicAndItsEmptyQuestionFile) {
  current_.Select(3);
  TopicEntry entry;
  ASSERT_TRUE(ReadParams({W("Química"), "QUIM", "120", "120", "100", "4"}, &entry).ok());
  RelayoutResult result;
  ASSERT_TRUE(SaveTopicParams(&index_, &current_, &bank_, true, entry, &result).ok());
  EXPECT_EQ(current_.number, 3);
  EXPECT_EQ(index_.count(), 3);
  EXPECT_EQ(FileBytes("Bases/QUIM.qst"), "");
  // The entry, byte for byte: name, title, kind 3, the layout and its record size.
  std::string expected(topic_format::kEntrySize, '\0');
  EncodeTopicEntry(entry, expected.data());
  EXPECT_EQ(FileBytes("Bases/Arxs.rel").substr(2 * topic_format::kEntrySize), expected);
  EXPECT_EQ(static_cast<unsigned char>(expected[316]) | static_cast<unsigned char>(expected[317]) << 8, 706);
}

TEST_F(ManagerTopics, SavingAnExistingTopicTouchesItsFileOnlyWhenItsLayoutOrNameChanges) {
  struct Case {
    const char* what;
    ParamsFields fields;
    RelayoutResult::Action action;
    const char* file;
  } cases[] = {
      {"title only", {"Nou títol", "HISTORIA", "50", "40", "0", "2"}, RelayoutResult::Action::kNone, "Bases/HISTORIA.qst"},
      {"shorter answers", {"Nou títol", "HISTORIA", "50", "20", "0", "2"}, RelayoutResult::Action::kRewritten,
       "Bases/HISTORIA.qst"},
      {"new name", {"Nou títol", "HIST2", "50", "20", "0", "2"}, RelayoutResult::Action::kRenamed, "Bases/HIST2.qst"},
  };
  for (const auto& c : cases) {
    Open(1);
    const std::string before = FileBytes("Bases/" + current_.entry.file_name + ".qst");
    TopicEntry entry;
    ASSERT_TRUE(ReadParams(c.fields, &entry).ok());
    RelayoutResult result;
    ASSERT_TRUE(SaveTopicParams(&index_, &current_, &bank_, false, entry, &result).ok()) << c.what;
    EXPECT_EQ(result.action, c.action) << c.what;
    EXPECT_EQ(current_.entry.title, "Nou títol") << c.what;
    if (c.action == RelayoutResult::Action::kRewritten) {
      EXPECT_EQ(FileBytes(c.file).size(), 25u * RecordSizeFor(entry.layout)) << c.what;
    } else {
      EXPECT_EQ(FileBytes(c.file), before) << c.what;  // untouched, byte for byte
    }
    TopicEntry stored;
    ASSERT_TRUE(index_.Read(1, &stored).ok());
    EXPECT_EQ(stored, current_.entry) << c.what;
  }
}

TEST_F(ManagerTopics, RefusesWhatWouldSpoilAnotherTopicOrTheIndex) {
  Open(1);
  TopicEntry entry;
  ASSERT_TRUE(ReadParams({"T", "geo", "50", "40", "0", "2"}, &entry).ok());
  const std::string index_before = FileBytes("Bases/Arxs.rel");
  RelayoutResult result;
  const Status taken = SaveTopicParams(&index_, &current_, &bank_, false, entry, &result);
  EXPECT_EQ(taken.caption(), W("Nom d'arxiu en ús"));
  EXPECT_NE(taken.text().find(W("geo.qst ja és el fitxer del tema 2")), std::string::npos) << taken.text();
  EXPECT_EQ(FileBytes("Bases/Arxs.rel"), index_before);
  EXPECT_TRUE(DropsAnswers({50, 40, 4, 0}, {50, 40, 3, 0}, 1));
  EXPECT_FALSE(DropsAnswers({50, 40, 4, 0}, {50, 40, 3, 0}, 0));
  EXPECT_FALSE(DropsAnswers({50, 40, 2, 0}, {50, 40, 3, 0}, 5));
  // The index holds 255 topics at most.
  std::string full;
  for (int i = 0; i < 255; ++i) full += index_before.substr(0, topic_format::kEntrySize);
  testing::PutFile("Bases/Arxs.rel", full);
  ASSERT_TRUE(index_.Open().ok());
  EXPECT_EQ(CheckRoomForTopic(index_).caption(), "Massa temes");
}

TEST_F(ManagerTopics, DeletingTopicTwoOfThreeRenumbersTheThird) {
  testing::AddTopic(&index_, 3, "TERCER", {50, 40, 2, 0}, 1);
  ASSERT_TRUE(index_.Open().ok());
  Open(2);
  EXPECT_EQ(DeleteTopicText(current_.entry.title), " Eliminar \"Tema GEO\"?");
  ASSERT_TRUE(DeleteCurrentTopic(&index_, &current_, &bank_).ok());
  EXPECT_EQ(current_.number, 0);
  EXPECT_FALSE(bank_.is_open());
  TopicEntry second;
  ASSERT_TRUE(index_.Read(2, &second).ok());
  EXPECT_EQ(second.file_name, "TERCER");
  EXPECT_EQ(index_.count(), 2);
  EXPECT_TRUE(testing::Exists("Bases/GEO.qst"));  // its questions stay on disk
}


}  // namespace
}  // namespace quiz
