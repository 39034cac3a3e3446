#pragma once
// Asking for one file name without moving the program's current folder, which every relative
// path of the system depends on.

#include <functional>
#include <string>

namespace quiz {

// Shows the open form (the file must exist) or the save form, starting from *name (cut to 255).
// On confirmation *name becomes the chosen path and true is returned; otherwise *name stays.
bool ChooseFile(std::string* name, bool open_form);
inline bool ChooseFileOpen(std::string* name) { return ChooseFile(name, true); }
inline bool ChooseFileSave(std::string* name) { return ChooseFile(name, false); }

// Tests choose instead of a person: the responder gets the name and the form and answers as the
// dialog would.
using FileDialogResponder = std::function<bool(std::string* name, bool open_form)>;
void SetFileDialogResponder(FileDialogResponder responder);

}  // namespace quiz
