#pragma once
// The question editor's window (class "edqeleccio"): one question of the open topic at a time in
// its fields, the buttons that move between questions, add, delete, search and save.

#include <cstdint>

#include "data/question_file.h"
#include "data/topic_index.h"
#include "manager/search.h"

namespace quiz {

// Runs the editor on `bank` (the topic of `entry`) from question `start` until it closes.
// `record` is the manager's current question record; `hits` the search kept for the whole run.
// False when an editor is open already (it comes to the front instead).
bool EditQuestions(QuestionFile* bank, const TopicEntry& entry, Question* record, SearchHits* hits, uint32_t start);

}  // namespace quiz
