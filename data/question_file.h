#pragma once
// A question file: the bank of one topic, Bases\<file name>.qst, a plain sequence of records whose
// layout and size come from the topic's entry. Questions are numbered from 1.

#include <cstdint>
#include <functional>
#include <string>

#include "data/layout.h"
#include "data/question_format.h"
#include "data/topic_index.h"
#include "toolkit/files.h"
#include "toolkit/status.h"

namespace quiz {

// What a re-layout did, for the window to tell the user.
struct RelayoutResult {
  enum class Action {
    kNone,       // the layout and the file name stay
    kRenamed,    // only the file name changed: the file was renamed
    kRewritten,  // the layout changed: every question was copied into a new file
  };
  Action action = Action::kNone;
  std::string file_name;  // the question file's name afterwards: "Bases\" + name + ".qst"
};

// One open question file and its count. Opening another file closes the current one.
class QuestionFile {
 public:
  // Opens the question file of `entry`, creating it empty when it does not exist. A layout out
  // of range, or a stored record size too small for its layout, is refused.
  Status Open(const TopicEntry& entry);
  // Opens any file of records of `layout` (the converter's destination).
  Status OpenPath(const std::string& name, const Layout& layout, uint16_t record_size);
  void Close();

  bool is_open() const { return file_.is_open(); }
  // Whole records in the file, at most 65535.
  uint16_t count() const { return count_; }
  const Layout& layout() const { return layout_; }
  const std::string& name() const { return file_.name(); }

  // Question n. A number of 0 or beyond the count reads nothing and yields an empty question.
  Status Read(uint16_t n, Question* q) const;
  // Writes question n, 1 <= n <= count + 1; count + 1 appends and the count grows.
  Status Write(const Question& q, uint16_t n);
  // Adds a question after the last; refused when the file already holds 65535.
  Status Append(const Question& q);
  // Deletes question *n; later questions move down one number. Deleting the last question
  // moves *n back to the new last one (0 when none is left). A number of 0 or beyond the count
  // changes nothing. The file is replaced whole, or cut when the last question goes.
  Status Delete(uint16_t* n);

  // Calls `visit` with questions first..last (cut to the count) in order, reading the file in
  // large blocks; `visit` returns false to stop. The Question it gets is reused between calls.
  Status Scan(uint16_t first, uint16_t last,
              const std::function<bool(uint16_t n, const Question& q)>& visit) const;

  // Brings the open file to the topic's new entry after its parameters were saved. When the
  // question, answer or comment length or the number of alternatives changed, every question
  // is copied into a file of the new layout (texts cut to the new lengths; answers beyond a
  // smaller number of alternatives dropped, a larger number adding empty ones; comments kept
  // only when both layouts have them) which then takes the new name. Otherwise, when the name
  // changed other than in case, the file is renamed. A different file that already has the new
  // name is never overwritten. Afterwards the file under the new name is open.
  Status Relayout(const TopicEntry& new_entry, RelayoutResult* result);

 private:
  Status Recount();
  Status CopyRelaidOut(const TopicEntry& new_entry, const std::string& new_name);

  RecordFile file_;
  Layout layout_;
  uint16_t record_size_ = 0;
  uint16_t count_ = 0;
};

}  // namespace quiz
