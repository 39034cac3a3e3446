#include "runner/test_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "data/generated_tests.h"
#include "data/question_file.h"
#include "data/score_history.h"
#include "data/score_format.h"
#include "data/topic_index.h"
#include "tests/support/messages.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

using testing::FileBytes;
using testing::PutFile;
using testing::ShownMessage;

// Records what the engine asks of its window, one line per request.
class FakeScreen : public RunnerScreen {
 public:
  int Message(const std::string& caption, const std::string& text, uint32_t flags) override {
    return messages.Show(caption, text, flags);
  }
  void SetWindowTitle(const std::string& title) override { window_title = title; }
  void DrawHeader() override { calls.push_back("header"); }
  void DrawSheet() override { calls.push_back("sheet"); }
  void DrawBubble(uint16_t q, uint16_t position, bool filled) override {
    calls.push_back("bubble " + std::to_string(q) + " " + std::to_string(position) +
                    (filled ? " filled" : " empty"));
  }
  void DrawSolutions() override { calls.push_back("solutions"); }
  void DrawQuestions() override { calls.push_back("questions"); }
  void ResetScroll(uint16_t count) override { calls.push_back("scroll 0.." + std::to_string(count)); }
  void ShowFromFirstQuestion() override { calls.push_back("first question"); }
  void SetCorrectionButton(bool visible, const std::string& text) override {
    button_visible = visible;
    button_text = text;
  }
  void SetElapsedText(const std::string& text) override { elapsed = text; }
  void SetEndText(const std::string& text) override { end = text; }
  void SetTimeText(const std::string& text) override { time = text; }
  void ShowStartButton() override { calls.push_back("start button"); }

  testing::MessageLog messages;
  std::vector<std::string> calls;
  std::string window_title = "test";
  bool button_visible = false;
  std::string button_text;
  std::string elapsed = "-", end = "-", time = "-";
};

const Date kDay{7, 3, 2013};

// A data folder with two topics and some generated tests, and an engine working in it.
class Engine : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    testing::MakeSampleData();
    engine_ = std::make_unique<TestEngine>(&screen_, kDay, 12345, [this] { return now_; });
  }

  // The letter position of an answer of question k that is not the correct one.
  uint16_t WrongPosition(uint16_t k) { return engine_->CorrectPosition(k) % 4 + 1; }

  FakeScreen screen_;
  TimeOfDay now_{10, 0, 0, 0};
  std::unique_ptr<TestEngine> engine_;
};

TEST_F(Engine, LoadsATestAndShowsIt) {
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn", "Tema: Primer"));
  EXPECT_EQ(engine_->count(), 4);
  EXPECT_EQ(engine_->test_name(), "t1.tgn");
  EXPECT_EQ(engine_->title(), "Tema: Primer");
  EXPECT_EQ(screen_.window_title, W("Test t1.tgn  (4 qüestions)"));
  EXPECT_TRUE(screen_.button_visible);
  EXPECT_EQ(screen_.button_text, "Corregir");
  EXPECT_EQ(screen_.calls, (std::vector<std::string>{"header", "sheet", "scroll 0..4", "questions"}));
  EXPECT_TRUE(screen_.messages.shown.empty());

  const std::vector<std::pair<uint16_t, uint16_t>> expected = {{1, 1}, {1, 2}, {2, 3}, {2, 1}};
  for (uint16_t k = 1; k <= 4; ++k) {
    EXPECT_EQ(engine_->item(k).topic, expected[k - 1].first);
    EXPECT_EQ(engine_->item(k).question, expected[k - 1].second);
    auto order = engine_->item(k).order;
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::array<uint16_t, 4>{1, 2, 3, 4}));
    for (uint16_t p = 1; p <= 4; ++p) EXPECT_EQ(engine_->item(k).order[engine_->AnswerAt(k, p) - 1], p);
  }

  Question q;
  ASSERT_TRUE(engine_->ReadQuestion(3, &q).ok());
  EXPECT_EQ(q.question, "Q GEO 3");
  EXPECT_EQ(q.answers[0], "bona GEO 3");
  ASSERT_TRUE(engine_->ReadQuestion(2, &q).ok());
  EXPECT_EQ(q.answers[0], "bona HISTORIA 2");
  EXPECT_EQ(q.answers[2], "");  // a topic of two alternatives
}

TEST_F(Engine, AnEmptyPathOnlyClearsTheMarks) {
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  ASSERT_TRUE(engine_->Mark(1, 2));
  screen_.calls.clear();
  EXPECT_FALSE(engine_->LoadTest(""));
  EXPECT_EQ(engine_->count(), 4);
  EXPECT_EQ(engine_->mark(1), 0);
  EXPECT_EQ(engine_->test_name(), "");
  EXPECT_EQ(screen_.calls, (std::vector<std::string>{"header", "sheet", "scroll 0..4", "questions"}));
}

TEST_F(Engine, AFailedLoadKeepsTheTestThatWasThere) {
  PutFile("Generats/dolent.tgn", "1\r\n2\r\nx\r\n3\r\n");
  PutFile("Generats/gran.tgn", "1\r\n1\r\n200\r\n1\r\n");
  PutFile("Generats/fora.tgn", "1\r\n1\r\n256\r\n1\r\n");
  struct Case {
    std::string path;
    ShownMessage shown;
  } cases[] = {
      {"Generats\\cap.tgn", {W("No s'ha pogut obrir el fitxer"), "", kMbOk | kMbIconExclamation}},
      {"Generats\\dolent.tgn", {W("Test no vàlid"), "", kMbOk | kMbIconExclamation}},
      {"Generats\\gran.tgn", {"Test inexistent", W("Test nº 200"), kMbOk}},
      {"Generats\\fora.tgn", {W("Test no vàlid"), "", kMbOk | kMbIconExclamation}},
  };
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn", "Tema: Primer"));
  const std::vector<RunnerItem> before = {engine_->item(1), engine_->item(2), engine_->item(3),
                                          engine_->item(4)};
  ASSERT_TRUE(engine_->Mark(2, 3));
  for (const auto& c : cases) {
    screen_.messages.shown.clear();
    EXPECT_FALSE(engine_->LoadTest(c.path, "Tema: Altre")) << c.path;
    ASSERT_EQ(screen_.messages.shown.size(), 1u) << c.path;
    const ShownMessage& m = screen_.messages.shown[0];
    EXPECT_EQ(m.caption, c.shown.caption);
    EXPECT_EQ(m.flags, c.shown.flags);
    if (c.shown.text.empty()) {
      // A file problem names the file, and the line for a bad line.
      EXPECT_NE(m.text.find(c.path), std::string::npos) << m.text;
    } else {
      EXPECT_EQ(m.text, c.shown.text);
    }
    ASSERT_EQ(engine_->count(), 4);
    for (uint16_t k = 1; k <= 4; ++k) EXPECT_EQ(engine_->item(k), before[k - 1]);
    EXPECT_EQ(engine_->mark(2), 3);
    EXPECT_EQ(engine_->test_name(), "t1.tgn");
    EXPECT_EQ(engine_->title(), "Tema: Primer");
    EXPECT_EQ(screen_.window_title, W("Test t1.tgn  (4 qüestions)"));
  }
  EXPECT_NE(screen_.messages.shown[0].text.find(W("línia")), std::string::npos);
  // The next "Repetir" reloads the test that is shown, not the one that failed.
  engine_->Correct("0");
  engine_->Repeat();
  EXPECT_EQ(engine_->test_path(), "Generats\\t1.tgn");
}

TEST_F(Engine, WithoutTheTopicIndexNoTestIsLeftAndTheNextLoadTriesAgain) {
  ASSERT_EQ(::rename("Bases/Arxs.rel", "Arxs.rel"), 0);
  EXPECT_FALSE(engine_->LoadTest("Generats\\t1.tgn"));
  ASSERT_EQ(screen_.messages.shown.size(), 1u);
  EXPECT_EQ(screen_.messages.shown[0],
            (ShownMessage{W("No s'ha trobat els arxius de qüestions"), "Bases\\arxs.rel", kMbOk}));
  EXPECT_EQ(engine_->count(), 0);
  EXPECT_FALSE(screen_.button_visible);
  EXPECT_FALSE(testing::Exists("Bases/Arxs.rel"));  // nothing is created

  ASSERT_EQ(::rename("Arxs.rel", "Bases/Arxs.rel"), 0);
  EXPECT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  EXPECT_EQ(engine_->count(), 4);
}

TEST_F(Engine, AQuestionThatCannotBeReadIsToldOncePerLoad) {
  struct Case {
    const char* what;
    std::function<void()> damage;
    ShownMessage told;
  } cases[] = {
      // A topic entry whose record size would overflow the record buffer.
      {"record size past the format",
       [] {
         std::string index = FileBytes("Bases/Arxs.rel");
         index[318 + 316] = static_cast<char>(800 & 0xFF);
         index[318 + 317] = static_cast<char>(800 >> 8);
         PutFile("Bases/Arxs.rel", index);
       },
       {W("Format no vàlid"),
        W("Bases\\GEO.qst (tema «Tema GEO»): la mida de registre 800 no és vàlida per al format, "
          "que "
          "en demana 706 i com a màxim 774"),
        kMbOk | kMbIconExclamation}},
      {"question file gone",
       [] { ::unlink("Bases/GEO.qst"); },
       {W("No s'ha pogut obrir el fitxer"), W("Bases\\GEO.qst: no existeix"),
        kMbOk | kMbIconExclamation}},
  };
  for (const auto& c : cases) {
    testing::MakeSampleData();
    c.damage();
    screen_.messages.shown.clear();
    TestEngine engine(&screen_, kDay, 1, [this] { return now_; });
    ASSERT_TRUE(engine.LoadTest("Generats\\t1.tgn")) << c.what;
    EXPECT_EQ(engine.ShownQuestion(1).question, "Q HISTORIA 1") << c.what;
    for (uint16_t k : {3, 4, 3}) EXPECT_EQ(engine.ShownQuestion(k), Question{}) << c.what;
    EXPECT_EQ(screen_.messages.shown, std::vector<ShownMessage>{c.told}) << c.what;
    engine.Repeat();  // a new load tells again
    (void)engine.ShownQuestion(4);
    EXPECT_EQ(screen_.messages.shown.size(), 2u) << c.what;
    EXPECT_FALSE(testing::Exists("Bases/GEO.qst") && std::string(c.what) == "question file gone");
  }
}

TEST_F(Engine, TakesTestsFromAFolderItCannotWriteTo) {
  testing::OpenToEveryone(dir());
  for (const char* path : {"Bases/Arxs.rel", "Bases/HISTORIA.qst", "Bases/GEO.qst",
                           "Generats/Generats.rel", "Generats/t1.tgn"}) {
    testing::SetMode(path, 0444);
  }
  testing::SetMode("Bases", 0555);
  testing::SetMode("Generats", 0555);
  const int failures = testing::RunUnprivileged([this] {
    int failed = 0;
    GeneratedTestIndex generated;
    failed += !generated.OpenForRunner().ok() || generated.count() != 2;
    TestEngine engine(&screen_, kDay, 1, [this] { return now_; });
    failed += !engine.LoadTest("Generats\\t1.tgn");
    for (uint16_t k = 1; k <= 4; ++k) failed += engine.ShownQuestion(k).question.empty();
    failed += !screen_.messages.shown.empty();
    return failed;
  });
  EXPECT_EQ(failures, 0);
}

TEST_F(Engine, SeesTopicsTheManagerAddedOrReorderedWithoutARestart) {
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  PutFile("Generats/t3.tgn", "3\r\n1\r\n");
  {  // the manager, meanwhile: a new topic, then a reorder that replaces the index
    TopicIndex index;
    ASSERT_TRUE(index.Open().ok());
    testing::AddTopic(&index, 3, "NOU", {50, 40, 2, 0}, 1);
  }
  ASSERT_TRUE(engine_->LoadTest("Generats\\t3.tgn"));
  Question q;
  ASSERT_TRUE(engine_->ReadQuestion(1, &q).ok());
  EXPECT_EQ(q.question, "Q NOU 1");
  {
    TopicIndex index;
    ASSERT_TRUE(index.Open().ok());
    ASSERT_TRUE(index.Reorder({3, 1, 2}).ok());
  }
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));  // topic 1 is now NOU, topic 2 HISTORIA
  ASSERT_TRUE(engine_->ReadQuestion(3, &q).ok());
  EXPECT_EQ(q.question, "Q HISTORIA 3");
  EXPECT_TRUE(screen_.messages.shown.empty());
}

TEST_F(Engine, MarksFollowTheOneMarkRule) {
  struct Case {
    uint16_t mark_before, click;
    uint16_t mark_after;
    bool changed;
    std::string bubble;  // the bubble repainted, if any
  } cases[] = {
      {0, 2, 2, true, "bubble 1 2 filled"},
      {2, 2, 0, true, "bubble 1 2 empty"},
      {2, 3, 2, false, ""},
      {0, 0, 0, false, ""},  // no such letter
      {0, 5, 0, false, ""},
  };
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  for (const auto& c : cases) {
    if (engine_->mark(1) != c.mark_before) {
      if (engine_->mark(1) != 0) engine_->Mark(1, engine_->mark(1));
      if (c.mark_before != 0) engine_->Mark(1, c.mark_before);
    }
    ASSERT_EQ(engine_->mark(1), c.mark_before);
    screen_.calls.clear();
    screen_.messages.shown.clear();
    EXPECT_EQ(engine_->Mark(1, c.click), c.changed);
    EXPECT_EQ(engine_->mark(1), c.mark_after);
    EXPECT_EQ(screen_.calls, c.bubble.empty() ? std::vector<std::string>{}
                                              : std::vector<std::string>{c.bubble});
    const bool refused = c.mark_before != 0 && c.click != c.mark_before && c.click >= 1 && c.click <= 4;
    if (refused) {
      ASSERT_EQ(screen_.messages.shown.size(), 1u);
      EXPECT_EQ(screen_.messages.shown[0],
                (ShownMessage{W("només una resposta "), W("cal treure abans la marca de l'altra"),
                              kMbOk | kMbIconExclamation}));
    } else {
      EXPECT_TRUE(screen_.messages.shown.empty());
    }
  }
  // Questions outside the test cannot be marked.
  EXPECT_FALSE(engine_->Mark(0, 1));
  EXPECT_FALSE(engine_->Mark(5, 1));
}

TEST(Penalty, ReadsTheBoxAsTheRunnerDoes) {
  struct Case {
    const char* text;
    bool ok;
    int denominator;
  } cases[] = {
      {"1/4", true, 4}, {"1/2", true, 2}, {"1", true, 1},  {"0", true, 0},   {"1/3", true, 3},
      {"1/10", true, 1}, {"1/0", true, 0}, {"2/5", true, 5}, {"12", true, 12}, {"x/4", true, 4},
      {"a", false, 0},  {"", false, 0},   {"4x", false, 0}, {"1/", false, 0}, {"1/x", false, 0},
      {" 4", false, 0}, {"-1", false, 0},
  };
  for (const auto& c : cases) {
    int d = -7;
    EXPECT_EQ(ReadPenalty(c.text, &d), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(d, c.denominator) << c.text;
    }
  }
}

TEST_F(Engine, CorrectsScoresAndRegistersOnYesOnly) {
  struct Case {
    int answer;
    bool registered;
  } cases[] = {{kIdYes, true}, {kIdNo, false}, {kIdCancel, false}};
  for (const auto& c : cases) {
    ::unlink("Punts.rel");
    ::unlink("Respostes.rel");
    now_ = {17, 45, 9, 0};
    ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
    ASSERT_TRUE(engine_->Mark(1, engine_->CorrectPosition(1)));
    ASSERT_TRUE(engine_->Mark(2, WrongPosition(2)));
    ASSERT_TRUE(engine_->Mark(3, engine_->CorrectPosition(3)));
    screen_.calls.clear();
    screen_.messages.shown.clear();
    screen_.messages.answers = {c.answer};

    engine_->PressCorrectionButton("1/4");
    EXPECT_TRUE(engine_->corrected());
    EXPECT_EQ(screen_.button_text, "Repetir");
    EXPECT_EQ(engine_->hits(), 2);
    EXPECT_EQ(engine_->errors(), 1);
    EXPECT_EQ(engine_->penalty_denominator(), 4);
    const std::vector<QuestionResult> results = {QuestionResult::kRight, QuestionResult::kWrong,
                                                 QuestionResult::kRight, QuestionResult::kUnanswered};
    for (uint16_t k = 1; k <= 4; ++k) EXPECT_EQ(engine_->result(k), results[k - 1]) << k;
    EXPECT_EQ(screen_.calls, (std::vector<std::string>{"solutions", "first question", "questions"}));
    ASSERT_EQ(screen_.messages.shown.size(), 1u);
    EXPECT_EQ(screen_.messages.shown[0],
              (ShownMessage{"Resultat t1.tgn",
                            W("encerts: 2    errors: 1     NC: 1\r\n\r\n = 1.75 / 4    => 43.8% "
                              "\r\n\r\n   Registrar puntuació?"),
                            kMbYesNoCancel | kMbIconInformation}));

    if (c.registered) {
      const ScoreRecord expected{kDay, "t1.tgn", 4, 2, 1, 0.25};
      std::string bytes(score_format::kRecordSize, '\0');
      EncodeScoreRecord(expected, bytes.data());
      EXPECT_EQ(FileBytes("Punts.rel"), bytes);
      // Beside the score, each answer: the topic's file, the question, what was marked.
      std::vector<Correction> log;
      ASSERT_TRUE(ReadAnswerLog(&log).ok());
      ASSERT_EQ(log.size(), 1u);
      const struct {
        const char* file;
        uint16_t question;
        uint16_t position;  // marked, 0 for none
        AnswerResult result;
      } answers[] = {{"HISTORIA", 1, engine_->CorrectPosition(1), AnswerResult::kRight},
                     {"HISTORIA", 2, WrongPosition(2), AnswerResult::kWrong},
                     {"GEO", 3, engine_->CorrectPosition(3), AnswerResult::kRight},
                     {"GEO", 1, 0, AnswerResult::kBlank}};
      ASSERT_EQ(log[0].answers.size(), 4u);
      for (uint8_t k = 1; k <= 4; ++k) {
        const auto& want = answers[k - 1];
        Question q;
        ASSERT_TRUE(engine_->ReadQuestion(k, &q).ok());
        const char letter = want.position == 0 ? ' ' : static_cast<char>('a' + want.position - 1);
        EXPECT_EQ(log[0].answers[k - 1], (AnswerRecord{kDay, 17, 45, 9, "t1.tgn", want.file, want.question,
                                                       QuestionHash(q), letter, want.result, k, 4}))
            << static_cast<int>(k);
      }
    } else {
      EXPECT_FALSE(testing::Exists("Punts.rel"));
      EXPECT_FALSE(testing::Exists("Respostes.rel"));
    }
  }
}

TEST_F(Engine, MarkingAfterCorrectionChangesOnlyTheBubbles) {
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  engine_->Correct("0");
  ASSERT_TRUE(engine_->Mark(1, engine_->CorrectPosition(1)));
  EXPECT_EQ(engine_->result(1), QuestionResult::kUnanswered);
  EXPECT_EQ(engine_->hits(), 0);
}

TEST_F(Engine, ARefusedPenaltyCorrectsNothing) {
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  screen_.calls.clear();
  engine_->PressCorrectionButton("4x");
  EXPECT_FALSE(engine_->corrected());
  EXPECT_EQ(screen_.button_text, "Corregir");
  EXPECT_TRUE(screen_.calls.empty());
  ASSERT_EQ(screen_.messages.shown.size(), 1u);
  EXPECT_EQ(screen_.messages.shown[0],
            (ShownMessage{W("Penalització no vàlida"), W(" Només fraccions 1/2..1/9, 0 o 1"), kMbOk}));
  EXPECT_FALSE(testing::Exists("Punts.rel"));
}

TEST_F(Engine, PenaltiesWeighTheErrors) {
  struct Case {
    const char* penalty;
    std::string net;
  } cases[] = {{"0", " = 1 / 4"}, {"1", " = -1 / 4"}, {"1/2", " = 0 / 4"}, {"1/4", " = 0.5 / 4"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
    ASSERT_TRUE(engine_->Mark(1, engine_->CorrectPosition(1)));
    ASSERT_TRUE(engine_->Mark(2, WrongPosition(2)));
    ASSERT_TRUE(engine_->Mark(3, WrongPosition(3)));
    screen_.messages.shown.clear();
    screen_.messages.answers = {kIdNo};
    engine_->Correct(c.penalty);
    ASSERT_EQ(screen_.messages.shown.size(), 1u);
    EXPECT_NE(screen_.messages.shown[0].text.find(c.net), std::string::npos)
        << c.penalty << ": " << screen_.messages.shown[0].text;
  }
}

TEST_F(Engine, RepeatDrawsNewOrdersAndLeavesTheClock) {
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn", "Tema: Primer"));
  engine_->set_opened(true);
  engine_->StartClock("30");
  ASSERT_TRUE(engine_->Mark(1, 1));
  engine_->Correct("1/4");

  // Over many repeats every answer shows at every letter.
  std::set<std::pair<int, int>> seen;  // (answer, position) of question 1
  bool changed = false;
  const auto first = engine_->item(1).order;
  for (int i = 0; i < 200; ++i) {
    engine_->PressCorrectionButton("1/4");  // "Repetir"
    ASSERT_FALSE(engine_->corrected());
    EXPECT_EQ(screen_.button_text, "Corregir");
    EXPECT_EQ(engine_->mark(1), 0);
    EXPECT_EQ(engine_->title(), "Tema: Primer");
    for (int j = 0; j < 4; ++j) seen.insert({j + 1, engine_->item(1).order[static_cast<size_t>(j)]});
    changed = changed || engine_->item(1).order != first;
    engine_->Correct("1/4");
  }
  EXPECT_EQ(seen.size(), 16u);
  EXPECT_TRUE(changed);
  EXPECT_TRUE(engine_->running());
}

TEST_F(Engine, ALongTestIsTakenOnItsFirstFifty) {
  std::vector<TestItem> items;
  for (int i = 0; i < 60; ++i) items.push_back({1, static_cast<uint16_t>(i % 5 + 1)});
  ASSERT_TRUE(WriteTestFile("llarg", items).ok());
  ASSERT_TRUE(engine_->LoadTest("Generats\\llarg.tgn"));
  EXPECT_EQ(engine_->count(), 50);
  EXPECT_EQ(screen_.window_title, W("Test llarg.tgn  (50 qüestions)"));
  ASSERT_EQ(screen_.messages.shown.size(), 1u);
  EXPECT_EQ(screen_.messages.shown[0].caption, W("Test massa llarg"));
  EXPECT_NE(screen_.messages.shown[0].text.find("60"), std::string::npos);

  screen_.messages.answers = {kIdYes};
  engine_->Correct("1/4");
  engine_->Repeat();  // told once, not at every repeat
  EXPECT_EQ(screen_.messages.shown.size(), 2u);
  std::vector<ScoreRecord> records;
  ASSERT_TRUE(ReadScoreHistory(&records).ok());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].question_count, 50);
  EXPECT_FALSE(engine_->Mark(51, 1));
}

TEST_F(Engine, ATestOfNoQuestionsCorrectsWithoutAPercentage) {
  PutFile("Generats/buit.tgn", "");
  ASSERT_TRUE(engine_->LoadTest("Generats\\buit.tgn"));
  EXPECT_EQ(engine_->count(), 0);
  engine_->Correct("1/4");
  ASSERT_EQ(screen_.messages.shown.size(), 1u);
  EXPECT_EQ(screen_.messages.shown[0].text,
            W("encerts: 0    errors: 0     NC: 0\r\n\r\n = 0 / 0\r\n\r\n   Registrar puntuació?"));
}

TEST_F(Engine, ALongNameIsCutInTheResult) {
  const std::string name = "un_test_amb_un_nom_molt_molt_llarg";
  ASSERT_TRUE(WriteTestFile(name, {{1, 1}}).ok());
  ASSERT_TRUE(engine_->LoadTest("Generats\\" + name + ".tgn"));
  engine_->Correct("0");
  EXPECT_EQ(screen_.messages.shown.at(0).caption, "Resultat " + (name + ".tgn").substr(0, 30));
}

// The clock, driven by a time of day the test sets.
TEST_F(Engine, TheClockRunsOutAtTheLimit) {
  struct Case {
    std::string box;
    TimeOfDay start;
    uint32_t limit_seconds;
    std::string end;
  } cases[] = {
      {"15", {10, 0, 0, 0}, 15 * 60, "10:15"},
      {"60", {10, 0, 0, 0}, 3600, "11:00"},
      {" 90 ", {10, 0, 0, 0}, 5400, "11:30"},
      {"", {10, 0, 0, 0}, 0, "10:00"},                // an empty box is no time at all
      {"30", {23, 50, 0, 0}, 1800, "24:20"},          // over midnight
      {"30", {9, 59, 59, 60}, 1800, "10:30"},         // hundredths round the start up
  };
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  engine_->set_opened(true);
  for (const auto& c : cases) {
    engine_->ResetClock();
    screen_.messages.shown.clear();
    now_ = c.start;
    engine_->StartClock(c.box);
    ASSERT_TRUE(engine_->running()) << c.box;
    EXPECT_EQ(screen_.end, c.end);

    const uint32_t start = ClockFromTimeOfDay(c.start).ToSeconds();
    auto at = [&](uint32_t elapsed) {
      const ClockValue t = ClockValue::FromSeconds((start + elapsed) % (24 * 3600));
      now_ = {static_cast<uint16_t>(t.hours), t.minutes, t.seconds, 0};
      engine_->Tick();
    };
    if (c.limit_seconds > 0) {
      at(c.limit_seconds - 1);
      EXPECT_TRUE(engine_->running()) << c.box;
      EXPECT_EQ(screen_.elapsed, ClockValue::FromSeconds(c.limit_seconds - 1).Text());
      EXPECT_TRUE(screen_.messages.shown.empty());
    }
    at(c.limit_seconds);
    EXPECT_FALSE(engine_->running()) << c.box;
    ASSERT_EQ(screen_.messages.shown.size(), 1u) << c.box;
    EXPECT_EQ(screen_.messages.shown[0],
              (ShownMessage{"temps exhaurit", ClockValue::FromSeconds(c.limit_seconds).Text(), kMbOk}));
    // Stopped, the clock says nothing more; the test stays open.
    at(c.limit_seconds + 5);
    EXPECT_EQ(screen_.messages.shown.size(), 1u);
    EXPECT_TRUE(engine_->Mark(1, 1));
    engine_->Mark(1, 1);
  }
}

TEST_F(Engine, StartingTwiceRestartsTheCountAndKeepsTheEnd) {
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  engine_->set_opened(true);
  now_ = {10, 0, 0, 0};
  engine_->StartClock("30");
  EXPECT_EQ(screen_.end, "10:30");
  now_ = {10, 20, 0, 0};
  engine_->Tick();
  EXPECT_EQ(screen_.elapsed, "00:20:00");
  engine_->StartClock("60");
  EXPECT_EQ(screen_.end, "10:30");
  now_ = {10, 20, 1, 0};
  engine_->Tick();
  EXPECT_EQ(screen_.elapsed, "00:00:01");
  now_ = {11, 19, 59, 0};
  engine_->Tick();
  EXPECT_TRUE(engine_->running());
  now_ = {11, 20, 0, 0};
  engine_->Tick();
  EXPECT_FALSE(engine_->running());

  engine_->ResetClock();
  EXPECT_EQ(screen_.elapsed, "");
  EXPECT_EQ(screen_.end, "");
  EXPECT_EQ(screen_.time, "60");  // the last minutes value
  EXPECT_EQ(screen_.calls.back(), "start button");
}

TEST_F(Engine, TheClockRefusesWhatItCannotRunOn) {
  struct Case {
    bool opened;
    std::string box;
    ShownMessage shown;
  } cases[] = {
      {false, "30", {W("Res a començar"), "No hom ha obert cap test", kMbOk}},
      {true, "x", {W("Temps no vàlid"), W("Cal un valor numèric"), kMbOk | kMbIconExclamation}},
      {true, "3 0", {W("Temps no vàlid"), W("Cal un valor numèric"), kMbOk | kMbIconExclamation}},
      {true, "-5", {W("Temps no vàlid"), W("Cal un valor numèric"), kMbOk | kMbIconExclamation}},
      {true, "70000", {W("Temps no vàlid"), W("Cal un valor numèric"), kMbOk | kMbIconExclamation}},
  };
  // A test named on the command line is shown but not opened.
  ASSERT_TRUE(engine_->LoadTest("Generats\\t1.tgn"));
  for (const auto& c : cases) {
    engine_->set_opened(c.opened);
    screen_.messages.shown.clear();
    screen_.end = "-";
    engine_->StartClock(c.box);
    EXPECT_FALSE(engine_->running()) << c.box;
    EXPECT_EQ(screen_.end, "-");
    EXPECT_EQ(screen_.messages.shown, std::vector<ShownMessage>{c.shown}) << c.box;
  }
  engine_->Tick();
  EXPECT_EQ(screen_.elapsed, "-");
}

}  // namespace
}  // namespace quiz
