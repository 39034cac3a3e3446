// quizdesk: keeps the banks of questions by topic, edits their parameters and starts the runner.

#include <QApplication>

#include <cstdlib>
#include <ctime>

#include "manager/main_window.h"
#include "toolkit/data_folder.h"
#include "toolkit/gui/application.h"

int main(int argc, char** argv) {
  if (!quiz::EnterDataFolder("quizdesk", argc, argv)) return 1;
  const auto app = quiz::StartApplication("quizdesk", argc, argv);
  if (!app) return 1;
  quiz::ManagerWindow window;  // reads Zive.cf first
  window.Seed(static_cast<uint32_t>(std::clock() ^ std::time(nullptr)));
  window.show();
  window.Initialise();
  return app->exec();
}
