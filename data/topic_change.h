#pragma once
// A change of a topic's parameters that moves its questions: a new layout (every question copied
// into a file of the new records) or a new file name. It touches two files, the question file and
// the topic's entry, and is made one step through a record of the change in Bases:
//
//   1. the questions in the new layout go to Bases\Canvi.nou, whole and on the disk;
//   2. Bases\Canvi.jnl records the old and the new entry: from here on the change is made;
//   3. the new file takes the topic's file name (the old file goes when the name changed);
//   4. the entry is written;
//   5. Bases\Canvi.jnl goes.
//
// A program killed before step 2 leaves the topic as it was (and Canvi.nou, which the next one
// removes); killed after it, the record tells the next program that opens the index what is left
// to do, and it does it before any topic is read. Every step of the record's replay can run
// again after another kill.

#include <string>
#include <string_view>

#include "data/question_file.h"
#include "data/topic_index.h"
#include "toolkit/status.h"

namespace quiz {

inline constexpr char kTopicChangeName[] = "Bases\\Canvi.jnl";
inline constexpr char kTopicChangeBankName[] = "Bases\\Canvi.nou";

struct TopicChange {
  TopicEntry old_entry;
  TopicEntry new_entry;
  bool rewrite = false;  // the questions were copied into Canvi.nou; else the file is renamed
  bool operator==(const TopicChange&) const = default;
};

// The record's bytes: "QZC1", the old entry, the new entry (318 bytes each, as in the index),
// one byte 1 for a rewrite and 0 for a rename.
inline constexpr size_t kTopicChangeSize = 4 + 318 + 318 + 1;
std::string EncodeTopicChange(const TopicChange& change);
// Refuses bytes that are not such a record, or whose entries no index could hold (a layout out
// of range, a file name that leads out of Bases), naming `name`.
Status DecodeTopicChange(std::string_view bytes, const std::string& name, TopicChange* change);

// Brings topic `n` of `index` (found unchanged by the caller, who holds the index's lock) and
// its open question file `bank` to `new_entry` as one step. A title alone is written in the entry;
// a new layout or file name goes through the record above. A different file that already has the
// new name is never overwritten. Afterwards the bank is open under the topic's file name now.
Status ChangeTopic(TopicIndex* index, uint16_t n, QuestionFile* bank, const TopicEntry& new_entry,
                   RelayoutResult* result);

// True when a change was left part-way (its record, or the copy of a change that never started).
bool TopicChangePending();

// With `index`'s lock held: ends the change that a killed program left part-way, and removes the
// copy of one that never started. Nothing to do is success.
Status SettleTopicChange(TopicIndex* index);

}  // namespace quiz
