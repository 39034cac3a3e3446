#pragma once
// The topic parameters window's decisions: reading its fields into a topic entry with every
// check, and saving a new or an existing topic.

#include <cstdint>
#include <string>

#include "data/question_file.h"
#include "data/topic_index.h"
#include "manager/topics.h"
#include "toolkit/status.h"

namespace quiz {

// The fields as typed (Windows-1252): title 101, file name 102, lengths 103..105, combo 118.
struct ParamsFields {
  std::string title, file_name, question_length, answer_length, comment_length, alternatives;
};

// The fields of an entry, for the window to show.
ParamsFields FieldsOf(const TopicEntry& entry, bool with_names);

// Fills `entry` from the fields as a save does: the file name cut to 32, the title to 100, format
// kind 3, the numbers read as the window reads them (not a number = 0), the record size
// computed. Refuses, with the caption and text of the message to show: a missing title, file name,
// question or answer length ("* dades insuficients *" / "manquen dades essencials"); then any value
// the files cannot hold (a length above 128, alternatives other than 2, 3 or 4), naming the field
// and its range.
Status ReadParams(const ParamsFields& fields, TopicEntry* entry);

// Refuses a file name that another topic of the index already uses (two topics on one question
// file would spoil each other's questions). `own` is the file name of the topic being saved as
// it is stored ("" for a new topic): its own entry does not count, wherever it is now.
Status CheckFileNameFree(const TopicIndex& index, const std::string& own, const std::string& file_name);

// True when saving `to` over `from` drops answers of stored questions (fewer alternatives).
bool DropsAnswers(const Layout& from, const Layout& to, uint16_t questions);

// Saves the topic being edited, holding the index's lock throughout. A new topic is appended
// and its question file made; it becomes the current topic. An existing one is found again by
// its file name and must be unchanged (else kChanged, nothing written); its question file and its
// entry then change as one step (see topic_change.h): a kill at any instant leaves both as they
// were or both changed. `*result` tells what happened to the file. The current
// number becomes the topic's number now. On failure nothing of the topic changed.
Status SaveTopicParams(TopicIndex* index, CurrentTopic* current, QuestionFile* bank, bool is_new,
                       const TopicEntry& entry, RelayoutResult* result);

}  // namespace quiz
