#pragma once
// The generation window (class "parametresgenerat"): the name, the description and the number of
// questions of a random test over the chosen topics, then the draw and its files.

#include <random>
#include <vector>

#include "manager/generation.h"

namespace quiz {

// Runs the window until it closes. True when a test was written.
bool GenerateTestWindow(const std::vector<DrawTopic>& topics, const DrawNames& names, std::mt19937* random);

}  // namespace quiz
