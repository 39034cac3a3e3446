#include "converter/batch.h"

#include <gtest/gtest.h>

#include <sstream>

#include "data/topic_index.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

class Batch : public testing::InTempDir {};

TEST_F(Batch, ConvertsWithoutAWindowAndSaysWhatHappened) {
  testing::PutFile("bo.txt", "Q1\na\n*b\nc\nd\n");
  testing::PutFile("sense.txt", "Q1\na\nb\nc\nd\nQ2\na\nb\nc\nd\n");
  testing::PutFile("mig.txt", "Q1\n*a\nb\nc\nd\nQ2\na\nb\nc\nd\n");
  testing::PutFile("mig2.txt", "Q1\n*a\nb\nc\nd\nQ2\n*a\nb\nc\nd\nQ3\na\nb\nc\nd\n");
  testing::PutFile("doble.txt", "Q1\na\nb\nc\nd\nQ2\na\nb\nc\nd\n");
  const std::string other_layout(3 * 774, '\x05');  // picked by mistake: no byte may change
  testing::PutFile("gran.qst", other_layout);
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out, err;  // a piece each must hold; "" = must be empty
    std::string file;      // the question file expected afterwards, with its size in records
    size_t records;
  } cases[] = {
      {{"bo.txt", "banc"}, 0, "Conversió finalitzada: 1 qüestió afegida a banc.qst", "", "banc.qst", 1},
      {{"doble.txt", "banc2"}, 0, "Conversió finalitzada: 2 qüestions afegides a banc2.qst", "", "banc2.qst", 2},
      {{"--marked", "bo.txt", "marcat.dat"}, 0, "marcat.dat", "", "marcat.dat", 1},
      {{"--marked", "sense.txt", "b2"}, 1, "", "Error a la qüestió 1", "b2.qst", 0},
      {{"--marked", "mig.txt", "b3"}, 1, "", "La qüestió anterior a l'error ja s'ha afegit a b3.qst",
       "b3.qst", 1},
      {{"--marked", "mig2.txt", "b3b"}, 1, "", "Les 2 qüestions anteriors a l'error ja s'han afegit a b3b.qst",
       "b3b.qst", 2},
      // Names that look like options: only a first -h asks for help, and -- ends the options.
      {{"bo.txt", "-h"}, 0, "1 qüestió afegida a -h.qst", "", "-h.qst", 1},
      {{"--", "-h", "--marked"}, 1, "", "-h: no existeix", "--marked.qst", 0},
      {{"-h", "bo.txt", "banc"}, 0, "Ús: qstconv", "", "", 0},
      {{"bo.txt", "gran.qst"}, 1, "", "no són un nombre sencer de registres de 706 bytes", "", 0},
      {{"cap.txt", "b4"}, 1, "", "No Conversió", "b4.qst", 0},
      {{"bo.txt"}, 2, "", "Ús: qstconv", "", 0},
      {{"--help"}, 0, "--marked", "", "", 0},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunConverterBatch(c.args, out, err), c.code) << c.args[0];
    if (c.out.empty()) {
      EXPECT_EQ(out.str(), "") << c.args[0];
    } else {
      EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
    }
    if (c.err.empty()) {
      EXPECT_EQ(err.str(), "") << c.args[0];
    } else {
      EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
    }
    if (!c.file.empty()) {
      EXPECT_EQ(testing::FileBytes(c.file).size(), c.records * 706) << c.file;
    }
  }
  EXPECT_EQ(testing::FileBytes("gran.qst"), other_layout);
}

// A marked block whose star stands alone keeps its empty right answer, as the conversion always
// did, and is named; exported, it is left out and named, since it would change the answer key.
TEST_F(Batch, AnEmptyRightAnswerIsNamedWhenReadAndLeftOutOfEveryExport) {
  testing::PutFile("estrella.txt", "Capital?\nBalaguer\nLleida\nValls\n*\nQ2\n*a\nb\nc\nd\n");
  TopicIndex index;
  ASSERT_TRUE(index.Create().ok());
  testing::AddTopic(&index, 1, "banc", kConverterLayout, 0);
  std::ostringstream out, err;
  ASSERT_EQ(RunConverterBatch({"--marked", "estrella.txt", "Bases/banc.qst"}, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("Qüestió 1: la resposta correcta és buida; s'ha afegit igualment"), std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("2 qüestions afegides"), std::string::npos) << out.str();
  for (const char* format : {"aiken", "gift", "moodle"}) {
    std::ostringstream exported, failed;
    EXPECT_EQ(RunConverterBatch({"--export", format, "banc", "sortida.txt"}, exported, failed), 0) << failed.str();
    EXPECT_NE(exported.str().find("1 qüestió escrita a sortida.txt"), std::string::npos) << exported.str();
    EXPECT_NE(exported.str().find("Qüestió 1: no s'ha escrit, la resposta correcta és buida"), std::string::npos)
        << exported.str();
    EXPECT_EQ(testing::FileBytes("sortida.txt").find("Balaguer"), std::string::npos) << format;
  }
}

}  // namespace
}  // namespace quiz
