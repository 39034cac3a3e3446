// The three programs as built, started as processes in a copy of the demo data.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
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

// A display whose socket takes connections and closes them at once, as a server that is not an X
// server (or one that refuses this client) does: it answers, but Qt cannot use it.
class ClosingDisplay {
 public:
  ClosingDisplay() {
    ::mkdir("/tmp/.X11-unix", 01777);
    for (int n = 80; n < 97 && fd_ < 0; ++n) {
      const std::string path = "/tmp/.X11-unix/X" + std::to_string(n);
      // The number is taken as X servers take theirs, with a lock file that holds the owner's
      // process number: an Xvfb started meanwhile (by another test) passes it by.
      const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
      const int lock_fd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0444);
      if (lock_fd < 0) continue;
      char pid[16];
      std::snprintf(pid, sizeof pid, "%10d\n", static_cast<int>(::getpid()));
      (void)!::write(lock_fd, pid, 11);
      ::close(lock_fd);
      if (std::filesystem::exists(path)) {
        ::unlink(lock.c_str());
        continue;
      }
      lock_ = lock;
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      path.copy(address.sun_path, sizeof address.sun_path - 1);
      const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 8) == 0) {
        fd_ = fd;
        path_ = path;
        number_ = n;
      } else {
        ::close(fd);
        ::unlink(lock.c_str());
        lock_.clear();
      }
    }
    if (fd_ >= 0) {
      closer_ = std::thread([this] {
        for (int client; (client = ::accept(fd_, nullptr, nullptr)) >= 0 && !done_;) ::close(client);
      });
    }
  }
  ~ClosingDisplay() {
    if (fd_ < 0) return;
    done_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    closer_.join();
    ::close(fd_);
    std::filesystem::remove(path_);
    std::filesystem::remove(lock_);
  }
  int number() const { return number_; }

 private:
  int fd_ = -1;
  int number_ = -1;
  std::string path_;
  std::string lock_;
  std::atomic<bool> done_ = false;
  std::thread closer_;
};

TEST_F(ProgramStart, WithoutADisplayEachSaysSoInOneLineAndEnds) {
  const ClosingDisplay closing;
  ASSERT_GE(closing.number(), 0) << "cap número de pantalla lliure";
  const std::string closing_display = "DISPLAY=:" + std::to_string(closing.number());
  struct Case {
    std::vector<std::string> set;
    std::string said;
  } cases[] = {
      {{}, "DISPLAY és buit"},
      {{"DISPLAY=:97"}, "la pantalla gràfica :97 no respon"},
      {{closing_display}, "no s'ha pogut fer servir (could not connect to display :" + std::to_string(closing.number()) + ")"},
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

// Each program answers --help on the command line, with no display at all, and ends with 0.
TEST_F(ProgramStart, HelpIsPrintedWithoutAWindow) {
  const struct {
    const char* program;
    const char* usage;
  } cases[] = {{QUIZ_QUIZDESK, "Ús: quizdesk [--data CARPETA | --user-data]"},
               {QUIZ_QUIZRUN, "Ús: quizrun [--data CARPETA | --user-data] [TEST]"},
               {QUIZ_QSTCONV, "Ús: qstconv"}};
  for (const auto& c : cases) {
    for (const char* option : {"--help", "-h"}) {
      const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '") + c.program +
                                  "' " + option + " 2>&1";
      FILE* pipe = ::popen(command.c_str(), "r");
      ASSERT_NE(pipe, nullptr);
      std::string out;
      char chunk[512];
      for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, got);
      const int status = ::pclose(pipe);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.program << " " << option << ": " << out;
      EXPECT_TRUE(out.starts_with(c.usage)) << c.program << " " << option << ": " << out;
      EXPECT_NE(out.find("--help"), std::string::npos) << out;
    }
  }
}

}  // namespace
}  // namespace quiz
