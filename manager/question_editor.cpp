#include "manager/question_editor.h"

#include <algorithm>

#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

std::string Number(uint32_t n) { return IntToText(static_cast<int32_t>(n)); }

// A field's text as the record keeps it: cut to the field, and never past 128.
std::string Cut(const std::string& text, uint16_t length) {
  return CutText(text, std::min<size_t>(length, kMaxFieldLength));
}

}  // namespace

QuestionEditor::QuestionEditor(QuestionFile* bank, const Layout& layout, Question* record, Messages* messages)
    : bank_(bank), layout_(layout), record_(record), messages_(messages) {}

std::string QuestionEditor::StatusWipe() { return W("qüestió:") + Spaces(16); }

std::string QuestionEditor::StatusText() const {
  return W("qüestió: ") + Number(current_) + "/" + Number(count());
}

std::string QuestionEditor::LeaveCaption() const { return W("questió") + Number(current_) + " modificada!"; }

void QuestionEditor::Fail(const Status& status) {
  std::string text = status.text();
  if (status.code() == Status::Code::kChanged) text += W(" El que hi ha als camps es manté.");
  messages_->Message(status.caption(), text, kMbIconStop);
  if (status.code() == Status::Code::kChanged) Resync();
}

void QuestionEditor::Resync() {
  // The file as it is now; one that is gone was just told, and every later write says so again.
  if (!bank_->Reload().ok()) return;
  uint16_t found = 0;
  if (current_ <= count() && !bank_->Find(*record_, static_cast<uint16_t>(current_), &found).ok()) found = 0;
  // Where the question read went, or, when it is gone, the place of a new one: what the fields
  // hold is then saved as a question of its own, over nobody else's.
  current_ = found != 0 ? found : new_number();
  shown_ = current_;
}

bool QuestionEditor::Open(uint32_t start, Question* fields) {
  if (start == 0 || start > new_number()) start = new_number();
  return Show(start, false, fields);
}

bool QuestionEditor::ReadInto(uint32_t n, Question* fields) {
  Question read;
  if (const Status status = bank_->Read(static_cast<uint16_t>(n), &read); !status.ok()) {
    Fail(status);
    return false;
  }
  *record_ = read;
  *fields = read;
  return true;
}

bool QuestionEditor::Show(uint32_t k, bool copy, Question* fields) {
  // What is shown is the file as it is now, whatever another program did to it.
  if (const Status status = bank_->Reload(); !status.ok()) {
    Fail(status);
    return false;
  }
  if (k == 0) k = 1;  // question 0 does not exist: an empty bank's new question is 1
  k = std::min(k, new_number());  // the file may have lost questions since the number was chosen
  if (k <= count()) {
    if (!ReadInto(k, fields)) return false;
  } else {
    const bool copy_shown = copy && shown_ >= 1 && shown_ <= count() &&
                            messages_->Message(W("Confirmar copiar qüestió"),
                                               W("Copiar la qüestió ") + Number(shown_) + " a la nova?",
                                               kMbYesNo) == kIdYes;
    if (copy_shown) {
      if (!ReadInto(shown_, fields)) return false;
    } else {
      *fields = Question();  // the record is left as it was
    }
  }
  current_ = k;
  shown_ = k;
  return true;
}

bool QuestionEditor::Modified(const Question& typed) const {
  if (typed.question != record_->question) return true;
  for (int k = 0; k < layout_.alternatives; ++k) {
    if (typed.answers[static_cast<size_t>(k)] != record_->answers[static_cast<size_t>(k)]) return true;
  }
  return layout_.comment_length > 0 && typed.comment != record_->comment;
}

bool QuestionEditor::Save(const Question& typed) {
  Question saved = *record_;
  saved.question = Cut(typed.question, layout_.question_length);
  for (int k = 0; k < layout_.alternatives; ++k) {
    saved.answers[static_cast<size_t>(k)] = Cut(typed.answers[static_cast<size_t>(k)], layout_.answer_length);
  }
  if (layout_.comment_length > 0) saved.comment = Cut(typed.comment, layout_.comment_length);
  Status status;
  uint32_t number = current_;
  if (current_ <= count()) {
    // Only over the question that was read, where it was read.
    status = bank_->Write(saved, static_cast<uint16_t>(current_), record_);
  } else {
    // A new question goes after the file's last, also when another program added some meanwhile.
    uint16_t appended = 0;
    status = bank_->Append(saved, &appended);
    number = appended;
  }
  if (!status.ok()) {
    Fail(status);
    return false;
  }
  *record_ = saved;
  current_ = number;
  shown_ = number;
  return true;
}

bool QuestionEditor::LeaveCheck(const Question& typed) {
  if (!Modified(typed)) return true;
  if (messages_->Message(LeaveCaption(), "desar els canvis?", kMbYesNo | kMbIconExclamation) != kIdYes) return true;
  return Save(typed);
}

uint32_t QuestionEditor::Target(int button, const std::string& number_box) {
  switch (button) {
    case editor::kNew: return new_number();
    case editor::kNext:
      if (current_ < count()) return current_ + 1;
      // On the new question already there is nothing further to add: another step would leave
      // a gap in the file.
      if (current_ > count()) return current_;
      return messages_->Message(W("Qüestions exhaurides"), W("Afegir qüestió?"), kMbYesNo) == kIdYes
                 ? current_ + 1 : current_;
    case editor::kPrevious: return current_ > 1 ? current_ - 1 : current_;
    case editor::kLast: return std::max<uint32_t>(count(), 1);
    case editor::kFirst: return 1;
    case editor::kGoToNumber: {
      int32_t n = 0;
      ItemTextToInt(number_box, &n);
      if (n >= 1 && static_cast<uint32_t>(n) <= count()) return static_cast<uint32_t>(n);
      messages_->Message(W(" *Qüestió inexistent*"), "Actualment hi ha " + Number(count()) + W(" qüestions"),
                         kMbIconExclamation);
      return current_;
    }
    default: return current_;
  }
}

bool QuestionEditor::Navigate(int button, const Question& typed, const std::string& number_box, bool copy,
                              Question* fields) {
  if (!LeaveCheck(typed)) return false;
  // Read again even when the number stays: an edit the person declined to save is dropped.
  return Show(Target(button, number_box), copy, fields);
}

bool QuestionEditor::Delete(Question* fields) {
  if (messages_->Message("* confirmar *", W("eliminar qüestió actual?"), kMbYesNo | kMbIconExclamation) != kIdYes) {
    return false;
  }
  if (current_ > count()) return Show(current_, false, fields);  // nothing stored: the fields empty
  uint16_t n = static_cast<uint16_t>(current_);
  if (const Status status = bank_->Delete(&n, record_); !status.ok()) {
    Fail(status);
    return false;
  }
  return Show(n == 0 ? 1 : n, false, fields);
}

bool QuestionEditor::Jump(uint32_t k, bool copy, Question* fields) {
  if (k == 0) return false;
  return Show(std::min(k, new_number()), copy, fields);
}

int TabTarget(int id, const Layout& layout) {
  const int last_answer = editor::kQuestionField + layout.alternatives;
  if (id == editor::kNumberBox) return editor::kGoToNumber;
  if (id < editor::kQuestionField || id > last_answer) return 0;
  if (id < last_answer) return id + 1;
  return layout.comment_length > 0 ? editor::kCommentField : editor::kQuestionField;
}

}  // namespace quiz
