#include "toolkit/gui/icons.h"

#include <QImage>
#include <gtest/gtest.h>

namespace quiz {
namespace {

// The icon is drawn for each size asked for, the same as its pixmap of that size; the desktop is
// offered a title bar's and a task bar's size.
TEST(Icons, AWindowIconIsDrawnAtTheSizeAskedFor) {
  const QIcon icon = ResourceIcon("Ic0");
  EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
  for (const int side : {16, 24, 32, 48}) {
    const QImage drawn = icon.pixmap(QSize(side, side)).toImage();
    EXPECT_EQ(drawn.size(), QSize(side, side)) << side;
    EXPECT_EQ(drawn, IconPixmap("Ic0", side).toImage()) << side;
  }
  // Greyed, it is not the same picture.
  EXPECT_NE(icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage(), IconPixmap("Ic0", 32).toImage());
  // The sheet's paper colour is in the middle of the drawing.
  EXPECT_EQ(icon.pixmap(QSize(32, 32)).toImage().pixelColor(8, 4), QColor(255, 232, 155));
}

}  // namespace
}  // namespace quiz
