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

// The folder part of a native path ("." when it has none) and the last component.
std::string FolderOfPath(const std::string& path);
std::string BaseOfPath(const std::string& path);

}  // namespace quiz
