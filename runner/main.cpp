// quizrun: takes a generated test on screen against the clock, corrects it and keeps the score.

#include <QApplication>

#include <string>

#include "runner/runner_window.h"
#include "toolkit/data_folder.h"
#include "toolkit/gui/application.h"
#include "toolkit/program_start.h"

namespace {

constexpr char kUsage[] =
    "Ús: quizrun [--data CARPETA | --user-data] [TEST]\n"
    "Obre el corrector; amb TEST, el nom d'un test de la carpeta Generats, el carrega.\n";

}  // namespace

int main(int argc, char** argv) {
  if (quiz::PrintedHelp(kUsage, argc, argv)) return 0;
  if (!quiz::EnterDataFolder("quizrun", argc, argv)) return 1;
  const auto app = quiz::StartApplication("quizrun", argc, argv);
  if (!app) return 1;
  quiz::RunnerOptions options;
  if (argc > 1) options.argument = argv[1];
  quiz::TodayDate(options.day);
  options.seed = quiz::StartSeed();
  quiz::RunnerWindow window(options);
  window.show();
  return app->exec();
}
