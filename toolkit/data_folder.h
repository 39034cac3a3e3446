#pragma once
// Where the programs work. They read and write their data files in the current folder; on the
// command line another one can be chosen:
//   --data FOLDER   that folder (made when missing)
//   --user-data     the user's own: $XDG_DATA_HOME/quiztoolkit/dades (~/.local/share/...), made
//                   from the demo data the first time and kept afterwards (the desktop menu
//                   starts the programs so, never in the home folder itself)

#include <string>

namespace quiz {

// The user's data folder, as --user-data finds it.
std::string UserDataFolder();

// Applies the options above and takes them out of argv. `demo` is the demo data copied into a
// new user folder (skipped when it does not exist). False, with `error` in Catalan (UTF-8), when
// an option lacks its folder or the folder cannot be made or entered.
bool ChooseDataFolder(int& argc, char** argv, const std::string& demo, std::string* error);

// The demo data beside the installed programs (share/quiztoolkit/demo next to their bin/), or
// in the source tree they were built from.
std::string DemoDataFolder();

// ChooseDataFolder with the demo data; on failure one line "<program>: <why>" on standard error.
bool EnterDataFolder(const char* program, int& argc, char** argv);

}  // namespace quiz
