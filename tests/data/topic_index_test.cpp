#include "data/topic_index.h"

#include <gtest/gtest.h>

#include <numeric>

#include "data/topic_format.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

using testing::FileBytes;
using testing::Fixture;
using testing::ListFolder;
using testing::PutFile;

TopicEntry Entry(const std::string& name, Layout layout) {
  TopicEntry e;
  e.file_name = name;
  e.title = "Tema " + name;
  e.layout = layout;
  return e;
}

class TopicIndexTest : public testing::InTempDir {
 protected:
  // An index of `n` topics named t1..tn.
  void MakeIndex(int n) {
    ASSERT_TRUE(index_.Create().ok());
    for (int i = 1; i <= n; ++i) {
      ASSERT_TRUE(index_.Write(static_cast<uint16_t>(i), Entry("t" + std::to_string(i), {10, 10, 2, 0})).ok());
    }
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (uint16_t i = 1; i <= index_.count(); ++i) {
      TopicEntry e;
      EXPECT_TRUE(index_.Read(i, &e).ok());
      names.push_back(e.file_name);
    }
    return names;
  }

  TopicIndex index_;
};

TEST_F(TopicIndexTest, ReadsTheSampleIndexAndWritesItBackByteForByte) {
  const std::string sample = Fixture("topics.rel");
  PutFile("Bases/Arxs.rel", sample);
  ASSERT_TRUE(index_.Open().ok());
  ASSERT_EQ(index_.count(), 3);

  struct Expected {
    std::string file_name, title;
    uint32_t kind;
    std::string note;
    Layout layout;
    uint16_t record_size;
  } expected[] = {
      {W("Història"), W("Història de Catalunya"), 3, "", {120, 120, 4, 100}, 706},
      {"geo", "Geografia", 0, "Format antic: revisa les respostes", {50, 40, 2, 0}, 133},
      {W("CIÈNCIES"), W("Ciències naturals"), 3, "", {10, 10, 3, 5}, 50},
  };
  std::vector<TopicEntry> entries;
  for (uint16_t n = 1; n <= 3; ++n) {
    TopicEntry e;
    ASSERT_TRUE(index_.Read(n, &e).ok());
    const Expected& x = expected[n - 1];
    EXPECT_EQ(e.file_name, x.file_name);
    EXPECT_EQ(e.title, x.title);
    EXPECT_EQ(e.format_kind, x.kind);
    EXPECT_EQ(e.editor_note, x.note);
    EXPECT_EQ(e.layout, x.layout);
    EXPECT_EQ(e.record_size, x.record_size);
    entries.push_back(e);
  }

  TopicIndex copy;
  ASSERT_TRUE(copy.Create("Bases\\Copia.rel").ok());
  for (uint16_t n = 1; n <= 3; ++n) ASSERT_TRUE(copy.Write(n, entries[n - 1]).ok());
  EXPECT_EQ(copy.count(), 3);
  EXPECT_EQ(FileBytes("Bases/Copia.rel"), sample);
}

TEST_F(TopicIndexTest, CountsWholeEntriesOfDamagedFiles) {
  const std::string sample = Fixture("topics.rel");
  struct Case {
    size_t bytes;
    uint16_t count;
  } cases[] = {{0, 0}, {317, 0}, {318, 1}, {318 * 2 + 100, 2}, {sample.size(), 3}};
  for (const auto& c : cases) {
    PutFile("Bases/Arxs.rel", sample.substr(0, c.bytes));
    ASSERT_TRUE(index_.Open().ok());
    EXPECT_EQ(index_.count(), c.count) << c.bytes;
  }
}

TEST_F(TopicIndexTest, LengthBytesBeyondTheirFieldAreCut) {
  std::string bytes(topic_format::kEntrySize, '\0');
  bytes[topic_format::kFileNameOffset] = '\xFF';
  bytes.replace(1, 33, std::string(33, 'n'));
  bytes[topic_format::kTitleOffset] = '\xC8';  // 200 > 100
  const TopicEntry e = DecodeTopicEntry(bytes.data());
  EXPECT_EQ(e.file_name, std::string(32, 'n'));
  EXPECT_EQ(e.title.size(), 100u);
}

TEST_F(TopicIndexTest, AMissingIndexIsReportedThenCreatedOnRequest) {
  const Status missing = index_.Open();
  EXPECT_EQ(missing.code(), Status::Code::kNotFound);
  EXPECT_FALSE(index_.is_open());
  EXPECT_EQ(index_.count(), 0);
  EXPECT_EQ(ListFolder("."), "");  // nothing created

  ASSERT_TRUE(index_.Create().ok());
  EXPECT_TRUE(index_.is_open());
  EXPECT_EQ(index_.count(), 0);
  EXPECT_EQ(ListFolder("Bases"), "Arxs.rel");
  EXPECT_EQ(FileBytes("Bases/Arxs.rel"), "");
}

TEST_F(TopicIndexTest, TheRunnerFindsTheIndexWhateverItsCase) {
  PutFile("Bases/Arxs.rel", Fixture("topics.rel"));
  ASSERT_TRUE(index_.Open(kRunnerTopicIndexName).ok());
  EXPECT_EQ(index_.count(), 3);

  TopicEntry e;
  ASSERT_TRUE(index_.Lookup(2, &e).ok());
  EXPECT_EQ(e.file_name, "geo");
  for (uint16_t n : {0, 4, 255}) {
    const Status status = index_.Lookup(n, &e);
    EXPECT_EQ(status.caption(), "Test inexistent");
    EXPECT_EQ(status.text(), W("Test nº ") + std::to_string(n));
    // The check alone, without reading the entry, says the same.
    EXPECT_EQ(index_.Lookup(n).text(), status.text());
  }
  EXPECT_TRUE(index_.Lookup(3).ok());
}

TEST_F(TopicIndexTest, WriteRecomputesTheRecordSizeAndAppends) {
  MakeIndex(0);
  struct Case {
    Layout layout;
    uint16_t record_size;
  } cases[] = {
      {{120, 120, 4, 100}, 706},
      {{120, 120, 4, 0}, 121 + 4 * 121},
      {{128, 128, 4, 128}, 774},
      {{1, 1, 2, 0}, 6},
      {{50, 40, 3, 1}, 51 + 3 * 41 + 2},
  };
  uint16_t n = 0;
  for (const auto& c : cases) {
    TopicEntry e = Entry("x", c.layout);
    e.record_size = 1;  // whatever the caller held is replaced
    ASSERT_TRUE(index_.Write(++n, e).ok());
    EXPECT_EQ(index_.count(), n);
    TopicEntry back;
    ASSERT_TRUE(index_.Read(n, &back).ok());
    EXPECT_EQ(back.record_size, c.record_size);
  }
  EXPECT_EQ(FileBytes("Bases/Arxs.rel").size(), 318u * n);
}

TEST_F(TopicIndexTest, WriteRefusesBadNumbersAndAbsurdLayouts) {
  MakeIndex(2);
  const std::string before = FileBytes("Bases/Arxs.rel");
  struct Case {
    uint16_t n;
    Layout layout;
  } cases[] = {
      {0, {10, 10, 2, 0}},  {4, {10, 10, 2, 0}},  {1, {0, 10, 2, 0}},   {1, {129, 10, 2, 0}},
      {1, {10, 0, 2, 0}},   {1, {10, 129, 2, 0}}, {1, {10, 10, 1, 0}},  {1, {10, 10, 5, 0}},
      {1, {10, 10, 2, 129}}, {3, {10, 10, 0, 0}},
  };
  for (const auto& c : cases) {
    const Status status = index_.Write(c.n, Entry("x", c.layout));
    EXPECT_EQ(status.code(), Status::Code::kRefused) << c.n;
  }
  EXPECT_EQ(index_.count(), 2);
  EXPECT_EQ(FileBytes("Bases/Arxs.rel"), before);
}

TEST_F(TopicIndexTest, ManagerEntriesCarryNoEditorNote) {
  MakeIndex(0);
  TopicEntry e = Entry("x", {10, 10, 2, 0});
  e.editor_note = "rastre";
  ASSERT_TRUE(index_.Write(1, e).ok());
  const std::string bytes = FileBytes("Bases/Arxs.rel");
  EXPECT_EQ(bytes.substr(topic_format::kEditorNoteOffset, 82), std::string(82, '\0'));
  EXPECT_EQ(bytes.substr(33, 1), std::string(1, '\0'));
}

TEST_F(TopicIndexTest, DeleteRenumbersLaterTopics) {
  struct Case {
    int count;
    uint16_t n;
    std::vector<std::string> after;
  } cases[] = {
      {3, 1, {"t2", "t3"}},
      {3, 2, {"t1", "t3"}},
      {3, 3, {"t1", "t2"}},
      {1, 1, {}},
  };
  for (const auto& c : cases) {
    MakeIndex(c.count);
    ASSERT_TRUE(index_.Delete(c.n).ok());
    EXPECT_EQ(Names(), c.after);
    EXPECT_EQ(FileBytes("Bases/Arxs.rel").size(), 318 * c.after.size());
    EXPECT_EQ(ListFolder("Bases"), "Arxs.rel");
    index_.Close();
    std::remove("Bases/Arxs.rel");
  }
}

TEST_F(TopicIndexTest, DeleteDropsATornLastEntry) {
  MakeIndex(2);
  index_.Close();
  PutFile("Bases/Arxs.rel", FileBytes("Bases/Arxs.rel") + "torn");
  ASSERT_TRUE(index_.Open().ok());
  ASSERT_TRUE(index_.Delete(1).ok());
  EXPECT_EQ(FileBytes("Bases/Arxs.rel").size(), 318u);
}

TEST_F(TopicIndexTest, DeleteRefusesANumberBeyondTheIndex) {
  MakeIndex(2);
  EXPECT_EQ(index_.Delete(3).code(), Status::Code::kRefused);
  EXPECT_EQ(index_.Delete(0).code(), Status::Code::kRefused);
  EXPECT_EQ(Names(), (std::vector<std::string>{"t1", "t2"}));
}

TEST_F(TopicIndexTest, AFailedDeleteOrReorderLeavesTheIndexAsItWas) {
  MakeIndex(40);
  const std::string before = FileBytes("Bases/Arxs.rel");
  {
    testing::FileSizeLimit limit(318 * 10);
    EXPECT_EQ(index_.Delete(1).code(), Status::Code::kIoError);
    std::vector<uint8_t> reversed(40);
    std::iota(reversed.rbegin(), reversed.rend(), 1);
    EXPECT_EQ(index_.Reorder(reversed).code(), Status::Code::kIoError);
  }
  EXPECT_EQ(FileBytes("Bases/Arxs.rel"), before);
  EXPECT_EQ(ListFolder("Bases"), "Arxs.rel");
  EXPECT_EQ(index_.count(), 40);
}

TEST_F(TopicIndexTest, ReorderPutsEachOldTopicAtItsNewNumber) {
  MakeIndex(4);
  ASSERT_TRUE(index_.Reorder({3, 1, 4, 2}).ok());
  EXPECT_EQ(Names(), (std::vector<std::string>{"t3", "t1", "t4", "t2"}));
  EXPECT_EQ(index_.count(), 4);
  EXPECT_EQ(ListFolder("Bases"), "Arxs.rel");
  EXPECT_EQ(ListFolder("."), "Bases");  // no Tmp left in the program folder
}

TEST_F(TopicIndexTest, ReorderRefusesCodesThatWouldLoseTopics) {
  MakeIndex(3);
  const std::string before = FileBytes("Bases/Arxs.rel");
  const std::vector<std::vector<uint8_t>> bad = {{1, 1, 2}, {1, 2}, {1, 2, 3, 3}, {0, 1, 2}, {1, 2, 4}, {}};
  for (const auto& order : bad) {
    EXPECT_EQ(index_.Reorder(order).code(), Status::Code::kRefused);
  }
  EXPECT_EQ(FileBytes("Bases/Arxs.rel"), before);
}

TEST_F(TopicIndexTest, ReorderRefusesMoreThan255Topics) {
  MakeIndex(0);
  PutFile("Bases/Arxs.rel", std::string(318 * 256, '\0'));
  ASSERT_TRUE(index_.Open().ok());
  std::vector<uint8_t> order(255);
  std::iota(order.begin(), order.end(), 1);
  const Status status = index_.Reorder(order);
  EXPECT_EQ(status.code(), Status::Code::kRefused);
  EXPECT_NE(status.text().find("255"), std::string::npos);
}

}  // namespace
}  // namespace quiz
