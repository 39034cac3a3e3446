#pragma once
// Test fixtures shared by the test programs: a fresh working folder per test, and the
// byte-exact sample files of tests/fixtures/.

#include <gtest/gtest.h>

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
