#pragma once
// A question file: the bank of one topic, Bases\<file name>.qst, a plain sequence of records whose
// layout and size come from the topic's entry. Questions are numbered from 1.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "data/layout.h"
#include "data/question_format.h"
#include "data/topic_index.h"
#include "toolkit/files.h"
#include "toolkit/status.h"

namespace quiz {

// What a parameters save did to the question file, for the window to tell the user.
struct RelayoutResult {
  enum class Action {
    kNone,       // the layout and the file name stay
    kRenamed,    // only the file name changed: the file was renamed
    kRewritten,  // the layout changed: every question was copied into a new file
  };
  Action action = Action::kNone;
  std::string file_name;  // the question file's name afterwards: "Bases\" + name + ".qst"
  // Set when the questions are safe in the new file but the old file could not be removed:
  // the re-layout is done, and this tells the user which file is left and why.
  Status old_file_left;
};

// One open question file and its count. Opening another file closes the current one.
class QuestionFile {
 public:
  enum class Access {
    kCreate,  // read and write; an absent file is created empty (the topic list, a new topic)
    kWrite,   // read and write; an absent file is a kNotFound status and nothing is created
    kRead,    // read only; an absent file is a kNotFound status and nothing is created
  };

  // Opens the question file of `entry`. A file name that could lead out of the folder Bases or
  // that Windows cannot hold, a layout out of range, or a stored record size too small for its
  // layout or larger than the largest record (774), is refused before the file is opened, with a
  // reason that names the topic and the file.
  Status Open(const TopicEntry& entry, Access access = Access::kCreate);
  // Opens any file of records of `layout` (the converter's destination).
  Status OpenPath(const std::string& name, const Layout& layout, uint16_t record_size,
                  Access access = Access::kCreate);
  void Close();
  // True when the last Open made the file.
  bool created() const { return created_; }
  // Closes the file and removes it from the disk (a file this program has just made and no
  // entry names).
  void Remove();

  bool is_open() const { return file_.is_open(); }
  // Whole records in the file, at most 65535.
  uint16_t count() const { return count_; }
  const Layout& layout() const { return layout_; }
  const std::string& name() const { return file_.name(); }

  // Every write below, for a file opened for a topic, first checks under the lock that the topic
  // index still gives the file the layout it was opened with and that no change of the topic's
  // parameters is half-way: else a kChanged status, and nothing is written.

  // Question n. A number of 0 or beyond the count reads nothing and yields an empty question.
  Status Read(uint16_t n, Question* q) const;
  // Writes question n, 1 <= n <= count + 1; count + 1 appends (see Append). With `expected`
  // (question n as it was read), n must still hold it, in the very file that was opened:
  // a file that another program replaced (a delete, a re-layout: its questions may have moved)
  // or removed, or a question n that is not `expected` any more, is a kChanged status and
  // nothing is written.
  Status Write(const Question& q, uint16_t n, const Question* expected = nullptr);
  // Adds a question after the last one in the file now, also when other programs added some
  // since it was opened; the count becomes the file's, and `*number` the new question's number.
  // Refused when the file already holds 65535.
  Status Append(const Question& q, uint16_t* number = nullptr);
  // Deletes question *n; later questions move down one number. Deleting the last question
  // moves *n back to the new last one (0 when none is left). A number of 0 or beyond the count
  // changes nothing. The file is replaced whole, or cut when the last question goes; either way
  // it holds its lock throughout, so questions that other programs append meanwhile wait and
  // are kept.
  // With `expected`, the question is deleted only when it is still *n, as Write checks.
  Status Delete(uint16_t* n, const Question* expected = nullptr);

  // Brings the open file up to date after another program may have changed it: opened anew when
  // it was replaced, counted again. A file that was removed is a kChanged status.
  Status Reload();
  // The number of the question equal to `q` nearest to `near`; 0 when none is.
  Status Find(const Question& q, uint16_t near, uint16_t* n) const;

  // Calls `visit` with questions first..last (cut to the count) in order, reading the file in
  // large blocks; `visit` returns false to stop. The Question it gets is reused between calls.
  Status Scan(uint16_t first, uint16_t last,
              const std::function<bool(uint16_t n, const Question& q)>& visit) const;
  // The same walk over the raw records (of record_size() bytes, in the layout's order); a record
  // is valid only during its call.
  Status ScanRecords(uint16_t first, uint16_t last,
                     const std::function<bool(uint16_t n, const char* record)>& visit) const;
  uint16_t record_size() const { return record_size_; }
  // The same walk over the question texts alone, undecoded: `text` points into the read block
  // and holds the question as stored (cut to its field).
  Status ScanQuestionTexts(uint16_t first, uint16_t last,
                           const std::function<bool(uint16_t n, std::string_view text)>& visit) const;

  // Writes every question, in order, into the new file `name` in the layout `to`: texts cut to
  // the new lengths, answers beyond a smaller number of alternatives dropped, a larger number
  // adding empty ones, comments kept only when both layouts have them. `name` appears whole, on
  // the disk, or not at all. The caller holds the lock, so that no question is added meanwhile.
  Status WriteRelaidOut(const Layout& to, const std::string& name) const;

  // Holds the file's lock across a change of several steps (a re-layout), the file opened anew
  // when it was replaced and counted again.
  Status Lock();
  void Unlock() { file_.Unlock(); }
  bool locked() const { return file_.locked(); }

 private:
  Status OpenChecked(const std::string& name, const std::string& what, const Layout& layout,
                     uint16_t record_size, Access access);
  Status Recount();
  // Under the lock (taken here, given back on failure): the file is the one opened and
  // question n is `expected`.
  Status CheckUnchanged(uint16_t n, const Question& expected, RecordLock* lock);
  // Under the lock, for a file opened for a topic: a kChanged status when a change of the topic's
  // parameters is half-way, or when the index now gives the file another layout (another program
  // re-laid it out), so that no record of the old layout goes into it.
  Status CheckParameters() const;
  // Hands the bytes of every question in the new layout to `sink`, in order, a record at a time.
  Status RelaidOut(const Layout& to, const std::function<Status(std::string_view)>& sink) const;

  RecordFile file_;
  Layout layout_;
  uint16_t record_size_ = 0;
  uint16_t count_ = 0;
  bool created_ = false;  // the open made the file: it did not exist before
  std::string topic_file_;  // the topic's file name, when opened for a topic
};

}  // namespace quiz
