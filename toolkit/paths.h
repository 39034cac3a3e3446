#pragma once
// Names of files as the system writes them ("Bases\Arxs.rel": Windows-1252, '\' between folders)
// and the paths of this machine (UTF-8, '/').

#include <string>
#include <string_view>

namespace quiz {

// The path to use for `name`: '\' becomes '/', the text becomes UTF-8, and when the exact
// spelling does not exist each folder and file name is looked up case-insensitively (accented
// capitals included), since data folders copied from Windows spell names freely. A component
// that matches nothing keeps its given spelling, so a new file gets the name it was given.
std::string NativePath(std::string_view name);

// The path as written, without looking anything up: '\' becomes '/', the text becomes UTF-8.
// NativePath starts from it.
std::string SpelledPath(std::string_view name);

// True for an entry that is not a folder (any regular file, hidden or read-only).
bool FileExists(std::string_view name);
// True for a file or a folder.
bool PathExists(std::string_view name);

// True when this user may make and replace files in the folder `name` (a read-only mount, or
// another user's folder, is not).
bool FolderWritable(std::string_view name);

// Why `name` cannot be the name of a file in a data folder, which must stay inside its folder
// and travel back to Windows: "" when it can be. Otherwise the rule it breaks, to follow
// "que " in a sentence: it holds \ / : * ? " < > | or a control character (NUL included), is
// "." or "..", begins or ends with a dot or a space, or is a name Windows reserves (CON, PRN,
// AUX, NUL, COM1-COM9, LPT1-LPT9, in any case, with or without an extension), or is empty.
std::string FileNameFault(std::string_view name);

// The folder part of a native path ("." when it has none) and the last component.
std::string FolderOfPath(const std::string& path);
std::string BaseOfPath(const std::string& path);

}  // namespace quiz
