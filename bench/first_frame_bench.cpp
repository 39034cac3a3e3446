// Each program's start as its user waits for it, timed from outside: the process started in a
// copy of the demo data, up to its first window painted (the programs end there when
// QUIZ_EXIT_AFTER_FIRST_FRAME is set). Next to an empty window started the same way. Twice: on
// the offscreen platform, and on an X server of its own (Xvfb) as on a desktop, when Xvfb is
// installed.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
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
  setenv("QUIZ_EXIT_AFTER_FIRST_FRAME", "1", 1);
  made = true;
}

// An X server for the whole run, or "" when Xvfb cannot be started. It picks a free display
// itself and says which once it accepts connections.
const std::string& XDisplay() {
  static const std::string display = [] {
    int ready[2];
    if (::pipe(ready) != 0) return std::string();
    const pid_t server = ::fork();
    if (server == 0) {
      ::close(ready[0]);
      std::freopen("/dev/null", "w", stdout);
      std::freopen("/dev/null", "w", stderr);
      const std::string fd = std::to_string(ready[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
             static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(ready[1]);
    std::string number;
    char c = 0;
    while (::read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(ready[0]);
    if (server < 0 || number.empty()) return std::string();
    static const pid_t stopped = server;
    std::atexit([] { ::kill(stopped, SIGTERM); ::waitpid(stopped, nullptr, 0); });
    return ":" + number;
  }();
  return display;
}

void Start(const char* program, const std::string& display) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (display.empty()) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
      setenv("QT_QPA_PLATFORM", "xcb", 1);
      setenv("DISPLAY", display.c_str(), 1);
    }
    execl(program, program, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(std::string(program) + " failed");
}

void BM_FirstFrame(benchmark::State& state, const char* program) {
  EnterDemoCopy();
  for (auto _ : state) Start(program, "");
}

void BM_FirstFrameOnX(benchmark::State& state, const char* program) {
  EnterDemoCopy();
  const std::string& display = XDisplay();
  if (display.empty()) {
    state.SkipWithError("Xvfb no s'ha pogut engegar");
    return;
  }
  for (auto _ : state) Start(program, display);
}

BENCHMARK_CAPTURE(BM_FirstFrame, empty_window, QUIZ_EMPTY_WINDOW)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrame, quizdesk, QUIZ_QUIZDESK)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrame, quizrun, QUIZ_QUIZRUN)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrame, qstconv, QUIZ_QSTCONV)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_CAPTURE(BM_FirstFrameOnX, empty_window, QUIZ_EMPTY_WINDOW)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrameOnX, quizdesk, QUIZ_QUIZDESK)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrameOnX, quizrun, QUIZ_QUIZRUN)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstFrameOnX, qstconv, QUIZ_QSTCONV)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quiz
