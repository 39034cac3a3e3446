#include "tests/support/sample_data.h"

#include <gtest/gtest.h>

#include "data/generated_tests.h"
#include "data/question_file.h"

namespace quiz::testing {

TopicEntry TopicOf(const std::string& name, Layout layout) {
  TopicEntry e;
  e.file_name = name;
  e.title = "Tema " + name;
  e.layout = layout;
  e.record_size = RecordSizeFor(layout);
  return e;
}

void AddTopic(TopicIndex* index, uint16_t n, const std::string& name, Layout layout, int questions) {
  const TopicEntry e = TopicOf(name, layout);
  ASSERT_TRUE(index->Write(n, e).ok());
  QuestionFile file;
  ASSERT_TRUE(file.Open(e).ok());
  for (int i = 1; i <= questions; ++i) {
    const std::string s = name + " " + std::to_string(i);
    ASSERT_TRUE(file.Append({"Q " + s, {"bona " + s, "dolenta1", "dolenta2", "dolenta3"}, ""}).ok());
  }
}

void MakeSampleData() {
  TopicIndex index;
  ASSERT_TRUE(index.Create().ok());
  AddTopic(&index, 1, "HISTORIA", {50, 40, 2, 0}, 5);
  AddTopic(&index, 2, "GEO", {120, 120, 4, 100}, 3);
  ASSERT_TRUE(WriteTestFile("t1", {{1, 1}, {1, 2}, {2, 3}, {2, 1}}).ok());
  ASSERT_TRUE(WriteTestFile("t2", {{2, 2}, {1, 5}}).ok());
  GeneratedTestIndex generated;
  ASSERT_TRUE(generated.Append({"t1", "Primer test"}).ok());
  ASSERT_TRUE(generated.Append({"t2", "Segon test"}).ok());
}

std::vector<GeneratedTestEntry> GeneratedEntries() {
  GeneratedTestIndex index;
  std::vector<GeneratedTestEntry> entries;
  EXPECT_TRUE(index.OpenForManager().ok());
  EXPECT_TRUE(index.ReadAll(&entries).ok());
  return entries;
}

std::vector<Question> ConverterBank(const std::string& name) {
  QuestionFile file;
  EXPECT_TRUE(file.OpenPath(name, kConverterLayout, RecordSizeFor(kConverterLayout), QuestionFile::Access::kRead).ok())
      << name;
  std::vector<Question> out;
  EXPECT_TRUE(file.Scan(1, file.count(), [&](uint16_t, const Question& q) {
    out.push_back(q);
    return true;
  }).ok());
  return out;
}

}  // namespace quiz::testing
