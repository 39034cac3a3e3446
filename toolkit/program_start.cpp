#include "toolkit/program_start.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace quiz {

namespace {

constexpr char kFolderOptions[] =
    "\n"
    "  --data CARPETA  treballa a CARPETA (la fa si no hi és)\n"
    "  --user-data     treballa a la carpeta de dades de l'usuari, ~/.local/share/quiztoolkit/dades\n"
    "                  (la primera vegada s'hi copien les dades de demostració)\n"
    "  --help          mostra aquesta ajuda (només com a primer argument; -h també)\n"
    "\n"
    "Sense --data ni --user-data, treballa a la carpeta actual.\n";

}  // namespace

bool PrintedHelp(const char* usage, int argc, char** argv) {
  if (argc < 2 || (std::strcmp(argv[1], "--help") != 0 && std::strcmp(argv[1], "-h") != 0)) return false;
  std::fputs(usage, stdout);
  std::fputs(kFolderOptions, stdout);
  return true;
}

uint32_t StartSeed() {
  uint32_t seed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    seed ^= device();
  } catch (const std::exception&) {
    // No random source on this system: the clock alone still differs from one start to the next.
  }
  return seed;
}

}  // namespace quiz
