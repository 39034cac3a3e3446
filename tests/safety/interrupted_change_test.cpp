// A change of a topic's parameters left part-way by a killed quizdesk: whichever program comes next
// ends it before it reads the topic or adds to its bank.

#include <gtest/gtest.h>

#include "converter/convert.h"
#include "data/topic_change.h"
#include "manager/topics.h"
#include "runner/runner_screen.h"
#include "runner/test_engine.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

using testing::FolderState;
using testing::TopicOf;

Question Numbered(int i) {
  const std::string n = std::to_string(i);
  return {"Pregunta " + n, {"bona " + n, "dolenta", "dolenta", "dolenta"}, ""};
}

class InterruptedChange : public testing::InTempDir {};

TEST_F(InterruptedChange, TheNextProgramEndsItBeforeItReadsOrAdds) {
  struct Case {
    const char* what;
    TopicEntry to;  // topic 1 ("vell", the converter's layout) saved as this
    std::function<Status()> next;  // the next program's first step
    std::function<void(FolderState&)> own_writes;  // what that step itself adds to the ended change
  } cases[] = {
      {"quizrun takes a test of the re-laid-out topic", TopicOf("vell", {120, 40, 3, 0}),
       [] {
         QuietRunnerScreen screen;
         TestEngine engine(&screen, {8, 12, 2026}, 1);
         if (!engine.LoadTest("Generats\\t1.tgn")) return Status::Refused("", "no s'ha carregat");
         Question q;
         QUIZ_RETURN_IF_ERROR(engine.ReadQuestion(2, &q));
         return q.question == "Pregunta 2" && q.answers[0] == "bona 2" ? Status::Ok() : Status::Refused("", q.question);
       },
       nullptr},
      {"qstconv adds to the renamed bank", TopicOf("nou", kConverterLayout),
       [] {
         testing::PutFile("text.txt", "Nova\na\nb\nc\nd\n");
         return ConvertTextFile("text.txt", "Bases\\nou.qst", CorrectAnswerMode::kFirst, nullptr);
       },
       [](FolderState& f) {
         std::string record(706, '\0');
         EncodeQuestion({"Nova", {"a", "b", "c", "d"}, ""}, kConverterLayout, 706, record.data());
         f["Bases/nou.qst"] += record;
         f["text.txt"] = "Nova\na\nb\nc\nd\n";
       }},
      {"quizdesk lists the topics", TopicOf("nou", {100, 100, 4, 20}),
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         TextList lines;
         uint32_t total = 0;
         QUIZ_RETURN_IF_ERROR(BuildTopicList(index, &lines, &total));
         return total == 5 ? Status::Ok() : Status::Refused("", std::to_string(total));
       },
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WriteFolderState({});
    TopicIndex index;
    ASSERT_TRUE(index.Create().ok());
    testing::AddTopic(&index, 1, "vell", kConverterLayout, 0);
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(TopicOf("vell", kConverterLayout)).ok());
    for (int i = 1; i <= 5; ++i) ASSERT_TRUE(bank.Append(Numbered(i)).ok());
    ASSERT_TRUE(WriteTestFile("t1", {{1, 1}, {1, 2}}).ok());
    const FolderState before = testing::ReadFolderState();
    // The change made whole, to know its end; then the state of a kill after its record, with the
    // bank already in place and the entry still old.
    {
      ScopedLock<TopicIndex> lock(&index);
      ASSERT_TRUE(lock.Take().ok());
      RelayoutResult result;
      ASSERT_TRUE(ChangeTopic(&index, 1, &bank, c.to, &result).ok());
    }
    bank.Close();
    index.Close();
    FolderState expected = testing::ReadFolderState();
    FolderState left = expected;
    left["Bases/Arxs.rel"] = before.at("Bases/Arxs.rel");
    left["Bases/Canvi.jnl"] =
        EncodeTopicChange({TopicOf("vell", kConverterLayout), c.to, c.to.layout != kConverterLayout});
    testing::WriteFolderState(left);

    const Status status = c.next();
    EXPECT_TRUE(status.ok()) << status.ToString();
    if (c.own_writes) c.own_writes(expected);
    EXPECT_EQ(testing::Differences(testing::ReadFolderState(), expected), "");
  }
}

}  // namespace
}  // namespace quiz
