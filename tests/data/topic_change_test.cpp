#include "data/topic_change.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

using testing::FileBytes;
using testing::FolderState;
using testing::ListFolder;
using testing::PutFile;
using testing::ReadFolderState;
using testing::WriteFolderState;

constexpr Layout kFrom{20, 20, 4, 20};
const Question kQuestion{"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, "comentari"};

TopicEntry Topic(const std::string& name, Layout layout) { return testing::TopicOf(name, layout); }

class TopicChangeTest : public testing::InTempDir {
 protected:
  // An index of two topics: "vell" of `from` with three questions alike, and "altre".
  void MakeFolder(Layout from = kFrom) {
    WriteFolderState({});
    PutFile("Bases/.keep", "");
    TopicIndex index;
    ASSERT_TRUE(index.Create().ok());
    ASSERT_TRUE(index.Write(1, Topic("vell", from)).ok());
    ASSERT_TRUE(index.Write(2, Topic("altre", {10, 10, 2, 0})).ok());
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(Topic("vell", from)).ok());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(bank.Append(kQuestion).ok());
    ASSERT_TRUE(bank.Open(Topic("altre", {10, 10, 2, 0})).ok());
    ASSERT_TRUE(bank.Append(kQuestion).ok());
  }

  // Saves topic 1 as `to`, as the parameters window does: under the index's lock, its bank open.
  Status Change(const TopicEntry& to, RelayoutResult* result, Layout from = kFrom) {
    TopicIndex index;
    QUIZ_RETURN_IF_ERROR(index.Open());
    ScopedLock<TopicIndex> lock(&index);
    QUIZ_RETURN_IF_ERROR(lock.Take());
    QUIZ_RETURN_IF_ERROR(bank_.Open(Topic("vell", from), QuestionFile::Access::kWrite));
    return ChangeTopic(&index, 1, &bank_, to, result);
  }

  TopicEntry EntryNow(uint16_t n) {
    TopicIndex index;
    TopicEntry e;
    EXPECT_TRUE(index.Open().ok());
    EXPECT_TRUE(index.Read(n, &e).ok());
    return e;
  }

  QuestionFile bank_;
};

struct ChangeCase {
  const char* what;
  Layout to;
  std::string new_name;
  RelayoutResult::Action action;
  Question after;  // every question afterwards
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.what; }

class ChangeTopicTest : public TopicChangeTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeTopicTest, BringsTheBankAndTheEntryToTheNewParameters) {
  const ChangeCase& c = GetParam();
  MakeFolder(kFrom);
  const std::string other_bank = FileBytes("Bases/altre.qst");
  TopicEntry to = Topic(c.new_name, c.to);
  to.title = "Un altre títol";
  RelayoutResult result;
  const Status status = Change(to, &result);
  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(result.action, c.action);
  EXPECT_EQ(result.file_name, "Bases\\" + c.new_name + ".qst");
  EXPECT_EQ(EntryNow(1), to);
  EXPECT_EQ(EntryNow(2), Topic("altre", {10, 10, 2, 0}));
  // The bank left open and a fresh open of the new entry read the same questions.
  EXPECT_EQ(UpperCat(bank_.name()), UpperCat(result.file_name));
  QuestionFile again;
  ASSERT_TRUE(again.Open(to, QuestionFile::Access::kRead).ok());
  for (QuestionFile* bank : {&bank_, &again}) {
    ASSERT_EQ(bank->count(), 3);
    Question q;
    ASSERT_TRUE(bank->Read(3, &q).ok());
    EXPECT_EQ(q, c.after);
  }
  const std::string own = c.new_name == "VELL" ? "vell" : c.new_name;
  EXPECT_EQ(ListFolder("Bases"), ".keep Arxs.rel altre.qst " + own + ".qst");
  EXPECT_EQ(FileBytes("Bases/altre.qst"), other_bank);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeTopicTest,
    ::testing::Values(
        ChangeCase{"title only", kFrom, "vell", RelayoutResult::Action::kNone, kQuestion},
        ChangeCase{"case only", kFrom, "VELL", RelayoutResult::Action::kNone, kQuestion},
        ChangeCase{"rename", kFrom, "nou", RelayoutResult::Action::kRenamed, kQuestion},
        ChangeCase{"shorter answers", {20, 5, 4, 20}, "vell", RelayoutResult::Action::kRewritten,
                   {"pregunta", {"respo", "respo", "respo", "respo"}, "comentari"}},
        ChangeCase{"shorter question and comment", {4, 20, 4, 3}, "vell", RelayoutResult::Action::kRewritten,
                   {"preg", {"resposta1", "resposta2", "resposta3", "resposta4"}, "com"}},
        ChangeCase{"longer fields", {128, 128, 4, 128}, "vell", RelayoutResult::Action::kRewritten, kQuestion},
        ChangeCase{"comment dropped", {20, 20, 4, 0}, "vell", RelayoutResult::Action::kRewritten,
                   {"pregunta", {"resposta1", "resposta2", "resposta3", "resposta4"}, ""}},
        ChangeCase{"fewer alternatives", {20, 20, 2, 20}, "vell", RelayoutResult::Action::kRewritten,
                   {"pregunta", {"resposta1", "resposta2", "", ""}, "comentari"}},
        ChangeCase{"layout and name", {20, 9, 3, 20}, "nou", RelayoutResult::Action::kRewritten,
                   {"pregunta", {"resposta1", "resposta2", "resposta3", ""}, "comentari"}}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& ch : name) if (ch == ' ') ch = '_';
      return name;
    });

TEST_F(TopicChangeTest, AChangeThatCannotBeMadeLeavesTheTopicAsItWas) {
  struct Case {
    const char* what;
    TopicEntry to;
    Status::Code code;
  } cases[] = {
      {"the new name is another file's, same layout", Topic("ALTRE", kFrom), Status::Code::kRefused},
      {"the new name is another file's, new layout", Topic("altre", {20, 5, 4, 20}), Status::Code::kRefused},
      {"the disk fills while the copy is made", Topic("nou", {120, 120, 4, 120}), Status::Code::kIoError},
  };
  for (const auto& c : cases) {
    MakeFolder();
    const FolderState before = ReadFolderState();
    RelayoutResult result;
    Status status;
    {
      testing::FileSizeLimit limit(1000);
      status = Change(c.to, &result);
    }
    EXPECT_EQ(status.code(), c.code) << c.what << ": " << status.ToString();
    EXPECT_EQ(testing::Differences(ReadFolderState(), before), "") << c.what;
    EXPECT_EQ(ListFolder("Bases"), ".keep Arxs.rel altre.qst vell.qst") << c.what;
  }
}

// Every state a kill can leave, built by hand from the files of the topic before and after the
// change: the next open of the index finds the topic whole, as it was or as it was saved.
TEST_F(TopicChangeTest, TheNextOpenEndsOrUndoesAChangeLeftAtAnyStep) {
  enum Piece { kOldBank, kNewBank, kHalfCopy, kOldIndex, kNewIndex, kRecord, kDamagedRecord, kForeign, kEmpty };
  enum Expect { kAsBefore, kAsAfter, kCannotEnd };
  struct Case {
    const char* what;
    TopicEntry to;
    std::vector<std::pair<std::string, Piece>> files;  // besides Bases/.keep and altre.qst
    Expect expect;
  } cases[] = {
      {"copy half-written, no record", Topic("vell", {20, 5, 4, 20}),
       {{"vell.qst", kOldBank}, {"Canvi.nou", kHalfCopy}, {"Arxs.rel", kOldIndex}}, kAsBefore},
      {"copy whole, no record", Topic("vell", {20, 5, 4, 20}),
       {{"vell.qst", kOldBank}, {"Canvi.nou", kNewBank}, {"Arxs.rel", kOldIndex}}, kAsBefore},
      {"record written, bank and entry old", Topic("vell", {20, 5, 4, 20}),
       {{"vell.qst", kOldBank}, {"Canvi.nou", kNewBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"bank re-laid out but entry old", Topic("vell", {20, 5, 4, 20}),
       {{"vell.qst", kNewBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"alternatives alone, bank new but entry old", Topic("vell", {20, 20, 3, 20}),
       {{"vell.qst", kNewBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"entry new, record left", Topic("vell", {20, 5, 4, 20}),
       {{"vell.qst", kNewBank}, {"Arxs.rel", kNewIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"new name: copy whole, record written", Topic("nou", {20, 9, 3, 20}),
       {{"vell.qst", kOldBank}, {"Canvi.nou", kNewBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"new name: new file in place, old file still there", Topic("nou", {20, 9, 3, 20}),
       {{"vell.qst", kOldBank}, {"nou.qst", kNewBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"new name: old file removed and entry old", Topic("nou", {20, 9, 3, 20}),
       {{"nou.qst", kNewBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"new name: entry new, record left", Topic("nou", {20, 9, 3, 20}),
       {{"nou.qst", kNewBank}, {"Arxs.rel", kNewIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"rename: record written, file not renamed", Topic("nou", kFrom),
       {{"vell.qst", kOldBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"rename: file renamed, entry old", Topic("nou", kFrom),
       {{"nou.qst", kOldBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"rename: file renamed, and a list made the old name anew, empty", Topic("nou", kFrom),
       {{"nou.qst", kOldBank}, {"vell.qst", kEmpty}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kAsAfter},
      {"rename: file renamed, and another file under the old name", Topic("nou", kFrom),
       {{"nou.qst", kOldBank}, {"vell.qst", kForeign}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kCannotEnd},
      {"a record that is not one", Topic("vell", {20, 5, 4, 20}),
       {{"vell.qst", kNewBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kDamagedRecord}}, kCannotEnd},
      {"new name: neither the copy nor the new file", Topic("nou", {20, 9, 3, 20}),
       {{"vell.qst", kOldBank}, {"Arxs.rel", kOldIndex}, {"Canvi.jnl", kRecord}}, kCannotEnd},
      {"new name: another file took it", Topic("nou", {20, 9, 3, 20}),
       {{"vell.qst", kOldBank}, {"Canvi.nou", kNewBank}, {"nou.qst", kForeign}, {"Arxs.rel", kOldIndex},
        {"Canvi.jnl", kRecord}},
       kCannotEnd},
  };
  for (const auto& c : cases) {
    MakeFolder();
    const FolderState before = ReadFolderState();
    RelayoutResult result;
    ASSERT_TRUE(Change(c.to, &result).ok()) << c.what;
    bank_.Close();
    const FolderState after = ReadFolderState();
    const std::string new_bank = after.at("Bases/" + c.to.file_name + ".qst");
    TopicChange change{Topic("vell", kFrom), c.to, c.to.layout != kFrom};
    const std::string record = EncodeTopicChange(change);
    FolderState state = {{"Bases", "<folder>"}, {"Bases/.keep", ""}, {"Bases/altre.qst", before.at("Bases/altre.qst")}};
    for (const auto& [name, piece] : c.files) {
      const std::string bytes[] = {before.at("Bases/vell.qst"), new_bank, new_bank.substr(0, new_bank.size() / 2),
                                   before.at("Bases/Arxs.rel"), after.at("Bases/Arxs.rel"), record,
                                   record.substr(0, 300), "un altre fitxer", ""};
      state["Bases/" + name] = bytes[piece];
    }
    WriteFolderState(state);

    TopicIndex index;
    const Status opened = index.Open();
    index.Close();
    if (c.expect == kCannotEnd) {
      EXPECT_EQ(opened.code(), Status::Code::kCorrupt) << c.what << ": " << opened.ToString();
      EXPECT_EQ(opened.caption(), W("Canvi interromput")) << c.what;
      EXPECT_EQ(testing::Differences(ReadFolderState(), state), "") << c.what << ": nothing is touched";
      continue;
    }
    ASSERT_TRUE(opened.ok()) << c.what << ": " << opened.ToString();
    EXPECT_EQ(testing::Differences(ReadFolderState(), c.expect == kAsBefore ? before : after), "") << c.what;
  }
}

// Every program ends a change left part-way before it reads a topic: the runner through its
// read-only index, the converter before it adds to a bank; where the folder cannot be written,
// no topic is read.
TEST_F(TopicChangeTest, ReadersEndAChangeOrReadNothing) {
  MakeFolder();
  RelayoutResult result;
  ASSERT_TRUE(Change(Topic("vell", {20, 5, 4, 20}), &result).ok());
  bank_.Close();
  const FolderState after = ReadFolderState();
  const FolderState left = [&] {
    FolderState s = after;
    s["Bases/Arxs.rel"] = [&] {
      MakeFolder();
      return FileBytes("Bases/Arxs.rel");
    }();
    s["Bases/Canvi.jnl"] = EncodeTopicChange({Topic("vell", kFrom), Topic("vell", {20, 5, 4, 20}), true});
    return s;
  }();

  WriteFolderState(left);
  TopicIndex reader;
  ASSERT_TRUE(reader.OpenForReading().ok());
  EXPECT_EQ(testing::Differences(ReadFolderState(), after), "") << "the runner's open";
  TopicEntry e;
  ASSERT_TRUE(reader.Read(1, &e).ok());
  EXPECT_EQ(e.layout, (Layout{20, 5, 4, 20}));
  reader.Close();

  WriteFolderState(left);
  testing::OpenToEveryone(dir());
  testing::SetMode("Bases", 0555);
  testing::SetMode("Bases/Arxs.rel", 0444);
  const int code = testing::RunUnprivileged([] {
    TopicIndex index;
    const Status opened = index.OpenForReading();
    if (opened.code() != Status::Code::kCorrupt) return 1;
    if (opened.text().find(W("no es pot escriure")) == std::string::npos) return 2;
    return 0;
  });
  testing::SetMode("Bases", 0755);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(testing::Differences(ReadFolderState(), left), "") << "read-only: nothing touched";
}

TEST_F(TopicChangeTest, AnOldFileThatCannotGoIsToldButTheChangeStands) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a file of another user";
  MakeFolder();
  testing::OpenToEveryone(dir());
  // A shared folder: everyone may add files, but only its owner may remove the old one.
  testing::SetMode("Bases", 01777);
  testing::SetMode("Bases/Arxs.rel", 0666);
  const int code = testing::RunUnprivileged([this] {
    RelayoutResult result;
    if (!Change(Topic("nou", {20, 9, 3, 20}), &result).ok()) return 11;
    if (result.action != RelayoutResult::Action::kRewritten) return 12;
    if (result.old_file_left.text().find(W("Bases\\vell.qst: no hi ha permís")) == std::string::npos) return 13;
    if (bank_.name() != "Bases\\nou.qst" || bank_.count() != 3) return 14;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ListFolder("Bases"), ".keep Arxs.rel altre.qst nou.qst vell.qst");
  EXPECT_EQ(EntryNow(1), Topic("nou", {20, 9, 3, 20}));
}

}  // namespace
}  // namespace quiz
