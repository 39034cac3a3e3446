#include "manager/listings.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/text.h"

namespace quiz {

Status QuestionListLines(const QuestionFile& bank, TextList* lines) {
  TextListClear(*lines);
  lines->items.reserve(bank.count());
  return bank.ScanQuestionTexts(1, bank.count(), [lines](uint16_t, std::string_view text) {
    TextListAdd(*lines, text);
    return true;
  });
}

std::string QuestionListTitle(const TopicEntry& entry) { return W("Qüestions ") + entry.file_name; }

Status ExportTextTo(const QuestionFile& bank, const TopicEntry& entry, const ExportOptions& options,
                    const std::function<Status(std::string_view)>& sink) {
  constexpr size_t kPiece = 256 * 1024;
  std::string bytes;
  bytes.reserve(kPiece + 1024);
  const int alternatives = std::min<int>(entry.layout.alternatives, kMaxAlternatives);
  if (options.title) bytes.append("Cuestiones ").append(UpperCat(entry.title)).append("\r\n\r\n");
  auto line = [&bytes](std::string_view text) { bytes.append(text).append("\r\n"); };
  const Layout& layout = bank.layout();
  const size_t comment_at = layout.comment_length > 0 ? question_format::CommentOffset(layout) : 0;
  Status sunk;
  // Straight from the records: no text is copied but into the export.
  QUIZ_RETURN_IF_ERROR(bank.ScanRecords(1, bank.count(), [&](uint16_t k, const char* record) {
    if (options.numbering) {
      char number[8];
      const auto end = std::to_chars(number, number + sizeof number, k).ptr;
      bytes.append(number, end).append(") ");
    }
    line(question_format::FieldText(record, layout.question_length));
    for (int j = 1; j <= alternatives; ++j) {
      const char letter[] = {static_cast<char>('a' + j - 1), ')', ' '};
      bytes.append(letter, sizeof letter);
      line(question_format::FieldText(record + question_format::AnswerOffset(layout, j), layout.answer_length));
    }
    if (options.comments && comment_at != 0) {
      const std::string_view comment = question_format::FieldText(record + comment_at, layout.comment_length);
      if (!comment.empty()) {
        bytes.append("Nota: ");
        line(comment);
      }
    }
    if (options.separation) bytes.append("\r\n");
    if (bytes.size() >= kPiece) {
      sunk = sink(bytes);
      bytes.clear();
    }
    return sunk.ok();
  }));
  QUIZ_RETURN_IF_ERROR(sunk);
  return bytes.empty() ? Status::Ok() : sink(bytes);
}

Status ExportText(const QuestionFile& bank, const TopicEntry& entry, const ExportOptions& options, std::string* bytes) {
  bytes->clear();
  return ExportTextTo(bank, entry, options, [bytes](std::string_view piece) {
    bytes->append(piece);
    return Status::Ok();
  });
}

std::string ExportFileName(const TopicEntry& entry) { return entry.file_name + ".txt"; }

Status ExportQuestions(const QuestionFile& bank, const TopicEntry& entry, const ExportOptions& options,
                       const std::string& file) {
  SafeWriter out;
  QUIZ_RETURN_IF_ERROR(out.Open(file.empty() ? ExportFileName(entry) : file));
  // The bank is read and the text made on a second thread while this one writes the pieces
  // already made: a large topic takes little more than writing its text.
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> pieces;
  bool made = false;    // the maker has handed over its last piece
  bool stop = false;    // the writer failed: the maker stops
  Status making;
  std::thread maker([&] {
    const Status status = ExportTextTo(bank, entry, options, [&](std::string_view piece) {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return pieces.size() < 4 || stop; });
      if (stop) return Status::Refused("", "");
      pieces.emplace_back(piece);
      changed.notify_all();
      return Status::Ok();
    });
    std::lock_guard lock(mutex);
    making = status;
    made = true;
    changed.notify_all();
  });
  Status writing;
  for (;;) {
    std::string piece;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return !pieces.empty() || made; });
      if (pieces.empty()) break;
      piece = std::move(pieces.front());
      pieces.pop_front();
      changed.notify_all();
    }
    writing = out.Append(piece);
    if (!writing.ok()) {
      std::lock_guard lock(mutex);
      stop = true;
      changed.notify_all();
      break;
    }
  }
  maker.join();
  QUIZ_RETURN_IF_ERROR(writing);
  QUIZ_RETURN_IF_ERROR(making);
  return out.Commit();
}

}  // namespace quiz
