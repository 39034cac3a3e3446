#include "toolkit/gui/accessible.h"

#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/gui.h"
#include "toolkit/gui/application.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

// Restores the reader's absence whatever a test does.
struct Listening {
  explicit Listening(std::function<void(QAccessibleEvent*)> listener) { SetAccessibilityListener(std::move(listener)); }
  ~Listening() { SetAccessibilityListener({}); }
};

class AccessibleCanvas : public ::testing::Test {
 protected:
  AccessibleCanvas() : window_("lectura", {0, 0, 416, 240, false, false}, Qt::white) {
    painter_.set_canvas(window_.canvas());
    painter_.SetSize(16, 6);
  }
  // The canvas's children as a reader meets them, each as "role:name" (texts as "text:...").
  std::vector<std::string> Read() { return Read(window_); }
  static std::vector<std::string> Read(Window& window) {
    std::vector<std::string> read;
    QAccessibleInterface* canvas = QAccessible::queryAccessibleInterface(window.canvas());
    for (int i = 0; i < canvas->childCount(); ++i) {
      QAccessibleInterface* child = canvas->child(i);
      EXPECT_EQ(canvas->indexOfChild(child), i);
      EXPECT_EQ(child->parent(), canvas);
      const std::string role = child->role() == QAccessible::StaticText ? "text" : std::to_string(child->role());
      read.push_back(role + ":" + child->text(QAccessible::Name).toStdString());
    }
    return read;
  }

  Window window_;
  TextPainter painter_;
};

TEST_F(AccessibleCanvas, TheTextsDrawnAreReadInReadingOrderAsLongAsTheyAreThere) {
  using Draw = std::function<void(TextPainter&, Canvas*)>;
  struct Case {
    const char* what;
    std::vector<Draw> draws;
    std::vector<std::string> read;
  } cases[] = {
      {"top to bottom, then left to right, whatever the drawing order",
       {[](TextPainter& p, Canvas*) { p.DrawText(200, 40, "dreta"); },
        [](TextPainter& p, Canvas*) { p.DrawText(10, 80, "baix"); },
        [](TextPainter& p, Canvas*) { p.DrawText(10, 40, "esquerra"); }},
       {"text:esquerra", "text:dreta", "text:baix"}},
      {"the spaces around a label are not read",
       {[](TextPainter& p, Canvas*) { p.DrawText(10, 10, "  Hora "); }}, {"text:Hora"}},
      {"a text drawn at the same place replaces the one there",
       {[](TextPainter& p, Canvas*) { p.DrawText(10, 10, "Abans"); },
        [](TextPainter& p, Canvas*) { p.DrawText(10, 10, "Ara"); }},
       {"text:Ara"}},
      {"a text drawn over part of another wipes it",
       {[](TextPainter& p, Canvas*) { p.DrawText(10, 10, "Primer text llarg"); },
        [](TextPainter& p, Canvas*) { p.DrawText(40, 14, "Segon"); }},
       {"text:Segon"}},
      {"spaces drawn over a text leave nothing to read",
       {[](TextPainter& p, Canvas*) { p.DrawText(10, 10, "Estat"); },
        [](TextPainter& p, Canvas*) { p.DrawText(10, 10, "          "); }},
       {}},
      {"a text beside another leaves it",
       {[](TextPainter& p, Canvas*) { p.DrawText(10, 10, "Nom:"); },
        [](TextPainter& p, Canvas*) { p.DrawText(200, 10, ".tgn"); }},
       {"text:Nom:", "text:.tgn"}},
      {"a fill over a text takes it away, one beside it stays",
       {[](TextPainter& p, Canvas*) { p.DrawText(10, 10, "Tema"); },
        [](TextPainter& p, Canvas*) { p.DrawText(10, 100, "Peu"); },
        [](TextPainter&, Canvas* c) { c->ForgetTexts(QRect(0, 0, 400, 50)); }},
       {"text:Peu"}},
      {"a cleared canvas reads nothing",
       {[](TextPainter& p, Canvas*) { p.DrawText(10, 10, "Tema"); }, [](TextPainter&, Canvas* c) { c->Clear(); }}, {}},
      {"raised and lowered characters are read in line, without their marks",
       {[](TextPainter& p, Canvas*) { p.DrawMarkedUpText(10, 10, kAlignLeft, "H_2O i x^2"); },
        [](TextPainter& p, Canvas*) { p.DrawMarkedUpText(300, 60, kAlignRight, "12)"); }},
       {"text:H2O i x2", "text:12)"}},
      {"texts inside an area another item tells about are not kept",
       {[](TextPainter&, Canvas* c) { c->DescribeElsewhere(QRect(100, 0, 200, 200)); },
        [](TextPainter& p, Canvas*) { p.DrawText(120, 20, "a"); },
        [](TextPainter& p, Canvas*) { p.DrawText(10, 20, "fora"); }},
       {"text:fora"}},
  };
  for (const Case& c : cases) {
    Window window("lectura", {0, 0, 416, 240, false, false}, Qt::white);
    TextPainter painter;
    painter.set_canvas(window.canvas());
    painter.SetSize(16, 6);
    for (const Draw& draw : c.draws) draw(painter, window.canvas());
    EXPECT_EQ(Read(window), c.read) << c.what;
  }
}

TEST_F(AccessibleCanvas, AReaderKeepsItsItemWhileTheTextAtItsPlaceChangesAndIsToldWhenItGoes) {
  std::vector<std::string> heard;
  Listening listening([&](QAccessibleEvent* event) {
    heard.push_back(std::to_string(event->type()) + ":" + event->accessibleInterface()->text(QAccessible::Name).toStdString());
  });
  painter_.DrawText(10, 10, "Cap tema");
  EXPECT_TRUE(heard.empty()) << "nothing is told about a text no reader has asked for";
  QAccessibleInterface* canvas = QAccessible::queryAccessibleInterface(window_.canvas());
  ASSERT_EQ(canvas->childCount(), 1);
  QAccessibleInterface* item = canvas->child(0);
  const QAccessible::Id id = QAccessible::uniqueId(item);
  EXPECT_EQ(item->rect().size(), QSize(window_.canvas()->painted_texts()[0].cell.size()));

  painter_.DrawText(10, 10, "Geografia");
  ASSERT_EQ(canvas->childCount(), 1);
  EXPECT_EQ(QAccessible::uniqueId(canvas->child(0)), id);
  EXPECT_EQ(canvas->child(0)->text(QAccessible::Name), "Geografia");
  painter_.DrawText(10, 10, "          ");
  EXPECT_EQ(canvas->childCount(), 0);
  EXPECT_EQ(heard, (std::vector<std::string>{std::to_string(QAccessible::NameChanged) + ":Geografia",
                                             std::to_string(QAccessible::ObjectDestroyed) + ":Geografia"}));
  EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr) << "the item went with its text";
}

TEST_F(AccessibleCanvas, PartsComeAfterTheControlsAndBeforeTheTextsAndAPaintedButtonIsPressed) {
  auto* box = window_.Add(10, new QComboBox, 10, 10, 60, 22);
  auto* line = window_.Add(11, new QLineEdit, 10, 40, 60, 22);
  LabelControl(box, "Penalització");
  LabelControl(line, "Hora final");
  int pressed = 0;
  auto* icon = new AccessiblePart(window_.canvas(), QAccessible::PushButton, QRect(5, 200, 32, 32), [] { return "Sortir"; });
  icon->SetPress([&] { ++pressed; }, "Alt+S");
  new AccessiblePart(window_.canvas(), QAccessible::StaticText, QRect(100, 100, 50, 20), [&] { return QString("%1 vegades").arg(pressed); });
  painter_.DrawText(100, 10, "etiqueta");
  EXPECT_EQ(Read(), (std::vector<std::string>{std::to_string(QAccessible::ComboBox) + ":Penalització", std::to_string(QAccessible::EditableText) + ":Hora final",
                                              std::to_string(QAccessible::PushButton) + ":Sortir", "text:0 vegades", "text:etiqueta"}));
  EXPECT_EQ(box->accessibleDescription(), "Penalització") << "a combo box is named by its value on this desktop";

  QAccessibleInterface* button = testing::FindAccessible(&window_, QAccessible::PushButton, "Sortir");
  ASSERT_NE(button, nullptr);
  QAccessibleActionInterface* actions = button->actionInterface();
  ASSERT_NE(actions, nullptr);
  EXPECT_EQ(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()), QStringList{"Alt+S"});
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(pressed, 1);
  EXPECT_NE(testing::FindAccessible(&window_, QAccessible::StaticText, "1 vegades"), nullptr) << "a part is read when asked";
  EXPECT_EQ(testing::FindAccessible(&window_, QAccessible::StaticText, "0 vegades"), nullptr);
}

// Focus is visible: the button that has the keyboard carries the ring all round, the others none.
TEST(KeyboardFocus, TheButtonThatHasTheKeyboardShowsARing) {
  Window window("focus", {0, 0, 300, 120, false, false}, QColor(128, 128, 255));
  QPushButton* buttons[] = {window.Add(1, new QPushButton("Corregir"), 10, 10, 76, 22),
                            window.Add(2, new QPushButton(">>"), 100, 10, 40, 30)};
  window.show();
  ASSERT_TRUE(testing::WaitActive(&window));
  auto ring = [](QPushButton* button) {
    const QImage image = button->grab().toImage();
    int on_ring = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) on_ring += image.pixelColor(x, y) == kFocusRing;
    }
    return on_ring;
  };
  for (QPushButton* focused : buttons) {
    focused->setFocus(Qt::TabFocusReason);
    for (QPushButton* button : buttons) {
      const int perimeter = 2 * (button->width() + button->height() - 8);
      if (button == focused) {
        EXPECT_GE(ring(button), 2 * perimeter - 16) << button->text().toStdString();
      } else {
        EXPECT_EQ(ring(button), 0) << button->text().toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace quiz
