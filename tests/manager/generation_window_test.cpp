#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QListWidget>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "data/generated_tests.h"
#include "manager/main_window.h"
#include "tests/support/gui.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"
#include "toolkit/paths.h"

namespace quiz {
namespace {

using testing::FileBytes;
using testing::ShownMessage;

Window* AsWindow(QWidget* w) { return static_cast<Window*>(w); }
void Click(QWidget* w, int id) { qobject_cast<QAbstractButton*>(AsWindow(w)->Control(id))->click(); }
std::string Text(QWidget* w, int id) { return GetItemText(AsWindow(w), id); }

// The sample data: topic 1 HISTORIA (5 questions, 2 answers), topic 2 GEO (3 questions, 4
// answers), generated tests t1 and t2.
class ManagerCommandsTest : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    testing::MakeSampleData();
    testing::PutFile("Zive.cf", "Info.txt\r\ncontacte\r\n");
    w_ = std::make_unique<ManagerWindow>();
    w_->show();
    w_->Initialise();
    w_->Seed(1);
  }
  // Picks `lines` (from 1) in the next list and presses its first button.
  void PickInList(std::vector<int> lines) {
    testing::WhenShown("Llista", [lines](QWidget* list_window) {
      auto* list = qobject_cast<QListWidget*>(AsWindow(list_window)->Control(101));
      for (int line : lines) list->item(line - 1)->setSelected(true);
      Click(list_window, 1);
    });
  }
  void Open(int topic) {
    PickInList({topic});
    w_->Command(command::kOpen);
  }
  std::vector<GeneratedTestEntry> Entries() { return testing::GeneratedEntries(); }

  testing::Seams seams_;
  std::unique_ptr<ManagerWindow> w_;
};

TEST_F(ManagerCommandsTest, GeneratesATestOverTheChosenTopicsAndPutsTheTopicBack) {
  Open(2);
  PickInList({1, 2});
  testing::WhenShown("parametresgenerat", [](QWidget* g) {
    EXPECT_EQ(g->windowTitle(), "Generació test");
    EXPECT_EQ(Text(g, 150), "tots_1");
    EXPECT_EQ(Text(g, 120), "tots");
    EXPECT_EQ(Text(g, 100), "8");  // min(5 + 3, 50)
    testing::SaveShot(g, "parametresgenerat");
    Click(g, 1);
  });
  w_->Command(command::kGenerate);
  EXPECT_TRUE(seams_.messages.shown.empty());
  EXPECT_EQ(Entries().back(), (GeneratedTestEntry{"tots_1", "tots"}));
  std::vector<TestItem> items;
  ASSERT_TRUE(ReadTestFile("Generats\\tots_1.tgn", &items).ok());
  EXPECT_EQ(items.size(), 8u);
  EXPECT_EQ(w_->current().number, 2);
  EXPECT_EQ(w_->current().entry.file_name, "GEO");

  // One topic: its file name; more asked than it holds: told, and a shorter test.
  PickInList({1});
  testing::WhenShown("parametresgenerat", [](QWidget* g) {
    EXPECT_EQ(Text(g, 150), "HISTORIA_1");
    EXPECT_EQ(Text(g, 120), "Tema HISTORIA");
    SetItemText(AsWindow(g), 100, "9");
    Click(g, 1);
  });
  w_->Command(command::kGenerate);
  EXPECT_EQ(seams_.messages.shown,
            (std::vector<ShownMessage>{{W("nº de qüestions superiors a les existents"),
                                        W("es generarà un test amb només 5 qüestions"), kMbOk}}));
  ASSERT_TRUE(ReadTestFile("Generats\\HISTORIA_1.tgn", &items).ok());
  EXPECT_EQ(items.size(), 5u);
  for (const TestItem& i : items) EXPECT_EQ(i.topic, 1);
}

TEST_F(ManagerCommandsTest, ABadNumberOrAnExistingNameWritesNothingUnasked) {
  const std::string index_before = FileBytes("Generats/Generats.rel");
  const std::string t1_before = FileBytes("Generats/t1.tgn");
  PickInList({2});
  testing::WhenShown("parametresgenerat", [](QWidget* g) {
    SetItemText(AsWindow(g), 100, "256");
    Click(g, 1);
  });
  w_->Command(command::kGenerate);
  EXPECT_EQ(seams_.messages.shown.back(),
            (ShownMessage{W("error en el nº de qüestions"), W("ha de ser un número entre 1 i 255"), kMbOk}));
  EXPECT_EQ(testing::VisibleWindow("parametresgenerat"), nullptr);  // the window closed

  // The name of test t1: asked; No keeps the window open to change it, Yes replaces the test.
  seams_.messages.shown.clear();
  seams_.messages.answers = {kIdNo, kIdYes};
  PickInList({2});
  bool still_open = false;
  testing::WhenShown("parametresgenerat", [&still_open](QWidget* g) {
    SetItemText(AsWindow(g), 150, "T1");
    SetItemText(AsWindow(g), 100, "2");
    Click(g, 1);
    still_open = g->isVisible();
    Click(g, 1);
  });
  w_->Command(command::kGenerate);
  EXPECT_TRUE(still_open);
  ASSERT_EQ(seams_.messages.shown.size(), 2u);
  EXPECT_EQ(seams_.messages.shown[0].caption, "Test existent");
  EXPECT_EQ(FileBytes("Generats/Generats.rel").size(), index_before.size());  // no second t1
  EXPECT_EQ(Entries()[0], (GeneratedTestEntry{"t1", "Tema GEO"}));
  EXPECT_NE(FileBytes("Generats/t1.tgn"), t1_before);

  // Another program saves a test under the proposed name while the window is open: asked again;
  // No proposes the next free name and replaces nothing.
  seams_.messages.shown.clear();
  seams_.messages.answers = {kIdNo};
  PickInList({1, 2});
  std::string proposed, next;
  testing::WhenShown("parametresgenerat", [&](QWidget* g) {
    proposed = Text(g, 150);
    ASSERT_TRUE(SaveGeneratedTest({proposed, "d'un altre programa"}, {{1, 1}}).ok());
    Click(g, 1);
    next = Text(g, 150);
    Click(g, 1);
  });
  w_->Command(command::kGenerate);
  EXPECT_EQ(proposed, "tots_1");
  EXPECT_EQ(next, "tots_2");
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0].caption, "Test existent");
  const std::vector<GeneratedTestEntry> entries = Entries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[2], (GeneratedTestEntry{"tots_1", "d'un altre programa"}));
  EXPECT_EQ(entries[3], (GeneratedTestEntry{"tots_2", "tots"}));
  EXPECT_EQ(FileBytes("Generats/tots_1.tgn"), "1\r\n1\r\n");
}

// Every field of every manager window keeps to what its file holds: a typed "α" is refused, a
// typed "€" goes in; every window has at least the fields named here.
TEST_F(ManagerCommandsTest, EveryFieldOfEveryWindowRefusesWhatTheFilesCannotHold) {
  std::map<std::string, int> fields_tried;
  const auto try_fields = [&fields_tried](QWidget* w) {
    for (QLineEdit* line : w->findChildren<QLineEdit*>()) {
      if (!line->isVisible() || line->isReadOnly()) continue;
      line->setText("ab");
      line->setFocus();
      line->end(false);
      for (const char* typed : {"α", "ω", "→", "😀", "€"}) {
        QTest::sendKeyEvent(QTest::Press, line, Qt::Key_unknown, QString::fromUtf8(typed), Qt::NoModifier);
      }
      EXPECT_EQ(line->text(), QString::fromUtf8("ab€")) << w->objectName().toStdString();
      line->setText("");
      ++fields_tried[w->objectName().toStdString()];
    }
  };
  Open(2);
  testing::WhenShown("edtest", [&](QWidget* p) {
    try_fields(p);
    Click(p, 2);
  });
  w_->Command(command::kParameters);
  testing::WhenShown("edqeleccio", [&](QWidget* e) {
    testing::WhenShown("cercar", [&](QWidget* s) {
      try_fields(s);
      Click(s, 2);
    });
    Click(e, 15);  // Cercar...
    try_fields(e);
    Click(e, 2);
  });
  seams_.messages.answers = {kIdNo};
  w_->Command(command::kEdit);
  PickInList({1, 2});
  testing::WhenShown("parametresgenerat", [&](QWidget* g) {
    try_fields(g);
    Click(g, 2);
  });
  w_->Command(command::kGenerate);
  // Title, file name and the four numbers; question, four answers, comment and the number box;
  // the search text; the test's name, description and count.
  EXPECT_EQ(fields_tried, (std::map<std::string, int>{{"edtest", 6}, {"edqeleccio", 7}, {"cercar", 1},
                                                      {"parametresgenerat", 3}}));
}

// A review test goes through the generation window like any other, over the chosen topics, with
// its own name and description; the next one gets the next number.
TEST_F(ManagerCommandsTest, AReviewTestIsDrawnOverTheChosenTopicsAndListed) {
  for (const char* expected : {"repasGEO_1", "repasGEO_2"}) {
    PickInList({2});
    std::string name, description;
    testing::WhenShown("parametresgenerat", [&](QWidget* g) {
      name = Text(g, 150);
      description = Text(g, 120);
      SetItemText(AsWindow(g), 100, "2");
      Click(g, 1);
    });
    w_->Command(command::kReview);
    EXPECT_EQ(name, expected);
    EXPECT_EQ(description, W("Repàs: Tema GEO"));
    EXPECT_TRUE(seams_.messages.shown.empty());
    const std::vector<GeneratedTestEntry> entries = Entries();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), (GeneratedTestEntry{expected, W("Repàs: Tema GEO")}));
    std::vector<TestItem> items;
    ASSERT_TRUE(ReadTestFile(TestFileName(expected), &items).ok());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_NE(items[0], items[1]);
    for (const TestItem& item : items) {
      EXPECT_EQ(item.topic, 2);
      EXPECT_TRUE(item.question >= 1 && item.question <= 3);
    }
  }
}

// "Tests > Imprimir..." lists the generated tests as the runner does and prints the one picked,
// headed by its description; a test whose file is gone is said, and nothing is printed.
TEST_F(ManagerCommandsTest, ATestToPrintIsPickedAmongTheGeneratedOnes) {
  std::string header;
  testing::WhenShown("imprimir", [&header](QWidget* p) {
    header = Text(p, 120);
    Click(p, 1);
  });
  seams_.dialog_answers = {{true, "segon.pdf"}};
  PickInList({2});
  w_->Command(command::kPrint);
  EXPECT_EQ(header, "Segon test");
  EXPECT_TRUE(FileBytes("segon.pdf").starts_with("%PDF-"));
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0].caption, "Imprimir");
  EXPECT_NE(seams_.messages.shown[0].text.find("segon.pdf (3 p"), std::string::npos) << seams_.messages.shown[0].text;

  ASSERT_EQ(::unlink(NativePath(TestFileName("t1")).c_str()), 0);
  PickInList({1});
  w_->Command(command::kPrint);
  ASSERT_EQ(seams_.messages.shown.size(), 2u);
  EXPECT_EQ(seams_.messages.shown[1].caption, "Test inexistent");
  EXPECT_EQ(testing::VisibleWindow("imprimir"), nullptr);
}

TEST_F(ManagerCommandsTest, TheListingOpensTheEditorAtThePickedQuestion) {
  Open(1);
  std::string title;
  testing::WhenShown("Llista", [&title](QWidget* list_window) {
    title = list_window->windowTitle().toStdString();
    auto* list = qobject_cast<QListWidget*>(AsWindow(list_window)->Control(101));
    EXPECT_EQ(list->count(), 5);
    EXPECT_EQ(list->item(2)->text().toStdString(), "Q HISTORIA 3");
    list->item(2)->setSelected(true);
    Click(list_window, 1);
  });
  std::string shown;
  testing::WhenShown("edqeleccio", [&shown](QWidget* e) {
    shown = Text(e, 101);
    Click(e, 2);
  });
  w_->Command(command::kList);
  EXPECT_EQ(title, "Qüestions HISTORIA");
  EXPECT_EQ(shown, "Q HISTORIA 3");

  // An empty topic: said, and no list.
  ASSERT_TRUE(::truncate("Bases/GEO.qst", 0) == 0);
  Open(2);
  w_->Command(command::kList);
  EXPECT_EQ(seams_.messages.shown.back(),
            (ShownMessage{"Test buit", W("Actualment hi ha 0 qüestions"), kMbIconExclamation}));
}

TEST_F(ManagerCommandsTest, TheExportKeepsItsOptionsWritesTheFileAndOpensIt) {
  Open(2);
  testing::WhenShown("FDlg", [](QWidget* f) {
    EXPECT_EQ(f->windowTitle(), "Passar a fitxer de text");
    const struct {
      int id;
      bool ticked;
    } defaults[] = {{10, false}, {20, true}, {30, false}, {40, false}};
    for (const auto& d : defaults) {
      EXPECT_EQ(qobject_cast<QCheckBox*>(AsWindow(f)->Control(d.id))->isChecked(), d.ticked) << d.id;
    }
    qobject_cast<QCheckBox*>(AsWindow(f)->Control(30))->setChecked(true);
    qobject_cast<QCheckBox*>(AsWindow(f)->Control(20))->setChecked(false);
    testing::SaveShot(f, "FDlg");
    Click(f, 1);
  });
  w_->Command(command::kExport);
  const std::string first = "1) Q GEO 1\r\na) bona GEO 1\r\nb) dolenta1\r\nc) dolenta2\r\nd) dolenta3\r\n2) Q GEO 2\r\n";
  EXPECT_EQ(FileBytes("GEO.txt").substr(0, first.size()), first);
  ASSERT_FALSE(seams_.launches.empty());
  EXPECT_EQ(seams_.launches.back().kind, "open");
  EXPECT_NE(seams_.launches.back().program.find("GEO.txt"), std::string::npos);

  // Next time: the choice comes back; "Abandonar" keeps it and writes nothing.
  testing::PutFile("GEO.txt", "anterior");
  testing::WhenShown("FDlg", [](QWidget* f) {
    EXPECT_TRUE(qobject_cast<QCheckBox*>(AsWindow(f)->Control(30))->isChecked());
    EXPECT_FALSE(qobject_cast<QCheckBox*>(AsWindow(f)->Control(20))->isChecked());
    qobject_cast<QCheckBox*>(AsWindow(f)->Control(10))->setChecked(true);
    Click(f, 2);
  });
  w_->Command(command::kExport);
  EXPECT_EQ(FileBytes("GEO.txt"), "anterior");
  testing::WhenShown("FDlg", [](QWidget* f) {
    EXPECT_FALSE(qobject_cast<QCheckBox*>(AsWindow(f)->Control(10))->isChecked());
    Click(f, 2);
  });
  w_->Command(command::kExport);
}

}  // namespace
}  // namespace quiz

namespace quiz {
namespace {

// The demo data as a newcomer opens it: every topic has questions that the editor shows, and a
// test over all of them can be drawn. The pictures of the demo animation come from here.
class ManagerDemo : public testing::InTempDir {};

TEST_F(ManagerDemo, EveryTopicOpensInTheEditorAndATestOfFiftyCanBeDrawn) {
  std::filesystem::copy(QUIZ_DEMO_DIR, ".", std::filesystem::copy_options::recursive);
  testing::Seams seams;
  ManagerWindow w;
  w.show();
  w.Initialise();
  ASSERT_GE(w.index().count(), 4);
  uint32_t total = 0;
  for (int topic = 1; topic <= w.index().count(); ++topic) {
    testing::WhenShown("Llista", [topic](QWidget* list_window) {
      auto* list = qobject_cast<QListWidget*>(AsWindow(list_window)->Control(101));
      list->item(topic - 1)->setSelected(true);
      if (topic == 3) testing::SaveShot(list_window, "demo_temes");
      Click(list_window, 1);
    });
    w.Command(command::kOpen);
    ASSERT_EQ(w.current().number, topic);
    std::string question;
    testing::WhenShown("edqeleccio", [&question, topic](QWidget* e) {
      question = Text(e, 101);
      if (topic == 1) testing::SaveShot(e, "demo_editor");
      Click(e, 2);
    });
    w.Command(command::kEdit);
    EXPECT_FALSE(question.empty()) << topic;
    if (topic == 1) {
      testing::SaveShot(&w, "demo_quizdesk");
      std::string title;
      testing::WhenShown("edtest", [&title](QWidget* p) {
        title = Text(p, 101);
        testing::SaveShot(p, "edtest");
        Click(p, 2);
      });
      w.Command(command::kParameters);
      EXPECT_EQ(title, W("Història de Catalunya"));
    }
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(w.current().entry, QuestionFile::Access::kRead).ok());
    total += bank.count();
  }
  EXPECT_GE(total, 60u);
  testing::WhenShown("Llista", [](QWidget* list_window) {
    qobject_cast<QAbstractButton*>(AsWindow(list_window)->Control(3))->click();  // "Tot"
    Click(list_window, 1);
  });
  std::string proposed;
  testing::WhenShown("parametresgenerat", [&proposed](QWidget* g) {
    proposed = Text(g, 100);
    testing::SaveShot(g, "demo_generacio");
    Click(g, 2);
  });
  w.Command(command::kGenerate);
  EXPECT_EQ(proposed, "50");
  EXPECT_TRUE(seams.messages.shown.empty());
}

}  // namespace
}  // namespace quiz
