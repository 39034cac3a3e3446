// quizrun: takes a generated test on screen against the clock, corrects it and keeps the score.

#include <QApplication>

#include <string>

#include "runner/runner_window.h"
#include "toolkit/data_folder.h"
#include "toolkit/gui/application.h"

int main(int argc, char** argv) {
  if (!quiz::EnterDataFolder("quizrun", argc, argv)) return 1;
  const auto app = quiz::StartApplication("quizrun", argc, argv);
  if (!app) return 1;
  quiz::RunnerOptions options;
  if (argc > 1) options.argument = argv[1];
  quiz::TodayDate(options.day);
  options.seed = quiz::SeedFromClock();
  quiz::RunnerWindow window(options);
  window.show();
  return app->exec();
}
