#include "data/question_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <unistd.h>

#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

using testing::Exists;
using testing::FileBytes;
using testing::Fixture;
using testing::ListFolder;
using testing::PutFile;

TopicEntry Topic(const std::string& name, Layout layout) {
  TopicEntry e;
  e.file_name = name;
  e.layout = layout;
  e.record_size = RecordSizeFor(layout);
  return e;
}

std::string Full(const std::string& text, size_t size) {
  std::string out;
  while (out.size() < size) out += text;
  return out.substr(0, size);
}

// The three questions of the sample banks in tests/fixtures, as stored under `l`.
std::vector<Question> SampleBank(const Layout& l) {
  const std::vector<Question> source = {
      {"Quin riu passa per Girona?", {"Onyar", "Ebre", "Llobregat", "Ter"}, W("També el Ter.")},
      {"Capital de la Catalunya del Nord?", {W("Perpinyà"), "Besiers", "Seu", "Ceret"}, ""},
      {Full("Pregunta plena ", l.question_length),
       {Full(W("àé"), l.answer_length), Full(W("çñ"), l.answer_length),
        Full(W("òü"), l.answer_length), Full("x", l.answer_length)},
       Full("comentari ", l.comment_length)},
  };
  std::vector<Question> bank;
  for (const Question& s : source) {
    Question q;
    q.question = s.question.substr(0, l.question_length);
    for (int k = 0; k < l.alternatives; ++k) q.answers[k] = s.answers[k].substr(0, l.answer_length);
    q.comment = s.comment.substr(0, l.comment_length);
    bank.push_back(q);
  }
  return bank;
}

class QuestionFileTest : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    PutFile("Bases/.keep", "");
  }
  // Opens Bases/<name>.qst of `layout` holding questions "q1".."qn".
  void MakeBank(const std::string& name, Layout layout, int n) {
    ASSERT_TRUE(file_.Open(Topic(name, layout)).ok());
    for (int i = 1; i <= n; ++i) {
      Question q;
      q.question = "q" + std::to_string(i);
      q.answers = {"a" + std::to_string(i), "b", "c", "d"};
      q.comment = "c" + std::to_string(i);
      ASSERT_TRUE(file_.Append(q).ok());
    }
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    EXPECT_TRUE(file_.Scan(1, file_.count(), [&](uint16_t, const Question& q) {
      texts.push_back(q.question);
      return true;
    }).ok());
    return texts;
  }

  QuestionFile file_;
};

TEST_F(QuestionFileTest, ReadsTheSampleBanksAndWritesThemBackByteForByte) {
  const Layout layouts[] = {{120, 120, 4, 100}, {50, 40, 2, 0}, {128, 128, 4, 128}, {10, 10, 3, 5}};
  for (const Layout& l : layouts) {
    const std::string name = "q_" + std::to_string(l.question_length) + "_" +
                             std::to_string(l.answer_length) + "_" + std::to_string(l.alternatives) +
                             "_" + std::to_string(l.comment_length);
    const std::string sample = Fixture(name + ".qst");
    PutFile("Bases/" + name + ".qst", sample);
    ASSERT_TRUE(file_.Open(Topic(name, l)).ok()) << name;
    ASSERT_EQ(file_.count(), 3) << name;
    const std::vector<Question> expected = SampleBank(l);
    std::vector<Question> read(3);
    for (uint16_t n = 1; n <= 3; ++n) {
      ASSERT_TRUE(file_.Read(n, &read[n - 1]).ok());
      EXPECT_EQ(read[n - 1], expected[n - 1]) << name << " question " << n;
    }
    EXPECT_EQ(read[2].question.size(), l.question_length) << "a text of the field's capacity";

    ASSERT_TRUE(file_.Open(Topic(name + "_copia", l)).ok());
    for (const Question& q : read) ASSERT_TRUE(file_.Append(q).ok());
    EXPECT_EQ(FileBytes("Bases/" + name + "_copia.qst"), sample) << name;
  }
}

TEST_F(QuestionFileTest, OpenCreatesAMissingFileEmpty) {
  ASSERT_TRUE(file_.Open(Topic("nou", {120, 120, 4, 100})).ok());
  EXPECT_EQ(file_.count(), 0);
  EXPECT_TRUE(Exists("Bases/nou.qst"));
  EXPECT_EQ(FileBytes("Bases/nou.qst"), "");
}

TEST_F(QuestionFileTest, OpenRefusesLayoutsNoFileCanHave) {
  struct Case {
    Layout layout;
    uint16_t record_size;
  } cases[] = {
      {{0, 10, 2, 0}, 30},   {{10, 129, 2, 0}, 300}, {{10, 10, 6, 0}, 100},
      {{10, 10, 2, 200}, 400}, {{120, 120, 4, 100}, 705}, {{120, 120, 4, 100}, 0},
      // Sizes past the largest record would be read into a buffer of 775 bytes.
      {{120, 120, 4, 100}, 775}, {{128, 128, 4, 128}, 800}, {{1, 1, 2, 0}, 65535},
  };
  for (const auto& c : cases) {
    TopicEntry e = Topic("x", c.layout);
    e.title = W("Geografia");
    e.record_size = c.record_size;
    const Status status = file_.Open(e);
    EXPECT_FALSE(status.ok()) << c.record_size;
    EXPECT_NE(status.text().find(W("Bases\\x.qst (tema «Geografia»)")), std::string::npos) << status.text();
    EXPECT_FALSE(file_.is_open());
  }
  EXPECT_FALSE(Exists("Bases/x.qst"));
  // The same file with the largest record it can have opens.
  TopicEntry widest = Topic("x", {128, 128, 4, 128});
  PutFile("Bases/x.qst", std::string(2 * 774, '\x01'));
  ASSERT_TRUE(file_.Open(widest).ok());
  EXPECT_EQ(file_.count(), 2);
}

TEST_F(QuestionFileTest, CountsWholeRecordsAndNeverReadsATornOne) {
  const std::string sample = Fixture("q_10_10_3_5.qst");  // records of 50 bytes
  struct Case {
    size_t bytes;
    uint16_t count;
  } cases[] = {{0, 0}, {49, 0}, {50, 1}, {149, 2}, {150, 3}};
  for (const auto& c : cases) {
    PutFile("Bases/x.qst", sample.substr(0, c.bytes));
    ASSERT_TRUE(file_.Open(Topic("x", {10, 10, 3, 5})).ok());
    EXPECT_EQ(file_.count(), c.count) << c.bytes;
    Question q;
    ASSERT_TRUE(file_.Read(c.count + 1, &q).ok());
    EXPECT_EQ(q, Question{}) << "beyond the count nothing is read";
  }
}

TEST_F(QuestionFileTest, LengthBytesBeyondTheirFieldStayInsideTheRecord) {
  // Layout 4/3/2/2: question at 0 (5 bytes), answers at 5 and 9 (4 each), comment at 13 (3).
  std::string record = std::string("\x09" "abcd") + "\x07" "xyz" + "\xFF" "uvw" + "\x05" "cc";
  ASSERT_EQ(record.size(), 16u);
  PutFile("Bases/x.qst", record + record);
  ASSERT_TRUE(file_.Open(Topic("x", {4, 3, 2, 2})).ok());
  ASSERT_EQ(file_.count(), 2);
  Question q;
  ASSERT_TRUE(file_.Read(2, &q).ok());
  EXPECT_EQ(q.question, "abcd");
  EXPECT_EQ(q.answers[0], "xyz");
  EXPECT_EQ(q.answers[1], "uvw");
  EXPECT_EQ(q.comment, "cc");
}

TEST_F(QuestionFileTest, ReadOfNumberZeroOrBeyondGivesAnEmptyQuestion) {
  MakeBank("x", {10, 10, 4, 10}, 2);
  for (uint16_t n : {0, 3, 65535}) {
    Question q;
    q.question = "stale";
    ASSERT_TRUE(file_.Read(n, &q).ok());
    EXPECT_EQ(q, Question{}) << n;
  }
}

TEST_F(QuestionFileTest, WriteStoresOnlyWhatTheLayoutHolds) {
  struct Case {
    Layout layout;
    Question written, read;
  } cases[] = {
      {{5, 3, 2, 0},
       {"abcdefg", {"1234", "xy", "lost", "lost"}, "no comment field"},
       {"abcde", {"123", "xy", "", ""}, ""}},
      {{10, 10, 3, 4},
       {W("qüestió"), {W("sí"), "no", "potser", "lost"}, "comentari"},
       {W("qüestió"), {W("sí"), "no", "potser", ""}, "come"}},
      {{128, 128, 4, 128},
       {std::string(200, 'q'), {std::string(128, 'a'), "", "", ""}, ""},
       {std::string(128, 'q'), {std::string(128, 'a'), "", "", ""}, ""}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(file_.Open(Topic("w", c.layout)).ok());
    ASSERT_TRUE(file_.Write(c.written, 1).ok());
    Question back;
    ASSERT_TRUE(file_.Read(1, &back).ok());
    EXPECT_EQ(back, c.read);
    EXPECT_EQ(FileBytes("Bases/w.qst").size(), RecordSizeFor(c.layout));
    std::remove("Bases/w.qst");
  }
}

TEST_F(QuestionFileTest, WriteAppendsAtCountPlusOneOnly) {
  MakeBank("x", {10, 10, 2, 0}, 2);
  Question q;
  q.question = "nova";
  EXPECT_EQ(file_.Write(q, 4).code(), Status::Code::kRefused);
  EXPECT_EQ(file_.Write(q, 0).code(), Status::Code::kRefused);
  EXPECT_EQ(file_.count(), 2);
  ASSERT_TRUE(file_.Write(q, 3).ok());
  EXPECT_EQ(file_.count(), 3);
  q.question = "canviada";
  ASSERT_TRUE(file_.Write(q, 1).ok());
  EXPECT_EQ(Texts(), (std::vector<std::string>{"canviada", "q2", "nova"}));
}

TEST_F(QuestionFileTest, DeleteRenumbersAndMovesTheCurrentNumber) {
  struct Case {
    int count;
    uint16_t n, n_after;
    std::vector<std::string> after;
  } cases[] = {
      {4, 1, 1, {"q2", "q3", "q4"}},
      {4, 2, 2, {"q1", "q3", "q4"}},
      {4, 4, 3, {"q1", "q2", "q3"}},  // the last one: the current number goes back
      {1, 1, 0, {}},
      {3, 4, 4, {"q1", "q2", "q3"}},  // an unsaved new question: nothing changes
      {3, 0, 0, {"q1", "q2", "q3"}},
  };
  for (const auto& c : cases) {
    MakeBank("d", {10, 10, 4, 10}, c.count);
    uint16_t n = c.n;
    ASSERT_TRUE(file_.Delete(&n).ok());
    EXPECT_EQ(n, c.n_after);
    EXPECT_EQ(Texts(), c.after);
    EXPECT_EQ(file_.count(), c.after.size());
    EXPECT_EQ(FileBytes("Bases/d.qst").size(), c.after.size() * RecordSizeFor({10, 10, 4, 10}));
    EXPECT_EQ(ListFolder("Bases"), ".keep d.qst");
    file_.Close();
    std::remove("Bases/d.qst");
  }
}

TEST_F(QuestionFileTest, AFailedDeleteLeavesTheBankAsItWas) {
  MakeBank("d", {100, 100, 4, 0}, 40);  // 505-byte records, about 20 KB
  const std::string before = FileBytes("Bases/d.qst");
  {
    testing::FileSizeLimit limit(5000);
    uint16_t n = 1;
    EXPECT_EQ(file_.Delete(&n).code(), Status::Code::kIoError);
    EXPECT_EQ(n, 1);
  }
  EXPECT_EQ(FileBytes("Bases/d.qst"), before);
  EXPECT_EQ(file_.count(), 40);
  EXPECT_EQ(ListFolder("Bases"), ".keep d.qst");
  Question q;
  ASSERT_TRUE(file_.Read(40, &q).ok());
  EXPECT_EQ(q.question, "q40");
}

TEST_F(QuestionFileTest, ScanVisitsInOrderAndStopsOnRequest) {
  MakeBank("s", {10, 10, 2, 0}, 1000);  // several blocks of records
  std::vector<uint16_t> seen;
  ASSERT_TRUE(file_.Scan(998, 2000, [&](uint16_t n, const Question& q) {
    EXPECT_EQ(q.question, "q" + std::to_string(n));
    seen.push_back(n);
    return true;
  }).ok());
  EXPECT_EQ(seen, (std::vector<uint16_t>{998, 999, 1000}));
  int visits = 0;
  ASSERT_TRUE(file_.Scan(1, 1000, [&](uint16_t, const Question&) { return ++visits < 5; }).ok());
  EXPECT_EQ(visits, 5);
  EXPECT_EQ(Texts().size(), 1000u);
}

struct RelayoutCase {
  const char* what;
  Layout from, to;
  std::string new_name;
  RelayoutResult::Action action;
  Question after;       // the questions afterwards, which were all alike
  std::string on_disk;  // the file left in Bases
};

void PrintTo(const RelayoutCase& c, std::ostream* os) { *os << c.what; }

class RelayoutTest : public QuestionFileTest, public ::testing::WithParamInterface<RelayoutCase> {};

TEST_P(RelayoutTest, BringsTheFileToTheNewLayoutAndName) {
  const RelayoutCase& c = GetParam();
  const TopicEntry old_entry = Topic("vell", c.from);
  ASSERT_TRUE(file_.Open(old_entry).ok());
  const Question q{"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, "comentari"};
  ASSERT_TRUE(file_.Append(q).ok());
  ASSERT_TRUE(file_.Append(q).ok());

  RelayoutResult result;
  ASSERT_TRUE(file_.Relayout(Topic(c.new_name, c.to), &result).ok());
  EXPECT_EQ(result.action, c.action);
  EXPECT_EQ(result.file_name, "Bases\\" + c.new_name + ".qst");
  EXPECT_EQ(file_.count(), 2);
  Question back;
  ASSERT_TRUE(file_.Read(2, &back).ok());
  EXPECT_EQ(back, c.after);

  // The file on disk reads the same through a fresh open of the new entry.
  QuestionFile again;
  ASSERT_TRUE(again.Open(Topic(c.new_name, c.to)).ok());
  EXPECT_EQ(again.count(), 2);
  ASSERT_TRUE(again.Read(1, &back).ok());
  EXPECT_EQ(back, c.after);
  EXPECT_EQ(ListFolder("Bases"), ".keep " + c.on_disk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelayoutTest,
    ::testing::Values(
        RelayoutCase{"nothing", {20, 20, 4, 20}, {20, 20, 4, 20}, "vell", RelayoutResult::Action::kNone,
                     {"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, "comentari"}, "vell.qst"},
        RelayoutCase{"case only", {20, 20, 4, 20}, {20, 20, 4, 20}, "VELL", RelayoutResult::Action::kNone,
                     {"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, "comentari"}, "vell.qst"},
        RelayoutCase{"rename", {20, 20, 4, 20}, {20, 20, 4, 20}, "nou", RelayoutResult::Action::kRenamed,
                     {"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, "comentari"}, "nou.qst"},
        RelayoutCase{"shorter answers", {20, 20, 4, 20}, {20, 5, 4, 20}, "vell",
                     RelayoutResult::Action::kRewritten,
                     {"pregunta", {"respo", "respo", "respo", "respo"}, "comentari"}, "vell.qst"},
        RelayoutCase{"shorter question and comment", {20, 20, 4, 20}, {4, 20, 4, 3}, "vell",
                     RelayoutResult::Action::kRewritten,
                     {"preg", {"resposta1", "resposta2", "resposta3", "resposta4"}, "com"}, "vell.qst"},
        RelayoutCase{"comment dropped", {20, 20, 4, 20}, {20, 20, 4, 0}, "vell",
                     RelayoutResult::Action::kRewritten,
                     {"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, ""}, "vell.qst"},
        RelayoutCase{"comment added", {20, 20, 4, 0}, {20, 20, 4, 50}, "vell",
                     RelayoutResult::Action::kRewritten,
                     {"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, ""}, "vell.qst"},
        RelayoutCase{"fewer alternatives", {20, 20, 4, 20}, {20, 20, 2, 20}, "vell",
                     RelayoutResult::Action::kRewritten,
                     {"pregunta", {"resposta1", "resposta2", "", ""}, "comentari"}, "vell.qst"},
        RelayoutCase{"more alternatives", {20, 20, 2, 20}, {20, 20, 4, 20}, "vell",
                     RelayoutResult::Action::kRewritten,
                     {"pregunta", {"resposta1", "resposta2", "", ""}, "comentari"}, "vell.qst"},
        RelayoutCase{"layout and name", {20, 20, 4, 20}, {20, 9, 3, 20}, "nou",
                     RelayoutResult::Action::kRewritten,
                     {"pregunta", {"resposta1", "resposta2", "resposta3", ""}, "comentari"}, "nou.qst"}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& ch : name) if (ch == ' ') ch = '_';
      return name;
    });

TEST_F(QuestionFileTest, RelayoutNeverOverwritesAnotherTopicsFile) {
  PutFile("Bases/altre.qst", "other topic");
  for (Layout to : {Layout{20, 20, 4, 20}, Layout{20, 5, 4, 20}}) {
    MakeBank("vell", {20, 20, 4, 20}, 2);
    const std::string before = FileBytes("Bases/vell.qst");
    RelayoutResult result;
    const Status status = file_.Relayout(Topic("ALTRE", to), &result);
    EXPECT_EQ(status.code(), Status::Code::kRefused);
    EXPECT_EQ(FileBytes("Bases/altre.qst"), "other topic");
    EXPECT_EQ(FileBytes("Bases/vell.qst"), before);
    EXPECT_EQ(file_.count(), 2);
    file_.Close();
    std::remove("Bases/vell.qst");
  }
}

TEST_F(QuestionFileTest, AFailedRelayoutLeavesTheOldFile) {
  MakeBank("vell", {100, 100, 4, 100}, 20);
  const std::string before = FileBytes("Bases/vell.qst");
  {
    testing::FileSizeLimit limit(4000);
    RelayoutResult result;
    EXPECT_EQ(file_.Relayout(Topic("nou", {100, 100, 4, 50}), &result).code(), Status::Code::kIoError);
  }
  EXPECT_EQ(FileBytes("Bases/vell.qst"), before);
  EXPECT_EQ(ListFolder("Bases"), ".keep vell.qst");
  Question q;
  ASSERT_TRUE(file_.Read(20, &q).ok());
  EXPECT_EQ(q.question, "q20");
}

TEST_F(QuestionFileTest, ARelayoutInterruptedAtAnyStepIsFinishedByRunningItAgain) {
  const Layout from{20, 20, 4, 20};
  const TopicEntry old_entry = Topic("vell", from);
  struct Case {
    const char* what;
    Layout to;
    // Brings the folder to where an interrupted first run left it.
    std::function<void(QuestionFile& file, const TopicEntry& new_entry)> interrupt;
  } cases[] = {
      {"killed before the new file was complete",
       {20, 9, 3, 20},
       [](QuestionFile&, const TopicEntry&) {
         PutFile("Bases/.nou.qst.tmp-999999-abcdef", "half");
       }},
      {"killed after the new file, before the old one went",
       {20, 9, 3, 20},
       [](QuestionFile& file, const TopicEntry& new_entry) {
         QuestionFile copy;
         ASSERT_TRUE(copy.Open(Topic("vell", {20, 20, 4, 20})).ok());
         RelayoutResult r;
         ASSERT_TRUE(copy.Relayout(new_entry, &r).ok());
         copy.Close();
         file.Close();
         PutFile("Bases/vell.qst", FileBytes("Bases/vell.qst.kept"));  // the old file is back
       }},
      {"killed after the old file went",
       {20, 9, 3, 20},
       [](QuestionFile& file, const TopicEntry& new_entry) {
         RelayoutResult r;
         ASSERT_TRUE(file.Relayout(new_entry, &r).ok());
       }},
      {"renamed, then run again",
       {20, 20, 4, 20},
       [](QuestionFile& file, const TopicEntry& new_entry) {
         RelayoutResult r;
         ASSERT_TRUE(file.Relayout(new_entry, &r).ok());
       }},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all("Bases");
    PutFile("Bases/.keep", "");
    MakeBank("vell", from, 3);
    PutFile("Bases/vell.qst.kept", FileBytes("Bases/vell.qst"));
    const TopicEntry new_entry = Topic("nou", c.to);
    c.interrupt(file_, new_entry);
    const std::string expected_new = FileBytes("Bases/nou.qst");

    // The same re-layout from the start: open the old entry, re-lay out to the new one.
    ASSERT_TRUE(file_.Open(old_entry).ok()) << c.what;
    RelayoutResult result;
    const Status status = file_.Relayout(new_entry, &result);
    ASSERT_TRUE(status.ok()) << c.what << ": " << status.ToString();
    EXPECT_EQ(result.file_name, "Bases\\nou.qst") << c.what;
    EXPECT_TRUE(result.old_file_left.ok()) << c.what;
    EXPECT_EQ(ListFolder("Bases"), ".keep nou.qst vell.qst.kept") << c.what;
    if (!expected_new.empty()) {
      EXPECT_EQ(FileBytes("Bases/nou.qst"), expected_new) << c.what;
    }
    EXPECT_EQ(Texts(), (std::vector<std::string>{"q1", "q2", "q3"})) << c.what;
  }
}

TEST_F(QuestionFileTest, ANewFileThatIsNotTheRelaidOutBankIsStillAnotherTopics) {
  MakeBank("vell", {20, 20, 4, 20}, 3);
  QuestionFile other;
  ASSERT_TRUE(other.Open(Topic("nou", {20, 9, 3, 20})).ok());
  ASSERT_TRUE(other.Append(Question{"q1", {"a1", "b", "c", ""}, "c1"}).ok());  // one question only
  RelayoutResult result;
  EXPECT_EQ(file_.Relayout(Topic("nou", {20, 9, 3, 20}), &result).code(), Status::Code::kRefused);
  EXPECT_EQ(ListFolder("Bases"), ".keep nou.qst vell.qst");
}

TEST_F(QuestionFileTest, AnOldFileThatCannotGoIsToldButTheRelayoutStands) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a file of another user";
  MakeBank("vell", {20, 20, 4, 20}, 3);
  file_.Close();
  testing::OpenToEveryone(dir());
  // A shared folder: everyone may add files, but only its owner may remove the old one.
  testing::SetMode("Bases", 01777);
  const int code = testing::RunUnprivileged([] {
    QuestionFile file;
    if (!file.Open(Topic("vell", {20, 20, 4, 20})).ok()) return 10;
    RelayoutResult result;
    if (!file.Relayout(Topic("nou", {20, 9, 3, 20}), &result).ok()) return 11;
    if (result.action != RelayoutResult::Action::kRewritten) return 12;
    if (result.old_file_left.text().find(W("Bases\\vell.qst: no hi ha permís")) ==
        std::string::npos)
      return 13;
    if (file.name() != "Bases\\nou.qst" || file.count() != 3) return 14;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ListFolder("Bases"), ".keep nou.qst vell.qst");
}

TEST_F(QuestionFileTest, AppendStopsAt65535Questions) {
  ASSERT_TRUE(file_.Open(Topic("gran", {1, 1, 2, 0})).ok());
  const uint16_t r = RecordSizeFor({1, 1, 2, 0});
  PutFile("Bases/gran.qst", std::string(size_t{65535} * r, '\0'));
  ASSERT_TRUE(file_.Open(Topic("gran", {1, 1, 2, 0})).ok());
  ASSERT_EQ(file_.count(), 65535);
  EXPECT_EQ(file_.Append(Question{}).code(), Status::Code::kRefused);
  EXPECT_EQ(FileBytes("Bases/gran.qst").size(), size_t{65535} * r);
}

}  // namespace
}  // namespace quiz
