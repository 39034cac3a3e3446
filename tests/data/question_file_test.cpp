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
