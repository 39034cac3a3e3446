#pragma once
// quizrun without a window, for scripts: a generated test printed to a PDF.
//   quizrun --print TEST --pdf OUT.pdf [--versions N] [--sheet] [--key] [--seed N]

#include <ostream>
#include <string>
#include <vector>

namespace quiz {

// Whether the command line asks for a print.
bool AsksForPrint(int argc, char** argv);

// Runs the command line's arguments (program name excluded, UTF-8) in the data folder, with a
// Qt application running; a relative PDF path is taken from `started_in`, the folder the program
// was started in. Prints the outcome in Catalan (UTF-8), one line, and returns the exit code: 0
// when the PDF is written, 1 when not, 2 for a bad use.
int RunPrintBatch(const std::vector<std::string>& arguments, const std::string& started_in, std::ostream& out,
                  std::ostream& err);

}  // namespace quiz
