#pragma once
// qstconv without a window, for scripts: qstconv [--marked] SOURCE DESTINATION.

#include <ostream>
#include <string>
#include <vector>

namespace quiz {

// Runs the command line's arguments (program name excluded, UTF-8). Prints the outcome in
// Catalan (UTF-8) and returns the exit code: 0 when converted, 1 otherwise (2 for a bad use).
int RunConverterBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quiz
