#pragma once
// The search of the question editor: the questions of the open topic whose question text holds a
// string, letter case aside (accented capitals included) but accents kept ("à" finds "À", not
// "A"). Answers and comments are not searched. The last search lives for the whole run.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/question_file.h"
#include "toolkit/status.h"

namespace quiz {

// The hit list holds the first kMaxHits question numbers; the count goes on beyond it.
inline constexpr size_t kMaxHits = 256;

struct SearchHits {
  std::string text;               // the last search text, upper-cased ("" before any search)
  uint32_t count = 0;             // questions found
  std::vector<uint16_t> numbers;  // the first kMaxHits of them, ascending

  void Clear() { *this = SearchHits(); }
};

// Searches the question texts of `bank` for `typed` (Windows-1252, cut to 255 characters and
// upper-cased here). `hits` starts empty with the new text; `found` is called after each hit, so
// that a window can show the count growing. An empty text finds nothing. A read that fails ends
// the search with the hits found so far.
Status SearchQuestions(const QuestionFile& bank, std::string_view typed, SearchHits* hits,
                       const std::function<void(const SearchHits&)>& found = {});

// "ocurrències: 12".
std::string OccurrencesLine(const SearchHits& hits);
// Under it when more questions were found than the list holds: "(256 a la llista)"; else "".
std::string ListedLine(const SearchHits& hits);

}  // namespace quiz
