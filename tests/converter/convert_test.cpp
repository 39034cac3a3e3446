#include "converter/convert.h"

#include <gtest/gtest.h>

#include "data/question_file.h"
#include "tests/support/messages.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

using testing::FileBytes;
using testing::PutFile;
using testing::ShownMessage;

constexpr uint16_t kSize = RecordSizeFor(kConverterLayout);

class Convert : public testing::InTempDir {
 protected:
  std::vector<Question> Stored(const std::string& name = "banc.qst") { return testing::ConverterBank(name); }

  testing::RecordingMessages messages_;
};

Question Q(std::string question, std::string a, std::string b, std::string c, std::string d) {
  return Question{std::move(question), {std::move(a), std::move(b), std::move(c), std::move(d)}, ""};
}

const ShownMessage kNoStar{W("Error a la qüestió 3"),
                           W("La resposta correcta ha de començar amb \"*\""), kMbOk};

struct Case {
  const char* what;
  std::string source;
  CorrectAnswerMode mode;
  bool ok;
  std::vector<Question> stored;
  std::vector<ShownMessage> shown;
};

const std::string k150(150, 'x');

const Case kCases[] = {
    {"only empty lines", "\r\n\r\n\n", CorrectAnswerMode::kFirst, true, {}, {}},
    {"empty file", "", CorrectAnswerMode::kFirst, true, {}, {}},
    {"empty lines before, between and after; blocks back to back",
     "\r\n\r\nQ1\r\na\r\nb\r\nc\r\nd\r\n\r\n\r\nQ2\r\ne\r\nf\r\ng\r\nh\r\nQ3\r\ni\r\nj\r\nk\r\nl\r\n\r\n",
     CorrectAnswerMode::kFirst, true,
     {Q("Q1", "a", "b", "c", "d"), Q("Q2", "e", "f", "g", "h"), Q("Q3", "i", "j", "k", "l")}, {}},
    {"question kept as written, answers trimmed of spaces only",
     "  Quina?  \n  a  \n\tb\n c\n   d\n", CorrectAnswerMode::kFirst, true,
     {Q("  Quina?  ", "a", "\tb", "c", "d")}, {}},
    {"a line of spaces between blocks is a question",
     "Q1\na\nb\nc\nd\n   \ne\nf\ng\nh\n", CorrectAnswerMode::kFirst, true,
     {Q("Q1", "a", "b", "c", "d"), Q("   ", "e", "f", "g", "h")}, {}},
    {"last block short of answers: earlier blocks stay, no message",
     "Q1\na\nb\nc\nd\nQ2\ne\nf\n", CorrectAnswerMode::kFirst, false, {Q("Q1", "a", "b", "c", "d")}, {}},
    {"empty line between question and first answer", "Q1\n\na\nb\nc\nd\n",
     CorrectAnswerMode::kFirst, false, {}, {}},
    {"an answer of spaces only is empty", "Q1\na\n   \nc\nd\n", CorrectAnswerMode::kFirst, false, {}, {}},
    {"first mode keeps a leading star", "Q1\n*a\nb\n*c\nd\n", CorrectAnswerMode::kFirst, true,
     {Q("Q1", "*a", "b", "*c", "d")}, {}},
    {"marked mode: the starred answer comes first, the others keep their order",
     "Q1\na\n*b\nc\nd\n", CorrectAnswerMode::kMarked, true, {Q("Q1", "b", "a", "c", "d")}, {}},
    {"marked mode: two stars, the later wins and both lose theirs",
     "Q1\n*a\nb\n*c\nd\n", CorrectAnswerMode::kMarked, true, {Q("Q1", "c", "a", "b", "d")}, {}},
    {"marked mode: a star alone is an empty correct answer", "Q1\na\nb\nc\n*\n",
     CorrectAnswerMode::kMarked, true, {Q("Q1", "", "a", "b", "c")}, {}},
    {"marked mode: spaces before the star count", "Q1\na\nb\n   *c\nd\n", CorrectAnswerMode::kMarked,
     true, {Q("Q1", "c", "a", "b", "d")}, {}},
    {"marked mode: a star inside the text does not",
     "Q1\n*a\nb*\nc *\nd\n", CorrectAnswerMode::kMarked, true, {Q("Q1", "a", "b*", "c *", "d")}, {}},
    {"marked mode: no star; the caption counts question lines, not file lines",
     "\n\nQ1\n*a\nb\nc\nd\n\n\n\nQ2\n*a\nb\nc\nd\n\nQ3\na\nb\nc\nd\nQ4\n*a\nb\nc\nd\n",
     CorrectAnswerMode::kMarked, false, {Q("Q1", "a", "b", "c", "d"), Q("Q2", "a", "b", "c", "d")},
     {kNoStar}},
    {"long lines are cut to 120", k150 + "\n" + k150 + "\nb\nc\n" + k150 + "\n",
     CorrectAnswerMode::kFirst, true,
     {Q(std::string(120, 'x'), std::string(120, 'x'), "b", "c", std::string(120, 'x'))}, {}},
    {"line breaks of LF, CR LF and CR alone", "Q1\ra\r\nb\nc\rd", CorrectAnswerMode::kFirst, true,
     {Q("Q1", "a", "b", "c", "d")}, {}},
    {"Windows-1252 text stays as it is", "Qu\xE8?\n\xE0\nb\xE7\nc\nd\n", CorrectAnswerMode::kFirst,
     true, {Q("Qu\xE8?", "\xE0", "b\xE7", "c", "d")}, {}},
    {"UTF-8 text becomes Windows-1252", "Qu\xC3\xA8?\n\xC3\xA0\n\xE2\x82\xAC\nc\n\xE2\x86\x92\n",
     CorrectAnswerMode::kFirst, true, {Q("Qu\xE8?", "\xE0", "\x80", "c", "?")}, {}},
    {"a byte-order mark marks UTF-8 even without accents", "\xEF\xBB\xBFQ\na\nb\nc\nd\n",
     CorrectAnswerMode::kFirst, true, {Q("Q", "a", "b", "c", "d")}, {}},
    {"bytes that are not UTF-8 are Windows-1252", "Q\xC3\n\xC3\xA0\nb\nc\nd\n",
     CorrectAnswerMode::kFirst, true, {Q("Q\xC3", "\xC3\xA0", "b", "c", "d")}, {}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class ConvertCases : public Convert, public ::testing::WithParamInterface<Case> {};

TEST_P(ConvertCases, AppendsTheBlocksItRead) {
  const Case& c = GetParam();
  PutFile("text.txt", c.source);
  uint32_t appended = 99;
  const Status status = ConvertTextFile("text.txt", "banc.qst", c.mode, &messages_, &appended);
  EXPECT_EQ(status.ok(), c.ok) << status.ToString();
  EXPECT_EQ(Stored(), c.stored);
  EXPECT_EQ(appended, c.stored.size());
  EXPECT_EQ(messages_.log.shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(Grammar, ConvertCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return "case" + std::to_string(info.index);
                         });

// Two converter records whose spare bytes past the texts are not zero, as another writer may
// leave them: they must come through an append untouched.
std::string EarlierRecords() {
  std::string records(2 * kSize, '\0');
  for (size_t i = 0; i < records.size(); ++i) records[i] = static_cast<char>(i * 7);
  for (size_t r = 0; r < 2; ++r) {
    for (size_t field : {0, 121, 242, 363, 484, 605}) records[r * kSize + field] = 3;
  }
  return records;
}

TEST_F(Convert, AppendsAfterTheRecordsThereAndNeverTouchesThem) {
  const std::string earlier = EarlierRecords();
  PutFile("banc.qst", earlier);
  PutFile("text.txt", "Q1\na\nb\nc\nd\nQ2\ne\nf\ng\n");
  EXPECT_FALSE(ConvertTextFile("text.txt", "banc.qst", CorrectAnswerMode::kFirst, &messages_).ok());
  const std::string after = FileBytes("banc.qst");
  ASSERT_EQ(after.size(), 3u * kSize);
  EXPECT_EQ(after.substr(0, earlier.size()), earlier);
  EXPECT_EQ(Stored()[2], Q("Q1", "a", "b", "c", "d"));

  // The same text twice is stored twice.
  PutFile("text.txt", "Q1\na\nb\nc\nd\n");
  ASSERT_TRUE(ConvertTextFile("text.txt", "banc.qst", CorrectAnswerMode::kFirst, &messages_).ok());
  ASSERT_TRUE(ConvertTextFile("text.txt", "banc.qst", CorrectAnswerMode::kFirst, &messages_).ok());
  EXPECT_EQ(Stored().size(), 5u);
  EXPECT_EQ(FileBytes("banc.qst").substr(0, earlier.size()), earlier);
}

TEST_F(Convert, RefusesADestinationThatIsNotABankOfItsRecords) {
  std::string bad_answer = EarlierRecords();
  bad_answer[kSize + 363] = 121;  // answer 3 of record 2 longer than its field
  struct DestinationCase {
    const char* what;
    std::string bytes;
    std::string reason;  // a piece of the status text
  } cases[] = {
      {"a bank of 774-byte records", std::string(3 * 774, '\x05'),
       W("fa 2322 bytes, que no són un nombre sencer de registres de 706 bytes")},
      {"a tail whose spare bytes are not zero", EarlierRecords() + "\x03" "abcd", W("fa 1417 bytes")},
      {"a tail whose length passes its field", EarlierRecords() + std::string(121, '\0') + "\x79",
       W("fa 1534 bytes")},
      {"a length byte past its field", bad_answer, W("el registre 2 té una resposta de 121 caràcters")},
      {"a comment past its field", std::string(605, '\0') + "\x65" + std::string(100, '\0'),
       W("el registre 1 té un comentari de 101 caràcters")},
  };
  PutFile("text.txt", "Q1\na\nb\nc\nd\n");
  for (const auto& c : cases) {
    PutFile("banc.qst", c.bytes);
    uint32_t appended = 9;
    const Status status =
        ConvertTextFile("text.txt", "banc.qst", CorrectAnswerMode::kFirst, &messages_, &appended);
    EXPECT_EQ(status.code(), Status::Code::kRefused) << c.what;
    EXPECT_NE(status.text().find(c.reason), std::string::npos) << c.what << ": " << status.text();
    EXPECT_NE(status.text().find("banc.qst"), std::string::npos) << c.what;
    EXPECT_EQ(appended, 0u) << c.what;
    EXPECT_EQ(FileBytes("banc.qst"), c.bytes) << c.what;
  }
}

// A conversion or an editor killed in the middle of a record leaves its start after the last whole
// record: the next append, of either program, writes over it.
TEST_F(Convert, ATornLastRecordIsWrittenOverByTheNextAppend) {
  std::string killed(kSize, '\0');
  EncodeQuestion(Q("Pregunta morta", "a", "b", "c", "d"), kConverterLayout, kSize, killed.data());
  Question edited = Q("Editada", "a", "b", "c", "d");
  edited.comment = "comentari";
  std::string killed_edit(kSize, '\0');
  EncodeQuestion(edited, kConverterLayout, kSize, killed_edit.data());
  const Question added = Q("Q1", "a", "b", "c", "d");
  std::string added_record(kSize, '\0');
  EncodeQuestion(added, kConverterLayout, kSize, added_record.data());
  struct TornCase {
    const char* what;
    std::string tail;
    bool by_editor;  // else by a conversion
  } cases[] = {
      {"a conversion killed in an answer, then a conversion", killed.substr(0, 300), false},
      {"an editor killed in the comment, then a conversion", killed_edit.substr(0, 650), false},
      {"a conversion killed after one byte, then the editor", killed.substr(0, 1), true},
      {"an editor killed in the comment, then the editor", killed_edit.substr(0, 700), true},
      {"zeros a power cut left, then a conversion", std::string(100, '\0'), false},
  };
  PutFile("text.txt", "Q1\na\nb\nc\nd\n");
  for (const auto& c : cases) {
    PutFile("banc.qst", EarlierRecords() + c.tail);
    if (c.by_editor) {
      QuestionFile bank;
      ASSERT_TRUE(bank.OpenPath("banc.qst", kConverterLayout, kSize).ok()) << c.what;
      ASSERT_EQ(bank.count(), 2) << c.what;
      uint16_t number = 0;
      ASSERT_TRUE(bank.Append(added, &number).ok()) << c.what;
      EXPECT_EQ(number, 3) << c.what;
    } else {
      uint32_t appended = 0;
      const Status status = ConvertTextFile("text.txt", "banc.qst", CorrectAnswerMode::kFirst, &messages_, &appended);
      ASSERT_TRUE(status.ok()) << c.what << ": " << status.ToString();
      EXPECT_EQ(appended, 1u) << c.what;
    }
    EXPECT_EQ(FileBytes("banc.qst"), EarlierRecords() + added_record) << c.what;
  }
}

TEST_F(Convert, MissingNamesWriteNothing) {
  PutFile("text.txt", "Q1\na\nb\nc\nd\n");
  struct NameCase {
    std::string source, destination;
  } cases[] = {{"", "banc.qst"}, {"absent.txt", "banc.qst"}, {"text.txt", ""}};
  for (const auto& c : cases) {
    EXPECT_FALSE(ConvertTextFile(c.source, c.destination, CorrectAnswerMode::kFirst, &messages_).ok())
        << c.source << " -> " << c.destination;
    EXPECT_FALSE(testing::Exists("banc.qst"));
  }
  EXPECT_TRUE(messages_.log.shown.empty());
}

TEST_F(Convert, ADestinationInAFolderWithAnotherCaseIsFound) {
  PutFile("Bases/Banc.qst", "");
  PutFile("text.txt", "Q1\na\nb\nc\nd\n");
  ASSERT_TRUE(ConvertTextFile("text.txt", "bases\\BANC.qst", CorrectAnswerMode::kFirst, &messages_).ok());
  EXPECT_EQ(Stored("Bases\\Banc.qst").size(), 1u);
}

TEST_F(Convert, StopsBeforeTheRecordCountWraps) {
  // A destination one record short of the most a question file can hold.
  PutFile("banc.qst", std::string(65534u * kSize, '\0'));
  PutFile("text.txt", "Q1\na\nb\nc\nd\nQ2\ne\nf\ng\nh\n");
  uint32_t appended = 0;
  const Status status =
      ConvertTextFile("text.txt", "banc.qst", CorrectAnswerMode::kFirst, &messages_, &appended);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(appended, 1u);
  EXPECT_EQ(FileBytes("banc.qst").size(), 65535u * kSize);
}

TEST_F(Convert, AWriteFailureKeepsTheWholeRecordsWritten) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "Q\na\nb\nc\nd\n";
  PutFile("text.txt", text);
  {
    testing::FileSizeLimit limit(100 * kSize + 10);
    EXPECT_EQ(ConvertTextFile("text.txt", "banc.qst", CorrectAnswerMode::kFirst, &messages_).code(),
              Status::Code::kIoError);
  }
  EXPECT_EQ(FileBytes("banc.qst").size() % kSize, 0u);
  EXPECT_LE(FileBytes("banc.qst").size(), 100u * kSize);
}

TEST(CorrectAnswerModeName, NamesBothModes) {
  EXPECT_EQ(CorrectAnswerModeName(CorrectAnswerMode::kFirst), "RESPOSTA CORRECTA = LA PRIMERA");
  EXPECT_EQ(CorrectAnswerModeName(CorrectAnswerMode::kMarked), "RESPOSTA CORRECTA = VARIABLE");
}

}  // namespace
}  // namespace quiz
