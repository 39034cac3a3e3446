#include "bench/bench_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace quiz::bench {
namespace {

std::string scratch;

void RemoveScratch() {
  if (!scratch.empty()) std::filesystem::remove_all(scratch);
}

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

}  // namespace

void EnterScratchFolder() {
  char pattern[] = "/tmp/quizbench.XXXXXX";
  Check(mkdtemp(pattern) != nullptr, "mkdtemp");
  scratch = pattern;
  std::atexit(RemoveScratch);
  Check(chdir(pattern) == 0, "chdir");
}

size_t ReadFileBytes(const std::string& name) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  Check(fd >= 0, "open " + name);
  std::vector<char> buffer(1 << 20);
  size_t total = 0;
  for (;;) {
    const ssize_t n = read(fd, buffer.data(), buffer.size());
    Check(n >= 0, "read " + name);
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  close(fd);
  return total;
}

void CopyFile(const std::string& from, const std::string& to, bool sync) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  Check(in >= 0, "open " + from);
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  Check(out >= 0, "open " + to);
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t n = read(in, buffer.data(), buffer.size());
    Check(n >= 0, "read " + from);
    if (n == 0) break;
    Check(write(out, buffer.data(), static_cast<size_t>(n)) == n, "write " + to);
  }
  if (sync) Check(fsync(out) == 0, "fsync " + to);
  close(in);
  close(out);
}

void WriteFile(const std::string& name, const std::string& bytes, bool sync) {
  const int out = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  Check(out >= 0, "open " + name);
  for (size_t done = 0; done < bytes.size();) {
    const size_t n = std::min<size_t>(bytes.size() - done, 1 << 20);
    Check(write(out, bytes.data() + done, n) == static_cast<ssize_t>(n), "write " + name);
    done += n;
  }
  if (sync) Check(fsync(out) == 0, "fsync " + name);
  close(out);
}

}  // namespace quiz::bench
