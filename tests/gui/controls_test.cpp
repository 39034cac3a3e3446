#include "toolkit/gui/controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <qdrawutil.h>
#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "toolkit/cp1252.h"
#include "toolkit/gui/application.h"
#include "toolkit/gui/qt_text.h"

namespace quiz {
namespace {

class Controls : public ::testing::Test {
 protected:
  Controls() : window_("prova", {10, 10, 400, 300, false, false}, Qt::white) {
    window_.Add(1, new QListWidget, 0, 0, 100, 100);
    window_.Add(2, new QComboBox, 0, 110, 100, 20);
    window_.Add(3, new QLineEdit, 0, 140, 100, 20);
    window_.Add(4, new QLabel, 0, 170, 100, 20);
  }
  Window window_;
};

TEST_F(Controls, ListsCountFromOneAndZeroIsNone) {
  for (const char* s : {"u", "dos", "tres"}) ListAdd(&window_, 1, s);
  EXPECT_EQ(ListCount(&window_, 1), 3);
  EXPECT_EQ(ListSelected(&window_, 1), 0);
  EXPECT_EQ(ListSelectedItem(&window_, 1), "");
  ListSelect(&window_, 1, 2);
  EXPECT_EQ(ListSelected(&window_, 1), 2);
  EXPECT_EQ(ListSelectedItem(&window_, 1), "dos");
  ListSelect(&window_, 1, 0);
  EXPECT_EQ(ListSelected(&window_, 1), 0);

  struct Case {
    int i;
    const char* text;
    std::vector<std::string> after;
  } cases[] = {
      {1, "U", {"U", "dos", "tres"}},
      {3, "TRES", {"U", "dos", "TRES"}},
      {4, "quatre", {"U", "dos", "TRES", "quatre"}},  // count + 1 appends
      {9, "cinc", {"U", "dos", "TRES", "quatre", "cinc"}},
  };
  for (const auto& c : cases) {
    ListReplace(&window_, 1, c.i, c.text);
    std::vector<std::string> items;
    for (int k = 1; k <= ListCount(&window_, 1); ++k) items.push_back(ListItem(&window_, 1, k));
    EXPECT_EQ(items, c.after) << c.i;
  }
  EXPECT_EQ(ListItem(&window_, 1, 0), "");
  EXPECT_EQ(ListItem(&window_, 1, 6), "");
  ListClear(&window_, 1);
  EXPECT_EQ(ListCount(&window_, 1), 0);
}

TEST_F(Controls, TextsAreWindows1252AndCutTo255) {
  const std::string accented = W("Què és açò? Ü €");
  SetItemText(&window_, 3, accented);
  EXPECT_EQ(qobject_cast<QLineEdit*>(GetItem(&window_, 3))->text(), QString::fromUtf8("Què és açò? Ü €"));
  EXPECT_EQ(GetItemText(&window_, 3), accented);

  // A character Windows-1252 lacks comes back as '?'.
  qobject_cast<QLineEdit*>(GetItem(&window_, 3))->setText(QString::fromUtf8("a→b"));
  EXPECT_EQ(GetItemText(&window_, 3), "a?b");

  const std::string long_text(300, 'x');
  for (int id : {3, 4}) {
    SetItemText(&window_, id, long_text);
    EXPECT_EQ(GetItemText(&window_, id), std::string(255, 'x')) << id;
  }
  ListAdd(&window_, 1, long_text);
  EXPECT_EQ(ListItem(&window_, 1, 1).size(), 255u);

  SetItemText(&window_, 4, "abc");
  AppendWinText(GetItem(&window_, 4), "def");
  EXPECT_EQ(GetItemText(&window_, 4), "abcdef");
  SetWinText(&window_, W("Títol"));
  EXPECT_EQ(window_.windowTitle(), QString::fromUtf8("Títol"));
}

TEST_F(Controls, NumbersTypedInAControl) {
  struct Case {
    const char* text;
    int32_t value;
    bool error;
  } cases[] = {{"42", 42, false}, {"  -7 ", -7, false}, {"", 0, false}, {"   ", 0, false},
               {"4x", 0, true},   {"x", 0, true},       {"1 2", 0, true}};
  for (const auto& c : cases) {
    SetItemText(&window_, 3, c.text);
    bool error = !c.error;
    EXPECT_EQ(GetItemInt(&window_, 3, &error), c.value) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST_F(Controls, ComboFillAddsTheNonEmptyPieces) {
  struct Case {
    const char* text;
    QStringList items;
  } cases[] = {{"4;3;2", {"4", "3", "2"}}, {";;x;", {"x"}}, {"", {}}, {"30;15;60", {"30", "15", "60"}}};
  auto* combo = qobject_cast<QComboBox*>(GetItem(&window_, 2));
  for (const auto& c : cases) {
    combo->clear();
    ComboFill(&window_, 2, c.text);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    EXPECT_EQ(items, c.items) << c.text;
  }
  ComboSelect(&window_, 2, 2);
  EXPECT_EQ(combo->currentText(), "15");
}

// Typed text stays as typed (Qt alone would make "1" into "1/4"), Enter adds nothing to the list,
// and the list still opens.
TEST_F(Controls, AnEditableBoxKeepsWhatIsTyped) {
  auto* combo = qobject_cast<QComboBox*>(GetItem(&window_, 2));
  MakeEditable(combo);
  ComboFill(&window_, 2, "1/4;1/2;1;0");
  ComboSelect(&window_, 2, 2);
  window_.show();
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  combo->setFocus();
  struct Case {
    const char* typed;
    const char* text;
  } cases[] = {{"1", "1"}, {"0", "0"}, {"1/", "1/"}, {"3", "3"}, {"1/4", "1/4"}};
  for (const auto& c : cases) {
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), c.typed);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(GetItemText(&window_, 2), c.text) << c.typed;
    EXPECT_EQ(combo->count(), 4) << c.typed;
  }
  combo->showPopup();
  EXPECT_TRUE(combo->view()->isVisible());
  combo->hidePopup();
}

TEST_F(Controls, ShowAndHide) {
  window_.show();
  HideItem(&window_, 4);
  EXPECT_FALSE(GetItem(&window_, 4)->isVisible());
  ShowItem(&window_, 4);
  EXPECT_TRUE(GetItem(&window_, 4)->isVisible());
  EXPECT_EQ(GetItem(&window_, 99), nullptr);
  HideItem(&window_, 99);  // an unknown number does nothing
}

TEST(WindowGeometry, ClientAreaIsWhatTheFrameLeaves) {
  Window plain("a", {400, 100, 400, 220, false, false}, Qt::white);
  EXPECT_EQ(plain.size(), QSize(384, 180));
  EXPECT_EQ(plain.objectName(), "a");
  EXPECT_EQ(plain.canvas()->image().size(), QSize(384, 180));
  EXPECT_EQ(plain.outer_width(), 400);
}

// The frame drawn in shades must look as the style's own image of it, stretched as the style
// stretches it, whatever the size and the colour under it.
TEST(GroupFrame, LooksAsTheStylesImage) {
  const QPixmap image(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
  ASSERT_FALSE(image.isNull());
  for (const QSize size : {QSize(230, 62), QSize(98, 38), QSize(14, 14), QSize(500, 300)}) {
    for (const QColor under : {QColor(128, 128, 255), QColor(Qt::white), QColor(Qt::black)}) {
      QImage drawn(size, QImage::Format_RGB32), expected(size, QImage::Format_RGB32);
      drawn.fill(under);
      expected.fill(under);
      {
        QPainter painter(&drawn);
        DrawGroupFrame(&painter, drawn.rect());
      }
      {
        QPainter painter(&expected);
        qDrawBorderPixmap(&painter, expected.rect(), QMargins(6, 6, 6, 6), image);
      }
      int worst = 0;
      QPoint where;
      for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
          const QRgb a = drawn.pixel(x, y), b = expected.pixel(x, y);
          const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
          if (d > worst) worst = d, where = QPoint(x, y);
        }
      }
      // The corners' few shades are one shade here: a difference of a few levels, no more.
      EXPECT_LE(worst, 8) << size.width() << "x" << size.height() << " on " << under.name().toStdString() << " at "
                          << where.x() << "," << where.y();
    }
  }
}

// What a field shows is what its file will hold: a character outside Windows-1252 is refused
// where it comes in (a key, a paste), with a tip naming it; the rest of Windows-1252 goes in.
TEST_F(Controls, AFieldTakesOnlyWhatWindows1252Holds) {
  auto* combo = qobject_cast<QComboBox*>(GetItem(&window_, 2));
  MakeEditable(combo);
  window_.show();
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  enum How { kTyped, kPasted };
  struct Case {
    How how;
    const char* in;     // UTF-8
    const char* after;  // the field's text after it, from "ab"
    const char* tip;    // the characters the tip names, or "" for no tip
  } cases[] = {
      {kTyped, "€", "ab€", ""},
      {kTyped, "·", "ab·", ""},
      {kTyped, "Ÿ", "abŸ", ""},
      {kTyped, "?", "ab?", ""},
      {kTyped, "α", "ab", "«α»"},
      {kTyped, "→", "ab", "«→»"},
      {kTyped, "😀", "ab", "«😀»"},
      {kPasted, " l·l œ € ñ", "ab l·l œ € ñ", ""},
      {kPasted, " 5 € → 6 € → 7", "ab", "«→»"},
      {kPasted, "ω α ω", "ab", "«ω», «α»"},
      {kPasted, "e\xCC\x81", "ab", "«\xCC\x81»"},  // e and a combining accent
  };
  for (QLineEdit* line : {qobject_cast<QLineEdit*>(GetItem(&window_, 3)), combo->lineEdit()}) {
    for (const auto& c : cases) {
      line->setText("ab");
      line->setFocus();
      line->end(false);
      if (c.how == kTyped) {
        QTest::sendKeyEvent(QTest::Press, line, Qt::Key_unknown, QString::fromUtf8(c.in), Qt::NoModifier);
      } else {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.in));
        line->paste();
      }
      if (c.how == kTyped) QTest::sendKeyEvent(QTest::Release, line, Qt::Key_unknown, "", Qt::NoModifier);
      EXPECT_EQ(line->text(), QString::fromUtf8(c.after)) << c.in;
      // The tip stays after the key's release; an accepted edit takes it away.
      const auto* tip = window_.findChild<QLabel*>(kRefusedTipName);
      if (*c.tip == '\0') {
        EXPECT_TRUE(tip == nullptr || !tip->isVisible()) << c.in;
      } else {
        ASSERT_NE(tip, nullptr) << c.in;
        EXPECT_TRUE(tip->isVisible()) << c.in;
        EXPECT_EQ(tip->text(), RefusedCharactersTip(NotStorable(QString::fromUtf8(c.tip)))) << c.in;
        EXPECT_TRUE(tip->text().contains(QString::fromUtf8(c.tip))) << c.in;
        EXPECT_TRUE(window_.rect().contains(tip->geometry())) << c.in;
      }
    }
  }
  // What the core reads back is the text as shown, byte for byte.
  SetItemText(&window_, 3, W("ab€"));
  EXPECT_EQ(GetItemText(&window_, 3), W("ab€"));
}

}  // namespace
}  // namespace quiz
