#include "runner/test_export.h"

#include "toolkit/files.h"
#include "toolkit/text.h"

namespace quiz {
Status ExportLines(const TestEngine& engine, const std::string& description, std::vector<std::string>* lines) {
  lines->clear();
  lines->push_back("Test " + UpperCat(description));
  lines->push_back("");
  std::vector<Question> questions(engine.count() + 1u);
  for (uint16_t k = 1; k <= engine.count(); ++k) {
    Question& q = questions[k];
    QUIZ_RETURN_IF_ERROR(engine.ReadQuestion(k, &q));
    lines->push_back(IntToText(k) + ". " + q.question);
    for (uint16_t p = 1; p <= 4; ++p) {
      lines->push_back(AnswerLetter(p) + ") " + q.answers[engine.AnswerAt(k, p) - 1u]);
    }
    lines->push_back("");
  }
  lines->push_back("Solucions:");
  for (uint16_t k = 1; k <= engine.count(); ++k) {
    lines->push_back(IntToText(k) + ".  " + AnswerLetter(engine.CorrectPosition(k)) + ") " + questions[k].answers[0]);
  }
  lines->push_back("");
  return Status::Ok();
}

Status ExportTest(const TestEngine& engine, const std::string& description, const std::string& file_name) {
  std::vector<std::string> lines;
  QUIZ_RETURN_IF_ERROR(ExportLines(engine, description, &lines));
  TextWriter out;
  QUIZ_RETURN_IF_ERROR(out.Open(file_name));
  for (const std::string& line : lines) QUIZ_RETURN_IF_ERROR(out.WriteLine(line));
  return out.Close();
}

}  // namespace quiz
