#include "manager/question_editor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "manager/search.h"
#include "tests/support/messages.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

namespace fs = std::filesystem;
namespace ed = editor;
using testing::FileBytes;
using testing::ShownMessage;

constexpr Layout kFour{120, 120, 4, 100};
constexpr Layout kTwoNoComment{50, 40, 2, 0};

Question Numbered(int n) {
  const std::string s = std::to_string(n);
  return {"Q " + s, {"bona " + s, "dolenta a " + s, "dolenta b " + s, "dolenta c " + s}, "comentari " + s};
}

ShownMessage kAskSave(const std::string& number) {
  return {W("questió") + number + " modificada!", "desar els canvis?", kMbYesNo | kMbIconExclamation};
}

class EditorTest : public testing::InTempDir {
 protected:
  void Make(int questions, Layout layout = kFour) {
    layout_ = layout;
    fs::create_directories("Bases");
    ASSERT_TRUE(bank_.Open(testing::TopicOf("banc", layout)).ok());
    for (int i = 1; i <= questions; ++i) ASSERT_TRUE(bank_.Append(Numbered(i)).ok());
    editor_ = std::make_unique<QuestionEditor>(&bank_, layout, &record_, &messages_);
  }
  // Opens at `start` and forgets the boxes shown so far.
  void OpenAt(uint32_t start) {
    ASSERT_TRUE(editor_->Open(start, &fields_));
    messages_.log.shown.clear();
  }
  std::vector<ShownMessage>& shown() { return messages_.log.shown; }
  void Answer(std::initializer_list<int> answers) { messages_.log.answers = answers; }

  Layout layout_;
  QuestionFile bank_;
  Question record_;
  Question fields_;
  testing::RecordingMessages messages_;
  std::unique_ptr<QuestionEditor> editor_;
};

TEST_F(EditorTest, EveryNavigationButtonGoesWhereItShouldAndAsksWhatItShould) {
  const ShownMessage kAddAsked{W("Qüestions exhaurides"), W("Afegir qüestió?"), kMbYesNo};
  const ShownMessage kNoSuch{W(" *Qüestió inexistent*"), W("Actualment hi ha 5 qüestions"), kMbIconExclamation};
  struct Case {
    uint32_t from;
    int button;
    std::string number_box;
    std::vector<int> answers;
    uint32_t to;
    std::vector<ShownMessage> asked;
  } cases[] = {
      {1, ed::kNext, "", {}, 2, {}},
      {1, ed::kPrevious, "", {}, 1, {}},
      {1, ed::kFirst, "", {}, 1, {}},
      {1, ed::kLast, "", {}, 5, {}},
      {1, ed::kNew, "", {}, 6, {}},
      {3, ed::kNext, "", {}, 4, {}},
      {3, ed::kPrevious, "", {}, 2, {}},
      {3, ed::kGoToNumber, "5", {}, 5, {}},
      {3, ed::kGoToNumber, " 2 ", {}, 2, {}},
      {3, ed::kGoToNumber, "0", {}, 3, {kNoSuch}},
      {3, ed::kGoToNumber, "a", {}, 3, {kNoSuch}},
      {3, ed::kGoToNumber, "", {}, 3, {kNoSuch}},
      {3, ed::kGoToNumber, "6", {}, 3, {kNoSuch}},
      {5, ed::kNext, "", {kIdYes}, 6, {kAddAsked}},
      {5, ed::kNext, "", {kIdNo}, 5, {kAddAsked}},
      {5, ed::kLast, "", {}, 5, {}},
      // Leaving the empty new question asks (its fields differ from the record); on it there is
      // nothing further to go to: no question, no gap.
      {6, ed::kNext, "", {kIdNo}, 6, {kAskSave("6")}},
      {6, ed::kPrevious, "", {kIdNo}, 5, {kAskSave("6")}},
      {6, ed::kNew, "", {kIdNo}, 6, {kAskSave("6")}},
      {6, ed::kFirst, "", {kIdNo}, 1, {kAskSave("6")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "from " << c.from << " button " << c.button << " '" << c.number_box << "'");
    bank_.Close();
    fs::remove_all("Bases");
    Make(5);
    OpenAt(c.from);
    messages_.log.answers.assign(c.answers.begin(), c.answers.end());
    ASSERT_TRUE(editor_->Navigate(c.button, fields_, c.number_box, false, &fields_));
    EXPECT_EQ(editor_->current(), c.to);
    EXPECT_EQ(shown(), c.asked);
    EXPECT_EQ(fields_, c.to <= 5 ? Numbered(static_cast<int>(c.to)) : Question());
    EXPECT_EQ(editor_->StatusText(), W("qüestió: ") + std::to_string(c.to) + "/5");
    EXPECT_EQ(bank_.count(), 5);
  }
}

TEST_F(EditorTest, LeavingAChangedQuestionAsksAndSavesOnlyOnYes) {
  Make(5);
  OpenAt(2);
  Question typed = fields_;
  typed.answers[2] = "canviada";
  Answer({kIdNo});
  ASSERT_TRUE(editor_->Navigate(ed::kNext, typed, "", false, &fields_));
  EXPECT_EQ(shown(), std::vector<ShownMessage>{kAskSave("2")});
  Question read;
  ASSERT_TRUE(bank_.Read(2, &read).ok());
  EXPECT_EQ(read, Numbered(2));

  // Declined, the edit is dropped even when the number stays: the question is read again.
  OpenAt(5);
  typed = fields_;
  typed.question = "nova pregunta";
  Answer({kIdNo, kIdNo});
  ASSERT_TRUE(editor_->Navigate(ed::kNext, typed, "", false, &fields_));
  EXPECT_EQ(fields_, Numbered(5));

  OpenAt(2);
  typed = fields_;
  typed.answers[2] = "canviada";
  Answer({kIdYes});
  ASSERT_TRUE(editor_->Navigate(ed::kPrevious, typed, "", false, &fields_));
  ASSERT_TRUE(bank_.Read(2, &read).ok());
  EXPECT_EQ(read, typed);
  EXPECT_EQ(fields_, Numbered(1));
}

TEST_F(EditorTest, SaveCutsToTheFieldAndTheFieldStillCountsAsChanged) {
  Make(3, {120, 60, 3, 0});
  OpenAt(2);
  Question typed = fields_;
  typed.question = std::string(150, 'q');
  typed.answers[0] = std::string(70, 'a');
  typed.answers[3] = "fora del format";
  typed.comment = "sense camp";
  record_.comment = "es queda";
  ASSERT_TRUE(editor_->Save(typed));
  Question read;
  ASSERT_TRUE(bank_.Read(2, &read).ok());
  EXPECT_EQ(read.question, std::string(120, 'q'));
  EXPECT_EQ(read.answers[0], std::string(60, 'a'));
  EXPECT_EQ(read.answers[3], "");
  EXPECT_EQ(record_.comment, "es queda");  // a topic without comments never changes one
  // The field still holds 150 characters: leaving asks again.
  EXPECT_TRUE(editor_->Modified(typed));
  Answer({kIdNo});
  ASSERT_TRUE(editor_->Navigate(ed::kNext, typed, "", false, &fields_));
  EXPECT_EQ(shown(), std::vector<ShownMessage>{kAskSave("2")});
}

TEST_F(EditorTest, ANewQuestionIsEmptyOrACopyAndIsStoredOnlyWhenSaved) {
  const ShownMessage kCopyAsked{W("Confirmar copiar qüestió"), W("Copiar la qüestió 3 a la nova?"), kMbYesNo};
  struct Case {
    bool copy;
    int answer;
    Question fields;
    std::vector<ShownMessage> asked;
  } cases[] = {
      {false, 0, Question(), {}},
      {true, kIdNo, Question(), {kCopyAsked}},
      {true, kIdYes, Numbered(3), {kCopyAsked}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.copy * 10 + c.answer);
    bank_.Close();
    fs::remove_all("Bases");
    Make(5);
    OpenAt(3);
    Answer({c.answer});
    ASSERT_TRUE(editor_->Navigate(ed::kNew, fields_, "", c.copy, &fields_));
    EXPECT_EQ(fields_, c.fields);
    EXPECT_EQ(shown(), c.asked);
    EXPECT_EQ(editor_->StatusText(), W("qüestió: 6/5"));
    shown().clear();
    // Leaving: a copy left as it was asks nothing and stores nothing; empty fields differ from
    // the question still in the record, so they ask, and Yes stores an empty question.
    Answer({kIdYes});
    ASSERT_TRUE(editor_->Navigate(ed::kFirst, fields_, "", false, &fields_));
    if (c.answer == kIdYes) {
      EXPECT_TRUE(shown().empty());
      EXPECT_EQ(bank_.count(), 5);
    } else {
      EXPECT_EQ(shown(), std::vector<ShownMessage>{kAskSave("6")});
      EXPECT_EQ(bank_.count(), 6);
      Question read;
      ASSERT_TRUE(bank_.Read(6, &read).ok());
      EXPECT_EQ(read, Question());
    }
  }
}

TEST_F(EditorTest, AcceptOnTheNewQuestionAppendsItAfterTheFilesLast) {
  Make(5);
  OpenAt(6);
  // Another program adds a question meanwhile: ours goes after it, under its real number.
  {
    QuestionFile other;
    ASSERT_TRUE(other.Open(testing::TopicOf("banc", kFour)).ok());
    ASSERT_TRUE(other.Append(Numbered(60)).ok());
  }
  Question typed = Numbered(70);
  ASSERT_TRUE(editor_->Save(typed));
  EXPECT_EQ(bank_.count(), 7);
  EXPECT_EQ(editor_->current(), 7u);
  EXPECT_EQ(editor_->StatusText(), W("qüestió: 7/7"));
  Question read;
  ASSERT_TRUE(bank_.Read(6, &read).ok());
  EXPECT_EQ(read, Numbered(60));
  ASSERT_TRUE(bank_.Read(7, &read).ok());
  EXPECT_EQ(read, Numbered(70));
  EXPECT_FALSE(editor_->Modified(typed));
}

TEST_F(EditorTest, DeleteShowsTheQuestionNowInItsPlace) {
  const ShownMessage kConfirm{"* confirmar *", W("eliminar qüestió actual?"), kMbYesNo | kMbIconExclamation};
  struct Case {
    int questions;
    uint32_t at;
    int answer;
    uint32_t shown_after;
    Question fields;  // what the fields show afterwards
    int count_after;
  } cases[] = {
      {5, 2, kIdYes, 2, Numbered(3), 4},
      {5, 5, kIdYes, 4, Numbered(4), 4},
      {1, 1, kIdYes, 1, Question(), 0},  // never question 0: an empty new question 1
      {5, 6, kIdYes, 6, Question(), 5},  // the new question: nothing stored goes
      {5, 2, kIdNo, 2, Numbered(2), 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.at << " of " << c.questions << " answer " << c.answer);
    bank_.Close();
    fs::remove_all("Bases");
    Make(c.questions);
    OpenAt(c.at);
    const std::string before = FileBytes("Bases/banc.qst");
    Answer({c.answer});
    editor_->Delete(&fields_);
    EXPECT_EQ(shown(), std::vector<ShownMessage>{kConfirm});
    EXPECT_EQ(editor_->current(), c.shown_after);
    EXPECT_EQ(fields_, c.fields);
    EXPECT_EQ(bank_.count(), c.count_after);
    EXPECT_EQ(editor_->StatusText(), W("qüestió: ") + std::to_string(c.shown_after) + "/" +
                                         std::to_string(c.count_after));
    if (c.count_after == c.questions) {
      EXPECT_EQ(FileBytes("Bases/banc.qst"), before);
    }
  }
}

TEST_F(EditorTest, AFileThatFailsMidEditIsToldAndTheFieldsKeepWhatWasTyped) {
  Make(5);
  OpenAt(2);
  Question typed = fields_;
  typed.question = "escrita a mà";
  // A folder takes the file's place behind the editor's back: no question can be read.
  fs::remove("Bases/banc.qst");
  fs::create_directory("Bases/banc.qst");
  Question fields = typed;
  Answer({kIdNo});
  EXPECT_FALSE(editor_->Navigate(ed::kGoToNumber, typed, "4", false, &fields));
  EXPECT_EQ(fields, typed);
  EXPECT_EQ(editor_->current(), 2u);
  ASSERT_EQ(shown().size(), 2u);
  EXPECT_NE(shown()[1].text.find("banc.qst"), std::string::npos) << shown()[1].text;
  EXPECT_EQ(shown()[1].flags, kMbIconStop);

  // A save that cannot be written: the navigation stops, the record keeps the stored question.
  bank_.Close();
  fs::remove_all("Bases");
  Make(5);
  OpenAt(2);
  fs::remove("Bases/banc.qst");
  fs::create_directory("Bases/banc.qst");
  Answer({kIdYes});
  fields = typed;
  EXPECT_FALSE(editor_->Navigate(ed::kNext, typed, "", false, &fields));
  EXPECT_EQ(fields, typed);
  EXPECT_EQ(editor_->current(), 2u);
  EXPECT_EQ(record_, Numbered(2));
  ASSERT_EQ(shown().size(), 2u);
  EXPECT_NE(shown()[1].text.find("banc.qst"), std::string::npos) << shown()[1].text;
}

TEST_F(EditorTest, OpeningAnEmptyTopicShowsANewQuestionOne) {
  Make(0, kTwoNoComment);
  ASSERT_TRUE(editor_->Open(1, &fields_));
  EXPECT_EQ(editor_->StatusText(), W("qüestió: 1/0"));
  EXPECT_EQ(fields_, Question());
  EXPECT_EQ(QuestionEditor::StatusWipe(), W("qüestió:") + std::string(16, ' '));
  // The last-question button on an empty bank stays on 1, never 0.
  ASSERT_TRUE(editor_->Navigate(ed::kLast, fields_, "", false, &fields_));
  EXPECT_EQ(editor_->current(), 1u);
}

TEST(TabRule, MovesThroughTheQuestionAndItsAnswersToTheComment) {
  struct Case {
    Layout layout;
    int from, to;
  } cases[] = {
      {kFour, 101, 102},           {kFour, 102, 103},          {kFour, 104, 105},
      {kFour, 105, 106},           {{50, 40, 3, 10}, 104, 106}, {kTwoNoComment, 102, 103},
      {kTwoNoComment, 103, 101},   {kFour, 110, ed::kGoToNumber}, {kFour, 106, 0},
      {kTwoNoComment, 104, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TabTarget(c.from, c.layout), c.to) << c.from << " " << c.layout.alternatives;
}

class SearchTest : public EditorTest {};

TEST_F(SearchTest, FindsQuestionTextsLetterCaseAsideAndAccentsKept) {
  Make(0);
  const Question questions[] = {
      {W("On és la CAPITAL d'Àustria?"), {"Viena"}, "capital"},
      {W("Quina és la capital de França?"), {"Capital: París"}, ""},
      {W("A quin segle va viure?"), {"capital"}, "capital"},
      {W("àrea del cercle"), {}, ""},
      {W("Area d'un quadrat"), {}, ""},
  };
  for (const Question& q : questions) ASSERT_TRUE(bank_.Append(q).ok());
  struct Case {
    std::string typed;
    uint32_t count;
    std::vector<uint16_t> numbers;
  } cases[] = {
      {"capital", 2, {1, 2}},  // not question 3: only in its answer and comment
      {W("à"), 2, {1, 4}},     // finds À and à, not the plain A
      {W("ÀREA"), 1, {4}},
      {"area", 1, {5}},
      {"", 0, {}},
      {"no hi és", 0, {}},
  };
  for (const auto& c : cases) {
    SearchHits hits;
    std::vector<uint32_t> growing;
    ASSERT_TRUE(SearchQuestions(bank_, c.typed, &hits, [&](const SearchHits& h) { growing.push_back(h.count); }).ok());
    EXPECT_EQ(hits.count, c.count) << c.typed;
    EXPECT_EQ(hits.numbers, c.numbers) << c.typed;
    EXPECT_EQ(hits.text, UpperCat(c.typed));
    EXPECT_EQ(growing.size(), c.count) << c.typed;
    EXPECT_EQ(OccurrencesLine(hits), W("ocurrències: ") + std::to_string(c.count));
    EXPECT_EQ(ListedLine(hits), "");
  }
}

TEST_F(SearchTest, KeepsTheFirst256HitsAndSaysThereAreMore) {
  Make(300);
  SearchHits hits;
  ASSERT_TRUE(SearchQuestions(bank_, "q", &hits).ok());
  EXPECT_EQ(hits.count, 300u);
  ASSERT_EQ(hits.numbers.size(), kMaxHits);
  EXPECT_EQ(hits.numbers.front(), 1);
  EXPECT_EQ(hits.numbers.back(), 256);
  EXPECT_EQ(OccurrencesLine(hits), W("ocurrències: 300"));
  EXPECT_EQ(ListedLine(hits), "(256 a la llista)");
  // An empty topic: nothing, and the earlier hits are gone.
  bank_.Close();
  fs::remove_all("Bases");
  Make(0);
  ASSERT_TRUE(SearchQuestions(bank_, "q", &hits).ok());
  EXPECT_EQ(hits.count, 0u);
  EXPECT_TRUE(hits.numbers.empty());
}

}  // namespace
}  // namespace quiz
