#pragma once
// Test fixtures shared by the test programs: a fresh working folder per test, and the
// byte-exact sample files of tests/fixtures/.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace quiz::testing {

// Each test runs in a new empty folder that is its current directory, as the programs run in
// their data folder. The folder is removed afterwards.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& dir() const { return dir_; }

 private:
  std::string old_cwd_;
  std::string dir_;
};

// The bytes of a file of tests/fixtures/.
std::string Fixture(const std::string& name);
// The bytes of a file (native path); empty when it cannot be read.
std::string FileBytes(const std::string& path);
// Writes `bytes` to `path` (native), creating its folders.
void PutFile(const std::string& path, const std::string& bytes);
// True when `path` exists.
bool Exists(const std::string& path);
// Names in `folder`, sorted, to see that no temporary file was left behind.
std::string ListFolder(const std::string& folder);

// A folder's files (native relative path -> bytes); folders map to "<folder>".
using FolderState = std::map<std::string, std::string>;
// The state of the current folder, without the temporary files a killed writer may leave.
FolderState ReadFolderState();
// The paths whose bytes differ between two states, for short failure messages.
std::string Differences(const FolderState& a, const FolderState& b);
// Empties the current folder and writes `state` into it.
void WriteFolderState(const FolderState& state);

}  // namespace quiz::testing

namespace quiz::testing {

// While alive, no file of this process can grow past `bytes`: writes beyond fail with EFBIG,
// as on a full disk. Works for root too, unlike a read-only folder.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(unsigned long bytes);
  ~FileSizeLimit();

 private:
  unsigned long old_soft_;
  void (*old_handler_)(int);
};

}  // namespace quiz::testing

namespace quiz::testing {

// Runs `body` in a forked child and returns its exit code (or 128 + the signal that ended it).
// When the tests run as root, the child first becomes the unprivileged user "nobody", so that
// read-only folders and files hold for it; `body` must then only touch what that user can
// reach (see OpenToEveryone).
int RunUnprivileged(const std::function<int()>& body);
// Makes the test's folder reachable and writable for every user, so that an unprivileged
// child can work in it.
void OpenToEveryone(const std::string& folder);
// Sets the permission bits of `path` (native).
void SetMode(const std::string& path, unsigned mode);

}  // namespace quiz::testing
