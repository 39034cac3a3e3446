// qstconv: converts text files of questions into question files. With arguments it works
// without a window, for scripts.

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "converter/batch.h"
#include "converter/converter_window.h"
#include "toolkit/data_folder.h"
#include "toolkit/gui/application.h"

int main(int argc, char** argv) {
  if (!quiz::EnterDataFolder("qstconv", argc, argv)) return 1;
  if (argc > 1) {
    return quiz::RunConverterBatch(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  }
  const auto app = quiz::StartApplication("qstconv", argc, argv);
  if (!app) return 1;
  quiz::ConverterWindow window;
  window.show();
  return app->exec();
}
