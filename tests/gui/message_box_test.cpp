#include "toolkit/gui/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/support/gui.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

using testing::ShownMessage;

TEST(MessageBoxes, CaptionFirstAndTheFlagsOfEachRoutine) {
  testing::Seams seams;
  struct Case {
    std::function<int()> call;
    uint32_t flags;
  } cases[] = {
      {[] { return MsgBox("c", "t"); }, kMbOk},
      {[] { return MsgBoxFlags("c", "t", kMbIconExclamation); }, kMbOk | kMbIconExclamation},
      {[] { return AskYesNo("c", "t"); }, kMbYesNo},
      {[] { return AskYesNoFlags("c", "t", kMbIconQuestion); }, kMbYesNo | kMbIconQuestion},
      {[] { return AskYesNoCancel("c", "t"); }, kMbYesNoCancel},
      {[] { return AskYesNoCancelFlags("c", "t", kMbIconInformation); }, kMbYesNoCancel | kMbIconInformation},
  };
  for (const auto& c : cases) {
    seams.messages.shown.clear();
    seams.messages.answers = {kIdNo};
    EXPECT_EQ(c.call(), kIdNo);
    EXPECT_EQ(seams.messages.shown, (std::vector<ShownMessage>{{"c", "t", c.flags}}));
  }
  MsgBox(std::string(300, 'c'), std::string(300, 't'));
  EXPECT_EQ(seams.messages.shown.back().caption.size(), 255u);
  EXPECT_EQ(seams.messages.shown.back().text.size(), 255u);
}

// A real box: its title, text, icon and Catalan buttons, answered by clicking.
TEST(MessageBoxes, ARealBoxShowsItsCaptionAndReturnsTheButton) {
  struct Case {
    uint32_t flags;
    QMessageBox::StandardButton click;
    int result;
    QMessageBox::Icon icon;
    QString yes_text;
  } cases[] = {
      {kMbYesNoCancel | kMbIconInformation, QMessageBox::Yes, kIdYes, QMessageBox::Information, "&Sí"},
      {kMbYesNo | kMbIconQuestion, QMessageBox::No, kIdNo, QMessageBox::Question, "&Sí"},
      {kMbYesNoCancel, QMessageBox::Cancel, kIdCancel, QMessageBox::NoIcon, "&Sí"},
      {kMbOk | kMbIconStop, QMessageBox::Ok, kIdOk, QMessageBox::Critical, ""},
  };
  for (const auto& c : cases) {
    QString title, text, yes;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(20, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      if (QAbstractButton* b = box->button(QMessageBox::Yes)) yes = b->text();
      box->button(c.click)->click();
    });
    EXPECT_EQ(ShowMessageBox(W("Resultat Història"), W("Registrar puntuació?"), c.flags), c.result);
    EXPECT_EQ(title, QString::fromUtf8("Resultat Història"));
    EXPECT_EQ(text, QString::fromUtf8("Registrar puntuació?"));
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(yes, c.yes_text);
  }
}

// Without a mouse: Yes and No answer to Alt and their access keys, Cancel to Escape, OK to Enter.
TEST(MessageBoxes, EveryButtonAnswersToTheKeyboard) {
  struct Case {
    uint32_t flags;
    QMessageBox::StandardButton button;  // the one whose access key is pressed (NoButton: `key`)
    Qt::Key key;
    int result;
  } cases[] = {
      {kMbYesNoCancel, QMessageBox::Yes, Qt::Key_unknown, kIdYes},
      {kMbYesNoCancel, QMessageBox::No, Qt::Key_unknown, kIdNo},
      {kMbYesNoCancel, QMessageBox::NoButton, Qt::Key_Escape, kIdCancel},
      {kMbYesNo, QMessageBox::No, Qt::Key_unknown, kIdNo},
      {kMbYesNo, QMessageBox::Yes, Qt::Key_unknown, kIdYes},
      {kMbOk, QMessageBox::NoButton, Qt::Key_Return, kIdOk},
  };
  for (const auto& c : cases) {
    QString keys;
    QTimer::singleShot(20, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      if (c.button == QMessageBox::NoButton) {
        QTest::keyClick(box, c.key);
        return;
      }
      const QKeySequence mnemonic = QKeySequence::mnemonic(box->button(c.button)->text());
      keys = mnemonic.toString();
      if (mnemonic.isEmpty()) {
        box->reject();
        return;
      }
      QTest::keyClick(box, mnemonic[0].key(), mnemonic[0].keyboardModifiers());
    });
    EXPECT_EQ(ShowMessageBox("Pregunta", "Segur?", c.flags), c.result) << c.flags << " " << c.button << " " << keys.toStdString();
  }
}

// Whatever window is active when a box comes (none at all, between two windows), the box is
// shown over the window the person works in: the one whose loop started last, else the main one.
TEST(MessageBoxes, ABoxBelongsToTheWindowThatAsksEvenWithNoActiveWindow) {
  Window main_window("WindowsApp", {0, 0, 300, 200}, Qt::white);
  Window first("edtest", {20, 20, 200, 150}, Qt::white);
  Window second("cercar", {40, 40, 200, 150}, Qt::white);
  QWidget stranger;
  main_window.show();
  ASSERT_TRUE(testing::WaitActive(&main_window));

  struct Seen {
    QWidget* owner_active = nullptr;   // MessageOwner() with the window active
    QWidget* owner_none = nullptr;     // MessageOwner() with no active window
    QWidget* box_parent = nullptr;     // a real box's parent with no active window
  };
  // What a box asked from here would belong to, and a real box's owner.
  const auto look = [] {
    Seen seen;
    seen.owner_active = MessageOwner();
    QApplication::setActiveWindow(nullptr);
    seen.owner_none = MessageOwner();
    QTimer::singleShot(0, [&seen] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seen.box_parent = box->parentWidget();
      box->button(QMessageBox::Ok)->click();
    });
    QApplication::setActiveWindow(nullptr);
    MsgBox("c", "t");
    return seen;
  };

  const Seen from_main = look();
  EXPECT_EQ(from_main.owner_active, &main_window);
  EXPECT_EQ(from_main.owner_none, &main_window);
  EXPECT_EQ(from_main.box_parent, &main_window);

  // Two secondary windows open, one from the other: the box goes over the latest.
  Seen from_second, from_first_again;
  testing::WhenShown("edtest", [&](QWidget*) {
    testing::WhenShown("cercar", [&](QWidget*) {
      from_second = look();
      second.Finish(0);
    });
    second.RunLoop();
    ASSERT_TRUE(testing::WaitActive(&first));
    from_first_again = look();
    first.Finish(0);
  });
  first.RunLoop();
  EXPECT_EQ(from_second.owner_none, &second);
  EXPECT_EQ(from_second.box_parent, &second);
  EXPECT_EQ(from_first_again.owner_none, &first);
  EXPECT_EQ(from_first_again.box_parent, &first);

  // A window that is active and not ours still owns what it asks.
  stranger.show();
  ASSERT_TRUE(testing::WaitActive(&stranger));
  EXPECT_EQ(MessageOwner(), &stranger);
}

}  // namespace
}  // namespace quiz
