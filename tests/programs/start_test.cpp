// The three programs as built, started as processes in a copy of the demo data.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

struct Outcome {
  int code = -1;  // -1: still running after the wait, and killed
  std::string errors;
};

// Starts `program` with `set` added to its environment and `unset` taken out, and waits up to
// 30 seconds for it to end.
Outcome Start(const char* program, const std::vector<std::string>& set, const std::vector<std::string>& unset) {
  int errors[2];
  EXPECT_EQ(::pipe(errors), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(errors[1], 2);
    ::close(errors[0]);
    for (const std::string& name : unset) ::unsetenv(name.c_str());
    for (const std::string& pair : set) ::putenv(const_cast<char*>(pair.c_str()));
    execl(program, program, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(errors[1]);
  Outcome run;
  int status = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > until) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      ::close(errors[0]);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  char chunk[512];
  for (ssize_t got; (got = ::read(errors[0], chunk, sizeof chunk)) > 0;) run.errors.append(chunk, got);
  ::close(errors[0]);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

class ProgramStart : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    std::filesystem::copy(QUIZ_DEMO_DIR, ".", std::filesystem::copy_options::recursive);
  }
};

const char* const kPrograms[] = {QUIZ_QUIZDESK, QUIZ_QUIZRUN, QUIZ_QSTCONV};

TEST_F(ProgramStart, EachPaintsItsFirstWindow) {
  for (const char* program : kPrograms) {
    const Outcome run = Start(program, {"QT_QPA_PLATFORM=offscreen", "QUIZ_EXIT_AFTER_FIRST_FRAME=1"}, {});
    EXPECT_EQ(run.code, 0) << program << ": " << run.errors;
  }
}

TEST_F(ProgramStart, WithoutADisplayEachSaysSoInOneLineAndEnds) {
  struct Case {
    std::vector<std::string> set;
    const char* said;
  } cases[] = {
      {{}, "DISPLAY és buit"},
      {{"DISPLAY=:97"}, "la pantalla gràfica :97 no respon"},
  };
  for (const char* program : kPrograms) {
    for (const auto& c : cases) {
      const Outcome run = Start(program, c.set, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
      EXPECT_EQ(run.code, 1) << program << ": " << run.errors;
      EXPECT_NE(run.errors.find(c.said), std::string::npos) << program << ": " << run.errors;
      EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << program << ": " << run.errors;
    }
  }
}

}  // namespace
}  // namespace quiz
