#pragma once
// Files of fixed-size records, text files, and the safe replacement of a whole file.
//
// Every function takes the system's name of a file (Windows-1252, '\' allowed) and resolves it
// with NativePath. Failures come back as a Status that names the file as it was given.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "toolkit/status.h"

namespace quiz {

// Several programs write one data folder at once. Every write of a record file holds the file's
// lock while it writes: an advisory POSIX record lock on the whole file (of the kind that ties the
// lock to one open of the file, so that two opens in one program exclude each other too), which
// local disks and the network folders that honour POSIX locks (NFS, SMB) keep. A program waits
// for a lock at most this long, then gives up with a kBusy status and changes nothing. Where the
// file system has no locks, writes go on without them.
std::chrono::milliseconds LockWait();
void SetLockWait(std::chrono::milliseconds wait);

// A file of records of one size, open for reading and writing. Owns its descriptor; moves, does
// not copy. Records are numbered from 0 here; the formats number them from 1.
//
// Another program may replace the file whole (a rewrite renames a new file over it). Reading
// goes on through the file that was opened; every write, and Lock, first opens the file the name
// gives now, so that nothing is written into a file that is already gone. A file that another
// program removed is never made anew by a write or a Lock: that is a kChanged status.
class RecordFile {
 public:
  enum class Mode {
    kCreate,    // an absent file is created empty
    kExisting,  // an absent file is a kNotFound status
    kReadOnly,  // as kExisting, but only for reading: read-only media and files of another user
                // still open; every write is refused
  };

  RecordFile() = default;
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  ~RecordFile() { Close(); }

  // Closes what this object had open, then opens `name`. `record_size` must be at least 1.
  Status Open(std::string_view name, size_t record_size, Mode mode);
  void Close();

  bool is_open() const { return fd_ >= 0; }
  const std::string& name() const { return name_; }
  const std::string& path() const { return path_; }
  size_t record_size() const { return record_size_; }
  // True when the last Open made the file (kCreate, and it did not exist).
  bool created() const { return created_; }

  // Whole records in the file now; a torn last record is not counted.
  Status Count(uint64_t* count) const;
  // The file's size in bytes now.
  Status Size(uint64_t* bytes) const;
  // Reads `n` records from record `index` into `buffer` (n * record_size bytes); a file that
  // ends before them is an error.
  Status Read(uint64_t index, size_t n, char* buffer) const;
  // The bytes after the last whole record (a torn tail); empty when there are none.
  Status ReadTail(std::string* tail) const;
  // Writes `n` records at record `index`, holding the lock. A write past the end that fails is
  // cut back, so the file keeps the records it had.
  Status Write(uint64_t index, size_t n, const char* buffer);
  // Writes `n` records after the last whole record of the file as it is at that moment, holding
  // the lock across finding the end and writing: records that other programs appended are never
  // written over, and a torn tail left by a killed writer is. `*index` gets the first one's number
  // (the records already there). When they would make the file pass `max_records`, nothing is
  // written and the status is kRefused.
  Status Append(size_t n, const char* buffer, uint64_t* index = nullptr,
                uint64_t max_records = UINT64_MAX);
  // Keeps the first `n` records and drops everything after them. The caller holds the lock.
  Status Truncate(uint64_t n);
  Status Sync();

  // For a change of several steps (a count, then a cut; a whole-file rewrite): takes the lock of
  // the file the name gives now, opening it anew when it was replaced, and keeps it until Unlock
  // or Close. Never held while a window waits for the user.
  Status Lock();
  // For a write at a position read earlier: takes the lock of the file that is open, and refuses
  // with a kChanged status (lock given back) when the name no longer gives it, because another
  // program replaced it (its records may have moved) or removed it.
  Status LockUnchanged();
  void Unlock();
  bool locked() const { return locked_; }
  // Opens the file anew when another program replaced it since it was opened.
  Status Refresh();

 private:
  // True when the name still gives the file that is open.
  Status IsCurrent(bool* current) const;
  // Opens the file the name gives now; one that is gone is a kChanged status.
  Status Reopen();
  Status RefuseReadOnly() const;

  int fd_ = -1;
  size_t record_size_ = 1;
  Mode mode_ = Mode::kExisting;
  bool created_ = false;
  bool locked_ = false;       // Lock() succeeded and Unlock() has not been called
  bool lock_taken_ = false;   // ... and the system holds a real lock for it
  std::string name_;
  std::string path_;
};

// Holds a lock for a scope: of a record file, or of whatever has Lock(), Unlock() and locked()
// (the topic index). Take locks it, unless an enclosing scope holds the lock already; the
// destructor gives back only what Take took.
template <class Lockable>
class ScopedLock {
 public:
  explicit ScopedLock(Lockable* file) : file_(file) {}
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;
  ~ScopedLock() {
    if (taken_) file_->Unlock();
  }
  Status Take() {
    if (file_->locked()) return Status::Ok();
    QUIZ_RETURN_IF_ERROR(file_->Lock());
    taken_ = true;
    return Status::Ok();
  }
  // As Take, through LockUnchanged.
  Status TakeUnchanged() {
    if (file_->locked()) return Status::Ok();
    QUIZ_RETURN_IF_ERROR(file_->LockUnchanged());
    taken_ = true;
    return Status::Ok();
  }

 private:
  Lockable* file_;
  bool taken_ = false;
};
using RecordLock = ScopedLock<RecordFile>;

// Replaces the record file `name` whole while holding its lock, from the reading of the old
// version to the renaming of the new one, so that no append of another program falls between:
// `rewrite` reads `current` (locked, opened anew if it had been replaced) and writes the new
// version into `out`. The file must exist.
class SafeWriter;
Status RewriteRecordFile(std::string_view name, size_t record_size,
                         const std::function<Status(const RecordFile& current, SafeWriter* out)>& rewrite);

// Opens `name` for reading and writing, created empty when absent.
Status OpenRecordFile(std::string_view name, size_t record_size, RecordFile* file);

// Writes a new version of a file beside it and puts it in place in one step: the bytes go to a
// temporary file in the target's folder, which is flushed to disk and renamed over the target.
// Until Commit the old file is untouched; a writer destroyed without Commit removes its
// temporary file. The new file keeps the permissions of the one it replaces.
//
// A temporary file is named "." + target + ".tmp-" + writer's pid + "-" + six random characters,
// and its writer holds a lock on it while it lives. Open removes the temporary files of the same
// target that a killed writer left behind: those whose lock is free and whose writer is gone (or
// that have not changed for a minute, when the pid may belong to another process by now).
class SafeWriter {
 public:
  SafeWriter() = default;
  SafeWriter(const SafeWriter&) = delete;
  SafeWriter& operator=(const SafeWriter&) = delete;
  ~SafeWriter() { Abandon(); }

  Status Open(std::string_view name);
  Status Append(std::string_view bytes);
  Status Commit();
  // Puts the file in place only where no file has the name yet (a link, not a rename), so that
  // a file another program made meanwhile is never replaced: *existed is then true, nothing is
  // written and the status is Ok.
  Status CommitNew(bool* existed);
  void Abandon();

  const std::string& name() const { return name_; }
  const std::string& target_path() const { return target_; }

 private:
  Status Flush();
  Status WriteAll(std::string_view bytes);
  // Flushes, syncs and closes the temporary file.
  Status Finish();
  uint64_t written_ = 0;  // bytes in the temporary file

  int fd_ = -1;
  std::string name_;
  std::string target_;
  std::string temp_;
  std::string buffer_;
};

// Replaces the file `name` with `bytes` through a SafeWriter.
Status ReplaceFile(std::string_view name, std::string_view bytes);

// A whole text file in memory, read line by line. CR LF, LF and CR alone all end a line; a last
// line without an end still counts.
class TextReader {
 public:
  Status Open(std::string_view name);
  // Reads from memory, for callers and tests that already hold the bytes.
  void OpenBytes(std::string bytes);
  bool ReadLine(std::string* line);
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  const std::string& bytes() const { return bytes_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::string bytes_;
  size_t pos_ = 0;
};

// A text file written through a SafeWriter, lines ended by CR LF. Nothing is visible under the
// file's name until Close succeeds.
class TextWriter {
 public:
  Status Open(std::string_view name) { return writer_.Open(name); }
  Status Write(std::string_view text) { return writer_.Append(text); }
  Status WriteLine(std::string_view line);
  Status Close() { return writer_.Commit(); }

 private:
  SafeWriter writer_;
};

// False when `name` is not an existing file (or cannot be read); otherwise `file` holds it.
bool OpenTextRead(std::string_view name, TextReader* file);
// False when the new file cannot be started.
bool OpenTextWrite(std::string_view name, TextWriter* file);

// Makes the renames and removals in `folder` durable.
void SyncFolder(const std::string& folder);

// Reads a whole file.
Status ReadWholeFile(std::string_view name, std::string* bytes);
// Creates the folder `name` when no file or folder of that name exists.
Status MakeFolder(std::string_view name);

}  // namespace quiz
