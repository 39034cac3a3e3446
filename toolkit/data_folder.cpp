#include "toolkit/data_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quiz {
namespace {

namespace fs = std::filesystem;

std::string Reason(const std::error_code& error) {
  return error.value() == EACCES || error.value() == EPERM ? "no hi ha permís" : error.message();
}

}  // namespace

std::string UserDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data && *data == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : ".") + "/.local/share";
  }
  return base + "/quiztoolkit/dades";
}

std::string DemoDataFolder() {
  std::error_code error;
  // Installed, the demo data sits in share/ beside bin/, wherever the prefix was.
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path installed = program.parent_path().parent_path() / "share" / "quiztoolkit" / "demo";
    if (fs::is_directory(installed, error)) return installed.string();
  }
  if (fs::is_directory(QUIZ_SOURCE_DEMO_DIR, error)) return QUIZ_SOURCE_DEMO_DIR;
  return "";
}

bool ChooseDataFolder(int& argc, char** argv, const std::string& demo, std::string* error) {
  std::string folder;
  bool user = false;
  int kept = 1;
  bool names_only = false;  // after "--" everything is a name, for the program to read
  for (int i = 1; i < argc; ++i) {
    if (names_only) {
      argv[kept++] = argv[i];
    } else if (std::strcmp(argv[i], "--") == 0) {
      names_only = true;
      argv[kept++] = argv[i];
    } else if (std::strcmp(argv[i], "--data") == 0) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        *error = "--data necessita el nom d'una carpeta";
        return false;
      }
      folder = argv[++i];
      user = false;
    } else if (std::strcmp(argv[i], "--user-data") == 0) {
      folder = UserDataFolder();
      user = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  if (folder.empty()) return true;

  std::error_code failed;
  const bool existed = fs::exists(folder, failed);
  if (!existed) {
    fs::create_directories(folder, failed);
    if (failed) {
      *error = "no s'ha pogut crear la carpeta de dades " + folder + ": " + Reason(failed);
      return false;
    }
    // A new user folder starts as a copy of the demo data; a folder named with --data starts
    // empty (the programs offer to create what they need).
    if (user && !demo.empty() && fs::is_directory(demo, failed)) {
      fs::copy(demo, folder, fs::copy_options::recursive, failed);
      if (failed) {
        *error = "no s'han pogut copiar les dades de demostració a " + folder + ": " + Reason(failed);
        return false;
      }
    }
  }
  if (::chdir(folder.c_str()) != 0) {
    *error = "no es pot treballar a la carpeta " + folder + ": " + Reason(std::error_code(errno, std::generic_category()));
    return false;
  }
  return true;
}

bool EnterDataFolder(const char* program, int& argc, char** argv) {
  std::string error;
  if (ChooseDataFolder(argc, argv, DemoDataFolder(), &error)) return true;
  std::fprintf(stderr, "%s: %s\n", program, error.c_str());
  return false;
}

}  // namespace quiz
