#include "manager/search.h"

#include <algorithm>
#include <array>

#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

// UpperCat a byte at a time, from a table.
const std::array<char, 256>& UpperTable() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<size_t>(c)] = UpperCatChar(static_cast<char>(c));
    return t;
  }();
  return table;
}

}  // namespace

Status SearchQuestions(const QuestionFile& bank, std::string_view typed, SearchHits* hits,
                       const std::function<void(const SearchHits&)>& found) {
  hits->Clear();
  hits->text = UpperCat(CutText(typed, kMaxShownText));
  if (hits->text.empty()) return Status::Ok();
  const auto& upper = UpperTable();
  const std::string_view wanted = hits->text;
  std::array<char, 256> text{};  // a question text is at most 128 characters
  return bank.ScanQuestionTexts(1, bank.count(), [&](uint16_t n, std::string_view question) {
    if (question.size() < wanted.size()) return true;
    for (size_t i = 0; i < question.size(); ++i) {
      text[i] = upper[static_cast<unsigned char>(question[i])];
    }
    if (std::string_view(text.data(), question.size()).find(wanted) == std::string_view::npos) return true;
    ++hits->count;
    if (hits->numbers.size() < kMaxHits) hits->numbers.push_back(n);
    if (found) found(*hits);
    return true;
  });
}

std::string OccurrencesLine(const SearchHits& hits) {
  return W("ocurrències: ") + IntToText(static_cast<int32_t>(hits.count));
}

std::string ListedLine(const SearchHits& hits) {
  if (hits.count <= hits.numbers.size()) return "";
  return "(" + IntToText(static_cast<int32_t>(hits.numbers.size())) + " a la llista)";
}

}  // namespace quiz
