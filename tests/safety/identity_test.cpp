// Something changes the data folder under the manager between what it read and what it writes:
// its own reorder, or another program. The manager writes to what it read, wherever that is now,
// or writes nothing and says so; the files are checked byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "data/generated_tests.h"
#include "data/question_file.h"
#include "data/topic_format.h"
#include "data/topic_index.h"
#include "manager/question_editor.h"
#include "manager/topic_params.h"
#include "manager/topics.h"
#include "tests/safety/write_operations.h"
#include "tests/support/messages.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"

namespace fs = std::filesystem;

namespace quiz {
namespace {

using testing::FolderState;

constexpr Layout kLayout{40, 30, 4, 20};
constexpr size_t kRecord = 41 + 4 * 31 + 21;

Question Numbered(int n) {
  const std::string s = std::to_string(n);
  return {"Q " + s, {"bona " + s, "dolenta " + s, "altra " + s, "quarta " + s}, "nota " + s};
}

std::string Record(const Question& q) {
  std::string bytes(kRecord, '\0');
  EncodeQuestion(q, kLayout, kRecord, bytes.data());
  return bytes;
}

std::string Entry(const TopicEntry& e) {
  std::string bytes(topic_format::kEntrySize, '\0');
  EncodeTopicEntry(e, bytes.data());
  return bytes;
}

// One manager: its index, current topic, open bank and question editor.
struct Desk {
  TopicIndex index;
  CurrentTopic current;
  QuestionFile bank;
  Question record;
  testing::RecordingMessages messages;
  std::unique_ptr<QuestionEditor> editor;

  // "Obrir" on topic n.
  void Open(uint16_t n) {
    ASSERT_TRUE(index.Open().ok());
    current.Select(n);
    ASSERT_TRUE(index.Read(n, &current.entry).ok());
    ASSERT_TRUE(bank.Open(current.entry).ok());
  }
  // The editor of topic 1 at question k.
  void Edit(uint32_t k) {
    Open(1);
    editor = std::make_unique<QuestionEditor>(&bank, kLayout, &record, &messages);
    Question fields;
    ASSERT_TRUE(editor->Open(k, &fields));
  }
  // The editor's save of `typed`, as a status: the box it showed when it failed.
  Status Save(const Question& typed) {
    messages.log.shown.clear();
    return Told(editor->Save(typed));
  }
  // "x", answered Yes.
  Status Delete() {
    messages.log.shown.clear();
    messages.log.answers = {kIdYes};
    Question fields;
    return Told(editor->Delete(&fields));
  }
  Status Told(bool done) {
    if (done) return Status::Ok();
    if (messages.log.shown.empty()) return Status::Refused("", "");
    const auto& box = messages.log.shown.back();
    return box.caption == W("Fitxer canviat") ? Status::Changed(box.text) : Status::Refused(box.caption, box.text);
  }
  Status SaveParams(const std::string& title) {
    TopicEntry entry = current.entry;
    entry.title = title;
    RelayoutResult result;
    return SaveTopicParams(&index, &current, &bank, false, entry, &result);
  }
};

// Another manager's parameters save on its topic 1, as `to`.
Status ChangeTopicOf(Desk* other, const TopicEntry& to) {
  RelayoutResult result;
  return SaveTopicParams(&other->index, &other->current, &other->bank, false, to, &result);
}

// Another program on the same folder.
TopicIndex OtherIndex() {
  TopicIndex index;
  EXPECT_TRUE(index.Open().ok());
  return index;
}

Status OtherDeletesQuestion(uint16_t n) {
  QuestionFile bank;
  QUIZ_RETURN_IF_ERROR(bank.Open(testing::TopicOf("HIST", kLayout)));
  return bank.Delete(&n);
}

// Three topics; HIST (topic 1) holds questions 1..6.
class ChangedUnderTheManager : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    TopicIndex index;
    ASSERT_TRUE(index.Create().ok());
    for (const char* name : {"HIST", "GEO", "CIEN"}) {
      testing::AddTopic(&index, static_cast<uint16_t>(index.count() + 1), name, kLayout, 0);
    }
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(testing::TopicOf("HIST", kLayout)).ok());
    for (int i = 1; i <= 6; ++i) ASSERT_TRUE(bank.Append(Numbered(i)).ok());
  }
};

TEST_F(ChangedUnderTheManager, TheManagerWritesToWhatItReadOrNothing) {
  const Question edited{"editada", {"sí", "no", "potser", "mai"}, "nova"};
  struct Case {
    const char* what;
    std::function<void(Desk&)> read;    // what the manager has open
    std::function<void()> change;       // what happens under it
    std::function<Status(Desk&)> write;
    Status::Code code;
    // The folder afterwards, from the folder as the change left it.
    std::function<void(FolderState&)> expected;
  } cases[] = {
      {"a reorder, then the topic deleted", [](Desk& d) { d.Open(1); },
       [] { ASSERT_TRUE(OtherIndex().Reorder({2, 1, 3}).ok()); },
       [](Desk& d) { return DeleteCurrentTopic(&d.index, &d.current, &d.bank); }, Status::Code::kOk,
       [](FolderState& f) { f["Bases/Arxs.rel"].erase(topic_format::kEntrySize, topic_format::kEntrySize); }},
      {"a reorder, then the parameters saved", [](Desk& d) { d.Open(1); },
       [] { ASSERT_TRUE(OtherIndex().Reorder({3, 2, 1}).ok()); },
       [](Desk& d) { return d.SaveParams(W("Història nova")); }, Status::Code::kOk,
       [](FolderState& f) {
         TopicEntry e = testing::TopicOf("HIST", kLayout);
         e.title = W("Història nova");
         f["Bases/Arxs.rel"].replace(2 * topic_format::kEntrySize, topic_format::kEntrySize, Entry(e));
       }},
      {"another program deletes the open topic, then it is deleted", [](Desk& d) { d.Open(1); },
       [] { ASSERT_TRUE(OtherIndex().Delete(1).ok()); },
       [](Desk& d) { return DeleteCurrentTopic(&d.index, &d.current, &d.bank); }, Status::Code::kChanged, nullptr},
      {"another program deletes the open topic, then its title is saved", [](Desk& d) { d.Open(1); },
       [] { ASSERT_TRUE(OtherIndex().Delete(1).ok()); }, [](Desk& d) { return d.SaveParams("nou"); },
       Status::Code::kChanged, nullptr},
      {"another program changes the open topic's title, then it is saved", [](Desk& d) { d.Open(1); },
       [] {
         TopicEntry e = testing::TopicOf("HIST", kLayout);
         e.title = "Un altre";
         ASSERT_TRUE(OtherIndex().Write(1, e).ok());
       },
       [](Desk& d) { return d.SaveParams("nou"); }, Status::Code::kChanged, nullptr},
      {"another program deletes a question before the one edited", [](Desk& d) { d.Edit(3); },
       [] { ASSERT_TRUE(OtherDeletesQuestion(1).ok()); }, [&](Desk& d) { return d.Save(edited); },
       Status::Code::kChanged, nullptr},
      {"... and the save again goes where the question went", [](Desk& d) { d.Edit(3); },
       [] { ASSERT_TRUE(OtherDeletesQuestion(1).ok()); },
       [&](Desk& d) {
         (void)d.Save(edited);
         return d.Save(edited);
       },
       Status::Code::kOk, [&](FolderState& f) { f["Bases/HIST.qst"].replace(1 * kRecord, kRecord, Record(edited)); }},
      {"another program deletes the question edited: the edit becomes a question of its own",
       [](Desk& d) { d.Edit(3); }, [] { ASSERT_TRUE(OtherDeletesQuestion(3).ok()); },
       [&](Desk& d) {
         (void)d.Save(edited);
         return d.Save(edited);
       },
       Status::Code::kOk, [&](FolderState& f) { f["Bases/HIST.qst"] += Record(edited); }},
      {"another program deletes a question before the one deleted", [](Desk& d) { d.Edit(3); },
       [] { ASSERT_TRUE(OtherDeletesQuestion(1).ok()); },
       [](Desk& d) { return d.Delete(); },
       Status::Code::kChanged, nullptr},
      {"another program removes the question file", [](Desk& d) { d.Edit(5); },
       [] { fs::remove("Bases/HIST.qst"); }, [&](Desk& d) { return d.Save(edited); }, Status::Code::kChanged,
       nullptr},
      {"another program removes the question file, then a question is added", [](Desk& d) { d.Edit(7); },
       [] { fs::remove("Bases/HIST.qst"); }, [&](Desk& d) { return d.Save(edited); }, Status::Code::kChanged,
       nullptr},
      {"another program removes the question file, then the layout changes", [](Desk& d) { d.Open(1); },
       [] { fs::remove("Bases/HIST.qst"); },
       [](Desk& d) {
         TopicEntry entry = d.current.entry;
         entry.layout.answer_length = 20;
         RelayoutResult result;
         return SaveTopicParams(&d.index, &d.current, &d.bank, false, entry, &result);
       },
       Status::Code::kChanged, nullptr},
      {"another program appends questions", [](Desk& d) { d.Edit(3); },
       [] {
         QuestionFile bank;
         ASSERT_TRUE(bank.Open(testing::TopicOf("HIST", kLayout)).ok());
         ASSERT_TRUE(bank.Append(Numbered(7)).ok());
       },
       [&](Desk& d) { return d.Save(edited); }, Status::Code::kOk,
       [&](FolderState& f) { f["Bases/HIST.qst"].replace(2 * kRecord, kRecord, Record(edited)); }},
      {"another program re-lays the file out", [](Desk& d) { d.Edit(3); },
       [] {
         Desk other;
         ASSERT_TRUE(other.index.Open().ok());
         uint16_t n = 0;
         ASSERT_TRUE(FindTopic(&other.index, testing::TopicOf("HIST", kLayout), &n, &other.current.entry).ok());
         other.current.Select(n);
         RelayoutResult result;
         ASSERT_TRUE(SaveTopicParams(&other.index, &other.current, &other.bank, false,
                                     testing::TopicOf("HIST", {40, 20, 4, 20}), &result).ok());
       },
       [&](Desk& d) { return d.Save(edited); }, Status::Code::kChanged, nullptr},
      {"another program re-lays the file out; the editor saves again",
       [](Desk& d) { d.Edit(3); },
       [] {
         Desk other;
         other.Open(1);
         ASSERT_TRUE(ChangeTopicOf(&other, testing::TopicOf("HIST", {40, 20, 4, 20})).ok());
       },
       [&](Desk& d) {
         EXPECT_EQ(d.Save(edited).code(), Status::Code::kChanged);
         return d.Save(edited);  // where it followed the question to: still the old layout
       },
       Status::Code::kChanged, nullptr},
      {"a change of parameters left half-way by a killed manager",
       [](Desk& d) { d.Edit(7); },
       [] { testing::PutFile("Bases/Canvi.jnl", "un canvi a mig fer"); },
       [&](Desk& d) { return d.Save(edited); }, Status::Code::kChanged, nullptr},
      {"another program saves a generated test of the same name",
       [](Desk&) { ASSERT_TRUE(SaveGeneratedTest({"tots_1", "primer"}, {{1, 1}}).ok()); },
       [] { ASSERT_TRUE(SaveGeneratedTest({"tots_2", "altre"}, {{1, 2}}).ok()); },
       [](Desk&) {
         bool taken = false;
         const Status saved = SaveGeneratedTest({"TOTS_2", "segon"}, {{1, 3}}, false, &taken);
         EXPECT_TRUE(taken);
         return saved;
       },
       Status::Code::kRefused, nullptr},
  };
  const FolderState start = testing::ReadFolderState();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WriteFolderState(start);
    Desk desk;
    c.read(desk);
    c.change();
    FolderState expected = testing::ReadFolderState();
    const Status status = c.write(desk);
    EXPECT_EQ(status.code(), c.code) << status.ToString();
    if (c.code == Status::Code::kChanged) {
      EXPECT_NE(status.ToString().find(W("un altre programa")), std::string::npos) << status.ToString();
    }
    if (c.expected) c.expected(expected);
    EXPECT_EQ(testing::Differences(testing::ReadFolderState(), expected), "");
  }
}

// The current topic is known by its file: after a reorder it is found at its new number, and a
// topic that is gone leaves none current.
TEST_F(ChangedUnderTheManager, TheCurrentTopicIsFoundAgainByItsFile) {
  Desk desk;
  desk.Open(1);
  ASSERT_TRUE(OtherIndex().Reorder({2, 3, 1}).ok());
  ASSERT_TRUE(RelocateCurrentTopic(&desk.index, &desk.current).ok());
  EXPECT_EQ(desk.current.number, 3);
  EXPECT_EQ(desk.current.entry.file_name, "HIST");
  ASSERT_TRUE(OtherIndex().Delete(3).ok());
  const Status gone = RelocateCurrentTopic(&desk.index, &desk.current);
  EXPECT_EQ(gone.caption(), "Tema desaparegut");
  EXPECT_NE(gone.text().find("Tema HIST"), std::string::npos) << gone.text();
  EXPECT_EQ(desk.current.number, 0);
}

// Names read from a damaged or hostile index never lead a file out of the folder, and one bad
// topic never hides the others.
TEST_F(ChangedUnderTheManager, ABadTopicIsListedWithItsReasonAndNeverOpened) {
  std::string index = testing::FileBytes("Bases/Arxs.rel");
  TopicEntry hostile = testing::TopicOf("..\\fora", kLayout);
  index.replace(topic_format::kEntrySize, topic_format::kEntrySize, Entry(hostile));
  // A length byte that runs into zero bytes: a name with NUL characters.
  index[2 * topic_format::kEntrySize] = 10;
  testing::PutFile("Bases/Arxs.rel", index);
  TopicIndex topics;
  ASSERT_TRUE(topics.Open().ok());
  TextList lines;
  uint32_t total = 0;
  ASSERT_TRUE(BuildTopicList(topics, &lines, &total).ok());
  EXPECT_EQ(lines.items, (std::vector<std::string>{"1)Tema HIST  6", W("2)Tema ..\\fora  ? (Nom d'arxiu no vàlid)"),
                                                   W("3)Tema CIEN  ? (Nom d'arxiu no vàlid)")}));
  EXPECT_EQ(total, 6u);
  EXPECT_FALSE(fs::exists("fora.qst"));
  TopicEntry read;
  ASSERT_TRUE(topics.Read(2, &read).ok());
  QuestionFile bank;
  EXPECT_EQ(bank.Open(read).caption(), W("Nom d'arxiu no vàlid"));
  EXPECT_FALSE(bank.is_open());
}

TEST(FileNames, OnlyNamesThatStayInTheFolderAndTravelToWindowsPass) {
  for (const char* good : {"HISTORIA", "tots_3", "1,3,7_1", "Examen final", "con2", "LPT0", "a.b", "COMx"}) {
    EXPECT_EQ(FileNameFault(good), "") << good;
  }
  for (const std::string& bad :
       {std::string(), std::string("."), std::string(".."), std::string("..\\fora"), std::string("a/b"),
        std::string("a:b"), std::string("a*"), std::string("a?"), std::string("\"a\""), std::string("<a>"),
        std::string("a|b"), std::string("t\tx"), std::string("a\0b", 3), std::string(".ocult"), std::string("fi."),
        std::string(" a"), std::string("a "), std::string("CON"), std::string("con.txt"), std::string("Aux"),
        std::string("nul.qst"), std::string("COM1"), std::string("lpt9.x"), std::string("PRN ")}) {
    EXPECT_NE(FileNameFault(bad), "") << bad;
  }
}

}  // namespace
}  // namespace quiz
