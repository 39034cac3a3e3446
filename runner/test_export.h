#pragma once
// The loaded test as a text file: the questions with their answers in the letter order drawn at
// load, then the solutions.

#include <string>
#include <vector>

#include "runner/test_engine.h"
#include "toolkit/status.h"

namespace quiz {

// The lines of the export, without line ends.
Status ExportLines(const TestEngine& engine, const std::string& description, std::vector<std::string>* lines);
// Writes them to `file_name`, lines ended by CR LF, replacing an older file whole.
Status ExportTest(const TestEngine& engine, const std::string& description, const std::string& file_name);

}  // namespace quiz
