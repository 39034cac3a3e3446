// The text of questions that the converter reads: any bytes, in either mode.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "converter/convert.h"
#include "data/layout.h"
#include "data/question_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto mode = (data[0] & 1) ? quiz::CorrectAnswerMode::kMarked : quiz::CorrectAnswerMode::kFirst;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  quiz::RecordBuffer buffer;
  char* record = buffer.For(quiz::RecordSizeFor(quiz::kConverterLayout));
  (void)quiz::ReadQuestionBlocks(std::move(text), mode, nullptr, [&](const quiz::Question& q) {
    // Every question read makes a record that reads back as the same question, cut to its fields.
    quiz::EncodeQuestion(q, quiz::kConverterLayout, quiz::RecordSizeFor(quiz::kConverterLayout), record);
    if (!quiz::RecordLengthsFit(record, quiz::kConverterLayout)) std::abort();
    quiz::Question back;
    quiz::DecodeQuestion(record, quiz::kConverterLayout, &back);
    if (back.question != q.question.substr(0, 120) || back.answers[0] != q.answers[0].substr(0, 120)) std::abort();
    // Only a lone "*" in the marked mode leaves an answer blank.
    for (const std::string& a : q.answers) {
      if (a.empty() && mode == quiz::CorrectAnswerMode::kFirst) std::abort();
    }
    return quiz::Status::Ok();
  });
  return 0;
}
