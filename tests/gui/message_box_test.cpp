#include "toolkit/gui/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/support/gui.h"
#include "toolkit/cp1252.h"

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

}  // namespace
}  // namespace quiz
