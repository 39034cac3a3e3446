#pragma once
// A random test drawn from the chosen topics: the draw itself, the questions that count as
// available, the name and description proposed for the test, the checks of the number asked for
// and of the name, and the writing of the test and its entry.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "data/generated_tests.h"
#include "toolkit/status.h"

namespace quiz {

// A chosen topic and the number of questions its file holds.
struct DrawTopic {
  uint16_t number = 0;
  uint16_t count = 0;
};

// Every question of the chosen topics can be drawn: the sum of their counts.
uint32_t AvailableQuestions(const std::vector<DrawTopic>& topics);

// Draws `n` questions (at most the available ones): at each step every topic that still has
// questions has the same chance, and within it every question not drawn yet. No question comes
// twice. Pools are sized to the chosen topics, whatever their numbers and counts.
std::vector<TestItem> DrawTest(const std::vector<DrawTopic>& topics, uint32_t n, std::mt19937* random);

// What the generation window proposes: one topic gives its file name and its title, every
// topic "tots", several "1,3,7" (the numbers, in order).
struct DrawNames {
  std::string base;
  std::string description;
};
DrawNames ProposedNames(const std::vector<uint16_t>& chosen, uint16_t topic_count, const std::string& file_name,
                        const std::string& title);
// base + "_" + (1 + the entries whose name, up to its first "_", is the base): "tots_3".
std::string ProposedFileName(const std::string& base, const std::vector<GeneratedTestEntry>& entries);

// The number of questions as typed: a whole number from 1 to 255, or the refusal.
Status ReadTestSize(const std::string& text, uint32_t* n);
// "nº de qüestions superiors a les existents" when more are asked than can be drawn.
Status CheckAvailable(uint32_t n, uint32_t available);
// A test's file name (cut to 32 characters): not empty, and a name that stays inside the folder
// Generats and that Windows can hold (FileNameFault).
Status CheckTestName(const std::string& name);


}  // namespace quiz
