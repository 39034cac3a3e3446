#include "toolkit/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Name of the entry of `folder` that equals `wanted` without regard to case, or "" if none.
std::string FindFolded(const std::string& folder, const std::string& wanted) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::string();
  const std::string key = UpperCat(Utf8ToCp1252(wanted));
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (UpperCat(Utf8ToCp1252(name)) == key) {
      found = name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string SpelledPath(std::string_view name) {
  std::string path = Cp1252ToUtf8(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string NativePath(std::string_view name) {
  std::string path = SpelledPath(name);
  if (path.empty() || Exists(path)) return path;

  std::string resolved = path.front() == '/' ? "/" : "";
  size_t pos = resolved.size();
  while (pos <= path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(pos, end - pos);
    const bool last = end == path.size();
    if (!component.empty()) {
      std::string candidate = resolved + component;
      if (!Exists(candidate)) {
        const std::string folder = resolved.empty() ? "." : resolved;
        const std::string match = FindFolded(folder, component);
        if (match.empty()) return resolved + path.substr(pos);  // the rest does not exist yet
        candidate = resolved + match;
      }
      resolved = last ? candidate : candidate + "/";
    } else if (!last) {
      resolved += "/";
    }
    pos = end + 1;
  }
  return resolved;
}

bool FileExists(std::string_view name) {
  struct stat st;
  return ::stat(NativePath(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PathExists(std::string_view name) {
  struct stat st;
  return ::stat(NativePath(name).c_str(), &st) == 0;
}

std::string FolderOfPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOfPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FolderWritable(std::string_view name) {
  return ::faccessat(AT_FDCWD, NativePath(name).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string FileNameFault(std::string_view name) {
  if (name.empty()) return W("és buit");
  if (name == "." || name == "..") return W("no pot ser «.» ni «..»");
  if (name.find_first_of("\\/:*?\"<>|") != std::string_view::npos) {
    return W("no pot dur cap d'aquests caràcters: \\ / : * ? \" < > |");
  }
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return W("no pot dur caràcters de control");
  }
  for (char end : {name.front(), name.back()}) {
    if (end == '.' || end == ' ') return W("no pot començar ni acabar amb un punt o un espai");
  }
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const bool device = stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" ||
                      (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                       stem[3] >= '1' && stem[3] <= '9');
  if (device) return W("és un nom que Windows reserva (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9)");
  return "";
}

}  // namespace quiz
