#include "toolkit/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include "toolkit/cp1252.h"
#include "toolkit/large_pages.h"
#include "toolkit/paths.h"

namespace quiz {
namespace {

constexpr size_t kWriteBuffer = 256 * 1024;

Status PreadAll(int fd, char* buffer, size_t size, off_t offset, const std::string& name) {
  while (size > 0) {
    const ssize_t got = ::pread(fd, buffer, size, offset);
    if (got < 0) {
      if (errno == EINTR) continue;
      return Status::IoError(ReadFailedCaption(), name, errno);
    }
    if (got == 0) return Status::IoError(ReadFailedCaption(), name, 0);
    buffer += got;
    size -= static_cast<size_t>(got);
    offset += got;
  }
  return Status::Ok();
}

Status PwriteAll(int fd, const char* buffer, size_t size, off_t offset, const std::string& name) {
  while (size > 0) {
    const ssize_t put = ::pwrite(fd, buffer, size, offset);
    if (put < 0) {
      if (errno == EINTR) continue;
      return Status::IoError(WriteFailedCaption(), name, errno);
    }
    buffer += put;
    size -= static_cast<size_t>(put);
    offset += put;
  }
  return Status::Ok();
}

enum class LockResult { kLocked, kBusy, kUnsupported };

// Open-file-description locks belong to one open of a file: they exclude the other opens of this
// process too, and closing another descriptor of the same file does not drop them. Network file
// systems that honour POSIX record locks honour these.
LockResult TryLockWhole(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return LockResult::kLocked;
  if (errno == EAGAIN || errno == EACCES) return LockResult::kBusy;
  return LockResult::kUnsupported;
}

std::chrono::milliseconds& LockWaitSetting() {
  static std::chrono::milliseconds wait{5000};
  return wait;
}

// Takes the lock of the whole file at `fd`, waiting while another program holds it.
LockResult LockWaiting(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + LockWaitSetting();
  while (true) {
    const LockResult result = TryLockWhole(fd);
    if (result != LockResult::kBusy || std::chrono::steady_clock::now() >= deadline) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void UnlockWhole(int fd) {
  struct flock lock {};
  lock.l_type = F_UNLCK;
  lock.l_whence = SEEK_SET;
  ::fcntl(fd, F_OFD_SETLK, &lock);
}

// A temporary file nobody has touched for this long is abandoned, even when the pid in its name
// is alive again (pids are reused).
constexpr time_t kAbandonedAfter = 60;

std::string TempPrefix(const std::string& target) { return "." + BaseOfPath(target) + ".tmp-"; }

// Removes the temporary files of `target` that their writers left behind when they were killed.
// A live writer keeps the lock on its file, and a writer that has just made its file (and has
// not locked it yet) is a live pid with a fresh file: both stay.
void RemoveAbandonedTemporaries(const std::string& target) {
  const std::string folder = FolderOfPath(target);
  const std::string prefix = TempPrefix(target);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) found.push_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : found) {
    const std::string path = folder + "/" + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    const LockResult lock = TryLockWhole(fd);
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && lock != LockResult::kBusy) {
      const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
      const bool writer_gone = pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
      const bool untouched = std::time(nullptr) - st.st_mtime > kAbandonedAfter;
      if (writer_gone || (lock == LockResult::kLocked && untouched)) ::unlink(path.c_str());
    }
    ::close(fd);
  }
}

}  // namespace

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::chrono::milliseconds LockWait() { return LockWaitSetting(); }
void SetLockWait(std::chrono::milliseconds wait) { LockWaitSetting() = wait; }

// ---------------------------------------------------------------------------------------------
// RecordFile

RecordFile::RecordFile(RecordFile&& other) noexcept { *this = std::move(other); }

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    record_size_ = other.record_size_;
    mode_ = other.mode_;
    created_ = other.created_;
    locked_ = other.locked_;
    lock_taken_ = other.lock_taken_;
    name_ = std::move(other.name_);
    path_ = std::move(other.path_);
    other.fd_ = -1;
    other.locked_ = other.lock_taken_ = false;
  }
  return *this;
}

Status RecordFile::Open(std::string_view name, size_t record_size, Mode mode) {
  Close();
  name_ = std::string(name);
  record_size_ = record_size == 0 ? 1 : record_size;
  mode_ = mode;
  created_ = false;
  const int flags = (mode == Mode::kReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  // The name as spelled first: it is nearly always right, and a look-up costs a system call per
  // folder. Only a name that is not there is looked up without regard to case, then made.
  path_ = SpelledPath(name);
  fd_ = ::open(path_.c_str(), flags);
  if (fd_ < 0 && errno == ENOENT) {
    path_ = NativePath(name);
    fd_ = ::open(path_.c_str(), flags);
    if (fd_ < 0 && errno == ENOENT && mode == Mode::kCreate) {
      fd_ = ::open(path_.c_str(), flags | O_CREAT | O_EXCL, 0666);
      created_ = fd_ >= 0;
      if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path_.c_str(), flags);  // made meanwhile
    }
  }
  if (fd_ < 0) {
    const int err = errno;
    if (err == ENOENT && mode != Mode::kCreate) {
      return Status::NotFound(OpenFailedCaption(), name_ + ": " + ErrorReason(err));
    }
    return Status::IoError(OpenFailedCaption(), name_, err);
  }
  return Status::Ok();
}

void RecordFile::Close() {
  if (fd_ >= 0) ::close(fd_);  // a lock of this open goes with it
  fd_ = -1;
  locked_ = lock_taken_ = false;
}

Status RecordFile::IsCurrent(bool* current) const {
  struct stat open_file, named;
  if (::fstat(fd_, &open_file) != 0) return Status::IoError(ReadFailedCaption(), name_, errno);
  *current = ::stat(path_.c_str(), &named) == 0 && named.st_dev == open_file.st_dev &&
             named.st_ino == open_file.st_ino;
  return Status::Ok();
}

Status RecordFile::Reopen() {
  const std::string name = name_;
  // Only the first open makes a file: one removed since then stays removed.
  const Mode mode = mode_ == Mode::kCreate ? Mode::kExisting : mode_;
  const Status opened = Open(name, record_size_, mode);
  if (opened.code() == Status::Code::kNotFound) return Status::Changed(name, W("esborrat"));
  return opened;
}

Status RecordFile::RefuseReadOnly() const {
  return Status::Refused(W("Només lectura"), name_ + W(": és de només lectura; no s'hi ha escrit res."));
}

Status RecordFile::Refresh() {
  bool current = false;
  QUIZ_RETURN_IF_ERROR(IsCurrent(&current));
  return current ? Status::Ok() : Reopen();
}

Status RecordFile::Lock() {
  if (locked_) return Status::Ok();
  if (mode_ == Mode::kReadOnly) return RefuseReadOnly();
  // A rewrite renames its new file over the name while it holds the lock of the old one: whoever
  // was waiting then holds the lock of a file that is gone, and takes the new one's instead.
  for (int attempt = 0; attempt < 64; ++attempt) {
    const LockResult result = LockWaiting(fd_);
    if (result == LockResult::kBusy) return Status::Busy(name_);
    bool current = false;
    QUIZ_RETURN_IF_ERROR(IsCurrent(&current));
    if (current) {
      locked_ = true;
      lock_taken_ = result == LockResult::kLocked;
      return Status::Ok();
    }
    QUIZ_RETURN_IF_ERROR(Reopen());
  }
  return Status::Busy(name_);
}

Status RecordFile::LockUnchanged() {
  if (locked_) return Status::Ok();
  if (mode_ == Mode::kReadOnly) return RefuseReadOnly();
  const LockResult result = LockWaiting(fd_);
  if (result == LockResult::kBusy) return Status::Busy(name_);
  locked_ = true;
  lock_taken_ = result == LockResult::kLocked;
  bool current = false;
  Status checked = IsCurrent(&current);
  if (checked.ok() && !current) checked = Status::Changed(name_, FileExists(name_) ? W("reescrit") : W("esborrat"));
  if (!checked.ok()) Unlock();
  return checked;
}

void RecordFile::Unlock() {
  if (lock_taken_) UnlockWhole(fd_);
  locked_ = lock_taken_ = false;
}

Status RecordFile::Count(uint64_t* count) const {
  QUIZ_RETURN_IF_ERROR(Size(count));
  *count /= record_size_;
  return Status::Ok();
}

Status RecordFile::Size(uint64_t* bytes) const {
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Status::IoError(ReadFailedCaption(), name_, errno);
  *bytes = static_cast<uint64_t>(st.st_size);
  return Status::Ok();
}

Status RecordFile::Read(uint64_t index, size_t n, char* buffer) const {
  return PreadAll(fd_, buffer, n * record_size_, static_cast<off_t>(index * record_size_), name_);
}

Status RecordFile::ReadTail(std::string* tail) const {
  tail->clear();
  uint64_t bytes = 0;
  QUIZ_RETURN_IF_ERROR(Size(&bytes));
  tail->resize(static_cast<size_t>(bytes % record_size_));
  return PreadAll(fd_, tail->data(), tail->size(), static_cast<off_t>(bytes - tail->size()), name_);
}

namespace {

// Writes at `offset` of a file of `size` bytes; a failed write past that end is cut back, so that
// the file keeps what it had.
Status WriteOrCutBack(int fd, const char* buffer, size_t bytes, off_t offset, off_t size,
                      const std::string& name) {
  Status status = PwriteAll(fd, buffer, bytes, offset, name);
  if (!status.ok() && offset + static_cast<off_t>(bytes) > size) {
    if (::ftruncate(fd, size) != 0) { /* the status already says what failed */ }
  }
  return status;
}

}  // namespace

Status RecordFile::Append(size_t n, const char* buffer, uint64_t* index, uint64_t max_records) {
  RecordLock lock(this);
  QUIZ_RETURN_IF_ERROR(lock.Take());
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Status::IoError(WriteFailedCaption(), name_, errno);
  const uint64_t end = static_cast<uint64_t>(st.st_size) / record_size_;  // a torn tail goes
  if (index) *index = end;
  if (end + n > max_records) return Status::Refused(W("Fitxer ple"), name_);
  return WriteOrCutBack(fd_, buffer, n * record_size_, static_cast<off_t>(end * record_size_),
                        st.st_size, name_);
}

Status RecordFile::Write(uint64_t index, size_t n, const char* buffer) {
  RecordLock lock(this);
  QUIZ_RETURN_IF_ERROR(lock.Take());
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Status::IoError(WriteFailedCaption(), name_, errno);
  return WriteOrCutBack(fd_, buffer, n * record_size_, static_cast<off_t>(index * record_size_),
                        st.st_size, name_);
}

Status RecordFile::Truncate(uint64_t n) {
  if (::ftruncate(fd_, static_cast<off_t>(n * record_size_)) != 0) {
    return Status::IoError(WriteFailedCaption(), name_, errno);
  }
  return Status::Ok();
}

Status RecordFile::Sync() {
  if (::fsync(fd_) != 0) return Status::IoError(WriteFailedCaption(), name_, errno);
  return Status::Ok();
}

Status OpenRecordFile(std::string_view name, size_t record_size, RecordFile* file) {
  return file->Open(name, record_size, RecordFile::Mode::kCreate);
}

// ---------------------------------------------------------------------------------------------
// SafeWriter

Status SafeWriter::Open(std::string_view name) {
  Abandon();
  name_ = std::string(name);
  target_ = NativePath(name);
  // A file this user may not write keeps its bytes, even where the folder would let a new file
  // take its name.
  if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
    return Status::IoError(WriteFailedCaption(), name_, errno);
  }
  RemoveAbandonedTemporaries(target_);
  temp_ = FolderOfPath(target_) + "/" + TempPrefix(target_) + std::to_string(::getpid()) + "-XXXXXX";
  fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
  written_ = 0;
  if (fd_ < 0) {
    const int err = errno;
    temp_.clear();
    return Status::IoError(WriteFailedCaption(), name_, err);
  }
  (void)TryLockWhole(fd_);  // where locks are not supported, the pid in the name still speaks
  struct stat st;
  mode_t mode;
  if (::stat(target_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);
  buffer_.clear();
  buffer_.reserve(kWriteBuffer);
  return Status::Ok();
}

Status SafeWriter::WriteAll(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return Status::IoError(WriteFailedCaption(), name_, errno);
    }
    done += static_cast<size_t>(put);
  }
  // The disk starts on what is written while the rest is still being made, so that Commit's
  // flush has less left to wait for.
  ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
  written_ += bytes.size();
  return Status::Ok();
}

Status SafeWriter::Flush() {
  const Status status = WriteAll(buffer_);
  buffer_.clear();
  return status;
}

Status SafeWriter::Append(std::string_view bytes) {
  if (fd_ < 0) return Status::IoError(WriteFailedCaption(), name_, EBADF);
  if (buffer_.size() + bytes.size() > kWriteBuffer) {
    Status status = Flush();
    if (!status.ok()) {
      Abandon();
      return status;
    }
    if (bytes.size() >= kWriteBuffer) {
      // A large piece goes to the file as it is, without a copy through the buffer.
      status = WriteAll(bytes);
      if (!status.ok()) Abandon();
      return status;
    }
  }
  buffer_.append(bytes);
  return Status::Ok();
}

Status SafeWriter::Finish() {
  if (fd_ < 0) return Status::IoError(WriteFailedCaption(), name_, EBADF);
  Status status = Flush();
  if (status.ok() && ::fsync(fd_) != 0) status = Status::IoError(WriteFailedCaption(), name_, errno);
  if (status.ok()) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) status = Status::IoError(WriteFailedCaption(), name_, errno);
  }
  return status;
}

Status SafeWriter::CommitNew(bool* existed) {
  *existed = false;
  Status status = Finish();
  if (status.ok() && ::link(temp_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    if (err == EEXIST) {
      *existed = true;
    } else if ((err == EPERM || err == EOPNOTSUPP || err == ENOSYS) && ::access(target_.c_str(), F_OK) != 0 &&
               ::rename(temp_.c_str(), target_.c_str()) == 0) {
      // A file system without hard links: the name was free a moment ago.
      temp_.clear();
    } else if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS) {
      *existed = ::access(target_.c_str(), F_OK) == 0;
      if (!*existed) status = Status::IoError(WriteFailedCaption(), name_, errno);
    } else {
      status = Status::IoError(WriteFailedCaption(), name_, err);
    }
  }
  const bool placed = status.ok() && !*existed;
  Abandon();  // the temporary name goes; a placed file lives on under its own
  if (placed) SyncFolder(FolderOfPath(target_));
  return status;
}

Status SafeWriter::Commit() {
  Status status = Finish();
  if (status.ok() && ::rename(temp_.c_str(), target_.c_str()) != 0) {
    status = Status::IoError(WriteFailedCaption(), name_, errno);
  }
  if (!status.ok()) {
    Abandon();
    return status;
  }
  temp_.clear();
  SyncFolder(FolderOfPath(target_));
  return Status::Ok();
}

void SafeWriter::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  buffer_.clear();
}

Status RewriteRecordFile(std::string_view name, size_t record_size,
                         const std::function<Status(const RecordFile& current, SafeWriter* out)>& rewrite) {
  RecordFile current;
  QUIZ_RETURN_IF_ERROR(current.Open(name, record_size, RecordFile::Mode::kExisting));
  QUIZ_RETURN_IF_ERROR(current.Lock());
  SafeWriter out;
  QUIZ_RETURN_IF_ERROR(out.Open(name));
  QUIZ_RETURN_IF_ERROR(rewrite(current, &out));
  return out.Commit();  // the lock goes when `current` closes, after the rename
}

Status ReplaceFile(std::string_view name, std::string_view bytes) {
  SafeWriter writer;
  QUIZ_RETURN_IF_ERROR(writer.Open(name));
  QUIZ_RETURN_IF_ERROR(writer.Append(bytes));
  return writer.Commit();
}

// ---------------------------------------------------------------------------------------------
// Text files

Status ReadWholeFile(std::string_view name, std::string* bytes) {
  const std::string path = NativePath(name);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT) {
      return Status::NotFound(OpenFailedCaption(), std::string(name) + ": " + ErrorReason(err));
    }
    return Status::IoError(OpenFailedCaption(), std::string(name), err);
  }
  bytes->clear();
  struct stat st;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) {
    bytes->reserve(static_cast<size_t>(st.st_size));
    AdviseLargePages(bytes->data(), bytes->capacity());
  }
  char chunk[1 << 16];
  while (true) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return Status::IoError(ReadFailedCaption(), std::string(name), err);
    }
    if (got == 0) break;
    bytes->append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return Status::Ok();
}

Status TextReader::Open(std::string_view name) {
  name_ = std::string(name);
  pos_ = 0;
  return ReadWholeFile(name, &bytes_);
}

void TextReader::OpenBytes(std::string bytes) {
  bytes_ = std::move(bytes);
  pos_ = 0;
}

bool TextReader::ReadLine(std::string* line) {
  if (pos_ >= bytes_.size()) return false;
  // The line ends at the first LF or CR. memchr finds each fast; the CR is looked for only
  // before the LF (find_first_of would search its two-character set once per byte).
  const char* const data = bytes_.data();
  const size_t size = bytes_.size();
  const void* lf = std::memchr(data + pos_, '\n', size - pos_);
  size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - data) : size;
  if (const void* cr = std::memchr(data + pos_, '\r', end - pos_)) {
    end = static_cast<size_t>(static_cast<const char*>(cr) - data);
  }
  if (end == size) {
    line->assign(bytes_, pos_, std::string::npos);
    pos_ = bytes_.size();
    return true;
  }
  line->assign(bytes_, pos_, end - pos_);
  pos_ = end + 1;
  if (bytes_[end] == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  return true;
}

Status TextWriter::WriteLine(std::string_view line) {
  QUIZ_RETURN_IF_ERROR(writer_.Append(line));
  return writer_.Append("\r\n");
}

bool OpenTextRead(std::string_view name, TextReader* file) {
  if (!FileExists(name)) return false;
  return file->Open(name).ok();
}

bool OpenTextWrite(std::string_view name, TextWriter* file) { return file->Open(name).ok(); }

Status MakeFolder(std::string_view name) {
  if (PathExists(name)) return Status::Ok();
  if (::mkdir(NativePath(name).c_str(), 0777) != 0 && errno != EEXIST) {
    return Status::IoError(CreateFolderFailedCaption(), std::string(name), errno);
  }
  return Status::Ok();
}

}  // namespace quiz
