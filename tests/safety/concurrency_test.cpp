// Several programs on one data folder at once, as real processes: no record is lost between them.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "converter/convert.h"
#include "data/generated_tests.h"
#include "data/question_file.h"
#include "data/score_history.h"
#include "data/topic_index.h"
#include "manager/generation.h"
#include "manager/question_editor.h"
#include "manager/topic_params.h"
#include "manager/topics.h"
#include "tests/support/messages.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

constexpr Layout kLayout{40, 20, 4, 0};

TopicEntry Topic(const std::string& name) { return testing::TopicOf(name, kLayout); }

Question Numbered(const std::string& text) { return {text, {"a", "b", "c", "d"}, ""}; }

// Runs `work(i)` for i = 0..n-1 in n processes that start together; the sum of their exit codes
// (each the number of its failed steps).
int RunTogether(int n, const std::function<int(int)>& work) {
  int gate[2];
  if (::pipe(gate) != 0) return -1;
  std::vector<pid_t> children;
  for (int i = 0; i < n; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(gate[1]);
      char byte;
      (void)!::read(gate[0], &byte, 1);
      ::_exit(std::min(work(i), 255));
    }
    children.push_back(pid);
  }
  ::close(gate[0]);
  ::close(gate[1]);  // every child reads the end of the pipe at once
  int failures = 0;
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    failures += WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
  }
  return failures;
}

// The question texts of a bank, in file order.
std::vector<std::string> BankTexts(const std::string& path, const Layout& layout) {
  QuestionFile bank;
  EXPECT_TRUE(bank.OpenPath(path, layout, RecordSizeFor(layout)).ok());
  std::vector<std::string> texts;
  EXPECT_TRUE(bank.Scan(1, bank.count(), [&](uint16_t, const Question& q) {
    texts.push_back(q.question);
    return true;
  }).ok());
  return texts;
}

std::string Name(int process, int k) { return "p" + std::to_string(process) + "-" + std::to_string(k); }

class Concurrency : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    TopicIndex index;
    ASSERT_TRUE(index.Create().ok());
    ASSERT_TRUE(index.Write(1, Topic("banc")).ok());
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(Topic("banc")).ok());
  }
};

TEST_F(Concurrency, AppendsFromSeveralProgramsKeepEveryRecord) {
  struct Case {
    const char* file;
    int processes, each;
    std::function<int(int process)> append;  // appends `each` records named Name(process, k)
    std::function<std::vector<std::string>()> stored;
  } cases[] = {
      {"Punts.rel", 3, 300,
       [](int p) {
         int failed = 0;
         for (int k = 0; k < 300; ++k) {
           failed += !RegisterScore(BuildScoreRecord({7, 12, 2026}, Name(p, k), 20, 10, 2, 4)).ok();
         }
         return failed;
       },
       [] {
         std::vector<ScoreRecord> records;
         EXPECT_TRUE(ReadScoreHistory(&records).ok());
         std::vector<std::string> names;
         for (const auto& r : records) names.push_back(r.test_name);
         return names;
       }},
      {"Generats.rel", 3, 300,
       [](int p) {
         int failed = 0;
         for (int k = 0; k < 300; ++k) {
           GeneratedTestIndex index;
           failed += !index.Append({Name(p, k), "concurrent"}).ok();
         }
         return failed;
       },
       [] {
         GeneratedTestIndex index;
         std::vector<GeneratedTestEntry> entries;
         EXPECT_TRUE(index.OpenForRunner().ok());
         EXPECT_TRUE(index.ReadAll(&entries).ok());
         std::vector<std::string> names;
         for (const auto& e : entries) names.push_back(e.file_name);
         return names;
       }},
      // Each editor opened the bank before the others added anything, and keeps it open.
      {"banc.qst", 3, 300,
       [](int p) {
         QuestionFile bank;
         if (!bank.Open(Topic("banc")).ok()) return 1;
         int failed = 0;
         for (int k = 0; k < 300; ++k) failed += !bank.Append(Numbered(Name(p, k))).ok();
         return failed;
       },
       [] { return BankTexts("Bases\\banc.qst", kLayout); }},
      // Two conversions of 150 questions each, twice, beside an editor adding 300.
      {"banc.qst (qstconv)", 3, 300,
       [](int p) {
         if (p == 2) {
           QuestionFile bank;
           if (!bank.OpenPath("Bases\\conv.qst", kConverterLayout, RecordSizeFor(kConverterLayout)).ok()) return 1;
           int failed = 0;
           for (int k = 0; k < 300; ++k) failed += !bank.Append(Numbered(Name(p, k))).ok();
           return failed;
         }
         int failed = 0;
         for (int round = 0; round < 2; ++round) {
           std::string text;
           for (int k = round * 150; k < (round + 1) * 150; ++k) text += Name(p, k) + "\na\nb\nc\nd\n";
           const std::string source = "text" + std::to_string(p) + ".txt";
           testing::PutFile(source, text);
           failed += !ConvertTextFile(source, "Bases\\conv.qst", CorrectAnswerMode::kFirst, nullptr).ok();
         }
         return failed;
       },
       [] { return BankTexts("Bases\\conv.qst", kConverterLayout); }},
      {"Arxs.rel", 2, 100,
       [](int p) {
         TopicIndex index;
         if (!index.Open().ok()) return 1;
         int failed = 0;
         for (int k = 0; k < 100; ++k) {
           failed += !index.Write(static_cast<uint16_t>(index.count() + 1), Topic(Name(p, k))).ok();
         }
         return failed;
       },
       [] {
         TopicIndex index;
         EXPECT_TRUE(index.Open().ok());
         std::vector<std::string> names;
         for (uint16_t n = 2; n <= index.count(); ++n) {
           TopicEntry e;
           EXPECT_TRUE(index.Read(n, &e).ok());
           names.push_back(e.file_name);
         }
         return names;
       }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunTogether(c.processes, c.append), 0) << c.file;
    const std::vector<std::string> stored = c.stored();
    std::set<std::string> expected;
    for (int p = 0; p < c.processes; ++p) {
      for (int k = 0; k < c.each; ++k) expected.insert(Name(p, k));
    }
    const std::set<std::string> found(stored.begin(), stored.end());
    size_t missing = 0;
    for (const auto& name : expected) missing += !found.contains(name);
    EXPECT_EQ(stored.size(), expected.size()) << c.file;
    EXPECT_EQ(missing, 0u) << c.file;
    std::cout << "[ appends  ] " << c.file << ": " << expected.size() << " written, " << stored.size()
              << " found\n";
  }
}

TEST_F(Concurrency, RewritesAndAppendsExcludeEachOther) {
  int lost = 0;
  for (int trial = 0; trial < 3; ++trial) {
    {
      QuestionFile bank;
      ASSERT_TRUE(bank.Open(Topic("banc")).ok());
      std::string bytes;
      std::string record(RecordSizeFor(kLayout), '\0');
      for (int k = 1; k <= 2000; ++k) {
        EncodeQuestion(Numbered("q" + std::to_string(k)), kLayout, record.size(), record.data());
        bytes += record;
      }
      ASSERT_TRUE(ReplaceFile("Bases\\banc.qst", bytes).ok());
    }
    const int failures = RunTogether(2, [](int p) {
      QuestionFile bank;  // opened once, as the editor keeps it
      if (!bank.Open(Topic("banc")).ok()) return 1;
      int failed = 0;
      if (p == 0) {
        for (int k = 0; k < 40; ++k) {
          uint16_t n = 1;
          failed += !bank.Delete(&n).ok();
        }
      } else {
        for (int k = 0; k < 300; ++k) failed += !bank.Append(Numbered(Name(p, k))).ok();
      }
      return failed;
    });
    EXPECT_EQ(failures, 0);
    const std::vector<std::string> texts = BankTexts("Bases\\banc.qst", kLayout);
    ASSERT_EQ(texts.size(), 2000u - 40u + 300u - 0u) << "trial " << trial;
    // The first 40 went; every other question is there, the new ones in the order they came.
    EXPECT_EQ(texts.front(), "q41");
    std::vector<std::string> added;
    for (const auto& t : texts) {
      if (t.starts_with("p1-")) added.push_back(t);
    }
    for (int k = 0; k < 300; ++k) {
      if (k >= static_cast<int>(added.size()) || added[static_cast<size_t>(k)] != Name(1, k)) ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
  std::cout << "[ rewrites ] 3 trials of 40 deletions beside 300 appends: " << lost << " lost\n";
}

// Two managers on one folder, as two processes: what each one edits, deletes or generates is
// what it read, wherever the other moved it; nothing is lost, doubled or written twice.
TEST_F(Concurrency, TwoManagersNeverWriteToTheWrongPlace) {
  // Generated tests: each proposes the next name from the index as it read it, as the window
  // does, and proposes again when the name was taken meanwhile.
  EXPECT_EQ(RunTogether(2, [](int p) {
              int failed = 0;
              for (int k = 0; k < 40; ++k) {
                bool taken = true;
                for (int attempt = 0; taken && attempt < 200; ++attempt) {
                  GeneratedTestIndex index;
                  std::vector<GeneratedTestEntry> entries;
                  if (!index.OpenForManager().ok() || !index.ReadAll(&entries).ok()) return 100;
                  index.Close();
                  const std::vector<TestItem> items{{static_cast<uint16_t>(p + 1), static_cast<uint16_t>(k + 1)}};
                  const Status saved = SaveGeneratedTest({ProposedFileName("tots", entries), Name(p, k)}, items, false, &taken);
                  if (!saved.ok() && !taken) ++failed;
                }
                failed += taken;
              }
              return failed;
            }),
            0);
  const std::vector<GeneratedTestEntry> tests = testing::GeneratedEntries();
  std::set<std::string> names, descriptions;
  int wrong_file = 0;
  for (const auto& e : tests) {
    names.insert(e.file_name);
    descriptions.insert(e.description);
    // Each test's file holds the questions its own entry was saved with.
    std::vector<TestItem> items;
    const int p = e.description[1] - '0';
    const int k = std::stoi(e.description.substr(3));
    if (!ReadTestFile(TestFileName(e.file_name), &items).ok() ||
        items != std::vector<TestItem>{{static_cast<uint16_t>(p + 1), static_cast<uint16_t>(k + 1)}}) {
      ++wrong_file;
    }
  }
  EXPECT_EQ(tests.size(), 80u);
  EXPECT_EQ(names.size(), 80u);
  EXPECT_EQ(descriptions.size(), 80u);
  EXPECT_EQ(wrong_file, 0);

  // Topics: each makes 60 and deletes every other one of its own right after the next, while
  // the other's deletions move the numbers.
  EXPECT_EQ(RunTogether(2, [](int p) {
              TopicIndex index;
              if (!index.Open().ok()) return 100;
              QuestionFile bank;
              std::vector<CurrentTopic> made;
              int failed = 0;
              for (int k = 0; k < 60; ++k) {
                CurrentTopic current;
                current.Select(static_cast<uint16_t>(index.count() + 1));
                RelayoutResult result;
                failed += !SaveTopicParams(&index, &current, &bank, true, Topic(Name(p, k)), &result).ok();
                made.push_back(current);
                if (k % 2 == 1) failed += !DeleteCurrentTopic(&index, &made[static_cast<size_t>(k - 1)], &bank).ok();
              }
              return failed;
            }),
            0);
  TopicIndex index;
  ASSERT_TRUE(index.Open().ok());
  std::multiset<std::string> topics;
  for (uint16_t n = 2; n <= index.count(); ++n) {
    TopicEntry e;
    ASSERT_TRUE(index.Read(n, &e).ok());
    topics.insert(e.file_name);
  }
  std::multiset<std::string> kept;
  for (int p = 0; p < 2; ++p) {
    for (int k = 1; k < 60; k += 2) kept.insert(Name(p, k));
  }
  EXPECT_EQ(topics, kept);

  // Questions: one manager edits the odd ones in its editor while the other deletes the even
  // ones, each finding its question by what it holds.
  {
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(Topic("banc")).ok());
    for (int k = 1; k <= 400; ++k) ASSERT_TRUE(bank.Append(Numbered("q" + std::to_string(k))).ok());
  }
  EXPECT_EQ(RunTogether(2, [](int p) {
              QuestionFile bank;
              if (!bank.Open(Topic("banc")).ok()) return 100;
              Question record;
              testing::RecordingMessages messages;
              QuestionEditor editor(&bank, kLayout, &record, &messages);
              int failed = 0;
              for (int k = 1; k <= 100; ++k) {
                const Question wanted = Numbered("q" + std::to_string(p == 0 ? 2 * k - 1 : 2 * k));
                uint16_t n = 0;
                bool done = false;
                if (p == 0) {
                  // The editor is opened where the question was found; the other may move it
                  // before the editor reads it, and then the editor shows another one.
                  Question fields;
                  for (int attempt = 0; fields != wanted; ++attempt) {
                    if (attempt == 100 || !bank.Reload().ok() || !bank.Find(wanted, 1, &n).ok() || n == 0) return 200;
                    if (!editor.Open(n, &fields)) return 300;
                  }
                  const Question typed = Numbered(wanted.question + "e");
                  // A save refused because the other moved the question is made again where it went.
                  for (int attempt = 0; !done && attempt < 100; ++attempt) done = editor.Save(typed);
                } else {
                  if (!bank.Reload().ok() || !bank.Find(wanted, 1, &n).ok() || n == 0) return 200;
                  for (int attempt = 0; !done && attempt < 100; ++attempt) {
                    const Status deleted = bank.Delete(&n, &wanted);
                    done = deleted.ok();
                    if (!done && (!bank.Reload().ok() || !bank.Find(wanted, n, &n).ok() || n == 0)) break;
                  }
                }
                failed += !done;
              }
              return failed;
            }),
            0);
  std::vector<std::string> expected;
  for (int k = 1; k <= 400; ++k) {
    if (k <= 200 && k % 2 == 0) continue;
    expected.push_back("q" + std::to_string(k) + (k <= 200 ? "e" : ""));
  }
  EXPECT_EQ(BankTexts("Bases\\banc.qst", kLayout), expected);
}

TEST_F(Concurrency, AFileHeldTooLongIsBusyAndKeepsEveryByte) {
  ASSERT_TRUE(RegisterScore(BuildScoreRecord({1, 1, 2026}, "t", 1, 1, 0, 4)).ok());
  QuestionFile bank;
  ASSERT_TRUE(bank.Open(Topic("banc")).ok());
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(bank.Append(Numbered("q")).ok());
  struct Case {
    const char* path;
    std::function<Status()> write;
    std::string named;
  } cases[] = {
      {"Punts.rel", [] { return RegisterScore(BuildScoreRecord({1, 1, 2026}, "u", 1, 1, 0, 4)); }, "Punts.rel"},
      {"Bases/banc.qst", [&] { return bank.Append(Numbered("r")); }, "Bases\\banc.qst"},
      {"Bases/banc.qst",
       [&] {
         uint16_t n = 1;
         return bank.Delete(&n);
       },
       "Bases\\banc.qst"},
      {"Bases/Arxs.rel",
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         return index.Write(2, Topic("nou"));
       },
       "Bases\\Arxs.rel"},
  };
  SetLockWait(std::chrono::milliseconds(200));
  for (const auto& c : cases) {
    const std::string before = testing::FileBytes(c.path);
    int held[2], done[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {  // another program, holding the file's lock
      const int fd = ::open(c.path, O_RDWR);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      if (fd < 0 || ::fcntl(fd, F_OFD_SETLK, &lock) != 0) ::_exit(1);
      (void)!::write(held[1], "x", 1);
      char byte;
      (void)!::read(done[0], &byte, 1);
      ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(held[0], &byte, 1), 1);
    const auto started = std::chrono::steady_clock::now();
    const Status status = c.write();
    const auto waited = std::chrono::steady_clock::now() - started;
    (void)!::write(done[1], "x", 1);
    ::waitpid(holder, nullptr, 0);
    for (int fd : {held[0], held[1], done[0], done[1]}) ::close(fd);

    EXPECT_EQ(status.code(), Status::Code::kBusy) << c.path << ": " << status.ToString();
    EXPECT_EQ(status.caption(), "Fitxer ocupat");
    EXPECT_EQ(status.text().find(c.named), 0u) << status.text();
    EXPECT_GE(waited, std::chrono::milliseconds(200)) << c.path;
    EXPECT_LT(waited, std::chrono::seconds(3)) << c.path;
    EXPECT_EQ(testing::FileBytes(c.path), before) << c.path;
    EXPECT_EQ(testing::ListFolder("Bases").find(".tmp-"), std::string::npos);
  }
  SetLockWait(std::chrono::milliseconds(5000));
  // Once the other program lets go, the same writes go through.
  EXPECT_TRUE(bank.Append(Numbered("r")).ok());
  EXPECT_EQ(bank.count(), 4);
}

}  // namespace
}  // namespace quiz
