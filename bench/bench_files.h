#pragma once
// Files for the benchmarks: a scratch folder and the plain reading and copying that every
// figure is compared with.

#include <string>

namespace quiz::bench {

// Makes a fresh folder under /tmp, changes into it and removes it at exit.
void EnterScratchFolder();

// Reads the whole file in 1 MB blocks; returns the bytes read.
size_t ReadFileBytes(const std::string& name);

// Copies `from` to `to` in 1 MB blocks, then flushes the copy to the disk when `sync`.
void CopyFile(const std::string& from, const std::string& to, bool sync);

// Writes `bytes` to `name` in 1 MB blocks, then flushes it to the disk when `sync`.
void WriteFile(const std::string& name, const std::string& bytes, bool sync);

}  // namespace quiz::bench
