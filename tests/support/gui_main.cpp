// main() of the window tests: real widgets on Qt's offscreen platform, no display needed. Test
// discovery runs the program outside CTest's environment, so the platform is set here.

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

#include "toolkit/gui/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  quiz::PrepareApplication(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
