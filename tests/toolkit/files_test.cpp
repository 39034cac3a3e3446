#include "toolkit/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"

namespace quiz {
namespace {

using testing::Exists;
using testing::FileBytes;
using testing::ListFolder;
using testing::PutFile;

class Files : public testing::InTempDir {};

TEST_F(Files, NativePathFindsNamesWhateverTheirCase) {
  PutFile("Bases/Arxs.rel", "x");
  PutFile("Bases/Història.qst", "y");
  struct Case {
    std::string name;  // Windows-1252
    std::string path;  // UTF-8
  } cases[] = {
      {"Bases\\Arxs.rel", "Bases/Arxs.rel"},
      {"Bases\\arxs.rel", "Bases/Arxs.rel"},
      {"BASES\\ARXS.REL", "Bases/Arxs.rel"},
      {W("bases\\HISTÒRIA.qst"), "Bases/Història.qst"},
      {"bases\\Nou.qst", "Bases/Nou.qst"},         // a new file keeps its given name
      {"Altres\\Nou.qst", "Altres/Nou.qst"},       // so does a missing folder
      {"Punts.rel", "Punts.rel"},
  };
  for (const auto& c : cases) EXPECT_EQ(NativePath(c.name), c.path) << c.name;
}

TEST_F(Files, FileExistsAndPathExists) {
  PutFile("Bases/Arxs.rel", "");
  EXPECT_TRUE(FileExists("Bases\\arxs.rel"));
  EXPECT_FALSE(FileExists("Bases"));
  EXPECT_TRUE(PathExists("Bases"));
  EXPECT_TRUE(PathExists("bases\\ARXS.rel"));
  EXPECT_FALSE(PathExists("Generats"));
  EXPECT_FALSE(FileExists("Bases\\cap.qst"));
}

TEST_F(Files, RecordFileCountsWholeRecordsOnly) {
  struct Case {
    size_t bytes, record_size;
    uint64_t count;
  } cases[] = {{0, 10, 0}, {9, 10, 0}, {10, 10, 1}, {25, 10, 2}, {706 * 3 + 705, 706, 3}};
  for (const auto& c : cases) {
    PutFile("f.rel", std::string(c.bytes, 'a'));
    RecordFile file;
    ASSERT_TRUE(OpenRecordFile("f.rel", c.record_size, &file).ok());
    uint64_t count = 99;
    ASSERT_TRUE(file.Count(&count).ok());
    EXPECT_EQ(count, c.count) << c.bytes << "/" << c.record_size;
  }
}

TEST_F(Files, RecordFileOpenCreatesOrReportsAbsence) {
  RecordFile file;
  const Status missing = file.Open("cap.rel", 4, RecordFile::Mode::kExisting);
  EXPECT_EQ(missing.code(), Status::Code::kNotFound);
  EXPECT_NE(missing.text().find("cap.rel"), std::string::npos);
  EXPECT_FALSE(Exists("cap.rel"));
  ASSERT_TRUE(OpenRecordFile("cap.rel", 4, &file).ok());
  EXPECT_TRUE(Exists("cap.rel"));
  const Status no_folder = OpenRecordFile("NoHiEs\\x.rel", 4, &file);
  EXPECT_EQ(no_folder.code(), Status::Code::kIoError);
  EXPECT_NE(no_folder.text().find("NoHiEs\\x.rel"), std::string::npos);
}

TEST_F(Files, RecordFileReadPastTheEndFails) {
  PutFile("f.rel", "abcdefgh");
  RecordFile file;
  ASSERT_TRUE(OpenRecordFile("f.rel", 4, &file).ok());
  char buffer[8];
  EXPECT_TRUE(file.Read(1, 1, buffer).ok());
  EXPECT_EQ(std::string(buffer, 4), "efgh");
  EXPECT_FALSE(file.Read(2, 1, buffer).ok());
}

TEST_F(Files, FailedAppendLeavesTheRecordsThatWereThere) {
  PutFile("f.rel", std::string(1000, 'a'));
  RecordFile file;
  ASSERT_TRUE(OpenRecordFile("f.rel", 100, &file).ok());
  const std::string record(100, 'b');
  {
    testing::FileSizeLimit limit(1050);
    const Status status = file.Write(10, 1, record.data());
    EXPECT_EQ(status.code(), Status::Code::kIoError);
    EXPECT_EQ(status.caption(), WriteFailedCaption());
  }
  EXPECT_EQ(FileBytes("f.rel"), std::string(1000, 'a'));
}

TEST_F(Files, SafeWriterReplacesWholeOrNotAtAll) {
  PutFile("Bases/x.qst", "old contents");
  ::chmod("Bases/x.qst", 0640);
  ASSERT_TRUE(ReplaceFile("Bases\\X.QST", "new").ok());
  EXPECT_EQ(FileBytes("Bases/x.qst"), "new");
  EXPECT_EQ(ListFolder("Bases"), "x.qst");
  struct stat st;
  ASSERT_EQ(::stat("Bases/x.qst", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  {  // abandoned: the old file stays and the temporary file goes
    SafeWriter writer;
    ASSERT_TRUE(writer.Open("Bases\\x.qst").ok());
    ASSERT_TRUE(writer.Append(std::string(1 << 20, 'z')).ok());
    EXPECT_EQ(FileBytes("Bases/x.qst"), "new");
  }
  EXPECT_EQ(ListFolder("Bases"), "x.qst");

  {  // a disk that fills up half-way
    testing::FileSizeLimit limit(100000);
    const Status status = ReplaceFile("Bases\\x.qst", std::string(300000, 'q'));
    EXPECT_EQ(status.code(), Status::Code::kIoError);
    EXPECT_NE(status.text().find("Bases\\x.qst"), std::string::npos);
  }
  EXPECT_EQ(FileBytes("Bases/x.qst"), "new");
  EXPECT_EQ(ListFolder("Bases"), "x.qst");

  const Status no_folder = ReplaceFile("Cap\\y.txt", "x");
  EXPECT_EQ(no_folder.code(), Status::Code::kIoError);
}

// A pid that no process has now: a child that has ended.
pid_t DeadPid() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

TEST_F(Files, ARewriteRemovesWhatKilledWritersLeftAndNothingElse) {
  PutFile("Bases/x.qst", "old");
  const std::string dead = std::to_string(DeadPid());
  const std::string alive = std::to_string(::getpid());
  SafeWriter live;  // a writer of this program still at work
  ASSERT_TRUE(live.Open("Bases\\x.qst").ok());
  const std::string live_temp = ListFolder("Bases").substr(0, ListFolder("Bases").find(' '));
  struct Case {
    std::string name;
    bool locked;  // a writer elsewhere holds it (its pid means nothing here)
    time_t age;   // seconds since it last changed
    bool kept;
  } cases[] = {
      {".x.qst.tmp-" + dead + "-aaaaaa", false, 0, false},
      {".x.qst.tmp-" + alive + "-bbbbbb", false, 0, true},     // just made, not locked yet
      {".x.qst.tmp-" + alive + "-cccccc", false, 600, false},  // the pid came back much later
      {".x.qst.tmp-" + dead + "-dddddd", true, 600, true},
      {".y.qst.tmp-" + dead + "-eeeeee", false, 600, true},  // another file's
      {".x.qst.tmp-notapid", false, 0, true},
  };
  std::vector<int> locks;
  for (const auto& c : cases) {
    PutFile("Bases/" + c.name, "partial");
    const std::string path = "Bases/" + c.name;
    const timeval when[2] = {{time(nullptr) - c.age, 0}, {time(nullptr) - c.age, 0}};
    ::utimes(path.c_str(), when);
    if (c.locked) {
      const int fd = ::open(path.c_str(), O_RDWR);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
      locks.push_back(fd);
    }
  }
  ASSERT_TRUE(ReplaceFile("Bases\\x.qst", "new").ok());
  std::vector<std::string> names = {"x.qst", live_temp};
  for (const auto& c : cases) {
    if (c.kept) names.push_back(c.name);
  }
  std::sort(names.begin(), names.end());
  std::string sorted;
  for (const auto& n : names) sorted += (sorted.empty() ? "" : " ") + n;
  EXPECT_EQ(ListFolder("Bases"), sorted);
  for (int fd : locks) ::close(fd);
  live.Abandon();
}

TEST_F(Files, AFileThatMayNotBeWrittenIsNotReplaced) {
  PutFile("Bases/x.qst", "old");
  testing::OpenToEveryone(dir());
  testing::SetMode("Bases/x.qst", 0444);
  const int code = testing::RunUnprivileged([] {
    const Status status = ReplaceFile("Bases\\x.qst", "new");
    if (status.code() != Status::Code::kIoError) return 1;
    if (status.text() != W("Bases\\x.qst: no hi ha permís")) return 2;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(FileBytes("Bases/x.qst"), "old");
  EXPECT_EQ(ListFolder("Bases"), "x.qst");
}

TEST_F(Files, TextReaderEndsLinesAtCrLfLfOrCr) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"", {}},
      {"\r\n", {""}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
  };
  for (const auto& c : cases) {
    TextReader reader;
    reader.OpenBytes(c.bytes);
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(&line)) lines.push_back(line);
    EXPECT_EQ(lines, c.lines);
  }
}

TEST_F(Files, TextFilesOpenAndWrite) {
  TextReader reader;
  EXPECT_FALSE(OpenTextRead("cap.txt", &reader));
  ::mkdir("carpeta", 0777);
  EXPECT_FALSE(OpenTextRead("carpeta", &reader));

  TextWriter writer;
  ASSERT_TRUE(OpenTextWrite("sortida.txt", &writer));
  ASSERT_TRUE(writer.WriteLine(W("línia u")).ok());
  ASSERT_TRUE(writer.Write("dos").ok());
  EXPECT_FALSE(Exists("sortida.txt"));  // nothing shows before Close
  ASSERT_TRUE(writer.Close().ok());
  EXPECT_EQ(FileBytes("sortida.txt"), "l\xEDnia u\r\ndos");

  ASSERT_TRUE(OpenTextRead("SORTIDA.TXT", &reader));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(&line));
  EXPECT_EQ(line, "l\xEDnia u");
}

TEST_F(Files, MakeFolderOnlyWhenMissing) {
  ASSERT_TRUE(MakeFolder("Generats").ok());
  EXPECT_TRUE(PathExists("Generats"));
  PutFile("Generats/a", "x");
  ASSERT_TRUE(MakeFolder("generats").ok());  // the same folder, another spelling
  EXPECT_EQ(ListFolder("."), "Generats");
}

}  // namespace
}  // namespace quiz
