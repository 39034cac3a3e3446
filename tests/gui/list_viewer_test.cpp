#include "toolkit/gui/list_viewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/support/gui.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

TextList Lines(std::initializer_list<std::string> lines) {
  TextList list;
  for (const auto& l : lines) TextListAdd(list, l);
  return list;
}

Window* AsWindow(QWidget* w) { return static_cast<Window*>(w); }
QListWidget* ListOf(QWidget* w) { return qobject_cast<QListWidget*>(AsWindow(w)->Control(101)); }
void Click(QWidget* w, int id) { qobject_cast<QAbstractButton*>(AsWindow(w)->Control(id))->click(); }
void ClickLine(QWidget* w, int row, Qt::KeyboardModifiers modifiers) {
  QListWidget* list = ListOf(w);
  const QRect line = list->visualItemRect(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, line.center());
}
std::vector<std::string> Texts(QWidget* w) {
  std::vector<std::string> out;
  for (int i = 0; i < ListOf(w)->count(); ++i) out.push_back(ListOf(w)->item(i)->text().toStdString());
  return out;
}

TEST(ListViewer, SinglePickOpensOnLineOneAndReturnsThePick) {
  struct Case {
    std::function<void(QWidget*)> act;
    int result;
  } cases[] = {
      {[](QWidget* w) { Click(w, 1); }, 1},
      {[](QWidget* w) { Click(w, 2); }, 0},
      {[](QWidget* w) {
         ListOf(w)->item(2)->setSelected(true);  // selecting another line drops the first
         Click(w, 1);
       },
       3},
      // One line stays picked, whatever takes the selection away.
      {[](QWidget* w) {
         ListOf(w)->clearSelection();
         Click(w, 1);
       },
       1},
      {[](QWidget* w) {
         ClickLine(w, 0, Qt::NoModifier);  // the line already picked
         Click(w, 1);
       },
       1},
      {[](QWidget* w) {
         ClickLine(w, 1, Qt::NoModifier);
         ClickLine(w, 1, Qt::ControlModifier);
         Click(w, 1);
       },
       2},
      {[](QWidget* w) { w->close(); }, 0},
  };
  for (const auto& c : cases) {
    QString caption;
    int width = 0;
    bool line_one = false;
    testing::WhenShown("Llista", [&](QWidget* w) {
      caption = w->windowTitle();
      width = AsWindow(w)->outer_width();
      line_one = ListOf(w)->item(0)->isSelected();
      testing::SaveShot(w, "llista");
      EXPECT_FALSE(AsWindow(w)->Control(3)->isVisible());
      EXPECT_FALSE(AsWindow(w)->Control(9)->isVisible());
      c.act(w);
    });
    EXPECT_EQ(ShowList("Tests generats", Lines({"u", "dos", "tres"})), c.result);
    EXPECT_EQ(caption, "Tests generats");
    EXPECT_EQ(width, 320);
    EXPECT_TRUE(line_one);
  }
}

TEST(ListViewer, WidensForLongLinesAndCarriesTheSuffixOnce) {
  struct Case {
    size_t longest;
    int width;
  } cases[] = {{10, 320}, {45, 320}, {60, 415}, {61, 421}, {62, 428}};
  for (const auto& c : cases) {
    EXPECT_EQ(ListWidthFor(c.longest), c.width) << c.longest;
    int width = 0;
    QString caption;
    testing::WhenShown("Llista", [&](QWidget* w) {
      width = AsWindow(w)->outer_width();
      caption = w->windowTitle();
      Click(w, 2);
    });
    SetCaptionSuffix("(3)");
    ShowList(std::string(90, 't'), Lines({"a", std::string(c.longest, 'x')}));
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(caption.toStdString(), std::string(81, 't') + " (3)");
  }
  QString caption;
  testing::WhenShown("Llista", [&](QWidget* w) {
    caption = w->windowTitle();
    Click(w, 2);
  });
  ShowList("Sense", Lines({"a"}));
  EXPECT_EQ(caption, "Sense");
}

TEST(ListViewer, MultiplePickReturnsTheCountAndTheLines) {
  struct Case {
    std::function<void(QWidget*)> act;
    int result;
    std::vector<uint16_t> selection;
  } cases[] = {
      {[](QWidget* w) {
         Click(w, 3);  // "Tot"
         Click(w, 1);
       },
       5, {1, 2, 3, 4, 5}},
      {[](QWidget* w) {
         ListOf(w)->item(4)->setSelected(true);
         ListOf(w)->item(1)->setSelected(true);
         Click(w, 1);
       },
       2, {2, 5}},
      {[](QWidget* w) {
         Click(w, 3);
         Click(w, 4);  // "Res"
         Click(w, 1);
       },
       0, {}},
      {[](QWidget* w) {
         Click(w, 3);
         Click(w, 2);  // "Surt"
       },
       0, {}},
  };
  for (const auto& c : cases) {
    bool nothing_selected = false;
    testing::WhenShown("Llista", [&](QWidget* w) {
      nothing_selected = ListOf(w)->selectedItems().isEmpty();
      EXPECT_TRUE(AsWindow(w)->Control(3)->isVisible());
      c.act(w);
    });
    std::vector<uint16_t> selection = {99};
    EXPECT_EQ(ChooseLines("Tria", Lines({"a", "b", "c", "d", "e"}), &selection), c.result);
    EXPECT_EQ(selection, c.selection);
    EXPECT_TRUE(nothing_selected);
  }
}

TEST(ListViewer, ReorderMovesLinesAndKeepsTheOrderCode) {
  struct Case {
    std::function<void(QWidget*)> act;
    int result;
    std::vector<uint8_t> order;
    std::vector<std::string> texts;
  } cases[] = {
      {[](QWidget* w) { Click(w, 10); }, 1, {1, 2, 3, 4}, {"a", "b", "c", "d"}},  // not ticked
      {[](QWidget* w) {
         qobject_cast<QCheckBox*>(AsWindow(w)->Control(9))->setChecked(true);
         Click(w, 10);  // line 1 up: nothing
       },
       1, {1, 2, 3, 4}, {"a", "b", "c", "d"}},
      {[](QWidget* w) {
         qobject_cast<QCheckBox*>(AsWindow(w)->Control(9))->setChecked(true);
         ListOf(w)->item(1)->setSelected(true);
         Click(w, 10);  // line 2 up
       },
       1, {2, 1, 3, 4}, {"b", "a", "c", "d"}},
      {[](QWidget* w) {
         qobject_cast<QCheckBox*>(AsWindow(w)->Control(9))->setChecked(true);
         Click(w, 11);
         Click(w, 11);
         Click(w, 11);
         Click(w, 11);  // past the end: nothing
       },
       4, {2, 3, 4, 1}, {"b", "c", "d", "a"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> texts;
    testing::WhenShown("Llista", [&](QWidget* w) {
      EXPECT_TRUE(AsWindow(w)->Control(9)->isVisible());
      c.act(w);
      texts = Texts(w);
      Click(w, 1);
    });
    std::vector<uint8_t> order;
    EXPECT_EQ(ReorderLines("Temes", Lines({"a", "b", "c", "d"}), &order), c.result);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(texts, c.texts);
  }
}

// Without a mouse: the arrows move, Space picks in a multiple pick, Enter is "Veure" (or the
// button that has the focus), Escape is "Surt", Ctrl with an arrow moves a line in a reorder.
TEST(ListViewer, EveryChoiceIsMadeWithTheKeyboard) {
  using Step = std::function<void(QWidget*)>;
  auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) -> Step {
    return [=](QWidget*) { QTest::keyClick(QApplication::focusWidget(), key, modifiers); };
  };
  // Tab until control `id` has the focus (the test fails when it never gets it).
  auto tab_to = [](int id, Qt::KeyboardModifiers modifiers = Qt::NoModifier) -> Step {
    return [=](QWidget* w) {
      for (int i = 0; i < 20 && QApplication::focusWidget() != AsWindow(w)->Control(id); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
      }
      EXPECT_EQ(QApplication::focusWidget(), AsWindow(w)->Control(id)) << "Tab never reaches control " << id;
    };
  };
  enum class Kind { kSingle, kMultiple, kReorder };
  struct Case {
    const char* what;
    Kind kind;
    std::vector<Step> steps;
    int result;
    std::vector<uint16_t> selection;
    std::vector<uint8_t> order;
  } cases[] = {
      {"arrows and Enter pick a line", Kind::kSingle, {press(Qt::Key_Down), press(Qt::Key_Down), press(Qt::Key_Up), press(Qt::Key_Return)}, 2, {}, {}},
      {"Escape leaves without a pick", Kind::kSingle, {press(Qt::Key_Down), press(Qt::Key_Escape)}, 0, {}, {}},
      {"Enter on a focused Surt is Surt", Kind::kSingle, {press(Qt::Key_Down), tab_to(2), press(Qt::Key_Return)}, 0, {}, {}},
      {"Space picks lines one by one", Kind::kMultiple,
       {press(Qt::Key_Space), press(Qt::Key_Down), press(Qt::Key_Down), press(Qt::Key_Space), press(Qt::Key_Enter)}, 2, {1, 3}, {}},
      {"Space again drops a line", Kind::kMultiple, {press(Qt::Key_Space), press(Qt::Key_Space), press(Qt::Key_Return)}, 0, {}, {}},
      {"before reordering is ticked, Ctrl and an arrow move the pick, not the line", Kind::kReorder,
       {press(Qt::Key_Down, Qt::ControlModifier), press(Qt::Key_Return)}, 2, {}, {1, 2, 3, 4}},
      {"a line moves with Ctrl and the arrows once reordering is ticked", Kind::kReorder,
       {press(Qt::Key_Down), tab_to(9), press(Qt::Key_Space), tab_to(101, Qt::ShiftModifier),
        press(Qt::Key_Down, Qt::ControlModifier), press(Qt::Key_Up, Qt::ControlModifier), press(Qt::Key_Up, Qt::ControlModifier),
        press(Qt::Key_Up, Qt::ControlModifier), press(Qt::Key_Return)},
       1, {}, {2, 1, 3, 4}},
  };
  for (const Case& c : cases) {
    testing::WhenShown("Llista", [&](QWidget* w) {
      EXPECT_EQ(QApplication::focusWidget(), ListOf(w)) << c.what << ": the list takes the keyboard first";
      for (const Step& step : c.steps) step(w);
    });
    std::vector<uint16_t> selection;
    std::vector<uint8_t> order;
    const TextList lines = Lines({"a", "b", "c", "d"});
    const int result = c.kind == Kind::kSingle     ? ShowList("Temes", lines)
                       : c.kind == Kind::kMultiple ? ChooseLines("Temes", lines, &selection)
                                                   : ReorderLines("Temes", lines, &order);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(selection, c.selection) << c.what;
    if (c.kind == Kind::kReorder) {
      EXPECT_EQ(order, c.order) << c.what;
    }
  }
}

TEST(ListViewer, AReorderOfMoreThan255LinesIsRefused) {
  testing::Seams seams;
  TextList lines;
  for (int i = 1; i <= 300; ++i) TextListAdd(lines, std::to_string(i));
  bool enabled = true;
  testing::WhenShown("Llista", [&](QWidget* w) {
    qobject_cast<QCheckBox*>(AsWindow(w)->Control(9))->setChecked(true);
    enabled = AsWindow(w)->Control(10)->isEnabled() || AsWindow(w)->Control(11)->isEnabled();
    Click(w, 2);
  });
  std::vector<uint8_t> order;
  EXPECT_EQ(ReorderLines("Temes", lines, &order), 0);
  EXPECT_FALSE(enabled);
  ASSERT_EQ(seams.messages.shown.size(), 1u);
  EXPECT_NE(seams.messages.shown[0].text.find("255"), std::string::npos);
  EXPECT_EQ(order.size(), 255u);
}

}  // namespace
}  // namespace quiz
