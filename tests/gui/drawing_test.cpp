#include "toolkit/gui/drawing.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quiz {
namespace {

const QColor kPaper(255, 232, 155);
const QColor kCell(0, 0, 255);

class Drawing : public ::testing::Test {
 protected:
  Drawing() : window_("dibuix", {0, 0, 416, 240, false, false}, kPaper) {
    painter_.set_canvas(window_.canvas());
    painter_.SetSize(16, 6);
    painter_.SetBackgroundColour(kCell);
    painter_.SetTextColour(Qt::white);
  }

  const QImage& image() { return window_.canvas()->image(); }
  bool IsCell(int x, int y) { return image().pixelColor(x, y) == kCell; }
  // The rows of column x covered by the opaque cell.
  std::pair<int, int> CellRows(int x) {
    int top = -1, bottom = -1;
    for (int y = 0; y < image().height(); ++y) {
      if (IsCell(x, y)) {
        if (top < 0) top = y;
        bottom = y;
      }
    }
    return {top, bottom};
  }
  // The columns of row y covered by the cell.
  std::pair<int, int> CellColumns(int y) {
    int left = -1, right = -1;
    for (int x = 0; x < image().width(); ++x) {
      if (IsCell(x, y)) {
        if (left < 0) left = x;
        right = x;
      }
    }
    return {left, right};
  }

  Window window_;
  TextPainter painter_;
};

TEST_F(Drawing, AnOpaqueCellWipesWhatWasUnderIt) {
  painter_.SetBackgroundColour(Qt::red);
  painter_.DrawText(20, 30, "WWWWWWWW");
  painter_.SetBackgroundColour(kCell);
  const int end = painter_.DrawText(20, 30, "        ");
  for (int x = 20; x < end; ++x) {
    for (int y = 30; y < 46; ++y) ASSERT_TRUE(IsCell(x, y)) << x << "," << y;
  }
  EXPECT_EQ(CellRows(25), std::make_pair(30, 45));  // the cell is the font's 16 pixels
  EXPECT_NE(image().pixelColor(20, 29), kCell);
}

// The application font draws in a cell of its own height, with the text in it.
TEST_F(Drawing, TheApplicationFontDrawsInACellOfItsHeight) {
  painter_.description() = FontDescription{0, 0, 400, false, ""};
  painter_.RebuildFont();
  const int end = painter_.DrawText(20, 30, "Tema");
  EXPECT_GT(end, 20 + 4 * 4);
  EXPECT_EQ(CellRows(21), std::make_pair(30, 30 + QFontMetrics(QGuiApplication::font()).height() - 1));
  int text_pixels = 0;  // glyphs' pixels, antialiased: anything but the cell's colour
  for (int x = 20; x < end; ++x) {
    for (int y = 30; y < 46; ++y) text_pixels += !IsCell(x, y);
  }
  EXPECT_GT(text_pixels, 20);
}

TEST_F(Drawing, TheWidthOfTheDescriptionIsTheAverageCharacter) {
  const int end = painter_.DrawText(0, 0, "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz");
  // 52 characters of 6 pixels on average, as the description asks.
  EXPECT_NEAR(end, 52 * 6, 52 * 6 / 5);
}

TEST_F(Drawing, RaisedAndLoweredCharactersAreThreeQuartersAndLowerBy8) {
  struct Case {
    const char* text;
    int top, bottom;  // rows of the small character's cell
  } cases[] = {
      {"^8", 50, 61},   // 16 x 6 becomes 12 x 4, at the same top
      {"8^", 50, 61},
      {"_8", 58, 69},   // 8 pixels lower
      {"8_", 58, 69},
  };
  for (const auto& c : cases) {
    window_.canvas()->Clear();
    painter_.DrawMarkedUpText(100, 50, kAlignLeft, c.text);
    const auto [top, bottom] = CellRows(101);
    EXPECT_EQ(top, c.top) << c.text;
    EXPECT_EQ(bottom, c.bottom) << c.text;
  }
  // Three quarters of the width too: a small 8 is narrower than a normal one.
  window_.canvas()->Clear();
  const int normal = painter_.DrawText(0, 0, "88888888");
  window_.canvas()->Clear();
  painter_.DrawMarkedUpText(0, 0, kAlignLeft, "^8^8^8^8^8^8^8^8");
  const int small = CellColumns(2).second + 1;
  EXPECT_NEAR(small, normal * 3 / 4, normal / 10);
  // The font is the normal one again afterwards.
  EXPECT_EQ(painter_.description().height, 16);
  EXPECT_EQ(painter_.description().width, 6);
}

TEST_F(Drawing, MarkedUpTextFollowsTheSwapRule) {
  // The cells from left to right, each as its top and bottom rows.
  auto cells = [&] {
    std::vector<std::pair<int, int>> seen;
    for (int x = 0; x < image().width(); ++x) {
      const auto rows = CellRows(x);
      if (rows.first >= 0 && (seen.empty() || seen.back() != rows)) seen.push_back(rows);
    }
    return seen;
  };
  const std::pair<int, int> line{100, 115}, low{108, 119}, high{100, 111};
  struct Case {
    const char* text;
    std::vector<std::pair<int, int>> cells;
  } cases[] = {
      {"H2_O", {line, low, line}},
      {"H_2O", {low, line}},  // the mark after H lowers H
      {"x2^", {line, high}},
      {"x^2", {high, line}},  // the mark after x raises x
      {"x^", {high}},
      {"^", {}},              // a mark alone draws nothing
  };
  for (const auto& c : cases) {
    window_.canvas()->Clear();
    painter_.DrawMarkedUpText(10, 100, kAlignLeft, c.text);
    EXPECT_EQ(cells(), c.cells) << c.text;
  }
}

TEST_F(Drawing, RightAlignedMarkedUpTextEndsAtX) {
  painter_.DrawMarkedUpText(300, 20, kAlignRight, "12^34");
  const auto [left, right] = CellColumns(22);
  EXPECT_EQ(right, 299);  // the last character ends right before x
  EXPECT_LT(left, 300 - 3 * 6);
  window_.canvas()->Clear();
  painter_.DrawMarkedUpText(300, 20, kAlignLeft, "12^34");
  EXPECT_EQ(CellColumns(22).first, 300);
}

TEST(Fonts, FacesResolveToInstalledFonts) {
  struct Case {
    const char* face;
    QString family;
  } cases[] = {{"arial", "Liberation Sans"}, {"tahoma", "Tahoma"}, {"Comic sans ms", "Comic Neue"}};
  for (const auto& c : cases) {
    FontDescription d;
    d.face = c.face;
    EXPECT_EQ(QFontInfo(MakeFont(d)).family(), c.family) << c.face;
  }
}

// Height 0 and no face are the application font's; a face keeps its own family at that size.
TEST(Fonts, MissingSizeAndFaceComeFromTheApplicationFont) {
  const QFont application = QGuiApplication::font();
  ASSERT_GT(application.pixelSize(), 0);
  struct Case {
    int weight;
    const char* face;
    QString family;
    bool bold;
  } cases[] = {
      {400, "", QFontInfo(application).family(), false},
      {700, "", QFontInfo(application).family(), true},
      {400, "tahoma", "Tahoma", false},
  };
  for (const auto& c : cases) {
    FontDescription description;
    description.height = 0;
    description.width = 0;
    description.weight = c.weight;
    description.face = c.face;
    const QFont font = MakeFont(description);
    EXPECT_EQ(QFontInfo(font).family(), c.family) << c.face;
    EXPECT_EQ(font.pixelSize(), application.pixelSize()) << c.face;
    EXPECT_EQ(font.bold(), c.bold) << c.face;
  }
  // With no face and no weight change it is the very font the controls use.
  EXPECT_EQ(MakeFont({0, 0, 400, false, ""}), application);
}

// The size and stretch of a described font are those found by asking the font system for the
// face at each size it tries: the cell at the described height, then the average width at the
// size that fits the cell.
TEST(Fonts, SizeAndStretchAreThoseEachSizeMeasuresToo) {
  auto measured = [](const FontDescription& d) {
    QFont font(MakeFont({d.height, 0, d.weight, d.italic, d.face}).family());
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(d.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(d.italic);
    font.setPixelSize(d.height);
    const int cell = QFontMetrics(font).height();
    if (cell > d.height) font.setPixelSize(std::max(1, static_cast<int>(std::lround(1.0 * d.height * d.height / cell))));
    const int natural = QFontMetrics(font).averageCharWidth();
    return std::pair(font.pixelSize(), std::clamp(static_cast<int>(std::lround(100.0 * d.width / natural)), 1, 4000));
  };
  int compared = 0;
  for (const char* face : {"arial", "tahoma", "Comic sans ms"}) {
    for (const int weight : {400, 700}) {
      for (const bool italic : {false, true}) {
        for (int height = 5; height <= 60; height += (height < 24 ? 1 : 7)) {
          const FontDescription d{height, height / 2, weight, italic, face};
          const QFont font = MakeFont(d);
          const auto [size, stretch] = measured(d);
          EXPECT_EQ(font.pixelSize(), size) << face << " " << weight << " " << italic << " " << height;
          EXPECT_EQ(font.stretch(), stretch) << face << " " << weight << " " << italic << " " << height;
          ++compared;
        }
      }
    }
  }
  EXPECT_EQ(compared, 3 * 2 * 2 * 25);
}

}  // namespace
}  // namespace quiz
