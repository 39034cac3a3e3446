#include "toolkit/gui/about_box.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

#include <set>

#include "tests/support/gui.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

const QColor kYellow(255, 255, 178);

struct Seen {
  QString caption;
  QString button;
  QImage image;
  QSize size;
};

Seen Open(const std::string& description, const std::string& contact) {
  Seen seen;
  testing::WhenShown("FerSobre", [&](QWidget* w) {
    auto* window = static_cast<Window*>(w);
    seen.caption = w->windowTitle();
    seen.button = qobject_cast<QAbstractButton*>(window->Control(1))->text();
    seen.image = window->canvas()->image().copy();
    seen.size = w->size();
    testing::SaveShot(w, "about");
    qobject_cast<QAbstractButton*>(window->Control(1))->click();
  });
  ShowAbout(description, contact);
  return seen;
}

// True when the rectangle holds something other than the background.
bool Drawn(const QImage& image, QRect r) {
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (image.pixelColor(x, y) != kYellow) return true;
    }
  }
  return false;
}

TEST(AboutBox, ShowsTheProgramAndItsTextsInTheirPlaces) {
  const Seen seen = Open(W("Resolució de tests"), "contacte@exemple.cat");
  EXPECT_EQ(seen.caption, "Quant a gui_tests...");
  // What the frame leaves, grown to hold the button at (122, 180) of 70 x 24.
  EXPECT_EQ(seen.size, QSize(296, 204));
  EXPECT_TRUE(Drawn(seen.image, {20, 50, 60, 16}));     // the description
  EXPECT_TRUE(Drawn(seen.image, {66, 130, 60, 16}));    // the credit line
  EXPECT_TRUE(Drawn(seen.image, {66, 150, 60, 16}));    // the contact
  EXPECT_TRUE(Drawn(seen.image, {60, 10, 40, 36}));     // the program's name, large
  EXPECT_TRUE(Drawn(seen.image, {134, 80, 32, 32}));    // the icon
  EXPECT_FALSE(Drawn(seen.image, {5, 115, 50, 10}));

  const Seen no_contact = Open("x", "");
  EXPECT_FALSE(Drawn(no_contact.image, {66, 150, 200, 16}));
}

TEST(AboutBox, TheButtonSaysEveryInterjection) {
  std::set<std::string> said;
  for (int i = 0; i < 120 && said.size() < 7; ++i) said.insert(Open("d", "").button.toStdString());
  std::set<std::string> all;
  for (const char* word : kInterjections) all.insert(word);
  EXPECT_EQ(said, all);
}

}  // namespace
}  // namespace quiz
