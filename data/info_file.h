#pragma once
// Zive.cf, the information file the manager and the runner read at start-up: line 1 names the
// information document of the "Info" command, line 2 is the contact shown in the About box.

#include <string>

namespace quiz {

inline constexpr char kInfoFileName[] = "Zive.cf";

struct InfoFile {
  std::string document;
  std::string contact;
};

// False when the file cannot be read; both texts are then empty.
bool ReadInfoFile(InfoFile* info, const std::string& name = kInfoFileName);

}  // namespace quiz
