#include "runner/runner_window.h"

#include <QAbstractButton>
#include <QAccessibleActionInterface>
#include <QChartView>
#include <QLabel>
#include <QXYSeries>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QListWidget>
#include <QDir>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "data/answer_stats.h"
#include "data/generated_tests.h"
#include "data/score_format.h"
#include "data/score_history.h"
#include "runner/sheet_geometry.h"
#include "tests/support/gui.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/gui/accessible.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/print_window.h"
#include "toolkit/gui/qt_text.h"

namespace quiz {
namespace {

using testing::ShownMessage;
using RW = RunnerWindow;

const QColor kWhite(255, 255, 255);
const QColor kGray(100, 100, 100);
const QColor kGreen(0, 120, 0);
const QColor kSheet(255, 232, 155);
const QColor kRightMark(0, 250, 0);
const QColor kWrongMark(250, 0, 0);
const QColor kDarkRed(100, 0, 0);
const Date kDay{7, 12, 2026};

class RunnerWindowTest : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    testing::MakeSampleData();
    testing::PutFile("Zive.cf", "Info.txt\r\ncontacte\r\n");
  }

  std::unique_ptr<RunnerWindow> Start(const std::string& argument = "") {
    auto w = std::make_unique<RunnerWindow>(RunnerOptions{argument, kDay, 7, [this] { return now_; }});
    w->show();
    EXPECT_TRUE(testing::WaitActive(w.get()));
    return w;
  }

  // Chooses line `line` of the generated tests (0: "Surt").
  void Choose(RunnerWindow* w, int line) {
    testing::WhenShown("Llista", [line](QWidget* list_window) {
      auto* lw = static_cast<Window*>(list_window);
      auto* list = qobject_cast<QListWidget*>(lw->Control(101));
      list->clearSelection();
      if (line > 0) list->item(line - 1)->setSelected(true);
      qobject_cast<QAbstractButton*>(lw->Control(line > 0 ? 1 : 2))->click();
    });
    w->Command(RW::kOpenTest);
  }

  static QColor Pixel(RunnerWindow* w, int x, int y) { return w->canvas()->image().pixelColor(x, y); }
  // The colour inside bubble c (0..3) of question k.
  static QColor Bubble(RunnerWindow* w, int k, int c) {
    return Pixel(w, sheet::BubbleLeft(k, c) + 6, sheet::RowTop(k) + 3);
  }
  static bool Holds(RunnerWindow* w, QRect r, const QColor& colour) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) {
        if (Pixel(w, x, y) == colour) return true;
      }
    }
    return false;
  }

  testing::Seams seams_;
  TimeOfDay now_{10, 0, 0, 0};
};

TEST_F(RunnerWindowTest, StartsWithItsControlsInPlace) {
  auto w = Start();
  EXPECT_EQ(w->objectName(), "quizrun");
  EXPECT_EQ(w->windowTitle(), "test");
  EXPECT_TRUE(seams_.messages.shown.empty());
  struct Case {
    int id;
    QRect geometry;
  } cases[] = {
      {RW::kPenalty, {720, 5, 50, 22}},  {RW::kTime, {842, 18, 46, 22}},   {RW::kElapsed, {837, 50, 60, 20}},
      {RW::kEnd, {952, 50, 60, 20}},     {RW::kStart, {962, 14, 40, 30}},  {RW::kCorrection, {934, 88, 76, 20}},
      {RW::kScroll, {768, 35, 16, 635}},
  };
  for (const auto& c : cases) EXPECT_EQ(w->Control(c.id)->geometry(), c.geometry) << c.id;
  EXPECT_FALSE(w->Control(RW::kCorrection)->isVisible());
  auto* penalty = qobject_cast<QComboBox*>(w->Control(RW::kPenalty));
  auto* time = qobject_cast<QComboBox*>(w->Control(RW::kTime));
  EXPECT_EQ(penalty->count(), 4);
  EXPECT_EQ(penalty->currentText(), "1/4");
  EXPECT_EQ(time->count(), 3);
  EXPECT_EQ(time->currentText(), "30");
  EXPECT_FALSE(w->action(RW::kExport)->isEnabled());
  EXPECT_EQ(Pixel(w.get(), 400, 300), kWhite);   // the question area
  EXPECT_EQ(Pixel(w.get(), 1000, 660), kSheet);  // the sheet
  EXPECT_EQ(Pixel(w.get(), 1050, 700), QColor(128, 128, 255));
}

TEST_F(RunnerWindowTest, WithoutZiveCfTheUserIsToldOnceAndInfoSaysWhere) {
  ::unlink("Zive.cf");
  auto w = Start();
  EXPECT_EQ(seams_.messages.shown,
            (std::vector<ShownMessage>{{"No trobat Zive.cf", "Mancaran elements informatius", kMbOk}}));
  w->Command(RW::kInfo);
  EXPECT_EQ(seams_.messages.shown.back(),
            (ShownMessage{W("Fitxer d'informació?"), W("Està a Zive.cf, no trobat"), kMbOk}));
}

TEST_F(RunnerWindowTest, InfoOpensTheDocumentOrSaysItIsNotThere) {
  auto w = Start();
  w->Command(RW::kInfo);  // Info.txt does not exist
  const std::string where = QDir::current().filePath("Info.txt").toStdString();
  EXPECT_EQ(seams_.messages.shown.back(),
            (ShownMessage{"Info no trobada", where + W("\r\nEl document no existeix."), kMbOk}));
  testing::PutFile("Info.txt", "info");
  w->Command(RW::kInfo);
  ASSERT_EQ(seams_.launches.size(), 1u);
  EXPECT_TRUE(seams_.launches[0].program.ends_with("/Info.txt"));
}

TEST_F(RunnerWindowTest, BubblesFillAndEmptyWhereTheClickLands) {
  auto w = Start();
  Choose(w.get(), 1);
  ASSERT_EQ(w->engine().count(), 4);
  EXPECT_EQ(Bubble(w.get(), 2, 1), kWhite);
  const int x = sheet::BubbleLeft(2, 1) + 3, y = sheet::RowTop(2) + 2;
  w->Click(x, y);
  EXPECT_EQ(Bubble(w.get(), 2, 1), kGray);
  EXPECT_EQ(w->engine().mark(2), 2);
  w->Click(x, y);
  EXPECT_EQ(Bubble(w.get(), 2, 1), kWhite);
  w->Click(x, sheet::RowTop(2) + 7);   // 7 below the top
  w->Click(x, sheet::RowTop(2) - 10);  // on the letter
  EXPECT_EQ(w->engine().mark(2), 0);
  EXPECT_EQ(Bubble(w.get(), 2, 1), kWhite);
  testing::SaveShot(w.get(), "quizrun_open");
}

TEST_F(RunnerWindowTest, QuestionTwentySixStandsBesideQuestionOne) {
  std::vector<TestItem> items;
  for (int i = 0; i < 30; ++i) items.push_back({2, static_cast<uint16_t>(i % 3 + 1)});
  ASSERT_TRUE(WriteTestFile("llarg", items).ok());
  auto w = Start("llarg.tgn");
  ASSERT_EQ(w->engine().count(), 30);
  w->Click(sheet::BubbleLeft(26, 2) + 3, sheet::RowTop(1) + 2);
  EXPECT_EQ(w->engine().mark(26), 3);
  EXPECT_EQ(Bubble(w.get(), 26, 2), kGray);
  EXPECT_EQ(Pixel(w.get(), 827 + 110 + 36 + 6, 141 + 3), kGray);
}

TEST_F(RunnerWindowTest, ACorrectionShowsTheSolutionsAndTheCorrectAnswers) {
  auto w = Start();
  Choose(w.get(), 1);
  TestEngine& e = w->engine();
  w->Click(sheet::BubbleLeft(1, e.CorrectPosition(1) - 1) + 3, sheet::RowTop(1) + 2);
  w->Click(sheet::BubbleLeft(2, e.CorrectPosition(2) % 4) + 3, sheet::RowTop(2) + 2);
  seams_.messages.answers = {kIdYes};
  w->Command(RW::kCorrection);
  const QRect v(sheet::kSolutionLeft, sheet::RowTop(1) - 8, 14, 16);
  const QRect x(sheet::kSolutionLeft, sheet::RowTop(2) - 8, 14, 16);
  EXPECT_TRUE(Holds(w.get(), v, kRightMark));
  EXPECT_FALSE(Holds(w.get(), v, kWrongMark));
  EXPECT_TRUE(Holds(w.get(), x, kWrongMark));
  EXPECT_FALSE(Holds(w.get(), {sheet::kSolutionLeft, sheet::RowTop(3) - 8, 14, 16}, kWrongMark));
  for (uint16_t k = 1; k <= 4; ++k) {
    const int line = sheet::kFirstBlockTop + (k - 1) * sheet::kBlockHeight + sheet::kAnswerStep * e.CorrectPosition(k);
    EXPECT_TRUE(Holds(w.get(), {7, line, 200, 16}, kGreen)) << k;
    const int other = sheet::kFirstBlockTop + (k - 1) * sheet::kBlockHeight + sheet::kAnswerStep * (e.CorrectPosition(k) % 4 + 1);
    EXPECT_FALSE(Holds(w.get(), {7, other, 200, 16}, kGreen)) << k;
  }
  EXPECT_EQ(GetItemText(w.get(), RW::kCorrection), "Repetir");
  testing::SaveShot(w.get(), "quizrun_corrected");

  // The score went to the history as a record of this test.
  const ScoreRecord expected{kDay, "t1.tgn", 4, 1, 1, 0.25};
  std::string bytes(score_format::kRecordSize, '\0');
  EncodeScoreRecord(expected, bytes.data());
  EXPECT_EQ(testing::FileBytes("Punts.rel"), bytes);
}

TEST_F(RunnerWindowTest, TheClockRunsOutAndRepeatLeavesIt) {
  auto w = Start();
  Choose(w.get(), 2);
  EXPECT_TRUE(w->action(RW::kExport)->isEnabled());
  SetItemText(w.get(), RW::kTime, "15");
  now_ = {9, 0, 0, 0};
  w->Command(RW::kStart);
  EXPECT_EQ(GetItemText(w.get(), RW::kEnd), "09:15");
  now_ = {9, 10, 0, 0};
  w->engine().Tick();
  EXPECT_EQ(GetItemText(w.get(), RW::kElapsed), "00:10:00");

  const auto before = w->engine().item(1).order;
  w->Click(sheet::BubbleLeft(1, 0) + 3, sheet::RowTop(1) + 2);
  seams_.messages.answers = {kIdNo};
  w->Command(RW::kCorrection);
  bool changed = false;
  for (int i = 0; i < 20 && !changed; ++i) {
    w->Command(RW::kCorrection);  // "Repetir"
    EXPECT_EQ(GetItemText(w.get(), RW::kCorrection), "Corregir");
    EXPECT_EQ(w->engine().mark(1), 0);
    EXPECT_EQ(Bubble(w.get(), 1, 0), kWhite);
    changed = w->engine().item(1).order != before;
    if (!changed) {
      seams_.messages.answers = {kIdNo};
      w->Command(RW::kCorrection);
    }
  }
  EXPECT_TRUE(changed);
  EXPECT_TRUE(w->engine().running());
  EXPECT_EQ(GetItemText(w.get(), RW::kEnd), "09:15");

  seams_.messages.shown.clear();
  now_ = {9, 15, 0, 0};
  w->engine().Tick();
  EXPECT_EQ(seams_.messages.shown, (std::vector<ShownMessage>{{"temps exhaurit", "00:15:00", kMbOk}}));
  EXPECT_FALSE(Holds(w.get(), {0, 0, 1, 1}, kGreen));
}

TEST_F(RunnerWindowTest, MistakesAreTakenAgainAtOnceWithTheClockReset) {
  auto w = Start();
  Choose(w.get(), 1);
  TestEngine& e = w->engine();
  EXPECT_FALSE(w->action(RW::kMistakes)->isEnabled());
  auto mark = [&](uint16_t k, bool right) {
    const int c = right ? e.CorrectPosition(k) - 1 : e.CorrectPosition(k) % 4;
    w->Click(sheet::BubbleLeft(k, c) + 3, sheet::RowTop(k) + 2);
  };
  mark(1, true);
  mark(2, false);
  mark(3, true);  // and 4 left blank
  const RunnerItem second = e.item(2), fourth = e.item(4);
  now_ = {9, 0, 0, 0};
  w->Command(RW::kStart);
  seams_.messages.answers = {kIdNo};
  w->Command(RW::kCorrection);
  EXPECT_TRUE(w->action(RW::kMistakes)->isEnabled());

  w->Command(RW::kMistakes);
  EXPECT_EQ(e.test_name(), "t1_errades1.tgn");
  ASSERT_EQ(e.count(), 2);
  EXPECT_EQ(e.item(1).question, second.question);
  EXPECT_EQ(e.item(2).question, fourth.question);
  EXPECT_EQ(e.title(), "Tema: Errades de Primer test");
  EXPECT_FALSE(e.corrected());
  EXPECT_FALSE(e.running());
  EXPECT_EQ(GetItemText(w.get(), RW::kElapsed), "");
  EXPECT_TRUE(w->action(RW::kExport)->isEnabled());
  EXPECT_FALSE(w->action(RW::kMistakes)->isEnabled());

  // All right this time: nothing more to repeat, and nothing written.
  mark(1, true);
  mark(2, true);
  seams_.messages.answers = {kIdNo};
  w->Command(RW::kCorrection);
  seams_.messages.shown.clear();
  const std::string index = testing::FileBytes("Generats/Generats.rel");
  w->Command(RW::kMistakes);
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0].caption, "Res a repetir");
  EXPECT_EQ(testing::FileBytes("Generats/Generats.rel"), index);
  EXPECT_EQ(e.test_name(), "t1_errades1.tgn");
}

// Pick line `line` (from 1) of the next list window, keeping its lines; 0 presses "Surt".
void PickInNextList(int line, std::vector<std::string>* lines, std::string* title) {
  testing::WhenShown("Llista", [=](QWidget* list_window) {
    auto* lw = static_cast<Window*>(list_window);
    auto* list = qobject_cast<QListWidget*>(lw->Control(101));
    *title = FromQString(list_window->windowTitle());
    testing::SaveShot(list_window, "llista_" + std::to_string(line) + "_" + std::to_string(lines->size()));
    lines->clear();
    for (int i = 0; i < list->count(); ++i) lines->push_back(FromQString(list->item(i)->text()));
    list->clearSelection();
    if (line > 0) list->item(line - 1)->setSelected(true);
    qobject_cast<QAbstractButton*>(lw->Control(line > 0 ? 1 : 2))->click();
  });
}

// A registered correction keeps its answers: its topics' results are shown beside it, the result
// is scored again from the history under every penalty, and a review test is drawn and taken.
TEST_F(RunnerWindowTest, TheAnswersOfACorrectionGiveResultsByTopicARescoreAndAReview) {
  ASSERT_TRUE(RegisterScore(BuildScoreRecord({1, 1, 2026}, "vell", 10, 5, 5, 4)).ok());  // before the log
  auto w = Start();
  Choose(w.get(), 1);  // t1: HISTORIA 1 and 2, GEO 3 and 1
  TestEngine& e = w->engine();
  EXPECT_FALSE(w->Control(RW::kTopicResults)->isVisible());
  EXPECT_FALSE(w->action(RW::kTopicResults)->isEnabled());
  auto mark = [&](uint16_t k, bool right) {
    const int c = right ? e.CorrectPosition(k) - 1 : e.CorrectPosition(k) % 4;
    w->Click(sheet::BubbleLeft(k, c) + 3, sheet::RowTop(k) + 2);
  };
  mark(1, true);
  mark(2, false);
  mark(3, true);  // 4 blank
  seams_.messages.answers = {kIdYes};
  w->Command(RW::kCorrection);
  EXPECT_TRUE(w->Control(RW::kTopicResults)->isVisible());
  EXPECT_TRUE(w->action(RW::kTopicResults)->isEnabled());
  testing::SaveShot(w.get(), "corregit_per_temes");

  std::vector<std::string> lines;
  std::string title;
  PickInNextList(0, &lines, &title);
  qobject_cast<QAbstractButton*>(w->Control(RW::kTopicResults))->click();
  EXPECT_EQ(title, "Resultats per tema");
  EXPECT_EQ(lines, (std::vector<std::string>{W("Tema HISTORIA:  bé 1  malament 1  en blanc 0  (50%)"),
                                             W("Tema GEO:  bé 1  malament 0  en blanc 1  (50%)")}));

  // The history: the result registered now is scored again; the old one has no answers.
  PickInNextList(2, &lines, &title);
  PickInNextList(0, &lines, &title);
  w->Command(RW::kHistory);
  EXPECT_EQ(title, W("Recalcular amb penalització..."));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], W("Penalització 0:  2 / 4 (50%)"));
  EXPECT_EQ(lines[4], W("Penalització 1/4:  1.75 / 4 (43.8%)  <- la registrada"));
  seams_.messages.shown.clear();
  PickInNextList(1, &lines, &title);
  w->Command(RW::kHistory);
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0].caption, W("Recalcular amb penalització..."));

  // The weekly progress of each topic: one point each, the share of right answers.
  std::vector<std::pair<std::string, std::vector<double>>> series;
  testing::WhenShown("Grafic", [&](QWidget* window) {
    if (auto* view = window->findChild<QChartView*>("grafic")) {
      for (QAbstractSeries* s : view->chart()->series()) {
        std::vector<double> values;
        for (const QPointF& p : qobject_cast<QXYSeries*>(s)->points()) values.push_back(p.y());
        series.emplace_back(FromQString(s->name()), values);
      }
    }
    testing::SaveShot(window, "quizrun_topic_chart");
    window->close();
  });
  w->Command(RW::kTopicChart);
  EXPECT_EQ(series, (std::vector<std::pair<std::string, std::vector<double>>>{{"Tema HISTORIA", {50}},
                                                                              {"Tema GEO", {50}}}));

  // A review over the test's topics, as many questions, none twice, taken at once.
  w->Command(RW::kReview);
  EXPECT_EQ(e.test_name(), "t1_repas1.tgn");
  ASSERT_EQ(e.count(), 4);
  std::set<std::pair<uint16_t, uint16_t>> drawn;
  for (uint16_t k = 1; k <= 4; ++k) drawn.insert({e.item(k).topic, e.item(k).question});
  EXPECT_EQ(drawn.size(), 4u);
  for (const auto& [topic, question] : drawn) EXPECT_TRUE(topic == 1 || topic == 2);
  EXPECT_EQ(e.title(), W("Tema: Repàs de les més fallades de t1"));
  EXPECT_FALSE(e.corrected());
  EXPECT_FALSE(w->Control(RW::kTopicResults)->isVisible());
}

// "Imprimir..." prints the test on screen. With nothing ticked it says so and stays; a PDF goes
// where the save dialog says, proposed under the test's name in the documents folder; the
// printer's dialog gives the paper's size, and the pages are laid out on it.
TEST_F(RunnerWindowTest, ThePrintWindowWritesTheTestToAPdfOrAPrinter) {
  // A test given on the command line is printed without being taken first.
  EXPECT_TRUE(Start("t2.tgn")->action(RW::kPrint)->isEnabled());
  auto w = Start();
  EXPECT_FALSE(w->action(RW::kPrint)->isEnabled());
  Choose(w.get(), 1);  // t1: four questions
  EXPECT_TRUE(w->action(RW::kPrint)->isEnabled());
  const auto in_window = [](QWidget* window, std::function<void(Window*)> step) { step(static_cast<Window*>(window)); };
  const auto tick = [](Window* p, int id, bool on) { qobject_cast<QCheckBox*>(p->Control(id))->setChecked(on); };
  const auto click = [](Window* p, int id) { qobject_cast<QAbstractButton*>(p->Control(id))->click(); };
  std::string header;
  testing::WhenShown("imprimir", [&](QWidget* window) {
    in_window(window, [&](Window* p) {
      header = GetItemText(p, 120);
      testing::SaveShot(p, "quizrun_print");
      for (int id : {101, 102, 103}) tick(p, id, false);
      click(p, 1);  // nothing to print: said, and the window stays
      EXPECT_TRUE(p->isVisible());
      tick(p, 102, true);
      tick(p, 103, true);
      qobject_cast<QComboBox*>(p->Control(110))->setCurrentIndex(1);  // two versions
      click(p, 1);
    });
  });
  seams_.dialog_answers = {{true, "sortida.pdf"}};
  w->Command(RW::kPrint);
  EXPECT_EQ(header, "Primer test");  // its description
  ASSERT_EQ(seams_.dialog_starts.size(), 1u);
  EXPECT_TRUE(seams_.dialog_starts[0].ends_with("/t1.pdf")) << seams_.dialog_starts[0];
  ASSERT_EQ(seams_.messages.shown.size(), 2u);
  EXPECT_EQ(seams_.messages.shown[0].caption, "Res a imprimir");
  EXPECT_EQ(seams_.messages.shown[1], (ShownMessage{"Imprimir", W("S'ha escrit sortida.pdf (3 pàgines)."), kMbOk}));
  EXPECT_TRUE(testing::FileBytes("sortida.pdf").starts_with("%PDF-"));

  // The printer, with Letter paper: the sheets' bubbles fit its page.
  double asked_width = 0;
  SetPrintDialogResponder([&](double* width, double* height, std::string* output) {
    asked_width = *width;
    *width = kLetterWidth;
    *height = kLetterHeight;
    *output = "impressora.pdf";
    return true;
  });
  testing::WhenShown("imprimir", [&](QWidget* window) {
    in_window(window, [&](Window* p) {
      tick(p, 101, false);
      qobject_cast<QRadioButton*>(p->Control(141))->setChecked(true);
      click(p, 1);
    });
  });
  w->Command(RW::kPrint);
  SetPrintDialogResponder(nullptr);
  EXPECT_GT(asked_width, 500);
  EXPECT_TRUE(testing::FileBytes("impressora.pdf").starts_with("%PDF-"));
  std::string info;
  if (FILE* pipe = ::popen("pdfinfo impressora.pdf", "r")) {
    char chunk[1024];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) info.append(chunk, got);
    ::pclose(pipe);
  }
  EXPECT_NE(info.find("612 x 792 pts (letter)"), std::string::npos) << info;
  EXPECT_NE(info.find("Pages:           2"), std::string::npos) << "the sheet and the key: " << info;
}

// A test of thirty questions answered from the keyboard: each sequence of keys from the start of
// the test leaves the current question framed on the sheet and in view in the question area, and
// the marks as a click would.
TEST_F(RunnerWindowTest, TheKeyboardMovesMarksAndClears) {
  std::vector<TestItem> items;
  for (uint16_t q = 1; q <= 30; ++q) items.push_back({2, q});
  ASSERT_TRUE(WriteTestFile("t30", items).ok());
  const auto ctrl_enter = std::pair{int(Qt::Key_Return), Qt::KeyboardModifiers(Qt::ControlModifier)};
  auto keys = [](std::initializer_list<int> codes) {
    std::vector<std::pair<int, Qt::KeyboardModifiers>> out;
    for (int code : codes) out.emplace_back(code, Qt::NoModifier);
    return out;
  };
  struct Case {
    const char* what;
    std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
    int current, first;              // the current question and the first one in view (0-based)
    std::map<int, int> marks;        // question -> letter position
    std::string message;             // the caption of a message shown, if any
    bool corrected = false;
  } cases[] = {
      {"a letter marks and moves on", keys({Qt::Key_B}), 2, 0, {{1, 2}}, ""},
      {"digits are letters too", keys({Qt::Key_3, Qt::Key_4, Qt::Key_1}), 4, 0, {{1, 3}, {2, 4}, {3, 1}}, ""},
      {"up and home stop at the first", keys({Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_Left}), 1, 0, {}, ""},
      {"down, page down and end stop at the last", keys({Qt::Key_End, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Right}), 30, 23, {}, ""},
      {"page down moves seven and the questions follow", keys({Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Down}), 16, 9, {}, ""},
      {"page up brings them back", keys({Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_PageUp}), 2, 1, {}, ""},
      {"right and left cross the columns", keys({Qt::Key_Down, Qt::Key_Right, Qt::Key_Left, Qt::Key_Right}), 27, 20, {}, ""},
      {"a second mark is refused and stays", keys({Qt::Key_A, Qt::Key_Up, Qt::Key_C}), 1, 0, {{1, 1}}, W("només una resposta ")},
      {"the same letter again takes the mark away", keys({Qt::Key_D, Qt::Key_Up, Qt::Key_D}), 1, 0, {}, ""},
      {"space and delete take it away", keys({Qt::Key_A, Qt::Key_B, Qt::Key_Up, Qt::Key_Space, Qt::Key_Up, Qt::Key_Delete}), 1, 0, {}, ""},
      {"control and enter correct, once", {{Qt::Key_A, {}}, ctrl_enter, {Qt::Key_Down, {}}, ctrl_enter}, 3, 0, {{1, 1}}, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto w = Start("t30.tgn");
    TestEngine& e = w->engine();
    ASSERT_EQ(e.count(), 30);
    EXPECT_EQ(w->current(), 1);
    seams_.messages.shown.clear();
    seams_.messages.answers = {kIdNo, kIdNo};
    for (const auto& [key, modifiers] : c.keys) QTest::keyClick(w->canvas(), Qt::Key(key), modifiers);
    EXPECT_EQ(w->current(), c.current);
    EXPECT_EQ(w->scroll().position(), c.first);
    EXPECT_EQ(w->findChild<QScrollBar*>()->value(), c.first);
    for (uint16_t k = 1; k <= 30; ++k) {
      const auto mark = c.marks.find(k);
      EXPECT_EQ(e.mark(k), mark == c.marks.end() ? 0 : mark->second) << k;
    }
    EXPECT_EQ(e.corrected(), c.corrected);
    if (c.message.empty() && !c.corrected) {
      EXPECT_TRUE(seams_.messages.shown.empty());
    } else if (!c.message.empty()) {
      ASSERT_EQ(seams_.messages.shown.size(), 1u);
      EXPECT_EQ(seams_.messages.shown[0].caption, c.message);
    }
    // The frame: around the current row of the sheet only, and around its block of questions.
    for (int k : {c.current, c.current == 1 ? 2 : 1}) {
      const QColor left = Pixel(w.get(), sheet::kNumberRight - 22 + sheet::ColumnOffset(k), sheet::RowTop(k));
      EXPECT_EQ(left == kDarkRed, k == c.current) << k;
    }
    EXPECT_EQ(Pixel(w.get(), sheet::kAreaLeft + 2, sheet::kFirstBlockTop + (c.current - c.first - 1) * sheet::kBlockHeight + 20), kDarkRed);
    if (c.corrected) {
      // Moving on kept the solution of the first question.
      EXPECT_TRUE(Holds(w.get(), {sheet::kSolutionLeft, sheet::RowTop(1) - 8, 14, 16}, kWrongMark) ||
                  Holds(w.get(), {sheet::kSolutionLeft, sheet::RowTop(1) - 8, 14, 16}, kRightMark));
    }
    if (c.current == 16) testing::SaveShot(w.get(), "quizrun_keyboard");
  }
}

// What a screen reader finds and is told while a test is taken: the sheet's rows and bubbles as
// the keys, a reader's own press and the correction leave them, the question area, the clock.
TEST_F(RunnerWindowTest, AScreenReaderFollowsTheSheetTheQuestionAndTheClock) {
  auto w = Start("t1.tgn");
  TestEngine& e = w->engine();
  // Only what the sheet and the question area tell; texts of the header come and go too.
  std::vector<std::string> heard;
  SetAccessibilityListener([&](QAccessibleEvent* event) {
    QAccessibleInterface* item = event->accessibleInterface();
    const QAccessible::Role role = item->role();
    if (role != QAccessible::RadioButton && role != QAccessible::Row && role != QAccessible::StaticText) return;
    const std::string name = item->text(QAccessible::Name).toStdString();
    if (role == QAccessible::StaticText && !name.starts_with("Pregunta ")) return;
    const char* type = event->type() == QAccessible::Focus ? "focus" : event->type() == QAccessible::StateChanged ? "state"
                       : event->type() == QAccessible::DescriptionChanged ? "result" : event->type() == QAccessible::NameChanged ? "name" : "other";
    heard.push_back(std::string(type) + " " + name.substr(0, name.find('.')));
  });
  struct Quiet {
    ~Quiet() { SetAccessibilityListener({}); }
  } quiet;
  QAccessibleInterface* sheet = testing::FindAccessible(w.get(), QAccessible::Table, "Full de respostes");
  ASSERT_NE(sheet, nullptr);
  // Each row as "Pregunta k (result): the bubbles checked".
  auto rows = [&] {
    std::vector<std::string> read;
    for (int i = 0; i < sheet->childCount(); ++i) {
      QAccessibleInterface* row = sheet->child(i);
      EXPECT_EQ(row->role(), QAccessible::Row);
      EXPECT_EQ(sheet->indexOfChild(row), i);
      std::string line = row->text(QAccessible::Name).toStdString();
      if (const QString result = row->text(QAccessible::Description); !result.isEmpty()) line += " (" + result.toStdString() + ")";
      line += ":";
      for (int j = 0; j < row->childCount(); ++j) {
        QAccessibleInterface* bubble = row->child(j);
        EXPECT_EQ(bubble->text(QAccessible::Name).toStdString(), "resposta " + AnswerLetter(j + 1));
        EXPECT_TRUE(bubble->state().checkable);
        EXPECT_EQ(bubble->parent(), row);
        if (bubble->state().checked) line += " " + bubble->text(QAccessible::Name).toStdString();
      }
      read.push_back(line);
    }
    return read;
  };
  auto press = [&](int k, int position) {
    sheet->child(k - 1)->child(position - 1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  };
  const auto result = [&](int k) -> std::string {
    const int mark = e.mark(static_cast<uint16_t>(k));
    return mark == 0 ? "en blanc" : mark == e.CorrectPosition(static_cast<uint16_t>(k)) ? "correcta" : "incorrecta";
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    std::function<std::vector<std::string>()> rows;
    std::vector<std::string> heard;
  } steps[] = {
      {"nothing marked", [] {}, [] { return std::vector<std::string>{"Pregunta 1:", "Pregunta 2:", "Pregunta 3:", "Pregunta 4:"}; }, {}},
      {"the key b marks question 1 and moves on", [&] { w->Key(Qt::Key_B); },
       [] { return std::vector<std::string>{"Pregunta 1: resposta b", "Pregunta 2:", "Pregunta 3:", "Pregunta 4:"}; },
       {"state resposta b", "focus Pregunta 2", "name Pregunta 2 de 4"}},
      {"the reader presses bubble d of question 4", [&] { press(4, 4); },
       [] { return std::vector<std::string>{"Pregunta 1: resposta b", "Pregunta 2:", "Pregunta 3:", "Pregunta 4: resposta d"}; },
       {"state resposta d", "focus Pregunta 4", "name Pregunta 4 de 4"}},
      {"the same bubble again clears it, the row stays current", [&] { press(4, 4); },
       [] { return std::vector<std::string>{"Pregunta 1: resposta b", "Pregunta 2:", "Pregunta 3:", "Pregunta 4:"}; },
       {"state resposta d"}},
      {"the correction gives each row its result",
       [&] {
         press(2, e.CorrectPosition(2));
         heard.clear();
         seams_.messages.answers = {kIdYes};
         w->Command(RW::kCorrection);
       },
       [&] {
         std::vector<std::string> read;
         for (int k = 1; k <= 4; ++k) {
           const int mark = e.mark(static_cast<uint16_t>(k));
           read.push_back("Pregunta " + std::to_string(k) + " (" + result(k) + "):" + (mark ? " resposta " + AnswerLetter(mark) : ""));
         }
         return read;
       },
       {"result Pregunta 1", "result Pregunta 2", "result Pregunta 3", "result Pregunta 4"}},
  };
  for (const Step& step : steps) {
    heard.clear();
    step.act();
    EXPECT_EQ(rows(), step.rows()) << step.what;
    EXPECT_EQ(heard, step.heard) << step.what;
  }
  EXPECT_EQ(result(2), "correcta");
  EXPECT_EQ(result(3), "en blanc");

  // The question area reads the current question with its answers as the letters show them and,
  // once corrected, the right letter and the one marked.
  QAccessibleInterface* area = nullptr;
  for (int i = 0; i < sheet->parent()->childCount() && area == nullptr; ++i) {
    if (sheet->parent()->child(i)->text(QAccessible::Name).startsWith("Pregunta 2 de 4. ")) area = sheet->parent()->child(i);
  }
  ASSERT_NE(area, nullptr) << "the question area reads question 2, the current one";
  const QStringList lines = area->text(QAccessible::Name).split('\n');
  ASSERT_EQ(lines.size(), 6) << area->text(QAccessible::Name).toStdString();
  const Question q = e.ShownQuestion(2);
  EXPECT_EQ(lines[0], "Pregunta 2 de 4. " + ToQString(q.question));
  for (int position = 1; position <= 4; ++position) {
    EXPECT_TRUE(lines[position].startsWith(ToQString(AnswerLetter(position)) + ") ")) << position;
  }
  EXPECT_EQ(lines[e.CorrectPosition(2)], ToQString(AnswerLetter(e.CorrectPosition(2)) + ") " + q.answers[0]));
  EXPECT_EQ(lines[5], "Resposta correcta: " + ToQString(AnswerLetter(e.CorrectPosition(2))) + ". Marcada: " +
                          ToQString(AnswerLetter(e.CorrectPosition(2))) + ".");

  // The clock's time left, read when asked; every second is not told.
  const QString stopped = QString::fromUtf8("Rellotge aturat");
  EXPECT_NE(testing::FindAccessible(w.get(), QAccessible::StaticText, stopped), nullptr);
  Choose(w.get(), 1);  // the clock starts for a test opened from the list
  w->Command(RW::kStart);
  now_ = {10, 5, 30, 0};
  EXPECT_EQ(w->ClockReading(), "Temps restant: 24 min 30 s");
  heard.clear();
  w->engine().Tick();
  EXPECT_TRUE(heard.empty());

  // The painted labels are texts; the sheet's letters and numbers are not read twice.
  const std::vector<std::string> texts = testing::ReadTexts(w.get());
  for (const char* label : {"penalització:", "Temps", "min.", "Hora", "FINAL:", "RESPOSTES"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << label;
  }
  for (const char* painted : {"a", "1)", "V", "X"}) EXPECT_EQ(std::find(texts.begin(), texts.end(), painted), texts.end()) << painted;
}

// Without a mouse: every control has a name for the reader and every menu opens with its keys.
TEST_F(RunnerWindowTest, EveryControlIsNamedAndEveryMenuOpensWithItsKeys) {
  auto w = Start("t1.tgn");
  EXPECT_EQ(testing::UnnamedControls(w.get()), std::vector<std::string>{});
  EXPECT_EQ(testing::ControlsNotReachedByTab(w.get()), std::vector<std::string>{});
  EXPECT_EQ(testing::MenusNotReachedByKeys(w.get()), std::vector<std::string>{});
  std::vector<std::string> unnamed{"not shown"};
  testing::WhenShown("imprimir", [&](QWidget* window) {
    unnamed = testing::UnnamedControls(window);
    const std::vector<std::string> missed = testing::ControlsNotReachedByTab(window);
    unnamed.insert(unnamed.end(), missed.begin(), missed.end());
    window->close();
  });
  w->Command(RW::kPrint);
  EXPECT_EQ(unnamed, std::vector<std::string>{});
}

TEST_F(RunnerWindowTest, KeysTypedInABoxStayInTheBoxAndAClickMovesTheFrame) {
  auto w = Start("t1.tgn");
  TestEngine& e = w->engine();
  auto* penalty = qobject_cast<QComboBox*>(w->Control(RW::kPenalty))->lineEdit();
  penalty->setFocus();
  penalty->clear();
  QTest::keyClicks(penalty, "1/3");
  QTest::keyClick(penalty, Qt::Key_End);
  EXPECT_EQ(penalty->text(), "1/3");
  EXPECT_EQ(e.mark(1), 0);
  EXPECT_EQ(w->current(), 1);
  w->Click(sheet::BubbleLeft(3, 1) + 3, sheet::RowTop(3) + 2);
  EXPECT_EQ(w->current(), 3);
  EXPECT_EQ(e.mark(3), 2);
  QTest::keyClick(w->canvas(), Qt::Key_Space);
  EXPECT_EQ(e.mark(3), 0);
  // A click on a button leaves the keys to the sheet.
  EXPECT_EQ(w->Control(RW::kStart)->focusPolicy(), Qt::TabFocus);
}

TEST_F(RunnerWindowTest, TheChartDrawsTheHistoryAndSaysWhatItLeftOut) {
  for (int day = 1; day <= 6; ++day) {
    ASSERT_TRUE(RegisterScore(BuildScoreRecord({static_cast<uint16_t>(day), 11, 2026}, day % 3 ? "t1.tgn" : "t2.tgn", 10,
                                               static_cast<uint16_t>(day + 3), 1, 4))
                    .ok());
  }
  ASSERT_TRUE(RegisterScore(BuildScoreRecord({7, 11, 2026}, "t1.tgn", 0, 0, 0, 4)).ok());  // no questions
  const std::string history = testing::FileBytes("Punts.rel");
  auto w = Start();
  std::vector<std::pair<std::string, int>> series;  // name, points
  std::string note;
  testing::WhenShown("Grafic", [&](QWidget* window) {
    if (auto* view = window->findChild<QChartView*>("grafic")) {
      for (QAbstractSeries* s : view->chart()->series()) {
        series.emplace_back(s->name().toStdString(), static_cast<int>(qobject_cast<QXYSeries*>(s)->count()));
      }
    }
    if (auto* label = window->findChild<QLabel*>("nota")) note = label->text().toStdString();
    testing::SaveShot(window, "quizrun_chart");
    QTest::keyClick(window, Qt::Key_Escape);  // the window has no button
    EXPECT_FALSE(window->isVisible()) << "Escape leaves the chart";
    window->close();
  });
  w->Command(RW::kChart);
  EXPECT_EQ(series, (std::vector<std::pair<std::string, int>>{{"t1.tgn", 4}, {"t2.tgn", 2}, {"Mitjana dels 10 últims", 6}}));
  EXPECT_EQ(note, "S'ha deixat de banda 1 registre malmès de l'historial.");
  EXPECT_EQ(testing::FileBytes("Punts.rel"), history);
}

TEST_F(RunnerWindowTest, ATestFromTheCommandLineCannotStartTheClockOrBeExported) {
  auto w = Start("t1.tgn");
  EXPECT_EQ(w->engine().count(), 4);
  EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Test t1.tgn  (4 qüestions)"));
  EXPECT_FALSE(w->action(RW::kExport)->isEnabled());
  w->Command(RW::kStart);
  EXPECT_EQ(seams_.messages.shown.back(), (ShownMessage{W("Res a començar"), "No hom ha obert cap test", kMbOk}));
  w->Command(RW::kExport);
  EXPECT_FALSE(testing::Exists("t1.txt"));

  // A test chosen from the list can be exported; a later cancelled choice grays it again.
  Choose(w.get(), 2);
  EXPECT_TRUE(w->action(RW::kExport)->isEnabled());
  w->Command(RW::kExport);
  EXPECT_TRUE(testing::Exists("t2.txt"));
  ASSERT_EQ(seams_.launches.size(), 1u);
  EXPECT_TRUE(seams_.launches[0].program.ends_with("/t2.txt"));
  Choose(w.get(), 0);
  EXPECT_FALSE(w->action(RW::kExport)->isEnabled());
  EXPECT_EQ(w->engine().count(), 2);  // the test stays on screen
}

TEST_F(RunnerWindowTest, AChosenTestThatFailsToLoadLeavesTheExportToTheTestShown) {
  GeneratedTestIndex generated;
  ASSERT_TRUE(generated.Append({"perdut", "Test esborrat"}).ok());
  auto w = Start("t1.tgn");
  Choose(w.get(), 3);  // its file is gone: nothing chosen is on screen
  EXPECT_EQ(w->engine().test_name(), "t1.tgn");
  EXPECT_FALSE(w->action(RW::kExport)->isEnabled());

  Choose(w.get(), 2);
  Choose(w.get(), 3);
  EXPECT_EQ(w->engine().test_name(), "t2.tgn");
  ASSERT_TRUE(w->action(RW::kExport)->isEnabled());
  w->Command(RW::kExport);
  EXPECT_TRUE(testing::Exists("t2.txt"));
  EXPECT_FALSE(testing::Exists("perdut.txt"));
  EXPECT_EQ(testing::FileBytes("t2.txt").substr(0, 17), "Test SEGON TEST\r\n");
}

// A test whose name would lead out of Generats is neither loaded nor exported beside it.
TEST_F(RunnerWindowTest, ATestNamedOutOfItsFolderIsNotOpened) {
  testing::PutFile("fora.tgn", "1\r\n1\r\n");
  GeneratedTestIndex generated;
  ASSERT_TRUE(generated.Append({"..\\fora", "Fora"}).ok());
  auto w = Start();
  Choose(w.get(), 3);
  ASSERT_FALSE(seams_.messages.shown.empty());
  EXPECT_EQ(seams_.messages.shown.back().caption, W("Nom de test no vàlid"));
  EXPECT_EQ(w->engine().count(), 0);
  EXPECT_FALSE(w->action(RW::kExport)->isEnabled());
}

TEST_F(RunnerWindowTest, AnEmptyListOfTestsSaysSo) {
  ASSERT_TRUE(ReplaceFile("Generats\\Generats.rel", "").ok());
  auto w = Start();
  w->Command(RW::kOpenTest);
  EXPECT_EQ(seams_.messages.shown.back(), (ShownMessage{W("Relació buïda"), "No hi ha cap test generat", kMbOk}));
  EXPECT_EQ(w->engine().count(), 0);
}

TEST_F(RunnerWindowTest, LongTitlesAreCutAt56WithAnEllipsis) {
  auto w = Start();
  auto header = [&](const std::string& title) {
    w->engine().LoadTest("Generats\\t1.tgn", title);
    return w->canvas()->image().copy(0, 0, 768, 34);
  };
  const std::string t56(56, 'i');  // narrow, so that the end stays clear of the label at x 622
  EXPECT_EQ(header(t56 + "N"), header(t56 + "..."));
  EXPECT_NE(header(t56), header(t56 + "..."));
  // Exactly 56 are kept: the 56th character shows.
  EXPECT_NE(header(t56 + "N"), header(std::string(55, 'i') + "NN"));
}

TEST_F(RunnerWindowTest, TheScrollBarMovesTheQuestionsOnEverySecondMessage) {
  std::vector<TestItem> items;
  for (int i = 0; i < 12; ++i) items.push_back({2, static_cast<uint16_t>(i % 3 + 1)});
  ASSERT_TRUE(WriteTestFile("dotze", items).ok());
  auto w = Start("dotze.tgn");
  const QImage first_page = w->canvas()->image().copy(2, 35, 768, 635);
  w->Scroll(ScrollState::Code::kLineDown);
  w->Scroll(ScrollState::Code::kOther);
  EXPECT_EQ(w->scroll().position(), 1);
  EXPECT_NE(w->canvas()->image().copy(2, 35, 768, 635), first_page);
  w->Scroll(ScrollState::Code::kPageDown);
  w->Scroll(ScrollState::Code::kOther);
  EXPECT_EQ(w->scroll().position(), 8);
  w->Scroll(ScrollState::Code::kThumbTrack, 12);  // the last position: the drawing stays
  const QImage before_end = w->canvas()->image().copy(2, 35, 768, 635);
  EXPECT_EQ(w->scroll().position(), 12);
  EXPECT_EQ(w->canvas()->image().copy(2, 35, 768, 635), before_end);
  EXPECT_EQ(qobject_cast<QAbstractSlider*>(w->Control(RW::kScroll))->maximum(), 12);
}

TEST_F(RunnerWindowTest, TheWheelAndTheDropDownsActAsTheirUsersExpect) {
  std::vector<TestItem> items;
  for (int i = 0; i < 30; ++i) items.push_back({2, static_cast<uint16_t>(i % 3 + 1)});
  ASSERT_TRUE(WriteTestFile("trenta", items).ok());
  auto w = Start("trenta.tgn");
  auto* bar = qobject_cast<QScrollBar*>(w->Control(RW::kScroll));
  // Every notch of the wheel moves the questions, down and back up.
  std::vector<int> positions;
  for (int delta : {-120, -120, -120, 120}) {
    const QPoint at(8, 300);
    QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    positions.push_back(w->scroll().position());
  }
  EXPECT_LT(0, positions[0]);
  EXPECT_LT(positions[0], positions[1]);
  EXPECT_LT(positions[1], positions[2]);
  EXPECT_EQ(positions[3], positions[1]);
  EXPECT_EQ(bar->value(), positions[3]);

  // Enter in a drop-down's box keeps the typed value out of its list.
  for (int id : {RW::kPenalty, RW::kTime}) {
    auto* combo = qobject_cast<QComboBox*>(w->Control(id));
    combo->setFocus();
    combo->lineEdit()->setText("7");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo->count(), id == RW::kPenalty ? 4 : 3);
    EXPECT_EQ(GetItemText(w.get(), id), "7");
  }
}

TEST_F(RunnerWindowTest, ASecondListOfTestsIsNeverOpened) {
  auto w = Start();
  int lists_seen = 0;
  testing::WhenShown("Llista", [&](QWidget* first) {
    // The main window is live: the user asks for the list again.
    w->Command(RW::kOpenTest);
    w->Command(RW::kHistory);
    for (QWidget* top : QApplication::topLevelWidgets()) {
      lists_seen += top->objectName() == "Llista" && top->isVisible();
    }
    auto* lw = static_cast<Window*>(first);
    qobject_cast<QListWidget*>(lw->Control(101))->item(1)->setSelected(true);
    qobject_cast<QAbstractButton*>(lw->Control(1))->click();
  });
  w->Command(RW::kOpenTest);
  EXPECT_EQ(lists_seen, 1);
  EXPECT_EQ(w->engine().test_name(), "t2.tgn");
  EXPECT_TRUE(w->action(RW::kExport)->isEnabled());
  EXPECT_TRUE(seams_.messages.shown.empty());
}

// The bundled demo folder: its tests load and show real questions.
class DemoFolder : public testing::InTempDir {};

// The demo's answer log is the one behind its history: every result finds its answers, every
// answer is of a question the demo's banks hold, and each topic has its weekly progress.
TEST_F(DemoFolder, EveryResultHasItsAnswersOfStoredQuestions) {
  std::filesystem::copy(QUIZ_DEMO_DIR, ".", std::filesystem::copy_options::recursive);
  std::vector<ScoreRecord> scores;
  ASSERT_TRUE(ReadScoreHistory(&scores, kScoreHistoryName, false).ok());
  std::vector<Correction> log;
  ASSERT_TRUE(ReadAnswerLog(&log).ok());
  ASSERT_EQ(log.size(), scores.size());
  for (size_t n = 0; n < scores.size(); ++n) EXPECT_NE(CorrectionOfScore(scores, n, log), nullptr) << n;
  TopicIndex index;
  ASSERT_TRUE(index.Open().ok());
  std::vector<uint16_t> all;
  for (uint16_t t = 1; t <= index.count(); ++t) all.push_back(t);
  std::vector<ReviewCandidate> stored;
  ASSERT_TRUE(ReviewCandidates(&index, all, &stored).ok());
  std::set<std::pair<std::string, uint64_t>> known;
  for (const ReviewCandidate& c : stored) known.insert({c.file_name, c.hash});
  for (const Correction& c : log) {
    for (const AnswerRecord& a : c.answers) EXPECT_TRUE(known.contains({a.file_name, a.hash})) << a.file_name << a.question;
  }
  DatedChart chart;
  ASSERT_TRUE(ReadTopicProgressChart(&chart, &index).ok());
  EXPECT_GE(chart.series.size(), 3u);
}

TEST_F(DemoFolder, OffersTestsThatCanBeTakenAtOnce) {
  std::filesystem::copy(QUIZ_DEMO_DIR, ".", std::filesystem::copy_options::recursive);
  testing::Seams seams;
  RunnerWindow w(RunnerOptions{"", kDay, 3, [] { return TimeOfDay{10, 0, 0, 0}; }});
  w.show();
  EXPECT_TRUE(seams.messages.shown.empty());  // Zive.cf is there
  std::vector<std::string> listed;
  testing::WhenShown("Llista", [&](QWidget* list_window) {
    auto* lw = static_cast<Window*>(list_window);
    auto* list = qobject_cast<QListWidget*>(lw->Control(101));
    for (int i = 0; i < list->count(); ++i) listed.push_back(list->item(i)->text().toStdString());
    qobject_cast<QAbstractButton*>(lw->Control(1))->click();  // line 1 is selected
  });
  w.Command(RW::kOpenTest);
  EXPECT_EQ(listed, (std::vector<std::string>{"historia", "barreja", "tots_1"}));
  ASSERT_EQ(w.engine().count(), 8);
  for (uint16_t k = 1; k <= 8; ++k) {
    Question q;
    ASSERT_TRUE(w.engine().ReadQuestion(k, &q).ok());
    EXPECT_FALSE(q.question.empty());
    for (const auto& a : q.answers) EXPECT_FALSE(a.empty()) << k;
  }
  // Some answers marked, right and wrong, for the pictures in docs/.
  for (uint16_t k = 1; k <= 6; ++k) {
    const int c = k % 3 == 0 ? w.engine().CorrectPosition(k) % 4 : w.engine().CorrectPosition(k) - 1;
    w.Click(sheet::BubbleLeft(k, c) + 3, sheet::RowTop(k) + 2);
  }
  testing::SaveShot(&w, "quizrun_demo");
  seams.messages.answers = {kIdNo};
  w.Command(RW::kCorrection);
  EXPECT_EQ(w.engine().hits(), 4);
  EXPECT_EQ(w.engine().errors(), 2);
  testing::SaveShot(&w, "quizrun_demo_corrected");
  // The demo's history has each of its tests over two months.
  size_t series = 0;
  testing::WhenShown("Grafic", [&](QWidget* window) {
    if (auto* view = window->findChild<QChartView*>("grafic")) series = static_cast<size_t>(view->chart()->series().size());
    testing::SaveShot(window, "quizrun_demo_chart");
    window->close();
  });
  w.Command(RW::kChart);
  EXPECT_EQ(series, 4u);
}

}  // namespace
}  // namespace quiz
