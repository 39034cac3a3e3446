#include "data/generated_tests.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

using testing::Exists;
using testing::FileBytes;
using testing::Fixture;
using testing::ListFolder;
using testing::PutFile;

class GeneratedTests : public testing::InTempDir {};

TEST_F(GeneratedTests, ReadsTheSampleIndexAndAppendsItBackByteForByte) {
  const std::string sample = Fixture("generats.rel");
  PutFile("Generats/Generats.rel", sample);
  GeneratedTestIndex index;
  ASSERT_TRUE(index.OpenForManager().ok());
  ASSERT_EQ(index.count(), 2u);
  std::vector<GeneratedTestEntry> entries;
  ASSERT_TRUE(index.ReadAll(&entries).ok());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], (GeneratedTestEntry{"t_historia", W("Història de Catalunya")}));
  EXPECT_EQ(entries[1].file_name, std::string(32, 'n'));
  EXPECT_EQ(entries[1].description.size(), 80u);
  GeneratedTestEntry second;
  ASSERT_TRUE(index.Read(2, &second).ok());
  EXPECT_EQ(second, entries[1]);
  EXPECT_FALSE(index.Read(3, &second).ok());

  GeneratedTestIndex copy;
  for (const auto& e : entries) ASSERT_TRUE(copy.Append(e, "Generats\\Copia.rel").ok());
  EXPECT_EQ(FileBytes("Generats/Copia.rel"), sample);
}

TEST_F(GeneratedTests, TheManagerDoesNotCreateTheIndexTheRunnerDoes) {
  GeneratedTestIndex index;
  ASSERT_TRUE(index.OpenForManager().ok());
  EXPECT_EQ(index.count(), 0u);
  EXPECT_EQ(ListFolder("."), "");

  ASSERT_TRUE(index.OpenForRunner().ok());
  EXPECT_EQ(index.count(), 0u);
  EXPECT_EQ(ListFolder("Generats"), "Generats.rel");
}

TEST_F(GeneratedTests, TheCountIsNotHeldInOneByte) {
  GeneratedTestIndex index;
  for (int i = 1; i <= 257; ++i) {
    ASSERT_TRUE(index.Append({"t" + std::to_string(i), "tots"}).ok());
  }
  ASSERT_TRUE(index.OpenForManager().ok());
  EXPECT_EQ(index.count(), 257u);
  GeneratedTestEntry last;
  ASSERT_TRUE(index.Read(257, &last).ok());
  EXPECT_EQ(last.file_name, "t257");
  EXPECT_EQ(FileBytes("Generats/Generats.rel").size(), 257u * 116);
}

TEST_F(GeneratedTests, TestFilesAreWrittenAsTwoLinesPerItem) {
  const std::vector<TestItem> items = {{1, 3}, {3, 1}, {1, 2}};
  ASSERT_TRUE(WriteTestFile("t_historia", items).ok());
  EXPECT_EQ(FileBytes("Generats/t_historia.tgn"), Fixture("t_historia.tgn"));
  ASSERT_TRUE(WriteTestFile("one", {{2, 1}}).ok());
  EXPECT_EQ(FileBytes("Generats/one.tgn"), Fixture("one.tgn"));
  ASSERT_TRUE(WriteTestFile("empty", {}).ok());
  EXPECT_EQ(FileBytes("Generats/empty.tgn"), Fixture("empty.tgn"));
  EXPECT_EQ(ListFolder("Generats"), "empty.tgn one.tgn t_historia.tgn");

  std::vector<TestItem> back;
  ASSERT_TRUE(ReadTestFile("generats\\T_HISTORIA.tgn", &back).ok());
  EXPECT_EQ(back, items);
}

TEST_F(GeneratedTests, ParseAcceptsWellFormedTests) {
  struct Case {
    std::string bytes;
    std::vector<TestItem> items;
  } cases[] = {
      {"", {}},
      {"2\r\n1\r\n", {{2, 1}}},
      {"2\r\n1", {{2, 1}}},
      {"2\n1\n255\n65535\n", {{2, 1}, {255, 65535}}},
      {"2\r1\r", {{2, 1}}},
      {" 7 \r\n 0012\r\n", {{7, 12}}},
      {"1\r\n0\r\n", {{1, 0}}},  // question 0 reads as an empty question later
      {"1\r\n2\r\n\r\n\r\n", {{1, 2}}},  // blank lines at the very end
  };
  for (const auto& c : cases) {
    std::vector<TestItem> items;
    const Status status = ParseTestFile(c.bytes, "t.tgn", &items);
    EXPECT_TRUE(status.ok()) << status.ToString();
    EXPECT_EQ(items, c.items);
  }
}

TEST_F(GeneratedTests, ParseFailsNamingTheFileAndTheLine) {
  struct Case {
    std::string bytes;
    int line;
  } cases[] = {
      {"1\r\nx\r\n", 2},
      {"1\r\n2\r\n3x\r\n4\r\n", 3},
      {"-1\r\n2\r\n", 1},
      {"256\r\n1\r\n", 1},
      {"0\r\n1\r\n", 1},
      {"1\r\n65536\r\n", 2},
      {"1\r\n2\r\n3\r\n", 4},        // a topic without its question
      {"1\r\n\r\n2\r\n3\r\n", 2},    // an empty line inside the test
      {"1\r\n2.5\r\n", 2},
      {"99999999999\r\n1\r\n", 1},
  };
  for (const auto& c : cases) {
    std::vector<TestItem> items = {{9, 9}};
    const Status status = ParseTestFile(c.bytes, "Generats\\t.tgn", &items);
    EXPECT_EQ(status.code(), Status::Code::kCorrupt) << c.bytes;
    EXPECT_EQ(status.caption(), W("Test no vàlid"));
    EXPECT_EQ(status.text().rfind(W("Generats\\t.tgn, línia ") + std::to_string(c.line) + ":", 0), 0u)
        << status.text();
    EXPECT_TRUE(items.empty());
  }
}

TEST_F(GeneratedTests, AMissingTestFileFailsWithItsName) {
  std::vector<TestItem> items;
  const Status status = ReadTestFile("Generats\\cap.tgn", &items);
  EXPECT_EQ(status.code(), Status::Code::kNotFound);
  EXPECT_NE(status.text().find("Generats\\cap.tgn"), std::string::npos);
}

TEST_F(GeneratedTests, RewritingATestFileLeavesNoTemporaryFiles) {
  ASSERT_TRUE(WriteTestFile("t", {{1, 1}}).ok());
  {
    testing::FileSizeLimit limit(10);
    std::vector<TestItem> many(100, TestItem{1, 1});
    EXPECT_FALSE(WriteTestFile("t", many).ok());
  }
  EXPECT_EQ(FileBytes("Generats/t.tgn"), "1\r\n1\r\n");
  EXPECT_EQ(ListFolder("Generats"), "t.tgn");
  EXPECT_TRUE(Exists("Generats/t.tgn"));
}

}  // namespace
}  // namespace quiz
