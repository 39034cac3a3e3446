#pragma once
// Every operation of the programs that writes a file, each set up in a data folder of its own,
// for the tests that kill them half-way and run them against failing disks and folders.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "toolkit/status.h"

namespace quiz::testing {

struct WriteOperation {
  const char* name;
  // Fills the current folder with what the operation works on. `large` makes the banks a few
  // megabytes, so that a kill can land in the middle of a rewrite.
  std::function<void(bool large)> set_up;
  // Runs the operation as the program would, in the current folder.
  std::function<Status()> run;
  // The files it writes (native relative paths); its failures name one of them.
  std::vector<std::string> targets;
  // Whole records are what readers see of these files; a torn tail is never counted. 0 for files
  // that are replaced whole.
  size_t record_size = 0;
  // Appends many records in blocks: an interrupted run leaves the old records and whole new ones.
  bool appends_in_blocks = false;
  // After a kill, whether the files agree with each other: "" when they do, else what is wrong.
  std::function<std::string()> agree = nullptr;
  // A change of several files that the next program to open the folder ends or undoes: after a
  // kill and an open of the topic index, the whole folder is as before or as after.
  bool one_step = false;
  // What readers see of a target's bytes, when it is not whole records (record_size).
  std::function<std::string(const std::string& bytes)> seen = nullptr;
};

const std::vector<WriteOperation>& WriteOperations();

}  // namespace quiz::testing
