#pragma once
// The generation window (class "parametresgenerat"): the name, the description and the number of
// questions of a random test over the chosen topics, then the draw and its files.

#include <functional>
#include <random>
#include <vector>

#include "manager/generation.h"

namespace quiz {

// Runs the window until it closes. True when a test was written.
bool GenerateTestWindow(const std::vector<DrawTopic>& topics, const DrawNames& names, std::mt19937* random);

// The same window for a test drawn otherwise (a review test): `available` questions can be
// drawn, and `draw` draws n of them.
using TestDraw = std::function<Status(uint32_t n, std::vector<TestItem>* items)>;
bool GenerateTestWindow(uint32_t available, const DrawNames& names, const TestDraw& draw);

}  // namespace quiz
