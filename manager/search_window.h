#pragma once
// The search window of the question editor (class "cercar"): a text, the questions of the open
// topic whose question text holds it, and the one the person goes to.

#include <cstdint>

#include "data/question_file.h"
#include "manager/search.h"

namespace quiz {

// Runs the window until it closes. Returns the number of the question chosen ("ves-hi" or a
// double click on a hit), or 0. `hits` is the last search, shown again at opening and replaced
// by a new one.
uint32_t SearchQuestionsWindow(const QuestionFile& bank, SearchHits* hits);

}  // namespace quiz
