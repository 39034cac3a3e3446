#include "toolkit/program_start.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace quiz {

bool PrintedHelp(const char* usage, int argc, char** argv) {
  if (argc < 2 || (std::strcmp(argv[1], "--help") != 0 && std::strcmp(argv[1], "-h") != 0)) return false;
  std::fputs(usage, stdout);
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
