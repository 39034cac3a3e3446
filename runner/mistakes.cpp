#include "runner/mistakes.h"

#include <algorithm>

#include "data/answer_stats.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr size_t kFileNameCapacity = 32;
constexpr size_t kDescriptionCapacity = 80;

// The test's name without its folder and ".tgn".
std::string Stem(std::string_view test_name) {
  std::string stem(test_name.substr(LastPos('\\', test_name)));
  if (stem.size() >= 4 && UpperCat(stem.substr(stem.size() - 4)) == ".TGN") stem.resize(stem.size() - 4);
  return stem;
}

}  // namespace

std::vector<TestItem> MistakeItems(const TestEngine& engine) {
  std::vector<TestItem> items;
  if (!engine.corrected()) return items;
  for (uint16_t k = 1; k <= engine.count(); ++k) {
    if (engine.result(k) != QuestionResult::kRight) items.push_back({engine.item(k).topic, engine.item(k).question});
  }
  return items;
}

std::string MistakesFileName(std::string_view test_name, const std::vector<GeneratedTestEntry>& entries) {
  return NumberedFileName(test_name, "_errades", entries);
}

std::string NumberedFileName(std::string_view test_name, std::string_view kind,
                             const std::vector<GeneratedTestEntry>& entries) {
  const std::string stem = Stem(test_name);
  for (int32_t n = 1;; ++n) {
    const std::string suffix = std::string(kind) + IntToText(n);
    const std::string name = CutText(stem, kFileNameCapacity - suffix.size()) + suffix;
    if (EntryNamed(entries, name) == 0 && !FileExists(TestFileName(name))) return name;
  }
}

Status WriteMistakesTest(const TestEngine& engine, GeneratedTestEntry* written) {
  const std::vector<TestItem> items = MistakeItems(engine);
  if (items.empty()) {
    return Status::Refused(W("Res a repetir"), W("No hi ha cap resposta errada ni en blanc: no s'ha escrit cap test."));
  }
  // The name is chosen from the index as it is under its lock: two programs writing a mistakes
  // test of the same test at once get two names.
  const std::string stem = Stem(engine.test_name());
  return SaveGeneratedTestNamed(
      [&](const std::vector<GeneratedTestEntry>& entries) {
        std::string description = stem;
        for (const GeneratedTestEntry& e : entries) {
          if (UpperCat(e.file_name) == UpperCat(stem)) description = e.description;
        }
        return GeneratedTestEntry{MistakesFileName(stem, entries), CutText("Errades de " + description, kDescriptionCapacity)};
      },
      items, written);
}

Status WriteReviewTest(TestEngine* engine, const Date& today, std::mt19937* random, GeneratedTestEntry* written) {
  std::vector<uint16_t> topics;
  for (uint16_t k = 1; k <= engine->count(); ++k) {
    if (std::find(topics.begin(), topics.end(), engine->item(k).topic) == topics.end()) {
      topics.push_back(engine->item(k).topic);
    }
  }
  std::vector<TestItem> items;
  QUIZ_RETURN_IF_ERROR(DrawReviewTest(engine->topic_index(), topics, engine->count(), today, random, &items));
  if (items.empty()) {
    return Status::Refused(W("Res a repassar"), W("Els temes d'aquest test no tenen cap qüestió: no s'ha escrit cap test."));
  }
  const std::string stem = Stem(engine->test_name());
  return SaveGeneratedTestNamed(
      [&](const std::vector<GeneratedTestEntry>& entries) {
        return GeneratedTestEntry{NumberedFileName(stem, "_repas", entries),
                                  CutText(W("Repàs de les més fallades de ") + stem, kDescriptionCapacity)};
      },
      items, written);
}

}  // namespace quiz
