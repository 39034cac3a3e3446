#pragma once
// The question editor's decisions over the open topic's bank, without a window: which question
// is current and which was put into the fields last, the status line, whether the fields differ
// from the question, what a save cuts and writes, where every navigation button goes and what it
// asks first, the delete, and where Tab moves. The window shows the texts and hands over what
// the person typed; questions and failures go through Messages.
//
// The editor never reads question 0 and never leaves a gap: the current number stays within
// 1..count + 1, count + 1 being a new question that is not stored yet.

#include <cstdint>
#include <string>

#include "data/question_file.h"
#include "toolkit/messages.h"

namespace quiz {

// Control numbers of the editor window.
namespace editor {
inline constexpr int kAccept = 1;
inline constexpr int kExit = 2;
inline constexpr int kNew = 3;
inline constexpr int kDelete = 4;
inline constexpr int kNext = 5;
inline constexpr int kPrevious = 6;
inline constexpr int kLast = 7;
inline constexpr int kFirst = 8;
inline constexpr int kCopyBox = 10;
inline constexpr int kGoToNumber = 11;
inline constexpr int kSearch = 15;
inline constexpr int kQuestionField = 101;
inline constexpr int kCorrectField = 102;  // answer k in 101 + k
inline constexpr int kCommentField = 106;
inline constexpr int kNumberBox = 110;
}  // namespace editor

class QuestionEditor {
 public:
  // `record` is the manager's current question record (shared with the listings); `messages`
  // asks and tells.
  QuestionEditor(QuestionFile* bank, const Layout& layout, Question* record, Messages* messages);

  // Numbers are wider than a bank's count: a full bank of 65535 still has its new question.
  uint32_t current() const { return current_; }
  uint32_t shown() const { return shown_; }
  uint16_t count() const { return bank_->count(); }
  const Layout& layout() const { return layout_; }
  const Question& record() const { return *record_; }

  // The status line is drawn twice: this wipes the last one ("qüestió:" and 16 blanks) ...
  static std::string StatusWipe();
  // ... and this is it: "qüestió: 3/12".
  std::string StatusText() const;
  // "questió3 modificada!"
  std::string LeaveCaption() const;

  // Shows question `start` (a number beyond count + 1, or 0, shows count + 1's place: 1 when
  // the bank is empty). `fields` gets what the fields show. False when it could not be read.
  bool Open(uint32_t start, Question* fields);

  // Show question k: read it into the record and the fields, or, beyond the count, a new
  // question (a copy of the one shown before when `copy` is ticked and the person says so, else
  // empty fields). False, with the failure told and nothing changed, when it cannot be read:
  // the fields keep what they hold.
  bool Show(uint32_t k, bool copy, Question* fields);

  // True when the typed texts differ from the record (the comment only where the topic has one).
  bool Modified(const Question& typed) const;

  // Save: each text cut to its field's length (and to 128), the comment only where the topic
  // has one; then written as question `current`, a new one appended after the file's last.
  // A stored question is written only where the question read still is, in the file that was
  // read. False, with the failure told and the record as it was, when the file refuses; when
  // another program changed the file, the current number follows the question read to its
  // place now (or becomes a new question's when it is gone) and the fields keep what they hold.
  bool Save(const Question& typed);

  // The leave check: when modified, asks whether to save, and saves on Yes. False only when a
  // save failed, and then whatever was to follow must not happen.
  bool LeaveCheck(const Question& typed);

  // A navigation button ("+", ">", "<", "|<", ">|", ">Nº"): the leave check, the new number
  // (asking what the button asks), then Show. `number_box` is the number box's text. True when
  // the fields must take `fields`.
  bool Navigate(int button, const Question& typed, const std::string& number_box, bool copy, Question* fields);

  // "x": asks, then deletes the current question and shows the one now at its place (the one
  // before when it was the last; an empty new question 1 when none is left). On the new question
  // nothing is stored to delete: its fields are emptied. True when the fields must take `fields`.
  bool Delete(Question* fields);

  // The search's hit: shown without a leave check.
  bool Jump(uint32_t k, bool copy, Question* fields);

 private:
  // The number a navigation button leads to, after what it asks; `current_` when it stays.
  uint32_t Target(int button, const std::string& number_box);
  // Tells a failure; after a kChanged one, finds the question again in the file as it is now.
  void Fail(const Status& status);
  // The current number becomes the place of the question read (the record) in the file as it
  // is now, or a new question's when it is gone; the fields keep what they hold.
  void Resync();
  // Reads question n into the record and the fields; a failure is told, and nothing changes.
  bool ReadInto(uint32_t n, Question* fields);
  uint32_t new_number() const { return count() + 1u; }

  QuestionFile* bank_;
  Layout layout_;
  Question* record_;
  Messages* messages_;
  uint32_t current_ = 1;
  uint32_t shown_ = 0;
};

// Where Tab moves from field `id`: question, correct answer, wrong answers in order, comment
// (back to the question when the topic has no comment). The number box answers
// editor::kGoToNumber: it acts as the ">Nº" button. 0 for a field the rule does not handle.
int TabTarget(int id, const Layout& layout);

}  // namespace quiz
