#pragma once
// The topic parameters window (class "edtest"): a new topic, or the parameters of the current one.

#include "data/question_file.h"
#include "data/topic_index.h"
#include "manager/topics.h"

namespace quiz {

// Runs the window until it closes. True when the topic was saved: the current topic then holds
// the saved entry. Otherwise nothing was written, and a new topic's number goes back to the one
// current before (also when the window is closed from its title bar).
bool EditTopicParams(TopicIndex* index, CurrentTopic* current, QuestionFile* bank, bool copy_structure);

}  // namespace quiz
