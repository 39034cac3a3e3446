#pragma once
// What every program does first: answer --help without opening a window, and take a seed for its
// random draws.

#include <cstdint>

namespace quiz {

// When the first argument is "--help" or "-h": prints `usage` (UTF-8: how to start the program
// and what it does) and then the data folder's options on standard output, and returns true, for
// the program to end with 0.
bool PrintedHelp(const char* usage, int argc, char** argv);

// A seed that two programs started at once, even in the same millisecond, do not share: the
// system's random source mixed with a steady clock in nanoseconds.
uint32_t StartSeed();

}  // namespace quiz
