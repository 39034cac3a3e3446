#include "manager/editor_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include "manager/main_window.h"
#include "manager/question_editor.h"
#include "tests/support/gui.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"

namespace quiz {
namespace {

namespace ed = editor;
using testing::ShownMessage;

Window* AsWindow(QWidget* w) { return static_cast<Window*>(w); }
void Click(QWidget* w, int id) { qobject_cast<QAbstractButton*>(AsWindow(w)->Control(id))->click(); }
std::string Text(QWidget* w, int id) { return GetItemText(AsWindow(w), id); }
void Type(QWidget* w, int id, const std::string& text) { SetItemText(AsWindow(w), id, text); }

class EditorWindowTest : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    std::filesystem::create_directories("Bases");
  }
  // A topic "T" of `layout` with `questions` questions "Q T n" / "bona T n".
  TopicEntry MakeTopic(Layout layout, int questions) {
    TopicIndex index;
    EXPECT_TRUE(index.Create().ok());
    testing::AddTopic(&index, 1, "T", layout, questions);
    const TopicEntry entry = testing::TopicOf("T", layout);
    EXPECT_TRUE(bank_.Open(entry).ok());
    return entry;
  }
  // Runs the editor at `start` with `step` done inside it; the step closes it.
  void Edit(const TopicEntry& entry, uint32_t start, std::function<void(QWidget*)> step) {
    testing::WhenShown("edqeleccio", std::move(step));
    EditQuestions(&bank_, entry, &record_, &hits_, start);
  }

  QuestionFile bank_;
  Question record_;
  SearchHits hits_;
  testing::Seams seams_;
};

TEST_F(EditorWindowTest, TheWindowFollowsTheTopicsLayout) {
  struct Case {
    Layout layout;
    int height;  // outer height
    int answers_shown;
    bool comment_shown;
  } cases[] = {
      {{120, 120, 4, 100}, 320, 4, true},
      {{120, 120, 3, 100}, 290, 3, true},
      {{50, 40, 2, 0}, 260, 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.height);
    bank_.Close();
    std::filesystem::remove_all("Bases");
    std::filesystem::create_directories("Bases");
    const TopicEntry entry = MakeTopic(c.layout, 2);
    Edit(entry, 1, [&](QWidget* w) {
      EXPECT_EQ(w->objectName(), "edqeleccio");
      EXPECT_EQ(w->windowTitle(), "Edició qüestions Tema T");
      EXPECT_EQ(w->pos(), QPoint(10, 10));
      EXPECT_GE(w->height(), Window::ClientSizeFor({10, 10, 860, c.height}).height());
      EXPECT_EQ(AsWindow(w)->Control(ed::kExit)->geometry(), QRect(620, c.height - 64, 90, 30));
      EXPECT_EQ(AsWindow(w)->Control(ed::kCommentField)->y(), 30 * c.layout.alternatives + 102);
      for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(AsWindow(w)->Control(101 + k)->isVisible(), k <= c.answers_shown) << k;
      }
      EXPECT_EQ(AsWindow(w)->Control(ed::kCommentField)->isVisible(), c.comment_shown);
      EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 1");
      EXPECT_EQ(Text(w, ed::kCorrectField), "bona T 1");
      EXPECT_TRUE(AsWindow(w)->Control(ed::kQuestionField)->hasFocus());
      if (c.height == 320) testing::SaveShot(w, "edqeleccio");
      Click(w, ed::kExit);
    });
    EXPECT_TRUE(seams_.messages.shown.empty());
  }
}

TEST_F(EditorWindowTest, ButtonsMoveSaveAndDeleteThroughTheWindow) {
  const TopicEntry entry = MakeTopic({120, 120, 4, 100}, 5);
  Edit(entry, 1, [&](QWidget* w) {
    Click(w, ed::kLast);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 5");
    Click(w, ed::kPrevious);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 4");
    Type(w, ed::kNumberBox, "2");
    Click(w, ed::kGoToNumber);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 2");
    Type(w, ed::kQuestionField, "Q canviada");
    Type(w, ed::kCommentField, "un comentari");
    Click(w, ed::kAccept);
    Click(w, ed::kNew);
    EXPECT_EQ(Text(w, ed::kQuestionField), "");
    Type(w, ed::kQuestionField, "Q nova");
    Click(w, ed::kAccept);
    seams_.messages.answers = {kIdYes};
    Click(w, ed::kFirst);
    Click(w, ed::kDelete);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q canviada");
    Click(w, ed::kExit);
  });
  EXPECT_EQ(bank_.count(), 5);
  Question q;
  ASSERT_TRUE(bank_.Read(1, &q).ok());
  EXPECT_EQ(q.question, "Q canviada");
  EXPECT_EQ(q.comment, "un comentari");
  ASSERT_TRUE(bank_.Read(5, &q).ok());
  EXPECT_EQ(q.question, "Q nova");
  EXPECT_EQ(seams_.messages.shown.size(), 1u);  // the delete's confirmation only
}

TEST_F(EditorWindowTest, TabMovesThroughTheFieldsAndTheNumberBoxGoesToItsNumber) {
  const TopicEntry entry = MakeTopic({120, 120, 3, 100}, 4);
  Edit(entry, 1, [&](QWidget* w) {
    // Focus moves only within the active window, which a loaded machine makes a moment later.
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    const struct {
      int from, to;
    } moves[] = {{101, 102}, {102, 103}, {103, 104}, {104, 106}};
    for (const auto& m : moves) {
      auto* field = AsWindow(w)->Control(m.from);
      field->setFocus();
      QTest::keyClick(field, Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), AsWindow(w)->Control(m.to)) << m.from;
      EXPECT_EQ(Text(w, m.from).find('\t'), std::string::npos);
    }
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 1");
    auto* number = AsWindow(w)->Control(ed::kNumberBox);
    number->setFocus();
    QTest::keyClicks(number, "3");
    QTest::keyClick(number, Qt::Key_Tab);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 3");
    EXPECT_EQ(Text(w, ed::kNumberBox), "3");
    Click(w, ed::kExit);
  });
  EXPECT_TRUE(seams_.messages.shown.empty());
}

TEST_F(EditorWindowTest, ClosingFromTheTitleBarStillAsksToSave) {
  const TopicEntry entry = MakeTopic({50, 40, 2, 0}, 3);
  seams_.messages.answers = {kIdYes};
  Edit(entry, 2, [&](QWidget* w) {
    Type(w, ed::kCorrectField, "bona i nova");
    w->close();
  });
  EXPECT_EQ(seams_.messages.shown,
            (std::vector<ShownMessage>{{W("questió2 modificada!"), "desar els canvis?", kMbYesNo | kMbIconExclamation}}));
  Question q;
  ASSERT_TRUE(bank_.Read(2, &q).ok());
  EXPECT_EQ(q.answers[0], "bona i nova");
}

// A question changed and not saved is not lost by a search's jump: the leave check comes first.
TEST_F(EditorWindowTest, TheSearchJumpAsksBeforeItLeavesAChangedQuestion) {
  const struct {
    int answer;
    const char* stored;  // question 2 afterwards
    const char* shown;   // the question field after the jump
  } cases[] = {{kIdYes, "canviada", "Q T 11"}, {kIdNo, "Q T 2", "Q T 11"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    std::filesystem::remove_all("Bases");
    std::filesystem::create_directories("Bases");
    const TopicEntry entry = MakeTopic({120, 120, 4, 100}, 12);
    seams_.messages.shown.clear();
    Edit(entry, 2, [&](QWidget* w) {
      Type(w, ed::kQuestionField, "canviada");
      seams_.messages.answers = {c.answer};
      testing::WhenShown("cercar", [](QWidget* s) {
        Type(s, 100, "t 11");
        Click(s, 3);
        Click(s, 1);
      });
      Click(w, ed::kSearch);
      EXPECT_EQ(Text(w, ed::kQuestionField), c.shown);
      Click(w, ed::kExit);
    });
    ASSERT_EQ(seams_.messages.shown.size(), 1u);
    EXPECT_EQ(seams_.messages.shown[0].text, "desar els canvis?");
    Question q;
    ASSERT_TRUE(bank_.Read(2, &q).ok());
    EXPECT_EQ(q.question, c.stored);
  }
}

TEST_F(EditorWindowTest, TheSearchJumpsToItsHitAndShowsItAgainAtTheNextOpening) {
  const TopicEntry entry = MakeTopic({120, 120, 4, 100}, 12);
  Edit(entry, 1, [&](QWidget* w) {
    testing::WhenShown("cercar", [](QWidget* s) {
      EXPECT_EQ(s->windowTitle(), "Cercar cadena...");
      EXPECT_FALSE(AsWindow(s)->Control(1)->isVisible());  // no search yet: no "ves-hi"
      Type(s, 100, "t 1");
      Click(s, 3);
      EXPECT_TRUE(AsWindow(s)->Control(1)->isVisible());
      auto* list = qobject_cast<QListWidget*>(AsWindow(s)->Control(150));
      ASSERT_EQ(list->count(), 4);  // 1, 10, 11, 12
      list->setCurrentRow(2);
      testing::SaveShot(s, "cercar");
      Click(s, 1);
    });
    Click(w, ed::kSearch);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 11");
    // Reopened: the text upper-cased, the hits, the first one selected; "Surt" leaves the editor
    // where it was.
    testing::WhenShown("cercar", [](QWidget* s) {
      EXPECT_EQ(Text(s, 100), "T 1");
      auto* list = qobject_cast<QListWidget*>(AsWindow(s)->Control(150));
      EXPECT_EQ(list->count(), 4);
      EXPECT_EQ(ListSelected(AsWindow(s), 150), 1);
      Click(s, 2);
    });
    Click(w, ed::kSearch);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 11");
    // A double click on a hit goes there too.
    testing::WhenShown("cercar", [](QWidget* s) {
      auto* list = qobject_cast<QListWidget*>(AsWindow(s)->Control(150));
      emit list->itemDoubleClicked(list->item(3));
      list->setCurrentRow(3);
      emit list->itemDoubleClicked(list->item(3));
    });
    Click(w, ed::kSearch);
    EXPECT_EQ(Text(w, ed::kQuestionField), "Q T 12");
    Click(w, ed::kExit);
  });
  EXPECT_EQ(hits_.count, 4u);
}

class ManagerEditorTest : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    testing::MakeSampleData();
    testing::PutFile("Zive.cf", "Info.txt\r\ncontacte\r\n");
  }
  void Choose(ManagerWindow* w, int line) {
    testing::WhenShown("Llista", [line](QWidget* list_window) {
      auto* list = qobject_cast<QListWidget*>(AsWindow(list_window)->Control(101));
      list->item(line - 1)->setSelected(true);
      Click(list_window, 1);
    });
    w->Command(command::kOpen);
  }
  testing::Seams seams_;
};

TEST_F(ManagerEditorTest, EditarOpensAtQuestionOneAndWhatWouldClashIsRefused) {
  ManagerWindow w;
  w.show();
  w.Initialise();
  Choose(&w, 2);
  testing::WhenShown("edqeleccio", [&](QWidget* e) {
    EXPECT_EQ(Text(e, ed::kQuestionField), "Q GEO 1");
    w.Command(command::kOpen);  // does nothing
    EXPECT_TRUE(seams_.messages.shown.empty());
    EXPECT_EQ(testing::VisibleWindow("Llista"), nullptr);
    for (int id : {command::kNew, command::kParameters, command::kDelete}) w.Command(id);
    ASSERT_EQ(seams_.messages.shown.size(), 3u);
    EXPECT_EQ(seams_.messages.shown[0].caption, "Finestra oberta");
    EXPECT_EQ(seams_.messages.shown[0].text, W("Primer cal tancar la finestra de l'editor de qüestions."));
    // A search, kept while the topic stays.
    testing::WhenShown("cercar", [](QWidget* s) {
      Type(s, 100, "geo");
      Click(s, 3);
      Click(s, 2);
    });
    Click(e, ed::kSearch);
    Click(e, ed::kExit);
  });
  w.Command(command::kEdit);
  EXPECT_EQ(w.index().count(), 2);
  // Another topic: the hits of the last one are not offered.
  Choose(&w, 1);
  testing::WhenShown("edqeleccio", [](QWidget* e) {
    testing::WhenShown("cercar", [](QWidget* s) {
      EXPECT_EQ(Text(s, 100), "");
      EXPECT_EQ(qobject_cast<QListWidget*>(AsWindow(s)->Control(150))->count(), 0);
      Click(s, 2);
    });
    Click(e, ed::kSearch);
    EXPECT_EQ(Text(e, ed::kQuestionField), "Q HISTORIA 1");
    Click(e, ed::kExit);
  });
  w.Command(command::kEdit);
}

// Closing the main window with the editor open ends both, after the editor's own leave check: Yes
// saves the typed question, No drops it; a save that fails (another program changed the question
// meanwhile) keeps both windows open.
TEST_F(ManagerEditorTest, ClosingTheMainWindowClosesTheEditorAfterItsLeaveCheck) {
  const struct {
    int answer;
    bool changed_meanwhile;
    bool closed;
    const char* stored;  // question 1 of GEO afterwards
  } cases[] = {{kIdYes, false, true, "canviada"}, {kIdNo, false, true, "Q GEO 1"}, {kIdYes, true, false, "d'un altre"}};
  const TopicEntry geo = testing::TopicOf("GEO", {120, 120, 4, 100});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    testing::WriteFolderState({});
    testing::MakeSampleData();
    testing::PutFile("Zive.cf", "Info.txt\r\ncontacte\r\n");
    ManagerWindow w;
    w.show();
    w.Initialise();
    Choose(&w, 2);
    bool editor_open_after = true;
    testing::WhenShown("edqeleccio", [&](QWidget* e) {
      Type(e, ed::kQuestionField, "canviada");
      if (c.changed_meanwhile) {
        QuestionFile other;
        ASSERT_TRUE(other.Open(geo).ok());
        ASSERT_TRUE(other.Write(Question{"d'un altre", {"a", "b", "c", "d"}, ""}, 1).ok());
      }
      seams_.messages.answers = {c.answer, kIdOk};
      w.close();
      editor_open_after = e->isVisible();
      if (editor_open_after) {
        seams_.messages.answers = {kIdNo};
        Click(e, ed::kExit);
      }
    });
    w.Command(command::kEdit);
    EXPECT_EQ(editor_open_after, !c.closed);
    EXPECT_EQ(w.isVisible(), !c.closed);
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(geo, QuestionFile::Access::kRead).ok());
    Question q;
    ASSERT_TRUE(bank.Read(1, &q).ok());
    EXPECT_EQ(q.question, c.stored);
  }
}

}  // namespace
}  // namespace quiz
