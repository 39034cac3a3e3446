// Every writing operation, killed at random instants: each file it writes is left as it was or
// as the finished operation leaves it, byte for byte, as far as readers can see.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <random>
#include <thread>

#include "data/topic_index.h"
#include "tests/safety/write_operations.h"
#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

using testing::FolderState;
using testing::WriteOperation;

// Trials per operation: a quick number in the test run, more through QUIZ_CRASH_TRIALS.
int Trials() {
  const char* text = std::getenv("QUIZ_CRASH_TRIALS");
  return text && std::atoi(text) > 0 ? std::atoi(text) : 12;
}

// What readers see of a file: whole records only, when the file is made of records.
std::string Seen(const std::string& bytes, size_t record_size) {
  return record_size == 0 ? bytes : bytes.substr(0, bytes.size() / record_size * record_size);
}

enum class Outcome { kOld, kNew, kPartial, kTorn };

// How one file ended: `before` and `after` are its bytes when the run started and when it ended
// (absent files are empty and missing from the state).
Outcome Judge(const WriteOperation& op, const FolderState& now, const FolderState& before,
              const FolderState& after, const std::string& target) {
  const auto get = [&](const FolderState& state) -> std::optional<std::string> {
    const auto it = state.find(target);
    if (it == state.end()) return std::nullopt;
    return op.seen ? op.seen(it->second) : Seen(it->second, op.record_size);
  };
  const auto seen = get(now), old_bytes = get(before), new_bytes = get(after);
  if (seen == old_bytes) return Outcome::kOld;
  if (seen == new_bytes) return Outcome::kNew;
  // A conversion stopped half-way keeps the records that were there and whole new ones.
  if (op.appends_in_blocks && seen && old_bytes && new_bytes && seen->starts_with(*old_bytes) &&
      new_bytes->starts_with(*seen)) {
    return Outcome::kPartial;
  }
  return Outcome::kTorn;
}

class CrashConsistency : public testing::InTempDir {};

TEST_F(CrashConsistency, EveryWriteEndsOldOrNewWhereverItIsKilled) {
  std::mt19937 random(20261207);
  for (const WriteOperation& op : testing::WriteOperations()) {
    testing::WriteFolderState({});
    op.set_up(/*large=*/true);
    const FolderState before = testing::ReadFolderState();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(op.run().ok()) << op.name;
    const auto took = std::chrono::steady_clock::now() - started;
    const FolderState after = testing::ReadFolderState();
    ASSERT_NE(before, after) << op.name << " changed nothing";

    int counts[4] = {0, 0, 0, 0};
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 3 / 2 + 50;
    for (int trial = 0; trial < Trials(); ++trial) {
      testing::WriteFolderState(before);
      int ready[2];
      ASSERT_EQ(::pipe(ready), 0);
      const pid_t child = ::fork();
      if (child == 0) {
        ::close(ready[0]);
        (void)!::write(ready[1], "x", 1);
        ::_exit(op.run().ok() ? 0 : 1);
      }
      ::close(ready[1]);
      char byte;
      (void)!::read(ready[0], &byte, 1);
      ::close(ready[0]);
      std::this_thread::sleep_for(std::chrono::microseconds(
          std::uniform_int_distribution<long>(0, span)(random)));
      ::kill(child, SIGKILL);
      ::waitpid(child, nullptr, 0);

      if (op.one_step) {
        // The next program that opens the folder ends or undoes the change before it reads.
        TopicIndex index;
        const Status opened = index.Open();
        ASSERT_TRUE(opened.ok()) << op.name << ", trial " << trial << ": " << opened.ToString();
        index.Close();
        const FolderState now = testing::ReadFolderState();
        const bool as_before = now == before, as_after = now == after;
        EXPECT_TRUE(as_before || as_after) << op.name << ", trial " << trial << ": "
                                           << testing::Differences(now, after);
        ++counts[as_before ? 0 : as_after ? 1 : 3];
        continue;
      }
      const FolderState now = testing::ReadFolderState();
      Outcome worst = Outcome::kOld;
      bool all_new = true;
      for (const std::string& target : op.targets) {
        const Outcome outcome = Judge(op, now, before, after, target);
        EXPECT_NE(outcome, Outcome::kTorn) << op.name << ": " << target << " torn, trial " << trial;
        if (outcome != Outcome::kNew) all_new = false;
        if (outcome > worst) worst = outcome;
      }
      ++counts[static_cast<int>(all_new ? Outcome::kNew : worst)];
      if (op.agree) {
        EXPECT_EQ(op.agree(), "") << op.name << ", trial " << trial;
      }
      // Nothing else in the folder moves.
      for (const auto& [path, bytes] : before) {
        if (std::find(op.targets.begin(), op.targets.end(), path) != op.targets.end()) continue;
        const auto it = now.find(path);
        EXPECT_TRUE(it != now.end() && it->second == bytes) << op.name << ": " << path << " changed";
      }
    }
    std::cout << "[ crash    ] " << op.name << ": " << Trials() << " kills, " << counts[0] << " old, "
              << counts[1] << " new, " << counts[2] << " part-way, " << counts[3] << " torn\n";
  }
}

// A conversion killed in the middle of a block leaves the start of a record after the last whole
// one: the next conversion writes over it, and the bank then holds every record whole.
TEST_F(CrashConsistency, AConversionKilledHalfWayLeavesABankTheNextOneAddsTo) {
  const WriteOperation* op = nullptr;
  for (const WriteOperation& o : testing::WriteOperations()) {
    if (std::string(o.name) == "convertir un text") op = &o;
  }
  ASSERT_NE(op, nullptr);
  testing::WriteFolderState({});
  op->set_up(true);
  const std::string before = testing::FileBytes("Bases/banc.qst");
  ASSERT_TRUE(op->run().ok());
  const std::string added = testing::FileBytes("Bases/banc.qst").substr(before.size());
  const FolderState start = [&] {
    testing::WriteFolderState({});
    op->set_up(true);
    return testing::ReadFolderState();
  }();
  std::mt19937 random(7);
  int torn = 0;
  for (int trial = 0; trial < Trials(); ++trial) {
    testing::WriteFolderState(start);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(op->run().ok() ? 0 : 1);
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<long>(0, 40000)(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string left = testing::FileBytes("Bases/banc.qst");
    if (left.size() % 706 != 0) ++torn;
    const size_t kept = left.size() / 706 * 706;
    const Status again = op->run();
    ASSERT_TRUE(again.ok()) << "trial " << trial << ": " << again.ToString();
    const std::string bank = testing::FileBytes("Bases/banc.qst");
    ASSERT_EQ(bank.size(), kept + added.size()) << "trial " << trial;
    EXPECT_TRUE(bank.starts_with(before)) << "trial " << trial;
    EXPECT_TRUE(added.starts_with(bank.substr(before.size(), kept - before.size()))) << "trial " << trial;
    EXPECT_EQ(bank.substr(kept), added) << "trial " << trial;
  }
  std::cout << "[ crash    ] convertir de nou: " << Trials() << " kills, " << torn << " torn tails written over\n";
}

}  // namespace
}  // namespace quiz
