#include "tests/support/temp_dir.h"

#include <grp.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace quiz::testing {

void InTempDir::SetUp() {
  old_cwd_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "quiztest-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
  fs::current_path(dir_);
}

void InTempDir::TearDown() {
  fs::current_path(old_cwd_);
  std::error_code ignored;
  fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(dir_, ignored);
}

std::string Fixture(const std::string& name) {
  const std::string bytes = FileBytes(std::string(QUIZ_FIXTURES_DIR) + "/" + name);
  EXPECT_FALSE(bytes.empty() && name != "empty.tgn") << "missing fixture " << name;
  return bytes;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const std::string& bytes) {
  const fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) { return fs::exists(path); }

std::string ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}


FolderState ReadFolderState() {
  FolderState state;
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    const std::string path = fs::relative(entry.path(), ".").string();
    if (entry.path().filename().string().find(".tmp-") != std::string::npos) continue;
    state[path] = entry.is_directory() ? "<folder>" : FileBytes(path);
  }
  return state;
}

std::string Differences(const FolderState& a, const FolderState& b) {
  std::string paths;
  for (const auto& [path, bytes] : a) {
    const auto it = b.find(path);
    if (it == b.end() || it->second != bytes) paths += path + " ";
  }
  for (const auto& [path, bytes] : b) {
    if (!a.contains(path)) paths += path + " ";
  }
  return paths;
}

void WriteFolderState(const FolderState& state) {
  for (const auto& entry : fs::directory_iterator(".")) fs::remove_all(entry.path());
  for (const auto& [path, bytes] : state) {
    if (bytes == "<folder>") {
      fs::create_directories(path);
    } else {
      PutFile(path, bytes);
    }
  }
}

}  // namespace quiz::testing

#include <sys/resource.h>

#include <csignal>

namespace quiz::testing {

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
  old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  old_soft_ = limit.rlim_cur;
  limit.rlim_cur = bytes;
  EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = old_soft_;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, old_handler_);
}

}  // namespace quiz::testing

#include <sys/stat.h>
#include <sys/wait.h>

namespace quiz::testing {

int RunUnprivileged(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0) {
      const gid_t nobody_group = 65534;
      const uid_t nobody = 65534;
      if (::setgroups(0, nullptr) != 0 || ::setgid(nobody_group) != 0 || ::setuid(nobody) != 0)
        ::_exit(126);
    }
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void OpenToEveryone(const std::string& folder) {
  std::error_code ignored;
  fs::permissions(folder, fs::perms::all, fs::perm_options::replace, ignored);
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
    fs::permissions(entry.path(), entry.is_directory() ? fs::perms::all : fs::perms(0666),
                    fs::perm_options::replace, ignored);
  }
}

void SetMode(const std::string& path, unsigned mode) {
  ::chmod(path.c_str(), mode);
}

}  // namespace quiz::testing
