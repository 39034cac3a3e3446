#include "manager/main_window.h"

#include <QAbstractButton>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <tuple>

#include "data/topic_change.h"
#include "manager/question_editor.h"
#include "tests/support/gui.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/qt_text.h"

namespace quiz {
namespace {

using testing::ShownMessage;
namespace cmd = command;

Window* AsWindow(QWidget* w) { return static_cast<Window*>(w); }
void ClickControl(QWidget* w, int id) { qobject_cast<QAbstractButton*>(AsWindow(w)->Control(id))->click(); }

// Fills the parameters window and presses one of its buttons (0: none).
void FillParams(QWidget* w, const std::vector<std::string>& fields, int button) {
  const int ids[] = {101, 102, 103, 104, 105, 118};
  for (size_t i = 0; i < fields.size(); ++i) SetItemText(AsWindow(w), ids[i], fields[i]);
  if (button != 0) ClickControl(w, button);
}

class ManagerWindowTest : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    testing::MakeSampleData();
    testing::PutFile("Zive.cf", "Info.txt\r\ncontacte\r\n");
  }
  std::unique_ptr<ManagerWindow> Start() {
    auto w = std::make_unique<ManagerWindow>();
    w->show();
    w->Initialise();
    EXPECT_TRUE(testing::WaitActive(w.get()));
    return w;
  }
  // Picks line `line` of the topic list (0: "Surt").
  void Choose(ManagerWindow* w, int line) {
    testing::WhenShown("Llista", [line](QWidget* list_window) {
      auto* list = qobject_cast<QListWidget*>(AsWindow(list_window)->Control(101));
      if (line > 0) list->item(line - 1)->setSelected(true);
      ClickControl(list_window, line > 0 ? 1 : 2);
    });
    w->Command(cmd::kOpen);
  }
  bool Enabled(ManagerWindow* w, int id) { return w->action(id)->isEnabled(); }

  testing::Seams seams_;
};

TEST_F(ManagerWindowTest, StartsWithItsControlsInPlaceAndItsMenuGreyed) {
  auto w = Start();
  EXPECT_EQ(w->objectName(), "tests");
  EXPECT_EQ(w->windowTitle(), "Tests Velmor Ostrel");
  struct Control {
    int id;
    QRect geometry;
  } controls[] = {{cmd::kRun, {97, 30, 200, 32}}, {cmd::kGenerate, {117, 80, 160, 20}},
                  {cmd::kNew, {30, 186, 60, 20}}, {cmd::kOpen, {310, 186, 60, 20}}, {2, {12, 210, 32, 32}}};
  for (const auto& c : controls) EXPECT_EQ(w->Control(c.id)->geometry(), c.geometry) << c.id;
  EXPECT_TRUE(Enabled(w.get(), cmd::kOpen));
  EXPECT_FALSE(Enabled(w.get(), cmd::kQuestionsMenu));
  EXPECT_FALSE(Enabled(w.get(), cmd::kDelete));
  testing::SaveShot(w.get(), "quizdesk_empty");

  Choose(w.get(), 2);
  EXPECT_EQ(w->current().number, 2);
  EXPECT_TRUE(Enabled(w.get(), cmd::kQuestionsMenu));
  EXPECT_TRUE(Enabled(w.get(), cmd::kParameters));
  testing::SaveShot(w.get(), "quizdesk");
  Choose(w.get(), 0);  // "Surt": the topic stays
  EXPECT_EQ(w->current().number, 2);
  EXPECT_TRUE(seams_.messages.shown.empty());
}

// The menu bar as a person opens it: each menu's items, "-" for a separator, "[x]" before a
// checked item, "(grey)" after a greyed one.
std::vector<std::string> OpenedMenu(QMenu* menu) {
  menu->popup(QPoint(0, 0));
  std::vector<std::string> items;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) {
      items.push_back("-");
      continue;
    }
    std::string text = (a->isChecked() ? "[x]" : "") + FromQString(a->text());
    if (!a->isEnabled()) text += "(grey)";
    items.push_back(text);
  }
  menu->hide();
  return items;
}

TEST_F(ManagerWindowTest, TheMenuHoldsEveryItemInItsPlace) {
  auto w = Start();
  QMenuBar* bar = w->menu_bar();
  ASSERT_NE(bar, nullptr);
  std::vector<std::string> titles;
  for (QAction* a : bar->actions()) titles.push_back(FromQString(a->text()));
  EXPECT_EQ(titles, (std::vector<std::string>{"&Temes", W("&Qüestions"), "T&ests", "&Info", "&Sortir"}));
  QMenu* topics = bar->actions()[0]->menu();
  const std::vector<std::string> topics_items{"&Nou", "&Obrir", "-", W("&Paràmetres tema(grey)"), "-",
                                              "E&liminar tema(grey)", "-", "Opc&ions", "-", "&Sortir"};
  EXPECT_EQ(OpenedMenu(topics), topics_items);
  QMenu* options = topics->actions()[7]->menu();
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(OpenedMenu(options), (std::vector<std::string>{"&Copiar estructura", W("&Penalització per defecte")}));
  w->Command(cmd::kCopyStructure);
  EXPECT_EQ(OpenedMenu(options)[0], "[x]&Copiar estructura");
  struct Menu {
    int index;
    std::vector<std::string> items;
  } menus[] = {{1, {"&Editar(grey)", "&Llistar(grey)", "A &fitxer de text(grey)"}},
               {2, {"&Generar test aleatori", W("Generar test de &repàs"), "&Imprimir...", "&Executar "}},
               {3, {"&Info (com...?)", "Historial &puntuacions", W("&Gràfic de puntuacions"), W("Progrés per te&mes"),
                    "Petita &Demo", "&Quant a..."}}};
  for (const auto& m : menus) EXPECT_EQ(OpenedMenu(bar->actions()[m.index]->menu()), m.items) << m.index;
  // Opening a menu again does not add its items twice.
  EXPECT_EQ(OpenedMenu(topics), topics_items);
}

// For a screen reader and the keyboard alone: the topic area is read as it is painted, the exit
// icon is a button, and every window names its controls; the menus open with their keys.
TEST_F(ManagerWindowTest, AScreenReaderReadsTheTopicAreaAndEveryWindowNamesItsControls) {
  auto w = Start();
  auto reads = [&](const std::string& text) {
    const std::vector<std::string> texts = testing::ReadTexts(w.get());
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  const std::string placeholder = "-------------- per seleccionar --------------";
  EXPECT_TRUE(reads(placeholder));
  Choose(w.get(), 2);
  const std::string title = ToQString(w->current().entry.title).toStdString();
  EXPECT_TRUE(reads(title)) << title;
  EXPECT_FALSE(reads(placeholder));
  EXPECT_EQ(testing::UnnamedControls(w.get()), std::vector<std::string>{});
  EXPECT_EQ(testing::ControlsNotReachedByTab(w.get()), std::vector<std::string>{});
  EXPECT_EQ(testing::MenusNotReachedByKeys(w.get()), std::vector<std::string>{});
  QAccessibleInterface* exit = testing::FindAccessible(w.get(), QAccessible::PushButton, "Sortir");
  ASSERT_NE(exit, nullptr);
  ASSERT_NE(exit->actionInterface(), nullptr);
  EXPECT_EQ(exit->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()), QStringList{"Alt+S"});

  auto pick_first = [](QWidget* list_window) {
    qobject_cast<QListWidget*>(AsWindow(list_window)->Control(101))->item(0)->setSelected(true);
    ClickControl(list_window, 1);
  };
  struct Case {
    const char* window;
    int command;
    std::function<void(std::function<void(QWidget*)>)> reach;  // gets the check to run inside the window
  } cases[] = {
      {"Llista", cmd::kOpen, [](auto check) { testing::WhenShown("Llista", check); }},
      {"edtest", cmd::kParameters, [](auto check) { testing::WhenShown("edtest", check); }},
      {"edqeleccio", cmd::kEdit, [](auto check) { testing::WhenShown("edqeleccio", check); }},
      {"cercar", cmd::kEdit,
       [](auto check) {
         testing::WhenShown("edqeleccio", [check](QWidget* editor) {
           testing::WhenShown("cercar", check);
           ClickControl(editor, editor::kSearch);
           editor->close();
         });
       }},
      {"parametresgenerat", cmd::kGenerate,
       [&](auto check) {
         testing::WhenShown("Llista", pick_first);
         testing::WhenShown("parametresgenerat", check);
       }},
      {"imprimir", cmd::kPrint,
       [&](auto check) {
         testing::WhenShown("Llista", pick_first);
         testing::WhenShown("imprimir", check);
       }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> unnamed{"not shown"};
    c.reach([&unnamed](QWidget* window) {
      unnamed = testing::UnnamedControls(window);
      const std::vector<std::string> missed = testing::ControlsNotReachedByTab(window);
      unnamed.insert(unnamed.end(), missed.begin(), missed.end());
      window->close();
    });
    w->Command(c.command);
    EXPECT_EQ(unnamed, std::vector<std::string>{}) << c.window;
  }

  // The icon's press closes the window, as a click on it does.
  exit->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(w->isVisible());
}

TEST_F(ManagerWindowTest, TheChartOfAnEmptyHistorySaysSoAndWritesNothing) {
  auto w = Start();
  std::string said;
  bool chart = true;
  testing::WhenShown("Grafic", [&](QWidget* window) {
    if (auto* label = window->findChild<QLabel*>("buit")) said = label->text().toStdString();
    chart = window->findChild<QWidget*>("grafic") != nullptr;
    window->close();
  });
  w->Command(cmd::kChart);
  EXPECT_EQ(said, "No hi ha cap puntuació registrada.");
  EXPECT_FALSE(chart);
  EXPECT_FALSE(std::filesystem::exists("Punts.rel"));
}

TEST_F(ManagerWindowTest, AMissingIndexIsOfferedAgainByNouAndObrir) {
  ASSERT_EQ(::unlink("Bases/Arxs.rel"), 0);
  const ShownMessage create{W("No trobat \"Bases\\Arxs.rel\""), "Crear-lo?", kMbYesNo};
  seams_.messages.answers = {kIdNo};
  auto w = Start();
  EXPECT_EQ(seams_.messages.shown, std::vector<ShownMessage>{create});
  EXPECT_FALSE(Enabled(w.get(), cmd::kOpen));
  seams_.messages.answers = {kIdNo};
  w->Command(cmd::kOpen);  // the button still acts: it asks again, and reads nothing
  EXPECT_EQ(seams_.messages.shown.size(), 2u);
  seams_.messages.answers = {kIdYes};
  testing::WhenShown("edtest", [](QWidget* p) { FillParams(p, {W("Química"), "QUIM", "120", "120", "100", "4"}, 1); });
  w->Command(cmd::kNew);
  EXPECT_EQ(seams_.messages.shown.back(), create);
  EXPECT_EQ(w->index().count(), 1);
  EXPECT_EQ(w->current().number, 1);
  EXPECT_EQ(testing::FileBytes("Bases/QUIM.qst"), "");
  EXPECT_TRUE(Enabled(w.get(), cmd::kOpen));
}

TEST_F(ManagerWindowTest, TheParametersWindowSavesOnlyWhatTheFilesCanHold) {
  auto w = Start();
  struct Case {
    const char* what;
    std::function<void(QWidget*)> act;
    uint16_t current_after, count_after;
    std::vector<std::string> captions;  // of the boxes shown
  } cases[] = {
      {"Surt gives the new topic up", [](QWidget* p) { ClickControl(p, 2); }, 0, 2, {}},
      {"so does the title bar", [](QWidget* p) { p->close(); }, 0, 2, {}},
      {"missing data keeps the window",
       [](QWidget* p) {
         FillParams(p, {"", "X", "1", "1", "0", "4"}, 1);
         EXPECT_TRUE(p->isVisible());
         p->close();
       },
       0, 2, {"* dades insuficients *"}},
      {"a length the files cannot hold",
       [](QWidget* p) {
         FillParams(p, {"T", "X", "300", "1", "0", "4"}, 1);
         EXPECT_TRUE(p->isVisible());
         p->close();
       },
       0, 2, {W("* dades no vàlides *")}},
      {"another topic's file", [](QWidget* p) {
         FillParams(p, {"T", "geo", "1", "1", "0", "4"}, 1);
         p->close();
       },
       0, 2, {W("Nom d'arxiu en ús")}},
      {"a new topic", [](QWidget* p) { FillParams(p, {"Nou", "NOU", "50", "40", "0", "2"}, 1); }, 3, 3, {}},
  };
  for (const auto& c : cases) {
    seams_.messages.shown.clear();
    testing::WhenShown("edtest", c.act);
    w->Command(cmd::kNew);
    EXPECT_EQ(w->current().number, c.current_after) << c.what;
    EXPECT_EQ(w->index().count(), c.count_after) << c.what;
    std::vector<std::string> captions;
    for (const auto& m : seams_.messages.shown) captions.push_back(m.caption);
    EXPECT_EQ(captions, c.captions) << c.what;
  }
  // An existing topic: the confirmation first, then the re-layout and its "Nou nom".
  seams_.messages.shown.clear();
  seams_.messages.answers = {kIdYes};
  testing::WhenShown("edtest", [](QWidget* p) {
    EXPECT_EQ(GetItemText(AsWindow(p), 102), "NOU");
    EXPECT_EQ(GetItemText(AsWindow(p), 104), "40");
    FillParams(p, {"Nou", "NOU", "50", "20", "0", "2"}, 1);
  });
  w->Command(cmd::kParameters);
  ASSERT_EQ(seams_.messages.shown.size(), 2u);
  EXPECT_EQ(seams_.messages.shown[0], (ShownMessage{"*confirmar modificacions*", "sortir...\rfent els canvis?",
                                                    kMbYesNoCancel}));
  EXPECT_EQ(seams_.messages.shown[1], (ShownMessage{"Nou nom", "Bases\\NOU.qst", kMbOk}));
  EXPECT_EQ(w->current().entry.layout.answer_length, 20);
}

TEST_F(ManagerWindowTest, TheTopicListRewritesTheIndexOnlyWhenItsOrderChanged) {
  auto w = Start();
  const std::string before = testing::FileBytes("Bases/Arxs.rel");
  Choose(w.get(), 2);
  EXPECT_EQ(testing::FileBytes("Bases/Arxs.rel"), before);
  struct stat unchanged;
  ASSERT_EQ(::stat("Bases/Arxs.rel", &unchanged), 0);
  // Line 2 moved up, then picked: it is topic 1 now.
  std::string caption;
  testing::WhenShown("Llista", [&caption](QWidget* list_window) {
    caption = list_window->windowTitle().toStdString();
    ClickControl(list_window, 9);
    ListSelect(AsWindow(list_window), 101, 2);
    ClickControl(list_window, 10);
    ClickControl(list_window, 1);
  });
  w->Command(cmd::kOpen);
  EXPECT_EQ(caption, "Arxius de qüestions  (total qüestions = 8)");  // a blank, then the suffix
  EXPECT_EQ(w->current().number, 1);
  EXPECT_EQ(w->current().entry.file_name, "GEO");
  EXPECT_EQ(testing::FileBytes("Bases/Arxs.rel"), before.substr(318) + before.substr(0, 318));
}

TEST_F(ManagerWindowTest, ChoosesSeveralTopicsForARandomTest) {
  auto w = Start();
  struct Case {
    std::vector<int> lines;  // picked, from 1; none = "Surt"
    int picked;
    std::vector<uint16_t> draw;
  } cases[] = {{{1, 2}, 2, {1, 2}}, {{2}, 1, {2}}, {{}, 0, {}}};
  for (const auto& c : cases) {
    std::string caption;
    testing::WhenShown("Llista", [&](QWidget* list_window) {
      caption = list_window->windowTitle().toStdString();
      auto* list = qobject_cast<QListWidget*>(AsWindow(list_window)->Control(101));
      for (int line : c.lines) list->item(line - 1)->setSelected(true);
      ClickControl(list_window, c.lines.empty() ? 2 : 1);
    });
    std::vector<uint16_t> draw;
    EXPECT_EQ(w->ChooseTopicsForDraw(&draw), c.picked);
    EXPECT_EQ(draw, c.draw);
    EXPECT_EQ(caption, "Seleccio arxius de qüestions");
    EXPECT_EQ(w->current().number, 0);  // the number never changes
  }
  EXPECT_EQ(w->current().entry.file_name, "GEO");  // the entry of the last one picked
}

TEST_F(ManagerWindowTest, TabMovesThroughTheFieldsAndTheLastOneAsksToSave) {
  auto w = Start();
  seams_.messages.answers = {kIdYes};
  std::vector<int> focus;
  testing::WhenShown("edtest", [&focus](QWidget* p) {
    FillParams(p, {"Tab", "TAB", "10", "10", "0", "2"}, 0);
    for (int id = 101; id <= 105; ++id) {
      AsWindow(p)->Control(id)->setFocus();
      QTest::keyClick(AsWindow(p)->Control(id), Qt::Key_Tab);
      if (id < 105) focus.push_back(AsWindow(p)->Control(id + 1)->hasFocus() ? id + 1 : -1);
    }
  });
  w->Command(cmd::kNew);
  EXPECT_EQ(focus, (std::vector<int>{102, 103, 104, 105}));
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0], (ShownMessage{"Confirmar gravar", W("Gravar paràmetres test?"), kMbYesNo}));
  EXPECT_EQ(w->index().count(), 3);  // saved by the Tab
}

// The current topic is its file: a reorder left with "Surt", or another program, moves its
// number, and the commands still act on it; once it is gone none is current.
TEST_F(ManagerWindowTest, TheCurrentTopicFollowsItsFileWhereverTheIndexMovesIt) {
  auto w = Start();
  Choose(w.get(), 1);  // HISTORIA
  const std::string before = testing::FileBytes("Bases/Arxs.rel");
  testing::WhenShown("Llista", [](QWidget* list_window) {
    ClickControl(list_window, 9);
    ClickControl(list_window, 11);  // line 1 down
    ClickControl(list_window, 2);   // Surt
  });
  w->Command(cmd::kOpen);
  ASSERT_EQ(testing::FileBytes("Bases/Arxs.rel"), before.substr(318) + before.substr(0, 318));
  EXPECT_EQ(w->current().number, 2);
  EXPECT_EQ(w->current().entry.file_name, "HISTORIA");
  seams_.messages.answers = {kIdYes};
  w->Command(cmd::kDelete);
  EXPECT_EQ(seams_.messages.shown.back().text, " Eliminar \"Tema HISTORIA\"?");
  EXPECT_EQ(testing::FileBytes("Bases/Arxs.rel"), before.substr(318));  // GEO stays

  // A line picked after another program reordered the index under the list: the topic it showed.
  {
    TopicIndex other;
    ASSERT_TRUE(other.Open().ok());
    testing::AddTopic(&other, 2, "TERCER", {50, 40, 2, 0}, 1);
  }
  testing::WhenShown("Llista", [](QWidget* list_window) {
    TopicIndex other;
    ASSERT_TRUE(other.Open().ok());
    ASSERT_TRUE(other.Reorder({2, 1}).ok());
    ListSelect(AsWindow(list_window), 101, 1);
    ClickControl(list_window, 1);
  });
  w->Command(cmd::kOpen);
  EXPECT_EQ(w->current().entry.file_name, "GEO");
  EXPECT_EQ(w->current().number, 2);

  // Another program removes the topic that is open: the next command says so, once.
  Choose(w.get(), 2);  // GEO
  seams_.messages.shown.clear();
  {
    TopicIndex other;
    ASSERT_TRUE(other.Open().ok());
    ASSERT_TRUE(other.Delete(2).ok());
  }
  w->Command(cmd::kParameters);
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0].caption, "Tema desaparegut");
  EXPECT_EQ(w->current().number, 0);
  EXPECT_FALSE(Enabled(w.get(), cmd::kParameters));
  EXPECT_EQ(w->index().count(), 1);
}

// Another manager renamed HISTORIA's file and was killed before it wrote the entry: the list ends
// that change before it counts a topic, so no empty HISTORIA.qst is made in place of the bank.
TEST_F(ManagerWindowTest, TheTopicListEndsAChangeAnotherManagerLeftHalfWay) {
  auto w = Start();
  const TopicEntry old_entry = testing::TopicOf("HISTORIA", {50, 40, 2, 0});
  ASSERT_EQ(::rename("Bases/HISTORIA.qst", "Bases/HIST2.qst"), 0);
  testing::PutFile("Bases/Canvi.jnl",
                   EncodeTopicChange({old_entry, testing::TopicOf("HIST2", {50, 40, 2, 0}), false}));
  std::string caption;
  testing::WhenShown("Llista", [&caption](QWidget* list_window) {
    caption = list_window->windowTitle().toStdString();
    ClickControl(list_window, 2);
  });
  w->Command(cmd::kOpen);
  EXPECT_EQ(caption, "Arxius de qüestions  (total qüestions = 8)");
  EXPECT_EQ(testing::ListFolder("Bases"), "Arxs.rel GEO.qst HIST2.qst");
  TopicEntry first;
  ASSERT_TRUE(w->index().Read(1, &first).ok());
  EXPECT_EQ(first.file_name, "HIST2");
}

// A title too long for the topic area is cut at its edge, never drawn over the group box's frame,
// and a shorter title afterwards leaves nothing of it.
TEST_F(ManagerWindowTest, TheTopicAreaCutsALongTitleAndWipesItForAShortOne) {
  {
    TopicIndex index;
    ASSERT_TRUE(index.Open().ok());
    TopicEntry entry;
    ASSERT_TRUE(index.Read(1, &entry).ok());
    entry.title = std::string(100, 'W');
    ASSERT_TRUE(index.Write(1, entry).ok());
  }
  auto w = Start();
  const QImage& image = w->canvas()->image();
  const QRgb background = image.pixel(15, 145);
  // Whether any pixel of columns x0..x1 across the area's lines differs from the background.
  auto inked = [&](int x0, int x1) {
    for (int y = 140; y <= 176; ++y) {
      for (int x = x0; x <= x1; ++x) {
        if (image.pixel(x, y) != background) return true;
      }
    }
    return false;
  };
  Choose(w.get(), 1);
  testing::SaveShot(w.get(), "topic_area_long");
  EXPECT_TRUE(inked(300, 382)) << "the long title reaches the area's edge";
  EXPECT_FALSE(inked(383, 388)) << "and stops there, inside the frame";
  Choose(w.get(), 2);  // "Tema GEO"
  testing::SaveShot(w.get(), "topic_area_short");
  EXPECT_TRUE(inked(20, 60));
  EXPECT_FALSE(inked(150, 388)) << "nothing of the long title is left";
}

TEST_F(ManagerWindowTest, CommandsThatWouldClashWithAnOpenWindowAreRefused) {
  auto w = Start();
  Choose(w.get(), 1);
  std::vector<std::string> captions;
  testing::WhenShown("edtest", [&](QWidget* p) {
    for (int id : {cmd::kNew, cmd::kParameters, cmd::kDelete, cmd::kOpen}) w->Command(id);
    for (const auto& m : seams_.messages.shown) captions.push_back(m.caption);
    ClickControl(p, 2);
  });
  w->Command(cmd::kParameters);
  EXPECT_EQ(captions, std::vector<std::string>(4, "Finestra oberta"));
  EXPECT_EQ(w->index().count(), 2);
  EXPECT_EQ(w->current().number, 1);

  // The question list shows the topic too.
  captions.clear();
  seams_.messages.shown.clear();
  testing::WhenShown("Llista", [&](QWidget* list_window) {
    for (int id : {cmd::kNew, cmd::kParameters, cmd::kDelete}) w->Command(id);
    for (const auto& m : seams_.messages.shown) captions.push_back(m.caption);
    ClickControl(list_window, 2);
  });
  w->Command(cmd::kList);
  EXPECT_EQ(captions, std::vector<std::string>(3, "Finestra oberta"));
  EXPECT_EQ(w->index().count(), 2);

  // A question picked in the list of a topic that another program removed meanwhile opens no
  // editor (it would run its own loop here); the user is told.
  seams_.messages.shown.clear();
  testing::WhenShown("Llista", [](QWidget* list_window) {
    TopicIndex other;
    ASSERT_TRUE(other.Open().ok());
    ASSERT_TRUE(other.Delete(1).ok());
    ListSelect(AsWindow(list_window), 101, 2);
    ClickControl(list_window, 1);
  });
  w->Command(cmd::kList);
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0].caption, "Tema desaparegut");
  EXPECT_EQ(w->current().number, 0);
}

TEST_F(ManagerWindowTest, FewerAlternativesAskBeforeAnswersAreDropped) {
  auto w = Start();
  Choose(w.get(), 2);  // GEO: 3 questions of 4 answers
  const std::string before = testing::FileBytes("Bases/GEO.qst");
  for (int answer : {kIdNo, kIdYes}) {
    seams_.messages.shown.clear();
    seams_.messages.answers = {kIdYes, answer};
    testing::WhenShown("edtest", [](QWidget* p) {
      FillParams(p, {"Tema GEO", "GEO", "120", "120", "100", "3"}, 1);
      if (p->isVisible()) p->close();  // refused: the window stayed
    });
    w->Command(cmd::kParameters);
    ASSERT_EQ(seams_.messages.shown.size(), answer == kIdNo ? 2u : 3u);
    EXPECT_EQ(seams_.messages.shown[1].caption, "Menys alternatives");
    EXPECT_EQ(seams_.messages.shown[1].flags, kMbYesNo | kMbIconExclamation);
    if (answer == kIdNo) {
      EXPECT_EQ(testing::FileBytes("Bases/GEO.qst"), before);
    } else {
      EXPECT_EQ(testing::FileBytes("Bases/GEO.qst").size(), 3u * RecordSizeFor({120, 120, 3, 100}));
    }
  }
}

TEST_F(ManagerWindowTest, DeletesTheTopicOnlyWhenConfirmed) {
  auto w = Start();
  Choose(w.get(), 1);
  const ShownMessage ask{W("* Confirmar eliminació Test *"), " Eliminar \"Tema HISTORIA\"?",
                         kMbYesNo | kMbIconExclamation};
  seams_.messages.answers = {kIdNo};
  w->Command(cmd::kDelete);
  EXPECT_EQ(seams_.messages.shown, std::vector<ShownMessage>{ask});
  EXPECT_EQ(w->index().count(), 2);
  seams_.messages.answers = {kIdYes};
  w->Command(cmd::kDelete);
  EXPECT_EQ(w->index().count(), 1);
  EXPECT_EQ(w->current().number, 0);
  EXPECT_FALSE(Enabled(w.get(), cmd::kDelete));
}

TEST_F(ManagerWindowTest, RunsTheRunnerAndClosesOrSaysItIsMissing) {
  // A quizrun on the PATH, since none sits beside the test program.
  const std::string bin = dir() + "/bin";
  testing::PutFile(bin + "/quizrun", "");
  testing::SetMode(bin + "/quizrun", 0755);
  const std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin + ":" + old_path).c_str(), 1);
  auto w = Start();
  seams_.launch_result = 2;
  w->Command(cmd::kRun);
  EXPECT_EQ(seams_.messages.shown.back(),
            (ShownMessage{"No trobat Quizrun_prv.exe", W("Cal mantenir la disposició de carpetes i arxius original"), kMbOk}));
  EXPECT_TRUE(w->isVisible());
  seams_.launch_result = 33;
  ClickControl(w.get(), cmd::kRun);
  ASSERT_EQ(seams_.launches.size(), 2u);
  EXPECT_EQ(seams_.launches[1].kind, "run");
  EXPECT_EQ(seams_.launches[1].program, bin + "/quizrun");
  EXPECT_TRUE(seams_.launches[1].arguments.empty());
  EXPECT_FALSE(w->isVisible());
  setenv("PATH", old_path.c_str(), 1);
}

TEST_F(ManagerWindowTest, TheExitIconClosesOnlyWhenHit) {
  for (const auto& [x, y, closes] : {std::tuple{11, 210, false}, {12, 243, false}, {12, 210, true}, {44, 242, true}}) {
    auto w = Start();
    QTest::mouseClick(w->canvas(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    EXPECT_EQ(w->isVisible(), !closes) << x << "," << y;
  }
}

TEST_F(ManagerWindowTest, CopyStructureTicksAndANewTopicTakesTheOpenOnesLayout) {
  auto w = Start();
  Choose(w.get(), 1);
  w->Command(cmd::kCopyStructure);
  EXPECT_TRUE(w->copy_structure());
  EXPECT_TRUE(w->action(cmd::kCopyStructure)->isChecked());
  // With the structure copied, a new topic starts with the layout of the one open.
  testing::WhenShown("edtest", [](QWidget* p) {
    EXPECT_EQ(GetItemText(AsWindow(p), 101), "");
    EXPECT_EQ(GetItemText(AsWindow(p), 103), "50");
    EXPECT_EQ(GetItemText(AsWindow(p), 118), "2");
    ClickControl(p, 2);
  });
  w->Command(cmd::kNew);
  EXPECT_EQ(w->current().number, 1);
}

}  // namespace
}  // namespace quiz
