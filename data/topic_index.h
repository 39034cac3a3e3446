#pragma once
// The topic index, Bases\Arxs.rel: one 318-byte entry per topic, the topic number being the
// entry's position from 1. Each entry names the topic's question file and fixes its layout.

#include <cstdint>
#include <string>
#include <vector>

#include "data/layout.h"
#include "toolkit/files.h"
#include "toolkit/status.h"

namespace quiz {

inline constexpr char kTopicIndexName[] = "Bases\\Arxs.rel";
inline constexpr char kRunnerTopicIndexName[] = "Bases\\arxs.rel";
inline constexpr char kBasesFolder[] = "Bases";

struct TopicEntry {
  std::string file_name;      // at most 32: the question file without folder and ".qst"
  std::string title;          // at most 100
  uint32_t format_kind = 3;   // the manager writes 3; 0 and 1 come from older data
  std::string editor_note;    // at most 81; only kinds 0 and 1 carry one
  Layout layout;
  uint16_t record_size = 0;   // as stored; Write recomputes it from the layout
  bool operator==(const TopicEntry&) const = default;

  bool HasEditorNote() const { return format_kind == 0 || format_kind == 1; }
};

// The bytes of an entry. Spare and reserved bytes are written as zeros, and so is the editor
// note's field when the kind carries none. The record size is written as stored in `entry`.
void EncodeTopicEntry(const TopicEntry& entry, char* bytes);
TopicEntry DecodeTopicEntry(const char* bytes);

// The question file of a topic: "Bases\" + file name + ".qst".
std::string QuestionFileName(const TopicEntry& entry);

// The open topic index with its count. The count is the whole entries of the file, at most
// 65535.
class TopicIndex {
 public:
  // Opens `name` for reading and writing. An absent index is a kNotFound status and nothing is
  // created: the manager asks whether to create it, the runner reports it.
  Status Open(const std::string& name = kTopicIndexName);
  // Opens `name` for reading only (the runner, which never writes it): an index on read-only
  // media or of another user still opens. Every write is then refused.
  Status OpenForReading(const std::string& name = kRunnerTopicIndexName);
  // Creates the folder Bases when needed and an empty index, and opens it.
  Status Create(const std::string& name = kTopicIndexName);
  void Close();
  // Brings a long-open index up to date: opens it anew when another program replaced it (a
  // reorder, a deleted topic) and counts the topics again (others may have added some). Like
  // every open, it ends first a change of parameters that a killed program left part-way; where
  // that cannot be done (a folder that cannot be written), it fails and no topic is read.
  Status Refresh();

  bool is_open() const { return file_.is_open(); }
  uint16_t count() const { return count_; }
  const std::string& name() const { return file_.name(); }

  // Entry n, 1 <= n <= count.
  Status Read(uint16_t n, TopicEntry* entry) const;
  // Writes entry n, 1 <= n <= count + 1, with its record size recomputed; count + 1 appends
  // after the last entry in the file now (others may have added some) and the count becomes
  // the file's. A layout outside its ranges is refused.
  Status Write(uint16_t n, const TopicEntry& entry);
  // Removes entry n; later topics move up one number. The file is replaced whole, under its
  // lock, from the index as it is then.
  Status Delete(uint16_t n);
  // `order[i]` is the old number of the topic that becomes number i + 1; it must list every
  // number 1..count once, and the index can hold at most 255 topics for it. The file is
  // replaced whole.
  Status Reorder(const std::vector<uint8_t>& order);

  // Where the topic whose question file is `file_name` (letter case aside) is now: its number
  // and entry, from the index as it is now. kNotFound when no entry names that file.
  Status Find(const std::string& file_name, uint16_t* n, TopicEntry* entry = nullptr);
  // For a change to a topic read earlier as `expected`: under the lock, finds it again by its
  // file name and checks that its entry is still `expected`. `*n` gets its number now. A topic
  // that is gone, or whose entry another program changed, is a kChanged status.
  Status FindUnchanged(const TopicEntry& expected, uint16_t* n);
  // Writes `entry` over the topic read earlier as `expected`, wherever it is now, when
  // FindUnchanged finds it; `*n` gets its number.
  Status WriteUnchanged(const TopicEntry& expected, const TopicEntry& entry, uint16_t* n);
  // Removes the topic read earlier as `expected`, wherever it is now, when FindUnchanged
  // would find it, all under the lock.
  Status DeleteUnchanged(const TopicEntry& expected);
  // Holds the index's lock across a change of several steps (a check, a re-layout, the entry),
  // the index opened anew when it was replaced and counted again. A change of parameters that a
  // killed program left part-way is ended first.
  Status Lock();
  void Unlock();
  bool locked() const { return file_.locked(); }

  // The runner's look-up of an item's topic: a number beyond the index is a kNotFound status
  // with caption "Test inexistent" and text "Test nº <n>". The entry is read when `entry` is
  // given.
  Status Lookup(uint16_t n, TopicEntry* entry = nullptr) const;

 private:
  Status Recount();
  Status Reopen();
  Status OpenWith(const std::string& name, RecordFile::Mode mode);
  Status CheckNumber(uint16_t n, uint16_t limit) const;
  // Ends a change of a topic's parameters that a killed program left part-way (see
  // topic_change.h), before any topic is read.
  Status EndPendingChange();

  RecordFile file_;
  bool read_only_ = false;
  uint16_t count_ = 0;
};

}  // namespace quiz
