// quizdesk: keeps the banks of questions by topic, edits their parameters and starts the runner.

#include <QApplication>

#include "manager/main_window.h"
#include "toolkit/data_folder.h"
#include "toolkit/gui/application.h"
#include "toolkit/program_start.h"

namespace {

constexpr char kUsage[] =
    "Ús: quizdesk [--data CARPETA | --user-data]\n"
    "Obre el gestor dels temes, les qüestions i els tests de la carpeta de dades.\n";

}  // namespace

int main(int argc, char** argv) {
  if (quiz::PrintedHelp(kUsage, argc, argv)) return 0;
  if (!quiz::EnterDataFolder("quizdesk", argc, argv)) return 1;
  const auto app = quiz::StartApplication("quizdesk", argc, argv);
  if (!app) return 1;
  quiz::ManagerWindow window;  // reads Zive.cf first
  window.Seed(quiz::StartSeed());
  window.show();
  window.Initialise();
  return app->exec();
}
