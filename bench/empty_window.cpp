// An empty window started as the three programs start theirs: what their first frames are
// measured next to.

#include <QWidget>

#include "toolkit/gui/application.h"

int main(int argc, char** argv) {
  const auto app = quiz::StartApplication("empty_window", argc, argv);
  if (!app) return 1;
  QWidget window;
  window.setFixedSize(384, 240);
  window.show();
  return app->exec();
}
