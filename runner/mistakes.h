#pragma once
// A test of one's mistakes: after a correction, the questions answered wrong or left blank become
// a generated test of their own, to be taken again at once.

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "data/generated_tests.h"
#include "runner/test_engine.h"

namespace quiz {

// The questions of the corrected test that were answered wrong or left blank, in the test's order.
std::vector<TestItem> MistakeItems(const TestEngine& engine);

// The file name of the mistakes test of the test named `test_name` (with or without ".tgn"): the
// name, "_errades" and the first number from 1 on that no entry names (in any case) and no test
// file in Generats has; the test's name gives way so that the whole fits in 32 characters.
std::string MistakesFileName(std::string_view test_name, const std::vector<GeneratedTestEntry>& entries);
// The same with another kind than "_errades" ("_repas").
std::string NumberedFileName(std::string_view test_name, std::string_view kind,
                             const std::vector<GeneratedTestEntry>& entries);

// Writes the mistakes test of the corrected test on `engine` (its .tgn whole, then its entry in the
// index of generated tests) and gives its entry: described as "Errades de " and the description
// of the test's entry (its name when the index has none). Nothing is written when there is no
// question to repeat.
Status WriteMistakesTest(const TestEngine& engine, GeneratedTestEntry* written);

// A review test over the topics of the test on `engine`, of as many questions, drawn toward the
// questions the answer log says go wrong (and those not seen for long): written as the test's
// name, "_repas" and a number, described "Repàs de les més fallades de " and the name.
Status WriteReviewTest(TestEngine* engine, const Date& today, std::mt19937* random, GeneratedTestEntry* written);

}  // namespace quiz
