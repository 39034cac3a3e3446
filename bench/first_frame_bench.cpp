// Each program's start as its user waits for it, timed from outside: the process started on the
// offscreen platform in a copy of the demo data, up to its first window painted (the programs
// end there when QUIZ_EXIT_AFTER_FIRST_FRAME is set). Next to an empty window started the same
// way.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/bench_files.h"

namespace quiz {
namespace {

void EnterDemoCopy() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  std::filesystem::copy(QUIZ_DEMO_DIR, ".", std::filesystem::copy_options::recursive);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QUIZ_EXIT_AFTER_FIRST_FRAME", "1", 1);
  made = true;
}

void Start(const char* program) {
  const pid_t child = ::fork();
  if (child == 0) {
    execl(program, program, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(std::string(program) + " failed");
}

void BM_FirstFrame(benchmark::State& state, const char* program) {
  EnterDemoCopy();
  for (auto _ : state) Start(program);
}

BENCHMARK_CAPTURE(BM_FirstFrame, empty_window, QUIZ_EMPTY_WINDOW)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrame, quizdesk, QUIZ_QUIZDESK)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrame, quizrun, QUIZ_QUIZRUN)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrame, qstconv, QUIZ_QSTCONV)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quiz
