// quizrun: takes a generated test on screen against the clock, corrects it and keeps the score.

#include <QApplication>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "runner/print_batch.h"
#include "runner/runner_window.h"
#include "toolkit/data_folder.h"
#include "toolkit/gui/application.h"
#include "toolkit/program_start.h"

namespace {

constexpr char kUsage[] =
    "Ús: quizrun [--data CARPETA | --user-data] [TEST]\n"
    "    quizrun [--data CARPETA | --user-data] --print TEST --pdf SORTIDA.pdf [--versions N] [--sheet] [--key]\n"
    "Obre el corrector; amb TEST, el nom d'un test de la carpeta Generats, el carrega.\n"
    "Amb --print, escriu el test en un PDF per imprimir-lo, sense cap finestra: N versions (1 a 4), amb\n"
    "el full de respostes (--sheet) i la clau (--key).\n";

}  // namespace

int main(int argc, char** argv) {
  if (quiz::PrintedHelp(kUsage, argc, argv)) return 0;
  std::error_code no_folder;
  const std::string started_in = std::filesystem::current_path(no_folder).string();
  if (!quiz::EnterDataFolder("quizrun", argc, argv)) return 1;
  if (quiz::AsksForPrint(argc, argv)) {
    const auto windowless = quiz::StartWindowlessApplication(argc, argv);
    return quiz::RunPrintBatch(std::vector<std::string>(argv + 1, argv + argc), started_in, std::cout, std::cerr);
  }
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
